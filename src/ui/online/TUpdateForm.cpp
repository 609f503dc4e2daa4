#include "ui/online/TUpdateForm.h"

namespace tovalo::ui {

TUpdateForm::TUpdateForm(Session& session) : PendingScreen(session, QStringLiteral("問題更新")) {
    setObjectName(QStringLiteral("UpdateForm"));
}

}  // namespace tovalo::ui
