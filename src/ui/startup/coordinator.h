#pragma once

#include <QObject>

#include "core/styles/answer_style.h"

namespace tovalo::ui {

class Screens;

// Decides which screen comes next. The screens only say what happened
// (a course was chosen, the exam was graded, the learner wants to leave);
// this is the one place that knows the road from one screen to the next
// and which windows open over which.
class Coordinator : public QObject {
    Q_OBJECT

  public:
    Coordinator(Screens& screens, QObject* parent);

  private:
    void connectCourseScreens();
    void connectExamScreens();
    void connectSideRoads();
    void backToCourseMenu();
    // The window that shows a special style's correct answer, over the
    // window that asked for it.
    void openStyleView(AnswerStyle style);

    Screens& screens_;
};

}  // namespace tovalo::ui
