#!/usr/bin/python3
"""Writes the sample courses: data/qdat/<vendor>/<CODE>.txt and <CODE>.ini.

The question sources are the readable (unscrambled, UTF-8) form of the .qdf
files; the build packs them.  Writing them from the definitions in
scripts/courses/ keeps every count in the header and the category table equal
to the real number of records, which is easy to get wrong by hand.

Run from anywhere:  /usr/bin/python3 scripts/make_courses.py
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)

from courses import ALL_COURSES  # noqa: E402

FORMAT_TAG = {1: "QFileFormat-v1.4", 2: "QFileFormat-x2.0"}
MARKERS = {"*CE", "*QE", "*AE", "*EE", "*EOF"}
MAX_SUBCATEGORIES = 20
SKIPPED_LINES = 11
# Any closing line other than "*EOF" lets the reader go on to the next record.
NEXT_RECORD = "*NEXT"


class CourseError(Exception):
    pass


def text_lines(value):
    if value is None:
        return []
    if isinstance(value, str):
        value = value.split("\n")
    out = []
    for line in value:
        if line.strip() in MARKERS:
            raise CourseError("text line is a marker: %r" % line)
        if line.startswith("\\"):
            raise CourseError("text line starts with a backslash: %r" % line)
        out.append(line)
    return out


def figure_line(names):
    return "<INCLUDE IMG>" + "".join("@" + n for n in names)


def check_counts(course, q):
    n_choices = len(q.choices)
    if not (0 < q.answers <= q.show <= n_choices <= 10):
        raise CourseError("%s Q%d: counts %d/%d/%d" % (course.code, q.num, q.answers, q.show,
                                                       n_choices))


def write_course(course):
    lines = []
    add = lines.append
    add(FORMAT_TAG[course.fmt])
    add("%d/%d" % (course.exam_count, course.pass_mark))
    add(str(course.time_limit))
    add(course.code)
    add(course.title)
    for flag in course.level_lines:
        add(flag)
    add(course.date + ("N" if not course.shuffle else ""))
    add(str(len(course.questions)))

    counts = {}
    for q in course.questions:
        counts[(q.cat, q.sub)] = counts.get((q.cat, q.sub), 0) + 1
    for ci, (cname, subs) in enumerate(course.categories, start=1):
        if len(subs) > MAX_SUBCATEGORIES:
            raise CourseError("too many minor categories in " + cname)
        add(cname)
        add(str(sum(counts.get((ci, si), 0) for si in range(1, len(subs) + 1))))
        for si in range(1, MAX_SUBCATEGORIES + 1):
            if si <= len(subs):
                if counts.get((ci, si), 0) == 0:
                    raise CourseError("%s: empty minor category %s" % (course.code, subs[si - 1]))
                add(subs[si - 1])
                add(str(counts[(ci, si)]))
            else:
                add("")
                add("0")
    add("*CE")
    for key in counts:
        ci, si = key
        if not (1 <= ci <= len(course.categories) and 1 <= si <= len(course.categories[ci - 1][1])):
            raise CourseError("%s: category %r outside the table" % (course.code, key))

    for index, q in enumerate(course.questions):
        check_counts(course, q)
        add(str(q.num))
        add(str(q.cat))
        add(str(q.sub))
        if q.figures:
            add(figure_line(q.figures))
        lines.extend(text_lines(q.text))
        add("*QE")
        add(str(len(q.choices)))
        add(str(q.show))
        add(str(q.answers))
        add(str(q.style))
        for k in range(10):
            if k < len(q.choices):
                lines.extend(text_lines(q.choices[k]))
            else:
                add("Null")
            add("*AE")
        lines.extend(["0"] * SKIPPED_LINES)
        if q.expl_figures:
            add(figure_line(q.expl_figures))
        lines.extend(text_lines(q.explanation))
        add("*EE")
        refs = list(q.refs) + [None] * (4 - len(q.refs))
        for ref in refs[:4]:
            if ref is None:
                add("Null")
                add("Null")
            else:
                add(ref[0])
                add(str(ref[1]) if ref[1] else "Null")
        cbt = list(q.cbt) + [("", "")] * (2 - len(q.cbt))
        for hint, path in cbt[:2]:
            add(hint)
            add(path)
        add("*EOF" if index == len(course.questions) - 1 else NEXT_RECORD)
    return "\n".join(lines) + "\n"


def write_ini(course):
    figures = []
    for q in course.questions:
        for name in q.figures + q.expl_figures:
            if name not in figures:
                figures.append(name)
    for name in course.case_figures:
        if name not in figures:
            figures.append(name)
    out = ["; %s %s 設定ファイル" % (course.code, course.title), str(course.figure_list_version),
           "; 図版一覧 (ファイル名 版数)"]
    out += ["%s %d" % (name, course.figure_versions.get(name, 1)) for name in figures]
    # The update compares this list line by line up to the first section and
    # cannot convert a blank line, so the first section follows directly.
    if course.case_study is not None:
        out.append("[case study]")
        out += text_lines(course.case_study)
        out.append("")
        out.append("[CASE STUDY IMAGE]")
        for i in range(4):
            name = course.case_figures[i] if i < len(course.case_figures) else "none"
            out.append("IMG%d=%s" % (i + 1, name))
        out.append("FMT=%s" % course.case_format)
        out.append("")
    if course.level_texts:
        out.append("[Level]")
        for key, text in zip("ABCDE", course.level_texts):
            out.append("Text%s=%s" % (key, text))
        out.append("")
    return "\n".join(out)


def main():
    for course in ALL_COURSES:
        folder = os.path.join(ROOT, "data", "qdat", course.vendor)
        os.makedirs(folder, exist_ok=True)
        nums = [q.num for q in course.questions]
        if len(set(nums)) != len(nums):
            raise CourseError("%s: question numbers repeat" % course.code)
        with open(os.path.join(folder, course.code + ".txt"), "w", encoding="utf-8",
                  newline="\n") as f:
            f.write(write_course(course))
        with open(os.path.join(folder, course.code + ".ini"), "w", encoding="utf-8",
                  newline="\n") as f:
            f.write(write_ini(course))
        print("%s/%s: %d questions" % (course.vendor, course.code, len(course.questions)))


if __name__ == "__main__":
    main()
