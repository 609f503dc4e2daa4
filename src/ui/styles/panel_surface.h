#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <vector>

#include "core/styles/panels.h"

namespace tovalo::ui {

class PanelPiece;
class PanelMarks;

// The picture of a panel question with its pieces cut out and laid in
// front of it. Every rule is the board's: the surface turns the pointer and
// the keys into board calls and moves the piece widgets to where the board
// says they are.
//
// The pieces let the mouse through to the surface, which finds the piece
// under the pointer itself: then a drag is one press, moves and a release
// on one widget however far the piece travels, and the topmost piece wins
// where pieces overlap.
class PanelSurface : public QWidget {
    Q_OBJECT

  public:
    explicit PanelSurface(QWidget* parent);

    // Cuts the pieces of `board` out of `picture`. A surface that is not
    // `interactive` (a View's) ignores the pointer and the keys; `places`,
    // when given, puts piece k at places[k - 1] instead of its start.
    void load(const QImage& picture, PanelBoard board, bool interactive,
              const std::vector<PiecePlace>& places = {});
    // Frees the picture and the pieces' images.
    void clear();

    [[nodiscard]] const PanelBoard& board() const { return board_; }
    // The piece widgets, piece 1 first.
    [[nodiscard]] const std::vector<PanelPiece*>& pieces() const { return pieces_; }
    // The slot the keys have picked for the focused piece, 0 when none.
    [[nodiscard]] int pickedSlot() const { return picked_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    friend class PanelPiece;
    friend class PanelMarks;

    // The topmost piece under `pos`, 0 when none.
    [[nodiscard]] int pieceAt(QPoint pos) const;
    // The pointer within piece k where it stands now.
    [[nodiscard]] QPoint inPiece(int k, QPoint pos) const;
    void raisePiece(int k);
    // Moves piece k's widget to the board's place for it.
    void follow(int k);
    void describe(int k);
    void pick(int slot);
    // Keys on the focused piece k; false leaves the key to the window.
    bool pieceKey(int k, int key);
    void pieceFocusChanged(int k, bool in, Qt::FocusReason reason);
    [[nodiscard]] QRect slotRect(int j) const;
    [[nodiscard]] QRect ringRect(int k) const;

    PanelBoard board_;
    QPixmap holed_;
    std::vector<PanelPiece*> pieces_;
    // Piece numbers from the bottom of the pile to the top.
    std::vector<int> pile_;
    PanelMarks* marks_;
    bool interactive_ = false;
    int picked_ = 0;
    int focused_ = 0;
    // The slot numbers are shown once the learner works with the keys.
    bool keyboardHints_ = false;
    // Since the last press on a piece, until the next key.
    bool pointerInUse_ = false;
};

// One piece: its image, and the focus a keyboard user moves with Tab.
class PanelPiece : public QWidget {
    Q_OBJECT

  public:
    PanelPiece(PanelSurface* surface, int number, const QPixmap& image);

    [[nodiscard]] int number() const { return number_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    PanelSurface* surface_;
    int number_;
    QPixmap image_;
};

}  // namespace tovalo::ui
