#pragma once

#include <QAbstractButton>
#include <QPixmap>

#include "ui/widgets/focus_outline.h"

namespace tovalo::ui {

// A clickable picture. While the left button is held on it the whole
// button sits 2 pixels right and down, which is the program's pressed look;
// a disabled button shows its own picture. Tab gives it the focus, marked
// by a ring, and Enter or Space then presses it.
class ImageButton : public QAbstractButton {
    Q_OBJECT

  public:
    static constexpr int kPressShift = 2;

    explicit ImageButton(QWidget* parent = nullptr);

    // The button takes the size of `normal`. Without a disabled picture a
    // disabled button is drawn greyed from the normal one.
    void setPictures(const QPixmap& normal, const QPixmap& disabled = {});
    [[nodiscard]] const QPixmap& shownPicture() const;
    [[nodiscard]] QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

  private:
    // `drawNow` paints the parent's changed area before returning.
    void shift(bool down, bool drawNow = false);

    QPixmap normal_;
    QPixmap disabled_;
    QPixmap greyed_;
    FocusRing ring_;
    bool shifted_ = false;
};

}  // namespace tovalo::ui
