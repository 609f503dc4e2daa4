#pragma once

#include <QFont>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/exam/case_study.h"
#include "core/styles/answer_style.h"
#include "ui/widgets/choice_panel.h"
#include "ui/widgets/screen_form.h"

class QCheckBox;
class QFrame;
class QLabel;
class QTimer;

namespace tovalo::ui {

class ClockFace;
class ImageButton;
class QuestionPanel;
class SideTitle;

// The exam screen: one question at a time, with the clock, the navigation
// buttons and the learner's marks. The exam session decides; this screen
// turns clicks, keys and ticks into session calls and shows the result.
// What it needs of other windows (the review list, the answer window, the
// case study, figures, style windows) it asks for through its signals.
class TExamModeForm : public ScreenForm {
    Q_OBJECT

  public:
    static constexpr int kChoices = ChoicePanel::kChoices;
    static constexpr int kSideWidth = 150;
    static constexpr int kPanelLeft = 158;
    static constexpr int kBarHeight = 56;
    // Bottom button positions, normal and while reviewing one question.
    static constexpr int kGradeX = 144;
    static constexpr int kSuspendX = 248;
    static constexpr int kAnswerX = 352;
    static constexpr int kRepeatX = 468;
    static constexpr int kPrevX = 554;
    static constexpr int kNextX = 654;
    static constexpr int kCaseStudyX = 24;
    static constexpr int kReviewGradeX = 654;
    static constexpr int kReviewAnswerX = 554;
    static constexpr int kRepeatGap = 20;
    // Below the pace reminder; the side picture never reaches higher.
    static constexpr int kSideFloor = 304;

    explicit TExamModeForm(Session& session);

    // The controls are made the first time an exam starts.
    void ensureControls();
    [[nodiscard]] bool controlsBuilt() const { return built_; }

    // Shown by the introduction box: the exam drawn by the category screen
    // begins with its first question.
    void Start();
    void LoadQuestion(int q);
    void SaveAnswer(int q);
    void LoadAnswer(int q);
    // A double-click in the review list: back to question q, reviewing it.
    void JumpFromReview(int q);
    // The review list closed without grading.
    void ReturnFromReview();
    // Grading from the review list: the clock stops and the buttons go back
    // where an exam starts.
    void FinishForGrading();
    // The answer window closed: the correct choices turn black again.
    void AnswerWindowClosed();
    // The case study's button: the first question's visit starts now and
    // time can run out again.
    void CaseStudyClosed();
    // The style window of `style` went away.
    void StyleWindowClosed(AnswerStyle style);
    // The marks on the click picture changed.
    void Image_Type8Answered(bool solved);

    // The marks on the ten slots as the controls hold them.
    [[nodiscard]] std::array<bool, kChoices> marks() const;
    [[nodiscard]] bool suspended() const { return suspended_; }
    [[nodiscard]] bool reviewing() const { return reviewing_; }
    [[nodiscard]] bool paceReminderShown() const;
    [[nodiscard]] bool nextShowsGrade() const { return nextShowsGrade_; }
    [[nodiscard]] const std::vector<std::string>& figurePaths() const { return figurePaths_; }

    QTimer* Timer1;

  signals:
    // The review list, over this screen.
    void reviewRequested();
    void answerWindowRequested();
    // The answer window, if open, goes: the question changes.
    void answerWindowDismissed();
    // The case study of the course, before the first question.
    void caseStudyOpening(const tovalo::CaseStudy& study, const QString& caption,
                          const QFont& memoFont, const QString& pagePath);
    // The case study again, beside the question.
    void caseStudyRequested();
    void figureRequested(const QString& caption, const QString& path);
    void styleWindowRequested(tovalo::AnswerStyle style);
    // Time is up and acknowledged while the exam is still being answered:
    // the review list, if open, has to know; otherwise the exam is graded.
    void timeRanOut();
    // The figure, style and case study windows go.
    void sideWindowsDismissed();
    // The learner confirmed ending the program from the close box.
    void quitRequested();

  public slots:
    void NextClick();
    void PrevClick();
    void GradeClick();
    void AnswerClick();
    void SuspendClick();
    void RepeatClick();
    void CaseClick();
    void FigClick(int figure);
    void StyleButtonClick(tovalo::AnswerStyle style);
    void Timer1Timer();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildSideColumn();
    void buildButtonBar();
    void applyVendorLook();
    void layOutWindow();
    void showQuestionAt(int q);
    void updateNextPicture();
    void updateCaption();
    void setSuspendLook();
    // The bar buttons' pictures at the width the window gives them.
    [[nodiscard]] QSize barSize(QSize designed) const;
    void applyBarLooks();
    void applyCaseLook();
    void placeBarButtons();
    void enableCommandButtons(bool on);
    void grade();
    void timeUp();
    void openCaseStudy();
    void restoreNormalLayout();
    bool handleKey(int key);
    [[nodiscard]] bool htmlCourse() const { return formatKind_ == 2; }
    [[nodiscard]] int questionCount() const;
    [[nodiscard]] std::string questionPagePath(const char* file) const;
    [[nodiscard]] std::string imageDir() const;

    // Question and answer.
    QuestionPanel* QuesPanel = nullptr;
    QCheckBox* StickyNote = nullptr;
    ChoicePanel* AnsPanel = nullptr;
    // Side column.
    QLabel* LevelImage = nullptr;
    SideTitle* TitleBox = nullptr;
    QLabel* CountLabel = nullptr;
    QLabel* LimitLabel = nullptr;
    QLabel* RemainLabel = nullptr;
    ClockFace* Clock = nullptr;
    QLabel* PaceLabel1 = nullptr;
    QLabel* PaceLabel2 = nullptr;
    QLabel* SideImage = nullptr;
    // Bottom bar.
    QFrame* ButtonBar = nullptr;
    ImageButton* GradeButton = nullptr;
    ImageButton* SuspendButton = nullptr;
    ImageButton* AnswerButton = nullptr;
    ImageButton* CaseButton = nullptr;
    ImageButton* RepeatButton = nullptr;
    ImageButton* PrevButton = nullptr;
    ImageButton* NextButton = nullptr;

    bool built_ = false;
    int formatKind_ = 1;
    std::string labelStyle_;
    bool assessment_ = false;
    bool suspended_ = false;
    bool reviewing_ = false;
    bool nextShowsGrade_ = false;
    int barButtonWidth_ = 0;
    bool keysWatched_ = false;
    std::optional<AnswerStyle> openStyleWindow_;
    std::vector<std::string> figurePaths_;
};

}  // namespace tovalo::ui
