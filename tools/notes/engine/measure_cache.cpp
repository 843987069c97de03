#include "tools/notes/engine/measure_cache.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/module.h"

namespace orvex {
namespace {

using hostapi::ConstNoteView;
using hostapi::EntryArray;

int16_t HostKey(int32_t measure, hostapi::InstrumentKey staff, int16_t mode) {
    return CellKeyValue(measure, staff, mode);
}

/// The spelling a search compares with: the letter counted from middle C and the pitch, read
/// under the key of the note's own measure. Within one key this is the same as comparing the
/// stored displacement and alteration; across a key change it still tells two notes apart (E in
/// C major and F sharp in D major are stored alike).
struct Spelling {
    int32_t step;
    int32_t pitch;

    static Spelling Of(ConstNoteView note, int16_t key) {
        // A non-linear key reads as C major, as the host's pitches do.
        const int32_t tonic = static_cast<uint16_t>(key) >= 0x4000 ? 0 : KeyTonicStep(key);
        return {note.harmonicLevel() + tonic,
                HostOffers(&HostImports::NotePitch) ? NotePitchValue(note.data(), key) : note.alteration()};
    }
    bool operator==(const Spelling&) const = default;
};

/// The note of a chord at the start's place: the note at that index, or the last note of a
/// chord that has fewer. None for a rest or an entry without notes.
std::optional<hostapi::NoteView> NoteAtPlace(const EntryArray& array, int32_t index, int32_t place) {
    const hostapi::EntryView entry = array.entry(index);
    const int32_t held = entry.notesHeld();
    if (!entry.isNote() || held == 0) {
        return std::nullopt;
    }
    return entry.note(std::clamp(place, 0, held - 1));
}

/// The spelling of the start note; none when the start entry has no notes.
std::optional<Spelling> StartSpelling(const NoteSearchStart& start) {
    if (start.array == nullptr || start.entry < 0 || start.entry >= start.array->count) {
        return std::nullopt;
    }
    const auto note = NoteAtPlace(*start.array, start.entry, start.note);
    return note ? std::optional<Spelling>(Spelling::Of(*note, start.keyA)) : std::nullopt;
}

}  // namespace

// ---- TMeasure ----

TMeasure::TMeasure(ScopedEntryArray array, int16_t keyA, int16_t keyB, int32_t measure)
    : m_array(std::move(array)), m_keyA(keyA), m_keyB(keyB), m_measure(measure) {}

// ---- TMeasures ----

TMeasures::TMeasures(const RunEnvironment& environment, hostapi::InstrumentKey staff, hostapi::ViewKey regionWord,
                     hostapi::StaffSlot slot, hostapi::LayerIndex layer, int32_t first, int32_t last)
    : m_staff(staff), m_regionWord(regionWord), m_slot(slot), m_layer(layer), m_environment(environment) {
    if (first == 0 || last == 0) {
        return;
    }
    for (int32_t measure = first; measure <= last; ++measure) {
        std::unique_ptr<TMeasure> record = Load(measure);
        if (record != nullptr) {
            record->Slots().assign(static_cast<size_t>(std::max<int16_t>(record->Array()->count, 0)),
                                   TMeasure::WorkSlot{});
            m_measures.push_back(std::move(record));
        }
    }
}

TMeasures::~TMeasures() {
    // Every record gives its array back to the host as it goes.
    m_measures.clear();
    m_dropped.clear();
}

std::unique_ptr<TMeasure> TMeasures::Load(int32_t measure) const {
    if (measure < 1 || measure > INT16_MAX) {
        return nullptr;
    }
    ScopedEntryArray array(m_regionWord, m_slot, static_cast<hostapi::MeasureNumber>(measure), m_layer);
    if (!array) {
        return nullptr;
    }
    // Key B is read by the document option, as the walk reads it for its own cells, so that a
    // note reads the same whether the walk or the cache holds its measure.
    const int16_t keyB = HostKey(measure, m_staff, m_environment.DocumentOptionFlag());
    const int16_t keyA = HostKey(measure, m_staff, 0);
    return std::make_unique<TMeasure>(std::move(array), keyA, keyB, measure);
}

TMeasure* TMeasures::GetOrLoad(int32_t measure) {
    const auto place = std::lower_bound(m_measures.begin(), m_measures.end(), measure,
                                        [](const auto& record, int32_t m) { return record->Measure() < m; });
    if (place != m_measures.end() && (*place)->Measure() == measure) {
        return place->get();
    }
    std::unique_ptr<TMeasure> record = Load(measure);
    if (record == nullptr) {
        return nullptr;
    }
    // Requests rise in the forward cache and fall in the backward one: the record goes to one end
    // of the list, which stays in order either way.
    return m_measures.insert(place, std::move(record))->get();
}

void TMeasures::Drop(int32_t measure) {
    // The records are in measure order (see GetOrLoad).
    const auto it = std::lower_bound(m_measures.begin(), m_measures.end(), measure,
                                     [](const auto& record, int32_t m) { return record->Measure() < m; });
    if (it == m_measures.end() || (*it)->Measure() != measure) {
        return;
    }
    // A note handed out may still point into the record: it is released with the cache.
    m_dropped.push_back(std::move(*it));
    m_measures.erase(it);
}

std::vector<int32_t> TMeasures::Measures() const {
    std::vector<int32_t> measures;
    for (const auto& record : m_measures) {
        measures.push_back(record->Measure());
    }
    return measures;
}

// ---- Searches ----

namespace {

/// The note the search finds going `direction` (-1 back, +1 on) from the start, within the
/// measures 1 to `lastMeasure`: the second note that differs from the one before it (a repeated
/// spelling counts only with `allowRepeats`); the first is `nearest`. The measures passed over
/// before the nearest note leave the cache.
std::optional<FoundNote> NoteInDirection(TMeasures& measures, const NoteSearchStart& start, int32_t direction,
                                         int32_t lastMeasure, bool allowRepeats, std::optional<FoundNote>& nearest) {
    nearest.reset();
    if (start.array == nullptr) {
        return std::nullopt;
    }
    std::optional<Spelling> compare = StartSpelling(start);
    const EntryArray* array = start.array;
    int32_t measure = start.measure;
    int16_t keyA = start.keyA;
    int16_t keyB = start.keyB;
    int32_t index = start.entry;
    int32_t dropMeasure = 0;
    for (;;) {
        index += direction;
        while (direction < 0 ? index < 0 : index >= array->count) {
            measure += direction;
            if (direction < 0 ? measure < 1 : measure > lastMeasure) {
                return std::nullopt;
            }
            const TMeasure* record = measures.GetOrLoad(measure);
            if (record == nullptr) {
                return std::nullopt;
            }
            array = record->Array();
            keyA = record->KeyA();
            keyB = record->KeyB();
            index = direction < 0 ? array->count - 1 : 0;
        }
        const auto note = NoteAtPlace(*array, index, start.note);
        if (!note || (!allowRepeats && compare && Spelling::Of(*note, keyA) == *compare)) {
            continue;
        }
        if (!nearest) {
            nearest = FoundNote{*note, measure, keyA, keyB};
            compare = Spelling::Of(*note, keyA);
            dropMeasure = measure - direction;
            continue;
        }
        measures.Drop(dropMeasure);
        return FoundNote{*note, measure, keyA, keyB};
    }
}

}  // namespace

std::optional<FoundNote> PreviousNote(TMeasures& backward, const NoteSearchStart& start, bool allowRepeats,
                                      std::optional<FoundNote>& nearest) {
    return NoteInDirection(backward, start, -1, INT32_MAX, allowRepeats, nearest);
}

std::optional<FoundNote> NextNote(TNoteContext& context, const NoteSearchStart& start, int32_t lastMeasure,
                                  std::optional<FoundNote>& nearest) {
    return NoteInDirection(context.forward, start, 1, lastMeasure, false, nearest);
}

}  // namespace orvex
