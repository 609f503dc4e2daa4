#include "ui/results/TStudyForm.h"

namespace tovalo::ui {

TStudyForm::TStudyForm(Session& session) : PendingScreen(session, QStringLiteral("実力診断")) {
    setObjectName(QStringLiteral("StudyForm"));
}

}  // namespace tovalo::ui
