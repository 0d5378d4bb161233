#pragma once

#include "core/session_series.h"

#include <QColor>
#include <QString>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class QWidget;

namespace thermo {

// An interval of the series' time, in seconds.
struct TimeSpan {
    double from;
    double to;
};

// A run of the séance as the plot draws it.
struct RunTrace {
    const SessionSeries* series;
    QColor colour;
    QString name;
};

// What the curve window asks of its plot. The plot is drawn with QCustomPlot in a module of
// its own (thermo_curve_plot), loaded the first time a curve window is made: a session that
// never opens the curve does not load QCustomPlot and Qt Print Support.
class CurvePlotView {
public:
    virtual ~CurvePlotView() = default;

    // The plot's widget, a child of the window that made it and owned by it.
    virtual QWidget* widget() = 0;
    // Brings the graphs up to date with the series and draws what changed, once; nothing
    // while the plot is not on screen (showing it catches up).
    virtual void refresh() = 0;
    // Uth or Ut on the right axis, in volts; the temperature is always shown.
    virtual void setVoltageShown(SeriesColumn column, bool shown) = 0;
    // True while the view shows the whole series and follows its live end; the wheel or a
    // drag on the time axis stops it, showAll() puts it back.
    virtual bool following() const = 0;
    virtual void showAll() = 0;
    // Projector mode: lines and ticks at `zoom` times their size, text in the widget's font.
    virtual void setZoom(double zoom) = 0;
    // The picture as PNG, or as SVG for a name ending in ".svg". Returns the failure in
    // French, naming the file and the cause; empty when saved.
    virtual QString saveImage(const QString& path) = 0;
    // Told of the reading under the pointer, or of none when the pointer leaves the readings.
    virtual void setPointerListener(std::function<void(std::optional<std::size_t>)> listener) = 0;

    // The time the axis shows.
    virtual TimeSpan shownTime() const = 0;
    // The time picked with Shift and a drag, drawn as a band; none until one is picked, after a
    // Shift and click, and once the series is cleared.
    virtual std::optional<TimeSpan> selectedTime() const = 0;
    // A model drawn over the temperature, dashed, named in the legend; it replaces the one
    // drawn before and stays until clearModel().
    virtual void showModel(std::span<const double> seconds, std::span<const double> celsius,
                           const QString& name) = 0;
    virtual void clearModel() = 0;
    // The runs drawn: `selected` with its voltages, model, pointer and range, in its colour;
    // the others' temperatures beside it, in theirs. The selected run is drawn even when it
    // is not among `others`' visible ones.
    virtual void showRuns(const RunTrace& selected, const std::vector<RunTrace>& others) = 0;
};

// The plot of `series`, a child of `parent`, from the module; if the module cannot be loaded,
// a stand-in that says so where the curve would be, the record going on as before.
CurvePlotView* makeCurvePlot(const SessionSeries& series, QWidget* parent);

} // namespace thermo
