// The measure entry cache of the entry walk: the entry arrays of the measures around the walk's
// current cell, for one staff and one layer, kept loaded while the walk moves on, so that a
// command can find the note before and the note after the current one across barlines.
//
// A cache asks the host for a measure's entries the first time it is needed and keeps them
// until the measure is dropped or the cache is destroyed; every array it loads it gives back
// through the host. A dropped measure stays held until the cache goes, because the note
// references handed out may point into it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/host/finxess_entries.h"
#include "core/run_environment.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/types.h"

namespace orvex {

/// One cached measure of a staff and layer: the host's entry array of the cell (owned; given
/// back when the record goes) and the cell's two key values, read once at load.
class TMeasure {
public:
    /// Twelve work values per entry, for callers that preload a range.
    using WorkSlot = std::array<int32_t, 12>;

    TMeasure(ScopedEntryArray array, int16_t keyA, int16_t keyB, int32_t measure);
    TMeasure(const TMeasure&) = delete;
    TMeasure& operator=(const TMeasure&) = delete;

    hostapi::EntryArray* Array() const { return m_array.Get(); }
    int16_t KeyA() const { return m_keyA; }  ///< the concert key (service 33, mode 0)
    int16_t KeyB() const { return m_keyB; }  ///< the key by the document option
    int32_t Measure() const { return m_measure; }
    std::vector<WorkSlot>& Slots() { return m_slots; }

private:
    ScopedEntryArray m_array;
    int16_t m_keyA;
    int16_t m_keyB;
    int32_t m_measure;
    std::vector<WorkSlot> m_slots;
};

/// The cache of one staff and one layer, its measures in ascending order.
class TMeasures {
public:
    /// With `first` and `last` both non-zero the measures first..last are loaded at once, each
    /// with one work slot per entry; the entry walk passes 0, 0 (an empty cache). The run's
    /// environment gives the document option by which the cells' keys are read.
    TMeasures(const RunEnvironment& environment, hostapi::InstrumentKey staff, hostapi::ViewKey regionWord,
              hostapi::StaffSlot slot, hostapi::LayerIndex layer, int32_t first = 0, int32_t last = 0);
    TMeasures(const TMeasures&) = delete;
    TMeasures& operator=(const TMeasures&) = delete;
    ~TMeasures();

    /// The record of the measure, loaded (and inserted in order) when the cache lacks it; none
    /// when the host gives no entry array for the cell.
    TMeasure* GetOrLoad(int32_t measure);
    /// Takes the measure out of the cache (no error when it is not there); it stays held until
    /// the cache is destroyed.
    void Drop(int32_t measure);

    /// The measures held in the cache, in order (for tests and diagnostics).
    std::vector<int32_t> Measures() const;

private:
    std::unique_ptr<TMeasure> Load(int32_t measure) const;

    std::vector<std::unique_ptr<TMeasure>> m_measures;
    hostapi::InstrumentKey m_staff;
    hostapi::ViewKey m_regionWord;
    hostapi::StaffSlot m_slot;
    hostapi::LayerIndex m_layer;
    RunEnvironment m_environment;
    std::vector<std::unique_ptr<TMeasure>> m_dropped;
};

/// The two caches the entry walk keeps per staff and layer: the backward cache for the search of
/// earlier notes, the forward cache for later ones. The forward cache goes first when the pair
/// is destroyed.
struct TNoteContext {
    TNoteContext(const RunEnvironment& environment, hostapi::InstrumentKey staff, hostapi::ViewKey regionWord,
                 hostapi::StaffSlot slot, hostapi::LayerIndex layer)
        : backward(environment, staff, regionWord, slot, layer), forward(environment, staff, regionWord, slot, layer) {}

    TMeasures backward;
    TMeasures forward;
};

/// A note found by a search: the note inside a cached or the caller's entry array, the measure
/// it lies in and that measure's key values (each found note carries the keys of its own
/// measure, so that a key change between two found notes reads each correctly).
struct FoundNote {
    hostapi::NoteView note;
    int32_t measure;
    int16_t keyA;
    int16_t keyB;
};

/// Where a search starts: the caller's entry array of the current cell, the entry and the note
/// index in it, the cell's measure and its key values.
struct NoteSearchStart {
    hostapi::EntryArray* array;
    int32_t entry;
    int32_t note;
    int32_t measure;
    int16_t keyA;
    int16_t keyB;
};

/// The second-nearest earlier note (the nearest goes to `nearest`): the entries before the
/// start, back across barlines through the backward cache, rests and empty measures skipped;
/// of a chord the note at the start's note index, or its last note when it has fewer. Unless
/// repeats are allowed, a note spelled like the one compared with (the start note, then the
/// nearest) is passed over. Measure 0 or a measure the host cannot load ends the search.
std::optional<FoundNote> PreviousNote(TMeasures& backward, const NoteSearchStart& start, bool allowRepeats,
                                      std::optional<FoundNote>& nearest);
/// The mirror image towards later notes through the context's forward cache; repeats are always
/// passed over, and a measure after `lastMeasure` (the document's last) ends the search.
std::optional<FoundNote> NextNote(TNoteContext& context, const NoteSearchStart& start, int32_t lastMeasure,
                                  std::optional<FoundNote>& nearest);

}  // namespace orvex
