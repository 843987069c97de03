#include "tools/layout/split_point.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/free_texts.h"
#include "core/host/host_imports.h"
#include "core/messages.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "tools/notes/notes_services.h"

namespace orvex {

namespace {

using hostapi::ConstEntryView;
using hostapi::EntryLayout;
using hostapi::EntryRecord;
using hostapi::EntryView;
using hostapi::NoteLayout;
using hostapi::NoteRecord;

constexpr int32_t kMaxNotes = static_cast<int32_t>(EntryLayout::kMaxNotes);

/// An entry of a cell by its layer and index.
struct EntryRef {
    int32_t layer = -1;
    int32_t index = -1;
    bool valid() const { return layer >= 0; }
    bool operator==(const EntryRef&) const = default;
};

int32_t SlotCount(const NInfoItem& item) {
    return item.usedSlots == kNInfoEndMark ? 0 : std::min<int32_t>(item.usedSlots, kNInfoSlots);
}

bool Exists(const LayerArrays& layers, EntryRef ref) {
    if (ref.layer < 0 || ref.layer > 3) {
        return false;
    }
    const EntryArray* array = layers[static_cast<size_t>(ref.layer)];
    return array != nullptr && array->entries != nullptr && ref.index >= 0 && ref.index < array->count;
}

EntryView At(const LayerArrays& layers, EntryRef ref) {
    return layers[static_cast<size_t>(ref.layer)]->entry(ref.index);
}

EntryRef RefOf(const VoiceSlot& slot) {
    return EntryRef{slot.layer, slot.entryIndex};
}

/// The notes an entry really holds: none for a rest, whatever its count says.
int32_t NotesOf(ConstEntryView entry) {
    return entry.isNote() ? entry.notesHeld() : 0;
}

int32_t PitchWord(hostapi::ConstNoteView note) {
    return note.harmonicLevel();
}
int32_t LowestPitch(ConstEntryView entry) {
    return PitchWord(entry.note(0));
}
int32_t HighestPitch(ConstEntryView entry) {
    return PitchWord(entry.note(std::max(0, NotesOf(entry) - 1)));
}

int32_t SlotPitch(const LayerArrays& layers, const VoiceSlot& slot) {
    if (!Exists(layers, RefOf(slot))) {
        return 0;
    }
    return PitchWord(At(layers, RefOf(slot)).note(std::min<int32_t>(slot.noteIndex, kMaxNotes - 1)));
}

bool HasTie(const SplitPointTies& ties, const SplitPointTie& tie) {
    return std::find(ties.begin(), ties.end(), tie) != ties.end();
}

/// The MIDI key of a note of the source cell.
int32_t KeyNumber(const EntryArray& array, const NoteRecord& note) {
    return NotePitchValue(note.data(), CellKeyValue(array.measure, array.staff, 0));
}

/// Whether the moving note leaps away from a note entry of its layer that ends exactly where it
/// starts or starts exactly where it ends, by at least `minLeap`, in the direction it moves.
bool LeapsAway(const EntryArray& array, int32_t index, int32_t movingPitch, bool downward, int32_t minLeap) {
    const ConstEntryView moving = array.entry(index);
    const auto leaps = [&](ConstEntryView neighbour) {
        if (downward) {
            const int32_t other = LowestPitch(neighbour);
            return movingPitch < other && other - movingPitch >= minLeap;
        }
        const int32_t other = HighestPitch(neighbour);
        return movingPitch > other && movingPitch - other >= minLeap;
    };
    for (int32_t k = index - 1; k >= 0; --k) {
        const ConstEntryView entry = array.entry(k);
        if (entry.isNote() && entry.end() == moving.position()) {
            if (leaps(entry)) {
                return true;
            }
            break;
        }
    }
    for (int32_t k = index + 1; k < array.count; ++k) {
        const ConstEntryView entry = array.entry(k);
        if (entry.isNote() && entry.position() == moving.end()) {
            return leaps(entry);
        }
    }
    return false;
}

/// The place after an entry, or after the run of second-voice entries that its flag 0x20000000
/// says follows it: a part split off the entry goes there, so that the voice structure holds.
int32_t PlaceAfter(const EntryArray& array, int32_t index) {
    int32_t place = index + 1;
    if (array.entry(index).has(hostapi::kEntryVoice2Start)) {
        while (place < array.count && array.entry(place).has(hostapi::kEntryVoice2)) {
            ++place;
        }
    }
    return place;
}

/// Cuts an entry in two at `firstActual` EDU: the entry keeps that much, the new entry at `place`
/// takes the rest. A note entry's notes go on sounding in the new part, tied over from the first.
/// The lengths are checked before anything is inserted; answers the new entry's index, -1 after an
/// internal error or when the host refused the entry.
int32_t SplitEntry(EntryArray& array, int32_t index, int32_t place, hostapi::Edu firstActual, const char* durationCheck,
                   const char* actualCheck) {
    const ConstEntryView entry = array.entry(index);
    const int32_t duration = entry.duration();
    const hostapi::Edu actual = entry.actualDuration();
    if (actual <= 0) {
        ReportInternalError(actualCheck);
        return -1;
    }
    const auto firstDuration = static_cast<int32_t>(static_cast<int64_t>(duration) * firstActual / actual);
    if (!CheckOrReportInternalError(duration - firstDuration > 0, durationCheck) ||
        !CheckOrReportInternalError(actual - firstActual > 0, actualCheck)) {
        return -1;
    }
    if (!InsertEntries(&array, place, 1)) {
        return -1;
    }
    const EntryView first = array.entry(index);
    const EntryView second = array.entry(place);
    std::memset(second.data(), 0, EntryLayout::kSize);
    second.setPosition(first.position() + firstActual);
    second.setDuration(static_cast<int16_t>(duration - firstDuration));
    second.setActualDuration(actual - firstActual);
    second.setFlags(hostapi::kEntryCreated | (first.flags() & hostapi::kEntryVoice2));
    first.setDuration(static_cast<int16_t>(firstDuration));
    first.setActualDuration(firstActual);
    const int32_t notes = NotesOf(first);
    if (notes > 0) {
        second.setFlag(hostapi::kEntryNote, true);
        second.setNoteCount(static_cast<int16_t>(notes));
        for (int32_t n = 0; n < notes; ++n) {
            std::memcpy(second.note(n).data(), first.note(n).data(), NoteLayout::kSize);
            second.note(n).setNoteId(0);
            second.note(n).setFlags(first.note(n).flags() | hostapi::kNoteTieEnd);
            first.note(n).setFlags(first.note(n).flags() | hostapi::kNoteTieStart);
        }
    }
    return place;
}

/// Puts a note into an entry: at the bottom (the others move up one place) or at the top.
void AddNote(EntryView entry, const NoteRecord& note, bool atBottom) {
    const int32_t notes = NotesOf(entry);
    if (atBottom) {
        for (int32_t n = notes; n > 0; --n) {
            std::memcpy(entry.note(n).data(), entry.note(n - 1).data(), NoteLayout::kSize);
        }
        std::memcpy(entry.note(0).data(), note.data(), NoteLayout::kSize);
    } else {
        std::memcpy(entry.note(notes).data(), note.data(), NoteLayout::kSize);
    }
    entry.setNoteCount(static_cast<int16_t>(notes + 1));
    entry.setFlag(hostapi::kEntryNote, true);
}

}  // namespace

void SortSlotsByPitch(NInfoItem& item, const LayerArrays& layers) {
    const int32_t count = SlotCount(item);
    for (int32_t i = 0; i < count; ++i) {
        for (int32_t j = i + 1; j < count; ++j) {
            auto& slots = item.slots;
            if (SlotPitch(layers, slots[static_cast<size_t>(j)]) < SlotPitch(layers, slots[static_cast<size_t>(i)])) {
                std::swap(slots[static_cast<size_t>(i)], slots[static_cast<size_t>(j)]);
            }
        }
    }
}

namespace {

/// What the steps of MoveSplitPointNote share: the note that moves, its source entry, and the
/// target entry it goes to.
struct SplitMove {
    bool downward = false;
    EntryRef low;     ///< the source's lowest note entry
    EntryRef moving;  ///< the source entry that gives up its note
    EntryArray* sourceArray = nullptr;
    ConstEntryView movingEntry{nullptr};
    NoteRecord movingNote;
    int32_t movingPitch = 0;
    int32_t sourceSpan = 0;
    hostapi::Edu movingPosition = 0;
    hostapi::Edu movingActual = 0;
    hostapi::Edu movingEnd = 0;
    SplitPointTie tie{};
    EntryRef top;  ///< the target's highest and lowest entry
    EntryRef bottom;
    bool topIsNote = false;
    bool bottomIsNote = false;
    EntryRef targetRef;  ///< the target entry the note goes to
    bool sameTime = false;
    int32_t topPitch = 0;
    int32_t bottomPitch = 0;
};

/// The note that moves: the source's lowest (downward) or highest sounding note, when its key lies
/// in the range. Grace notes stay as written: an ornament would become a note that sounds in the
/// other hand's chord, so an item of grace notes gives up none. False when there is none.
bool FindMovingNote(const LayerArrays& source, NInfoItem& sourceItem, int32_t direction, int32_t lowestKey,
                    int32_t highestKey, SplitMove& move) {
    // The lowest and the highest sounding note entry of the source.
    EntryRef low;
    EntryRef high;
    for (int32_t s = 0; s < SlotCount(sourceItem); ++s) {
        const EntryRef ref = RefOf(sourceItem.slots[static_cast<size_t>(s)]);
        if (Exists(source, ref) && At(source, ref).isNote() && !At(source, ref).has(hostapi::kEntryGrace)) {
            if (!low.valid()) {
                low = ref;
            }
            high = ref;
        }
    }
    if (!low.valid()) {
        return false;
    }
    const int32_t sourceLowest = LowestPitch(At(source, low));
    const int32_t sourceHighest = HighestPitch(At(source, high));
    if (sourceHighest < sourceLowest) {
        ShowMessage(FreeText::Error34542);
        return false;
    }

    // The moving note.
    move.low = low;
    move.moving = move.downward ? low : high;
    move.sourceArray = source[static_cast<size_t>(move.moving.layer)];
    move.movingEntry = At(source, move.moving);
    const int32_t movingNoteIndex = move.downward ? 0 : NotesOf(move.movingEntry) - 1;
    std::memcpy(move.movingNote.data(), move.movingEntry.note(movingNoteIndex).data(), NoteLayout::kSize);
    move.movingPitch = PitchWord(move.movingNote.view());
    const int32_t key = KeyNumber(*move.sourceArray, move.movingNote);
    if (key < lowestKey || key > highestKey) {
        return false;
    }
    move.sourceSpan = std::abs(sourceHighest - sourceLowest) + 1;
    move.movingPosition = move.movingEntry.position();
    move.movingActual = move.movingEntry.actualDuration();
    move.movingEnd = move.movingEntry.end();
    move.tie = SplitPointTie{move.sourceArray->staff, move.movingPosition, move.movingPitch, direction};
    return true;
}

/// The entry that sounds for a target entry: a grace note has no duration to take a moved note
/// into, so it stands for the entry it leads to (the next entry of its layer and voice that is
/// not a grace note), which must start where it does; none when it does not. Any other entry
/// stands for itself.
EntryRef SoundingEntry(const LayerArrays& target, EntryRef ref) {
    if (!Exists(target, ref) || !At(target, ref).has(hostapi::kEntryGrace)) {
        return ref;
    }
    const EntryArray& array = *target[static_cast<size_t>(ref.layer)];
    const ConstEntryView grace = array.entry(ref.index);
    for (int32_t k = ref.index + 1; k < array.count; ++k) {
        const ConstEntryView entry = array.entry(k);
        if (entry.has(hostapi::kEntryVoice2) == grace.has(hostapi::kEntryVoice2) && !entry.has(hostapi::kEntryGrace)) {
            return entry.position() == grace.position() ? EntryRef{ref.layer, k} : EntryRef{};
        }
    }
    return EntryRef{};
}

/// The target entry the note goes to: the target's highest (downward) or lowest entry, or the
/// most extreme one at the note's time. At grace notes these are the entries the grace notes lead
/// to, which the grace notes keep as written. False when there is none or the target contradicts
/// itself.
bool FindTargetEntry(const LayerArrays& target, NInfoItem& targetItem, SplitMove& move) {
    const bool downward = move.downward;
    EntryRef top;
    EntryRef bottom;
    bool atGraceNotes = false;
    if (const int32_t count = SlotCount(targetItem); count > 0) {
        const EntryRef lowest = RefOf(targetItem.slots[0]);
        const EntryRef highest = RefOf(targetItem.slots[static_cast<size_t>(count - 1)]);
        bottom = SoundingEntry(target, lowest);
        top = SoundingEntry(target, highest);
        atGraceNotes = bottom != lowest || top != highest;
        bottom = Exists(target, bottom) ? bottom : EntryRef{};
        top = Exists(target, top) ? top : EntryRef{};
    }
    const bool topIsNote = top.valid() && At(target, top).isNote();
    const bool bottomIsNote = bottom.valid() && At(target, bottom).isNote();
    // Grace notes of two layers may lie the other way round from the notes they lead to.
    if (atGraceNotes && topIsNote && bottomIsNote && LowestPitch(At(target, bottom)) > HighestPitch(At(target, top))) {
        std::swap(top, bottom);
    }
    // Only notes have pitches to contradict each other.
    if (topIsNote && bottomIsNote && LowestPitch(At(target, bottom)) > HighestPitch(At(target, top))) {
        ShowMessage(FreeText::Error34543);
        return false;
    }
    EntryRef targetRef = downward ? top : bottom;
    if (!targetRef.valid()) {
        return false;
    }
    const hostapi::Edu movingPosition = move.movingPosition;
    if (At(target, targetRef).position() != movingPosition) {
        bool found = false;
        for (int32_t s = 0; s < SlotCount(targetItem); ++s) {
            const EntryRef ref = SoundingEntry(target, RefOf(targetItem.slots[static_cast<size_t>(s)]));
            if (!Exists(target, ref) || At(target, ref).position() != movingPosition) {
                continue;
            }
            const ConstEntryView current = At(target, targetRef);
            const ConstEntryView candidate = At(target, ref);
            if (current.position() == movingPosition && current.isNote() && candidate.isNote()) {
                const bool moreExtreme = downward ? HighestPitch(candidate) > HighestPitch(current)
                                                  : LowestPitch(candidate) < LowestPitch(current);
                if (moreExtreme) {
                    targetRef = ref;
                }
            } else if (!found) {
                targetRef = ref;
            }
            found = true;
        }
    }
    const ConstEntryView targetEntry = At(target, targetRef);
    move.top = top;
    move.bottom = bottom;
    move.topIsNote = topIsNote;
    move.bottomIsNote = bottomIsNote;
    move.targetRef = targetRef;
    move.sameTime = targetEntry.position() == movingPosition;
    move.topPitch = topIsNote ? HighestPitch(At(target, top)) : HighestPitch(targetEntry);
    move.bottomPitch = bottomIsNote ? LowestPitch(At(target, bottom)) : LowestPitch(targetEntry);
    return true;
}

/// Whether the note is to move: a source that spans too much or a target with too few notes
/// always gives it up; else balancing the spans, a leap away or a tie from before is a reason.
/// Never to an earlier target, nor a note tied from before without its tie.
bool HasReasonToMove(const LayerArrays& target, NInfoItem& sourceItem, NInfoItem& targetItem,
                     const SplitMoveSettings& settings, SplitPointTies& ties, const SplitMove& move) {
    const bool downward = move.downward;
    const ConstEntryView targetEntry = At(target, move.targetRef);
    if (move.sourceSpan <= settings.maxSourceSpan && targetItem.noteEntries >= settings.minTargetNotes) {
        bool reason = false;
        if (settings.balanceSpans && move.sameTime && move.topIsNote && move.bottomIsNote) {
            const int32_t targetSpan = std::abs(move.topPitch - move.bottomPitch) + 1;
            const int32_t spanWithNote = (downward ? std::abs(move.movingPitch - move.bottomPitch)
                                                   : std::abs(move.topPitch - move.movingPitch)) +
                                         1;
            reason = targetSpan < move.sourceSpan && SlotCount(sourceItem) >= 2 && spanWithNote + 1 < move.sourceSpan;
        }
        if (!reason && move.low.index > 0 && move.movingPosition > 0) {
            reason = LeapsAway(*move.sourceArray, move.moving.index, move.movingPitch, downward, settings.minLeap);
        }
        if (!reason) {
            reason = HasTie(ties, move.tie);
        }
        if (!reason) {
            return false;
        }
    }
    if (move.movingPosition < targetEntry.position()) {
        return false;
    }
    if ((move.movingNote.view().flags() & hostapi::kNoteTieEnd) != 0 && !HasTie(ties, move.tie)) {
        return false;
    }
    return true;
}

/// Makes the target entry take the note: at the same time within the spans and the crossing
/// rules, a longer target split when the options say so; an earlier target split at the note's
/// time (the part from there on becomes the target). False when the note cannot go there.
bool MakeRoomInTarget(const LayerArrays& target, const SplitMoveSettings& settings, SplitMove& move) {
    const bool downward = move.downward;
    EntryRef& targetRef = move.targetRef;
    const ConstEntryView targetEntry = At(target, targetRef);
    EntryArray& targetArray = *target[static_cast<size_t>(targetRef.layer)];
    const bool targetWasNote = targetEntry.isNote();
    if (targetWasNote && NotesOf(targetEntry) >= kMaxNotes) {
        return false;  // no room for another note
    }
    if (move.sameTime) {
        if (!downward && move.bottomIsNote && move.movingPitch >= move.bottomPitch) {
            return false;  // the note would cross the target's lowest note
        }
        if (downward && move.topIsNote && move.topPitch >= move.movingPitch) {
            return false;
        }
        if (targetWasNote) {
            const int32_t span =
                (downward ? move.movingPitch - move.bottomPitch : move.topPitch - move.movingPitch) + 1;
            if (span > settings.maxTargetSpan) {
                return false;
            }
        }
        if (targetEntry.actualDuration() > move.movingActual) {
            const bool keep = (targetWasNote ? settings.keepLongerTargetNotes : settings.keepLongerTargetRests);
            const EntryArray& sourceArray = *move.sourceArray;
            const bool nextIsRest =
                move.moving.index + 1 < sourceArray.count && !sourceArray.entry(move.moving.index + 1).isNote();
            if (!keep || (!targetWasNote && nextIsRest)) {
                if (SplitEntry(targetArray, targetRef.index, PlaceAfter(targetArray, targetRef.index),
                               move.movingActual, "F.dura>0", "F.actdur>0") < 0) {
                    return false;
                }
            }
        }
    } else {
        if (!settings.earlierTargets || targetEntry.duration() == 0) {
            return false;
        }
        const hostapi::Edu keptActual = move.movingPosition - targetEntry.position();
        if (!CheckOrReportInternalError(keptActual > 0, "newactdur>0")) {
            return false;
        }
        const int32_t place = SplitEntry(targetArray, targetRef.index, PlaceAfter(targetArray, targetRef.index),
                                         keptActual, "FduraTakenFromE>0", "FactdurTakenFromE>0");
        if (place < 0) {
            return false;
        }
        targetRef.index = place;
    }
    return true;
}

/// The target entry with the note added, as a working copy; a held note tied on in the target
/// takes the moved note on into its next entry.
EntryRecord TargetWithNote(const LayerArrays& target, const SplitMove& move) {
    const bool downward = move.downward;
    EntryArray& targetArray = *target[static_cast<size_t>(move.targetRef.layer)];
    EntryRecord copy;
    std::memcpy(copy.data(), targetArray.entry(move.targetRef.index).data(), EntryLayout::kSize);
    const bool copyWasNote = copy.view().isNote();
    const bool firstNoteTied = copyWasNote && (copy.view().note(0).flags() & hostapi::kNoteTieStart) != 0;
    if (!copyWasNote) {
        copy.view().setNoteCount(0);
        copy.view().setFlag(hostapi::kEntryBeamStart, move.movingEntry.has(hostapi::kEntryBeamStart));
    }
    NoteRecord added = move.movingNote;
    added.view().setNoteId(0);
    AddNote(copy.view(), added, !downward);
    const int32_t addedIndex = downward ? NotesOf(copy.view()) - 1 : 0;

    // A held note tied on in the target: the moved note goes on with it.
    const bool movingTiedOn = (move.movingNote.view().flags() & hostapi::kNoteTieStart) != 0;
    const int32_t nextIndex = move.targetRef.index + 1;
    if (move.movingActual > copy.view().actualDuration() && !movingTiedOn && copyWasNote && firstNoteTied &&
        nextIndex < targetArray.count) {
        const EntryView next = targetArray.entry(nextIndex);
        if (((next.flags() ^ copy.view().flags()) & hostapi::kEntryVoice2) == 0 && NotesOf(next) < kMaxNotes) {
            copy.view().note(addedIndex).setFlags(copy.view().note(addedIndex).flags() | hostapi::kNoteTieStart);
            NoteRecord continued = added;
            continued.view().setFlags((added.view().flags() | hostapi::kNoteTieEnd) & ~hostapi::kNoteTieStart);
            if (!next.isNote()) {
                next.setNoteCount(0);
            }
            AddNote(next, continued, !downward);
        }
    }
    return copy;
}

/// The source gives the note up (an emptied chord becomes a rest) and the target takes the copy;
/// a note tied on leaves the ties the next moves follow.
void CompleteMove(TFMisc& context, const LayerArrays& target, SplitPointTies& ties, const SplitMoveSettings& settings,
                  const SplitMove& move, const EntryRecord& copy) {
    EntryArray& sourceArray = *move.sourceArray;
    EntryArray& targetArray = *target[static_cast<size_t>(move.targetRef.layer)];
    const EntryView sourceEntry = sourceArray.entry(move.moving.index);
    const int32_t left = NotesOf(sourceEntry) - 1;
    if (move.downward) {
        for (int32_t n = 0; n < left; ++n) {
            std::memcpy(sourceEntry.note(n).data(), sourceEntry.note(n + 1).data(), NoteLayout::kSize);
        }
    }
    sourceEntry.setNoteCount(static_cast<int16_t>(left));
    const hostapi::Edu copyEnd = copy.view().end();
    std::memcpy(targetArray.entry(move.targetRef.index).data(), copy.data(), EntryLayout::kSize);
    if (left == 0) {
        sourceEntry.setFlag(hostapi::kEntryNote, false);
        if (settings.joinEmptiedRests && move.moving.index > 0) {
            AbsorbFollowingRest(context, sourceArray, move.moving.index - 1, false);
        }
    }
    if ((move.movingNote.view().flags() & hostapi::kNoteTieStart) != 0) {
        ties.push_back(SplitPointTie{sourceArray.staff, copyEnd, move.movingPitch, settings.direction});
        ties.push_back(SplitPointTie{sourceArray.staff, move.movingEnd, move.movingPitch, settings.direction});
    }
}

}  // namespace

SplitPointOptions::SplitPointOptions(const OptionArray& rows)
    : maxUpperSpan(RowValue(rows, SPLIT_MAX_UPPER_SPAN)),
      maxLowerSpan(RowValue(rows, SPLIT_MAX_LOWER_SPAN)),
      leapDown(RowValue(rows, SPLIT_LEAP_DOWN)),
      leapUp(RowValue(rows, SPLIT_LEAP_UP)),
      minTargetNotes(RowValue(rows, SPLIT_MIN_TARGET_NOTES)),
      lowestKey(RowValue(rows, SPLIT_LOWEST_KEY)),
      highestKey(RowValue(rows, SPLIT_HIGHEST_KEY)),
      simplifyRhythm(RowOn(rows, SPLIT_SIMPLIFY_RHYTHM)),
      switches{.balanceSpans = RowOn(rows, SPLIT_BALANCE_SPANS),
               .earlierTargets = RowOn(rows, SPLIT_EARLIER_TARGETS),
               .joinEmptiedRests = RowOn(rows, SPLIT_JOIN_EMPTIED_RESTS),
               .keepLongerTargetRests = RowOn(rows, SPLIT_KEEP_LONGER_TARGET_RESTS),
               .keepLongerTargetNotes = RowOn(rows, SPLIT_KEEP_LONGER_TARGET_NOTES)} {}

SplitMoveSettings SplitPointOptions::Downward() const {
    SplitMoveSettings settings = switches;
    settings.direction = kSplitDownward;
    settings.maxSourceSpan = maxUpperSpan;
    settings.maxTargetSpan = maxLowerSpan;
    settings.minTargetNotes = minTargetNotes;
    settings.minLeap = leapDown;
    settings.lowestKey = 0;
    settings.highestKey = highestKey;
    return settings;
}

SplitMoveSettings SplitPointOptions::Upward() const {
    SplitMoveSettings settings = switches;
    settings.direction = kSplitUpward;
    settings.maxSourceSpan = maxLowerSpan;
    settings.maxTargetSpan = maxUpperSpan;
    settings.minTargetNotes = 0;
    settings.minLeap = leapUp;
    settings.lowestKey = lowestKey;
    return settings;
}

int32_t MoveSplitPointNote(TFMisc& context, const LayerArrays& source, const LayerArrays& target, NInfoItem& sourceItem,
                           NInfoItem& targetItem, const SplitMoveSettings& settings, SplitPointTies& ties) {
    SplitMove move;
    move.downward = settings.direction == kSplitDownward;
    SortSlotsByPitch(sourceItem, source);
    SortSlotsByPitch(targetItem, target);
    if (!FindMovingNote(source, sourceItem, settings.direction, settings.lowestKey, settings.highestKey, move) ||
        !FindTargetEntry(target, targetItem, move) ||
        !HasReasonToMove(target, sourceItem, targetItem, settings, ties, move) ||
        !MakeRoomInTarget(target, settings, move)) {
        return 0;
    }
    const EntryRecord copy = TargetWithNote(target, move);
    CompleteMove(context, target, ties, settings, move, copy);
    return 1;
}

}  // namespace orvex
