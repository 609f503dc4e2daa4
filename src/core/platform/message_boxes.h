#pragma once

#include <string>

namespace tovalo::platform {

inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kQuestionCaption = "確認";

// Modal message boxes. Every failure the user sees goes through here, so a
// test can read the message and answer a question without a window blocking.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;

    // Caption kErrorCaption, one OK button.
    virtual void showError(const std::string& text) = 0;
    // Caption kQuestionCaption, Yes and No; true when the user chose Yes.
    virtual bool askYesNo(const std::string& text) = 0;
};

}  // namespace tovalo::platform
