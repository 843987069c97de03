// Expression records in memory and the region expression collector.
#include "expressions/expression_records.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/beat_chart.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/staff_lists.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "expressions/txtexpr.h"
#include "platform/hostapi/entry_array.h"

namespace orvex {

namespace {

constexpr int32_t kNoReferenceStep = 0x7FFFFFFF;
/// The walk of a measure's assignments ends at this index at the latest.
constexpr int32_t kEndOfWalk = 0x7FFF;
/// Staff number that no place record carries: deletes a link's places of every staff.
constexpr int16_t kNoStaff = std::numeric_limits<int16_t>::min();
/// @46, i16, the vertical offset of a smart shape's end.
constexpr size_t kShapeEndOffset = 46;

bool On(const OptionArray* options, size_t row) {
    return options != nullptr && (*options)[row].value != 0;
}
bool On(const ExtendedOptionArray* options, size_t row) {
    return options != nullptr && (*options)[row].value != 0;
}

int32_t ClampToWord(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT16_MIN, INT16_MAX));
}

int32_t TimeKeyOf(int32_t measure, int32_t position, int32_t duration) {
    int64_t key = static_cast<int64_t>(measure) * 1000;
    if (duration > 0) {
        key += static_cast<int64_t>(position) * 1000 / duration;
    }
    return static_cast<int32_t>(std::clamp<int64_t>(key, INT32_MIN, INT32_MAX));
}

/// Creates the assignment as a new record of the measure; a copy that lands between the walk's
/// place and its end ends the walk there, so that the walk does not visit its own copies.
void CreateAssignment(int32_t measure, const MeasureExpressionRecord& record, int32_t index, int32_t& end) {
    int32_t cmper = measure;
    int32_t inci = -1;
    if (CreateOtherRecord(kTagMeasureExpression, cmper, inci, record.data(), MeasureExpressionLayout::kSize) &&
        inci > index && inci < end) {
        end = inci;
    }
}

/// The place record of a link on a staff, or -1 (the record then cleared).
int32_t FindPlace(int32_t measure, int32_t link, int32_t staff, ExpressionPlaceRecord& place) {
    const int32_t inci =
        DeleteRecordsOtDI(measure, place.data(), static_cast<int16_t>(link), static_cast<int16_t>(staff), false);
    if (inci < 0) {
        place = ExpressionPlaceRecord{};
    }
    return inci;
}

bool EnclosedTextExpression(const MeasureExpressionRecord& record) {
    if (!record.isPlainText() || record.number() < 1) {
        return false;
    }
    const TTextExpressions& table = TextExpressionTable();
    return record.number() <= table.Count() && table.Item(record.number() - 1).HasPlayback();
}

/// EVPU of an EDU distance from an entry at `from` to `to` in the measure: through the
/// measure's beat chart when it has one, else in proportion to the measure's width.
int32_t EduDistanceToEvpu(TFMisc& context, int32_t measure, int32_t from, int32_t to) {
    if (!LoadMeasureSpec(measure, context.Walk.measureSpec)) {
        return 0;
    }
    LoadBeatChart(context, measure);
    const BeatChartState& chart = BeatCharts(context);
    if (chart.hasChart == 0 || chart.elementCount == 0) {
        const int64_t length =
            static_cast<int64_t>(context.Walk.measureSpec.beats()) * context.Walk.measureSpec.beatDuration();
        const int16_t width = hostapi::ReadI16(context.Walk.measureSpec.data(), EDTMeasureSpec::kWidth);
        return length == 0 ? 0 : static_cast<int32_t>(static_cast<int64_t>(to - from) * width / length);
    }
    RecomputeBeatPositions(context);
    return InterpolateMeasurePosition(context, to) - InterpolateMeasurePosition(context, from);
}

/// Attaches a copy of the assignment to the entry of the staff's cell nearest to its position
/// (layers 0-3, the first layer that has one); false when no layer has an entry.
bool AttachToNearestEntry(const MeasureExpressionRecord& copy, int32_t measure, int32_t staff,
                          const hostapi::SelectionRecord& region, TFMisc& context) {
    const hostapi::StaffSlot slot = SlotOfStaff(staff, region.viewKey());
    if (slot == 0) {
        return false;
    }
    const int32_t p = copy.position();
    for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
        const ScopedEntryArray array(region.viewKey(), slot, static_cast<hostapi::MeasureNumber>(measure), layer);
        if (!array) {
            continue;
        }
        int32_t found = -1;
        int32_t distance = 0;
        if (array->count > 0 && p < 1) {
            found = 0;
            distance = p;
        } else {
            int64_t best = std::numeric_limits<int64_t>::max();
            for (int32_t i = 0; i < array->count; ++i) {
                const hostapi::EntryView entry = array->entry(i);
                const int64_t away = std::llabs(static_cast<int64_t>(p) - entry.position());
                if (entry.actualDuration() != 0 && away < best) {
                    best = away;
                    found = i;
                    distance = p - entry.position();
                }
            }
        }
        if (found < 0) {
            continue;
        }
        const hostapi::EntryView entry = array->entry(found);
        const OptionArray& rows = context.Options;
        int32_t horizontal = distance;
        if (rows[expressionsrow::kAlignWithNote].value != 0) {
            horizontal = rows[expressionsrow::kHorizontalOffset].value;
        } else if (p > 0) {
            horizontal = EduDistanceToEvpu(context, measure, entry.position(), p);
        }
        const int16_t key = CellKeyValue(measure, staff, 0);
        const int16_t shownKey = CellKeyValue(measure, staff, context.Environment.DocumentOptionFlag());
        const int32_t notePlace = EntryVerticalPosition(static_cast<hostapi::InstrumentKey>(staff),
                                                        static_cast<hostapi::MeasureNumber>(measure), entry.data(), key,
                                                        context.Environment.DocumentOptionFlag() != 0, shownKey, false);
        NoteExpressionRecord note;
        note.setNumber(copy.number());
        note.setHorizontal(horizontal);
        note.setVertical(copy.vertical() - notePlace);
        note.setFlags(copy.isPlainText() ? NoteExpressionLayout::kText : 0);
        hostapi::EntryNumber number = entry.number();
        int32_t inci = -1;
        CreateEntryDetailRecord(kTagNoteExpression, number, inci, note.data(), NoteExpressionLayout::kSize);
        entry.setMoreFlags(static_cast<uint16_t>(entry.moreFlags() | kEntryHasNoteExpressions));
        SaveEntryArray(array.Get());
        return true;
    }
    return false;
}

/// Step "Convert" of the collector for one assignment: answers whether the record was deleted.
bool ConvertAssignment(const RunEnvironment& environment, TScoreExpressions& list, int32_t measure, int32_t index,
                       int32_t& end, const MeasureExpressionRecord& record, const hostapi::SelectionRecord& region,
                       const CollectSwitches& s, int32_t duration) {
    TFMisc* options = s.expressionOptions;
    const bool noteAttach = options != nullptr && options->Options[expressionsrow::kNoteAttached].value != 0;
    if (record.singleStaff() && !noteAttach && !s.slotCopy) {
        return false;
    }
    if (!s.slotCopy && options != nullptr) {
        const OptionArray& rows = options->Options;
        if (record.vertical() >= 0 ? rows[expressionsrow::kAbove].value == 0
                                   : rows[expressionsrow::kBelow].value == 0) {
            return false;
        }
        if (rows[expressionsrow::kIgnoreEnclosed].value != 0 && EnclosedTextExpression(record)) {
            return false;
        }
    }
    // A slot copy only gathers copies for another document: the assignment stays where it is.
    bool deleted = false;
    if (!s.slotCopy) {
        deleted = DeleteOtherRecord(kTagMeasureExpression, measure, index);
        if (!deleted) {
            return false;
        }
        --end;
    }
    const int32_t walkIndex = deleted ? index - 1 : index;
    std::vector<int32_t> targets;
    if (s.oneStaff) {
        targets.push_back(StaffOfSlot(region.firstStaff(), region.viewKey()));
    } else if (s.staves != nullptr) {
        for (int32_t i = 0; i < s.staves->Count(); ++i) {
            targets.push_back(s.staves->At(i).staff());
        }
    }
    for (const int32_t target : targets) {
        const bool applies = record.singleStaff()
                                 ? (noteAttach || s.slotCopy) && record.target() == target
                                 : record.target() == 0 || StaffListMembership(target, record.target()) != 0;
        if (!applies || target == 0) {
            continue;
        }
        MeasureExpressionRecord copy = record;
        copy.setSingleStaff(target);
        if (record.hasPlaces()) {
            ExpressionPlaceRecord place;
            if (FindPlace(measure, record.link(), target, place) >= 0) {
                copy.setPosition(ClampToWord(copy.position() + place.horizontal()));
                copy.setVertical(ClampToWord(copy.vertical() + place.vertical()));
            }
        }
        if (s.slotCopy) {
            const int32_t slot = SlotOfStaff(target, region.viewKey());
            if (slot >= region.firstStaff() && slot <= region.lastStaff() && slot != 0) {
                std::unique_ptr<TExpressionItem> item = std::make_unique<TScoreExpression>(
                    measure - region.firstMeasure(), -1, copy, -1, ExpressionPlaceRecord{}, slot - region.firstStaff());
                AddExpressionToList(environment, list, item, nullptr, nullptr, duration, copy.position(),
                                    kNoReferenceStep, 0, nullptr, false);
            }
            continue;
        }
        if (noteAttach && AttachToNearestEntry(copy, measure, target, region, *options)) {
            continue;
        }
        CreateAssignment(measure, copy, walkIndex, end);
    }
    return deleted;
}

}  // namespace

// ---- TScoreExpression ----

TScoreExpression::TScoreExpression(int32_t measure, int32_t index, const MeasureExpressionRecord& record,
                                   int32_t placeIndex, const ExpressionPlaceRecord& place, int32_t staff)
    : m_record(record), m_placeIndex(placeIndex), m_place(place) {
    Measure = measure;
    Index = index;
    Staff = staff;
    if (placeIndex < 0) {
        m_place = ExpressionPlaceRecord{};
        m_place.setStaff(staff);
        m_place.setLink(record.link());
    }
}

void TScoreExpression::SetVerticalPosition(int32_t value) {
    if (m_record.singleStaff()) {
        m_record.setVertical(ClampToWord(value));
    } else {
        m_place.setVertical(ClampToWord(static_cast<int64_t>(value) - m_record.vertical()));
    }
}

bool TScoreExpression::Save() {
    if (m_record.singleStaff()) {
        return SaveRecordOtDY(Measure, Index, m_record);
    }
    if (!m_record.hasPlaces()) {
        m_record.setFlags(static_cast<uint16_t>(m_record.flags() | MeasureExpressionLayout::kHasPlaces));
        ExpressionPlaceRecord scratch;
        DeleteRecordsOtDI(Measure, scratch.data(), m_record.link(), kNoStaff, true);
        if (!SaveRecordOtDY(Measure, Index, m_record)) {
            return false;
        }
    }
    if (m_placeIndex < 0) {
        int32_t cmper = Measure;
        int32_t inci = -1;
        if (!CreateOtherRecord(kTagExpressionPlace, cmper, inci, m_place.data(), ExpressionPlaceLayout::kSize)) {
            return false;
        }
        m_placeIndex = inci;
        return true;
    }
    return SaveOtherRecord(kTagExpressionPlace, Measure, m_placeIndex, m_place.data(), ExpressionPlaceLayout::kSize);
}

// ---- TStaffExpression ----

bool TStaffExpression::Init(int32_t measure, hostapi::EntryNumber entry, int32_t index, int32_t staff) {
    Measure = measure;
    Index = index;
    Staff = staff;
    Follower = 0;
    m_entry = entry;
    return LoadRecordEdED(entry, index, m_record);
}

bool TStaffExpression::Save() {
    return SaveRecordEdED(m_entry, Index, m_record);
}

// ---- TShapeItem ----

TShapeItem::TShapeItem(TSmartShape& shape) : m_shape(&shape) {
    Staff = shape.Staff;
    Measure = shape.Measure;
    Position = shape.Start;
    TimeKey = shape.SortKey;
    Reference = shape.Reference;
    Above = shape.Above ? 1 : 0;
}

int32_t TShapeItem::VerticalPosition() const {
    return m_shape->Record.startOffset();
}

void TShapeItem::SetVerticalPosition(int32_t value) {
    using L = hostapi::SmartShapeLayout;
    uint8_t* bytes = m_shape->Record.data();
    const int32_t delta = value - m_shape->Record.startOffset();
    hostapi::WriteI16(bytes, L::kStartOffset, static_cast<int16_t>(ClampToWord(value)));
    hostapi::WriteI16(bytes, kShapeEndOffset,
                      static_cast<int16_t>(ClampToWord(hostapi::ReadI16(bytes, kShapeEndOffset) + delta)));
}

void TShapeItem::Straighten(int32_t /*mode*/) {
    hostapi::WriteI16(m_shape->Record.data(), kShapeEndOffset, m_shape->Record.startOffset());
}

bool TShapeItem::Save() {
    return SaveSmartShapeRecord(m_shape->Number, m_shape->Record);
}

// ---- TExpressionList ----

TExpressionItem* TExpressionList::At(int32_t n) const {
    return n >= 0 && n < Count() ? m_items[static_cast<size_t>(n)].get() : nullptr;
}

// ---- Classification ----

bool HasDynamicWords(const std::string& text) {
    return text.find("cresc") != std::string::npos || text.find("dim.") != std::string::npos ||
           text.find("diminuendo") != std::string::npos;
}

bool AddExpressionToList(const RunEnvironment& environment, TExpressionList& list,
                         std::unique_ptr<TExpressionItem>& item, const OptionArray* align,
                         const ExtendedOptionArray* more, int32_t duration, int32_t position, int32_t referenceStep,
                         int32_t referenceValue, const uint8_t* staffSpec, bool classify) {
    bool keep = true;
    const bool text = item->IsTextExpression();
    const int32_t number = item->ExpressionNumber();
    if (classify && align != nullptr && more != nullptr && On(more, morerow::kOnlyDynamics) && text && number >= 1) {
        const TTextExpressions& table = TextExpressionTable();
        if (number > table.Count()) {
            return false;
        }
        const TTxtExprRec& record = table.Item(number - 1);
        const bool dynamic = record.DynamicsGlyph != 0 || HasDynamicWords(record.PlainText());
        if (!dynamic) {
            if (record.MusicFont == 0 && On(more, morerow::kAdjustOthers)) {
                item->Follower = 1;
            } else {
                keep = false;
            }
        }
    }
    if (!text) {
        keep = classify && On(align, alignrow::kShapeExpressions);
    } else if (align != nullptr) {
        keep = keep && On(align, alignrow::kTextExpressions);
    }
    if (referenceStep == kNoReferenceStep) {
        item->Reference = referenceValue;
    } else {
        const int32_t staffStep = staffSpec == nullptr
                                      ? -10
                                      : ClefOffsetAt(static_cast<hostapi::InstrumentKey>(item->Staff),
                                                     static_cast<hostapi::MeasureNumber>(item->Measure), position,
                                                     environment.DocumentOptionFlag() != 0, staffSpec);
        item->Reference = (referenceStep + staffStep) * 12;
    }
    const int32_t place = item->VerticalPosition() + item->Reference;
    item->Above = (!classify || more == nullptr || On(more, morerow::kSeparately)) && place >= 0 ? 1 : 0;
    if (classify && more != nullptr) {
        keep = keep && (item->Above != 0 ? On(more, morerow::kAbove) : On(more, morerow::kBelow));
    }
    if (!keep) {
        return false;
    }
    item->Position = position;
    item->TimeKey = TimeKeyOf(item->Measure, position, duration);
    if (item->Follower == 0) {
        LayoutSumCompute(list.Sums, item->Above != 0, item->VerticalPosition(), item->Reference);
    }
    list.Append(std::move(item));
    return true;
}

// ---- The collector ----

int32_t HighestExpressionLink(int32_t measure) {
    int32_t highest = 0;
    ExpressionPlaceRecord place;
    int32_t cmper = measure;
    int32_t inci = 0;
    bool found = LoadWholeOtherRecord(kTagExpressionPlace, measure, 0, place.data(), ExpressionPlaceLayout::kSize);
    if (!found) {
        found = NextOtherRecord(kTagExpressionPlace, cmper, inci, place.data(), ExpressionPlaceLayout::kSize) &&
                cmper == measure;
    }
    while (found) {
        highest = std::max<int32_t>(highest, place.link());
        cmper = measure;
        found = NextOtherRecord(kTagExpressionPlace, cmper, inci, place.data(), ExpressionPlaceLayout::kSize) &&
                cmper == measure;
    }
    return highest;
}

void CollectRegionExpressions(const RunEnvironment& environment, TScoreExpressions& list, int32_t first, int32_t last,
                              const hostapi::SelectionRecord& region, const CollectSwitches& s) {
    for (int32_t measure = first; measure <= last; ++measure) {
        // A host that knows no length gives the default, so that time keys stay defined.
        const int32_t duration = MeasureLengthOrDefault(static_cast<hostapi::InstrumentKey>(s.staffFilter),
                                                        static_cast<hostapi::MeasureNumber>(measure));
        EDTMeasureSpec measureSpec;
        if (!LoadMeasureSpec(measure, measureSpec) ||
            (hostapi::ReadU16(measureSpec.data(), EDTMeasureSpec::kMoreFlags) & hostapi::kMeasureHasExpressions) == 0) {
            continue;
        }
        int32_t linkCounter = HighestExpressionLink(measure);
        int32_t end = kEndOfWalk;
        MeasureExpressionRecord record;
        for (int32_t index = 0; index < end && LoadRecordOtDY(measure, index, record); ++index) {
            if (!MeasureInRange(measure, record.position(), region, 0)) {
                continue;
            }
            const int32_t target = record.target();
            const bool matches = s.staffFilter == 0 ||
                                 (record.singleStaff() ? target == s.staffFilter
                                                       : target == 0 || StaffListMembership(s.staffFilter, target) > 0);
            if (!matches) {
                continue;
            }
            if (s.targetStaff != 0 && record.singleStaff()) {
                MeasureExpressionRecord copy = record;
                copy.setSingleStaff(s.targetStaff);
                CreateAssignment(measure, copy, index, end);
                continue;
            }
            if (s.remove) {
                if (record.singleStaff() || (target == 0 && s.removeAllStaves)) {
                    if (DeleteOtherRecord(kTagMeasureExpression, measure, index)) {
                        --index;
                        --end;
                    }
                } else if (target != 0) {
                    StaffListRemoveAll(s.staffFilter, target);
                }
                continue;
            }
            if (s.factor != 0.0) {
                record.setPosition(ClampToWord(static_cast<int64_t>(std::trunc(record.position() * s.factor))));
                SaveRecordOtDY(measure, index, record);
                continue;
            }
            if (s.convert) {
                if (ConvertAssignment(environment, list, measure, index, end, record, region, s, duration)) {
                    --index;
                }
                continue;
            }
            ExpressionPlaceRecord place;
            int32_t placeIndex = -1;
            // A link ties a list-based assignment to its per-staff records; one without them yet
            // gets a new one for the record its Save creates. A single-staff assignment gets no
            // per-staff records, so it keeps its words as read and a Save that moves nothing
            // leaves it as it was.
            if (record.hasPlaces() && !record.singleStaff()) {
                placeIndex = FindPlace(measure, record.link(), s.staffFilter, place);
            } else if (!record.singleStaff()) {
                record.setLink(++linkCounter);
            }
            if (s.targetStaff != 0) {
                StaffListCopyMembership(target, s.targetStaff, StaffListMembership(s.targetStaff, target),
                                        StaffListMembership(s.staffFilter, target));
                if (placeIndex >= 0 && (place.horizontal() != 0 || place.vertical() != 0)) {
                    ExpressionPlaceRecord copy = place;
                    copy.setStaff(s.targetStaff);
                    TScoreExpression targetPlace(measure, index, record, -1, copy, s.targetStaff);
                    targetPlace.Place() = copy;
                    targetPlace.Save();
                }
                continue;
            }
            std::unique_ptr<TExpressionItem> item =
                std::make_unique<TScoreExpression>(measure, index, record, placeIndex, place, s.staffFilter);
            AddExpressionToList(environment, list, item, s.alignOptions, s.moreOptions, duration, record.position(),
                                kNoReferenceStep, 0, nullptr, s.alignOptions != nullptr);
        }
    }
}

// ---- Pasting ----

int32_t PasteMeasureExpressions(const TScoreExpressions& list, const hostapi::SelectionRecord& region,
                                TTextExpressions& source, TTextExpressions& target, TFMisc& context) {
    int32_t skipped = 0;
    int32_t previousMeasure = std::numeric_limits<int32_t>::min();
    bool measureExists = false;
    for (int32_t i = 0; i < list.Count(); ++i) {
        auto* item = dynamic_cast<TScoreExpression*>(list.At(i));
        if (item == nullptr) {
            continue;
        }
        MeasureExpressionRecord copy = item->Record();
        const int32_t measure = item->Measure + region.firstMeasure();
        const hostapi::InstrumentKey staff = StaffOfSlot(region.firstStaff() + item->Staff, region.viewKey());
        EDTMeasureSpec measureSpec;
        if (measure != previousMeasure) {
            measureExists = measure >= 1 && LoadMeasureSpec(measure, measureSpec);
        }
        // A target shorter or narrower than the source: a record under a measure it lacks would
        // appear when the user adds measures, one on staff 0 stands on no staff.
        if (!measureExists || staff == 0) {
            ++skipped;
            continue;
        }
        copy.setSingleStaff(staff);
        // Only a text expression's number names an entry of the text expression tables.
        if (copy.number() != 0 && !copy.isShape()) {
            const TTxtExprRec& from = source.Item(copy.number() - 1);
            const auto font = context.FontNames.find(from.FontNumber());
            const char* fontName =
                font != context.FontNames.end() && !font->second.empty() ? font->second.c_str() : nullptr;
            copy.setNumber(static_cast<int16_t>(
                target.FindOrCreate(from.Text, fontName, from.FontSize(), from.Style(), 0, 0, 0, from.FontNumber())));
        }
        int32_t cmper = measure;
        int32_t inci = -1;
        CreateOtherRecord(kTagMeasureExpression, cmper, inci, copy.data(), MeasureExpressionLayout::kSize);
        if (measure != previousMeasure) {
            hostapi::WriteU16(measureSpec.data(), EDTMeasureSpec::kMoreFlags,
                              static_cast<uint16_t>(hostapi::ReadU16(measureSpec.data(), EDTMeasureSpec::kMoreFlags) |
                                                    hostapi::kMeasureHasExpressions));
            SaveMeasureSpec(measure, measureSpec);
        }
        previousMeasure = measure;
    }
    return skipped;
}

int32_t InterpolateMeasurePosition(const TFMisc& context, int32_t position) {
    const BeatChartState& chart = BeatCharts(context);
    const int32_t count = chart.elementCount;
    int32_t j = 0;
    while (j < count && BeatTime(chart, j + 1) < position) {
        ++j;
    }
    const int32_t previous = j == 0 ? 0 : BeatTime(chart, j);
    const int32_t next = j == count ? context.Walk.measureSpec.beats() * context.Walk.measureSpec.beatDuration()
                                    : BeatTime(chart, j + 1);
    const int32_t base = j == 0 ? 0 : chart.positions[static_cast<size_t>(j)];
    if (next == previous) {
        return base;
    }
    return base + static_cast<int32_t>(static_cast<int64_t>(BeatElementWidth(chart, j)) * (position - previous) /
                                       (next - previous));
}

void ClearStaffExpressions(const RunEnvironment& environment, int32_t first, int32_t last,
                           const hostapi::SelectionRecord& region, int32_t staff, bool allStaves) {
    TScoreExpressions list;
    CollectSwitches switches;
    switches.staffFilter = staff;
    switches.remove = true;
    switches.removeAllStaves = allStaves;
    CollectRegionExpressions(environment, list, first, last, region, switches);
}

void ClearStaffRangeExpressions(const RunEnvironment& environment, const hostapi::SelectionRecord& region,
                                bool allStaves) {
    for (int32_t slot = region.firstStaff(); slot <= region.lastStaff(); ++slot) {
        ClearStaffExpressions(environment, region.firstMeasure(), region.lastMeasure(), region,
                              StaffOfSlot(slot, region.viewKey()), allStaves);
    }
}

void CopyStaffExpressions(const RunEnvironment& environment, int32_t first, int32_t last,
                          const hostapi::SelectionRecord& region, int32_t staff, int32_t target) {
    if (target == 0) {
        return;
    }
    TScoreExpressions list;
    CollectSwitches switches;
    switches.staffFilter = staff;
    switches.targetStaff = target;
    CollectRegionExpressions(environment, list, first, last, region, switches);
}

}  // namespace orvex
