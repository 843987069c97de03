// Word extensions: for every lyric syllable sung over more than one note (a melisma) the length
// of the syllable's extension line is set so that the line runs from the syllable's note to just
// beyond the last note of the melisma. A melisma that crosses a system break ends at the right
// edge of the system and goes on from an invisible syllable (the byte 0xA0) that the command adds
// to the lyric text and places on the new system's first note.
//
// CWordExtEnum walks the region (CRegionEnum); one CWordExtPlacer per staff and layer follows
// the lyrics there, with one syllable tracker per lyric text of each kind (verse, chorus,
// section). Lengths are in EVPU; the host's lyric and placement services (42, 44, 49) say where
// syllables and entries are.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "expressions/wordext_regionenum.h"
#include "platform/hostapi/lyric_records.h"

namespace orvex {

struct TFMisc;

/// Where a syllable's extension stands.
enum class TrackerState : uint8_t {
    Idle = 0,
    Started = 1,    ///< on the syllable's entry
    Restarted = 2,  ///< on a continuation syllable at the start of a new system
    UnderWay = 3,   ///< after the syllable's entry, no further note yet
    Melisma = 4,    ///< at least one further note: the syllable needs an extension
};

/// The state of one lyric text in one staff and layer.
struct SyllableTracker {
    int32_t syllables = 0;  ///< in the text
    int16_t kind = 0;       ///< 0 verse, 1 chorus, 2 section
    int16_t textNumber = 0;
    int16_t changed = 0;
    TrackerState state = TrackerState::Idle;
    int16_t syllable = 0;  ///< the pending syllable
    int16_t inci = 0;      ///< of its assignment; kContinuation: a continuation whose assignment is still to be made
    EntryInfo start;       ///< the syllable's entry
    EntryInfo end;         ///< the last note that extends it
    hostapi::SyllableInfo font = hostapi::DefaultLyricFont();  ///< at the end of the text
};
inline constexpr int16_t kContinuation = -1;

/// Follows the lyrics of one staff and layer.
class CWordExtPlacer {
public:
    CWordExtPlacer(const TFMisc& context, hostapi::ViewKey view, hostapi::StaffSlot staff);

    /// Takes the next entry of the staff and layer.
    void Entry(const EntryInfo& info);
    /// Places the pending extension of every tracker; every tracker is idle afterwards.
    void Flush();
    /// Whether a tracker wrote an extension.
    bool Changed() const;

private:
    struct Kind {
        int16_t count = 0;  ///< texts, from base + 1 on
        std::vector<SyllableTracker> trackers;
        int16_t base = -1;  ///< first text number - 1; -1 while no text was seen
        /// The trackers that are not idle, in ascending order: only they have work at an entry,
        /// and a long score holds many texts of which only a few are under way at a time.
        std::vector<size_t> active;
    };

    void EntryWithLyrics(const EntryInfo& info);
    /// Advances every tracker under way over the entry (an idle one has nothing to do).
    void AdvanceAll(const EntryInfo& info);
    /// Calls `step` on each tracker under way, kind by kind in text order, and forgets those it
    /// left idle.
    template <typename Step>
    void ForEachActive(Step step);
    void LoadTexts();
    void Advance(SyllableTracker& tracker, const EntryInfo& info);
    bool Place(SyllableTracker& tracker, bool continued);
    void Start(SyllableTracker& tracker, const EntryInfo& info, int16_t syllable, int16_t inci, TrackerState state);
    /// Appends a continuation syllable in the font state to the tracker's text; the new syllable's
    /// number, or 0 when nothing was appended. `original` receives the text as it was.
    int16_t AppendContinuation(SyllableTracker& tracker, const hostapi::SyllableInfo& font, std::string& original);
    /// Marks an entry of the staff as carrying lyrics.
    void MarkLyrics(const EntryInfo& info);

    std::array<Kind, 3> m_kinds;
    int16_t m_loaded = 0;
    const TFMisc& m_context;
    hostapi::ViewKey m_view;
    hostapi::StaffSlot m_staff;
};

/// The region walker of the word-extension command.
class CWordExtEnum : public CRegionEnum {
public:
    explicit CWordExtEnum(const TFMisc& context);
    ~CWordExtEnum() override;

protected:
    void VisitEntry(hostapi::ConstEntryView entry, const EntryInfo& info) override;
    void BeginLayer(uint32_t walkFlags) override;
    void EndLayer(uint32_t walkFlags) override;
    bool Begin() override;
    int16_t End() override;

private:
    CWordExtPlacer* PlacerOf(bool create);

    std::vector<std::unique_ptr<CWordExtPlacer>> m_placers;  ///< four per staff, one a layer
    int16_t m_visited = 0;                                   ///< entries visited in the current layer
    const TFMisc& m_context;
};

/// The command: walks the region (the default region when none is given) and answers 1 when at
/// least one extension was written.
int16_t RunWordExtensions(const hostapi::SelectionRecord* region, const hostapi::SelectionRecord* defaultRegion,
                          const TFMisc& context);

/// Options of Word Extensions, by row.
enum WordExtensionsRow : size_t {
    WORD_EXT_LEFT_ALIGNED = 0,  ///< calculate the length for left-aligned syllables
    WORD_EXT_BEYOND_LAST_NOTE = 1,
    WORD_EXT_CONTINUED_OFFSET = 2,  ///< at the start of a new system
    WORD_EXT_SYSTEM_END_OFFSET = 3
};

}  // namespace orvex
