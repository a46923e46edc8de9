// The application object: runs the main window modally, then the program ends.
#pragma once

#include <QApplication>

class CCoronaryApp : public QApplication {
public:
    CCoronaryApp(int& argc, char** argv);
    ~CCoronaryApp() override;

    // Runs the main window until it closes. Returns false: there is no event loop of
    // the application's own to run afterwards.
    bool InitInstance();
};
