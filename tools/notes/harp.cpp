// "Harp Pedaling...": walks the selected region measure by measure, the entries of all its staves
// and layers in the order of their positions, and follows the seven pedals: a pedal takes the
// accidental of the first note on its letter, the diagram shows these first positions, and a
// later note that wants another position gets a pedal-change mark (or, with "respell notes", the
// other spelling when its pedal already stands right or is still free). Without a full set of
// pedals in the selection the walk reads on after it, for the diagram only.
#include "tools/notes/harp.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_records.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host_probes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "expressions/txtexpr.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/expression_records.h"
#include "tools/notes/notes_services.h"
#include "tools/notes/respell_enharmonic.h"

namespace orvex {
namespace {

constexpr const char* kTextFont = "EngraverTextT";
constexpr const char* kHarpFont = "Harp Pedals 1.1";

// clang-format off
constexpr const char* kLetters = "CDEFGAB";
constexpr const char* kAccidentalLetters = "fns";                       // flat, natural, sharp
constexpr std::array<const char*, 3> kHarpKeyRows = {"QWERTYU", "ASDFGHJ", "ZXCVBNM"};
/// The diagram's pedals: D C B, the divider, E F G A.
constexpr std::array<int32_t, 7> kDiagramOrder = {1, 0, 6, 2, 3, 4, 5};
constexpr size_t kDividerAfter = 3;
constexpr const char* kTextGlyphs = "oOp";                              // flat, natural, sharp
constexpr const char* kHarpGlyphs = "741";
constexpr char kTextDivider = 'P';
constexpr char kHarpDivider = '|';
// clang-format on

/// 'otDY' other (measure, inci), 12 bytes: an expression placed in a measure.
constexpr hostapi::Tag kTagMeasureExpression = hostapi::kTagMeasureExpression;
struct MeasureExpressionLayout {
    static constexpr size_t kExpression = 0;  ///< @0, i16
    static constexpr size_t kVertical = 4;    ///< @4, i16
    static constexpr size_t kStaff = 10;      ///< @10, u16, 0x1000 + the staff's key for one staff
};
constexpr uint16_t kOneStaff = 0x1000;
constexpr int16_t kDiagramVertical = -170;
using hostapi::kMeasureHasExpressions;

/// 'edED' words of a pedal change: expression, horizontal offset, vertical offset, 0, flags.
constexpr uint16_t kNoteExpressionText = 0x8000;
constexpr int32_t kChangeAbove = 200;
constexpr int32_t kChangeStack = 50;

/// The entry's second flag word: bit 0x0001 it has note expressions; 0x0004 on every entry of
/// a changed measure.
constexpr uint16_t kEntryHasExpressions = 0x0001;
constexpr uint16_t kEntryChangedMeasure = 0x0004;

/// An entry of the measure and the cell it lies in.
struct TEntry {
    hostapi::EntryView entry;
    hostapi::EntryArray* array;
    hostapi::InstrumentKey staff;
    int16_t key;
};

int16_t HostKey(int32_t measure, hostapi::InstrumentKey staff, int16_t mode) {
    return CellKeyValue(measure, staff, mode);
}

/// The pedal (0 = C) of a note and its accidental (-2 .. 2 and beyond for multiple ones).
int32_t PedalOf(hostapi::ConstNoteView note, int16_t key, int32_t& alteration) {
    alteration = 0;
    const int32_t step = NotePitchStep(note.data(), key, key, false, nullptr, &alteration);
    return (step % 7 + 7) % 7;
}

/// The walk's state over the whole run.
class HarpPedaling {
public:
    explicit HarpPedaling(TFMisc& context) : m_context(context) {
        m_current.fill(kPedalUnset);
        m_diagram.fill(kPedalUnset);
    }

    bool Run();

private:
    /// One measure; false when a double accidental ends the run.
    bool Measure(int32_t measure, Edu from, Edu to);
    /// One note; answers whether it changed the measure, and sets `stop` on a double accidental.
    bool Note(TEntry& item, int32_t index, bool beyond, int32_t& stack, bool& stop);
    /// A pedal is set for the first time.
    void SetFirst(int32_t pedal, int32_t alteration, hostapi::InstrumentKey staff);
    void AddChange(TEntry& item, int32_t pedal, int32_t alteration, int32_t& stack);

    TFMisc& m_context;
    hostapi::SelectionRecord m_region;
    HarpPedals m_current{};
    HarpPedals m_diagram{};
    int32_t m_unset = 7;
    int32_t m_firstMeasure = 0;
};

bool HarpPedaling::Run() {
    m_region = m_context.Environment.RegionOrWholeDocument();
    const std::string& from = RowText(m_context.Options, HARP_FROM_MEASURE);
    int32_t fromMeasure = 0;
    if (!from.empty() && std::all_of(from.begin(), from.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        from.size() <= 5) {
        fromMeasure = std::stoi(from);
    }
    if (fromMeasure > 0) {
        m_region.setFirstMeasure(static_cast<hostapi::MeasureNumber>(std::min(fromMeasure, INT16_MAX + 0)));
        m_region.setStartEdu(0);
    }
    const hostapi::SelectionRecord& document = m_context.Environment.WholeDocument();
    if (RowOn(m_context.Options, HARP_TO_END)) {
        m_region.setLastMeasure(document.lastMeasure());
        m_region.setEndEdu(document.endEdu());
    }
    const int32_t first = m_region.firstMeasure();
    const int32_t last = m_region.lastMeasure();
    const bool diagram = RowOn(m_context.Options, HARP_ADD_DIAGRAM);
    // The display counts the measures the walk covers (from the "from" measure, to the end when
    // asked); beyond them the walk looks on only for the pedals the diagram still lacks: those
    // measures are no steps of their own but may still be stopped.
    ScopedEditBracket display(&m_region, std::max(last - first + 1, 0));
    bool ended = false;
    for (int32_t m = first; m <= last || (diagram && m_unset > 0 && m <= document.lastMeasure()); ++m) {
        if (!display.Step(0, static_cast<hostapi::MeasureNumber>(m), m <= last ? 1 : 0)) {
            break;
        }
        const Edu endEdu = m_region.endEdu();
        const Edu fromEdu = m == first ? std::max<Edu>(m_region.startEdu(), 0) : 0;
        const Edu toEdu = m == last && endEdu != 0 ? endEdu : INT32_MAX;
        if (!Measure(m, fromEdu, toEdu)) {
            ended = true;  // a double accidental ended the run
            break;
        }
    }
    display.End(display.Stopped() || ended);
    if (ended) {
        return false;
    }
    // A diagram at measure 0 would lie outside the document: without a note there is none.
    if (diagram && m_unset > 0 && m_firstMeasure > 0) {
        BuildHarpPedalDiagram(m_diagram, StaffOfSlot(m_region.lastStaff(), m_region.viewKey()), m_firstMeasure,
                              RowValue(m_context.Options, HARP_DIAGRAM_SIZE),
                              RowOn(m_context.Options, HARP_DIAGRAM_IN_HARP_FONT));
    }
    return !display.Stopped();
}

bool HarpPedaling::Measure(int32_t measure, Edu from, Edu to) {
    std::vector<ScopedEntryArray> arrays;
    std::vector<TEntry> entries;
    for (int32_t slot = m_region.firstStaff(); slot <= m_region.lastStaff(); ++slot) {
        const hostapi::InstrumentKey staff = StaffOfSlot(slot, m_region.viewKey());
        const int16_t key = HostKey(measure, staff, m_context.Environment.DocumentOptionFlag());
        for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
            if (!IsHostMenuCommandChecked(layer)) {
                continue;
            }
            ScopedEntryArray lent(m_region.viewKey(), static_cast<hostapi::StaffSlot>(slot),
                                  static_cast<hostapi::MeasureNumber>(measure), layer, 0);
            hostapi::EntryArray* array = lent.Get();
            if (array == nullptr) {
                continue;
            }
            arrays.push_back(std::move(lent));
            for (int32_t i = 0; i < array->count; ++i) {
                entries.push_back({array->entry(i), array, staff, key});
            }
        }
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TEntry& a, const TEntry& b) { return a.entry.position() < b.entry.position(); });

    bool changed = false;
    bool stop = false;
    const bool diagram = RowOn(m_context.Options, HARP_ADD_DIAGRAM);
    for (TEntry& item : entries) {
        const Edu position = item.entry.position();
        const bool beyond = diagram && (position > to || measure > m_region.lastMeasure());
        if (!beyond && (position < from || position > to)) {
            continue;
        }
        if (m_firstMeasure == 0) {
            m_firstMeasure = measure;
            item.entry.setMoreFlags(static_cast<uint16_t>(item.entry.moreFlags() | kEntryHasExpressions));
            changed = true;
        }
        if (!item.entry.isNote()) {
            continue;
        }
        int32_t stack = 0;
        for (int32_t n = 0; n < item.entry.notesHeld() && !stop; ++n) {
            changed = Note(item, n, beyond, stack, stop) || changed;
        }
        if (stop) {
            break;
        }
    }
    for (ScopedEntryArray& array : arrays) {
        if (changed) {
            for (int32_t i = 0; i < array->count; ++i) {
                const hostapi::EntryView entry = array->entry(i);
                entry.setMoreFlags(static_cast<uint16_t>(entry.moreFlags() | kEntryChangedMeasure));
            }
            SaveEntryArray(array.Get());
        }
        array.Release();
    }
    return !stop;
}

void HarpPedaling::SetFirst(int32_t pedal, int32_t alteration, hostapi::InstrumentKey staff) {
    m_current[static_cast<size_t>(pedal)] = alteration;
    m_diagram[static_cast<size_t>(pedal)] = alteration;
    --m_unset;
    if (m_unset == 0 && RowOn(m_context.Options, HARP_ADD_DIAGRAM)) {
        BuildHarpPedalDiagram(m_diagram, staff, m_firstMeasure, RowValue(m_context.Options, HARP_DIAGRAM_SIZE),
                              RowOn(m_context.Options, HARP_DIAGRAM_IN_HARP_FONT));
    }
}

bool HarpPedaling::Note(TEntry& item, int32_t index, bool beyond, int32_t& stack, bool& stop) {
    const hostapi::NoteView note = item.entry.note(index);
    int32_t alteration = 0;
    const int32_t pedal = PedalOf(note, item.key, alteration);
    if (alteration >= 2 || alteration <= -2) {
        ShowMessage(FreeText::NoDoubleSharpsOrFlats);
        stop = true;
        return false;
    }
    int32_t& current = m_current[static_cast<size_t>(pedal)];
    if (current == kPedalUnset) {
        SetFirst(pedal, alteration, item.staff);
        return false;
    }
    if (beyond) {
        current = alteration;
        if (m_diagram[static_cast<size_t>(pedal)] == kPedalUnset) {
            m_diagram[static_cast<size_t>(pedal)] = alteration;
        }
        return false;
    }
    if (current == alteration) {
        return false;
    }
    hostapi::NoteRecord stored;
    std::copy_n(note.data(), hostapi::NoteLayout::kSize, stored.data());
    hostapi::NoteRecord respelled;
    RespellEnharmonic(respelled.view(), stored, item.key);
    int32_t otherAlteration = 0;
    const int32_t other = PedalOf(respelled.view(), item.key, otherAlteration);
    const bool respell = RowOn(m_context.Options, HARP_RESPELL);
    if (respell && m_current[static_cast<size_t>(other)] == kPedalUnset) {
        std::copy_n(respelled.data(), hostapi::NoteLayout::kSize, note.data());
        SetFirst(other, otherAlteration, item.staff);
        return true;
    }
    if (respell && m_current[static_cast<size_t>(other)] == otherAlteration) {
        std::copy_n(respelled.data(), hostapi::NoteLayout::kSize, note.data());
        return true;
    }
    current = alteration;
    if (RowValue(m_context.Options, HARP_ADD_CHANGES) == 0) {
        return false;
    }
    AddChange(item, pedal, alteration, stack);
    return true;
}

void HarpPedaling::AddChange(TEntry& item, int32_t pedal, int32_t alteration, int32_t& stack) {
    const bool harpFont = RowOn(m_context.Options, HARP_CHANGES_IN_HARP_FONT);
    std::string text;
    if (harpFont) {
        text = kHarpKeyRows[static_cast<size_t>(alteration + 1)][pedal];
    } else {
        text = {kLetters[pedal], kAccidentalLetters[alteration + 1]};
    }
    const int32_t size = RowValue(m_context.Options, HARP_CHANGE_SIZE);
    TTextExpressions& expressions = TextExpressionTable();
    expressions.IsComplete();
    const int32_t number = expressions.FindOrCreate(text, harpFont ? kHarpFont : kTextFont, size, 0, 0, 0, 0, 0);
    const int32_t top = EntryVerticalPosition(item.staff, item.array->measure, item.entry.data(), item.key,
                                              m_context.Environment.DocumentOptionFlag() != 0, item.key, true);
    Record10 change;
    hostapi::WriteI16(change.data(), hostapi::NoteExpressionLayout::kNumber, static_cast<int16_t>(number));
    hostapi::WriteI16(change.data(), hostapi::NoteExpressionLayout::kHorizontal, static_cast<int16_t>(-size));
    hostapi::WriteI16(change.data(), hostapi::NoteExpressionLayout::kVertical,
                      static_cast<int16_t>(-kChangeAbove - stack - top));
    hostapi::WriteU16(change.data(), hostapi::NoteExpressionLayout::kFlags, kNoteExpressionText);
    AppendRecordEdED(item.entry.number(), change);
    item.entry.setMoreFlags(static_cast<uint16_t>(item.entry.moreFlags() | kEntryHasExpressions));
    stack += kChangeStack;
}

}  // namespace

void BuildHarpPedalDiagram(HarpPedals& diagram, hostapi::InstrumentKey staff, int32_t measure, int32_t size,
                           bool harpFont) {
    const char* glyphs = harpFont ? kHarpGlyphs : kTextGlyphs;
    std::string text;
    for (size_t i = 0; i < kDiagramOrder.size(); ++i) {
        if (i == kDividerAfter) {
            text += harpFont ? kHarpDivider : kTextDivider;
        }
        int32_t& pedal = diagram[static_cast<size_t>(kDiagramOrder[i])];
        if (pedal == kPedalUnset) {
            pedal = -1;
        }
        text += glyphs[pedal + 1];
    }
    TTextExpressions& expressions = TextExpressionTable();
    expressions.IsComplete();
    const int32_t number = expressions.FindOrCreate(text, harpFont ? kHarpFont : kTextFont, size, 0, 0, 0, 0, 0);
    Record12 placement;
    hostapi::WriteI16(placement.data(), MeasureExpressionLayout::kExpression, static_cast<int16_t>(number));
    hostapi::WriteI16(placement.data(), MeasureExpressionLayout::kVertical, kDiagramVertical);
    hostapi::WriteU16(placement.data(), MeasureExpressionLayout::kStaff, static_cast<uint16_t>(staff + kOneStaff));
    int32_t cmper = measure;
    int32_t inci = -1;
    CreateOtherRecord(kTagMeasureExpression, cmper, inci, placement.data(), Record12::kSize);
    EDTMeasureSpec measureSpec;
    if (LoadMeasureSpec(measure, measureSpec)) {
        const uint16_t word = hostapi::ReadU16(measureSpec.data(), EDTMeasureSpec::kMoreFlags);
        hostapi::WriteU16(measureSpec.data(), EDTMeasureSpec::kMoreFlags,
                          static_cast<uint16_t>(word | kMeasureHasExpressions));
        SaveMeasureSpec(measure, measureSpec);
    }
}

bool RunHarpPedaling(TFMisc& context) {
    return HarpPedaling(context).Run();
}

}  // namespace orvex
