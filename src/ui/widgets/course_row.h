#pragma once

#include <QString>
#include <QWidget>
#include <vector>

namespace tovalo::ui {

// One course of the catalog: its level badges at the left and the line
// "code : title (全n問) 問題更新日:date" in silver on black.
class CourseRow : public QWidget {
    Q_OBJECT

  public:
    static const QColor kTextColour;

    explicit CourseRow(int row, QWidget* parent = nullptr);

    [[nodiscard]] int row() const { return row_; }
    void setCourse(const QString& text, std::vector<int> levelIcons);
    [[nodiscard]] const QString& text() const { return text_; }
    [[nodiscard]] const std::vector<int>& levelIcons() const { return icons_; }

    void setHighlighted(bool highlighted);
    [[nodiscard]] bool highlighted() const { return highlighted_; }

  signals:
    void clicked(int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    int row_;
    QString text_;
    std::vector<int> icons_;
    bool highlighted_ = false;
};

}  // namespace tovalo::ui
