// Stored records of the page layout, the staff groups, the smart shapes and the page items, as
// both the host and the plug-ins read them. Offsets are byte offsets into the little-endian
// record; fields that are not named travel unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/hostapi/types.h"

namespace hostapi {

inline constexpr Tag kTagPage = MakeTag("SOPS");
inline constexpr Tag kTagStaffSystem = MakeTag("SOSS");
inline constexpr Tag kTagStaffSystem2001 = MakeTag("O\x02SS");
inline constexpr Tag kTagLockedMeasures = MakeTag("otFM");
inline constexpr Tag kTagStaffGroup = MakeTag("SDNG");
inline constexpr Tag kTagSmartShape = MakeTag("O\x07Sx");
inline constexpr Tag kTagShapeMeasureLink = MakeTag("otMx");
inline constexpr Tag kTagShapeEntryLink = MakeTag("edEx");
inline constexpr Tag kTagShapeRange = MakeTag("O\x02Sy");
inline constexpr Tag kTagPageText = MakeTag("O\x02pT");
inline constexpr Tag kTagPageGraphic = MakeTag("O\x03pg");
inline constexpr Tag kTagFileRecord = MakeTag("otFd");
inline constexpr Tag kTagFilePath = MakeTag("otFp");
inline constexpr Tag kTagBeatChart = MakeTag("otBC");
inline constexpr Tag kTagStaff = MakeTag("SOIS");
/// One staff of a staff (instrument usage) list.
inline constexpr Tag kTagStaffListEntry = MakeTag("SOIu");
inline constexpr Tag kTagMeasure = MakeTag("SOMS");
/// The header of a text block and its characters.
inline constexpr Tag kTagTextBlock = MakeTag("SOTX");
inline constexpr Tag kTagTextBlockText = MakeTag("txbl");
/// The multimeasure rests a system split moves along (also the 2001 form of the staff lists).
inline constexpr Tag kTagMultimeasureRest = MakeTag("O\x02XI");
inline constexpr Tag kTagLineStyle = MakeTag("O\x06ls");
/// The slur contour settings of the document (other record -2).
inline constexpr Tag kTagSlurContours = MakeTag(
    "O\x02"
    "52");
/// The staff membership lists of the measure-attached items: bits 1, 2, 4 and 8 of a membership.
inline constexpr Tag kTagMembershipList1 = MakeTag("otDC");
inline constexpr Tag kTagMembershipList2 = MakeTag("otdc");
inline constexpr Tag kTagMembershipList4 = MakeTag("otIO");
inline constexpr Tag kTagMembershipList8 = MakeTag("otio");
/// The document option record (other record -2): word 0 non-zero when the option is set.
inline constexpr Tag kTagDocumentOption = MakeTag("ot12");
/// The document's beam options (other record -2).
inline constexpr Tag kTagBeamOptions = MakeTag("ot41");
/// The program's and the document's preferences (global records).
inline constexpr Tag kTagProgramPreferences = MakeTag("pfgp");
inline constexpr Tag kTagFontDefinition = MakeTag("pfdf");
/// The parts extracted from the score, and the reduction of a staff in a measure.
inline constexpr Tag kTagExtractedPart = MakeTag("ot23");
inline constexpr Tag kTagStaffReduction = MakeTag("dtLP");

/// 'SOPS' other (page, 0), 22 bytes: a page. Lengths in EVPU. The margins are offsets from the
/// page's edges in the page's own directions (x to the right, y upward): the left and bottom
/// margins are positive, the top and right margins are stored negative.
struct PageLayout {
    static constexpr size_t kSize = 22;
    static constexpr size_t kHeight = 0;         ///< @0, i32
    static constexpr size_t kWidth = 4;          ///< @4, i32
    static constexpr size_t kFirstSystem = 8;    ///< @8, i16, first staff system on the page; 0 not laid out, -1 none
    static constexpr size_t kFlags = 10;         ///< @10, u16
    static constexpr size_t kTopMargin = 12;     ///< @12, i16, stored negative (downward from the top edge)
    static constexpr size_t kLeftMargin = 14;    ///< @14, i16
    static constexpr size_t kBottomMargin = 16;  ///< @16, i16, upward from the bottom edge
    static constexpr size_t kRightMargin = 18;   ///< @18, i16, stored negative (inward from the right edge)
    static constexpr size_t kPercent = 20;       ///< @20, i16, scaling of the page

    static constexpr int16_t kNoSystems = -1;
};

/// A staff system in its 24-byte form: 'O\x02SS' other (system, 0), from host year 2001, read
/// and written with interface version 0x06000200.
struct StaffSystemLayout {
    static constexpr size_t kSize = 24;
    static constexpr size_t kTopStaffOffset = 0;  ///< @0, i16, what the system's own staff list is relative to
    static constexpr size_t kLeftMargin = 2;      ///< @2, i16
    static constexpr size_t kRightMargin = 4;     ///< @4, i16, stored negative (inward from the page's margin)
    static constexpr size_t kDistance = 6;        ///< @6, i16, space above the next system, stored negative
    static constexpr size_t kFirstMeasure = 8;    ///< @8, i16
    static constexpr size_t kFlags = 10;          ///< @10, u16
    static constexpr size_t kEndMeasure = 12;     ///< @12, i16, one past the system's last measure
    static constexpr size_t kWord14 = 14;         ///< @14, i16
    static constexpr size_t kWord16 = 16;         ///< @16, i16
    static constexpr size_t kPercent = 18;        ///< @18, i16, scaling of the system
    static constexpr size_t kExtra20 = 20;        ///< @20, i16, 0 after conversion from the 20-byte form
    static constexpr size_t kExtra22 = 22;        ///< @22, i16, not touched by the conversion

    static constexpr uint16_t kOwnStaffList = 0x4000;  ///< the system has a staff list of its own ('SOIu' system)
};

/// The same staff system in its 20-byte form: 'SOSS' other (system, 0), every host year. Bytes
/// 0-9 and 14 are those of the 24-byte form.
struct StaffSystem20Layout {
    static constexpr size_t kSize = 20;
    static constexpr size_t kEndMeasure = 10;  ///< @10, i16 (24-byte form @12)
    static constexpr size_t kWord12 = 12;      ///< @12, i16 (24-byte form @16)
    static constexpr size_t kPercent = 16;     ///< @16, i16 (24-byte form @18)
    static constexpr size_t kFlags = 18;       ///< @18, u16 (24-byte form @10)
};

/// 'otFM' other (first measure, 0), 12 bytes: the system from that measure on is locked.
struct LockedMeasuresLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kEndMeasure = 0;  ///< @0, i16, one past the locked system's last measure
};

/// 'SDNG' detail (staff list, group, 0), 30 bytes: a staff group of a staff list (0 = the score's).
struct StaffGroupLayout {
    static constexpr size_t kSize = 30;
    static constexpr size_t kFirstStaff = 0;        ///< @0, i16
    static constexpr size_t kLastStaff = 2;         ///< @2, i16
    static constexpr size_t kFullName = 4;          ///< @4, i16, text block of the full name (0 = none)
    static constexpr size_t kBracket = 10;          ///< @10, i16, bracket kind
    static constexpr size_t kAbbreviatedName = 22;  ///< @22, i16, text block of the abbreviated name (0 = none)
    static constexpr int16_t kLastGroup = 100;
};

/// 'O\x07Sx' other (shape, 0), 84 bytes: a smart shape.
///
/// Hairpins (kinds kHairpinOpen and kHairpinClose) carry their opening width in EVPU three times,
/// at bytes 22, 52 and 68 (the host reads byte 22; the others follow it for its older readers),
/// and bit kHairpinAngled of the word at byte 2: set, a hairpin that crosses a system break keeps
/// its slope on the next system; clear, it is made horizontal over the break (the host's option
/// "Make horizontal over system break"). The host's layout draws nothing, so `dump records` shows
/// both: "opening W, horizontal over a system break" or "..., angled over a system break". A slur
/// (kinds 0, 1, 8, 9, 15 and 16) shows its placement words and contour blocks where they are set:
/// "placement 0x4201 0x4201", "contour 327 25 -327 25 | ... | ..." (left, right, main).
struct SmartShapeLayout {
    static constexpr size_t kSize = 84;
    static constexpr size_t kKind = 0;          ///< @0, i16
    static constexpr size_t kWord2 = 2;         ///< @2, u16; kHairpinAngled
    static constexpr size_t kAttachment = 5;    ///< @5, u8, kEntryAttached
    static constexpr size_t kStartStaff = 6;    ///< @6, i16
    static constexpr size_t kStartMeasure = 8;  ///< @8, i16
    static constexpr size_t kStart = 10;        ///< @10, i32, entry number or EDU in the measure
    static constexpr size_t kStartOffset = 16;  ///< @16, i16, vertical offset of the start (a line's start height)
    static constexpr size_t kWord22 = 22;       ///< @22, i16
    static constexpr size_t kEndStaff = 36;     ///< @36, i16
    static constexpr size_t kEndMeasure = 38;   ///< @38, i16
    static constexpr size_t kEnd = 40;          ///< @40, i32, entry number or EDU in the measure
    static constexpr size_t kEndHorizontalOffset = 44;  ///< @44, i16
    static constexpr size_t kEndOffset = 46;            ///< @46, i16, vertical offset of the end (its height)
    static constexpr size_t kEndAttachment = 48;        ///< @48, u16, placement word of the end
    static constexpr size_t kWord52 = 52;               ///< @52, i16
    static constexpr size_t kWord68 = 68;               ///< @68, i16
    static constexpr size_t kStartNote = 76;            ///< @76, i16, note identifier at the start
    static constexpr size_t kEndNote = 78;              ///< @78, i16, note identifier at the end

    // A slur's three contour blocks (left, right, main): inset, height, -inset, height each.
    static constexpr size_t kLeftContour = 20;      ///< @20, i16 x4
    static constexpr size_t kRightContour = 50;     ///< @50, i16 x4
    static constexpr size_t kMainContour = 66;      ///< @66, i16 x4
    static constexpr size_t kStartAttachment = 18;  ///< @18, u16, placement word of the start

    static constexpr uint8_t kEntryAttached = 0x40;
    static constexpr int16_t kHairpinOpen = 2;
    static constexpr int16_t kHairpinClose = 3;
    static constexpr uint16_t kHairpinAngled = 0x0001;  ///< word 2 of a hairpin: keeps its slope over a break
    static constexpr size_t kHairpinOpening = kWord22;  ///< @22, i16, opening width (also @52 and @68)
};

/// 'otBC' other (measure, index 0-999), 10 bytes: the beat chart of a measure spaced by the
/// host's note spacing (spacing mode 2 or 6 in the low three bits of the 'SOMS' word at byte 8).
/// The header (index 0) reads its fields as given after the semicolons.
struct BeatChartLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kTime = 0;      ///< @0, i32, EDU from the measure start; header: total duration
    static constexpr size_t kPosition = 4;  ///< @4, i16; header: end position of the chart
    static constexpr size_t kNext = 6;      ///< @6, i16, where the space ends; header: minimum end position
    static constexpr size_t kMinimum = 8;   ///< @8, i16, 0 = none; header: a word that moves with the width
    static constexpr int32_t kMaxRecords = 1000;
    static constexpr uint16_t kSpacingModeMask = 0x0007;
};

/// 'ot12' other (-2, 0), 12 bytes: the document option.
struct DocumentOptionLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kValue = 0;  ///< @0, i16, non-zero when the option is set
};

/// 'ot41' other (-2, 0), 12 bytes: the document's beam options.
struct BeamOptionsLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kSecondAdjustment =
        0;  ///< @0, i16, what the second beam adjustment of white tremolos takes
};

/// 'pfdf' global (font definition number), 6 bytes: a font of the document.
struct FontDefinitionLayout {
    static constexpr size_t kSize = 6;
    static constexpr size_t kFont = 0;     ///< @0, u8, font number
    static constexpr size_t kPoints = 2;   ///< @2, i16, size in points
    static constexpr size_t kEffects = 4;  ///< @4, i16, style effects
};

/// 'otMx' other (measure, inci) and 'edEx' entry detail (entry, inci), 12 bytes: a link from a
/// measure or an entry to a smart shape.
struct ShapeLinkLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kShape = 0;  ///< @0, i16, the shape's number; the rest 0
};

/// 'O\x02Sy' other (key, inci), 24 bytes: a measure range record of smart shapes.
struct ShapeRangeLayout {
    static constexpr size_t kSize = 24;
    static constexpr size_t kFirstMeasure = 6;  ///< @6, i16
    static constexpr size_t kLastMeasure = 12;  ///< @12, i16
};

/// 'O\x02pT' other (page, inci), 24 bytes: a text placed on a page.
struct PageTextLayout {
    static constexpr size_t kSize = 24;
    static constexpr size_t kTextBlock = 0;  ///< @0, i16, text block with the text
};

/// 'O\x03pg' other (page, inci), 34 bytes: a graphic placed on a page.
struct PageGraphicLayout {
    static constexpr size_t kSize = 34;
    static constexpr size_t kFile = 10;  ///< @10, i16, the 'otFd' file record
};

/// 'otFd' other (file, 0), 10 bytes: the file of a graphic.
struct FileRecordLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kPath = 4;  ///< @4, i16, key of the 'otFp' pieces of the path
};

/// 'otFp' other (path, inci): one piece of a file path, at most 12 characters, zero-terminated.
struct FilePathLayout {
    static constexpr size_t kPieceLength = 12;
};

}  // namespace hostapi
