// The main window against input no user types by hand: a megabyte pasted into a field,
// keys that could reach the hidden "Calcul" button, and edits arriving through the
// accessibility interface, as an assistive technology (or any program speaking its
// protocol) sends them. Runs under QT_QPA_PLATFORM=offscreen.
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleFactory>
#include <QtTest>

#include "accessible_guards.h"
#include "coronary_dlg.h"
#include "dialog_test_support.h"
#include "resource.h"

namespace {

// The result a user gets by typing text over a field of the default form.
QString ResultWhenTyped(const QString& field, const QString& text) {
    CCoronaryDlg dlg;
    QLineEdit* edit = Get<QLineEdit>(dlg, field.toLatin1());
    edit->selectAll();
    if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    if (edit->text() != text) qFatal("typing gave %s", qPrintable(edit->text()));
    return Result(dlg);
}

void ShowActive(CCoronaryDlg& dlg) {
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    if (!QTest::qWaitForWindowActive(&dlg)) qFatal("window not active");
}

// One edit an assistive technology may ask of a text field.
enum class Edit { SetValue, Insert, Replace, Delete };

struct AccessibleEdit {
    Edit kind;
    int start = 0;
    int end = 0;
    QString text;
};

void Apply(QAccessibleInterface* iface, const AccessibleEdit& edit) {
    QAccessibleEditableTextInterface* editable = iface->editableTextInterface();
    switch (edit.kind) {
        case Edit::SetValue:
            iface->setText(QAccessible::Value, edit.text);
            return;
        case Edit::Insert:
            if (editable) editable->insertText(edit.start, edit.text);
            return;
        case Edit::Replace:
            if (editable) editable->replaceText(edit.start, edit.end, edit.text);
            return;
        case Edit::Delete:
            if (editable) editable->deleteText(edit.start, edit.end);
            return;
    }
}

// Names the invisible objects under iface that offer an action, with the action.
void InvisibleActions(QAccessibleInterface* iface, QStringList& offered) {
    if (!iface) return;
    QAccessibleActionInterface* actions = iface->actionInterface();
    if (iface->state().invisible && actions) {
        for (const QString& action : actions->actionNames())
            offered << iface->text(QAccessible::Name) + ": " + action;
    }
    for (int i = 0; i < iface->childCount(); ++i) InvisibleActions(iface->child(i), offered);
}

}  // namespace

Q_DECLARE_METATYPE(Edit)

class HostileInputTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create("Windows")); }

    void megabytePasteIsReadOnce_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("pasted");
        const QString letters(1 << 20, QLatin1Char('x'));
        const QString digits(1 << 20, QLatin1Char('7'));
        QTest::newRow("total") << "IDC_TOTAL_CHOL"
                               << "2.60 g" + letters;
        QTest::newRow("hdl") << "IDC_HDL_CHOL"
                             << "0.4" + letters;
        QTest::newRow("hdl, digits") << "IDC_HDL_CHOL"
                                     << "0.4" + digits;
        QTest::newRow("age, digits") << "IDC_AGE" << digits;
    }
    void megabytePasteIsReadOnce() {
        QFETCH(QString, field);
        QFETCH(QString, pasted);
        CCoronaryDlg dlg;
        QLineEdit* edit = Get<QLineEdit>(dlg, field.toLatin1());
        const int id = edit->property("controlId").toInt();
        QGuiApplication::clipboard()->setText(pasted);
        const int before = dlg.RecomputeCount();
        edit->selectAll();
        edit->paste();

        // The field keeps as much as a platform edit holds by default; the form reads
        // its first six characters, once.
        constexpr int kEditLimit = 32767;
        QCOMPARE(edit->text().size(), kEditLimit);
        QVERIFY(edit->text() == pasted.left(kEditLimit));
        QCOMPARE(dlg.RecomputeCount(), before + 1);
        const QString expected = ResultWhenTyped(field, pasted.left(6));
        QCOMPARE(Result(dlg), expected);
        char buffer[7];
        QCOMPARE(dlg.GetDlgItemText(id, buffer, sizeof buffer), 6);
        QCOMPARE(QString::fromLatin1(buffer), pasted.left(6));
        QCOMPARE(dlg.GetDlgItemTextLength(id), kEditLimit);

        // The full field takes no more keys, and each one still recomputes once.
        edit->end(false);
        QTest::keyClick(edit, Qt::Key_9);
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->text().size(), kEditLimit - 1);
        QCOMPARE(dlg.RecomputeCount(), before + 2);
        QCOMPARE(Result(dlg), ResultWhenTyped(field, pasted.mid(1, 6)));
    }

    void unitSwitchAfterAMegabytePaste() {
        CCoronaryDlg dlg;
        QGuiApplication::clipboard()->setText("2.60" + QString(1 << 20, QLatin1Char('x')));
        Get<QLineEdit>(dlg, "IDC_TOTAL_CHOL")->selectAll();
        Get<QLineEdit>(dlg, "IDC_TOTAL_CHOL")->paste();
        QTest::keyClick(Get<QComboBox>(dlg, "IDC_UNIT"), Qt::Key_Up);  // to mmol/L
        QCOMPARE(Get<QLineEdit>(dlg, "IDC_TOTAL_CHOL")->text(), "6.71");
        QCOMPARE(Get<QLineEdit>(dlg, "IDC_HDL_CHOL")->text(), "1.29");
    }

    void hiddenCalculButtonIsOutOfKeyboardReach() {
        CCoronaryDlg dlg;
        ShowActive(dlg);
        // Ticked without a click, nothing recomputes: only the button would show 16.2 %.
        Get<QCheckBox>(dlg, "IDC_SMOKER")->setChecked(true);
        auto* calcul = Get<QPushButton>(dlg, "IDC_CALCUL");
        const int before = dlg.RecomputeCount();
        const int stops = dlg.findChildren<QWidget*>().size();
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            for (int i = 0; i < stops; ++i) {
                QTest::keyClick(QApplication::focusWidget(), key);
                QVERIFY(QApplication::focusWidget() != calcul);
            }
        }
        // The button's text could only make a mnemonic of one of its letters.
        for (Qt::Key key : {Qt::Key_C, Qt::Key_A, Qt::Key_L, Qt::Key_U}) {
            QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
            QTest::keyClick(&dlg, key, Qt::AltModifier);
        }
        QTest::keyClick(&dlg, Qt::Key_Return);
        QCOMPARE(dlg.RecomputeCount(), before);
        QCOMPARE(Result(dlg), "10.3 %");
    }

    void hiddenCalculButtonIsInertToAssistiveTechnology() {
        CCoronaryDlg dlg;
        ShowActive(dlg);
        Get<QCheckBox>(dlg, "IDC_SMOKER")->setChecked(true);
        auto* calcul = Get<QPushButton>(dlg, "IDC_CALCUL");
        const int before = dlg.RecomputeCount();

        // In the tree, as every child widget is, but invisible and offering nothing.
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(calcul);
        QVERIFY(!button || button->state().invisible);
        QVERIFY(!button || !button->state().focusable);
        QStringList offered;
        InvisibleActions(QAccessible::queryAccessibleInterface(dlg.findChild<QWidget*>("IDD_MAIN")),
                         offered);
        QCOMPARE(offered, QStringList());
        // A protocol client may name an action the object does not list.
        if (QAccessibleActionInterface* actions = button ? button->actionInterface() : nullptr) {
            for (const QString& action : {QAccessibleActionInterface::pressAction(),
                                          QAccessibleActionInterface::setFocusAction(),
                                          QAccessibleActionInterface::toggleAction()})
                actions->doAction(action);
        }
        // A press would come through the button's click animation, which holds the button
        // down until it clicks: once it is up and the posted events are handled, any click
        // has happened.
        QVERIFY(QTest::qWaitFor([calcul] { return !calcul->isDown(); }, 60000));
        QCoreApplication::sendPostedEvents();
        QVERIFY(QApplication::focusWidget() != calcul);
        QCOMPARE(dlg.RecomputeCount(), before);
        QCOMPARE(Result(dlg), "10.3 %");
    }

    void resultFieldRefusesAccessibleEdits_data() {
        QTest::addColumn<Edit>("kind");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("text");
        QTest::newRow("set value") << Edit::SetValue << 0 << 0 << "0.1 %";
        QTest::newRow("set empty") << Edit::SetValue << 0 << 0 << "";
        QTest::newRow("insert") << Edit::Insert << 0 << 0 << "9";
        QTest::newRow("replace") << Edit::Replace << 0 << 4 << "1.0";
        QTest::newRow("delete") << Edit::Delete << 0 << 2 << "";
    }
    void resultFieldRefusesAccessibleEdits() {
        QFETCH(Edit, kind);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, text);
        CCoronaryDlg dlg;
        auto* result = Get<QLineEdit>(dlg, "IDC_RESULT");
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(result);
        QVERIFY(iface);
        QVERIFY(iface->state().readOnly);
        QVERIFY(!iface->state().editable);
        const int before = dlg.RecomputeCount();
        Apply(iface, {kind, start, end, text});
        if (QAccessibleValueInterface* value = iface->valueInterface()) value->setCurrentValue(0.1);
        QCOMPARE(result->text(), "10.3 %");
        QCOMPARE(dlg.RecomputeCount(), before);
        // Still read out as before.
        QCOMPARE(iface->text(QAccessible::Value), "10.3 %");
        QVERIFY(iface->textInterface());
        QCOMPARE(iface->textInterface()->text(0, 6), "10.3 %");
    }

    void resultFieldStillShowsTheProgramsText() {
        CCoronaryDlg dlg;
        QTest::mouseClick(Get<QCheckBox>(dlg, "IDC_SMOKER"), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(Result(dlg), "16.2 %");
        QAccessibleInterface* iface =
            QAccessible::queryAccessibleInterface(Get<QLineEdit>(dlg, "IDC_RESULT"));
        QCOMPARE(iface->text(QAccessible::Value), "16.2 %");
    }

    // With an assistive technology running, the toolkit makes a widget's interface as
    // soon as the widget exists, before the window can guard it.
    void guardReplacesAnInterfaceMadeBeforeIt() {
        QLineEdit edit(QStringLiteral("10.3 %"));
        edit.setReadOnly(true);
        QVERIFY(QAccessible::queryAccessibleInterface(&edit));
        vessane::qt::GuardAccessibility(&edit, vessane::qt::AccessibleGuard::Field);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&edit);
        Apply(iface, {Edit::SetValue, 0, 0, "1"});
        if (iface->editableTextInterface()) iface->editableTextInterface()->insertText(0, "9");
        QCOMPARE(edit.text(), "10.3 %");
    }

    void accessibleEditsOfInputFields_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<Edit>("kind");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, const char* field, Edit kind, int start, int end,
                            const char* text, bool taken, const char* shown = "") {
            QTest::newRow(name) << field << kind << start << end << text << taken << shown;
        };
        // Digits fields: letters refused by every route, digits taken.
        row("age set letters", "IDC_AGE", Edit::SetValue, 0, 0, "6O", false);
        row("age set sign", "IDC_AGE", Edit::SetValue, 0, 0, "-60", false);
        row("age set digits", "IDC_AGE", Edit::SetValue, 0, 0, "60", true, "60");
        row("systolic insert letter", "IDC_SYSTOLIC", Edit::Insert, 1, 0, "x", false);
        row("systolic insert digit", "IDC_SYSTOLIC", Edit::Insert, 3, 0, "0", true, "1500");
        row("diastolic replace, letters", "IDC_DIASTOLIC", Edit::Replace, 0, 2, "8e", false);
        row("diastolic replace, digits", "IDC_DIASTOLIC", Edit::Replace, 0, 1, "8", true, "80");
        row("years insert words", "IDC_YEARS", Edit::Insert, 2, 0, " ans", false);
        row("years delete", "IDC_YEARS", Edit::Delete, 1, 2, "", true, "1");
        row("years set empty", "IDC_YEARS", Edit::SetValue, 0, 0, "", true, "");
        // Offsets outside the text: refused, as no caret can stand there.
        row("age insert past the end", "IDC_AGE", Edit::Insert, 9, 0, "1", false);
        row("age insert before the start", "IDC_AGE", Edit::Insert, -1, 0, "1", false);
        row("age delete reversed", "IDC_AGE", Edit::Delete, 2, 0, "", false);
        row("age replace past the end", "IDC_AGE", Edit::Replace, 1, 5, "0", false);
        // Free fields take anything, as from the keyboard.
        row("total set free text", "IDC_TOTAL_CHOL", Edit::SetValue, 0, 0, "2,6 g", true, "2,6 g");
        row("hdl insert letter", "IDC_HDL_CHOL", Edit::Insert, 4, 0, "x", true, "0.50x");
    }
    void accessibleEditsOfInputFields() {
        QFETCH(QString, field);
        QFETCH(Edit, kind);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, text);
        QFETCH(bool, taken);
        QFETCH(QString, shown);
        CCoronaryDlg dlg;
        QLineEdit* edit = Get<QLineEdit>(dlg, field.toLatin1());
        const QString old = edit->text();
        const QString oldResult = Result(dlg);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(edit);
        QVERIFY(iface);
        QVERIFY(iface->state().editable);
        QVERIFY(iface->editableTextInterface());
        const int before = dlg.RecomputeCount();
        Apply(iface, {kind, start, end, text});
        if (taken) {
            // Exactly as a keystroke: the text changes and the form recomputes once.
            QCOMPARE(edit->text(), shown);
            QCOMPARE(dlg.RecomputeCount(), before + 1);
            QCOMPARE(Result(dlg), ResultWhenTyped(field, shown));
        } else {
            QCOMPARE(edit->text(), old);
            QCOMPARE(dlg.RecomputeCount(), before);
            QCOMPARE(Result(dlg), oldResult);
        }
    }

    // A check box's accessible actions are clicks, which the window routes.
    void checkBoxActionsAreClicks_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("ticked");
        for (const QString& action : {QAccessibleActionInterface::toggleAction(),
                                      QAccessibleActionInterface::pressAction()}) {
            QTest::newRow(qPrintable("Fumeur " + action)) << "IDC_SMOKER" << action << "16.2 %";
            QTest::newRow(qPrintable("Diabète " + action)) << "IDC_DIABETES" << action << "13.9 %";
            QTest::newRow(qPrintable("HVG " + action)) << "IDC_LVH" << action << "27.1 %";
        }
    }
    void checkBoxActionsAreClicks() {
        QFETCH(QString, box);
        QFETCH(QString, action);
        QFETCH(QString, ticked);
        CCoronaryDlg dlg;
        QAccessibleInterface* iface =
            QAccessible::queryAccessibleInterface(Get<QCheckBox>(dlg, qPrintable(box)));
        QCOMPARE(iface->role(), QAccessible::CheckBox);
        QVERIFY(iface->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::toggleAction()));
        const int before = dlg.RecomputeCount();
        iface->actionInterface()->doAction(action);
        QVERIFY(iface->state().checked);
        QCOMPARE(Result(dlg), ticked);
        iface->actionInterface()->doAction(action);
        QVERIFY(!iface->state().checked);
        QCOMPARE(Result(dlg), "10.3 %");
        QCOMPARE(dlg.RecomputeCount(), before + 2);
    }

    // An item selected in a selector's list through the accessibility layer is picked;
    // moving through the open list picks nothing.
    void listSelectionPicks() {
        CCoronaryDlg dlg;
        ShowActive(dlg);
        auto* sex = Get<QComboBox>(dlg, "IDC_SEX");
        auto* unit = Get<QComboBox>(dlg, "IDC_UNIT");
        const auto select = [](QComboBox* combo, int row) {
            QAccessibleInterface* list = QAccessible::queryAccessibleInterface(combo)->child(0);
            list->tableInterface()->cellAt(row, 0)->actionInterface()->doAction(
                QAccessibleActionInterface::toggleAction());
            // The pick is posted (judged once the toolkit has finished its own change).
            QCoreApplication::sendPostedEvents();
        };
        int before = dlg.RecomputeCount();
        select(sex, 0);
        QCOMPARE(sex->currentIndex(), 0);
        QCOMPARE(Result(dlg), "6.9 %");
        QCOMPARE(dlg.RecomputeCount(), before + 1);

        sex->showPopup();
        for (int row : {1, 0}) {  // the mouse moving over the open list
            sex->view()->setCurrentIndex(sex->model()->index(row, 0));
            QCoreApplication::sendPostedEvents();
            QCOMPARE(sex->currentIndex(), 0);
        }
        select(sex, 1);
        QVERIFY(!sex->view()->isVisible());
        QCOMPARE(sex->currentIndex(), 1);
        QCOMPARE(Result(dlg), "10.3 %");
        // The item the mouse last went over before the list closed is picked all the same.
        sex->showPopup();
        sex->view()->setCurrentIndex(sex->model()->index(0, 0));
        sex->hidePopup();
        select(sex, 0);
        QCOMPARE(sex->currentIndex(), 0);

        before = dlg.RecomputeCount();
        select(unit, 0);  // to mmol/L: converted, not recomputed
        QCOMPARE(Get<QLineEdit>(dlg, "IDC_TOTAL_CHOL")->text(), "5.93");
        QCOMPARE(dlg.RecomputeCount(), before);
    }

    void barValueCannotBeSet() {
        CCoronaryDlg dlg;
        auto* bar = Get<QProgressBar>(dlg, "IDC_RISK_BAR");
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(bar);
        if (QAccessibleValueInterface* value = iface->valueInterface()) value->setCurrentValue(50);
        QCOMPARE(bar->value(), 10);
    }
};

QTEST_MAIN(HostileInputTest)
#include "hostile_input_test.moc"
