#include "acquisition/orphy_control.h"
#include "core/failure.h"
#include "core/measurement_cycle.h"
#include "tests/support/scripted_source.h"
#include "ui/fonts.h"
#include "ui/form1.h"
#include "ui/giant_display.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace thermo;
using thermo::test::ScriptedSource;

// The class reads the temperature from the back of the room: F11 shows it alone over the
// whole screen, as the temperature field shows it, and Escape leaves while measuring goes on.
class GiantDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(registerEmbeddedFonts()); }

    void showsWhatTheTemperatureFieldShows_data() {
        QTest::addColumn<int>("ea0");
        QTest::addColumn<int>("ea1");
        QTest::addColumn<int>("silentChannel"); // -1: the interface answers
        QTest::addColumn<QString>("shown");
        QTest::newRow("25 °C") << 40960 << 49152 << -1 << "25 °C";
        QTest::newRow("33.7 °C") << 39322 << 49152 << -1 << "33.7 °C";
        QTest::newRow("supply too low")
            << 40960 << 48000 << -1 << QString::fromUtf8(lowSupplyMessage);
        QTest::newRow("interface silent") << 40960 << 49152 << 1 << "Interface muette";
    }
    void showsWhatTheTemperatureFieldShows() {
        QFETCH(int, ea0);
        QFETCH(int, ea1);
        QFETCH(int, silentChannel);
        QFETCH(QString, shown);
        Form1 form;
        ScriptedSource& source = ScriptedSource::installIn(form.acquisitionControl());
        GiantDisplay giant(form);
        form.setTemperatureFieldEnabled(true);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_F11);
        QVERIFY(giant.isVisible());
        QVERIFY(giant.isFullScreen());
        QTRY_COMPARE(QApplication::activeWindow(), &giant);

        source.setCodes(ea0, ea1);
        if (silentChannel >= 0) {
            source.failOn(silentChannel,
                          Failure(FailureKind::AcquisitionFailed, "Interface muette"));
        }
        form.tick();
        QCOMPARE(giant.text(), shown);
        QCOMPARE(QString::fromStdString(form.text(Field::Text1)), shown);

        // As large as the screen allows, yet whole.
        auto* value = giant.findChild<QLabel*>(QStringLiteral("giantValue"));
        QVERIFY(value != nullptr);
        const QRect room = value->contentsRect();
        const QRect needed = QFontMetrics(value->font())
                                 .boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, shown);
        QVERIFY2(room.contains(needed), qPrintable(shown));
        QVERIFY(value->font().pixelSize() > giant.height() / 10);

        QTest::keyClick(&giant, Qt::Key_Escape);
        QVERIFY(!giant.isVisible());
        QVERIFY(form.timer().isActive());
    }

    // The type of a temperature does not jump from one reading to the next.
    void temperatureTypeStaysPut() {
        Form1 form;
        ScriptedSource& source = ScriptedSource::installIn(form.acquisitionControl());
        GiantDisplay giant(form);
        giant.open();
        QVERIFY(QTest::qWaitForWindowExposed(&giant));
        auto* value = giant.findChild<QLabel*>(QStringLiteral("giantValue"));
        QList<int> sizes;
        for (int ea0 : {40960, 39322, 36000, 46500}) {
            source.setCodes(ea0, 49152);
            form.tick();
            sizes << value->font().pixelSize();
        }
        QCOMPARE(sizes, QList<int>(4, sizes.first()));
        giant.leave();
    }
};

QTEST_MAIN(GiantDisplayTest)
#include "giant_display_test.moc"
