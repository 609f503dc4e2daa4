#pragma once

#include <QColor>
#include <QString>
#include <QTextLayout>
#include <QWidget>

namespace tovalo::ui {

// The read-only text of one choice. Lines are set 12 pixels apart whatever
// the font says, because the rows of the answer panel are stacked by line
// count; the box never takes the keyboard focus.
class ChoiceText : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kLineHeight = 12;
    static constexpr int kPaddingLeft = 4;
    static constexpr int kPaddingTop = 5;

    explicit ChoiceText(QWidget* parent = nullptr);

    void setText(const QString& text);
    [[nodiscard]] const QString& text() const { return text_; }
    void setTextColour(const QColor& colour);
    [[nodiscard]] const QColor& textColour() const { return colour_; }

    // How many lines the text takes in a box `boxWidth` pixels wide.
    [[nodiscard]] int lineCountFor(int boxWidth) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    int layOut(QTextLayout& layout, int boxWidth) const;

    QString text_;
    QColor colour_ = Qt::black;
    QTextLayout layout_;
    int laidOutWidth_ = -1;
};

}  // namespace tovalo::ui
