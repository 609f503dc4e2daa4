#include "ui/TStudyForm.h"

namespace tovalo::ui {

TStudyForm::TStudyForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("StudyForm"));
}

}  // namespace tovalo::ui
