// The accessible face of a control that is never shown (the hidden "Calcul" button): it
// is reported invisible and not focusable, and offers no action, so that nothing but
// the program itself can press it.
#pragma once

#include <QAccessibleWidget>

namespace vessane::qt {

class InertAccessible : public QAccessibleWidget {
public:
    explicit InertAccessible(QWidget* widget);

    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
};

}  // namespace vessane::qt
