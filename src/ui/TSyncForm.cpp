#include "ui/TSyncForm.h"

namespace tovalo::ui {

TSyncForm::TSyncForm(Session& session, Screens& screens)
    : PendingScreen(session, screens, QStringLiteral("履歴同期")) {
    setObjectName(QStringLiteral("SyncForm"));
}

}  // namespace tovalo::ui
