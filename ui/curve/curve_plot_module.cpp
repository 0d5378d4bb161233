#include "analysis/cooling_fit.h"
#include "core/failure.h"
#include "ui/curve/cooling_fit_entry.h"
#include "ui/curve/curve_plot.h"

#include <new>

// The module's entries, found by name when the curve window loads it.
extern "C" Q_DECL_EXPORT thermo::CurvePlotView*
thermo_make_curve_plot(const thermo::SessionSeries& series, QWidget* parent) {
    return new thermo::CurvePlot(series, parent);
}

extern "C" Q_DECL_EXPORT void thermo_fit_cooling(std::span<const double> seconds,
                                                 std::span<const double> celsius,
                                                 thermo::CoolingFitAnswer& answer) {
    try {
        answer.fit = thermo::fitCooling(seconds, celsius);
    } catch (const thermo::Failure& refusal) {
        answer.refusal = refusal.what();
    } catch (const std::bad_alloc&) {
        answer.refusal = "Mémoire insuffisante pour modéliser cette plage";
    }
}
