#include "ui/TfrmSelStyle7.h"

namespace tovalo::ui {

TfrmSelStyle7::TfrmSelStyle7(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("frmSelStyle7"));
}

}  // namespace tovalo::ui
