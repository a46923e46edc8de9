#include "app_icon.h"

namespace vessane::qt {

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/vessane/icon/vessane-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace vessane::qt
