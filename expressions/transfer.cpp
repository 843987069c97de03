#include "expressions/transfer.h"

#include <algorithm>

#include "core/beat_chart.h"
#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/host_imports.h"
#include "core/host/staff_systems.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "expressions/expression_records.h"
#include "expressions/txtexpr.h"
#include "expressions/txtexpr_sort.h"
#include "platform/hostapi/expression_records.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/system.h"

namespace orvex {
namespace {

using hostapi::kTagLockedMeasures;

constexpr size_t kEndMeasure = hostapi::LockedMeasuresLayout::kEndMeasure;
/// The kind word of an expression metatool that names a text expression.
constexpr int16_t kTextExpressionKind = 1;
constexpr int32_t kPageCount = 1000;  ///< pages 0 to 999 are looked at
constexpr int32_t kMaxIncis = 0x7FFF;
constexpr uint16_t kKeepOwnStaffList = hostapi::StaffSystemLayout::kOwnStaffList;
/// The i16 fields of a staff system that a write copies: top staff offset, left and right
/// margin, distance to the next system, scaling.
constexpr size_t kSystemFields[] = {hostapi::StaffSystemLayout::kTopStaffOffset,
                                    hostapi::StaffSystemLayout::kLeftMargin, hostapi::StaffSystemLayout::kRightMargin,
                                    hostapi::StaffSystemLayout::kDistance, hostapi::StaffSystemLayout::kPercent};

std::string Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

TransferStore& StoreOf(TFMisc& context) {
    return context.States.Get<TransferStore>();
}

/// The context's own table, read from the document in front and analysed.
void LoadAnalysedTable(TTextExpressions& table) {
    table.LoadFromDocument();
    table.SortTables().Build(table.Options().AdditionalFonts);
    table.AnalyzeAll();
}

// ---- Read run ----

void ReadPageItems(TFMisc& context, TransferStore& store) {
    if (RowOn(context.Options, TRANSFER_PAGE_GRAPHICS)) {
        store.pageGraphics.clear();
        for (int32_t page = 0; page < kPageCount; ++page) {
            for (int32_t inci = 0; inci < kMaxIncis; ++inci) {
                TPageGraphics graphic;
                if (!LoadPageGraphic(page, graphic, inci)) {
                    break;
                }
                store.pageGraphics.push_back(std::move(graphic));
            }
        }
    }
    if (RowOn(context.Options, TRANSFER_PAGE_TEXTS)) {
        store.pageTexts.clear();
        // The filter words are the plug-in's text; page texts are the document's bytes.
        const std::vector<std::string> words =
            TransferFilterWords(win::Utf8ToAnsi(RowText(context.Options, TRANSFER_PAGE_TEXT_WORDS)));
        for (int32_t page = 0; page < kPageCount; ++page) {
            for (int32_t inci = 0; inci < kMaxIncis; ++inci) {
                TPageText text;
                if (!LoadPageText(page, text, inci)) {
                    break;
                }
                const std::string upper = LocaleUpper(text.text);
                if (words.empty() || std::any_of(words.begin(), words.end(), [&](const std::string& word) {
                        return upper.find(word) != std::string::npos;
                    })) {
                    store.pageTexts.push_back(std::move(text));
                }
            }
        }
    }
}

void ReadLockedGroups(TransferStore& store, const hostapi::SelectionRecord& region) {
    store.lockedGroups.clear();
    store.lockedGroupsRead = true;
    const int32_t first = region.firstMeasure();
    const int32_t last = region.lastMeasure();
    Record12 record;
    int32_t cmper = first;
    int32_t inci = 0;
    while (cmper <= last && !LoadWholeOtherRecord(kTagLockedMeasures, cmper, 0, record.data(), Record12::kSize)) {
        ++cmper;
    }
    for (int32_t step = 0; cmper <= last && step <= UINT16_MAX; ++step) {
        if (cmper >= first) {
            TransferLockedGroup group;
            group.measureOffset = cmper - first;
            group.record = record;
            hostapi::WriteI16(group.record.data(), kEndMeasure,
                              static_cast<int16_t>(hostapi::ReadI16(record.data(), kEndMeasure) - first));
            store.lockedGroups.push_back(group);
        }
        if (!NextOtherRecord(kTagLockedMeasures, cmper, inci, record.data(), Record12::kSize)) {
            break;
        }
    }
}

void ReadMeasures(TFMisc& context, TransferStore& store, const hostapi::SelectionRecord& region) {
    const bool beatCharts = RowOn(context.Options, TRANSFER_BEAT_CHARTS);
    store.measures.clear();
    store.measureLoaded.clear();
    if (beatCharts) {
        store.beatCharts.clear();
    }
    BeatChartState& chart = BeatCharts(context);
    int32_t withChart = 0;
    for (int32_t measure = region.firstMeasure(); measure <= region.lastMeasure(); ++measure) {
        EDTMeasureSpec measureSpec;
        const bool loaded = LoadMeasureSpec(measure, measureSpec);
        // Kept also when the load failed, so that offsets stay in step; such a record is marked
        // and never written.
        store.measures.push_back(measureSpec);
        store.measureLoaded.push_back(loaded);
        if (!beatCharts) {
            continue;
        }
        context.Walk.measureSpec = measureSpec;
        if (!LoadBeatChart(context, measure)) {
            continue;
        }
        for (int32_t i = 0; i <= chart.elementCount; ++i) {
            TransferBeatElement element;
            element.measureOffset = measure - region.firstMeasure();
            element.element.bytes = chart.elements[static_cast<size_t>(i)].bytes;
            store.beatCharts.push_back(element);
        }
        if (chart.elementCount != 0) {
            ++withChart;
        }
        RecomputeBeatPositions(context);
    }
    SetProgressText(context, FreeText::ProgressLoadedData, {std::to_string(withChart)});
}

/// The measure-attached expressions of the region, staff by staff, so that each keeps the slot it
/// stands on (one assigned to several staves is kept once for each), and the source's font names
/// for mapping them to the target's text expressions.
void ReadMeasureExpressions(TFMisc& context, TransferStore& store, const hostapi::SelectionRecord& region) {
    store.expressions = std::make_unique<TExpressionList>();
    if (AllocToolLists(context)) {
        for (int32_t slot = region.firstStaff();
             HostOffers(&HostImports::InstrumentOfSlot) && slot <= region.lastStaff(); ++slot) {
            CollectSwitches switches;
            switches.staffFilter = StaffOfSlot(slot, region.viewKey());
            if (switches.staffFilter == 0) {
                continue;
            }
            TExpressionList staff;
            CollectRegionExpressions(context.Environment, staff, region.firstMeasure(), region.lastMeasure(), region,
                                     switches);
            for (std::unique_ptr<TExpressionItem>& item : staff.Items()) {
                item->Measure -= region.firstMeasure();
                item->Staff = slot - region.firstStaff();
                store.expressions->Append(std::move(item));
            }
        }
        FreeToolLists(context);
    }
    context.FontNames.clear();
    for (int32_t font = 0; font <= 255; ++font) {
        context.FontNames[font] = HostFontName(font);
    }
}

void ReadRun(TFMisc& context, TransferStore& store, const hostapi::SelectionRecord& region) {
    if (RowOn(context.Options, TRANSFER_EXPRESSION_METATOOLS) || RowOn(context.Options, TRANSFER_MEASURE_EXPRESSIONS)) {
        LoadAnalysedTable(*context.TextExpressions);
    }
    if (RowOn(context.Options, TRANSFER_MEASURE_EXPRESSIONS)) {
        ReadMeasureExpressions(context, store, region);
    }
    ReadPageItems(context, store);
    if (RowOn(context.Options, TRANSFER_ARTICULATION_METATOOLS)) {
        store.articulationMetatools.clear();
        for (int32_t key = kFirstArticulationKey; key <= kLastArticulationKey; ++key) {
            Record12 record;
            if (!LoadSmallRecord(key, record, kTagArticulationMetatool)) {
                record = Record12{};
            }
            store.articulationMetatools.push_back(record);
        }
    }
    if (RowOn(context.Options, TRANSFER_STAFF_SYSTEMS)) {
        store.staffSystems = std::make_unique<TStaffSystems>();
    }
    if (RowOn(context.Options, TRANSFER_LOCKED_GROUPS)) {
        ReadLockedGroups(store, region);
    }
    if (RowOn(context.Options, TRANSFER_BEAT_CHARTS) || RowOn(context.Options, TRANSFER_MEASURES)) {
        ReadMeasures(context, store, region);
    }
    if (RowOn(context.Options, TRANSFER_SWITCH)) {
        context.Options[TRANSFER_WRITE].value = 1;
        context.Options[TRANSFER_READ].value = 0;
    }
}

// ---- Write run ----

void WriteArticulationMetatools(const TransferStore& store) {
    int32_t count = 0;
    for (size_t i = 0; i < store.articulationMetatools.size() && i < kArticulationKeyCount; ++i) {
        const Record12& record = store.articulationMetatools[i];
        if (hostapi::ReadI16(record.data(), hostapi::ArticulationMetatoolLayout::kNumber) != 0 &&
            SaveSmallRecord(kFirstArticulationKey + static_cast<int32_t>(i), record, kTagArticulationMetatool)) {
            ++count;
        }
    }
    ShowMessage(FreeText::TransferredNArticulationMetatools, {std::to_string(count)});
}

void WriteExpressionMetatools(TFMisc& context) {
    TTextExpressions& target = TextExpressionTable();
    LoadAnalysedTable(target);
    const TTextExpressions& source = *context.TextExpressions;
    int32_t count = 0;
    for (int32_t s = 0; s < source.ExpressionCount(); ++s) {
        const TTxtExprRec& from = source.Item(s);
        if (from.MetatoolKey == 0 || from.NotRead != 0) {
            continue;
        }
        for (int32_t t = 0; t < target.ExpressionCount(); ++t) {
            const TTxtExprRec& to = target.Item(t);
            if (to.NotRead != 0 || to.Text != from.Text || to.MusicFont != from.MusicFont ||
                to.DynamicsGlyph != from.DynamicsGlyph) {
                continue;
            }
            Record12 record;
            hostapi::WriteI16(record.data(), hostapi::ExpressionMetatoolLayout::kNumber,
                              static_cast<int16_t>(to.Number));
            hostapi::WriteI16(record.data(), hostapi::ExpressionMetatoolLayout::kKind, kTextExpressionKind);
            if (SaveSmallRecord(from.MetatoolKey, record, kTagMetatool)) {
                ++count;  // several matches: the last in table order stays
            }
        }
    }
    ShowMessage(FreeText::TransferredNExpressionMetatools, {std::to_string(count)});
}

/// The document's last measure (the host's record of the whole document).
int32_t LastMeasureOfDocument() {
    return DispatcherEnvironment().WholeDocument().lastMeasure();
}

/// Replaces the region's locked groups by the stored ones; a group that would start past the
/// document's last measure is not written (counted in `skipped`), one that would end past it ends
/// at the last measure.
void WriteLockedGroups(const TransferStore& store, const hostapi::SelectionRecord& region, int32_t& skipped) {
    const int32_t first = region.firstMeasure();
    const int32_t last = region.lastMeasure();
    int32_t cmper = first;
    int32_t inci = 0;
    DeleteOtherRecord(kTagLockedMeasures, first, 0);
    for (int32_t step = 0; step <= UINT16_MAX && NextOtherRecord(kTagLockedMeasures, cmper, inci, nullptr, 0); ++step) {
        if (cmper > last) {
            break;
        }
        if (cmper >= first && DeleteOtherRecord(kTagLockedMeasures, cmper, inci)) {
            --inci;  // a later incidence under the same measure moved down onto this one
        }
    }
    const int32_t documentLast = LastMeasureOfDocument();
    for (const TransferLockedGroup& group : store.lockedGroups) {
        const int32_t measure = first + group.measureOffset;
        if (measure > documentLast) {
            ++skipped;
            continue;
        }
        Record12 record = group.record;
        // The record holds one past the group's last measure.
        const int32_t end = std::min(hostapi::ReadI16(record.data(), kEndMeasure) + first, documentLast + 1);
        hostapi::WriteI16(record.data(), kEndMeasure, static_cast<int16_t>(end));
        SaveOtherRecord(kTagLockedMeasures, measure, 0, record.data(), Record12::kSize);
    }
}

void WriteStaffSystems(const TransferStore& store) {
    TStaffSystems target;
    const TStaffSystems& source = *store.staffSystems;
    for (int32_t n = 0; n < std::min(source.Count(), target.Count()); ++n) {
        const EDTStaffSystemSpec2001& from = source.At(n);
        EDTStaffSystemSpec2001& to = target.At(n);
        for (const size_t field : kSystemFields) {
            hostapi::WriteI16(to.data(), field, hostapi::ReadI16(from.data(), field));
        }
        to.setFlags(static_cast<uint16_t>((from.flags() & ~kKeepOwnStaffList) | (to.flags() & kKeepOwnStaffList)));
        SaveSystem(target, n + 1);
    }
}

/// Saves the chart gathered in the context for a measure, unless it lies past the document.
bool SaveGatheredChart(TFMisc& context, int32_t measure) {
    BeatChartState& chart = BeatCharts(context);
    if (chart.elementCount == 0 || measure > LastMeasureOfDocument()) {
        return false;
    }
    // The count rose once per element: the chart's last index is one less.
    --chart.elementCount;
    chart.hasChart = 1;
    std::fill(chart.removalMarks.begin(), chart.removalMarks.end(), 0);
    LoadMeasureSpec(measure, context.Walk.measureSpec);
    RecomputeBeatPositions(context);
    return SaveBeatChart(context, measure, false);
}

/// Writes the stored beat charts and measure records; `skipped` counts the stored measures the
/// document lacks.
void WriteMeasures(TFMisc& context, const TransferStore& store, const hostapi::SelectionRecord& region,
                   int32_t& skipped) {
    const int32_t first = region.firstMeasure();
    int32_t chartsSaved = 0;
    if (RowOn(context.Options, TRANSFER_BEAT_CHARTS)) {
        BeatChartState& chart = BeatCharts(context);
        chart.elementCount = 0;
        int32_t offset = 0;
        for (const TransferBeatElement& element : store.beatCharts) {
            if (element.measureOffset != offset && chart.elementCount != 0) {
                chartsSaved += SaveGatheredChart(context, first + offset) ? 1 : 0;
                chart.elementCount = 0;
            }
            offset = element.measureOffset;
            if (static_cast<size_t>(chart.elementCount) < BeatChartState::kMaxElements) {
                chart.elements[static_cast<size_t>(chart.elementCount)].bytes = element.element.bytes;
                ++chart.elementCount;
            }
        }
        chartsSaved += SaveGatheredChart(context, first + offset) ? 1 : 0;
        chart.elementCount = 0;
    }
    int32_t measuresSaved = 0;
    for (size_t i = 0; i < store.measures.size(); ++i) {
        const int32_t measure = first + static_cast<int32_t>(i);
        EDTMeasureSpec target;
        if (i >= store.measureLoaded.size() || !store.measureLoaded[i]) {
            continue;
        }
        if (!LoadMeasureSpec(measure, target)) {
            ++skipped;
            continue;
        }
        const EDTMeasureSpec& stored = store.measures[i];
        if (RowOn(context.Options, TRANSFER_MEASURES)) {
            target = stored;
        } else {
            hostapi::WriteI16(target.data(), EDTMeasureSpec::kWidth,
                              hostapi::ReadI16(stored.data(), EDTMeasureSpec::kWidth));
            const uint16_t flags = hostapi::ReadU16(target.data(), EDTMeasureSpec::kFlags);
            const uint16_t mode = hostapi::ReadU16(stored.data(), EDTMeasureSpec::kFlags) & kSpacingModeMask;
            hostapi::WriteU16(target.data(), EDTMeasureSpec::kFlags,
                              static_cast<uint16_t>((flags & ~kSpacingModeMask) | mode));
        }
        if (SaveMeasureSpec(measure, target)) {
            ++measuresSaved;
        }
    }
    SetProgressText(context, FreeText::ProgressSavedData, {std::to_string(std::max(chartsSaved, measuresSaved))});
}

void WriteMeasureExpressions(TFMisc& context, const TransferStore& store, const hostapi::SelectionRecord& region,
                             int32_t& skipped) {
    // Nothing read: the destination's expressions are neither cleared nor replaced.
    if (!store.expressions) {
        return;
    }
    TTextExpressions& target = TextExpressionTable();
    LoadAnalysedTable(target);
    if (RowOn(context.Options, TRANSFER_CLEAR_DESTINATION)) {
        ClearStaffRangeExpressions(context.Environment, region, RowOn(context.Options, TRANSFER_CLEAR_GLOBAL));
    }
    skipped += PasteMeasureExpressions(*store.expressions, region, *context.TextExpressions, target, context);
}

void WriteRun(TFMisc& context, const TransferStore& store, const hostapi::SelectionRecord& region) {
    // What the destination has no measure or staff for is not written, and the user is told.
    int32_t skipped = 0;
    if (RowOn(context.Options, TRANSFER_MEASURE_EXPRESSIONS)) {
        WriteMeasureExpressions(context, store, region, skipped);
    }
    if (RowOn(context.Options, TRANSFER_PAGE_GRAPHICS)) {
        for (TPageGraphics graphic : store.pageGraphics) {
            CreatePageGraphic(graphic, graphic.page);
        }
    }
    if (RowOn(context.Options, TRANSFER_PAGE_TEXTS)) {
        for (TPageText text : store.pageTexts) {
            CreatePageText(text, text.page);
        }
    }
    if (RowOn(context.Options, TRANSFER_ARTICULATION_METATOOLS)) {
        WriteArticulationMetatools(store);
    }
    if (RowOn(context.Options, TRANSFER_EXPRESSION_METATOOLS)) {
        WriteExpressionMetatools(context);
    }
    // Locked groups replace the destination's only when a read looked for them.
    if (RowOn(context.Options, TRANSFER_LOCKED_GROUPS) && store.lockedGroupsRead) {
        WriteLockedGroups(store, region, skipped);
    }
    if (RowOn(context.Options, TRANSFER_STAFF_SYSTEMS) && store.staffSystems) {
        WriteStaffSystems(store);
    }
    if (RowOn(context.Options, TRANSFER_BEAT_CHARTS) || RowOn(context.Options, TRANSFER_MEASURES)) {
        WriteMeasures(context, store, region, skipped);
    }
    if (skipped > 0) {
        ShowMessage(FreeText::TransferSkippedItems, {std::to_string(skipped)});
    }
    if (RowOn(context.Options, TRANSFER_SWITCH)) {
        context.Options[TRANSFER_WRITE].value = 0;
        context.Options[TRANSFER_READ].value = 1;
    }
}

}  // namespace

TransferStore::TransferStore() = default;
TransferStore::~TransferStore() = default;

std::vector<std::string> TransferFilterWords(std::string_view text) {
    std::vector<std::string> words;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string word = Trimmed(text.substr(0, comma));
        if (!word.empty()) {
            words.push_back(LocaleUpper(word));
        }
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return words;
}

bool RunTransfer(TFMisc& context, const hostapi::SelectionRecord& region) {
    const bool read = RowOn(context.Options, TRANSFER_READ);
    const bool write = RowOn(context.Options, TRANSFER_WRITE);
    if (read && write) {
        ShowMessage(FreeText::CannotReadAndWrite);
        return false;
    }
    if (!read && !write) {
        return true;
    }
    TransferStore& store = StoreOf(context);
    if (read) {
        ReadRun(context, store, region);
    } else {
        WriteRun(context, store, region);
    }
    return true;
}

}  // namespace orvex
