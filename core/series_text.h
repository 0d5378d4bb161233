#pragma once

#include "core/number_locale.h"
#include "core/session_series.h"

#include <cstddef>
#include <string>

namespace thermo {

// The byte-order mark makes a spreadsheet read the file as UTF-8, so that "°C" shows right.
inline constexpr const char* utf8Bom = "\xEF\xBB\xBF";
// CSV lines end in CR LF: the line end of the teacher's usual spreadsheet machine (Windows),
// which every spreadsheet and text editor reads, where a bare LF confuses older Windows tools.
inline constexpr const char* csvLineEnd = "\r\n";

// A file a spreadsheet of the user's locale opens directly: with a decimal comma, fields are
// separated by ';'; with anything else, by ',' with decimal points.
struct CsvDialect {
    char fieldSeparator;
    NumberLocale numbers;
};
CsvDialect csvDialectFor(const NumberLocale& user);

// The whole file: byte-order mark, header line, one line per reading. A gap leaves its
// temperature cell empty; a voltage or code that was not read leaves its cell empty too.
std::string seriesCsv(const SessionSeries& series, const NumberLocale& user);
// The lines of readings [from, size()), to append to a file that already holds the others.
std::string seriesCsvLines(const SessionSeries& series, std::size_t from, const NumberLocale& user);

// The table for the clipboard: tab-separated with the user's decimal separator, no byte-order
// mark, LF line ends (the clipboard converts them to the platform's own).
std::string seriesTabText(const SessionSeries& series, const NumberLocale& user);

} // namespace thermo
