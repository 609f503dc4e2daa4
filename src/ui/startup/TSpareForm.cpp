#include "ui/startup/TSpareForm.h"

namespace tovalo::ui {

TSpareForm::TSpareForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("SpareForm"));
}

}  // namespace tovalo::ui
