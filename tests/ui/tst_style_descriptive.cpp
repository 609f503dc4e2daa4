// The typed-answer window, opened from the exam screen's style button and
// answered with real key and mouse events.

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "style_rig.h"
#include "ui/styles/TfrmSelStyle5.h"
#include "ui/styles/TfrmSelStyle5View.h"

using tovalo::AnswerStyle;
using tovalo::ui::ImageButton;
using tovalo::ui::TExamModeForm;
using namespace style_rig;

namespace {

// A typed-answer question whose answer, case rule and limit are these.
Mutation typedAnswer(const std::string& answer, const std::string& rule, const std::string& max) {
    return [=](tovalo::ExamQuestion& q) {
        q.ShownChoice[0] = "a@" + answer;
        q.ShownChoice[1] = "b@" + rule;
        q.ShownChoice[2] = "c@" + max;
    };
}

}  // namespace

class TestStyleDescriptive : public QObject {
    Q_OBJECT

  private slots:
    void typedAnswerIsJudgedAndMarksTheAnswerSlot() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TExamModeForm* exam = openQuestion(rig, "nexa", "NXS-210", 16, AnswerStyle::Descriptive,
                                           typedAnswer("Router", "off", "10"));
        auto* window = rig.screens->frmSelStyle5;
        clickStyleButton(exam, AnswerStyle::Descriptive);
        QVERIFY(window->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Tovalo 記述式"));
        QCOMPARE(window->size(), QSize(350, 86));
        auto* edit = window->control<QLineEdit>(QStringLiteral("Edit1"));
        QCOMPARE(QApplication::focusWidget(), edit);

        // Typed in lower case with blanks around it: right under "off".
        QTest::keyClicks(edit, QStringLiteral("  router "));
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!window->isVisible());
        QVERIFY(rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), markedSlot(1));

        // A new try starts from an empty field and a cleared answer; a
        // wrong answer leaves no mark.
        clickStyleButton(exam, AnswerStyle::Descriptive);
        QCOMPARE(edit->text(), QString());
        QCOMPARE(exam->marks(), markedSlot(0));
        QTest::keyClicks(edit, QStringLiteral("switch"));
        QTest::mouseClick(window->control<ImageButton>(QStringLiteral("Button1")), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QVERIFY(!rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), markedSlot(0));
    }

    void caseRuleOnAndTheFieldsLimit() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TExamModeForm* exam = openQuestion(rig, "nexa", "NXS-210", 16, AnswerStyle::Descriptive,
                                           typedAnswer("Proxy", "on", "5"));
        auto* window = rig.screens->frmSelStyle5;
        clickStyleButton(exam, AnswerStyle::Descriptive);
        auto* edit = window->control<QLineEdit>(QStringLiteral("Edit1"));
        QTest::keyClicks(edit, QStringLiteral("Proxyserver"));
        QCOMPARE(edit->text(), QStringLiteral("Proxy"));  // five characters and no more
        // Keyboard only: Tab to the button, Space presses it.
        typeKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window->control<QWidget>(QStringLiteral("Button1")));
        typeKey(Qt::Key_Space);
        QVERIFY(rig.session->exam.styleSolved());

        clickStyleButton(exam, AnswerStyle::Descriptive);
        QTest::keyClicks(edit, QStringLiteral("proxy"));
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!rig.session->exam.styleSolved());  // the case matters under "on"
        QCOMPARE(exam->marks(), markedSlot(0));
    }

    // Esc, like the close box, leaves the answer wrong even when the typed
    // text was right.
    void closingWithoutTheButtonLeavesTheAnswerWrong() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TExamModeForm* exam = openQuestion(rig, "nexa", "NXS-210", 16, AnswerStyle::Descriptive,
                                           typedAnswer("443", "off", "5"));
        auto* window = rig.screens->frmSelStyle5;
        clickStyleButton(exam, AnswerStyle::Descriptive);
        auto* edit = window->control<QLineEdit>(QStringLiteral("Edit1"));
        QTest::keyClicks(edit, QStringLiteral("443"));
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QVERIFY(!rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), markedSlot(0));

        clickStyleButton(exam, AnswerStyle::Descriptive);
        QTest::keyClicks(edit, QStringLiteral("443"));
        window->close();
        QCOMPARE(exam->marks(), markedSlot(0));
    }

    // A maximum that is not a number: the window says so and cannot be answered right.
    void brokenDataIsSaidAndNeverRight() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        TExamModeForm* exam = openQuestion(rig, "nexa", "NXS-210", 16, AnswerStyle::Descriptive,
                                           typedAnswer("443", "off", "five"));
        auto* window = rig.screens->frmSelStyle5;
        clickStyleButton(exam, AnswerStyle::Descriptive);
        auto* note = window->control<QLabel>(QStringLiteral("DefectNote"));
        QVERIFY(note->isVisible());
        QVERIFY(note->text().contains(QStringLiteral("c@ の行")));
        QVERIFY(!window->control<QLineEdit>(QStringLiteral("Edit1"))->isVisible());
        // The note fits: nothing of it lies under the button or outside the window.
        auto* button = window->control<QWidget>(QStringLiteral("Button1"));
        QVERIFY(window->rect().contains(note->geometry()));
        QVERIFY(!note->geometry().intersects(button->geometry()));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!rig.session->exam.styleSolved());
        QCOMPARE(exam->marks(), markedSlot(0));
    }

    void viewShowsTheExpectedText() {
        ExamRig rig;
        QVERIFY(rig.start().ok());
        openQuestion(rig, "nexa", "NXS-210", 16, AnswerStyle::Descriptive,
                     typedAnswer("chown ", "on", "10"));
        auto* view = rig.screens->frmSelStyle5View;
        view->show();
        QCOMPARE(view->windowTitle(), QStringLiteral("Tovalo 記述式"));
        auto* edit = view->control<QLineEdit>(QStringLiteral("Edit1"));
        QCOMPARE(edit->text(), QStringLiteral("chown "));
        QVERIFY(edit->isReadOnly());
        QCOMPARE(view->control<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("正解"));
        QTest::keyClick(view, Qt::Key_Escape);
        QVERIFY(!view->isVisible());
    }
};

QTEST_MAIN(TestStyleDescriptive)
#include "tst_style_descriptive.moc"
