// Finxess over regions and record sets: the region walk inside the host's edit bracket
// (its progress display, which the user may stop), the cursor over an entry's per-note 'edac'
// records, copying a staff's clefs, the four staff-membership lists, the bulk deletion of
// 'otDI' records, whether a measure carries an expression shown on a staff, and the staff record
// of a cell ('SOSC'). A failed load counts as an absent record: the services go on or give
// their neutral answer.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/types.h"

namespace orvex {

using hostapi::Edu;
using hostapi::EntryArray;
using hostapi::InstrumentKey;
using hostapi::LayerIndex;
using hostapi::MeasureNumber;
using hostapi::StaffSlot;

// ---- Edit bracket (the host's progress display, services 53, 55, 54) ----
/// Begins the bracket for a region (or none) and a number of steps; the handle (0 = none,
/// which the other two accept).
int32_t EditBracketBegin(const hostapi::SelectionRecord* region, int32_t steps);
/// One step (or `steps`: 0 tells the host of a measure the display does not count); false when the
/// host asks the work to stop.
bool EditBracketStep(int32_t handle, InstrumentKey instrumentOrZero, MeasureNumber measureOrZero, int32_t steps = 1);
void EditBracketEnd(int32_t handle, bool stopped);

/// The edit bracket held for a scope: begun when made and ended when the guard goes, unless End
/// ended it before. The guard ends it as stopped when the host answered a step with stop or an
/// exception leaves the scope, else as done; End ends it now, as the code says (the work failed,
/// or goes on whatever the user chose). Once the host answered a step with stop, later steps
/// answer false without asking it again.
class ScopedEditBracket {
public:
    ScopedEditBracket(const hostapi::SelectionRecord* region, int32_t steps);
    ~ScopedEditBracket();
    ScopedEditBracket(const ScopedEditBracket&) = delete;
    ScopedEditBracket& operator=(const ScopedEditBracket&) = delete;

    /// The host's handle of the display (0 = none), for work that steps it by handle.
    int32_t Handle() const { return m_handle; }
    /// One step (EditBracketStep); false when the user stopped the work.
    bool Step(InstrumentKey instrumentOrZero = 0, MeasureNumber measureOrZero = 0, int32_t steps = 1);
    /// Whether the host answered a step with stop.
    bool Stopped() const { return m_stopped; }
    /// Ends the bracket now; later ends (and the guard's) do nothing.
    void End(bool stopped);
    /// Ends the bracket now, as stopped when a step was answered with stop.
    void End() { End(m_stopped); }

private:
    int32_t m_handle = 0;
    bool m_open = true;
    bool m_stopped = false;
    int m_exceptions = 0;  ///< the exceptions in flight when the bracket began
};

// ---- Region walk ----
/// Where a region walk is.
struct RegionWalkState {
    hostapi::SelectionRecord region;
    MeasureNumber measure = 0;
    StaffSlot staff = 0;
    InstrumentKey instrument = 0;  ///< of the current staff (service 18)
    LayerIndex layer = 0;
    bool stopped = false;  ///< the user stopped the walk
};
/// Called for each entry of the region; it may change the entry's bytes (and save the array)
/// but not the number of entries.
using RegionEntryVisitor = std::function<void(RegionWalkState& state, EntryArray& array, int32_t index)>;
/// The end position of a region's last measure: its end position, where 0 (like 0x7FFFFFFF)
/// means the end of the measure.
Edu RegionEndPosition(const hostapi::SelectionRecord& region);
/// Walks a region staff by staff, measure by measure and layer by layer inside the edit
/// bracket (staves x measures steps), visiting the entries from the start position (first
/// measure) to the end position (last measure). A step answered 0 stops the walk: no further
/// cell is visited and the bracket ends with stopped = 1. Answers false when stopped.
bool RegionWalk(const hostapi::SelectionRecord& region, const RegionEntryVisitor& visit);

// ---- The 'edac' record cursor: one 10-byte record per note (i16 note identifier first) ----
struct RecordCursor {
    std::vector<std::array<uint8_t, 10>> records;
};
void RecordCursorInit(RecordCursor& cursor);
/// One record per note of the 146-byte entry: the stored 'edac' record of the note, or a
/// zeroed one carrying only the note's identifier.
void RecordCursorOpen(RecordCursor& cursor, const uint8_t* entry);
/// Saves records 0 to note count - 1 as the entry's 'edac' records of those incidences.
bool RecordCursorSave(const RecordCursor& cursor, const uint8_t* entry);
int32_t RecordCursorCount(const RecordCursor& cursor);
/// Record n (0-based); valid until the cursor grows. nullptr outside the cursor.
uint8_t* RecordCursorAt(RecordCursor& cursor, int32_t n);

// ---- Clefs of a staff ----
/// For each measure where both staves have a clef record, the source's clef and flags replace
/// the target's; a list of mid-measure changes is duplicated for the target. Measures where
/// either record is missing stay as they are. False when a save or create failed.
bool StaffClefsCopy(InstrumentKey from, InstrumentKey to, MeasureNumber first, MeasureNumber last);
/// The target staff takes the source's clefs over measures first to last, as a staff that now
/// holds the source's music there: its own clef records of the range go, it starts the range
/// with the clef the source has there and changes clef where the source does. After the range
/// the target keeps the clef it had (a record in the measure after it when one is needed).
/// False when a save failed.
bool StaffClefsTake(InstrumentKey from, InstrumentKey to, MeasureNumber first, MeasureNumber last);

// ---- Staff-membership lists: 'otDC' 1, 'otdc' 2, 'otIO' 4, 'otio' 8 ----
inline constexpr int32_t kAllMembershipBits = 1 | 2 | 4 | 8;
/// The bits of the lists of `list` that hold the staff; list 0 holds every staff.
int32_t StaffListMembership(int32_t staff, int32_t list);
/// Removes the staff from the four lists of `list`.
void StaffListRemoveAll(int32_t staff, int32_t list);
/// Adds the staff to each list whose bit is set in `newBits` and clear in `oldBits`.
void StaffListCopyMembership(int32_t list, int32_t staff, int32_t oldBits, int32_t newBits);

// ---- Record sets ----
/// Walks the 'otDI' records of a key: stops at the first whose i16 at byte 2 is `valueAt2`
/// and at byte 0 is `valueAt0` and answers its incidence (-1 for none); with `erase`, each
/// record before it whose byte-2 value matches is deleted. The last record read is left in the
/// caller's 12-byte buffer.
int32_t DeleteRecordsOtDI(int32_t key, uint8_t* buffer, int16_t valueAt2, int16_t valueAt0, bool erase);
/// Whether the measure carries an expression assignment ('otDY') that shows on the staff.
bool MeasureHasExpressionOnStaff(MeasureNumber measure, int32_t staff);

// ---- Staff records ----
/// The 66-byte 'SOSC' staff record of a staff, measure and position. Its key holds positions 0-65535 EDU
/// (platform/hostapi/record_tags.h): a position outside is refused, and the user is told once for each cell in turn.
bool LoadRecordSOSC(InstrumentKey instrument, MeasureNumber measure, Edu position, uint8_t* buffer);
/// The rest offset of a 66-byte staff record: minus the trailing zero bits of its word at byte 16
/// when bit 0 of its word at byte 14 is set and that word is non-zero, else 0.
int32_t StaffSpecRestOffset(const uint8_t* staffRecord);
/// Minus the trailing zero bits of the record's word at byte 16 when bit 0 of its word at byte
/// 14 is set and that word is non-zero; else 0 (also when the load fails).
int32_t LoadRecordSOSCCopy(InstrumentKey instrument, MeasureNumber measure, Edu position);
/// Forgets which cell's staff record was refused last (a fresh start tells again).
void ForgetRefusedStaffRecords();

}  // namespace orvex
