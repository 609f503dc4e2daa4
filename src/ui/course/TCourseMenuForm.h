#pragma once

#include <QPixmap>
#include <map>
#include <vector>

#include "core/app/window_placement.h"
#include "ui/widgets/screen_form.h"

class QLabel;
class QScrollArea;
class QTimer;

namespace tovalo::ui {

class CourseRow;
class ImageButton;
class VendorTabStrip;

// The course menu, the program's home screen: vendor tabs and the courses
// of the selected vendor. Closing it ends the program.
class TCourseMenuForm : public ScreenForm {
    Q_OBJECT

  public:
    // Height of the button bar along the bottom of the window.
    static constexpr int kBarHeight = 48;
    static constexpr int kTabStripLeft = 160;
    static constexpr int kTabStripTop = 6;
    static constexpr int kSideColumnWidth = 150;
    static constexpr int kCourseAreaLeft = 154;
    // The scroll to the current tab and the greeting sound come this long
    // after the menu appears, once it has been drawn.
    static constexpr int kGreetingDelayMs = 100;

    TCourseMenuForm(Session& session);

    // Runs once at start-up: reads the stored placement and vendor index,
    // finds the installation's directories and loads the vendor bundles.
    void FormCreate();

    // The bounds the window has now, as they would be stored.
    [[nodiscard]] app::Bounds currentBounds() const;

    // The catalog row that the start button opens (1-based; 0 for none).
    [[nodiscard]] int selectedRow() const { return selectedRow_; }
    // Rows shown for the current vendor, in catalog order.
    [[nodiscard]] std::vector<CourseRow*> shownRows() const;

    std::vector<QLabel*> LegendIcons;  // level 4..1, then "-- None"
    std::vector<QLabel*> LegendNames;
    QTimer* Timer1;

  signals:
    // A course was chosen for an exam (CourseIndex names it).
    void courseChosen();
    void advisorRequested();
    void updateRequested();
    void syncRequested();
    // The menu closed: the program ends.
    void closed();

  public slots:
    void TabStripClick(int vendor);
    void CourseRowClick(int row);
    void StartButtonClick();
    void DiagnosisButtonClick();
    void UpdateButtonClick();
    void SyncButtonClick();
    void NewsButtonClick();
    void VendorInfoButtonClick();
    void ExitButtonClick();
    void TabLeftButtonClick();
    void TabRightButtonClick();
    void Timer1Timer();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // What a vendor's bundle gives the menu besides its tab.
    struct VendorArt {
        QPixmap sideTop;     // 101
        QPixmap sideStrip;   // 102
        QPixmap sideBottom;  // 103
        QPixmap underline;   // 107
        QPixmap levels;      // 108
        QPixmap info;        // 110
    };

    void FormShow();
    void FormClose();
    void rememberNormalBounds();
    void layoutControls();
    void selectVendor(int vendor, bool reportLater);
    void showCatalog();
    void fitCourseRows();
    void showLegend();
    void selectRow(int row);
    void stepSelection(int rows);
    void orderTabs();
    void reportProblems();
    void handOver();
    const VendorArt& art(int vendor);

    std::map<int, VendorArt> art_;
    const VendorArt* shownArt_ = nullptr;
    std::vector<CourseRow*> rows_;  // created as needed and reused
    int shownRows_ = 0;
    int selectedRow_ = 0;
    std::vector<std::string> pendingProblems_;
    // Where the window returns to from maximised; what is stored then.
    app::Bounds normalBounds_;
    bool closed_ = false;

  private:
    // The controls; tests reach them by object name.
    VendorTabStrip* TabStrip;
    ImageButton* TabLeftButton;
    ImageButton* TabRightButton;
    QLabel* LevelImage;  // the strip segment of the vendor's highest level
    ImageButton* VendorInfoButton;
    QScrollArea* CourseArea;
    QWidget* CourseList;
    QLabel* SelectLabel;
    ImageButton* StartButton;
    ImageButton* ExitButton;
    ImageButton* DiagnosisButton;
    ImageButton* UpdateButton;
    ImageButton* SyncButton;
    ImageButton* NewsButton;
    // The window width the bar buttons were last drawn for.
    int barShownFor_ = 0;
};

}  // namespace tovalo::ui
