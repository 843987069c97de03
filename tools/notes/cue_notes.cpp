#include "tools/notes/cue_notes.h"

#include <algorithm>
#include <array>
#include <climits>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/expression_records.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/lyric_records.h"
#include "platform/hostapi/placement_records.h"
#include "platform/win/system.h"
#include "tools/notes/entry_fields.h"
#include "tools/notes/rest_filler.h"

namespace orvex {
namespace {

using hostapi::Edu;
using hostapi::EntryArray;
using hostapi::EntryNumber;
using hostapi::EntryView;
using hostapi::MeasureNumber;
using hostapi::SelectionRecord;
using hostapi::StaffSlot;
using hostapi::Tag;

// Entry detail records copied with a cue note, by the source entry's flags.
constexpr Tag kTagArticulation = hostapi::kTagArticulation;
constexpr Tag kTagBeamBreak = hostapi::kTagSecondaryBeamBreak;
constexpr Tag kTagStemDetail = hostapi::kTagStemAdjustment;
constexpr Tag kTagBeamLow = hostapi::kTagBeamLow;
constexpr Tag kTagBeamHigh = hostapi::kTagBeamHigh;
constexpr Tag kTagBeamExtensionDown = hostapi::kTagBeamExtensionDown;
constexpr Tag kTagBeamExtensionUp = hostapi::kTagBeamExtensionUp;
constexpr Tag kTagTieStart = hostapi::kTagNoteTieStart;
constexpr Tag kTagTieEnd = hostapi::kTagNoteTieEnd;
constexpr Tag kTagNotehead = hostapi::kTagNotehead;
constexpr Tag kTagExpression = hostapi::kTagNoteExpression;
constexpr Tag kTagVerse = hostapi::kTagVerseAssignment;
constexpr Tag kTagSection = hostapi::kTagSectionAssignment;
constexpr Tag kTagChorus = hostapi::kTagChorusAssignment;
/// Stem detail records: detail records (0, entry number), 10 bytes.
constexpr Tag kTagStemUp = hostapi::kTagStemUpDetail;
constexpr Tag kTagStemDown = hostapi::kTagStemDownDetail;
/// The entry's size: entry detail record, 10 bytes; word 1 the size in percent.
constexpr Tag kTagEntrySize = hostapi::kTagNoteSize;
constexpr size_t kEntrySizeWord = 1;
/// The cue name's font: global record 15, 6 bytes (font number in the low byte of word 0, size
/// word 1, effects word 2).
using hostapi::kTagFontDefinition;
constexpr int32_t kCueFontDefinition = 15;
constexpr Tag kTagTextExpression = hostapi::kTagExpression;

// Entry flags that name the detail records a cue note takes with it.
constexpr uint32_t kEntryBeamBreaks = hostapi::kEntrySecondaryBreak;
constexpr uint32_t kEntryTieDetails = hostapi::kEntryTieDetails;
/// "Force stems up": stem up, with its own stem direction.
constexpr uint32_t kEntryForcedStemUp = 0x00000101;

/// Where the cue name stands above its entry (EVPU), and the heights allowed.
constexpr int32_t kDefaultNameHeight = 55;
constexpr int32_t kNameClearance = 20;
constexpr int32_t kMaxNameHeight = 200;
constexpr int16_t kNameHorizontalOffset = -15;
/// The text expression's head: font word, effects word, 30, then three words 0.
constexpr size_t kTextHeadSize = 12;
constexpr int16_t kTextHeadThirdWord = 30;
/// Without a cue font definition: "Times New Roman" at size 16 (in the font word's high byte).
constexpr int16_t kDefaultCueSize = 0x1000;

struct CueNotesUnit {
    /// The kept region pair of the run.
    SelectionRecord destination;
    SelectionRecord source;
};

CueNotesUnit& CueNotesState() {
    return UnitState<CueNotesUnit>();
}

/// Where a tuplet's entries are counted: word 0 of the tuplet record.
constexpr size_t kTupletCountWord = 0;
/// An entry's records are read by incidence; a damaged document cannot make the reading endless.
constexpr int32_t kMaxIncidences = 1000;

/// The first and last position of the cell that the selection takes in `measure`.
void StretchOf(const SelectionRecord& region, MeasureNumber measure, Edu& from, Edu& to) {
    from = measure == region.firstMeasure() ? region.startEdu() : 0;
    to = measure == region.lastMeasure() ? RegionEndPosition(region) : INT32_MAX;
}

/// Copies the detail records (0, entry number) of the tag, by incidence.
void CopyDetailRecords(Tag tag, EntryNumber from, EntryNumber to) {
    for (int32_t inci = 0; inci < kMaxIncidences; ++inci) {
        Record10 record;
        if (!LoadWholeDetailRecord(tag, 0, from, record.data(), Record10::kSize, inci)) {
            return;
        }
        SaveDetailRecord(tag, 0, to, record.data(), Record10::kSize, inci);
    }
}

/// Copies the tuplets of an entry; answers the largest entry count among them (0 without any).
int32_t CopyTuplets(EntryNumber from, EntryNumber to) {
    int32_t largest = 0;
    for (int32_t inci = 0; inci < kMaxIncidences; ++inci) {
        Record30 tuplet;
        if (!LoadRecordEtp(from, inci, tuplet)) {
            break;
        }
        SaveRecordEtp(to, inci, tuplet);
        largest = std::max<int32_t>(largest, tuplet.word(kTupletCountWord));
    }
    return largest;
}

/// The cue note's noteheads, with the accidental positions set back when asked.
void CopyNoteheads(EntryNumber from, EntryNumber to, bool resetAccidentals) {
    for (int32_t inci = 0; inci < kMaxIncidences; ++inci) {
        Record10 head;
        if (!LoadWholeEntryDetailRecord(kTagNotehead, from, inci, head.data(), Record10::kSize)) {
            return;
        }
        if (resetAccidentals) {
            hostapi::WriteI16(head.data(), hostapi::NoteheadLayout::kAccidentalOffset, 0);
        }
        SaveEntryDetailRecord(kTagNotehead, to, inci, head.data(), Record10::kSize);
    }
}

/// What CopyCueEntry is to do with one source entry.
struct CueEntryCopy {
    bool asRest = false;
    bool hidden = false;
};

/// Appends a copy of source entry `index` to the destination cell: the array is saved and loaded
/// again so that the host numbers the copy, and the copy's detail records follow from the source
/// entry. `destination` then holds the reloaded array (none when the host gave none back).
/// Answers the largest entry count of the tuplets that start at the entry (0 without tuplets).
int32_t CopyCueEntry(ScopedEntryArray& destination, const EntryArray& source, int32_t index,
                     const SelectionRecord& destinationRegion, StaffSlot staff, MeasureNumber measure,
                     hostapi::LayerIndex layer, CueEntryCopy how, const std::array<bool, 7>& options,
                     const TFMisc& context) {
    const int32_t at = destination->count;
    if (!InsertEntries(destination.Get(), at, 1)) {
        return 0;
    }
    const hostapi::ConstEntryView from = source.entry(index);
    std::copy_n(from.data(), hostapi::EntryLayout::kSize, destination->entry(at).data());
    destination->entry(at).setNumber(0);
    SaveEntryArray(destination.Get());
    destination.Load(destinationRegion.viewKey(), staff, measure, layer, 1);
    if (!destination || at >= destination->count) {
        return 0;
    }
    const EntryView copy = destination->entry(at);
    if (how.asRest) {
        copy.setFlag(hostapi::kEntryNote, false);
    }
    if (how.hidden) {
        copy.setFlag(hostapi::kEntryHidden, true);
    }
    if (RowOn(context.Options, CUE_NOTES_STEMS_UP)) {
        copy.setFlag(kEntryForcedStemUp, true);
    }

    // The details the copy takes with it; a kind left behind loses its flag, so that the copy
    // does not claim records it does not have.
    const EntryNumber to = copy.number();
    const EntryNumber number = from.number();
    int32_t tuplets = 0;
    if (from.has(hostapi::kEntryTuplet)) {
        tuplets = CopyTuplets(number, to);
    }
    const auto copyIf = [&](uint32_t flag, bool wanted, std::initializer_list<Tag> tags) {
        if (!from.has(flag)) {
            return;
        }
        if (!wanted) {
            copy.setFlag(flag, false);
            return;
        }
        for (Tag tag : tags) {
            CopyEntryDetailRecords(tag, number, to);
        }
    };
    copyIf(hostapi::kEntryArticulations, options[CUE_COPY_ARTICULATIONS], {kTagArticulation});
    copyIf(kEntryBeamBreaks, true, {kTagBeamBreak});
    copyIf(hostapi::kEntryStemDetails, true, {kTagStemDetail, kTagBeamLow, kTagBeamHigh});
    if (from.has(hostapi::kEntryStemDetails)) {
        CopyDetailRecords(kTagStemUp, number, to);
        CopyDetailRecords(kTagStemDown, number, to);
    }
    copyIf(hostapi::kEntryTremolo, true, {kTagBeamExtensionDown, kTagBeamExtensionUp});
    copyIf(kEntryTieDetails, true, {kTagTieStart, kTagTieEnd});
    if (from.has(hostapi::kEntryNoteDetails)) {
        CopyNoteheads(number, to, options[CUE_RESET_ACCIDENTALS]);
    }
    // Note-attached shapes follow when the copies' cell is complete (TSmartShapes::CopyToStaff
    // marks the copies it links them to).
    copy.setMoreFlags(static_cast<uint16_t>(copy.moreFlags() & ~hostapi::kEntryMoreSmartShapes));
    if (HasMoreFlag(from, kEntryMoreExpressions)) {
        if (options[CUE_COPY_STAFF_EXPRESSIONS]) {
            CopyEntryDetailRecords(kTagExpression, number, to);
        } else {
            copy.setMoreFlags(static_cast<uint16_t>(copy.moreFlags() & ~kEntryMoreExpressions));
        }
    }
    copyIf(hostapi::kEntryLyrics, options[CUE_COPY_LYRICS], {kTagVerse, kTagSection, kTagChorus});
    return tuplets;
}

/// Whether one of the `count` - 1 entries after `index` lies in [from, to].
bool TupletReachesStretch(const EntryArray& source, int32_t index, int32_t count, Edu from, Edu to) {
    for (int32_t k = index + 1; k < std::min<int32_t>(index + count, source.count); ++k) {
        const Edu position = source.entry(k).position();
        if (position >= from && position <= to) {
            return true;
        }
    }
    return false;
}

/// Sets the size of every entry of the cell: its 'edAS' record, saved or made.
void SizeEntries(const EntryArray& array, int32_t sizePercent) {
    for (int32_t i = 0; i < array.count; ++i) {
        EntryNumber number = array.entry(i).number();
        Record10 size;
        if (LoadWholeEntryDetailRecord(kTagEntrySize, number, 0, size.data(), Record10::kSize)) {
            size.setWord(kEntrySizeWord, static_cast<int16_t>(sizePercent));
            SaveEntryDetailRecord(kTagEntrySize, number, 0, size.data(), Record10::kSize);
        } else {
            size.setWord(kEntrySizeWord, static_cast<int16_t>(sizePercent));
            int32_t inci = -1;
            CreateEntryDetailRecord(kTagEntrySize, number, inci, size.data(), Record10::kSize);
        }
    }
}

/// The cue notes of one destination staff: the source's entries of every measure of the region.
void CopyCueStaff(StaffSlot staff, int32_t sizePercent, hostapi::LayerIndex layer, std::string_view name,
                  ScopedEditBracket& progress, const std::array<bool, 7>& options, const TFMisc& context) {
    SelectionRecord destinationRegion;
    SelectionRecord source;
    GetCueRegions(&destinationRegion, &source, false);
    const hostapi::InstrumentKey sourceStaff = StaffOfSlot(source.firstStaff(), source.viewKey());
    const hostapi::InstrumentKey destinationStaff = StaffOfSlot(staff, destinationRegion.viewKey());
    if (options[CUE_COPY_CLEFS]) {
        StaffClefsCopy(sourceStaff, destinationStaff, source.firstMeasure(), source.lastMeasure());
    }
    bool namePending = !name.empty();
    for (int32_t m = source.firstMeasure(); m <= source.lastMeasure(); ++m) {
        const auto measure = static_cast<MeasureNumber>(m);
        if (!progress.Step(staff, measure)) {
            return;
        }
        Edu from = 0;
        Edu to = 0;
        StretchOf(source, measure, from, to);
        ScopedEntryArray sourceCell(source.viewKey(), source.firstStaff(), measure, 0, 1);
        if (!sourceCell) {
            continue;
        }
        ScopedEntryArray cell;
        if (sourceCell->count > 0) {
            cell.Load(destinationRegion.viewKey(), staff, measure, layer, 1);
        }
        if (!cell) {
            continue;
        }
        if (cell->count > 0) {
            FrameEntriesRemove(cell.Get(), 0, cell->count);
        }
        int32_t keepVisible = 0;
        for (int32_t i = 0; i < sourceCell->count && cell; ++i) {
            const Edu position = sourceCell->entry(i).position();
            const bool inside = position >= from && position <= to;
            const int32_t at = cell->count;
            const int32_t tuplets = CopyCueEntry(cell, *sourceCell, i, destinationRegion, staff, measure, layer,
                                                 CueEntryCopy{!inside, !inside}, options, context);
            if (!cell || at >= cell->count) {
                break;
            }
            if (!inside) {
                // A tuplet that reaches into the stretch stays whole: its members show as rests.
                if (tuplets > 1 && TupletReachesStretch(*sourceCell, i, tuplets, from, to)) {
                    keepVisible = tuplets;
                }
            } else {
                if (tuplets > 0) {
                    keepVisible = tuplets;
                }
                if (namePending) {
                    AttachCueName(name, staff, destinationRegion, measure, cell->entry(at));
                    namePending = false;
                }
            }
            if (keepVisible > 0) {
                cell->entry(at).setFlag(hostapi::kEntryHidden, false);
                --keepVisible;
            }
        }
        if (cell) {
            SaveEntryArray(cell.Get());
        }
        cell.Load(destinationRegion.viewKey(), staff, measure, layer, 1);
        if (cell && (options[CUE_COPY_NOTE_SHAPES] || options[CUE_COPY_MEASURE_SHAPES])) {
            TSmartShapes shapes;
            shapes.CopyToStaff(sourceStaff, destinationStaff, measure, measure, options[CUE_COPY_NOTE_SHAPES],
                               options[CUE_COPY_MEASURE_SHAPES], sourceCell.Get(), cell.Get());
        }
        // The source goes back before the copies are sized, the copies' cell after.
        sourceCell.Release();
        if (cell) {
            SizeEntries(*cell, sizePercent);
        }
    }
}

}  // namespace

bool GetCueRegions(SelectionRecord* destination, SelectionRecord* source, bool refresh) {
    bool selected = true;
    if (refresh) {
        CueNotesState().source = SelectionRecord{};
        CueNotesState().destination = SelectionRecord{};
        selected = HostSelection(CueNotesState().source.bytes.data(), CueNotesState().destination.bytes.data());
    }
    if (destination != nullptr) {
        *destination = CueNotesState().destination;
    }
    if (source != nullptr) {
        *source = CueNotesState().source;
    }
    return selected;
}

void CopyEntryDetailRecords(Tag tag, EntryNumber from, EntryNumber to) {
    // Each record is copied at the size the host holds it: the tie records are longer than the
    // 10 bytes of the others, and a shorter copy would lose their tail.
    std::vector<uint8_t> record;
    for (int32_t inci = 0; inci < kMaxIncidences; ++inci) {
        if (!LoadEntryDetailRecordBytes(tag, from, inci, record)) {
            return;
        }
        SaveEntryDetailRecord(tag, to, inci, record.data(), static_cast<int32_t>(record.size()));
    }
}

void FillCueStaffRests(const RunEnvironment& environment, StaffSlot staff, std::string_view name, bool fixedHeight,
                       int32_t clefStaff) {
    SelectionRecord destinationRegion;
    SelectionRecord source;
    GetCueRegions(&destinationRegion, &source, false);
    const hostapi::ViewKey view = destinationRegion.viewKey();
    const hostapi::InstrumentKey staffKey = StaffOfSlot(staff, view);
    // The measures the cue notes cover: the host's destination record may describe the whole
    // document, whose other measures the command has no business with.
    const int32_t first = std::max<int32_t>(destinationRegion.firstMeasure(), source.firstMeasure());
    const int32_t last = std::min<int32_t>(destinationRegion.lastMeasure(), source.lastMeasure());
    for (int32_t m = first; m <= last; ++m) {
        const auto measure = static_cast<MeasureNumber>(m);
        ScopedEntryArray lent(view, staff, measure, 0);
        EntryArray* cell = lent.Get();
        if (cell == nullptr) {
            continue;
        }
        const Edu filled = cell->count == 0 ? 0 : FilledTimeOf(cell);
        const Edu length = MeasureLengthOrDefault(staffKey, measure);
        const int32_t before = cell->count;
        InsertFillRests(environment, *cell, length - filled, cell->count, false, cell->count == 0, 8192, true,
                        fixedHeight, clefStaff);
        if (cell->count != before) {
            SaveEntryArray(cell);
        }
        lent.Release();
        if (!name.empty() && m == first) {
            lent.Load(view, staff, measure, 0);
            if (lent && lent->count > 0) {
                AttachCueName(name, staff, destinationRegion, measure, lent->entry(0));
                SaveEntryArray(lent.Get());
            }
        }
    }
}

int32_t CreateCueNameText(std::string_view name, int16_t fontWord, int16_t effectsWord) {
    std::vector<uint8_t> record(kTextHeadSize + name.size() + 1, 0);
    hostapi::WriteI16(record.data(), hostapi::ExpressionLayout::kFontWord, fontWord);
    hostapi::WriteI16(record.data(), hostapi::ExpressionLayout::kStyle, effectsWord);
    hostapi::WriteI16(record.data(), hostapi::ExpressionLayout::kWord4, kTextHeadThirdWord);
    std::copy(name.begin(), name.end(), record.begin() + kTextHeadSize);
    int32_t number = -1;
    int32_t inci = 0;
    if (!CreateOtherRecord(kTagTextExpression, number, inci, record.data(), static_cast<int32_t>(record.size()))) {
        return 0;
    }
    return number;
}

void AttachCueName(std::string_view name, StaffSlot staff, const SelectionRecord& region, MeasureNumber measure,
                   EntryView entry) {
    // The font: the document's cue font a quarter larger, else "Times New Roman" at 16.
    RawRecord<hostapi::FontDefinitionLayout::kSize> font;
    int16_t fontWord = 0;
    int16_t effectsWord = 0;
    if (LoadWholeGlobalRecord(kTagFontDefinition, kCueFontDefinition, font.data(), static_cast<int32_t>(font.kSize))) {
        const int32_t points = hostapi::ReadI16(font.data(), hostapi::FontDefinitionLayout::kPoints);
        const int32_t size = points + points / 4;
        fontWord = static_cast<int16_t>((size % 256) * 256 + font.bytes[hostapi::FontDefinitionLayout::kFont]);
        effectsWord = hostapi::ReadI16(font.data(), hostapi::FontDefinitionLayout::kEffects);
    } else {
        const int16_t times = FontNumberOf("Times New Roman");
        fontWord = static_cast<int16_t>(times + kDefaultCueSize);
    }
    const int32_t expression = CreateCueNameText(name, fontWord, effectsWord);
    if (expression <= 0) {
        return;  // no text expression to attach
    }

    // The height: above the entry as the host places it, else the usual distance.
    int32_t height = kDefaultNameHeight;
    hostapi::EntryBox box;
    hostapi::EntryMetrics metrics;
    if (EntryPlacementOf(StaffOfSlot(staff, region.viewKey()), measure, entry.number(), &box, &metrics) != 0 &&
        box.right() - box.x() > 0) {
        height = box.right() - box.x() + kNameClearance;
    }
    if (height < 0 || height > kMaxNameHeight) {
        height = kDefaultNameHeight;
    }
    const Record10 link = TextExpressionLink(expression, kNameHorizontalOffset, height);
    EntryNumber number = entry.number();
    int32_t inci = -1;
    if (CreateEntryDetailRecord(kTagExpression, number, inci, link.data(), Record10::kSize)) {
        SetMoreFlag(entry, kEntryMoreExpressions);
    }
}

int32_t RunAddCueNotes(const CueNotesRequest& request) {
    SelectionRecord destinationRegion;
    SelectionRecord source;
    if (request.context == nullptr || !GetCueRegions(&destinationRegion, &source, true)) {
        return 0;
    }
    const TFMisc& context = *request.context;
    const std::string name = request.cueName.substr(0, kMaxCueNameLength);
    const auto layer = static_cast<hostapi::LayerIndex>(std::clamp(request.targetLayer, 0, 3));
    const int64_t measures = std::max(source.lastMeasure() - source.firstMeasure() + 1, 0);
    const int64_t staves = static_cast<int64_t>(request.destinationStaves.size());
    ScopedEditBracket progress(&source, static_cast<int32_t>(std::min<int64_t>(measures * staves, INT32_MAX)));

    // The cue notes go only into layers that are empty over the whole region.
    for (const int32_t staff : request.destinationStaves) {
        for (int32_t m = source.firstMeasure(); m <= source.lastMeasure() && !progress.Stopped(); ++m) {
            if (LayerHoldsEntries(destinationRegion.viewKey(), static_cast<StaffSlot>(staff),
                                  static_cast<MeasureNumber>(m), layer)) {
                ShowMessage(FreeText::CueNotesCanOnlyEntered);
                return 0;
            }
        }
    }

    const bool forceStemsUp = RowOn(context.Options, CUE_NOTES_STEMS_UP);
    const int32_t clefStaff = request.flags[CUE_COPY_CLEFS] ? StaffOfSlot(source.firstStaff(), source.viewKey()) : -1;
    for (const int32_t staff : request.destinationStaves) {
        if (progress.Stopped()) {
            break;
        }
        FillCueStaffRests(context.Environment, static_cast<StaffSlot>(staff), {}, forceStemsUp, clefStaff);
        CopyCueStaff(static_cast<StaffSlot>(staff), request.sizePercent, layer, name, progress, request.flags, context);
    }
    return 1;
}

int32_t RunCueNotesCommand(TFMisc& context) {
    const hostapi::SelectionRecord* region = CheckSelection(false);
    if (region == nullptr) {
        return 0;
    }
    if (region->firstStaff() != region->lastStaff()) {
        ShowMessage(FreeText::SelectOneStaffAsSource);
        return 0;
    }
    CueNotesRequest request;
    request.sizePercent = RowValue(context.Options, CUE_NOTES_SIZE);
    request.targetLayer = std::clamp(RowValue(context.Options, CUE_NOTES_LAYER) - 1, 0, 3);
    request.cueName = win::Utf8ToAnsi(RowText(context.Options, CUE_NOTES_NAME));
    if (request.cueName.empty() && HostOffers(&HostImports::InstrumentOfSlot)) {
        const hostapi::InstrumentKey staff = StaffOfSlot(region->firstStaff(), region->viewKey());
        request.cueName = StaffName(staff);
    }
    for (size_t i = 0; i < request.flags.size(); ++i) {
        request.flags[i] = RowOn(context.Options, CUE_NOTES_COPY_CLEFS, i);
    }
    // The staves chosen in the options dialog's staff list, but the source.
    for (size_t staff = 0; staff < context.ChosenItems.size(); ++staff) {
        if (context.ChosenItems[staff] != 0 && static_cast<int32_t>(staff + 1) != region->firstStaff()) {
            request.destinationStaves.push_back(static_cast<int32_t>(staff + 1));
        }
    }
    request.context = &context;
    return RunAddCueNotes(request);
}

}  // namespace orvex
