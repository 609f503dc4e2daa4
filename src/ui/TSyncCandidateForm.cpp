#include "ui/TSyncCandidateForm.h"

namespace tovalo::ui {

TSyncCandidateForm::TSyncCandidateForm(Session& session, Screens& screens)
    : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("SyncCandidateForm"));
}

}  // namespace tovalo::ui
