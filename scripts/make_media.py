#!/usr/bin/python3
"""Makes every picture and sound of the sample installation.

  data/vendors/<vendor>/101.png ... 110.png   resource bundle pictures
  data/qdat/<vendor>/img/*.jpg, *.bmp         course figures
  data/bin/Print/print_scale.gif, red.gif, black.gif
  data/bin/wav/*.wav

Needs python3-pil and the IPA Gothic fonts (fonts-ipafont-gothic).  The output
is committed, so the build itself never runs this; running it again gives the
same files byte for byte.

Run from anywhere:  /usr/bin/python3 scripts/make_media.py
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)

from PIL import Image  # noqa: E402

import media_figures  # noqa: E402
import media_sound  # noqa: E402
import media_vendor  # noqa: E402
from media_canvas import Canvas  # noqa: E402


def save(img, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    ext = path.rsplit(".", 1)[1].lower()
    if ext == "jpg":
        img.convert("RGB").save(path, "JPEG", quality=90, subsampling=0)
    elif ext == "bmp":
        img.convert("RGB").save(path, "BMP")
    elif ext == "gif":
        img.save(path, "GIF")
    else:
        img.save(path, "PNG", optimize=True)


def vendor_pictures():
    for vendor, theme in media_vendor.THEMES.items():
        for number, draw in media_vendor.PICTURES.items():
            img = draw(vendor, theme)
            assert img.size == media_vendor.SIZES[number], (vendor, number, img.size)
            save(img, os.path.join(ROOT, "data", "vendors", vendor, "%d.png" % number))


def figures():
    for name, (vendor, draw) in media_figures.FIGURES.items():
        save(draw(), os.path.join(ROOT, "data", "qdat", vendor, "img", name))


def print_pictures():
    folder = os.path.join(ROOT, "data", "bin", "Print")
    # The report stretches the bars with width and height attributes; a
    # vertical shade survives the stretching and prints well in grey too.
    for name, top, bottom in (("red.gif", (236, 90, 80), (176, 30, 30)),
                              ("black.gif", (90, 94, 102), (30, 32, 36))):
        c = Canvas(4, 30, scale=1)
        c.gradient((0, 0, 4, 30), top, bottom)
        save(c.image().convert("P", palette=Image.ADAPTIVE, colors=32), os.path.join(folder, name))
    # The scale sits above bars that are 400 pixels wide for 100 %.
    c = Canvas(400, 22)
    c.rect((0, 0, 400, 22), fill=(255, 255, 255))
    c.line([(0, 20), (400, 20)], (60, 60, 60), 1)
    for k in range(11):
        x = min(k * 40, 399)
        c.line([(x, 20), (x, 13 if k % 2 == 0 else 16)], (60, 60, 60), 1)
        if k % 2 == 0:
            label = "%d%%" % (k * 10) if k == 10 else str(k * 10)
            c.text((x, 6), label, 10, (40, 40, 40), "rm" if k == 10 else ("lm" if k == 0 else "mm"))
    save(c.image().convert("P", palette=Image.ADAPTIVE, colors=16),
         os.path.join(folder, "print_scale.gif"))


def sounds():
    folder = os.path.join(ROOT, "data", "bin", "wav")
    os.makedirs(folder, exist_ok=True)
    for name in media_sound.SOUNDS:
        media_sound.write(os.path.join(folder, name), name)


def main():
    vendor_pictures()
    figures()
    print_pictures()
    sounds()


if __name__ == "__main__":
    main()
