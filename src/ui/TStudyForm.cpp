#include "ui/TStudyForm.h"

namespace tovalo::ui {

TStudyForm::TStudyForm(Session& session, Screens& screens)
    : PendingScreen(session, screens, QStringLiteral("実力診断")) {
    setObjectName(QStringLiteral("StudyForm"));
}

}  // namespace tovalo::ui
