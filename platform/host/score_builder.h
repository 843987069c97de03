// The score builder: makes a document from readable music, for tests (this C++ interface) and
// for score texts (score_text.h). Each kind of music it knows is one method that writes the
// document's stored records; a new kind is a new method and, for score texts, a new line kind.
// Texts are given in UTF-8 and stored as the host's 8-bit texts.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/document.h"
#include "platform/host/music_model.h"
#include "platform/host/page_layout.h"
#include "platform/hostapi/types.h"

namespace host {

/// The fields of a measure record that the builder sets.
struct MeasureSettings {
    static constexpr int16_t kDefaultWidth = 240;

    int16_t beats = 4;
    int16_t beatDuration = hostapi::kEduPerQuarter;  ///< EDU
    int16_t key = 0;                                 ///< key value: sharps (+) or flats (-), 0x100 minor
    int16_t width = kDefaultWidth;                   ///< EVPU
};

/// One note of an entry as written.
struct WrittenNote {
    SpelledNote pitch;      ///< step from middle C and accidental
    bool tieStart = false;  ///< tied to the same pitch in the next entry
    bool tieEnd = false;    ///< marked as tied from the one before, whatever the entry before holds
    uint32_t flags = 0;     ///< note flags set besides the ties (hostapi::kNote...)
    uint32_t cleared = 0;   ///< note flags kept clear, also the tie-end mark the builder would set
};

/// One entry as written: a chord, or a rest when it has no notes.
/// An entry of a Notes call that cannot be written; Index() is its place in the call's list.
class EntryError : public std::invalid_argument {
public:
    EntryError(const std::string& what, size_t index) : std::invalid_argument(what), m_index(index) {}
    size_t Index() const { return m_index; }

private:
    size_t m_index = 0;
};

struct WrittenEntry {
    std::vector<WrittenNote> notes;
    hostapi::Edu duration = hostapi::kEduPerQuarter;  ///< notated duration
    bool grace = false;                               ///< takes no time
    bool hidden = false;
    bool floating = false;                 ///< a rest with the floating flag (hostapi::kEntryFloatingRest)
    std::optional<SpelledNote> restPlace;  ///< a rest placed on the staff position of this pitch
};

/// A tuplet of a cell: `count` entries from entry `first` (0-based) hold `notes` x `noteUnit` EDU
/// as written and take the time of `reference` x `referenceUnit` EDU. A tuplet inside another
/// lies within its range and counts in it with its reference time.
struct WrittenTuplet {
    size_t first = 0;
    size_t count = 0;
    int16_t notes = 3;
    int16_t noteUnit = 512;
    int16_t reference = 2;
    int16_t referenceUnit = 512;
};

/// Changes to the fields of an entry the notation does not write.
struct EntryFieldChange {
    std::optional<int16_t> horizontalOffset;  ///< EVPU (byte 6)
    uint32_t set = 0;                         ///< entry flags set
    uint32_t clear = 0;                       ///< entry flags cleared
    uint16_t setMore = 0;                     ///< bits of the second flag word set
    uint16_t clearMore = 0;                   ///< bits of the second flag word cleared
};

/// An articulation definition ('O\x04IX', 48 bytes; hostapi::ArticulationDefinitionLayout).
struct ArticulationDefinition {
    uint8_t character = 0;
    uint8_t style = 0;
    uint8_t font = 0;
    uint8_t size = 24;
    uint16_t flags = 0;  ///< placement in the low three bits and the flag bits
    uint8_t alternate = 0;
    int16_t horizontalOffset = 0;
    int16_t offsetAbove = 0;
    int16_t offsetBelow = 0;
    uint8_t options = 0;
};

/// The performance data of one note ('edac'; hostapi::NotePerformanceLayout).
struct NotePerformance {
    int16_t word2 = 0;
    int16_t word4 = 0;
    int16_t pitchChange = 0;
    int16_t levelChange = 0;
};

/// The size of a page the builder makes (EVPU); margins and scale are the host's.
struct PageSettings {
    int32_t width = kDefaultPageWidth;
    int32_t height = kDefaultPageHeight;
};

/// One end of a smart shape: a position in a measure, or (entry > 0) the entry-th entry of layer 1
/// of the staff's cell in that measure.
struct ShapeEnd {
    hostapi::MeasureNumber measure = 1;
    hostapi::Edu position = 0;
    int32_t entry = 0;
    int32_t note = 0;  ///< with an entry: the note (from 1, bottom up) the shape is attached to; 0 = none
};

/// The heights of a smart shape's ends: its start and end vertical offsets (EVPU).
struct ShapeHeights {
    int16_t start = 0;
    int16_t end = 0;
};

/// How a text expression looks and what it carries besides its text ('SODT', 'otDe', 'ot&d').
struct ExpressionSettings {
    int16_t font = 0;    ///< font number (low byte of the font word)
    int16_t size = 12;   ///< points (high byte of the font word)
    uint16_t style = 0;  ///< style word
    uint16_t flags = 0;  ///< flags word; 0x0800 is added when there is playback data
    int16_t word4 = 0;   ///< the word at byte 4
    int16_t word6 = 0;   ///< the word at byte 6
    bool hasPlayback = false;
    std::array<uint8_t, 12> playback{};  ///< the 'otDe' record when hasPlayback
    int16_t metatool = 0;                ///< 'ot&d' key 1-255 naming the expression; 0 = none
};

/// One beat-chart record 'otBC' (measure, index), 10 bytes: the i32 at byte 0 and the i16 words
/// at bytes 4, 6 and 8. Index 0 is the header (duration, end, minimum end, a further word); the
/// others are elements (time, position, next position, minimum position).
struct BeatChartRecord {
    int32_t time = 0;
    int16_t position = 0;
    int16_t next = 0;
    int16_t minimum = 0;
};

/// A clef from a position of a measure on.
struct ClefChange {
    int16_t clef = 0;
    hostapi::Edu position = 0;
};

class ScoreBuilder {
public:
    explicit ScoreBuilder(std::string name = "Untitled");

    /// Font number `number` of the document's font table.
    ScoreBuilder& Font(int16_t number, std::string_view name);
    /// A staff ('SOIS', the next staff number) with its names as text blocks; an empty name
    /// leaves its field 0. The host places the staff at the end of the score's staff list.
    /// A clef other than treble (0) is the staff's own clef (and the document gets the clef
    /// definitions).
    ScoreBuilder& Staff(std::string_view fullName, std::string_view abbreviatedName = {}, int16_t clef = 0);
    /// `count` more measures ('SOMS'), numbered on from the last.
    ScoreBuilder& Measures(int32_t count, const MeasureSettings& settings = {});
    /// A text block: its characters ('txbl') and its header ('SOTX').
    ScoreBuilder& TextBlock(std::string_view text);
    /// The clef of a staff from a measure on ('SDGF', and 'dtGF' for hosts before 1998): one
    /// clef at position 0, or several changes within the measure (an 'otCE' list, the first at
    /// position 0, positions rising). Throws std::invalid_argument for a staff or measure that
    /// does not exist or changes out of order.
    ScoreBuilder& Clef(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                       const std::vector<ClefChange>& changes);
    /// The entries of a cell, one after the other from position 0 (grace notes take no time):
    /// pitches are written under the measure's key, notes bottom up with identifiers from 1,
    /// entries numbered on from the document's highest. A tie start ties the note to the same
    /// pitch in the next entry. Throws std::invalid_argument for a cell that does not exist,
    /// holds entries already, or is overfilled, and for more than 12 notes in an entry.
    ///
    /// Tuplets are timed as the host times them: each entry's position is its exact start,
    /// truncated, and its actual duration reaches to the truncated start of the time after it; the
    /// first entry of a tuplet carries hostapi::kEntryTuplet and a tuplet record 'E\x03TP' (entry,
    /// next inci) for each tuplet that starts there, outer first. Throws for a tuplet whose
    /// entries do not fill it as written, or that is empty. A note that the last entry of the
    /// same layer in the measure before ties on to is marked tied from the one before, as is a
    /// note of the next measure's first entry that this cell's last entry ties on to.
    /// Entry flags: floating (hostapi::kEntryFloatingRest) as written; a placed rest holds one
    /// note, the pitch's harmonic level under the key. Note flags as written.
    ScoreBuilder& Notes(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::LayerIndex layer,
                        const std::vector<WrittenEntry>& entries, const std::vector<WrittenTuplet>& tuplets = {});
    /// Changes the fields of the entry-th entry of a cell that the notation does not write: its
    /// horizontal offset and flag bits. Throws for a missing cell or entry.
    ScoreBuilder& ChangeEntry(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::LayerIndex layer,
                              int32_t entry, const EntryFieldChange& change);
    /// Attaches a record of an entry detail tag (entry, next inci), or of 'dtSU' / 'dtsl' (detail
    /// 0, the entry's number, 0), to the entry-th entry of a cell, and sets the entry flag that says
    /// the entry has such records (hostapi::EntryFlagOfRecordTag). Throws for a missing cell or
    /// entry, a tag of another family and a size other than the tag's.
    ScoreBuilder& EntryRecord(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::LayerIndex layer,
                              int32_t entry, hostapi::Tag tag, Bytes bytes);
    /// Changes the fields of tuplet `tuplet` (from 1, outer first) that starts at the entry-th
    /// entry of a cell which the notation does not write: the word at byte 10 and the flag word at
    /// byte 18 of its record. Throws for a missing cell, entry or tuplet.
    ScoreBuilder& ChangeTuplet(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::LayerIndex layer,
                               int32_t entry, int32_t tuplet, int16_t word10, uint16_t flags);
    /// Articulation definition `number` ('O\x04IX' number, 0). Throws for a number below 1 or a
    /// definition that exists.
    ScoreBuilder& Articulation(int16_t number, const ArticulationDefinition& definition);
    /// An articulation on the entry-th entry of a cell: 'edIM' (entry, next inci) with the
    /// definition's number and the offsets; the entry gets hostapi::kEntryArticulations. Throws for
    /// a missing cell or entry.
    ScoreBuilder& NoteArticulation(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                   hostapi::LayerIndex layer, int32_t entry, int16_t number,
                                   int16_t horizontalOffset = 0, int16_t verticalOffset = 0);
    /// The performance data of note `note` (from 1, bottom up) of the entry-th entry of a cell:
    /// 'edac' (entry, next inci) with the note's identifier. Throws for a missing cell, entry or
    /// note and for a note that has its record already.
    ScoreBuilder& NotePerformanceData(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                      hostapi::LayerIndex layer, int32_t entry, int32_t note,
                                      const NotePerformance& data);
    /// The settings of a layer ('pfLA' global, layer 0-3; 4 bytes): the two u16 halves.
    ScoreBuilder& LayerSettings(hostapi::LayerIndex layer, uint16_t firstHalf, uint16_t secondHalf);
    /// A stored MIDI event of a cell ('dtME' staff, measure, next inci; 10 bytes): time in EDU from
    /// the start of the measure, status and two data values. Throws for a missing cell.
    ScoreBuilder& MidiEvent(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::Edu time,
                            int16_t status, int16_t data1, int16_t data2);

    /// A measure-number region ('SOMN' the next number from 1, 0; 88 bytes): measures first to
    /// last (first at byte 6, last + 1 at byte 8), numbered from `start` (start - 1 at byte 16),
    /// flag word 0x1000 (byte 82). Throws std::invalid_argument for a missing measure.
    ScoreBuilder& NumberRegion(hostapi::MeasureNumber first, hostapi::MeasureNumber last, int16_t start = 1);
    /// The barline kind (0-15) of a measure: bits 4-7 of the 'SOMS' word at byte 10 (2 double).
    ScoreBuilder& Barline(hostapi::MeasureNumber measure, int16_t kind);
    /// A backward repeat at the end of a measure: 'O\x02BR' (measure, 0), 24 bytes of 0.
    ScoreBuilder& BackwardRepeat(hostapi::MeasureNumber measure);

    /// The next page ('SOPS', 22 bytes): the size given, margins of 144 (the bottom one stored
    /// -144), scale 100, first system 0 (not laid out).
    ScoreBuilder& Page(const PageSettings& settings = {});
    /// The next staff system, in both forms ('SOSS' and 'O\x02SS'): measures first to last (end
    /// measure last + 1), margins 0, space -96, scale 100. First 0 makes a system that is not laid
    /// out (both measure fields 0). Throws std::invalid_argument for a missing measure.
    ScoreBuilder& System(hostapi::MeasureNumber first, hostapi::MeasureNumber last);
    /// Locks measures first to last into one system: 'otFM' (first, 0) holding last + 1.
    ScoreBuilder& Lock(hostapi::MeasureNumber first, hostapi::MeasureNumber last);
    /// Lays the document out by the host's rule (page_layout.h), as service 41 does.
    ScoreBuilder& LayOut();
    /// The staff list of system `system` ('SOIu' system, 0, 1, ...: positions 0, -200, ...) and
    /// the system's flag 0x4000 when the system exists. Throws for a missing staff.
    ScoreBuilder& StaffList(int16_t system, const std::vector<hostapi::InstrumentKey>& staves);
    /// A staff group of a staff list ('SDNG' list, the list's next group, 0): first and last
    /// staff, names as text blocks (an empty name leaves its field 0), bracket word at byte 10.
    ScoreBuilder& Group(int16_t list, hostapi::InstrumentKey first, hostapi::InstrumentKey last,
                        std::string_view fullName, std::string_view abbreviatedName = {}, int16_t bracket = 0);
    /// A smart shape ('O\x07Sx', the next number) on a staff from `start` to `end`, with 'otMx'
    /// links from each of its measures and, when attached to entries, 'edEx' links from both.
    /// Both ends are positions or both are entries. Throws std::invalid_argument otherwise and
    /// for a missing cell or entry.
    /// The heights are the start and end vertical offsets (bytes 16 and 46); an end attached to a
    /// note writes the note's identifier (bytes 76 and 78). A shape attached to entries gives both
    /// entries hostapi::kEntryMoreSmartShapes. `word2` is the shape's word at byte 2
    /// (hostapi::SmartShapeLayout::kHairpinAngled).
    ScoreBuilder& SmartShape(int16_t kind, hostapi::InstrumentKey staff, const ShapeEnd& start, const ShapeEnd& end,
                             const ShapeHeights& heights = {}, uint16_t word2 = 0);
    /// Text expression `number` ('SODT' number, 0): font word, style, words 4 and 6, flags,
    /// then the text and its zero; with playback data an 'otDe' record under the same number
    /// (flags 0x0800), with a metatool key an 'ot&d' record (key, 0) naming it with kind 1.
    /// Throws std::invalid_argument for a number below 1, an expression that exists or a
    /// metatool key outside 1-255.
    ScoreBuilder& TextExpression(int16_t number, std::string_view text, const ExpressionSettings& settings = {});
    /// A measure-attached expression ('otDY' measure, next inci; 12 bytes): the expression
    /// number, the position in EDU, the vertical offset, two zero words and the staff word
    /// (0x1000 + staff, 0 for every staff; 0x2000 more for a shape expression). The measure's
    /// 'SOMS' gets flag 0x4000 in its word at byte 10. Throws for a missing measure or staff.
    ScoreBuilder& MeasureExpression(hostapi::MeasureNumber measure, int16_t number, hostapi::Edu position = 0,
                                    hostapi::InstrumentKey staff = 0, int16_t verticalOffset = 0, bool shape = false);
    /// A note-attached expression ('edED' entry, next inci; 10 bytes) on the entry-th entry of a
    /// cell: the expression number, horizontal and vertical offsets, a zero word and the flag
    /// word 0x8000 (0 for a shape expression); the entry gets bit 0x0001 of its word at byte
    /// 12. Throws for a missing cell or entry.
    ScoreBuilder& NoteExpression(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                 hostapi::LayerIndex layer, int32_t entry, int16_t number, int16_t horizontalOffset = 0,
                                 int16_t verticalOffset = 0, bool shape = false);
    /// The beat chart of a measure: 'otBC' (measure, 0, 1, ...), the header first, and the
    /// measure's spacing mode (low three bits of its word at byte 8; 2 or 6 = spaced by the
    /// chart). Throws std::invalid_argument for a missing measure, a measure that has a chart
    /// already, no records or more than 1000, or a mode outside 0-7.
    ScoreBuilder& BeatChart(hostapi::MeasureNumber measure, const std::vector<BeatChartRecord>& records,
                            int16_t mode = 2);
    /// A page text ('O\x02pT' page, next inci) naming a new text block with the text.
    ScoreBuilder& PageText(int16_t page, std::string_view text);
    /// A page graphic ('O\x03pg' page, next inci) naming a new file record 'otFd' whose path
    /// is stored as 'otFp' pieces of 12 characters.
    ScoreBuilder& PageGraphic(int16_t page, std::string_view path);
    /// Lyric text `number` of a kind (0 verse 'txve', 1 chorus 'txch', 2 section 'txse'; other
    /// record number, 0): the text and its zero. Throws std::invalid_argument for a kind outside
    /// 0-2, a number below 1 or a text that exists.
    ScoreBuilder& LyricText(int32_t kind, int16_t number, std::string_view text);
    /// A syllable on the entry-th entry of a cell: the assignment 'edve', 'edch' or 'edse' (entry,
    /// next inci; 10 bytes) with the text number, the syllable number, the horizontal offset, a
    /// zero word and the word extension's length; the entry gets flag 0x00100000. Throws for a
    /// kind outside 0-2 and a missing cell or entry.
    ScoreBuilder& Syllable(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::LayerIndex layer,
                           int32_t entry, int32_t kind, int16_t textNumber, int16_t syllable, int16_t offset = 0,
                           int16_t extension = 0);
    /// The host's slur contour defaults: other record 'O', 2, '5', '2' (-2, 0), 24 bytes, three
    /// points of (span, inset, height) as i16 words from byte 0, for short, medium and long slurs.
    ScoreBuilder& SlurContours(const std::array<std::array<int16_t, 3>, 3>& points);
    /// A chord symbol on the entry-th entry of a cell: 'E', 2, 'C', 'h' (the entry's number, next
    /// inci), 20 bytes: word 0 = the root's harmonic level under the measure's key (0-6, bits
    /// 0-4), 0x0040 when the root is shown, its alteration against the key in bits 8-11 (4-bit
    /// two's complement) and 0x2000 with a suffix; the suffix number at byte 4. The entry gets
    /// flag 0x04000000. Throws for a missing cell or entry.
    ScoreBuilder& ChordSymbol(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::LayerIndex layer,
                              int32_t entry, const SpelledNote& root, int16_t suffix, bool rootShown);
    /// Chord suffix `number`: one 'SOIV' element (number, 0, 1, ...; 12 bytes) per character of
    /// the text: the character, horizontal offset 12 x its place, vertical offset 0, the font
    /// word, 0 and flags 0; with `info` the suffix's 34-byte 'oNIK' (number, 0) holding the number
    /// at byte 0. Throws for a number below 1 or a suffix that exists.
    ScoreBuilder& ChordSuffix(int16_t number, std::string_view text, uint16_t fontWord, bool info);

    /// Puts exactly these bytes under a key (nullopt: no record there), outside the host's rules:
    /// a staff joins no staff list, a staff system gets no second form, no incidence moves.
    ScoreBuilder& ExactRecord(const RecordKey& key, std::optional<Bytes> bytes);
    /// Puts these bytes into the entry-th entry (from 1) of a cell from byte `offset` on; one past
    /// the last appends an entry of zeros first. Throws for an entry further on and for bytes
    /// beyond the entry's. The cell need not exist.
    ScoreBuilder& ExactEntry(const CellKey& cell, int32_t entry, size_t offset, const Bytes& bytes);
    /// Keeps the first `count` entries of a cell; throws when it holds fewer.
    ScoreBuilder& KeepEntries(const CellKey& cell, int32_t count);

    /// What is allowed but likely not meant in the music built (a measure whose entries do not
    /// fill it, as a bar check finds it): the text, and the column of a score text's line it
    /// points at (0: the statement).
    struct Warning {
        std::string text;
        size_t column = 0;
    };
    std::vector<Warning>& Warnings() { return m_warnings; }

    /// The number of the last staff, measure and text block made (0 = none yet).
    hostapi::InstrumentKey LastStaff() const { return m_lastStaff; }
    hostapi::MeasureNumber LastMeasure() const { return m_lastMeasure; }
    hostapi::Cmper LastTextBlock() const { return m_lastTextBlock; }

    /// The document being built; throws std::logic_error after Build.
    Document& Current();
    /// Hands the document over; the builder is empty afterwards.
    std::unique_ptr<Document> Build();

private:
    /// Changes the entry-th entry (from 1) of a cell and answers its number; throws for a missing
    /// cell or entry.
    hostapi::EntryNumber EditEntry(const CellKey& cell, int32_t entry,
                                   const std::function<void(hostapi::EntryView)>& change);
    /// Saves a record of an entry detail tag under the entry's next incidence.
    void AppendEntryRecord(hostapi::Tag tag, hostapi::EntryNumber entry, Bytes bytes);
    /// Marks notes tied over the barline: the last entry of `before` ties on to the first of `after`.
    static bool TieAcrossBarline(const CellEntries& before, int16_t keyBefore, CellEntries& after, int16_t keyAfter);
    hostapi::Edu BeatDurationOf(hostapi::MeasureNumber measure);
    void RequireCell(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure);
    static bool BeamedToPrevious(const CellEntries& before, const WrittenEntry& written, hostapi::Edu position,
                                 hostapi::Edu beat);
    static void TieFromPrevious(CellEntries& before, const std::vector<WrittenNote>& notes, int16_t key,
                                hostapi::EntryView entry);
    hostapi::Cmper MakeTextBlock(std::string_view text);
    RecordKey Create(const RecordKey& key, Bytes bytes);

    std::unique_ptr<Document> m_document;
    hostapi::InstrumentKey m_lastStaff = 0;
    hostapi::MeasureNumber m_lastMeasure = 0;
    hostapi::Cmper m_lastTextBlock = 0;
    std::vector<Warning> m_warnings;
};

}  // namespace host
