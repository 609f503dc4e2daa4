#pragma once

#include <QFrame>
#include <QString>
#include <array>

class QLabel;
class QPlainTextEdit;

namespace tovalo::ui {

class ImageButton;
class WebPageView;

// The question half of a question: its number, its text (in a plain box or
// as a page in the web view), up to four figure buttons and a corner for a
// control of the screen that shows it (the exam's sticky note). The exam
// screen uses it; the answer view and the result review pane are to.
class QuestionPanel : public QFrame {
    Q_OBJECT

  public:
    static constexpr int kFigures = 4;
    static constexpr int kHeaderHeight = 26;

    explicit QuestionPanel(QWidget* parent = nullptr);

    // "Q.n", in the smaller face from three digits on; the hidden progress
    // text "n問目/m問中" goes with it.
    void showNumber(int position, int questionCount);
    void setNumberText(const QString& text);
    [[nodiscard]] QString numberText() const;

    // The plain text of a text course, with a scroll bar only when it is
    // longer than the box shows at once.
    void showPlainText(const QString& text);
    // The page written for an HTML course.
    void showPage(const QString& path);
    // Chooses the box or the page view for the course on screen.
    void setHtml(bool html);
    void stopPage();
    void reloadPage();

    // Buttons 1..count (at most four) are shown.
    void showFigureButtons(int count);

    // Put at the top right of the panel, beside the figure buttons.
    void setCornerWidget(QWidget* widget);

  signals:
    void figureClicked(int figure);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void layOut();

    QLabel* QuesLabel;
    QLabel* ProgressLabel;  // never shown; kept for the answer window
    QPlainTextEdit* QuesMemo;
    WebPageView* WebBrowser1;
    std::array<ImageButton*, kFigures> FigButtons{};
    QWidget* corner_ = nullptr;
    bool html_ = false;
};

}  // namespace tovalo::ui
