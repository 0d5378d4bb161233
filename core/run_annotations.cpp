#include "core/run_annotations.h"

#include <algorithm>
#include <utility>

namespace thermo {

void RunAnnotations::addNote(RunNote note) {
    const auto at = std::upper_bound(
        notes.begin(), notes.end(), note.seconds,
        [](double seconds, const RunNote& other) { return seconds < other.seconds; });
    notes.insert(at, std::move(note));
}

void RunAnnotations::clear() {
    notes.clear();
    models.clear();
}

} // namespace thermo
