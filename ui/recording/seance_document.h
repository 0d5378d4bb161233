#pragma once

#include "ui/recording/run.h"

#include <QString>
#include <vector>

namespace thermo {

class SessionRecord;

// The runs of a séance file (".thermo"), with their readings, notes and models. Throws
// Failure with the French cause: not a séance, damaged, from a newer version.
std::vector<Run> readSeance(const QString& path);

// A CSV file as one run named after the file. Throws Failure with the French cause.
Run readCsvFile(const QString& path);

// Writes every run of the record to `path` as a séance file, whole or not at all: into a new
// file beside it, synced, then renamed over it. Only a regular file (or a new name) is
// replaced. The failure in French, or empty.
QString writeSeance(const SessionRecord& record, const QString& path);
// The same with these runs, in this order (the class's, a run per group).
QString writeSeance(const std::vector<const Run*>& runs, const QString& path);

} // namespace thermo
