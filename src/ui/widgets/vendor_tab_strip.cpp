#include "ui/widgets/vendor_tab_strip.h"

#include <QMouseEvent>
#include <QPainter>

#include "core/catalog/course_menu_rules.h"

namespace tovalo::ui {

VendorTabStrip::VendorTabStrip(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedHeight(kSelectedTabTop + kTabHeight);
}

void VendorTabStrip::setTabs(std::vector<Tab> tabs) {
    tabs_ = std::move(tabs);
    scrollTo(offset_);
    update();
}

void VendorTabStrip::setSelected(int vendor) {
    selected_ = vendor;
    update();
}

void VendorTabStrip::scrollTo(int offset) {
    int clamped = clampTabScroll(offset, static_cast<int>(tabs_.size()), width());
    if (clamped != offset_) {
        offset_ = clamped;
        update();
    }
}

void VendorTabStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scrollTo(offset_);
}

QPoint VendorTabStrip::tabPicturePos(int vendor) const {
    for (const Tab& t : tabs_) {
        if (t.vendor == vendor) {
            return QPoint(tabLeft(t.tabPosition), t.vendor == selected_ ? kSelectedTabTop : 0);
        }
    }
    return {};
}

QPoint VendorTabStrip::clickPointFor(int vendor) const {
    return QPoint(tabLeft(vendor) + kTabWidth / 2 - offset_, kSelectedTabTop);
}

void VendorTabStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.translate(-offset_, 0);
    // The selected tab goes last so that it lies over its neighbours.
    const Tab* pressed = nullptr;
    for (const Tab& t : tabs_) {
        if (t.vendor == selected_) {
            pressed = &t;
            continue;
        }
        p.drawPixmap(tabLeft(t.tabPosition), 0, t.picture);
    }
    if (pressed != nullptr) {
        p.drawPixmap(tabLeft(pressed->tabPosition), kSelectedTabTop, pressed->picture);
    }
}

void VendorTabStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    int vendor = tabAt(event->position().toPoint().x() + offset_, static_cast<int>(tabs_.size()));
    if (vendor != 0) {
        emit tabClicked(vendor);
    }
}

}  // namespace tovalo::ui
