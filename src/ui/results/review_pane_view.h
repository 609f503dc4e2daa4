#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/styles/answer_style.h"

class QFrame;
class QPlainTextEdit;

namespace tovalo::ui {

class ImageButton;
class Session;
class WebPageView;

// The white pane right of the result grid: the verdict, or the whole
// question of the selected row again (question, choices, explanation,
// references) with the buttons for its figures, its style's answer window,
// its training material, the support page and the FAQ.
class ReviewPaneView : public QWidget {
    Q_OBJECT

  public:
    ReviewPaneView(Session& session, QWidget* parent);

    // The verdict, in the memo or as the course's result page.
    void showVerdict(const std::string& text, bool html, const std::string& pagePath);
    // Position `row` (1-based) of the graded exam.
    void showRow(int row, bool html, const std::string& pagePath);

    // Stops the page and what it plays, as the screen is left.
    void stopPage();

    [[nodiscard]] int shownRow() const { return row_; }
    [[nodiscard]] int memoHeight() const;

  signals:
    void figureRequested(const QString& caption, const QString& path);
    void styleViewRequested(AnswerStyle style);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void showText(const std::string& text, bool html, const std::string& pagePath);
    void setButtonsShown(bool shown);
    void layOut();

    Session& session_;
    int row_ = 0;  // 0: the verdict
    bool html_ = false;
    bool buttonRow_ = false;
    std::vector<std::string> questionFigures_;
    std::vector<std::string> explanationFigures_;
    std::optional<AnswerStyle> styleView_;

    // The controls; tests reach them by object name.
    QPlainTextEdit* Memo1 = nullptr;
    WebPageView* WebBrowser1 = nullptr;
    std::array<ImageButton*, 4> QuestionFigures{};     // Image11..Image14
    std::array<ImageButton*, 3> ExplanationFigures{};  // ImgFig1..ImgFig3
    // Image9, Image10, ButtonType5, Image15, Image16: one per answer window.
    std::array<ImageButton*, 5> StyleButtons{};
    ImageButton* Image17 = nullptr;  // replays the page's player
    QFrame* Image7 = nullptr;
    ImageButton* Button5 = nullptr;
    ImageButton* Button6 = nullptr;
    ImageButton* Button4 = nullptr;
    ImageButton* Button7 = nullptr;
};

}  // namespace tovalo::ui
