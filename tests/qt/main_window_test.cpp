// The main window as a user meets it: defaults, live recomputation, the unit switch,
// keys, menus and tab order. Runs under QT_QPA_PLATFORM=offscreen.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

#include "about_box.h"
#include "coronary_dlg.h"
#include "dialog_test_support.h"
#include "texts.h"

namespace {

int Bar(CCoronaryDlg& dlg) {
    return Get<QProgressBar>(dlg, "IDC_RISK_BAR")->value();
}

// Replaces a field's text by typing, as a user who selected it first.
void Type(CCoronaryDlg& dlg, const char* field, const QString& typed) {
    QLineEdit* edit = Get<QLineEdit>(dlg, field);
    edit->selectAll();
    QTest::keyClicks(edit, typed);
}

QStringList Items(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

// Whether the action opens the About box, which is then closed. The box opens once the
// event that chose it is over, and runs its own loop: it is looked for from inside.
bool OpensAboutBox(const std::function<void()>& action) {
    bool seen = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&seen, &look] {
        auto* box = qobject_cast<CAboutBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen = box->windowTitle() == QString::fromUtf8(TXT_ABOUT_CAPTION);
        look.stop();
        box->reject();
    });
    look.start(0);
    action();
    // The bound only turns a hang into a failure.
    return QTest::qWaitFor([&look] { return !look.isActive(); }, 60000) && seen;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create("Windows")); }

    void opensOnTheDefaultForm() {
        CCoronaryDlg dlg;
        const struct {
            const char* field;
            const char* text;
        } fields[] = {{"IDC_AGE", "50"},          {"IDC_SYSTOLIC", "150"},  {"IDC_DIASTOLIC", "90"},
                      {"IDC_TOTAL_CHOL", "2.30"}, {"IDC_HDL_CHOL", "0.50"}, {"IDC_YEARS", "10"},
                      {"IDC_RESULT", "10.3 %"}};
        for (const auto& field : fields)
            QCOMPARE(Get<QLineEdit>(dlg, field.field)->text(), field.text);
        QCOMPARE(Bar(dlg), 10);
        QCOMPARE(Items(Get<QComboBox>(dlg, "IDC_SEX")), QStringList({"Femme", "Homme"}));
        QCOMPARE(Get<QComboBox>(dlg, "IDC_SEX")->currentIndex(), 1);
        QCOMPARE(Items(Get<QComboBox>(dlg, "IDC_UNIT")), QStringList({"mmol/L", "g/L"}));
        QCOMPARE(Get<QComboBox>(dlg, "IDC_UNIT")->currentIndex(), 1);
        QCOMPARE(Get<QLabel>(dlg, "IDC_TOTAL_RANGE")->text(), "[0.78-4.68]");
        QCOMPARE(Get<QLabel>(dlg, "IDC_HDL_RANGE")->text(), "[0.12-1.95]");
        for (const char* box : {"IDC_SMOKER", "IDC_DIABETES", "IDC_LVH"})
            QVERIFY(!Get<QCheckBox>(dlg, box)->isChecked());
        // Each of the six default input texts recomputed once as it was set.
        QCOMPARE(dlg.RecomputeCount(), 6);
        QCOMPARE(dlg.windowTitle(), "Vessane");
        QVERIFY(Get<QLineEdit>(dlg, "IDC_RESULT")->isReadOnly());

        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QVERIFY(!Get<QPushButton>(dlg, "IDC_CALCUL")->isVisible());
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
        QVERIFY(dlg.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(dlg.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(dlg.focusWidget(), Get<QComboBox>(dlg, "IDC_SEX"));
        // Centred on the screen, to the frame's width (the offscreen platform draws none).
        const QPoint offCentre =
            dlg.frameGeometry().center() - dlg.screen()->availableGeometry().center();
        QVERIFY2(std::abs(offCentre.x()) <= 4 && std::abs(offCentre.y()) <= 4,
                 qPrintable(QStringLiteral("%1, %2").arg(offCentre.x()).arg(offCentre.y())));
    }

    void recomputesOnEveryKeystroke_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("bar");
        QTest::newRow("age") << "IDC_AGE"
                             << "60"
                             << "16.1 %" << 16;
        QTest::newRow("age lowest") << "IDC_AGE"
                                    << "30"
                                    << "2 %" << 2;
        QTest::newRow("systolic") << "IDC_SYSTOLIC"
                                  << "170"
                                  << "12.6 %" << 12;
        QTest::newRow("diastolic") << "IDC_DIASTOLIC"
                                   << "100"
                                   << "11 %" << 11;
        QTest::newRow("total") << "IDC_TOTAL_CHOL"
                               << "2.80"
                               << "13.1 %" << 13;
        QTest::newRow("hdl") << "IDC_HDL_CHOL"
                             << "0.40"
                             << "13.5 %" << 13;
        QTest::newRow("years") << "IDC_YEARS"
                               << "5"
                               << "4.5 %" << 4;
        QTest::newRow("age too low") << "IDC_AGE"
                                     << "29"
                                     << "ERREUR" << 10;
        QTest::newRow("no years") << "IDC_YEARS"
                                  << ""
                                  << "ERREUR" << 10;
        QTest::newRow("pressures too close") << "IDC_DIASTOLIC"
                                             << "141"
                                             << "ERREUR" << 10;
        QTest::newRow("pressures 10 apart") << "IDC_DIASTOLIC"
                                            << "140"
                                            << "17.5 %" << 17;
        QTest::newRow("decimal comma") << "IDC_TOTAL_CHOL"
                                       << "3,1"
                                       << "14.8 %" << 14;
        QTest::newRow("7 characters, 6 read") << "IDC_AGE"
                                              << "0000050"
                                              << "ERREUR" << 10;
    }
    void recomputesOnEveryKeystroke() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        QFETCH(int, bar);
        CCoronaryDlg dlg;
        const int before = dlg.RecomputeCount();
        if (typed.isEmpty()) {
            Get<QLineEdit>(dlg, field.toLatin1())->selectAll();
            QTest::keyClick(Get<QLineEdit>(dlg, field.toLatin1()), Qt::Key_Delete);
        } else {
            Type(dlg, field.toLatin1(), typed);
        }
        QCOMPARE(Get<QLineEdit>(dlg, field.toLatin1())->text(), typed);  // never cut
        QCOMPARE(Result(dlg), result);
        QCOMPARE(Bar(dlg), bar);  // an error leaves the bar where it was
        QCOMPARE(dlg.RecomputeCount() - before, std::max<int>(1, typed.size()));
    }

    void recoversFromAnError() {
        CCoronaryDlg dlg;
        Type(dlg, "IDC_AGE", "75");
        QCOMPARE(Result(dlg), "ERREUR");
        Type(dlg, "IDC_AGE", "74");
        QCOMPARE(Result(dlg), "24.7 %");
        QCOMPARE(Bar(dlg), 24);
    }

    void recomputesOnEachChoice_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("bar");
        QTest::newRow("Fumeur") << "IDC_SMOKER"
                                << "16.2 %" << 16;
        QTest::newRow("Diabète") << "IDC_DIABETES"
                                 << "13.9 %" << 13;
        QTest::newRow("HVG") << "IDC_LVH"
                             << "27.1 %" << 27;
        QTest::newRow("Femme") << "IDC_SEX"
                               << "6.9 %" << 6;
    }
    void recomputesOnEachChoice() {
        QFETCH(QString, control);
        QFETCH(QString, result);
        QFETCH(int, bar);
        CCoronaryDlg dlg;
        dlg.show();
        const int before = dlg.RecomputeCount();
        QWidget* widget = Get<QWidget>(dlg, control.toLatin1());
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            QTest::keyClick(combo, Qt::Key_Up);  // "Homme" -> "Femme"
        } else {
            QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, widget->height() / 2));
        }
        QCOMPARE(Result(dlg), result);
        QCOMPARE(Bar(dlg), bar);
        QCOMPARE(dlg.RecomputeCount() - before, 1);
        if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            QTest::keyClick(box, Qt::Key_Space);  // unticking recomputes too
            QCOMPARE(Result(dlg), "10.3 %");
        }
    }

    void hiddenCalculButtonRecomputes() {
        CCoronaryDlg dlg;
        Get<QCheckBox>(dlg, "IDC_SMOKER")->setChecked(true);  // no click: nothing routed
        QCOMPARE(Result(dlg), "10.3 %");
        Get<QPushButton>(dlg, "IDC_CALCUL")->click();
        QCOMPARE(Result(dlg), "16.2 %");
    }

    void switchesUnitsWithoutRecomputing() {
        CCoronaryDlg dlg;
        auto* unit = Get<QComboBox>(dlg, "IDC_UNIT");
        const int before = dlg.RecomputeCount();
        QTest::keyClick(unit, Qt::Key_Up);  // to mmol/L
        QCOMPARE(Get<QLineEdit>(dlg, "IDC_TOTAL_CHOL")->text(), "5.93");
        QCOMPARE(Get<QLineEdit>(dlg, "IDC_HDL_CHOL")->text(), "1.29");
        QCOMPARE(Get<QLabel>(dlg, "IDC_TOTAL_RANGE")->text(), "[2-12]");
        QCOMPARE(Get<QLabel>(dlg, "IDC_HDL_RANGE")->text(), "[0.3-5]");
        QCOMPARE(Get<QLineEdit>(dlg, "IDC_TOTAL_CHOL")->accessibleDescription(), "[2-12]");
        QCOMPARE(Result(dlg), "10.3 %");
        QCOMPARE(dlg.RecomputeCount(), before);

        QTest::keyClick(unit, Qt::Key_Down);  // back to g/L
        QCOMPARE(Get<QLineEdit>(dlg, "IDC_TOTAL_CHOL")->text(), "2.30");
        QCOMPARE(Get<QLineEdit>(dlg, "IDC_HDL_CHOL")->text(), "0.50");
        QCOMPARE(Get<QLabel>(dlg, "IDC_TOTAL_RANGE")->text(), "[0.78-4.68]");
        QCOMPARE(Get<QLabel>(dlg, "IDC_HDL_RANGE")->text(), "[0.12-1.95]");
        QCOMPARE(dlg.RecomputeCount(), before);

        // Picking the unit already shown is no change: nothing is converted.
        unit->setCurrentIndex(1);
        QCOMPARE(Get<QLineEdit>(dlg, "IDC_TOTAL_CHOL")->text(), "2.30");
    }

    void keepsTheResultUntilTheNextChange() {
        CCoronaryDlg dlg;
        auto* unit = Get<QComboBox>(dlg, "IDC_UNIT");
        QTest::keyClick(unit, Qt::Key_Up);  // mmol/L
        Type(dlg, "IDC_TOTAL_CHOL", "6.00");
        Type(dlg, "IDC_HDL_CHOL", "5.00");
        QCOMPARE(Result(dlg), "1.1 %");
        QTest::keyClick(unit, Qt::Key_Down);  // g/L: 1.94 g/L is above 5 mmol/L
        QCOMPARE(Get<QLineEdit>(dlg, "IDC_TOTAL_CHOL")->text(), "2.33");
        QCOMPARE(Get<QLineEdit>(dlg, "IDC_HDL_CHOL")->text(), "1.94");
        QCOMPARE(Result(dlg), "1.1 %");
        QTest::mouseClick(Get<QCheckBox>(dlg, "IDC_SMOKER"), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(Result(dlg), "ERREUR");
    }

    void digitFieldsRefuseEverythingElse_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("age") << "IDC_AGE"
                             << "a6x0."
                             << "60";
        QTest::newRow("systolic") << "IDC_SYSTOLIC"
                                  << "1-2 0"
                                  << "120";
        QTest::newRow("diastolic") << "IDC_DIASTOLIC"
                                   << "+80e"
                                   << "80";
        QTest::newRow("years") << "IDC_YEARS"
                               << "5 ans"
                               << "5";
        QTest::newRow("total is free") << "IDC_TOTAL_CHOL"
                                       << "2,3x"
                                       << "2,3x";
        QTest::newRow("hdl is free") << "IDC_HDL_CHOL"
                                     << "0.5 g"
                                     << "0.5 g";
    }
    void digitFieldsRefuseEverythingElse() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        CCoronaryDlg dlg;
        QToolTip::hideText();
        QTRY_VERIFY_WITH_TIMEOUT(!QToolTip::isVisible(), 60000);
        Type(dlg, field.toLatin1(), typed);
        QCOMPARE(Get<QLineEdit>(dlg, field.toLatin1())->text(), shown);
        // A refused character is said, as a digits-only field says it.
        const bool refused = shown != typed;
        QCOMPARE(QToolTip::isVisible() && QToolTip::text() == QString::fromUtf8(TXT_DIGITS_ONLY),
                 refused);
    }

    void digitFieldsRefuseAPasteWithLetters() {
        CCoronaryDlg dlg;
        QLineEdit* age = Get<QLineEdit>(dlg, "IDC_AGE");
        QGuiApplication::clipboard()->setText("6O");
        age->selectAll();
        age->paste();
        QCOMPARE(age->text(), "50");
        QGuiApplication::clipboard()->setText("60");
        age->selectAll();
        age->paste();
        QCOMPARE(age->text(), "60");
        QCOMPARE(Result(dlg), "16.1 %");
    }

    void resultFieldTakesNoTyping() {
        CCoronaryDlg dlg;
        const int before = dlg.RecomputeCount();
        QTest::keyClicks(Get<QLineEdit>(dlg, "IDC_RESULT"), "12");
        QCOMPARE(Result(dlg), "10.3 %");
        QCOMPARE(dlg.RecomputeCount(), before);
    }

    void enterDoesNothingEscapeCloses() {
        CCoronaryDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        for (const char* field : {"IDC_AGE", "IDC_YEARS", "IDC_RESULT"}) {
            QTest::keyClick(Get<QLineEdit>(dlg, field), Qt::Key_Return);
            QTest::keyClick(Get<QLineEdit>(dlg, field), Qt::Key_Enter, Qt::KeypadModifier);
        }
        QTest::keyClick(&dlg, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QCOMPARE(Result(dlg), "10.3 %");
        QTest::keyClick(Get<QLineEdit>(dlg, "IDC_AGE"), Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    void closeBoxCloses() {
        CCoronaryDlg dlg;
        dlg.show();
        QVERIFY(dlg.close());
        QVERIFY(!dlg.isVisible());
    }

    void optionsMenu() {
        CCoronaryDlg dlg;
        dlg.show();
        const QList<QAction*> menus = dlg.findChild<QMenuBar*>()->actions();
        QCOMPARE(menus.size(), 1);
        QCOMPARE(menus[0]->text(), "&Options");
        const QList<QAction*> items = menus[0]->menu()->actions();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0]->text(), "&Infos");
        QVERIFY(items[1]->isSeparator());
        QCOMPARE(items[2]->text(), "&Quitter");

        QVERIFY(OpensAboutBox([&] { items[0]->trigger(); }));
        QVERIFY(dlg.isVisible());
        dlg.setResult(42);
        items[2]->trigger();
        QCoreApplication::processEvents();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), 0);
    }

    void contextMenuOpensAboutBox() {
        CCoronaryDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QWidget* client = dlg.findChild<QWidget*>("IDD_MAIN");
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(10, 10),
                                  client->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(client, &menuKey);
        QMenu* menu = dlg.ContextMenu();
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions()[0]->text(), "&A propos de Vessane...");
        menu->hide();
        QVERIFY(OpensAboutBox([&] { menu->actions()[0]->trigger(); }));
    }

    void shiftF10OpensTheContextMenu_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("aboutMenu");
        QTest::newRow("sex selector") << "IDC_SEX" << true;
        QTest::newRow("unit selector") << "IDC_UNIT" << true;
        QTest::newRow("check box") << "IDC_SMOKER" << true;
        QTest::newRow("field keeps its editing menu") << "IDC_AGE" << false;
    }
    void shiftF10OpensTheContextMenu() {
        QFETCH(QString, control);
        QFETCH(bool, aboutMenu);
        CCoronaryDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QWidget* widget = Get<QWidget>(dlg, control.toLatin1());
        widget->setFocus();
        if (!aboutMenu) {
            // The field's own menu is modal: close it as soon as it shows.
            QTimer::singleShot(0, [] {
                if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
            });
        }
        QTest::keyClick(widget, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(dlg.ContextMenu()->isVisible(), aboutMenu);
        dlg.ContextMenu()->hide();
    }

    void tabOrderEndsOnTheUnitSelector() {
        CCoronaryDlg dlg;
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        const QStringList expected = {
            "IDC_SEX",      "IDC_AGE",    "IDC_SYSTOLIC", "IDC_DIASTOLIC", "IDC_TOTAL_CHOL",
            "IDC_HDL_CHOL", "IDC_SMOKER", "IDC_DIABETES", "IDC_LVH",       "IDC_YEARS",
            "IDC_RESULT",   "IDC_UNIT",   "IDC_SEX"};
        QStringList visited = {QApplication::focusWidget()->objectName()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
    }

    void everyInputHasAFrenchAccessibleName() {
        CCoronaryDlg dlg;
        const char* inputs[] = {"IDC_SEX",        "IDC_AGE",      "IDC_SYSTOLIC", "IDC_DIASTOLIC",
                                "IDC_TOTAL_CHOL", "IDC_HDL_CHOL", "IDC_YEARS",    "IDC_RESULT",
                                "IDC_UNIT",       "IDC_RISK_BAR"};
        QSet<QString> names;
        for (const char* input : inputs) {
            const QString name = Get<QWidget>(dlg, input)->accessibleName();
            QVERIFY2(!name.isEmpty(), input);
            names.insert(name);
        }
        QCOMPARE(names.size(), std::size(inputs));  // no two alike
        QCOMPARE(Get<QLineEdit>(dlg, "IDC_AGE")->accessibleDescription(), "[30-74]");
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
