#include "ui/online/TSyncForm.h"

namespace tovalo::ui {

TSyncForm::TSyncForm(Session& session) : PendingScreen(session, QStringLiteral("履歴同期")) {
    setObjectName(QStringLiteral("SyncForm"));
}

}  // namespace tovalo::ui
