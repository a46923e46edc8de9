#include "drop_down_list.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include "accessible_guards.h"

namespace vessane::qt {

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, &DropDownList::SelectShownItem);
    // Judged once the change is complete: the toolkit moves the current item only after
    // it has reported the selection that goes with it.
    connect(view()->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        QMetaObject::invokeMethod(this, &DropDownList::PickSelectedItem, Qt::QueuedConnection);
    });
}

void DropDownList::showPopup() {
    if (!BlockedByModalWindow(this)) QComboBox::showPopup();
}

void DropDownList::hidePopup() {
    QComboBox::hidePopup();
    SelectShownItem();  // not the item the mouse last went over
}

void DropDownList::SelectShownItem() {
    view()->selectionModel()->select(model()->index(currentIndex(), 0),
                                     QItemSelectionModel::ClearAndSelect);
}

void DropDownList::PickSelectedItem() {
    QAbstractItemView* list = view();
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    if (selected.size() != 1) return;
    const int row = selected.front().row();
    // Moving through the open list (the mouse hovering, the arrow keys) makes the item
    // it reaches current and selected together, and picks nothing; the selector itself
    // keeps its list's selection on the item it shows. Any other selection is a pick.
    const bool open = list->isVisible();
    if (row == (open ? list->currentIndex().row() : currentIndex())) return;
    if (BlockedByModalWindow(this)) {
        SelectShownItem();  // refused
        return;
    }
    // Picked as a click in the open list picks: the list closes, the selector shows the
    // item and reports the change.
    hidePopup();
    setCurrentIndex(row);
}

}  // namespace vessane::qt
