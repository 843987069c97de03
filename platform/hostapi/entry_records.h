// The records the host keeps beside the entries and notes of a cell: tuplets, articulations and
// their definitions, the per-note performance (playback) records, the stored MIDI events of a
// cell, secondary beam breaks, stem details and the tie records of a note. Entry detail records
// are keyed by the entry's number and an incidence (0, 1, ... in the order they were made);
// plug-ins read them by rising incidence until a load fails. Offsets are byte offsets into the
// little-endian record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/lyric_records.h"
#include "platform/hostapi/types.h"

namespace hostapi {

inline constexpr Tag kTagTuplet = MakeTag("E\x03TP");
inline constexpr Tag kTagArticulation = MakeTag("edIM");
inline constexpr Tag kTagArticulationDefinition = MakeTag("O\x04IX");
inline constexpr Tag kTagNotePerformance = MakeTag("edac");
inline constexpr Tag kTagMidiEvent = MakeTag("dtME");
inline constexpr Tag kTagSecondaryBeamBreak = MakeTag("edsB");
inline constexpr Tag kTagStemUpDetail = MakeTag("dtSU");
inline constexpr Tag kTagStemDownDetail = MakeTag("dtsl");
inline constexpr Tag kTagNoteTieStart = MakeTag("E\x03Ts");
inline constexpr Tag kTagNoteTieEnd = MakeTag("E\x03Te");
inline constexpr Tag kTagNoteExpression = MakeTag("edED");
inline constexpr Tag kTagChordSymbol = MakeTag(
    "E\x02"
    "Ch");
inline constexpr Tag kTagNotehead = MakeTag("edCN");
inline constexpr Tag kTagNotehead2001 = MakeTag(
    "E\x02"
    "cn");
inline constexpr Tag kTagNoteAccidental = MakeTag(
    "E\x02"
    "Ah");
inline constexpr Tag kTagNoteSize = MakeTag("edAS");
inline constexpr Tag kTagStemAdjustment = MakeTag("edST");
inline constexpr Tag kTagStemAdjustment2 = MakeTag("edSt");
inline constexpr Tag kTagBeamLow = MakeTag("edBL");
inline constexpr Tag kTagBeamHigh = MakeTag("edBH");
inline constexpr Tag kTagBeamExtensionDown = MakeTag("edDE");
inline constexpr Tag kTagBeamExtensionUp = MakeTag("edUE");
/// The link of an entry to its stored records.
inline constexpr Tag kTagEntryLink = MakeTag("eteE");
/// A chord suffix's elements ('SOIV', the tag staff lists use too) and its information.
inline constexpr Tag kTagSuffixElement = MakeTag("SOIV");
inline constexpr Tag kTagSuffixInfo = MakeTag("oNIK");

/// 'E\x03TP' entry detail (the tuplet's first entry, inci 0-9), 30 bytes: a tuplet that starts
/// at the entry. Its notes are what is written (`notes` of `noteUnit` EDU); they take the time of
/// `reference` x `referenceUnit` EDU. The entry carries kEntryTuplet. Tuplets that start at one
/// entry are stored outer first; the entries of a tuplet are the entries from its first whose
/// notated durations (a tuplet inside it counting as its reference time) fill notes x unit.
struct TupletLayout {
    static constexpr size_t kSize = 30;
    static constexpr size_t kNotes = 0;          ///< @0, i16, number of notes written
    static constexpr size_t kNoteUnit = 2;       ///< @2, i16, EDU of one of them
    static constexpr size_t kReference = 4;      ///< @4, i16, number of reference units
    static constexpr size_t kReferenceUnit = 6;  ///< @6, i16, EDU of one reference unit
    static constexpr size_t kWord10 = 10;        ///< @10, i16, 0 in a tremolo's tuplet
    static constexpr size_t kFlags = 18;         ///< @18, u16, the host's display flags; 0 in a tremolo's tuplet
    static constexpr int16_t kMaxPerEntry = 10;  ///< incidences 0-9
};

/// 'edIM' entry detail (entry, inci), 10 bytes: an articulation on the entry. The entry carries
/// kEntryArticulations.
struct ArticulationLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kDefinition = 0;        ///< @0, i16, the articulation definition's number
    static constexpr size_t kHorizontalOffset = 2;  ///< @2, i16, EVPU
    static constexpr size_t kVerticalOffset = 4;    ///< @4, i16, EVPU
};

/// 'O\x04IX' other (number, 0), 48 bytes: an articulation definition.
struct ArticulationDefinitionLayout {
    static constexpr size_t kSize = 48;
    static constexpr size_t kCharacter = 0;  ///< @0, u16, main character in the low byte, style in the high byte
    static constexpr size_t kFontWord = 2;   ///< @2, u16, font number in the low byte, size in the high byte
    static constexpr size_t kFlags = 10;     ///< @10, u16 (bits below)
    static constexpr size_t kAlternateCharacter = 12;  ///< @12, u16, low byte
    static constexpr size_t kHorizontalOffset = 16;    ///< @16, i16, EVPU
    static constexpr size_t kOffsetAbove = 18;         ///< @18, i16, EVPU
    static constexpr size_t kOptions = 22;             ///< @22, u8 (bits below)
    static constexpr size_t kOffsetBelow = 30;         ///< @30, i16, EVPU

    // Flags word: the low three bits are the placement.
    static constexpr uint16_t kPlacementMask = 0x0007;
    static constexpr uint16_t kPlaceOppositeStem = 0;
    static constexpr uint16_t kPlaceStemSide = 1;
    static constexpr uint16_t kPlaceAbove = 2;
    static constexpr uint16_t kPlaceBelow = 3;
    /// Set: a note expression made of the articulation takes its place from the entry's last note.
    static constexpr uint16_t kReferenceLastNote = 0x0080;
    static constexpr uint16_t kSkippedFrom2002 = 0x0200;  ///< left alone from host year 2002 on
    static constexpr uint16_t kClamp = 0x1000;
    static constexpr uint16_t kAlternateAbove = 0x2000;  ///< the alternate character above the note
    static constexpr uint16_t kAlternateBelow = 0x4000;  ///< the alternate character below the note
    // Options byte.
    static constexpr uint8_t kSnapToSpaces = 0x01;
    static constexpr uint8_t kNoCharacterAbove = 0x02;  ///< also: the articulation is not played back
    static constexpr uint8_t kNoCharacterBelow = 0x04;
};

/// 'edac' entry detail (entry, inci), 10 bytes: the performance (playback) data of one note of
/// the entry, found by the note's identifier; an entry has at most one per note.
struct NotePerformanceLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kNoteId = 0;       ///< @0, i16, the note's identifier
    static constexpr size_t kWord2 = 2;        ///< @2, i16
    static constexpr size_t kWord4 = 4;        ///< @4, i16
    static constexpr size_t kPitchChange = 6;  ///< @6, i16, semitones
    static constexpr size_t kLevelChange = 8;  ///< @8, i16
    /// A note that playback notes in another layer replace carries these three values.
    static constexpr int16_t kSilencedWord4 = -7;
    static constexpr int16_t kSilencedPitch = -126;
    static constexpr int16_t kSilencedLevel = -127;
};

/// 'dtME' detail (staff, measure, inci), 10 bytes: one stored MIDI event of a cell.
struct MidiEventLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kTime = 0;    ///< @0, i32, EDU from the start of the measure
    static constexpr size_t kStatus = 4;  ///< @4, i16
    static constexpr size_t kData1 = 6;   ///< @6, i16
    static constexpr size_t kData2 = 8;   ///< @8, i16

    static constexpr int16_t kPitchWheel = 224;  ///< value = data1 + 128 x data2, 0-16383, centre 8192
    static constexpr int16_t kController = 176;  ///< data1 the controller, data2 its value
    static constexpr int32_t kPitchWheelCentre = 8192;
    static constexpr int32_t kPitchWheelTop = 16383;
    static constexpr int16_t kVolume = 7;
    // The controllers that set the bender range, in the order they are sent.
    static constexpr int16_t kRangeSelectHigh = 101;
    static constexpr int16_t kRangeSelectLow = 100;
    static constexpr int16_t kRangeData = 6;
};

/// 'edsB' entry detail (entry, 0), 10 bytes: a secondary beam break at the entry (which carries
/// kEntrySecondaryBreak): per beam level (0 = the 16th beam) a byte 1 where the beam breaks.
struct SecondaryBeamBreakLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kLevels = 0;  ///< @0, 9 bytes
    static constexpr size_t kLevelCount = 9;
    static constexpr size_t kMarker = 9;  ///< @9, u8, 1
};

/// 'dtSU' and 'dtsl' detail (0, entry number), 10 bytes: the stem of an entry with its stem up
/// and down (the entry carries kEntryStemDetails).
struct StemDetailLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kValue = 0;  ///< @0, i16
};

/// 'edED' entry detail (entry, inci), 10 bytes: an expression placed on the entry (which carries
/// kEntryMoreExpressions).
struct NoteExpressionLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kNumber = 0;                 ///< @0, i16, the expression
    static constexpr size_t kHorizontal = 2;             ///< @2, i16, EVPU
    static constexpr size_t kVertical = 4;               ///< @4, i16, EVPU
    static constexpr size_t kFlags = 8;                  ///< @8, u16
    static constexpr uint16_t kTextExpression = 0x8000;  ///< clear: a shape expression
    static constexpr size_t kFlagsHighByte = 9;          ///< @9, u8, the high byte of the flags
};

/// 'E\x02Ch' entry detail (entry, inci), 20 bytes: a chord symbol on the entry (which carries
/// kEntryChordSymbols).
struct ChordSymbolLayout {
    static constexpr size_t kSize = 20;
    static constexpr size_t kWord = 0;    ///< @0, u16: root step, shown and suffix bits, root alteration in bits 8-11
    static constexpr size_t kSuffix = 4;  ///< @4, i16, the suffix number
    static constexpr uint16_t kRootStep = 0x001F;  ///< the root's harmonic level against the key (0-6)
    static constexpr uint16_t kRootShown = 0x0040;
    static constexpr uint16_t kHasSuffix = 0x2000;
    static constexpr int kAlterationShift = 8;  ///< a 4-bit two's complement
};

/// 'edCN' and, from host year 2001, 'E\x02cn' entry detail (entry, inci), 10 bytes: the notehead of
/// one note, found by the note's identifier (the entry carries kEntryNoteDetails).
struct NoteheadLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kNoteId = 0;            ///< @0, i16
    static constexpr size_t kSize100 = 2;           ///< @2, i16, the head's size in percent (100 in a new record)
    static constexpr size_t kAccidentalOffset = 6;  ///< @6, i16, the accidental's offset (0 = where the host puts it)
    static constexpr size_t kCharacter = 8;         ///< @8, i16, the notehead character (0 = the default head)
};

/// 'E\x02Ah' entry detail (entry, inci), 10 bytes: the accidental of one note, found by the note's
/// identifier.
struct NoteAccidentalLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kNoteId = 0;            ///< @0, i16
    static constexpr size_t kHorizontalOffset = 6;  ///< @6, i16, EVPU
};

/// 'edBL' / 'edBH' entry detail (entry, inci), 10 bytes: a beam adjustment at the low and the high
/// end; incidence 1 is the second adjustment from host year 2000 on.
struct BeamAdjustmentLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kOptionValue =
        0;                                ///< @0, i16, the beam options' value in the second adjustment; 0 in the first
    static constexpr size_t kHeight = 2;  ///< @2, i16, the beam's height (-1 in the second adjustment)
};

/// 'edSt' entry detail (entry, 0), 12 bytes: a stem adjustment.
struct StemAdjustmentLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kUp = 0;    ///< @0, i16, the adjustment
    static constexpr size_t kDown = 2;  ///< @2, i16, its negative
};

/// 'edAS' entry detail (entry, 0), 10 bytes: the size of the entry's notes.
struct NoteSizeLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kPercent = 2;  ///< @2, i16
};

/// 'E\x03Ts' and 'E\x03Te' entry detail (entry, inci), 30 bytes: the start and end of a note's
/// tie, found by the note's identifier.
struct NoteTieLayout {
    static constexpr size_t kSize = 30;
    static constexpr size_t kNoteId = 0;  ///< @0, i16
    static constexpr size_t kFlags = 8;   ///< @8, u16
    static constexpr uint16_t kFlagsReset = 0x0001 | 0x0800;
};

/// The entry flag that says an entry has records of a tag: a bit of the flag word or of the
/// second flag word.
struct EntryRecordFlag {
    Tag tag;
    uint32_t flag;      ///< in the entry flag word (u32 at byte 8)
    uint16_t moreFlag;  ///< in the second flag word (u16 at byte 12)
};

// clang-format off
inline constexpr EntryRecordFlag kEntryRecordFlags[] = {
    {kTagTuplet, kEntryTuplet, 0},
    {kTagArticulation, kEntryArticulations, 0},
    {kTagSecondaryBeamBreak, kEntrySecondaryBreak, 0},
    {kTagStemUpDetail, kEntryStemDetails, 0},
    {kTagStemDownDetail, kEntryStemDetails, 0},
    {kTagStemAdjustment, kEntryStemDetails, 0},
    {kTagBeamLow, kEntryStemDetails, 0},
    {kTagBeamHigh, kEntryStemDetails, 0},
    {kTagBeamExtensionDown, kEntryTremolo, 0},
    {kTagBeamExtensionUp, kEntryTremolo, 0},
    {kTagNoteTieStart, kEntryTieDetails, 0},
    {kTagNoteTieEnd, kEntryTieDetails, 0},
    {kTagNotehead, kEntryNoteDetails, 0},
    {kTagNotehead2001, kEntryNoteDetails, 0},
    {kTagNoteAccidental, kEntryNoteDetails, 0},
    {kTagChordSymbol, kEntryChordSymbols, 0},
    {kTagVerseAssignment, kEntryLyrics, 0},
    {kTagChorusAssignment, kEntryLyrics, 0},
    {kTagSectionAssignment, kEntryLyrics, 0},
    {kTagNoteExpression, 0, kEntryMoreExpressions},
    {kTagShapeEntryLink, 0, kEntryMoreSmartShapes},
};
// clang-format on

/// The flags that go with records of the tag; both 0 for a tag no flag announces.
constexpr EntryRecordFlag EntryFlagOfRecordTag(Tag tag) {
    for (const EntryRecordFlag& row : kEntryRecordFlags) {
        if (row.tag == tag) {
            return row;
        }
    }
    return EntryRecordFlag{tag, 0, 0};
}

}  // namespace hostapi
