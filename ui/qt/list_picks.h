// The list of a drop-down selector, as an assistive technology sees it: a list whose
// items it may select, by their "Toggle" action or by the list's row selection. The
// toolkit then only highlights the item, and the selector keeps showing the old one.
// A mouse picks an item by clicking it in the open list; selecting one through the
// accessibility layer is made the same pick here, so the selector shows it and reports
// the change as it reports the mouse's.
#pragma once

class QComboBox;

namespace vessane::qt {

void RouteListPicks(QComboBox* combo);

}  // namespace vessane::qt
