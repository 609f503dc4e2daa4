#include "ui/TAdaptiveForm.h"

namespace tovalo::ui {

TAdaptiveForm::TAdaptiveForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("AdaptiveForm"));
}

}  // namespace tovalo::ui
