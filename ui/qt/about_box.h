// The About box: program name and version, the equations' source, terms of use.
#pragma once

#include <QDialog>

class CAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit CAboutBox(QWidget* parent = nullptr);
    ~CAboutBox() override;
};
