#include "core/field_texts.h"
#include "tests/support/scripted_source.h"
#include "ui/measurement/measurement.h"
#include "ui/recording/session_record.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>
#include <tuple>

using namespace thermo;
using thermo::test::ScriptedSource;

class MeasurementTest : public QObject {
    Q_OBJECT

private slots:
    // No widget exists in this program: Timer1 measures, the record keeps every reading and
    // its file gets them, and the texts the main window would show are kept.
    void measuresAndRecordsWithoutAWindow() {
        Measurement measurement(NumberLocale{","});
        ScriptedSource::installIn(measurement.control()).setCodes(40960, 49152);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("séance.csv"));
        QVERIFY(measurement.record().saveAs(path));
        QSignalSpy readings(&measurement, &Measurement::readingTaken);
        measurement.start();
        QTRY_VERIFY_WITH_TIMEOUT(readings.count() >= 3, 10000);
        measurement.stop();

        const auto reading = readings.first().first().value<Reading>();
        QVERIFY(std::tuple(reading.code, reading.ea1Code, reading.uth, reading.ut) ==
                std::tuple(40960, 49152, 2.5, 5.0));
        QCOMPARE(reading.celsius, 25.0);
        QCOMPARE(measurement.record().series().size(), static_cast<std::size_t>(readings.count()));
        QCOMPARE(measurement.fieldTexts().text(Field::Text1), std::string("25 \u00B0C"));
        QCOMPARE(measurement.fieldTexts().text(Field::Text3), std::string("2,5 V"));

        measurement.record().file().close(); // writes what the file still lacks, and lets it go
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), readings.count() + 2); // header, readings, empty tail
        QVERIFY2(lines[1].startsWith(QStringLiteral("0;25;2,5;5;40960")), qPrintable(lines[1]));
    }

    // Validated texts hold from the next tick on; one that is not a number is said where the
    // temperature would be, in small type, and recorded as a gap.
    void validatedParametersHoldFromTheNextTick() {
        Measurement measurement(NumberLocale{"."});
        ScriptedSource::installIn(measurement.control()).setCodes(39321, 49152);
        QSignalSpy changes(&measurement, &Measurement::parametersChanged);
        measurement.tick();
        QCOMPARE(measurement.fieldTexts().text(Field::Text1), std::string("33.7 \u00B0C"));
        measurement.setParameters({"10000", "10000", ""});
        QCOMPARE(changes.count(), 1);
        QCOMPARE(measurement.cycle().B(), std::string("4275"));
        measurement.tick();
        QCOMPARE(measurement.lastReading().gap(), Gap::Failure);
        QCOMPARE(measurement.fieldTexts().text(Field::Text1),
                 std::string("Le paramètre B est vide"));
        QCOMPARE(measurement.fieldTexts().temperatureFontSize(), 8);
    }

    // An error that is not a Failure is the program's own: no reading, Timer1 stops, and the
    // measurement says it rather than showing anything itself.
    void defectStopsTheMeasurement() {
        struct Defective : FieldTexts {
            void setText(Field field, const std::string& text) override {
                if (field == Field::Text8) {
                    throw std::logic_error("champ Text8 introuvable");
                }
                FieldTexts::setText(field, text);
            }
        } fields;
        Measurement measurement(NumberLocale{});
        measurement.setFields(&fields);
        QSignalSpy readings(&measurement, &Measurement::readingTaken);
        QSignalSpy defects(&measurement, &Measurement::defectFound);
        measurement.start();
        measurement.tick();
        QCOMPARE(readings.count(), 0);
        QCOMPARE(defects.count(), 1);
        QCOMPARE(defects.first().first().toString(), QStringLiteral("champ Text8 introuvable"));
        QVERIFY(!measurement.timer().isActive());
        QVERIFY(!fields.text(Field::Text3).empty()); // written before the defect
    }
};

QTEST_GUILESS_MAIN(MeasurementTest)
#include "measurement_test.moc"
