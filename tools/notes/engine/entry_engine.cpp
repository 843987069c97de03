// The entry-processing engine's run: the start checks of the items, the measure loop under the
// host's progress display, the staves and shown layers of each measure, the result lines of the
// search commands and the closing steps. The entry loop of a cell is in entry_branches.cpp.
#include "tools/notes/engine/entry_engine.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <type_traits>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/host_probes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "expressions/txtexpr.h"
#include "forms/result_list.h"
#include "tools/layout/layout_services.h"
#include "tools/notes/entry_commands.h"
#include "tools/notes/find_compare.h"
#include "tools/notes/new_spacing.h"
#include "tools/notes/playback.h"
#include "tools/notes/respell_enharmonic.h"

namespace orvex {
namespace {

using hostapi::Edu;
using hostapi::InstrumentKey;
using hostapi::kInterfaceVersion;
using hostapi::MeasureNumber;
using hostapi::StaffSlot;

constexpr Edu kDefaultMeasureLength = 4096;

bool InItems(ToolItem item, std::initializer_list<ToolItem> items) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

/// Service 50 as answered: 0 when the host does not know the length.
Edu HostMeasureLength(InstrumentKey staff, MeasureNumber measure) {
    return MeasureLengthValue(staff, measure);
}

Edu LengthOrDefault(Edu length) {
    return length != 0 ? length : kDefaultMeasureLength;
}

int16_t HostKey(MeasureNumber measure, InstrumentKey staff, int16_t mode) {
    return CellKeyValue(measure, staff, mode);
}

/// The name of font 0 (service 21); "" when the host gives none.
std::string FontZeroName() {
    char buffer[256] = {};
    if (FontNameOf(0, buffer) == 0) {
        return {};
    }
    buffer[sizeof(buffer) - 1] = '\0';
    return buffer;
}

bool CompareMode(const TFMisc& context) {
    return RowOn(context.Options, ROW_COMPARE);
}

/// The checks and preparations before the walk; false when the command is refused.
bool StartRun(TFMisc& context, const hostapi::SelectionRecord& region) {
    const auto item = static_cast<ToolItem>(context.Item);
    if (item == ToolItem::CompareEntries) {
        if (RowValue(context.Options, ROW_READ) + RowValue(context.Options, ROW_COMPARE) != 1) {
            ShowMessage(FreeText::SelectReadOrCompare);
            return false;
        }
        if (region.firstStaff() != region.lastStaff()) {
            ShowMessage(FreeText::SelectExactlyOneStaff);
            return false;
        }
        if (CompareMode(context) && context.StoredEntries.empty() && context.StoredTimeSignatures.empty()) {
            // Nothing was read in this dialog: a comparison would mark every entry as new.
            ShowMessage(FreeText::NothingReadToCompare);
            return false;
        }
        if (!CompareMode(context)) {
            context.StoredEntries.clear();
            context.StoredTimeSignatures.clear();
            if (!context.TextExpressions) {
                context.TextExpressions = std::make_shared<TTextExpressions>();
            }
            context.TextExpressions->LoadFromDocument();
        }
        ClearResultList(context);
    }
    if (item == ToolItem::Find) {
        ClearResultList(context);
    }
    if (item == ToolItem::Harmonica) {
        // The keys go before the walk, so that the walk reads every note under key 0 with the
        // pitch it has, and a note it cannot translate keeps that pitch; a stopped walk leaves
        // the keys gone all the same.
        DropKeysKeepingPitches(region);
        SharedSmartShapes().Refresh(region.firstMeasure(), region.lastMeasure());
    }
    if ((item == ToolItem::NewSpacing && context.LaterStepPending == 0 &&
         RowOn(context.Options, NSP_GLISSANDO_SPACE)) ||
        (item == ToolItem::Shift && RowOn(context.Options, SHIFT_GLISSANDI))) {
        SharedSmartShapes().LoadMeasureLinks(region.firstMeasure(), region.lastMeasure());
    }
    if (item == ToolItem::ReplacePitches && !CheckReplacePairs(context)) {
        return false;
    }
    if (item == ToolItem::PitchProjection && region.firstStaff() != region.lastStaff()) {
        ShowMessage(FreeText::SelectOneStaffOnly);
        return false;
    }
    if (item == ToolItem::LaisserVibrer) {
        std::string name = FontZeroName();
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
        if (name.find("ENGRAVER") == std::string::npos) {
            ShowMessage({.id = MSG_ENGRAVER_FONT_ONLY, .skippable = true});
        }
        LoadLayerSettingsTable();
    }
    return true;
}

/// One staff of the measure: its position range, the cell workers or its shown layers.
CellOutcome WalkStaff(TFMisc& context, EntryEngineState& state) {
    const auto item = static_cast<ToolItem>(context.Item);
    const hostapi::SelectionRecord& region = state.region;
    state.staff = StaffOfSlot(state.slot, region.viewKey());
    const Edu cellLength = LengthOrDefault(HostMeasureLength(state.staff, state.measure));
    const Edu measureLength =
        state.measureLength != 0 ? state.measureLength : LengthOrDefault(HostMeasureLength(0, state.measure));
    ScaleDurationPair(region, state.measure, cellLength, measureLength, state.from, state.to);

    if (item == ToolItem::JoinRests) {
        JoinLayerRests(context, region.viewKey(), state.measure, state.slot, state.from, state.to);
        return CellOutcome::Done;
    }
    if (item == ToolItem::ProcessParts) {
        ProcessExtractedParts(region.viewKey(), state.measure, state.slot, state.from, state.to, context,
                              context.MoreOptions, 1, 0, 0, 0);
        return CellOutcome::Done;
    }
    state.key = 0;
    state.secondKey = 0;
    if (InItems(item, {ToolItem::Find, ToolItem::Shift, ToolItem::Harmonica, ToolItem::LaisserVibrer,
                       ToolItem::CompareEntries, ToolItem::SpecialModifications, ToolItem::Playback,
                       ToolItem::ReplacePitches, ToolItem::PitchProjection})) {
        state.key = HostKey(state.measure, state.staff, 0);
        state.secondKey = HostKey(state.measure, state.staff, context.Environment.DocumentOptionFlag());
    }
    PlaybackRun(context).cellLayerMask = 0;
    for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
        if (!IsHostMenuCommandChecked(layer)) {
            continue;
        }
        const ScopedEntryArray lent(region.viewKey(), state.slot, state.measure, layer);
        hostapi::EntryArray* array = lent.Get();
        if (array == nullptr) {
            continue;
        }
        state.layer = layer;
        state.simplifyRhythm = false;
        bool changed = false;
        CellOutcome outcome = RunEntryLoop(context, state, *array, changed);
        // New Spacing's complementary rhythm goes into the empty first layer of the staff it
        // added below the selection.
        if (outcome == CellOutcome::Done && item == ToolItem::NewSpacing && context.LaterStepPending == 0 &&
            RowOn(context.Options, NSP_COMPLEMENTARY_RHYTHMS) && state.slot == region.lastStaff() && layer == 0 &&
            array->count == 0) {
            changed = FillComplementaryRhythm(context, *array, state.positions, state.measureLength) || changed;
        }
        // A run that a worker ended keeps what the worker did in this cell before.
        if ((outcome == CellOutcome::Done || outcome == CellOutcome::EndRun) && changed) {
            if (state.simplifyRhythm) {
                SimplifyRhythmOf(array);
            }
            SaveEntryArray(array);
        }
        if (outcome != CellOutcome::Done) {
            return outcome;
        }
    }
    return CellOutcome::Done;
}

/// The closing steps after the measure loop (also after the user stopped it before measure
/// `stoppedAt`; 0 when the loop ran to its end).
void CloseRun(TFMisc& context, EntryEngineState& state, int32_t stoppedAt) {
    const auto item = static_cast<ToolItem>(context.Item);
    const bool listsMeasures = (item == ToolItem::CompareEntries && CompareMode(context)) || item == ToolItem::Find;
    if (stoppedAt != 0 && listsMeasures) {
        // The run of hits still open ends with the last measure searched.
        const std::string line =
            ResultLineAfterMeasure(stoppedAt, false, false, state.compareStopMeasure, state.runStart);
        if (!line.empty()) {
            AddResultLine(context, line);
        }
    }
    if (item == ToolItem::CompareEntries && CompareMode(context) && stoppedAt == 0 &&
        state.storedCursor < context.StoredEntries.size()) {
        AddResultLine(context, EnglishText(FreeText::ResultSourceIsLarger));
    }
    if (item == ToolItem::CompareEntries) {
        if (CompareMode(context)) {
            if (context.ResultLineCount == 0) {
                AddResultLine(context, EnglishText(FreeText::ResultNoChangesDetected));
            }
        } else {
            AddResultLine(context, EnglishText(FreeText::ResultDataHasBeenRead));
        }
        if (RowOn(context.Options, ROW_SWITCH)) {
            for (CompareRow row : {ROW_READ, ROW_COMPARE}) {
                context.Options[row].value = RowValue(context.Options, row) == 0 ? 1 : 0;
            }
        }
    }
    if (item == ToolItem::Find && context.ResultLineCount == 0) {
        AddResultLine(context, EnglishText(FreeText::ResultNothingFound));
    }
    if (stoppedAt != 0 && (item == ToolItem::CompareEntries || item == ToolItem::Find)) {
        AddResultLine(context, EnglishText(FreeText::ResultStoppedBeforeMeasure, {std::to_string(stoppedAt)}));
    }
}

}  // namespace

void ScaleDurationPair(const hostapi::SelectionRecord& region, MeasureNumber measure, Edu cellLength, Edu measureLength,
                       Edu& from, Edu& to) {
    // The product is formed in 64 bits so that a long measure cannot overflow it; the quotient is
    // kept within the 32-bit range.
    const auto scale = [&](Edu position) {
        const int64_t scaled = static_cast<int64_t>(position) * cellLength / (measureLength != 0 ? measureLength : 1);
        return static_cast<Edu>(std::clamp<int64_t>(scaled, INT32_MIN, INT32_MAX));
    };
    from = 0;
    to = kNoPosition;
    if (measure == region.firstMeasure()) {
        from = scale(region.startEdu());
    }
    // The region record's end position 0 stands for the end of the measure as well.
    if (measure == region.lastMeasure() && region.endEdu() != kNoPosition && region.endEdu() != 0) {
        to = scale(region.endEdu());
    }
}

bool RunEntryProcessingTool(TFMisc& context) {
    if (context.Environment.Region() == nullptr) {
        return false;
    }
    EntryEngineState state;
    state.region = *context.Environment.Region();
    const hostapi::SelectionRecord& region = state.region;
    if (!StartRun(context, region)) {
        return false;
    }
    const auto item = static_cast<ToolItem>(context.Item);
    int32_t stoppedAt = 0;
    for (int32_t measure = region.firstMeasure(); measure <= region.lastMeasure(); ++measure) {
        state.measure = static_cast<MeasureNumber>(measure);
        context.Walk.measure = state.measure;
        if (!EditBracketStep(context.EditBracket, 0, state.measure)) {
            stoppedAt = measure;
            break;
        }
        state.measureLength = HostMeasureLength(0, state.measure);
        state.measureHit = false;
        state.positions.clear();
        context.Walk.measureSpec = EDTMeasureSpec{};
        if (LoadMeasureSpec(measure, context.Walk.measureSpec)) {
            if (item == ToolItem::CompareEntries) {
                CompareTimeSignature(context, state);
            } else {
                bool handled = false;
                ApplySpacingCommand(context, handled, 0);
                if (handled) {
                    continue;  // the spacing step did the measure's work
                }
            }
        }
        if (item == ToolItem::Find && !context.Options[ROW_SEARCH].text.empty()) {
            FindMeasureExpressions(context, state);
        }
        for (int32_t slot = region.firstStaff(); slot <= region.lastStaff(); ++slot) {
            state.slot = static_cast<StaffSlot>(slot);
            switch (WalkStaff(context, state)) {
                case CellOutcome::Done:
                    break;
                case CellOutcome::EndRun:
                    return true;
            }
        }
        if ((item == ToolItem::CompareEntries && CompareMode(context)) || item == ToolItem::Find) {
            const std::string line = ResultLineAfterMeasure(measure, state.measureHit, measure == region.lastMeasure(),
                                                            state.compareStopMeasure, state.runStart);
            if (!line.empty()) {
                AddResultLine(context, line);
                state.compareStopMeasure = 0;
            }
        }
    }
    CloseRun(context, state, stoppedAt);
    return stoppedAt == 0;
}

std::string ResultLineAfterMeasure(int32_t current, bool found, bool lastMeasure, int32_t stopMeasure,
                                   int32_t& runStart) {
    int32_t end = 0;
    if (runStart != 0 && !found) {
        end = stopMeasure != 0 ? stopMeasure : current - 1;
    }
    if (found && lastMeasure) {
        end = current;
    }
    if (end == 0) {
        if (found && runStart == 0) {
            runStart = current;
        }
        return {};
    }
    const std::string measures =
        end == runStart || runStart == 0 ? std::to_string(end) : std::to_string(runStart) + "-" + std::to_string(end);
    const std::string line = EnglishText(FreeText::ResultMeasures, {measures});
    runStart = 0;
    return line;
}

void RespellToFewestAccidentals(hostapi::NoteView note, int16_t key) {
    // Each respelling that is kept makes the alteration smaller, so the loop ends within a few
    // rounds; the bound only guards against a host that answers inconsistently.
    for (int32_t round = 0; round < 8; ++round) {
        hostapi::NoteRecord current;
        std::copy_n(note.data(), hostapi::NoteLayout::kSize, current.data());
        hostapi::NoteRecord respelled;
        RespellEnharmonic(respelled.view(), current, key);
        if (std::abs(AbsoluteAlteration(respelled.view(), key)) >= std::abs(AbsoluteAlteration(current.view(), key))) {
            return;
        }
        std::copy(respelled.bytes.begin(), respelled.bytes.end(), note.data());
    }
}

}  // namespace orvex
