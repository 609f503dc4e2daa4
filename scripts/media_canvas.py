"""Drawing helpers for the pictures of the sample installation.

Pictures are drawn at twice their size and scaled down once at the end, which
gives smooth edges and text; every coordinate handed to a Canvas is in final
picture pixels, so rectangles shared with the question data stay exact.
"""

import math

from PIL import Image, ImageDraw, ImageFont

FONT_DIR = "/usr/share/fonts/opentype/ipafont-gothic/"
_fonts = {}


def font(size, mono=False):
    key = (size, mono)
    if key not in _fonts:
        name = "ipag.ttf" if mono else "ipagp.ttf"
        _fonts[key] = ImageFont.truetype(FONT_DIR + name, size)
    return _fonts[key]


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def lighter(c, t=0.5):
    return mix(c, (255, 255, 255), t)


def darker(c, t=0.3):
    return mix(c, (0, 0, 0), t)


class Canvas:
    def __init__(self, w, h, bg=(255, 255, 255), scale=2):
        self.w, self.h, self.k = w, h, scale
        self.im = Image.new("RGB", (w * scale, h * scale), bg)
        self.d = ImageDraw.Draw(self.im)

    def _b(self, box):
        k = self.k
        return [box[0] * k, box[1] * k, box[2] * k - 1, box[3] * k - 1]

    def _p(self, pts):
        return [(x * self.k, y * self.k) for x, y in pts]

    def gradient(self, box, top, bottom, horizontal=False):
        x1, y1, x2, y2 = [v * self.k for v in box]
        n = (x2 - x1) if horizontal else (y2 - y1)
        for i in range(max(n, 1)):
            c = mix(top, bottom, i / max(n - 1, 1))
            if horizontal:
                self.d.line([(x1 + i, y1), (x1 + i, y2 - 1)], fill=c)
            else:
                self.d.line([(x1, y1 + i), (x2 - 1, y1 + i)], fill=c)

    def rect(self, box, fill=None, outline=None, width=1, radius=0):
        if radius:
            self.d.rounded_rectangle(self._b(box), radius=radius * self.k, fill=fill,
                                     outline=outline, width=width * self.k)
        else:
            self.d.rectangle(self._b(box), fill=fill, outline=outline, width=width * self.k)

    def dashed_rect(self, box, color, dash=6, width=1):
        x1, y1, x2, y2 = box
        for x in range(x1, x2, dash * 2):
            self.line([(x, y1), (min(x + dash, x2), y1)], color, width)
            self.line([(x, y2 - 1), (min(x + dash, x2), y2 - 1)], color, width)
        for y in range(y1, y2, dash * 2):
            self.line([(x1, y), (x1, min(y + dash, y2))], color, width)
            self.line([(x2 - 1, y), (x2 - 1, min(y + dash, y2))], color, width)

    def line(self, pts, color, width=1):
        self.d.line(self._p(pts), fill=color, width=max(1, int(width * self.k)))

    def arrow(self, a, b, color, width=2, head=8, both=False):
        self.line([a, b], color, width)
        for p, q in ((b, a), (a, b)) if both else ((b, a),):
            ang = math.atan2(p[1] - q[1], p[0] - q[0])
            left = (p[0] - head * math.cos(ang - 0.45), p[1] - head * math.sin(ang - 0.45))
            right = (p[0] - head * math.cos(ang + 0.45), p[1] - head * math.sin(ang + 0.45))
            self.polygon([p, left, right], color)

    def polygon(self, pts, fill, outline=None):
        self.d.polygon(self._p(pts), fill=fill, outline=outline)

    def ellipse(self, box, fill=None, outline=None, width=1):
        self.d.ellipse(self._b(box), fill=fill, outline=outline, width=width * self.k)

    def text(self, xy, s, size, color=(30, 30, 30), anchor="la", bold=False, mono=False):
        self.d.text((xy[0] * self.k, xy[1] * self.k), s, font=font(size * self.k, mono),
                    fill=color, anchor=anchor, stroke_width=(1 if bold else 0), stroke_fill=color)

    def text_width(self, s, size, mono=False):
        return self.d.textlength(s, font=font(size * self.k, mono)) / self.k

    def label_box(self, box, s, size=13, fill=(255, 255, 255), outline=(90, 90, 90),
                  color=(30, 30, 30), radius=6, bold=False):
        self.rect(box, fill=fill, outline=outline, width=1, radius=radius)
        self.text(((box[0] + box[2]) / 2, (box[1] + box[3]) / 2), s, size, color, "mm", bold)

    def shadow_box(self, box, fill, outline, radius=8):
        self.rect((box[0] + 3, box[1] + 3, box[2] + 3, box[3] + 3), fill=(200, 204, 210),
                  radius=radius)
        self.rect(box, fill=fill, outline=outline, radius=radius)

    def image(self):
        return self.im.resize((self.w, self.h), Image.LANCZOS)


# --- icons, drawn into a box ------------------------------------------------

def icon_server(c, x, y, w=34, h=40, color=(70, 90, 120)):
    for i in range(3):
        top = y + i * (h // 3)
        c.rect((x, top, x + w, top + h // 3 - 2), fill=lighter(color, 0.15), outline=darker(color),
               radius=2)
        c.ellipse((x + w - 8, top + 4, x + w - 4, top + 8), fill=(90, 220, 120))
        c.line([(x + 4, top + 6), (x + w - 14, top + 6)], lighter(color, 0.6), 1)


def icon_pc(c, x, y, w=36, h=32, color=(60, 80, 110)):
    c.rect((x, y, x + w, y + h - 9), fill=color, outline=darker(color), radius=3)
    c.rect((x + 3, y + 3, x + w - 3, y + h - 12), fill=(170, 210, 240))
    c.rect((x + w // 2 - 3, y + h - 9, x + w // 2 + 3, y + h - 4), fill=darker(color))
    c.rect((x + w // 2 - 10, y + h - 4, x + w // 2 + 10, y + h), fill=darker(color), radius=1)


def icon_db(c, x, y, w=34, h=40, color=(60, 120, 170)):
    c.rect((x, y + 6, x + w, y + h - 6), fill=color)
    c.ellipse((x, y + h - 12, x + w, y + h), fill=color, outline=darker(color))
    c.rect((x + 1, y + 6, x + w - 1, y + h - 6), fill=color)
    c.line([(x, y + 6), (x, y + h - 6)], darker(color), 1)
    c.line([(x + w - 1, y + 6), (x + w - 1, y + h - 6)], darker(color), 1)
    c.ellipse((x, y, x + w, y + 12), fill=lighter(color, 0.35), outline=darker(color))


def icon_cloud(c, cx, cy, w=110, h=60, fill=(236, 244, 252), outline=(120, 150, 190)):
    parts = [(-0.32, 0.08, 0.26), (-0.08, -0.12, 0.32), (0.22, 0.0, 0.27), (0.0, 0.14, 0.3),
             (0.34, 0.16, 0.2), (-0.38, 0.2, 0.18)]
    for dx, dy, r in parts:
        rr = r * w
        c.ellipse((cx + dx * w - rr, cy + dy * h - rr * h / w * 1.4, cx + dx * w + rr,
                   cy + dy * h + rr * h / w * 1.4), fill=outline)
    for dx, dy, r in parts:
        rr = r * w - 1.5
        c.ellipse((cx + dx * w - rr, cy + dy * h - rr * h / w * 1.4, cx + dx * w + rr,
                   cy + dy * h + rr * h / w * 1.4), fill=fill)


def icon_switch(c, x, y, w=60, h=18, color=(40, 110, 160)):
    c.rect((x, y, x + w, y + h), fill=color, outline=darker(color), radius=3)
    for i in range(6):
        px = x + 6 + i * (w - 12) / 6
        c.rect((px, y + h - 8, px + 5, y + h - 3), fill=darker(color, 0.5))
    c.line([(x + 6, y + 5), (x + w - 6, y + 5)], lighter(color, 0.5), 1)


def icon_router(c, cx, cy, r=18, color=(30, 120, 110)):
    c.ellipse((cx - r, cy - r * 0.7, cx + r, cy + r * 0.7), fill=color, outline=darker(color))
    for ang in (0, 90, 180, 270):
        a = math.radians(ang)
        c.arrow((cx + math.cos(a) * 3, cy + math.sin(a) * 2), (cx + math.cos(a) * (r - 4),
                                                                cy + math.sin(a) * (r * 0.7 - 3)),
                (255, 255, 255), 1.5, 4)


def icon_firewall(c, x, y, w=40, h=34, color=(190, 70, 50)):
    c.rect((x, y, x + w, y + h), fill=color, outline=darker(color))
    rows = 4
    for r in range(1, rows):
        yy = y + r * h / rows
        c.line([(x, yy), (x + w, yy)], lighter(color, 0.55), 1)
    for r in range(rows):
        off = 0 if r % 2 == 0 else w / 4
        for k in range(3):
            xx = x + off + k * w / 2
            if x < xx < x + w:
                c.line([(xx, y + r * h / rows), (xx, y + (r + 1) * h / rows)], lighter(color, 0.55), 1)


def icon_user(c, cx, cy, color=(80, 100, 140)):
    c.ellipse((cx - 7, cy - 18, cx + 7, cy - 4), fill=color)
    c.rect((cx - 12, cy - 2, cx + 12, cy + 14), fill=color, radius=6)


def icon_building(c, x, y, w=46, h=44, color=(110, 120, 140)):
    c.rect((x, y, x + w, y + h), fill=color, outline=darker(color))
    for r in range(4):
        for k in range(3):
            wx = x + 6 + k * (w - 12) / 3
            wy = y + 6 + r * (h - 12) / 4
            c.rect((wx, wy, wx + (w - 12) / 3 - 4, wy + (h - 12) / 4 - 3), fill=(220, 232, 246))


def icon_key(c, x, y, color=(200, 150, 30)):
    c.ellipse((x, y, x + 16, y + 16), fill=color)
    c.ellipse((x + 5, y + 5, x + 11, y + 11), fill=(255, 255, 255))
    c.rect((x + 15, y + 6, x + 34, y + 10), fill=color)
    c.rect((x + 27, y + 10, x + 30, y + 15), fill=color)
    c.rect((x + 31, y + 10, x + 34, y + 13), fill=color)


def icon_doc(c, x, y, w=26, h=32, color=(90, 110, 150)):
    c.polygon([(x, y), (x + w - 8, y), (x + w, y + 8), (x + w, y + h), (x, y + h)], (255, 255, 255),
              color)
    c.polygon([(x + w - 8, y), (x + w - 8, y + 8), (x + w, y + 8)], lighter(color, 0.5), color)
    for i in range(4):
        c.line([(x + 4, y + 12 + i * 5), (x + w - 5, y + 12 + i * 5)], lighter(color, 0.3), 1)
