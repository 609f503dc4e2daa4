#pragma once

#include <QString>
#include <QWidget>
#include <vector>

namespace tovalo::ui {

// The minor categories of one major category: one line of 12 pixels each
// with a check mark. A click on a line flips its mark and highlights the
// line until the list loses the focus; Space flips the highlighted line.
// Tabbing into the list highlights its first line (its last from behind),
// and the arrows move the highlight.
class MinorCategoryList : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kLineHeight = 12;

    explicit MinorCategoryList(QWidget* parent = nullptr);

    void setLines(const QStringList& lines);
    [[nodiscard]] int count() const { return static_cast<int>(lines_.size()); }
    [[nodiscard]] QString lineText(int line) const;  // 1-based

    void setChecked(int line, bool checked);
    [[nodiscard]] bool isChecked(int line) const;
    // The highlighted line, 0 for none.
    [[nodiscard]] int current() const { return current_; }

    // Where a click must land to flip `line`.
    [[nodiscard]] QPoint linePoint(int line) const;
    [[nodiscard]] QSize sizeHint() const override;

  signals:
    // The user flipped the mark of `line`.
    void lineToggled(int line);
    // The highlighted line moved to `area` (list coordinates), which the
    // surrounding scroll area should bring into view.
    void currentLineMoved(const QRect& area);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void toggle(int line);
    void setCurrent(int line);

    struct Line {
        QString text;
        bool checked = true;
    };
    std::vector<Line> lines_;
    int current_ = 0;
};

}  // namespace tovalo::ui
