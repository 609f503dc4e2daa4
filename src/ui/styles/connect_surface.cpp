#include "ui/styles/connect_surface.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/widgets/artwork.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

QRect toQRect(const PictureRect& r) {
    return {r.x1, r.y1, std::max(r.width(), 0), std::max(r.height(), 0)};
}

QPoint toQPoint(const ScreenPoint& p) {
    return {p.x, p.y};
}

// The arrow drawn beside a directed connector, pointing right or left.
QPixmap arrowPicture(bool right) {
    const QSize size = ConnectSurface::kArrowSize;
    QPixmap pixmap = blankPicture(size);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const qreal mid = size.height() / 2.0;
    QPainterPath arrow;
    arrow.addRect(QRectF(3, mid - 1, 8, 2));
    arrow.moveTo(10, 1.5);
    arrow.lineTo(16, mid);
    arrow.lineTo(10, size.height() - 1.5);
    arrow.closeSubpath();
    if (!right) {
        p.translate(size.width(), 0);
        p.scale(-1, 1);
    }
    p.drawPath(arrow);
    return pixmap;
}

QString itemName(const std::string& name, const QString& fallback, int number) {
    return name.empty() ? fallback.arg(number) : qs(name);
}

}  // namespace

// A panel: pressed (any button), dragged and clicked with the mouse, and
// with the focus on it, clicked with Space and moved with the arrow keys.
class ConnectSurface::PanelItem : public QWidget {
  public:
    PanelItem(ConnectSurface* surface, int number)
        : QWidget(surface), surface_(surface), number_(number) {
        setObjectName(QStringLiteral("Panel%1").arg(number));
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAccessibleName(itemName(surface->board_.lists().panels[number - 1].name,
                                   QStringLiteral("パネル %1"), number));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const bool selected = surface_->board_.selected(number_);
        paintPiece(p, {0, 0}, surface_->panelPieces_[number_ - 1], selected, false);
        if (hasFocus()) {
            // The pictures often have a coloured frame of their own: inside
            // the highlight edge, a dotted line of black on white shows on
            // light and dark (selected) panels alike.
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(palette().color(QPalette::Highlight), 3));
            p.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
            const QRectF inner = QRectF(rect()).adjusted(4.5, 4.5, -4.5, -4.5);
            p.setPen(QPen(Qt::white, 1));
            p.drawRect(inner);
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.drawRect(inner);
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        surface_->pressPanel(number_, mapToParent(event->position().toPoint()),
                             event->modifiers().testFlag(Qt::ShiftModifier));
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        surface_->dragPanel(mapToParent(event->position().toPoint()));
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        // The panel followed the pointer, so a release after a drag is a
        // click on it as well.
        surface_->releasePanel(number_, event->button() == Qt::LeftButton &&
                                            rect().contains(event->position().toPoint()));
    }

    void keyPressEvent(QKeyEvent* event) override {
        const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
        switch (event->key()) {
            case Qt::Key_Space:
                surface_->clickPanelByKey(number_, shift);
                return;
            case Qt::Key_Left:
                surface_->nudgePanel(number_, -kKeyStep, 0);
                return;
            case Qt::Key_Right:
                surface_->nudgePanel(number_, kKeyStep, 0);
                return;
            case Qt::Key_Up:
                surface_->nudgePanel(number_, 0, -kKeyStep);
                return;
            case Qt::Key_Down:
                surface_->nudgePanel(number_, 0, kKeyStep);
                return;
            default:
                // Connector keys, Delete and paging belong to the window.
                QWidget::keyPressEvent(event);
        }
    }

    void focusInEvent(QFocusEvent* event) override {
        update();
        QWidget::focusInEvent(event);
    }

    void focusOutEvent(QFocusEvent* event) override {
        update();
        QWidget::focusOutEvent(event);
    }

  private:
    ConnectSurface* surface_;
    int number_;
};

// A connector symbol: a click joins the two selected panels with it. The
// badge in its corner shows the key that does the same.
class ConnectSurface::ConnectorItem : public QAbstractButton {
  public:
    ConnectorItem(ConnectSurface* surface, int number)
        : QAbstractButton(surface), surface_(surface), number_(number) {
        setObjectName(QStringLiteral("Connector%1").arg(number));
        // Reached by its key, not by Tab: the panels and the answer button
        // are the stops.
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAccessibleName(itemName(surface->board_.lists().connectors[number - 1].name,
                                   QStringLiteral("コネクタ %1"), number));
        setAccessibleDescription(QStringLiteral("キー %1").arg(connectorKey(number)));
        connect(this, &QAbstractButton::clicked, this,
                [this] { surface_->clickConnector(number_); });
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        paintPiece(p, {0, 0}, surface_->connectorPieces_[number_ - 1], false, true);

        p.setRenderHint(QPainter::Antialiasing);
        p.setFont(uiFont(10, true));
        const QString key = connectorKey(number_);
        const int side = 13;
        const QRectF badge(2.5, 2.5, std::max(side, p.fontMetrics().horizontalAdvance(key) + 6),
                           side);
        p.setPen(QPen(QColor(255, 255, 255, 200), 1));
        p.setBrush(QColor(36, 42, 54, 225));
        p.drawRoundedRect(badge, 3, 3);
        p.setPen(Qt::white);
        p.drawText(badge, Qt::AlignCenter, key);
    }

  private:
    ConnectSurface* surface_;
    int number_;
};

ConnectSurface::ConnectSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    LeftImg = new QLabel(this);
    LeftImg->setObjectName(QStringLiteral("LeftImg"));
    LeftImg->setPixmap(arrowPicture(false));
    LeftImg->setFixedSize(kArrowSize);
    LeftImg->hide();
    RightImg = new QLabel(this);
    RightImg->setObjectName(QStringLiteral("RightImg"));
    RightImg->setPixmap(arrowPicture(true));
    RightImg->setFixedSize(kArrowSize);
    RightImg->hide();
}

ConnectSurface::~ConnectSurface() = default;

QString ConnectSurface::connectorKey(int c) {
    if (c >= 1 && c <= 9) {
        return QString::number(c);
    }
    if (c >= 10 && c <= static_cast<int>(kMaxConnectors)) {
        return QString(QChar(u'A' + (c - 10)));
    }
    return {};
}

int ConnectSurface::connectorForKey(int key) {
    if (key >= Qt::Key_1 && key <= Qt::Key_9) {
        return key - Qt::Key_1 + 1;
    }
    if (key >= Qt::Key_A && key < Qt::Key_A + static_cast<int>(kMaxConnectors) - 9) {
        return key - Qt::Key_A + 10;
    }
    return 0;
}

ConnectSurface::Piece ConnectSurface::cut(QImage& picture, const PictureRect& r) {
    Piece piece;
    const QRect whole = toQRect(r);
    const QRect onPicture = whole.intersected(picture.rect());
    piece.size = whole.size();
    piece.offset = onPicture.topLeft() - whole.topLeft();
    if (!onPicture.isEmpty()) {
        piece.face = picture.copy(onPicture);
        piece.inverse = piece.face;
        piece.inverse.invertPixels();
        QPainter(&picture).fillRect(onPicture, Qt::white);
    }
    return piece;
}

void ConnectSurface::paintPiece(QPainter& painter, const QPoint& at, const Piece& piece,
                                bool inverted, bool outlined) {
    const QRect whole(at, piece.size);
    painter.fillRect(whole, inverted ? Qt::black : Qt::white);
    if (!piece.face.isNull()) {
        painter.drawImage(at + piece.offset, inverted ? piece.inverse : piece.face);
    }
    if (outlined && !whole.isEmpty()) {
        painter.setPen(inverted ? Qt::white : Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(whole.adjusted(0, 0, -1, -1));
    }
}

void ConnectSurface::load(const QImage& picture, ConnectLists lists) {
    for (PanelItem* item : panels_) {
        delete item;
    }
    for (ConnectorItem* item : connectors_) {
        delete item;
    }
    panels_.clear();
    connectors_.clear();
    panelPieces_.clear();
    connectorPieces_.clear();
    dragged_ = 0;
    laidOut_ = false;

    // Each piece takes what the pieces before it left: the band first, then
    // the connectors, then the panels.
    QImage work = picture.convertToFormat(QImage::Format_RGB32);
    band_ = work.copy(0, 0, work.width(), std::min(kBandHeight, work.height()));
    QPainter(&work).fillRect(band_.rect(), Qt::white);
    for (const Connector& c : lists.connectors) {
        connectorPieces_.push_back(cut(work, c.rect));
    }
    for (const ConnectPanel& p : lists.panels) {
        panelPieces_.push_back(cut(work, p.rect));
    }
    background_ = work;
    board_ = ConnectBoard(std::move(lists));
    setFixedSize(picture.size());

    for (int c = 1; c <= static_cast<int>(connectorPieces_.size()); ++c) {
        auto* item = new ConnectorItem(this, c);
        item->setGeometry(toQRect(board_.lists().connectors[c - 1].rect));
        item->show();
        connectors_.push_back(item);
    }
    for (int p = 1; p <= board_.panelCount(); ++p) {
        auto* item = new PanelItem(this, p);
        item->setGeometry(toQRect(board_.panelRect(p)));
        item->show();
        panels_.push_back(item);
    }
    refresh();
}

QWidget* ConnectSurface::panelWidget(int p) const {
    return p >= 1 && p <= static_cast<int>(panels_.size()) ? panels_[p - 1] : nullptr;
}

void ConnectSurface::pressPanel(int p, const QPoint& at, bool shift) {
    const QRect r = toQRect(board_.panelRect(p));
    board_.pressPanel(p, at.x() - r.x(), at.y() - r.y(), shift);
    dragged_ = p;
    // The panel in hand passes over the others.
    panels_[p - 1]->raise();
}

void ConnectSurface::dragPanel(const QPoint& at) {
    if (dragged_ == 0) {
        return;
    }
    // A pointer off the surface counts as at its edge, so that no panel can
    // be dragged out of reach.
    const QPoint inside(std::clamp(at.x(), 0, std::max(width() - 1, 0)),
                        std::clamp(at.y(), 0, std::max(height() - 1, 0)));
    const QRect r = toQRect(board_.panelRect(dragged_));
    board_.movePanel(inside.x() - r.x(), inside.y() - r.y());
    panels_[dragged_ - 1]->setGeometry(toQRect(board_.panelRect(dragged_)));
}

void ConnectSurface::releasePanel(int p, bool click) {
    if (dragged_ == 0) {
        return;
    }
    dragged_ = 0;
    board_.releasePanel();
    laidOut_ = true;
    if (click) {
        board_.clickPanel(p);
    }
    refresh();
}

void ConnectSurface::clickPanelByKey(int p, bool shift) {
    if (p < 1 || p > board_.panelCount()) {
        return;
    }
    const QRect r = toQRect(board_.panelRect(p));
    pressPanel(p, r.center(), shift);
    releasePanel(p, true);
}

void ConnectSurface::nudgePanel(int p, int dx, int dy) {
    if (p < 1 || p > board_.panelCount()) {
        return;
    }
    const QPoint from = toQRect(board_.panelRect(p)).center();
    const QPoint to = from + QPoint(dx, dy);
    // The keyboard stops where a drag would: the panel's middle stays on the surface.
    if (!rect().contains(to)) {
        return;
    }
    pressPanel(p, from, false);
    dragPanel(to);
    releasePanel(p, false);
}

bool ConnectSurface::clickConnector(int c) {
    if (!board_.clickConnector(c)) {
        return false;
    }
    laidOut_ = true;
    refresh();
    return true;
}

std::optional<QPoint> ConnectSurface::pressPointFor(int k) const {
    const auto& drawn = board_.drawn();
    const auto selects = [&](const QPoint& at) {
        int hit = 0;
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            if (drawn[i].connector.strictlyContains(at.x(), at.y())) {
                hit = static_cast<int>(i) + 1;
            }
        }
        return hit == k;
    };
    const PictureRect& r = drawn[k - 1].connector;
    const QPoint centre((r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2);
    if (selects(centre)) {
        return centre;
    }
    // A later connection lies over the middle (parallel ones are stacked
    // closer than a tall connector): any uncovered point will do.
    for (int y = r.y1 + 1; y < r.y2; ++y) {
        for (int x = r.x1 + 1; x < r.x2; ++x) {
            if (selects({x, y})) {
                return QPoint(x, y);
            }
        }
    }
    return std::nullopt;
}

void ConnectSurface::stepSelection(int step) {
    const int count = static_cast<int>(board_.drawn().size());
    int k = board_.selectedConnection();
    for (int tries = 0; tries < count; ++tries) {
        k = k == 0 ? (step > 0 ? 1 : count) : (k - 1 + step + count) % count + 1;
        if (const auto at = pressPointFor(k)) {
            board_.pressSurface(at->x(), at->y());
            refresh();
            return;
        }
    }
}

bool ConnectSurface::deleteSelection() {
    if (!board_.deleteSelected()) {
        return false;
    }
    laidOut_ = true;
    refresh();
    return true;
}

void ConnectSurface::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    board_.pressSurface(at.x(), at.y());
    refresh();
}

void ConnectSurface::refresh() {
    for (int p = 1; p <= static_cast<int>(panels_.size()); ++p) {
        PanelItem* item = panels_[p - 1];
        item->setGeometry(toQRect(board_.panelRect(p)));
        const int role = board_.role(p);
        item->setAccessibleDescription(role == 0 ? QString()
                                                 : QStringLiteral("%1 番目に選択").arg(role));
        item->update();
    }
    update();
}

void ConnectSurface::paintConnection(QPainter& painter, int k) {
    const DrawnConnection& d = board_.drawn()[k - 1];
    const Connection& c = board_.connections()[k - 1];
    const QRect at = toQRect(d.connector);
    paintPiece(painter, at.topLeft(), connectorPieces_[c.connector - 1],
               k == board_.selectedConnection(), true);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
    if (d.directed) {
        const QPixmap arrow = (d.rightward ? RightImg : LeftImg)->pixmap();
        for (const PictureRect& side : {d.leftArrow, d.rightArrow}) {
            const QRect box = toQRect(side);
            painter.fillRect(box, Qt::white);
            painter.drawPixmap(box.topLeft(), arrow);
            painter.drawRect(box.adjusted(0, 0, -1, -1));
        }
    }
    for (const ScreenLine& line : d.lines) {
        painter.drawLine(toQPoint(line.from), toQPoint(line.to));
    }
}

void ConnectSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (laidOut_) {
        painter.fillRect(rect(), Qt::white);
    } else {
        painter.drawImage(0, 0, background_);
    }
    for (int k = 1; k <= static_cast<int>(board_.drawn().size()); ++k) {
        paintConnection(painter, k);
    }
    painter.drawImage(0, 0, band_);
}

}  // namespace tovalo::ui
