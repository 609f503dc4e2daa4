#include "ui/styles/style_layouts.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/styles/style_window.h"
#include "ui/widgets/fonts.h"

namespace tovalo::ui {

namespace {

// The answer button and its margins must fit beside a narrow picture.
constexpr int kNarrowest = 140;

}  // namespace

QSize graphicWindowSize(QSize picture) {
    return {qMax(picture.width() + 2 * kGraphicPictureAt.x(), kNarrowest),
            picture.height() + StyleWindow::kButtonStrip};
}

void addCaptionedField(QWidget* parent, const QString& caption, QLabel*& label, QLineEdit*& field) {
    label = new QLabel(caption, parent);
    label->setObjectName(QStringLiteral("Label1"));
    label->setFont(uiFont(13, true));
    label->setGeometry(7, 6, 336, 18);

    field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("Edit1"));
    field->setFont(uiFont(14));
    field->setGeometry(7, 26, 337, 24);
    field->setAccessibleName(caption);
    label->setBuddy(field);
}

}  // namespace tovalo::ui
