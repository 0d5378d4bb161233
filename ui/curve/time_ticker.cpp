#include "ui/curve/time_ticker.h"

namespace thermo {

namespace {
constexpr double secondsPerMinute = 60;
} // namespace

bool TimeTicker::setSpan(double seconds) {
    const bool minutes = seconds > minutesBeyondSeconds;
    const bool changed = minutes != minutes_;
    minutes_ = minutes;
    return changed;
}

double TimeTicker::getTickStep(const QCPRange& range) {
    // A step by hand, unless it would crowd the axis with ticks.
    constexpr double mostTicks = 50;
    if (step_ > 0 && range.size() / step_ <= mostTicks) {
        return step_;
    }
    if (!minutes_) {
        return QCPAxisTicker::getTickStep(range);
    }
    const QCPRange inMinutes(range.lower / secondsPerMinute, range.upper / secondsPerMinute);
    return QCPAxisTicker::getTickStep(inMinutes) * secondsPerMinute;
}

QString TimeTicker::getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                                 int precision) {
    return QCPAxisTicker::getTickLabel(minutes_ ? tick / secondsPerMinute : tick, locale,
                                       formatChar, precision);
}

} // namespace thermo
