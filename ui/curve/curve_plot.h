#pragma once

#include "core/session_series.h"
#include "ui/curve/curve_axes.h"
#include "ui/curve/curve_plot_view.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <qcustomplot.h>

namespace thermo {

class ModelOverlay;
class RunOverlays;
class TimePicker;
class TimeTicker;

// The session's series drawn against time: the temperature on the left axis, and Uth and Ut,
// when asked for, on a right axis in volts. A gap (failed tick, low supply) and a pause break
// the line. The view follows the live end, showing the whole series, until the wheel or a drag
// zooms or pans the time axis; showAll() puts it back. Shift and a drag pick a time range
// instead, for a model; a model is drawn dashed over the temperature.
//
// Drawing is kept to what a lesson needs: new readings are added to the graphs as they come,
// all of them again only after the series was cleared, and nothing at all while the plot is
// not on screen; a tick redraws at most once, the lines alone when the axes stay, and not at
// all when its reading falls on pixels already drawn.
class CurvePlot : public QCustomPlot, public CurvePlotView {
    Q_OBJECT
public:
    explicit CurvePlot(const SessionSeries& series, QWidget* parent = nullptr);
    ~CurvePlot() override;

    QWidget* widget() override { return this; }
    void refresh() override;
    void setVoltageShown(SeriesColumn column, bool shown) override;
    bool following() const override { return following_; }
    void showAll() override;
    void setZoom(double zoom) override;
    QString saveImage(const QString& path) override;
    void setPointerListener(std::function<void(std::optional<std::size_t>)> listener) override;
    TimeSpan shownTime() const override;
    std::optional<TimeSpan> selectedTime() const override;
    void showModel(std::span<const double> seconds, std::span<const double> celsius,
                   const QString& name) override;
    void clearModel() override;
    void showRuns(const RunTrace& selected, const std::vector<RunTrace>& others) override;

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Trace {
        SeriesColumn column;
        QCPGraph* graph;
        bool shown;
        std::optional<Extent> extent; // of the whole series, while following
        LineEnd end;
    };

    bool isShown(SeriesColumn column) const;
    // The reading nearest in time to a point of the plot area; none outside it.
    std::optional<std::size_t> readingAt(const QPoint& position) const;
    bool onScreen() const;
    void fill(Trace& trace);
    void addFrom(Trace& trace, std::size_t first);
    double value(const Trace& trace, std::size_t index) const;
    bool endMoved(Trace& trace);
    Trace& trace(SeriesColumn column);
    const Trace& trace(SeriesColumn column) const;
    void fitView();
    void setTimeRange(const QCPRange& range);
    void timeRangeChanged(const QCPRange& range);
    void fitValues();
    void updateLegend();

    const SessionSeries* series_; // the selected run's
    QColor temperatureColour_{0xC0, 0x00, 0x00};
    std::array<Trace, 3> traces_;
    QSharedPointer<TimeTicker> ticker_;
    std::size_t synced_ = 0; // readings already in the graphs
    std::uint64_t generation_ = 0;
    bool following_ = true;
    bool settingRange_ = false;
    std::function<void(std::optional<std::size_t>)> pointerListener_;
    std::unique_ptr<ModelOverlay> model_;
    std::unique_ptr<TimePicker> picker_;
    std::unique_ptr<RunOverlays> others_;
    double zoom_ = 1.0;
};

} // namespace thermo
