#include "ui/curve/curve_plot.h"

// The module's one entry, found by name when the curve window loads it.
extern "C" Q_DECL_EXPORT thermo::CurvePlotView*
thermo_make_curve_plot(const thermo::SessionSeries& series, QWidget* parent) {
    return new thermo::CurvePlot(series, parent);
}
