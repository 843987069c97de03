// The entry loop of the entry-processing engine: every entry of a loaded cell, in order, and for
// each entry inside the cell's position range the branches of the context's item in one fixed
// order. Branches may insert and delete entries, so the loop reads the count again for every
// entry and takes the entries afresh from the array after each branch.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <type_traits>

#include "core/free_texts.h"
#include "core/host/finxess_entries.h"
#include "core/host/smart_shapes.h"
#include "core/messages.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "platform/hostapi/lyric_records.h"
#include "tools/notes/engine/entry_engine.h"
#include "tools/notes/entry_details.h"
#include "tools/notes/entry_fields.h"
#include "tools/notes/entry_filters.h"
#include "tools/notes/find_compare.h"
#include "tools/notes/lyrics.h"
#include "tools/notes/new_spacing.h"
#include "tools/notes/playback_effects.h"
#include "tools/notes/rests.h"

namespace orvex {
namespace {

using hostapi::Edu;
using hostapi::EntryArray;
using hostapi::EntryView;

constexpr hostapi::Tag kTagVerse = hostapi::kTagVerseAssignment;
constexpr hostapi::Tag kTagSection = hostapi::kTagSectionAssignment;
constexpr hostapi::Tag kTagChorus = hostapi::kTagChorusAssignment;
using hostapi::kTagChorusText;
using hostapi::kTagSectionText;
using hostapi::kTagVerseText;

/// Tremolo partners whose actual durations differ by less than this count as equal.
constexpr int64_t kTremoloDurationTolerance = 8;

/// Rests of these actual durations in measures of these lengths are split in two by the Rests
/// command, each by its own option row.
struct RestSplit {
    RestsRow row;
    Edu measureLength;
    Edu restDuration;
};
constexpr RestSplit kRestSplits[] = {{RESTS_SPLIT_WHOLE_IN_3_2, 6144, 4096},
                                     {RESTS_SPLIT_HALF_IN_3_4, 3072, 2048},
                                     {RESTS_SPLIT_QUARTER_IN_3_8, 1536, 1024}};

/// Tremolo's pairing within a cell: after a tremolo is written, the next entry of the same voice
/// is its partner and is passed over once.
struct TremoloPairing {
    bool skip[2] = {false, false};  ///< by voice: first, second
};

/// One entry's branches, in the engine's fixed order.
class EntryBranches {
public:
    EntryBranches(TFMisc& context, EntryEngineState& state, EntryArray& array, int32_t index, bool previousIsGrace,
                  bool nextIsGrace, TremoloPairing& pairing, bool& changed)
        : m_context(context),
          m_state(state),
          m_array(array),
          m_index(index),
          m_previousIsGrace(previousIsGrace),
          m_nextIsGrace(nextIsGrace),
          m_pairing(pairing),
          m_changed(changed) {}

    CellOutcome Run();

private:
    /// The entry; branches may move the entries, so it is taken afresh each time.
    EntryView Entry() const { return m_array.entry(m_index); }
    std::optional<EntryView> Next() const {
        return m_index + 1 < m_array.count ? std::optional<EntryView>(m_array.entry(m_index + 1)) : std::nullopt;
    }
    bool HasLyrics() const { return Entry().has(hostapi::kEntryLyrics); }
    bool FirstPass() const { return m_context.LaterStepPending == 0; }
    void Changed(bool changed) { m_changed = changed || m_changed; }

    bool Rests();
    void SplitRest();
    bool DurationFitsTrillNotes(int16_t duration) const;
    void Tremolo();
    bool LyricsDurationFits() const;
    void NewSpacingFirstPass();
    /// Whether a shape of kind 25 or 26 starts at the entry (SharedSmartShapes' FindKind25or26,
    /// asked of the starts the walk gathered once).
    bool StartsKind25or26(hostapi::EntryNumber entry) const;

    TFMisc& m_context;
    EntryEngineState& m_state;
    EntryArray& m_array;
    int32_t m_index;
    bool m_previousIsGrace;
    bool m_nextIsGrace;
    TremoloPairing& m_pairing;
    bool& m_changed;
};

CellOutcome EntryBranches::Run() {
    TFMisc& context = m_context;
    EntryEngineState& state = m_state;
    const auto item = static_cast<ToolItem>(context.Item);
    const int32_t group = context.Group;

    if (item == ToolItem::ReplacePitches) {
        Changed(ReplacePitches(context, Entry(), state.key));
    }
    if (item == ToolItem::SpecialModifications) {
        Changed(ApplySpecialModifications(context, Entry(), state.key, m_array, m_index));
    }
    if (item == ToolItem::CompareEntries) {
        if (RowValue(context.Options, ROW_READ) == 0) {
            CompareEntry(context, state, Entry());
        } else {
            StoreEntry(context, state, Entry());
        }
    }
    if (item == ToolItem::LaisserVibrer && Entry().isNote()) {
        Changed(SetLaisserVibrerNoteheads(context.Environment, state.measure, state.staff, Entry(), state.key,
                                          state.secondKey, state.region.viewKey(), state.slot));
    }
    if (item == ToolItem::Playback && RowOn(context.Options, PLAYBACK_TRILLS) &&
        Entry().has(hostapi::kEntryArticulations)) {
        bool continueRun = true;
        Changed(WriteArticulationPlayback(context, state.measure, state.staff, state.layer, Entry(), continueRun));
        if (!continueRun) {
            return CellOutcome::EndRun;
        }
    }
    if (item == ToolItem::Harmonica && Entry().isNote() &&
        (RowOn(context.Options, HARMONICA_CONVERT) || RowOn(context.Options, kHarmonicaUncaptionedRow))) {
        Changed(TranslateNote(state.measure, state.staff, Entry(), state.key));
    }
    if (item == ToolItem::Rests && Rests()) {
        return CellOutcome::Done;  // the rest was taken in
    }
    if (item == ToolItem::TrillNotes) {
        const std::optional<EntryView> next = Next();
        const EntryView entry = Entry();
        if (next && entry.has(hostapi::kEntryGrace) && entry.isNote() &&
            (group == 2 || DurationFitsTrillNotes(entry.duration()))) {
            Changed(ApplyEntryDetailSet(entry, *next, context, context.MoreOptions, group));
        }
    }
    if (item == ToolItem::Tremolo) {
        Tremolo();
    }
    if (item == ToolItem::Shift) {
        Changed(ShiftEntryOffsets(context, state, Entry(), m_previousIsGrace, m_nextIsGrace));
    }
    if (item == ToolItem::ShiftLyrics && HasLyrics() && LyricsDurationFits()) {
        for (hostapi::Tag tag : {kTagVerse, kTagSection, kTagChorus}) {
            ShiftLyricsOfEntry(context, Entry(), tag);
        }
    }
    if (item == ToolItem::RemoveAdjustments && HasLyrics()) {
        Changed(ApplyLyricOptions(context, Entry()));
    }
    if (item == ToolItem::Remove) {
        const std::optional<EntryView> next = Next();
        hostapi::EntryRecord before;
        std::copy_n(Entry().data(), hostapi::EntryLayout::kSize, before.data());
        Changed(ApplyEntryFilters(context, Entry(), next ? &*next : nullptr));
        if (before.view().isNote() && !Entry().isNote()) {
            ReleaseTiesOfRest(m_array, m_index, before.view());
        }
    }
    if (item == ToolItem::MoveSyllables && group == 1 && Entry().position() == 0 && HasLyrics()) {
        MoveLongSyllables(context, Entry(), kTagVerse, kTagVerseText);
        MoveLongSyllables(context, Entry(), kTagSection, kTagSectionText);
        MoveLongSyllables(context, Entry(), kTagChorus, kTagChorusText);
    }
    if (((item == ToolItem::MoveSyllables && group == 2) ||
         (item == ToolItem::NewSpacing && FirstPass() && RowOn(context.Options, NSP_IGNORE_MELISMAS)) ||
         item == ToolItem::LeftAlignMelisma) &&
        HasLyrics()) {
        Changed(AdjustMelismaSyllables(context, state.slot, state.layer, m_array, m_index, Entry(), state.change));
    }
    if (item == ToolItem::Find) {
        const std::optional<hostapi::ConstEntryView> previous =
            m_index > 0 ? std::optional<hostapi::ConstEntryView>(m_array.entry(m_index - 1)) : std::nullopt;
        FindEntryTests(context, state, Entry(), previous ? &*previous : nullptr);
    }
    if (item == ToolItem::NewSpacing && FirstPass()) {
        NewSpacingFirstPass();
    }
    if (item == ToolItem::NewSpacing && !FirstPass()) {
        Changed(ApplyEntryChangeList(context, Entry()));
    }
    return CellOutcome::Done;
}

/// The Rests command: a note takes in the rests after it; otherwise a rest of a measure length's
/// chosen duration is split in two. Answers true when the rests were taken in (the later
/// branches then leave the entry alone).
bool EntryBranches::Rests() {
    if (RowOn(m_context.Options, RESTS_ABSORB)) {
        const bool absorbed =
            AbsorbFollowingRest(m_context, m_array, m_index, RowOn(m_context.Options, RESTS_ALLOW_TIES));
        if (absorbed) {
            m_changed = true;
            if (RowOn(m_context.Options, RESTS_SIMPLIFY_RHYTHM)) {
                m_state.simplifyRhythm = true;
            }
            return true;
        }
    }
    SplitRest();
    return false;
}

void EntryBranches::SplitRest() {
    const EntryView entry = Entry();
    if (entry.isNote()) {
        return;
    }
    for (const RestSplit& split : kRestSplits) {
        if (RowValue(m_context.Options, split.row) == 0 || m_state.measureLength != split.measureLength ||
            entry.actualDuration() != split.restDuration) {
            continue;
        }
        if (!InsertEntries(&m_array, m_index + 1, 1)) {
            return;
        }
        const EntryView first = Entry();
        const Edu actual = first.actualDuration() / 2;
        const auto notated = static_cast<int16_t>(first.duration() / 2);
        first.setActualDuration(actual);
        first.setDuration(notated);
        const EntryView second = m_array.entry(m_index + 1);
        second.setFlags(hostapi::kEntryCreated);
        second.setPosition(first.position() + actual);
        second.setActualDuration(actual);
        second.setDuration(notated);
        m_changed = true;
        return;
    }
}

/// Group 1 of the trill notes takes the grace notes whose written value lies in the band of the
/// value row 0 names (4 = a quarter: 600 to 1024 EDU); a row 0 below 1 names none.
bool EntryBranches::DurationFitsTrillNotes(int16_t duration) const {
    const int32_t unit = RowValue(m_context.Options, TRILL_NOTES_DURATION);
    if (unit <= 0) {
        return false;
    }
    return (600 / unit) * 4 <= duration && duration <= (1024 / unit) * 4;
}

void EntryBranches::Tremolo() {
    const EntryView a = Entry();
    const int voice = a.has(hostapi::kEntryVoice2) ? 1 : 0;
    if (m_pairing.skip[voice]) {
        m_pairing.skip[voice] = false;  // the partner of the tremolo just written
        return;
    }
    // The partner: the next entry; an entry of the first voice passes over the second voice.
    int32_t b = m_index + 1;
    if (voice == 0) {
        while (b < m_array.count && m_array.entry(b).has(hostapi::kEntryVoice2)) {
            ++b;
        }
    }
    if (b >= m_array.count) {
        return;
    }
    const EntryView partner = m_array.entry(b);
    const auto playable = [](EntryView e) {
        return e.isNote() && !e.has(hostapi::kEntryHidden) && !HasMoreFlag(e, kEntryMoreGenerated);
    };
    const int64_t difference =
        static_cast<int64_t>(a.actualDuration()) - static_cast<int64_t>(partner.actualDuration());
    if (partner.has(hostapi::kEntryVoice2) != (voice == 1) || std::llabs(difference) >= kTremoloDurationTolerance ||
        !playable(a) || !playable(partner)) {
        return;
    }
    const std::optional<EntryView> after =
        b + 1 < m_array.count ? std::optional<EntryView>(m_array.entry(b + 1)) : std::nullopt;
    if (WriteTremolo(m_context, a, partner, after ? &*after : nullptr, m_state.region.viewKey(), m_state.slot,
                     m_state.measure, m_state.layer)) {
        m_changed = true;
        m_pairing.skip[voice] = true;
    }
}

/// Shift Lyrics takes entries from row 3 up to row 4 (with row 5, up to a dotted row 4).
bool EntryBranches::LyricsDurationFits() const {
    const int16_t duration = Entry().duration();
    return RowValue(m_context.Options, SHIFT_LYRICS_MIN_LENGTH) <= duration &&
           (duration <= RowValue(m_context.Options, SHIFT_LYRICS_MAX_LENGTH) ||
            (RowValue(m_context.Options, SHIFT_LYRICS_DOTTED_AUTO) == 1 &&
             PowerOfTwoFloor(duration) <= RowValue(m_context.Options, SHIFT_LYRICS_MAX_LENGTH)));
}

bool EntryBranches::StartsKind25or26(hostapi::EntryNumber entry) const {
    if (!m_state.kind25or26Starts) {
        m_state.kind25or26Starts = SharedSmartShapes().StartsOfKind25or26();
    }
    return std::binary_search(m_state.kind25or26Starts->begin(), m_state.kind25or26Starts->end(), entry);
}

/// New Spacing's first pass: the glissando mark, the measure's positions, the squeezing of an
/// entry that runs past the measure and the change record of the entry.
void EntryBranches::NewSpacingFirstPass() {
    TFMisc& context = m_context;
    if (RowOn(context.Options, NSP_GLISSANDO_SPACE)) {
        // An entry that starts a note-attached glissando gets a tie for the host's spacing, which
        // leaves room for a tie, and so for the glissando.
        const EntryView entry = Entry();
        if (entry.isNote() && HasMoreFlag(entry, kEntryMoreSmartShapes) && entry.notesHeld() > 0 &&
            (entry.note(0).flags() & hostapi::kNoteTieStart) == 0 && StartsKind25or26(entry.number())) {
            entry.note(0).setFlags(entry.note(0).flags() | hostapi::kNoteTieStart);
            m_state.change.setTieMarker(1);
            m_state.change.setEntry(entry.number());
            m_changed = true;
        }
    }
    if (RowOn(context.Options, NSP_COMPLEMENTARY_RHYTHMS) && m_state.slot == m_state.region.lastStaff()) {
        return;  // the staff added for the complementary rhythm
    }
    m_state.positions.push_back(Entry().position());
    if (RowOn(context.MoreOptions, NSP_SQUEEZE_OVERLONG)) {
        Changed(SqueezeOverlongEntry(context, Entry(), m_array, m_index, context.Walk.measureSpec,
                                     m_state.measureLength, m_state.change));
    }
    const hostapi::EntryNumber recorded = m_state.change.entry();
    if (recorded > 0) {
        if (recorded == Entry().number()) {
            NewSpacingRun(context).AddChange(m_state.change);
        } else {
            ShowMessage(FreeText::InternalErrorInvalidNspEntnum);
        }
    }
}

}  // namespace

CellOutcome RunEntryLoop(TFMisc& context, EntryEngineState& state, EntryArray& array, bool& changed) {
    TremoloPairing pairing;
    for (int32_t i = 0; i < array.count; ++i) {
        const bool previousIsGrace = i > 0 && array.entry(i - 1).has(hostapi::kEntryGrace);
        const bool nextIsGrace = i + 1 < array.count && array.entry(i + 1).has(hostapi::kEntryGrace);
        state.change = TNSPchanges{};
        context.Walk.removeEntry = 0;
        const Edu position = array.entry(i).position();
        if (position >= state.from && position <= state.to) {
            EntryBranches branches(context, state, array, i, previousIsGrace, nextIsGrace, pairing, changed);
            const CellOutcome outcome = branches.Run();
            if (outcome != CellOutcome::Done) {
                return outcome;
            }
        }
        // A deletion the host refuses leaves the entry where it is, and the loop goes on.
        if (context.Walk.removeEntry != 0 && FrameEntriesRemove(&array, i, 1)) {
            --i;
        }
    }
    return CellOutcome::Done;
}

}  // namespace orvex
