#include "ui/styles/TfrmSelStyle5.h"

namespace tovalo::ui {

TfrmSelStyle5::TfrmSelStyle5(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("frmSelStyle5"));
}

}  // namespace tovalo::ui
