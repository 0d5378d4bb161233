#pragma once

#include "core/session_series.h"
#include "ui/recording/seance_file.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace thermo {

// One run of the séance: the readings of one experiment (a cooling with the lid, the same
// without), measured here or read back from a file, with its name, colour and whether it is
// drawn. Only the séance's live run grows; a run that is no longer measured never changes
// again, so that its readings may be read from another thread (the journal) while shown.
struct Run {
    std::uint64_t id = 0; // unique in the séance, the same in its journal
    QString name;         // "Série 1"
    std::uint32_t colour = 0; // 0xRRGGBB; 0 until the séance gives it one
    bool visible = true;
    QString source; // what measured it, or the file it came from
    CircuitParameters parameters;
    QString started; // ISO 8601, local time
    std::shared_ptr<SessionSeries> series = std::make_shared<SessionSeries>();
    std::vector<RunNote> notes;
    std::vector<RunModel> models;

    RunHeader header() const;
};

// The colour of the séance's n-th run (from 0): the first is the curve's red, the next ones
// told apart from it and from the blue and green of Uth and Ut.
std::uint32_t runColour(std::size_t n);

} // namespace thermo
