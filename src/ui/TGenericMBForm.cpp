#include "ui/TGenericMBForm.h"

namespace tovalo::ui {

TGenericMBForm::TGenericMBForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("GenericMBForm"));
}

}  // namespace tovalo::ui
