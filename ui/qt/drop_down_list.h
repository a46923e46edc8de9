// The window's selectors: drop-down lists that do for an assistive technology what they
// do for the mouse. Their list is seen on the accessibility bus as a list whose items
// may be selected, by their "Toggle" action or by the list's row selection; the toolkit
// then only highlights the item, and the selector would keep showing the old one. Here
// such a selection picks the item, as a click in the open list does, so the selector
// shows it and reports the change as it reports the mouse's. While a modal window keeps
// the mouse away, the list neither opens nor takes a pick.
#pragma once

#include <QComboBox>

namespace vessane::qt {

class DropDownList : public QComboBox {
public:
    explicit DropDownList(QWidget* parent);

    void showPopup() override;
    void hidePopup() override;

private:
    void PickSelectedItem();
    // Whenever the list is closed, it selects the item shown, so that selecting any
    // other is a change the list reports, and a pick.
    void SelectShownItem();
};

}  // namespace vessane::qt
