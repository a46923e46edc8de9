#include "dialog_style.h"

#include <QProxyStyle>
#include <QStyleFactory>

namespace vessane::qt {
namespace {

// A menu bar asks its style for the icon of its overflow button as soon as it is built,
// and the stock icon is read from image files through the image plugins: that alone
// would be a good part of the window's start-up. The window's one menu always fits, so
// that button never shows, and its icon is left empty.
class DialogStyle : public QProxyStyle {
public:
    DialogStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (icon == SP_ToolBarHorizontalExtensionButton ||
            icon == SP_ToolBarVerticalExtensionButton) {
            return QIcon();
        }
        return QProxyStyle::standardIcon(icon, option, widget);
    }
};

}  // namespace

QStyle* CreateDialogStyle() {
    return new DialogStyle;
}

}  // namespace vessane::qt
