// Smart shapes (slurs, hairpins, brackets and the like): one 84-byte 'O\x07Sx' record per shape,
// linked from every measure it touches ('otMx', measure keyed) and, when it is attached to
// entries, from its two entries ('edEx'). `TSmartShapes` holds the shapes of a measure range,
// which the tools change, copy to other staves and write back; `LayoutSum` gathers the vertical
// offsets of shapes for the placement tools. Also here: the clipping of the smart shapes' range
// records 'O\x02Sy' and two small host queries.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/host/finxess_records.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/types.h"

namespace orvex {

/// The stored smart shape (hostapi::SmartShapeLayout).
struct SmartShapeRecord : RawRecord<hostapi::SmartShapeLayout::kSize> {
    using Layout = hostapi::SmartShapeLayout;
    int16_t kind() const { return hostapi::ReadI16(bytes.data(), Layout::kKind); }
    bool entryAttached() const { return (bytes[Layout::kAttachment] & Layout::kEntryAttached) != 0; }
    int16_t startStaff() const { return hostapi::ReadI16(bytes.data(), Layout::kStartStaff); }
    int16_t startMeasure() const { return hostapi::ReadI16(bytes.data(), Layout::kStartMeasure); }
    int32_t start() const { return hostapi::ReadI32(bytes.data(), Layout::kStart); }
    int16_t startOffset() const { return hostapi::ReadI16(bytes.data(), Layout::kStartOffset); }
    int16_t endStaff() const { return hostapi::ReadI16(bytes.data(), Layout::kEndStaff); }
    int16_t endMeasure() const { return hostapi::ReadI16(bytes.data(), Layout::kEndMeasure); }
    int32_t end() const { return hostapi::ReadI32(bytes.data(), Layout::kEnd); }
    int16_t endNote() const { return hostapi::ReadI16(bytes.data(), Layout::kEndNote); }
    int16_t startNote() const { return hostapi::ReadI16(bytes.data(), Layout::kStartNote); }
    /// A line's end height: the vertical offset of its end (its start height is startOffset()).
    int16_t endHeight() const { return hostapi::ReadI16(bytes.data(), Layout::kEndOffset); }

    void setKind(int16_t kind) { hostapi::WriteI16(bytes.data(), Layout::kKind, kind); }
    void setStaves(int16_t staff) {
        hostapi::WriteI16(bytes.data(), Layout::kStartStaff, staff);
        hostapi::WriteI16(bytes.data(), Layout::kEndStaff, staff);
    }
    void setStart(int32_t value) { hostapi::WriteI32(bytes.data(), Layout::kStart, value); }
    void setEnd(int32_t value) { hostapi::WriteI32(bytes.data(), Layout::kEnd, value); }
};
static_assert(sizeof(SmartShapeRecord) == 84);

bool LoadSmartShapeRecord(int32_t shape, SmartShapeRecord& record);
/// Overwrites the shape (the host creates it under that number when it is missing).
bool SaveSmartShapeRecord(int32_t shape, const SmartShapeRecord& record);
/// Creates a shape under a new number, written back.
bool CreateSmartShapeRecord(int32_t& shape, const SmartShapeRecord& record);
/// The shape after `shape` in number order; its number is written back.
bool NextSmartShapeRecord(int32_t& shape, SmartShapeRecord& record);

/// The flag of a measure record's flags word that says smart shapes are linked to the measure.
inline constexpr uint16_t kMeasureHasSmartShapes = 0x2000;
/// Links a new shape to every measure from `first` to `last`: one 'otMx' link each, and the
/// measure marked as holding smart shapes.
void LinkShapeToMeasures(int32_t shape, int32_t first, int32_t last);
/// Links a new shape attached to entries to its first and its last entry ('edEx' links). The
/// caller marks both entries as holding note-attached shapes (hostapi::kEntryMoreSmartShapes) in
/// the arrays it holds and saves.
void LinkShapeToEntries(int32_t shape, hostapi::EntryNumber first, hostapi::EntryNumber last);

/// After the host pasted the cells of staff slot `fromSlot` onto `toSlot` (measures first to
/// last of view `view`), the pasted entries hold copies of the source entries' shape links, which
/// still name the source's shapes. Each entry-attached shape whose two entries were pasted gets a
/// copy on staff `to`, attached to the pasted entries, and their links name the copy; a pasted
/// link of any other shape goes. A pasted link the host holds short (the paste's copy of a damaged
/// link, reported as the source's) is not written over: it goes, and the copy gets a whole link
/// there. Answers the copies made.
int32_t AttachPastedEntryShapes(hostapi::ViewKey view, hostapi::StaffSlot fromSlot, hostapi::StaffSlot toSlot,
                                int32_t to, int32_t first, int32_t last);

/// The host's length of a measure for a staff (service 50), 4096 EDU when it answers 0.
hostapi::Edu MeasureLengthOrDefault(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure);
/// A host text of up to 10 characters by id (service 39); "" when the host gives none.
std::string LoadHostText(int32_t id);

// ---- Layout sums ----

/// The vertical offsets of shapes below and above a staff: counts, sums and extremes.
struct LayoutSum {
    static constexpr int32_t kNoLowest = 0x7FFFFFFF;
    static constexpr int32_t kNoHighest = static_cast<int32_t>(0x80000000);

    int32_t countBelow = 0;
    int32_t sumBelow = 0;
    int32_t countAbove = 0;
    int32_t sumAbove = 0;
    int32_t lowestBelow = kNoLowest;
    int32_t highestBelow = kNoHighest;
    int32_t lowestAbove = kNoLowest;
    int32_t highestAbove = kNoHighest;
    int32_t lowestReferenceBelow = kNoLowest;    ///< the lowest reference of the shapes below
    int32_t highestReferenceAbove = kNoHighest;  ///< the highest reference of the shapes above

    bool operator==(const LayoutSum&) const = default;
};

/// Adds one shape at offset + reference to the half above or below.
void LayoutSumCompute(LayoutSum& sums, bool above, int32_t offset, int32_t reference);
/// Adds the halves of `other` that are wanted; with `onlyIntoEmpty`, a half that is not wanted
/// is still added when that half of `sums` is empty. Counts and sums add, extremes merge.
void LayoutSumAccumulate(LayoutSum& sums, const LayoutSum& other, bool belowWanted, bool aboveWanted,
                         bool onlyIntoEmpty);
/// The target of an alignment on one side: kind 0 base + the extreme nearest the staff (highest
/// below, lowest above), kind 1 base + the other extreme, kind 3 base + `fixed`, any other kind
/// base + the average. An empty side answers `fallback`, except for kind 3.
int32_t LayoutOffsetOfKind(const LayoutSum& sums, bool above, int32_t kind, int32_t base, int32_t fallback,
                           int32_t fixed);

// ---- Measure ranges ----

/// Whether a measure position lies in a region: measures strictly inside do; in the first
/// (last) measure the position must not lie before the start (after the end). With a scale
/// staff the position is first scaled by the measure's length over that staff's length of the
/// measure, and taken as at least 0.
bool MeasureInRange(int32_t measure, hostapi::Edu position, const hostapi::SelectionRecord& region,
                    hostapi::InstrumentKey scaleStaff);

enum class RangePlace { Outside, AtEnd, Inside };
RangePlace MeasureInRange(int32_t measure, int32_t first, int32_t last);

// ---- Expressions and smart shapes in memory ----

/// The base of the objects the placement tools move: a reference value and what they moved it by.
class TExpression {
public:
    virtual ~TExpression() = default;
    /// The base does nothing.
    virtual void Straighten() {}

    int32_t Reference = 0;
    int32_t MovedBy = 0;

protected:
    TExpression() = default;
};

/// An owning list of expressions with the layout sum of its placement.
class TExpressions {
public:
    int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
    /// Item n (0-based); nullptr outside the list.
    TExpression* At(int32_t n) const;
    void Append(std::unique_ptr<TExpression> item) { m_items.push_back(std::move(item)); }
    void Free() { m_items.clear(); }

    LayoutSum Sums;

private:
    std::vector<std::unique_ptr<TExpression>> m_items;
};

/// One smart shape in memory.
class TSmartShape : public TExpression {
public:
    TSmartShape(int32_t number, const SmartShapeRecord& record);

    /// Takes a newly read record (the staff, measure, start and sort key follow it).
    void SetRecord(const SmartShapeRecord& record);

    int32_t Staff = 0;    ///< of the start
    int32_t Measure = 0;  ///< of the start
    int32_t Start = 0;    ///< entry number or EDU
    /// Measure x 1000 + start x 1000 / the measure's length (the measure alone when the length
    /// is not positive): measures first, then the place within the measure in thousandths.
    int32_t SortKey = 0;
    int32_t Unused = 0;
    bool Above = false;  ///< the start's vertical offset is 0 or more
    int32_t Number = 0;  ///< the shape's number
    SmartShapeRecord Record;
    bool Taken = false;  ///< takes part in the last CollectRange
};

class TStaffShapeIndex;

class TSmartShapes {
public:
    static constexpr int32_t kAllMeasures = 0x7FFFFFFF;
    /// The staff that parked shapes are moved to.
    static constexpr int16_t kParkingStaff = 32000;

    int32_t Count() const { return static_cast<int32_t>(m_shapes.size()); }
    /// Shape n (0-based); nullptr outside the list.
    TSmartShape* At(int32_t n) const;
    void Clear();
    /// Loads a shape and appends it unless its number is in the list already; false when it
    /// cannot be loaded.
    bool AddShape(int32_t number);

    /// Loads the shapes linked from measures first to last (0: to the end).
    void LoadMeasureLinks(int32_t first, int32_t last);
    /// Makes sure the list holds the shapes of the range: with the same document in front and
    /// the range inside the loaded one, the list is checked against the document (and reloaded
    /// when a shape moved); otherwise the range is loaded afresh.
    void Refresh(int32_t first, int32_t last);

    /// Copies each measure-attached shape of the list on `staff` that starts or ends in the
    /// range to `newStaff`, with its measure links. With `skipDuplicates`, a shape already on
    /// the new staff at the same start ends the whole operation. Answers the copies made.
    int32_t CreateNew(int32_t staff, int32_t newStaff, int32_t first, int32_t last, bool skipDuplicates);
    /// Copies the shapes linked from the range that start on `from` to `to`: measure-attached
    /// ones with `measureAttached`; entry-attached ones with `entryAttached` when they begin and
    /// end in one measure and both entries map from `sourceEntries` (from's cell) to
    /// `targetEntries` (to's cell) by position and rank; the entries of `targetEntries` it links
    /// a copy to are marked as holding note-attached shapes, and the array is saved when it marked
    /// one. Each shape is copied once. Answers the copies made.
    int32_t CopyToStaff(int32_t from, int32_t to, int32_t first, int32_t last, bool entryAttached, bool measureAttached,
                        const hostapi::EntryArray* sourceEntries, hostapi::EntryArray* targetEntries);
    /// Shapes of kind 2 or 3 starting on the staff in the measure move to staff 32000.
    void ParkStaff(int32_t staff, int32_t measure);
    /// Deletes the stored record of every shape starting at the value, and of every
    /// entry-attached shape of kind 0 or 1 ending at it; they leave the list too.
    void DeleteAll(int32_t value);
    /// Deletes every entry-attached shape that starts or ends at the entry (as the entry's 'edEx'
    /// links name them), with its links; they leave the list too. The entry's other links stay.
    void DeleteAttachedTo(hostapi::EntryNumber entry);
    /// Entry-attached shapes of kind 0 or 1 starting at the staff, measure and entry take kind 15.
    void RetypeEntrySlurs(int32_t staff, int32_t measure, int32_t entry);
    /// Shapes of kind 2 or 3 with a start or end in the region: bit 0x1 of the word at byte 2
    /// cleared (with `clear`), the words at bytes 22, 52 and 68 set (a value other than 0).
    void AdjustInRegion(const hostapi::SelectionRecord& region, bool clear, int16_t value);
    /// Marks the shapes of the wanted kinds on the staff that take part in the range and fills
    /// Sums with them (emptied first): entry-attached shapes are placed from their start entry,
    /// the others from `base`. With `index` (of this list and staff) only the shapes it gives
    /// for the measures are looked at, instead of the whole list.
    void CollectRange(int32_t staff, int32_t first, int32_t last, const hostapi::SelectionRecord& range, bool hairpins,
                      bool customShapes, bool aboveTest, bool useTransposition, int32_t base,
                      const TStaffShapeIndex* index = nullptr);
    /// The places (0-based, ascending) of the shapes the last CollectRange marked.
    const std::vector<int32_t>& TakenPlaces() const { return m_takenPlaces; }

    bool FindInRange(int32_t measure, int32_t staff, hostapi::Edu position, int32_t kind) const;
    bool FindByStaff(int32_t measure, int32_t staff) const;
    bool FindKind25or26(int32_t entry) const;
    /// The start entries of the shapes of kind 25 or 26, ascending: one pass for a walk that asks
    /// FindKind25or26 of every entry.
    std::vector<int32_t> StartsOfKind25or26() const;
    /// The 1-based place of the first shape of kind 25 or 26 ending at the entry with the note
    /// identifier `value` at byte 78; 0 when none.
    int32_t FindByEnds(int32_t endEntry, int32_t value) const;

    int32_t FirstMeasure() const { return m_first; }
    int32_t LastMeasure() const { return m_last; }

    LayoutSum Sums;

private:
    bool Reverify();
    void AppendStoredAfterCursor();
    /// Unmarks the shapes the last CollectRange marked, before the list loses any of them.
    void ForgetTaken();

    std::vector<std::unique_ptr<TSmartShape>> m_shapes;
    std::vector<int32_t> m_takenPlaces;
    int32_t m_first = 0;
    int32_t m_last = 0;
    int32_t m_cursor = 0;    ///< the highest stored shape number at the last load
    int32_t m_document = 0;  ///< the identity of the document in front at the last load (0: none known)
};

/// The shapes of one staff of a list by the measures they span, so that a tool that asks about
/// a staff measure by measure (or group by group) makes an ordered lookup each time instead of a
/// walk over the whole list. It reads the list as it is when it is made: a tool that changes the
/// staves or measures of the list's shapes, or the list itself, makes it again.
class TStaffShapeIndex {
public:
    TStaffShapeIndex(const TSmartShapes& shapes, int32_t staff);

    int32_t Staff() const { return m_staff; }
    /// Whether a shape starting on the staff spans the measure (as TSmartShapes::FindByStaff).
    bool Spans(int32_t measure) const;
    /// The places (0-based, ascending) in the list of the staff's shapes that span a measure
    /// from first to last.
    std::vector<int32_t> Overlapping(int32_t first, int32_t last) const;

private:
    struct Item {
        int32_t startMeasure = 0;
        int32_t reach = 0;  ///< the latest end measure of this item and every item before it
        int32_t endMeasure = 0;
        int32_t place = 0;
    };
    /// The items up to the last that starts at or before the measure.
    size_t CountStartingBy(int32_t measure) const;

    int32_t m_staff = 0;
    std::vector<Item> m_items;  ///< by start measure, then place
};

/// From host year 2000 on: deletes the target key's range records that overlap measures first
/// to last, then copies the source key's overlapping ones to the target, clipped to the range.
/// False (nothing done) before host year 2000 and when source and target are the same key.
bool ClipShapeRangeRecords(int32_t sourceKey, int32_t targetKey, int32_t first, int32_t last);

}  // namespace orvex
