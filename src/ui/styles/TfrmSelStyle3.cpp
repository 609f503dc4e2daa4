#include "ui/styles/TfrmSelStyle3.h"

namespace tovalo::ui {

TfrmSelStyle3::TfrmSelStyle3(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("frmSelStyle3"));
}

}  // namespace tovalo::ui
