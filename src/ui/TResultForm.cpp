#include "ui/TResultForm.h"

namespace tovalo::ui {

TResultForm::TResultForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("ResultForm"));
}

}  // namespace tovalo::ui
