#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <vector>

class QWidget;

namespace thermo {

// Projector mode: both windows scaled as a whole, in steps from 100 % to 250 % that fit the
// screen, or to the largest scale that fits, from the keyboard or the context menu of either
// window. Nothing is stored: every start is at 100 %.
class ProjectorZoom : public QObject {
    Q_OBJECT
public:
    static constexpr std::array<double, 6> steps{1.0, 1.25, 1.5, 1.75, 2.0, 2.5};
    // The smallest scale "Ajuster à l'écran" goes down to on a very small screen.
    static constexpr double smallest = 0.5;

    // The largest scale the screen leaves room for, asked at each change.
    using Room = std::function<double()>;

    using QObject::QObject;

    double factor() const noexcept { return factor_; }
    // Without a room given, every step fits.
    void setRoom(Room room) { room_ = std::move(room); }
    double room() const;
    // The steps offered now: 100 % always, the others when they fit.
    std::vector<double> fittingSteps() const;

    // Ctrl++ (also Ctrl+= and the keypad's +), Ctrl+- and Ctrl+0 in that window.
    void addShortcutsTo(QWidget* window);

public slots:
    void zoomIn();
    void zoomOut();
    void reset();
    // "Ajuster à l'écran": the largest scale that fits, whatever its value.
    void fitScreen();
    void setFactor(double factor);

signals:
    void factorChanged(double factor);

private:
    double factor_ = 1.0;
    Room room_;
};

// "150 %", written the user's way.
QString percentText(double factor);

} // namespace thermo
