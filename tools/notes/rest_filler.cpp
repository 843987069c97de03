#include "tools/notes/rest_filler.h"

#include <vector>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_records.h"
#include "core/host/host_imports.h"
#include "core/module.h"
#include "core/run_environment.h"

namespace orvex {
namespace {

using hostapi::Edu;

constexpr Edu kWholeRest = 4096;
constexpr uint32_t kFillRestFlags = hostapi::kEntryCreated | hostapi::kEntryFloatingRest;

// The stored height of a fixed rest, in staff steps before the clef and key are taken away.
constexpr int16_t kShortRestHeight = -8;  ///< rests shorter than a whole rest
constexpr int16_t kLongRestHeight = -10;  ///< whole rests and longer

/// The cell's key (service 33) of `mode`; 0 when the host does not offer it.
int16_t CellKeyOf(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff, int16_t mode) {
    return CellKeyValue(measure, staff, mode);
}

/// What a fixed height follows: the staff's record and the cell's two keys.
struct FixedHeight {
    hostapi::InstrumentKey staff = 0;
    StaffRecord staffRecord;
    int16_t key = 0;
    int16_t secondKey = 0;
};

FixedHeight PrepareFixedHeight(const RunEnvironment& environment, const hostapi::EntryArray& array, int32_t staff) {
    FixedHeight fixed;
    fixed.staff = static_cast<hostapi::InstrumentKey>(staff < 0 ? array.staff : staff);
    // A staff without a record keeps an all-zero one: the treble clef without transposition.
    LoadRecordSOIS(fixed.staff, fixed.staffRecord);
    fixed.key = CellKeyOf(array.measure, fixed.staff, 0);
    fixed.secondKey = CellKeyOf(array.measure, fixed.staff, environment.DocumentOptionFlag());
    return fixed;
}

/// Cuts the span into pieces of at most `largestPiece`, longest first.
std::vector<Edu> SplitSpan(Edu span, bool wholeRest, Edu largestPiece) {
    std::vector<Edu> pieces;
    Edu remaining = span;
    while (remaining > 0 && static_cast<int32_t>(pieces.size()) < kMaxFillPieces) {
        Edu piece = largestPiece;
        if (wholeRest) {
            remaining = kWholeRest;
            piece = kWholeRest;
        }
        while (piece > remaining) {
            const Edu power = PowerOfTwoFloor(piece);
            piece = power != 0 && piece > power ? power : piece / 2;
        }
        pieces.push_back(piece);
        remaining -= piece;
    }
    return pieces;
}

void SetFixedHeight(const RunEnvironment& environment, const hostapi::EntryArray& array, hostapi::EntryView rest,
                    const FixedHeight& fixed) {
    const bool useStaffSpec = environment.DocumentOptionFlag() != 0;
    const int32_t clefOffset =
        ClefOffsetAt(fixed.staff, array.measure, rest.position(), useStaffSpec, fixed.staffRecord.data());
    rest.setFlag(hostapi::kEntryFloatingRest, false);
    const hostapi::NoteView note = rest.note(0);
    note.setHarmonicLevel(0);
    note.setAlteration(0);
    note.setNoteId(0);
    note.setFlags(hostapi::kNoteCreated);
    rest.setNoteCount(1);
    const int32_t keyOffset =
        EntryNoteStep(rest.data(), 0, fixed.key, fixed.secondKey, useStaffSpec, fixed.staffRecord.data(), nullptr);
    const int32_t base = rest.actualDuration() < kWholeRest ? kShortRestHeight : kLongRestHeight;
    note.setHarmonicLevel(static_cast<int16_t>(base - clefOffset - keyOffset));
}

}  // namespace

void InsertFillRests(const RunEnvironment& environment, hostapi::EntryArray& array, Edu span, int16_t index,
                     bool hidden, bool wholeRest, int16_t largestPiece, bool joinDotted, bool fixedHeight,
                     int32_t staff) {
    FixedHeight fixed;
    if (fixedHeight) {
        fixed = PrepareFixedHeight(environment, array, staff);
    }
    if (!wholeRest && largestPiece < 1) {
        return;  // no piece could ever be cut from the span
    }
    const std::vector<Edu> pieces = SplitSpan(span, wholeRest, largestPiece);
    const uint32_t flags = hidden ? kFillRestFlags | hostapi::kEntryHidden : kFillRestFlags;
    int32_t at = index;
    // From the shortest piece to the longest, so that the shortest rest comes first in time.
    for (int32_t k = static_cast<int32_t>(pieces.size()) - 1; k >= 0; --k) {
        Edu duration = pieces[static_cast<size_t>(k)];
        if (joinDotted) {
            // A piece of twice the one taken last is its dot's value: they join into one dotted rest.
            Edu taken = duration;
            while (k > 0 && pieces[static_cast<size_t>(k - 1)] == 2 * taken &&
                   pieces[static_cast<size_t>(k - 1)] + duration <= largestPiece) {
                --k;
                taken = pieces[static_cast<size_t>(k)];
                duration += taken;
            }
        }
        // Without the blank entry there is nothing to write into.
        if (at < 0 || at > array.count || !InsertEntries(&array, at, 1)) {
            return;
        }
        const hostapi::EntryView rest = array.entry(at);
        rest.setDuration(static_cast<int16_t>(duration));
        rest.setActualDuration(duration);
        if (at > 0) {
            const hostapi::EntryView previous = array.entry(at - 1);
            rest.setPosition(static_cast<Edu>(static_cast<int64_t>(previous.position()) + previous.actualDuration()));
        }
        rest.setFlags(flags);
        if (fixedHeight) {
            SetFixedHeight(environment, array, rest, fixed);
        }
        ++at;
    }
}

}  // namespace orvex
