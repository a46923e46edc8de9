#include "about_box.h"

#include <QPushButton>

#include "about_template.h"
#include "dialog_units.h"
#include "template_builder.h"

CAboutBox::CAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QString::fromUtf8(TXT_ABOUT_CAPTION));
    setFont(vessane::qt::DialogFont());
    const vessane::qt::DialogUnits units(font());
    setFixedSize(units.X(vessane::ui::kAboutWidth), units.Y(vessane::ui::kAboutHeight));
    vessane::qt::BuildControls(vessane::ui::kAboutControls, units, this);
    // OK, Enter (OK is the default button), Escape and the close box all end the box.
    auto* ok = qobject_cast<QPushButton*>(vessane::qt::FindControl(this, vessane::ui::kIdOk));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}

CAboutBox::~CAboutBox() = default;
