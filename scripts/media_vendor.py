"""Pictures 101-110 of each vendor's resource bundle."""

import math

from media_canvas import Canvas, darker, lighter, mix

# Sizes of the pictures, also listed in data/README.md.
SIZES = {101: (150, 120), 102: (150, 40), 103: (150, 160), 104: (150, 200), 105: (150, 360),
         106: (118, 120), 107: (600, 6), 108: (516, 42), 109: (77, 36), 110: (96, 28)}

THEMES = {
    "nexa": dict(name="ネクサ・ラーニング", latin="NEXA", sub="LEARNING", dark=(14, 36, 84),
                 main=(22, 82, 160), light=(0, 150, 180), accent=(0, 200, 220),
                 slogan=["確かな基礎から、", "次のキャリアへ。"],
                 levels=["エントリー", "アソシエイト", "プロフェッショナル", None]),
    "sorane": dict(name="ソラネ教育センター", latin="SORANE", sub="EDUCATION", dark=(30, 60, 120),
                   main=(50, 120, 200), light=(250, 160, 70), accent=(255, 190, 90),
                   slogan=["学びの空を、", "どこまでも。"],
                   levels=["基礎", "応用", "上級", "マスター"]),
    "kumo": dict(name="くもテック・アカデミー", latin="KUMO", sub="TECH ACADEMY", dark=(18, 72, 62),
                 main=(26, 130, 104), light=(120, 200, 160), accent=(180, 230, 120),
                 slogan=["クラウド時代の", "セキュリティを学ぶ。"],
                 levels=["入門", "実践", None, None]),
}

LEVEL_COLORS = [(70, 170, 90), (40, 120, 200), (220, 120, 30), (190, 40, 60)]


def logo_mark(c, vendor, cx, cy, r, t):
    """Each vendor's mark: an arrow of rising bars, a rising sun, a cloud."""
    if vendor == "nexa":
        c.ellipse((cx - r, cy - r, cx + r, cy + r), fill=t["accent"])
        c.ellipse((cx - r + 3, cy - r + 3, cx + r - 3, cy + r - 3), fill=t["dark"])
        for k in range(3):
            h = r * (0.5 + 0.35 * k)
            x = cx - r * 0.55 + k * r * 0.42
            c.rect((x, cy + r * 0.55 - h, x + r * 0.3, cy + r * 0.55), fill=lighter(t["accent"], k * 0.2))
    elif vendor == "sorane":
        c.ellipse((cx - r, cy - r, cx + r, cy + r), fill=(255, 255, 255))
        c.ellipse((cx - r + 2, cy - r + 2, cx + r - 2, cy + r - 2), fill=t["main"])
        c.ellipse((cx - r * 0.5, cy - r * 0.1, cx + r * 0.5, cy + r * 0.9), fill=t["accent"])
        c.rect((cx - r, cy + r * 0.38, cx + r, cy + r), fill=t["main"])
        for k in range(3):
            c.line([(cx - r * 0.7, cy + r * (0.5 + k * 0.15)), (cx + r * 0.7, cy + r * (0.5 + k * 0.15))],
                   (255, 255, 255), 1)
        c.ellipse((cx - r, cy - r, cx + r, cy + r), outline=(255, 255, 255), width=2)
    else:
        c.ellipse((cx - r, cy - r, cx + r, cy + r), fill=t["accent"])
        for dx, dy, rr in ((-0.3, 0.1, 0.32), (0.05, -0.1, 0.4), (0.35, 0.12, 0.3)):
            c.ellipse((cx + dx * r - rr * r, cy + dy * r - rr * r, cx + dx * r + rr * r, cy + dy * r + rr * r),
                      fill=(255, 255, 255))
        c.rect((cx - r * 0.6, cy + r * 0.1, cx + r * 0.65, cy + r * 0.42), fill=(255, 255, 255))


def side_background(c, t, box=None):
    box = box or (0, 0, c.w, c.h)
    c.gradient(box, t["main"], t["dark"])
    # a faint network of nodes gives the column some texture
    for k in range(12):
        x = box[0] + (k * 37) % (box[2] - box[0])
        y = box[1] + (k * 53) % max(1, box[3] - box[1])
        x2 = box[0] + ((k + 3) * 37) % (box[2] - box[0])
        y2 = box[1] + ((k + 5) * 53) % max(1, box[3] - box[1])
        c.line([(x, y), (x2, y2)], mix(t["main"], t["light"], 0.25), 1)
        c.ellipse((x - 2, y - 2, x + 2, y + 2), fill=mix(t["main"], t["light"], 0.5))


def pic101(v, t):
    c = Canvas(*SIZES[101])
    side_background(c, t)
    logo_mark(c, v, 75, 40, 24, t)
    c.text((75, 80), t["latin"], 20, (255, 255, 255), "mm", True)
    c.text((75, 100), t["name"], 11, lighter(t["light"], 0.5), "mm")
    return c.image()


def pic102(v, t):
    c = Canvas(*SIZES[102])
    c.gradient((0, 0, 150, 40), t["main"], t["dark"])
    c.gradient((0, 0, 150, 40), mix(t["main"], t["dark"], 0.3), mix(t["main"], t["dark"], 0.7),
               horizontal=True)
    c.line([(142, 0), (142, 40)], t["light"], 2)
    return c.image()


def pic103(v, t):
    c = Canvas(*SIZES[103])
    c.gradient((0, 0, 150, 160), mix(t["main"], t["dark"], 0.5), t["dark"])
    c.line([(142, 0), (142, 160)], t["light"], 2)
    for k, s in enumerate(t["slogan"]):
        c.text((14, 30 + k * 22), s, 13, (255, 255, 255), "lm", True)
    # skyline of small servers and a cloud
    for k in range(5):
        x = 12 + k * 26
        h = 26 + (k * 17) % 30
        c.rect((x, 150 - h, x + 20, 150), fill=mix(t["dark"], t["light"], 0.3 + k * 0.05), radius=2)
        for j in range(h // 8):
            c.rect((x + 4, 150 - h + 4 + j * 8, x + 16, 150 - h + 7 + j * 8), fill=t["accent"])
    c.text((14, 84), "Practice makes pass.", 10, lighter(t["light"], 0.3), "lm")
    return c.image()


def pic104(v, t):
    c = Canvas(*SIZES[104])
    side_background(c, t)
    c.rect((14, 16, 136, 118), fill=(255, 255, 255), radius=10)
    c.rect((14, 16, 136, 40), fill=t["light"], radius=10)
    c.rect((14, 30, 136, 40), fill=t["light"])
    c.text((75, 28), "PRACTICE EXAM", 11, (255, 255, 255), "mm", True)
    for k in range(4):
        y = 52 + k * 16
        c.ellipse((24, y - 5, 34, y + 5), outline=t["main"], width=2)
        if k != 2:
            c.line([(26, y), (29, y + 3), (34, y - 5)], (40, 170, 90), 2)
        c.rect((42, y - 3, 124 - k * 9, y + 3), fill=lighter(t["main"], 0.7), radius=2)
    c.text((75, 140), "模擬試験", 18, (255, 255, 255), "mm", True)
    c.text((75, 166), t["name"], 10, lighter(t["light"], 0.5), "mm")
    return c.image()


def pic105(v, t):
    c = Canvas(*SIZES[105])
    side_background(c, t)
    logo_mark(c, v, 75, 46, 26, t)
    c.text((75, 90), t["latin"], 18, (255, 255, 255), "mm", True)
    c.text((75, 110), t["sub"], 9, lighter(t["light"], 0.4), "mm")
    steps = ["カテゴリを選ぶ", "出題数と時間", "モードを選ぶ", "スタート!"]
    for k, s in enumerate(steps):
        y = 150 + k * 48
        c.ellipse((14, y - 14, 42, y + 14), fill=t["accent"])
        c.text((28, y), str(k + 1), 15, t["dark"], "mm", True)
        c.text((50, y), s, 12, (255, 255, 255), "lm", True)
        if k < 3:
            c.line([(28, y + 15), (28, y + 33)], t["accent"], 2)
    c.text((75, 346), "STEP BY STEP", 9, lighter(t["light"], 0.4), "mm")
    return c.image()


def pic106(v, t):
    # The exam screen draws its hand from (59, 53), 42 pixels long.
    c = Canvas(*SIZES[106])
    c.gradient((0, 0, 118, 120), t["dark"], darker(t["dark"], 0.4))
    cx, cy, r = 59, 53, 50
    c.ellipse((cx - r, cy - r, cx + r, cy + r), fill=t["main"])
    c.ellipse((cx - r + 3, cy - r + 3, cx + r - 3, cy + r - 3), fill=(250, 251, 253))
    for k in range(60):
        a = math.radians(k * 6)
        r1 = 41 if k % 5 == 0 else 44
        c.line([(cx + math.sin(a) * r1, cy - math.cos(a) * r1),
                (cx + math.sin(a) * 46, cy - math.cos(a) * 46)],
               t["dark"] if k % 5 == 0 else (150, 156, 168), 2 if k % 5 == 0 else 1)
    for k, s in ((0, "0"), (15, "15"), (30, "30"), (45, "45")):
        a = math.radians(k * 6)
        c.text((cx + math.sin(a) * 33, cy - math.cos(a) * 33), s, 9, (90, 96, 110), "mm", True)
    c.ellipse((cx - 3, cy - 3, cx + 3, cy + 3), fill=t["dark"])
    c.text((59, 112), "TIME", 10, lighter(t["light"], 0.4), "mm", True)
    return c.image()


def pic107(v, t):
    c = Canvas(*SIZES[107])
    c.gradient((0, 0, 600, 6), t["light"], t["main"], horizontal=True)
    c.line([(0, 0), (600, 0)], lighter(t["light"], 0.5), 1)
    return c.image()


def pic108(v, t):
    c = Canvas(*SIZES[108])
    for k in range(4):
        x = k * 129
        col = LEVEL_COLORS[k]
        c.gradient((x, 0, x + 129, 42), t["dark"], darker(t["dark"], 0.3))
        c.rect((x + 4, 5, x + 40, 37), fill=col, radius=6)
        c.text((x + 22, 15), "Lv", 9, (255, 255, 255), "mm", True)
        c.text((x + 22, 28), str(k + 1), 14, (255, 255, 255), "mm", True)
        name = t["levels"][k] or "LEVEL %d" % (k + 1)
        size = 12 if len(name) <= 5 else 10
        c.text((x + 46, 29), name, size, (255, 255, 255), "lm", True)
        for s in range(k + 1):
            sx = x + 52 + s * 13
            c.polygon([(sx, 6), (sx + 2, 11), (sx + 7, 11), (sx + 3, 14), (sx + 5, 19), (sx, 16),
                       (sx - 5, 19), (sx - 3, 14), (sx - 7, 11), (sx - 2, 11)], (255, 210, 80))
    return c.image()


def pic109(v, t):
    c = Canvas(*SIZES[109], bg=(0, 0, 0))
    c.rect((0, 0, 77, 36), fill=(0, 0, 0))
    c.rect((1, 1, 76, 44), fill=t["dark"], radius=8)
    c.gradient((3, 3, 74, 36), lighter(t["main"], 0.3), t["main"])
    c.line([(8, 3), (69, 3)], t["accent"], 2)
    c.rect((1, 1, 76, 44), outline=lighter(t["light"], 0.4), width=1, radius=8)
    logo_mark(c, v, 14, 18, 8, t)
    c.text((46, 18), t["latin"], 12 if len(t["latin"]) <= 4 else 10, (255, 255, 255), "mm", True)
    return c.image()


def pic110(v, t):
    c = Canvas(*SIZES[110], bg=(0, 0, 0))
    c.gradient((0, 0, 96, 28), lighter(t["main"], 0.2), t["dark"])
    c.rect((0, 0, 96, 28), outline=t["light"], radius=5)
    c.ellipse((6, 5, 24, 23), fill=(255, 255, 255))
    c.text((15, 14), "i", 13, t["dark"], "mm", True)
    c.text((60, 14), "ベンダー情報", 10, (255, 255, 255), "mm", True)
    return c.image()


PICTURES = {101: pic101, 102: pic102, 103: pic103, 104: pic104, 105: pic105, 106: pic106,
            107: pic107, 108: pic108, 109: pic109, 110: pic110}
