#include "ui/styles/TfrmSelStyle7.h"

namespace tovalo::ui {

TfrmSelStyle7::TfrmSelStyle7(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("frmSelStyle7"));
}

}  // namespace tovalo::ui
