#include "ui/styles/TfrmSelStyle6View.h"

namespace tovalo::ui {

TfrmSelStyle6View::TfrmSelStyle6View(Session& session)
    : PanelWindow(session, QStringLiteral("frmSelStyle6View"), Kind::View, true) {}

}  // namespace tovalo::ui
