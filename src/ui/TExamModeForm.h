#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/exam/exam_engine.h"
#include "core/styles/answer_style.h"
#include "ui/screen_form.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QRadioButton;
class QScrollArea;
class QTimer;

namespace tovalo::ui {

class ChoiceText;
class ClockFace;
class ImageButton;
class WebPageView;

// The exam screen: one question at a time, with the clock, the navigation
// buttons and the learner's marks. The engine in the session decides; this
// screen turns clicks, keys and ticks into engine calls and shows the result.
class TExamModeForm : public ScreenForm {
    Q_OBJECT

  public:
    static constexpr int kChoices = kMaxChoices;
    static constexpr int kFigures = 4;
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

    // The special styles answered in a window of their own, in the order of
    // their buttons.
    static constexpr std::array<AnswerStyle, 5> kWindowStyles{
        AnswerStyle::Graphic, AnswerStyle::Panel, AnswerStyle::Descriptive,
        AnswerStyle::PanelSecond, AnswerStyle::Connect};

    TExamModeForm(Session& session, Screens& screens);

    // The controls are made the first time an exam starts; until then the
    // pointers below are null.
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
    // The review list graded: the buttons go back where an exam starts.
    void RestoreNormalLayout();
    // The review list was closed without grading.
    void ReturnFromReview();
    // The answer window closed: the correct choices turn black again.
    void AnswerWindowClosed();
    // The case study's button: the first question's visit starts now and
    // time can run out again.
    void CaseStudyClosed();

    // The marks on the ten slots as the controls hold them.
    [[nodiscard]] std::array<bool, kChoices> marks() const;
    [[nodiscard]] bool suspended() const { return suspended_; }
    [[nodiscard]] bool reviewing() const { return reviewing_; }
    [[nodiscard]] bool paceReminderShown() const;
    [[nodiscard]] bool nextShowsGrade() const { return nextShowsGrade_; }
    [[nodiscard]] const std::vector<std::string>& figurePaths() const { return figurePaths_; }

    // Question panel.
    QFrame* QuesPanel = nullptr;
    QLabel* QuesLabel = nullptr;
    QLabel* ProgressLabel = nullptr;  // never shown; kept for the answer window
    QPlainTextEdit* QuesMemo = nullptr;
    WebPageView* WebBrowser1 = nullptr;
    std::array<ImageButton*, kFigures> FigButtons{};
    QCheckBox* StickyNote = nullptr;
    // Answer panel.
    QFrame* AnsPanel = nullptr;
    QLabel* AnsTitle = nullptr;
    QScrollArea* AnsScroll = nullptr;
    QWidget* AnsBox = nullptr;
    std::array<QRadioButton*, kChoices> RadioButtons{};
    std::array<QCheckBox*, kChoices> CheckBoxes{};
    std::array<ChoiceText*, kChoices> ChoiceTexts{};
    std::array<ImageButton*, 5> StyleButtons{};  // one per kWindowStyles, ButtonType3 … 7
    QLabel* HelpText = nullptr;
    QLabel* Image_Type8 = nullptr;
    QLabel* Type8Hint = nullptr;
    // Side column.
    QLabel* LevelImage = nullptr;
    QLabel* TitleBox = nullptr;
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

    QTimer* Timer1;

  public slots:
    void NextClick();
    void PrevClick();
    void GradeClick();
    void AnswerClick();
    void SuspendClick();
    void RepeatClick();
    void CaseClick();
    void FigClick(int figure);
    void StyleButtonClick(AnswerStyle style);
    void Timer1Timer();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    static int windowStyleIndex(AnswerStyle style);
    void buildQuestionPanel();
    void buildAnswerPanel();
    void buildSideColumn();
    void buildButtonBar();
    void applyVendorLook();
    void layOutWindow();
    void layOutChoiceRows();
    void clearMarks();
    void setChoiceColours(bool showCorrect);
    void updateNextPicture();
    void updateCaption();
    void setSuspendLook();
    void enableCommandButtons(bool on);
    void grade();
    void openReviewList();
    void timeUp();
    void timeUpAcknowledged();
    void closeSideWindows();
    void limitCheckBoxes(int clickedSlot);
    void styleWindowClosed();
    bool handleKey(int key);
    [[nodiscard]] bool htmlCourse() const { return formatKind_ == 2; }
    [[nodiscard]] int questionCount() const;
    [[nodiscard]] std::string questionPagePath(const char* file) const;
    [[nodiscard]] std::string imageDir() const;

    bool built_ = false;
    int formatKind_ = 1;
    std::string labelStyle_;
    bool assessment_ = false;
    bool suspended_ = false;
    bool reviewing_ = false;
    bool nextShowsGrade_ = false;
    bool keysWatched_ = false;
    int shownQuestion_ = 0;  // the question whose controls are filled, 0 for none
    ScreenForm* openStyleWindow_ = nullptr;
    std::vector<std::string> figurePaths_;
};

}  // namespace tovalo::ui
