#pragma once

#include "core/platform/message_boxes.h"

namespace tovalo::platform {

// Application-modal boxes over whichever window is active: each runs its
// own event loop until answered, and every other window ignores input.
class QtMessageBoxes : public MessageBoxes {
  public:
    void showError(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    bool askOkCancel(const std::string& text) override;
    void showNotice(const std::string& caption, const std::string& text) override;
};

}  // namespace tovalo::platform
