#include "tools/notes/combine.h"

#include <algorithm>
#include <array>

#include "core/free_texts.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "tools/notes/entry_fields.h"
#include "tools/notes/notes_services.h"

namespace orvex {
namespace {

using hostapi::EntryArray;
using hostapi::EntryView;

constexpr uint32_t kTieBits = hostapi::kNoteTieStart | hostapi::kNoteTieEnd;

/// Where the walk of one staff stands: the first layer of a measure and an entry of it.
class CombineCursor {
public:
    CombineCursor(hostapi::ViewKey view, hostapi::StaffSlot slot, int32_t start)
        : measure(start), m_view(view), m_slot(slot) {}
    CombineCursor(const CombineCursor&) = delete;
    CombineCursor& operator=(const CombineCursor&) = delete;

    bool Loaded() const { return static_cast<bool>(array); }
    bool PastEnd() const { return array && index >= array->count; }
    bool Empty() const { return array && array->count == 0; }
    EntryView Entry() const { return array->entry(index); }
    void SetPastEnd() {
        if (array) {
            index = std::max<int32_t>(index, array->count);
        }
    }
    bool Load() {
        array.Load(m_view, m_slot, static_cast<hostapi::MeasureNumber>(measure), 0);
        key = CellKeyValue(measure, StaffOfSlot(m_slot, m_view), 0);
        index = 0;
        changed = false;
        return static_cast<bool>(array);
    }
    /// Frees the array and goes on to the next measure; `save` writes a changed array back first.
    void NextMeasure(bool save) {
        if (save && changed) {
            SaveEntryArray(array.Get());
        }
        Release();
        ++measure;
    }
    void Release() { array.Release(); }

    ScopedEntryArray array;
    int32_t index = 0;
    bool changed = false;  ///< the rhythm's array received notes
    int32_t measure;
    int16_t key = 0;  ///< the concert key of the loaded measure

private:
    hostapi::ViewKey m_view;
    hostapi::StaffSlot m_slot;
};

/// Walks the two staves in step over the measures of the region; false when a cell cannot be
/// loaded.
bool CombineStaves(TFMisc& context, const hostapi::SelectionRecord& region, hostapi::StaffSlot pitchSlot,
                   hostapi::StaffSlot rhythmSlot) {
    const bool replace = RowOn(context.Options, COMBINE_REPLACE);
    const bool perMeasure = RowOn(context.Options, COMBINE_PER_MEASURE);
    const bool skipRests = RowOn(context.Options, COMBINE_SKIP_RESTS);
    const int32_t last = region.lastMeasure();
    CombineCursor pitch(region.viewKey(), pitchSlot, region.firstMeasure());
    CombineCursor rhythm(region.viewKey(), rhythmSlot, region.firstMeasure());
    while (pitch.measure <= last && rhythm.measure <= last) {
        if (perMeasure) {
            // Each measure pairs its own entries: what one staff has left over is dropped.
            if (rhythm.PastEnd()) {
                pitch.SetPastEnd();
            }
            if (pitch.PastEnd()) {
                rhythm.SetPastEnd();
            }
        }
        if (pitch.PastEnd() || rhythm.PastEnd()) {
            if (pitch.PastEnd()) {
                pitch.NextMeasure(false);
            }
            if (rhythm.PastEnd()) {
                rhythm.NextMeasure(true);
            }
            if (perMeasure) {
                pitch.measure = rhythm.measure = std::max(pitch.measure, rhythm.measure);
            }
            continue;  // a cursor that left the region loads nothing more
        }
        for (CombineCursor* cursor : {&pitch, &rhythm}) {
            if (!cursor->Loaded() && !cursor->Load()) {
                return false;  // the other cursor's array is released unsaved
            }
        }
        // An empty cell moves only its own cursor on: an empty rhythm measure uses up no pitch,
        // an empty pitch measure no rhythm entry.
        if (pitch.Empty() || rhythm.Empty()) {
            pitch.index += pitch.Empty() ? 1 : 0;
            rhythm.index += rhythm.Empty() ? 1 : 0;
            continue;
        }
        const EntryView p = pitch.Entry();
        const EntryView r = rhythm.Entry();
        const bool skipped =
            (skipRests && !p.isNote()) || (p.notesHeld() > 0 && (p.note(0).flags() & hostapi::kNoteTieEnd) != 0);
        if (!skipped && r.isNote()) {
            const uint32_t tie = CombineEntry(r, p, replace, pitch.key, rhythm.key);
            rhythm.changed = true;
            if ((tie & hostapi::kNoteTieStart) == 0) {
                ++pitch.index;  // a tied rhythm chain takes the same pitches for every tied entry
            }
        }
        if (skipped) {
            ++pitch.index;
        } else {
            ++rhythm.index;
        }
    }
    // The region's end reached by the pitch staff first: the rhythm staff's current measure
    // keeps what it received.
    if (rhythm.Loaded() && rhythm.changed) {
        SaveEntryArray(rhythm.array.Get());
    }
    return true;
}

}  // namespace

std::vector<hostapi::StaffSlot> CombineStaffChoice(const std::vector<int32_t>& chosen, hostapi::StaffSlot firstSlot,
                                                   hostapi::StaffSlot lastSlot, int32_t slotCount) {
    std::vector<hostapi::StaffSlot> slots;
    for (size_t i = 0; i < chosen.size(); ++i) {
        if (chosen[i] != 0) {
            slots.push_back(static_cast<hostapi::StaffSlot>(i + 1));
        }
    }
    if (!slots.empty()) {
        return slots;
    }
    hostapi::StaffSlot last = lastSlot;
    if (lastSlot - firstSlot + 1 > 3 && firstSlot <= 1 && lastSlot >= slotCount) {
        last = static_cast<hostapi::StaffSlot>(firstSlot + 1);
    }
    for (int32_t slot = std::max<int32_t>(firstSlot, 1); slot <= last; ++slot) {
        slots.push_back(static_cast<hostapi::StaffSlot>(slot));
    }
    return slots;
}

void RespellUnderKey(hostapi::NoteView note, int16_t from, int16_t to) {
    if (from == to) {
        return;
    }
    int32_t alteration = 0;
    const int32_t step = NotePitchStep(note.data(), from, from, false, nullptr, &alteration);
    note.setHarmonicLevel(static_cast<int16_t>(step - KeyTonicStep(to)));
    note.setAlteration(0);
    int32_t keyAlteration = 0;
    NotePitchStep(note.data(), to, to, false, nullptr, &keyAlteration);
    note.setAlteration(static_cast<int16_t>(alteration - keyAlteration));
}

uint32_t CombineEntry(EntryView rhythm, EntryView pitch, bool replace, int16_t pitchKey, int16_t rhythmKey) {
    const int32_t pitchNotes = pitch.isNote() ? pitch.notesHeld() : 0;
    if (!pitch.isNote()) {
        pitch.setNoteCount(0);  // only in the loaded pitch array, which is never saved
    }
    const uint32_t tie = rhythm.notesHeld() > 0 ? rhythm.note(0).flags() & kTieBits : 0;
    const int32_t kept = replace ? 0 : rhythm.notesHeld();
    const int32_t total = std::min<int32_t>(hostapi::EntryLayout::kMaxNotes, kept + pitchNotes);
    for (int32_t i = kept; i < total; ++i) {
        const hostapi::NoteView to = rhythm.note(i);
        std::copy_n(pitch.note(i - kept).data(), hostapi::NoteLayout::kSize, to.data());
        to.setFlags((to.flags() & ~kTieBits) | tie);
        RespellUnderKey(to, pitchKey, rhythmKey);
        // A note id the entry's kept notes use already is left to the host to give anew, so that
        // the note records of the kept note stay with it.
        for (int32_t k = 0; k < kept; ++k) {
            if (rhythm.note(k).noteId() == to.noteId()) {
                to.setNoteId(0);
                break;
            }
        }
    }
    rhythm.setNoteCount(static_cast<int16_t>(total));
    if (total == 0) {
        rhythm.setFlag(hostapi::kEntryNote, false);
    }
    SetMoreFlag(rhythm, kEntryMoreNotesChanged);
    return tie;
}

bool RunCombineRhythmsAndPitches(TFMisc& context) {
    const hostapi::SelectionRecord* region = context.Environment.Region();
    if (region == nullptr) {
        return false;
    }
    int32_t slotCount = 0;
    while (slotCount < INT16_MAX && StaffOfSlot(slotCount + 1, region->viewKey()) != 0) {
        ++slotCount;
    }
    const std::vector<hostapi::StaffSlot> slots =
        CombineStaffChoice(context.ChosenItems, region->firstStaff(), region->lastStaff(), slotCount);
    // The user is told also when fewer than two staves are chosen: the command does nothing then.
    if (slots.size() != 2) {
        ShowMessage(FreeText::Select0Or2Staves);
        return false;
    }
    const bool pitchesOnTop = RowOn(context.Options, COMBINE_PITCHES_ON_TOP);
    return CombineStaves(context, *region, pitchesOnTop ? slots[0] : slots[1], pitchesOnTop ? slots[1] : slots[0]);
}

}  // namespace orvex
