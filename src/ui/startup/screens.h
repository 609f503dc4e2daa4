#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace tovalo::ui {

class ScreenForm;
class TMainMenuForm;
class TExamModeForm;
class TCourseMenuForm;
class TGenericMBForm;
class TResultForm;
class TStudyForm;
class TCatSelForm;
class TCheatForm;
class TConfirmForm;
class TUpdateForm;
class TDownLoad;
class TRefImgForm;
class TfrmSelStyle4;
class TfrmSelStyle3;
class TfrmSelStyle4View;
class TfrmSelStyle3View;
class TCaseStudyForm;
class TfrmSelStyle5;
class TfrmSelStyle5View;
class TfrmSelStyle6View;
class TfrmSelStyle6;
class TAdaptiveForm;
class TfrmSelStyle7;
class TfrmSelStyle7View;
class TSyncForm;
class TSyncCandidateForm;
class TSpareForm;

// The window set. Every screen exists once, from start-up to the end of the
// program, and screens reach each other only through this registry.
class Screens {
  public:
    Screens();
    ~Screens();
    Screens(const Screens&) = delete;
    Screens& operator=(const Screens&) = delete;

    // Takes ownership of a newly created screen and remembers the order.
    template <class Form>
    Form* adopt(std::unique_ptr<Form> form) {
        Form* raw = form.get();
        owned_.push_back(std::move(form));
        return raw;
    }

    // In the order start-up created them.
    [[nodiscard]] std::vector<ScreenForm*> all() const;

    TMainMenuForm* MainMenuForm = nullptr;
    TExamModeForm* ExamModeForm = nullptr;
    TCourseMenuForm* CourseMenuForm = nullptr;
    TGenericMBForm* GenericMBForm = nullptr;
    TResultForm* ResultForm = nullptr;
    TStudyForm* StudyForm = nullptr;
    TCatSelForm* CatSelForm = nullptr;
    TCheatForm* CheatForm = nullptr;
    TConfirmForm* ConfirmForm = nullptr;
    TUpdateForm* UpdateForm = nullptr;
    TDownLoad* DownLoad = nullptr;
    TRefImgForm* RefImgForm = nullptr;
    TfrmSelStyle4* frmSelStyle4 = nullptr;
    TfrmSelStyle3* frmSelStyle3 = nullptr;
    TfrmSelStyle4View* frmSelStyle4View = nullptr;
    TfrmSelStyle3View* frmSelStyle3View = nullptr;
    TCaseStudyForm* CaseStudyForm = nullptr;
    TfrmSelStyle5* frmSelStyle5 = nullptr;
    TfrmSelStyle5View* frmSelStyle5View = nullptr;
    TfrmSelStyle6View* frmSelStyle6View = nullptr;
    TfrmSelStyle6* frmSelStyle6 = nullptr;
    TAdaptiveForm* AdaptiveForm = nullptr;
    TfrmSelStyle7* frmSelStyle7 = nullptr;
    TfrmSelStyle7View* frmSelStyle7View = nullptr;
    TSyncForm* SyncForm = nullptr;
    TSyncCandidateForm* SyncCandidateForm = nullptr;
    TSpareForm* SpareForm = nullptr;

    // Set once every screen above exists and they are connected; before
    // that only the profile screen and the first `stepsDone` steps of the
    // rest are there (see startup.h).
    bool complete = false;
    std::size_t stepsDone = 0;

  private:
    std::vector<std::unique_ptr<ScreenForm>> owned_;
};

}  // namespace tovalo::ui
