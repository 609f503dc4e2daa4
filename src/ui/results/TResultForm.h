#pragma once

#include <array>
#include <string>

#include "core/catalog/catalog.h"
#include "core/results/history_chart.h"
#include "core/results/history_file.h"
#include "core/styles/answer_style.h"
#include "ui/widgets/screen_form.h"

class QLabel;
class QTimer;

namespace tovalo::ui {

class ImageButton;
class ResultGrid;
class ReviewPaneView;
class SideTitle;

// The result screen. Showing it grades the exam in the session and fills
// the screen; hiding it, whatever the cause, stores the exam in the
// course's history (and adaptive) file, once per exam shown.
class TResultForm : public ScreenForm {
    Q_OBJECT

  public:
    TResultForm(Session& session);

    // When the screen was shown for the exam on it.
    [[nodiscard]] const ExamDate& examDate() const { return examDate_; }
    // Whether leaving the screen still has to store the exam on it.
    [[nodiscard]] bool saveDue() const { return saveDue_; }

    QTimer* Timer1;

    // Shows the screen for the exam just finished, with its top-left corner
    // at `topLeft` when given (where the exam screen was).
    void openAt(std::optional<QPoint> topLeft);
    // Showing the screen for an exam grades it and fills the controls
    // before the window appears.
    void setVisible(bool visible) override;

  signals:
    // Back to the course menu.
    void backRequested();
    // The program ends.
    void quitRequested();
    // From the review pane of a question.
    void figureRequested(const QString& caption, const QString& path);
    void styleViewRequested(AnswerStyle style);

  public slots:
    void Button1Click();
    void Button3Click();
    // The printed report, opened in the desktop's browser.
    void Button8Click();
    // The verdict again: a click on the grid's heading.
    void ShowVerdict();
    // The question of grid row `row` (1-based) in the review pane.
    void ShowRow(int row);
    void Timer1Timer();

  protected:
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ensureControls();
    void FormShow();
    void applyVendorLook();
    void layoutControls();
    void saveExam();
    void stopBrowser();
    void drawChart();
    [[nodiscard]] bool htmlCourse() const { return course_.FormatKind == 2; }
    [[nodiscard]] std::string resultPagePath() const;

    bool built_ = false;
    bool showing_ = false;
    bool saveDue_ = false;
    CourseEntry course_;  // as it was when the exam reached the screen
    ExamDate examDate_;
    std::optional<QPoint> openingPlace_;
    std::array<std::string, 5> levelTexts_;
    // The course's history as it was before this exam, read once per exam:
    // the chart and the report add the exam to it themselves.
    HistoryFile storedHistory_;
    std::optional<std::string> historyError_;
    HistoryChart chart_;
    QPixmap sideStrip_;

  private:
    // The controls; tests reach them by object name.
    // Made the first time the screen is shown; null until then.
    QLabel* HiGradeImg = nullptr;
    QLabel* Label1 = nullptr;    // rate
    QLabel* Label4 = nullptr;    // "科目 : "
    SideTitle* Memo2 = nullptr;  // code and title
    QLabel* Label6 = nullptr;    // question count
    QLabel* Label7 = nullptr;    // "実施日時 : "
    QLabel* Label8 = nullptr;    // date
    QLabel* Label9 = nullptr;    // time taken
    QLabel* Image_Left = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Shape2 = nullptr;
    QLabel* Label3 = nullptr;
    ResultGrid* StringGrid1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    ReviewPaneView* Panel1 = nullptr;  // holds Memo1 and WebBrowser1
    QLabel* Shape1 = nullptr;
    QLabel* Label2 = nullptr;        // chart title
    QLabel* Image1 = nullptr;        // history chart
    ImageButton* Button8 = nullptr;  // printed report
    ImageButton* Button1 = nullptr;
    ImageButton* Button3 = nullptr;
};

}  // namespace tovalo::ui
