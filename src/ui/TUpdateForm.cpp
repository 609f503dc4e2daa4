#include "ui/TUpdateForm.h"

namespace tovalo::ui {

TUpdateForm::TUpdateForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("UpdateForm"));
}

}  // namespace tovalo::ui
