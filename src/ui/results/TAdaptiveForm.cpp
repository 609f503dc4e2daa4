#include "ui/results/TAdaptiveForm.h"

namespace tovalo::ui {

TAdaptiveForm::TAdaptiveForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("AdaptiveForm"));
}

}  // namespace tovalo::ui
