#include "ui/online/TDownLoad.h"

namespace tovalo::ui {

TDownLoad::TDownLoad(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("DownLoad"));
}

}  // namespace tovalo::ui
