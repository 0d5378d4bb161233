#include "ui/curve/cooling_fit_entry.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/xlsx_entry.h"
#include "ui/modules/module_search.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <dlfcn.h>
#include <unistd.h>

namespace thermo {

namespace {

using Maker = CurvePlotView* (*)(const SessionSeries&, QWidget*);
using Fitter = void (*)(std::span<const double>, std::span<const double>, CoolingFitAnswer&);
using Workbook = void (*)(const std::vector<const Run*>&, const QString&, QString&);

// Where the plot cannot be drawn, why.
class MissingPlot : public QLabel, public CurvePlotView {
public:
    MissingPlot(const QString& why, QWidget* parent)
        : QLabel(QObject::tr("La courbe ne peut pas être tracée : %1").arg(why), parent) {
        setWordWrap(true);
        setAlignment(Qt::AlignCenter);
    }
    QWidget* widget() override { return this; }
    void refresh() override {}
    void setVoltageShown(SeriesColumn, bool) override {}
    bool following() const override { return true; }
    void showAll() override {}
    void setZoom(double) override {}
    QString saveImage(const QString&) override { return text(); }
    void setPointerListener(std::function<void(std::optional<std::size_t>)>) override {}
    TimeSpan shownTime() const override { return {0, 0}; }
    std::optional<TimeSpan> selectedTime() const override { return std::nullopt; }
    void showModel(std::span<const double>, std::span<const double>, const QString&) override {}
    void clearModel() override {}
    void showRuns(const RunTrace&, const std::vector<RunTrace>&) override {}
};

// An entry of the module, which is loaded the first time from where findModule() says: the
// build tree's module when the program runs from there, else the installed one, beside the
// program's folder, unless someone but root could have changed it. It stays loaded to the end
// of the program. Null, with why, when there is no such entry. dlopen() rather than QLibrary,
// which would try other files first (a haswell/ folder beside it): the file loaded is the one
// judged.
QFunctionPointer moduleEntry(const char* name, QString& why) {
    static void* module = nullptr;
    static QString failure;
    if (module == nullptr) {
        const ModuleSearch found =
            findModule(QCoreApplication::applicationDirPath(),
                       QString::fromUtf8(THERMO_MODULE_FOLDER_INSTALLED),
                       QString::fromUtf8(THERMO_CURVE_PLOT_FILE), ::geteuid());
        failure = found.failure;
        if (!found.path.isEmpty()) {
            module = ::dlopen(QFile::encodeName(found.path).constData(), RTLD_NOW | RTLD_LOCAL);
            if (module == nullptr) {
                failure = QString::fromLocal8Bit(::dlerror());
            }
        }
    }
    if (module == nullptr) {
        why = failure;
        return nullptr;
    }
    const auto entry = reinterpret_cast<QFunctionPointer>(::dlsym(module, name));
    if (entry == nullptr) {
        why = QString::fromLocal8Bit(::dlerror());
    }
    return entry;
}

} // namespace

CurvePlotView* makeCurvePlot(const SessionSeries& series, QWidget* parent) {
    QString why;
    if (const auto maker = reinterpret_cast<Maker>(moduleEntry("thermo_make_curve_plot", why))) {
        return maker(series, parent);
    }
    return new MissingPlot(why, parent);
}

CoolingFitter coolingFitter() {
    QString why;
    if (const auto fitter = reinterpret_cast<Fitter>(moduleEntry("thermo_fit_cooling", why))) {
        return [fitter](std::span<const double> seconds, std::span<const double> celsius) {
            CoolingFitAnswer answer;
            fitter(seconds, celsius, answer);
            return answer;
        };
    }
    const std::string refusal = QObject::tr("Modélisation impossible : %1").arg(why).toStdString();
    return [refusal](std::span<const double>, std::span<const double>) {
        return CoolingFitAnswer{std::nullopt, refusal};
    };
}

XlsxWriter xlsxWriter() {
    QString why;
    if (const auto write = reinterpret_cast<Workbook>(moduleEntry("thermo_write_xlsx", why))) {
        return [write](const std::vector<const Run*>& runs, const QString& path) {
            QString failure;
            write(runs, path, failure);
            return failure;
        };
    }
    return [why](const std::vector<const Run*>&, const QString& path) {
        return QObject::tr("Impossible d'écrire « %1 » : %2").arg(path, why);
    };
}

} // namespace thermo
