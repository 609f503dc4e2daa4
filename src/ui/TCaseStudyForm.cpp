#include "ui/TCaseStudyForm.h"

namespace tovalo::ui {

TCaseStudyForm::TCaseStudyForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("CaseStudyForm"));
}

}  // namespace tovalo::ui
