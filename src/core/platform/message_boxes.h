#pragma once

#include <string>

namespace tovalo::platform {

inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kQuestionCaption = "確認";

// Application-modal message boxes: while one is open no other window of the
// program takes input. Every message the user sees goes through here, so a
// test can read the message and answer a question without a window blocking.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;

    // Caption kErrorCaption, one OK button.
    virtual void showError(const std::string& text) = 0;
    // Caption kQuestionCaption, Yes and No; true when the user chose Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    // Caption kQuestionCaption, OK and Cancel; true when the user chose OK.
    // Where only the two answers matter, it is the same question as Yes/No.
    virtual bool askOkCancel(const std::string& text) { return askYesNo(text); }
    // A notice with a caption of its own and one OK button (the exam's
    // "タイムアップ"); returns once the user has acknowledged it.
    virtual void showNotice(const std::string& caption, const std::string& text) = 0;
};

}  // namespace tovalo::platform
