#pragma once

#include "ui/curve/curve_plot.h"
#include "ui/curve/curve_tools.h"

#include <memory>

namespace thermo {

class CursorPair;
class HandAxes;
class KeyboardCursor;
class NotesLayer;
class TangentLine;

// The curve with its lab tools (CurveTools): the plot of CurvePlot, and over it, on a layer of
// their own that moves without redrawing the lines, the keyboard cursor, the tangent and the
// two cursors; the notes beside the models; axes set by hand; the printed page. Reached by the
// keyboard: Tab gives it the focus, and the keys move its cursor (see CurveTools::cursor()).
class LabPlot : public CurvePlot, public CurveTools {
    Q_OBJECT
public:
    LabPlot(const SessionSeries& series, QWidget* parent);
    ~LabPlot() override;

    CurveTools* tools() override { return this; }
    void refresh() override;
    void showAll() override;
    void setZoom(double zoom) override;
    void setPointerListener(std::function<void(std::optional<std::size_t>)> listener) override;
    // Another selected run: the cursors and the tangent move to it (curve_plot_runs.cpp).
    void showRuns(const RunTrace& selected, const std::vector<RunTrace>& others) override;

    std::optional<std::size_t> cursor() const override;
    void setTangentShown(bool shown) override;
    void setTangentHalfWidth(double seconds) override;
    void setTangentListener(std::function<void(std::optional<Tangent>)> listener) override;
    void setCursorPairShown(bool shown) override;
    void setCursorPairListener(std::function<void(CursorPairPlace)> listener) override;
    void showNotes(std::span<const RunNote> notes) override;
    AxesSettings axes() const override;
    void setAxes(const AxesSettings& axes) override;
    std::optional<QString> print(QWidget* over, const QString& title,
                                 const QStringList& lines) override;
    QString printToPdf(const QString& path, const QString& title,
                       const QStringList& lines) override;

    // The temperature at the keyboard cursor, as shown; none without a cursor or in a gap.
    std::optional<double> cursorCelsius() const;
    std::optional<Extent> temperatureExtent() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool moveCursor(QKeyEvent& event);
    void cursorMoved(bool extend);
    void zoomTime(double factor);
    void drawTangent(double seconds);
    void pairMoved();
    void redrawTools();

    std::unique_ptr<KeyboardCursor> cursor_;
    std::unique_ptr<TangentLine> tangent_;
    std::unique_ptr<CursorPair> pair_;
    std::unique_ptr<NotesLayer> notes_;
    std::unique_ptr<HandAxes> axes_;
    std::function<void(std::optional<std::size_t>)> pointerListener_;
    std::function<void(std::optional<Tangent>)> tangentListener_;
    std::function<void(CursorPairPlace)> pairListener_;
    std::optional<double> rangeAnchor_; // where a Shift-extended range began
    std::uint64_t generation_;
};

} // namespace thermo
