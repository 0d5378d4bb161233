#pragma once

#include <QString>
#include <vector>

namespace thermo {

struct Run;
class SessionSeries;

// How a CSV export writes its numbers: French (';' between fields, decimal comma, as a French
// spreadsheet opens it) or international (',' and decimal point, for Python and other tools).
enum class CsvForm { French, International };

// A run as a CSV file (byte-order mark, header, CR LF). The failure in French, or empty.
QString exportCsv(const SessionSeries& series, CsvForm form, const QString& path);

// Runs as an XLSX workbook, one sheet a run named after it, the header in bold and every
// value a number, so that a spreadsheet opens it with no question. The failure in French, or
// empty.
QString exportXlsx(const std::vector<const Run*>& runs, const QString& path);

} // namespace thermo
