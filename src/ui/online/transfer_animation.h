#pragma once

#include <QWidget>

class QTimer;

namespace tovalo::ui {

// A computer and the center's server with packets running from the server
// to the computer, painted by the program: the download window's sign that
// the transfer is alive.
class TransferAnimation : public QWidget {
    Q_OBJECT

  public:
    explicit TransferAnimation(QWidget* parent);

    void start();
    void stop();
    [[nodiscard]] bool running() const;
    // Moves the packets one step; the timer calls it, tests may too.
    void step();

    [[nodiscard]] QSize sizeHint() const override { return {136, 88}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QTimer* timer_;
    int frame_ = 0;
};

}  // namespace tovalo::ui
