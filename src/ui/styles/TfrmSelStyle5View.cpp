#include "ui/styles/TfrmSelStyle5View.h"

namespace tovalo::ui {

TfrmSelStyle5View::TfrmSelStyle5View(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("frmSelStyle5View"));
}

}  // namespace tovalo::ui
