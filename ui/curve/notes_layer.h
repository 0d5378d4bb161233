#pragma once

#include "core/run_annotations.h"

#include <QList>
#include <span>

class QCPAbstractItem;
class QCustomPlot;

namespace thermo {

// The run's notes on its curve: a dotted vertical line at each note's time, and its text at the
// top of the plot, on rows that take turns so that close notes do not write over each other.
// Pictures and printed pages carry them.
class NotesLayer {
public:
    explicit NotesLayer(QCustomPlot& plot);

    // Replaces the notes drawn before.
    void show(std::span<const RunNote> notes);
    void setLineWidth(int pixels);

private:
    QCustomPlot& plot_;
    QList<QCPAbstractItem*> items_;
    int lineWidth_ = 1;
};

} // namespace thermo
