#include "check_box_accessible.h"

#include <QCheckBox>
#include <QKeySequence>

#include "accessible_guards.h"

namespace vessane::qt {

CheckBoxAccessible::CheckBoxAccessible(QCheckBox* box)
    : QAccessibleWidget(box, QAccessible::CheckBox) {}

QCheckBox* CheckBoxAccessible::Box() const {
    return static_cast<QCheckBox*>(widget());
}

QString CheckBoxAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Name && widget()->accessibleName().isEmpty()) {
        QString name = Box()->text();
        return name.remove(QLatin1Char('&'));
    }
    return QAccessibleWidget::text(type);
}

QAccessible::State CheckBoxAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = Box()->isChecked();
    state.pressed = Box()->isDown();
    return state;
}

QStringList CheckBoxAccessible::actionNames() const {
    QStringList names;
    if (widget()->isEnabled()) names << toggleAction();
    return names << QAccessibleWidget::actionNames();
}

void CheckBoxAccessible::doAction(const QString& actionName) {
    // A client may also name an action the box does not list; a press of a check box
    // is a click as well.
    if (actionName == toggleAction() || actionName == pressAction()) {
        if (widget()->isEnabled() && !BlockedByModalWindow(widget())) Box()->click();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

QStringList CheckBoxAccessible::keyBindingsForAction(const QString& actionName) const {
    if (actionName == toggleAction()) return {QKeySequence(Qt::Key_Space).toString()};
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

}  // namespace vessane::qt
