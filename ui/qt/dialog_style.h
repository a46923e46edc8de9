// The look of the program's windows: Qt's "Windows" style, whatever the desktop, so that
// the controls keep the sizes their layout gives them.
#pragma once

class QStyle;

namespace vessane::qt {

QStyle* CreateDialogStyle();

}  // namespace vessane::qt
