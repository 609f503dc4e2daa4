#include "ui/TSyncForm.h"

namespace tovalo::ui {

TSyncForm::TSyncForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("SyncForm"));
}

}  // namespace tovalo::ui
