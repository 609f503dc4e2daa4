#pragma once

#include <QColor>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace tovalo::ui {

// Every picture the program draws itself rather than ships: button faces,
// badges, tabs, the title, the introduction card and the plain clock face.
// Drawn, so that they follow the installed fonts and stay sharp at any size.

// A transparent picture of `size` (in the screen's logical pixels) with as
// many device pixels as the screen shows for them, to paint on in logical
// coordinates. A picture painted at 1:1 would be blown up, and blurred, on a
// scaled screen.
QPixmap blankPicture(QSize size);

// What a button shows beside its caption. The bar buttons of the course
// menu, category and result screens draw it on a disc in the button's
// accent colour; the exam screens' buttons draw it in the caption's colour.
enum class ButtonGlyph {
    None,
    Start,
    Exit,
    Diagnosis,
    Update,
    Sync,
    News,
    Back,
    Forward,
    Pause,
    Resume,
    Check,
    Repeat,
    Picture,
    Document,
    Delete,
};

// The colour families of the exam screens' buttons.
enum class ButtonTone { Grade, Navigate, Suspend, Answer, CaseStudy, Repeat, Figure, Close };

// The title picture of the profile screen.
QPixmap drawTitlePicture(QSize size, qreal devicePixelRatio = 1.0);

// The 18 × 18 level badge of a catalog row and of the level legend: level
// 1..4 in the colours of the vendors' level strips, 0 for a course without
// a level. The highlighted variant marks the selected row: lit, with a
// white rim, where the normal one is dimmed.
const QPixmap& levelIcon(int level, bool highlighted);

// A button of the screens' button bars. `accent` colours the glyph's disc;
// the start buttons use a warmer face so that they stand out.
QPixmap drawBarButton(QSize size, const QString& label, ButtonGlyph glyph, const QColor& accent,
                      bool prominent = false);

// A button of the exam screens: its normal look or its grey disabled look.
QPixmap buttonPicture(QSize size, const QString& caption, ButtonTone tone, ButtonGlyph glyph,
                      bool enabled = true);

class ImageButton;

// Gives a button of the exam screens its normal and disabled pictures.
void setToneButtonLook(ImageButton* button, QSize size, const QString& caption, ButtonTone tone,
                       ButtonGlyph glyph);

// The two small buttons that scroll the vendor tabs.
QPixmap drawTabArrow(bool pointsLeft);

// A vendor tab for a bundle that has no tab picture: the folder name on a
// plain tab of the usual size.
QPixmap drawPlainTab(const QString& label);

// The introduction card, without its three text lines.
QPixmap introductionCard(QSize size);

// A clock face for vendors whose bundle has none: 118 × 120 with the dial
// centred at (59, 53), like the bundle pictures.
QPixmap plainClockFace();

}  // namespace tovalo::ui
