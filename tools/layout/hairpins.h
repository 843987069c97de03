// Create Hairpins: a crescendo or decrescendo hairpin between each pair of consecutive dynamic
// markings of every selected staff ("p" to "f"). Note-attached and measure-attached markings
// are paired separately. Each dynamic text is reduced to letters (music-font glyphs turned into
// "f", "m" and "p") and read as loudness levels; a hairpin is a smart shape linked to every
// measure it spans.
#pragma once

#include <cstdint>
#include <string>

#include "expressions/expression_records.h"

namespace orvex {

struct TFMisc;

/// Rows of the options of tool 44.
namespace hairpinrow {
enum HairpinRow : size_t {
    kCrescendos = 0,
    kDecrescendos = 1,
    kLeftMarking = 2,
    kRightMarking = 3,
    kLeftOffset = 4,
    kRightOffset = 5,
    kMaximumWidth = 6,
    kOpeningWidth = 7
};
}  // namespace hairpinrow

/// Options of Reset, by row: the hairpins of the region, then the entries' measure flags.
enum ResetRow : size_t {
    RESET_HAIRPIN_OPENING = 0,
    RESET_HAIRPIN_HORIZONTAL = 1,  ///< make horizontal over system break
    RESET_SMART_SHAPE_BITS = 2,
    RESET_MEASURE_EXPRESSION_BITS = 3
};

/// The smart shape kinds of a hairpin.
inline constexpr int16_t kShapeDecrescendo = 2;
inline constexpr int16_t kShapeCrescendo = 3;

/// Rewrites the text in place (dynamics glyphs to letters) and reads its start and end
/// loudness levels ("mp" -1, "mf" +1, n "f" n + 1, n "p" -(n + 1), "fp" +2 to -2); false when
/// it is no dynamic marking.
bool NormalizeDynamicsText(std::string& text, int32_t& startLevel, int32_t& endLevel);

/// Pairs the consecutive markings of one list and creates their hairpins.
void CreateHairpinsInList(const TExpressionList& list, TFMisc& context);

/// Measure before position; equal measure and position keep no defined order.
bool CompareExpressionTime(const TExpressionItem& a, const TExpressionItem& b);
void SortExpressionsByTime(TExpressionList& list);

}  // namespace orvex
