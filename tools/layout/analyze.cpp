// Analyze, the parallel motion detector.
#include "tools/layout/analyze.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/beat_chart.h"
#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/layout_records.h"
#include "tools/layout/explosion/explosion.h"
#include "tools/layout/explosion/ninfo.h"

namespace orvex {

namespace {

using hostapi::EntryArray;
using hostapi::EntryView;
using L = hostapi::SmartShapeLayout;

// The line mark's template beyond the fields the access layer names.
constexpr int16_t kLineKind = 26;
constexpr uint16_t kLineWord2 = 0x8201;
constexpr uint16_t kLineTemplateWord = 0x4000;
constexpr std::array<size_t, 4> kLineTemplateOffsets = {4, 28, 58, 74};
constexpr size_t kLineWord80 = 80;
constexpr int16_t kLineWord80Value = 3;
/// The entry's word at byte 12: bit 5 marks an entry of a finding.
constexpr uint16_t kEntryFindingMark = 0x0020;
/// The notehead record ('E\x02cn'; 'edCN' before 2001): note identifier first, character at 8.
using hostapi::kTagNotehead2001;
constexpr size_t kNoteheadCharacter = 8;

/// A voice's note at an item of a table.
struct VoiceNote {
    EntryArray* array = nullptr;
    int32_t entryIndex = 0;
    int32_t noteIndex = 0;
    int32_t layer = 0;
    int32_t measure = 0;

    EntryView entry() const { return array->entry(entryIndex); }
    int32_t pitch() const { return entry().note(noteIndex).harmonicLevel(); }
    int16_t noteId() const { return entry().note(noteIndex).noteId(); }
    bool SameNote(const VoiceNote& other) const {
        return array == other.array && entryIndex == other.entryIndex && noteIndex == other.noteIndex;
    }
};

/// One staff's tables and arrays of the current and the previous measure.
struct StaffState {
    LayerArrays current{};
    LayerArrays previous{};
    ScopedCellLayers lentPrevious{previous};  ///< the guards give the arrays back: current first
    ScopedCellLayers lentCurrent{current};
    std::unique_ptr<NInfo> table;
    std::unique_ptr<NInfo> previousTable;
    int32_t measure = 0;
};

std::optional<VoiceNote> NoteAt(const NInfo& table, const LayerArrays& arrays, int32_t item, int32_t voice,
                                int32_t measure) {
    if (item < 0 || item >= table.itemCount || voice < 0) {
        return std::nullopt;
    }
    const NInfoItem& at = table.items[static_cast<size_t>(item)];
    if (at.restsOnly != 0 || at.usedSlots == kNInfoEndMark || voice >= at.usedSlots || voice >= kNInfoSlots) {
        return std::nullopt;
    }
    const VoiceSlot& slot = at.slots[static_cast<size_t>(voice)];
    EntryArray* array = slot.layer < 4 ? arrays[slot.layer] : nullptr;
    if (array == nullptr || slot.entryIndex < 0 || slot.entryIndex >= array->count) {
        return std::nullopt;
    }
    const EntryView entry = array->entry(slot.entryIndex);
    if (!entry.isNote() || slot.noteIndex >= entry.notesHeld()) {
        return std::nullopt;
    }
    return VoiceNote{array, slot.entryIndex, slot.noteIndex, slot.layer, measure};
}

/// The note `back` items before item `item` of a voice, reaching into the previous measure.
std::optional<VoiceNote> PreviousNote(const StaffState& staff, int32_t item, int32_t voice, int32_t back) {
    const int32_t index = item - 1 - back;
    if (index >= 0) {
        return NoteAt(*staff.table, staff.current, index, voice, staff.measure);
    }
    if (staff.previousTable == nullptr || staff.previousTable->slotCount == 0) {
        return std::nullopt;
    }
    const NInfo& table = *staff.previousTable;
    return NoteAt(table, staff.previous, std::max(table.itemCount + index, 0), std::min(voice, table.slotCount - 1),
                  staff.measure - 1);
}

int32_t Sign(int32_t value) {
    return (value > 0) - (value < 0);
}

bool OnBeat(int32_t position, int32_t beat) {
    return beat > 0 && position % beat == 0;
}

void MarkEntry(const VoiceNote& note) {
    const EntryView entry = note.entry();
    entry.setMoreFlags(static_cast<uint16_t>(entry.moreFlags() | kEntryFindingMark));
}

class ParallelFinder {
public:
    ParallelFinder(TFMisc& context, const hostapi::SelectionRecord& region, std::vector<StaffState>& staves)
        : m_context(context), m_region(region), m_staves(staves) {}

    void CompareMeasure(int32_t beat) {
        m_beat = beat;
        const auto count = static_cast<int32_t>(m_staves.size());
        for (int32_t i = 0; i < count; ++i) {
            for (int32_t v = 0; v < m_staves[static_cast<size_t>(i)].table->slotCount; ++v) {
                for (int32_t j = 0; j < count; ++j) {
                    for (int32_t w = 0; w < m_staves[static_cast<size_t>(j)].table->slotCount; ++w) {
                        if (i != j || v != w) {
                            CompareVoices(i, v, j, w);
                        }
                    }
                }
            }
        }
    }

private:
    const StaffState& Staff(int32_t i) const { return m_staves[static_cast<size_t>(i)]; }

    void CompareVoices(int32_t i, int32_t v, int32_t j, int32_t w) {
        const NInfo& upper = *Staff(i).table;
        const NInfo& lower = *Staff(j).table;
        for (int32_t k = 0; k < upper.itemCount; ++k) {
            const std::optional<VoiceNote> a = NoteAt(upper, Staff(i).current, k, v, Staff(i).measure);
            if (!a) {
                continue;
            }
            const int32_t position = upper.items[static_cast<size_t>(k)].position;
            for (int32_t l = 0; l < lower.itemCount; ++l) {
                const NInfoItem& item = lower.items[static_cast<size_t>(l)];
                if (item.position != position) {
                    continue;
                }
                if (item.restsOnly != 0) {
                    break;
                }
                const std::optional<VoiceNote> b = NoteAt(lower, Staff(j).current, l, w, Staff(j).measure);
                if (b && b->pitch() <= a->pitch() && !a->SameNote(*b)) {
                    CheckPair(i, v, k, *a, j, w, l, *b, position);
                }
                break;
            }
        }
    }

    void CheckPair(int32_t i, int32_t v, int32_t k, const VoiceNote& a, int32_t j, int32_t w, int32_t l,
                   const VoiceNote& b, int32_t position) {
        const bool onBeat = OnBeat(position, m_beat);
        const std::string& wanted = RowText(m_context.Options, analyzerow::kIntervals);
        const bool hidden = RowOn(m_context.Options, analyzerow::kHidden);
        std::optional<int32_t> fixedA;
        std::optional<int32_t> fixedB;
        for (int32_t step = 0;; ++step) {
            std::optional<VoiceNote> previousB = PreviousNote(Staff(j), l, w, fixedB.value_or(step));
            std::optional<VoiceNote> previousA = PreviousNote(Staff(i), k, v, fixedA.value_or(step));
            if (previousB && previousB->pitch() == b.pitch()) {
                previousB.reset();
            }
            if (previousA && previousA->pitch() == a.pitch()) {
                previousA.reset();
            }
            if (!previousA || !previousB) {
                return;
            }
            if (!fixedA && OnBeat(previousA->entry().position(), m_beat)) {
                fixedA = step;
            }
            if (!fixedB && OnBeat(previousB->entry().position(), m_beat)) {
                fixedB = step;
            }
            const int32_t moveA = a.pitch() - previousA->pitch();
            const int32_t moveB = b.pitch() - previousB->pitch();
            bool similar = Sign(moveA) == Sign(moveB);
            const bool parallel = moveA == moveB;
            const int32_t interval = ParallelInterval(a.pitch(), b.pitch());
            if (!parallel && interval > 1 && std::abs(moveA) == 1) {
                similar = false;  // the upper voice moves by step
            }
            if (similar && (parallel || hidden) && wanted.find(std::to_string(interval)) != std::string::npos) {
                Mark(i, a, *previousA, j, b, *previousB);
                return;
            }
            if (!onBeat || (fixedA && fixedB)) {
                return;
            }
        }
    }

    void Mark(int32_t i, const VoiceNote& a, const VoiceNote& previousA, int32_t j, const VoiceNote& b,
              const VoiceNote& previousB) {
        const auto staffOf = [&](int32_t s) {
            return StaffOfSlot(static_cast<hostapi::StaffSlot>(m_region.firstStaff() + s), m_region.viewKey());
        };
        if (m_context.Environment.HostYear() >= 2000) {
            CreateNoteLine(staffOf(i), previousA.measure, previousA.entry().number(), a.measure, a.entry().number(),
                           previousA.noteId(), a.noteId());
            for (const VoiceNote* note : {&a, &b, &previousA, &previousB}) {
                MarkEntry(*note);
            }
            CreateNoteLine(staffOf(j), previousB.measure, previousB.entry().number(), b.measure, b.entry().number(),
                           previousB.noteId(), b.noteId());
        }
        if (m_context.Environment.HostYear() < 2000 || RowOn(m_context.Options, analyzerow::kNoteheads)) {
            SetNoteheadCharacter(a.entry(), a.noteIndex, kParallelNotehead);
            SetNoteheadCharacter(b.entry(), b.noteIndex, kParallelNotehead);
            SetNoteheadCharacter(previousB.entry(), previousB.noteIndex, kParallelNotehead);
            SetNoteheadCharacter(previousA.entry(), previousA.noteIndex, kParallelNotehead);
        }
        std::vector<EntryArray*> saved;
        for (const VoiceNote* note : {&a, &b, &previousA, &previousB}) {
            if (std::find(saved.begin(), saved.end(), note->array) == saved.end()) {
                SaveEntryArray(note->array);
                saved.push_back(note->array);
            }
        }
    }

    TFMisc& m_context;
    const hostapi::SelectionRecord& m_region;
    std::vector<StaffState>& m_staves;
    int32_t m_beat = 0;
};

}  // namespace

int32_t ParallelInterval(int32_t upper, int32_t lower) {
    const int32_t apart = upper - lower;
    const int32_t interval = std::abs(apart) % 7 + 1;
    return interval == 1 && apart > 6 ? 8 : interval;
}

void CreateNoteLine(int32_t staff, int32_t startMeasure, hostapi::EntryNumber startEntry, int32_t endMeasure,
                    hostapi::EntryNumber endEntry, int16_t startNote, int16_t endNote) {
    SmartShapeRecord record;
    uint8_t* bytes = record.data();
    hostapi::WriteI16(bytes, L::kKind, kLineKind);
    hostapi::WriteU16(bytes, L::kWord2, kLineWord2);
    for (const size_t offset : kLineTemplateOffsets) {
        hostapi::WriteU16(bytes, offset, kLineTemplateWord);
    }
    hostapi::WriteI16(bytes, kLineWord80, kLineWord80Value);
    hostapi::WriteI16(bytes, L::kStartStaff, static_cast<int16_t>(staff));
    hostapi::WriteI16(bytes, L::kStartMeasure, static_cast<int16_t>(startMeasure));
    hostapi::WriteI32(bytes, L::kStart, startEntry);
    hostapi::WriteI16(bytes, L::kEndStaff, static_cast<int16_t>(staff));
    hostapi::WriteI16(bytes, L::kEndMeasure, static_cast<int16_t>(endMeasure));
    hostapi::WriteI32(bytes, L::kEnd, endEntry);
    hostapi::WriteI16(bytes, L::kStartNote, startNote);
    hostapi::WriteI16(bytes, L::kEndNote, endNote);
    int32_t number = -1;
    if (!CreateSmartShapeRecord(number, record)) {
        return;
    }
    LinkShapeToMeasures(number, startMeasure, endMeasure);
    LinkShapeToEntries(number, startEntry, endEntry);
}

void SetNoteheadCharacter(hostapi::EntryView entry, int32_t noteIndex, uint16_t character) {
    const int16_t noteId = entry.note(noteIndex).noteId();
    Record10 record;
    int32_t inci = 0;
    const Tag tag = ByValueTag(kTagNotehead2001);
    if (FindRecordByValue(entry.number(), noteId, record, inci, tag)) {
        hostapi::WriteU16(record.data(), kNoteheadCharacter, character);
        SaveRecordByValue(entry.number(), record, inci, tag);
    } else {
        record = Record10{};
        hostapi::WriteI16(record.data(), hostapi::NoteheadLayout::kNoteId, noteId);
        hostapi::WriteU16(record.data(), kNoteheadCharacter, character);
        CreateRecordByValue(entry.number(), record, tag);
    }
    entry.setFlag(hostapi::kEntryNoteDetails, true);
}

bool AnalyzeStaffGroup(TFMisc& context) {
    if (context.Environment.Region() == nullptr) {
        return false;
    }
    const hostapi::SelectionRecord region = *context.Environment.Region();
    const int32_t count = region.lastStaff() - region.firstStaff() + 1;
    if (count > kAnalyzeMaxStaves) {
        ShowMessage(FreeText::SelectionContainsMoreThanMaximum, {std::to_string(kAnalyzeMaxStaves)});
        return false;
    }
    if (count < 1) {
        return false;
    }
    std::vector<StaffState> staves(static_cast<size_t>(count));
    const OptionArray& rows = context.Options;
    ParallelFinder finder(context, region, staves);
    bool stopped = false;
    for (int32_t measure = region.firstMeasure(); measure <= region.lastMeasure(); ++measure) {
        if (!EditBracketStep(context.EditBracket, 0, static_cast<hostapi::MeasureNumber>(measure))) {
            stopped = true;
            break;
        }
        EDTMeasureSpec measureSpec;
        const int32_t beat = LoadMeasureSpec(measure, measureSpec) ? measureSpec.beatDuration() : 0;
        for (int32_t s = 0; s < count; ++s) {
            StaffState& staff = staves[static_cast<size_t>(s)];
            staff.previous = staff.current;
            staff.current = {};
            // The table of two measures back takes this measure's items: FillNInfo sets every
            // member of the table (its counts, all items and the runs) before it fills it, so
            // nothing of the old measure is left in it.
            std::swap(staff.previousTable, staff.table);
            if (staff.table == nullptr) {
                staff.table = std::make_unique<NInfo>();
            }
            staff.measure = measure;
            const int32_t slot = region.firstStaff() + s;
            staff.lentCurrent.Load(region.viewKey(), static_cast<hostapi::MeasureNumber>(measure),
                                   static_cast<hostapi::StaffSlot>(slot));
            // Filling moves the entries after a grace note 1 EDU behind it, so that the table
            // reads them as events of their own; the entries get their positions back, so that a
            // cell saved with a finding's marks keeps its notes where they are written.
            const LayerPositions positions = EntryPositions(staff.current);
            const bool filled =
                FillNInfo(*staff.table, measure, slot, 0, kNoPosition, staff.current, "",
                          rows[analyzerow::kKeepVoices].value != 0, rows[analyzerow::kKeepLayers].value != 0,
                          rows[analyzerow::kMidMeasureChanges].value != 0, rows[analyzerow::kIgnoreHidden].value != 0);
            RestoreEntryPositions(staff.current, positions);
            if (!filled) {
                return false;  // the host's arrays go back to it with the staves
            }
        }
        finder.CompareMeasure(beat);
        for (StaffState& staff : staves) {
            staff.lentPrevious.Release();
        }
    }
    return !stopped;
}

}  // namespace orvex
