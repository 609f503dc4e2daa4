#include "ui/widgets/accessible_role.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QWidget>

namespace tovalo::ui {

namespace {

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

// The widgets given a role, by address. The factory is asked about every
// object, the page engine's own among them, some of whose classes carry no
// type information to look at safely: so an object is looked up by its
// address before anything is asked of it.
QHash<const QObject*, QAccessible::Role>& roles() {
    static QHash<const QObject*, QAccessible::Role> byWidget;
    return byWidget;
}

QAccessibleInterface* roleFactory(const QString&, QObject* object) {
    const auto it = roles().constFind(object);
    if (it == roles().cend()) {
        return nullptr;
    }
    return new RoleAccessible(static_cast<QWidget*>(object), *it);
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
    if (!roles().contains(widget)) {
        QObject::connect(widget, &QObject::destroyed, [](QObject* gone) { roles().remove(gone); });
    }
    roles().insert(widget, role);
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
