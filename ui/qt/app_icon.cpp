#include "app_icon.h"

namespace vessane::qt {

QIcon AppIcon() {
    // Decoded once for the process: the application, the window and the About box share
    // it (each PNG is decoded as soon as it is added).
    static const QIcon icon = [] {
        QIcon sizes;
        for (int size : {16, 24, 32, 48}) {  // the sizes compiled in (CMakeLists.txt)
            sizes.addFile(QStringLiteral(":/vessane/icon/vessane-%1.png").arg(size),
                          QSize(size, size));
        }
        return sizes;
    }();
    return icon;
}

}  // namespace vessane::qt
