#include "acquisition/orphy_control.h"
#include "acquisition/simulated_bench.h"
#include "tests/support/layout_check.h"
#include "ui/application.h"
#include "ui/calibration/calibration_window.h"
#include "ui/form1.h"
#include "ui/parametres.h"
#include "ui/projector_zoom.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <optional>

using namespace thermo;

Q_DECLARE_METATYPE(thermo::BenchFault)

namespace {

template <typename T = QPushButton> T* control(QWidget& window, const char* name) {
    auto* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        qFatal("no control %s", name);
    }
    return widget;
}

// The program with its calibration window opened from the parameters dialog, on the bench.
struct Calibration {
    Application application;
    parametres& dialog = application.parametersDialog();
    CalibrationWindow& window;
    Form1& form;
    SimulatedBench& bench;

    Calibration()
        : window((QTest::mouseClick(control(dialog, "Command2"), Qt::LeftButton),
                  application.calibrationWindow())),
          form(application.mainWindow()), bench(form.acquisitionControl().bench()) {}

    // Ten ticks at the bench's temperature, then "Relever" at `reference`.
    void takePoint(const QString& reference) {
        for (int tick = 0; tick < 10; ++tick) {
            form.tick();
        }
        press(reference);
    }
    void press(const QString& reference) {
        control<QLineEdit>(window, "Text1")->setText(reference);
        QTest::mouseClick(control(window, "Command1"), Qt::LeftButton);
    }
    QString message() { return control<QLabel>(window, "Label9")->text(); }
};

} // namespace

class CalibrationWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpQtApplication(); }

    // Three baths on the simulated bench; once "Utiliser ces valeurs" is validated, the
    // measurement gives the reference temperatures back.
    void usedValuesReproduceTheReferences() {
        Calibration c;
        QVERIFY(c.form.isVisible() && c.form.isEnabled());
        // Far from the bench's thermistor, so that only the calibration's values can do.
        control<QLineEdit>(c.dialog, "Text2")->setText(QStringLiteral("12000"));
        control<QLineEdit>(c.dialog, "Text3")->setText(QStringLiteral("3500"));
        const double references[] = {0.0, 21.5, 60.0};
        for (const double celsius : references) {
            c.bench.setTemperature(celsius);
            // A whole second of Timer1's readings at that temperature, none before.
            QSignalSpy readings(&c.form.measurement(), &MeasurementLoop::readingTaken);
            QTRY_VERIFY_WITH_TIMEOUT(readings.count() > 10, 5000);
            c.press(QLocale().toString(celsius));
        }
        QCOMPARE(c.window.points().size(), 3u);
        QCOMPARE(c.message(), QString());
        QTest::mouseClick(control(c.window, "Command3"), Qt::LeftButton);
        QVERIFY(c.dialog.isVisible());
        const QString a = control<QLineEdit>(c.dialog, "Text2")->text();
        const QString b = control<QLineEdit>(c.dialog, "Text3")->text();
        QCOMPARE(control<QLabel>(c.window, "Label6")->text(), QStringLiteral("A = %1 Ω").arg(a));

        QTest::mouseClick(control(c.dialog, "Command1"), Qt::LeftButton);
        for (const double celsius : references) {
            c.bench.setTemperature(celsius);
            c.form.tick();
            const std::optional<double> measured = c.form.cycle().reading().celsius;
            QVERIFY(measured.has_value());
            QVERIFY2(std::abs(*measured - celsius) <= 0.1,
                     qPrintable(QStringLiteral("%1 °C for %2 °C with A = %3, B = %4")
                                    .arg(*measured)
                                    .arg(celsius)
                                    .arg(a, b)));
        }

        // Removing a point leaves too few temperatures: no values to use any more.
        c.window.findChild<QTableWidget*>(QStringLiteral("Grid1"))->selectRow(0);
        QTest::mouseClick(control(c.window, "Command2"), Qt::LeftButton);
        QTest::mouseClick(control(c.window, "Command2"), Qt::LeftButton);
        QCOMPARE(c.window.points().size(), 1u);
        QVERIFY(!control(c.window, "Command3")->isEnabled());
    }

    void refusals_data() {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("r");
        QTest::addColumn<BenchFault>("fault");
        QTest::addColumn<double>("supply");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("points"); // afterwards, one taken at 25 °C before
        const auto none = BenchFault::None;
        QTest::newRow("reference in letters")
            << "vingt"
            << "10000" << none << 5.0 << "n'est pas un nombre" << 1;
        QTest::newRow("reference below -273 °C") << "-300"
                                                 << "10000" << none << 5.0 << "doit dépasser" << 1;
        QTest::newRow("R in letters") << "30"
                                      << "10 kΩ" << none << 5.0 << "R n'est pas un nombre" << 1;
        QTest::newRow("R negative") << "30"
                                    << "-10000" << none << 5.0 << "Rth négative" << 1;
        QTest::newRow("interface unplugged")
            << "30"
            << "10000" << BenchFault::Unplugged << 5.0 << "Interface débranchée" << 1;
        QTest::newRow("supply too low") << "30"
                                        << "10000" << none << 4.5 << "augmentez la tension" << 1;
        QTest::newRow("one temperature twice")
            << "25"
            << "10000" << none << 5.0 << "deux températures différentes" << 2;
    }
    void refusals() {
        QFETCH(QString, reference);
        QFETCH(QString, r);
        QFETCH(BenchFault, fault);
        QFETCH(double, supply);
        QFETCH(QString, message);
        QFETCH(int, points);
        Calibration c;
        c.takePoint(QStringLiteral("25"));
        QCOMPARE(c.message(), QStringLiteral("Il faut des points à deux températures différentes "
                                             "au moins"));
        control<QLineEdit>(c.dialog, "Text1")->setText(r);
        c.bench.setFault(fault);
        c.bench.setSupplyVoltage(supply);
        c.takePoint(reference);
        QVERIFY2(c.message().contains(message), qPrintable(c.message()));
        QCOMPARE(c.window.points().size(), static_cast<std::size_t>(points));
        QVERIFY(!control(c.window, "Command3")->isEnabled());
    }

    // With points, values and the longest refusal shown, at every projector zoom.
    void layoutIsSoundAtEveryZoom() {
        Calibration c;
        for (const double celsius : {0.0, 100.0}) {
            c.bench.setTemperature(celsius);
            c.takePoint(QString::number(celsius));
        }
        c.bench.setFault(BenchFault::OpenThermistor);
        c.takePoint(QStringLiteral("50"));
        QVERIFY(c.message().contains(QStringLiteral("coupée")));
        for (const double zoom : ProjectorZoom::steps) {
            c.application.zoom().reset();
            while (c.application.zoom().factor() < zoom) {
                c.application.zoom().zoomIn();
            }
            QCOMPARE(c.window.zoom(), zoom);
            QCOMPARE(thermo::test::layoutFaults(c.window).join(";"), QString());
            QCOMPARE(thermo::test::layoutFaults(c.dialog).join(";"), QString());
        }
    }
};

QTEST_MAIN(CalibrationWindowTest)
#include "calibration_window_test.moc"
