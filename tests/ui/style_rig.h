#pragma once

// An exam whose first question has a given special style, on the real exam
// screen, and the way a learner opens its style window: a click on the
// style button.

#include <QApplication>
#include <QTest>
#include <array>
#include <functional>
#include <string>

#include "core/styles/answer_style.h"
#include "exam_rig.h"
#include "ui/exam/TExamModeForm.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/widgets/image_button.h"

namespace style_rig {

using Mutation = std::function<void(tovalo::ExamQuestion&)>;

// Starts an exam of all `count` questions of `course` (of `vendor`) whose
// first question is the first drawn one of `style`, changed by `mutate`
// when given, and shows the exam screen.
inline tovalo::ui::TExamModeForm* openQuestion(ExamRig& rig, const std::string& vendor,
                                               const std::string& course, int count,
                                               tovalo::AnswerStyle style,
                                               const Mutation& mutate = {}) {
    rig.drawExam(vendor, course, count, 30, tovalo::SelectionMode::Normal,
                 [&](std::vector<tovalo::ExamQuestion>& exam) {
                     ExamRig::firstWhere([style](const tovalo::ExamQuestion& q) {
                         return tovalo::answerStyle(q.Style) == style;
                     })(exam);
                     if (mutate) {
                         mutate(exam.front());
                     }
                 });
    rig.screens->GenericMBForm->startExam();
    QTest::keyClick(rig.screens->GenericMBForm, Qt::Key_Space);
    return rig.screens->ExamModeForm;
}

// Clicks the style button of the question on screen, as the learner does.
inline void clickStyleButton(tovalo::ui::TExamModeForm* exam, tovalo::AnswerStyle style) {
    auto* button = exam->control<tovalo::ui::ImageButton>(
        QStringLiteral("ButtonType%1").arg(static_cast<int>(style)));
    QVERIFY(button != nullptr && button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    QWidget* window = QApplication::activeModalWidget();
    QVERIFY(window != nullptr);
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// The exam on a question of `style` and its style window opened by a click,
// as the window the learner now works in; null when it did not open.
inline QWidget* openStyleWindow(ExamRig& rig, const std::string& vendor, const std::string& course,
                                int count, tovalo::AnswerStyle style) {
    tovalo::ui::TExamModeForm* exam = openQuestion(rig, vendor, course, count, style);
    clickStyleButton(exam, style);
    return QApplication::activeModalWidget();
}

// The one slot a solved window marks, and no mark at all.
inline std::array<bool, 10> markedSlot(int slot) {
    std::array<bool, 10> marks{};
    if (slot > 0) {
        marks[slot - 1] = true;
    }
    return marks;
}

// Keys sent through the window system to whatever has the focus, as a
// keyboard would.
inline void typeKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target != nullptr);
    QTest::keyClick(target, key, modifiers);
}

}  // namespace style_rig
