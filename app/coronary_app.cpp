#include "coronary_app.h"

#include <QStyleFactory>

#include "app_icon.h"
#include "coronary_dlg.h"

CCoronaryApp::CCoronaryApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("vessane"));
    setApplicationDisplayName(QStringLiteral("Vessane"));
    setApplicationVersion(QStringLiteral("1.3"));
    // The desktop file's name, so that desktops match the window to its launcher.
    setDesktopFileName(QStringLiteral("org.vessane.Vessane"));
    setWindowIcon(vessane::qt::AppIcon());
    // One look on every desktop: the controls keep the sizes the layout gives them.
    setStyle(QStyleFactory::create(QStringLiteral("Windows")));
}

CCoronaryApp::~CCoronaryApp() = default;

bool CCoronaryApp::InitInstance() {
    CCoronaryDlg dlg;
    dlg.exec();  // 0 from "Quitter", cancel otherwise: either way the program ends
    return false;
}
