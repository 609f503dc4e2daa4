#include "ui/TDownLoad.h"

namespace tovalo::ui {

TDownLoad::TDownLoad(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("DownLoad"));
}

}  // namespace tovalo::ui
