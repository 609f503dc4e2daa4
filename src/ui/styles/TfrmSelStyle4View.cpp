#include "ui/styles/TfrmSelStyle4View.h"

namespace tovalo::ui {

TfrmSelStyle4View::TfrmSelStyle4View(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("frmSelStyle4View"));
}

}  // namespace tovalo::ui
