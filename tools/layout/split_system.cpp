// "Split Staff System..." and the staff-system primitives of the layout commands.
#include "tools/layout/split_system.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/staff_systems.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"
#include "tools/layout/layout_services.h"

namespace orvex {
namespace {

using hostapi::StaffSystemLayout;

/// A staff list holds at most this many entries; a copy deletes the target's surplus up to it.
constexpr int32_t kMaxListEntries = 1000;
/// The balancing stops after this many passes, and from this pass on when a pass is as good as
/// the best one.
constexpr int32_t kMaxBalancingPasses = 1000;
constexpr int32_t kSteadyBalancingPass = 20;

/// The four layout words that a new system takes from the system after it.
constexpr size_t kLeadingLayoutWords[] = {StaffSystemLayout::kTopStaffOffset, StaffSystemLayout::kLeftMargin,
                                          StaffSystemLayout::kRightMargin, StaffSystemLayout::kDistance};

}  // namespace

int32_t DocumentLastMeasure() {
    return DispatcherEnvironment().WholeDocument().lastMeasure();
}

// ---- SystemLayout ----

SystemLayout::SystemLayout(const TStaffSystems& systems) {
    for (int32_t i = 0; i < systems.Count(); ++i) {
        m_records.push_back(systems.At(i));
    }
    const int32_t last = DocumentLastMeasure();
    m_documentEnd = last > 0 ? last + 1 : 0;
}

int32_t SystemLayout::NextFirst(int32_t k) const {
    if (k < Count()) {
        return First(k + 1);
    }
    return m_documentEnd != 0 ? m_documentEnd : End(k);
}

int32_t SystemLayout::SystemOf(int32_t measure) const {
    for (int32_t k = 1; k <= Count(); ++k) {
        if (First(k) <= measure && (k == Count() || End(k) > measure)) {
            return k;
        }
    }
    return 0;
}

void SystemLayout::InsertCopyAfter(int32_t k) {
    const EDTStaffSystemSpec2001 copy = System(k);
    m_records.insert(m_records.begin() + k, copy);
}

void SystemLayout::Remove(int32_t k) {
    if (k < 1 || k > Count()) {
        throw std::out_of_range("there is no staff system " + std::to_string(k) + " to remove");
    }
    m_records.erase(m_records.begin() + (k - 1));
}

bool SystemLayout::Save(int32_t k) const {
    return SaveStaffSystemSpec(k, System(k));
}

void SystemLayout::SaveFrom(int32_t k) const {
    for (int32_t s = std::max(k, 1); s <= Count(); ++s) {
        Save(s);
    }
}

bool SystemLayout::Lock(int32_t k, bool lock) const {
    const int32_t first = First(k);
    const int32_t end = End(k);
    for (int32_t m = first + 1; m <= end - 1; ++m) {
        DeleteOtherRecord(hostapi::kTagLockedMeasures, m, 0);
    }
    if (!lock) {
        return true;
    }
    Record12 record;
    hostapi::WriteI16(record.data(), hostapi::LockedMeasuresLayout::kEndMeasure, static_cast<int16_t>(end));
    return SaveOtherRecord(hostapi::kTagLockedMeasures, first, 0, record.data(), Record12::kSize);
}

void SystemLayout::DeleteStored(int32_t upTo) const {
    for (int32_t k = upTo; k > Count(); --k) {
        DeleteOtherRecord(hostapi::kTagStaffSystem, k, 0);
        if (DispatcherEnvironment().HostYear() >= 2001) {
            DeleteOtherRecord(hostapi::kTagStaffSystem2001, k, 0);
        }
    }
}

void SystemLayout::DeleteStoredOptimizations(int32_t upTo) const {
    for (int32_t k = upTo; k > Count(); --k) {
        SystemOptimization().SaveAs(k);
    }
}

// ---- Optimizations ----

SystemOptimization::SystemOptimization(int32_t k, int16_t anchor) : m_anchor(anchor) {
    InstrumentUsageRecord entry;
    while (static_cast<int32_t>(m_staves.size()) < kMaxListEntries &&
           LoadInstrumentUsage(k, static_cast<int32_t>(m_staves.size()), entry)) {
        m_staves.push_back(entry);
    }
    for (int16_t group = 1; group <= hostapi::StaffGroupLayout::kLastGroup; ++group) {
        StaffGroupRecord record;
        if (LoadRecordSDNG(k, group, record)) {
            m_groups.emplace_back(group, record);
        }
    }
}

void SystemOptimization::SaveAs(int32_t k) const {
    const auto count = static_cast<int32_t>(m_staves.size());
    for (int32_t i = 0; i < count; ++i) {
        SaveInstrumentUsage(k, i, m_staves[static_cast<size_t>(i)]);
    }
    int32_t stored = count;
    InstrumentUsageRecord entry;
    while (stored < kMaxListEntries && LoadInstrumentUsage(k, stored, entry)) {
        ++stored;
    }
    // From the highest down, so that no deletion moves an entry still to be deleted.
    for (int32_t inci = stored - 1; inci >= count; --inci) {
        DeleteInstrumentUsage(k, inci);
    }
    auto next = m_groups.begin();
    for (int16_t group = 1; group <= hostapi::StaffGroupLayout::kLastGroup; ++group) {
        if (next != m_groups.end() && next->first == group) {
            SaveRecordSDNG(k, group, next->second);
            ++next;
        } else {
            DeleteRecordSDNG(k, group);
        }
    }
}

bool SystemOptimization::Anchor(EDTStaffSystemSpec2001& record) const {
    if (DispatcherEnvironment().HostYear() < 2001 || m_staves.empty() || record.topStaffOffset() == m_anchor) {
        return false;
    }
    record.setTopStaffOffset(m_anchor);
    return true;
}

void CopyOptimization(int32_t from, int32_t to) {
    if (from != to) {
        SystemOptimization(from).SaveAs(to);
    }
}

// ---- Progress ----

// ---- Widths ----

int32_t WidthList::At(int32_t measure) const {
    const int64_t place = static_cast<int64_t>(measure) - base;
    return place >= 0 && place < static_cast<int64_t>(widths.size()) ? widths[static_cast<size_t>(place)] : 0;
}

bool BuildMeasureGroupList(WidthList& list, int32_t first, int32_t last) {
    list.base = first;
    list.widths.clear();
    for (int32_t m = first; m <= last; ++m) {
        RawRecord<MultimeasureRestLayout::kSize> rest;
        if (LoadWholeOtherRecord(kTagMultimeasureRest, m, 0, rest.data(), MultimeasureRestLayout::kSize)) {
            list.widths.push_back(hostapi::ReadI16(rest.data(), MultimeasureRestLayout::kWidth));
            // A rest that names no later end stands for its first measure alone.
            const int32_t restEnd = hostapi::ReadI16(rest.data(), MultimeasureRestLayout::kEndMeasure);
            for (++m; m < restEnd; ++m) {
                list.widths.push_back(0);
            }
            --m;
            last = std::max(last, m);
            continue;
        }
        EDTMeasureSpec measure;
        if (!LoadMeasureSpec(m, measure)) {
            return false;
        }
        list.widths.push_back(hostapi::ReadI16(measure.data(), EDTMeasureSpec::kWidth));
    }
    return true;
}

int32_t SystemWidth(const SystemLayout& layout, int32_t k, int32_t startChange, int32_t endChange,
                    const WidthList& list) {
    const int64_t listEnd = static_cast<int64_t>(list.base) + static_cast<int64_t>(list.widths.size());
    const int64_t from = std::max<int64_t>(layout.First(k) + startChange, list.base);
    const int64_t to = std::min<int64_t>(layout.End(k) + endChange, listEnd);
    int64_t sum = 0;
    for (int64_t m = from; m < to; ++m) {
        sum += list.widths[static_cast<size_t>(m - list.base)];
    }
    return static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

// ---- Balancing ----

bool BalanceSystems(int32_t first, int32_t last, SystemLayout& layout, const WidthList& list, bool lock,
                    const hostapi::SelectionRecord* region) {
    if (first > last) {
        return false;
    }
    if (first == last) {
        layout.Lock(last, lock);
        return false;
    }
    int64_t sum = 0;
    for (int32_t s = first; s <= last; ++s) {
        sum += SystemWidth(layout, s, 0, 0, list);
    }
    const int64_t average = sum / (last - first + 1);
    const auto distance = [&](int64_t width) { return std::llabs(width - average); };

    ScopedEditBracket progress(region, kMaxBalancingPasses);
    int64_t best = INT32_MAX;
    int32_t passes = 0;
    bool movedAny = false;
    while (progress.Step()) {
        int64_t total = 0;
        bool moved = false;
        for (int32_t s = first; s < last; ++s) {
            const int32_t a = SystemWidth(layout, s, 0, 0, list);
            const int32_t b = SystemWidth(layout, s + 1, 0, 0, list);
            const int32_t aPlus = SystemWidth(layout, s, 0, 1, list);
            const int32_t bMinus = SystemWidth(layout, s + 1, 1, 0, list);
            const int32_t aMinus = SystemWidth(layout, s, 0, -1, list);
            const int32_t bPlus = SystemWidth(layout, s + 1, -1, 0, list);
            int32_t shift = 0;
            if (aPlus != 0 && bMinus != 0 && (b >= aPlus || distance(aPlus) < distance(a))) {
                shift = 1;  // the first measure of s + 1 goes to the end of s
            } else if (aMinus != 0 && bPlus != 0 &&
                       !(aMinus < bPlus && distance(a) < distance(aMinus) && distance(bPlus) < distance(aMinus))) {
                shift = -1;  // the last measure of s goes to the start of s + 1
            }
            if (shift != 0) {
                layout.SetEnd(s, layout.End(s) + shift);
                layout.SetFirst(s + 1, layout.First(s + 1) + shift);
                layout.Save(s);
                layout.Save(s + 1);
                moved = true;
            }
            total += distance(SystemWidth(layout, s, 0, 0, list));
            layout.Lock(s, lock);
        }
        layout.Lock(last, lock);
        total += distance(SystemWidth(layout, last, 0, 0, list));
        best = std::min(best, total);
        ++passes;
        movedAny = movedAny || moved;
        if (!moved || passes >= kMaxBalancingPasses || (passes >= kSteadyBalancingPass && total == best)) {
            break;
        }
    }
    return movedAny;
}

// ---- Split ----

bool SplitStaffSystem(TFMisc& context, int32_t parts, SystemLayout& layout, const hostapi::SelectionRecord& selection,
                      bool redistribute) {
    if (selection.firstMeasure() < 1 || selection.lastMeasure() > DocumentLastMeasure()) {
        // Measures the document does not have belong to no system: the last one is not split
        // in their place.
        ShowMessage(FreeText::SelectMeasuresOneSystem);
        return false;
    }
    const int32_t s = layout.SystemOf(selection.firstMeasure());
    const int32_t l = layout.SystemOf(selection.lastMeasure());
    if (s == 0 || l == 0 || s != l) {
        ShowMessage(FreeText::SelectMeasuresOneSystem);
        return false;
    }
    const int32_t rangeFirst = layout.First(s);
    int32_t rangeLast = layout.End(l) - 1;
    if (rangeLast < rangeFirst || rangeLast < 1) {
        rangeLast = DocumentLastMeasure();
    }
    const int32_t count = layout.MeasureCount(s);
    if (count < 2) {
        ShowMessage(FreeText::CannotSplitSystem);
        return false;
    }
    if (count < parts) {
        ShowMessage(FreeText::TooManySystemsSpecified);
        return false;
    }
    if (parts < 2) {
        return false;  // a system is not split into one system or none
    }

    for (int32_t pass = 1; pass < parts; ++pass) {
        int32_t at = 0;
        if (parts == 2) {
            const int32_t afterSelection = selection.lastMeasure() + 1;
            at = afterSelection < layout.End(s) ? afterSelection : (layout.First(s) + layout.NextFirst(s)) / 2;
        } else {
            at = layout.First(s) + (parts - pass) * count / parts;
        }
        layout.InsertCopyAfter(s);
        layout.SetEnd(s, at);
        if (s + 2 <= layout.Count()) {
            for (const size_t offset : kLeadingLayoutWords) {
                hostapi::WriteI16(layout.System(s + 1).data(), offset,
                                  hostapi::ReadI16(layout.System(s + 2).data(), offset));
            }
        }
        layout.SetFirst(s + 1, at);
        layout.Lock(s, true);
        layout.Lock(s + 1, true);
        SetProgressText(context, FreeText::ProgressSplittingPass, {std::to_string(pass), std::to_string(parts - 1)});
        layout.SaveFrom(s);
    }

    SetProgressText(context, FreeText::ProgressShiftingOptimizations);
    // One step a system whose optimization moves along (the systems after the new ones): a
    // display of more steps would end short of its count although nothing stopped it.
    if (const int32_t moved = layout.Count() - (s + parts) + 1; moved > 0) {
        ScopedEditBracket progress(&selection, moved);
        for (int32_t k = layout.Count(); k >= s + parts; --k) {
            if (!progress.Step()) {
                progress.End();
                SetProgressText(context, FreeText::ProgressCanceled);
                return false;
            }
            CopyOptimization(k - parts + 1, k);
        }
    }

    SetProgressText(context, FreeText::ProgressInitializingNewSystems);
    {
        const SystemOptimization optimization(s, layout.System(s).topStaffOffset());
        ScopedEditBracket progress(&selection, parts - 1);
        for (int32_t k = s + 1; k <= s + parts - 1; ++k) {
            if (!progress.Step()) {
                progress.End();
                SetProgressText(context, FreeText::ProgressCanceled);
                return false;
            }
            optimization.SaveAs(k);
            if (optimization.Anchor(layout.System(k))) {
                layout.Save(k);
            }
        }
    }

    if (redistribute) {
        SetProgressText(context, FreeText::ProgressRedistributingMeasures);
        WidthList widths;
        if (BuildMeasureGroupList(widths, rangeFirst, rangeLast)) {
            BalanceSystems(s, s + parts - 1, layout, widths, true, &selection);
        }
        SetProgressText(context, FreeText::ProgressUpdatingLayout);
        UpdateHostLayout();
    }
    SetProgressText(context, FreeText::ProgressDone);
    return true;
}

bool RunSplitStaffSystem(TFMisc& context, int32_t parts, TStaffSystems& systems, bool redistribute) {
    SystemLayout layout(systems);
    const hostapi::SelectionRecord selection =
        context.Environment.Region() != nullptr ? *context.Environment.Region() : hostapi::SelectionRecord{};
    const bool done = SplitStaffSystem(context, parts, layout, selection, redistribute);
    systems.Load();  // the list follows the document
    return done;
}

bool RunSplitStaffSystemTool(TFMisc& context) {
    TStaffSystems systems;
    if (systems.Count() == 0) {
        return false;  // nothing to split
    }
    return RunSplitStaffSystem(context, RowValue(context.Options, SPLIT_SYSTEM_PARTS), systems);
}

}  // namespace orvex
