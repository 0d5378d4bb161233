#pragma once

#include <QObject>
#include <array>
#include <cstddef>

class QWidget;

namespace thermo {

// Projector mode: both windows scaled as a whole, in steps from 100 % to 250 %, from the
// keyboard of either window. Nothing is stored: every start is at 100 %.
class ProjectorZoom : public QObject {
    Q_OBJECT
public:
    static constexpr std::array<double, 6> steps{1.0, 1.25, 1.5, 1.75, 2.0, 2.5};

    using QObject::QObject;

    double factor() const noexcept { return steps[step_]; }

    // Ctrl++ (also Ctrl+= and the keypad's +), Ctrl+- and Ctrl+0 in that window.
    void addShortcutsTo(QWidget* window);

public slots:
    void zoomIn();
    void zoomOut();
    void reset();

signals:
    void factorChanged(double factor);

private:
    void setStep(std::size_t step);

    std::size_t step_ = 0;
};

} // namespace thermo
