#include "ui/answer/TCheatForm.h"

namespace tovalo::ui {

TCheatForm::TCheatForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("CheatForm"));
    setWindowTitle(QStringLiteral("正解及び解説"));
    resize(420, 520);
}

}  // namespace tovalo::ui
