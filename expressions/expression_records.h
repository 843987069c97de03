// The document's expressions in memory. The host stores a measure-attached expression as an
// assignment 'otDY' (measure, inci) with optional per-staff position records 'otDI' (measure,
// inci), and a note-attached one as an 'edED' (entry, inci). `TScoreExpression` and
// `TStaffExpression` wrap one assignment each; `TShapeItem` lets a smart shape of the access
// layer's list be aligned with them by one routine. The lists hold the items with a running
// layout sum of their vertical places.
//
// `CollectRegionExpressions` walks the measure-attached assignments of a measure range and,
// by its switches, collects them, removes them from a staff, copies them to another staff,
// scales their horizontal positions, or turns them into per-staff or note-attached ones.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/host/finxess_records.h"
#include "core/host/smart_shapes.h"
#include "core/option_element.h"
#include "expressions/expression_rows.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/expression_records.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/types.h"

namespace orvex {

class RunEnvironment;

struct TFMisc;
class TInstruments;
class TTextExpressions;

inline constexpr hostapi::Tag kTagMeasureExpression = hostapi::kTagMeasureExpression;
using hostapi::kTagExpressionPlace;
inline constexpr hostapi::Tag kTagNoteExpression = hostapi::kTagNoteExpression;

/// 'otDY' (measure, inci), 12 bytes: a measure-attached expression.
struct MeasureExpressionLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kNumber = 0;    ///< @0, i16, text expression number (shape expression with kShape)
    static constexpr size_t kPosition = 2;  ///< @2, i16, EDU from the measure's start
    static constexpr size_t kVertical = 4;  ///< @4, i16, EVPU from the top staff line, negative below
    static constexpr size_t kLink = 6;      ///< @6, i16, ties the 'otDI' records (with kHasPlaces)
    static constexpr size_t kFlags = 10;    ///< @10, u16, see the masks below

    static constexpr uint16_t kTargetMask = 0x03FF;  ///< staff (kSingleStaff) or staff list (0 = all)
    static constexpr uint16_t kHasPlaces = 0x0800;   ///< per-staff 'otDI' records exist
    static constexpr uint16_t kSingleStaff = 0x1000;
    static constexpr uint16_t kShape = 0x2000;     ///< shape expression; clear: text expression
    static constexpr uint16_t kKindMask = 0x6000;  ///< both clear: a plain text expression
    static constexpr uint16_t kKeptMask = 0xF400;  ///< kept when the staff is replaced
};

/// 'otDI' (measure, inci), 12 bytes: the place of a measure expression on one staff.
struct ExpressionPlaceLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kStaff = 0;       ///< @0, i16
    static constexpr size_t kLink = 2;        ///< @2, i16, the 'otDY' link
    static constexpr size_t kHorizontal = 4;  ///< @4, i16, EDU added to the 'otDY' position
    static constexpr size_t kVertical = 6;    ///< @6, i16, EVPU added to the 'otDY' vertical position
};

/// 'edED' (entry, inci), 10 bytes: a note-attached expression.
struct NoteExpressionLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kNumber = 0;      ///< @0, i16
    static constexpr size_t kHorizontal = 2;  ///< @2, i16, EVPU from the entry
    static constexpr size_t kVertical = 4;    ///< @4, i16, EVPU from the entry's first note
    static constexpr size_t kFlags = 8;       ///< @8, u16, kText

    static constexpr uint16_t kText = 0x8000;  ///< a text expression; clear: a shape expression
    static constexpr uint16_t kAtLastNote = 0x0800;
};

/// The entry's word at byte 12: bit 0 = the entry has note expressions.
inline constexpr uint16_t kEntryHasNoteExpressions = 0x0001;

inline constexpr hostapi::Tag kTagArticulation = hostapi::kTagArticulation;
inline constexpr hostapi::Tag kTagArticulationDefinition = hostapi::kTagArticulationDefinition;

/// An 'otDY' record with named fields.
struct MeasureExpressionRecord : Record12 {
    using L = MeasureExpressionLayout;
    int16_t number() const { return hostapi::ReadI16(data(), L::kNumber); }
    int16_t position() const { return hostapi::ReadI16(data(), L::kPosition); }
    int16_t vertical() const { return hostapi::ReadI16(data(), L::kVertical); }
    int16_t link() const { return hostapi::ReadI16(data(), L::kLink); }
    uint16_t flags() const { return hostapi::ReadU16(data(), L::kFlags); }
    int32_t target() const { return flags() & L::kTargetMask; }
    bool singleStaff() const { return (flags() & L::kSingleStaff) != 0; }
    bool hasPlaces() const { return (flags() & L::kHasPlaces) != 0; }
    bool isShape() const { return (flags() & L::kShape) != 0; }
    bool isPlainText() const { return (flags() & L::kKindMask) == 0; }
    void setNumber(int16_t v) { hostapi::WriteI16(data(), L::kNumber, v); }
    void setPosition(int32_t v) { hostapi::WriteI16(data(), L::kPosition, static_cast<int16_t>(v)); }
    void setVertical(int32_t v) { hostapi::WriteI16(data(), L::kVertical, static_cast<int16_t>(v)); }
    void setLink(int32_t v) { hostapi::WriteI16(data(), L::kLink, static_cast<int16_t>(v)); }
    void setFlags(uint16_t v) { hostapi::WriteU16(data(), L::kFlags, v); }
    /// Assigns the record to one staff, keeping the kept bits.
    void setSingleStaff(int32_t staff) {
        setFlags(static_cast<uint16_t>((flags() & L::kKeptMask) | (staff & L::kTargetMask) | L::kSingleStaff));
    }
};
static_assert(sizeof(MeasureExpressionRecord) == MeasureExpressionLayout::kSize);

/// An 'otDI' record with named fields.
struct ExpressionPlaceRecord : Record12 {
    using L = ExpressionPlaceLayout;
    int16_t staff() const { return hostapi::ReadI16(data(), L::kStaff); }
    int16_t link() const { return hostapi::ReadI16(data(), L::kLink); }
    int16_t horizontal() const { return hostapi::ReadI16(data(), L::kHorizontal); }
    int16_t vertical() const { return hostapi::ReadI16(data(), L::kVertical); }
    void setStaff(int32_t v) { hostapi::WriteI16(data(), L::kStaff, static_cast<int16_t>(v)); }
    void setLink(int32_t v) { hostapi::WriteI16(data(), L::kLink, static_cast<int16_t>(v)); }
    void setVertical(int32_t v) { hostapi::WriteI16(data(), L::kVertical, static_cast<int16_t>(v)); }
};
static_assert(sizeof(ExpressionPlaceRecord) == ExpressionPlaceLayout::kSize);

/// An 'edED' record with named fields.
struct NoteExpressionRecord : Record10 {
    using L = NoteExpressionLayout;
    int16_t number() const { return hostapi::ReadI16(data(), L::kNumber); }
    int16_t horizontal() const { return hostapi::ReadI16(data(), L::kHorizontal); }
    int16_t vertical() const { return hostapi::ReadI16(data(), L::kVertical); }
    uint16_t flags() const { return hostapi::ReadU16(data(), L::kFlags); }
    void setNumber(int32_t v) { hostapi::WriteI16(data(), L::kNumber, static_cast<int16_t>(v)); }
    void setHorizontal(int32_t v) { hostapi::WriteI16(data(), L::kHorizontal, static_cast<int16_t>(v)); }
    void setVertical(int32_t v) { hostapi::WriteI16(data(), L::kVertical, static_cast<int16_t>(v)); }
    void setFlags(uint16_t v) { hostapi::WriteU16(data(), L::kFlags, v); }
};
static_assert(sizeof(NoteExpressionRecord) == NoteExpressionLayout::kSize);

/// One placed item that the placement tools move: the fields and operations that measure
/// expressions, note expressions and smart shapes share (over the access layer's base, which
/// keeps the reference and the moved-by value).
class TExpressionItem : public TExpression {
public:
    using TExpression::Straighten;

    virtual bool IsTextExpression() const = 0;
    bool IsShapeExpression() const { return !IsTextExpression(); }
    virtual int32_t ExpressionNumber() const = 0;
    virtual int32_t VerticalPosition() const = 0;
    virtual void SetVerticalPosition(int32_t value) = 0;
    /// Only smart shapes act on it.
    virtual void Straighten(int32_t /*mode*/) {}
    virtual uint8_t* StoredRecord() = 0;
    virtual bool Save() = 0;

    int32_t Staff = 0;     ///< staff number (a slot offset in lists made for copying)
    int32_t Index = 0;     ///< the record's inci
    int32_t Measure = 0;   ///< measure number (a measure offset in lists made for copying)
    int32_t Position = 0;  ///< EDU
    int32_t TimeKey = 0;   ///< thousandths of a measure: measure x 1000 + position x 1000 / duration
    uint8_t Follower = 0;  ///< follows the nearest aligned item instead of being aligned
    uint8_t Above = 0;     ///< at or above the top staff line
};

/// A measure-attached expression: its 'otDY' and the 'otDI' of its staff.
class TScoreExpression : public TExpressionItem {
public:
    /// With `placeIndex` below 0 the place record is made anew for `staff` and the record's link.
    TScoreExpression(int32_t measure, int32_t index, const MeasureExpressionRecord& record, int32_t placeIndex,
                     const ExpressionPlaceRecord& place, int32_t staff);

    bool IsTextExpression() const override { return !m_record.isShape(); }
    int32_t ExpressionNumber() const override { return m_record.number(); }
    int32_t VerticalPosition() const override { return m_record.vertical() + m_place.vertical(); }
    void SetVerticalPosition(int32_t value) override;
    uint8_t* StoredRecord() override { return m_record.data(); }
    /// Single-staff: saves the 'otDY'. Otherwise gives the assignment its place records (the
    /// first time: flag kHasPlaces, the link's old places deleted) and saves or creates this
    /// staff's place.
    bool Save() override;

    MeasureExpressionRecord& Record() { return m_record; }
    const MeasureExpressionRecord& Record() const { return m_record; }
    ExpressionPlaceRecord& Place() { return m_place; }
    int32_t PlaceIndex() const { return m_placeIndex; }

private:
    MeasureExpressionRecord m_record;
    int32_t m_placeIndex = -1;
    ExpressionPlaceRecord m_place;
};

/// A note-attached expression.
class TStaffExpression : public TExpressionItem {
public:
    /// Sets the fields and loads the record; false when there is none.
    bool Init(int32_t measure, hostapi::EntryNumber entry, int32_t index, int32_t staff);

    bool IsTextExpression() const override { return (m_record.flags() & NoteExpressionLayout::kText) != 0; }
    int32_t ExpressionNumber() const override { return m_record.number(); }
    int32_t VerticalPosition() const override { return m_record.vertical(); }
    void SetVerticalPosition(int32_t value) override { m_record.setVertical(value); }
    uint8_t* StoredRecord() override { return m_record.data(); }
    bool Save() override;

    NoteExpressionRecord& Record() { return m_record; }
    hostapi::EntryNumber Entry() const { return m_entry; }

private:
    NoteExpressionRecord m_record;
    hostapi::EntryNumber m_entry = 0;
};

/// A smart shape of the access layer's list as an aligned item: its vertical position is the
/// start's offset; moving it moves both ends, straightening levels the end with the start.
class TShapeItem : public TExpressionItem {
public:
    explicit TShapeItem(TSmartShape& shape);

    bool IsTextExpression() const override { return false; }
    int32_t ExpressionNumber() const override { return 0; }
    int32_t VerticalPosition() const override;
    void SetVerticalPosition(int32_t value) override;
    void Straighten(int32_t mode) override;
    uint8_t* StoredRecord() override { return m_shape->Record.data(); }
    bool Save() override;

private:
    TSmartShape* m_shape;
};

/// An owning list of expression items and the layout sum of those that are not followers.
class TExpressionList {
public:
    int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
    /// Item n (0-based); nullptr outside the list.
    TExpressionItem* At(int32_t n) const;
    void Append(std::unique_ptr<TExpressionItem> item) { m_items.push_back(std::move(item)); }
    std::vector<std::unique_ptr<TExpressionItem>>& Items() { return m_items; }

    LayoutSum Sums;

private:
    std::vector<std::unique_ptr<TExpressionItem>> m_items;
};
using TScoreExpressions = TExpressionList;
using TStaffExpressions = TExpressionList;

/// The flags and lists that steer CollectRegionExpressions; the defaults collect.
struct CollectSwitches {
    const OptionArray* alignOptions = nullptr;         ///< tool 29
    const ExtendedOptionArray* moreOptions = nullptr;  ///< its "More..." rows (tool 31)
    int32_t staffFilter = 0;                           ///< 0 = every staff
    bool remove = false;
    int32_t targetStaff = 0;  ///< copy to this staff; 0 = none
    bool convert = false;
    bool slotCopy = false;
    const TInstruments* staves = nullptr;  ///< the staves to convert to
    bool removeAllStaves = false;
    bool oneStaff = false;
    TFMisc* expressionOptions = nullptr;  ///< tool 72: rows 2-7 steer the conversion
    double factor = 0.0;                  ///< scales the horizontal positions; 0.0 = none
};

/// Walks the measure-attached expressions of measures first to last that lie in the region
/// (their positions checked against it) and collects, removes, copies, scales or converts them
/// as the switches say. Measures without the measure record's expression flag are skipped.
void CollectRegionExpressions(const RunEnvironment& environment, TScoreExpressions& list, int32_t first, int32_t last,
                              const hostapi::SelectionRecord& region, const CollectSwitches& switches);

/// Classifies the item and appends it (the list then owns it); false when refused (the caller
/// deletes it). `referenceStep` 0x7FFFFFFF takes `referenceValue` as the reference; otherwise
/// the reference is (step + the clef's staff step) x 12, the staff step -10 without a staff record.
bool AddExpressionToList(const RunEnvironment& environment, TExpressionList& list,
                         std::unique_ptr<TExpressionItem>& item, const OptionArray* align,
                         const ExtendedOptionArray* more, int32_t duration, int32_t position, int32_t referenceStep,
                         int32_t referenceValue, const uint8_t* staffSpec, bool classify);

/// The largest link of the measure's 'otDI' records, 0 when none.
int32_t HighestExpressionLink(int32_t measure);

/// Writes the list's items as single-staff 'otDY' records into the region (measures and staff
/// slots relative to its first ones), text expression numbers mapped from the source table to
/// the target table through their texts and fonts. Items whose measure or staff slot the target
/// lacks are not written; answers their count.
int32_t PasteMeasureExpressions(const TScoreExpressions& list, const hostapi::SelectionRecord& region,
                                TTextExpressions& source, TTextExpressions& target, TFMisc& context);

/// EVPU from the measure's start of an EDU position, through the context's beat chart.
int32_t InterpolateMeasurePosition(const TFMisc& context, int32_t position);

/// Whether the text of a text expression reads as a dynamic by its words.
bool HasDynamicWords(const std::string& text);

/// Removes the staff's measure expressions of the range (with `allStaves` also those of every staff).
void ClearStaffExpressions(const RunEnvironment& environment, int32_t first, int32_t last,
                           const hostapi::SelectionRecord& region, int32_t staff, bool allStaves);
/// ClearStaffExpressions for each staff of the region over its measures.
void ClearStaffRangeExpressions(const RunEnvironment& environment, const hostapi::SelectionRecord& region,
                                bool allStaves);
/// Copies the staff's measure expressions of the range to the target staff (none when 0).
void CopyStaffExpressions(const RunEnvironment& environment, int32_t first, int32_t last,
                          const hostapi::SelectionRecord& region, int32_t staff, int32_t target);

}  // namespace orvex
