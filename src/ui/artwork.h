#pragma once

#include <QColor>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace tovalo::ui {

// The title picture of the profile screen. Drawn rather than shipped so
// that it follows the window's size and the installed fonts.
QPixmap drawTitlePicture(QSize size, qreal devicePixelRatio = 1.0);

// The 18 × 18 level badge of a catalog row and of the level legend: level
// 1..4 in the colours of the vendors' level strips, 0 for a course without
// a level. The highlighted variant marks the selected row: lit, with a
// white rim, where the normal one is dimmed.
const QPixmap& levelIcon(int level, bool highlighted);

// What the picture on a bar button shows beside its label.
enum class ButtonGlyph { Start, Exit, Diagnosis, Update, Sync, News, Back };

// A button of the screens' button bars. `accent` colours the glyph's disc;
// the start buttons use a warmer face so that they stand out.
QPixmap drawBarButton(QSize size, const QString& label, ButtonGlyph glyph, const QColor& accent,
                      bool prominent = false);

// The two small buttons that scroll the vendor tabs.
QPixmap drawTabArrow(bool pointsLeft);

// A vendor tab for a bundle that has no tab picture: the folder name on a
// plain tab of the usual size.
QPixmap drawPlainTab(const QString& label);

}  // namespace tovalo::ui
