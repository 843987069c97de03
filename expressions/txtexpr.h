// TTextExpressions, the program's in-memory copy of the document's text expressions: one
// TTxtExprRec per expression number, loaded from the host's 'SODT' records (with their 'otDe'
// playback data and the 'ot&d' metatool shortcuts), with the sort tables and options of the sort
// engine (txtexpr_sort.h). The table finds or creates an expression by its contents, counts
// how often each expression is placed in the document, filters itself for the explorer, writes
// changed expressions back and, after a sort, rewrites the list and every placement under the
// new numbers.
//
// One shared table (TextExpressionTable) serves the sorter, the explorer, the cue-sheet import
// and the tools; every tool context holds a table of its own besides. Positions are 0-based,
// expression numbers 1-based. Texts are the document's 8-bit bytes (Windows-1252).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/host/finxess_records.h"
#include "expressions/txtexpr_sort.h"
#include "platform/hostapi/expression_records.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/types.h"
#include "platform/win/handles.h"

namespace orvex {

// ---- The host's records ----

/// 'SODT' (expression number, 0): bytes 0-13 are the header the table keeps, the text and its
/// zero follow from byte 12 (bytes 12 and 13 of the header are the text's first two bytes).
struct TextExpressionLayout {
    static constexpr size_t kHeaderSize = 14;
    static constexpr size_t kFontWord = 0;  ///< @0, u16, font number (low byte), size (high byte)
    static constexpr size_t kStyle = 2;     ///< @2, u16, style word; 0x00FF sorts in a place of its own
    static constexpr size_t kWord4 = 4;     ///< @4, u16, compared by FindOrCreate; a tempo mark's tempo
    static constexpr size_t kWord6 = 6;     ///< @6, i16, compared by FindOrCreate; a tempo mark's beat
    static constexpr size_t kWord8 = 8;     ///< @8, u16, carried unchanged
    static constexpr size_t kFlags = 10;    ///< @10, u16, see kExpressionHasPlayback
    static constexpr size_t kText = 12;     ///< @12, the text, zero-terminated
    /// A load passes a buffer of this many bytes with the size kLoadSize.
    static constexpr size_t kLoadBuffer = 1024;
    static constexpr int32_t kLoadSize = 1000;
};
/// Flags bit: an 'otDe' record of the same number exists (the tools of subsystem 6 call the
/// 12 bytes the expression's enclosure).
inline constexpr uint16_t kExpressionHasPlayback = 0x0800;
/// 'ot&d' (metatool key, 0), 12 bytes: u16 expression number, u16 kind, 8 bytes 0.
inline constexpr hostapi::Tag kTagMetatool = hostapi::kTagExpressionMetatool;
inline constexpr size_t kMetatoolNumber = 0;
inline constexpr size_t kMetatoolKind = 2;
inline constexpr int16_t kMetatoolTextExpression = 1;
inline constexpr int32_t kMetatoolCount = 255;
/// A metatool shortcut record as the document stores it.
using EDTShortcut = Record12;

/// The highest expression number a load asks for, and the longest run of missing numbers it
/// bridges (the 101st missing number after the first of a run ends the scan).
inline constexpr int32_t kHighestExpressionNumber = 10000;
inline constexpr int32_t kLongestGap = 100;

/// The dynamics glyph codes of the music fonts.
inline constexpr std::array<uint8_t, 21> kDynamicsGlyphs = {0xAF, 0xB8, 0xB9, 0x70, 0x50, 0xBD, 0x46,
                                                            0x66, 0xC4, 0xEC, 0xEB, 0xEA, 0x5A, 0x6B,
                                                            0x73, 0x53, 0x82, 0xA7, 0x8D, 0x7A, 0x96};
/// Whether the text holds one of kDynamicsGlyphs.
bool HasAnyOfChars(std::string_view text);

// ---- One expression ----

/// One text expression of the table.
struct TTxtExprRec {
    int16_t Number = 0;         ///< expression number ('SODT' key); 0 in a filler record
    uint16_t StoredLength = 0;  ///< of the 'SODT' record
    std::array<uint8_t, TextExpressionLayout::kHeaderSize> Header{};  ///< bytes 0-13 of the 'SODT' record
    std::array<uint8_t, 12> Playback{};  ///< the 'otDe' record; zero without kExpressionHasPlayback
    std::string Text;                    ///< the raw text as stored, with its caret commands
    std::string SortText;                ///< made by the analysis
    std::string SortKey;                 ///< made by the analysis
    uint8_t Shown = 0;                   ///< set by the filter
    uint8_t NotRead = 0;                 ///< a placeholder for a number that could not be loaded
    uint8_t Modified = 0;                ///< must be written back
    uint8_t MusicFont = 0;               ///< the font has a character order of the sort tables
    uint8_t DynamicsGlyph = 0;           ///< music font and the text holds a dynamics glyph
    uint16_t FilterListEntry = 0;        ///< the k-th record holds the position + 1 of the k-th record shown
    int16_t MovedTo = 0;                 ///< after a sort: the new position (1-based) of expression position + 1
    int32_t UsageCount = 0;
    uint8_t MetatoolKey = 0;  ///< the 'ot&d' key (1-255) naming this expression; 0 = none
    uint8_t ExtraFlags = 0;   ///< copied with the record

    uint16_t FontWord() const;
    void SetFontWord(uint16_t word);
    /// The host's font number: the font word's low byte.
    int16_t FontNumber() const { return static_cast<int16_t>(FontWord() & 0xFF); }
    /// The size: the font word's high byte.
    uint8_t FontSize() const { return static_cast<uint8_t>(FontWord() >> 8); }
    uint16_t Style() const;
    void SetStyle(uint16_t style);
    uint16_t Word4() const;
    void SetWord4(uint16_t value);
    int16_t Word6() const;
    void SetWord6(int16_t value);
    uint16_t Flags() const;
    void SetFlags(uint16_t flags);
    /// The 'otDe' data exists (the enclosure of subsystem 6's tools).
    bool HasPlayback() const { return (Flags() & kExpressionHasPlayback) != 0; }
    /// The 12 'otDe' bytes read as three i32 values (the enclosure), and written back so.
    std::array<int32_t, 3> Enclosure() const;
    void SetEnclosure(const std::array<int32_t, 3>& values);
    /// The raw text without caret commands and line breaks.
    std::string PlainText() const;
};

// ---- The table ----

/// Called with a stored placement record (an 'otDY' of 12 or an 'edED' of 10 bytes, the
/// expression number first); answers whether the record is to be saved back.
using ExpressionAssignmentVisitor = std::function<bool(uint8_t* record)>;

/// Results of the sort-and-apply run besides 0 (refused, the form stays open).
inline constexpr int32_t kSortRunChanged = 1;    ///< ran to its end; with write back the document changed
inline constexpr int32_t kSortRunUnchanged = 2;  ///< ended leaving the document as it was

class TTextExpressions {
public:
    /// Empty, sort tables not built, stale.
    TTextExpressions();
    ~TTextExpressions();
    TTextExpressions(const TTextExpressions&) = delete;
    TTextExpressions& operator=(const TTextExpressions&) = delete;

    /// The number of records in the vector (after a sort, the fillers too).
    int32_t Count() const { return static_cast<int32_t>(m_records.size()); }
    /// The record at a position; the shared zero record (empty strings) outside 0 .. Count() - 1.
    TTxtExprRec& Item(int32_t position);
    const TTxtExprRec& Item(int32_t position) const;

    /// Frees every record and reads the document's expressions (placeholders for missing
    /// numbers up to the last present one), then the metatool shortcuts.
    void LoadFromDocument();
    /// Loads the table again when it no longer matches the document (or the host window's title
    /// changed); a reload clears the usage-counted flag.
    void IsComplete();
    /// Whether the table still matches the document: its size against the 'SODT' records, and
    /// the host window's title. Sets stale when not; loads nothing.
    bool CheckCurrent();
    /// Empties the shortcut vector and reads the 255 'ot&d' records; the expressions they name
    /// with kind 1 get their keys.
    void LoadShortcuts();

    /// A new record appended: number and moved-to = the count + 1, "Times New Roman" 11.
    TTxtExprRec& NewRecord();
    /// Takes away the record NewRecord appended last, while it is still the last one (an edit
    /// that made it was cancelled); answers whether it did.
    bool RemoveNewRecord();
    /// The number of the first record with exactly this text, font, size and style, and the flags
    /// word, word 6 and word 4 where these are given non-zero; otherwise a new expression with
    /// these values, analysed and written to the document (through this table). A font name,
    /// when given, replaces the font number (the host's number of that name, which joins the
    /// document's fonts when it is new). Text and font name are the document's 8-bit texts.
    int32_t FindOrCreate(std::string_view text, const char* fontName, int32_t size, uint16_t style, uint16_t flags,
                         uint16_t word4, int16_t word6, int32_t fontNumber);
    /// Writes the record at position number - 1 to the document: under its own number
    /// (renumber false) or under `number` (renumber true). Placeholders are never written.
    void WriteBack(int32_t number, bool renumber);
    /// Writes every modified record that was read, clears its modified flag and sets Written.
    void WriteBackModified();

    /// Counts every placement of each expression in the document region (into the record that
    /// holds the expression now, after a sort). Answers false when the host stopped the walk.
    bool CountUsage();
    /// After a sort: rewrites every placement under the new numbers, then the metatool records
    /// and the list itself, and deletes the numbers above the new count. A walk that the host
    /// stops leaves the records and the list as they were (the placements walked so far are
    /// renumbered).
    bool RenumberDocument();
    /// Marks the records that pass the filter (key bits: 1 textual fonts, 2 music fonts, 4
    /// playback only, 8 search, 16 x usage rule (bits 4-6), 0x100 metatools only) and lists
    /// their positions.
    void Filter(int32_t key, int32_t atLeast, int32_t atMost, std::string_view search);

    // ---- The sort engine (txtexpr_sort.cpp) ----
    /// Makes the sort text and key of the record at `position`.
    void Analyze(TTxtExprRec& record, int32_t position);
    void AnalyzeAll();
    /// Orders the records (unless `noSorting`) and maps every old number to its new position.
    void Sort(bool noSorting);

    // ---- The sort-and-apply run (txtexprsorter.cpp) ----
    /// Counts, deletes unused expressions when asked, sorts and (with `writeBack`) renumbers the
    /// document. Answers 0 when the run was refused so that the asking form stays open,
    /// kSortRunChanged when it ran to its end and kSortRunUnchanged when it ended leaving the
    /// document as it was (empty expressions met, the renumbering stopped).
    int32_t DeleteUnused(bool writeBack, bool deleteUnused, bool noSorting);

    TCSortTables& SortTables() { return m_sortTables; }
    const TCSortTables& SortTables() const { return m_sortTables; }
    TSortOptions& Options() { return m_options; }
    const TSortOptions& Options() const { return m_options; }
    const std::vector<EDTShortcut>& Shortcuts() const { return m_shortcuts; }

    /// The records that are real expressions (fillers of a sort are not counted).
    int32_t ExpressionCount() const { return m_count; }
    int32_t LastNumber() const { return m_lastNumber; }
    int32_t FilteredCount() const { return m_filteredCount; }
    const std::string& WindowTitle() const { return m_windowTitle; }
    bool UsageCounted() const { return m_usageCounted != 0; }
    bool EmptyMet() const { return m_emptyMet != 0; }
    bool Stale() const { return m_stale != 0; }
    void SetStale(bool stale) { m_stale = stale ? 1 : 0; }
    bool Sorted() const { return m_sorted != 0; }
    bool OtherDocument() const { return m_otherDocument != 0; }
    bool Analysed() const { return m_analysed != 0; }
    /// A write-back of modified records wrote at least one record; the explorer reads and clears it.
    bool Written() const { return m_written != 0; }
    void SetWritten(bool written) { m_written = written ? 1 : 0; }
    /// Loaded from the document and not marked stale since.
    bool Loaded() const { return m_stale == 0; }

private:
    /// Frees every record.
    void Clear();
    /// Walks the measure and note placements of text expressions in the document region inside
    /// an edit bracket; answers the stopped flag.
    bool WalkExpressionAssignments(const ExpressionAssignmentVisitor& measure,
                                   const ExpressionAssignmentVisitor& entry);
    std::vector<std::unique_ptr<TTxtExprRec>> m_records;  ///< position i: number i + 1 after a load
    TCSortTables m_sortTables;
    TSortOptions m_options;
    std::vector<EDTShortcut> m_shortcuts;
    std::string m_windowTitle;  ///< the host window's title at the last load
    int32_t m_lastNumber = 0;
    int32_t m_filteredCount = 0;
    int32_t m_count = 0;
    uint8_t m_usageCounted = 0;
    uint8_t m_emptyMet = 0;
    uint8_t m_stale = 1;
    uint8_t m_sorted = 0;
    uint8_t m_otherDocument = 0;
    uint8_t m_analysed = 0;
    uint8_t m_written = 0;
};

/// The program's one shared table, made on first use.
TTextExpressions& TextExpressionTable();
/// Frees the shared table, so that the next use reads it anew from the document in front (a
/// reset of the module does this too).
void ForgetSharedExpressionTable();

/// The font number of a name (host service 22); -1 when the host has none.
int32_t HostFontNumber(const char* name);
/// The name of a font number (host service 21); "" when the host has none.
std::string HostFontName(int32_t number);

}  // namespace orvex
