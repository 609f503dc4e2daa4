#pragma once

#include <QFont>
#include <array>

#include "ui/widgets/screen_form.h"

class QLabel;
class QScrollArea;
class QTableWidget;

namespace tovalo::ui {

class ImageButton;

// The review list between the last question and grading: every question
// with its sticky note. A double-click goes back to a question, the grade
// button hands the exam to the result screen.
class TConfirmForm : public ScreenForm {
    Q_OBJECT

  public:
    static constexpr int kNumberColumn = 32;
    static constexpr int kTextColumn = 525;
    static constexpr int kMarkColumn = 35;

    TConfirmForm(Session& session);

    // Rebuilds the list from the exam and shows it, centred over `over` (the
    // exam screen) or on the screen when that is not valid.
    void ShowList(const QRect& over);
    // Time ran out while the list was open: going back is over.
    void TimeUpNoticed();

    // The face of the "Q.n" column, narrow enough for three-digit numbers.
    static QFont numberFont();

    // Selecting a question row (1-based) pages the list to it.
    void SelectRow(int row);

  signals:
    // A double-click: back to question `row` of the exam.
    void jumpRequested(int row);
    // The grade button: the exam goes to the result screen.
    void gradeRequested();
    // Closed from the keyboard: back to the last question.
    void closedWithoutGrading();

  public slots:
    void GradeButtonClick();
    void StringGrid1DblClick(int row);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ensureControls();
    void layOut();
    void fillGrid(QTableWidget* grid, int rows);

  private:
    // The controls; tests reach them by object name.
    // Made the first time the list is shown.
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    ImageButton* GradeButton = nullptr;
    std::array<QLabel*, 3> Headings{};
    QScrollArea* ScrollBox = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QTableWidget* StringGrid2 = nullptr;
};

}  // namespace tovalo::ui
