#pragma once

#include <QSize>
#include <QString>

#include "ui/widgets/artwork.h"

class QWidget;

namespace tovalo::ui {

class ImageButton;

// What a button of the online windows is: drawn in the exam screens'
// tones, named for tests and for screen readers, and explained on hover.
struct OnlineButton {
    const char* objectName;
    QString caption;
    QString tip;
    QSize size;
    ButtonTone tone;
    ButtonGlyph glyph;
};

ImageButton* makeOnlineButton(QWidget* parent, const OnlineButton& look);

}  // namespace tovalo::ui
