#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QRect>

class QPainter;

namespace tovalo::ui {

class Session;

// The vendor's art of the left column that the result screen and the
// advisor share: the level badge, the strip that stretches down the
// column, the picture at its foot and the colours of its text panel.
struct SideColumnArt {
    QPixmap levelSegment;  // null when the vendor has no level strip
    QPixmap sideStrip;
    QPixmap lowerStrip;
    int lowerStripHeight = 0;  // the room the foot picture takes, even when missing
    QColor panelBack;
    QColor panelText;
};

// The art of the current vendor (fallbacks when there is none).
SideColumnArt sideColumnArt(const Session& session);

// The column's strip between its pictures, whatever the window's height.
void paintSideStrip(QPainter& p, const QRect& strip, const QPixmap& picture);
// The button bar along the bottom, right of the column.
void paintButtonBar(QPainter& p, const QRect& bar);

// A course's code and title in a narrow box of the column: lines break at
// blanks, and the font goes one step smaller before a word is broken, so
// that "ケーススタディ" never reads "ケースス" and "タディ". The lines are
// set anew whenever the box changes size.
class SideTitle : public QLabel {
    Q_OBJECT

  public:
    SideTitle(const QFont& font, QWidget* parent);
    void setTitle(const QString& title);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void setLines();

    QFont font_;
    QString title_;
};

}  // namespace tovalo::ui
