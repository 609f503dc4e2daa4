#pragma once

#include <array>
#include <string>

#include "core/exam/introduction.h"
#include "ui/widgets/screen_form.h"

class QLabel;
class QTimer;

namespace tovalo::ui {

// The introduction card shown for about two seconds between the category
// screen and the exam: the test's name, its number of questions and its
// time limit.
class TGenericMBForm : public ScreenForm {
    Q_OBJECT

  public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 210;

    TGenericMBForm(Session& session);

    // Shows the card for the exam the category screen has just drawn
    // (Session::exam, Session::selection, the engine started).
    void startExam();

    [[nodiscard]] int ticks() const { return countdown_.ticks(); }

    QTimer* Timer1;

  signals:
    // The card is done: the exam screen takes over.
    void handedOver();

  public slots:
    void Timer1Timer();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void ensureControls();
    void setLines(const std::array<std::string, 3>& lines);
    void handOver();

    IntroductionCountdown countdown_;
    bool htmlCourse_ = false;

  private:
    // The controls; tests reach them by object name.
    // Made by the first startExam.
    QLabel* Image1 = nullptr;
    std::array<QLabel*, 3> Lines{};
    std::array<QLabel*, 3> Marks{};  // the red squares before the lines
};

}  // namespace tovalo::ui
