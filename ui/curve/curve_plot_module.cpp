#include "analysis/model_fit.h"
#include "core/failure.h"
#include "ui/curve/lab_plot.h"
#include "ui/curve/model_fit_entry.h"
#include "ui/curve/xlsx_entry.h"

#include <new>

// The module's entries, found by name when the curve window loads it.
extern "C" Q_DECL_EXPORT thermo::CurvePlotView*
thermo_make_curve_plot(const thermo::SessionSeries& series, QWidget* parent) {
    return new thermo::LabPlot(series, parent);
}

extern "C" Q_DECL_EXPORT void thermo_fit_model(thermo::ModelKind kind,
                                               std::span<const double> seconds,
                                               std::span<const double> celsius,
                                               const thermo::NumberLocale& locale,
                                               thermo::ModelAnswer& answer) {
    try {
        answer.fit = thermo::fitModel(kind, seconds, celsius, locale);
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
