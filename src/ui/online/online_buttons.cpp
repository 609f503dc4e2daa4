#include "ui/online/online_buttons.h"

#include "ui/widgets/image_button.h"

namespace tovalo::ui {

ImageButton* makeOnlineButton(QWidget* parent, const OnlineButton& look) {
    auto* button = new ImageButton(parent);
    button->setObjectName(QLatin1String(look.objectName));
    button->setAccessibleName(look.caption);
    button->setToolTip(look.tip);
    setToneButtonLook(button, look.size, look.caption, look.tone, look.glyph);
    return button;
}

}  // namespace tovalo::ui
