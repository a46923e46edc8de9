// The application icon (one beat of an electrocardiogram trace on a dark-blue square),
// from the PNG renderings compiled into the program.
#pragma once

#include <QIcon>

namespace vessane::qt {

QIcon AppIcon();

}  // namespace vessane::qt
