#include "ui/widgets/fonts.h"

namespace tovalo::ui {

QString installedFamily(std::string_view materialName) {
    if (materialName == "ＭＳ ゴシック" || materialName == "MS Gothic") {
        return kFixedFamily;
    }
    return kProportionalFamily;
}

QFont uiFont(int pixelSize, bool bold) {
    QFont font(kProportionalFamily);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont fixedFont(int pixelSize) {
    QFont font(kFixedFamily);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace tovalo::ui
