#include "tools/layout/explosion/ninfo.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/free_texts.h"
#include "core/messages.h"
#include "core/startup.h"
#include "tools/layout/process_parts.h"

namespace orvex {

namespace {

using hostapi::EntryView;
using hostapi::NoteView;

/// An entry that may share its position with the next one and is moved behind it.
constexpr uint32_t kSharedPosition = hostapi::kEntryGrace;
/// Compared between parts to tell the upper from the lower one.
constexpr uint32_t kUpperBit = 0x00000001;
constexpr uint32_t kUnisonNote = 0x01000000;

bool HasEntries(const EntryArray* array) {
    return array != nullptr && array->entries != nullptr && array->count > 0;
}

int32_t VoiceOf(const EntryView& entry) {
    return entry.has(hostapi::kEntryVoice2) ? 1 : 0;
}

bool SameSlotEntry(const VoiceSlot& a, const VoiceSlot& b) {
    return a.layer == b.layer && a.entryIndex == b.entryIndex;
}

/// The entry a slot refers to; false when its layer is not loaded or the index lies outside it.
bool SlotEntry(const LayerArrays& layers, const VoiceSlot& slot, EntryView* entry) {
    const EntryArray* array = slot.layer < 4 ? layers[slot.layer] : nullptr;
    if (!HasEntries(array) || slot.entryIndex < 0 || slot.entryIndex >= array->count) {
        return false;
    }
    *entry = array->entry(slot.entryIndex);
    return true;
}

/// The note of a slot, bounded to the notes the entry holds.
NoteView SlotNote(const EntryView& entry, const VoiceSlot& slot) {
    return entry.note(std::min<int32_t>(slot.noteIndex, hostapi::EntryLayout::kMaxNotes - 1));
}

void ShowMeasureError(int32_t measure) {
    ShowMessage(FreeText::ErrorProcessingMeasureNDistribute, {std::to_string(measure)});
}

/// Moves entries that share an earlier entry's position behind it (in memory only).
void RepairPositions(const EntryArray& array, int32_t j) {
    if (j <= 0) {
        return;
    }
    const EntryView current = array.entry(j);
    int32_t k = j - 1;
    while (k > 0 && VoiceOf(array.entry(k)) != VoiceOf(current)) {
        --k;
    }
    const EntryView earlier = array.entry(k);
    if (current.position() > earlier.position() || !earlier.has(kSharedPosition) ||
        VoiceOf(earlier) != VoiceOf(current)) {
        return;
    }
    const Edu limit = earlier.position();
    for (int32_t m = j; m < array.count; ++m) {
        const EntryView later = array.entry(m);
        if (later.position() <= limit && (VoiceOf(later) == VoiceOf(current) || !later.has(kSharedPosition))) {
            later.setPosition(limit + 1);
        }
    }
}

/// Where entry j sounds to: its end, or where the next entry of its voice starts when that is
/// earlier. The position repair moves a note behind the grace notes before it without shortening
/// it; so it never overlaps the next note (a turn of four grace notes stays one part).
Edu SoundingEnd(const EntryArray& array, int32_t j) {
    const EntryView entry = array.entry(j);
    const Edu end = entry.position() + entry.actualDuration();
    for (int32_t k = j + 1; k < array.count; ++k) {
        const EntryView next = array.entry(k);
        if (VoiceOf(next) == VoiceOf(entry) && next.position() > entry.position()) {
            return std::min(end, next.position());
        }
    }
    return end;
}

/// Whether entry j of layer `layer` belongs to item `item` at position p in this pass.
bool TakesEntry(const LayerArrays& layers, const NInfoItem& item, const EntryArray& array, int32_t j, Edu p,
                int32_t voice, bool skipHidden) {
    // Only an item that holds slots has a first entry to compare with; an empty first layer
    // does not keep the other layers out.
    const EntryView entry = array.entry(j);
    const VoiceSlot& first = item.slots[0];
    const bool starts = entry.position() == p;
    const bool covers = !entry.has(kSharedPosition) && entry.position() <= p + 3 && p + 3 < SoundingEnd(array, j);
    if (!starts && !covers) {
        return false;
    }
    if (item.usedSlots > 0) {
        EntryView firstEntry(nullptr);
        if (!SlotEntry(layers, first, &firstEntry) || firstEntry.has(kSharedPosition) != entry.has(kSharedPosition)) {
            return false;
        }
    }
    if (skipHidden && entry.has(hostapi::kEntryHidden)) {
        return false;
    }
    return VoiceOf(entry) == voice;
}

/// The pass of one layer and voice over the items; false after the error message.
bool FillPass(NInfo& info, int32_t measure, Edu from, Edu to, const LayerArrays& layers, int32_t layer, int32_t voice,
              bool firstPass, bool skipHidden) {
    const int32_t firstColumn = info.slotCount;
    SlotRun run;
    run.layer = layer;
    run.voice = voice;
    run.firstSlot = firstColumn;
    int32_t widthTracker = 0;
    int32_t noteCounter = 0;
    const EntryArray* array = layers[static_cast<size_t>(layer)];

    Edu p = from;
    int32_t i = 0;
    while (p < to) {
        // One item must stay free for the end mark.
        if (i >= kNInfoItems - 1) {
            ShowMeasureError(measure);
            return false;
        }
        NInfoItem& item = info.items[static_cast<size_t>(i)];
        if (firstPass) {
            item.usedSlots = 0;
            item.noteEntries = 0;
            item.position = p;
            item.restsOnly = 1;
        } else if (item.usedSlots == kNInfoEndMark) {
            ShowMeasureError(measure);
            return false;
        }
        if (HasEntries(array)) {
            for (int32_t j = 0; j < array->count; ++j) {
                RepairPositions(*array, j);
                const EntryView entry = array->entry(j);
                if (!TakesEntry(layers, item, *array, j, p, voice, skipHidden)) {
                    continue;
                }
                if (item.usedSlots > 0) {
                    while (item.usedSlots < firstColumn && item.usedSlots < kNInfoSlots) {
                        const VoiceSlot copy = item.slots[item.usedSlots - 1u];
                        item.slots[item.usedSlots] = copy;
                        ++item.usedSlots;
                        ++info.layerSlotCounts[copy.layer & 3u];
                    }
                }
                for (int32_t n = std::max(entry.notesHeld(), 1) - 1; n >= 0 && item.usedSlots < kNInfoSlots; --n) {
                    const int32_t column = item.usedSlots;
                    VoiceSlot& slot = item.slots[static_cast<size_t>(column)];
                    slot = VoiceSlot{};
                    slot.entryIndex = j;
                    slot.secondVoice = static_cast<uint8_t>(voice);
                    slot.layer = static_cast<uint8_t>(layer);
                    slot.noteIndex = static_cast<uint8_t>(n);
                    ++item.usedSlots;
                    ++info.layerSlotCounts[static_cast<size_t>(layer)];
                    run.lastItem = std::max(run.lastItem, i);
                    run.lastSlot = std::max(run.lastSlot, column);
                    if (entry.isNote()) {
                        item.restsOnly = 0;
                        ++noteCounter;
                        ++item.noteEntries;
                        if (!entry.has(kUpperBit)) {
                            run.allFlagged = 0;
                        }
                    }
                }
                widthTracker = std::max(widthTracker, item.usedSlots - firstColumn);
            }
        }
        info.slotCount = std::max<int32_t>(info.slotCount, item.usedSlots);
        bool boundary = false;
        p = NextLayerEventPosition(layers, p, boundary);
        if (p >= to || boundary) {
            if (widthTracker != 0) {
                run.noteEntries = noteCounter;
                run.width = run.lastSlot - run.firstSlot + 1;
                info.runs.push_back(run);
            }
            // The next run keeps the last slot reached so far in this pass.
            run.firstItem = i + 1;
            run.lastItem = 0;
            run.allFlagged = 1;
            widthTracker = 0;
            noteCounter = 0;
        }
        ++i;
    }
    info.items[static_cast<size_t>(i)].usedSlots = kNInfoEndMark;
    info.itemCount = i;
    return true;
}

/// Moves run b's columns in front of run a's in the items both cover.
void SwapRunColumns(NInfo& info, const SlotRun& a, const SlotRun& b) {
    for (int32_t t = a.firstItem; t <= b.lastItem && t < info.itemCount; ++t) {
        NInfoItem& item = info.items[static_cast<size_t>(t)];
        const std::array<VoiceSlot, kNInfoSlots> copy = item.slots;
        const int32_t used = item.usedSlots;
        if (used == 0) {
            continue;  // nothing to move
        }
        int32_t to = a.firstSlot;
        const auto put = [&](int32_t from) {
            if (to >= kNInfoSlots) {
                return;
            }
            if (from >= used || from >= kNInfoSlots) {
                item.slots[static_cast<size_t>(to)] = copy[static_cast<size_t>(used - 1)];
                if (item.usedSlots < kNInfoSlots) {
                    ++item.usedSlots;
                }
            } else {
                item.slots[static_cast<size_t>(to)] = copy[static_cast<size_t>(from)];
            }
            ++to;
        };
        for (int32_t c = 0; c < b.width; ++c) {
            put(b.firstSlot + c);
        }
        for (int32_t c = a.lastSlot + 1; c < b.firstSlot; ++c) {
            put(c);
        }
        for (int32_t c = 0; c < a.width; ++c) {
            put(a.firstSlot + c);
        }
    }
}

void SwapParts(NInfo& info, const LayerArrays& layers, bool keepVoicesApart, bool keepLayersApart) {
    for (size_t a = 0; a < info.runs.size(); ++a) {
        for (size_t b = a + 1; b < info.runs.size(); ++b) {
            const SlotRun& ra = info.runs[a];
            const SlotRun& rb = info.runs[b];
            if (ra.firstItem != rb.firstItem || rb.lastItem > ra.lastItem) {
                continue;
            }
            if ((ra.layer != rb.layer && keepLayersApart) || (ra.voice != rb.voice && keepVoicesApart)) {
                continue;
            }
            if (!ShouldSwapRuns(ra, rb, info, layers)) {
                continue;
            }
            SwapRunColumns(info, ra, rb);
            std::swap(info.runs[a], info.runs[b]);
        }
    }
}

void MergeDuplicateColumns(NInfo& info) {
    const auto same = [](const VoiceSlot& x, const VoiceSlot& y) {
        return x.layer == y.layer && x.entryIndex == y.entryIndex && x.noteIndex == y.noteIndex;
    };
    int32_t c = 1;
    while (c + 1 < info.slotCount) {
        bool duplicate = true;
        bool any = false;
        for (int32_t t = 0; t < info.itemCount && duplicate; ++t) {
            const NInfoItem& item = info.items[static_cast<size_t>(t)];
            if (item.usedSlots != info.slotCount) {
                continue;
            }
            any = true;
            const VoiceSlot& slot = item.slots[static_cast<size_t>(c)];
            duplicate = same(slot, item.slots[static_cast<size_t>(c - 1)]) ||
                        same(slot, item.slots[static_cast<size_t>(c + 1)]);
        }
        // A column that no full item holds is no duplicate of anything.
        if (!duplicate || !any) {
            ++c;
            continue;
        }
        for (int32_t t = 0; t < info.itemCount; ++t) {
            NInfoItem& item = info.items[static_cast<size_t>(t)];
            if (item.usedSlots != info.slotCount) {
                continue;
            }
            for (int32_t k = c + 1; k < item.usedSlots; ++k) {
                const VoiceSlot moved = item.slots[static_cast<size_t>(k)];
                item.slots[static_cast<size_t>(k - 1)] = moved;
                --info.layerSlotCounts[moved.layer & 3u];
            }
            --item.usedSlots;
        }
        --info.slotCount;
    }
}

/// Each entry of the layers, with its layer's array.
template <typename Visit>
void ForEachEntry(const LayerArrays& layers, Visit visit) {
    for (const EntryArray* array : layers) {
        if (!HasEntries(array)) {
            continue;
        }
        for (int32_t j = 0; j < array->count; ++j) {
            visit(*array, j, array->entry(j));
        }
    }
}

}  // namespace

bool FillNInfo(NInfo& info, int32_t measure, int32_t /*staff*/, Edu from, Edu to, const LayerArrays& layers,
               std::string_view ignoredLayers, bool keepVoicesApart, bool keepLayersApart, bool mergeDuplicateColumns,
               bool skipHidden) {
    info.itemCount = 0;
    info.slotCount = 0;
    info.layerSlotCounts = {};
    info.items.fill(NInfoItem{});
    info.runs.clear();

    // The position repair runs over every layer before the passes, so that each pass finds the
    // same event positions whichever layer holds the grace notes.
    for (const EntryArray* array : layers) {
        for (int32_t j = 0; HasEntries(array) && j < array->count; ++j) {
            RepairPositions(*array, j);
        }
    }
    bool firstPass = true;
    for (int32_t layer = 0; layer < 4; ++layer) {
        if (ignoredLayers.find(std::to_string(layer + 1)) != std::string_view::npos) {
            continue;
        }
        for (int32_t voice = 0; voice < 2; ++voice) {
            if (!FillPass(info, measure, from, to, layers, layer, voice, firstPass, skipHidden)) {
                return false;
            }
            firstPass = false;
        }
    }
    if (!(keepLayersApart && keepVoicesApart)) {
        SwapParts(info, layers, keepVoicesApart, keepLayersApart);
    }
    if (mergeDuplicateColumns) {
        MergeDuplicateColumns(info);
    }
    return true;
}

LayerPositions EntryPositions(const LayerArrays& layers) {
    LayerPositions positions;
    for (size_t layer = 0; layer < layers.size(); ++layer) {
        const EntryArray* array = layers[layer];
        for (int32_t j = 0; HasEntries(array) && j < array->count; ++j) {
            positions[layer].push_back(array->entry(j).position());
        }
    }
    return positions;
}

void RestoreEntryPositions(const LayerArrays& layers, const LayerPositions& positions) {
    for (size_t layer = 0; layer < layers.size(); ++layer) {
        const EntryArray* array = layers[layer];
        const std::vector<Edu>& taken = positions[layer];
        if (!HasEntries(array) || static_cast<size_t>(array->count) != taken.size()) {
            continue;
        }
        for (int32_t j = 0; j < array->count; ++j) {
            array->entry(j).setPosition(taken[static_cast<size_t>(j)]);
        }
    }
}

Edu NextLayerEventPosition(const LayerArrays& layers, Edu position, bool& boundary) {
    Edu next = kNoPosition;
    ForEachEntry(layers, [&](const EntryArray&, int32_t, const EntryView& entry) {
        if (entry.position() > position) {
            next = std::min(next, entry.position());
        }
    });
    boundary = false;
    if (next == kNoPosition) {
        return next;
    }
    ForEachEntry(layers, [&](const EntryArray& array, int32_t j, const EntryView& entry) {
        if (entry.position() != next || !entry.has(hostapi::kEntryVoice2)) {
            return;
        }
        if (j == 0) {
            boundary = true;  // nothing before it carries the second-voice flag
            return;
        }
        const EntryView before = array.entry(j - 1);
        if (!before.has(hostapi::kEntryVoice2) || before.has(kUpperBit) != entry.has(kUpperBit)) {
            boundary = true;
        }
    });
    return next;
}

Edu NextEventPosition(std::span<const LayerArrays> staves, Edu position) {
    Edu next = kNoPosition;
    for (const LayerArrays& layers : staves) {
        ForEachEntry(layers, [&](const EntryArray&, int32_t, const EntryView& entry) {
            if (entry.position() > position) {
                next = std::min(next, entry.position());
            }
        });
    }
    return next;
}

Edu PreviousEventPosition(const LayerArrays& layers, Edu position) {
    return EventPositionQuery3(std::span<const LayerArrays>(&layers, 1), position);
}

Edu EventPositionQuery3(std::span<const LayerArrays> staves, Edu position) {
    Edu previous = 0;
    for (const LayerArrays& layers : staves) {
        ForEachEntry(layers, [&](const EntryArray&, int32_t, const EntryView& entry) {
            if (entry.position() < position && entry.position() > 0) {
                previous = std::max(previous, entry.position());
            }
        });
    }
    return previous;
}

bool EventPositionQuery4(std::span<const LayerArrays> staves, Edu position) {
    bool clean = true;
    for (const LayerArrays& layers : staves) {
        ForEachEntry(layers, [&](const EntryArray&, int32_t, const EntryView& entry) {
            if (entry.position() < position && position < entry.position() + entry.actualDuration()) {
                clean = false;
            }
        });
    }
    return clean;
}

bool EventPositionQuery5(std::span<const LayerArrays> staves, Edu position) {
    bool silent = true;
    for (const LayerArrays& layers : staves) {
        ForEachEntry(layers, [&](const EntryArray&, int32_t, const EntryView& entry) {
            if (entry.isNote() && entry.position() <= position &&
                position < entry.position() + entry.actualDuration()) {
                silent = false;
            }
        });
    }
    return silent;
}

bool ShouldSwapRuns(const SlotRun& a, const SlotRun& b, const NInfo& info, const LayerArrays& layers) {
    int32_t aNotes = 0;
    int32_t bNotes = 0;
    int64_t aSum = 0;
    int64_t bSum = 0;
    bool bUpper = false;  // X
    bool aUpper = false;  // Y
    const int32_t last = std::min({a.lastItem, b.lastItem, info.itemCount - 1});
    for (int32_t t = std::max(a.firstItem, b.firstItem); t <= last; ++t) {
        const NInfoItem& item = info.items[static_cast<size_t>(t)];
        if (a.firstSlot < 0 || b.firstSlot < 0 || a.firstSlot >= kNInfoSlots || b.firstSlot >= kNInfoSlots) {
            break;
        }
        const VoiceSlot& sa = item.slots[static_cast<size_t>(a.firstSlot)];
        const VoiceSlot& sb = item.slots[static_cast<size_t>(b.firstSlot)];
        EntryView ea(nullptr);
        EntryView eb(nullptr);
        if (!SlotEntry(layers, sa, &ea) || !SlotEntry(layers, sb, &eb)) {
            continue;
        }
        const bool aBit = ea.has(kUpperBit);
        const bool bBit = eb.has(kUpperBit);
        if (ea.isNote()) {
            ++aNotes;
            aSum += SlotNote(ea, sa).harmonicLevel();
            if (eb.isNote() && aBit != bBit) {
                (bBit ? bUpper : aUpper) = true;
            }
        } else if (eb.isNote()) {
            (bBit ? bUpper : aUpper) = true;
        }
        if (eb.isNote()) {
            ++bNotes;
            bSum += SlotNote(eb, sb).harmonicLevel();
            if (ea.isNote() && aBit != bBit) {
                (aBit ? aUpper : bUpper) = true;
            }
        } else if (ea.isNote()) {
            (aBit ? aUpper : bUpper) = true;
        }
    }
    if (bUpper != aUpper || aNotes == 0 || bNotes == 0) {
        if (bUpper) {
            return true;
        }
        if (aUpper) {
            return false;
        }
        return bNotes != 0;
    }
    return aSum / aNotes < bSum / bNotes;
}

uint8_t* IsolatePartInItem(const LayerArrays& layers, NInfoItem item, int32_t part, const OptionArray& options,
                           uint8_t** entryOut, bool mergeUnisons) {
    const int32_t used = std::min<int32_t>(item.usedSlots, kNInfoSlots);
    if (used == 0 || part < 0 || part > used) {
        return nullptr;
    }
    const Edu at = item.position;
    int32_t p = part;
    const VoiceSlot& partSlot = item.slots[static_cast<size_t>(p == 0 ? 0 : p - 1)];
    EntryView e(nullptr);
    if (!SlotEntry(layers, partSlot, &e)) {
        return nullptr;
    }
    const NoteView n = SlotNote(e, partSlot);
    uint8_t* result = nullptr;
    const auto keep = [&](const EntryView& entry, uint8_t* note) {
        if (entryOut != nullptr) {
            *entryOut = entry.data();
        }
        result = note;
    };
    bool keptAny = false;
    VoiceSlot kept;
    for (int32_t k = 0; k < used; ++k) {
        const VoiceSlot& slot = item.slots[static_cast<size_t>(k)];
        EntryView ek(nullptr);
        if (!SlotEntry(layers, slot, &ek)) {
            continue;
        }
        const NoteView nk = SlotNote(ek, slot);
        if (k + 1 != p && nk.harmonicLevel() == n.harmonicLevel() && nk.alteration() == n.alteration() &&
            (nk.flags() & kUnisonNote) != 0) {
            n.setFlags(n.flags() | kUnisonNote);
        }
        if (k + 1 == p) {
            if (!ek.isNote()) {
                ek.setNoteCount(0);
                ek.setFlag(kUnisonNote, true);
            }
            keep(ek, ek.note(0).data());
            continue;
        }
        if (keptAny && slot.secondVoice == kept.secondVoice && slot.layer == kept.layer) {
            continue;
        }
        const bool shared = (k > 0 && SameSlotEntry(item.slots[static_cast<size_t>(k - 1)], slot)) ||
                            (k + 1 < used && SameSlotEntry(item.slots[static_cast<size_t>(k + 1)], slot));
        if (!(p != 0 && shared && SameSlotEntry(slot, item.slots[static_cast<size_t>(p - 1)]))) {
            // Another part's entry.
            if (k + 1 < p && options[PARTS_INHERIT_ARTICULATIONS].value != 0 && mergeUnisons &&
                e.actualDuration() == ek.actualDuration() && std::abs(e.position() - at) < 8 &&
                std::abs(e.position() - ek.position()) < 8) {
                if (e.isNote()) {
                    nk.setHarmonicLevel(n.harmonicLevel());
                    nk.setAlteration(n.alteration());
                    nk.setFlags(n.flags());
                    ek.setFlag(hostapi::kEntryNote, true);
                } else if (ek.isNote()) {
                    ek.setFlag(hostapi::kEntryNote, false);
                }
                e.setNoteCount(0);
                e.setFlag(hostapi::kEntryNote, false);
                e.setFlag(hostapi::kEntryHidden, true);
                p = k + 1;
                keep(ek, nk.data());
            } else if (std::abs(ek.position() - at) < 8) {
                ek.setNoteCount(0);
                ek.setFlag(hostapi::kEntryNote, false);
                ek.setFlag(hostapi::kEntryHidden, true);
            }
            continue;
        }
        // The chord entry keeps only the part's note.
        const VoiceSlot& own = item.slots[static_cast<size_t>(p - 1)];
        const NoteView source = SlotNote(ek, own);
        std::memmove(ek.note(0).data(), source.data(), hostapi::NoteLayout::kSize);
        ek.setNoteCount(1);
        kept = slot;
        keptAny = true;
        keep(ek, ek.note(0).data());
    }
    return result;
}

}  // namespace orvex
