#include "ui/styles/TfrmSelStyle7View.h"

namespace tovalo::ui {

TfrmSelStyle7View::TfrmSelStyle7View(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("frmSelStyle7View"));
}

}  // namespace tovalo::ui
