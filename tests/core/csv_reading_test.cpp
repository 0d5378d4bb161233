#include "core/csv_reading.h"
#include "core/series_text.h"
#include "tests/support/series_readings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace thermo {
namespace {

struct Table {
    const char* name;
    std::string text;
    std::vector<double> seconds;
    std::vector<double> celsius; // NaN: a gap
    friend void PrintTo(const Table& row, std::ostream* os) { *os << row.name; }
};

const double gap = std::nan("");

// What this program writes and what other tools write, read back to the same run.
class ReadsATable : public ::testing::TestWithParam<Table> {};

TEST_P(ReadsATable, TimesAndTemperatures) {
    const Table& t = GetParam();
    const SessionSeries series = readCsvRun(t.text);
    ASSERT_EQ(series.size(), t.seconds.size());
    for (std::size_t i = 0; i < series.size(); ++i) {
        EXPECT_EQ(series.millis()[i], std::llround(t.seconds[i] * 1000)) << i;
        const double c = series.column(SeriesColumn::Temperature)[i];
        if (std::isnan(t.celsius[i])) {
            EXPECT_TRUE(std::isnan(c) && series.at(i).gap == Gap::Failure) << i;
        } else {
            EXPECT_DOUBLE_EQ(c, t.celsius[i]) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Csv, ReadsATable,
    ::testing::Values(
        Table{"french_with_bom",
              "\xEF\xBB\xBFt (s);T (\xC2\xB0"
              "C);Uth (V);Ut (V);code EA0\r\n0;25;2,5;5;40960\r\n0,1;;;;\r\n0,2;-3,5;2,9;5;42270\r\n",
              {0, 0.1, 0.2}, {25, gap, -3.5}},
        Table{"international", "t (s),T (\xC2\xB0" "C),Uth (V),Ut (V),code EA0\n0,25.5,2.5,5,40960\n1.5,26,,,\n",
              {0, 1.5}, {25.5, 26}},
        Table{"minutes_then_temperature_named_in_words",
              "Temperature;Temps (min)\n20,5;0\n21;0,5\n", {0, 30}, {20.5, 21}},
        Table{"no_header_quoted_cells", "\"0\";\"19,9\"\n\"2\";\"20,1\"\n", {0, 2}, {19.9, 20.1}},
        Table{"tabs_and_blank_lines", "time\t\xCE\xB8 (\xC2\xB0" "C)\n\n0.5\t30\n\n", {0.5}, {30}}),
    [](const auto& info) { return std::string(info.param.name); });

// This program's own export comes back reading for reading, codes and voltages too.
TEST(CsvReading, OwnExportRoundTrips) {
    SessionSeries written;
    written.append(test::measured(0, 25.04, 2.5, 5, 40960));
    written.append(test::lowSupply(100, 2.4, 4.8, 40800));
    written.append(test::measured(250, 24.96, 2.501, 5.001, 40964));
    for (const char* separator : {",", "."}) {
        const SessionSeries read = readCsvRun(seriesCsv(written, NumberLocale{separator}));
        ASSERT_EQ(read.size(), 3u) << separator;
        EXPECT_EQ(read.at(2).millis, 250);
        EXPECT_EQ(read.at(2).code, 40964);
        EXPECT_DOUBLE_EQ(read.at(2).uth, 2.501);
        EXPECT_DOUBLE_EQ(read.at(0).celsius, 25.0); // as shown and saved, to a tenth
        EXPECT_EQ(read.at(1).gap, Gap::Failure);
    }
}

// Refused with the line and the cause, never anything but a Failure.
TEST(CsvReading, RefusesWhatIsNotARunTable) {
    const std::pair<std::string, std::string> refused[] = {
        {"", "le fichier est vide"},
        {"\xEF\xBB\xBF\r\n", "le fichier est vide"},
        {"t (s);T (\xC2\xB0" "C)\n", "le fichier ne contient aucune mesure"},
        {"nom;prénom\nDupont;Jean\n", "Ligne 1 : aucune colonne de temps (« t (s) », « temps »…)"},
        {"t (s);Uth (V)\n0;2,5\n",
         "Ligne 1 : aucune colonne de température (« T (°C) », « température »…)"},
        {"t;T (\xC2\xB0" "C)\n0;20\nune;21\n", "Ligne 3 : le temps « une » n'est pas un nombre"},
        {"t;T (\xC2\xB0" "C)\n1;20\n0,5;21\n", "Ligne 3 : le temps recule"},
        {"t;T (\xC2\xB0" "C)\n0;vingt\n", "Ligne 2 : la température « vingt » n'est pas un nombre"},
        {"t;T (\xC2\xB0" "C)\n0;inf\n", "Ligne 2 : la température « inf » n'est pas un nombre"},
        {"t;T (\xC2\xB0" "C)\n1e300;20\n", "Ligne 2 : le temps « 1e300 » est hors limites"},
        {"x;y;T (\xC2\xB0" "C);t\n0;1\n", "Ligne 2 : il manque des colonnes"},
        {std::string("t;T\n0;1\0", 8), "ce n'est pas un fichier texte"},
    };
    for (const auto& [text, why] : refused) {
        try {
            readCsvRun(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.kind(), FailureKind::TypeMismatch);
            EXPECT_EQ(std::string(failure.what()), why) << text;
        }
    }
}

} // namespace
} // namespace thermo
