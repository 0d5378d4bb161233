#include "ui/curve/curve_plot_view.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLibrary>

namespace thermo {

namespace {

using Maker = CurvePlotView* (*)(const SessionSeries&, QWidget*);

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
};

// The module of the build tree when the program runs from there, else the installed one,
// beside the program's folder.
Maker loadMaker(QString& why) {
    static Maker maker = nullptr;
    static QString failure = QObject::tr("module introuvable");
    const QString paths[] = {QString::fromUtf8(THERMO_CURVE_PLOT_BUILT),
                             QDir(QCoreApplication::applicationDirPath())
                                 .filePath(QString::fromUtf8(THERMO_CURVE_PLOT_INSTALLED))};
    for (const QString& path : paths) {
        if (maker != nullptr || !QFileInfo::exists(path)) {
            continue;
        }
        QLibrary module(path); // stays loaded to the end of the program
        maker = reinterpret_cast<Maker>(module.resolve("thermo_make_curve_plot"));
        if (maker == nullptr) {
            failure = module.errorString();
        }
    }
    why = failure;
    return maker;
}

} // namespace

CurvePlotView* makeCurvePlot(const SessionSeries& series, QWidget* parent) {
    QString why;
    if (const Maker maker = loadMaker(why)) {
        return maker(series, parent);
    }
    return new MissingPlot(why, parent);
}

} // namespace thermo
