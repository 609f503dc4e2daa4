#pragma once

#include <QSize>
#include <QString>
#include <initializer_list>

#include "ui/widgets/artwork.h"

class QHBoxLayout;
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

// The row at the foot of an online window: its buttons at the right, the
// first one (the window's action) leading.
QHBoxLayout* onlineButtonBar(std::initializer_list<QWidget*> buttons);

// The online windows' dark face: light text on a deep blue, and the
// slightly lighter panels that group fields on it.
void applyOnlineLook(QWidget* window);
void applyOnlinePanelLook(QWidget* panel);

}  // namespace tovalo::ui
