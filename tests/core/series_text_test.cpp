#include "core/series_text.h"
#include "tests/support/series_readings.h"

#include <gtest/gtest.h>

namespace thermo {
namespace {

using namespace thermo::test;

// Rounding as shown (33.25 halves to even), a low-supply gap, a failed read, a
// temperature that rounds to zero, and a time past the hour.
SessionSeries shortSeries() {
    SessionSeries s;
    s.append(measured(0, 25.04, 2.5, 5, 40960));
    s.append(measured(100, 33.25, 2.207, 5.001, 40000));
    s.append(lowSupply(200, 2.207, 4.9, 40000));
    s.append(readFailed(300));
    s.append(measured(3723456, -0.04, 0.312, 5, 33792));
    return s;
}

TEST(SeriesText, CsvInBothLocales) {
    const struct {
        const char* decimal;
        const char* csv;
    } rows[] = {{",", "\xEF\xBB\xBFt (s);T (\u00B0C);Uth (V);Ut (V);code EA0\r\n"
                      "0;25;2,5;5;40960\r\n"
                      "0,1;33,2;2,207;5,001;40000\r\n"
                      "0,2;;2,207;4,9;40000\r\n"
                      "0,3;;;;\r\n"
                      "3723,456;0;0,312;5;33792\r\n"},
                {".", "\xEF\xBB\xBFt (s),T (\u00B0C),Uth (V),Ut (V),code EA0\r\n"
                      "0,25,2.5,5,40960\r\n"
                      "0.1,33.2,2.207,5.001,40000\r\n"
                      "0.2,,2.207,4.9,40000\r\n"
                      "0.3,,,,\r\n"
                      "3723.456,0,0.312,5,33792\r\n"}};
    for (const auto& row : rows) {
        EXPECT_EQ(seriesCsv(shortSeries(), NumberLocale{row.decimal}), row.csv) << row.decimal;
    }
}

// The clipboard keeps the user's separator, whatever it is; no byte-order mark.
TEST(SeriesText, ClipboardTable) {
    EXPECT_EQ(seriesTabText(shortSeries(), NumberLocale{"\u066B"}),
              "t (s)\tT (\u00B0C)\tUth (V)\tUt (V)\tcode EA0\n"
              "0\t25\t2\u066B5\t5\t40960\n"
              "0\u066B1\t33\u066B2\t2\u066B207\t5\u066B001\t40000\n"
              "0\u066B2\t\t2\u066B207\t4\u066B9\t40000\n"
              "0\u066B3\t\t\t\t\n"
              "3723\u066B456\t0\t0\u066B312\t5\t33792\n");
}

} // namespace
} // namespace thermo
