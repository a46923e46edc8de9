#include "template_builder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolTip>

#include "accessible_guards.h"
#include "app_icon.h"
#include "drop_down_list.h"
#include "resource.h"
#include "texts.h"

namespace vessane::qt {
namespace {

QLineEdit* CreateEdit(ControlKind kind, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // No length limit is set: Qt's default (32767) is the platform edit's default too.
    if (kind == ControlKind::EditDigits || kind == ControlKind::EditReadOnly) {
        // Typed and pasted text alike: a paste holding anything but digits is refused.
        static const QRegularExpression digits(QStringLiteral("[0-9]*"));
        edit->setValidator(new QRegularExpressionValidator(digits, edit));
        // A refused character is said below the field, as a digits-only field does.
        QObject::connect(edit, &QLineEdit::inputRejected, edit, [edit] {
            QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())),
                               QStringLiteral(TXT_DIGITS_ONLY), edit);
        });
    }
    if (kind == ControlKind::EditReadOnly) {
        edit->setReadOnly(true);
        // Read-only edits show the window's colour, as the Windows build's do.
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
    }
    GuardAccessibility(edit, AccessibleGuard::Field);
    return edit;
}

QLabel* CreateLabel(ControlKind kind, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    switch (kind) {
        case ControlKind::LabelCentred:
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            break;
        case ControlKind::LabelFramed:
            label->setAlignment(Qt::AlignCenter);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setWordWrap(false);
            break;
        default:
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            break;
    }
    return label;
}

QWidget* CreateWidget(const ControlTemplate& control, QWidget* parent) {
    const QString text = control.text ? QString::fromUtf8(control.text) : QString();
    switch (control.kind) {
        case ControlKind::DropDownList:
            return new DropDownList(parent);
        case ControlKind::EditDigits:
        case ControlKind::EditFree:
        case ControlKind::EditReadOnly:
            return CreateEdit(control.kind, parent);
        case ControlKind::Label:
        case ControlKind::LabelCentred:
        case ControlKind::LabelFramed:
            return CreateLabel(control.kind, text, parent);
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(text, parent);
            GuardAccessibility(box, AccessibleGuard::CheckBox);
            return box;
        }
        case ControlKind::HiddenButton: {
            auto* button = new QPushButton(text, parent);
            button->setAutoDefault(false);
            button->setVisible(false);
            GuardAccessibility(button, AccessibleGuard::Inert);
            return button;
        }
        case ControlKind::DefaultButton: {
            auto* button = new QPushButton(text, parent);
            button->setDefault(true);
            return button;
        }
        case ControlKind::GroupBox:
            return new QGroupBox(text, parent);
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setRange(0, 100);
            bar->setValue(0);
            bar->setTextVisible(false);
            return bar;
        }
        case ControlKind::Icon: {
            auto* icon = new QLabel(parent);
            icon->setPixmap(AppIcon().pixmap(32, 32));
            icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return icon;
        }
    }
    return new QWidget(parent);
}

}  // namespace

ControlTable BuildControls(std::span<const ControlTemplate> controls, const DialogUnits& units,
                           QWidget* parent) {
    ControlTable table;
    for (const ControlTemplate& control : controls) {
        QWidget* widget = CreateWidget(control, parent);
        if (control.id != IDC_STATIC) table.Add(control.id, widget);
        widget->setObjectName(QString::fromLatin1(control.name));
        widget->setProperty(kControlIdProperty, control.id);
        QRect place = units.Rect(control.x, control.y, control.cx, control.cy);
        if (control.kind == ControlKind::DropDownList) {
            // The template gives the open list's height; the closed box is one line, as
            // tall as an edit plus the room for its button's frame.
            place.setHeight(units.Y(13));
        }
        if (control.kind == ControlKind::Icon) place.setSize(QSize(32, 32));
        widget->setGeometry(place);
        // Group boxes only frame the controls around them: kept behind, they never take
        // their clicks.
        if (control.kind == ControlKind::GroupBox) widget->lower();
    }
    return table;
}

QWidget* FindControl(QWidget* parent, int id) {
    const auto children = parent->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (child->property(kControlIdProperty).toInt() == id) return child;
    }
    return nullptr;
}

}  // namespace vessane::qt
