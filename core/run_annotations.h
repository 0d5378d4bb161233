#pragma once

#include "core/model_result.h"

#include <string>
#include <vector>

namespace thermo {

// A short text pinned at a time of a run ("couvercle retiré"), drawn on its curve.
struct RunNote {
    double seconds = 0; // on the run's time axis
    std::string text;
};

// What the user added to a run's readings: notes, and the models fitted to them. Kept with the
// run, so that a séance keeps them and the curve draws them again when the run is shown.
struct RunAnnotations {
    std::vector<RunNote> notes; // in time order
    std::vector<ModelResult> models;

    // Keeps the notes in time order; a note at the same time as another comes after it.
    void addNote(RunNote note);
    void clear();
};

} // namespace thermo
