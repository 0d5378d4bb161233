#include "acquisition/orphy_control.h"
#include "acquisition/simulated_bench.h"
#include "tests/support/layout_check.h"
#include "ui/accessibility/announcer.h"
#include "ui/application.h"
#include "ui/calibration/calibration_window.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"
#include "ui/parameters/parametres.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

using namespace thermo;

template <typename T = QPushButton> T* control(QWidget& window, const char* name) {
    auto* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        qFatal("no control %s", name);
    }
    return widget;
}

class CalibrationWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpQtApplication(); }

    // Three baths on the bench; once the values used are validated, the measurement gives the
    // reference temperatures back. Each point's result and each refusal is said in the window
    // and heard by a screen reader; a refusal adds no point.
    void calibrateOnTheBench() {
        Application application;
        parametres& dialog = application.parametersDialog();
        QTest::mouseClick(control(dialog, "Command2"), Qt::LeftButton);
        CalibrationWindow& window = application.calibrationWindow();
        Form1& form = application.mainWindow();
        SimulatedBench& bench = form.measurement().control().bench();
        const auto takePoint = [&](const QString& reference) {
            control<QLineEdit>(window, "referenceField")->setText(reference);
            QTest::mouseClick(control(window, "takeButton"), Qt::LeftButton);
            return control<QLabel>(window, "messageLabel")->text();
        };
        QSignalSpy announced(&Announcements::instance(), &Announcements::announced);
        const auto heard = [&announced] {
            return announced.isEmpty() ? QString() : announced.last().first().toString();
        };
        // Far from the bench's thermistor: only the calibration's values can do.
        control<QLineEdit>(dialog, "Text2")->setText(QStringLiteral("12000"));
        control<QLineEdit>(dialog, "Text3")->setText(QStringLiteral("3500"));
        const double references[] = {0.0, 21.5, 60.0};
        for (const double celsius : references) {
            bench.setTemperature(celsius);
            // A whole second of Timer1's readings at that temperature, none before.
            QSignalSpy readings(&form.measurement(), &Measurement::readingTaken);
            QTRY_VERIFY_WITH_TIMEOUT(readings.count() > 10, 20000);
            const QString message = takePoint(QLocale().toString(celsius));
            QCOMPARE(message.contains(QStringLiteral("deux températures")), celsius == 0.0);
            QVERIFY2(heard().contains(celsius == 0.0 ? message : QStringLiteral("A = ")),
                     qPrintable(heard()));
            QCOMPARE(control(window, "useButton")->isEnabled(), celsius != 0.0);
        }
        QTest::mouseClick(control(window, "useButton"), Qt::LeftButton);
        QVERIFY2(heard().contains(QStringLiteral("valider")), qPrintable(heard()));
        const QString a = control<QLineEdit>(dialog, "Text2")->text();
        QCOMPARE(control<QLabel>(window, "aLabel")->text(), QStringLiteral("A = %1 Ω").arg(a));
        QTest::mouseClick(control(dialog, "Command1"), Qt::LeftButton);
        for (const double celsius : references) {
            bench.setTemperature(celsius);
            form.measurement().tick();
            const double measured = form.measurement().cycle().reading().celsius.value_or(-999.0);
            QVERIFY2(std::abs(measured - celsius) <= 0.1,
                     qPrintable(QStringLiteral("%1 °C for %2 °C").arg(measured).arg(celsius)));
        }
        window.findChild<QTableWidget*>(QStringLiteral("pointsTable"))->selectRow(0);
        QTest::mouseClick(control(window, "removeButton"), Qt::LeftButton);
        QCOMPARE(window.points().front().celsius, 21.5);

        const struct {
            const char *reference, *r;
            BenchFault fault;
            double supply;
            const char* message;
        } refusals[] = {{"vingt", "10000", BenchFault::None, 5.0, "n'est pas un nombre"},
                        {"30", "10 kΩ", BenchFault::None, 5.0, "R n'est pas un nombre"},
                        {"30", "10000", BenchFault::Unplugged, 5.0, "Interface débranchée"},
                        {"30", "10000", BenchFault::None, 4.5, "augmentez la tension"},
                        {"30", "10000", BenchFault::OpenThermistor, 5.0, "coupée"}};
        for (const auto& row : refusals) {
            control<QLineEdit>(dialog, "Text1")->setText(QString::fromUtf8(row.r));
            bench.setFault(row.fault);
            bench.setSupplyVoltage(row.supply);
            form.measurement().tick();
            const QString message = takePoint(QString::fromUtf8(row.reference));
            QVERIFY2(message.contains(QString::fromUtf8(row.message)), qPrintable(message));
            QCOMPARE(heard(), message);
            QCOMPARE(window.points().size(), 2u);
        }
        // With the longest refusal shown, at every zoom.
        for (int step = 0; step < 6; ++step, application.zoom().zoomIn()) {
            QCOMPARE(thermo::test::layoutFaults(window).join(';'), QString());
        }
    }
};

QTEST_MAIN(CalibrationWindowTest)
#include "calibration_window_test.moc"
