// Finxess: the region walk and the edit bracket, the 'edac' cursor, staff clefs, staff lists,
// 'otDI' records, measure expressions and staff records.
#include "core/host/finxess_regions.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>
#include <optional>

#include "core/host/access_state.h"
#include "core/host/core_hooks.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/host/host_info.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/expression_records.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/music_records.h"
#include "platform/hostapi/record_tags.h"

namespace orvex {
namespace {

using hostapi::ConstEntryView;
using hostapi::kInterfaceVersion;

constexpr Tag kTagPerNote = hostapi::kTagNotePerformance;
constexpr int32_t kPerNoteSize = 10;
using hostapi::kTagExpressionPlace;
constexpr int32_t kExpressionPlaceSize = 12;
constexpr size_t kExpressionPlaceWord0 = 0;  ///< @0, i16
constexpr size_t kExpressionPlaceWord2 = 2;  ///< @2, i16
constexpr Tag kTagMeasureExpression = hostapi::kTagMeasureExpression;
constexpr int32_t kMeasureExpressionSize = 12;
constexpr size_t kExpressionTarget = 10;         ///< @10, u16: staff, list or 0 (all) in bits 0-9
constexpr uint16_t kExpressionOnStaff = 0x1000;  ///< the target is a staff, not a list
constexpr uint16_t kExpressionTargetMask = 0x3FF;
constexpr uint8_t kMeasureHasExpressions = 0x40;  ///< bit of the measure record's byte 11
constexpr size_t kMeasureExpressionByte = 11;
constexpr int32_t kListRecordSize = 12;
constexpr size_t kListSlots = 6;
/// A membership list record holds six staves, one i16 each.
constexpr size_t ListSlotOffset(size_t slot) {
    return 2 * slot;
}
constexpr Edu kEndOfMeasure = 0x7FFFFFFF;

struct MembershipList {
    Tag tag;
    int32_t bit;
};
constexpr std::array<MembershipList, 4> kMembershipLists = {{
    {hostapi::kTagMembershipList1, 1},
    {hostapi::kTagMembershipList2, 2},
    {hostapi::kTagMembershipList4, 4},
    {hostapi::kTagMembershipList8, 8},
}};

/// The other records of a tag and key, in order: from incidence 0, then each next record while
/// the key stays. `visit` answers false to stop.
template <typename Visit>
void ForEachOtherRecord(Tag tag, int32_t key, uint8_t* buffer, int32_t size, Visit visit) {
    int32_t cmper = key;
    int32_t inci = 0;
    bool found = LoadWholeOtherRecord(tag, key, 0, buffer, size);
    if (!found) {
        found =
            NextOtherRecord(tag, cmper, inci, buffer, size) && static_cast<int16_t>(cmper) == static_cast<int16_t>(key);
    }
    while (found && visit(inci)) {
        cmper = key;
        found =
            NextOtherRecord(tag, cmper, inci, buffer, size) && static_cast<int16_t>(cmper) == static_cast<int16_t>(key);
    }
}

/// The clef record of a staff and measure in the host year's form: clef word and flag word.
struct ClefRecord {
    int16_t clef = 0;
    uint16_t flags = 0;
    std::array<uint8_t, hostapi::CellClefLayout::kSize> bytes{};
};

bool LoadClefRecord(InstrumentKey staff, int32_t measure, ClefRecord& record) {
    if (TheAccessLayer.host.year < 1998) {
        if (!LoadWholeDetailRecord(hostapi::kTagCellClef1997, staff, measure, record.bytes.data(),
                                   hostapi::CellClef1997Layout::kSize, 0)) {
            return false;
        }
        record.clef = hostapi::ReadI16(record.bytes.data(), hostapi::CellClef1997Layout::kClef);
        record.flags = hostapi::ReadU16(record.bytes.data(), hostapi::CellClef1997Layout::kFlags);
        return true;
    }
    if (!LoadWholeDetailRecord(hostapi::kTagCellClef, staff, measure, record.bytes.data(),
                               hostapi::CellClefLayout::kSize, 0)) {
        return false;
    }
    record.clef = hostapi::ReadI16(record.bytes.data(), hostapi::CellClefLayout::kClef);
    record.flags = hostapi::ReadU16(record.bytes.data(), hostapi::CellClefLayout::kFlags);
    return true;
}

bool SaveClefRecord(InstrumentKey staff, int32_t measure, ClefRecord& record) {
    if (TheAccessLayer.host.year < 1998) {
        hostapi::WriteI16(record.bytes.data(), hostapi::CellClef1997Layout::kClef, record.clef);
        hostapi::WriteU16(record.bytes.data(), hostapi::CellClef1997Layout::kFlags, record.flags);
        return SaveDetailRecord(hostapi::kTagCellClef1997, staff, measure, record.bytes.data(),
                                hostapi::CellClef1997Layout::kSize, 0);
    }
    hostapi::WriteI16(record.bytes.data(), hostapi::CellClefLayout::kClef, record.clef);
    hostapi::WriteU16(record.bytes.data(), hostapi::CellClefLayout::kFlags, record.flags);
    return SaveDetailRecord(hostapi::kTagCellClef, staff, measure, record.bytes.data(), hostapi::CellClefLayout::kSize,
                            0);
}

/// Duplicates the clef change list `key`; the new list's key, or nullopt when the list is empty
/// or a create failed (`failed` says which).
std::optional<int32_t> CopyClefChanges(int32_t key, bool& failed) {
    uint8_t change[hostapi::ClefChangeLayout::kSize] = {};
    if (!LoadWholeOtherRecord(hostapi::kTagClefChange, key, 0, change, hostapi::ClefChangeLayout::kSize)) {
        return std::nullopt;
    }
    int32_t copy = -1;
    int32_t inci = 0;
    if (!CreateOtherRecord(hostapi::kTagClefChange, copy, inci, change, hostapi::ClefChangeLayout::kSize)) {
        failed = true;
        return std::nullopt;
    }
    for (int32_t next = 1; next <= INT16_MAX && LoadWholeOtherRecord(hostapi::kTagClefChange, key, next, change,
                                                                     hostapi::ClefChangeLayout::kSize);
         ++next) {
        int32_t newInci = -1;
        int32_t listKey = copy;
        if (!CreateOtherRecord(hostapi::kTagClefChange, listKey, newInci, change, hostapi::ClefChangeLayout::kSize)) {
            failed = true;
            break;
        }
    }
    return static_cast<int16_t>(copy);
}

/// Whether one list of `list` holds the staff; with `remove` the staff's slots are cleared and
/// saved.
bool ListHolds(Tag tag, int32_t list, int32_t staff, bool remove) {
    bool holds = false;
    std::array<uint8_t, kListRecordSize> record{};
    ForEachOtherRecord(tag, list, record.data(), kListRecordSize, [&](int32_t inci) {
        bool changed = false;
        for (size_t slot = 0; slot < kListSlots; ++slot) {
            if (hostapi::ReadI16(record.data(), ListSlotOffset(slot)) == staff && staff != 0) {
                holds = true;
                if (remove) {
                    hostapi::WriteI16(record.data(), ListSlotOffset(slot), 0);
                    changed = true;
                }
            }
        }
        if (changed) {
            SaveOtherRecord(tag, list, inci, record.data(), kListRecordSize);
        }
        return remove || !holds;
    });
    return holds;
}

void ListAdd(Tag tag, int32_t list, int32_t staff) {
    if (ListHolds(tag, list, staff, false)) {
        return;
    }
    std::array<uint8_t, kListRecordSize> record{};
    std::array<uint8_t, kListRecordSize> last{};
    int32_t lastInci = -1;
    ForEachOtherRecord(tag, list, record.data(), kListRecordSize, [&](int32_t inci) {
        last = record;
        lastInci = inci;
        return true;
    });
    if (lastInci >= 0) {
        for (size_t slot = 0; slot < kListSlots; ++slot) {
            if (hostapi::ReadI16(last.data(), ListSlotOffset(slot)) == 0) {
                hostapi::WriteI16(last.data(), ListSlotOffset(slot), static_cast<int16_t>(staff));
                SaveOtherRecord(tag, list, lastInci, last.data(), kListRecordSize);
                return;
            }
        }
    }
    std::array<uint8_t, kListRecordSize> fresh{};
    hostapi::WriteI16(fresh.data(), ListSlotOffset(0), static_cast<int16_t>(staff));
    int32_t key = list;
    int32_t inci = -1;
    CreateOtherRecord(tag, key, inci, fresh.data(), kListRecordSize);
}

}  // namespace

// ---- Edit bracket ----

int32_t EditBracketBegin(const hostapi::SelectionRecord* region, int32_t steps) {
    const auto begin = Imports().BeginProgress;
    return begin == nullptr ? 0 : begin(region == nullptr ? nullptr : region->bytes.data(), steps, kInterfaceVersion);
}

bool EditBracketStep(int32_t handle, InstrumentKey instrumentOrZero, MeasureNumber measureOrZero, int32_t steps) {
    const auto step = Imports().StepProgress;
    return step == nullptr || step(handle, steps, instrumentOrZero, measureOrZero, -1, kInterfaceVersion) != 0;
}

void EditBracketEnd(int32_t handle, bool stopped) {
    const auto end = Imports().EndProgress;
    if (end != nullptr) {
        end(handle, stopped ? 1 : 0, kInterfaceVersion);
    }
}

ScopedEditBracket::ScopedEditBracket(const hostapi::SelectionRecord* region, int32_t steps)
    : m_handle(EditBracketBegin(region, steps)), m_exceptions(std::uncaught_exceptions()) {}

ScopedEditBracket::~ScopedEditBracket() {
    End(m_stopped || std::uncaught_exceptions() > m_exceptions);
}

bool ScopedEditBracket::Step(InstrumentKey instrumentOrZero, MeasureNumber measureOrZero, int32_t steps) {
    m_stopped = m_stopped || !EditBracketStep(m_handle, instrumentOrZero, measureOrZero, steps);
    return !m_stopped;
}

void ScopedEditBracket::End(bool stopped) {
    if (m_open) {
        m_open = false;
        EditBracketEnd(m_handle, stopped);
    }
}

// ---- Region walk ----

Edu RegionEndPosition(const hostapi::SelectionRecord& region) {
    return region.endEdu() == 0 ? kEndOfMeasure : region.endEdu();
}

bool RegionWalk(const hostapi::SelectionRecord& region, const RegionEntryVisitor& visit) {
    RegionWalkState state;
    state.region = region;
    const int32_t staves = std::max(region.lastStaff() - region.firstStaff() + 1, 0);
    const int32_t measures = std::max(region.lastMeasure() - region.firstMeasure() + 1, 0);
    ScopedEditBracket bracket(nullptr, staves * measures);
    const auto instrumentOf = Imports().InstrumentOfSlot;
    for (int32_t staff = region.firstStaff(); staff <= region.lastStaff() && !state.stopped; ++staff) {
        state.staff = static_cast<StaffSlot>(staff);
        state.instrument = instrumentOf == nullptr ? 0 : instrumentOf(state.staff, region.viewKey(), kInterfaceVersion);
        for (int32_t measure = region.firstMeasure(); measure <= region.lastMeasure(); ++measure) {
            state.measure = static_cast<MeasureNumber>(measure);
            if (!bracket.Step(state.instrument, state.measure)) {
                state.stopped = true;
                break;
            }
            const Edu from = measure == region.firstMeasure() ? region.startEdu() : 0;
            const Edu to = measure == region.lastMeasure() ? RegionEndPosition(region) : kEndOfMeasure;
            for (state.layer = 0; state.layer < 4; ++state.layer) {
                const ScopedEntryArray array(region.viewKey(), state.staff, state.measure, state.layer);
                if (!array) {
                    continue;
                }
                for (int32_t i = 0; i < array->count; ++i) {
                    const Edu position = array->entry(i).position();
                    if (position >= from && position <= to) {
                        visit(state, *array, i);
                    }
                }
            }
        }
    }
    return !state.stopped;
}

// ---- The 'edac' record cursor ----

void RecordCursorInit(RecordCursor& cursor) {
    cursor.records.clear();
}

void RecordCursorOpen(RecordCursor& cursor, const uint8_t* entry) {
    const ConstEntryView view(entry);
    cursor.records.clear();
    for (int32_t n = 0; n < view.notesHeld(); ++n) {
        std::array<uint8_t, 10>& record = cursor.records.emplace_back();
        hostapi::WriteI16(record.data(), hostapi::NotePerformanceLayout::kNoteId, view.note(n).noteId());
    }
    std::array<uint8_t, 10> stored{};
    for (int32_t inci = 0; inci < view.notesHeld() &&
                           LoadWholeEntryDetailRecord(kTagPerNote, view.number(), inci, stored.data(), kPerNoteSize);
         ++inci) {
        for (std::array<uint8_t, 10>& record : cursor.records) {
            if (hostapi::ReadI16(record.data(), hostapi::NotePerformanceLayout::kNoteId) ==
                hostapi::ReadI16(stored.data(), hostapi::NotePerformanceLayout::kNoteId)) {
                record = stored;
                break;
            }
        }
    }
}

bool RecordCursorSave(const RecordCursor& cursor, const uint8_t* entry) {
    const ConstEntryView view(entry);
    bool saved = true;
    const int32_t count = std::min(view.notesHeld(), RecordCursorCount(cursor));
    for (int32_t n = 0; n < count; ++n) {
        saved = SaveEntryDetailRecord(kTagPerNote, view.number(), n, cursor.records[static_cast<size_t>(n)].data(),
                                      kPerNoteSize) &&
                saved;
    }
    return saved;
}

int32_t RecordCursorCount(const RecordCursor& cursor) {
    return static_cast<int32_t>(cursor.records.size());
}

uint8_t* RecordCursorAt(RecordCursor& cursor, int32_t n) {
    return n >= 0 && n < RecordCursorCount(cursor) ? cursor.records[static_cast<size_t>(n)].data() : nullptr;
}

// ---- Clefs of a staff ----

bool StaffClefsCopy(InstrumentKey from, InstrumentKey to, MeasureNumber first, MeasureNumber last) {
    bool ok = true;
    for (int32_t measure = first; measure <= last; ++measure) {
        ClefRecord source;
        ClefRecord target;
        if (!LoadClefRecord(from, measure, source)) {
            continue;
        }
        // A staff added without clef records takes the source's clef too.
        if (!LoadClefRecord(to, measure, target)) {
            target = ClefRecord{};
        }
        target.clef = source.clef;
        target.flags = source.flags;
        ok = SaveClefRecord(to, measure, target) && ok;
        if ((source.flags & hostapi::CellClefLayout::kHasChanges) == 0) {
            continue;
        }
        bool failed = false;
        if (const auto copy = CopyClefChanges(source.clef, failed)) {
            target.clef = static_cast<int16_t>(*copy);
            ok = SaveClefRecord(to, measure, target) && ok;
        }
        ok = ok && !failed;
    }
    return ok;
}

namespace {

/// The clef a staff has at the start of a measure when that measure holds no clef record: the
/// last clef of its latest record before it, else its staff record's clef.
int32_t ClefEntering(InstrumentKey staff, int32_t measure) {
    std::array<uint8_t, hostapi::StaffSpecLayout::kSize> spec{};
    LoadWholeOtherRecord(hostapi::kTagStaff, staff, 0, spec.data(), static_cast<int32_t>(spec.size()));
    return ClefAt(staff, static_cast<MeasureNumber>(measure - 1), kEndOfMeasure, false, spec.data());
}

bool DeleteClefRecord(InstrumentKey staff, int32_t measure) {
    return DeleteDetailRecord(TheAccessLayer.host.year < 1998 ? hostapi::kTagCellClef1997 : hostapi::kTagCellClef,
                              staff, measure, 0);
}

/// Gives the staff a clef record at the measure when it would start the measure with another clef.
bool EnterWithClef(InstrumentKey staff, int32_t measure, int32_t clef) {
    if (ClefEntering(staff, measure) == clef) {
        return true;
    }
    ClefRecord record;
    record.clef = static_cast<int16_t>(clef);
    return SaveClefRecord(staff, measure, record);
}

}  // namespace

bool StaffClefsTake(InstrumentKey from, InstrumentKey to, MeasureNumber first, MeasureNumber last) {
    ClefRecord record;
    EDTMeasureSpec measure;
    const bool after = LoadMeasureSpec(last + 1, measure) && !LoadClefRecord(to, last + 1, record);
    const int32_t entering = after ? ClefEntering(to, last + 1) : 0;
    bool ok = true;
    for (int32_t m = first; m <= last; ++m) {
        if (LoadClefRecord(to, m, record)) {
            ok = DeleteClefRecord(to, m) && ok;
        }
    }
    if (!LoadClefRecord(from, first, record)) {
        ok = EnterWithClef(to, first, ClefEntering(from, first)) && ok;
    }
    ok = StaffClefsCopy(from, to, first, last) && ok;
    if (after) {
        ok = EnterWithClef(to, last + 1, entering) && ok;
    }
    return ok;
}

// ---- Staff-membership lists ----

int32_t StaffListMembership(int32_t staff, int32_t list) {
    if (list == 0) {
        return kAllMembershipBits;
    }
    int32_t bits = 0;
    for (const MembershipList& kind : kMembershipLists) {
        if (ListHolds(kind.tag, list, staff, false)) {
            bits |= kind.bit;
        }
    }
    return bits;
}

void StaffListRemoveAll(int32_t staff, int32_t list) {
    if (list == 0) {
        return;
    }
    for (const MembershipList& kind : kMembershipLists) {
        ListHolds(kind.tag, list, staff, true);
    }
}

void StaffListCopyMembership(int32_t list, int32_t staff, int32_t oldBits, int32_t newBits) {
    if (list == 0) {
        return;
    }
    for (const MembershipList& kind : kMembershipLists) {
        if ((newBits & kind.bit) != 0 && (oldBits & kind.bit) == 0) {
            ListAdd(kind.tag, list, staff);
        }
    }
}

// ---- Record sets ----

int32_t DeleteRecordsOtDI(int32_t key, uint8_t* buffer, int16_t valueAt2, int16_t valueAt0, bool erase) {
    // A delete moves the later incidences down, so the walk looks at the same incidence again.
    int32_t inci = 0;
    bool found = LoadWholeOtherRecord(kTagExpressionPlace, key, inci, buffer, kExpressionPlaceSize);
    const auto stepOn = [&](int32_t from) {
        int32_t cmper = key;
        inci = from;
        return NextOtherRecord(kTagExpressionPlace, cmper, inci, buffer, kExpressionPlaceSize) &&
               static_cast<int16_t>(cmper) == static_cast<int16_t>(key);
    };
    if (!found) {
        found = stepOn(0);
    }
    while (found) {
        const int16_t word2 = hostapi::ReadI16(buffer, kExpressionPlaceWord2);
        if (word2 == valueAt2 && hostapi::ReadI16(buffer, kExpressionPlaceWord0) == valueAt0) {
            return inci;
        }
        if (erase && word2 == valueAt2 && DeleteOtherRecord(kTagExpressionPlace, key, inci)) {
            found = LoadWholeOtherRecord(kTagExpressionPlace, key, inci, buffer, kExpressionPlaceSize) || stepOn(inci);
        } else {
            found = stepOn(inci);
        }
    }
    return -1;
}

bool MeasureHasExpressionOnStaff(MeasureNumber measure, int32_t staff) {
    EDTMeasureSpec measureRecord;
    if (!LoadMeasureSpec(measure, measureRecord) ||
        (measureRecord.bytes[kMeasureExpressionByte] & kMeasureHasExpressions) == 0) {
        return false;
    }
    std::array<uint8_t, kMeasureExpressionSize> record{};
    for (int32_t inci = 0; inci <= INT16_MAX && LoadWholeOtherRecord(kTagMeasureExpression, measure, inci,
                                                                     record.data(), kMeasureExpressionSize);
         ++inci) {
        const uint16_t word = hostapi::ReadU16(record.data(), kExpressionTarget);
        const int32_t target = word & kExpressionTargetMask;
        if ((word & kExpressionOnStaff) != 0) {
            if (target == staff) {
                return true;
            }
        } else if (target == 0 || StaffListMembership(staff, target) != 0) {
            return true;
        }
    }
    return false;
}

// ---- Staff records ----

// The cell whose staff record was last refused for its position (the access layer's state): a
// walk over a long measure asks again for every entry, and the user is told once per cell.

void ForgetRefusedStaffRecords() {
    TheAccessLayer.lastRefusedStaffRecord.reset();
}

bool LoadRecordSOSC(InstrumentKey instrument, MeasureNumber measure, Edu position, uint8_t* buffer) {
    if (position < 0 || position > hostapi::kMaxKeyPosition) {
        // The record's key holds positions up to 65535 EDU only: it cannot be asked for this one.
        const std::pair<InstrumentKey, MeasureNumber> cell{instrument, measure};
        if (TheAccessLayer.lastRefusedStaffRecord != cell) {
            TheAccessLayer.lastRefusedStaffRecord = cell;
            ShowHostText(HostText::StaffRecordPositionRefused,
                         {std::to_string(instrument), std::to_string(measure), std::to_string(position)});
        }
        return false;
    }
    return LoadWholeDetailRecord(hostapi::kTagStaffSpec, instrument, measure, buffer, hostapi::StaffSpecLayout::kSize,
                                 position);
}

int32_t LoadRecordSOSCCopy(InstrumentKey instrument, MeasureNumber measure, Edu position) {
    std::array<uint8_t, hostapi::StaffSpecLayout::kSize> staffRecord{};
    return LoadRecordSOSC(instrument, measure, position, staffRecord.data()) ? StaffSpecRestOffset(staffRecord.data())
                                                                             : 0;
}

int32_t StaffSpecRestOffset(const uint8_t* staffRecord) {
    const uint16_t flags = hostapi::ReadU16(staffRecord, hostapi::StaffSpecLayout::kRestFlags);
    const uint16_t bits = hostapi::ReadU16(staffRecord, hostapi::StaffSpecLayout::kRestOffsetBits);
    if ((flags & 1) == 0 || bits == 0) {
        return 0;
    }
    int32_t zeros = 0;
    for (uint16_t b = bits; (b & 1) == 0; b >>= 1) {
        ++zeros;
    }
    return -zeros;
}

}  // namespace orvex
