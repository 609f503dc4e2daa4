#pragma once

#include <QScrollArea>
#include <QSize>

namespace tovalo::ui {

// The whole client area of a window laid out for one size, a picture's and
// the strip under it: the window opens at that size where the screen has
// room for it and never grows past it, but it may be smaller, down to what
// a highly scaled screen leaves, and the content then scrolls instead of
// hanging off the screen. The window's controls go on canvas().
class ScrollingCanvas : public QScrollArea {
    Q_OBJECT

  public:
    explicit ScrollingCanvas(QWidget* window);

    [[nodiscard]] QWidget* canvas() const { return widget(); }
    // Lays the window out for `size`, which it takes at once unless it has it already.
    void setDesignSize(QSize size);
    [[nodiscard]] QSize designSize() const { return widget()->size(); }

  protected:
    // Keys go on to the window and its controls, as before it scrolled (the
    // connect window's Page keys walk its connections); the canvas follows
    // the focus instead.
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tovalo::ui
