#pragma once

#include <QPixmap>
#include <QWidget>
#include <vector>

#include "ui/widgets/focus_outline.h"

namespace tovalo::ui {

// The row of vendor tabs across the top of the course menu. Each tab
// picture sits at its vendor's tab position; the selected one is drawn
// lower, so that it looks pressed into the page below. The strip scrolls
// sideways when there are more tabs than it can show. From the keyboard it
// is one Tab stop: Left and Right select the neighbouring vendor.
class VendorTabStrip : public QWidget {
    Q_OBJECT

  public:
    struct Tab {
        int vendor = 0;       // the vendor number a click on this tab selects
        int tabPosition = 0;  // where the picture is drawn
        QPixmap picture;
        QString name;  // what a screen reader says for the tab
    };

    explicit VendorTabStrip(QWidget* parent = nullptr);

    void setTabs(std::vector<Tab> tabs);
    // Tab pictures carry no text a screen reader could use: the vendor
    // names, in the order of `tabs` given to setTabs.
    void setSelected(int vendor);
    [[nodiscard]] int selected() const { return selected_; }

    // Pixels of the tab row hidden to the left of the strip.
    [[nodiscard]] int offset() const { return offset_; }
    void scrollTo(int offset);
    void scrollBy(int delta) { scrollTo(offset_ + delta); }

    // Where the picture of `vendor` is drawn, in strip coordinates; a null
    // point when the strip has no such tab.
    [[nodiscard]] QPoint tabPicturePos(int vendor) const;
    // The widget position a click must hit to select `vendor`.
    [[nodiscard]] QPoint clickPointFor(int vendor) const;
    // Scrolls as little as needed to show the whole tab of `vendor`.
    void scrollToShow(int vendor);

  signals:
    void tabClicked(int vendor);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    [[nodiscard]] const Tab* tabOf(int vendor) const;
    void describeSelection();
    // The focus ring round the selected tab looks again at what lies round it.
    void takeRing();

    std::vector<Tab> tabs_;
    int selected_ = 0;
    int offset_ = 0;
    FocusRing ring_;
};

}  // namespace tovalo::ui
