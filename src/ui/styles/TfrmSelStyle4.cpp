#include "ui/styles/TfrmSelStyle4.h"

namespace tovalo::ui {

TfrmSelStyle4::TfrmSelStyle4(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("frmSelStyle4"));
}

}  // namespace tovalo::ui
