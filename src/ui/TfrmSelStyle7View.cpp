#include "ui/TfrmSelStyle7View.h"

namespace tovalo::ui {

TfrmSelStyle7View::TfrmSelStyle7View(Session& session, Screens& screens)
    : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("frmSelStyle7View"));
}

}  // namespace tovalo::ui
