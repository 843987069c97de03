// "Vx &Export to spreadsheet...": the notes and rests of layer 1 of the selected staves and
// measures as a text table that spreadsheet programs import: per staff five lines (measure,
// position, pitch, MIDI pitch, duration) with one column per entry, tied entries joined.
#pragma once

#include <cstdint>
#include <string>

namespace orvex {

struct TFMisc;

/// A position or duration in thousandths of an EDU as the table prints it: truncated to
/// `digits` decimals (0-3), written with three decimals, the point replaced by `decimalPoint`.
std::string FormatExportValue(int64_t thousandths, int32_t digits, char decimalPoint);

/// Writes the table into the file named by option row 0; true when the file could be written.
bool RunExportToSpreadsheet(TFMisc& context);

}  // namespace orvex
