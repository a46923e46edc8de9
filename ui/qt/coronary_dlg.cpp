#include "coronary_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>
#include <span>

#include "about_box.h"
#include "accessible_guards.h"
#include "app_icon.h"
#include "dialog_units.h"
#include "form_texts.h"
#include "main_template.h"
#include "on_calcul.h"
#include "template_builder.h"

namespace {

// A fixed-size application window: title, system menu, minimise and close buttons, no
// maximise button; as a window rather than a transient dialog it has its own taskbar
// entry.
constexpr Qt::WindowFlags kMainWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

QString ControlText(QWidget* control) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentText();
    if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
    return QString();
}

}  // namespace

CCoronaryDlg::CCoronaryDlg(QWidget* parent) : QDialog(parent, kMainWindowFlags) {
    setWindowTitle(QString::fromUtf8(TXT_MAIN_CAPTION));
    setWindowIcon(vessane::qt::AppIcon());
    setFont(vessane::qt::DialogFont());
    const vessane::qt::DialogUnits units(font());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // not resizable
    BuildMenus();
    layout->setMenuBar(menuBar_);
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("IDD_MAIN"));
    client_->setFixedSize(units.X(vessane::ui::kMainWidth), units.Y(vessane::ui::kMainHeight));
    layout->addWidget(client_);
    // Centred on the screen. The toolkit's own centring guesses the frame of a window it
    // has never shown, and misses by tens of pixels: the size is fixed now and the
    // window centred by hand (its frame, unknown before the first show, is left out).
    layout->activate();
    move(screen()->availableGeometry().center() - rect().center());

    controls_ = vessane::qt::BuildControls(vessane::ui::kMainControls, units, client_);
    for (const auto& text : vessane::ui::kMainAccessibleTexts) {
        QWidget* control = controls_.Find(text.id);
        control->setAccessibleName(QString::fromUtf8(text.name));
        if (text.description)
            control->setAccessibleDescription(QString::fromUtf8(text.description));
        // On the Linux accessibility bus the toolkit names a selector after the item it
        // shows, and takes what it asks for from a label beside it, which neither has:
        // a screen reader finds that in the description instead.
        else if (qobject_cast<QComboBox*>(control))
            control->setAccessibleDescription(QString::fromUtf8(text.name));
    }
    ConnectEvents();
    OnInitDialog();
}

CCoronaryDlg::~CCoronaryDlg() = default;

void CCoronaryDlg::BuildMenus() {
    // A menu command runs once the event that chose it is over, as a posted command
    // does: the modal About box then opens outside the menu's click or key, and outside
    // an assistive technology's request to press the item, which gets its answer at once
    // instead of waiting for the box to close.
    constexpr Qt::ConnectionType kPosted = Qt::QueuedConnection;
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);  // in the window on every desktop
    QMenu* options = menuBar_->addMenu(QString::fromUtf8(TXT_MENU_OPTIONS));
    options->setObjectName(QStringLiteral("IDR_MAIN_MENU"));
    QAction* infos = options->addAction(QString::fromUtf8(TXT_MENU_INFOS));
    infos->setObjectName(QStringLiteral("ID_OPTIONS_INFOS"));
    connect(infos, &QAction::triggered, this, &CCoronaryDlg::OnInfos, kPosted);
    options->addSeparator();
    QAction* quit = options->addAction(QString::fromUtf8(TXT_MENU_QUITTER));
    quit->setObjectName(QStringLiteral("ID_OPTIONS_QUITTER"));
    connect(quit, &QAction::triggered, this, &CCoronaryDlg::OnQuitter, kPosted);

    // Desktops offer no portable way to add an item to a window's system menu: the
    // About item lives in a context menu of the client area instead.
    contextMenu_ = new QMenu(this);
    QAction* about = contextMenu_->addAction(QString::fromUtf8(TXT_ABOUT_ITEM));
    about->setObjectName(QStringLiteral("IDM_ABOUT"));
    connect(about, &QAction::triggered, this, &CCoronaryDlg::OnInfos, kPosted);
}

void CCoronaryDlg::ConnectEvents() {
    // Signals chosen so that exactly the platform's notifications reach the handlers:
    // clicked (not toggled) fires for the user's clicks only; currentIndexChanged fires
    // only on a real change of selection, and the selectors are filled with their
    // signals blocked; textChanged fires for typed and for set texts alike, and is
    // filtered by the hold counter of the data exchange.
    // Each reports to the form's event table, which decides what the change does. An
    // item selected in a selector's list through the accessibility layer is picked as a
    // click in the open list picks it (drop_down_list.h); the check boxes' accessible
    // actions are clicks (check_box_accessible.h). The result field (110) is in no entry.
    using vessane::ControlChange;
    for (const vessane::FormEvent& event : vessane::kEventTable) {
        QWidget* control = controls_.Find(event.id);
        const int id = event.id;
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            connect(button, &QAbstractButton::clicked, this,
                    [this, id] { OnChange(id, ControlChange::kClick); });
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            connect(combo, &QComboBox::currentIndexChanged, this,
                    [this, id] { OnChange(id, ControlChange::kSelection); });
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            connect(edit, &QLineEdit::textChanged, this,
                    [this, id] { OnChange(id, ControlChange::kText); });
        }
    }
    // The context menu opens over every control that has none of its own (the fields
    // keep their editing menu); the selectors would otherwise swallow the request.
    for (QWidget* control : client_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!qobject_cast<QLineEdit*>(control)) control->installEventFilter(this);
    }
}

void CCoronaryDlg::OnInitDialog() {
    // The first data exchange puts the two empty cholesterol members into the fields.
    exchange_.UpdateData(*this, false);

    const struct {
        int id;
        std::span<const char* const> items;
        int selected;
    } selectors[] = {{IDC_SEX, vessane::kSexItems, vessane::kDefaultSexIndex},
                     {IDC_UNIT, vessane::kUnitItems, vessane::kDefaultUnitIndex}};
    for (const auto& selector : selectors) {
        auto* combo = qobject_cast<QComboBox*>(controls_.Find(selector.id));
        // Filling and selecting from the program is no user's change of selection.
        const QSignalBlocker blocker(combo);
        for (const char* item : selector.items) combo->addItem(QString::fromLatin1(item));
        combo->setCurrentIndex(selector.selected);
    }

    // Each default text recomputes as it is set: the window opens on "10.3 %", bar 10.
    vessane::SetDefaultTexts(*this);
    OnRangeLabelChanged(IDC_TOTAL_RANGE);
    OnRangeLabelChanged(IDC_HDL_RANGE);
    controls_.Find(IDC_SEX)->setFocus();
}

void CCoronaryDlg::OnChange(int id, vessane::ControlChange change) {
    const vessane::Dispatched done = vessane::Dispatch(*this, exchange_, id, change, holdDepth_ > 0);
    if (done.action != vessane::FormAction::kRecompute) return;
    ++recomputeCount_;
    ShowFailure(done.failed);
}

void CCoronaryDlg::ShowFailure(vessane::ValidationCheck failed) {
    // On ERREUR the bar keeps its place but is shown disabled: it is no result of this
    // form. The result field says why, to the mouse and to a screen reader.
    const bool erreur = failed != vessane::ValidationCheck::kNone;
    controls_.Find(IDC_RISK_BAR)->setEnabled(!erreur);
    const QString reason =
        erreur ? QString::fromUtf8(vessane::DescribeFormFailure(*this, failed)) : QString();
    QWidget* result = controls_.Find(IDC_RESULT);
    result->setToolTip(reason);
    result->setAccessibleDescription(reason);
}

void CCoronaryDlg::OnInfos() {
    // Only an assistive technology reaches the menus while the About box is open.
    if (vessane::qt::BlockedByModalWindow(this)) return;
    CAboutBox about(this);
    about.exec();
}

void CCoronaryDlg::OnQuitter() {
    if (vessane::qt::BlockedByModalWindow(this)) return;
    done(0);
}

void CCoronaryDlg::OnRangeLabelChanged(int labelId) {
    // The cholesterol fields describe themselves with their current accepted range.
    const int field = labelId == IDC_TOTAL_RANGE ? IDC_TOTAL_CHOL
                      : labelId == IDC_HDL_RANGE ? IDC_HDL_CHOL
                                                 : 0;
    if (field == 0) return;
    Edit(field)->setAccessibleDescription(ControlText(controls_.Find(labelId)));
}

void CCoronaryDlg::keyPressEvent(QKeyEvent* event) {
    // Enter never closes the window nor does anything else; Escape still cancels.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    // Shift+F10 opens the context menu of the control with the focus, as the Menu key
    // does: a field shows its editing menu, the rest of the window the About item.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        QWidget* target = focusWidget() ? focusWidget() : client_;
        const QPoint centre = target->rect().center();
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, centre, target->mapToGlobal(centre));
        QCoreApplication::sendEvent(target, &menuKey);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CCoronaryDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu) {
        contextMenu_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CCoronaryDlg::contextMenuEvent(QContextMenuEvent* event) {
    contextMenu_->popup(event->globalPos());
    event->accept();
}

QLineEdit* CCoronaryDlg::Edit(int id) const {
    return qobject_cast<QLineEdit*>(controls_.Find(id));
}

int CCoronaryDlg::GetDlgItemText(int id, char* buffer, int maxCount) {
    if (maxCount <= 0) return 0;
    // One byte per character: the form reads its fields as single-byte text.
    const QByteArray text = ControlText(controls_.Find(id)).left(maxCount - 1).toLatin1();
    std::memcpy(buffer, text.constData(), static_cast<std::size_t>(text.size()));
    buffer[text.size()] = '\0';
    return static_cast<int>(text.size());
}

int CCoronaryDlg::GetDlgItemTextLength(int id) {
    return static_cast<int>(ControlText(controls_.Find(id)).size());
}

void CCoronaryDlg::SetDlgItemText(int id, const char* text) {
    QWidget* control = controls_.Find(id);
    const QString value = QString::fromLatin1(text);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        // A set text always reports a change, even when it equals the old one.
        {
            const QSignalBlocker blocker(edit);
            edit->setText(value);
        }
        OnChange(id, vessane::ControlChange::kText);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(value);
        OnRangeLabelChanged(id);
    }
}

int CCoronaryDlg::GetCurSel(int id) {
    auto* combo = qobject_cast<QComboBox*>(controls_.Find(id));
    return combo ? combo->currentIndex() : -1;
}

int CCoronaryDlg::GetCheck(int id) {
    auto* box = qobject_cast<QCheckBox*>(controls_.Find(id));
    return box && box->isChecked() ? 1 : 0;
}

void CCoronaryDlg::SetBarPos(int id, int position) {
    if (auto* bar = qobject_cast<QProgressBar*>(controls_.Find(id))) {
        bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
    }
}

void CCoronaryDlg::HoldChangeNotifications(bool hold) {
    holdDepth_ += hold ? 1 : -1;
}
