#include "ui/TfrmSelStyle3.h"

namespace tovalo::ui {

TfrmSelStyle3::TfrmSelStyle3(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("frmSelStyle3"));
}

}  // namespace tovalo::ui
