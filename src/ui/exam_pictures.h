#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace tovalo::ui {

// The pictures of the exam screens: drawn rather than shipped, so that they
// follow the installed fonts and stay sharp at any size.

enum class ButtonTone { Grade, Navigate, Suspend, Answer, CaseStudy, Repeat, Figure, Close };
enum class ButtonGlyph { None, Back, Forward, Pause, Resume, Check, Repeat, Picture, Document };

// An image button picture: its normal look or its grey disabled look.
QPixmap buttonPicture(QSize size, const QString& caption, ButtonTone tone, ButtonGlyph glyph,
                      bool enabled = true);

// The introduction card, without its three text lines.
QPixmap introductionCard(QSize size);

// A clock face for vendors whose bundle has none: 118 × 120 with the dial
// centred at (59, 53), like the bundle pictures.
QPixmap plainClockFace();

}  // namespace tovalo::ui
