#include "tools/notes/new_spacing.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <numeric>
#include <span>
#include <vector>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_records.h"
#include "core/tool_context.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "tools/notes/notes_services.h"
#include "tools/notes/tremolo.h"

namespace orvex {
namespace {

using hostapi::Edu;
using hostapi::EntryView;

using hostapi::kTagTuplet;
/// An entry's tuplets are read at incidences 0 to 9.
constexpr int32_t kTupletsRead = 10;

/// The tuplet record ('E', 3, 'T', 'P', 30 bytes): what is written, then the time it takes.
struct TupletLayout {
    static constexpr size_t kWrittenCount = 0;  ///< @0, i16
    static constexpr size_t kWrittenUnit = 2;   ///< @2, i16, EDU
    static constexpr size_t kTimeCount = 4;     ///< @4, i16
    static constexpr size_t kTimeUnit = 6;      ///< @6, i16, EDU; the rest of the record is 0
};
static_assert(TupletLayout::kTimeUnit + 2 <= Record30::kSize);

/// The entry that New Spacing's complementary rhythm writes: one created note.
constexpr uint32_t kComplementaryEntryFlags = hostapi::kEntryCreated | hostapi::kEntryNote;
constexpr int16_t kComplementaryNoteId = 1;

int32_t TupletIndexPlusOne(const TNSPchanges& change) {
    return hostapi::ReadI32(change.bytes.data(), TNSPchanges::kTupletIndex);
}

bool FitsWord(int64_t value) {
    return value > 0 && value <= INT16_MAX;
}

/// Whether a duration is a plain or dotted note value.
bool IsPlainOrDotted(Edu value) {
    return value > 0 && value == DottedDuration(PowerOfTwoFloor(value), DotCount(value));
}

}  // namespace

NewSpacingState& NewSpacingRun(const TFMisc& context) {
    return context.States.Get<NewSpacingState>();
}

void NewSpacingState::ClearChanges() {
    changes.clear();
    m_sorted = false;
}

void NewSpacingState::AddChange(const TNSPchanges& change) {
    changes.push_back(change);
    m_sorted = false;
}

std::span<const size_t> NewSpacingState::ChangesOf(hostapi::EntryNumber entry) {
    if (!m_sorted) {
        m_byEntry.resize(changes.size());
        std::iota(m_byEntry.begin(), m_byEntry.end(), size_t{0});
        std::stable_sort(m_byEntry.begin(), m_byEntry.end(),
                         [this](size_t a, size_t b) { return changes[a].entry() < changes[b].entry(); });
        m_sorted = true;
    }
    const auto first =
        std::lower_bound(m_byEntry.begin(), m_byEntry.end(), entry,
                         [this](size_t place, hostapi::EntryNumber e) { return changes[place].entry() < e; });
    const auto last = std::upper_bound(first, m_byEntry.end(), entry, [this](hostapi::EntryNumber e, size_t place) {
        return e < changes[place].entry();
    });
    return {first, last};
}

bool SqueezeOverlongEntry(TFMisc&, EntryView entry, hostapi::EntryArray& array, int32_t index, const EDTMeasureSpec&,
                          Edu measureLength, TNSPchanges& change) {
    const Edu start = entry.position();
    // A tuplet is kept under the entry's number: an entry the host has not numbered has none.
    if (entry.number() <= 0 || index < 0 || index >= array.count || array.count <= 0) {
        return false;
    }
    if (!(start < measureLength && measureLength < entry.end()) || entry.duration() != entry.actualDuration()) {
        return false;
    }
    int32_t next = 0;
    if (entry.has(hostapi::kEntryTuplet)) {
        Record30 existing;
        while (next < kTupletsRead && LoadRecordEtp(entry.number(), next, existing)) {
            ++next;
        }
    }
    if (next >= kTupletsRead) {
        return false;  // no room for another tuplet among those the second pass can find
    }
    const int64_t span = static_cast<int64_t>(array.entry(array.count - 1).end()) - start;
    const int64_t room = static_cast<int64_t>(measureLength) - start;
    if (span <= 0 || span > INT32_MAX) {
        return false;
    }
    int32_t writtenCount = 0;
    int32_t timeCount = 0;
    Edu writtenUnit = 0;
    Edu timeUnit = 0;
    DurationSplit(static_cast<Edu>(span), writtenCount, writtenUnit);
    DurationSplit(static_cast<Edu>(room), timeCount, timeUnit);
    // The counts must fit the record's words; a count of 0 makes no tuplet.
    if (!FitsWord(writtenCount) || !FitsWord(timeCount)) {
        return false;
    }
    Record30 tuplet;
    tuplet.setWord(TupletLayout::kWrittenCount / 2, static_cast<int16_t>(writtenCount));
    tuplet.setWord(TupletLayout::kWrittenUnit / 2, static_cast<int16_t>(writtenUnit));
    tuplet.setWord(TupletLayout::kTimeCount / 2, static_cast<int16_t>(timeCount));
    tuplet.setWord(TupletLayout::kTimeUnit / 2, static_cast<int16_t>(timeUnit));
    if (!SaveRecordEtp(entry.number(), next, tuplet)) {
        return false;
    }
    change.setEntry(entry.number());
    hostapi::WriteI32(change.bytes.data(), TNSPchanges::kTupletIndex, next + 1);
    entry.setFlag(hostapi::kEntryTuplet, true);
    // This entry and the ones after it are squeezed into the room left in the measure.
    for (int32_t i = index; i < array.count; ++i) {
        const EntryView later = array.entry(i);
        const int64_t position = (static_cast<int64_t>(later.position()) - start) * room / span + start;
        const int64_t actual = static_cast<int64_t>(later.actualDuration()) * room / span;
        later.setPosition(static_cast<Edu>(position));
        later.setActualDuration(static_cast<Edu>(actual));
    }
    return true;
}

bool ApplyEntryChangeList(TFMisc& context, EntryView entry) {
    const uint32_t flagsBefore = entry.flags();
    const uint32_t noteFlagsBefore = entry.notesHeld() > 0 ? entry.note(0).flags() : 0;
    NewSpacingState& run = NewSpacingRun(context);
    for (const size_t place : entry.number() == 0 ? std::span<const size_t>() : run.ChangesOf(entry.number())) {
        const TNSPchanges& change = run.changes[place];
        if (change.bytes[TNSPchanges::kLyricMarker] != 0) {
            entry.setFlag(hostapi::kEntryLyrics, true);
        }
        if (change.tieMarker() != 0 && entry.notesHeld() > 0) {
            entry.note(0).setFlags(entry.note(0).flags() ^ hostapi::kNoteTieStart);
        }
        const int32_t t = TupletIndexPlusOne(change);
        if (RowOn(context.MoreOptions, NSP_REMOVE_TUPLETS) && t > 0 && t <= kTupletsRead) {
            DeleteEntryDetailRecord(kTagTuplet, entry.number(), t - 1);
            if (t == 1 && entry.has(hostapi::kEntryTuplet)) {
                entry.setFlag(hostapi::kEntryTuplet, false);
            }
        }
    }
    const uint32_t noteFlagsAfter = entry.notesHeld() > 0 ? entry.note(0).flags() : 0;
    return entry.flags() != flagsBefore || noteFlagsAfter != noteFlagsBefore;
}

bool FillComplementaryRhythm(TFMisc& context, hostapi::EntryArray& array, std::vector<Edu>& positions,
                             Edu measureLength) {
    const int32_t minDistance = std::clamp(RowValue(context.MoreOptions, NSP_MIN_DISTANCE), kNewSpacingMinDistanceLow,
                                           kNewSpacingMinDistanceHigh);
    const bool plainValuesOnly = RowOn(context.MoreOptions, NSP_PLAIN_VALUES_ONLY);
    positions.push_back(measureLength);
    std::sort(positions.begin(), positions.end());
    bool appended = false;
    Edu previous = 0;
    for (const Edu p : positions) {
        // Positions past the measure's end (entries that overflow it) get no rhythm of their own.
        if (p > measureLength) {
            break;
        }
        if (static_cast<int64_t>(previous) + minDistance > p) {
            continue;
        }
        const Edu gap = p - previous;
        // A gap that is no note value is taken in by the next one, so that the layer stays
        // without holes.
        if (!FitsWord(gap) || (plainValuesOnly && !IsPlainOrDotted(gap))) {
            continue;
        }
        if (!InsertEntries(&array, array.count, 1)) {
            break;
        }
        const EntryView entry = array.entry(array.count - 1);
        entry.setFlags(kComplementaryEntryFlags);
        entry.setNoteCount(1);
        entry.note(0).setHarmonicLevel(0);
        entry.note(0).setNoteId(kComplementaryNoteId);
        entry.note(0).setFlags(hostapi::kNoteCreated);
        entry.setPosition(previous);
        entry.setActualDuration(gap);
        entry.setDuration(static_cast<int16_t>(gap));
        appended = true;
        previous = p;
    }
    return appended;
}

}  // namespace orvex
