#include "service/names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/hostapi/bytes.h"
#include "platform/win/system.h"
#include "service/layout_services.h"
#include "service/lumvar_api.h"
#include "service/module_state.h"
#include "service/preferences.h"
#include "service/record_forwards.h"
#include "service/text_services.h"
#include "service/translations.h"

namespace lumvar {
namespace {

using hostapi::ReadI16;

constexpr int16_t kWordUpperStaff = 250;
constexpr int16_t kWordLowerStaff = 251;
constexpr int16_t kWordHidden = 252;
/// A list of names stops growing once it is longer than this.
constexpr size_t kMaxListPart = 99;

NameBuffers& Buffers() {
    return Module().names;
}

template <size_t N>
const char* Keep(std::array<char, N>& buffer, std::string_view text) {
    const size_t n = std::min(text.size(), N - 1);
    std::memcpy(buffer.data(), text.data(), n);
    buffer[n] = '\0';
    return buffer.data();
}

/// A word of the translation table in the user's language, in the documents' code page.
std::string Word(int16_t id) {
    return win::Utf8ToAnsi(TranslatedId(id, 1, LANGUAGE_PREFERRED));
}

struct Group {
    int16_t number = 0;
    int16_t first = 0;
    int16_t last = 0;
    std::string name;  ///< full name, else abbreviated name; empty when neither has text
};

std::vector<Group> GroupsOfList(int16_t listKey) {
    std::vector<Group> groups;
    // The last group of the list: the record before the first key of the next list.
    int16_t key1 = static_cast<int16_t>(listKey + 1);
    int16_t key2 = 0;
    if (listKey == SHRT_MAX || PreviousOther(kTagStaffGroup, &key1, &key2, nullptr, 0) == 0 || key1 != listKey) {
        return groups;
    }
    std::array<uint8_t, kStaffGroupSize> record{};
    for (int32_t number = 1; number <= key2; ++number) {
        if (LoadDetail(kTagStaffGroup, listKey, static_cast<int16_t>(number), record.data(), kStaffGroupSize) == 0) {
            continue;
        }
        Group group;
        group.number = static_cast<int16_t>(number);
        group.first = ReadI16(record.data(), StaffGroupRecord::kFirstStaff);
        group.last = ReadI16(record.data(), StaffGroupRecord::kLastStaff);
        group.name = TextBlockText(ReadI16(record.data(), StaffGroupRecord::kFullName));
        if (group.name.empty()) {
            group.name = TextBlockText(ReadI16(record.data(), StaffGroupRecord::kAbbreviatedName));
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

/// The staves of a group in list order (from its first staff through its last).
std::vector<int16_t> StavesInGroup(const Group& group, const std::vector<StaffListEntry>& entries) {
    std::vector<int16_t> staves;
    const auto start = std::find_if(entries.begin(), entries.end(),
                                    [&group](const StaffListEntry& e) { return e.staff == group.first; });
    for (auto it = start; it != entries.end(); ++it) {
        staves.push_back(it->staff);
        if (it->staff == group.last) {
            break;
        }
    }
    return staves;
}

struct GroupOfStaff {
    std::string name;
    int32_t place = 0;  ///< 1-based place of the staff in the group
    int32_t size = 0;
};

/// The name of the smallest group of the list that holds the staff (the first of equal size);
/// when it has no text and the staff lies in several groups, the first of them with a text.
std::optional<GroupOfStaff> GroupNameOfStaff(int16_t staff, int16_t listKey) {
    const std::vector<StaffListEntry> entries = StaffListEntries(listKey);
    struct Holding {
        const Group* group;
        std::vector<int16_t> staves;
    };
    const std::vector<Group> groups = GroupsOfList(listKey);
    std::vector<Holding> holding;
    for (const Group& group : groups) {
        std::vector<int16_t> staves = StavesInGroup(group, entries);
        if (std::find(staves.begin(), staves.end(), staff) != staves.end()) {
            holding.push_back({&group, std::move(staves)});
        }
    }
    if (holding.empty()) {
        return std::nullopt;
    }
    const Holding* chosen = &holding.front();
    for (const Holding& h : holding) {
        if (h.staves.size() < chosen->staves.size()) {
            chosen = &h;
        }
    }
    if (chosen->group->name.empty() && holding.size() >= 2) {
        for (const Holding& h : holding) {
            if (!h.group->name.empty()) {
                chosen = &h;
                break;
            }
        }
    }
    if (chosen->group->name.empty()) {
        return std::nullopt;
    }
    GroupOfStaff result;
    result.name = chosen->group->name;
    result.size = static_cast<int32_t>(chosen->staves.size());
    result.place =
        static_cast<int32_t>(std::find(chosen->staves.begin(), chosen->staves.end(), staff) - chosen->staves.begin()) +
        1;
    return result;
}

/// The group name of a staff in the list, else in the score's list.
std::optional<GroupOfStaff> GroupNameInLists(int16_t staff, int16_t listKey) {
    if (auto group = GroupNameOfStaff(staff, listKey)) {
        return group;
    }
    return listKey != 0 ? GroupNameOfStaff(staff, 0) : std::nullopt;
}

std::string PlaceText(const GroupOfStaff& group) {
    if (group.size == 2) {
        return " [" + Word(group.place == 1 ? kWordUpperStaff : kWordLowerStaff) + "]";
    }
    char text[32];
    std::snprintf(text, sizeof text, " [%d/%d]", group.place, group.size);
    return text;
}

/// A bare number or Roman numeral: shorter than 6 characters, made only of " .0123456789ivxIVX".
bool BareNumber(std::string_view name) {
    return name.size() < 6 && name.find_first_not_of(" .0123456789ivxIVX") == std::string_view::npos;
}

bool Hidden(int16_t staff) {
    const auto record = LoadStaff(staff);
    return record && (ReadI16(record->data(), kStaffFlagsOffset) & kStaffLeftOutFlag) != 0;
}

/// The longest run of letters of a name (the first of equal length); empty without letters.
std::string LongestLetterRun(std::string_view name) {
    std::string best;
    std::string run;
    for (const char c : name) {
        if (std::isalpha(static_cast<unsigned char>(c)) != 0) {
            run += c;
            continue;
        }
        if (run.size() > best.size()) {
            best = run;
        }
        run.clear();
    }
    return run.size() > best.size() ? run : best;
}

/// The staves' names joined by ", ", merging runs of staves that share their word when asked;
/// the list stops growing once it is longer than 99 characters.
std::string NameList(const std::vector<int16_t>& staves, int16_t listKey, bool fallback, bool merge) {
    std::vector<std::string> parts;
    for (size_t i = 0; i < staves.size();) {
        const std::string name = StaffName(staves[i]);
        const std::string word = merge ? LongestLetterRun(name) : std::string();
        if (!merge || word.empty()) {
            parts.push_back(StaffDisplayName(staves[i], fallback, listKey, true));
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < staves.size()) {
            const std::string next = StaffName(staves[end]);
            if (next.empty() || LongestLetterRun(next) != word) {
                break;
            }
            ++end;
        }
        if (end - i == 1) {
            parts.push_back(name);
        } else {
            char text[160];
            std::snprintf(text, sizeof text, "%s (*%d)", word.c_str(), static_cast<int>(end - i));
            parts.push_back(text);
        }
        i = end;
    }
    std::string list;
    for (const std::string& part : parts) {
        if (list.size() > kMaxListPart) {
            break;
        }
        list += list.empty() ? part : ", " + part;
    }
    return list;
}

void TrimCut(std::string& text, bool atEnd) {
    const auto cut = [](char c) { return c == ' ' || c == ','; };
    if (atEnd) {
        while (!text.empty() && cut(text.back())) {
            text.pop_back();
        }
    } else {
        while (!text.empty() && cut(text.front())) {
            text.erase(text.begin());
        }
    }
}

/// Two parts in `room` characters: joined by ", " when they fit in room - 3, else the longer
/// one (the second on ties) is shortened a character at a time (the first from its end, the
/// second from its start) and they are joined by "...".
std::string FitParts(std::string first, std::string second, int32_t room) {
    const auto fits = [&] { return static_cast<int32_t>(first.size() + second.size()) <= room - 3; };
    if (fits()) {
        return first + ", " + second;
    }
    while (!fits() && !(first.empty() && second.empty())) {
        if (first.size() > second.size()) {
            first.pop_back();
            TrimCut(first, true);
        } else {
            second.erase(second.begin());
            TrimCut(second, false);
        }
    }
    return first + "..." + second;
}

}  // namespace

std::string StaffName(int16_t staff) {
    const auto record = LoadStaff(staff);
    if (!record) {
        return {};
    }
    std::string name = TextBlockText(ReadI16(record->data(), 30));
    if (name.empty()) {
        name = TextBlockText(ReadI16(record->data(), 32));
    }
    return name;
}

std::string StaffDisplayName(int16_t staff, bool fallback, int16_t listKey, bool markHidden) {
    if (!LoadStaff(staff)) {
        return {};
    }
    std::string name = StaffName(staff);
    if (name.empty() && fallback) {
        if (const auto group = GroupNameInLists(staff, listKey)) {
            name = group->name + PlaceText(*group);
        }
        if (name.empty()) {
            const std::string staffWord = win::Utf8ToAnsi(TranslatedWord("Staff", LANGUAGE_PREFERRED));
            char text[200];
            std::snprintf(text, sizeof text, "%s #%d", staffWord.c_str(), staff);
            name = text;
        }
    } else if (!name.empty() && fallback && BareNumber(name)) {
        if (const auto group = GroupNameInLists(staff, listKey)) {
            name = group->name + " (" + name + ")";
        }
    }
    if (markHidden && Hidden(staff)) {
        name += " (" + Word(kWordHidden) + ")";
    }
    return name;
}

const char* GetInstName(int16_t staff) {
    return Buffers().staff.Keep(StaffName(staff));
}

const char* GetInstNameInIUList(int16_t staff, uint8_t fallback, int16_t listKey, uint8_t markHidden) {
    return Buffers().staffInList.Keep(StaffDisplayName(staff, fallback != 0, listKey, markHidden != 0));
}

const char* GetGroupName(int16_t group, int16_t listKey, const void* groupRecord, int16_t* source) {
    int16_t from = 0;
    std::string name;
    std::array<uint8_t, kStaffGroupSize> record{};
    bool have = groupRecord != nullptr;
    if (have) {
        std::memcpy(record.data(), groupRecord, kStaffGroupSize);
    } else {
        have = LoadDetail(kTagStaffGroup, listKey, group, record.data(), kStaffGroupSize) != 0;
    }
    if (have) {
        name = TextBlockText(ReadI16(record.data(), StaffGroupRecord::kFullName));
        from = 1;
        if (name.empty()) {
            name = TextBlockText(ReadI16(record.data(), StaffGroupRecord::kAbbreviatedName));
            from = 2;
        }
        if (name.empty()) {
            // The staves' display names (a group's names are only those of named groups, so
            // asking for them cannot come back here).
            name = "[" + StaffDisplayName(ReadI16(record.data(), StaffGroupRecord::kFirstStaff), true, listKey, false) +
                   "..." +
                   StaffDisplayName(ReadI16(record.data(), StaffGroupRecord::kLastStaff), true, listKey, false) + "]";
            from = 3;
        }
    }
    if (source != nullptr) {
        *source = from;
    }
    return Buffers().group.Keep(name);
}

std::string ListName(int16_t listKey, int16_t number, int16_t flags, int16_t width, int16_t* err) {
    const auto fail = [err](int16_t code) {
        if (err != nullptr) {
            *err = code;
        }
        return std::string();
    };
    if (width < 15 || width > 100) {
        return fail(ERR_OUT_OF_RANGE);
    }
    const std::vector<StaffListEntry> entries = StaffListEntries(listKey);
    if (entries.empty()) {
        return fail(ERR_NOT_FOUND);
    }
    std::string text;
    if ((flags & 0x02) == 0) {
        if ((flags & 0x01) == 0) {
            text += "#";
        }
        text += std::to_string(number);
        if ((flags & 0x04) == 0) {
            text += ".";
        }
        text += " ";
    }
    const bool brackets = (flags & 0x08) == 0;
    const int32_t room = width - static_cast<int32_t>(text.size()) - (brackets ? 2 : 0);
    const bool fallback = (flags & 0x40) != 0;

    std::vector<int16_t> staves;
    for (const StaffListEntry& entry : entries) {
        staves.push_back(entry.staff);
    }
    std::string names;
    if (staves.size() == 1) {
        names = StaffDisplayName(staves.front(), fallback, listKey, true);
        if (static_cast<int32_t>(names.size()) > room) {
            names.resize(static_cast<size_t>(std::max(room, 0)));
        }
    } else {
        std::string first;
        std::string second;
        if (staves.size() == 2 || (flags & 0x10) == 0) {
            first = StaffDisplayName(staves.front(), fallback, listKey, true);
            second = StaffDisplayName(staves.back(), fallback, listKey, true);
        } else {
            const size_t half = (staves.size() + 1) / 2;
            const bool merge = (flags & 0x20) != 0;
            first = NameList({staves.begin(), staves.begin() + static_cast<std::ptrdiff_t>(half)}, listKey, fallback,
                             merge);
            second =
                NameList({staves.begin() + static_cast<std::ptrdiff_t>(half), staves.end()}, listKey, fallback, merge);
        }
        names = FitParts(std::move(first), std::move(second), room);
    }
    text += brackets ? "[" + names + "]" : names;
    if (err != nullptr) {
        *err = ERR_OK;
    }
    return text;
}

const char* GetStaffsetName(int16_t set, int16_t flags, int16_t width, int16_t* err) {
    if (set < 0 || set > 8) {
        if (err != nullptr) {
            *err = ERR_OUT_OF_RANGE;
        }
        return Keep(Buffers().set, "");
    }
    const auto listKey = static_cast<int16_t>(set == 0 ? 0 : set - 37);
    return Keep(Buffers().set, ListName(listKey, set, flags, width, err));
}

const char* GetSystemName(int16_t system, int16_t flags, int16_t width, int16_t* err) {
    if (system < 1 || system > CountItems(3)) {
        if (err != nullptr) {
            *err = ERR_OUT_OF_RANGE;
        }
        return Keep(Buffers().system, "");
    }
    const int16_t listKey = GetIUListForSystem(system);
    if (listKey == -1) {
        if (err != nullptr) {
            *err = ERR_RECORD_FAILED;
        }
        return Keep(Buffers().system, "");
    }
    return Keep(Buffers().system, ListName(listKey, system, flags, width, err));
}

}  // namespace lumvar
