#pragma once

#include "acquisition/simulated_bench.h"

#include <QFrame>

class QAction;
class QActionGroup;
class QDoubleSpinBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QVBoxLayout;

namespace thermo {

class CodeSource;

// What the acquisition control shows in its small rectangle: for the simulated bench, its
// temperature and supply voltage to play with and, on right click, the faults to stage; for
// any other source, just that source's name.
class BenchPanel : public QFrame {
    Q_OBJECT
public:
    explicit BenchPanel(QWidget* parent = nullptr);

    // The panel does not own the source; the caller replaces it before destroying it.
    void setSource(CodeSource* source);
    // Brings the widgets in line with the bench after it was changed from elsewhere.
    void refresh();

    QAction* faultAction(BenchFault fault) const;
    // The right-click menu; the control adds the choice of source at its top.
    QMenu& menu() const noexcept { return *menu_; }

    // Projector mode: the panel's type and margins grow with the main window.
    void setZoom(double zoom);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void applyTemperature(double celsius);
    void applySupply(double volts);
    void applyFault(QAction* action);
    void updateCaption();

    CodeSource* source_ = nullptr;
    SimulatedBench* bench_ = nullptr;
    QLabel* caption_;
    QDoubleSpinBox* temperature_;
    QDoubleSpinBox* supply_;
    QActionGroup* faults_;
    QMenu* menu_;
    QVBoxLayout* layout_;
    QHBoxLayout* settings_;
};

} // namespace thermo
