// Slurs: "Vx Create S&lurs..." (tool 46), which runs inside the entry walk and puts
// note-attached slurs over runs of consecutive notes of a measure, and "Vx S&lurs..." (tool 75),
// which works over the existing slurs of the selected measures. Both share the slur geometry
// here: horizontal positions in a measure (through its beat chart when it has one), the
// distance between two entries, the contour taken from the host's slur contour defaults, the
// side of a slur and the recalculation of a slur's contour from its end notes.
//
// A slur is a smart shape record 'O\x07Sx' (84 bytes) linked from its measures ('otMx') and,
// when attached to entries, from its two entries ('edEx').
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/host/smart_shapes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/types.h"

namespace orvex {

struct TFMisc;
struct EntryWalkState;

/// The slur fields of the smart shape record; every other byte of a new slur is 0.
struct SlurLayout {
    static constexpr size_t kType = 0;            ///< @0, i16, kSlur...
    static constexpr size_t kFlags2 = 2;          ///< @2, u16
    static constexpr size_t kFlags4 = 4;          ///< @4, u16, kSlurEntryAttached
    static constexpr size_t kLeftStaff = 6;       ///< @6, i16
    static constexpr size_t kLeftMeasure = 8;     ///< @8, i16
    static constexpr size_t kLeftEntry = 10;      ///< @10, i32, entry number (EDU when measure-attached)
    static constexpr size_t kLeftManual = 14;     ///< @14, u16, manual placement 0/1
    static constexpr size_t kLeftOffset = 16;     ///< @16, i16, vertical offset (EVPU)
    static constexpr size_t kLeftPlacement = 18;  ///< @18, u16, 0x4201 manual, 0 automatic
    static constexpr size_t kLeftContour = 20;    ///< @20, i16 x4: inset, height, -inset, height
    static constexpr size_t kLeftContourFlags = 28;
    static constexpr size_t kWord34 = 34;
    static constexpr size_t kRightStaff = 36;
    static constexpr size_t kRightMeasure = 38;
    static constexpr size_t kRightEntry = 40;
    static constexpr size_t kRightManual = 44;
    static constexpr size_t kRightOffset = 46;
    static constexpr size_t kRightPlacement = 48;
    static constexpr size_t kRightContour = 50;
    static constexpr size_t kRightContourFlags = 58;
    static constexpr size_t kWord64 = 64;
    static constexpr size_t kMainContour = 66;
    static constexpr size_t kMainContourFlags = 74;

    /// The offset of the second end's field that mirrors a first end's field.
    static constexpr size_t kRightEnd = kRightStaff - kLeftStaff;
};
static_assert(SlurLayout::kMainContourFlags + 2 <= SmartShapeRecord::kSize);
static_assert(SlurLayout::kLeftPlacement + SlurLayout::kRightEnd == SlurLayout::kRightPlacement);

inline constexpr int16_t kSlurBelow = 0;
inline constexpr int16_t kSlurAbove = 1;
inline constexpr int16_t kSlurAutomatic = 15;
inline constexpr uint16_t kSlurEntryAttached = 0x4000;  ///< flags word at byte 4
inline constexpr uint16_t kSlurManualPlacement = 0x4201;
inline constexpr uint16_t kSlurContourFlags = 0x4200;

/// The host's slur contour defaults: other record 'O', 2, '5', '2' (-2, 0), 24 bytes; three
/// points of (span, inset, height) for short, medium and long slurs.
using hostapi::kTagSlurContours;

/// An end of an entry-attached slur as found in its cell: a copy of the entry, the layer that
/// holds it, whether other layers of the cell hold entries, its stem and whether it is short
/// and open (subsystem 1's EntryReplace).
struct SlurEnd {
    hostapi::EntryRecord entry;
    hostapi::LayerIndex layer = 0;
    bool otherLayers = false;
    bool stemUp = false;
    bool isShort = false;
};
/// Looks an end's entry up by its number in the cell of `view` at the staff slot.
bool FindSlurEnd(hostapi::ViewKey view, hostapi::StaffSlot slot, int32_t measure, hostapi::EntryNumber number,
                 hostapi::InstrumentKey staff, int16_t key, SlurEnd& end);

/// Whether a smart shape of this type is a slur the slur commands handle.
bool IsSlurType(int16_t type);

/// Loads the slur contour defaults into the context (zeros when the document has none).
void LoadSlurContourDefaults(TFMisc& context);

/// The horizontal position (EVPU) of a position (EDU) in the measure whose record the context
/// holds: through the context's loaded beat chart when it has one, else in proportion to the
/// measure's width.
int32_t MeasureXPosition(TFMisc& context, hostapi::Edu position, int32_t measure);
/// EVPU from a position in one measure to a position in the same or a later measure; loads the
/// measures' records and beat charts into the context.
int32_t HorizontalDistance(TFMisc& context, int32_t measure1, hostapi::Edu position1, int32_t measure2,
                           hostapi::Edu position2);
/// The height of a slur of the length from the contour defaults; its inset goes to `inset`.
int32_t ContourFromDefaults(const TFMisc& context, int32_t length, int32_t& inset);
/// Whether the slur lies above its notes: by its type, else by its layer's fixed side, else
/// below only when both stems point up.
bool SlurAbove(const TFMisc& context, const SmartShapeRecord& record, bool stemUpLeft, bool stemUpRight,
               hostapi::LayerIndex layer, bool otherLayers);
/// Rewrites the contour of an entry-attached slur from the distance of its end notes (both
/// looked up in the cells of `view` at the staff slots given). With `onlyWhenUnadjusted` only a
/// slur with automatic placement and a still plain contour is rewritten. Answers whether it
/// wrote.
bool RecalculateSlurContour(TFMisc& context, SmartShapeRecord& record, hostapi::ViewKey view,
                            hostapi::StaffSlot leftSlot, hostapi::StaffSlot rightSlot, bool onlyWhenUnadjusted);

/// The entry nearest a position in the first layer (0, 1, 2, 3; with `lowerLayerFirst` 1, 0, 2,
/// 3) whose cell holds entries: among its entries from `firstIndex` on that take time, a
/// distance on the preferred side counting half. The entry found is marked (entry flag 0x20) and
/// its cell saved; its number and index are answered. False when that layer has none.
bool FindEntryNearPosition(TFMisc& context, const hostapi::SelectionRecord& region, hostapi::StaffSlot slot,
                           int32_t measure, hostapi::Edu position, hostapi::EntryNumber& entry, int32_t firstIndex,
                           bool preferEarlier, bool preferLater, int32_t& index, bool lowerLayerFirst);

// ---- Collisions with articulations (the Slurs command's row 5) ----

/// Whether `number` occurs as a whole number in a list of numbers separated by blanks, commas
/// or semicolons.
bool NumberInList(int32_t number, std::string_view list);
/// The adjustment (EVPU) a slur end keeps from an articulation of a character, by the character
/// table (row 8) and the number lists (rows 10, 11, 14); its off-center correction scaled by the
/// size in the font word (font number + 256 x size) / 24; whether the character goes above the
/// slur's tip. True when an adjustment applies.
bool ArticulationAdjustment(int32_t character, int32_t number, uint16_t fontWord, const TFMisc& context, bool& aboveTip,
                            int32_t& adjustment, int32_t& offCenter);
/// Moves the ends of an entry-attached slur clear of the articulations on its side, or those
/// articulations above its tip; `changed` is set when the record changed. False when the host
/// gave no placement for an end: the user was told and the command ends.
bool ResolveSlurCollisions(TFMisc& context, const hostapi::SelectionRecord& region, SmartShapeRecord& record,
                           bool& changed);

/// Creates the 'otMx' link of the measure and the 'edEx' links of the two entries for a new
/// entry-attached shape, and marks the measure as holding smart shapes.
void LinkNewSlur(int32_t shape, int32_t measure, hostapi::EntryNumber first, hostapi::EntryNumber last);

/// Options of Create Slurs, by row.
enum CreateSlursRow : size_t {
    CREATE_SLURS_NOTES = 0,  ///< slurs over how many notes (0 = any)
    CREATE_SLURS_DEFAULT_CONTOUR = 1,
    CREATE_SLURS_HEIGHT = 2,
    CREATE_SLURS_INSET = 3,  ///< percent
    CREATE_SLURS_DEFAULT_PLACEMENT = 4,
    CREATE_SLURS_LEFT_DISTANCE = 5,
    CREATE_SLURS_RIGHT_DISTANCE = 6
};

/// Options of the Slurs command, by row.
enum SlurToolRow : size_t {
    SLURS_CONVERT = 0,
    SLURS_RECALCULATE = 1,
    SLURS_ONLY_UNADJUSTED = 2,
    SLURS_RAISE = 3,
    SLURS_RESET_PLACEMENT = 4,
    SLURS_RESOLVE_COLLISIONS = 5
};

/// Options of the Slurs command for its collisions with articulations, by row.
enum CollisionRow : size_t {
    SLURS_SMALL_ADJUSTMENT = 6,
    SLURS_BIG_ADJUSTMENT = 7,
    SLURS_RECOGNIZE = 8,
    SLURS_IGNORE_LIST = 9,
    SLURS_SMALL_LIST = 10,
    SLURS_BIG_LIST = 11,
    SLURS_ABOVE_TIP_LIST = 12,
    SLURS_IGNORE_POSITIONED = 13,
    SLURS_OFF_CENTER_LIST = 14,
    SLURS_OFF_CENTER = 15,
};

}  // namespace orvex
