// "Vx &Process extracted parts...": a staff extracted from a multi-part staff still holds every
// part. The worker reduces one cell to one part: from every chord it keeps the part's note,
// turns the other parts' entries into rests or hidden entries, carries articulations over to
// the kept note, merges the layers down, joins rests and saves the cell.
#include "tools/layout/process_parts.h"
#include "platform/hostapi/entry_records.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "expressions/expression_records.h"
#include "platform/win/messages.h"
#include "tools/layout/align_move.h"
#include "tools/layout/explosion/explosion.h"
#include "tools/notes/entry_details.h"

namespace orvex {

namespace {

using hostapi::EntryView;
using hostapi::NoteView;

// Entry flag bits the worker reads and sets.
constexpr uint32_t kArticulations = hostapi::kEntryArticulations;
constexpr uint32_t kTuplets = hostapi::kEntryTuplet;
constexpr uint32_t kFlippedTie = hostapi::kEntryFlippedTie;
constexpr uint32_t kTieDetails = hostapi::kEntryTieDetails;
constexpr uint32_t kPlacementBits = 0x0000007E;
constexpr uint32_t kStemBits = 0x00000181;
constexpr uint32_t kStemUp = hostapi::kEntryStemUp;
// The second flag word (u16 at byte 12).
constexpr uint16_t kMoreExpressions = hostapi::kEntryMoreExpressions;
constexpr uint16_t kMoreProcessed = hostapi::kEntryMoreNotesChanged;
constexpr uint16_t kMoreSlurs = hostapi::kEntryMoreSmartShapes;
// Note flag bits.
constexpr uint32_t kNoteShownAccidental = hostapi::kNoteAccidentalShown;
constexpr uint32_t kNoteFrozenAccidental = hostapi::kNoteAccidentalFrozen;
constexpr uint32_t kNoteCautionary = hostapi::kNoteAccidentalParenthesised;

using hostapi::kTagNoteTieEnd;
using hostapi::kTagNoteTieStart;
constexpr int32_t kMaxRecords = 1000;
constexpr size_t kHorizontalOffset = 6;   ///< word 6 of the entry
constexpr size_t kArticulationValue = 4;  ///< the vertical offset word of an 'edED' record
constexpr uint8_t kOnFirstNote = 0x08;    ///< in the last byte of an 'edED' record
constexpr int32_t kMaxPasses = 16;        ///< a bound on the repeated tidy and merge passes

/// One articulation of an item, with the entry and note it came from.
struct Articulation {
    Record10 record;
    int32_t index = 0;
    hostapi::EntryRecord entry;
    hostapi::NoteRecord note;
};

/// The smart shapes of the cells the worker visits (the core's shared list).
struct ProcessPartsUnit {
    TSmartShapes shapes;
    std::vector<std::pair<hostapi::EntryNumber, hostapi::EntryNumber>> entryPairs;
};

TSmartShapes& Shapes() {
    return UnitState<ProcessPartsUnit>().shapes;
}

bool Loaded(const EntryArray* array) {
    return array != nullptr && array->entries != nullptr && array->count > 0;
}

bool Ignored(std::string_view ignored, int32_t layer) {
    return ignored.find(std::to_string(layer + 1)) != std::string_view::npos;
}

void SetMoreFlags(const EntryView& entry, uint16_t set, uint16_t clear) {
    entry.setMoreFlags(static_cast<uint16_t>((entry.moreFlags() | set) & ~clear));
}

/// The placement value of an entry for the dynamics: 12 per staff step, 24 less for a note
/// entry with its stem down shorter than a whole note.
int32_t PlacementValue(const RunEnvironment& environment, int32_t staff, int32_t measure, const EntryView& entry,
                       int16_t keyA, int16_t keyB) {
    int32_t value = EntryVerticalPosition(static_cast<InstrumentKey>(staff), static_cast<MeasureNumber>(measure),
                                          entry.data(), keyA, environment.DocumentOptionFlag() != 0, keyB, false);
    if (entry.isNote() && !entry.has(kStemUp) && entry.duration() <= 4095) {
        value -= 24;
    }
    return value;
}

/// The pitch word of a slot's note; nullopt when the slot's entry is not loaded.
std::optional<int32_t> SlotPitch(const LayerArrays& layers, const VoiceSlot& slot, bool* grace = nullptr) {
    const EntryArray* array = layers[slot.layer & 3u];
    if (!Loaded(array) || slot.entryIndex >= array->count) {
        return std::nullopt;
    }
    const EntryView entry = array->entry(slot.entryIndex);
    if (grace != nullptr) {
        *grace = entry.has(hostapi::kEntryGrace) && entry.isNote();
    }
    return entry.note(std::min<int32_t>(slot.noteIndex, hostapi::EntryLayout::kMaxNotes - 1)).harmonicLevel();
}

/// Whether item t holds a lone grace note, and its pitch word.
std::optional<int32_t> LoneGraceNote(const NInfo& info, int32_t t, const LayerArrays& layers) {
    const NInfoItem& item = info.items[static_cast<size_t>(t)];
    bool grace = false;
    const std::optional<int32_t> pitch = item.usedSlots == 1 ? SlotPitch(layers, item.slots[0], &grace) : std::nullopt;
    return grace ? pitch : std::nullopt;
}

/// Whether the part keeps the lone grace note of item t. A run of grace notes (a turn, the
/// after-graces at a measure's end) goes with one note: the note it leads into, or, with no note
/// after it in the measure, the note it follows; its notes in one voice stay together. The run
/// goes to the part of that note nearest in pitch to the run's grace note next to it (in the grace
/// note's own layer and voice where that voice goes on there; the upper one of two as near), so
/// that it never makes a single line a unison. Nullopt when item t holds no lone grace note or
/// the measure holds no note beside the run.
std::optional<bool> KeepsGraceNote(const NInfo& info, int32_t t, const LayerArrays& layers, const OptionArray& parts) {
    if (!LoneGraceNote(info, t, layers)) {
        return std::nullopt;
    }
    int32_t first = t;
    while (first > 0 && LoneGraceNote(info, first - 1, layers)) {
        --first;
    }
    int32_t last = t;
    while (last + 1 < info.itemCount && LoneGraceNote(info, last + 1, layers)) {
        ++last;
    }
    const bool leads = last + 1 < info.itemCount;
    if (!leads && first == 0) {
        return std::nullopt;
    }
    const VoiceSlot& own = info.items[static_cast<size_t>(t)].slots[0];
    const auto sameVoice = [&](const VoiceSlot& slot) {
        return slot.layer == own.layer && slot.secondVoice == own.secondVoice;
    };
    // The grace note of t's voice next to the note: the run's last before it, its first after it.
    int32_t beside = t;
    for (int32_t k = leads ? last : first; k >= first && k <= last; k += leads ? -1 : 1) {
        if (sameVoice(info.items[static_cast<size_t>(k)].slots[0])) {
            beside = k;
            break;
        }
    }
    const int32_t pitch = *LoneGraceNote(info, beside, layers);
    const NInfoItem& note = info.items[static_cast<size_t>(leads ? last + 1 : first - 1)];
    const int32_t m = std::min<int32_t>(note.usedSlots, kNInfoSlots);
    if (m <= 1) {
        return parts[PARTS_SINGLE_NOTES_UNISON].value != 0;  // the grace notes go with the single note
    }
    const int32_t mine = std::min(m <= 7 ? parts[ExtractRowOfChord(m)].value : m, m);
    const bool voiceGoesOn = std::any_of(note.slots.begin(), note.slots.begin() + m, sameVoice);
    int32_t nearest = 0;
    int32_t distance = INT32_MAX;
    for (int32_t k = 0; k < m; ++k) {
        const VoiceSlot& slot = note.slots[static_cast<size_t>(k)];
        const std::optional<int32_t> other = SlotPitch(layers, slot);
        if (other && (!voiceGoesOn || sameVoice(slot)) && std::abs(*other - pitch) < distance) {
            distance = std::abs(*other - pitch);
            nearest = k + 1;
        }
    }
    return mine == nearest;
}

/// The part each item keeps: a slot number from 1, 0 for none.
std::vector<int32_t> ChooseParts(const NInfo& info, const LayerArrays& layers, const OptionArray& parts,
                                 bool& mergeUnisons) {
    std::vector<int32_t> chosen(static_cast<size_t>(info.itemCount), 0);
    for (int32_t t = 0; t < info.itemCount; ++t) {
        const NInfoItem& item = info.items[static_cast<size_t>(t)];
        const int32_t n = std::min<int32_t>(item.usedSlots, kNInfoSlots);
        int32_t k = n == 1             ? (parts[PARTS_SINGLE_NOTES_UNISON].value != 0 ? 1 : 0)
                    : n >= 2 && n <= 7 ? parts[ExtractRowOfChord(n)].value
                                       : n;
        if (const std::optional<bool> keeps = KeepsGraceNote(info, t, layers, parts)) {
            k = *keeps ? 1 : 0;
        }
        if (k > 0) {
            k = std::min(k, n);
            const VoiceSlot& slot = item.slots[static_cast<size_t>(k - 1)];
            const EntryArray* array = layers[slot.layer & 3u];
            if (Loaded(array) && slot.entryIndex < array->count) {
                const EntryView entry = array->entry(slot.entryIndex);
                if (entry.has(kArticulations) || (entry.moreFlags() & kMoreExpressions) != 0) {
                    mergeUnisons = false;
                }
            }
        }
        chosen[static_cast<size_t>(t)] = std::max(k, 0);
    }
    // Follow the layer and voice of the next item where the chord allows it.
    for (bool changed = true; changed;) {
        changed = false;
        for (int32_t t = 0; t + 1 < info.itemCount; ++t) {
            const NInfoItem& item = info.items[static_cast<size_t>(t)];
            const NInfoItem& next = info.items[static_cast<size_t>(t + 1)];
            int32_t& k = chosen[static_cast<size_t>(t)];
            const int32_t following = chosen[static_cast<size_t>(t + 1)];
            int32_t room = info.slotCount - item.usedSlots;
            while (room != 0 && k > 1 && following >= 1) {
                const VoiceSlot& mine = item.slots[static_cast<size_t>(k - 1)];
                const VoiceSlot& theirs = next.slots[static_cast<size_t>(following - 1)];
                if (mine.layer == theirs.layer && mine.secondVoice == theirs.secondVoice) {
                    break;
                }
                --k;
                --room;
                changed = true;
            }
        }
    }
    return chosen;
}

/// The 'edED' records of the item's entries, with the note each belongs to.
std::vector<Articulation> CollectArticulations(const NInfoItem& item, const LayerArrays& layers) {
    std::vector<Articulation> found;
    for (int32_t k = 0; k < std::min<int32_t>(item.usedSlots, kNInfoSlots); ++k) {
        const VoiceSlot& slot = item.slots[static_cast<size_t>(k)];
        const EntryArray* array = layers[slot.layer & 3u];
        if (slot.noteIndex != 0 || !Loaded(array) || slot.entryIndex >= array->count) {
            continue;
        }
        const EntryView entry = array->entry(slot.entryIndex);
        if ((entry.moreFlags() & kMoreExpressions) == 0) {
            continue;
        }
        Record10 record;
        for (int32_t index = 0; index < kMaxRecords && LoadRecordEdED(entry.number(), index, record); ++index) {
            Articulation articulation;
            articulation.record = record;
            articulation.index = index;
            std::copy_n(entry.data(), hostapi::EntryLayout::kSize, articulation.entry.bytes.begin());
            const bool first = entry.notesHeld() == 0 ||
                               (record.bytes[hostapi::NoteExpressionLayout::kFlagsHighByte] & kOnFirstNote) != 0;
            const NoteView note = entry.note(first ? 0 : std::max(entry.notesHeld() - 1, 0));
            std::copy_n(note.data(), hostapi::NoteLayout::kSize, articulation.note.bytes.begin());
            found.push_back(articulation);
        }
    }
    return found;
}

/// Tidies the kept entry and note: accidentals, stems, displacements and ties.
void TidyKeptEntry(const EntryView& entry, const NoteView& note, NInfoItem& item, const ExtendedOptionArray& more) {
    if ((note.flags() & kNoteFrozenAccidental) != 0 && (note.flags() & kNoteShownAccidental) == 0) {
        note.setFlags((note.flags() & ~kNoteFrozenAccidental) | kNoteShownAccidental);
    }
    uint32_t flags = entry.flags() & ~kPlacementBits;
    if ((flags & hostapi::kEntryGrace) == 0) {
        flags &= ~kStemBits;
    }
    entry.setFlags(flags);
    SetMoreFlags(entry, kMoreProcessed, 0);
    note.setFlags(note.flags() & ~kNoteCautionary);
    if (more[MORE_PARTS_CLEAR_DISPLACEMENTS].value != 0 && !entry.has(hostapi::kEntryGrace)) {
        hostapi::WriteI16(entry.data(), kHorizontalOffset, 0);
    }
    if (more[MORE_PARTS_RESET_TIES].value != 0) {
        entry.setFlag(kFlippedTie, false);
        if (entry.has(kTieDetails)) {
            EntryRecordClearFlags(kTagNoteTieStart, entry.number(), note.noteId());
            EntryRecordClearFlags(kTagNoteTieEnd, entry.number(), note.noteId());
        }
    }
    if (!entry.isNote()) {
        if (item.restsOnly == 0) {
            item.mark = 1;
        }
        return;
    }
    Record10 accidental;
    int32_t inci = 0;
    if (FindRecordByValue(entry.number(), entry.note(0).noteId(), accidental, inci, kTagNoteAccidental)) {
        accidental.setWord(kNoteAccidentalShiftWord, 0);
        SaveRecordByValue(entry.number(), accidental, inci, kTagNoteAccidental);
    }
}

/// Step 8 for one item; answers whether the cell changed.
bool ReduceItem(NInfoItem& item, int32_t part, const LayerArrays& layers, const OptionArray& parts,
                const ExtendedOptionArray& more, bool mergeUnisons, int32_t staff, int32_t measure) {
    const std::vector<Articulation> articulations = CollectArticulations(item, layers);
    item.mark = 0;
    bool changed = false;
    uint8_t* keptEntry = nullptr;
    uint8_t* keptNote = nullptr;
    const int32_t used = std::min<int32_t>(item.usedSlots, kNInfoSlots);
    if (used == 1) {
        const VoiceSlot& slot = item.slots[0];
        const EntryArray* array = layers[slot.layer & 3u];
        if (!Loaded(array) || slot.entryIndex >= array->count) {
            return false;
        }
        const EntryView entry = array->entry(slot.entryIndex);
        if (part == 0) {
            entry.setNoteCount(0);
            entry.setFlag(hostapi::kEntryNote, false);
            entry.note(0).setHarmonicLevel(0);
            changed = true;
            if (entry.has(hostapi::kEntryGrace)) {
                entry.setFlag(hostapi::kEntryHidden, true);  // another part's grace note leaves nothing to see
                return true;
            }
        }
        keptEntry = entry.data();
        keptNote = entry.note(0).data();
    } else if (used > 1) {
        keptNote = IsolatePartInItem(layers, item, part, parts, &keptEntry, mergeUnisons);
        changed = true;
        if (keptNote != nullptr && keptEntry != nullptr) {
            const EntryView entry(keptEntry);
            if (more[MORE_PARTS_UNFREEZE_SLURS].value != 0 && (entry.moreFlags() & kMoreSlurs) != 0) {
                Shapes().RetypeEntrySlurs(staff, measure, entry.number());
            }
            if (more[MORE_PARTS_UNHIDE_TUPLETS].value != 0 && entry.has(kTuplets)) {
                MarkMatchingEntries(entry.number());
            }
        }
    }
    if (keptEntry == nullptr || keptNote == nullptr) {
        return changed;
    }
    const EntryView entry(keptEntry);
    const NoteView note(keptNote);
    TidyKeptEntry(entry, note, item, more);
    for (const Articulation& articulation : articulations) {
        if (articulation.entry.view().position() != entry.position()) {
            continue;
        }
        Record10 record = articulation.record;
        const int32_t steps = note.harmonicLevel() - articulation.note.view().harmonicLevel();
        hostapi::WriteI16(record.data(), kArticulationValue,
                          static_cast<int16_t>(hostapi::ReadI16(record.data(), kArticulationValue) - 12 * steps));
        SetMoreFlags(entry, kMoreExpressions, 0);
        SaveRecordEdED(entry.number(), articulation.index, record);
    }
    return changed;
}

int32_t MarkAtOrAfter(const NInfo& info, Edu position) {
    for (int32_t c = 0; c < info.itemCount; ++c) {
        if (info.items[static_cast<size_t>(c)].position >= position) {
            return info.items[static_cast<size_t>(c)].mark;
        }
    }
    return 0;
}

/// Saves a layer under its new number, closing the gaps of each voice.
void SaveLayer(const RunEnvironment& environment, EntryArray* array, DynamicsRow* dynamics, bool& firstRest,
               bool& lastRest, int32_t staff, int32_t measure, int16_t keyA, int16_t keyB) {
    if (dynamics != nullptr && array->count > 0) {
        const EntryView first = array->entry(0);
        const EntryView last = array->entry(array->count - 1);
        if (first.isNote() || first.actualDuration() < 2048) {
            firstRest = false;
        }
        if (last.isNote() || last.actualDuration() < 2048) {
            lastRest = false;
        }
        for (int32_t i = 0; i < array->count; ++i) {
            const EntryView entry = array->entry(i);
            if (entry.isNote() || entry.has(hostapi::kEntryFloatingRest)) {
                dynamics->high =
                    std::min(dynamics->high, PlacementValue(environment, staff, measure, entry, keyA, keyB));
            }
        }
    }
    std::array<Edu, 2> ends{};
    for (int32_t i = 0; i < array->count; ++i) {
        const EntryView entry = array->entry(i);
        const size_t voice = entry.has(hostapi::kEntryVoice2) ? 1 : 0;
        if (entry.position() > ends[voice]) {
            entry.setPosition(ends[voice]);
        }
        ends[voice] = entry.position() + entry.actualDuration();
        if (entry.has(hostapi::kEntryVoice2Start)) {
            ends[1] = entry.position();
        }
    }
    SaveEntryArray(array);
    if (array->count > 1) {
        ExplosionEntryPairs().emplace_back(array->entry(array->count - 2).number(),
                                           array->entry(array->count - 1).number());
    }
}

}  // namespace

void MarkMatchingEntries(EntryNumber entry) {
    Record30 record;
    for (int32_t k = 0; k < kMaxRecords && LoadRecordEtp(entry, k, record); ++k) {
        using L = hostapi::TupletLayout;
        const uint16_t flags = hostapi::ReadU16(record.data(), L::kFlags);
        if (hostapi::ReadI16(record.data(), L::kNoteUnit) == hostapi::ReadI16(record.data(), L::kReferenceUnit) &&
            (flags & 0x000F) == 0 && (flags & 0x3000) == 0) {
            hostapi::WriteU16(record.data(), L::kFlags, static_cast<uint16_t>(flags | 0xA001));
            SaveRecordEtp(entry, k, record);
        }
    }
}

bool JoinAdjacentRests(EntryArray* array, int32_t i, const EDTMeasureSpec& measureRecord, int32_t firstMark,
                       int32_t secondMark) {
    if (array == nullptr || i < 0 || i + 1 >= array->count) {
        return false;
    }
    const EntryView a = array->entry(i);
    const EntryView b = array->entry(i + 1);
    if (a.isNote() || b.isNote() || a.has(hostapi::kEntryVoice2) != b.has(hostapi::kEntryVoice2)) {
        return false;
    }
    const int32_t total = a.duration() + b.duration();
    if (total <= 0) {
        return false;
    }
    int32_t unit = 1;
    while (unit * 2 <= total && unit * 2 <= 2048) {
        unit *= 2;
    }
    while (total % unit != 0) {
        unit /= 2;
    }
    const int32_t count = total / unit;
    if (count == 5 || count > 8) {
        return false;
    }
    const auto ratio = [](const EntryView& e) {
        return e.duration() == 0 ? 1 : static_cast<int64_t>(e.actualDuration()) * 10000 / e.duration();
    };
    if (ratio(a) != ratio(b)) {
        return false;
    }
    // A measure without a beat length has no beats to keep apart.
    const int32_t beat = measureRecord.beatDuration();
    if (beat <= 0 || (a.position() / beat != b.position() / beat && total % beat != 0)) {
        return false;
    }
    if (secondMark == 0) {
        b.setPosition(a.position());
        b.setDuration(static_cast<int16_t>(total));
        b.setActualDuration(b.actualDuration() + a.actualDuration());
        DeleteEntryDetailRecords(a.number());
        FrameEntriesRemove(array, i, 1);
    } else {
        a.setDuration(static_cast<int16_t>(total));
        a.setActualDuration(a.actualDuration() + b.actualDuration());
        if (firstMark != 0) {
            a.setFlags(a.flags() & ~0x00300000u);
            SetMoreFlags(a, 0, kMoreExpressions);
        }
        DeleteEntryDetailRecords(b.number());
        FrameEntriesRemove(array, i + 1, 1);
    }
    return true;
}

void MergeCellHelper(int32_t measure, EntryArray* array, const NInfo& info) {
    EDTMeasureSpec measureRecord;
    if (array == nullptr || !LoadMeasureSpec(measure, measureRecord) ||
        (hostapi::ReadU16(measureRecord.data(), EDTMeasureSpec::kFlags) & 0x00C0) != 0) {
        return;
    }
    // Every join takes an entry out, so the passes end.
    for (bool joined = true; joined;) {
        joined = false;
        int32_t c = 0;
        for (int32_t i = 0; i < array->count && !joined; ++i) {
            const int32_t before = c < info.itemCount ? info.items[static_cast<size_t>(c)].mark : 0;
            const Edu position = array->entry(i).position();
            while (c < info.itemCount && info.items[static_cast<size_t>(c)].position < position) {
                ++c;
            }
            if (c >= info.itemCount || info.items[static_cast<size_t>(c)].position != position ||
                info.items[static_cast<size_t>(c)].mark == 0) {
                continue;
            }
            const int32_t mark = info.items[static_cast<size_t>(c)].mark;
            if (i > 0 && !array->entry(i).has(kTuplets)) {
                joined = JoinAdjacentRests(array, i - 1, measureRecord, before, mark);
            }
            if (!joined && i + 1 < array->count && !array->entry(i + 1).has(kTuplets)) {
                joined = JoinAdjacentRests(array, i, measureRecord, mark,
                                           MarkAtOrAfter(info, array->entry(i + 1).position()));
            }
        }
    }
}

namespace {

/// Reduces every item of the table to the parts chosen for it; whether any changed.
bool ReduceToChosenParts(NInfo& info, LayerArrays& layers, const OptionArray& parts, const ExtendedOptionArray& more,
                         int32_t staffValue, int32_t measure) {
    bool mergeUnisons = true;
    const std::vector<int32_t> chosen = ChooseParts(info, layers, parts, mergeUnisons);
    bool changed = false;
    for (int32_t t = 0; t < info.itemCount; ++t) {
        NInfoItem& item = info.items[static_cast<size_t>(t)];
        if (item.usedSlots == 0 || !Loaded(layers[item.slots[0].layer & 3u])) {
            continue;
        }
        changed =
            ReduceItem(item, chosen[static_cast<size_t>(t)], layers, parts, more, mergeUnisons, staffValue, measure) ||
            changed;
    }
    return changed;
}

/// Cleans the layers and moves runs down into a lower layer until nothing moves (at most
/// kMaxPasses times).
void SettleLayers(LayerArrays& layers, hostapi::Edu from, hostapi::Edu to, const std::string& ignored) {
    for (int32_t pass = 0; pass < kMaxPasses; ++pass) {
        FrameLayersClean(layers, from, to, false, ignored);
        bool moved = false;
        for (int32_t layer = 1; layer <= 3; ++layer) {
            EntryArray* lower = layers[static_cast<size_t>(layer - 1)];
            EntryArray* upper = layers[static_cast<size_t>(layer)];
            if (!Ignored(ignored, layer - 1) && lower != nullptr && upper != nullptr && FrameRunReplace(lower, upper)) {
                moved = true;
            }
        }
        if (!moved) {
            break;
        }
    }
}

/// The grace notes of other parts leave the cell: those the reduction made hidden rests, and
/// those that lead into a note of their voice that went to another part (now a hidden rest).
void RemoveOtherPartsGraceNotes(LayerArrays& layers) {
    for (EntryArray* array : layers) {
        for (int32_t i = Loaded(array) ? array->count - 1 : -1; i >= 0; --i) {
            const EntryView entry = array->entry(i);
            if (!entry.has(hostapi::kEntryGrace)) {
                continue;
            }
            bool othersNote = entry.has(hostapi::kEntryHidden) && !entry.isNote();
            for (int32_t k = i + 1; !othersNote && k < array->count; ++k) {
                const EntryView next = array->entry(k);
                if (next.has(hostapi::kEntryVoice2) == entry.has(hostapi::kEntryVoice2) &&
                    !next.has(hostapi::kEntryGrace)) {
                    othersNote = next.has(hostapi::kEntryHidden) && !next.isNote();
                    break;
                }
            }
            if (othersNote) {
                FrameEntriesRemove(array, i, 1);
            }
        }
    }
}

/// When a single layer holds entries, its hidden entries show again, without their
/// articulations, expressions and slurs.
void UnhideSoleLayer(LayerArrays& layers) {
    int32_t holding = 0;
    for (const EntryArray* array : layers) {
        holding += Loaded(array) ? 1 : 0;
    }
    if (holding != 1) {
        return;
    }
    for (EntryArray* array : layers) {
        for (int32_t i = 0; Loaded(array) && i < array->count; ++i) {
            const EntryView entry = array->entry(i);
            if (!entry.has(hostapi::kEntryHidden)) {
                continue;
            }
            entry.setFlags(entry.flags() & ~(hostapi::kEntryHidden | kArticulations));
            SetMoreFlags(entry, 0, kMoreExpressions);
            if ((entry.moreFlags() & kMoreSlurs) != 0) {
                SetMoreFlags(entry, 0, kMoreSlurs);
                Shapes().DeleteAll(entry.number());
            }
        }
    }
}

/// The first layer that holds entries takes the lowest number of the loaded layers, the others
/// follow in order: the loaded layers turn round among their own numbers, so that no two share
/// a number (a later save would replace the earlier one's notes) and an ignored layer keeps its
/// own number and music. Answers whether no loaded layer holds entries.
bool RenumberLoadedLayers(LayerArrays& layers) {
    std::vector<int32_t> loadedNumbers;
    for (int32_t layer = 0; layer < 4; ++layer) {
        if (layers[static_cast<size_t>(layer)] != nullptr) {
            loadedNumbers.push_back(layer);
        }
    }
    size_t shift = 0;
    while (shift < loadedNumbers.size() && !Loaded(layers[static_cast<size_t>(loadedNumbers[shift])])) {
        ++shift;
    }
    const bool empty = shift == loadedNumbers.size();
    if (empty) {
        shift = 0;
    }
    for (size_t i = 0; i < loadedNumbers.size(); ++i) {
        const int32_t target = loadedNumbers[(i + shift) % loadedNumbers.size()];
        layers[static_cast<size_t>(target)]->layer = static_cast<LayerIndex>(loadedNumbers[i]);
    }
    return empty;
}

/// The numbers of the entries the layers hold (0, a blank entry not numbered yet, left out).
std::vector<EntryNumber> EntryNumbers(const LayerArrays& layers) {
    std::vector<EntryNumber> numbers;
    for (const EntryArray* array : layers) {
        for (int32_t i = 0; Loaded(array) && i < array->count; ++i) {
            if (const EntryNumber number = array->entry(i).number(); number != 0) {
                numbers.push_back(number);
            }
        }
    }
    return numbers;
}

/// The entries the worker took out of the cell take along what is attached to them: the shapes
/// that start or end at them and their detail records (tuplets, links, articulations), so that
/// no record names an entry that is gone.
void DropRecordsOfRemovedEntries(const std::vector<EntryNumber>& loaded, const LayerArrays& layers) {
    const std::vector<EntryNumber> kept = EntryNumbers(layers);
    for (const EntryNumber number : loaded) {
        if (std::find(kept.begin(), kept.end(), number) == kept.end()) {
            Shapes().DeleteAttachedTo(number);
            DeleteEntryDetailRecords(number);
        }
    }
}

}  // namespace

int32_t ProcessExtractedParts(const RunEnvironment& environment, int16_t cellKey, int32_t measure, int32_t staff,
                              hostapi::Edu from, hostapi::Edu to, const OptionArray& parts,
                              const ExtendedOptionArray& more, bool refreshShapes, DynamicsRow* dynamics,
                              int32_t staffValue) {
    const std::string ignored = parts[PARTS_IGNORE_LAYERS].text;
    LayerArrays layers{};
    ScopedCellLayers lent(layers);
    if (lent.Load(cellKey, static_cast<MeasureNumber>(measure), static_cast<StaffSlot>(staff), ignored) == 0) {
        if (dynamics != nullptr) {
            dynamics->marks.push_back(7);
        }
        return 0;
    }
    if (staffValue == 0) {
        staffValue = StaffOfSlot(static_cast<StaffSlot>(staff), cellKey);
    }
    if (refreshShapes) {
        Shapes().Refresh(measure, measure);
    }
    auto info = std::make_unique<NInfo>();
    const LayerPositions positions = EntryPositions(layers);
    const std::vector<EntryNumber> loaded = EntryNumbers(layers);
    if (!FillNInfo(*info, measure, staffValue, from, to, layers, ignored, more[MORE_PARTS_VOICE_ORDER].value != 0,
                   more[MORE_PARTS_LAYER_ORDER].value != 0, more[MORE_PARTS_MID_MEASURE_CHANGES].value != 0,
                   more[MORE_PARTS_IGNORE_HIDDEN].value != 0)) {
        return 0;
    }
    const int16_t keyA = dynamics != nullptr ? CellKeyValue(measure, staffValue, 0) : 0;
    const int16_t keyB = dynamics != nullptr ? CellKeyValue(measure, staffValue, environment.DocumentOptionFlag()) : 0;
    if (dynamics != nullptr) {
        for (const EntryArray* array : layers) {
            for (int32_t i = 0; Loaded(array) && i < array->count; ++i) {
                const EntryView entry = array->entry(i);
                if (entry.notesHeld() > 0 || entry.has(hostapi::kEntryFloatingRest)) {
                    dynamics->low =
                        std::min(dynamics->low, PlacementValue(environment, staffValue, measure, entry, keyA, keyB));
                }
            }
        }
    }
    const bool reduced = ReduceToChosenParts(*info, layers, parts, more, staffValue, measure);
    // The cell is saved with its music's positions, not those the table was read with; the other
    // parts' grace notes leave before the layers settle, so that a layer left with the other
    // parts' hidden rests only is emptied.
    RestoreEntryPositions(layers, positions);
    RemoveOtherPartsGraceNotes(layers);
    if (reduced) {
        SettleLayers(layers, from, to, ignored);
    }
    for (int32_t layer = 0; layer < 4; ++layer) {
        EntryArray* array = layers[static_cast<size_t>(layer)];
        if (array == nullptr || Ignored(ignored, layer)) {
            continue;
        }
        if (more[MORE_PARTS_OPTIMIZE_RESTS].value != 0) {
            MergeCellHelper(measure, array, *info);
        }
        if (more[MORE_PARTS_CLEAR_EMPTY].value != 0) {
            bool anyNote = false;
            for (int32_t i = 0; i < array->count; ++i) {
                anyNote = anyNote || array->entry(i).isNote();
            }
            if (!anyNote) {
                array->count = 0;
            }
        }
    }
    UnhideSoleLayer(layers);
    const bool empty = RenumberLoadedLayers(layers);
    DropRecordsOfRemovedEntries(loaded, layers);
    bool firstRest = true;
    bool lastRest = true;
    for (EntryArray* array : layers) {
        if (array != nullptr) {
            SaveLayer(environment, array, dynamics, firstRest, lastRest, staffValue, measure, keyA, keyB);
        }
    }
    lent.Release();
    if (dynamics != nullptr) {
        dynamics->marks.push_back((empty ? 1 : 0) + 2 * (firstRest ? 1 : 0) + 4 * (lastRest ? 1 : 0));
    }
    if (empty) {
        Shapes().ParkStaff(staffValue, measure);
        // The emptied measure loses the expressions of its staff, over the cell's region.
        hostapi::SelectionRecord cellRegion;
        cellRegion.setViewKey(cellKey);
        cellRegion.setFirstStaff(static_cast<hostapi::StaffSlot>(staff));
        cellRegion.setLastStaff(static_cast<hostapi::StaffSlot>(staff));
        cellRegion.setFirstMeasure(static_cast<hostapi::MeasureNumber>(measure));
        cellRegion.setLastMeasure(static_cast<hostapi::MeasureNumber>(measure));
        cellRegion.setStartEdu(from);
        cellRegion.setEndEdu(to);
        ClearStaffExpressions(environment, measure, measure, cellRegion, staffValue, false);
    }
    return 1;
}

bool ProcessExtractedParts(int16_t regionWord, int16_t measure, int16_t staff, int32_t from, int32_t to,
                           TFMisc& context, ExtendedOptionArray& moreOptions, int32_t refreshShapes, int32_t, int32_t,
                           int32_t) {
    ProcessExtractedParts(context.Environment, regionWord, measure, staff, from, to, context.Options, moreOptions,
                          refreshShapes != 0, nullptr, 0);
    return true;
}

std::vector<std::pair<hostapi::EntryNumber, hostapi::EntryNumber>>& ExplosionEntryPairs() {
    return UnitState<ProcessPartsUnit>().entryPairs;
}

}  // namespace orvex
