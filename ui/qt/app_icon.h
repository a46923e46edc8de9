// The application icon (one beat of an electrocardiogram trace on a dark-blue square),
// from the PNG renderings compiled into the program.
#pragma once

#include <QIcon>

namespace vessane::qt {

// The sizes compiled into the program (ui/qt/CMakeLists.txt).
inline constexpr int kAppIconSizes[] = {16, 24, 32, 48};

QIcon AppIcon();

}  // namespace vessane::qt
