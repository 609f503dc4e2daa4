#include "ui/styles/TfrmSelStyle6.h"

namespace tovalo::ui {

TfrmSelStyle6::TfrmSelStyle6(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("frmSelStyle6"));
}

}  // namespace tovalo::ui
