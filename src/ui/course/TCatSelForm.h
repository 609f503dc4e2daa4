#pragma once

#include <vector>

#include "core/exam/selection.h"
#include "ui/widgets/screen_form.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollArea;
class QTimer;

namespace tovalo::ui {

class ImageButton;
class MinorCategoryList;

// The category screen: categories, selection mode, question count and time limit.
class TCatSelForm : public ScreenForm {
    Q_OBJECT

  public:
    static constexpr int kSideColumnWidth = 150;
    static constexpr int kBarHeight = 48;
    static constexpr int kSoundDelayMs = 300;
    // The wheel moves the category area by this many scroll steps per notch.
    static constexpr int kStepsPerNotch = 2;

    TCatSelForm(Session& session);

    // Loads the course that CourseIndex names and opens the screen on it.
    // When the course cannot be loaded the error is shown and the screen
    // stays closed.
    bool openCourse();

    // What the screen shows for one major category.
    struct CategoryRow {
        int category = 0;  // 1-based slot in the bank
        QCheckBox* box = nullptr;
        MinorCategoryList* list = nullptr;
    };
    [[nodiscard]] const std::vector<CategoryRow>& categoryRows() const { return rows_; }
    [[nodiscard]] SelectionMode mode() const;

    QTimer* Timer1;

  signals:
    // The exam is drawn; the introduction card comes next.
    void examStarted();
    // Back to the course menu.
    void left();

  public slots:
    void QuestionCalc();
    void StartButtonClick();
    void BackButtonClick();
    void MajorOnlyCheckClick();
    void ModeClick();
    void CountEditChange();
    void TimeEditChange();
    void CheckAll();
    void UncheckAll();
    void Timer1Timer();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildCategories();
    void clearCategories();
    void arrangeCategories();
    void orderTabs();
    void showChecks();
    void majorBoxClicked(int category);
    void minorToggled(int category, int sub);
    void lockChoices(bool locked);
    void scrollByNotches(int notches);
    [[nodiscard]] int sideColumnWidth() const;
    void layoutControls();
    void showDecoration();
    [[nodiscard]] bool categoriesLocked() const;

    std::vector<CategoryRow> rows_;
    int wheelRemainder_ = 0;  // part of a notch left over from fine-grained wheels

  private:
    // The controls; tests reach them by object name.
    QLabel* LevelImage;
    QLabel* TitleLabel;
    QCheckBox* MajorOnlyCheck;  // "大カテゴリのみ表示"
    QScrollArea* CategoryArea;
    QWidget* CategoryPanel;
    QGroupBox* ModeGroup;
    QRadioButton* ModeNormal;
    QRadioButton* ModeMockExam;
    QRadioButton* ModeTraining;
    QRadioButton* ModeAssessment;
    QLineEdit* CountEdit;
    QLabel* CountLabel;  // "題／n題中"
    QLineEdit* TimeEdit;
    QCheckBox* AdaptiveCheck;
    ImageButton* StartButton;
    ImageButton* BackButton;
    QLabel* SidePicture1;  // 105
    QLabel* SidePicture2;  // 104
};

}  // namespace tovalo::ui
