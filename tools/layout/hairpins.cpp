// Create Hairpins.
#include "tools/layout/hairpins.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/beat_chart.h"
#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/host/staff_lists.h"
#include "core/host/staff_systems.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "expressions/txtexpr.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/system.h"
#include "tools/layout/align_move.h"
#include "tools/notes/notes_services.h"

namespace orvex {

namespace {

using L = hostapi::SmartShapeLayout;

// The hairpin's record beyond the fields the access layer names.
constexpr size_t kLeftHeight = 16;   ///< @16, i16
constexpr size_t kRightHeight = 46;  ///< @46, i16
constexpr uint16_t kTemplateWord2 = 0x8200;
constexpr uint16_t kTemplateWord = 0x4000;
constexpr std::array<size_t, 5> kTemplateWordOffsets = {18, 28, 48, 58, 74};
/// The opening width stands at these offsets.
constexpr std::array<size_t, 3> kOpeningOffsets = {22, 52, 68};

struct GlyphRow {
    uint8_t code;
    const char* letters;
};

// clang-format off
constexpr std::array<GlyphRow, 19> kDynamicsGlyphTable = {{
    {0x46, "mf"},
    {0x50, "mp"},
    {0x73, ""},
    {0x53, "f"},
    {0x7A, ""},
    {0x5A, "f"},
    {0x82, "fp"},
    {0xA7, "f"},
    {0x8D, "ff"},
    {0x8E, ""},
    {0xAF, "pppp"},
    {0xB6, "fpp"},
    {0xB8, "ppp"},
    {0xB9, "pp"},
    {0xBD, "m"},
    {0xC4, "ff"},
    {0xEA, "fp"},
    {0xEB, "ffff"},
    {0xEC, "fff"},
}};
// clang-format on

hostapi::Edu MeasureDuration(int32_t staff, int32_t measure) {
    return MeasureLengthOrDefault(static_cast<hostapi::InstrumentKey>(staff),
                                  static_cast<hostapi::MeasureNumber>(measure));
}

/// Normalizes an option's marking (a text in the plug-in's characters) in place.
bool NormalizeOptionMarking(OptionElement& row) {
    if (row.text.empty()) {
        return true;
    }
    std::string text = win::Utf8ToAnsi(row.text);
    int32_t start = 0;
    int32_t end = 0;
    if (!NormalizeDynamicsText(text, start, end)) {
        return false;
    }
    row.text = win::AnsiToUtf8(text);
    return true;
}

/// Creates the hairpin and its measure links; the measures get the smart-shape flag.
void CreateHairpin(int16_t kind, const TExpressionItem& left, const TExpressionItem& right, int32_t start, int32_t end,
                   int32_t endMeasure, int32_t leftHeight, int32_t rightHeight, int32_t opening) {
    SmartShapeRecord record;
    uint8_t* bytes = record.data();
    hostapi::WriteU16(bytes, L::kWord2, kTemplateWord2);
    for (const size_t offset : kTemplateWordOffsets) {
        hostapi::WriteU16(bytes, offset, kTemplateWord);
    }
    hostapi::WriteI16(bytes, L::kKind, kind);
    hostapi::WriteI16(bytes, L::kStartStaff, static_cast<int16_t>(left.Staff));
    hostapi::WriteI16(bytes, L::kStartMeasure, static_cast<int16_t>(left.Measure));
    hostapi::WriteI32(bytes, L::kStart, start);
    hostapi::WriteI16(bytes, kLeftHeight, static_cast<int16_t>(leftHeight));
    hostapi::WriteI16(bytes, L::kEndStaff, static_cast<int16_t>(right.Staff));
    hostapi::WriteI16(bytes, L::kEndMeasure, static_cast<int16_t>(endMeasure));
    hostapi::WriteI32(bytes, L::kEnd, end);
    hostapi::WriteI16(bytes, kRightHeight, static_cast<int16_t>(rightHeight));
    for (const size_t offset : kOpeningOffsets) {
        hostapi::WriteI16(bytes, offset, static_cast<int16_t>(opening));
    }
    int32_t number = -1;
    if (!CreateSmartShapeRecord(number, record)) {
        return;
    }
    LinkShapeToMeasures(number, left.Measure, endMeasure);
}

/// The hairpin between two markings, when the levels, the options and the span allow one.
void MakeHairpinBetween(const TExpressionItem& previous, const TExpressionItem& item, const TTxtExprRec& left,
                        const TTxtExprRec& right, const TFMisc& context) {
    std::string leftText = left.PlainText();
    std::string rightText = right.PlainText();
    int32_t leftStart = 0;
    int32_t leftEnd = 0;
    int32_t rightStart = 0;
    int32_t rightEnd = 0;
    if (!NormalizeDynamicsText(leftText, leftStart, leftEnd) ||
        !NormalizeDynamicsText(rightText, rightStart, rightEnd)) {
        return;
    }
    const std::string& leftMarking = RowText(context.Options, hairpinrow::kLeftMarking);
    const std::string& rightMarking = RowText(context.Options, hairpinrow::kRightMarking);
    if ((!leftMarking.empty() && leftText != win::Utf8ToAnsi(leftMarking)) ||
        (!rightMarking.empty() && rightText != win::Utf8ToAnsi(rightMarking))) {
        return;
    }
    int16_t kind = 0;
    if (leftEnd > rightStart && RowOn(context.Options, hairpinrow::kDecrescendos)) {
        kind = kShapeDecrescendo;
    } else if (leftEnd < rightStart && RowOn(context.Options, hairpinrow::kCrescendos)) {
        kind = kShapeCrescendo;
    }
    if (kind == 0) {
        return;
    }
    int32_t leftHeight = previous.VerticalPosition() + previous.Reference + 12;
    int32_t rightHeight = item.VerticalPosition() + item.Reference + 12;
    const int32_t difference = rightHeight - leftHeight;
    leftHeight += difference / 4;
    rightHeight -= difference / 4;

    int32_t start = previous.Position + RowValue(context.Options, hairpinrow::kLeftOffset);
    const hostapi::Edu leftDuration = MeasureDuration(previous.Staff, previous.Measure);
    if (start >= leftDuration) {
        start = leftDuration - 1;
    }
    int32_t end = item.Position - RowValue(context.Options, hairpinrow::kRightOffset);
    int32_t endMeasure = item.Measure;
    while (end < 0) {
        if (endMeasure <= 1) {
            end = 0;
            break;
        }
        --endMeasure;
        end += MeasureDuration(previous.Staff, endMeasure);
    }
    // A right end that the offset moved back before the left one makes no hairpin.
    const bool forward = previous.Measure < endMeasure || (previous.Measure == endMeasure && start < end);
    if (!forward || endMeasure - previous.Measure + 1 > RowValue(context.Options, hairpinrow::kMaximumWidth)) {
        return;
    }
    const int32_t leftPosition =
        static_cast<int32_t>(static_cast<int64_t>(start) * MeasureDuration(0, previous.Measure) / leftDuration);
    const int32_t rightPosition = static_cast<int32_t>(static_cast<int64_t>(end) * MeasureDuration(0, endMeasure) /
                                                       MeasureDuration(item.Staff, endMeasure));
    CreateHairpin(kind, previous, item, leftPosition, rightPosition, endMeasure, leftHeight, rightHeight,
                  RowValue(context.Options, hairpinrow::kOpeningWidth));
}

}  // namespace

bool NormalizeDynamicsText(std::string& text, int32_t& startLevel, int32_t& endLevel) {
    for (size_t i = 0; i < text.size();) {
        const auto code = static_cast<uint8_t>(text[i]);
        const auto row = std::find_if(kDynamicsGlyphTable.begin(), kDynamicsGlyphTable.end(),
                                      [code](const GlyphRow& glyph) { return glyph.code == code; });
        if (row == kDynamicsGlyphTable.end()) {
            ++i;
            continue;
        }
        // The replacement is letters that are not in the table, so the same place is looked at
        // again only for what follows the replacement.
        text.replace(i, 1, row->letters);
    }
    if (text == "mp" || text == "mf") {
        startLevel = endLevel = text == "mp" ? -1 : 1;
        return true;
    }
    const size_t fs = text.find_first_not_of('f');
    const size_t leadingF = fs == std::string::npos ? text.size() : fs;
    if (leadingF > 0) {
        startLevel = static_cast<int32_t>(leadingF) + 1;
        if (leadingF == text.size()) {
            endLevel = startLevel;
            return true;
        }
        const size_t ps = text.size() - leadingF;
        if (text.find_first_not_of('p', leadingF) != std::string::npos) {
            return false;
        }
        endLevel = -(static_cast<int32_t>(ps) + 1);
        return true;
    }
    if (!text.empty() && text.find_first_not_of('p') == std::string::npos) {
        startLevel = endLevel = -(static_cast<int32_t>(text.size()) + 1);
        return true;
    }
    return false;
}

void CreateHairpinsInList(const TExpressionList& list, TFMisc& context) {
    if (!NormalizeOptionMarking(context.Options[hairpinrow::kLeftMarking]) ||
        !NormalizeOptionMarking(context.Options[hairpinrow::kRightMarking])) {
        ShowMessage(FreeText::CouldNotIdentifySpecifiedDynamics);
        return;
    }
    const TTextExpressions& table = TextExpressionTable();
    const TExpressionItem* previous = nullptr;
    for (int32_t i = 0; i < list.Count(); ++i) {
        const TExpressionItem& item = *list.At(i);
        if (item.Follower != 0) {
            continue;
        }
        const bool marking = item.IsTextExpression() && item.ExpressionNumber() >= 1;
        if (previous != nullptr && marking && previous->ExpressionNumber() <= table.Count() &&
            item.ExpressionNumber() <= table.Count()) {
            const TTxtExprRec& left = table.Item(previous->ExpressionNumber() - 1);
            const TTxtExprRec& right = table.Item(item.ExpressionNumber() - 1);
            if (left.DynamicsGlyph != 0 && right.DynamicsGlyph != 0) {
                MakeHairpinBetween(*previous, item, left, right, context);
            }
        }
        if (marking) {
            previous = &item;
        }
    }
}

bool CompareExpressionTime(const TExpressionItem& a, const TExpressionItem& b) {
    return a.Measure < b.Measure || (a.Measure == b.Measure && a.Position < b.Position);
}

void SortExpressionsByTime(TExpressionList& list) {
    std::sort(list.Items().begin(), list.Items().end(),
              [](const auto& a, const auto& b) { return CompareExpressionTime(*a, *b); });
}

bool RunCreateHairpins(TFMisc& context) {
    if (context.Environment.Region() == nullptr) {
        return false;
    }
    const hostapi::SelectionRecord region = *context.Environment.Region();
    const int32_t first = region.firstMeasure();
    const int32_t last = region.lastMeasure();
    TStaffSystems systems;
    const TInstruments staves(region.viewKey(), &systems, false);
    TTextExpressions& table = TextExpressionTable();
    if (!table.Loaded()) {
        table.LoadFromDocument();
    }
    table.SortTables().Build(table.Options().AdditionalFonts);
    if (!table.Analysed()) {
        table.AnalyzeAll();
    }
    TSmartShapes& shapes = SharedSmartShapes();
    shapes.Refresh(first, last);

    const int32_t staffCount = region.lastStaff() - region.firstStaff() + 1;
    context.ProgressStepCount = staffCount;
    // The dispatcher's display serves when it has one open: one display at a time.
    std::optional<ScopedEditBracket> ownProgress;
    if (context.EditBracket == 0) {
        ownProgress.emplace(&region, std::max(staffCount, 1));
    }
    const int32_t handle = ownProgress ? ownProgress->Handle() : context.EditBracket;
    bool cancelled = false;
    for (int32_t slot = region.firstStaff(); slot <= region.lastStaff(); ++slot) {
        const int16_t staff = staves.ByNumber(slot);
        if (!EditBracketStep(handle, staff, 0)) {
            cancelled = true;
            break;
        }
        if (staff == 0) {
            continue;
        }
        const int32_t staffTop = LoadRecordSOSCCopy(staff, static_cast<hostapi::MeasureNumber>(first), 0);
        shapes.CollectRange(staff, first, last, region, true, false, false,
                            context.Environment.DocumentOptionFlag() != 0, staffTop * 24 - 12);
        TStaffExpressions notes;
        CollectNoteExpressions(context.Environment, notes, slot, first, last, region, nullptr, nullptr, staffTop, staff,
                               false, 0);
        CreateHairpinsInList(notes, context);
        TScoreExpressions measures;
        CollectSwitches switches;
        switches.staffFilter = staff;
        CollectRegionExpressions(context.Environment, measures, first, last, region, switches);
        SortExpressionsByTime(measures);
        CreateHairpinsInList(measures, context);
    }
    if (ownProgress) {
        ownProgress->End(cancelled);
    }
    shapes.LoadMeasureLinks(first, last);
    return !cancelled;
}

bool RunResetTool(TFMisc& context, int32_t /*setNumber*/, const hostapi::SelectionRecord* region) {
    // The hairpins of the region (the whole document when nothing is selected) take the opening
    // width and, when asked, are made horizontal over a system break.
    if ((RowOn(context.Options, RESET_HAIRPIN_HORIZONTAL) || RowOn(context.Options, RESET_HAIRPIN_OPENING)) &&
        region != nullptr) {
        TSmartShapes shapes;
        shapes.LoadMeasureLinks(region->firstMeasure(), region->lastMeasure());
        shapes.AdjustInRegion(*region, RowOn(context.Options, RESET_HAIRPIN_HORIZONTAL),
                              static_cast<int16_t>(RowValue(context.Options, RESET_HAIRPIN_OPENING)));
    }
    if (RowValue(context.Options, RESET_SMART_SHAPE_BITS) == 0 &&
        RowValue(context.Options, RESET_MEASURE_EXPRESSION_BITS) == 0) {
        return true;
    }
    return RunEntryProcessingTool(context);
}

}  // namespace orvex
