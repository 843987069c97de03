#include "tools/notes/find_compare.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "core/host/finxess.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/tool_context.h"
#include "expressions/txtexpr.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/expression_records.h"
#include "platform/win/system.h"
#include "tools/notes/engine/entry_engine.h"
#include "tools/notes/notes_services.h"
#include "tools/notes/respell_enharmonic.h"

namespace orvex {
namespace {

using hostapi::ConstEntryView;
using hostapi::Edu;
using hostapi::EntryLayout;
using hostapi::kInterfaceVersion;

static_assert(sizeof(TEntryRecord) == StoredEntryLayout::kSize);
static_assert(StoredEntryLayout::kEntry + EntryLayout::kSize == StoredEntryLayout::kSize);

constexpr hostapi::Tag kTagMeasureExpression = hostapi::kTagMeasureExpression;
using hostapi::kTagArticulation;

/// 'otDY' (measure, inci), 12 bytes.
struct MeasureExpressionLayout {
    static constexpr size_t kExpression = 0;  ///< @0, i16, 1-based
    static constexpr size_t kPosition = 2;    ///< @2, i16, EDU
    static constexpr size_t kVertical = 4;    ///< @4, i16
    static constexpr size_t kStaff = 10;      ///< @10, u16, see kOneStaff and kStaffListMask
};
constexpr uint16_t kOneStaff = 0x1000;       ///< with the staff's key in the low bits
constexpr uint16_t kStaffListMask = 0x03FF;  ///< otherwise a staff list (0 = every staff)
constexpr uint16_t kStaffKeyMask = 0x0FFF;
constexpr uint16_t kSkippedByFind = 0x6000;
using hostapi::kMeasureHasExpressions;

/// 'edED' byte 9 bit 0x80 (the flag word's 0x8000): a text expression.
constexpr size_t kNoteExpressionFlagByte = hostapi::NoteExpressionLayout::kFlagsHighByte;
constexpr uint8_t kNoteExpressionIsText = 0x80;
constexpr uint16_t kEntryHasExpressions = 0x0001;  ///< flags B
/// Articulation records are read at their layout's size; only their first word counts.
constexpr int32_t kArticulationSize = hostapi::ArticulationLayout::kSize;

// Compare Entries: what its options ignore, and its markers.
constexpr uint32_t kStemUp = 0x00000001;
constexpr uint32_t kNoteheadRecords = 0x00400000;
constexpr uint32_t kAccidentalFrozen = 0x00000002;
constexpr uint32_t kAccidentalShown = 0x01000000;
constexpr const char* kMarkFont = "Times New Roman";
constexpr int32_t kMarkSize = 18;
constexpr int32_t kMarkTop = -260;
constexpr int32_t kMarkStep = 60;
constexpr int32_t kFewerStep = 50;
constexpr int32_t kTimeSignatureVertical = -210;

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

/// The record of an expression number in a table (its position is the number - 1 unless the
/// table was sorted in memory); none when the table lacks it.
const TTxtExprRec* ExpressionOf(const TTextExpressions& table, int32_t number) {
    const TTxtExprRec& guess = table.Item(number - 1);
    if (guess.Number == number) {
        return &guess;
    }
    for (int32_t position = 0; position < table.ExpressionCount(); ++position) {
        if (table.Item(position).Number == number) {
            return &table.Item(position);
        }
    }
    return nullptr;
}

/// Find's text test of an expression number.
bool ExpressionMatches(const TFMisc& context, int32_t number) {
    TTextExpressions& table = TextExpressionTable();
    const TTxtExprRec* record = ExpressionOf(table, number);
    if (record == nullptr) {
        return false;
    }
    const std::string search = win::Utf8ToAnsi(RowText(context.Options, ROW_SEARCH));
    const std::string text = record->PlainText();
    if (RowValue(context.Options, ROW_MUSIC_FONT) == 0) {
        return Upper(text).find(Upper(search)) != std::string::npos;
    }
    return table.SortTables().Contains(HostFontName(record->FontNumber())) && text.find(search) != std::string::npos;
}

/// The text expression numbers of an entry's note expressions (at most four), when it has any.
std::vector<int16_t> EntryExpressions(ConstEntryView entry) {
    std::vector<int16_t> numbers;
    if ((entry.moreFlags() & kEntryHasExpressions) == 0) {
        return numbers;
    }
    for (int32_t inci = 0; inci < static_cast<int32_t>(StoredEntryLayout::kMaxIds); ++inci) {
        Record10 record;
        if (!LoadRecordEdED(entry.number(), inci, record)) {
            break;
        }
        if ((record.bytes[kNoteExpressionFlagByte] & kNoteExpressionIsText) != 0) {
            numbers.push_back(hostapi::ReadI16(record.data(), hostapi::NoteExpressionLayout::kNumber));
        }
    }
    return numbers;
}

/// The first words of an entry's articulation records (at most four), when it has any.
std::vector<int16_t> EntryArticulations(ConstEntryView entry) {
    std::vector<int16_t> ids;
    if (!entry.has(hostapi::kEntryArticulations)) {
        return ids;
    }
    for (int32_t inci = 0; inci < static_cast<int32_t>(StoredEntryLayout::kMaxIds); ++inci) {
        std::array<uint8_t, kArticulationSize> record{};
        if (!LoadWholeEntryDetailRecord(kTagArticulation, entry.number(), inci, record.data(), kArticulationSize)) {
            break;
        }
        ids.push_back(hostapi::ReadI16(record.data(), hostapi::ArticulationLayout::kDefinition));
    }
    return ids;
}

std::vector<int16_t> StoredIds(const TEntryRecord& stored, size_t countAt, size_t idsAt) {
    const size_t count = std::min<size_t>(stored.bytes[countAt], StoredEntryLayout::kMaxIds);
    std::vector<int16_t> ids;
    for (size_t i = 0; i < count; ++i) {
        ids.push_back(hostapi::ReadI16(stored.bytes.data(), idsAt + 2 * i));
    }
    return ids;
}

void StoreIds(TEntryRecord& stored, size_t countAt, size_t idsAt, const std::vector<int16_t>& ids) {
    stored.bytes[countAt] = static_cast<uint8_t>(ids.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        hostapi::WriteI16(stored.bytes.data(), idsAt + 2 * i, ids[i]);
    }
}

/// Compare Entries' comparison of one entry of the document with the stored entry at its place.
class EntryComparison {
public:
    EntryComparison(TFMisc& context, EntryEngineState& state, hostapi::EntryView entry)
        : m_context(context), m_state(state), m_entry(entry) {}

    void Run();

private:
    int32_t FirstMeasure() const { return m_state.region.firstMeasure(); }
    const std::vector<TEntryRecord>& Stored() const { return m_context.StoredEntries; }
    static int32_t OffsetOf(const TEntryRecord& stored) {
        return hostapi::ReadI32(stored.bytes.data(), StoredEntryLayout::kMeasureOffset);
    }
    static ConstEntryView EntryOf(const TEntryRecord& stored) {
        return ConstEntryView(stored.bytes.data() + StoredEntryLayout::kEntry);
    }
    /// Marks a difference at the entry (with the marking option) and lowers the next mark.
    void Mark(const char* text, int32_t step);
    void MarkMeasureStart(hostapi::MeasureNumber measure, const char* text) const;
    bool NotesEqual(ConstEntryView stored, ConstEntryView entry) const;
    bool NoteEqual(hostapi::ConstNoteView stored, hostapi::ConstNoteView note) const;
    bool ExpressionsEqual(const TEntryRecord& stored) const;

    TFMisc& m_context;
    EntryEngineState& m_state;
    hostapi::EntryView m_entry;
    int32_t m_vertical = kMarkTop;
};

void EntryComparison::Mark(const char* text, int32_t step) {
    if (RowOn(m_context.Options, ROW_MARK)) {
        MarkScorePosition(m_state.measure, m_state.staff, m_entry.position(), m_vertical, text, kMarkFont, kMarkSize,
                          m_context.Walk.measureSpec);
    }
    m_vertical -= step;
}

void EntryComparison::MarkMeasureStart(hostapi::MeasureNumber measure, const char* text) const {
    if (RowValue(m_context.Options, ROW_MARK) == 0) {
        return;
    }
    // An earlier measure's record is its own, not the current measure's.
    EDTMeasureSpec record;
    if (measure == m_state.measure) {
        MarkScorePosition(measure, m_state.staff, 0, m_vertical, text, kMarkFont, kMarkSize,
                          m_context.Walk.measureSpec);
    } else if (LoadMeasureSpec(measure, record)) {
        MarkScorePosition(measure, m_state.staff, 0, m_vertical, text, kMarkFont, kMarkSize, record);
    }
}

void EntryComparison::Run() {
    const int32_t offset = m_state.measure - FirstMeasure();
    const Edu position = m_entry.position();
    size_t& cursor = m_state.storedCursor;

    // Stored entries before this one were deleted since the read.
    bool skippedEarlier = false;
    bool skippedOwn = false;
    while (cursor < Stored().size()) {
        const TEntryRecord& stored = Stored()[cursor];
        const int32_t storedOffset = OffsetOf(stored);
        const Edu storedPosition = EntryOf(stored).position();
        if (storedOffset > offset || (storedOffset == offset && storedPosition >= position)) {
            break;
        }
        if (storedOffset < offset) {
            const auto measure = static_cast<hostapi::MeasureNumber>(storedOffset + FirstMeasure());
            const bool runOpen = m_state.runStart != 0;
            m_state.compareStopMeasure = measure;
            if (!runOpen || storedPosition == 0) {
                MarkMeasureStart(measure, "FEWER");
            }
            if (!runOpen) {
                m_state.runStart = measure;
            }
            skippedEarlier = true;
        } else {
            skippedOwn = true;
        }
        ++cursor;
    }
    if (skippedOwn && !skippedEarlier) {
        Mark("<-FEWER", kFewerStep);
    }

    if (cursor >= Stored().size()) {
        Mark("MORE", kMarkStep);
    } else {
        const TEntryRecord& stored = Stored()[cursor];
        const ConstEntryView source = EntryOf(stored);
        if (OffsetOf(stored) != offset || source.position() != position) {
            // An entry the source does not have: the stored entry waits for its own place.
            Mark("DIFF", kMarkStep);
        } else {
            uint32_t mask = ~0u;
            if (RowOn(m_context.Options, ROW_IGNORE_STEMS)) {
                mask &= ~kStemUp;
            }
            if (RowOn(m_context.Options, ROW_IGNORE_NOTEHEADS)) {
                mask &= ~kNoteheadRecords;
            }
            if ((source.flags() & mask) != (m_entry.flags() & mask)) {
                Mark("EF", kMarkStep);
            }
            if (source.actualDuration() != m_entry.actualDuration() || source.duration() != m_entry.duration()) {
                Mark("DUR", kMarkStep);
            }
            if (!NotesEqual(source, m_entry)) {
                Mark("NOTE", kMarkStep);
            }
            if (EntryArticulations(m_entry) !=
                StoredIds(stored, StoredEntryLayout::kArticulationCount, StoredEntryLayout::kArticulations)) {
                Mark("ARTIC", kMarkStep);
            }
            if (!ExpressionsEqual(stored)) {
                Mark("EXPR", kMarkStep);
            }
            ++cursor;
        }
    }
    if (m_vertical < kMarkTop) {
        m_state.measureHit = true;
    }
}

bool EntryComparison::NoteEqual(hostapi::ConstNoteView stored, hostapi::ConstNoteView note) const {
    uint32_t mask = ~0u;
    if (RowOn(m_context.Options, ROW_IGNORE_ACCIDENTAL_FROZEN)) {
        mask &= ~kAccidentalFrozen;
    }
    if (RowOn(m_context.Options, ROW_IGNORE_ACCIDENTAL_SHOWN)) {
        mask &= ~kAccidentalShown;
    }
    if ((stored.flags() & mask) != (note.flags() & mask)) {
        return false;
    }
    if (stored.harmonicLevel() == note.harmonicLevel() && stored.alteration() == note.alteration()) {
        return true;
    }
    if (RowValue(m_context.Options, ROW_IGNORE_ENHARMONICS) == 0) {
        return false;
    }
    hostapi::NoteRecord copy;
    std::copy_n(note.data(), hostapi::NoteLayout::kSize, copy.data());
    hostapi::NoteRecord respelled;
    RespellEnharmonic(respelled.view(), copy, m_state.key);
    return respelled.view().harmonicLevel() == stored.harmonicLevel() &&
           respelled.view().alteration() == stored.alteration();
}

bool EntryComparison::NotesEqual(ConstEntryView stored, ConstEntryView entry) const {
    if (stored.noteCount() != entry.noteCount()) {
        return false;
    }
    for (int32_t i = 0; i < entry.notesHeld(); ++i) {
        if (!NoteEqual(stored.note(i), entry.note(i))) {
            return false;
        }
    }
    return true;
}

bool EntryComparison::ExpressionsEqual(const TEntryRecord& stored) const {
    const std::vector<int16_t> source =
        StoredIds(stored, StoredEntryLayout::kExpressionCount, StoredEntryLayout::kExpressions);
    const std::vector<int16_t> current = EntryExpressions(m_entry);
    if (source.size() != current.size()) {
        return false;
    }
    // The source's numbers name expressions of the document as it was read.
    const TTextExpressions& sourceTable = *m_context.TextExpressions;
    const TTextExpressions& table = TextExpressionTable();
    for (size_t i = 0; i < source.size(); ++i) {
        const TTxtExprRec* a = ExpressionOf(sourceTable, source[i]);
        const TTxtExprRec* b = ExpressionOf(table, current[i]);
        if (a == nullptr || b == nullptr || a->Text != b->Text) {
            return false;
        }
    }
    return true;
}

}  // namespace

void MarkScorePosition(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff, Edu position, int32_t vertical,
                       std::string_view text, const char* fontName, int32_t size, EDTMeasureSpec& measureSpec) {
    const int32_t number = TextExpressionTable().FindOrCreate(text, fontName, size, 0, 0, 0, 0, 0);
    Record12 placement;
    uint8_t* bytes = placement.data();
    hostapi::WriteI16(bytes, MeasureExpressionLayout::kExpression, static_cast<int16_t>(number));
    hostapi::WriteI16(bytes, MeasureExpressionLayout::kPosition, static_cast<int16_t>(position));
    hostapi::WriteI16(bytes, MeasureExpressionLayout::kVertical, static_cast<int16_t>(vertical));
    hostapi::WriteU16(bytes, MeasureExpressionLayout::kStaff,
                      staff == 0 ? uint16_t{0} : static_cast<uint16_t>(staff + kOneStaff));
    int32_t cmper = measure;
    int32_t inci = -1;
    CreateOtherRecord(kTagMeasureExpression, cmper, inci, bytes, Record12::kSize);
    measureSpec.setWord(
        EDTMeasureSpec::kMoreFlags / 2,
        static_cast<int16_t>(measureSpec.word(EDTMeasureSpec::kMoreFlags / 2) | kMeasureHasExpressions));
    SaveMeasureSpec(measure, measureSpec);
}

// ---- Compare Entries ----

void CompareTimeSignature(TFMisc& context, EntryEngineState& state) {
    const EDTMeasureSpec& measureSpec = context.Walk.measureSpec;
    const int32_t word = measureSpec.beats() * 65536 + measureSpec.beatDuration();
    if (RowOn(context.Options, ROW_READ)) {
        context.StoredTimeSignatures.push_back(word);
        return;
    }
    const auto offset = static_cast<size_t>(state.measure - state.region.firstMeasure());
    const int32_t stored = offset < context.StoredTimeSignatures.size() ? context.StoredTimeSignatures[offset] : 0;
    if (stored == word) {
        return;
    }
    if (RowOn(context.Options, ROW_MARK)) {
        const hostapi::InstrumentKey staff = StaffOfSlot(state.region.firstStaff(), state.region.viewKey());
        MarkScorePosition(state.measure, staff, 0, kTimeSignatureVertical, "!!TIMESIG!!", kMarkFont, kMarkSize,
                          context.Walk.measureSpec);
    }
    state.measureHit = true;
}

void StoreEntry(TFMisc& context, EntryEngineState& state, ConstEntryView entry) {
    TEntryRecord stored;
    uint8_t* bytes = stored.bytes.data();
    hostapi::WriteI32(bytes, StoredEntryLayout::kMeasureOffset, state.measure - state.region.firstMeasure());
    hostapi::WriteI32(bytes, StoredEntryLayout::kLayer, state.layer);
    StoreIds(stored, StoredEntryLayout::kArticulationCount, StoredEntryLayout::kArticulations,
             EntryArticulations(entry));
    StoreIds(stored, StoredEntryLayout::kExpressionCount, StoredEntryLayout::kExpressions, EntryExpressions(entry));
    std::copy_n(entry.data(), EntryLayout::kSize, bytes + StoredEntryLayout::kEntry);
    context.StoredEntries.push_back(stored);
}

void CompareEntry(TFMisc& context, EntryEngineState& state, hostapi::EntryView entry) {
    EntryComparison(context, state, entry).Run();
}

// ---- Find ----

void FindMeasureExpressions(TFMisc& context, EntryEngineState& state) {
    const hostapi::SelectionRecord& region = state.region;
    for (int32_t inci = 0;; ++inci) {
        Record12 record;
        if (!LoadRecordOtDY(state.measure, inci, record)) {
            return;
        }
        const auto staffWord = static_cast<uint16_t>(record.word(MeasureExpressionLayout::kStaff / 2));
        const Edu position = record.word(MeasureExpressionLayout::kPosition / 2);
        if ((staffWord & kSkippedByFind) != 0 || !MeasureInRange(state.measure, position, region, 0) ||
            !ExpressionMatches(context, record.word(MeasureExpressionLayout::kExpression / 2))) {
            continue;
        }
        for (int32_t slot = region.firstStaff(); slot <= region.lastStaff(); ++slot) {
            const int32_t staff = StaffOfSlot(static_cast<hostapi::StaffSlot>(slot), region.viewKey());
            bool covered = false;
            if ((staffWord & kOneStaff) != 0) {
                covered = (staffWord & kStaffKeyMask) == staff;
            } else {
                const int32_t list = staffWord & kStaffListMask;
                covered = list == 0 || StaffListMembership(staff, list) > 0;
            }
            if (covered) {
                state.measureHit = true;
                return;
            }
        }
    }
}

void FindEntryTests(TFMisc& context, EntryEngineState& state, ConstEntryView entry, const ConstEntryView* previous) {
    if (RowOn(context.Options, ROW_ALL_MEASURES)) {
        state.measureHit = true;
    } else if (RowOn(context.Options, ROW_ENHARMONIC) && previous != nullptr && entry.isNote() &&
               previous->flags() != 0 && entry.notesHeld() > 0 && previous->notesHeld() > 0) {
        // The first notes of two neighbouring entries: the same pitch, spelled differently.
        const hostapi::ConstNoteView note = entry.note(0);
        const hostapi::ConstNoteView before = previous->note(0);
        if (HostOffers(&HostImports::NotePitch) && note.harmonicLevel() != before.harmonicLevel() &&
            NotePitchValue(note.data(), state.key) == NotePitchValue(before.data(), state.key)) {
            state.measureHit = true;
        }
    }
    if (context.Options[ROW_SEARCH].text.empty()) {
        return;
    }
    for (const int16_t number : EntryExpressions(entry)) {
        if (ExpressionMatches(context, number)) {
            state.measureHit = true;
            return;
        }
    }
}

}  // namespace orvex
