#pragma once

#include <string_view>

namespace tovalo {

// How a question is answered. The question file stores the number; nothing
// outside this header compares those numbers: everything a style means is
// in its traits.
enum class AnswerStyle {
    Single = 1,        // one radio mark
    Multiple = 2,      // check marks, at most AnswerCount
    Graphic = 3,       // zones to mark on a figure, in its own window
    Panel = 4,         // panels dragged into slots, in its own window
    Descriptive = 5,   // a typed answer, in its own window
    PanelSecond = 6,   // the second panel window
    Connect = 7,       // a connection diagram, in its own window
    ClickPicture = 8,  // clicks on the figure in the exam screen itself
    Sorted = 9,        // one radio mark; choices sorted by a key that is not shown
};

// What the learner answers with on the exam screen.
enum class AnswerWith { Radio, CheckBoxes, StyleWindow, Picture };

struct AnswerStyleTraits {
    AnswerStyle style;
    AnswerWith answeredWith;
    // Shown choice slots read for the data lines "a@".."e@" (0: none).
    int scannedSlots;
    // Characters a data line loses at the front: 2 drops "x@", 1 keeps "@".
    int groupPrefix;
    // Figures of the question handed to the style window or picture.
    int figuresTaken;
    // The question's figures open from buttons beside the question.
    bool figureButtons;
    // Choices are sorted by a two-character key, which the rows do not show.
    bool keyedChoices;
    // What the result grid shows instead of letters; empty for choice styles.
    std::string_view gradeText;
    // The window that takes the answer and the one that shows the correct
    // answer; empty when the style needs none.
    std::string_view window;
    std::string_view viewWindow;
};

// The number as the question file holds it, when it names a style.
bool isAnswerStyle(int fileValue);
// Only for numbers isAnswerStyle accepts (the loader refuses all others).
AnswerStyle answerStyle(int fileValue);

const AnswerStyleTraits& traitsOf(AnswerStyle style);
// The traits of the style a question file names.
const AnswerStyleTraits& traitsOf(int fileValue);

}  // namespace tovalo
