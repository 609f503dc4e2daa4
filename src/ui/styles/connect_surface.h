#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <optional>
#include <vector>

#include "core/styles/connect.h"

class QLabel;

namespace tovalo::ui {

// The drawing surface of a connect question. The question's picture is
// taken apart: its top band, the connector symbols and the panels become
// pieces of their own and leave white holes behind. Panels and connectors
// are child widgets, so that the learner can press, drag, click and reach
// them with the keyboard; the connections are painted on the surface
// itself, as the board last laid them out.
class ConnectSurface : public QWidget {
    Q_OBJECT

  public:
    // Rows at the top of the picture that stay put as a heading.
    static constexpr int kBandHeight = 45;
    // How far an arrow key moves the focused panel.
    static constexpr int kKeyStep = 8;
    static constexpr QSize kArrowSize{18, 11};

    explicit ConnectSurface(QWidget* parent = nullptr);
    ~ConnectSurface() override;

    // Starts a fresh diagram on `picture` (taken as the surface's size).
    void load(const QImage& picture, ConnectLists lists);

    [[nodiscard]] const ConnectBoard& board() const { return board_; }
    // Panel p's widget (1..), for the window's focus order; null when out of range.
    [[nodiscard]] QWidget* panelWidget(int p) const;
    [[nodiscard]] int connectorCount() const { return static_cast<int>(connectors_.size()); }

    // The key that joins the selected panels with connector c (1..20):
    // 1..9, then A..K. Empty for other numbers.
    [[nodiscard]] static QString connectorKey(int c);
    // The connector a key stands for, 0 when none.
    [[nodiscard]] static int connectorForKey(int key);

    // What the keyboard does, through the same board calls as the mouse.
    // A click on panel p, extending the selection with `shift`.
    void clickPanelByKey(int p, bool shift);
    // Panel p dragged by (dx, dy).
    void nudgePanel(int p, int dx, int dy);
    // A click on connector c; false when it made no connection.
    bool clickConnector(int c);
    // Selects the next (`step` 1) or previous (-1) drawn connection, as a
    // press on its connector would.
    void stepSelection(int step);
    bool deleteSelection();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    class PanelItem;
    class ConnectorItem;

    // A rectangle cut out of the picture. Only the part that lies on the
    // picture is kept; the rest of the rectangle is white.
    struct Piece {
        QSize size;
        QPoint offset;
        QImage face, inverse;
    };
    static Piece cut(QImage& picture, const PictureRect& r);
    static void paintPiece(QPainter& painter, const QPoint& at, const Piece& piece, bool inverted,
                           bool outlined);

    void pressPanel(int p, const QPoint& at, bool shift);
    void dragPanel(const QPoint& at);
    void releasePanel(int p, bool click);
    // Brings the widgets and the painting in line with the board.
    void refresh();
    // A point that selects drawn connection k when pressed; none when later
    // connections hide it entirely.
    [[nodiscard]] std::optional<QPoint> pressPointFor(int k) const;
    void paintConnection(QPainter& painter, int k);

    ConnectBoard board_;
    QImage background_;
    QImage band_;
    std::vector<Piece> panelPieces_;
    std::vector<Piece> connectorPieces_;
    std::vector<PanelItem*> panels_;
    std::vector<ConnectorItem*> connectors_;
    QLabel* LeftImg;
    QLabel* RightImg;
    // The surface shows only the pieces and the connections once the board
    // has laid them out; until then the rest of the picture shows too.
    bool laidOut_ = false;
    int dragged_ = 0;
};

}  // namespace tovalo::ui
