#include "acquisition/orphy_control.h"
#include "core/failure.h"
#include "tests/support/scripted_source.h"
#include "ui/accessibility/announcer.h"
#include "ui/main_window/form1.h"
#include "ui/main_window/giant_display.h"
#include "ui/measurement/measurement.h"
#include "ui/recording/user_number_locale.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace thermo;

// F11 shows what the temperature field shows, as large as it fits, and says it as it opens
// and on the space bar; Escape leaves.
class GiantDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void showsWhatTheTemperatureFieldShows_data() {
        QTest::addColumn<int>("ea1");
        QTest::addColumn<int>("silentChannel"); // -1: the interface answers
        QTest::addColumn<QString>("shown");
        QTest::newRow("25 °C") << 49152 << -1 << "25 °C";
        QTest::newRow("interface silent") << 49152 << 1 << "Interface muette";
    }
    void showsWhatTheTemperatureFieldShows() {
        QFETCH(int, ea1);
        QFETCH(int, silentChannel);
        QFETCH(QString, shown);
        Measurement measurement(userNumberLocale());
        Form1 form(measurement);
        auto& source = thermo::test::ScriptedSource::installIn(form.measurement().control());
        GiantDisplay giant(measurement, form);
        auto* value = giant.findChild<QLabel*>(QStringLiteral("giantValue"));
        form.show();
        form.activateWindow();
        for (int round = 0; round < 2; ++round) {
            QTRY_COMPARE(QApplication::activeWindow(), &form);
            QTest::keyClick(&form, Qt::Key_F11);
            QSignalSpy announced(&Announcements::instance(), &Announcements::announced);
            QTRY_COMPARE(QApplication::activeWindow(), &giant);
            QTRY_COMPARE(announced.size(), 1);
            source.setCodes(40960, ea1);
            if (silentChannel >= 0) {
                source.failOn(silentChannel,
                              Failure(FailureKind::AcquisitionFailed, "Interface muette"));
            }
            form.measurement().tick();
            QCOMPARE(giant.text(), shown);
            QTest::keyClick(&giant, Qt::Key_Space);
            QCOMPARE(announced.last().first().toString(), shown);
            QCOMPARE(QString::fromStdString(form.text(Field::Text1)), shown);
            const QRect room = value->contentsRect();
            QVERIFY(
                room.contains(QFontMetrics(value->font())
                                  .boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, shown)));
            QVERIFY(value->font().pixelSize() > giant.height() / 10);
            QTest::keyClick(&giant, Qt::Key_Escape);
            QVERIFY(!giant.isVisible());
        }
    }
};

QTEST_MAIN(GiantDisplayTest)
#include "giant_display_test.moc"
