#pragma once

#include "ui/curve/model_fit_entry.h"

#include <QFutureWatcher>
#include <QObject>

class QComboBox;
class QPushButton;

namespace thermo {

class CurveWindow;

// "Modéliser" in the curve window: the law chosen in the list beside it (Newton, free
// exponential, affine, linear) fitted to the temperatures of the range selected (Shift and a
// drag, or Shift and the arrows on the plot), or else of the time shown, gaps left out. A model
// is kept with the run, drawn dashed with its equation beside its line, and said on the message
// line with its parameters, their standard uncertainties and the RMS deviation; a fit that does
// not describe the readings is refused there, in red, with its reason, and nothing is drawn.
// Up to four models stand together; a fifth takes the place of the oldest. "Effacer les
// modèles" takes them away. The séance keeps them with their run, in its file too.
//
// The fit runs on a worker thread: a school day shown whole (288,000 readings) takes a few
// tenths of a second. The button stays where the focus is while it runs; a press then waits.
class ModelChooser : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t mostModels = 4;

    explicit ModelChooser(CurveWindow& window);
    ~ModelChooser() override;

private:
    void fit();
    void fitted();
    void clear();
    void showModels();
    std::uint64_t selectedRunId() const;
    void describeChoice();

    CurveWindow& window_;
    QComboBox* choice_;
    QPushButton* fitButton_;
    QPushButton* clearButton_;
    ModelFitter fitter_;
    QFutureWatcher<ModelAnswer> watcher_;
    // The run and the state of its series the fit was asked on.
    std::uint64_t runId_ = 0;
    std::uint64_t generation_ = 0;
    bool fitting_ = false;
};

} // namespace thermo
