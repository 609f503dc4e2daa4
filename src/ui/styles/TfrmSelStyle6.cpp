#include "ui/styles/TfrmSelStyle6.h"

namespace tovalo::ui {

TfrmSelStyle6::TfrmSelStyle6(Session& session)
    : PanelWindow(session, QStringLiteral("frmSelStyle6"), Kind::Answer, true) {}

}  // namespace tovalo::ui
