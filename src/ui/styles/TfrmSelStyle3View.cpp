#include "ui/styles/TfrmSelStyle3View.h"

namespace tovalo::ui {

TfrmSelStyle3View::TfrmSelStyle3View(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("frmSelStyle3View"));
}

}  // namespace tovalo::ui
