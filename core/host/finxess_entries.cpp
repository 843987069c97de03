// Finxess: entry arrays, runs and layers, entry links, one entry across layers, vertical
// positions, clefs, pitch steps, pitch statistics and durations.
#include "core/host/finxess_entries.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "core/host/access_state.h"
#include "core/host/document_writes.h"
#include "core/host/finxess.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/host_info.h"
#include "core/host/record_integrity.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/music_records.h"

namespace orvex {

namespace {

using hostapi::ConstEntryView;
using hostapi::EntryLayout;
using hostapi::EntryView;
using hostapi::kInterfaceVersion;
using hostapi::StaffSpecLayout;

using hostapi::kTagEntryLink;
constexpr int32_t kEntryLinkSize = 52;
constexpr size_t kLinkPrevious = 4;  ///< @4, i32, the entry before
constexpr size_t kLinkNext = 8;      ///< @8, i32, the entry after
constexpr Edu kEndOfTime = 0x7FFFFFFF;
/// An in-range entry may start this much before the running end and still survive cleaning.
constexpr Edu kOverlapTolerance = 3;
constexpr hostapi::Evpu kEvpuPerStep = 12;
/// The middle staff line lies this far below the top line.
constexpr hostapi::Evpu kMiddleLine = -48;
constexpr int32_t kRecordsToClear = 20;
constexpr int32_t kFlaggedRecordSize = 30;
constexpr size_t kFlaggedRecordValue = 0;  ///< @0, i16, the value the record is found by
constexpr size_t kFlaggedRecordFlags = 8;  ///< @8, u16
constexpr uint16_t kClearedFlags = 0x0001 | 0x0800;
constexpr int32_t kMissingClefDefinition = -10;

int32_t CountOf(const EntryArray* array) {
    return array == nullptr ? 0 : std::max<int32_t>(array->count, 0);
}

bool IsMarked(ConstEntryView entry) {
    return entry.has(hostapi::kEntryHidden);
}

/// The key value reduced to its low nine bits, its sign kept.
int16_t NineBits(int16_t key) {
    return static_cast<int16_t>(key >= 0 ? key & 0x1FF : -((-key) & 0x1FF));
}

/// The signed number held in `bits` bits of `value` from bit `shift` on.
int32_t SignedBits(uint32_t value, int shift, int bits) {
    const uint32_t field = (value >> shift) & ((1u << bits) - 1);
    return (field & (1u << (bits - 1))) != 0 ? static_cast<int32_t>(field) - (1 << bits) : static_cast<int32_t>(field);
}

int32_t FloorMod(int32_t a, int32_t b) {
    return ((a % b) + b) % b;
}

int32_t HostPitch(const uint8_t* note, int16_t key) {
    const auto pitch = Imports().NotePitch;
    return pitch == nullptr ? 0 : pitch(note, key, kInterfaceVersion);
}

int16_t HostCellKey(MeasureNumber measure, InstrumentKey instrument, int16_t mode) {
    const auto cellKey = Imports().CellKey;
    return cellKey == nullptr ? 0 : cellKey(measure, instrument, mode, 0, kInterfaceVersion);
}

/// Fills a blank entry the cleaning step inserts to close a gap.
void MakeBlankRest(EntryView entry, Edu position, Edu length) {
    std::memset(entry.data(), 0, EntryLayout::kSize);
    entry.setFlags(hostapi::kEntryBlankRest);
    entry.setPosition(position);
    entry.setActualDuration(length);
    entry.setDuration(static_cast<int16_t>(std::min<Edu>(length, INT16_MAX)));
}

/// The entry's index in a layer by mode; -1 when the layer has none.
int32_t FindEntry(const EntryArray* array, int32_t entryOrPosition, int32_t mode) {
    const int32_t count = CountOf(array);
    for (int32_t i = 0; i < count; ++i) {
        const ConstEntryView entry = array->entry(i);
        if (mode == kReplaceByNumber) {
            if (entry.number() == entryOrPosition) {
                return i;
            }
            continue;
        }
        // The nearest entry: the last, or the first (lasting) entry whose follower lies farther
        // from the position than it does.
        if (i == count - 1) {
            return i;
        }
        const int64_t here = std::abs(static_cast<int64_t>(entryOrPosition) - entry.position());
        const int64_t next = std::abs(static_cast<int64_t>(entryOrPosition) - array->entry(i + 1).position());
        if (entry.actualDuration() > 0 && next > here) {
            return i;
        }
    }
    return -1;
}

bool IsShort(const EntryArray* array, int32_t found) {
    const ConstEntryView entry = array->entry(found);
    if (entry.duration() >= hostapi::kEduPerQuarter) {
        return false;
    }
    return !entry.has(hostapi::kEntryBeamStart) ||
           (found + 1 < CountOf(array) && !array->entry(found + 1).has(hostapi::kEntryBeamStart));
}

/// The stem of the found entry: its own when it keeps one, else its beam group's by the
/// extremes of the group's notes. `fromGroup` says which.
bool StemUp(const EntryArray* array, int32_t found, InstrumentKey instrument, MeasureNumber measure, int16_t keyValue,
            bool& fromGroup) {
    fromGroup = false;
    const ConstEntryView entry = array->entry(found);
    if (entry.has(hostapi::kEntryStemFixedMask)) {
        return entry.has(hostapi::kEntryStemUp);
    }
    const auto shortEntry = [&](int32_t i) { return array->entry(i).duration() < hostapi::kEduPerQuarter; };
    int32_t first = found;
    while (first > 0 && !array->entry(first).has(hostapi::kEntryBeamStart) && shortEntry(first) &&
           shortEntry(first - 1) && array->entry(first - 1).isNote()) {
        --first;
    }
    hostapi::Evpu highest = -1000;
    hostapi::Evpu lowest = 1000;
    for (int32_t i = first; i < CountOf(array); ++i) {
        const ConstEntryView member = array->entry(i);
        if (i > found && (!member.isNote() || !shortEntry(i) || member.has(hostapi::kEntryBeamStart))) {
            break;
        }
        if (member.has(hostapi::kEntryStemFixedMask)) {
            return member.has(hostapi::kEntryStemUp);
        }
        highest = std::max(highest,
                           EntryVerticalPosition(instrument, measure, member.data(), keyValue, false, keyValue, true));
        lowest = std::min(lowest,
                          EntryVerticalPosition(instrument, measure, member.data(), keyValue, false, keyValue, false));
    }
    fromGroup = true;
    if (highest != lowest && std::abs(lowest - kMiddleLine) <= std::abs(highest - kMiddleLine)) {
        return false;
    }
    return lowest - kMiddleLine < 0;
}

}  // namespace

// ---- The host's entry array services ----

EntryArray* LoadEntryArray(ViewKey view, StaffSlot staff, MeasureNumber measure, LayerIndex layer, int16_t flag) {
    const auto load = Imports().LoadEntryArray;
    EntryArray* array = load == nullptr ? nullptr : load(view, staff, measure, layer, flag, kInterfaceVersion);
    // A damaged entry's position and actual duration are read within 0 to kLongestEntryEdu, so
    // that no tool's sum of them leaves 32 bits, and its notated duration within 1 to 32767 EDU,
    // so that no tool splits a duration of no length into dots and values; the user is told.
    for (int32_t i = 0; i < CountOf(array); ++i) {
        const hostapi::EntryView entry = array->entry(i);
        const Edu position = std::clamp(entry.position(), Edu{0}, hostapi::kLongestEntryEdu);
        const Edu actual = std::clamp(entry.actualDuration(), Edu{0}, hostapi::kLongestEntryEdu);
        const int16_t notated = std::max(entry.duration(), hostapi::kShortestNotatedEdu);
        if (position != entry.position() || actual != entry.actualDuration() || notated != entry.duration()) {
            entry.setPosition(position);
            entry.setActualDuration(actual);
            entry.setDuration(notated);
            ReportDamagedEntry(entry.number(), array->staff, array->measure);
        }
    }
    return array;
}

bool SaveEntryArray(EntryArray* array) {
    const auto save = Imports().SaveEntryArray;
    if (save == nullptr || array == nullptr) {
        return false;
    }
    // A save that writes the entries the cell holds already changes nothing.
    const bool changes = EntryArraySaveChanges(*array);
    if (save(array, kInterfaceVersion) == 0) {
        return false;
    }
    if (changes) {
        CountDocumentWrite();
    }
    return true;
}

bool ReleaseEntryArray(EntryArray* array) {
    const auto release = Imports().ReleaseEntryArray;
    return release != nullptr && release(array, kInterfaceVersion) != 0;
}

void ReleaseCellLayers(LayerArrays& layers) {
    for (EntryArray*& array : layers) {
        if (array != nullptr) {
            ReleaseEntryArray(array);
            array = nullptr;
        }
    }
}

void ScopedEntryArray::Release() {
    if (m_array != nullptr) {
        ReleaseEntryArray(m_array);
        m_array = nullptr;
    }
}

bool LayerHoldsEntries(ViewKey view, StaffSlot staff, MeasureNumber measure, LayerIndex layer, int16_t flag) {
    const ScopedEntryArray array(view, staff, measure, layer, flag);
    return CountOf(array.Get()) > 0;
}

ScopedEntryArray& ScopedEntryArray::operator=(ScopedEntryArray&& other) {
    if (this != &other) {
        Release();
        m_array = std::exchange(other.m_array, nullptr);
    }
    return *this;
}

void ScopedEntryArray::Load(ViewKey view, StaffSlot staff, MeasureNumber measure, LayerIndex layer, int16_t flag) {
    Release();
    m_array = LoadEntryArray(view, staff, measure, layer, flag);
}

int32_t ScopedCellLayers::Load(ViewKey view, MeasureNumber measure, StaffSlot staff, std::string_view ignoredLayers,
                               size_t cell) {
    ReleaseCellLayers(m_cells[cell]);
    int32_t holding = 0;
    for (LayerIndex layer = 0; layer < 4; ++layer) {
        EntryArray*& array = m_cells[cell][static_cast<size_t>(layer)];
        if (ignoredLayers.find(std::to_string(layer + 1)) != std::string_view::npos) {
            continue;
        }
        array = LoadEntryArray(view, staff, measure, layer, 1);
        if (array != nullptr && array->count > 0) {
            ++holding;
        }
    }
    return holding;
}

void ScopedCellLayers::Release() {
    for (LayerArrays& layers : m_cells) {
        ReleaseCellLayers(layers);
    }
}

bool InsertEntries(EntryArray* array, int32_t index, int32_t count) {
    const auto insert = Imports().InsertEntries;
    return insert != nullptr && insert(array, index, count, kInterfaceVersion) != 0;
}

bool FrameEntriesRemove(EntryArray* array, int32_t index, int32_t count) {
    const auto remove = Imports().DeleteEntries;
    return remove != nullptr && remove(array, index, count, kInterfaceVersion) != 0;
}

// ---- Runs and layers ----

int32_t FramePositionLookup(const EntryArray* array, Edu position, int32_t* index) {
    for (int32_t i = 0; i < CountOf(array); ++i) {
        const ConstEntryView entry = array->entry(i);
        if (entry.position() > position) {
            break;
        }
        if (position < static_cast<int64_t>(entry.position()) + entry.actualDuration()) {
            if (index != nullptr) {
                *index = i;
            }
            return IsMarked(entry) ? kCoveredByMarked : kCoveredByEntry;
        }
    }
    return kNotCovered;
}

bool FrameRunReplace(EntryArray* target, EntryArray* source) {
    if (CountOf(target) == 0 || CountOf(source) == 0) {
        return false;
    }
    bool partial = false;
    for (int32_t i = 0; i < CountOf(target); ++i) {
        const ConstEntryView entry = target->entry(i);
        const int32_t covered = FramePositionLookup(source, entry.position(), nullptr);
        if (!IsMarked(entry)) {
            if (covered == kCoveredByEntry) {
                return false;
            }
            partial = partial || covered == kCoveredByMarked;
        } else if (covered == kCoveredByEntry) {
            partial = true;
        }
    }
    const Edu targetEnd = target->entry(CountOf(target) - 1).end();
    int32_t wholeRunSource = -1;
    if (!partial) {
        // Without a marked stretch the source must go on where the target ends, with a real
        // entry: its entries from there on are appended.
        if (FramePositionLookup(source, targetEnd, &wholeRunSource) != kCoveredByEntry) {
            return false;
        }
    }

    const auto moveRun = [&](int32_t at, int32_t removed, int32_t first, Edu runEnd) -> int32_t {
        int32_t last = first;
        while (last + 1 < CountOf(source) && source->entry(last).end() < runEnd) {
            ++last;
        }
        const int32_t moved = last - first + 1;
        if ((removed > 0 && !FrameEntriesRemove(target, at, removed)) || !InsertEntries(target, at, moved)) {
            return -1;
        }
        for (int32_t k = 0; k < moved; ++k) {
            const EntryView from = source->entry(first + k);
            std::memcpy(target->entry(at + k).data(), from.data(), EntryLayout::kSize);
            from.setNumber(0);
            from.setFlags((from.flags() | hostapi::kEntryHidden) & ~hostapi::kEntryNote);
            from.setNoteCount(0);
        }
        return moved;
    };

    if (!partial) {
        return moveRun(CountOf(target), 0, wholeRunSource, kEndOfTime) > 0;
    }
    int32_t i = 0;
    while (i < CountOf(target)) {
        int32_t first = -1;
        if (!IsMarked(target->entry(i)) ||
            FramePositionLookup(source, target->entry(i).position(), &first) != kCoveredByEntry) {
            ++i;
            continue;
        }
        int32_t after = i + 1;
        while (after < CountOf(target) && IsMarked(target->entry(after)) &&
               FramePositionLookup(source, target->entry(after).position(), nullptr) == kCoveredByEntry) {
            ++after;
        }
        const int32_t moved = moveRun(i, after - i, first, target->entry(after - 1).end());
        if (moved < 0) {
            return false;
        }
        i += moved;
    }
    return true;
}

bool FrameLayersClean(const LayerArrays& layers, Edu start, Edu end, bool cleanVoice2, std::string_view layersToSkip) {
    constexpr uint32_t kVoiceMarks = hostapi::kEntryVoice2 | hostapi::kEntryVoice2Start;
    for (size_t layer = 0; layer < layers.size(); ++layer) {
        EntryArray* array = layers[layer];
        if (array == nullptr || layersToSkip.find(static_cast<char>('1' + layer)) != std::string_view::npos) {
            continue;
        }
        bool deleted = false;
        if (cleanVoice2) {
            for (int32_t i = 0; i < CountOf(array); ++i) {
                if (array->entry(i).has(hostapi::kEntryVoice2) && array->entry(i).isNote()) {
                    return false;
                }
            }
            for (int32_t i = 0; i < CountOf(array);) {
                const EntryView entry = array->entry(i);
                entry.setFlag(hostapi::kEntryVoice2Start, false);
                if (entry.has(hostapi::kEntryVoice2)) {
                    if (!FrameEntriesRemove(array, i, 1)) {
                        return false;
                    }
                    deleted = true;
                } else {
                    ++i;
                }
            }
        }
        bool allMarked = true;
        for (int32_t i = 0; i < CountOf(array) && allMarked; ++i) {
            allMarked = IsMarked(array->entry(i));
        }
        if (allMarked) {
            array->count = 0;
            continue;
        }
        bool voice2Continues = false;
        for (int32_t i = 0; i < CountOf(array); ++i) {
            if (array->entry(i).position() >= end) {
                voice2Continues = array->entry(i).has(hostapi::kEntryVoice2);
                break;
            }
        }

        Edu runningEnd = 0;
        bool openBefore = false;
        bool continuation = false;
        bool revisit = false;  // the entry is met again behind the blank inserted before it
        for (int32_t i = 0; i < CountOf(array);) {
            const EntryView entry = array->entry(i);
            const Edu position = entry.position();
            if (position < start || position >= end) {
                runningEnd = entry.end();
                if (position < start) {
                    openBefore = entry.has(kVoiceMarks);
                }
                ++i;
                continue;
            }
            if (openBefore) {
                return false;
            }
            bool survives = !IsMarked(entry) && static_cast<int64_t>(runningEnd) - position <= kOverlapTolerance;
            if (!survives) {
                Edu nextReal = kEndOfTime;
                for (int32_t j = i + 1; j < CountOf(array); ++j) {
                    if (!IsMarked(array->entry(j))) {
                        nextReal = array->entry(j).position();
                        break;
                    }
                }
                survives = runningEnd < nextReal && position == runningEnd && entry.end() <= nextReal;
                if (!survives && voice2Continues) {
                    bool onlyMarkedFollow = true;
                    for (int32_t j = i + 1; j < CountOf(array) && array->entry(j).position() < end; ++j) {
                        onlyMarkedFollow = onlyMarkedFollow && IsMarked(array->entry(j));
                    }
                    if (onlyMarkedFollow) {
                        survives = true;
                        continuation = true;
                    }
                }
            }
            if (!survives) {
                if (!FrameEntriesRemove(array, i, 1)) {
                    return false;
                }
                continue;
            }
            if (!continuation) {
                entry.setFlag(kVoiceMarks, false);
            } else if (entry.has(hostapi::kEntryVoice2) && i > 0 && !array->entry(i - 1).has(kVoiceMarks) && !revisit) {
                // The entry before launches the voice-2 run; on the second visit that is the blank
                // rest just inserted, which launches nothing.
                array->entry(i - 1).setFlag(hostapi::kEntryVoice2Start, true);
            }
            revisit = false;
            if (deleted) {
                entry.setFlag(hostapi::kEntryVoiceFree, false);
            }
            if (position > runningEnd) {
                if (!InsertEntries(array, i, 1)) {
                    return false;
                }
                MakeBlankRest(array->entry(i), runningEnd, position - runningEnd);
                runningEnd = position;
                ++i;  // the surviving entry is visited again behind the blank
                revisit = true;
                continue;
            }
            runningEnd = position + (entry.actualDuration() == 0 ? 1 : entry.actualDuration());
            ++i;
        }
    }
    return true;
}

namespace {
/// The layer hook of LayerFramesVisit: it does nothing.
void EmptyFrameHook(const EntryArray* /*array*/) {}
}  // namespace

void LayerFramesVisit(const LayerArrays& layers) {
    for (const EntryArray* array : layers) {
        if (CountOf(array) > 0) {
            EmptyFrameHook(array);
        }
    }
}

// ---- Entry links ----

bool EntryLinkSet(EntryNumber entry, EntryNumber next) {
    uint8_t record[kEntryLinkSize] = {};
    if (!LoadWholeEntryDetailRecord(kTagEntryLink, entry, 0, record, kEntryLinkSize) || next == 0 ||
        hostapi::ReadI32(record, kLinkNext) == next) {
        return false;
    }
    hostapi::WriteI32(record, kLinkNext, next);
    return SaveEntryDetailRecord(kTagEntryLink, entry, 0, record, kEntryLinkSize);
}

void EntryLinksRefresh(const EntryArray* array, EntryNumber entry) {
    const int32_t count = CountOf(array);
    bool inArray = false;
    for (int32_t i = 0; i < count; ++i) {
        const EntryNumber number = array->entry(i).number();
        inArray = inArray || number == entry;
        EntryLinkSet(number, i + 1 < count ? array->entry(i + 1).number() : 0);
    }
    if (entry != 0 && !inArray && count > 0) {
        EntryLinkSet(array->entry(count - 1).number(), entry);
    }
}

bool EntryLinkFollow(EntryNumber entry, EntryNumber recordKey) {
    uint8_t record[kEntryLinkSize] = {};
    if (!LoadWholeEntryDetailRecord(kTagEntryLink, recordKey, 0, record, kEntryLinkSize) ||
        hostapi::ReadI32(record, kLinkPrevious) != entry) {
        return false;
    }
    return EntryLinkSet(entry, recordKey);
}

// ---- One entry across the layers of a cell ----

bool LoadLayerSettingsTable() {
    bool all = true;
    for (size_t layer = 0; layer < TheAccessLayer.layerSettings.size(); ++layer) {
        TheAccessLayer.layerSettings[layer].fill(0);
        all = LoadWholeGlobalRecord(hostapi::kTagLayerSettings, static_cast<int32_t>(layer),
                                    TheAccessLayer.layerSettings[layer].data(), hostapi::LayerSettingsLayout::kSize) &&
              all;
    }
    return all;
}

bool EntryReplace(ViewKey view, StaffSlot staff, MeasureNumber measure, int32_t entryOrPosition, uint8_t* buffer,
                  LayerIndex* layer, bool* moreLayers, bool writeBack, bool* stemUp, InstrumentKey instrument,
                  int16_t keyValue, bool* isShort, int32_t mode) {
    bool earlierHeldEntries = false;
    for (LayerIndex current = 0; current < 4; ++current) {
        ScopedEntryArray lent(view, staff, measure, current);
        EntryArray* array = lent.Get();
        if (array == nullptr) {
            continue;
        }
        const int32_t found = FindEntry(array, entryOrPosition, mode);
        if (found < 0) {
            earlierHeldEntries = earlierHeldEntries || CountOf(array) > 0;
            continue;
        }
        bool up = false;
        bool fromGroup = false;
        if (writeBack) {
            std::memcpy(array->entry(found).data(), buffer, EntryLayout::kSize);
            SaveEntryArray(array);
        } else {
            std::memcpy(buffer, array->entry(found).data(), EntryLayout::kSize);
            if (isShort != nullptr) {
                *isShort = IsShort(array, found);
            }
            if (stemUp != nullptr) {
                up = StemUp(array, found, instrument, measure, keyValue, fromGroup);
            }
        }
        lent.Release();

        bool more = earlierHeldEntries;
        for (LayerIndex later = static_cast<LayerIndex>(current + 1); later < 4 && !more; ++later) {
            more = LayerHoldsEntries(view, staff, measure, later);
        }
        if (fromGroup) {
            LoadLayerSettingsTable();
            const uint8_t rule =
                TheAccessLayer.layerSettings[static_cast<size_t>(current)][hostapi::LayerSettingsLayout::kStemByte];
            const bool applies = (rule & hostapi::LayerSettingsLayout::kStemFixed) != 0 &&
                                 ((rule & hostapi::LayerSettingsLayout::kStemOnlyWithOtherLayers) == 0 || more);
            if (applies) {
                up = (rule & hostapi::LayerSettingsLayout::kStemUp) != 0;
            }
        }
        if (stemUp != nullptr && !writeBack) {
            *stemUp = up;
        }
        if (layer != nullptr) {
            *layer = current;
        }
        if (moreLayers != nullptr) {
            *moreLayers = more;
        }
        return true;
    }
    return false;
}

// ---- Vertical positions and clefs ----

hostapi::Evpu EntryVerticalPosition(InstrumentKey instrument, MeasureNumber measure, const uint8_t* entry,
                                    int16_t keyValue, bool useTransposition, int16_t secondKey, bool topNote) {
    const ConstEntryView view(entry);
    uint8_t staffRecord[StaffSpecLayout::kSize] = {};
    const bool haveRecord = LoadRecordSOSC(instrument, measure, view.position(), staffRecord);
    if (!view.isNote() || view.notesHeld() == 0) {
        return kEvpuPerStep * (haveRecord ? StaffSpecRestOffset(staffRecord) : 0) + kMiddleLine;
    }
    const int32_t note = topNote ? view.notesHeld() - 1 : 0;
    const uint8_t* recordOrNull = haveRecord ? staffRecord : nullptr;
    const int32_t step = EntryNoteStep(entry, note, keyValue, secondKey, useTransposition, recordOrNull, nullptr) +
                         ClefOffsetAt(instrument, measure, view.position(), useTransposition, recordOrNull);
    return kEvpuPerStep * step;
}

hostapi::Evpu EntryVerticalPositionById(InstrumentKey instrument, MeasureNumber measure, EntryNumber entry,
                                        bool useTransposition, Edu* position, bool topNote) {
    const int16_t key = HostCellKey(measure, instrument, useTransposition ? 1 : 0);
    const auto slotOf = Imports().SlotOfInstrument;
    const StaffSlot staff = slotOf == nullptr ? 0 : slotOf(instrument, 0, kInterfaceVersion);
    for (LayerIndex layer = 0; layer < 4; ++layer) {
        ScopedEntryArray array(0, staff, measure, layer, 0);
        if (!array) {
            continue;
        }
        const int32_t found = FindEntry(array.Get(), entry, kReplaceByNumber);
        if (found >= 0) {
            hostapi::EntryRecord copy;
            std::memcpy(copy.data(), array->entry(found).data(), EntryLayout::kSize);
            array.Release();
            if (position != nullptr) {
                *position = copy.view().position();
            }
            return EntryVerticalPosition(instrument, measure, copy.data(), key, useTransposition, key, topNote);
        }
    }
    if (position != nullptr) {
        *position = 0;
    }
    return 0;
}

int32_t ClefAt(InstrumentKey instrument, MeasureNumber measure, Edu position, bool useStaffSpec,
               const uint8_t* staffSpec) {
    if (useStaffSpec && staffSpec != nullptr &&
        (staffSpec[StaffSpecLayout::kOptions] & StaffSpecLayout::kAlternativeClefInUse) != 0) {
        return hostapi::ReadI16(staffSpec, StaffSpecLayout::kClef) / 256;
    }
    const bool before1998 = TheAccessLayer.host.year < 1998;
    uint8_t record[hostapi::CellClefLayout::kSize] = {};
    const Tag tag = before1998 ? hostapi::kTagCellClef1997 : hostapi::kTagCellClef;
    const int32_t size = before1998 ? hostapi::CellClef1997Layout::kSize : hostapi::CellClefLayout::kSize;
    for (int32_t m = measure; m >= 1;) {
        if (!LoadWholeDetailRecord(tag, instrument, m, record, size, 0)) {
            // On to the latest measure before this one that holds a record of the staff: one
            // step back through the host's records, not a load per measure.
            int32_t key1 = instrument;
            int32_t key2 = m;
            int32_t inci = INT16_MIN;
            if (!PreviousDetailRecord(tag, key1, key2, inci) || key1 != instrument) {
                break;
            }
            m = key2;
            continue;
        }
        const int16_t word =
            hostapi::ReadI16(record, before1998 ? hostapi::CellClef1997Layout::kClef : hostapi::CellClefLayout::kClef);
        const uint16_t flags = hostapi::ReadU16(
            record, before1998 ? hostapi::CellClef1997Layout::kFlags : hostapi::CellClefLayout::kFlags);
        if ((flags & hostapi::CellClefLayout::kHasChanges) == 0) {
            return word;
        }
        int32_t clef = 0;
        uint8_t change[hostapi::ClefChangeLayout::kSize] = {};
        for (int32_t inci = 0; inci <= INT16_MAX && LoadWholeOtherRecord(hostapi::kTagClefChange, word, inci, change,
                                                                         hostapi::ClefChangeLayout::kSize);
             ++inci) {
            if (hostapi::ReadI16(change, hostapi::ClefChangeLayout::kPosition) <= position) {
                clef = hostapi::ReadI16(change, hostapi::ClefChangeLayout::kClef);
            }
        }
        return clef;
    }
    return staffSpec == nullptr ? 0 : hostapi::ReadI16(staffSpec, StaffSpecLayout::kClef) & 15;
}

int32_t ClefMiddleLine(int32_t clef) {
    using hostapi::ClefDefinitionLayout;
    clef = std::max(clef, 0);
    if (TheAccessLayer.host.year < 2001) {
        clef = std::min<int32_t>(clef, ClefDefinitionLayout::kLastClefBefore2001);
    }
    uint8_t record[ClefDefinitionLayout::kSize] = {};
    if (TheAccessLayer.host.year >= 2001) {
        const int32_t inci = clef * 24 / 16;
        if (inci > INT16_MAX || !LoadWholeOtherRecord(hostapi::kTagClefDefinitions2001, ClefDefinitionLayout::kKey,
                                                      inci, record, ClefDefinitionLayout::kSize)) {
            return kMissingClefDefinition;
        }
        return hostapi::ReadI16(record,
                                clef % 2 == 0 ? ClefDefinitionLayout::kEvenClef : ClefDefinitionLayout::kOddClef);
    }
    if (TheAccessLayer.host.year == 2000) {
        if (!LoadWholeGlobalRecord(hostapi::kTagClefDefinition2000, clef, record, ClefDefinitionLayout::kSize)) {
            return kMissingClefDefinition;
        }
        return hostapi::ReadI16(record, ClefDefinitionLayout::kEvenClef);
    }
    if (!LoadWholeOtherRecord(hostapi::ClefDefinitionTagBefore2000(clef), ClefDefinitionLayout::kKey, 0, record,
                              ClefDefinitionLayout::kSize)) {
        return kMissingClefDefinition;
    }
    return hostapi::ReadI16(record, ClefDefinitionLayout::kEvenClef);
}

int32_t ClefOffsetAt(InstrumentKey instrument, MeasureNumber measure, Edu position, bool useStaffSpec,
                     const uint8_t* staffSpec) {
    return ClefMiddleLine(ClefAt(instrument, measure, position, useStaffSpec, staffSpec));
}

// ---- Pitch steps ----

int32_t KeyTonicStep(int16_t key) {
    const int16_t reduced = NineBits(key);
    const int32_t sharps = static_cast<int8_t>(reduced & 0xFF);
    return FloorMod(sharps * 4 + ((reduced & 0x100) != 0 ? 5 : 0), 7);
}

int32_t NotePitchStep(const uint8_t* note, int16_t key, int16_t secondKey, bool useTransposition,
                      const uint8_t* staffSpec, int32_t* alteration) {
    key = NineBits(key);
    secondKey = NineBits(secondKey);
    const hostapi::ConstNoteView view(note);
    int32_t step = view.harmonicLevel();
    const uint16_t word = staffSpec == nullptr ? 0 : hostapi::ReadU16(staffSpec, StaffSpecLayout::kTransposition);
    const bool chromatic = (word & StaffSpecLayout::kChromaticTransposition) != 0;
    if (!useTransposition || staffSpec == nullptr) {
        step += KeyTonicStep(key);
    } else if (!chromatic) {
        const int32_t c = KeyTonicStep(key) + SignedBits(word, 6, 6);
        step += (KeyTonicStep(secondKey) % 7 - FloorMod(c, 7)) + c;
    } else {
        step += KeyTonicStep(key) + SignedBits(word, 0, 8);
    }
    if (alteration != nullptr) {
        hostapi::NoteRecord copy;
        std::memcpy(copy.data(), note, hostapi::NoteLayout::kSize);
        copy.view().setHarmonicLevel(static_cast<int16_t>(step));
        int32_t spelled = HostPitch(copy.data(), 0);
        if (useTransposition && staffSpec != nullptr && chromatic) {
            hostapi::NoteRecord interval;
            interval.view().setHarmonicLevel(static_cast<int16_t>(SignedBits(word, 0, 8)));
            interval.view().setAlteration(static_cast<int16_t>(SignedBits(word, 8, 4)));
            spelled -= HostPitch(interval.data(), 0) - 60;
        }
        // The difference is a chromatic alteration: reduced to -5..6 so that a flat stays -1.
        int32_t difference = FloorMod(HostPitch(note, secondKey) - spelled, 12);
        if (difference > 6) {
            difference -= 12;
        }
        *alteration = difference + view.alteration();
    }
    return step;
}

int32_t EntryNoteStep(const uint8_t* entry, int32_t noteIndex, int16_t key, int16_t secondKey, bool useTransposition,
                      const uint8_t* staffSpec, int32_t* alteration) {
    const ConstEntryView view(entry);
    const int32_t index = noteIndex == -1 ? view.notesHeld() - 1 : noteIndex;
    if (index < 0 || index >= view.notesHeld()) {
        if (alteration != nullptr) {
            *alteration = 0;
        }
        return 0;
    }
    return NotePitchStep(view.note(index).data(), key, secondKey, useTransposition, staffSpec, alteration);
}

// ---- Pitch statistics ----

void RegionPitchStats(const hostapi::SelectionRecord& region, PitchStats& stats) {
    stats = PitchStats{};
    std::array<int32_t, 128> histogram{};
    const auto instrumentOf = Imports().InstrumentOfSlot;
    for (int32_t measure = region.firstMeasure(); measure <= region.lastMeasure(); ++measure) {
        const Edu from = measure == region.firstMeasure() ? region.startEdu() : 0;
        const Edu to = measure == region.lastMeasure() ? RegionEndPosition(region) : kEndOfTime;
        for (int32_t staff = region.firstStaff(); staff <= region.lastStaff(); ++staff) {
            const auto m = static_cast<MeasureNumber>(measure);
            const auto s = static_cast<StaffSlot>(staff);
            const InstrumentKey instrument =
                instrumentOf == nullptr ? 0 : instrumentOf(s, region.viewKey(), kInterfaceVersion);
            const int16_t key = HostCellKey(m, instrument, 0);
            int32_t chordSum = 0;
            for (LayerIndex layer = 0; layer < 4; ++layer) {
                const ScopedEntryArray lent(region.viewKey(), s, m, layer);
                const EntryArray* array = lent.Get();
                if (array == nullptr) {
                    continue;
                }
                int32_t largestChord = 0;
                for (int32_t i = 0; i < CountOf(array); ++i) {
                    const ConstEntryView entry = array->entry(i);
                    if (!entry.isNote() || entry.notesHeld() == 0 || entry.position() < from || entry.position() > to) {
                        continue;
                    }
                    largestChord = std::max(largestChord, entry.notesHeld());
                    const int32_t top = HostPitch(entry.note(entry.notesHeld() - 1).data(), key);
                    stats.highest = std::max(stats.highest, top);
                    stats.lastTop = top;
                    stats.lowest = std::min(stats.lowest, HostPitch(entry.note(0).data(), key));
                    for (int32_t n = 0; n < entry.notesHeld(); ++n) {
                        const int32_t pitch = HostPitch(entry.note(n).data(), key);
                        if (pitch >= 0 && pitch < 128) {
                            ++histogram[static_cast<size_t>(pitch)];
                            stats.sum += pitch;
                            ++stats.count;
                        }
                    }
                }
                chordSum += largestChord;
            }
            stats.largestChordSum = std::max(stats.largestChordSum, chordSum);
        }
    }
    if (stats.count == 0) {
        stats.lowest = stats.highest = stats.mean = stats.bandLow = stats.bandHigh = 60;
        return;
    }
    stats.mean = stats.sum / stats.count;
    int32_t low = stats.mean;
    int32_t high = stats.mean;
    int64_t inBand = histogram[static_cast<size_t>(stats.mean)];
    while (inBand * 100 <= static_cast<int64_t>(stats.count) * 90) {
        if (high + 1 < 128) {
            inBand += histogram[static_cast<size_t>(++high)];
        }
        if (low - 1 >= 0) {
            inBand += histogram[static_cast<size_t>(--low)];
        }
    }
    stats.bandLow = std::max(low, stats.lowest);
    stats.bandHigh = std::min(high, stats.highest);
}

// ---- Durations ----

Edu PowerOfTwoFloor(Edu duration) {
    if (duration <= 0) {
        return 0;
    }
    Edu power = 1;
    while (power <= duration / 2) {
        power *= 2;
    }
    return power;
}

int32_t DotCount(Edu duration) {
    int32_t dots = 0;
    for (Edu rest = duration - PowerOfTwoFloor(duration); rest > 0; rest -= PowerOfTwoFloor(rest)) {
        ++dots;
    }
    return dots;
}

void DurationSplit(Edu duration, int32_t& count, Edu& unit) {
    if (duration <= 0) {
        count = 0;
        unit = 0;
        return;
    }
    unit = std::min<Edu>(PowerOfTwoFloor(duration), 2048);
    while (duration % unit != 0) {
        unit /= 2;
    }
    count = duration / unit;
}

int32_t IntAbs(int32_t value) {
    if (value == INT32_MIN) {
        return INT32_MAX;
    }
    return value < 0 ? -value : value;
}

// ---- Small services ----

bool CellKeyEquals(const int16_t* a, const int16_t* b) {
    for (size_t i = 0; i < 4; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

bool EntryRecordClearFlags(Tag tag, EntryNumber entry, int16_t value) {
    uint8_t record[kFlaggedRecordSize] = {};
    for (int32_t inci = 0; inci < kRecordsToClear; ++inci) {
        if (!LoadWholeEntryDetailRecord(tag, entry, inci, record, kFlaggedRecordSize)) {
            return false;
        }
        if (value != -1 && hostapi::ReadI16(record, kFlaggedRecordValue) != value) {
            continue;
        }
        const uint16_t flags = hostapi::ReadU16(record, kFlaggedRecordFlags);
        if ((flags & kClearedFlags) == 0) {
            return false;
        }
        hostapi::WriteU16(record, kFlaggedRecordFlags, static_cast<uint16_t>(flags & ~kClearedFlags));
        return SaveEntryDetailRecord(tag, entry, inci, record, kFlaggedRecordSize);
    }
    return false;
}

}  // namespace orvex
