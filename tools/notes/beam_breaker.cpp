// The secondary beam breaker: the walk over the selection and the division of beam groups.
#include "tools/notes/beam_breaker.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/host_probes.h"
#include "core/module.h"
#include "core/run_services.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/entry_records.h"
#include "tools/notes/engine/entry_engine.h"

namespace orvex {

namespace {

using hostapi::Edu;
using hostapi::EntryArray;
using hostapi::EntryView;

constexpr uint32_t kSecondaryBreak = 0x00000400;
/// An entry with this flag is not taken as the end of a half group.
constexpr uint32_t kNotHalfGroupEnd = 0x00800000;
constexpr uint8_t kIrregularMeterBits = 0xC0;
constexpr Edu kBeat = 1024;
constexpr Edu kHalfBeat = 512;
/// Entries this close to a break position are break candidates.
constexpr Edu kBreakTolerance = 8;
constexpr int32_t kMaxDivisionDepth = 11;
constexpr int32_t kTupletRecords = hostapi::TupletLayout::kMaxPerEntry;
constexpr size_t kTupletNotes = hostapi::TupletLayout::kNotes / 2;
constexpr size_t kTupletUnit = hostapi::TupletLayout::kNoteUnit / 2;
constexpr size_t kTupletReferenceNumber = hostapi::TupletLayout::kReference / 2;
constexpr size_t kTupletReferenceUnit = hostapi::TupletLayout::kReferenceUnit / 2;
constexpr size_t kBreakLevels = 9;

// clang-format off
constexpr std::array<int32_t, 33> kDefaultTupletParts = {
    0, 0, 2, 3, 4, 5, 0, 7, 2, 3, 2, 0, 0, 0, 2, 3, 4, 0, 6, 0, 4, 3, 2, 0, 6, 5, 2, 0, 4, 0, 3, 0, 8,
};
// clang-format on

struct BeamBreakerUnit {
    /// Nesting depth of divisions over the whole run.
    int32_t divisionDepth = 0;
};

BeamBreakerUnit& BeamBreakerState() {
    return UnitState<BeamBreakerUnit>();
}

struct DepthGuard {
    DepthGuard() { ++BeamBreakerState().divisionDepth; }
    ~DepthGuard() { --BeamBreakerState().divisionDepth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

/// One entry array under work.
class ArrayBreaker {
public:
    ArrayBreaker(BeamBreakOptions& options, EntryArray& array) : m_options(options), m_array(array) {}

    bool Process(Edu from, Edu to);

private:
    EntryView At(int32_t i) const { return m_array.entry(i); }
    bool IsNote(int32_t i) const { return At(i).has(hostapi::kEntryNote); }
    bool HasBeamStart(int32_t i) const { return At(i).has(hostapi::kEntryBeamStart); }
    bool Agrees(int32_t i) const { return At(i).duration() == At(i).actualDuration(); }
    void SetBeamStart(int32_t i) {
        if (i >= 0 && i < m_array.count && !HasBeamStart(i)) {
            At(i).setFlag(hostapi::kEntryBeamStart, true);
            m_changed = true;
        }
    }
    bool EveryBeatDecision() const;
    void SimplifyRests(int32_t i);
    void SplitGroup(int32_t first, int32_t count, int32_t longest, int32_t shortest);
    bool Divide(int32_t mode, int32_t first, int32_t count, int32_t longest, int32_t shortest);
    bool Candidate(int32_t e, int32_t parts, int32_t first, int32_t last, int32_t longest, Edu partLength,
                   bool pattern);
    bool DivideHalf(int32_t first, int32_t last);
    void WriteBreak(int32_t e, int32_t longest, bool nested);

    BeamBreakOptions& m_options;
    EntryArray& m_array;
    bool m_changed = false;
    bool m_found = false;  ///< the result of the most recent forward rest check
};

bool ArrayBreaker::EveryBeatDecision() const {
    bool everyBeat = m_options.onlyShortNotes == 0 && m_options.oddRests == 0;
    if (m_options.breakPrimary == 0 || m_options.wholeMeasure == 0 || everyBeat) {
        return everyBeat;
    }
    for (int32_t i = 0; i < m_array.count; ++i) {
        const Edu actual = At(i).actualDuration();
        if ((m_options.onlyShortNotes != 0 && actual < m_options.shortLimit) ||
            (m_options.oddRests != 0 && !IsNote(i) && m_options.beatLength > 0 && actual % m_options.beatLength != 0)) {
            return true;
        }
    }
    return false;
}

void ArrayBreaker::SimplifyRests(int32_t i) {
    const int32_t n = m_array.count;
    const EntryView entry = At(i);
    if (m_options.breakAtHalfBeatRest != 0 && IsNote(i) && entry.position() % kBeat == kHalfBeat && i > 0 &&
        !IsNote(i - 1)) {
        SetBeamStart(i);
        SetBeamStart(i - 1);
    }
    if (m_options.unbeamRestBeats != 0 && !IsNote(i)) {
        int32_t start = i;
        while (start > 0 && At(start).position() % kBeat != 0) {
            --start;
        }
        // Up to the next entry on a beat: a rest after a note held over the beat is reached too.
        for (int32_t j = start; j < n && (j == start || At(j).position() % kBeat != 0); ++j) {
            if (!IsNote(j) || (m_options.beamRestsToEighths != 0 && At(j).position() % kBeat == kHalfBeat)) {
                SetBeamStart(j);
            }
        }
    }
    if (m_options.simplifyRests == 0) {
        return;
    }
    // Forward: a beamed rest whose beam reaches no further rest within its beat is cut off.
    if (!IsNote(i) && HasBeamStart(i) && entry.actualDuration() < kBeat && Agrees(i) && i < n - 1) {
        m_found = false;
        for (int32_t j = i + 1; j < n; ++j) {
            if (HasBeamStart(j) || At(j).position() % kBeat == 0) {
                break;
            }
            if (!IsNote(j)) {
                m_found = true;
                break;
            }
        }
        if (!m_found) {
            SetBeamStart(i + 1);
        }
    }
    // Backward: a rest ending a beat after a run of equal notes from the beat's (or the beam's) start
    // leaves the beam; after notes of unequal values or another rest it keeps it.
    if (!m_found && !IsNote(i) && !HasBeamStart(i) && i > 0 && entry.actualDuration() < kBeat && Agrees(i) &&
        entry.end() % kBeat == 0) {
        bool found = false;
        for (int32_t j = i - 1;; --j) {
            if (j == 0 || HasBeamStart(j) || At(j).position() % kBeat == 0) {
                break;
            }
            if (!IsNote(j) || At(j).actualDuration() != At(j - 1).actualDuration()) {
                found = true;
                break;
            }
        }
        if (!found) {
            SetBeamStart(i);
        }
    }
}

bool ArrayBreaker::Process(Edu from, Edu to) {
    const int32_t n = m_array.count;
    const bool everyBeat = EveryBeatDecision();
    const Edu measureBeat = m_options.measure.beatDuration();
    bool pending = false;
    int32_t lastBeatEntry = 0;
    int32_t groupFirst = -1;
    int32_t longest = 0;
    int32_t shortest = 0;  // 0 = none yet
    int32_t count = 0;
    for (int32_t i = 0; i < n; ++i) {
        const EntryView entry = At(i);
        const Edu position = entry.position();
        if (position == 0) {
            groupFirst = -1;
            longest = shortest = count = 0;
        }
        if (m_options.unbeamRests != 0 && !IsNote(i) && !HasBeamStart(i)) {
            SetBeamStart(i);
            SetBeamStart(i + 1);
        }
        if (m_options.breakPrimary != 0 && m_options.beatLength > 0) {
            if (position % m_options.beatLength == 0) {
                if (pending || everyBeat) {
                    SetBeamStart(i);
                }
                pending = false;
                lastBeatEntry = i;
            }
            if (!pending &&
                ((m_options.onlyShortNotes != 0 && entry.actualDuration() < m_options.shortLimit) ||
                 (m_options.oddRests != 0 && !IsNote(i) && entry.actualDuration() % m_options.beatLength != 0))) {
                pending = true;
                SetBeamStart(lastBeatEntry);
            }
        }
        if (position < from || position > to) {
            continue;
        }
        if (m_options.restsInBeamGroups != 0) {
            SimplifyRests(i);
        }
        if (m_options.breakSecondary == 0) {
            continue;
        }
        if (m_options.removeOldBreaks != 0 && entry.has(kSecondaryBreak)) {
            entry.setFlag(kSecondaryBreak, false);
            DeleteEntryDetailEdsB(entry.number());
            m_changed = true;
        }
        const bool onBeat = measureBeat > 0 && position % measureBeat == 0;
        if (((HasBeamStart(i) || entry.has(kSecondaryBreak)) && (IsNote(i) || onBeat)) ||
            entry.duration() > kHalfBeat) {
            SplitGroup(groupFirst, count, longest, shortest);
            groupFirst = i;
            longest = shortest = entry.actualDuration();
            count = 0;
        }
        longest = std::max<int32_t>(longest, entry.duration());
        if (entry.duration() != 0 && (shortest == 0 || entry.duration() < shortest)) {
            shortest = entry.duration();
        }
        ++count;
    }
    if (m_options.breakSecondary != 0) {
        SplitGroup(groupFirst, count, longest, shortest);
    }
    return m_changed;
}

void ArrayBreaker::SplitGroup(int32_t first, int32_t count, int32_t longest, int32_t shortest) {
    if (first < 0 || count <= 0) {
        return;
    }
    if (Divide(0, first, count, longest, shortest)) {
        return;
    }
    const Edu firstPosition = At(first).position();
    for (Edu d = m_options.measure.beatDuration(); d > 0 && d >= 4 * shortest; d /= 2) {
        int32_t start = first;
        while (start > 0 && !IsNote(start - 1) && At(start - 1).position() / d == firstPosition / d &&
               At(start - 1).position() < firstPosition) {
            --start;
        }
        if (start != first && Divide(0, start, count + (first - start), longest, shortest)) {
            return;
        }
    }
}

bool ArrayBreaker::Divide(int32_t mode, int32_t first, int32_t count, int32_t longest, int32_t shortest) {
    if (BeamBreakerState().divisionDepth >= kMaxDivisionDepth) {
        return false;
    }
    const DepthGuard depth;
    if (!(count > 4 || (count == 4 && (longest != shortest || m_options.breakFourInTwo != 0)))) {
        return false;
    }
    const int32_t last = std::min<int32_t>(first + count - 1, m_array.count - 1);
    count = last - first + 1;
    const Edu start = At(first).position();
    const Edu length = At(last).end() - start;
    if (length <= 0) {
        return false;
    }
    int32_t defaultParts = 2;
    switch (length) {
        case 1024:
            defaultParts = m_options.quarterParts;
            break;
        case 512:
            defaultParts = m_options.eighthParts;
            break;
        case 256:
            defaultParts = m_options.sixteenthParts;
            break;
        case 128:
            defaultParts = m_options.thirtySecondParts;
            break;
        default: {
            const Edu third = (length / 3) * 2;
            defaultParts = third > 0 && std::has_single_bit(static_cast<uint32_t>(third)) ? 3 : 2;
        }
    }
    int32_t rule = 0;
    Edu ruleLength = 0;
    if (mode == 0) {
        if (At(first).has(hostapi::kEntryTuplet)) {
            int32_t notes = 0;
            int32_t unitTimesReference = 0;
            for (int32_t inci = 0; inci < kTupletRecords; ++inci) {
                Record30 tuplet;
                if (LoadRecordEtp(At(first).number(), inci, tuplet) &&
                    tuplet.word(kTupletUnit) == tuplet.word(kTupletReferenceUnit) &&
                    tuplet.word(kTupletReferenceNumber) * tuplet.word(kTupletReferenceUnit) == length) {
                    notes = tuplet.word(kTupletNotes);
                    unitTimesReference = tuplet.word(kTupletUnit) * tuplet.word(kTupletReferenceNumber);
                }
            }
            if (notes >= 1 && notes <= 32 && m_options.tupletParts[static_cast<size_t>(notes)] != 0) {
                rule = m_options.tupletParts[static_cast<size_t>(notes)];
                // A pattern counts in tuplet notes: its part length is one tuplet note.
                ruleLength = rule > 0 ? length / rule : length / notes;
                if (rule > 0 && defaultParts > 0 && notes % defaultParts == 0 &&
                    unitTimesReference / notes <= shortest + kBreakTolerance) {
                    rule = 0;
                    ruleLength = 0;
                }
            }
        }
        const Edu beat = m_options.measure.beatDuration();
        if (rule == 0 && m_options.regularMeter != 0 && beat > 0) {
            for (int32_t k = 1; k < m_options.measure.beats(); ++k) {
                const Edu d = k * beat - start;
                if (d > 0 && d < length) {
                    if (length % d != 0 && d != beat && length / d != 1) {
                        return false;
                    }
                    rule = (length + d - 1) / d;
                    ruleLength = d;
                    break;
                }
            }
        }
    }
    const bool pattern = rule < 0;
    int32_t parts = mode != 0 ? mode : rule > 0 ? rule : pattern ? 5 : defaultParts;
    parts = std::max(parts, 2);
    if (parts > 2 && parts % 2 == 1 && !pattern) {
        const Edu middle = start + length / 2;
        for (int32_t j = first + 1; j < last; ++j) {
            if (std::abs(At(j).position() - middle) <= 1 && Agrees(j) != Agrees(j - 1)) {
                parts = 2;
                break;
            }
        }
    }
    const Edu partLength = length / parts;
    const std::array<int32_t, 5>* values = !pattern ? nullptr : rule == -1 ? &m_options.pattern1 : &m_options.pattern2;
    auto advance = [&](int32_t cursor, int32_t value) {
        const int32_t left = count - cursor;
        return cursor + (value <= 0 || value > left ? left : value);
    };
    int32_t cursor = values == nullptr ? 0 : advance(0, (*values)[0]);
    bool broken = false;
    for (int32_t k = 1; k < parts && (values == nullptr || cursor < count); ++k) {
        Edu at = 0;
        if (values != nullptr) {
            at = start + ruleLength * cursor;
            cursor = advance(cursor, k < 5 ? (*values)[static_cast<size_t>(k)] : 0);
        } else {
            at = start + (rule > 0 ? ruleLength : partLength) * k;
        }
        for (int32_t j = first; j <= last; ++j) {
            if (std::abs(At(j).position() - at) < kBreakTolerance) {
                broken = Candidate(j, parts, first, last, longest, partLength, pattern) || broken;
            }
        }
    }
    if (!broken && parts > 2 && rule == 0) {
        broken = Divide(2, first, count, longest, shortest);
    }
    return broken;
}

bool ArrayBreaker::DivideHalf(int32_t first, int32_t last) {
    while (last >= first && At(last).has(kNotHalfGroupEnd)) {
        --last;
    }
    if (last < first) {
        return false;
    }
    int32_t longest = 0;
    int32_t shortest = 0;
    for (int32_t j = first; j <= last; ++j) {
        const int32_t actual = At(j).actualDuration();
        longest = std::max(longest, actual);
        if (actual != 0 && (shortest == 0 || actual < shortest)) {
            shortest = actual;
        }
    }
    return Divide(0, first, last - first + 1, longest, shortest);
}

bool ArrayBreaker::Candidate(int32_t e, int32_t parts, int32_t first, int32_t last, int32_t longest, Edu partLength,
                             bool pattern) {
    if (e <= first) {
        return false;  // a break before the group's first entry divides nothing
    }
    bool nested = false;
    if (parts == 2 && e - first >= 4) {
        nested = DivideHalf(first, e - 1) || nested;
    }
    if (parts == 2 && last - e + 1 >= 4) {
        nested = DivideHalf(e, last) || nested;
    }
    const bool shortEnough = At(e).actualDuration() + kBreakTolerance < partLength &&
                             At(e - 1).actualDuration() + kBreakTolerance < partLength;
    if (!shortEnough && !pattern) {
        return false;
    }
    const int32_t n = m_array.count;
    if (m_options.primaryIfWrongDirection == 0 || m_options.restsInBeamGroups != 0 ||
        ((e < 2 || IsNote(e - 2)) && e < n - 1 && (e + 1 <= last || IsNote(e + 1)))) {
        WriteBreak(e, longest, nested);
        return true;
    }
    if (!HasBeamStart(e)) {
        SetBeamStart(e);
        return true;
    }
    return false;
}

void ArrayBreaker::WriteBreak(int32_t e, int32_t longest, bool nested) {
    const int32_t raw =
        longest >= 1 ? static_cast<int32_t>(std::bit_width(static_cast<uint32_t>(2 * longest - 1))) - 1 : 0;
    int32_t level = raw < 9 ? 8 - raw : 0;
    if (m_options.breakAll != 0) {
        level = 0;
    }
    if (nested) {
        level = std::max(level - 1, 0);
    }
    Record10 record;
    for (size_t b = 0; b < kBreakLevels; ++b) {
        record.bytes[b] = static_cast<int32_t>(b) < level ? 0 : 1;
    }
    record.bytes[kBreakLevels] = 1;
    const EntryView entry = At(e);
    SaveEntryDetailEdsB(entry.number(), record);
    entry.setFlag(kSecondaryBreak, true);
    m_changed = true;
}

}  // namespace

void InitBeamBreakerOptions(BeamBreakOptions& options) {
    options.tupletParts = kDefaultTupletParts;
}

void BreakSecondaryBeams(BeamBreakOptions& options) {
    const hostapi::SelectionRecord* selection = CheckSelection(false);
    if (selection == nullptr) {
        return;
    }
    const hostapi::SelectionRecord region = *selection;
    if (options.simplifyRests == 0) {
        options.breakAtHalfBeatRest = 0;
        options.unbeamRestBeats = 0;
        options.beamRestsToEighths = 0;
    }
    ScopedEditBracket bracket(&region, std::max(region.lastMeasure() - region.firstMeasure() + 1, 1));
    for (int32_t m = region.firstMeasure(); m <= region.lastMeasure(); ++m) {
        const auto measure = static_cast<hostapi::MeasureNumber>(m);
        if (!bracket.Step(0, measure)) {
            break;
        }
        options.measure = EDTMeasureSpec{};
        LoadMeasureSpec(m, options.measure);
        options.regularMeter = (options.measure.bytes[EDTMeasureSpec::kFlags] & kIrregularMeterBits) == 0 ? 1 : 0;
        for (int32_t s = region.firstStaff(); s <= region.lastStaff(); ++s) {
            const auto slot = static_cast<hostapi::StaffSlot>(s);
            const hostapi::InstrumentKey staff = StaffOfSlot(slot, region.viewKey());
            Edu from = 0;
            Edu to = 0;
            ScaleDurationPair(region, measure, MeasureLengthOrDefault(staff, measure),
                              MeasureLengthOrDefault(0, measure), from, to);
            for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
                if (!IsHostMenuCommandChecked(layer)) {
                    continue;
                }
                const ScopedEntryArray array(region.viewKey(), slot, measure, layer);
                if (array && ArrayBreaker(options, *array).Process(from, to)) {
                    SaveEntryArray(array.Get());
                }
            }
        }
    }
}

}  // namespace orvex
