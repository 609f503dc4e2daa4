"""Course definitions of the sample installation.

Every course module builds one Course; the questions list the correct
choices first, as the question file requires.
"""

import figure_layout as L


class Q:
    def __init__(self, cat, sub, text, choices, explanation, answers=1, show=None, style=None,
                 figures=(), expl_figures=(), refs=(), cbt=()):
        self.num = 0
        self.cat = cat
        self.sub = sub
        self.text = text
        self.choices = list(choices)
        self.explanation = explanation
        self.answers = answers
        self.show = len(self.choices) if show is None else show
        # Several correct choices are only answerable with check boxes.
        self.style = style if style is not None else (2 if answers > 1 else 1)
        self.figures = list(figures)
        self.expl_figures = list(expl_figures)
        self.refs = list(refs)
        self.cbt = list(cbt)


class Course:
    def __init__(self, vendor, code, title, fmt, exam_count, time_limit, levels, date,
                 categories, questions, pass_mark=70, shuffle=True, case_study=None,
                 case_figures=(), case_format="text", level_texts=None, figure_list_version=1,
                 figure_versions=None, first_number=1):
        self.vendor = vendor
        self.code = code
        self.title = title
        self.fmt = fmt
        self.exam_count = exam_count
        self.time_limit = time_limit
        self.level_lines = levels
        self.date = date
        self.categories = categories
        self.questions = questions
        self.pass_mark = pass_mark
        self.shuffle = shuffle
        self.case_study = case_study
        self.case_figures = list(case_figures)
        self.case_format = case_format
        self.level_texts = level_texts
        self.figure_list_version = figure_list_version
        self.figure_versions = figure_versions or {}
        for i, q in enumerate(questions):
            q.num = first_number + i


# Header lines 6-8 for each level.
LEVEL_1 = ["1", "0", "0"]
LEVEL_2 = ["0", "1", "0"]
LEVEL_3 = ["0", "0", "1"]
LEVEL_3B = ["0", "0", "3"]
LEVEL_4 = ["0", "0", "2"]
NO_LEVEL = ["0", "0", "0"]


def html_question(*parts):
    # The page writer drops the first line of a question (it is where the
    # figure line would sit), and the review pane starts after the body tag.
    # The review list shows the first line after "QS" up to its "<br>", so
    # each sentence is kept on one line that ends with its "<br>".
    text = "".join(parts)
    lines = [line + "<br>" for line in text.split("<br>")[:-1]]
    rest = text.split("<br>")[-1]
    if rest:
        lines.append(rest)
    return ["<!-- question -->", '<body topmargin="1" leftmargin="1">', "<!-- QS -->",
            *lines, "<!-- QE -->"]


def html_explanation(*lines):
    return ["<!-- KS -->", *lines, "<!-- KE -->"]


def graphic(zones):
    return ["%s@%s" % ("abcde"[i], L.rect_text(z)) for i, z in enumerate(zones)]


def panel4(slots, pieces, pairs):
    return ["a" + L.panel_answer(slots, pieces, pairs),
            "b" + "".join("@" + L.rect_text(r) for r in slots),
            "c" + "".join("@" + L.rect_text(r) for r in pieces)]


def panel6(slots, pieces, pairs):
    return ["a" + "".join("@%s;%s" % pair for pair in pairs),
            "b" + "".join("@%s,%s" % (L.rect_text(r), i) for r, i in slots),
            "c" + "".join("@%s,%s" % (L.rect_text(p[0]), p[1]) for p in pieces)]


def descriptive(expected, case_rule, max_length):
    return ["a@" + expected, "b@" + case_rule, "c@" + str(max_length)]


def connect(answer, panels, connectors):
    return ["a" + "".join("@%s;%s;%s;%d" % a for a in answer),
            "b" + "".join("@%s,%s" % (L.rect_text(r), n) for r, n in panels),
            "c" + "".join("@%s,%s,%d" % (L.rect_text(r), n, d) for r, n, d in connectors)]


from courses import kcl110, kse100, nxa330, nxn101, nxs210, srd120, srl240  # noqa: E402

ALL_COURSES = [nxn101.COURSE, nxs210.COURSE, nxa330.COURSE, srd120.COURSE, srl240.COURSE,
               kse100.COURSE, kcl110.COURSE]
