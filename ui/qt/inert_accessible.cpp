#include "inert_accessible.h"

namespace vessane::qt {

InertAccessible::InertAccessible(QWidget* widget)
    : QAccessibleWidget(widget, QAccessible::Button) {}

QAccessible::State InertAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.invisible = true;
    state.focusable = false;
    state.focused = false;
    return state;
}

void* InertAccessible::interface_cast(QAccessible::InterfaceType type) {
    // No action interface: neither "press" nor "set focus" (a focused hidden button
    // would take the space bar).
    if (type == QAccessible::ActionInterface) return nullptr;
    return QAccessibleWidget::interface_cast(type);
}

QStringList InertAccessible::actionNames() const {
    return {};
}

void InertAccessible::doAction(const QString& /*actionName*/) {}

}  // namespace vessane::qt
