#include "ui/TCatSelForm.h"

namespace tovalo::ui {

TCatSelForm::TCatSelForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("CatSelForm"));
}

}  // namespace tovalo::ui
