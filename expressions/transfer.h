// Transfer between documents ("Vx Transfer..."): a read run takes layout and notation data of
// the selected measures of one document into the tool context, and a later write run of the same
// context (the options dialog stays open and keeps it) puts it into the selected measures of
// another document, measure for measure from the region's first measure. What is carried is
// chosen by the options: beat charts and measure widths, whole measure records, locked measure
// groups ('otFM'), staff system margins and attributes, articulation ('ot&a') and expression
// ('ot&d') metatools, page graphics and page texts. The store keeps what the last read took, so
// the same data can be written into several documents.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/host/finxess_records.h"
#include "core/host/page_items.h"
#include "platform/hostapi/expression_records.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/types.h"

namespace orvex {

struct TFMisc;
class TStaffSystems;
class TExpressionList;

using hostapi::kTagArticulationMetatool;
/// Articulation metatool keys run from '0' to 'Y'.
inline constexpr int32_t kFirstArticulationKey = '0';
inline constexpr int32_t kLastArticulationKey = 'Y';
inline constexpr size_t kArticulationKeyCount = kLastArticulationKey - kFirstArticulationKey + 1;
static_assert(kArticulationKeyCount == 42);

/// A stored 'otFM' record: the measure it is kept under and its 12 bytes, both relative to the
/// region's first measure (the record's first word, the end measure, too).
struct TransferLockedGroup {
    int32_t measureOffset = 0;
    Record12 record;
};

/// A stored beat chart element of a measure of the region.
struct TransferBeatElement {
    int32_t measureOffset = 0;
    RawRecord<10> element;
};

/// What a read run keeps for the write runs of the same context.
struct TransferStore {
    std::vector<Record12> articulationMetatools;  ///< by key - '0'; word 0 = 0 when absent
    std::vector<TransferLockedGroup> lockedGroups;
    std::vector<TransferBeatElement> beatCharts;
    std::vector<EDTMeasureSpec> measures;  ///< one per measure of the region, in order
    std::vector<bool> measureLoaded;       ///< per stored measure record: the read loaded it
    bool lockedGroupsRead = false;         ///< a read run looked for locked measure groups
    std::unique_ptr<TStaffSystems> staffSystems;
    std::vector<TPageGraphics> pageGraphics;
    std::vector<TPageText> pageTexts;
    /// Measure-attached expressions, each with its measure and staff slot relative to the
    /// region's first ones.
    std::unique_ptr<TExpressionList> expressions;

    TransferStore();
    ~TransferStore();
};

/// Option rows of the tool.
enum TransferRow : size_t {
    TRANSFER_READ = 0,
    TRANSFER_WRITE = 1,
    TRANSFER_SWITCH = 2,
    TRANSFER_BEAT_CHARTS = 3,
    TRANSFER_MEASURES = 4,
    TRANSFER_LOCKED_GROUPS = 5,
    TRANSFER_STAFF_SYSTEMS = 6,
    TRANSFER_ARTICULATION_METATOOLS = 7,
    TRANSFER_EXPRESSION_METATOOLS = 8,
    TRANSFER_MEASURE_EXPRESSIONS = 9,
    TRANSFER_CLEAR_DESTINATION = 10,
    TRANSFER_CLEAR_GLOBAL = 11,
    TRANSFER_PAGE_GRAPHICS = 12,
    TRANSFER_PAGE_TEXTS = 13,
    TRANSFER_PAGE_TEXT_WORDS = 14,
};

/// The words of the page-text filter: the text cut at commas, each word trimmed and upper-cased;
/// empty words are left out.
std::vector<std::string> TransferFilterWords(std::string_view text);

/// The tool: a read run (row 0) or a write run (row 1) over the region. Answers false when both
/// are asked at once (after telling the user); true otherwise.
bool RunTransfer(TFMisc& context, const hostapi::SelectionRecord& region);

}  // namespace orvex
