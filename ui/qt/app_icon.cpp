#include "app_icon.h"

#include <QFile>
#include <QImage>
#include <QPixmap>

namespace vessane::qt {

QIcon AppIcon() {
    // Built once for the process: the application, the window and the About box share
    // it. The pixels are stored raw (see ui/shared/icon/render.sh), so no image plugin
    // is loaded for them.
    static const QIcon icon = [] {
        QIcon sizes;
        for (int size : kAppIconSizes) {
            QFile file(QStringLiteral(":/vessane/icon/vessane-%1.rgba").arg(size));
            if (!file.open(QIODevice::ReadOnly)) continue;
            const QByteArray pixels = file.readAll();
            if (pixels.size() != size * size * 4) continue;
            const QImage image(reinterpret_cast<const uchar*>(pixels.constData()), size, size,
                               size * 4, QImage::Format_RGBA8888);
            sizes.addPixmap(QPixmap::fromImage(image));  // copies the pixels
        }
        return sizes;
    }();
    return icon;
}

}  // namespace vessane::qt
