#pragma once

#include <QObject>

class QPlainTextEdit;
class QWidget;

namespace tovalo::ui {

// A read-only text that never keeps the focus or shows a caret: the mouse
// moving over it or a key released in it hands the focus to `holder`, and
// `holder` scrolls the text with the reading keys (arrows, pages, Home,
// End), so the text can still be read from the keyboard. Reached by Tab,
// `holder` is outlined while it keeps the focus; the pointer handing it the
// focus shows nothing.
class ReadingText : public QObject {
    Q_OBJECT

  public:
    ReadingText(QPlainTextEdit* text, QWidget* holder);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPlainTextEdit* text_;
    QWidget* viewport_;
    QWidget* holder_;
};

}  // namespace tovalo::ui
