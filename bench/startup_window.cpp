// The window program's start-up, ended at its first frame: the same application object
// and the same modal run as app/main.cpp.
#include "coronary_app.h"
#include "startup_probe.h"

int main(int argc, char** argv) {
    CCoronaryApp app(argc, argv);
    vessane::bench::ExitWhenShown probe;
    app.installEventFilter(&probe);
    if (app.InitInstance()) return app.exec();
    return 0;
}
