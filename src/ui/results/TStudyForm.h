#pragma once

#include <QPixmap>

#include "core/results/advisor.h"
#include "ui/widgets/screen_form.h"

class QLabel;
class QScrollArea;
class QTimer;

namespace tovalo::ui {

class AdvisorBars;
class AdvisorCategoryBars;
class AdvisorNames;
class ImageButton;

// The advisor: the history of every course of the current vendor as bars,
// a course's categories on a click, and the two pages made from all of it
// (the summary report and the diagnosis request). It takes the course
// menu's place and gives it back when it closes.
class TStudyForm : public ScreenForm {
    Q_OBJECT

  public:
    TStudyForm(Session& session);

    QTimer* Timer1;  // the opened course's title sliding up

    // Showing the screen reads every course's history and draws the list.
    void setVisible(bool visible) override;

    // The courses as last read, in catalog order.
    [[nodiscard]] const std::vector<AdvisorCourse>& courses() const { return courses_.courses; }
    // The course whose detail is shown or opening (1-based), 0 in the list.
    [[nodiscard]] int openedCourse() const { return opened_; }
    [[nodiscard]] bool detailShown() const { return detailShown_; }

  signals:
    // Back to the course menu.
    void backRequested();
    // The adaptive list of catalog row `courseRow` (1-based).
    void adaptiveListRequested(int courseRow);

  public slots:
    // Reads the histories and adaptive files again and redraws the list,
    // after an adaptive file was deleted, say.
    void refresh();
    // Opens course `row` (1-based) as a click on it does: the title slides
    // up, then the detail shows.
    void openCourse(int row);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Timer1Timer();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ensureControls();
    void FormShow();
    void applyVendorLook();
    void layoutControls();
    void drawList();
    void showDetail();
    void leaveDetail();
    void leaveScreen();
    void openPage(const Status& written, const std::string& page);
    // Scrolls the shown box by whole wheel notches.
    void scrollByNotches(int notches);

    bool built_ = false;
    bool showing_ = false;
    AdvisorCourses courses_;
    int opened_ = 0;
    bool detailShown_ = false;
    int wheelRemainder_ = 0;
    QPixmap sideStrip_;

  private:
    // The controls; tests reach them by object name.
    // Made the first time the screen is shown; null until then.
    QLabel* HiGradeImg = nullptr;
    QLabel* Label3 = nullptr;   // caption
    QLabel* Memo1 = nullptr;    // help text
    QLabel* Image2 = nullptr;   // lower strip of the side column
    QLabel* Label13 = nullptr;  // "100%"
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* ListPanel = nullptr;  // holds the two list pictures
    AdvisorNames* LabelImage = nullptr;
    AdvisorBars* Image0 = nullptr;
    QWidget* Shape1 = nullptr;  // the opened row's highlight
    QLabel* Label1 = nullptr;   // the opened course's title
    QLabel* Label2 = nullptr;   // its shadow
    QScrollArea* ScrollBox2 = nullptr;
    AdvisorCategoryBars* Image1 = nullptr;
    QLabel* AdpImg = nullptr;
    QLabel* Label5 = nullptr;
    ImageButton* Button1 = nullptr;  // back to the list
    ImageButton* Button2 = nullptr;  // back to the course menu
    ImageButton* Button3 = nullptr;  // diagnosis request
    ImageButton* Button4 = nullptr;  // summary report
};

}  // namespace tovalo::ui
