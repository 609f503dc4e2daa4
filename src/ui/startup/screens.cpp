#include "ui/startup/screens.h"

#include "ui/widgets/screen_form.h"

namespace tovalo::ui {

Screens::Screens() = default;

Screens::~Screens() {
    // Later screens may refer to earlier ones while they go; take them down
    // in the reverse order of creation.
    while (!owned_.empty()) {
        owned_.pop_back();
    }
}

std::vector<ScreenForm*> Screens::all() const {
    std::vector<ScreenForm*> forms;
    forms.reserve(owned_.size());
    for (const auto& form : owned_) {
        forms.push_back(form.get());
    }
    return forms;
}

}  // namespace tovalo::ui
