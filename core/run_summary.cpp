#include "core/run_summary.h"

#include "core/number_text.h"

#include <cmath>
#include <optional>

namespace thermo {

namespace {

std::string secondsText(double seconds, const NumberLocale& locale) {
    return fixedText(seconds, 1, locale) + " s";
}

// "2 min 3 s" beyond a minute, as a class says a duration.
std::string durationText(double seconds, const NumberLocale& locale) {
    std::string text = secondsText(seconds, locale);
    if (seconds >= 60) {
        const auto whole = static_cast<long long>(std::llround(seconds));
        text += " (" + std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s)";
    }
    return text;
}

struct Point {
    std::size_t index;
    double celsius;
};

} // namespace

std::vector<std::string> runSummary(const SessionSeries& series, const RunAnnotations& annotations,
                                    const NumberLocale& locale) {
    std::vector<std::string> lines;
    const auto at = [&](const char* what, const Point& p) {
        return std::string(what) + " : " + temperatureText(p.celsius, locale) + " \u00E0 t = " +
               secondsText(static_cast<double>(series.millis()[p.index]) / 1000.0, locale);
    };
    if (series.empty()) {
        lines.emplace_back("Aucune mesure dans la s\u00E9rie.");
    } else {
        const double duration =
            static_cast<double>(series.millis().back() - series.millis().front()) / 1000.0;
        lines.push_back(std::to_string(series.size()) +
                        (series.size() > 1 ? " mesures sur " : " mesure sur ") +
                        durationText(duration, locale));
        std::optional<Point> last;
        std::optional<Point> low;
        std::optional<Point> high;
        const auto celsius = series.column(SeriesColumn::Temperature);
        for (std::size_t i = 0; i < celsius.size(); ++i) {
            if (std::isnan(celsius[i])) {
                continue;
            }
            last = Point{i, celsius[i]};
            if (!low || celsius[i] < low->celsius) {
                low = last;
            }
            if (!high || celsius[i] > high->celsius) {
                high = last;
            }
        }
        if (!last) {
            lines.emplace_back("Aucune temp\u00E9rature mesur\u00E9e.");
        } else {
            lines.push_back(at("Derni\u00E8re temp\u00E9rature", *last));
            lines.push_back(at("Minimum", *low));
            lines.push_back(at("Maximum", *high));
        }
    }
    for (std::size_t i = 0; i < annotations.models.size(); ++i) {
        lines.push_back("Mod\u00E8le " + std::to_string(i + 1) + " : " +
                        modelResultText(annotations.models[i], locale));
    }
    for (const RunNote& note : annotations.notes) {
        lines.push_back("Note \u00E0 t = " + secondsText(note.seconds, locale) + " : " + note.text);
    }
    return lines;
}

} // namespace thermo
