#include "ui/online/online_buttons.h"

#include <QHBoxLayout>
#include <QPalette>
#include <QWidget>

#include "ui/widgets/image_button.h"

namespace tovalo::ui {

namespace {

const QColor kBackground(20, 26, 38);
const QColor kText(222, 226, 234);
const QColor kPanel(32, 40, 56);

}  // namespace

ImageButton* makeOnlineButton(QWidget* parent, const OnlineButton& look) {
    auto* button = new ImageButton(parent);
    button->setObjectName(QLatin1String(look.objectName));
    button->setAccessibleName(look.caption);
    button->setToolTip(look.tip);
    // The online windows are worked from the keyboard as well: Tab reaches
    // every button, Enter or Space presses it.
    button->setFocusPolicy(Qt::StrongFocus);
    setToneButtonLook(button, look.size, look.caption, look.tone, look.glyph);
    return button;
}

QHBoxLayout* onlineButtonBar(std::initializer_list<QWidget*> buttons) {
    auto* bar = new QHBoxLayout;
    bar->addStretch(1);
    bool first = true;
    for (QWidget* button : buttons) {
        if (!first) {
            bar->addSpacing(8);
        }
        bar->addWidget(button);
        first = false;
    }
    return bar;
}

void applyOnlineLook(QWidget* window) {
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, kBackground);
    pal.setColor(QPalette::WindowText, kText);
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}

void applyOnlinePanelLook(QWidget* panel) {
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, kPanel);
    panel->setPalette(pal);
    panel->setAutoFillBackground(true);
}

}  // namespace tovalo::ui
