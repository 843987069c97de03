// Staff lists and staff groups: `TInstruments`, the entries of one instrument usage list ('SOIu'
// list 0 = the score's staves, list n = the staves of staff system n) with their display names,
// and `TGroups`, the staff groups ('SDNG') defined on such a list. Tools build them, edit them
// (add, remove, move staves; adopt groups) and write them back. Both are snapshots of the
// document.
//
// Positions in the lists are 0-based inside; the operations that say "position" or take a
// staff's place count from 1 (0 = none). A staff's vertical position is the i32 at byte 8 of its
// entry; more negative is lower.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/host/finxess_records.h"

namespace orvex {

class TStaffSystems;

/// One staff of a staff list.
struct TInstrRec {
    InstrumentUsageRecord entry;  ///< the 24-byte 'SOIu' entry
    std::string name;             ///< display name (the host's 8-bit text)
    uint8_t flag = 0;             ///< 0 when loaded

    int16_t staff() const { return entry.staff(); }
    int32_t position() const { return entry.position(); }
    void setPosition(int32_t position) { entry.setPosition(position); }
};

/// A range of staves, first and last, as a group record holds it.
using StaffRange = StaffGroupRecord;

class TInstruments {
public:
    /// The gap the lists take between two staves where they know none (downward).
    static constexpr int32_t kDefaultGap = -200;

    /// An empty list of the score (list key 0) over the given systems (not owned).
    explicit TInstruments(TStaffSystems* systems = nullptr);
    /// The list `key`, loaded (TInstruments::Load).
    TInstruments(int32_t key, TStaffSystems* systems, bool namesFromService);

    /// Loads list `key` ('SOIu' entries from inci 0 to the first missing one, at most 1000).
    /// Names come from Lumvar2000 with `namesFromService` when it is bound, else from the
    /// staves' text blocks; an empty name is "[Staff n]" ("[System n]" in German).
    /// From host year 2001 a system's list is stored relative to its system's top staff
    /// offset; the loaded positions are absolute.
    void Load(int32_t key, bool namesFromService);
    /// Writes the list as list `key`, deletes the stored entries beyond it and, from host year
    /// 2001 for a system's list, stores the positions relative to the first staff and puts the
    /// first staff's position into the system record. True when every save succeeded.
    bool Save(int32_t key);

    int32_t Count() const { return static_cast<int32_t>(m_records.size()); }
    /// Record n (0-based); throws std::out_of_range outside the list.
    TInstrRec& At(int32_t n) { return m_records.at(static_cast<size_t>(n)); }
    const TInstrRec& At(int32_t n) const { return m_records.at(static_cast<size_t>(n)); }
    /// The staff number of record n (1-based); 0 for 0 or past the end.
    int16_t ByNumber(int32_t n) const;
    /// The 1-based place of a staff, 0 when absent.
    int32_t IndexOf(int32_t staff) const;
    bool Contains(int32_t staff) const { return IndexOf(staff) != 0; }

    /// Moves the ends of a range inward along `other`'s order until both are staves of this
    /// list. False when either end is not in `other` or the ends cross.
    bool ClipRange(StaffRange& range, const TInstruments& other) const;
    /// Whether the staff lies from the range's first to its last staff in this list's order.
    bool RangeContains(const StaffRange& range, int32_t staff) const;

    /// Reloads the list (names from the service) when the stored entry of the staff's place (of
    /// the last place for staff -1) is gone; answers whether it reloaded.
    bool RefreshIfGone(int32_t staff);
    /// Adds a new staff after the staff at 1-based place `position` (0: first) and saves the
    /// list; with `copy` the new staff copies that staff's record and names and the staves
    /// below move down to make room. False only when the host refuses the new staff.
    bool AddStaff(int32_t position, bool copy);
    /// Gives staff `to` the names of staff `from` (text blocks of its own); false when a staff
    /// record does not load or save.
    static bool CopyStaffNames(int32_t from, int32_t to);
    /// Takes a staff out; the staves after it move up by its gap to the next one.
    void RemoveStaff(int32_t staff);
    /// Inserts a record of the reference list after staff `after`, placed by the gaps of both
    /// lists; without `after` in the list, as the first staff.
    void InsertStaff(const TInstrRec& record, int32_t after, const TInstruments& reference);

    void Clear() { m_records.clear(); }
    void Free();

    int32_t ListKey() const { return m_key; }
    int32_t CountAtLoad() const { return m_countAtLoad; }
    /// Callers that save a copied list raise it (to 1000), so that the save deletes the surplus.
    void SetCountAtLoad(int32_t count) { m_countAtLoad = count; }
    TStaffSystems* Systems() const { return m_systems; }

private:
    std::string DisplayName(int16_t staff, bool namesFromService) const;

    std::vector<TInstrRec> m_records;
    int32_t m_countAtLoad = 0;
    int32_t m_key = 0;
    TStaffSystems* m_systems = nullptr;
};

/// One staff group.
struct TGroupRec {
    int16_t number = 0;       ///< the 'SDNG' group number, 1 to 100
    uint8_t deleted = 0;      ///< deleted from the document on the next save
    StaffGroupRecord record;  ///< the 30-byte 'SDNG' record
    std::string name;         ///< display name
};

class TGroups {
public:
    TGroups() = default;
    /// The groups of list `key` (TGroups::Load).
    TGroups(int32_t key, bool numberedNames, bool skipSingle, bool namesFromService);

    /// Loads groups 1 to 100 of list `key`, skipping missing ones; names from the full-name text
    /// block, else the abbreviated one ("[Group g]" when empty and numbered).
    void Load(int32_t key, bool numberedNames, bool skipSingle, bool namesFromService);

    int32_t Count() const { return static_cast<int32_t>(m_records.size()); }
    TGroupRec& At(int32_t n) { return m_records.at(static_cast<size_t>(n)); }
    const TGroupRec& At(int32_t n) const { return m_records.at(static_cast<size_t>(n)); }
    void Append(const TGroupRec& record);
    void Clear() { m_records.clear(); }
    void Free();

    /// The groups whose first staff is the staff.
    int32_t CountStartingAt(int32_t staff) const;
    /// The 1-based place of the n-th (1-based) group starting at the staff; 0 when none.
    int32_t IndexOfNthStartingAt(int32_t staff, int32_t n) const;
    /// That group, nullptr when none.
    TGroupRec* NthStartingAt(int32_t staff, int32_t n);
    /// The places of the staff list from group n's (1-based) first to its last staff.
    int32_t StavesInGroup(int32_t n, const TInstruments& staves) const;
    /// The name and " " of the smallest named group holding the staff, "" when none.
    std::string NameOfStaff(int32_t staff, const TInstruments& staves) const;
    /// Staff `removed` leaves the list: groups starting there start at `newFirst`, groups ending
    /// there end at `newLast`, when that staff lies within the group; other such groups are
    /// marked deleted.
    void RemoveStaff(int32_t newLast, int32_t removed, int32_t newFirst, const TInstruments& staves);
    /// Staff `staff` was added to `target` (whose groups these are) from `sourceList` with the
    /// groups `source`: each source group holding it widens a matching group or is copied.
    void AdoptGroups(const TGroups& source, const TInstruments& sourceList, const TInstruments& target, int32_t staff);

    int32_t ListKey() const { return m_key; }
    int32_t CountAtLoad() const { return m_countAtLoad; }
    bool Changed() const { return m_changed != 0; }
    void SetChanged(bool changed) { m_changed = changed ? 1 : 0; }
    bool NamesFromService() const { return m_namesFromService != 0; }

private:
    friend bool GroupNamesSave(TGroups& groups, int32_t key, const TGroups* other, bool all);
    int16_t NewGroupNumber() const;

    std::vector<TGroupRec> m_records;
    int32_t m_countAtLoad = 0;
    int32_t m_key = 0;
    uint8_t m_changed = 0;
    uint8_t m_namesFromService = 0;
};

/// Writes changed groups back as the groups of list `key`: deleted ones are deleted, the others
/// saved; with `other` or `all`, name text blocks shared with `other` (every one with `all`)
/// get copies of their own first. Names that came from the service plug-in are not written and
/// the user is told. False when a save failed.
bool GroupNamesSave(TGroups& groups, int32_t key, const TGroups* other, bool all);

/// Brings both lists up to date after the document may have changed them; false when nothing
/// needed reloading (or there are no groups).
bool RefreshStaffAndGroupLists(TGroups& groups, TInstruments& staves);

}  // namespace orvex
