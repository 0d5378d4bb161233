#include "core/series_text.h"

#include "core/code_conversion.h"
#include "core/number_text.h"

#include <cmath>

namespace thermo {

namespace {

constexpr std::size_t typicalLineBytes = 40;

struct TableForm {
    char fieldSeparator;
    const NumberLocale& numbers;
    const char* lineEnd;
};

void appendHeader(std::string& out, const TableForm& form) {
    const char sep = form.fieldSeparator;
    out += "t (s)";
    out += sep;
    out += "T (\u00B0C)";
    out += sep;
    out += "Uth (V)";
    out += sep;
    out += "Ut (V)";
    out += sep;
    out += "code EA0";
    out += form.lineEnd;
}

// Numbers as the main window shows them, without the unit, which the header carries.
void appendNumber(std::string& out, double x, const NumberLocale& numbers) {
    if (std::isfinite(x)) {
        out += numberText(x, numbers);
    }
}

void appendRows(std::string& out, const SessionSeries& series, std::size_t from,
                const TableForm& form) {
    const std::size_t count = series.size();
    if (from >= count) {
        return;
    }
    out.reserve(out.size() + (count - from) * typicalLineBytes);
    const char sep = form.fieldSeparator;
    for (std::size_t i = from; i < count; ++i) {
        const Sample s = series.at(i);
        out += numberText(static_cast<double>(s.millis) / 1000.0, form.numbers);
        out += sep;
        if (s.hasTemperature()) {
            appendNumber(out, roundHalfEven(s.celsius, temperatureDecimals), form.numbers);
        }
        out += sep;
        appendNumber(out, s.uth, form.numbers);
        out += sep;
        appendNumber(out, s.ut, form.numbers);
        out += sep;
        if (s.code) {
            out += decimalText(*s.code);
        }
        out += form.lineEnd;
    }
}

} // namespace

CsvDialect csvDialectFor(const NumberLocale& user) {
    if (user.decimalSeparator == ",") {
        return {';', user};
    }
    return {',', NumberLocale{"."}};
}

std::string seriesCsv(const SessionSeries& series, const NumberLocale& user) {
    const CsvDialect dialect = csvDialectFor(user);
    const TableForm form{dialect.fieldSeparator, dialect.numbers, csvLineEnd};
    std::string out = utf8Bom;
    appendHeader(out, form);
    appendRows(out, series, 0, form);
    return out;
}

std::string seriesCsvLines(const SessionSeries& series, std::size_t from,
                           const NumberLocale& user) {
    const CsvDialect dialect = csvDialectFor(user);
    std::string out;
    appendRows(out, series, from, {dialect.fieldSeparator, dialect.numbers, csvLineEnd});
    return out;
}

std::string seriesTabText(const SessionSeries& series, const NumberLocale& user) {
    const TableForm form{'\t', user, "\n"};
    std::string out;
    appendHeader(out, form);
    appendRows(out, series, 0, form);
    return out;
}

} // namespace thermo
