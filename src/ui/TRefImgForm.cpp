#include "ui/TRefImgForm.h"

namespace tovalo::ui {

TRefImgForm::TRefImgForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("RefImgForm"));
}

}  // namespace tovalo::ui
