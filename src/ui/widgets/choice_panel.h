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
class ClickPicture;
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
    // The click picture has the focus and uses `key`, which the exam screen
    // must then leave to it.
    [[nodiscard]] bool pictureTakesKey(int key) const;

  signals:
    void styleWindowRequested(AnswerStyle style);
    // The marks on the click picture changed; `solved` is the new verdict.
    void pictureAnswered(bool solved);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layOutRows();
    void limitCheckBoxes(int clickedSlot);
    // The click picture of `handoff`, or a note in its place; its bottom.
    int showClickPicture(const StyleHandoff& handoff);

    QLabel* AnsTitle;
    QScrollArea* AnsScroll;
    QWidget* AnsBox;
    std::array<QRadioButton*, kChoices> RadioButtons{};
    std::array<QCheckBox*, kChoices> CheckBoxes{};
    std::array<ChoiceText*, kChoices> ChoiceTexts{};
    std::array<ImageButton*, kWindowStyles.size()> StyleButtons{};
    QLabel* HelpText;
    ClickPicture* Image_Type8;
    QLabel* Type8Hint;
    // Why the click picture cannot be answered, in its place.
    QLabel* Type8Note;
    // What the rows need of the question on screen.
    AnswerWith answeredWith_ = AnswerWith::Radio;
    int answerCount_ = 0;
    std::array<bool, kChoices> correct_{};
};

}  // namespace tovalo::ui
