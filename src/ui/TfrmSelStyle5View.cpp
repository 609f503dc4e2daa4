#include "ui/TfrmSelStyle5View.h"

namespace tovalo::ui {

TfrmSelStyle5View::TfrmSelStyle5View(Session& session, Screens& screens)
    : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("frmSelStyle5View"));
}

}  // namespace tovalo::ui
