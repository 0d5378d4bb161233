#include "ui/projector_zoom.h"

#include <QKeySequence>
#include <QList>
#include <QShortcut>
#include <QWidget>

namespace thermo {

namespace {

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

void ProjectorZoom::zoomIn() {
    if (step_ + 1 < steps.size()) {
        setStep(step_ + 1);
    }
}

void ProjectorZoom::zoomOut() {
    if (step_ > 0) {
        setStep(step_ - 1);
    }
}

void ProjectorZoom::reset() {
    setStep(0);
}

void ProjectorZoom::setStep(std::size_t step) {
    if (step != step_) {
        step_ = step;
        emit factorChanged(factor());
    }
}

} // namespace thermo
