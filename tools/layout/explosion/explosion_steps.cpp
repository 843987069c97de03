// The step machine of the part explosion: for each target staff of each region it clears the
// target, copies the source staff and pastes it, all by the host's own commands driven by keys,
// which the host carries out only after the plug-in has returned. So each call performs at most
// one host action, leaves its state in the context, sends the continuation key (the keypad
// plus, which the core's keyboard hook turns into the next host call) and asks to be called
// again. After a paste the next call cleans up the pasted music measure by measure.
#include <algorithm>

#include "core/free_texts.h"
#include "core/host/finxess_regions.h"
#include "core/host/smart_shapes.h"
#include "core/host/staff_lists.h"
#include "core/key_automation.h"
#include "core/module.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "expressions/expression_records.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/windows.h"
#include "tools/layout/align_move.h"
#include "tools/layout/explosion/explosion.h"
#include "tools/layout/orchestration.h"
#include "tools/layout/process_parts.h"
#include "tools/notes/notes_services.h"

namespace orvex {

namespace {

/// The continuation marker while the explosion waits for its next call.
constexpr int32_t kContinuationMarker = 127;
// The rows of the Align/Move options that the explosion sets.
constexpr size_t kAlignMoveVertically = 4;
constexpr size_t kAlignMode = 5;
constexpr int32_t kAlignToFarthest = 1;
constexpr size_t kAlignEachSystem = 9;
constexpr size_t kAlignRestartAfter = 10;

/// Align/Move over a whole-measure region with the explosion's own copies of its options: the
/// shared smart shapes are already filled, the explosion's systems group the staves and no
/// progress display of Align/Move's own is opened.
void AlignDynamics(ExplosionContext& explosion, const hostapi::SelectionRecord& region) {
    RunAlignMove(explosion.Context(), region, explosion.alignOptions, explosion.alignMoreOptions, false,
                 explosion.systems.get(), 0, -1);
}

bool DefinedMeasureNumbers(const ExplosionContext& explosion) {
    return RowOn(explosion.Context().Options, kOptDefinedMeasureNumbers);
}

HostRangeRecord HostRange(const ExplosionRange& range) {
    HostRangeRecord record;
    record.words[0] = range.regionWord;
    record.words[1] = range.staffSlot;
    record.words[2] = range.measure;
    record.words[3] = static_cast<int16_t>(range.position & 0xFFFF);
    record.words[4] = static_cast<int16_t>(static_cast<uint32_t>(range.position) >> 16);
    return record;
}

/// The whole measures a to b of one staff slot.
hostapi::SelectionRecord WholeMeasures(const ExplosionContext& explosion, int32_t slot, int32_t a, int32_t b) {
    hostapi::SelectionRecord region;
    region.setViewKey(explosion.regionCopy.viewKey());
    region.setFirstStaff(static_cast<hostapi::StaffSlot>(slot));
    region.setLastStaff(static_cast<hostapi::StaffSlot>(slot));
    region.setFirstMeasure(static_cast<hostapi::MeasureNumber>(a));
    region.setLastMeasure(static_cast<hostapi::MeasureNumber>(b));
    region.setStartEdu(0);
    region.setEndEdu(kNoPosition);
    return region;
}

int32_t RunEnd(const ExplosionContext& explosion) {
    const auto index = static_cast<size_t>(explosion.runEndRegion);
    return index < explosion.regions.size() ? explosion.regions[index].lastMeasure : 0;
}

void SendContinuation() {
    SignalNextStep(kContinuationMarker);
}

/// The source staff of part `part` in a region (0 outside the parts a region holds).
int32_t SourceOf(const TRegionInfo& region, int32_t part) {
    return part >= 1 && part <= kExplosionParts ? region.sourceStaff[static_cast<size_t>(part)] : 0;
}

/// The clean-up of the current staff after it was taken up (and, with the first-step flag,
/// freshly pasted); false when the pasted region failed its check.
bool FinishStaff(ExplosionContext& explosion) {
    TFMisc& context = explosion.Context();
    explosion.pasted = 0;
    SetProgressText(context, FreeText::ProgressSelectingNotes);
    const int32_t i = explosion.currentStaff;
    const int32_t targetSlot = explosion.firstStaffSlot + explosion.targetOffset + i;
    const int32_t target = explosion.staves->ByNumber(targetSlot);
    DynamicsRow& row =
        explosion.dynamics[static_cast<size_t>(std::clamp(explosion.targetOffset + i, 0, kExplosionStaves - 1))];
    row.low = kNoPosition;
    row.high = kNoPosition;
    const TRegionInfo& region = explosion.regions[static_cast<size_t>(explosion.currentRegion)];
    const int32_t first = region.firstMeasure;
    const int32_t last = region.lastMeasure;
    const int32_t runEnd = RunEnd(explosion);
    TSmartShapes shapes;
    shapes.Refresh(first, last);
    const int32_t source = explosion.staves->ByNumber(explosion.sourceRange.staffSlot);

    if (explosion.firstStep != 0 && source != 0 && explosion.sourceRange.staffSlot < explosion.targetRange.staffSlot) {
        if (!VerifyPastedRegion(explosion.sourceRange, runEnd, explosion.targetRange)) {
            return false;
        }
        CopyStaffExpressions(context.Environment, first, runEnd, explosion.processedRegion, source, target);
        if (RowOn(explosion.Context().Options, kOptCopyClefs)) {
            StaffClefsTake(static_cast<InstrumentKey>(source), static_cast<InstrumentKey>(target),
                           static_cast<MeasureNumber>(first), static_cast<MeasureNumber>(runEnd));
        }
        // A staff that takes another staff's music from the start takes its names too.
        if (first == explosion.processedRegion.firstMeasure()) {
            TInstruments::CopyStaffNames(source, target);
        }
        shapes.CopyToStaff(source, target, first, runEnd, false, true, nullptr, nullptr);
        AttachPastedEntryShapes(explosion.regionCopy.viewKey(), explosion.sourceRange.staffSlot,
                                explosion.targetRange.staffSlot, target, first, runEnd);
    }

    ScopedEditBracket bracket(&explosion.processedRegion, last - first + 1);
    const auto regionCount = static_cast<int32_t>(explosion.regions.size());
    for (int32_t m = first; m <= last; ++m) {
        if (!bracket.Step(0, static_cast<MeasureNumber>(m))) {
            break;
        }
        if (explosion.firstStep != 0 && explosion.currentRegion > 0 && m == first && region.startPosition != 0) {
            const TRegionInfo& previous = explosion.regions[static_cast<size_t>(explosion.currentRegion - 1)];
            const int32_t now = SourceOf(region, i + 1);
            const int32_t before = SourceOf(previous, i + 1);
            ProcessRegionMeasure(explosion, explosion.currentRegion - 1, m, i, target,
                                 now != 0 && before != 0 && now != before);
        }
        ProcessRegionMeasure(explosion, explosion.currentRegion, m, i, target, false);
        if (explosion.currentRegion + 1 < regionCount && m == last && region.endPosition != kNoPosition &&
            explosion.regions[static_cast<size_t>(explosion.currentRegion + 1)].highestPartIndex < i) {
            ProcessRegionMeasure(explosion, explosion.currentRegion + 1, m, i, target, false);
        }
    }
    explosion.firstStep = 0;
    if (RowOn(explosion.Context().Options, kOptAlignDynamics)) {
        const int32_t v =
            24 * LoadRecordSOSCCopy(static_cast<InstrumentKey>(target), static_cast<MeasureNumber>(first), 0) - 96;
        row.low = std::min(row.low, v);
        row.high = std::min(row.high, v);
        explosion.alignOptions[kAlignMoveVertically].value = row.high - row.low;
        explosion.alignOptions[kAlignMode].value = kAlignToFarthest;
        explosion.alignMoreOptions[kAlignEachSystem].value = 0;
        SetProgressText(context, FreeText::ProgressAdjustingDynamics);
        AlignDynamics(explosion, WholeMeasures(explosion, targetSlot, first, last));
    }
    bracket.End();
    --explosion.currentStaff;
    return true;
}

/// Joins the following regions whose part i+1 lies on the same source staff into one run.
void MergeRun(ExplosionContext& explosion, int32_t i) {
    TRegionInfo& current = explosion.regions[static_cast<size_t>(explosion.currentRegion)];
    const int32_t source = SourceOf(current, i + 1);
    explosion.runEndRegion = explosion.currentRegion;
    while (explosion.runEndRegion + 1 < static_cast<int32_t>(explosion.regions.size())) {
        TRegionInfo& next = explosion.regions[static_cast<size_t>(explosion.runEndRegion + 1)];
        if (SourceOf(next, i + 1) != source) {
            break;
        }
        bool taken = false;
        for (int32_t j = 0; j < explosion.staffCount && explosion.targetOffset == 0; ++j) {
            taken = taken || (j != i && SourceOf(next, j + 1) == i + 1);
        }
        if (taken) {
            break;
        }
        ++explosion.runEndRegion;
        next.done[static_cast<size_t>(i)] = 1;
    }
    current.done[static_cast<size_t>(i)] = 1;
}

/// State 0: finishes the staff taken up last and takes up the next one whose part must move.
bool StepPrepare(ExplosionContext& explosion) {
    for (;;) {
        if (explosion.pasted != 0 && !FinishStaff(explosion)) {
            return false;
        }
        if (explosion.currentStaff < 0) {
            ++explosion.currentRegion;
            if (!AdvanceRegion(explosion)) {
                return false;
            }
            continue;
        }
        const int32_t i = std::min(explosion.currentStaff, kExplosionStaves - 1);
        explosion.currentStaff = i;
        explosion.pasted = 1;
        TRegionInfo& region = explosion.regions[static_cast<size_t>(explosion.currentRegion)];
        if (region.done[static_cast<size_t>(i)] != 0) {
            continue;  // copied with an earlier region of its run: only finished here
        }
        MergeRun(explosion, i);
        const int32_t source = SourceOf(region, i + 1);
        if (source == 0 || source == explosion.targetOffset + i + 1) {
            continue;  // its part lies on its own staff already, or it has none
        }
        const int16_t word = explosion.regionCopy.viewKey();
        const auto measure = static_cast<int16_t>(region.firstMeasure);
        explosion.sourceRange = {word, static_cast<int16_t>(explosion.firstStaffSlot + source - 1), measure, 0};
        explosion.targetRange = {word, static_cast<int16_t>(explosion.firstStaffSlot + explosion.targetOffset + i),
                                 measure, kNoPosition};
        const int32_t runEnd = RunEnd(explosion);
        ClearStaffExpressions(explosion.Context().Environment, region.firstMeasure, runEnd,
                              WholeMeasures(explosion, explosion.targetRange.staffSlot, region.firstMeasure, runEnd),
                              explosion.staves->ByNumber(explosion.targetRange.staffSlot), false);
        explosion.stepState = 1;
        if (explosion.sourceRange.staffSlot >= 1) {
            SelectHostToolByKeysB(HostRange(explosion.sourceRange), runEnd, HostRange(explosion.targetRange),
                                  DefinedMeasureNumbers(explosion));
        }
        SendContinuation();
        return true;
    }
}

/// The end of a copy or paste call.
bool EndHostStep(ExplosionContext& explosion) {
    ++explosion.stepState;
    SendContinuation();
    explosion.firstStep = explosion.stepState == 0 ? 1 : 0;
    return true;
}

}  // namespace

void SelectHostEditTool(const RunEnvironment& environment) {
    const uint32_t command = environment.HostYear() < 2000    ? 0x6608
                             : environment.HostYear() == 2000 ? 0x80FA
                             : environment.HostYear() == 2001 ? 0x80F8
                                                              : 0x80F9;
    win::SetFocus(environment.HostWindow());
    win::SendMessage(environment.HostWindow(), win::WM_COMMAND, command, 0);
}

void BeginSelectAll(ExplosionContext& explosion) {
    SelectHostEditTool(explosion.Context().Environment);
    explosion.selectAllPending = 1;
    SendCtrlKeyToHost('a');
}

void EndSelectAll(ExplosionContext& explosion) {
    win::SetFocus(explosion.Context().Environment.HostWindow());
    SendVirtualKeyToHost(win::VK_ESCAPE);
    if (explosion.Context().Environment.Language() != 1) {
        SendAltKeyToHost('m');
        SendKeyToHost('e');
    } else if (TheModule.process.ItalianHost) {
        SendAltKeyToHost('p');
        SendKeyToHost('t');
    } else {
        SendAltKeyToHost('e');
        SendKeyToHost(explosion.Context().Environment.HostYear() == 2000 ? 'a' : 'l');
    }
    explosion.selectAllPending = 0;
}

bool StepPartExplosion(ExplosionContext& explosion) {
    if (explosion.selectAllPending != 0) {
        EndSelectAll(explosion);
        SendContinuation();
        return true;
    }
    if (explosion.stepState <= 0) {
        return StepPrepare(explosion);
    }
    const int32_t runEnd = RunEnd(explosion);
    if (explosion.stepState == 1) {
        if (explosion.sourceRange.staffSlot >= explosion.firstStaffSlot &&
            (explosion.sourceRange != explosion.lastCopied || runEnd != explosion.lastCopiedMeasure)) {
            SetProgressText(explosion.Context(), FreeText::ProgressCopying);
            if (explosion.sourceRange.staffSlot >= 1) {
                SelectHostToolByKeysA(HostRange(explosion.sourceRange), runEnd, DefinedMeasureNumbers(explosion));
            }
            explosion.lastCopied = explosion.sourceRange;
            explosion.lastCopiedMeasure = runEnd;
            return EndHostStep(explosion);
        }
        explosion.stepState = 2;
    }
    SetProgressText(explosion.Context(), FreeText::ProgressPasting);
    if (explosion.targetRange.staffSlot >= 1) {
        SelectHostToolByKeysC(HostRange(explosion.targetRange), runEnd, DefinedMeasureNumbers(explosion));
    }
    explosion.stepState = -1;
    return EndHostStep(explosion);
}

bool AdvanceRegion(ExplosionContext& explosion) {
    if (explosion.currentRegion < static_cast<int32_t>(explosion.regions.size())) {
        explosion.currentStaff = explosion.regions[static_cast<size_t>(explosion.currentRegion)].highestPartIndex;
        explosion.pasted = 0;
        explosion.firstStep = 0;
        return true;
    }
    if (RowOn(explosion.Context().Options, kOptAlignDynamics)) {
        AlignDynamicsInRegion(explosion);
    }
    ++explosion.groupIndex;
    return StartNextRegion(explosion);
}

void ProcessRegionMeasure(ExplosionContext& explosion, int32_t regionIndex, int32_t measure, int32_t staffIndex,
                          int32_t targetStaff, bool noPart) {
    if (regionIndex < 0 || regionIndex >= static_cast<int32_t>(explosion.regions.size())) {
        return;
    }
    const TRegionInfo& region = explosion.regions[static_cast<size_t>(regionIndex)];
    const TFMisc& context = explosion.Context();
    const int32_t part = staffIndex + 1;
    const int32_t source = SourceOf(region, part);
    const bool active = !noPart && source != 0;
    const auto at = static_cast<size_t>(std::clamp(part, 1, kExplosionParts));
    OptionArray parts{};
    parts[PARTS_SINGLE_NOTES_UNISON].value =
        active && (region.sourceColumn[at] == 0 || region.insideKind[at] != 0 ||
                   (region.firstColumn[at] != 0 && RowOn(context.Options, kOptUnisonInDoubt)))
            ? 1
            : 0;
    int32_t sharing = 0;
    for (int32_t p = 0; p <= region.highestPartIndex; ++p) {
        sharing += SourceOf(region, p + 1) == source ? 1 : 0;
    }
    for (int32_t n = 2; n <= 7; ++n) {
        parts[ExtractRowOfChord(n)].value =
            active && sharing > 0 ? std::min(n, region.sourceColumn[at] * n / sharing + 1) : 0;
    }
    parts[PARTS_INHERIT_ARTICULATIONS].value = RowValue(context.Options, kOptInheritArticulations);
    parts[PARTS_IGNORE_LAYERS].text = RowText(context.Options, kOptIgnoreLayers);
    const Edu from = measure == region.firstMeasure ? region.startPosition : 0;
    const Edu to = measure == region.lastMeasure ? region.endPosition : kNoPosition;
    const int32_t row = std::clamp(explosion.targetOffset + staffIndex, 0, kExplosionStaves - 1);
    ProcessExtractedParts(context.Environment, explosion.regionCopy.viewKey(), measure,
                          explosion.firstStaffSlot + explosion.targetOffset + staffIndex, from, to, parts,
                          explosion.Context().MoreOptions, false, &explosion.dynamics[static_cast<size_t>(row)],
                          targetStaff);
}

void AlignDynamicsInRegion(ExplosionContext& explosion) {
    TFMisc& context = explosion.Context();
    const int32_t first = explosion.processedRegion.firstMeasure();
    const int32_t last = explosion.processedRegion.lastMeasure();
    TSmartShapes shapes;
    shapes.Refresh(first, last);
    ScopedEditBracket bracket(&explosion.processedRegion, std::max(explosion.staffCount - explosion.targetOffset, 1));
    SetProgressText(context, FreeText::ProgressAligningDynamics);
    for (int32_t t = explosion.targetOffset; t < explosion.staffCount && t < kExplosionStaves; ++t) {
        if (!bracket.Step(static_cast<InstrumentKey>(t), 0)) {
            break;
        }
        const std::vector<int32_t>& marks = explosion.dynamics[static_cast<size_t>(t)].marks;
        const auto mark = [&](int32_t measure) {
            const auto index = static_cast<size_t>(measure - first);
            return index < marks.size() ? marks[index] : 0;
        };
        for (int32_t m = first; m <= last;) {
            int32_t end = last;
            if (RowOn(explosion.Context().Options, kOptAlignPhrases)) {
                end = m;
                while (end < last) {
                    const int32_t a = mark(end);
                    const int32_t b = mark(end + 1);
                    const bool joins = a == b || (a == 0 && (b & 2) == 0) || ((a == 4 || a == 6) && b == 7) ||
                                       (a != 0 && a != 4 && a != 6 && a != 7);
                    if (!joins) {
                        break;
                    }
                    ++end;
                }
            }
            explosion.alignOptions[kAlignMoveVertically].value = 0;
            explosion.alignOptions[kAlignMode].value = kAlignToFarthest;
            explosion.alignMoreOptions[kAlignEachSystem].value = 0;
            explosion.alignMoreOptions[kAlignRestartAfter].value =
                RowValue(explosion.Context().Options, kOptRestartAlignment);
            AlignDynamics(explosion, WholeMeasures(explosion, explosion.firstStaffSlot + t, m, end));
            m = end + 1;
        }
    }
}

}  // namespace orvex
