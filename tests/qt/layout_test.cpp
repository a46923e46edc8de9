// Dialog-unit conversion, the windows' sizes, and texts that must fit their controls;
// the About box's contents.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QtTest>

#include "about_box.h"
#include "app_icon.h"
#include "coronary_dlg.h"
#include "dialog_units.h"
#include "texts.h"

using vessane::qt::DialogFont;
using vessane::qt::DialogUnits;

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create("Windows")); }

    void convertsDialogUnitsWithThePlatformsRounding_data() {
        QTest::addColumn<int>("baseX");
        QTest::addColumn<int>("baseY");
        QTest::addColumn<int>("units");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("6x13, width") << 6 << 13 << 142 << 213 << 231;
        QTest::newRow("6x13, height") << 6 << 13 << 210 << 315 << 341;
        QTest::newRow("6x13, halves round up") << 6 << 13 << 4 << 6 << 7;
        QTest::newRow("6x12") << 6 << 12 << 15 << 23 << 23;
        QTest::newRow("7x13") << 7 << 13 << 2 << 4 << 3;
        QTest::newRow("zero") << 6 << 13 << 0 << 0 << 0;
    }
    void convertsDialogUnitsWithThePlatformsRounding() {
        QFETCH(int, baseX);
        QFETCH(int, baseY);
        QFETCH(int, units);
        QFETCH(int, x);
        QFETCH(int, y);
        const DialogUnits converter(baseX, baseY);
        QCOMPARE(converter.X(units), x);
        QCOMPARE(converter.Y(units), y);
    }

    void dialogFontIsMsSansSerifOrItsStandIn() {
        const QFont font = DialogFont();
        const QString family = QFontInfo(font).family();
        QVERIFY2(family == "MS Sans Serif" || family == "Liberation Sans", qPrintable(family));
        // MS Sans Serif's base units, 6 x 13 at 96 dpi, whichever font it is.
        const DialogUnits units(font);
        QCOMPARE(units.BaseX(), 6);
        QCOMPARE(units.BaseY(), 13);
    }

    void mainClientAreaIs142By210Units() {
        CCoronaryDlg dlg;
        const DialogUnits units(dlg.font());
        QWidget* client = dlg.findChild<QWidget*>("IDD_MAIN");
        QCOMPARE(client->size(), QSize(units.X(142), units.Y(210)));
        QCOMPARE(dlg.findChild<QLineEdit*>("IDC_AGE")->geometry(), units.Rect(69, 13, 34, 12));
        for (QWidget* control : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(client->rect().contains(control->geometry()),
                     qPrintable(control->objectName()));
    }

    void labelsShowTheirWholeText() {
        // Every label of the main window holds one line of text, in either unit.
        CCoronaryDlg dlg;
        for (int unit : {0, 1}) {
            dlg.findChild<QComboBox*>("IDC_UNIT")->setCurrentIndex(unit);
            for (QLabel* label : dlg.findChildren<QLabel*>()) {
                // The ink, not the advance: the last glyph's side bearing may overhang.
                const int width = label->fontMetrics().boundingRect(label->text()).width();
                QVERIFY2(width <= label->contentsRect().width(), qPrintable(label->text()));
            }
        }
    }

    // The window's icon is stored as raw pixels beside the PNG renderings of the same
    // drawing: both must show the same picture, size for size.
    void iconPixelsMatchTheirRenderings() {
        const QIcon icon = vessane::qt::AppIcon();
        for (int size : vessane::qt::kAppIconSizes) {
            const QImage rendered =
                QImage(QStringLiteral(VESSANE_ICON_DIR "/vessane-%1.png").arg(size))
                    .convertToFormat(QImage::Format_RGBA8888);
            QCOMPARE(rendered.size(), QSize(size, size));
            const QImage shown =
                icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_RGBA8888);
            QCOMPARE(shown, rendered);
        }
    }

    void aboutBoxContents() {
        CAboutBox box;
        QCOMPARE(box.windowTitle(), "A propos de Vessane");
        const DialogUnits units(box.font());
        QCOMPARE(box.size(), QSize(units.X(235), units.Y(90)));
        QStringList texts;
        for (QLabel* label : box.findChildren<QLabel*>()) texts << label->text();
        for (const char* expected :
             {"Vessane version 1.3", "Calculs basés sur les équations de Framingham",
              "Anderson KM, Odell PM, Wilson PWF, Kannel WB. Cardiovascular disease risk "
              "profiles. Am Heart J 1991;121:293-8.",
              TXT_ABOUT_NOTICE, TXT_ABOUT_CONTACT, TXT_ABOUT_TERMS}) {
            QVERIFY2(texts.contains(QString::fromUtf8(expected)), expected);
        }
        QVERIFY(QString::fromUtf8(TXT_ABOUT_TERMS).contains("jugement clinique"));
        // The one-line texts fit their labels.
        for (QLabel* label : box.findChildren<QLabel*>()) {
            if (label->text() == QString::fromUtf8(TXT_ABOUT_CITATION)) continue;
            const int width = label->fontMetrics().boundingRect(label->text()).width();
            QVERIFY2(width <= label->contentsRect().width(), qPrintable(label->text()));
        }
        auto* icon = box.findChild<QLabel*>("IDR_MAINFRAME_ICON");
        QVERIFY(icon && !icon->pixmap().isNull());
    }

    void aboutBoxEndsOnOkEnterAndEscape_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << 0 << int(QDialog::Accepted);
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(QDialog::Rejected);
    }
    void aboutBoxEndsOnOkEnterAndEscape() {
        QFETCH(int, key);
        QFETCH(int, result);
        CAboutBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        auto* ok = box.findChild<QPushButton*>("IDOK");
        QCOMPARE(ok->text(), "OK");
        if (key == 0) {
            QTest::mouseClick(ok, Qt::LeftButton);
        } else {
            QTest::keyClick(&box, Qt::Key(key));
        }
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), result);
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
