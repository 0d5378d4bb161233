#pragma once

#include <QtGlobal>

namespace thermo {

// Qt tells assistive technology of every change of a field's text, caret or value: ten times a
// second for the measurement's fields, as often for a setting the bench moves by itself (a
// cooling), each a message on the accessibility bus and, for a screen reader, words said or a
// queue that floods and drops what mattered. Changes the program makes while a QuietUpdates
// lives are not told: what is worth saying the program says itself, at a listener's pace, and a
// screen reader still reads the current text whenever it asks for it. Names, descriptions,
// states and everything else are always told, for assistive technology keeps them.
class QuietUpdates {
public:
    QuietUpdates();
    ~QuietUpdates();
    Q_DISABLE_COPY_MOVE(QuietUpdates)
};

} // namespace thermo
