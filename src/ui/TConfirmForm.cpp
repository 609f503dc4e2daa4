#include "ui/TConfirmForm.h"

namespace tovalo::ui {

TConfirmForm::TConfirmForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("ConfirmForm"));
}

}  // namespace tovalo::ui
