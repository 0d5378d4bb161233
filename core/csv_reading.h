#pragma once

#include "core/session_series.h"

#include <string>
#include <string_view>

namespace thermo {

// A run read back from a CSV file: one this program wrote (French form: ';' and decimal
// commas; international form: ',' and decimal points; with or without its byte-order mark),
// or any table with a time column and a temperature column, as a spreadsheet or another
// logger writes it. The time is in seconds unless its header says "(min)" or "(ms)"; a table
// without a header is read as time then temperature. An empty temperature cell is a gap.
//
// A file that is not such a table is refused with Failure(TypeMismatch) and a French message
// naming the line and the cause; nothing else is thrown, whatever the bytes.
SessionSeries readCsvRun(std::string_view text);

} // namespace thermo
