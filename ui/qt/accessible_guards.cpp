#include "accessible_guards.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QVariant>

#include "check_box_accessible.h"
#include "field_accessible.h"
#include "inert_accessible.h"

namespace vessane::qt {
namespace {

constexpr const char* kGuardProperty = "accessibleGuard";

// Asked before the toolkit's own factory (the last installed is asked first), for every
// class of an object from the most derived up; answers for the guarded widgets only.
QAccessibleInterface* GuardedInterface(const QString& /*className*/, QObject* object) {
    const QVariant guard = object ? object->property(kGuardProperty) : QVariant();
    if (!guard.isValid()) return nullptr;
    switch (static_cast<AccessibleGuard>(guard.toInt())) {
        case AccessibleGuard::Field:
            if (auto* edit = qobject_cast<QLineEdit*>(object)) return new FieldAccessible(edit);
            return nullptr;
        case AccessibleGuard::CheckBox:
            if (auto* box = qobject_cast<QCheckBox*>(object)) return new CheckBoxAccessible(box);
            return nullptr;
        case AccessibleGuard::Inert:
            if (auto* widget = qobject_cast<QWidget*>(object)) return new InertAccessible(widget);
            return nullptr;
    }
    return nullptr;
}

bool IsGuarded(QAccessibleInterface* iface) {
    return dynamic_cast<FieldAccessible*>(iface) || dynamic_cast<CheckBoxAccessible*>(iface) ||
           dynamic_cast<InertAccessible*>(iface);
}

}  // namespace

void GuardAccessibility(QWidget* widget, AccessibleGuard guard) {
    // Installed on first use rather than at start-up: the toolkit installs its own
    // factory with the application object, and must come first to be asked last.
    static const bool installed = [] {
        QAccessible::installFactory(&GuardedInterface);
        return true;
    }();
    (void)installed;
    widget->setProperty(kGuardProperty, static_cast<int>(guard));
    // With an assistive technology running, the toolkit may already have made and kept
    // its own interface for the widget while it was being built: drop that one.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (iface && !IsGuarded(iface)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    }
}

bool BlockedByModalWindow(const QWidget* widget) {
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != widget->window() && !modal->isAncestorOf(widget);
}

}  // namespace vessane::qt
