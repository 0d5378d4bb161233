#include "acquisition/simulated_bench.h"
#include "core/failure.h"
#include "core/measurement_cycle.h"
#include "tests/support/message_fit.h"
#include "tests/support/recording_fields.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace thermo {
namespace {

std::int64_t codeOn(SimulatedBench& bench, std::int32_t channel) {
    const AutomationValue value = bench.read(channel);
    EXPECT_TRUE(std::holds_alternative<std::int64_t>(value)) << "codes come back as integers";
    return std::get<std::int64_t>(value);
}

// The divider worked out here on its own, to check the bench against.
std::int64_t expectedThermistorCode(double celsius, double supply) {
    const double rth = 10000.0 * std::exp(4275.0 * (1.0 / (celsius + 273.15) - 1.0 / 298.15));
    return std::llround(32768.0 + supply * rth / (10000.0 + rth) * 3276.8);
}

TEST(SimulatedBench, ReadsTheClassroomExampleAtTwentyFiveDegrees) {
    SimulatedBench bench(Noise::Off);
    EXPECT_EQ(bench.name(), "Banc simulé");
    EXPECT_EQ(codeOn(bench, 0), 40960);
    EXPECT_EQ(codeOn(bench, 1), 49152);
}

struct Setting {
    std::string name;
    double celsius;
    double supply;
    std::int64_t ea0; // worked out beforehand
    friend void PrintTo(const Setting& row, std::ostream* os) { *os << row.name; }
};

class Divider : public testing::TestWithParam<Setting> {};

TEST_P(Divider, GivesTheThermistorVoltageOnEa0AndTheSupplyOnEa1) {
    const Setting& s = GetParam();
    SimulatedBench bench(Noise::Off);
    bench.setTemperature(s.celsius);
    bench.setSupplyVoltage(s.supply);
    EXPECT_EQ(codeOn(bench, 0), s.ea0);
    EXPECT_EQ(codeOn(bench, 1), std::llround(32768.0 + s.supply * 3276.8));
}

INSTANTIATE_TEST_SUITE_P(Temperatures, Divider,
                         testing::Values(Setting{"Freezing", 0.0, 5.0, 45677},
                                         Setting{"Coldest", -40.0, 5.0, 48857},
                                         Setting{"Boiling", 100.0, 5.0, 33637},
                                         Setting{"Hottest", 125.0, 5.0, 33203},
                                         Setting{"LowSupply", 25.0, 4.85, 40714},
                                         Setting{"HighSupply", 25.0, 9.9, 48988}),
                         [](const auto& info) { return info.param.name; });

TEST(SimulatedBench, FollowsTheBParameterLawAcrossItsRange) {
    SimulatedBench bench(Noise::Off);
    for (double celsius = -40.0; celsius <= 125.0; celsius += 2.5) {
        bench.setTemperature(celsius);
        EXPECT_EQ(codeOn(bench, 0), expectedThermistorCode(celsius, 5.0)) << celsius << " °C";
    }
}

TEST(SimulatedBench, HoldsItsSettingsWithinTheirRanges) {
    SimulatedBench bench(Noise::Off);
    bench.setTemperature(300.0);
    EXPECT_EQ(bench.temperature(), 125.0);
    bench.setTemperature(-100.0);
    EXPECT_EQ(bench.temperature(), -40.0);
    bench.setSupplyVoltage(12.0);
    EXPECT_EQ(bench.supplyVoltage(), 9.9);
    EXPECT_EQ(codeOn(bench, 1), 65208);
    bench.setSupplyVoltage(-3.0);
    EXPECT_EQ(bench.supplyVoltage(), 0.0);
    EXPECT_EQ(codeOn(bench, 0), 32768);
    EXPECT_EQ(codeOn(bench, 1), 32768);
    EXPECT_THROW(bench.setTemperature(std::nan("")), std::invalid_argument);
    EXPECT_THROW(bench.setSupplyVoltage(std::nan("")), std::invalid_argument);
    EXPECT_EQ(bench.temperature(), -40.0);
}

TEST(SimulatedBench, ConverterStopsAtItsRails) {
    EXPECT_EQ(BenchModel::codeOf(0.0), 32768);
    EXPECT_EQ(BenchModel::codeOf(9.9996), 65535);
    EXPECT_EQ(BenchModel::codeOf(10.0), 65535);
    EXPECT_EQ(BenchModel::codeOf(250.0), 65535);
    EXPECT_EQ(BenchModel::codeOf(-10.0), 0);
    EXPECT_EQ(BenchModel::codeOf(-250.0), 0);
}

TEST(SimulatedBench, OpenThermistorLeavesEa0AtTheSupply) {
    SimulatedBench bench(Noise::Off);
    bench.setFault(BenchFault::OpenThermistor);
    for (const double supply : {0.0, 4.85, 5.0, 9.9}) {
        bench.setSupplyVoltage(supply);
        EXPECT_EQ(codeOn(bench, 0), codeOn(bench, 1)) << supply << " V";
    }
    EXPECT_EQ(codeOn(bench, 0), 65208);
}

TEST(SimulatedBench, ShortedThermistorPutsEa0AtZeroVolts) {
    SimulatedBench bench(Noise::Off);
    bench.setFault(BenchFault::ShortedThermistor);
    bench.setTemperature(60.0);
    EXPECT_EQ(codeOn(bench, 0), 32768);
    EXPECT_EQ(codeOn(bench, 1), 49152);
    bench.setFault(BenchFault::None);
    EXPECT_EQ(codeOn(bench, 0), expectedThermistorCode(60.0, 5.0));
}

TEST(SimulatedBench, UnpluggedInterfaceAnswersNoChannel) {
    SimulatedBench bench(Noise::Off);
    bench.setFault(BenchFault::Unplugged);
    for (const std::int32_t channel : {0, 1}) {
        try {
            bench.read(channel);
            ADD_FAILURE() << "channel " << channel << " answered";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.kind(), FailureKind::AcquisitionFailed);
            EXPECT_STREQ(failure.what(), "Interface débranchée : aucune mesure");
        }
    }
    bench.setFault(BenchFault::None);
    EXPECT_EQ(codeOn(bench, 0), 40960);
}

TEST(SimulatedBench, HasNoChannelBeyondEa1) {
    SimulatedBench bench(Noise::Off);
    for (const std::int32_t channel : {-1, 2, 7, std::numeric_limits<std::int32_t>::max()}) {
        try {
            bench.read(channel);
            ADD_FAILURE() << "channel " << channel << " answered";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.kind(), FailureKind::AcquisitionFailed);
            EXPECT_TRUE(test::fitsTwoShortLines(failure.what())) << failure.what();
        }
    }
}

// What the acquisition control's panel sees: every setting it describes reaches the bench
// through the generic entries, each change is announced, and the status follows the plug.
TEST(SimulatedBench, OffersItsSettingsAsData) {
    SimulatedBench bench(Noise::Off);
    int changes = 0;
    bench.setListener([&changes] { ++changes; });
    CodeSource& source = bench;
    EXPECT_TRUE(source.portPath().empty());

    const auto numbers = source.numberSettings();
    ASSERT_EQ(numbers.size(), 2u);
    for (const NumberSetting& setting : numbers) {
        EXPECT_LT(setting.minimum, setting.maximum) << setting.key;
        source.setNumber(setting.key, setting.minimum);
        EXPECT_EQ(source.number(setting.key), setting.minimum) << setting.key;
    }
    EXPECT_EQ(bench.temperature(), BenchModel::minCelsius);
    EXPECT_EQ(bench.supplyVoltage(), BenchModel::minSupply);

    const auto choices = source.choiceSettings();
    ASSERT_EQ(choices.size(), 2u);
    for (const BenchFault fault : {BenchFault::Unplugged, BenchFault::ShortedThermistor,
                                   BenchFault::OpenThermistor, BenchFault::None}) {
        source.choose(choices[0].key, SimulatedBench::faultChoiceKey(fault));
        EXPECT_EQ(bench.fault(), fault);
        EXPECT_EQ(source.choice(choices[0].key), SimulatedBench::faultChoiceKey(fault));
        EXPECT_EQ(source.status().state == SourceState::Lost, fault == BenchFault::Unplugged);
    }
    EXPECT_EQ(changes, 6);
    EXPECT_THROW(source.setNumber("benchWind", 1.0), std::invalid_argument);
    EXPECT_THROW(source.choose(choices[0].key, "faultFire"), std::invalid_argument);
    EXPECT_EQ(changes, 6);
}

// Newton's law: τ ln 2 after it starts, a body has gone half the way to its surroundings.
TEST(SimulatedBenchCourse, RelaxesWithATauOf120SecondsUntilATemperatureIsSet) {
    using namespace std::chrono;
    const auto halfLife =
        duration_cast<steady_clock::duration>(duration<double>(120 * std::log(2)));
    const struct {
        BenchCourse course;
        double from, halfway, end;
    } rows[] = {{BenchCourse::Cooling, 60.0, 40.0, 20.0},
                {BenchCourse::Warming, 20.0, 50.0, 80.0},
                {BenchCourse::Cooling, 0.0, 10.0, 20.0}};
    for (const auto& row : rows) {
        steady_clock::time_point now;
        SimulatedBench bench(Noise::Off);
        bench.model().setClock([&now] { return now; });
        bench.setTemperature(row.from);
        bench.setCourse(row.course);
        now += halfLife;
        EXPECT_NEAR(bench.temperature(), row.halfway, 1e-6) << row.from;
        EXPECT_EQ(codeOn(bench, 0), expectedThermistorCode(row.halfway, 5.0));
        bench.setNumber(SimulatedBench::temperatureKey, 30.0);
        now += 10 * BenchModel::relaxationTime;
        EXPECT_EQ(bench.temperature(), 30.0);
        EXPECT_EQ(bench.course(), BenchCourse::Held);
    }
}

std::vector<std::int64_t> readings(SimulatedBench& bench, int count) {
    std::vector<std::int64_t> codes;
    for (int i = 0; i < count; ++i) {
        codes.push_back(codeOn(bench, i % 2));
    }
    return codes;
}

TEST(SimulatedBenchNoise, IsRepeatableForAGivenSeed) {
    SimulatedBench first(Noise::On, 42);
    SimulatedBench second(Noise::On, 42);
    SimulatedBench other(Noise::On, 43);
    const auto codes = readings(first, 1000);
    EXPECT_EQ(codes, readings(second, 1000));
    EXPECT_NE(codes, readings(other, 1000));
}

TEST(SimulatedBenchNoise, StaysSmallAroundTheTrueCode) {
    SimulatedBench bench(Noise::On, 2024);
    const int count = 10000;
    double sum = 0.0;
    double sumOfSquares = 0.0;
    int nonZero = 0;
    const auto codes = readings(bench, count);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        // Even readings are EA0, odd ones EA1.
        const auto deviation = static_cast<double>(codes[i] - (i % 2 == 0 ? 40960 : 49152));
        ASSERT_LE(std::abs(deviation), 4.0) << "reading " << i << ": " << codes[i];
        sum += deviation;
        sumOfSquares += deviation * deviation;
        nonZero += deviation != 0.0;
    }
    const double mean = sum / count;
    const double sigma = std::sqrt(sumOfSquares / count - mean * mean);
    EXPECT_GT(nonZero, count / 4);
    EXPECT_NEAR(mean, 0.0, 0.1);
    EXPECT_NEAR(sigma, 1.0, 0.2);
}

// Both inputs then measure the same node: the program must see Uth = Ut and say why.
TEST(SimulatedBenchNoise, OpenThermistorReadsTheSameOnBothChannels) {
    SimulatedBench bench(Noise::On, 7);
    bench.setFault(BenchFault::OpenThermistor);
    int varied = 0;
    for (int i = 0; i < 1000; ++i) {
        const auto ea0 = codeOn(bench, 0);
        ASSERT_EQ(codeOn(bench, 1), ea0) << "pair " << i;
        varied += ea0 != 49152;
    }
    EXPECT_GT(varied, 100);
}

// The bench's noise of a few codes around 32768 rounds Uth to ±1 mV: the tick must still see
// the short circuit, not a temperature of several hundred degrees or incoherent voltages.
TEST(SimulatedBenchNoise, ShortedThermistorNeverShowsATemperature) {
    struct BenchReads : ReadOperation {
        explicit BenchReads(SimulatedBench& b) : bench(b) {}
        std::int32_t readChannel(std::int32_t channel) override {
            return static_cast<std::int32_t>(std::get<std::int64_t>(bench.read(channel)));
        }
        SimulatedBench& bench;
    };
    SimulatedBench bench(Noise::On, 11);
    bench.setFault(BenchFault::ShortedThermistor);
    BenchReads reads(bench);
    test::RecordingFields fields;
    MeasurementCycle cycle(fields, reads);
    int offZero = 0;
    for (int tick = 0; tick < 10000; ++tick) {
        const Reading reading = takeReading(cycle, fields.parameters);
        ASSERT_FALSE(reading.hasTemperature()) << "tick " << tick << ": " << *reading.celsius;
        ASSERT_TRUE(reading.failure) << "tick " << tick;
        ASSERT_EQ(reading.failure->message, "Uth = 0 V : thermistance en court-circuit")
            << "tick " << tick << ", Uth = " << *reading.uth;
        offZero += *reading.uth != 0.0;
    }
    EXPECT_GT(offZero, 500) << "the noise never moved Uth off 0 V";
}

TEST(SimulatedBenchNoise, IsOnByDefaultAndCanBeSwitchedOff) {
    SimulatedBench bench;
    EXPECT_EQ(bench.model().noise(), Noise::On);
    const auto noisy = readings(bench, 200);
    bool varied = false;
    for (std::size_t i = 0; i < noisy.size(); i += 2) {
        varied |= noisy[i] != 40960;
    }
    EXPECT_TRUE(varied);
    bench.model().setNoise(Noise::Off);
    for (const auto code : readings(bench, 200)) {
        EXPECT_TRUE(code == 40960 || code == 49152) << code;
    }
}

} // namespace
} // namespace thermo
