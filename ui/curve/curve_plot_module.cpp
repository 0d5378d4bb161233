#include "analysis/cooling_fit.h"
#include "core/failure.h"
#include "ui/curve/cooling_fit_entry.h"
#include "ui/curve/curve_plot.h"
#include "ui/curve/xlsx_entry.h"

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

extern "C" Q_DECL_EXPORT void thermo_write_xlsx(const std::vector<const thermo::Run*>& runs,
                                                const QString& path, QString& failure) {
    try {
        failure = thermo::writeXlsx(runs, path);
    } catch (const std::bad_alloc&) {
        failure = QObject::tr("Impossible d'écrire « %1 » : mémoire insuffisante").arg(path);
    }
}
