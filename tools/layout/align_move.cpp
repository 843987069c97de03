// Align/Move and the per-staff expression operations.
#include "tools/layout/align_move.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/staff_systems.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "expressions/expression_records.h"
#include "expressions/txtexpr.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/music_records.h"
#include "tools/layout/explosion/explosion.h"
#include "tools/layout/layout_services.h"
#include "tools/notes/notes_services.h"

namespace orvex {

namespace {

constexpr int32_t kNoReferenceStep = 0x7FFFFFFF;
constexpr int32_t kNoDistance = 0x7FFFFFFF;
constexpr int32_t kMessageNonlinearKey = 2;
constexpr int16_t kNonlinearKey = 0x4000;
/// Byte 11 of a staff record: the staff uses a percussion map.
constexpr size_t kSpecPercussionByte = 11;
constexpr uint8_t kSpecPercussionMap = 0x20;
/// Above items never end lower than this.
constexpr int32_t kLowestAbove = 20;
constexpr int32_t kAlignToValue = 3;  ///< alignment mode 3: a set value, not the other items

struct AlignMoveUnit {
    /// Shown once while the plug-in stays loaded.
    bool percussionMessageShown = false;
};

AlignMoveUnit& AlignMoveState() {
    return UnitState<AlignMoveUnit>();
}

bool Row(const OptionArray& rows, size_t row) {
    return rows[row].value != 0;
}
bool Row(const ExtendedOptionArray& rows, size_t row) {
    return rows[row].value != 0;
}

int32_t BaseHeight(int32_t staffTop) {
    return staffTop * 24 - 156;
}

using hostapi::ArticulationDefinitionLayout;
using hostapi::ArticulationLayout;

/// An articulation definition that Align/Move turns into a text expression.
struct DynamicsArticulation {
    std::array<uint8_t, ArticulationDefinitionLayout::kSize> bytes{};
    uint16_t word(size_t offset) const { return hostapi::ReadU16(bytes.data(), offset); }
    /// The main character, a document byte, and its style.
    uint8_t character() const { return static_cast<uint8_t>(word(ArticulationDefinitionLayout::kCharacter) & 0xFF); }
    uint8_t style() const { return static_cast<uint8_t>(word(ArticulationDefinitionLayout::kCharacter) >> 8); }
    uint8_t fontNumber() const { return static_cast<uint8_t>(word(ArticulationDefinitionLayout::kFontWord) & 0xFF); }
    uint8_t fontSize() const { return static_cast<uint8_t>(word(ArticulationDefinitionLayout::kFontWord) >> 8); }
    uint16_t flags() const { return word(ArticulationDefinitionLayout::kFlags); }
    int16_t horizontalOffset() const {
        return hostapi::ReadI16(bytes.data(), ArticulationDefinitionLayout::kHorizontalOffset);
    }
    uint8_t options() const { return bytes[ArticulationDefinitionLayout::kOptions]; }
};

/// The definition of an articulation when it is a dynamic to convert: its character is a
/// dynamics glyph, it shows that character above the note and no alternate one below.
std::optional<DynamicsArticulation> DynamicsArticulationOf(int16_t number) {
    using L = ArticulationDefinitionLayout;
    DynamicsArticulation definition;
    if (number <= 0 ||
        !LoadWholeOtherRecord(kTagArticulationDefinition, number, 0, definition.bytes.data(), L::kSize)) {
        return std::nullopt;
    }
    const char character = static_cast<char>(definition.character());
    if (character == '\0' || !HasAnyOfChars(std::string_view(&character, 1)) ||
        (definition.options() & L::kNoCharacterAbove) != 0 || (definition.flags() & L::kAlternateBelow) != 0) {
        return std::nullopt;
    }
    return definition;
}

/// Whether one of the entry's articulations is a dynamic to convert.
bool HasDynamicsArticulation(hostapi::ConstEntryView entry) {
    if (!entry.has(hostapi::kEntryArticulations)) {
        return false;
    }
    Record10 articulation;
    for (int32_t inci = 0;
         LoadWholeEntryDetailRecord(kTagArticulation, entry.number(), inci, articulation.data(), Record10::kSize);
         ++inci) {
        if (DynamicsArticulationOf(articulation.word(ArticulationLayout::kDefinition / 2))) {
            return true;
        }
    }
    return false;
}

/// Turns the entry's dynamics articulations into note-attached text expressions: for each one,
/// the text expression of its character in its font, size and style (found or made), an 'edED'
/// at its place, and the articulation taken away; the walk stays at the index the next one moves
/// down to. An entry left without articulations loses its articulation flag. Answers whether
/// the entry changed.
bool ConvertDynamicsArticulations(hostapi::EntryView entry) {
    using L = ArticulationDefinitionLayout;
    TTextExpressions& table = TextExpressionTable();
    bool changed = false;
    Record10 articulation;
    for (int32_t inci = 0;
         LoadWholeEntryDetailRecord(kTagArticulation, entry.number(), inci, articulation.data(), Record10::kSize);) {
        const std::optional<DynamicsArticulation> definition =
            DynamicsArticulationOf(articulation.word(ArticulationLayout::kDefinition / 2));
        if (!definition) {
            ++inci;
            continue;
        }
        const std::string text(1, static_cast<char>(definition->character()));
        const int32_t expression = table.FindOrCreate(text, nullptr, definition->fontSize(), definition->style(), 0, 0,
                                                      0, definition->fontNumber());
        Record10 link;
        link.setWord(NoteExpressionLayout::kNumber / 2, static_cast<int16_t>(expression));
        link.setWord(NoteExpressionLayout::kHorizontal / 2,
                     static_cast<int16_t>(articulation.word(ArticulationLayout::kHorizontalOffset / 2) +
                                          definition->horizontalOffset()));
        link.setWord(NoteExpressionLayout::kVertical / 2,
                     static_cast<int16_t>(articulation.word(ArticulationLayout::kVerticalOffset / 2) - 120));
        const uint16_t linkFlags =
            NoteExpressionLayout::kText |
            ((definition->flags() & L::kReferenceLastNote) == 0 ? NoteExpressionLayout::kAtLastNote : 0);
        link.setWord(NoteExpressionLayout::kFlags / 2, static_cast<int16_t>(linkFlags));
        // Nothing is taken away unless its expression stands in its place.
        if (expression <= 0 || !AppendRecordEdED(entry.number(), link)) {
            ++inci;
            continue;
        }
        entry.setMoreFlags(entry.moreFlags() | kEntryHasNoteExpressions);
        changed = true;
        if (!DeleteEntryDetailRecord(kTagArticulation, entry.number(), inci)) {
            ++inci;
        }
    }
    if (changed && !LoadEntryDetailRecord(kTagArticulation, entry.number(), 0, nullptr, Record10::kSize)) {
        entry.setFlag(hostapi::kEntryArticulations, false);
    }
    return changed;
}

/// Whether the staff's measure carries dynamics: a measure expression, a smart shape, an entry
/// with note expressions, or (when they are to be converted) one with a dynamics articulation.
bool MeasureHasDynamics(const hostapi::SelectionRecord& region, int32_t slot, int32_t staff, int32_t measure,
                        const TStaffShapeIndex& staffShapes, bool articulations) {
    const auto m = static_cast<hostapi::MeasureNumber>(measure);
    if (MeasureHasExpressionOnStaff(m, staff) || staffShapes.Spans(measure)) {
        return true;
    }
    for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
        const ScopedEntryArray lent(region.viewKey(), static_cast<hostapi::StaffSlot>(slot), m, layer);
        hostapi::EntryArray* array = lent.Get();
        if (array == nullptr) {
            continue;
        }
        bool found = false;
        for (int32_t i = 0; i < array->count && !found; ++i) {
            found = (array->entry(i).moreFlags() & kEntryHasNoteExpressions) != 0 ||
                    (articulations && HasDynamicsArticulation(array->entry(i)));
        }
        if (found) {
            return true;
        }
    }
    return false;
}

/// The smart shapes that took part in the last collection, as aligned items over the shapes.
void ShapeItems(TSmartShapes& shapes, int32_t base, bool useTransposition, TExpressionList& items) {
    items.Sums = shapes.Sums;
    for (const int32_t place : shapes.TakenPlaces()) {
        TSmartShape& shape = *shapes.At(place);
        // The reference as the collection summed it: the start entry's place, else the base.
        shape.Reference = base;
        if (shape.Record.entryAttached()) {
            shape.Reference = EntryVerticalPositionById(shape.Record.startStaff(), shape.Record.startMeasure(),
                                                        shape.Record.start(), useTransposition, nullptr, false);
        }
        items.Append(std::make_unique<TShapeItem>(shape));
    }
}

void CombineSums(LayoutSum& sums, const TExpressionList& notes, const TExpressionList& measures,
                 const TExpressionList& shapes, const ExtendedOptionArray& more) {
    const bool noteHalves = Row(more, morerow::kConsiderNoteAttached);
    const bool measureBelow = Row(more, morerow::kConsiderMeasureAttached) ||
                              (Row(more, morerow::kMeasureAttachedIfNoNote) && notes.Sums.countBelow == 0);
    const bool measureAbove = Row(more, morerow::kConsiderMeasureAttached) ||
                              (Row(more, morerow::kMeasureAttachedIfNoNote) && notes.Sums.countAbove == 0);
    const bool shapeHalves = Row(more, morerow::kConsiderHairpins);
    LayoutSumAccumulate(sums, notes.Sums, noteHalves, noteHalves, false);
    LayoutSumAccumulate(sums, measures.Sums, measureBelow, measureAbove, false);
    LayoutSumAccumulate(sums, shapes.Sums, shapeHalves, shapeHalves, false);
    // The second pass adds the enabled halves again (averages and extremes stay) and fills a
    // half that is still empty from a source that is not enabled.
    LayoutSumAccumulate(sums, notes.Sums, noteHalves, noteHalves, true);
    LayoutSumAccumulate(sums, measures.Sums, measureBelow, measureAbove, true);
    LayoutSumAccumulate(sums, shapes.Sums, shapeHalves, shapeHalves, true);
}

/// One staff, measure group by measure group.
void AlignStaff(TFMisc& context, const hostapi::SelectionRecord& region, const OptionArray& align,
                const ExtendedOptionArray& more, const TStaffSystems* systems, int32_t slot, int32_t staff,
                int32_t staffTop) {
    TSmartShapes& shapes = SharedSmartShapes();
    // The run moves shapes up and down only: the staff's shapes span the same measures throughout.
    const TStaffShapeIndex staffShapes(shapes, staff);
    const bool hairpins = Row(align, alignrow::kHairpins);
    const bool custom = Row(align, alignrow::kCustomShapes);
    const int32_t restartAfter = std::max(more[morerow::kRestartAfter].value, 1);
    const int32_t last = region.lastMeasure();
    for (int32_t start = region.firstMeasure(); start <= last;) {
        int32_t end = last;
        if (systems != nullptr && Row(more, morerow::kEachSystem)) {
            const int32_t system = SystemIndexOfMeasure(*systems, start);
            if (system >= 1) {
                end = systems->At(system - 1).endMeasure() - 1;
                if (end < start || end > last) {
                    end = last;
                }
            }
        }
        if (end - start >= restartAfter) {
            int32_t without = 0;
            for (int32_t m = start; m < end; ++m) {
                if (!MeasureHasDynamics(region, slot, staff, m, staffShapes,
                                        Row(more, morerow::kConvertArticulations)) &&
                    ++without >= restartAfter) {
                    end = m;
                    break;
                }
            }
        }
        const int32_t shapeBase = staffTop * 24 - 12 - more[morerow::kHairpinAdjustment].value;
        shapes.CollectRange(staff, start, end, region, hairpins, custom, Row(more, morerow::kSeparately),
                            context.Environment.DocumentOptionFlag() != 0, shapeBase, &staffShapes);
        TExpressionList shapeList;
        ShapeItems(shapes, shapeBase, context.Environment.DocumentOptionFlag() != 0, shapeList);

        TStaffExpressions notes;
        TScoreExpressions measures;
        if (Row(align, alignrow::kTextExpressions) || Row(align, alignrow::kShapeExpressions)) {
            CollectNoteExpressions(context.Environment, notes, slot, start, end, region, &align, &more, staffTop, staff,
                                   Row(more, morerow::kShortMarkings), more[morerow::kShortOffset].value);
            CollectSwitches switches;
            switches.alignOptions = &align;
            switches.moreOptions = &more;
            switches.staffFilter = staff;
            CollectRegionExpressions(context.Environment, measures, start, end, region, switches);
        }
        LayoutSum sums;
        CombineSums(sums, notes, measures, shapeList, more);
        const bool clamp = Row(more, morerow::kAvoidCollisions) && Row(more, morerow::kSeparately);
        const bool shapesAligned = hairpins || custom;
        if (shapesAligned) {
            AlignExpressionList(shapeList, sums, align, more, staffTop, clamp);
        }
        AlignExpressionList(notes, sums, align, more, staffTop, clamp);
        AlignExpressionList(measures, sums, align, more, staffTop, clamp);
        if (!Row(more, morerow::kStraightenOnly) && Row(more, morerow::kAdjustOthers)) {
            const TExpressionList* aligned = shapesAligned ? &shapeList : nullptr;
            FollowNearestExpression(notes, notes, measures, aligned);
            FollowNearestExpression(measures, notes, measures, aligned);
        }
        start = end + 1;
    }
    (void)context;
}

}  // namespace

bool RunAlignMove(TFMisc& context, const hostapi::SelectionRecord& region, const OptionArray& align,
                  ExtendedOptionArray& more, bool reload, TStaffSystems* systems, int32_t progressHandle,
                  int32_t stepCount) {
    if (!RequireHostVersion(context.Environment, 1998)) {
        return false;
    }
    if (!Row(more, morerow::kSeparately) && (!Row(more, morerow::kBelow) || !Row(more, morerow::kAbove))) {
        more[morerow::kSeparately].value = 1;
    }
    std::unique_ptr<TStaffSystems> ownSystems;
    if (systems == nullptr && Row(more, morerow::kEachSystem)) {
        ownSystems = std::make_unique<TStaffSystems>();
        systems = ownSystems.get();
    }
    TTextExpressions& table = TextExpressionTable();
    table.IsComplete();
    if (!table.Loaded()) {
        table.LoadFromDocument();
    }
    table.SortTables().Build(more[morerow::kMusicFonts].text);
    table.AnalyzeAll();
    if (reload) {
        SharedSmartShapes().Refresh(region.firstMeasure(), region.lastMeasure());
    }
    const int32_t staffCount = region.lastStaff() - region.firstStaff() + 1;
    std::optional<ScopedEditBracket> ownProgress;
    if (progressHandle == 0 && stepCount != -1) {
        ownProgress.emplace(&region, std::max(staffCount, 1));
    }
    const int32_t handle = ownProgress ? ownProgress->Handle() : progressHandle;
    bool cancelled = false;
    for (int32_t slot = region.firstStaff(); slot <= region.lastStaff(); ++slot) {
        const hostapi::InstrumentKey staff = StaffOfSlot(slot, region.viewKey());
        if (handle != 0 && !EditBracketStep(handle, staff, 0)) {
            cancelled = true;
            break;
        }
        // A tool without a current measure looks at the region's first.
        const int32_t specMeasure = context.Walk.measure != 0 ? context.Walk.measure : region.firstMeasure();
        std::array<uint8_t, hostapi::StaffSpecLayout::kSize> staffSpec{};
        if (LoadRecordSOSC(staff, static_cast<hostapi::MeasureNumber>(specMeasure), 0, staffSpec.data()) &&
            (staffSpec[kSpecPercussionByte] & kSpecPercussionMap) != 0) {
            if (!AlignMoveState().percussionMessageShown) {
                AlignMoveState().percussionMessageShown = true;
                ShowMessage(FreeText::AlignMovePlugInDoes);
            }
            continue;
        }
        const int32_t staffTop = LoadRecordSOSCCopy(staff, region.firstMeasure(), 0);
        AlignStaff(context, region, align, more, systems, slot, staff, staffTop);
    }
    if (ownProgress) {
        ownProgress->End(cancelled);
    }
    return !cancelled;
}

bool RunAlignMove(TFMisc& context, const RegionWords& words) {
    const hostapi::SelectionRecord region = RegionOfRun(context.Environment, words);
    return RunAlignMove(context, region, context.Options, context.MoreOptions, true, nullptr, context.EditBracket,
                        context.ProgressStepCount);
}

void CollectNoteExpressions(const RunEnvironment& environment, TStaffExpressions& list, int32_t slot, int32_t first,
                            int32_t last, const hostapi::SelectionRecord& region, const OptionArray* align,
                            const ExtendedOptionArray* more, int32_t staffTop, int32_t staff, bool shortMarkings,
                            int32_t horizontalOffset) {
    const TTextExpressions& table = TextExpressionTable();
    const bool convert = more != nullptr && (*more)[morerow::kConvertArticulations].value != 0;
    for (int32_t measure = first; measure <= last; ++measure) {
        const auto m = static_cast<hostapi::MeasureNumber>(measure);
        const int32_t duration = MeasureLengthOrDefault(static_cast<hostapi::InstrumentKey>(staff), m);
        const int16_t key = CellKeyValue(measure, staff, 0);
        const int16_t shownKey = CellKeyValue(measure, staff, environment.DocumentOptionFlag());
        std::array<uint8_t, hostapi::StaffSpecLayout::kSize> staffSpec{};
        const bool haveSpec = LoadRecordSOSC(static_cast<hostapi::InstrumentKey>(staff), m, 0, staffSpec.data());
        if (static_cast<uint16_t>(key) >= static_cast<uint16_t>(kNonlinearKey)) {
            ShowMessage({.id = kMessageNonlinearKey});
            return;
        }
        for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
            const ScopedEntryArray lent(region.viewKey(), static_cast<hostapi::StaffSlot>(slot), m, layer);
            hostapi::EntryArray* array = lent.Get();
            if (array == nullptr) {
                continue;
            }
            bool changed = false;
            for (int32_t i = 0; i < array->count; ++i) {
                const hostapi::EntryView entry = array->entry(i);
                if (!MeasureInRange(measure, entry.position(), region, 0)) {
                    continue;
                }
                if (convert && entry.has(hostapi::kEntryArticulations) && ConvertDynamicsArticulations(entry)) {
                    changed = true;
                }
                if ((entry.moreFlags() & kEntryHasNoteExpressions) == 0) {
                    continue;
                }
                for (int32_t index = 0;; ++index) {
                    auto item = std::make_unique<TStaffExpression>();
                    if (!item->Init(measure, entry.number(), index, staff)) {
                        break;
                    }
                    int32_t step = kNoReferenceStep;
                    int32_t value = 0;
                    if (!entry.isNote() && entry.has(hostapi::kEntryFloatingRest)) {
                        value = (staffTop - 4) * 12;
                    } else {
                        const bool firstNote = (item->Record().flags() & NoteExpressionLayout::kAtLastNote) != 0;
                        step = EntryNoteStep(entry.data(), firstNote ? 0 : -1, key, shownKey,
                                             environment.DocumentOptionFlag() != 0,
                                             haveSpec ? staffSpec.data() : nullptr, nullptr);
                    }
                    TStaffExpression* kept = item.get();
                    std::unique_ptr<TExpressionItem> owned = std::move(item);
                    if (!AddExpressionToList(environment, list, owned, align, more, duration, entry.position(), step,
                                             value, haveSpec ? staffSpec.data() : nullptr, align != nullptr)) {
                        continue;
                    }
                    const int32_t number = kept->ExpressionNumber();
                    if (shortMarkings && kept->IsTextExpression() && number >= 1 && number <= table.Count()) {
                        const TTxtExprRec& text = table.Item(number - 1);
                        if (text.Text.size() <= 4 && text.DynamicsGlyph != 0) {
                            kept->Record().setHorizontal(horizontalOffset);
                            kept->Save();
                        }
                    }
                }
            }
            if (changed) {
                SaveEntryArray(array);
            }
        }
    }
}

void AlignExpressionList(TExpressionList& list, const LayoutSum& sums, const OptionArray& align,
                         const ExtendedOptionArray& more, int32_t staffTop, bool clamp) {
    const int32_t mode = align[alignrow::kMode].value;
    const int32_t move = align[alignrow::kMoveVertically].value;
    const int32_t base = BaseHeight(staffTop);
    for (int32_t i = 0; i < list.Count(); ++i) {
        TExpressionItem& item = *list.At(i);
        if (item.Follower != 0) {
            item.MovedBy = 0;
            continue;
        }
        const bool above = item.Above != 0;
        if (above ? !Row(more, morerow::kAbove) : !Row(more, morerow::kBelow)) {
            continue;
        }
        if (mode != kAlignToValue && (above ? sums.countAbove : sums.countBelow) == 0) {
            // Nothing to align with on this side: the item stays where it is (a note-attached
            // item would otherwise be shifted by its reference).
            item.MovedBy = 0;
            continue;
        }
        const int32_t old = item.VerticalPosition();
        int32_t target = LayoutOffsetOfKind(sums, above, mode, move, old, base);
        if (clamp) {
            target = above ? std::max(target, kLowestAbove) : std::min(target, base);
        }
        if (!Row(more, morerow::kStraightenOnly)) {
            item.SetVerticalPosition(target - item.Reference);
        } else {
            item.Straighten(mode);
        }
        item.Save();
        item.MovedBy = item.VerticalPosition() - old;
    }
}

int32_t NearestExpressionIndex(const TExpressionList& list, int32_t timeKey) {
    int32_t found = -1;
    int64_t best = 0;
    for (int32_t i = 0; i < list.Count(); ++i) {
        const TExpressionItem& item = *list.At(i);
        const int64_t distance = std::llabs(static_cast<int64_t>(item.TimeKey) - timeKey);
        if (item.Follower == 0 && (found < 0 || distance < best)) {
            found = i;
            best = distance;
        }
    }
    return found;
}

void FollowNearestExpression(TExpressionList& list, const TExpressionList& noteList, const TExpressionList& measureList,
                             const TExpressionList* shapes) {
    const std::array<const TExpressionList*, 3> sources = {&noteList, &measureList, shapes};
    for (int32_t i = 0; i < list.Count(); ++i) {
        TExpressionItem& item = *list.At(i);
        if (item.Follower == 0) {
            continue;
        }
        int64_t best = kNoDistance;
        const TExpressionItem* nearest = nullptr;
        for (const TExpressionList* source : sources) {
            const int32_t index = source == nullptr ? -1 : NearestExpressionIndex(*source, item.TimeKey);
            if (index < 0) {
                continue;
            }
            const TExpressionItem* candidate = source->At(index);
            const int64_t distance = std::llabs(static_cast<int64_t>(candidate->TimeKey) - item.TimeKey);
            if (distance < best) {
                best = distance;
                nearest = candidate;
            }
        }
        if (nearest != nullptr) {
            item.SetVerticalPosition(item.VerticalPosition() + nearest->MovedBy);
            item.Save();
        }
    }
}

}  // namespace orvex
