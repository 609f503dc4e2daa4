#include "ui/widgets/side_column.h"

#include <QLinearGradient>
#include <QPainter>

#include "core/text/title_lines.h"

#include "platform/qt_bundle_loader.h"
#include "ui/session/session.h"
#include "ui/widgets/level_strip.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

constexpr int kSideStripPicture = 102;
constexpr int kLowerStripPicture = 103;
constexpr int kLevelStripPicture = 108;
constexpr int kLowerStripHeight = 160;

const QColor kPanelFallback(16, 40, 88);
const QColor kPanelTextFallback(225, 235, 255);
const QColor kPlainStrip(12, 16, 24);
// One step down the font sizes, in pixels.
constexpr int kFontStep = 1;

}  // namespace

SideColumnArt sideColumnArt(const Session& session) {
    using platform::QtBundleLoader;
    const app::Vendor* vendor = session.vendor(session.currentVendor);
    const int slot = vendor != nullptr ? vendor->number : 0;
    SideColumnArt art;
    art.levelSegment = levelStripSegment(QtBundleLoader::picture(slot, kLevelStripPicture),
                                         session.catalog.highestLevel);
    art.sideStrip = QtBundleLoader::picture(slot, kSideStripPicture);
    art.lowerStrip = QtBundleLoader::picture(slot, kLowerStripPicture);
    art.lowerStripHeight = art.lowerStrip.isNull() ? kLowerStripHeight : art.lowerStrip.height();
    art.panelBack = vendor != nullptr ? desktopColour(vendor->panelColor) : kPanelFallback;
    art.panelText = vendor != nullptr ? desktopColour(vendor->panelTextColor) : kPanelTextFallback;
    return art;
}

void paintSideStrip(QPainter& p, const QRect& strip, const QPixmap& picture) {
    if (strip.height() <= 0) {
        return;
    }
    if (!picture.isNull()) {
        p.drawPixmap(strip, picture);
    } else {
        p.fillRect(strip, kPlainStrip);
    }
}

void paintButtonBar(QPainter& p, const QRect& bar) {
    QLinearGradient shade(0, bar.top(), 0, bar.bottom() + 1);
    shade.setColorAt(0.0, QColor(34, 40, 54));
    shade.setColorAt(1.0, QColor(14, 16, 22));
    p.fillRect(bar, shade);
    p.setPen(QColor(80, 92, 116));
    p.drawLine(bar.left(), bar.top(), bar.right() + 1, bar.top());
}

SideTitle::SideTitle(const QFont& font, QWidget* parent) : QLabel(parent), font_(font) {
    setFont(font_);
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void SideTitle::setTitle(const QString& title) {
    title_ = title;
    setLines();
}

void SideTitle::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    setLines();
}

void SideTitle::setLines() {
    QFont smaller = font_;
    smaller.setPixelSize(std::max(1, font_.pixelSize() - kFontStep));
    const QFontMetrics own(font_, this);
    const QFontMetrics small(smaller, this);
    const QRect box = contentsRect();
    const text::TitleLines set = text::titleLines(
        title_.toStdString(), box.width(), std::max(1, box.height() / own.lineSpacing()),
        [&](std::string_view piece, bool shrunk) {
            return (shrunk ? small : own)
                .horizontalAdvance(
                    QString::fromUtf8(piece.data(), static_cast<qsizetype>(piece.size())));
        });
    QStringList lines;
    for (const std::string& line : set.lines) {
        lines << QString::fromStdString(line);
    }
    setFont(set.smaller ? smaller : font_);
    setText(lines.join(QLatin1Char('\n')));
}

}  // namespace tovalo::ui
