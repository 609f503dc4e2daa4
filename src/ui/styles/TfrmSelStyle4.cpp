#include "ui/styles/TfrmSelStyle4.h"

namespace tovalo::ui {

TfrmSelStyle4::TfrmSelStyle4(Session& session)
    : PanelWindow(session, QStringLiteral("frmSelStyle4"), Kind::Answer, false) {}

}  // namespace tovalo::ui
