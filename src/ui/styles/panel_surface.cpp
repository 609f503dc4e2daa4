#include "ui/styles/panel_surface.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "ui/widgets/fonts.h"

namespace tovalo::ui {

namespace {

const QColor kFocusColour(0, 95, 204);
const QColor kPickColour(224, 112, 0);
// Room around a piece for its focus ring, which is drawn outside it so that
// it hides nothing of the piece.
constexpr int kRingGap = 4;
constexpr QSize kTag(18, 16);

QRect toQRect(const PictureRect& r) {
    return QRect(r.x1, r.y1, std::max(r.width(), 0), std::max(r.height(), 0));
}

}  // namespace

// What the keyboard needs drawn above the pieces: the ring of the focused
// piece, the picked slot, and the slot numbers the digit keys choose.
class PanelMarks : public QWidget {
  public:
    explicit PanelMarks(PanelSurface* surface) : QWidget(surface), surface_(surface) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const PanelSurface& s = *surface_;
        if (s.pointerInUse_ || (s.focused_ == 0 && s.picked_ == 0)) {
            return;
        }
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        if (s.picked_ != 0) {
            const QRectF slot = QRectF(s.slotRect(s.picked_)).adjusted(-1.5, -1.5, 1.5, 1.5);
            p.setPen(QPen(kPickColour, 3));
            p.setBrush(QColor(kPickColour.red(), kPickColour.green(), kPickColour.blue(), 40));
            p.drawRoundedRect(slot, 3, 3);
        }
        if (s.focused_ != 0) {
            const QRectF ring = QRectF(s.ringRect(s.focused_)).adjusted(1.5, 1.5, -1.5, -1.5);
            // White outside the blue keeps the ring visible on dark pictures too.
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Qt::white, 3));
            p.drawRoundedRect(ring.adjusted(-1, -1, 1, 1), 4, 4);
            p.setPen(QPen(kFocusColour, 2));
            p.drawRoundedRect(ring, 3, 3);
        }
        if (s.keyboardHints_ && s.focused_ != 0) {
            p.setFont(uiFont(11, true));
            const int count = static_cast<int>(s.board_.destinations().size());
            for (int j = 1; j <= count; ++j) {
                const QRect tag(s.slotRect(j).topLeft() + QPoint(2, 2), kTag);
                p.setPen(Qt::NoPen);
                p.setBrush(j == s.picked_ ? kPickColour : kFocusColour);
                p.drawRoundedRect(tag, 3, 3);
                p.setPen(Qt::white);
                p.drawText(tag, Qt::AlignCenter, QString::number(j));
            }
        }
    }

  private:
    PanelSurface* surface_;
};

PanelSurface::PanelSurface(QWidget* parent) : QWidget(parent), marks_(new PanelMarks(this)) {
    setObjectName(QStringLiteral("Image1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void PanelSurface::load(const QImage& picture, PanelBoard board, bool interactive,
                        const std::vector<PiecePlace>& places) {
    clear();
    board_ = std::move(board);
    interactive_ = interactive;
    setFixedSize(picture.size());

    // Each piece takes what the picture shows at that moment, hole and all
    // where an earlier piece overlapped it, and leaves a white hole.
    QImage cut = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    std::vector<QPixmap> images;
    for (const PanelItem& item : board_.pieces()) {
        const QRect r = toQRect(item.rect);
        images.push_back(r.isEmpty() ? QPixmap() : QPixmap::fromImage(cut.copy(r)));
        QPainter(&cut).fillRect(r, Qt::white);
    }
    QImage holed(cut.size(), QImage::Format_RGB32);
    holed.fill(Qt::white);
    QPainter(&holed).drawImage(0, 0, cut);
    holed_ = QPixmap::fromImage(holed);

    for (std::size_t i = 0; i < images.size(); ++i) {
        const int k = static_cast<int>(i) + 1;
        auto* piece = new PanelPiece(this, k, images[i]);
        piece->setFocusPolicy(interactive ? Qt::TabFocus : Qt::NoFocus);
        piece->resize(toQRect(board_.pieces()[i].rect).size());
        pieces_.push_back(piece);
        pile_.push_back(k);
        const PiecePlace at = i < places.size() ? places[i] : board_.place(k);
        piece->move(at.left, at.top);
        piece->show();
        describe(k);
    }
    marks_->setGeometry(rect());
    marks_->raise();
    marks_->show();
    setMouseTracking(interactive);
    unsetCursor();
    update();
}

void PanelSurface::clear() {
    // Deleting a focused piece moves the focus, which reaches pieceFocusChanged.
    std::vector<PanelPiece*> pieces;
    pieces.swap(pieces_);
    qDeleteAll(pieces);
    pile_.clear();
    board_ = PanelBoard();
    holed_ = QPixmap();
    picked_ = 0;
    focused_ = 0;
    keyboardHints_ = false;
    pointerInUse_ = false;
}

void PanelSurface::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (holed_.isNull()) {
        p.fillRect(event->rect(), palette().window());
        return;
    }
    p.drawPixmap(event->rect(), holed_, event->rect());
}

int PanelSurface::pieceAt(QPoint pos) const {
    for (auto it = pile_.rbegin(); it != pile_.rend(); ++it) {
        if (pieces_[*it - 1]->geometry().contains(pos)) {
            return *it;
        }
    }
    return 0;
}

QPoint PanelSurface::inPiece(int k, QPoint pos) const {
    const PiecePlace at = board_.place(k);
    return pos - QPoint(at.left, at.top);
}

void PanelSurface::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (!interactive_ || board_.dragged() != 0) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int k = pieceAt(pos);
    if (k == 0) {
        return;
    }
    // The keyboard marks would only cover the pictures while the mouse is
    // in use; the next key brings them back, on the piece last handled.
    pointerInUse_ = true;
    keyboardHints_ = false;
    pieces_[k - 1]->setFocus(Qt::MouseFocusReason);
    const QPoint within = inPiece(k, pos);
    board_.press(k, within.x(), within.y());
    raisePiece(k);
    describe(k);
    setCursor(Qt::ClosedHandCursor);
}

void PanelSurface::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!interactive_) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int k = board_.dragged();
    if (k == 0) {
        const Qt::CursorShape shape = pieceAt(pos) != 0 ? Qt::OpenHandCursor : Qt::ArrowCursor;
        if (cursor().shape() != shape) {
            setCursor(shape);
        }
        return;
    }
    const QPoint within = inPiece(k, pos);
    board_.move(within.x(), within.y());
    follow(k);
}

void PanelSurface::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const int k = board_.dragged();
    if (!interactive_ || k == 0) {
        return;
    }
    board_.release();
    follow(k);
    describe(k);
    setCursor(pieceAt(event->position().toPoint()) != 0 ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

void PanelSurface::raisePiece(int k) {
    pieces_[k - 1]->raise();
    marks_->raise();
    pile_.erase(std::find(pile_.begin(), pile_.end(), k));
    pile_.push_back(k);
}

void PanelSurface::follow(int k) {
    const QRect before = ringRect(k);
    const PiecePlace at = board_.place(k);
    pieces_[k - 1]->move(at.left, at.top);
    if (focused_ == k) {
        marks_->update(before);
        marks_->update(ringRect(k));
    }
}

void PanelSurface::describe(int k) {
    QString where = QStringLiteral("配置先の外");
    const int count = static_cast<int>(board_.destinations().size());
    for (int j = 1; j <= count; ++j) {
        if (board_.heldBy(j) == k) {
            where = QStringLiteral("配置先 %1").arg(j);
        }
    }
    pieces_[k - 1]->setAccessibleDescription(where);
}

void PanelSurface::pick(int slot) {
    picked_ = slot;
    marks_->update();
}

bool PanelSurface::pieceKey(int k, int key) {
    if (pointerInUse_) {
        pointerInUse_ = false;
        marks_->update();
    }
    const int count = static_cast<int>(board_.destinations().size());
    switch (key) {
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Up: {
            if (count == 0) {
                return false;
            }
            keyboardHints_ = true;
            const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
            if (picked_ == 0) {
                pick(forward ? 1 : count);
            } else {
                pick(forward ? picked_ % count + 1 : (picked_ + count - 2) % count + 1);
            }
            return true;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space: {
            if (picked_ == 0) {
                return false;
            }
            const PictureRect& slot = board_.destinations()[picked_ - 1].rect;
            raisePiece(k);
            board_.drag(k, slot.x1, slot.y1);
            follow(k);
            describe(k);
            pick(0);
            return true;
        }
        case Qt::Key_Delete:
        case Qt::Key_Backspace: {
            // Back to where it was cut out, as a drag back there would.
            const PictureRect& start = board_.pieces()[k - 1].rect;
            board_.drag(k, start.x1, start.y1);
            follow(k);
            describe(k);
            return true;
        }
        default:
            if (key >= Qt::Key_1 && key <= Qt::Key_9) {
                keyboardHints_ = true;
                if (key - Qt::Key_0 <= count) {
                    pick(key - Qt::Key_0);
                }
                return true;
            }
            return false;
    }
}

void PanelSurface::pieceFocusChanged(int k, bool in, Qt::FocusReason reason) {
    if (in) {
        focused_ = k;
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
            keyboardHints_ = true;
            pointerInUse_ = false;
        }
    } else if (focused_ == k) {
        focused_ = 0;
    }
    // A slot picked for one piece is not meant for the next.
    pick(0);
}

QRect PanelSurface::slotRect(int j) const {
    return toQRect(board_.destinations()[j - 1].rect);
}

QRect PanelSurface::ringRect(int k) const {
    return pieces_[k - 1]->geometry().adjusted(-kRingGap, -kRingGap, kRingGap, kRingGap);
}

PanelPiece::PanelPiece(PanelSurface* surface, int number, const QPixmap& image)
    : QWidget(surface), surface_(surface), number_(number), image_(image) {
    setObjectName(QStringLiteral("Piece%1").arg(number));
    setAccessibleName(QStringLiteral("パネル %1").arg(number));
    // The surface takes the pointer: see PanelSurface.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PanelPiece::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, image_);
}

void PanelPiece::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (surface_->pieceKey(number_, event->key())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PanelPiece::focusInEvent(QFocusEvent* event) {
    surface_->pieceFocusChanged(number_, true, event->reason());
    QWidget::focusInEvent(event);
}

void PanelPiece::focusOutEvent(QFocusEvent* event) {
    surface_->pieceFocusChanged(number_, false, event->reason());
    QWidget::focusOutEvent(event);
}

}  // namespace tovalo::ui
