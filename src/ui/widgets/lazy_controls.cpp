#include "ui/widgets/lazy_controls.h"

#include "core/app/startup_tooltips.h"
#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

void applyStartupTooltipsTo(ScreenForm& form) {
    const QString name = form.formName();
    for (const app::StartupTooltip& t : app::startupTooltips()) {
        if (name != QLatin1String(t.form.data(), static_cast<qsizetype>(t.form.size()))) {
            continue;
        }
        const QString control =
            QString::fromUtf8(t.control.data(), static_cast<qsizetype>(t.control.size()));
        if (QWidget* w = form.findChild<QWidget*>(control)) {
            w->setToolTip(QString::fromUtf8(t.text.data(), static_cast<qsizetype>(t.text.size())));
        }
    }
}

}  // namespace tovalo::ui
