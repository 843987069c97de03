// Find (tool item 32) and Compare Entries (tool item 63), the two search commands of the
// entry-processing engine. Their workers (declared with the engine's other workers in
// notes_services.h) record a hit of the current measure in the engine state; the engine turns
// the measures with hits into the result lines "meas 4" or "meas 3-5" of the options dialog,
// which stays open so that the user can show a listed measure.
//
// Find lists measures with entries, with enharmonic oddities (two neighbouring notes of the same
// pitch spelled differently) or with a text expression containing a search text. Compare
// Entries reads the entries of one staff in a first run ("read") and compares the same region
// entry by entry in a second run ("compare"), marking each difference in the score with a text
// expression.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/host/finxess_records.h"
#include "platform/hostapi/types.h"

namespace orvex {

/// Options of Compare Entries, by row (row 0 is the result list).
enum CompareRow : size_t {
    ROW_READ = 1,
    ROW_COMPARE = 2,
    ROW_SWITCH = 3,  ///< after a run, read and compare change places
    ROW_MARK = 4,
    ROW_IGNORE_ENHARMONICS = 5,
    ROW_IGNORE_ACCIDENTAL_SHOWN = 6,
    ROW_IGNORE_ACCIDENTAL_FROZEN = 7,
    ROW_IGNORE_STEMS = 8,
    ROW_IGNORE_NOTEHEADS = 9,
};

/// Options of Find, by row (row 0 is the result list).
enum FindRow : size_t {
    ROW_ALL_MEASURES = 1,
    ROW_ENHARMONIC = 2,
    ROW_SEARCH = 3,  ///< text: the text expressions to find
    ROW_MUSIC_FONT = 4,
};

/// An entry as Compare Entries reads it (one element of the tool context's entry working list):
/// where it lies, its articulations and text expressions, and the entry itself.
struct StoredEntryLayout {
    static constexpr size_t kSize = 172;
    static constexpr size_t kMeasureOffset = 0;      ///< @0, i32, measure - the first selected measure
    static constexpr size_t kLayer = 4;              ///< @4, i32
    static constexpr size_t kArticulationCount = 8;  ///< @8, i8, 0-4
    static constexpr size_t kArticulations = 9;      ///< @9, 4 x i16, first words of the 'edIM' records
    static constexpr size_t kExpressionCount = 17;   ///< @17, i8, 0-4
    static constexpr size_t kExpressions = 18;       ///< @18, 4 x i16, text expression numbers ('edED')
    static constexpr size_t kEntry = 26;             ///< @26, the 146-byte entry
    static constexpr size_t kMaxIds = 4;
};

/// Places a text as an expression in a measure: the expression with this text, font and size is
/// found or made in the shared table, a measure expression record 'otDY' names it at the
/// position and vertical offset on the staff (every staff for staff 0), and the measure record
/// is marked as holding measure expressions and saved.
void MarkScorePosition(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff, hostapi::Edu position,
                       int32_t vertical, std::string_view text, const char* fontName, int32_t size,
                       EDTMeasureSpec& measureSpec);

}  // namespace orvex
