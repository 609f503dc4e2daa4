#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <vector>

#include "core/exam/grading.h"

namespace tovalo::ui {

// The graded rows as a table: row 0 is the heading row, row k the exam's
// position k. The learner's answer turns red where the correct answer was
// looked at during the exam.
class ResultGridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(const std::vector<GradeRow>& rows);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

  private:
    // Converted once per exam: a 500-question grid asks for its cells again
    // on every repaint.
    std::vector<QStringList> cells_;
    std::vector<bool> viewed_;
};

// StringGrid1 of the result screen: fixed column widths and row height,
// whole-row selection, no headers of its own (labels lie over row 0).
class ResultGrid : public QTableView {
    Q_OBJECT

  public:
    explicit ResultGrid(QWidget* parent = nullptr);

    void setRows(const std::vector<GradeRow>& rows);
    // Back to the top with the heading row current, as a new exam opens.
    void showFromTop();

    [[nodiscard]] QString cellText(int row, int column) const;
    [[nodiscard]] QColor answerColour(int row) const;

  signals:
    // A press on the heading band at the grid's top.
    void headingPressed();
    // Row `row` (1-based position) became the current one, by mouse or keys.
    void rowSelected(int row);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    ResultGridModel model_;
};

}  // namespace tovalo::ui
