#include "tools/layout/stafflist.h"

#include <algorithm>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/system.h"

namespace orvex {

StaffListState& SlmState() {
    return UnitState<StaffListState>();
}

namespace {

constexpr int32_t kMessageSystemZero = 7;
constexpr char kUsedMarker = '*';
/// The bracket of a group's inner staves (Windows-1252 broken bar) and of its last staff.
constexpr char kGroupInner = '\xA6';
constexpr char kGroupEnd = '/';
constexpr char kNamelessGroup = '\\';

bool Optimized(const EDTStaffSystemSpec2001& record) {
    return (record.flags() & hostapi::StaffSystemLayout::kOwnStaffList) != 0;
}

}  // namespace

TSLMKernel::TSLMKernel() : SystemStaffList(&Systems), ScoreStaffList(&Systems) {
    // The systems and pages loaded themselves as members.
    ScoreStaffList.Load(0, true);
    ScoreGroups.Load(0, false, false, false);
}

void TSLMKernel::ReloadDocument() {
    Systems.Load();
    Pages = TPages();
    ScoreStaffList.Load(0, true);
    ScoreGroups.Load(0, false, false, false);
}

std::string TSLMKernel::DisplayLine(int32_t index, bool used, std::vector<int16_t>& pendingLast) const {
    const TInstrRec& record = ScoreStaffList.At(index);
    const int16_t staff = record.staff();
    std::string line = std::string(1, used ? kUsedMarker : ' ') + record.name;
    std::vector<std::string> columns(kBracketColumns, std::string(kColumnWidth, ' '));
    std::vector<bool> written(kBracketColumns, false);
    size_t from = 0;
    // Each group that starts at the staff gets a column of its own; a one-staff group named by a
    // single character marks the name instead.
    for (int32_t n = 1; n <= ScoreGroups.CountStartingAt(staff); ++n) {
        const TGroupRec& group = ScoreGroups.At(ScoreGroups.IndexOfNthStartingAt(staff, n) - 1);
        const int16_t last = group.record.lastStaff();
        if (last == staff && group.name.size() == 1) {
            line += group.name;
            continue;
        }
        size_t column = from;
        while (column < kBracketColumns && pendingLast[column] != 0) {
            ++column;
        }
        if (column == kBracketColumns) {
            continue;  // all columns are taken: the group is not shown
        }
        const std::string name = group.name.empty() ? std::string(1, kNamelessGroup) : group.name;
        columns[column].replace(0, std::min(name.size(), kColumnWidth), name, 0, kColumnWidth);
        written[column] = true;
        pendingLast[column] = last == staff ? 0 : last;
        from = column;
    }
    for (size_t column = 0; column < kBracketColumns; ++column) {
        if (written[column] || pendingLast[column] == 0) {
            continue;
        }
        if (pendingLast[column] == staff) {
            columns[column][0] = kGroupEnd;
            pendingLast[column] = 0;
        } else {
            columns[column][0] = kGroupInner;
        }
    }
    if (line.size() < kNameWidth) {
        line.resize(kNameWidth, ' ');
    }
    for (const std::string& column : columns) {
        line += column;
    }
    return line;
}

bool TSLMKernel::LoadSystem(bool reread) {
    if (reread) {
        ResetFlag = false;
    }
    DisplayLines.clear();
    VisibleFlags.clear();
    Positions.clear();
    LoadedFlag = false;
    const int32_t current = SlmState().currentSystem;
    if (current == 0 && !NoSystemNoteShown) {
        ShowMessage({.id = kMessageSystemZero, .caption = Caption::StaffListManager, .skippable = true});
        NoSystemNoteShown = true;
    }
    if (current < 1) {
        // The global list has no measures of its own.
        ValidFlag = false;
    }
    if (current >= 1 && reread) {
        CurrentRecord = EDTStaffSystemSpec2001{};
        LoadStaffSystemSpec(current, CurrentRecord);
        ValidFlag = false;
        if (SystemExists(current)) {
            const EDTStaffSystemSpec2001& system = Systems.At(current - 1);
            ValidFlag = system.firstMeasure() > 0 && system.endMeasure() > system.firstMeasure();
        }
        if (!Optimized(CurrentRecord)) {
            DisplayLines.emplace_back(DispatcherEnvironment().Language() == 1 ? kNotOptimizedTextGerman
                                                                              : kNotOptimizedText);
            VisibleFlags.push_back(false);
            Positions.push_back(0);
            ChangedFlag = false;
            return false;
        }
    }
    if (reread) {
        if (current < 1) {
            SystemStaffList = ScoreStaffList;
            SystemGroups = ScoreGroups;
        } else {
            SystemStaffList.Load(current, true);
            SystemGroups.Load(current, false, false, false);
        }
    }
    std::vector<int16_t> pendingLast(kBracketColumns, 0);
    for (int32_t i = 0; i < ScoreStaffList.Count(); ++i) {
        TInstrRec& record = ScoreStaffList.At(i);
        const bool used = CountFlaggedEntriesInSystem(Systems, 0, static_cast<hostapi::StaffSlot>(i + 1), current) > 0;
        record.flag = used ? 1 : 0;
        DisplayLines.push_back(DisplayLine(i, used, pendingLast));
        const int32_t place = SystemStaffList.IndexOf(record.staff());
        VisibleFlags.push_back(ReOptimizeFlag ? used : place != 0);
        int32_t position = 0;
        if (ReOptimizeFlag) {
            position = record.position();
        } else if (place != 0) {
            position = SystemStaffList.At(place - 1).position();
        } else if (i > 0) {
            position = Positions.back() - kDefaultDistance;
        }
        Positions.push_back(position);
    }
    LoadedFlag = current >= 1;
    ChangedFlag = false;
    return LoadedFlag;
}

TSLMKernel::ShownStaff TSLMKernel::NearestShownAbove(int32_t row) const {
    const int32_t last = std::min(row, static_cast<int32_t>(VisibleFlags.size())) - 1;
    for (int32_t i = last; i >= 0; --i) {
        if (VisibleFlags[static_cast<size_t>(i)]) {
            return ShownStaff{i, Positions[static_cast<size_t>(i)]};
        }
    }
    return ShownStaff{};
}

int16_t TSLMKernel::ShownListedNeighbour(int32_t row, int32_t step) const {
    for (int32_t i = row + step; i >= 0 && i < ScoreStaffList.Count(); i += step) {
        const int16_t staff = ScoreStaffList.At(i).staff();
        if (VisibleFlags[static_cast<size_t>(i)] && SystemStaffList.Contains(staff)) {
            return staff;
        }
    }
    return 0;
}

bool TSLMKernel::Apply(bool keep) {
    const int32_t current = SlmState().currentSystem;
    // A system that the document does not have is never written: saving would create its records.
    if (!LoadedFlag || !SystemExists(current) || VisibleFlags.size() != static_cast<size_t>(ScoreStaffList.Count())) {
        SlmState().dirty = false;
        return true;
    }
    if (!SlmState().dirty) {
        return true;
    }
    if (ResetFlag) {
        ChangedFlag = true;
    }
    for (int32_t i = 0; i < ScoreStaffList.Count(); ++i) {
        const int32_t place = SystemStaffList.IndexOf(ScoreStaffList.At(i).staff());
        if (VisibleFlags[static_cast<size_t>(i)] && place != 0) {
            TInstrRec& record = SystemStaffList.At(place - 1);
            if (record.position() != Positions[static_cast<size_t>(i)]) {
                record.setPosition(Positions[static_cast<size_t>(i)]);
                ChangedFlag = true;
            }
        }
    }
    for (int32_t i = 0; i < ScoreStaffList.Count(); ++i) {
        const TInstrRec& score = ScoreStaffList.At(i);
        const int16_t staff = score.staff();
        const bool listed = SystemStaffList.Contains(staff);
        const bool shown = VisibleFlags[static_cast<size_t>(i)];
        if (shown && !listed) {
            SystemStaffList.InsertStaff(score, ShownListedNeighbour(i, -1), ScoreStaffList);
            SystemGroups.AdoptGroups(ScoreGroups, ScoreStaffList, SystemStaffList, staff);
            ChangedFlag = true;
        } else if (!shown && listed) {
            SystemGroups.RemoveStaff(ShownListedNeighbour(i, -1), staff, ShownListedNeighbour(i, 1), SystemStaffList);
            SystemStaffList.RemoveStaff(staff);
            ChangedFlag = true;
        }
    }
    // The list placed the staves it took in or gave up: the positions follow it.
    for (int32_t i = 0; i < ScoreStaffList.Count(); ++i) {
        const int32_t place = SystemStaffList.IndexOf(ScoreStaffList.At(i).staff());
        if (place != 0) {
            Positions[static_cast<size_t>(i)] = SystemStaffList.At(place - 1).position();
        }
    }
    if (keep) {
        return true;
    }
    // A system without staves would show none of its music: the user is told to keep one.
    if (SystemStaffList.Count() == 0 && ScoreStaffList.Count() > 0) {
        ShowMessage(FreeText::SystemNeedsAStaff, {}, Caption::StaffListManager);
        return false;
    }
    if (ChangedFlag) {
        SystemStaffList.Save(current);
        GroupNamesSave(SystemGroups, current, &ScoreGroups, false);
        ChangedFlag = false;
    }
    if (DispatcherEnvironment().HostYear() >= 2001 || !Optimized(CurrentRecord)) {
        CurrentRecord.setFlags(CurrentRecord.flags() | hostapi::StaffSystemLayout::kOwnStaffList);
        if (DispatcherEnvironment().HostYear() >= 2001 && SystemStaffList.Count() > 0) {
            CurrentRecord.setTopStaffOffset(static_cast<int16_t>(SystemStaffList.At(0).position()));
        }
        SaveStaffSystemSpec(current, CurrentRecord);
        Systems.At(current - 1) = CurrentRecord;
    }
    SlmState().dirty = false;
    return true;
}

void TSLMKernel::ResetPositions() {
    const int32_t current = SlmState().currentSystem;
    const int32_t stored = std::max(SystemStaffList.CountAtLoad(), SystemStaffList.Count());
    // Groups of the system's own that the score does not have are deleted with the next save, so
    // that the system ends with the score's groups only.
    std::vector<TGroupRec> gone;
    for (int32_t i = 0; i < SystemGroups.Count(); ++i) {
        gone.push_back(SystemGroups.At(i));
    }
    SystemStaffList.Clear();
    SystemGroups.Clear();
    SystemStaffList.Load(0, true);
    SystemStaffList.SetCountAtLoad(std::max(stored, SystemStaffList.Count()));
    if (DispatcherEnvironment().HostYear() >= 2001 && SystemExists(current) && SystemStaffList.Count() > 0) {
        const int32_t offset = Systems.At(current - 1).topStaffOffset();
        SystemStaffList.At(0).setPosition(0);
        for (int32_t i = 0; i < SystemStaffList.Count(); ++i) {
            SystemStaffList.At(i).setPosition(SystemStaffList.At(i).position() + offset);
        }
    }
    SystemGroups.Load(0, false, false, false);
    for (TGroupRec& group : gone) {
        bool kept = false;
        for (int32_t i = 0; i < SystemGroups.Count() && !kept; ++i) {
            kept = SystemGroups.At(i).number == group.number;
        }
        if (!kept) {
            group.deleted = 1;
            SystemGroups.Append(group);
        }
    }
    SystemGroups.SetChanged(true);
    ResetFlag = true;
}

bool TSLMKernel::CheckOptimizationErrors() const {
    for (size_t i = 0; i < DisplayLines.size(); ++i) {
        const std::string& line = DisplayLines[i];
        if (line.empty() || line[0] != kUsedMarker || (i < VisibleFlags.size() && VisibleFlags[i])) {
            continue;
        }
        const std::string name = win::AnsiToUtf8(line.substr(1, kColumnWidth));
        ShowMessage(FreeText::OptimizationErrorInstrument, {name});
        return true;
    }
    return false;
}

}  // namespace orvex
