#include "ui/widgets/vendor_tab_strip.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "core/catalog/course_menu_rules.h"
#include "ui/widgets/accessible_role.h"

namespace tovalo::ui {

VendorTabStrip::VendorTabStrip(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedHeight(kSelectedTabTop + kTabHeight);
    // Tab reaches the strip; a click on a tab leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    setAccessibleRole(this, QAccessible::PageTabList);
    setAccessibleName(QStringLiteral("ベンダーの選択"));
}

const VendorTabStrip::Tab* VendorTabStrip::tabOf(int vendor) const {
    for (const Tab& t : tabs_) {
        if (t.vendor == vendor) {
            return &t;
        }
    }
    return nullptr;
}

void VendorTabStrip::describeSelection() {
    const Tab* t = tabOf(selected_);
    setAccessibleDescription(t != nullptr ? t->name : QString());
}

void VendorTabStrip::setTabs(std::vector<Tab> tabs) {
    tabs_ = std::move(tabs);
    describeSelection();
    scrollTo(offset_);
    takeRing();
    update();
}

void VendorTabStrip::setSelected(int vendor) {
    selected_ = vendor;
    describeSelection();
    takeRing();
    update();
}

void VendorTabStrip::scrollToShow(int vendor) {
    const Tab* t = tabOf(vendor);
    if (t == nullptr) {
        return;
    }
    const int left = tabLeft(t->tabPosition);
    if (left < offset_) {
        scrollTo(left);
    } else if (left + kTabWidth > offset_ + width()) {
        scrollTo(left + kTabWidth - width());
    }
}

void VendorTabStrip::scrollTo(int offset) {
    int clamped = clampTabScroll(offset, static_cast<int>(tabs_.size()), width());
    if (clamped != offset_) {
        offset_ = clamped;
        takeRing();
        update();
    }
}

void VendorTabStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scrollTo(offset_);
}

QPoint VendorTabStrip::tabPicturePos(int vendor) const {
    const Tab* t = tabOf(vendor);
    return t != nullptr ? QPoint(tabLeft(t->tabPosition), vendor == selected_ ? kSelectedTabTop : 0)
                        : QPoint();
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
        const QRect tab(QPoint(tabLeft(pressed->tabPosition), kSelectedTabTop),
                        pressed->picture.deviceIndependentSize().toSize());
        p.drawPixmap(tab.topLeft(), pressed->picture);
    }
    if (hasFocus() && !ring_.taking()) {
        p.resetTransform();
        ring_.draw(p);
    }
}

void VendorTabStrip::takeRing() {
    const Tab* t = tabOf(selected_);
    if (!hasFocus() || t == nullptr) {
        return;
    }
    ring_.take(this, QRect(QPoint(tabLeft(t->tabPosition) - offset_, kSelectedTabTop),
                           t->picture.deviceIndependentSize().toSize()));
}

void VendorTabStrip::keyPressEvent(QKeyEvent* event) {
    const bool left = event->key() == Qt::Key_Left;
    if (!left && event->key() != Qt::Key_Right) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Neighbours by where the tabs are drawn, which need not be the order
    // the vendors were loaded in.
    std::vector<const Tab*> order;
    for (const Tab& t : tabs_) {
        order.push_back(&t);
    }
    std::sort(order.begin(), order.end(),
              [](const Tab* a, const Tab* b) { return a->tabPosition < b->tabPosition; });
    auto at = std::find_if(order.begin(), order.end(),
                           [this](const Tab* t) { return t->vendor == selected_; });
    const Tab* next = nullptr;
    if (at == order.end()) {
        next = order.empty() ? nullptr : (left ? order.back() : order.front());
    } else if (left && at != order.begin()) {
        next = *(at - 1);
    } else if (!left && at + 1 != order.end()) {
        next = *(at + 1);
    }
    if (next != nullptr) {
        scrollToShow(next->vendor);
        emit tabClicked(next->vendor);
    }
}

void VendorTabStrip::focusInEvent(QFocusEvent* event) {
    scrollToShow(selected_);
    takeRing();
    update();
    QWidget::focusInEvent(event);
}

void VendorTabStrip::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
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
