#include "ui/widgets/accessible_role.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace tovalo::ui {

namespace {

const char* const kRoleProperty = "tovaloAccessibleRole";
const char* const kSelectedProperty = "tovaloAccessibleSelected";

class RoleAccessible : public QAccessibleWidget {
  public:
    RoleAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        const QVariant selected = widget()->property(kSelectedProperty);
        if (selected.isValid()) {
            s.selectable = true;
            s.selected = selected.toBool();
        }
        return s;
    }
};

QAccessibleInterface* roleFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid()) {
        return nullptr;
    }
    return new RoleAccessible(widget, static_cast<QAccessible::Role>(role.toInt()));
}

}  // namespace

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
    // Installed before the first interface of such a widget is asked for;
    // the accessibility layer keeps an interface once it has made it.
    static const bool installed = [] {
        QAccessible::installFactory(roleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    widget->setProperty(kRoleProperty, static_cast<int>(role));
}

void setAccessibleSelected(QWidget* widget, bool selected) {
    const bool changed = widget->property(kSelectedProperty) != QVariant(selected);
    widget->setProperty(kSelectedProperty, selected);
    if (changed && QAccessible::isActive()) {
        QAccessible::State state;
        state.selected = true;
        QAccessibleStateChangeEvent event(widget, state);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace tovalo::ui
