#pragma once

#include <QPixmap>
#include <QWidget>
#include <vector>

#include "core/results/advisor.h"

namespace tovalo::ui {

// The advisor's two little pictures, drawn rather than shipped: the crown
// that marks the pass mark on a bar (18 × 9) and the adaptive mark beside a
// course that has an adaptive file (15 × 10).
const QPixmap& advisorCrown();
const QPixmap& advisorAdaptiveMark();

// The course list's name column (the advisor's LabelImage): every course's
// code and title, with the adaptive mark in front of those that have an
// adaptive file. It takes the clicks and keys that open a course.
class AdvisorNames : public QWidget {
    Q_OBJECT

  public:
    explicit AdvisorNames(QWidget* parent = nullptr);

    void setRows(std::vector<AdvisorRow> rows);
    [[nodiscard]] int count() const { return static_cast<int>(rows_.size()); }
    // The row the keys act on (1-based), 0 for none.
    [[nodiscard]] int currentRow() const { return current_; }
    void setCurrentRow(int row);
    // Course `row`'s "code : title", and the same as drawn: cut short with
    // "…" when the column is too narrow for it.
    [[nodiscard]] QString fullText(int row) const;
    [[nodiscard]] QString shownText(int row) const;

  signals:
    // A click or key on course `row` (1-based): on its adaptive mark, or
    // anywhere else on its name.
    void markActivated(int row);
    void nameActivated(int row);
    // The keys moved the current row; the list scrolls to keep it in view.
    void currentRowChanged(int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    std::vector<AdvisorRow> rows_;
    int current_ = 0;
};

// The course list's bars (the advisor's Image0): mean rate in red, the rest
// to 100 % in silver, the best rate after the bar and a crown at the pass
// mark. Clicks on a bar open the course, as clicks on its name do.
class AdvisorBars : public QWidget {
    Q_OBJECT

  public:
    explicit AdvisorBars(QWidget* parent = nullptr);
    void setRows(std::vector<AdvisorRow> rows);

  signals:
    void clicked(int clickedY);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    std::vector<AdvisorRow> rows_;
};

// The opened course's categories (the advisor's Image1): the mean of the
// last five exams in yellow, the best rate after the bar.
class AdvisorCategoryBars : public QWidget {
    Q_OBJECT

  public:
    explicit AdvisorCategoryBars(QWidget* parent = nullptr);
    void setRows(std::vector<AdvisorCategoryRow> rows);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<AdvisorCategoryRow> rows_;
};

}  // namespace tovalo::ui
