#pragma once

#include "core/catalog/catalog.h"
#include "core/results/adaptive_list.h"
#include "ui/widgets/screen_form.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

class QLabel;
class QTableView;

namespace tovalo::ui {

class ImageButton;

// The rows of the adaptive list, converted once per showing: a full course
// has 3500 cells, which the grid asks for again on every repaint.
class AdaptiveListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(const std::vector<AdaptiveListRow>& rows);
    // One row of empty cells, what the grid holds between showings.
    void clearToOneRow();

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

  private:
    std::vector<QStringList> cells_;
};

// The adaptive list: per-question statistics of one course, opened from the
// advisor. It can also delete the course's adaptive history.
class TAdaptiveForm : public ScreenForm {
    Q_OBJECT

  public:
    static constexpr QSize kShownSize{760, 560};

    TAdaptiveForm(Session& session);

    // Reads the course's adaptive file and question file afresh and shows
    // the list modally. A course without history gets the message that it
    // has none, and no list.
    void showFor(const CourseEntry& course);
    // The same for row `row` (1-based, as CourseIndex) of the session's catalog.
    void showForRow(int row);

  signals:
    // The course's adaptive file was deleted and the list closed: the
    // advisor's mark for it is out of date.
    void adaptiveDeleted();

  public slots:
    void Button1Click();
    void Image1Click();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void centreOnScreen();
    void fillGrid(const AdaptiveList& list);
    void clearGrid();

    CourseEntry course_;
    AdaptiveListModel rows_;

    // The controls; tests reach them by object name.
    QLabel* Label1;
    QTableView* SG;
    QLabel* Label2;
    ImageButton* Button1;
    ImageButton* Image1;
};

}  // namespace tovalo::ui
