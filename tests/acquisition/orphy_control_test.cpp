#include "acquisition/orphy_control.h"
#include "acquisition/simulated_bench.h"
#include "core/failure.h"
#include "tests/support/message_fit.h"
#include "tests/support/scripted_source.h"

#include <QTest>
#include <algorithm>
#include <stdexcept>
#include <string>

using thermo::Failure;
using thermo::FailureKind;
using thermo::OrphyControl;
using thermo::OrphyProperties;
using thermo::test::ScriptedSource;

// The stand-in for the ORPHY GTS2 control: its property set and its one automation entry.
class OrphyControlTest : public QObject {
    Q_OBJECT

private slots:
    void holdsTheMainWindowPropertySet();
    void readsChannelsFromTheSimulatedBenchByDefault();
    void refusesOtherDispatchIdentifiers();
    void turnsAnyErrorOfTheSourceIntoAFailedAcquisition();
    void switchesToAnotherSource();
};

void OrphyControlTest::holdsTheMainWindowPropertySet() {
    const OrphyProperties set = OrphyProperties::mainWindowSet();
    QCOMPARE(set.extentX, 4471);
    QCOMPARE(set.extentY, 873);
    QCOMPARE(set.voie, 1);
    QCOMPARE(set.backColor, 0x80000005u);
    QCOMPARE(set.calibre, std::int16_t{0});
    QCOMPARE(set.valGrandeur, 5.0836181640625f);

    QCOMPARE(set.nomGrandeur, "tension" + std::string(43, ' '));
    QCOMPARE(set.nomUnite, "V" + std::string(19, ' '));
    QCOMPARE(set.nomSymbole, "U" + std::string(19, ' '));
    QCOMPARE(set.version, "7.13" + std::string(16, ' '));

    QCOMPARE(set.rom.size(), std::size_t{200});
    QCOMPARE(set.rom.substr(0, 16), std::string("ORPHY GTS2 V1.25"));
    QCOMPARE(set.rom[16], '\n');
    QCOMPARE(set.rom[17], '\r');
    QVERIFY(std::all_of(set.rom.begin() + 18, set.rom.end(), [](char c) { return c == '\0'; }));
}

void OrphyControlTest::readsChannelsFromTheSimulatedBenchByDefault() {
    OrphyControl control(OrphyProperties::mainWindowSet());
    QCOMPARE(control.source().name(), std::string("Banc simulé"));
    QVERIFY(control.usingBench());
    QCOMPARE(control.bench().model().noise(), thermo::Noise::On);

    control.bench().model().setNoise(thermo::Noise::Off);
    QCOMPARE(std::get<std::int64_t>(control.invoke(thermo::readDispatchId, 0)), 40960);
    QCOMPARE(std::get<std::int64_t>(control.invoke(thermo::readDispatchId, 1)), 49152);
}

void OrphyControlTest::refusesOtherDispatchIdentifiers() {
    OrphyControl control(OrphyProperties::mainWindowSet());
    auto scripted = std::make_unique<ScriptedSource>();
    scripted->answer(std::int64_t{40960});
    const ScriptedSource& source = *scripted;
    control.setSource(std::move(scripted));

    for (const std::int32_t id : {0, 1, thermo::readDispatchId + 1, thermo::readDispatchId - 1}) {
        try {
            control.invoke(id, 0);
            QFAIL(qPrintable(QStringLiteral("dispatch id %1 answered").arg(id)));
        } catch (const Failure& failure) {
            QCOMPARE(failure.kind(), FailureKind::AcquisitionFailed);
            QVERIFY2(thermo::test::fitsTwoShortLines(failure.what()), failure.what());
        }
    }
    QVERIFY(source.channels().empty());
}

void OrphyControlTest::turnsAnyErrorOfTheSourceIntoAFailedAcquisition() {
    OrphyControl control(OrphyProperties::mainWindowSet());
    auto scripted = std::make_unique<ScriptedSource>();
    scripted->fail(Failure(FailureKind::AcquisitionFailed, "Carte muette"));
    scripted->fail(Failure(FailureKind::DivisionByZero, "Division par zéro"));
    scripted->fail(std::runtime_error("port fermé"));
    scripted->fail(42);
    control.setSource(std::move(scripted));

    try {
        control.invoke(thermo::readDispatchId, 0);
        QFAIL("the source's failure was lost");
    } catch (const Failure& failure) {
        QCOMPARE(failure.kind(), FailureKind::AcquisitionFailed);
        QCOMPARE(std::string(failure.what()), std::string("Carte muette"));
    }
    for (int i = 0; i < 3; ++i) {
        try {
            control.invoke(thermo::readDispatchId, 0);
            QFAIL("the source's error was lost");
        } catch (const Failure& failure) {
            QCOMPARE(failure.kind(), FailureKind::AcquisitionFailed);
            QVERIFY2(thermo::test::fitsTwoShortLines(failure.what()), failure.what());
        }
    }
}

void OrphyControlTest::switchesToAnotherSource() {
    OrphyControl control(OrphyProperties::mainWindowSet());
    auto scripted = std::make_unique<ScriptedSource>("Carte série");
    scripted->answer(std::int64_t{123});
    control.setSource(std::move(scripted));
    QCOMPARE(control.source().name(), std::string("Carte série"));
    QVERIFY(!control.usingBench());
    QCOMPARE(std::get<std::int64_t>(control.invoke(thermo::readDispatchId, 0)), 123);

    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, control.setSource(nullptr));
    QCOMPARE(control.source().name(), std::string("Carte série"));

    // The bench kept aside comes back as it was left.
    control.bench().model().setNoise(thermo::Noise::Off);
    control.bench().setSupplyVoltage(4.0);
    control.useSimulation();
    QVERIFY(control.usingBench());
    QCOMPARE(std::get<std::int64_t>(control.invoke(thermo::readDispatchId, 1)), 45875);
}

QTEST_GUILESS_MAIN(OrphyControlTest)
#include "orphy_control_test.moc"
