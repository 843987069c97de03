// Finxess over entry arrays and cells: the host lends an entry array for one cell (staff,
// measure, layer) between a load and a release; these operations move runs of entries between
// arrays, clean the layers of a cell before a merge, find and replace one entry across the
// layers of a cell, place entries vertically, answer clefs and pitch steps, scan a region's
// pitches, and do duration arithmetic. None of them keeps an array beyond its own call: every
// array an operation loads it also releases.
//
// Every host call passes the interface version 0x05000005; a service the host does not offer
// counts as a failed call.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/types.h"

namespace orvex {

using hostapi::Edu;
using hostapi::EntryArray;
using hostapi::EntryNumber;
using hostapi::InstrumentKey;
using hostapi::LayerIndex;
using hostapi::MeasureNumber;
using hostapi::StaffSlot;
using hostapi::ViewKey;

/// The four layer arrays of a cell, any of them null.
using LayerArrays = std::array<EntryArray*, 4>;

// ---- The host's entry array services (2-6) ----
/// Service 2: the array of a cell, nullptr when there is none (flag 1: an existing cell always
/// gives one; flag 0: none for an empty layer).
EntryArray* LoadEntryArray(ViewKey view, StaffSlot staff, MeasureNumber measure, LayerIndex layer, int16_t flag = 1);
bool SaveEntryArray(EntryArray* array);
bool ReleaseEntryArray(EntryArray* array);
/// Releases the arrays a cell holds, layer 1 first, and leaves each layer none.
void ReleaseCellLayers(LayerArrays& layers);

/// An entry array the host lends, held for a scope: released when the holder goes, or before
/// by Release. None (nullptr) when the host gave none.
class ScopedEntryArray {
public:
    ScopedEntryArray() = default;
    /// Borrows the array of a cell (LoadEntryArray).
    ScopedEntryArray(ViewKey view, StaffSlot staff, MeasureNumber measure, LayerIndex layer, int16_t flag = 1)
        : m_array(LoadEntryArray(view, staff, measure, layer, flag)) {}
    ~ScopedEntryArray() { Release(); }
    ScopedEntryArray(const ScopedEntryArray&) = delete;
    ScopedEntryArray& operator=(const ScopedEntryArray&) = delete;
    /// The holder takes the other's array, which then holds none.
    ScopedEntryArray(ScopedEntryArray&& other) noexcept : m_array(std::exchange(other.m_array, nullptr)) {}
    /// Gives back the array held, then takes the other's.
    ScopedEntryArray& operator=(ScopedEntryArray&& other);

    EntryArray* Get() const { return m_array; }
    EntryArray* operator->() const { return m_array; }
    EntryArray& operator*() const { return *m_array; }
    explicit operator bool() const { return m_array != nullptr; }
    /// Gives the array back now; the holder then holds none.
    void Release();
    /// Gives back the array held, then borrows the array of a cell (LoadEntryArray).
    void Load(ViewKey view, StaffSlot staff, MeasureNumber measure, LayerIndex layer, int16_t flag = 1);

private:
    EntryArray* m_array = nullptr;
};

/// The layer arrays of cells the caller keeps (one cell or several), given back when the guard
/// goes or before by Release: cell by cell in order, each as ReleaseCellLayers does. Arrays the
/// caller released and set to none are skipped.
class ScopedCellLayers {
public:
    explicit ScopedCellLayers(LayerArrays& layers) : m_cells(&layers, 1) {}
    explicit ScopedCellLayers(std::span<LayerArrays> cells) : m_cells(cells) {}
    ~ScopedCellLayers() { Release(); }
    ScopedCellLayers(const ScopedCellLayers&) = delete;
    ScopedCellLayers& operator=(const ScopedCellLayers&) = delete;

    /// Gives back what cell `cell` of the guard holds, then borrows the four layer arrays of a cell
    /// (LoadEntryArray, flag 1) into it; a layer whose number (1-4) occurs in `ignoredLayers` stays none. Answers how
    /// many of the layers hold entries.
    int32_t Load(ViewKey view, MeasureNumber measure, StaffSlot staff, std::string_view ignoredLayers = "",
                 size_t cell = 0);
    /// The arrays of cell `cell` of the guard.
    LayerArrays& Cell(size_t cell = 0) const { return m_cells[cell]; }
    size_t CellCount() const { return m_cells.size(); }
    /// Releases every array the cells hold now; the cells may be loaded again afterwards.
    void Release();

private:
    std::span<LayerArrays> m_cells;
};
/// Whether a layer of a cell holds entries (its array borrowed and given back; flag as LoadEntryArray takes it).
bool LayerHoldsEntries(ViewKey view, StaffSlot staff, MeasureNumber measure, LayerIndex layer, int16_t flag = 1);
/// Inserts `count` blank entries before `index`; the array's entry address may change.
bool InsertEntries(EntryArray* array, int32_t index, int32_t count);
/// Deletes `count` entries from `index` on (ordinal 6).
bool FrameEntriesRemove(EntryArray* array, int32_t index, int32_t count);

// ---- Runs and layers ----
inline constexpr int32_t kNotCovered = 0;
inline constexpr int32_t kCoveredByEntry = 1;
inline constexpr int32_t kCoveredByMarked = 2;  ///< by an entry marked 0x8000 (copied away / hidden)

/// Which entry covers a position (position <= p < its end): kNotCovered, kCoveredByEntry or
/// kCoveredByMarked; `index` receives the entry's index when one covers it. The scan stops at
/// the first entry that starts after the position.
int32_t FramePositionLookup(const EntryArray* array, Edu position, int32_t* index);
/// Replaces the runs of marked target entries that the source covers with the source's entries;
/// each source entry moved stays behind as a marked rest. False, with nothing changed, when
/// either array is empty or the source has a real entry under an unmarked target entry.
bool FrameRunReplace(EntryArray* target, EntryArray* source);
/// Prepares the layers of a cell for a merge in [start, end): removes voice 2 (with
/// `cleanVoice2`), empties layers of marked entries only, drops entries that overlap and fills
/// gaps with blank rests. Layers whose number (1-4) occurs in `layersToSkip` are left alone.
/// False when a layer cannot be cleaned (the caller then leaves the cell unchanged).
bool FrameLayersClean(const LayerArrays& layers, Edu start, Edu end, bool cleanVoice2, std::string_view layersToSkip);
/// Calls the (empty) layer hook for each present layer that holds entries; it has no effect.
void LayerFramesVisit(const LayerArrays& layers);

// ---- Entry links ('eteE', 52 bytes: i32 previous entry at byte 4, i32 next entry at byte 8) ----
/// Points each entry's record at the entry after it; a non-zero `entry` that is not in the
/// array becomes the next entry of the array's last entry.
void EntryLinksRefresh(const EntryArray* array, EntryNumber entry);
/// Sets the next entry of `entry`'s record when the record exists, `next` is not 0 and the
/// record names another; answers whether it saved.
bool EntryLinkSet(EntryNumber entry, EntryNumber next);
/// When the record of `recordKey` names `entry` as its previous entry, points `entry` at it.
bool EntryLinkFollow(EntryNumber entry, EntryNumber recordKey);

// ---- One entry across the layers of a cell ----
inline constexpr int32_t kReplaceByNumber = 0;
inline constexpr int32_t kReplaceNearestPosition = 1;

/// Finds an entry in layers 0-3 of a cell: by number (mode 0) or nearest to a position
/// (mode 1). With `writeBack` the 146 bytes of `buffer` replace it and the array is saved;
/// otherwise it is copied into `buffer`, and `stemUp` (the entry's stem direction, its beam
/// group's placed by `instrument` and `keyValue`) and `isShort` (shorter than a quarter and
/// not ending a beam) are answered. `layer` receives the layer where it was found and
/// `moreLayers` whether another layer of the cell holds entries. Each out pointer may be null.
/// False when no layer holds the entry.
bool EntryReplace(ViewKey view, StaffSlot staff, MeasureNumber measure, int32_t entryOrPosition, uint8_t* buffer,
                  LayerIndex* layer, bool* moreLayers, bool writeBack, bool* stemUp, InstrumentKey instrument,
                  int16_t keyValue, bool* isShort, int32_t mode);

/// The layer settings of the entry tools, four bytes per layer ('pfLA' records 0-3); byte 3
/// holds the stem rule (hostapi::LayerSettingsLayout).
/// Loads the table from the document's 'pfLA' records; a missing record gives zeros. Answers
/// whether all four were there.
bool LoadLayerSettingsTable();

// ---- Vertical positions and clefs ----
/// EVPU from the top staff line of the entry's top (or bottom) note, 12 a staff step; a rest
/// sits at 12 x its staff record's rest offset - 48.
hostapi::Evpu EntryVerticalPosition(InstrumentKey instrument, MeasureNumber measure, const uint8_t* entry,
                                    int16_t keyValue, bool useTransposition, int16_t secondKey, bool topNote);
/// The same for an entry found by number in layers 0-3 of the cell; 0 (and position 0) when not
/// found. The cell's key comes from the host.
hostapi::Evpu EntryVerticalPositionById(InstrumentKey instrument, MeasureNumber measure, EntryNumber entry,
                                        bool useTransposition, Edu* position, bool topNote);
/// The clef at a position of a cell: the staff record's alternative clef when asked and in use,
/// else the latest cell clef record at or before the measure (its change list when it has one),
/// else the staff record's own clef. `staffSpec` may be null (66 bytes otherwise).
int32_t ClefAt(InstrumentKey instrument, MeasureNumber measure, Edu position, bool useStaffSpec,
               const uint8_t* staffSpec);
/// Staff steps of middle C below the top line for a clef, from the document's clef definitions
/// of the host year; -10 when the definition is missing.
int32_t ClefMiddleLine(int32_t clef);
int32_t ClefOffsetAt(InstrumentKey instrument, MeasureNumber measure, Edu position, bool useStaffSpec,
                     const uint8_t* staffSpec);

// ---- Pitch steps ----
/// t(k) = (signed low byte x 4, + 5 for minor) mod 7, non-negative.
int32_t KeyTonicStep(int16_t key);
/// The note's absolute diatonic step (0 = middle C); `alteration` (when given) receives its
/// chromatic alteration in -5..6. `staffSpec` may be null (66 bytes otherwise).
int32_t NotePitchStep(const uint8_t* note, int16_t key, int16_t secondKey, bool useTransposition,
                      const uint8_t* staffSpec, int32_t* alteration);
/// NotePitchStep of note `noteIndex` of an entry (-1: the top note); 0 for a note it lacks.
int32_t EntryNoteStep(const uint8_t* entry, int32_t noteIndex, int16_t key, int16_t secondKey, bool useTransposition,
                      const uint8_t* staffSpec, int32_t* alteration);

// ---- Pitch statistics ----
struct PitchStats {
    int32_t largestChordSum = 0;  ///< over the cells: the sum over layers of the largest chord
    int32_t lowest = 127;
    int32_t highest = 0;
    int32_t bandLow = 0;  ///< the central band holding more than 90% of the notes
    int32_t bandHigh = 0;
    int32_t sum = 0;
    int32_t count = 0;
    int32_t mean = 0;
    int32_t lastTop = 0;  ///< the top note of the last note entry
};
/// Scans the note entries of a region (those inside its start and end positions).
void RegionPitchStats(const hostapi::SelectionRecord& region, PitchStats& stats);

// ---- Durations ----
int32_t DotCount(Edu duration);
Edu PowerOfTwoFloor(Edu duration);
/// unit = the largest power of two not above the duration, at most 2048, halved until it
/// divides the duration; count = duration / unit. 0 and 0 for a duration below 1.
void DurationSplit(Edu duration, int32_t& count, Edu& unit);
int32_t IntAbs(int32_t value);

// ---- Small services ----
/// Compares two packed cell keys of four 16-bit words.
bool CellKeyEquals(const int16_t* a, const int16_t* b);
/// Among an entry's first 20 records of a tag (30 bytes each) the first whose first word is
/// `value` (any for -1): clears flag bits 0x001 and 0x800 of its word at byte 8 and saves it
/// when one was set. Answers whether it saved.
bool EntryRecordClearFlags(hostapi::Tag tag, EntryNumber entry, int16_t value);

}  // namespace orvex
