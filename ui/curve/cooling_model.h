#pragma once

#include "ui/curve/cooling_fit_entry.h"
#include "ui/curve/curve_plot_view.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

class QPushButton;

namespace thermo {

class CurveWindow;

// "Modéliser" in the curve window: Newton's law T(t) = Tf + (T0 - Tf)·exp(-(t - t0)/τ) fitted
// to the temperatures of the time picked with Shift and a drag, or else of the time shown,
// gaps left out, then drawn dashed over the curve with Tf, T0 and τ, their standard
// uncertainties and the readings' RMS deviation from it, in the legend and on the window's
// message line. A range too short or too flat to fit is refused there, in French, and nothing
// is drawn. A second press ("Effacer le modèle") takes the model away, as "Effacer" does.
//
// The fit runs on a worker thread: a school day shown whole (288,000 readings) takes a few
// tenths of a second, too long for the interface's thread.
class CoolingModel : public QObject {
    Q_OBJECT
public:
    explicit CoolingModel(CurveWindow& window);
    ~CoolingModel() override;

private:
    void pressed();
    void fit();
    void fitted();
    void remove();
    void setButton(bool modelShown);
    void say(const QString& text, bool failure);

    CurveWindow& window_;
    CurvePlotView& plot_;
    QPushButton* button_;
    CoolingFitter fitter_;
    QFutureWatcher<CoolingFitAnswer> watcher_;
    std::uint64_t generation_ = 0; // of the series the fit was asked on
    TimeSpan fittedTime_{0, 0};    // first and last reading fitted
    bool shown_ = false;
    QString said_; // what the model last wrote on the message line
};

} // namespace thermo
