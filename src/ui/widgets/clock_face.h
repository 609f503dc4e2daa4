#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "core/exam/exam_engine.h"

namespace tovalo::ui {

// The exam clock: the vendor's face picture with one hand drawn on it each
// second. The picture is kept between ticks, so whatever a tick does not
// redraw stays as it was.
class ClockFace : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kWidth = 118;
    static constexpr int kHeight = 120;
    // In the last minute only the dial part is redrawn.
    static constexpr int kSmallFace = 105;

    explicit ClockFace(QWidget* parent = nullptr);

    // A null face falls back to a plain dial of the same geometry.
    void setFace(const QPixmap& face);
    void redrawFull();
    void redrawSmall();
    void drawHand(const ClockHand& hand, bool red);

    [[nodiscard]] const QImage& canvas() const { return canvas_; }
    [[nodiscard]] QSize sizeHint() const override { return {kWidth, kHeight}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage face_;
    QImage canvas_;
};

}  // namespace tovalo::ui
