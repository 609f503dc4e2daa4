#pragma once

#include <QString>

#include "core/styles/style_handoff.h"
#include "ui/widgets/screen_form.h"

class QLabel;
class QSize;

namespace tovalo::ui {

class ImageButton;
class ScrollingCanvas;

// Base of the special-style windows and of their View twins. Each showing
// builds the window afresh from the question on the exam screen; when the
// question's data lines cannot be used, a note says why in place of the
// answer. The button at the bottom right answers (and closes) or, in a
// View, closes. Esc closes too, which like the close box leaves the answer
// wrong.
class StyleWindow : public ScreenForm {
    Q_OBJECT

  public:
    // The strip under the picture that holds the button.
    static constexpr int kButtonStrip = 65;

  protected:
    enum class Kind { Answer, View };

    StyleWindow(Session& session, const QString& objectName, const QString& caption, Kind kind,
                const QString& buttonName = QStringLiteral("Button1"));

    // Builds the window for the question on screen (the hand-off holds no
    // defect). Calls showNote instead when it cannot, for example when the
    // picture cannot be read.
    virtual void rebuild(const StyleHandoff& handoff) = 0;
    // An answering window's verdict, asked when its button is pressed.
    virtual bool judge() { return false; }

    // Where the window's content goes: it scrolls when the screen leaves
    // less room than the window is laid out for.
    [[nodiscard]] QWidget* canvas() const;
    // The size the window is laid out for, the picture's and its strip.
    void setDesignSize(QSize size);

    // Shows `note` in place of the answer; the window takes the note's size.
    void showNote(const QString& note);
    [[nodiscard]] bool showingNote() const { return showingNote_; }
    // Puts the button at the bottom right, centred in a strip of `strip`
    // pixels at the bottom (kButtonStrip unless the window sets another).
    void placeButton();
    void setButtonStrip(int strip) { strip_ = strip; }
    [[nodiscard]] ImageButton* button() const { return button_; }

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buttonClicked();

    Kind kind_;
    ScrollingCanvas* pane_;
    ImageButton* button_;
    QLabel* note_;
    bool showingNote_ = false;
    int strip_ = kButtonStrip;
};

}  // namespace tovalo::ui
