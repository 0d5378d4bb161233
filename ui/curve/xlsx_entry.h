#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace thermo {

struct Run;

using XlsxWriter = std::function<QString(const std::vector<const Run*>&, const QString&)>;

// Writes runs as an XLSX workbook (libxlsxwriter, which the curve's module holds with its
// zip and crypto libraries, so that a session that exports nothing does not load them): the
// failure in French, or empty. When the module cannot be loaded, a writer that says why.
XlsxWriter xlsxWriter();

// Inside the module: the workbook itself, one sheet a run.
QString writeXlsx(const std::vector<const Run*>& runs, const QString& path);

} // namespace thermo
