// Vessane: coronary heart disease risk calculator, the window.
#include "coronary_app.h"

int main(int argc, char** argv) {
    // Qt's own options (-platform, -display...) are taken by the application object;
    // the program has none of its own.
    CCoronaryApp app(argc, argv);
    if (app.InitInstance()) return app.exec();
    return 0;
}
