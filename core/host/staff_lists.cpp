#include "core/host/staff_lists.h"

#include <algorithm>
#include <optional>

#include "core/host/access_state.h"
#include "core/host/core_hooks.h"
#include "core/host/finxess.h"
#include "core/host/host_info.h"
#include "core/host/host_texts.h"
#include "core/host/staff_systems.h"
#include "core/host/text_format.h"

namespace orvex {
namespace {

constexpr int32_t kLastUsageInci = 999;
/// A gap above this is no gap between two staves: the lists take kDefaultGap instead.
constexpr int32_t kSmallestGap = -100;

int32_t LimitGap(int32_t gap) {
    return gap > kSmallestGap ? TInstruments::kDefaultGap : gap;
}

/// Whether the lists of `key` are stored relative to their system (from host year 2001).
bool RelativeList(int32_t key) {
    return TheAccessLayer.host.year >= 2001 && key >= 1;
}

/// The names of staves and groups from the service plug-in; none while Lumvar2000 is not bound,
/// and the callers then read the document's text blocks.
std::optional<std::string> ServiceStaffName(int16_t staff) {
    return TheCoreHooks().serviceStaffName(staff);
}
std::optional<std::string> ServiceGroupName(int16_t group, int32_t key) {
    return TheCoreHooks().serviceGroupName(group, key);
}

/// A copy of a text block for a record that shares it; the new number (the old one when the
/// copy cannot be saved).
int16_t CopyTextBlock(int16_t block) {
    TextBlockHeader header;
    const std::string text = LoadTextBlock(block, false, &header);
    header.setTextKey(-1);
    int32_t number = -1;
    return SaveTextBlock(number, header, text) ? static_cast<int16_t>(number) : block;
}

bool UsesTextBlock(const TGroups& groups, int16_t block) {
    for (int32_t i = 0; i < groups.Count(); ++i) {
        const StaffGroupRecord& record = groups.At(i).record;
        if (record.fullName() == block || record.abbreviatedName() == block) {
            return true;
        }
    }
    return false;
}

}  // namespace

// ---- TInstruments ----

TInstruments::TInstruments(TStaffSystems* systems) : m_systems(systems) {}

TInstruments::TInstruments(int32_t key, TStaffSystems* systems, bool namesFromService) : m_systems(systems) {
    Load(key, namesFromService);
}

std::string TInstruments::DisplayName(int16_t staff, bool namesFromService) const {
    std::optional<std::string> name = namesFromService ? ServiceStaffName(staff) : std::nullopt;
    if (!name) {
        name = StaffName(staff);
    }
    if (name->empty()) {
        return FormatText(HostTextOf(HostText::StaffNumberName).In(TheAccessLayer.host.language),
                          {std::to_string(staff)});
    }
    return *name;
}

void TInstruments::Load(int32_t key, bool namesFromService) {
    m_key = key;
    m_records.clear();
    for (int32_t inci = 0; inci <= kLastUsageInci; ++inci) {
        TInstrRec record;
        if (!LoadInstrumentUsage(key, inci, record.entry)) {
            break;
        }
        m_records.push_back(record);
    }
    if (RelativeList(key) && !m_records.empty()) {
        std::optional<TStaffSystems> own;
        const TStaffSystems* systems = m_systems;
        if (systems == nullptr) {
            systems = &own.emplace();
        }
        int32_t base = 0;
        if (m_records.front().position() == 0 && systems->Count() >= key) {
            base = systems->At(key - 1).topStaffOffset();
            m_records.front().setPosition(base);
        }
        for (size_t i = 1; i < m_records.size(); ++i) {
            m_records[i].setPosition(m_records[i].position() + base);
        }
    }
    for (TInstrRec& record : m_records) {
        record.name = DisplayName(record.staff(), namesFromService);
        record.flag = 0;
    }
    m_countAtLoad = Count();
}

bool TInstruments::Save(int32_t key) {
    bool saved = true;
    const bool relative = RelativeList(key);
    const int32_t first = m_records.empty() ? 0 : m_records.front().position();
    for (int32_t i = 0; i < Count(); ++i) {
        InstrumentUsageRecord entry = At(i).entry;
        if (relative) {
            entry.setPosition(i == 0 ? 0 : entry.position() - first);
        }
        saved = SaveInstrumentUsage(key, i, entry) && saved;
    }
    // From the highest down, so that no deletion moves an entry still to be deleted.
    for (int32_t inci = m_countAtLoad - 1; inci >= Count(); --inci) {
        DeleteInstrumentUsage(key, inci);
    }
    if (relative && !m_records.empty()) {
        std::optional<TStaffSystems> own;
        TStaffSystems* systems = m_systems;
        if (systems == nullptr) {
            systems = &own.emplace();
        }
        if (systems->Count() >= key) {
            systems->At(key - 1).setTopStaffOffset(static_cast<int16_t>(first));
            saved = SaveSystem(*systems, key) && saved;
        }
    }
    m_key = key;
    m_countAtLoad = Count();
    return saved;
}

int16_t TInstruments::ByNumber(int32_t n) const {
    return n >= 1 && n <= Count() ? At(n - 1).staff() : 0;
}

int32_t TInstruments::IndexOf(int32_t staff) const {
    for (int32_t i = 0; i < Count(); ++i) {
        if (At(i).staff() == staff) {
            return i + 1;
        }
    }
    return 0;
}

bool TInstruments::ClipRange(StaffRange& range, const TInstruments& other) const {
    int32_t first = other.IndexOf(range.firstStaff());
    int32_t last = other.IndexOf(range.lastStaff());
    if (first == 0 || last == 0) {
        return false;
    }
    while (first <= last && !Contains(other.ByNumber(first))) {
        ++first;
    }
    while (last >= first && !Contains(other.ByNumber(last))) {
        --last;
    }
    if (first > last) {
        return false;
    }
    range.setFirstStaff(other.ByNumber(first));
    range.setLastStaff(other.ByNumber(last));
    return true;
}

bool TInstruments::RangeContains(const StaffRange& range, int32_t staff) const {
    const int32_t first = IndexOf(range.firstStaff());
    const int32_t last = IndexOf(range.lastStaff());
    const int32_t at = IndexOf(staff);
    return first != 0 && last != 0 && at != 0 && first <= at && at <= last;
}

bool TInstruments::RefreshIfGone(int32_t staff) {
    const int32_t place = staff == -1 ? Count() : IndexOf(staff);
    if (place == 0) {
        return false;
    }
    InstrumentUsageRecord entry;
    if (LoadInstrumentUsage(m_key, place - 1, entry)) {
        return false;
    }
    Load(m_key, true);
    return true;
}

bool TInstruments::CopyStaffNames(int32_t from, int32_t to) {
    StaffRecord source;
    StaffRecord target;
    if (from == to || !LoadRecordSOIS(from, source) || !LoadRecordSOIS(to, target)) {
        return false;
    }
    target.setFullName(source.fullName() != 0 ? CopyTextBlock(source.fullName()) : int16_t{0});
    target.setAbbreviatedName(source.abbreviatedName() != 0 ? CopyTextBlock(source.abbreviatedName()) : int16_t{0});
    return SaveRecordSOIS(to, target);
}

bool TInstruments::AddStaff(int32_t position, bool copy) {
    const int32_t p = std::clamp(position, 0, Count());
    StaffRecord staffRecord;
    int32_t newStaff = -1;
    if (!CreateRecordSOIS(newStaff, staffRecord)) {
        return false;
    }
    const int16_t anchor = ByNumber(p);
    if (p >= 1 && LoadRecordSOIS(anchor, staffRecord)) {
        if (!copy) {
            staffRecord.setFullName(0);
            staffRecord.setAbbreviatedName(0);
        } else {
            if (staffRecord.fullName() != 0) {
                staffRecord.setFullName(CopyTextBlock(staffRecord.fullName()));
            }
            if (staffRecord.abbreviatedName() != 0) {
                staffRecord.setAbbreviatedName(CopyTextBlock(staffRecord.abbreviatedName()));
            }
        }
        SaveRecordSOIS(newStaff, staffRecord);
    }

    // The host appends a new staff to the score's list only: in a system's list the new staff
    // is not there after the reload, and gets a record of its own below the last staff.
    Load(m_key, true);
    TInstrRec added;
    const int32_t found = IndexOf(newStaff);
    if (found != 0) {
        added = At(found - 1);
        m_records.erase(m_records.begin() + (found - 1));
    } else {
        added.entry.setStaff(static_cast<int16_t>(newStaff));
        added.setPosition(m_records.empty() ? 0 : m_records.back().position() + kDefaultGap);
        added.name = DisplayName(static_cast<int16_t>(newStaff), true);
    }
    const int32_t insertAt = std::min(p, Count());
    if (copy) {
        // The new staff takes the place of the staff it goes before, which moves down by the
        // gap above it; appended, it keeps the place the host gave it.
        if (insertAt < Count()) {
            int32_t gap = kDefaultGap;
            if (insertAt >= 1) {
                gap = At(insertAt).position() - At(insertAt - 1).position();
            } else if (Count() >= 2) {
                gap = At(1).position() - At(0).position();
            }
            const int32_t place = At(insertAt).position();
            for (int32_t i = insertAt; i < Count(); ++i) {
                At(i).setPosition(At(i).position() + gap);
            }
            added.setPosition(place);
        }
        m_records.insert(m_records.begin() + insertAt, added);
    } else {
        // The new staff goes below the staff at the place, and the staves below it move down to
        // make room, so that it is never drawn on top of the next staff. The list itself serves
        // as the reference: it does not hold the new staff, so the default gaps apply.
        const int16_t after = insertAt >= 1 ? At(insertAt - 1).staff() : int16_t{0};
        InsertStaff(added, after, *this);
    }
    Save(m_key);

    if (copy && p >= 1) {
        TGroups groups(m_key, false, false, false);
        for (int32_t i = 0; i < groups.Count(); ++i) {
            TGroupRec& group = groups.At(i);
            if (group.record.lastStaff() == anchor) {
                group.record.setLastStaff(static_cast<int16_t>(newStaff));
                groups.SetChanged(true);
            }
        }
        if (groups.Changed()) {
            GroupNamesSave(groups, m_key, nullptr, false);
        }
    }
    return true;
}

void TInstruments::RemoveStaff(int32_t staff) {
    m_countAtLoad = std::max(m_countAtLoad, Count());
    const int32_t place = IndexOf(staff);
    if (place == 0) {
        return;
    }
    const size_t i = static_cast<size_t>(place - 1);
    const int32_t gap = i + 1 < m_records.size() ? m_records[i + 1].position() - m_records[i].position() : 0;
    m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(i));
    for (size_t j = i; j < m_records.size(); ++j) {
        m_records[j].setPosition(m_records[j].position() - gap);
    }
}

void TInstruments::InsertStaff(const TInstrRec& record, int32_t after, const TInstruments& reference) {
    if (m_records.empty()) {
        m_records.push_back(record);
        return;
    }
    // The reference list's gaps around the staff; a staff it does not hold has the default ones.
    const int32_t k = reference.IndexOf(record.staff()) - 1;
    int32_t dR = kDefaultGap;
    int32_t dRp = kDefaultGap;
    if (k >= 0) {
        if (k + 1 < reference.Count()) {
            dR = LimitGap(reference.At(k + 1).position() - reference.At(k).position());
        }
        dRp = k >= 1 ? LimitGap(reference.At(k).position() - reference.At(k - 1).position()) : dR;
    }
    const int32_t place = IndexOf(after);
    TInstrRec inserted = record;
    if (place == 0) {
        inserted.setPosition(m_records.front().position());
        for (TInstrRec& other : m_records) {
            other.setPosition(other.position() + dR);
        }
        m_records.insert(m_records.begin(), inserted);
        return;
    }
    const int32_t i = place - 1;
    // After the last staff there is no gap below: the one above stands for it.
    int32_t d1 = kDefaultGap;
    if (i + 1 < Count()) {
        d1 = LimitGap(At(i + 1).position() - At(i).position());
    } else if (i >= 1) {
        d1 = LimitGap(At(i).position() - At(i - 1).position());
    }
    const int32_t d2 = i >= 1 ? LimitGap(At(i).position() - At(i - 1).position()) : d1;
    const int32_t newPosition = At(i).position() + LimitGap((dRp + d2) / 2);
    inserted.setPosition(newPosition);
    if (i + 1 < Count()) {
        const int32_t shift = LimitGap((dR + d1) / 2) - (At(i + 1).position() - newPosition);
        for (int32_t j = i + 1; j < Count(); ++j) {
            At(j).setPosition(At(j).position() + shift);
        }
    }
    m_records.insert(m_records.begin() + place, inserted);
}

void TInstruments::Free() {
    m_records.clear();
    m_records.shrink_to_fit();
}

// ---- TGroups ----

TGroups::TGroups(int32_t key, bool numberedNames, bool skipSingle, bool namesFromService) {
    Load(key, numberedNames, skipSingle, namesFromService);
}

void TGroups::Load(int32_t key, bool numberedNames, bool skipSingle, bool namesFromService) {
    m_key = key;
    m_records.clear();
    bool fromService = namesFromService;
    for (int16_t g = 1; g <= hostapi::StaffGroupLayout::kLastGroup; ++g) {
        TGroupRec group;
        group.number = g;
        if (!LoadRecordSDNG(key, g, group.record)) {
            continue;
        }
        std::optional<std::string> name = namesFromService ? ServiceGroupName(g, key) : std::nullopt;
        if (!name) {
            // Names read from the document may be written back.
            fromService = false;
            name = LoadTextBlock(group.record.fullName(), true);
            if (name->empty()) {
                name = LoadTextBlock(group.record.abbreviatedName(), true);
            }
        }
        if (name->empty() && numberedNames) {
            name = FormatText(HostTextOf(HostText::GroupNumberName).english, {std::to_string(g)});
        }
        if (skipSingle && group.record.firstStaff() == group.record.lastStaff()) {
            continue;
        }
        group.name = *name;
        m_records.push_back(group);
    }
    m_namesFromService = fromService && !m_records.empty() ? 1 : 0;
    m_countAtLoad = Count();
    m_changed = 0;
}

void TGroups::Append(const TGroupRec& record) {
    m_records.push_back(record);
    m_changed = 1;
}

void TGroups::Free() {
    m_records.clear();
    m_records.shrink_to_fit();
}

int32_t TGroups::CountStartingAt(int32_t staff) const {
    return static_cast<int32_t>(std::count_if(m_records.begin(), m_records.end(), [&](const TGroupRec& group) {
        return group.record.firstStaff() == staff;
    }));
}

int32_t TGroups::IndexOfNthStartingAt(int32_t staff, int32_t n) const {
    int32_t seen = 0;
    for (int32_t i = 0; i < Count(); ++i) {
        if (At(i).record.firstStaff() == staff && ++seen == n) {
            return i + 1;
        }
    }
    return 0;
}

TGroupRec* TGroups::NthStartingAt(int32_t staff, int32_t n) {
    const int32_t place = IndexOfNthStartingAt(staff, n);
    return place == 0 ? nullptr : &At(place - 1);
}

int32_t TGroups::StavesInGroup(int32_t n, const TInstruments& staves) const {
    if (n < 1 || n > Count()) {
        return 0;
    }
    const StaffGroupRecord& record = At(n - 1).record;
    const int32_t first = staves.IndexOf(record.firstStaff());
    const int32_t last = staves.IndexOf(record.lastStaff());
    return first != 0 && last >= first ? last - first + 1 : 0;
}

std::string TGroups::NameOfStaff(int32_t staff, const TInstruments& staves) const {
    int32_t best = 0;
    int32_t fewest = 0;
    for (int32_t i = 0; i < Count(); ++i) {
        const TGroupRec& group = At(i);
        if (group.deleted != 0 || group.name.empty() || group.name.front() == '[' ||
            !staves.RangeContains(group.record, staff)) {
            continue;
        }
        const int32_t size = StavesInGroup(i + 1, staves);
        if (best == 0 || size < fewest) {
            best = i + 1;
            fewest = size;
        }
    }
    return best == 0 ? std::string() : At(best - 1).name + " ";
}

void TGroups::RemoveStaff(int32_t newLast, int32_t removed, int32_t newFirst, const TInstruments& staves) {
    for (TGroupRec& group : m_records) {
        const StaffGroupRecord range = group.record;
        const bool starts = range.firstStaff() == removed;
        const bool ends = range.lastStaff() == removed;
        if (starts) {
            if (newFirst != 0 && !ends && staves.RangeContains(range, newFirst)) {
                group.record.setFirstStaff(static_cast<int16_t>(newFirst));
            } else {
                group.deleted = 1;
            }
            m_changed = 1;
        }
        if (ends) {
            if (newLast != 0 && staves.RangeContains(range, newLast)) {
                group.record.setLastStaff(static_cast<int16_t>(newLast));
            } else {
                group.deleted = 1;
            }
            m_changed = 1;
        }
    }
}

int16_t TGroups::NewGroupNumber() const {
    const int16_t next = m_records.empty() ? 1 : static_cast<int16_t>(m_records.back().number + 1);
    if (next <= hostapi::StaffGroupLayout::kLastGroup) {
        return next;
    }
    // Group numbers above 100 are never loaded again: take the lowest free one.
    for (int16_t g = 1; g <= hostapi::StaffGroupLayout::kLastGroup; ++g) {
        if (std::none_of(m_records.begin(), m_records.end(), [&](const TGroupRec& r) { return r.number == g; })) {
            return g;
        }
    }
    return 0;
}

void TGroups::AdoptGroups(const TGroups& source, const TInstruments& sourceList, const TInstruments& target,
                          int32_t staff) {
    for (int32_t gi = 0; gi < source.Count(); ++gi) {
        const TGroupRec& g = source.At(gi);
        if (g.deleted != 0 || !sourceList.RangeContains(g.record, staff)) {
            continue;
        }
        TGroupRec* match = nullptr;
        for (TGroupRec& t : m_records) {
            if (!t.name.empty() && t.name.back() == '.') {
                t.name.pop_back();
            }
            const bool namesMatch = t.name.starts_with(g.name) || g.name.starts_with(t.name);
            if (!namesMatch || t.record.bracket() != g.record.bracket()) {
                continue;
            }
            bool fits = true;
            for (int32_t i = 1; i <= target.Count() && fits; ++i) {
                const int16_t x = target.ByNumber(i);
                if (target.RangeContains(t.record, x) && !sourceList.RangeContains(g.record, x)) {
                    fits = false;
                }
            }
            for (int32_t i = 1; i <= sourceList.Count() && fits; ++i) {
                const int16_t x = sourceList.ByNumber(i);
                if (x != staff && sourceList.RangeContains(g.record, x) && target.Contains(x) &&
                    !target.RangeContains(t.record, x)) {
                    fits = false;
                }
            }
            if (fits) {
                match = &t;
                break;
            }
        }
        if (match != nullptr) {
            const int32_t at = sourceList.IndexOf(staff);
            if (at < sourceList.IndexOf(match->record.firstStaff())) {
                match->record.setFirstStaff(static_cast<int16_t>(staff));
            } else if (at > sourceList.IndexOf(match->record.lastStaff())) {
                match->record.setLastStaff(static_cast<int16_t>(staff));
            }
            match->deleted = 0;
            target.ClipRange(match->record, sourceList);
            m_changed = 1;
            continue;
        }
        const int16_t number = NewGroupNumber();
        if (number == 0) {
            continue;  // all hundred group numbers are in use
        }
        TGroupRec copy = g;
        int32_t first = sourceList.IndexOf(g.record.firstStaff());
        int32_t last = sourceList.IndexOf(g.record.lastStaff());
        while (first <= last && !target.Contains(sourceList.ByNumber(first))) {
            ++first;
        }
        while (last >= first && !target.Contains(sourceList.ByNumber(last))) {
            --last;
        }
        const bool inside = first >= 1 && first <= last;
        copy.record.setFirstStaff(inside ? sourceList.ByNumber(first) : static_cast<int16_t>(staff));
        copy.record.setLastStaff(inside ? sourceList.ByNumber(last) : static_cast<int16_t>(staff));
        copy.number = number;
        copy.deleted = 0;
        m_records.push_back(copy);
        m_changed = 1;
    }
    m_countAtLoad = std::max(m_countAtLoad, Count());
}

bool GroupNamesSave(TGroups& groups, int32_t key, const TGroups* other, bool all) {
    if (!groups.Changed()) {
        return true;
    }
    const bool namesAsked = other != nullptr || all;
    if (groups.NamesFromService() && namesAsked) {
        ShowHostText(HostText::GroupNamesNotSaved);
    }
    bool saved = true;
    for (TGroupRec& group : groups.m_records) {
        if (group.deleted != 0) {
            DeleteRecordSDNG(key, group.number);
            continue;
        }
        if (!groups.NamesFromService() && namesAsked) {
            const int16_t full = group.record.fullName();
            if (full != 0 && (all || UsesTextBlock(*other, full))) {
                group.record.setFullName(CopyTextBlock(full));
            }
            const int16_t abbreviated = group.record.abbreviatedName();
            if (abbreviated != 0 && (all || UsesTextBlock(*other, abbreviated))) {
                group.record.setAbbreviatedName(CopyTextBlock(abbreviated));
            }
        }
        saved = SaveRecordSDNG(key, group.number, group.record) && saved;
    }
    // The deleted groups are gone from the document now, and so from the list.
    std::erase_if(groups.m_records, [](const TGroupRec& group) { return group.deleted != 0; });
    groups.m_key = key;
    groups.m_countAtLoad = groups.Count();
    groups.m_changed = 0;
    return saved;
}

bool RefreshStaffAndGroupLists(TGroups& groups, TInstruments& staves) {
    if (groups.Count() == 0) {
        return false;
    }
    const TGroupRec& last = groups.At(groups.Count() - 1);
    StaffGroupRecord stored;
    if (LoadRecordSDNG(groups.ListKey(), last.number, stored)) {
        const bool reloaded = staves.RefreshIfGone(last.record.lastStaff() - 1) || staves.RefreshIfGone(-1);
        if (!reloaded) {
            return false;
        }
    } else {
        staves.Load(staves.ListKey(), true);
    }
    groups.Load(groups.ListKey(), false, false, false);
    return true;
}

}  // namespace orvex
