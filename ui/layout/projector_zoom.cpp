#include "ui/layout/projector_zoom.h"

#include <QKeySequence>
#include <QList>
#include <QLocale>
#include <QShortcut>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <limits>

namespace thermo {

namespace {

// Scales are compared to the hundredth, the finest "Ajuster à l'écran" gives.
constexpr double sameScale = 0.001;

QKeySequence ctrl(Qt::Key key, bool keypad = false) {
    return QKeyCombination(keypad ? Qt::ControlModifier | Qt::KeypadModifier : Qt::ControlModifier,
                           key);
}

void addShortcut(QWidget* window, const QList<QKeySequence>& keys, ProjectorZoom* zoom,
                 void (ProjectorZoom::*action)()) {
    auto* shortcut = new QShortcut(window);
    // Every key once: a key sequence given twice to a window would be ambiguous and do nothing.
    shortcut->setKeys(keys);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, zoom, action);
}

} // namespace

void ProjectorZoom::addShortcutsTo(QWidget* window) {
    // "+" is a shifted key on most layouts, hence Ctrl+= as well.
    addShortcut(window, {ctrl(Qt::Key_Plus), ctrl(Qt::Key_Equal), ctrl(Qt::Key_Plus, true)}, this,
                &ProjectorZoom::zoomIn);
    addShortcut(window, {ctrl(Qt::Key_Minus), ctrl(Qt::Key_Minus, true)}, this,
                &ProjectorZoom::zoomOut);
    addShortcut(window, {ctrl(Qt::Key_0), ctrl(Qt::Key_0, true)}, this, &ProjectorZoom::reset);
}

double ProjectorZoom::room() const {
    return room_ ? room_() : std::numeric_limits<double>::infinity();
}

std::vector<double> ProjectorZoom::fittingSteps() const {
    const double largest = room();
    std::vector<double> fitting;
    for (double step : steps) {
        if (step == 1.0 || step <= largest + sameScale) {
            fitting.push_back(step);
        }
    }
    return fitting;
}

void ProjectorZoom::zoomIn() {
    for (double step : fittingSteps()) {
        if (step > factor_ + sameScale) {
            setFactor(step);
            return;
        }
    }
}

void ProjectorZoom::zoomOut() {
    const std::vector<double> fitting = fittingSteps();
    for (auto step = fitting.rbegin(); step != fitting.rend(); ++step) {
        if (*step < factor_ - sameScale) {
            setFactor(*step);
            return;
        }
    }
}

void ProjectorZoom::reset() {
    setFactor(1.0);
}

void ProjectorZoom::fitScreen() {
    const double largest = room();
    if (std::isfinite(largest)) {
        setFactor(std::max(smallest, largest));
    }
}

void ProjectorZoom::setFactor(double factor) {
    if (std::abs(factor - factor_) > sameScale / 2) {
        factor_ = factor;
        emit factorChanged(factor_);
    }
}

QString percentText(double factor) {
    return QLocale().toString(std::lround(factor * 100)) + QStringLiteral("\u00A0%");
}

} // namespace thermo
