// The staff-system primitives that the system layout commands share, and "Split Staff System...".
//
// The commands work on a copy of the document's staff systems (`SystemLayout`) that grows and
// shrinks as systems are split, joined and removed, and write single records back. A system's
// optimization, its staff list ('SOIu' list k) and its staff groups ('SDNG' list k), is stored
// by system number, so whenever systems change their numbers the optimizations are copied
// along (`SystemOptimization`). The width list holds the stored widths of a run of measures, over
// which the balancing moves measures between neighbouring systems until their widths come close
// to the run's average.
#pragma once

#include "core/host/document_writes.h"

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "core/host/finxess_records.h"
#include "core/host/staff_systems.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/records.h"

namespace orvex {

struct TFMisc;

/// 'O\x02XI' other (first measure, 0), 24 bytes: a multimeasure rest.
using hostapi::kTagMultimeasureRest;
struct MultimeasureRestLayout {
    static constexpr size_t kSize = 24;
    static constexpr size_t kWidth = 0;       ///< @0, i16, EVPU
    static constexpr size_t kEndMeasure = 2;  ///< @2, i16, the measure after the rest's last measure
};

/// The document's last measure, as the whole-document region of the running command names it.
int32_t DocumentLastMeasure();

/// The staff systems of the document as a command changes them; system k (1-based) is record
/// k - 1. Nothing reaches the document but through Save, SaveFrom, Lock and DeleteStored.
class SystemLayout {
public:
    explicit SystemLayout(const TStaffSystems& systems);

    int32_t Count() const { return static_cast<int32_t>(m_records.size()); }
    /// System k; throws std::out_of_range outside the list.
    EDTStaffSystemSpec2001& System(int32_t k) { return m_records.at(static_cast<size_t>(k - 1)); }
    const EDTStaffSystemSpec2001& System(int32_t k) const { return m_records.at(static_cast<size_t>(k - 1)); }
    int32_t First(int32_t k) const { return System(k).firstMeasure(); }
    int32_t End(int32_t k) const { return System(k).endMeasure(); }
    void SetFirst(int32_t k, int32_t measure) { System(k).setFirstMeasure(static_cast<int16_t>(measure)); }
    void SetEnd(int32_t k, int32_t measure) { System(k).setEndMeasure(static_cast<int16_t>(measure)); }
    /// The first measure of the system after k; after the last system, the measure after the
    /// document's last measure (the last system's end measure when the document's is unknown).
    int32_t NextFirst(int32_t k) const;
    /// NextFirst(k) - First(k).
    int32_t MeasureCount(int32_t k) const { return NextFirst(k) - First(k); }
    /// The system that holds the measure (the last one takes every measure from its first on);
    /// 0 when none.
    int32_t SystemOf(int32_t measure) const;

    /// A copy of system k becomes system k + 1; the later systems move up by one.
    void InsertCopyAfter(int32_t k);
    /// System k leaves the list; the later systems move down by one.
    void Remove(int32_t k);

    /// Writes system k back as the stored staff system record k.
    bool Save(int32_t k) const;
    /// Saves every system from k to the last.
    void SaveFrom(int32_t k) const;
    /// Unlocks the measures of system k after its first ('otFM' deleted) and, with `lock`, locks
    /// the system: 'otFM' (first measure, 0) holds its end measure, so that the host's layout
    /// update keeps it together.
    bool Lock(int32_t k, bool lock) const;
    /// Deletes the stored system records after the last system of the list, up to system `upTo`.
    void DeleteStored(int32_t upTo) const;
    /// Deletes the optimizations (staff lists and groups) of the systems after the last one, up
    /// to system `upTo`, once the later optimizations have moved up: no list stays behind for a
    /// system the document no longer has, to be taken over by a later system of that number.
    void DeleteStoredOptimizations(int32_t upTo) const;

private:
    std::vector<EDTStaffSystemSpec2001> m_records;
    int32_t m_documentEnd = 0;  ///< the measure after the document's last, 0 when unknown
};

/// A system's optimization as stored: its staff list entries and its staff groups. From host
/// year 2001 the list's positions are stored relative to an anchor, the top staff offset of the
/// system record that the list belongs with; where the records move along with the lists the
/// anchors move with them, and where a list goes to another record the anchor goes along.
class SystemOptimization {
public:
    /// Loads the optimization of system k, whose list lies relative to `anchor`.
    explicit SystemOptimization(int32_t k, int16_t anchor = 0);
    /// No list and no groups: saved as system k's, it deletes that system's optimization.
    SystemOptimization() = default;

    /// Makes it the optimization of system k: its list entries are overwritten and its surplus
    /// entries deleted, its groups become these groups (the others are deleted).
    void SaveAs(int32_t k) const;
    /// From host year 2001, with a staff list: the record's top staff offset becomes the list's
    /// anchor. Answers whether the record changed.
    bool Anchor(EDTStaffSystemSpec2001& record) const;

private:
    std::vector<InstrumentUsageRecord> m_staves;
    std::vector<std::pair<int16_t, StaffGroupRecord>> m_groups;  ///< group number and record
    int16_t m_anchor = 0;
};

/// The optimization of system `from` becomes that of system `to`, where the record of system
/// `to` is the one the optimization belonged with.
void CopyOptimization(int32_t from, int32_t to);

/// The stored widths of a run of measures from a base measure on, one per measure (EVPU).
struct WidthList {
    int32_t base = 0;
    std::vector<int32_t> widths;

    /// The width of measure m, 0 outside the list.
    int32_t At(int32_t measure) const;
};

/// Fills the width list from the first to the last measure: a multimeasure rest counts its
/// width at its first measure and 0 at every further measure (the run reaches to the rest's last
/// measure when that lies beyond). False when a measure record is missing.
bool BuildMeasureGroupList(WidthList& list, int32_t first, int32_t last);

/// The width of system k over the list, its start moved by `startChange` and its end by
/// `endChange` measures (+1 and -1 give the width with a measure more or less at that end).
int32_t SystemWidth(const SystemLayout& layout, int32_t k, int32_t startChange, int32_t endChange,
                    const WidthList& list);

/// Moves measures between neighbouring systems from `first` to `last` until their widths come
/// close to their average, saving what moved and locking each system with `lock`. Answers
/// whether any measure moved.
bool BalanceSystems(int32_t first, int32_t last, SystemLayout& layout, const WidthList& list, bool lock,
                    const hostapi::SelectionRecord* region);

/// Splits the system that holds the selection into `parts` systems, moving the optimizations of
/// the later systems along and giving the new systems the split system's optimization; with
/// `redistribute` the new systems are balanced and the host lays the document out again.
/// Messages go to the context's owner window.
bool SplitStaffSystem(TFMisc& context, int32_t parts, SystemLayout& layout, const hostapi::SelectionRecord& selection,
                      bool redistribute);

}  // namespace orvex
