#include "ui/online/TSyncCandidateForm.h"

namespace tovalo::ui {

TSyncCandidateForm::TSyncCandidateForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("SyncCandidateForm"));
}

}  // namespace tovalo::ui
