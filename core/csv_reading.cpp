#include "core/csv_reading.h"

#include "core/failure.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace thermo {

namespace {

constexpr std::string_view bom = "\xEF\xBB\xBF";
// Past a century of readings a time is no time: it would not fit the series' milliseconds.
constexpr double longestSeconds = 3.0e9;
constexpr std::size_t longestShownCell = 24;

[[noreturn]] void refuse(const std::string& why) {
    throw Failure(FailureKind::TypeMismatch, why);
}

[[noreturn]] void refuseLine(std::size_t line, const std::string& why) {
    refuse("Ligne " + std::to_string(line) + " : " + why);
}

std::string_view trimmed(std::string_view s) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && space(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && space(s.back())) {
        s.remove_suffix(1);
    }
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') {
        s = s.substr(1, s.size() - 2);
    }
    return s;
}

std::vector<std::string_view> cells(std::string_view line, char separator) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == separator) {
            out.push_back(trimmed(line.substr(start, i - start)));
            start = i + 1;
        }
    }
    return out;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// The number of a cell, with a decimal point or a decimal comma; none when it is not one.
std::optional<double> number(std::string_view cell) {
    std::string text(cell);
    std::replace(text.begin(), text.end(), ',', '.');
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string shown(std::string_view cell) {
    std::string out(cell.substr(0, longestShownCell));
    // Never cut a UTF-8 character in two.
    while (!out.empty() && (static_cast<unsigned char>(out.back()) & 0xC0) == 0x80) {
        out.pop_back();
    }
    if (!out.empty() && (static_cast<unsigned char>(out.back()) & 0x80) != 0) {
        out.pop_back();
    }
    return "« " + out + (cell.size() > longestShownCell ? "… »" : " »");
}

struct Columns {
    std::size_t time = 0;
    double secondsPerUnit = 1;
    std::size_t temperature = 1;
    std::optional<std::size_t> uth;
    std::optional<std::size_t> ut;
    std::optional<std::size_t> code;
};

bool isTimeHeader(const std::string& h) {
    for (std::string_view name : {"t", "temps", "time", "durée", "duree"}) {
        if (h == name || startsWith(h, std::string(name) + " (") ||
            startsWith(h, std::string(name) + "(")) {
            return true;
        }
    }
    return false;
}

bool isTemperatureHeader(const std::string& h) {
    return h.find("\xC2\xB0" "c") != std::string::npos || startsWith(h, "température") ||
           startsWith(h, "temperature") || startsWith(h, "theta") || startsWith(h, "\xCE\xB8");
}

// The columns a header names; none when the line is not a header but readings.
std::optional<Columns> headerColumns(const std::vector<std::string_view>& header) {
    if (header.size() >= 2 && number(header[0]) && number(header[1])) {
        return std::nullopt;
    }
    Columns c;
    std::optional<std::size_t> time;
    std::optional<std::size_t> temperature;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string h = lowered(header[i]);
        if (!temperature && isTemperatureHeader(h)) {
            temperature = i;
        } else if (!time && isTimeHeader(h)) {
            time = i;
            if (h.find("(min)") != std::string::npos) {
                c.secondsPerUnit = 60;
            } else if (h.find("(ms)") != std::string::npos) {
                c.secondsPerUnit = 0.001;
            } else if (h.find("(h)") != std::string::npos) {
                c.secondsPerUnit = 3600;
            }
        } else if (startsWith(h, "uth")) {
            c.uth = i;
        } else if (startsWith(h, "ut")) {
            c.ut = i;
        } else if (startsWith(h, "code")) {
            c.code = i;
        }
    }
    if (!time) {
        refuseLine(1, "aucune colonne de temps (« t (s) », « temps »…)");
    }
    if (!temperature) {
        refuseLine(1, "aucune colonne de température (« T (°C) », « température »…)");
    }
    c.time = *time;
    c.temperature = *temperature;
    return c;
}

// ';' in the first line makes a French table, a tab a tab-separated one; else ','.
char separatorOf(std::string_view firstLine) {
    if (firstLine.find(';') != std::string_view::npos) {
        return ';';
    }
    if (firstLine.find('\t') != std::string_view::npos) {
        return '\t';
    }
    return ',';
}

double optionalValue(const std::vector<std::string_view>& row, std::optional<std::size_t> column) {
    if (!column || *column >= row.size()) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return number(row[*column]).value_or(std::numeric_limits<double>::quiet_NaN());
}

} // namespace

SessionSeries readCsvRun(std::string_view text) {
    if (startsWith(text, bom)) {
        text.remove_prefix(bom.size());
    }
    if (text.find('\0') != std::string_view::npos) {
        refuse("ce n'est pas un fichier texte");
    }
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    while (!lines.empty() && trimmed(lines.back()).empty()) {
        lines.pop_back();
    }
    if (lines.empty()) {
        refuse("le fichier est vide");
    }
    const char separator = separatorOf(lines.front());
    const std::optional<Columns> named = headerColumns(cells(lines.front(), separator));
    const Columns columns = named.value_or(Columns{});
    const std::size_t width = std::max(columns.time, columns.temperature) + 1;

    SessionSeries series;
    std::int64_t lastMillis = std::numeric_limits<std::int64_t>::min();
    for (std::size_t i = named ? 1 : 0; i < lines.size(); ++i) {
        const std::size_t lineNumber = i + 1;
        if (trimmed(lines[i]).empty()) {
            continue;
        }
        const std::vector<std::string_view> row = cells(lines[i], separator);
        if (row.size() < width) {
            refuseLine(lineNumber, "il manque des colonnes");
        }
        const std::optional<double> time = number(row[columns.time]);
        if (!time) {
            refuseLine(lineNumber, "le temps " + shown(row[columns.time]) + " n'est pas un nombre");
        }
        const double seconds = *time * columns.secondsPerUnit;
        if (std::fabs(seconds) > longestSeconds) {
            refuseLine(lineNumber, "le temps " + shown(row[columns.time]) + " est hors limites");
        }
        const auto millis = static_cast<std::int64_t>(std::llround(seconds * 1000.0));
        if (millis < lastMillis) {
            refuseLine(lineNumber, "le temps recule");
        }
        lastMillis = millis;

        Sample s;
        s.millis = millis;
        const std::string_view cell = row[columns.temperature];
        const std::optional<double> celsius = number(cell);
        if (!cell.empty() && !celsius) {
            refuseLine(lineNumber, "la température " + shown(cell) + " n'est pas un nombre");
        }
        s.gap = celsius ? Gap::None : Gap::Failure;
        s.celsius = celsius.value_or(std::numeric_limits<double>::quiet_NaN());
        s.uth = optionalValue(row, columns.uth);
        s.ut = optionalValue(row, columns.ut);
        const double code = optionalValue(row, columns.code);
        if (std::isfinite(code) && code >= 0 && code <= 65535 && code == std::floor(code)) {
            s.code = static_cast<std::int32_t>(code);
        }
        series.restore(s);
    }
    if (series.empty()) {
        refuse("le fichier ne contient aucune mesure");
    }
    return series;
}

} // namespace thermo
