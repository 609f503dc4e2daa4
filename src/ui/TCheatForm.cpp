#include "ui/TCheatForm.h"

namespace tovalo::ui {

TCheatForm::TCheatForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("CheatForm"));
}

}  // namespace tovalo::ui
