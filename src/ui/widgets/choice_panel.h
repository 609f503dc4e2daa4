#pragma once

#include <QFrame>
#include <array>
#include <string>

#include "core/exam/selection.h"
#include "core/styles/style_handoff.h"

class QCheckBox;
class QLabel;
class QRadioButton;
class QScrollArea;

namespace tovalo::ui {

class ChoiceText;
class ImageButton;

// The answer half of a question: the panel "解答群" with the choice rows
// (a radio button or check box and the choice text), or, for the special
// styles, the button that opens the style's window with the vendor's help
// beside it, or the picture to click.
class ChoicePanel : public QFrame {
    Q_OBJECT

  public:
    static constexpr int kChoices = kMaxChoices;
    // The special styles answered in a window of their own, in the order of
    // their buttons.
    static constexpr std::array<AnswerStyle, 5> kWindowStyles{
        AnswerStyle::Graphic, AnswerStyle::Panel, AnswerStyle::Descriptive,
        AnswerStyle::PanelSecond, AnswerStyle::Connect};

    explicit ChoicePanel(QWidget* parent = nullptr);

    // "a." … under the vendor's label style.
    void setLabelStyle(const std::string& labelStyle);
    // The vendor's help text beside a style button.
    void setHelpText(const QString& text);

    // Lays out the rows (or the style button, or the picture) of `question`,
    // every mark cleared.
    void showQuestion(const ExamQuestion& question, const StyleHandoff& handoff);

    // The marks on the ten slots as the rows hold them.
    [[nodiscard]] std::array<bool, kChoices> marks() const;
    void setMarks(const std::array<bool, kChoices>& marks);
    void clearMarks();
    // The radio mark of one slot (a solved style window's answer).
    void markSlot(int slot);
    // The correct choices of the question on screen in red, or all black.
    void showCorrect(bool shown);

  signals:
    void styleWindowRequested(AnswerStyle style);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layOutRows();
    void limitCheckBoxes(int clickedSlot);

    QLabel* AnsTitle;
    QScrollArea* AnsScroll;
    QWidget* AnsBox;
    std::array<QRadioButton*, kChoices> RadioButtons{};
    std::array<QCheckBox*, kChoices> CheckBoxes{};
    std::array<ChoiceText*, kChoices> ChoiceTexts{};
    std::array<ImageButton*, kWindowStyles.size()> StyleButtons{};
    QLabel* HelpText;
    QLabel* Image_Type8;
    QLabel* Type8Hint;
    // What the rows need of the question on screen.
    AnswerWith answeredWith_ = AnswerWith::Radio;
    int answerCount_ = 0;
    std::array<bool, kChoices> correct_{};
};

}  // namespace tovalo::ui
