#include "ui/styles/TfrmSelStyle4View.h"

namespace tovalo::ui {

TfrmSelStyle4View::TfrmSelStyle4View(Session& session)
    : PanelWindow(session, QStringLiteral("frmSelStyle4View"), Kind::View, false) {}

}  // namespace tovalo::ui
