#include "ui/TSpareForm.h"

namespace tovalo::ui {

TSpareForm::TSpareForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("SpareForm"));
}

}  // namespace tovalo::ui
