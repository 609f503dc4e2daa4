#include "ui/TExamModeForm.h"

namespace tovalo::ui {

TExamModeForm::TExamModeForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("ExamModeForm"));
}

}  // namespace tovalo::ui
