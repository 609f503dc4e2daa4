#pragma once

#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/exam/selection.h"
#include "core/styles/answer_style.h"
#include "ui/widgets/screen_form.h"

class QFrame;
class QLabel;
class QPlainTextEdit;

namespace tovalo::ui {

class ImageButton;
class WebPageView;

// The answer window beside the exam screen: the correct choices (or the
// button of the style's answer window), the explanation folded away until
// asked for, its figures, the book references, the training material, the
// support page and the FAQ. It always shows the question on the exam screen.
class TCheatForm : public ScreenForm {
    Q_OBJECT

  public:
    static constexpr int kFoldedHeight = 95;
    static constexpr int kUnfoldedMinHeight = 250;
    static constexpr int kFirstWidth = 254;
    static constexpr int kMinWidth = 232;
    static constexpr int kTopArea = 77;

    TCheatForm(Session& session);

    // Builds the window for the question on the exam screen and shows it;
    // the first time beside the lower right corner of `examBounds`, later
    // where the learner left it.
    void openFor(const QRect& examBounds);
    // How to read the learner's marks on the exam screen (for the support page).
    void setMarksSource(std::function<std::array<bool, kMaxChoices>()> source);

    [[nodiscard]] bool unfolded() const { return unfolded_; }
    [[nodiscard]] int figureCount() const { return static_cast<int>(figurePaths_.size()); }

  signals:
    void figureRequested(const QString& caption, const QString& path);
    void styleViewRequested(AnswerStyle style);

  public slots:
    void Button1Click();
    void Button2Click();

  protected:
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ensureControls();
    void rebuild();
    void fold();
    void unfold();
    void layOut();
    void setFoldButtonLook();
    [[nodiscard]] const ExamQuestion* question() const;

    std::function<std::array<bool, kMaxChoices>()> marksSource_;
    bool firstPlacementDone_ = false;
    bool unfolded_ = false;
    bool html_ = false;
    std::string text_;
    std::vector<std::string> figurePaths_;
    std::optional<AnswerStyle> styleView_;

    // The controls; tests reach them by object name.
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    // Image8, Image9, ButtonType5, Image10, Image11: one per answer window.
    std::array<ImageButton*, 5> StyleButtons{};
    ImageButton* Button2 = nullptr;
    ImageButton* Button1 = nullptr;
    QFrame* Panel1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    WebPageView* WebBrowser1 = nullptr;
    std::array<ImageButton*, 3> ImgFig{};
    QFrame* Image7 = nullptr;
    ImageButton* Button3 = nullptr;
    ImageButton* Button4 = nullptr;
    ImageButton* Button5 = nullptr;
    ImageButton* Image12 = nullptr;
};

}  // namespace tovalo::ui
