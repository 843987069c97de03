#include "tools/notes/tremolo.h"
#include "core/free_texts.h"
#include "platform/hostapi/entry_records.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/messages.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "platform/hostapi/layout_records.h"
#include "tools/notes/entry_details.h"
#include "tools/notes/playback.h"
#include "tools/notes/playback_effects.h"

namespace orvex {
namespace {

using hostapi::Edu;
using hostapi::EntryView;

constexpr hostapi::Tag kTagNotehead = hostapi::kTagNotehead;
constexpr hostapi::Tag kTagBeamExtensionDown = hostapi::kTagBeamExtensionDown;
constexpr hostapi::Tag kTagBeamExtensionUp = hostapi::kTagBeamExtensionUp;
constexpr hostapi::Tag kTagBeamLow = hostapi::kTagBeamLow;
constexpr hostapi::Tag kTagBeamHigh = hostapi::kTagBeamHigh;
constexpr hostapi::Tag kTagStemAdjust = hostapi::kTagStemAdjustment2;
/// The document's beam option record: other record (-2, 0), 12 bytes; word 0 the value the second
/// beam adjustment of white tremolos takes.
using hostapi::kTagBeamOptions;
constexpr int16_t kBeamOptionsMissing = 2;

/// An entry's tuplets are read at incidences 0 to 9.
constexpr int32_t kTupletsRead = hostapi::TupletLayout::kMaxPerEntry;

/// The tuplet record (hostapi::TupletLayout) in the names a tremolo writes it by.
struct TupletLayout {
    static constexpr size_t kCount2 = hostapi::TupletLayout::kNotes;
    static constexpr size_t kUnit2 = hostapi::TupletLayout::kNoteUnit;
    static constexpr size_t kCount1 = hostapi::TupletLayout::kReference;
    static constexpr size_t kUnit1 = hostapi::TupletLayout::kReferenceUnit;
    static constexpr size_t kTremoloA = hostapi::TupletLayout::kWord10;
    static constexpr size_t kTremoloB = hostapi::TupletLayout::kFlags;
    static constexpr int16_t kMaxUnit2 = 512;  ///< a tremolo's notes are eighths or shorter
};
static_assert(TupletLayout::kTremoloB + 2 <= Record30::kSize);

/// The notehead record ('edCN', 10 bytes, one per note found by its identifier).
struct NoteheadLayout {
    static constexpr size_t kNoteIdWord = hostapi::NoteheadLayout::kNoteId / 2;
    static constexpr size_t kSizeWord = hostapi::NoteheadLayout::kSize100 / 2;  ///< percent, 100 in a new record
    static constexpr size_t kCharacterWord = hostapi::NoteheadLayout::kCharacter / 2;
    static constexpr int16_t kNewSize = 100;
};

/// Notehead characters of tremolo notes by the original value: black, white, whole.
constexpr int16_t kHeadBlack = 250;
constexpr int16_t kHeadWhite = 119;
constexpr int16_t kHeadWhole = 87;

/// The beam extension records ('edDE', 'edUE', 10 bytes).
struct BeamExtensionLayout {
    static constexpr size_t kLeftWord = 0;
    static constexpr size_t kRightWord = 1;
    static constexpr size_t kMaskWord = 4;  ///< after a 32-bit 0
};

/// The stem adjustment record ('edSt', 12 bytes): the adjustment and its negative.
constexpr int32_t kStemAdjustSize = 12;

/// A shift count kept within what a 32-bit value allows.
int32_t ShiftCount(int32_t value) {
    return std::clamp(value, 0, 30);
}

/// log2 of a power of two (0 for 1 and below).
int32_t Log2(Edu value) {
    int32_t n = 0;
    while (value > 1) {
        value /= 2;
        ++n;
    }
    return n;
}

/// The beams of a tremolo note of value n: log2(1024 / its base value), 0 for a quarter or longer.
int32_t BeamsOf(Edu n) {
    const Edu base = PowerOfTwoFloor(n);
    return base > 0 && base <= 1024 ? Log2(1024 / base) : 0;
}

/// A tuplet written by a tremolo: its notes an eighth or shorter, the two marker words 0. A
/// tuplet without notes or without a unit cannot scale a value and is none.
bool IsTremoloTuplet(const Record30& tuplet) {
    const int16_t count2 = tuplet.word(TupletLayout::kCount2 / 2);
    const int16_t unit2 = tuplet.word(TupletLayout::kUnit2 / 2);
    return tuplet.word(TupletLayout::kTremoloB / 2) == 0 && tuplet.word(TupletLayout::kTremoloA / 2) == 0 &&
           unit2 <= TupletLayout::kMaxUnit2 && unit2 > 0 && count2 > 0;
}

/// Writes the notehead of every note of the entry: found by the note's identifier among the
/// entry's notehead records, else a new one.
void WriteNoteheads(EntryView entry, int16_t character) {
    for (int32_t k = 0; k < entry.notesHeld(); ++k) {
        const int16_t id = entry.note(k).noteId();
        Record10 head;
        int32_t inci = 0;
        const bool found =
            entry.has(hostapi::kEntryNoteDetails) && FindRecordByValue(entry.number(), id, head, inci, kTagNotehead);
        if (!found) {
            head = Record10{};
            head.setWord(NoteheadLayout::kNoteIdWord, id);
            head.setWord(NoteheadLayout::kSizeWord, NoteheadLayout::kNewSize);
        }
        head.setWord(NoteheadLayout::kCharacterWord, character);
        if (found) {
            SaveRecordByValue(entry.number(), head, inci, kTagNotehead);
        } else {
            CreateRecordByValue(entry.number(), head, kTagNotehead);
        }
        entry.setFlag(hostapi::kEntryNoteDetails, true);
    }
}

bool AnyAccidentalShown(EntryView entry) {
    for (int32_t k = 0; k < entry.notesHeld(); ++k) {
        if ((entry.note(k).flags() & hostapi::kNoteAccidentalShown) != 0) {
            return true;
        }
    }
    return false;
}

/// The beam extensions of the tremolo on A: 'edDE' with the beam mask, then 'edUE' from the same
/// values (its own for white notes).
void WriteBeamExtensions(const TFMisc& context, EntryView a, EntryView b, Edu d, int32_t beams, int32_t mask) {
    const Edu base = PowerOfTwoFloor(d);
    const int32_t dots = DotCount(d);
    int32_t left = 40;
    int32_t right = -20;
    switch (base) {
        case 512:
            left = 20;
            right = -20;
            break;
        case 64:
        case 128:
        case 256:
            left = 17;
            right = -19;
            break;
        case 1024:
            left = 22;
            right = -21;
            // The outer beams reach the stem: they are not extended.
            for (int32_t k = 0; k < std::min(RowValue(context.Options, TREM_HALF_NOTE_OUTER_BEAM), beams); ++k) {
                mask &= ~(512 >> ShiftCount(k));
            }
            break;
        case 2048:
            left = dots == 0 ? 72 : 12 * dots + 77;
            right = -32;
            break;
        case 4096:
            left = dots == 0 ? 92 : 12 * dots + 87;
            right = -32;
            break;
        default:
            break;
    }
    const bool avoid = (d >= 2048 && RowOn(context.Options, TREM_AVOID_ACCIDENTALS_NO_STEM)) ||
                       (d < 2048 && RowOn(context.Options, TREM_AVOID_ACCIDENTALS_STEM));
    const int32_t accidental = avoid && AnyAccidentalShown(b) ? 1 : 0;
    right -= 20 * accidental;
    if (d < 2048) {
        left += RowValue(context.MoreOptions, TREM_LEFT_NO_STEM);
        right += RowValue(context.MoreOptions, TREM_RIGHT_NO_STEM);
    } else {
        left += RowValue(context.MoreOptions, TREM_LEFT_WITH_STEM);
        right += RowValue(context.MoreOptions, TREM_RIGHT_WITH_STEM);
    }
    Record10 extension;
    extension.setWord(BeamExtensionLayout::kLeftWord, static_cast<int16_t>(left));
    extension.setWord(BeamExtensionLayout::kRightWord, static_cast<int16_t>(right));
    extension.setWord(BeamExtensionLayout::kMaskWord, static_cast<int16_t>(mask));
    SaveEntryDetailRecord(kTagBeamExtensionDown, a.number(), 0, extension.data(), Record10::kSize);
    if (base == 2048 || base == 4096) {
        const int32_t inward = base == 2048 ? 68 : 88;
        extension.setWord(BeamExtensionLayout::kLeftWord,
                          static_cast<int16_t>(RowValue(context.MoreOptions, TREM_LEFT_WITH_STEM) + 33));
        extension.setWord(
            BeamExtensionLayout::kRightWord,
            static_cast<int16_t>(RowValue(context.MoreOptions, TREM_RIGHT_WITH_STEM) - inward - 20 * accidental));
    }
    SaveEntryDetailRecord(kTagBeamExtensionUp, a.number(), 0, extension.data(), Record10::kSize);
}

/// The beam adjustments of a white tremolo on A: the beams' height at both ends, and from host
/// year 2000 on a second adjustment from the document's beam options.
void WriteBeamAdjustments(const TFMisc& context, EntryView a) {
    const int32_t vertical = RowValue(context.MoreOptions, TREM_WHOLE_VERTICAL);
    for (const auto& [tag, value] : {std::pair{kTagBeamLow, vertical + 90}, std::pair{kTagBeamHigh, -90 - vertical}}) {
        Record10 adjustment;
        hostapi::WriteI16(adjustment.data(), hostapi::BeamAdjustmentLayout::kHeight, static_cast<int16_t>(value));
        SaveEntryDetailRecord(tag, a.number(), 0, adjustment.data(), Record10::kSize);
    }
    if (context.Environment.HostYear() < 2000) {
        return;
    }
    Record12 options;
    const int16_t first = LoadWholeOtherRecord(kTagBeamOptions, -2, 0, options.data(), Record12::kSize)
                              ? hostapi::ReadI16(options.data(), hostapi::BeamOptionsLayout::kSecondAdjustment)
                              : kBeamOptionsMissing;
    Record10 second;
    hostapi::WriteI16(second.data(), hostapi::BeamAdjustmentLayout::kOptionValue, first);
    hostapi::WriteI16(second.data(), hostapi::BeamAdjustmentLayout::kHeight, -1);
    for (hostapi::Tag tag : {kTagBeamLow, kTagBeamHigh}) {
        SaveEntryDetailRecord(tag, a.number(), 1, second.data(), Record10::kSize);
    }
}

/// Stems of A and B: shortened by the beams where the option asks for it and the host draws it,
/// else without an adjustment.
void WriteStems(const TFMisc& context, EntryView a, EntryView b, Edu d, int32_t beams) {
    const bool outerBeamAtStem = PowerOfTwoFloor(d) == 1024 && RowOn(context.Options, TREM_HALF_NOTE_OUTER_BEAM);
    if (RowValue(context.Options, TREM_SHORTEN_STEMS) == 0 || context.Environment.HostYear() < 2000 || d >= 2048 ||
        outerBeamAtStem) {
        DeleteEntryDetailRecord(kTagStemAdjust, a.number(), 0);
        DeleteEntryDetailRecord(kTagStemAdjust, b.number(), 0);
        return;
    }
    const int32_t v = RowValue(context.MoreOptions, TREM_STEM_PER_BEAM_PLUS) * beams +
                      RowValue(context.MoreOptions, TREM_STEM_PER_BEAM);
    RawRecord<kStemAdjustSize> stem;
    hostapi::WriteI16(stem.data(), hostapi::StemAdjustmentLayout::kUp, static_cast<int16_t>(v));
    hostapi::WriteI16(stem.data(), hostapi::StemAdjustmentLayout::kDown, static_cast<int16_t>(-v));
    for (EntryView entry : {a, b}) {
        SaveEntryDetailRecord(kTagStemAdjust, entry.number(), 0, stem.data(), kStemAdjustSize);
        entry.setFlag(hostapi::kEntryStemDetails, true);
    }
}

/// The words of a tremolo note's performance record ('edac') at bytes 4, 6 and 8: the note is
/// silenced, the playback notes sound for it.
void SilenceTremoloNotes(RecordCursor& cursor, Edu actual) {
    const int16_t word4 = actual <= 2000 ? -7 : actual <= 4000 ? -15 : -31;
    for (int32_t k = 0; k < RecordCursorCount(cursor); ++k) {
        uint8_t* record = RecordCursorAt(cursor, k);
        hostapi::WriteI16(record, hostapi::NotePerformanceLayout::kLevelChange, -127);
        hostapi::WriteI16(record, hostapi::NotePerformanceLayout::kPitchChange, -127);
        hostapi::WriteI16(record, hostapi::NotePerformanceLayout::kWord4, word4);
    }
}

/// The playback notes of the tremolo on A and B, after the tremolo itself: A and B in turn for
/// the time both notes fill, unmeasured (at the "More..." page's speed) from the beam count its
/// row gives. When they cannot be written (no free layer, or the user declined), the tremolo
/// stays without them, the user is told once and the run writes no more playback notes; the
/// notes are silenced only when their playback notes were written.
void WritePlayback(TFMisc& context, EntryView a, EntryView b, Edu n, hostapi::ViewKey regionWord,
                   hostapi::StaffSlot slot, hostapi::MeasureNumber measure, hostapi::LayerIndex layer) {
    const hostapi::InstrumentKey staff = StaffOfSlot(slot, regionWord);
    hostapi::EntryRecord twice;
    std::copy_n(a.data(), hostapi::EntryLayout::kSize, twice.data());
    twice.view().setDuration(static_cast<int16_t>(std::min<int32_t>(2 * a.duration(), INT16_MAX)));
    twice.view().setActualDuration(2 * a.actualDuration());
    const int32_t minBeams = ShiftCount(RowValue(context.MoreOptions, TREM_PLAYBACK_MIN_BEAMS));
    const Edu hit = PowerOfTwoFloor(n) <= (1024 >> minBeams)
                        ? 1024 / std::max(RowValue(context.MoreOptions, TREM_PLAYBACK_SPEED), 1)
                        : n;
    hostapi::EntryRecord first;
    hostapi::EntryRecord second;
    std::copy_n(a.data(), hostapi::EntryLayout::kSize, first.data());
    std::copy_n(b.data(), hostapi::EntryLayout::kSize, second.data());
    if (staff == 0 || WriteTremoloPlayback(context, twice.view(), first, second, measure, staff, hit, layer) == 0) {
        context.Options[TREM_PLAYBACK_NOTES].value = 0;
        ShowMessage(FreeText::PlaybackNotesTremoloInMeasure, {std::to_string(measure)});
        return;
    }
    for (EntryView entry : {a, b}) {
        RecordCursor cursor;
        RecordCursorInit(cursor);
        RecordCursorOpen(cursor, entry.data());
        SilenceTremoloNotes(cursor, a.actualDuration());
        RecordCursorSave(cursor, entry.data());
        entry.setFlag(hostapi::kEntryPlayback, true);
        entry.setMoreFlags(static_cast<uint16_t>(entry.moreFlags() | hostapi::kEntryMorePlayback));
    }
}

}  // namespace

Edu DottedDuration(Edu value, int32_t dots) {
    Edu total = value;
    Edu added = value;
    for (int32_t k = 0; k < dots; ++k) {
        added /= 2;
        total += added;
    }
    return total;
}

Edu TremoloNoteValue(const TFMisc& context, Edu d) {
    if (RowValue(context.Options, TREM_VARIABLE_BEAMS) == 0) {
        const Edu shortest = 2048 >> std::clamp(RowValue(context.Options, TREM_BEAMS), 1, 7);
        Edu n = d;
        while (n > 0 && n >= shortest) {
            n /= 2;
        }
        return n;
    }
    const Edu base = PowerOfTwoFloor(d);
    Edu n = 0;
    if (base < 128) {
        const int32_t beams = ShiftCount(RowValue(context.MoreOptions, TREM_BEAMS_SHORTER));
        n = RowValue(context.MoreOptions, TREM_KEEP_SLASHES) == 0 ? 1024 >> beams : (base * 16) >> beams;
    } else {
        const TremoloMoreRow row = base >= 1024  ? TREM_BEAMS_WHITE
                                   : base == 512 ? TREM_BEAMS_QUARTER
                                   : base == 256 ? TREM_BEAMS_EIGHTH
                                                 : TREM_BEAMS_SIXTEENTH;
        n = 1024 >> ShiftCount(RowValue(context.MoreOptions, row));
    }
    return DottedDuration(n, DotCount(d));
}

int32_t TremoloBeamMask(Edu d, Edu n) {
    const int32_t beams = BeamsOf(n);
    const int32_t start = 2 * d >= 1024 ? 0 : BeamsOf(2 * d);
    int32_t mask = 2048;
    for (int32_t k = start; k < beams; ++k) {
        mask += 512 >> ShiftCount(k);
    }
    return mask;
}

bool WriteTremolo(TFMisc& context, EntryView a, EntryView b, const EntryView* c, hostapi::ViewKey regionWord,
                  hostapi::StaffSlot slot, hostapi::MeasureNumber measure, hostapi::LayerIndex layer) {
    if (RowOn(context.Options, TREM_PLAYBACK_NOTES) && (PlaybackRun(context).cellLayerMask & (1u << layer)) != 0) {
        return false;  // the layer holds playback notes already
    }

    // A tremolo written before is found by its tuplet on an entry marked as a tremolo (a written
    // triplet's record holds the same marker words); a new tuplet goes after the entry's others.
    std::optional<Record30> existing;
    int32_t tupletIndex = 0;
    if (a.has(hostapi::kEntryTuplet)) {
        for (int32_t inci = 0; inci < kTupletsRead; ++inci) {
            Record30 tuplet;
            if (!LoadRecordEtp(a.number(), inci, tuplet)) {
                break;
            }
            tupletIndex = inci + 1;
            if (IsTremoloTuplet(tuplet) && a.has(hostapi::kEntryTremolo)) {
                existing = tuplet;
                tupletIndex = inci;
                break;
            }
        }
    }
    if (existing ? RowValue(context.Options, TREM_MODIFY_EXISTING) == 0
                 : RowValue(context.Options, TREM_CREATE_NEW) == 0) {
        return false;
    }

    // d: the value each note had before it became a tremolo note.
    int64_t value = a.duration();
    if (existing) {
        value = value * existing->word(TupletLayout::kUnit1 / 2) * existing->word(TupletLayout::kCount1 / 2) /
                existing->word(TupletLayout::kCount2 / 2) / existing->word(TupletLayout::kUnit2 / 2);
    }
    if (value <= 0 || value > INT16_MAX) {
        return false;  // not a value a note can have
    }
    const Edu d = static_cast<Edu>(value);
    const Edu n = TremoloNoteValue(context, d);
    if (n <= 0 || n >= 2 * d) {
        return false;
    }
    const int32_t beams = BeamsOf(n);
    const int32_t mask = TremoloBeamMask(d, n);

    // The tuplet: the two notes of n fill the time of the two notes of d.
    int32_t count1 = 0;
    int32_t count2 = 0;
    Edu unit1 = 0;
    Edu unit2 = 0;
    DurationSplit(2 * d, count1, unit1);
    DurationSplit(2 * n, count2, unit2);
    Record30 tuplet;
    tuplet.setWord(TupletLayout::kCount2 / 2, static_cast<int16_t>(count2));
    tuplet.setWord(TupletLayout::kUnit2 / 2, static_cast<int16_t>(unit2));
    tuplet.setWord(TupletLayout::kCount1 / 2, static_cast<int16_t>(count1));
    tuplet.setWord(TupletLayout::kUnit1 / 2, static_cast<int16_t>(unit1));
    SaveRecordEtp(a.number(), tupletIndex, tuplet);
    a.setFlag(hostapi::kEntryTuplet, true);

    a.setDuration(static_cast<int16_t>(n));
    b.setDuration(static_cast<int16_t>(n));
    // The pair is one beam group of its own.
    b.setFlag(hostapi::kEntryBeamStart, false);
    a.setFlag(hostapi::kEntryBeamStart, true);
    if (c != nullptr && c->has(hostapi::kEntryVoice2) == a.has(hostapi::kEntryVoice2)) {
        c->setFlag(hostapi::kEntryBeamStart, true);
    }

    if (d >= 1024) {
        const int16_t head = d < 2048 ? kHeadBlack : d < 4096 ? kHeadWhite : kHeadWhole;
        for (EntryView entry : {a, b}) {
            WriteNoteheads(entry, head);
            if (d >= 2048) {
                SetStemRecords(entry, 0, true, true);  // white notes of a tremolo have no stems
            }
        }
    }
    WriteBeamExtensions(context, a, b, d, beams, mask);
    if (PowerOfTwoFloor(d) >= 2048) {
        WriteBeamAdjustments(context, a);
    }
    a.setFlag(hostapi::kEntryTremolo, true);
    WriteStems(context, a, b, d, beams);
    if (RowOn(context.Options, TREM_PLAYBACK_NOTES)) {
        WritePlayback(context, a, b, n, regionWord, slot, measure, layer);
    }
    return true;
}

}  // namespace orvex
