// Region determination of the part explosion: for one group, which part lies on which staff and
// in which column, measure by measure, and where that changes. The group's measures are cut into
// regions within which every part keeps its source staff and column; staves are added when the
// parts do not fit, the designations are removed when asked, and the parts are renumbered.
#include <algorithm>
#include <numeric>
#include <string>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_regions.h"
#include "core/host/staff_lists.h"
#include "core/host/staff_systems.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "platform/hostapi/music_records.h"
#include "tools/layout/explosion/explosion.h"
#include "tools/layout/process_parts.h"

namespace orvex {

namespace {

using hostapi::kTagCellClef;
constexpr int32_t kFrameSize = 12;

struct ExplosionRegionsUnit {
    /// The measure last warned about a mid-measure part change, process-wide.
    int32_t lastWarnedMeasure = 0;
};

ExplosionRegionsUnit& ExplosionRegionsState() {
    return UnitState<ExplosionRegionsUnit>();
}

/// The working tables of one pass over a region.
struct RegionTables {
    std::array<std::array<int32_t, kPartColumns>, kExplosionStaves> parts{};
    std::array<int32_t, kExplosionStaves> kind{};
    std::array<int32_t, kExplosionStaves> partsPerStaff{};
};

int32_t Available(const ExplosionContext& explosion) {
    return explosion.staffCount - explosion.targetOffset;
}

/// Whether a staff's table holds music: more than one item, or one that is not rests only.
bool TableHoldsItems(const ExplosionContext& explosion, int32_t staff) {
    if (staff < 0 || staff >= kExplosionStaves || !explosion.tables[static_cast<size_t>(staff)]) {
        return false;
    }
    const NInfo& table = *explosion.tables[static_cast<size_t>(staff)];
    return table.itemCount > 1 || (table.itemCount == 1 && table.items[0].restsOnly == 0);
}

void ShowCanceled() {
    ShowMessage({.id = MSG_CANCELED});
}

/// The groups of the system that starts at measure m when it has a staff list of its own.
void GroupsOfSystemAt(const ExplosionContext& explosion, int32_t measure, TGroups& groups) {
    if (!explosion.systems) {
        return;
    }
    for (int32_t n = 0; n < explosion.systems->Count(); ++n) {
        const EDTStaffSystemSpec2001& system = explosion.systems->At(n);
        if (system.firstMeasure() == measure && (system.flags() & hostapi::StaffSystemLayout::kOwnStaffList) != 0) {
            groups.Load(n + 1, false, false, false);
            return;
        }
    }
}

/// The staff just added after place `after` of the score's list also goes into the list of every
/// optimized system that holds the staff before it, right after that staff, so that the part it
/// takes shows in page view.
void AddToOptimizedSystems(const ExplosionContext& explosion, int32_t after) {
    if (!explosion.systems || !explosion.staves) {
        return;
    }
    const int32_t source = explosion.staves->ByNumber(after);
    const int32_t added = explosion.staves->ByNumber(after + 1);
    const int32_t place = explosion.staves->IndexOf(added);
    if (source == 0 || added == 0 || place == 0) {
        return;
    }
    for (int32_t n = 0; n < explosion.systems->Count(); ++n) {
        if ((explosion.systems->At(n).flags() & hostapi::StaffSystemLayout::kOwnStaffList) == 0) {
            continue;
        }
        TInstruments list(n + 1, explosion.systems.get(), false);
        if (list.Contains(source) && !list.Contains(added)) {
            list.InsertStaff(explosion.staves->At(place - 1), source, *explosion.staves);
            list.Save(n + 1);
        }
    }
}

/// Sets part p of the region to staff s, column k.
void PlacePart(TRegionInfo& region, const RegionTables& tables, int32_t p, int32_t s, int32_t k, int32_t& lowest) {
    const int32_t kind = tables.kind[static_cast<size_t>(s)];
    region.sourceStaff[static_cast<size_t>(p)] = s + 1;
    region.sourceColumn[static_cast<size_t>(p)] = k;
    region.firstColumn[static_cast<size_t>(p)] = (k == 0 || k < kind || kind == 0) ? 1 : 0;
    region.insideKind[static_cast<size_t>(p)] = k < kind ? 1 : 0;
    region.highestPartIndex = std::max(region.highestPartIndex, p - 1);
    lowest = std::min(lowest, p);
}

/// Part p lay on another staff of the group in the previous region, which held music.
bool MovedFromOtherStaff(const ExplosionContext& explosion, int32_t p, int32_t s, bool anyItem) {
    if (explosion.regions.empty()) {
        return false;
    }
    const int32_t q = explosion.regions.back().sourceStaff[static_cast<size_t>(p)];
    if (q == 0 || q == s + 1) {
        return false;
    }
    if (anyItem) {
        return q - 1 < kExplosionStaves && explosion.tables[static_cast<size_t>(q - 1)] &&
               explosion.tables[static_cast<size_t>(q - 1)]->itemCount > 0;
    }
    return TableHoldsItems(explosion, q - 1);
}

/// The split position moved back to a clean place, or forward to the next one below `limit`.
Edu CleanSplit(std::span<const LayerArrays> cells, Edu split, Edu limit) {
    while (split > 0 && !EventPositionQuery4(cells, split)) {
        const Edu earlier = EventPositionQuery3(cells, split);
        if (!EventPositionQuery5(cells, earlier)) {
            break;
        }
        split = earlier;
    }
    if (!EventPositionQuery4(cells, split)) {
        for (Edu next = NextEventPosition(cells, split); next < limit; next = NextEventPosition(cells, next)) {
            if (EventPositionQuery4(cells, next)) {
                return next;
            }
        }
    }
    return split;
}

/// The consistency check of a measure against the region's tables; answers false on a
/// conflict, with the region's last measure and split position set.
bool EnterMeasure(ExplosionContext& explosion, RegionTables& tables, std::array<int32_t, kExplosionStaves>& newParts,
                  int32_t& newSum, int32_t m, int32_t regionFirst, int32_t& last, Edu& split, int32_t& lowest) {
    const int32_t staves = explosion.initialStaffCount;
    for (int32_t s = 0; s < staves; ++s) {
        const NInfo& table = *explosion.tables[static_cast<size_t>(s)];
        std::array<int8_t, kPartColumns> descendingAtFirst{};
        for (int32_t j = 0; j < table.itemCount; ++j) {
            const NInfoItem& item = table.items[static_cast<size_t>(j)];
            for (int32_t k = 0; k < std::min<int32_t>(item.usedSlots, kPartColumns); ++k) {
                const int32_t p = item.slots[static_cast<size_t>(k)].part;
                const int32_t kind = item.slots[static_cast<size_t>(k)].partKind;
                const int32_t held = tables.parts[static_cast<size_t>(s)][static_cast<size_t>(k)];
                const bool descending = k >= 1 && p != 0 && item.slots[static_cast<size_t>(k - 1)].part > p;
                if (j == 0) {
                    descendingAtFirst[static_cast<size_t>(k)] = descending ? 1 : 0;
                }
                const bool conflict =
                    (descending && ((m > regionFirst && held != p) ||
                                    (j >= 1 && descendingAtFirst[static_cast<size_t>(k)] != (descending ? 1 : 0)))) ||
                    (p != 0 && held != 0 && held != p) ||
                    (kind != 0 &&
                     ((tables.kind[static_cast<size_t>(s)] != 0 && tables.kind[static_cast<size_t>(s)] != kind) ||
                      tables.partsPerStaff[static_cast<size_t>(s)] > kind));
                if (conflict) {
                    if (j == 0) {
                        last = m - 1;
                    } else {
                        last = m;
                        split = item.position;
                        tables.partsPerStaff = newParts;
                    }
                    return false;
                }
            }
        }
    }
    // Without conflict every item before the split enters the tables.
    int32_t tuttiStaff = -1;
    for (int32_t s = 0; s < staves; ++s) {
        const NInfo& table = *explosion.tables[static_cast<size_t>(s)];
        for (int32_t j = 0; j < table.itemCount && table.items[static_cast<size_t>(j)].position < split; ++j) {
            const NInfoItem& item = table.items[static_cast<size_t>(j)];
            for (int32_t k = 0; k < std::min<int32_t>(item.usedSlots, kPartColumns); ++k) {
                const int32_t p = item.slots[static_cast<size_t>(k)].part;
                const int32_t kind = item.slots[static_cast<size_t>(k)].partKind;
                int32_t& held = tables.parts[static_cast<size_t>(s)][static_cast<size_t>(k)];
                if (p != 0 && held == 0) {
                    bool elsewhere = false;
                    for (const auto& row : tables.parts) {
                        elsewhere = elsewhere || std::find(row.begin(), row.end(), p) != row.end();
                    }
                    if (!elsewhere) {
                        held = p;
                        lowest = std::min(lowest, p);
                    } else {
                        split = item.position;
                    }
                } else if (p != 0 && held != p) {
                    split = item.position;
                }
                int32_t& staffKind = tables.kind[static_cast<size_t>(s)];
                if (kind != 0) {
                    if (staffKind == 0 || staffKind == kind) {
                        staffKind = kind;
                    } else {
                        split = item.position;
                    }
                }
                if (staffKind == kKindTutti && tuttiStaff < 0 && item.position < split) {
                    tuttiStaff = s;
                }
            }
        }
    }
    for (int32_t s = 0; s < staves; ++s) {
        const int32_t kind = tables.kind[static_cast<size_t>(s)];
        if (kind == kKindTutti) {
            continue;
        }
        int32_t& parts = newParts[static_cast<size_t>(s)];
        if (kind > parts) {
            newSum += kind - parts;
            parts = kind;
        }
        if (Available(explosion) < newSum && m > regionFirst) {
            last = m - 1;
            return false;
        }
    }
    if (newSum < Available(explosion) && tuttiStaff >= 0) {
        newParts[static_cast<size_t>(tuttiStaff)] += Available(explosion) - newSum;
    }
    tables.partsPerStaff = newParts;
    return true;
}

/// The deletion walk: the designations of the processed region leave the document.
void DeletePartSpecifications(ExplosionContext& explosion) {
    const hostapi::SelectionRecord& region = explosion.processedRegion;
    const int32_t first = region.firstMeasure();
    const int32_t last = region.lastMeasure();
    ScopedEditBracket bracket(&region, last - first + 1);
    for (int32_t m = first; m <= last; ++m) {
        if (!bracket.Step(0, static_cast<MeasureNumber>(m))) {
            bracket.End(true);
            return;
        }
        const Edu from = m == first ? region.startEdu() : 0;
        const Edu to = m == last && region.endEdu() != 0 ? region.endEdu() : kNoPosition;
        for (int32_t s = 0; s < explosion.initialStaffCount; ++s) {
            LayerArrays layers{};
            ScopedCellLayers lent(layers);
            lent.Load(explosion.regionCopy.viewKey(), static_cast<MeasureNumber>(m),
                      static_cast<StaffSlot>(explosion.firstStaffSlot + s));
            NInfo& table = *explosion.tables[static_cast<size_t>(s)];
            int32_t smallest = kNoPosition;
            if (FillExplosionTable(explosion, table, m, from, to, layers)) {
                BuildPartAssignments(explosion, m, s, layers, false, from, to, smallest, nullptr);
                BuildPartAssignments(explosion, m, s, layers, true, from, to, smallest, nullptr);
            }
        }
    }
}

/// Adds staves below the group, inside an edit bracket of their own, each also into the optimized
/// systems that hold the staff above it. False, with the user told and the explosion stopped,
/// when the host adds none.
bool AddGroupStaves(ExplosionContext& explosion, int32_t adding) {
    ScopedEditBracket bracket(&explosion.processedRegion, std::max(adding, 1));
    for (int32_t n = 0; n < adding; ++n) {
        bracket.Step(0, 0);
        const int32_t after = explosion.firstStaffSlot + explosion.staffCount - 1 + n;
        if (!explosion.staves || !explosion.staves->AddStaff(after, false)) {
            // Without a new staff the parts can never fit: stop rather than ask again.
            bracket.End(true);
            ShowCanceled();
            explosion.stop = 1;
            return false;
        }
        explosion.Context().ListsChanged = 1;
        AddToOptimizedSystems(explosion, after);
        if (explosion.groupMode == 0 && explosion.groupIndex + 1 < static_cast<int32_t>(explosion.selection.size())) {
            explosion.selection.insert(explosion.selection.begin() + explosion.groupIndex + 1, 0);
        }
        explosion.processedRegion.setLastStaff(
            static_cast<hostapi::StaffSlot>(explosion.processedRegion.lastStaff() + 1));
    }
    bracket.End(false);  // every staff the parts need was added, whatever the user chose
    return true;
}

/// Parts L and above become parts 1 and above in every region.
void RenumberParts(ExplosionContext& explosion, int32_t lowest) {
    const auto shift = static_cast<size_t>(lowest - 1);
    for (TRegionInfo& region : explosion.regions) {
        for (size_t p = 1; p + shift <= static_cast<size_t>(kExplosionParts + 1); ++p) {
            region.sourceColumn[p] = region.sourceColumn[p + shift];
            region.firstColumn[p] = region.firstColumn[p + shift];
            region.insideKind[p] = region.insideKind[p + shift];
            region.sourceStaff[p] =
                p + shift <= static_cast<size_t>(kExplosionParts) ? region.sourceStaff[p + shift] : 0;
        }
        region.sourceStaff[static_cast<size_t>(kExplosionParts + 1) - shift] = 0;
        region.sourceColumn[static_cast<size_t>(kExplosionParts + 1)] = 0;
        region.highestPartIndex -= lowest - 1;
    }
}

}  // namespace

bool FillExplosionTable(ExplosionContext& explosion, NInfo& table, int32_t measure, Edu from, Edu to,
                        const LayerArrays& layers) {
    const TFMisc& context = explosion.Context();
    return FillNInfo(table, measure, 0, from, to, layers, RowText(context.Options, kOptIgnoreLayers),
                     RowOn(context.MoreOptions, MORE_PARTS_VOICE_ORDER),
                     RowOn(context.MoreOptions, MORE_PARTS_LAYER_ORDER),
                     RowOn(context.MoreOptions, MORE_PARTS_MID_MEASURE_CHANGES),
                     RowOn(context.MoreOptions, MORE_PARTS_IGNORE_HIDDEN));
}

bool MeasureHasFrames(const ExplosionContext& explosion, int32_t measure) {
    for (int32_t s = 0; s < explosion.staffCount; ++s) {
        const int32_t staff = explosion.staves ? explosion.staves->ByNumber(explosion.firstStaffSlot + s) : 0;
        std::array<uint8_t, kFrameSize> frame{};
        if (LoadWholeDetailRecord(kTagCellClef, staff, measure, frame.data(), kFrameSize, 0) &&
            std::any_of(frame.begin(), frame.end(), [](uint8_t b) { return b != 0; })) {
            return true;
        }
        // The host keeps a cell's music in its entry arrays: a cell with entries is framed too.
        for (int32_t layer = 0; layer < 4; ++layer) {
            if (LayerHoldsEntries(explosion.regionCopy.viewKey(), static_cast<StaffSlot>(explosion.firstStaffSlot + s),
                                  static_cast<MeasureNumber>(measure), static_cast<LayerIndex>(layer), 0)) {
                return true;
            }
        }
    }
    return false;
}

void WarnMidMeasurePartChange(int32_t measure) {
    if (measure == ExplosionRegionsState().lastWarnedMeasure) {
        return;
    }
    ExplosionRegionsState().lastWarnedMeasure = measure;
    ShowMessage(FreeText::WarningCannotHandleSpecialCase, {std::to_string(measure)});
}

namespace {

/// What the staves of one measure tell about its parts.
struct MeasureParts {
    int32_t highest = 0;             ///< the highest part number assigned
    int32_t smallest = kNoPosition;  ///< the lowest part number assigned
    int32_t slots = 0;               ///< the slots of the staves' tables together
};

/// Loads the cells of measure m on the group's staves, fills their tables and assigns their
/// parts. False when a table could not be filled.
bool ReadMeasureParts(ExplosionContext& explosion, ScopedCellLayers& cells, int32_t m, Edu readFrom, Edu split,
                      TGroups& groups, MeasureParts& read) {
    const auto staves = static_cast<int32_t>(cells.CellCount());
    for (int32_t s = 0; s < staves; ++s) {
        cells.Load(explosion.regionCopy.viewKey(), static_cast<MeasureNumber>(m),
                   static_cast<StaffSlot>(explosion.firstStaffSlot + s), "", static_cast<size_t>(s));
        LayerArrays& layers = cells.Cell(static_cast<size_t>(s));
        NInfo& table = *explosion.tables[static_cast<size_t>(s)];
        if (!FillExplosionTable(explosion, table, m, readFrom, split, layers)) {
            return false;
        }
        read.highest = std::max(read.highest, BuildPartAssignments(explosion, m, s, layers, false, readFrom, split,
                                                                   read.smallest, &groups));
        read.slots += table.slotCount;
    }
    return true;
}

/// The parts each staff needs with this measure (the more of before and now), their sum and the
/// sum before.
void GrownParts(const ExplosionContext& explosion, const RegionTables& tables, int32_t staves,
                std::array<int32_t, kExplosionStaves>& newParts, int32_t& newSum, int32_t& oldSum) {
    for (int32_t s = 0; s < staves; ++s) {
        const int32_t had = tables.partsPerStaff[static_cast<size_t>(s)];
        newParts[static_cast<size_t>(s)] = std::max(had, explosion.tables[static_cast<size_t>(s)]->slotCount);
        newSum += newParts[static_cast<size_t>(s)];
        oldSum += had;
    }
}

/// The region's record: every part of the tables on its staff and column, then the columns
/// without a part given the free part numbers in order. A part that changes staff within a
/// measure is warned about.
void PlaceRegionParts(const ExplosionContext& explosion, const RegionTables& tables, int32_t staves, Edu regionStart,
                      int32_t regionFirst, int32_t& lowestPart, TRegionInfo& record) {
    for (int32_t s = 0; s < staves; ++s) {
        for (int32_t k = 0; k < kPartColumns; ++k) {
            const int32_t p = tables.parts[static_cast<size_t>(s)][static_cast<size_t>(k)];
            if (p < 1 || p > kExplosionParts) {
                continue;
            }
            if (regionStart != 0 && MovedFromOtherStaff(explosion, p, s, false)) {
                WarnMidMeasurePartChange(regionFirst);
            }
            PlacePart(record, tables, p, s, k, lowestPart);
        }
    }
    for (int32_t s = 0; s < staves; ++s) {
        const int32_t columns = std::min(tables.partsPerStaff[static_cast<size_t>(s)], kPartColumns);
        for (int32_t k = 0; k < columns; ++k) {
            if (tables.parts[static_cast<size_t>(s)][static_cast<size_t>(k)] != 0) {
                continue;
            }
            int32_t p = 1;
            while (p <= kExplosionParts && record.sourceStaff[static_cast<size_t>(p)] != 0) {
                ++p;
            }
            if (p > kExplosionParts) {
                break;
            }
            if (regionStart != 0 && MovedFromOtherStaff(explosion, p, s, true)) {
                WarnMidMeasurePartChange(regionFirst);
            }
            PlacePart(record, tables, p, s, k, lowestPart);
        }
    }
}

/// Whether a part of the record would go to a staff above its own, which the explosion into the
/// group's own staves cannot do; says so to the user.
bool MovesPartsUpward(const TRegionInfo& record, int32_t m) {
    for (int32_t p = 1; p <= record.highestPartIndex + 1 && p <= kExplosionParts; ++p) {
        if (record.sourceStaff[static_cast<size_t>(p)] - 1 > p - 1) {
            ShowMessage(FreeText::ExplodingUpwardNotSupported, {std::to_string(m)});
            return true;
        }
    }
    return false;
}

/// A region that would end before it starts: the part designations are not precise enough.
void ShowPreparationError() {
    ShowMessage(FreeText::ErrorOccurredWhilePreparingDistribution);
}

/// Steps the progress display for a measure read the first time: a measure that closes a region
/// is read again for the next one, and counts once. False when the user stopped.
bool StepMeasureOnce(ScopedEditBracket& bracket, int32_t measure, int32_t& counted) {
    if (measure <= counted) {
        return true;
    }
    counted = measure;
    return bracket.Step(0, static_cast<MeasureNumber>(measure));
}

/// How the determination of a region ended.
enum class RegionEnd {
    Closed,       ///< its record is kept; the next region starts where it ends
    Stopped,      ///< the user stopped or the parts cannot be distributed: the pass answers false
    NeedsStaves,  ///< the parts do not fit the staves: more staves, then the pass starts again
};

/// How reading a measure into the tables of its region ended.
enum class MeasureEnd {
    RegionGoesOn,  ///< the next measure belongs to the region too
    RegionEnds,    ///< the region ends in or before the measure
    Failed,        ///< a table could not be filled
    NeedsStaves,   ///< the measure holds more parts than the staves do
};

/// The region determination's walk over the group's measures: where the next region starts and
/// what the regions so far found.
struct RegionScan {
    hostapi::SelectionRecord region;  ///< the processed region as the pass began
    int32_t firstMeasure = 0;
    int32_t lastMeasure = 0;
    int32_t staves = 0;  ///< the group's staves that have a table
    TGroups groups;      ///< of the system being read, when it has a staff list of its own
    int32_t lowestPart = kNoPosition;
    int32_t mostParts = 0;
    int32_t regionFirst = 0;  ///< where the next region starts: its measure
    Edu readFrom = 0;         ///< and the position in it
    int32_t counted = 0;      ///< the last measure the progress display counted
    int32_t neededParts = 0;  ///< with NeedsStaves: the parts the staves must take
    int32_t neededAt = 0;     ///< and the measure that needs them
};

/// Reads measure m of the region that starts at scan.regionFirst into the region's tables; the cells of
/// the measure are lent for the reading only. With RegionEnds, `last` and `split` say where the
/// region ends: in measure `last`, at `split` (kNoPosition: at its end).
MeasureEnd ReadRegionMeasure(ExplosionContext& explosion, RegionScan& scan, RegionTables& tables, int32_t m,
                             int32_t& last, Edu& split) {
    const Edu endLimit = split;
    GroupsOfSystemAt(explosion, m, scan.groups);
    std::vector<LayerArrays> cells(static_cast<size_t>(scan.staves));
    ScopedCellLayers lent(cells);
    MeasureParts read;
    if (!ReadMeasureParts(explosion, lent, m, scan.readFrom, split, scan.groups, read)) {
        return MeasureEnd::Failed;
    }
    int32_t highest = read.highest;
    int32_t smallest = read.smallest;
    const int32_t slots = read.slots;
    smallest = std::max(std::min(smallest, scan.lowestPart), 1);
    if (smallest != kNoPosition) {
        highest -= smallest - 1;
    }
    const int32_t needed = std::max(slots, highest);
    const int32_t span = highest - smallest + 1;
    if (Available(explosion) < needed || Available(explosion) < span) {
        // Room for the span too, so that the staves grow.
        scan.neededParts = std::max(needed, span);
        scan.neededAt = m;
        return MeasureEnd::NeedsStaves;
    }
    std::array<int32_t, kExplosionStaves> newParts{};
    int32_t newSum = 0;
    int32_t oldSum = 0;
    GrownParts(explosion, tables, scan.staves, newParts, newSum, oldSum);
    const bool grew = oldSum < newSum && Available(explosion) - slots + 1 < tables.parts[0][0];
    bool ends = Available(explosion) < newSum || m == scan.lastMeasure || grew;
    last = Available(explosion) < newSum || grew ? m - 1 : m;
    if (!ends || last == m) {
        if (!EnterMeasure(explosion, tables, newParts, newSum, m, scan.regionFirst, last, split, scan.lowestPart)) {
            ends = true;
        }
    }
    if (last < m) {
        // The region closes before this measure, which the next region reads again.
        split = kNoPosition;
    }
    if (split < kNoPosition) {
        split = CleanSplit(cells, split, endLimit);
        // A split at or before the region's start would not move on.
        if (split <= scan.readFrom) {
            split = kNoPosition;
        }
    }
    if (split < kNoPosition) {
        ends = true;
    }
    return ends ? MeasureEnd::RegionEnds : MeasureEnd::RegionGoesOn;
}

/// Keeps the record of a region that ends in measure `last` at `split` (read up to measure m)
/// and moves the scan on to where the next one starts.
RegionEnd CloseRegion(ExplosionContext& explosion, RegionScan& scan, ScopedEditBracket& bracket,
                      const RegionTables& tables, Edu regionStart, int32_t m, int32_t last, Edu split) {
    const int32_t total = std::accumulate(tables.partsPerStaff.begin(), tables.partsPerStaff.begin() + scan.staves, 0);
    if ((Available(explosion) < total && scan.lowestPart == kNoPosition) ||
        (scan.lowestPart != kNoPosition && Available(explosion) < total - scan.lowestPart + 1)) {
        scan.neededParts = total;
        scan.neededAt = last;
        return RegionEnd::NeedsStaves;
    }
    TRegionInfo record;
    PlaceRegionParts(explosion, tables, scan.staves, regionStart, scan.regionFirst, scan.lowestPart, record);
    if (explosion.targetOffset == 0 && MovesPartsUpward(record, m)) {
        bracket.End(true);
        return RegionEnd::Stopped;
    }
    record.firstMeasure = scan.regionFirst;
    record.lastMeasure = last;
    record.startPosition = regionStart;
    record.endPosition = split;
    if (total != 0) {
        explosion.regions.push_back(record);
    }
    scan.mostParts = std::max(scan.mostParts, record.highestPartIndex);
    if (last < scan.regionFirst) {
        // Told before the bracket ends, which it does as done.
        explosion.stop = 1;
        ShowPreparationError();
        return RegionEnd::Stopped;
    }
    scan.regionFirst = split == kNoPosition ? last + 1 : last;
    scan.readFrom = split == kNoPosition ? 0 : split;
    return RegionEnd::Closed;
}

/// One region: its measures from scan.regionFirst on, read one after the other until it ends.
RegionEnd ScanRegion(ExplosionContext& explosion, RegionScan& scan, ScopedEditBracket& bracket) {
    RegionTables tables;
    Edu regionStart = scan.readFrom;
    for (int32_t m = scan.regionFirst;; ++m) {
        if (!StepMeasureOnce(bracket, m, scan.counted)) {
            // The user stopped: nothing is distributed.
            bracket.End(true);
            explosion.stop = 1;
            return RegionEnd::Stopped;
        }
        Edu split = kNoPosition;
        if (m == scan.firstMeasure) {
            scan.readFrom = std::max(scan.readFrom, scan.region.startEdu());
            regionStart = std::max(regionStart, scan.readFrom);
        }
        if (m == scan.lastMeasure && scan.region.endEdu() != 0 && scan.region.endEdu() != kNoPosition) {
            split = scan.region.endEdu();
        }
        if (m != scan.lastMeasure && !MeasureHasFrames(explosion, m)) {
            scan.readFrom = 0;
            continue;
        }
        int32_t last = m;
        switch (ReadRegionMeasure(explosion, scan, tables, m, last, split)) {
            case MeasureEnd::RegionGoesOn:
                scan.readFrom = 0;
                continue;
            case MeasureEnd::RegionEnds:
                return CloseRegion(explosion, scan, bracket, tables, regionStart, m, last, split);
            case MeasureEnd::Failed:
                bracket.End(true);
                explosion.stop = 1;
                return RegionEnd::Stopped;
            case MeasureEnd::NeedsStaves:
                return RegionEnd::NeedsStaves;
        }
    }
}

/// The regions of the group, one after the other, inside the edit bracket of the determination:
/// it ends when the determination does, as stopped where a region says so.
RegionEnd DetermineRegions(ExplosionContext& explosion, RegionScan& scan) {
    ScopedEditBracket bracket(&scan.region, scan.lastMeasure - scan.firstMeasure + 1);
    scan.groups.Load(0, false, false, false);
    while (scan.regionFirst <= scan.lastMeasure) {
        const RegionEnd end = ScanRegion(explosion, scan, bracket);
        if (end != RegionEnd::Closed) {
            return end;
        }
    }
    return RegionEnd::Closed;
}

}  // namespace

bool ExplodePartsMainPass(ExplosionContext& explosion) {
    TFMisc& context = explosion.Context();
    SetProgressText(context, FreeText::ProgressCheckingStaves);
    if (RowOn(explosion.Context().Options, kOptLeaveOriginals) && explosion.staffCount == explosion.initialStaffCount) {
        return CheckStaveCounts(explosion, 2 * explosion.staffCount, 1, true);
    }
    explosion.regions.clear();
    ExplosionRegionsState().lastWarnedMeasure = 0;
    SetProgressText(context, FreeText::ProgressDeterminingRegions);
    RegionScan scan;
    scan.region = explosion.processedRegion;
    scan.firstMeasure = scan.region.firstMeasure();
    scan.lastMeasure = scan.region.lastMeasure();
    scan.staves = std::min(explosion.initialStaffCount, kExplosionStaves);
    scan.regionFirst = scan.firstMeasure;
    scan.counted = scan.firstMeasure - 1;
    switch (DetermineRegions(explosion, scan)) {
        case RegionEnd::Closed:
            break;
        case RegionEnd::Stopped:
            return false;
        case RegionEnd::NeedsStaves:
            return CheckStaveCounts(explosion, scan.neededParts, scan.neededAt, false);
    }

    SetProgressText(context, FreeText::ProgressDeletingPartDesignations);
    if (RowOn(explosion.Context().Options, kOptRemovePartNumbers) ||
        RowOn(explosion.Context().Options, kOptRemoveKinds)) {
        DeletePartSpecifications(explosion);
    }
    SetProgressText(context, FreeText::ProgressOptimizingRegions);
    if (scan.lowestPart != kNoPosition && scan.lowestPart > 1 && Available(explosion) - 1 < scan.mostParts) {
        RenumberParts(explosion, scan.lowestPart);
    }
    return true;
}

bool CheckStaveCounts(ExplosionContext& explosion, int32_t needed, int32_t measure, bool noQuestion) {
    const int32_t original = explosion.initialStaffCount;
    const int32_t perStaff = RowValue(explosion.Context().Options, kOptMaxPartsPerStaff);
    const bool create = RowOn(explosion.Context().Options, kOptCreateStaves);
    const int32_t staffList = explosion.staves ? explosion.staves->Count() : 0;
    if (needed <= Available(explosion) || explosion.targetOffset + needed > kExplosionStaves) {
        // Staves that cannot be added, or none that would help: asking again would never end.
        ShowMessage(FreeText::InstrumentalGroupFoundWithMore, {std::to_string(kExplosionStaves)});
        ShowCanceled();
        explosion.stop = 1;
        return false;
    }
    bool ok = false;
    if (explosion.groupMode == 0 && !create && needed <= perStaff * original) {
        const int32_t wanted = needed + explosion.targetOffset;
        const int32_t there = staffList - explosion.firstStaffSlot + 1;
        ok = there >= wanted;
        const int32_t count = std::min(wanted, there);
        const int32_t change = count - explosion.staffCount;
        explosion.processedRegion.setLastStaff(
            static_cast<hostapi::StaffSlot>(explosion.processedRegion.lastStaff() + change));
        explosion.staffCount = count;
    }
    if (!ok) {
        const int32_t available = Available(explosion);
        if (!noQuestion && (!create || perStaff * original < needed)) {
            const std::string instead = create
                                            ? EnglishText(FreeText::AtMostStaves, {std::to_string(perStaff * original)})
                                            : std::to_string(available);
            if (Ask(FreeText::MeasureHasMoreParts, {std::to_string(measure), std::to_string(needed), instead}) !=
                Answer::Yes) {
                ShowCanceled();
                explosion.stop = 1;
                return false;
            }
        }
        if (!AddGroupStaves(explosion, needed - Available(explosion))) {
            return false;
        }
    }
    SetUpInstrumentGroup(explosion, explosion.processedRegion);
    if (explosion.targetOffset == 0 && RowOn(explosion.Context().Options, kOptLeaveOriginals) &&
        needed == 2 * original) {
        explosion.targetOffset = original;
    }
    return ExplodePartsMainPass(explosion);
}

}  // namespace orvex
