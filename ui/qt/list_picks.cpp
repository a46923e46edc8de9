#include "list_picks.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>

#include "accessible_guards.h"

namespace vessane::qt {
namespace {

void PickSelectedItem(QComboBox* combo) {
    QAbstractItemView* list = combo->view();
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    if (selected.size() != 1) return;
    const int row = selected.front().row();
    // Moving through the open list (the mouse hovering, the arrow keys) makes the item
    // it reaches current and selected together, and picks nothing; the selector itself
    // keeps its list's selection on the item it shows. Any other selection is a pick.
    const bool open = list->isVisible();
    if (row == (open ? list->currentIndex().row() : combo->currentIndex())) return;
    if (BlockedByModalWindow(combo)) {
        // Refused: the list selects the item shown again, so that a later pick of the
        // refused item is still a change of selection.
        list->selectionModel()->select(combo->model()->index(combo->currentIndex(), 0),
                                       QItemSelectionModel::ClearAndSelect);
        return;
    }
    // Picked as a click in the open list picks: the list closes, the selector shows the
    // item and reports the change.
    combo->hidePopup();
    combo->setCurrentIndex(row);
}

}  // namespace

void RouteListPicks(QComboBox* combo) {
    QItemSelectionModel* selection = combo->view()->selectionModel();
    // Judged once the change is complete: the toolkit moves the current item only after
    // it has reported the selection that goes with it.
    QObject::connect(selection, &QItemSelectionModel::selectionChanged, combo, [combo] {
        QMetaObject::invokeMethod(
            combo, [combo] { PickSelectedItem(combo); }, Qt::QueuedConnection);
    });
}

}  // namespace vessane::qt
