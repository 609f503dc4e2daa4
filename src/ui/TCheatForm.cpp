#include "ui/TCheatForm.h"

#include <QHideEvent>

#include "ui/TExamModeForm.h"
#include "ui/screens.h"

namespace tovalo::ui {

TCheatForm::TCheatForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("CheatForm"));
    setWindowTitle(QStringLiteral("正解及び解説"));
    resize(420, 520);
}

void TCheatForm::hideEvent(QHideEvent* event) {
    if (!event->spontaneous() && screens_.ExamModeForm != nullptr) {
        screens_.ExamModeForm->AnswerWindowClosed();
    }
    ScreenForm::hideEvent(event);
}

}  // namespace tovalo::ui
