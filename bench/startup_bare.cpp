// The floor: a bare Qt 6 dialog holding one label, ended at its first frame.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

#include "startup_probe.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vessane::bench::ExitWhenShown probe;
    app.installEventFilter(&probe);
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Vessane")));
    dialog.exec();
    return 0;
}
