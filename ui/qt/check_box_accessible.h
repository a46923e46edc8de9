// The accessible face of the window's check boxes. The toolkit's own ticks a box for
// its "Toggle" action without the click the window listens to, so the result would stay
// that of the box unticked; this one reads the same but makes both "Toggle" and "Press"
// a click, which the window routes as the mouse's and the space bar's.
#pragma once

#include <QAccessibleWidget>

class QCheckBox;

namespace vessane::qt {

class CheckBoxAccessible : public QAccessibleWidget {
public:
    explicit CheckBoxAccessible(QCheckBox* box);

    QString text(QAccessible::Text type) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    QCheckBox* Box() const;
};

}  // namespace vessane::qt
