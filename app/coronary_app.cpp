#include "coronary_app.h"

#include "app_icon.h"
#include "coronary_dlg.h"
#include "dialog_style.h"
#include "dialog_units.h"
#include "vessane_version.h"

CCoronaryApp::CCoronaryApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("vessane"));
    setApplicationDisplayName(QStringLiteral("Vessane"));
    setApplicationVersion(QStringLiteral(VESSANE_VERSION_TEXT));
    // The desktop file's name, so that desktops match the window to its launcher.
    setDesktopFileName(QStringLiteral("org.vessane.Vessane"));
    setWindowIcon(vessane::qt::AppIcon());
    // The dialog font for the whole program (menus included, as in the Windows
    // build): one font to load at start-up instead of two.
    setFont(vessane::qt::DialogFont());
    setStyle(vessane::qt::CreateDialogStyle());
}

CCoronaryApp::~CCoronaryApp() = default;

bool CCoronaryApp::InitInstance() {
    CCoronaryDlg dlg;
    dlg.exec();  // 0 from "Quitter", cancel otherwise: either way the program ends
    return false;
}
