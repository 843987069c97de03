// "Vx &Export to spreadsheet...": the notes and rests of layer 1 of the selected staves and
// measures as a text table that spreadsheet programs import: per staff five lines (measure,
// position, pitch, MIDI pitch, duration) with one column per entry, tied entries joined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace orvex {

struct TFMisc;

/// A position or duration in thousandths of an EDU as the table prints it: truncated to
/// `digits` decimals (0-3), written with three decimals, the point replaced by `decimalPoint`.
std::string FormatExportValue(int64_t thousandths, int32_t digits, char decimalPoint);

/// The file an export writes: the name of option row 0 as given when it names a folder, else
/// beside the plug-in module (in the program's folder when the module's has none).
std::filesystem::path ExportFilePath(const std::string& fileName);

/// Writes the table into the file named by option row 0; true when the file could be written.
bool RunExportToSpreadsheet(TFMisc& context);

/// Options of Export to Spreadsheet, by row.
enum ExportRow : size_t {
    EXPORT_FILE_NAME = 0,
    EXPORT_DIGITS = 1,  ///< decimal digits, 0-3
    EXPORT_SEPARATOR = 2,
    EXPORT_DECIMAL_POINT = 3
};

}  // namespace orvex
