#!/usr/bin/python3
"""Checks the sources of the sample installation for what the packer cannot see.

The packer and "qdf check" make sure a course loads; this script makes sure it
makes sense: counts agree with the records, the data lines of the special
answer styles can actually be solved on their figures, every named file is
there, every text fits in CP932, and the vendor bundles hold what the program
asks for.  Standard library only, so it runs as a test anywhere.

Usage: check_data.py [DATA_DIR]        (default: data/ beside this script)
Exit status 1 and one line per problem when anything is wrong.
"""

import os
import re
import struct
import sys

MARKERS = {"*CE", "*QE", "*AE", "*EE", "*EOF"}
FORMAT_TAGS = {"QFileFormat-v1.4": 1, "QFileFormat-x2.0": 2}
VENDOR_SIZES = {101: (150, 120), 102: (150, 40), 103: (150, 160), 104: (150, 200), 105: (150, 360),
                106: (118, 120), 107: (600, 6), 108: (516, 42), 109: (77, 36), 110: (96, 28)}
ENCODED_BIN = ["Tovalo20.ini", "CGI_URL", "His_srv", "SRV_INFO", "online", "urlref", "LaunchProto",
               "QuesProto", "QuesProto2", "FormProto", "Print/PrintProto"]
WAVS = ["cat.wav", "test.wav", "start.wav", "10min.wav", "05min.wav", "01min.wav", "Dorvel.wav",
        "Bad.wav", "Soso.wav", "Good.wav", "Excellent.wav"]
TEMPLATE_MARKERS = {
    "QuesProto": ["#SERIAL#", "#CGI_URL#", "#NAME#", "#MAIL#", "#ORGA#", "#QUESNUM#", "#QDFDATE#",
                  "#QUES#", "#TEST#", "#ANSW#"],
    "FormProto": ["#SERIAL#", "#CGI_URL#", "#NAME#", "#MAIL#", "#ORGA#", "#TEST#", "#FILE#"],
    "LaunchProto": ["#CDPATH#"],
}
TEMPLATE_MARKERS["QuesProto2"] = TEMPLATE_MARKERS["QuesProto"]


class Report:
    def __init__(self):
        self.problems = []

    def __call__(self, where, message):
        self.problems.append("%s: %s" % (where, message))


def cp932_ok(text):
    # Python's codec quietly writes a few look-alikes (U+301C for U+FF5E);
    # the program's converter refuses them, so only a round trip counts.
    try:
        return text.encode("cp932").decode("cp932") == text
    except UnicodeEncodeError:
        return False


def image_size(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        return "png", struct.unpack(">II", data[16:24])
    if data[:2] == b"BM":
        w, h = struct.unpack("<ii", data[18:26])
        bits = struct.unpack("<H", data[28:30])[0]
        return "bmp%d" % bits, (w, abs(h))
    if data[:2] == b"\xff\xd8":
        i = 2
        while i + 9 < len(data):
            if data[i] != 0xFF:
                i += 1
                continue
            marker = data[i + 1]
            if marker in (0xC0, 0xC1, 0xC2):
                h, w = struct.unpack(">HH", data[i + 5:i + 9])
                return "jpeg", (w, h)
            length = struct.unpack(">H", data[i + 2:i + 4])[0]
            i += 2 + length
        return "jpeg", None
    if data[:6] in (b"GIF87a", b"GIF89a"):
        return "gif", struct.unpack("<HH", data[6:10])
    return None, None


def ints(text, count):
    parts = text.split(",")
    if len(parts) != count or not all(re.fullmatch(r"-?\d+", p) for p in parts):
        return None
    return [int(p) for p in parts]


def inside(rect, size):
    x1, y1, x2, y2 = rect
    return 0 <= x1 < x2 <= size[0] and 0 <= y1 < y2 <= size[1]


# --- question sources ----------------------------------------------------------

class Source:
    def __init__(self, path, report):
        self.path = path
        self.report = report
        with open(path, encoding="utf-8") as f:
            self.lines = f.read().split("\n")
        if self.lines and self.lines[-1] == "":
            self.lines.pop()
        self.pos = 0

    def where(self):
        return "%s:%d" % (self.path, self.pos)

    def take(self):
        if self.pos >= len(self.lines):
            raise EOFError(self.path + ": ends too early")
        line = self.lines[self.pos]
        self.pos += 1
        return line

    def number(self):
        line = self.take()
        if not re.fullmatch(r"\s*-?\d+\s*", line):
            self.report(self.where(), "not a number: %r" % line)
            return 0
        return int(line)

    def block(self, marker):
        out = []
        while True:
            line = self.take()
            if line.strip() == marker:
                return out
            if line.strip() in MARKERS:
                self.report(self.where(), "marker %s inside a block ending with %s" % (line.strip(),
                                                                                     marker))
            if line.startswith("\\"):
                self.report(self.where(), "line starts with a backslash")
            if not cp932_ok(line):
                self.report(self.where(), "not encodable in CP932: %r" % line)
            out.append(line)


def figure_names(lines):
    if lines and lines[0].startswith("<INCLUDE IMG>"):
        return [n for n in lines[0][13:].split("@")[1:]]
    return []


def groups(choices, scan, strip):
    found = {}
    for text in choices[:scan]:
        if len(text) >= 2 and text[1] == "@" and text[0] in "abcde":
            found[text[0]] = text[strip:]
    return found


def split_items(text):
    return [] if "@" not in text else text.split("@")[1:]


def check_style(where, q, img_dir, fmt, report):
    style, choices = q["style"], q["choices"]
    figs = q["figures"]
    if style == 2 and q["answers"] < 2:
        report(where, "style 2 with fewer than two correct choices")
    if style in (1, 9) and q["answers"] != 1:
        report(where, "style %d takes exactly one correct choice" % style)
    if style == 9:
        keys = [c[:2] for c in choices]
        if any(len(c) < 3 for c in choices) or len(set(keys)) != len(keys):
            report(where, "style 9 choices need distinct two-character keys")
    if style in (3, 4, 5, 6, 7, 8):
        if q["answers"] != 1 or q["show"] != q["count"]:
            report(where, "special style must show every data line and have one correct line")
        if not choices or not choices[0].startswith("a@"):
            report(where, "the first (correct) choice must be group a")
        letters = [c[0] for c in choices if len(c) > 1 and c[1] == "@"]
        if len(letters) != len(choices) or len(set(letters)) != len(letters):
            report(where, "every data line needs its own group letter")
    if style in (3, 4, 6, 7, 8) and not figs:
        report(where, "style %d needs a figure" % style)
        return
    size = None
    if figs:
        path = os.path.join(img_dir, figs[0])
        if os.path.exists(path):
            kind, size = image_size(path)
            if style in (4, 6, 7) and kind != "bmp24":
                report(where, "style %d reads its picture as a 24-bit BMP, %s is %s" % (style, figs[0], kind))
    if style in (3, 8):
        g = groups(choices, 6, 2)
        zones = []
        for letter in "abcde":
            if letter not in g:
                break
            r = ints(g[letter].strip(), 4)
            if r is None or (size and not inside(r, size)) or (r and (r[2] - r[0] < 8 or r[3] - r[1] < 8)):
                report(where, "zone %s is not a usable rectangle on the figure: %r" % (letter, g[letter]))
            zones.append(r)
        if len(zones) != len(g):
            report(where, "zones must be a, b, c ... without a gap")
    if style in (4, 6):
        g = groups(choices, 3, 1)
        if set(g) != {"a", "b", "c"}:
            report(where, "panel style needs groups a, b and c")
            return
        fields = 5 if style == 6 else 4
        rects = {}
        for key in "bc":
            for item in split_items(g[key]):
                parts = item.split(",")
                r = ints(",".join(parts[:4]), 4)
                if r is None or len(parts) != fields or (size and not inside(r, size)):
                    report(where, "bad panel item %r" % item)
                    continue
                rects.setdefault(key, []).append((r, item if style == 4 else parts[4]))
        slots, pieces = rects.get("b", []), rects.get("c", [])
        names = {k: {n for _, n in v} for k, v in rects.items()}
        pairs = [p.split(";") for p in split_items(g["a"])]
        for p in pairs:
            if len(p) != 2 or p[0] not in names.get("b", ()) or p[1] not in names.get("c", ()):
                report(where, "expected pair %r names no slot and piece" % ";".join(p))
        if style == 6 and len(pairs) != len(slots):
            report(where, "style 6 lists every slot in its expected answer")
        # A piece dropped on a slot must land in that slot: snap tolerance
        # is 50 pixels across and 15 down from the slot's corner.
        for i, (a, _) in enumerate(slots):
            for b, _ in slots[i + 1:]:
                if abs(a[0] - b[0]) < 100 and abs(a[1] - b[1]) < 30:
                    report(where, "slots %r and %r are too close to tell apart" % (a, b))
        for s, _ in slots:
            for p, _ in pieces:
                if abs(s[0] - p[0]) < 50 and abs(s[1] - p[1]) < 15:
                    report(where, "piece %r already sits on slot %r" % (p, s))
    if style == 5:
        g = groups(choices, 3, 2)
        if not g.get("a") or g["a"] != g["a"].strip():
            report(where, "typed answer must be non-empty without outer blanks")
        if g.get("b", "").strip() not in ("on", "off"):
            report(where, "case rule must be on or off")
        if not re.fullmatch(r"\d+", g.get("c", "")) or int(g["c"]) < len(g.get("a", "")):
            report(where, "maximum length must be a number that fits the answer")
    if style == 7:
        g = groups(choices, 3, 1)
        if set(g) != {"a", "b", "c"} or len(figs) < 2:
            report(where, "connect style needs groups a, b, c and two figures")
            return
        panels, connectors = {}, {}
        for item in split_items(g["b"]):
            parts = item.split(",", 4)
            r = ints(",".join(parts[:4]), 4)
            if r is None or len(parts) != 5 or (size and not inside(r, size)) or r[1] < 45:
                report(where, "bad panel %r" % item)
            else:
                panels[parts[4]] = r
        for item in split_items(g["c"]):
            parts = item.split(",")
            r = ints(",".join(parts[:4]), 4)
            if r is None or len(parts) != 6 or (size and not inside(r, size)) or r[1] < 45 \
                    or not re.fullmatch(r"-?\d+", parts[5]):
                report(where, "bad connector %r" % item)
            else:
                connectors[parts[4]] = int(parts[5])
        for item in split_items(g["a"]):
            parts = item.split(";")
            if len(parts) != 4 or parts[0] not in panels or parts[1] not in panels \
                    or parts[2] not in connectors or parts[3] not in ("0", "1", "2"):
                report(where, "bad expected connection %r" % item)
            elif (parts[3] == "0") != (connectors[parts[2]] == 0):
                report(where, "direction of %r does not match its connector" % item)
        if len(panels) > 20 or len(connectors) > 20:
            report(where, "more than 20 panels or connectors")
    if fmt == 2 and style in (1, 2, 9) and any("<" in c and ">" in c for c in choices):
        report(where, "choices are shown escaped; mark-up in them would show as text")


def check_course(path, data_dir, vendor, report):
    src = Source(path, report)
    img_dir = os.path.join(data_dir, "qdat", vendor, "img")
    base = os.path.splitext(os.path.basename(path))[0]
    used_figures = set()
    try:
        tag = src.take()
        fmt = FORMAT_TAGS.get(tag)
        if fmt is None:
            report(src.where(), "unknown format tag %r" % tag)
        line2 = src.take()
        if not re.fullmatch(r"\d+/\d+", line2):
            report(src.where(), "line 2 must be count/passmark")
        src.number()
        if src.take() != base:
            report(src.where(), "exam code differs from the file name")
        title = src.take()
        if not title.strip() or not cp932_ok(title):
            report(src.where(), "bad title")
        flags = [src.take() for _ in range(3)]
        line9 = src.take()
        if not re.fullmatch(r"\d{14}N?", line9):
            report(src.where(), "line 9 must be yyyymmddhhmmss, optionally followed by N")
        total = src.number()
        cats = []
        for slot in range(50):
            name = src.take()
            if name.strip() == "*CE":
                break
            if slot == 49:
                report(src.where(), "more than 49 categories")
            count = src.number()
            subs = [(src.take(), src.number()) for _ in range(20)]
            cats.append((name, count, subs))
        records = []
        while src.pos < len(src.lines):
            q = {"num": src.number(), "cat": src.number(), "sub": src.number()}
            where = "%s question %d" % (path, q["num"])
            q["text"] = src.block("*QE")
            q["count"], q["show"], q["answers"], q["style"] = [src.number() for _ in range(4)]
            raw = [src.block("*AE") for _ in range(10)]
            skipped = [src.take() for _ in range(11)]
            q["expl"] = src.block("*EE")
            refs = [(src.take(), src.take()) for _ in range(4)]
            cbt = [(src.take(), src.take()) for _ in range(2)]
            closing = src.take()
            choices = ["\n".join(c).strip() for c in raw]
            present = [c for c in choices if c != "Null"]
            if choices[:len(present)] != present:
                report(where, "an empty choice slot comes before a used one")
            if len(present) != q["count"]:
                report(where, "ChoiceCount %d but %d choices" % (q["count"], len(present)))
            if not (1 <= q["answers"] <= q["show"] <= q["count"] <= 10):
                report(where, "counts must satisfy 1 <= answers <= shown <= choices <= 10")
            if len(set(present)) != len(present):
                report(where, "two choices are the same")
            if not 1 <= q["style"] <= 9:
                report(where, "style out of range")
            if not (1 <= q["cat"] <= len(cats)) or not (1 <= q["sub"] <= 20) or \
                    not cats[q["cat"] - 1][2][q["sub"] - 1][0].strip():
                report(where, "category %d/%d is not in the table" % (q["cat"], q["sub"]))
            if any(s.strip() not in ("", "0") for s in skipped):
                report(where, "the 11 unused lines should hold 0")
            q["choices"] = present
            q["figures"] = figure_names(q["text"])
            efigs = figure_names([line for line in q["expl"] if line.strip()])
            if len(q["figures"]) > 4 or len(efigs) > 3:
                report(where, "too many figures")
            for name in q["figures"] + efigs:
                used_figures.add(name)
                if not os.path.exists(os.path.join(img_dir, name)):
                    report(where, "figure %s is missing" % name)
            body = [line for line in q["text"] if not line.startswith("<INCLUDE IMG>")]
            if not "".join(body).strip() or not "".join(q["expl"]).strip():
                report(where, "question text and explanation must not be empty")
            if fmt == 2:
                if "<!-- QS -->" not in body or "<!-- QE -->" not in body:
                    report(where, "HTML question text needs the QS and QE comment lines")
                if "<!-- KS -->" not in q["expl"] or "<!-- KE -->" not in q["expl"]:
                    report(where, "HTML explanation needs the KS and KE comment lines")
            for text, page in refs:
                if text.strip() in ("", "Null") and page.strip() not in ("", "Null"):
                    report(where, "a reference page without its title")
                if page.strip() not in ("", "Null") and not re.fullmatch(r"\d+", page.strip()):
                    report(where, "reference page %r is not a page number" % page)
            for hint, doc in cbt:
                if doc.strip():
                    target = os.path.join(data_dir, "bin", "Ref", doc.strip()[9:])
                    if not hint.strip() or not os.path.exists(target):
                        report(where, "training document %s has no hint or no file under Ref/" % doc)
            check_style(where, q, img_dir, fmt, report)
            records.append(q)
            last = src.pos >= len(src.lines)
            if (closing.strip() == "*EOF") != last:
                report(where, "*EOF must close the last record and only that")
        if total != len(records):
            report(path, "QuesTotal %d but %d records" % (total, len(records)))
        if len(records) > 500:
            report(path, "more than 500 records")
        nums = [q["num"] for q in records]
        if len(set(nums)) != len(nums):
            report(path, "question numbers repeat")
        for ci, (name, count, subs) in enumerate(cats, start=1):
            real = [sum(1 for q in records if q["cat"] == ci and q["sub"] == si) for si in range(1, 21)]
            used = [i for i, (n, _) in enumerate(subs) if n.strip()]
            if used != list(range(len(used))):
                report(path, "minor categories of %s must come first, without gaps" % name)
            for si, (sname, scount) in enumerate(subs):
                if scount != real[si]:
                    report(path, "%s / %s: count %d, %d questions" % (name, sname, scount, real[si]))
            if count != sum(real):
                report(path, "%s: count %d, %d questions" % (name, count, sum(real)))
        return {"fmt": fmt, "flags": flags, "shuffle": not line9.endswith("N"), "records": records,
                "figures": used_figures}
    except EOFError as e:
        report(path, str(e))
        return None


def check_course_ini(path, data_dir, vendor, course, report):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    if not cp932_ok(text):
        report(path, "not encodable in CP932")
    lines = text.split("\n")
    img_dir = os.path.join(data_dir, "qdat", vendor, "img")
    listed = []
    first_section = next((i for i, l in enumerate(lines) if l.startswith("[")), len(lines))
    if first_section < 3 or not re.fullmatch(r"\d+", lines[1].strip()):
        report(path, "the figure list starts with a free line, a version number and a free line")
    for line in lines[3:first_section]:
        if not re.fullmatch(r"\S+ \d+", line):
            report(path, "figure list line %r is not 'name version'" % line)
        else:
            listed.append(line.split()[0])
    sections = {}
    current = None
    for line in lines[first_section:]:
        m = re.fullmatch(r"\[(.+)\]\s*", line)
        if m:
            current = m.group(1)
            sections[current] = []
        elif current is not None:
            sections[current].append(line)
    needed = set(course["figures"]) if course else set()
    if "case study" in sections:
        image = dict(l.split("=", 1) for l in sections.get("CASE STUDY IMAGE", []) if "=" in l)
        if image.get("FMT") not in ("text", "html"):
            report(path, "FMT must be text or html")
        for key in ("IMG1", "IMG2", "IMG3", "IMG4"):
            name = image.get(key, "none")
            if name != "none":
                needed.add(name)
                if not os.path.exists(os.path.join(img_dir, name)):
                    report(path, "%s names a missing figure %s" % (key, name))
    for name in needed - set(listed):
        report(path, "figure %s is used but not in the figure list" % name)
    for name in listed:
        if not os.path.exists(os.path.join(img_dir, name)):
            report(path, "listed figure %s is missing" % name)
    if "Level" in sections:
        keys = [l.split("=", 1)[0] for l in sections["Level"] if "=" in l]
        if keys != ["TextA", "TextB", "TextC", "TextD", "TextE"]:
            report(path, "[Level] should give TextA to TextE")
    return set(listed)


# --- vendors and program directory --------------------------------------------

def check_vendors(data_dir, report):
    with open(os.path.join(data_dir, "bin", "Tovalo20.ini"), encoding="utf-8") as f:
        ini = f.read().split("\n")
    order = [l.split("=", 1)[1] for l in ini if re.fullmatch(r"\d+=\S+", l)]
    if not ini or ini[0] != "[Vender]" or not order:
        report("bin/Tovalo20.ini", "needs a [Vender] section with 1=, 2=, ...")
    for index, vendor in enumerate(order, start=1):
        folder = os.path.join(data_dir, "vendors", vendor)
        where = "vendors/%s" % vendor
        try:
            with open(os.path.join(folder, "strings.txt"), encoding="utf-8") as f:
                lines = f.read().split("\n")
        except OSError:
            report(where, "strings.txt is missing")
            continue
        strings = {}
        for line in lines:
            if not line:
                continue
            m = re.fullmatch(r"(\d+)=(.*)", line)
            if not m:
                report(where, "bad line %r" % line)
                continue
            strings[int(m.group(1))] = m.group(2)
        if sorted(strings) != list(range(1, 13)):
            report(where, "strings 1 to 12 are needed, each once")
            continue
        for n, s in strings.items():
            if not cp932_ok(s) or len(s.encode("cp932", "replace")) > 100 or s == "":
                report(where, "string %d is empty, too long or not CP932" % n)
        if strings[2] != vendor or strings[3] != str(index):
            report(where, "string 2 must be the folder and string 3 the tab position %d" % index)
        if strings[12] not in ("A", "a", "ｱ"):
            report(where, "string 12 must be A, a or ｱ")
        for n in (4, 9):
            if not re.fullmatch(r"\d+", strings[n]) or int(strings[n]) > 0xFFFFFF:
                report(where, "string %d must be a colour value" % n)
        for n, size in VENDOR_SIZES.items():
            p = os.path.join(folder, "%d.png" % n)
            kind, got = image_size(p) if os.path.exists(p) else (None, None)
            if kind != "png" or tuple(got) != size:
                report(where, "%d.png must be a %dx%d PNG" % (n, size[0], size[1]))
        with open(os.path.join(folder, "bundle.qrc"), encoding="utf-8") as f:
            qrc = f.read()
        for name in ["strings.txt"] + ["%d.png" % n for n in VENDOR_SIZES]:
            if "<file>%s</file>" % name not in qrc:
                report(where, "bundle.qrc does not list %s" % name)
        if not os.path.isdir(os.path.join(data_dir, "qdat", vendor)):
            report(where, "has no question folder")
        if not os.path.exists(os.path.join(data_dir, "bin", vendor + "-info.html")):
            report(where, "has no information page")
    return order


def check_bin(data_dir, report):
    bin_dir = os.path.join(data_dir, "bin")
    for name in ENCODED_BIN:
        path = os.path.join(bin_dir, name)
        if not os.path.exists(path):
            report("bin/" + name, "missing")
            continue
        with open(path, encoding="utf-8") as f:
            text = f.read()
        if not cp932_ok(text):
            report("bin/" + name, "not encodable in CP932")
        lines = [l.strip() for l in text.split("\n")]
        for marker in TEMPLATE_MARKERS.get(name, []):
            if marker not in lines:
                report("bin/" + name, "lacks the marker line %s" % marker)
    expected_lines = {"CGI_URL": 1, "online": 1, "urlref": 1, "His_srv": 3, "SRV_INFO": 4}
    for name, count in expected_lines.items():
        with open(os.path.join(bin_dir, name), encoding="utf-8") as f:
            lines = [l for l in f.read().split("\n") if l.strip()]
        if len(lines) != count:
            report("bin/" + name, "needs %d lines" % count)
        for line in lines:
            if name in ("CGI_URL", "online", "urlref"):
                ok = line.startswith("http://localhost")
            elif name == "His_srv":
                # host and path only; the program puts "http://" in front
                ok = line.startswith("localhost") and "/" in line
            else:
                ok = "http://" not in line
            if not ok:
                report("bin/" + name, "address %r must point at localhost in the expected form" % line)
    with open(os.path.join(bin_dir, "SRV_INFO"), encoding="utf-8") as f:
        info = [l.strip() for l in f.read().split("\n") if l.strip()]
    if len(info) == 4 and (not info[0].startswith("localhost") or not info[2].startswith("localhost")
                           or info[1].startswith("/") or info[3].startswith("/")):
        report("bin/SRV_INFO", "hosts are localhost and paths have no leading slash")
    for name in WAVS:
        path = os.path.join(bin_dir, "wav", name)
        if not os.path.exists(path):
            report("bin/wav/" + name, "missing")
            continue
        with open(path, "rb") as f:
            head = f.read(44)
        if head[:4] != b"RIFF" or head[8:12] != b"WAVE" or len(head) < 44:
            report("bin/wav/" + name, "not a WAVE file")
    for name in ("print_scale.gif", "red.gif", "black.gif"):
        path = os.path.join(bin_dir, "Print", name)
        kind = image_size(path)[0] if os.path.exists(path) else None
        if kind != "gif":
            report("bin/Print/" + name, "missing or not a GIF")
    scale = os.path.join(bin_dir, "Print", "print_scale.gif")
    if os.path.exists(scale) and image_size(scale)[1][0] != 400:
        report("bin/Print/print_scale.gif", "the scale must be as wide as a full bar, 400 pixels")


def main():
    data_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "data")
    report = Report()
    vendors = check_vendors(data_dir, report)
    check_bin(data_dir, report)
    for vendor in vendors:
        folder = os.path.join(data_dir, "qdat", vendor)
        listed = set()
        for name in sorted(os.listdir(folder)):
            if name.endswith(".txt"):
                course = check_course(os.path.join(folder, name), data_dir, vendor, report)
                ini = os.path.join(folder, name[:-4] + ".ini")
                if os.path.exists(ini):
                    listed |= check_course_ini(ini, data_dir, vendor, course, report)
                elif course and course["figures"]:
                    report(os.path.join(folder, name), "uses figures but has no settings file")
        img_dir = os.path.join(folder, "img")
        for name in sorted(os.listdir(img_dir)) if os.path.isdir(img_dir) else []:
            if name not in listed:
                report(os.path.join(img_dir, name), "figure is not used by any course")
    for problem in report.problems:
        print(problem)
    if report.problems:
        print("%d problem(s)" % len(report.problems))
        return 1
    print("sample data: no problems")
    return 0


if __name__ == "__main__":
    sys.exit(main())
