#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

namespace tovalo::ui {

// One course of the catalog: its level badges at the left and the line
// "code : title (全n問) 問題更新日:date" in silver on black. The selected
// row lies on a band in the vendor's colours and is the list's one Tab
// stop; arrows move the selection from there.
class CourseRow : public QWidget {
    Q_OBJECT

  public:
    static const QColor kTextColour;
    static const QColor kBackground;

    explicit CourseRow(int row, QWidget* parent = nullptr);

    [[nodiscard]] int row() const { return row_; }
    void setCourse(const QString& text, std::vector<int> levelIcons);
    [[nodiscard]] const QString& text() const { return text_; }
    // The line as the row draws it: cut short with "…" when the row is too narrow.
    [[nodiscard]] QString shownText() const;
    [[nodiscard]] const std::vector<int>& levelIcons() const { return icons_; }

    void setHighlighted(bool highlighted);
    [[nodiscard]] bool highlighted() const { return highlighted_; }
    // The band and the ink of the selected row (text and focus mark).
    void setHighlightColours(const QColor& band, const QColor& ink);

  signals:
    void clicked(int row);
    // An arrow, Page or Home/End key on the focused row: the selection
    // moves by `rows` (clamped to the list by the menu).
    void stepRequested(int rows);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    int row_;
    QString text_;
    std::vector<int> icons_;
    bool highlighted_ = false;
    QColor band_;
    QColor ink_;
};

}  // namespace tovalo::ui
