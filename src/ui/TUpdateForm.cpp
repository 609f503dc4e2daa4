#include "ui/TUpdateForm.h"

namespace tovalo::ui {

TUpdateForm::TUpdateForm(Session& session, Screens& screens)
    : PendingScreen(session, screens, QStringLiteral("問題更新")) {
    setObjectName(QStringLiteral("UpdateForm"));
}

}  // namespace tovalo::ui
