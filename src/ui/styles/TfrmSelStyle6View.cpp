#include "ui/styles/TfrmSelStyle6View.h"

namespace tovalo::ui {

TfrmSelStyle6View::TfrmSelStyle6View(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("frmSelStyle6View"));
}

}  // namespace tovalo::ui
