#include "ui/screen_form.h"

namespace tovalo::ui {

ScreenForm::ScreenForm(Session& session, Screens& screens)
    : QWidget(nullptr, Qt::Window), session_(session), screens_(screens) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

QString ScreenForm::formName() const {
    QString name = QString::fromLatin1(metaObject()->className());
    qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? name : name.mid(colon + 1);
}

}  // namespace tovalo::ui
