// The smart split point (tool 81): redistributes the notes of two adjacent staves (the two hands
// of a keyboard part) between them, measure by measure and event by event, through the split
// point note mover. The arrays and tables of the previous measure stay loaded until the next
// measure has been processed; a measure whose arrays no move changed is freed without saving.
#include <algorithm>
#include <array>
#include <memory>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "tools/layout/explosion/explosion.h"
#include "tools/layout/layout_services.h"
#include "tools/layout/split_point.h"
#include "tools/layout/split_system.h"
#include "tools/notes/rest_filler.h"

namespace orvex {

namespace {

/// The values the command runs on (the tool has no option rows a user sets), chosen on keyboard
/// music as written: a hand's part should stay as it is, and a note put into the wrong hand
/// should come back. Only the moved notes change: a note that stays in its hand keeps its length
/// and position. Spans and leaps count diatonic steps as the pitch words do (a span is the steps
/// from the lowest to the highest note plus one: an octave is 8), keys are MIDI keys.
// clang-format off
constexpr std::array<std::pair<size_t, int32_t>, 13> kWorkingRows = {{
    {SPLIT_MAX_UPPER_SPAN, 9},            // a chord wider than a ninth gives up its outer note
    {SPLIT_MAX_LOWER_SPAN, 9},            // in either hand
    {SPLIT_LEAP_DOWN, 16},                // a note leaping more than two octaves below its line goes down
    {SPLIT_LEAP_UP, 16},                  // and one leaping as far above goes up
    {SPLIT_BALANCE_SPANS, 0},             // a chord one hand spans keeps its notes, however narrow the other
    {SPLIT_MIN_TARGET_NOTES, 0},          // no count of target notes draws a note without a reason
    {SPLIT_EARLIER_TARGETS, 0},           // a held note of the other hand is not cut for a note
    {SPLIT_JOIN_EMPTIED_RESTS, 0},        // the rest a move leaves stays: the note before keeps its length
    {SPLIT_KEEP_LONGER_TARGET_RESTS, 0},  // a longer rest of the other hand is split: the note keeps its value
    {SPLIT_KEEP_LONGER_TARGET_NOTES, 1},  // a longer note of the other hand is not cut: the note joins its chord
    {SPLIT_LOWEST_KEY, 66},               // no note below F#4 goes up to the right hand
    {SPLIT_HIGHEST_KEY, 60},              // no note above middle C goes down to the left hand
    {SPLIT_SIMPLIFY_RHYTHM, 1},           // the rests a move leaves are joined where they make one value
}};
// clang-format on

constexpr int16_t kLargestFillRest = 4096;
/// Moves at one pair of items before the walk goes on: every move takes a note out of an item of
/// at most twelve, so more than this many means two moves undo each other.
constexpr int32_t kMaxMovesPerPair = 4 * kNInfoSlots;

/// One staff's cell of one measure: its four layers, its table and how far it changed
/// (0 untouched, 1 to be saved, 2 to be tidied and saved).
struct SplitCell {
    LayerArrays layers{};
    ScopedCellLayers lent{layers};
    std::unique_ptr<NInfo> table;
    int32_t measure = 0;
    int32_t level = 0;

    /// Trades what the two cells hold (their guards stay with their own arrays).
    void Swap(SplitCell& other) {
        std::swap(layers, other.layers);
        std::swap(table, other.table);
        std::swap(measure, other.measure);
        std::swap(level, other.level);
    }
};

/// Frees a cell's arrays without saving them.
void Drop(SplitCell& cell) {
    cell.lent.Release();
    cell.table.reset();
    cell.level = 0;
}

/// Tidies, simplifies and saves a changed cell as its level asks, then frees it.
void Finish(SplitCell& cell, bool simplify) {
    if (cell.table != nullptr && cell.level > 1) {
        const EntryArray* any = nullptr;
        for (const EntryArray* array : cell.layers) {
            any = any != nullptr ? any : array;
        }
        if (any != nullptr) {
            const Edu length = MeasureLengthOrDefault(any->staff, static_cast<MeasureNumber>(cell.measure));
            FrameLayersClean(cell.layers, 0, length, false, "");
        }
    }
    if (cell.level > 0) {
        for (EntryArray* array : cell.layers) {
            if (array == nullptr) {
                continue;
            }
            if (simplify) {
                SimplifyRhythmOf(array);
            }
            SaveEntryArray(array);
        }
    }
    Drop(cell);
}

/// Fills a cell's table. Filling moves a note that shares its position with a grace note behind
/// it by one EDU, so that the table reads them as two events; that is for reading only: the
/// entries get their positions back, and a saved cell keeps the note where it is written.
bool Fill(SplitCell& cell) {
    const LayerPositions positions = EntryPositions(cell.layers);
    const bool filled =
        FillNInfo(*cell.table, cell.measure, 0, 0, kNoPosition, cell.layers, "", false, false, false, false);
    RestoreEntryPositions(cell.layers, positions);
    return filled;
}

bool HoldsEntries(const SplitCell& cell) {
    return std::any_of(cell.layers.begin(), cell.layers.end(),
                       [](const EntryArray* array) { return array != nullptr && array->count > 0; });
}

/// An empty staff takes rests in the rhythm of the other staff's items, so that notes can move
/// into it.
bool FillWithRests(const RunEnvironment& environment, SplitCell& cell, const SplitCell& other,
                   const hostapi::SelectionRecord& region, StaffSlot slot) {
    EntryArray* layer1 = cell.layers[0];
    if (layer1 == nullptr) {
        return false;
    }
    const InstrumentKey staff =
        HostOffers(&HostImports::InstrumentOfSlot) ? StaffOfSlot(slot, region.viewKey()) : layer1->staff;
    const Edu end = MeasureLengthOrDefault(staff, static_cast<MeasureNumber>(cell.measure));
    const NInfo& items = *other.table;
    for (int32_t i = 0; i < items.itemCount; ++i) {
        const Edu from = items.items[static_cast<size_t>(i)].position;
        const Edu to = i + 1 < items.itemCount ? items.items[static_cast<size_t>(i) + 1].position : end;
        InsertFillRests(environment, *layer1, to - from, layer1->count, false, false, kLargestFillRest, false, false,
                        -1);
    }
    return Fill(cell);
}

class SmartSplitPoint {
public:
    SmartSplitPoint(TFMisc& context, const hostapi::SelectionRecord& region)
        : m_context(context), m_region(region), m_options(context.Options) {}
    ~SmartSplitPoint() {
        for (SplitCell& cell : m_previous) {
            Drop(cell);
        }
        for (SplitCell& cell : m_current) {
            Drop(cell);
        }
    }
    SmartSplitPoint(const SmartSplitPoint&) = delete;
    SmartSplitPoint& operator=(const SmartSplitPoint&) = delete;

    /// Walks the measures, one step of the progress display each; a stop keeps the measures done.
    bool Run() {
        const int32_t first = m_region.firstMeasure();
        ScopedEditBracket progress(&m_region, m_region.lastMeasure() - first + 1);
        for (int32_t m = first; m <= m_region.lastMeasure(); ++m) {
            if (!progress.Step(0, static_cast<hostapi::MeasureNumber>(m))) {
                break;
            }
            if (!LoadMeasure(m) || !MoveNotes(m)) {
                return false;  // the arrays of this and the previous measure are dropped
            }
            if (m != first) {
                FinishCells(m_previous);
            }
        }
        FinishCells(m_current);
        return true;
    }

private:
    StaffSlot Slot(size_t staff) const {
        return static_cast<StaffSlot>(m_region.firstStaff() + static_cast<int32_t>(staff));
    }

    bool LoadMeasure(int32_t m) {
        m_context.Walk.measure = static_cast<int16_t>(m);
        LoadMeasureSpec(m, m_context.Walk.measureSpec);
        for (size_t s = 0; s < 2; ++s) {
            Drop(m_previous[s]);
            m_previous[s].Swap(m_current[s]);
            SplitCell& cell = m_current[s];
            cell.table = std::make_unique<NInfo>();
            cell.measure = m;
            cell.lent.Load(m_region.viewKey(), static_cast<MeasureNumber>(m), Slot(s));
            if (!Fill(cell)) {
                return false;
            }
        }
        for (size_t s = 0; s < 2; ++s) {
            const SplitCell& other = m_current[1 - s];
            if (!HoldsEntries(m_current[s]) && other.table->itemCount > 0 &&
                !FillWithRests(m_context.Environment, m_current[s], other, m_region, Slot(s))) {
                return false;
            }
        }
        return true;
    }

    bool Refill() { return Fill(m_current[0]) && Fill(m_current[1]); }

    bool InSelection(int32_t m, const NInfoItem& item) const { return MeasureInRange(m, item.position, m_region, 0); }

    /// Moves notes between item i of the first staff and item j of the second while they belong
    /// to the other staff: first downward, then upward. False when a table cannot be filled.
    bool MovePair(int32_t m, int32_t i, int32_t j) {
        SplitCell& upper = m_current[0];
        SplitCell& lower = m_current[1];
        const auto item = [](SplitCell& cell, int32_t n) -> NInfoItem* {
            return n < cell.table->itemCount ? &cell.table->items[static_cast<size_t>(n)] : nullptr;
        };
        const auto last = [](const SplitCell& cell, int32_t n) { return n + 1 >= cell.table->itemCount; };
        for (int32_t moves = 0; moves < kMaxMovesPerPair; ++moves) {
            NInfoItem* a = item(upper, i);
            NInfoItem* b = item(lower, j);
            if (a == nullptr || b == nullptr || !InSelection(m, *a) || b->position > a->position ||
                (!last(lower, j) && a->position >= item(lower, j + 1)->position) || a->noteEntries == 0 ||
                MoveSplitPointNote(m_context, upper.layers, lower.layers, *a, *b, m_options.Downward(), m_ties) == 0) {
                break;
            }
            upper.level = 2;
            lower.level = std::max(lower.level, 1);
            if (!Refill()) {
                return false;
            }
        }
        for (int32_t moves = 0; moves < kMaxMovesPerPair; ++moves) {
            NInfoItem* a = item(upper, i);
            NInfoItem* b = item(lower, j);
            if (a == nullptr || b == nullptr || !InSelection(m, *b) || a->position > b->position ||
                (!last(upper, i) && b->position >= item(upper, i + 1)->position) || b->noteEntries == 0 ||
                MoveSplitPointNote(m_context, lower.layers, upper.layers, *b, *a, m_options.Upward(), m_ties) == 0) {
                break;
            }
            lower.level = 2;
            upper.level = std::max(upper.level, 1);
            if (!Refill()) {
                return false;
            }
        }
        return true;
    }

    bool MoveNotes(int32_t m) {
        for (int32_t i = 0; i < m_current[0].table->itemCount; ++i) {
            for (int32_t j = 0; j < m_current[1].table->itemCount; ++j) {
                if (!MovePair(m, i, j)) {
                    return false;
                }
            }
        }
        return true;
    }

    void FinishCells(std::array<SplitCell, 2>& cells) {
        for (SplitCell& cell : cells) {
            Finish(cell, m_options.simplifyRhythm);
        }
    }

    TFMisc& m_context;
    const hostapi::SelectionRecord m_region;
    const SplitPointOptions m_options;  ///< read once from the rows the run began with
    std::array<SplitCell, 2> m_previous;
    std::array<SplitCell, 2> m_current;
    SplitPointTies m_ties;
};

}  // namespace

bool RunSmartSplitPoint(TFMisc& context) {
    for (const auto& [row, value] : kWorkingRows) {
        context.Options[row].value = value;
    }
    return RunSmartSplitPointOnRows(context);
}

bool RunSmartSplitPointOnRows(TFMisc& context) {
    const hostapi::SelectionRecord* region = context.Environment.Region();
    if (region == nullptr || region->lastStaff() - region->firstStaff() + 1 != 2) {
        ShowMessage(FreeText::SelectMeasuresFromTwoStaves);
        return false;
    }
    SmartSplitPoint command(context, *region);
    return command.Run();
}

}  // namespace orvex
