#include "service/layout_services.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/hostapi/bytes.h"
#include "service/host_imports.h"
#include "service/lumvar.h"
#include "service/module_state.h"
#include "service/record_forwards.h"

namespace lumvar {
namespace {

using hostapi::ReadI16;
using hostapi::ReadI32;
using hostapi::WriteI16;
using hostapi::WriteI32;

constexpr uint32_t kCallerVersion = static_cast<uint32_t>(hostapi::kInterfaceVersion);
constexpr uint32_t kCallerVersion2001 = static_cast<uint32_t>(hostapi::kInterfaceVersion2001);
/// The work buffer in which text expression definitions are counted.
constexpr uint32_t kCountBufferSize = 2000;
constexpr int16_t kExtractedPartList = -8;
constexpr int16_t kStaffSetListOffset = 37;

struct CountKind {
    hostapi::Tag tag;
    int16_t stride;
};

/// Counted kinds by number (kind 2, the score's staff list, is counted apart).
std::optional<CountKind> CountKindOf(int16_t kind) {
    switch (kind) {
        case 1:
            return CountKind{kTagMeasure, 10};
        case 3:
            return CountKind{kTagStaffSystem, 4};
        case 4:
            return CountKind{kTagPage, 2};
        case 5:
            return CountKind{kTagExpressionDefinition, 10};
        case 6:
            return CountKind{kTagExpressionRecord, 10};
        case 7:
            return CountKind{kTagArticulationDefinition, 10};
        default:
            return std::nullopt;
    }
}

std::array<int32_t, 8>& CountCache() {
    return Module().layoutCounts;
}

bool HostFrom2001() {
    return FinaleVersion() > 2000;
}

/// 20-byte form -> 24-byte form; word 0 of the 24-byte form is the caller's.
void To2001Form(const uint8_t* from, uint8_t* to, int16_t word0) {
    std::memset(to, 0, kStaffSystemSize2001);
    WriteI16(to, 0, word0);
    WriteI16(to, 20, ReadI16(from, 0));
    WriteI16(to, 2, ReadI16(from, 2));
    WriteI16(to, 4, ReadI16(from, 4));
    WriteI16(to, 6, ReadI16(from, 6));
    WriteI16(to, 8, ReadI16(from, 8));
    WriteI16(to, 12, ReadI16(from, 10));
    WriteI16(to, 16, ReadI16(from, 12));
    WriteI16(to, 18, ReadI16(from, 16));
    WriteI16(to, 10, ReadI16(from, 18));
}

/// 24-byte form -> 20-byte form. Bytes 12..15 take bytes 16..19 as one copy before word 16 is
/// set, so word 14 holds a copy of the 24-byte word 18.
void To2000Form(const uint8_t* from, uint8_t* to) {
    std::memset(to, 0, kStaffSystemSize);
    WriteI16(to, 0, ReadI16(from, 20));
    WriteI16(to, 2, ReadI16(from, 2));
    WriteI16(to, 4, ReadI16(from, 4));
    WriteI16(to, 6, ReadI16(from, 6));
    WriteI16(to, 8, ReadI16(from, 8));
    WriteI16(to, 10, ReadI16(from, 12));
    std::memcpy(to + 12, from + 16, 4);
    WriteI16(to, 16, ReadI16(from, 18));
    WriteI16(to, 18, ReadI16(from, 10));
}

bool LoadEntry(int16_t listKey, int16_t index, std::array<uint8_t, kStaffListEntrySize>& entry) {
    return LoadOther(kTagStaffListEntry, listKey, index, entry.data(), kStaffListEntrySize) != 0;
}

/// The score's staff list: that of the extracted part while one is shown.
int16_t ScoreList() {
    return GetInstrumentList(ExtractedPartIsUsed() != 0 ? 3 : 1, 0);
}

bool LoadPage(int16_t page, std::array<uint8_t, kPageSize>& record) {
    return page > 0 && LoadOther(kTagPage, page, 0, record.data(), kPageSize) != 0;
}

/// Asks the host to lay the page out and loads it again.
bool LayOutPage(int16_t page, std::array<uint8_t, kPageSize>& record) {
    if (const auto update = Imports().UpdateLayout) {
        update(page, 0, hostapi::kInterfaceVersion);
    } else {
        NoteMissingHostService("the page layout update (service 41)");
    }
    return LoadPage(page, record);
}

int32_t WithStride(const CountKind& kind) {
    const auto exists = [&kind](int32_t key) {
        if (key < 1 || key > SHRT_MAX) {
            return false;
        }
        if (kind.tag == kTagExpressionDefinition) {
            std::vector<uint8_t> work(kCountBufferSize);
            return LoadOther(kind.tag, static_cast<int16_t>(key), 0, work.data(), kCountBufferSize) != 0;
        }
        return OtherExists(kind.tag, static_cast<int16_t>(key), 0);
    };
    if (!exists(1)) {
        return 0;
    }
    int32_t key = 1;
    while (exists(key + kind.stride)) {
        key += kind.stride;
    }
    while (exists(key + 1)) {
        ++key;
    }
    return key;
}

}  // namespace

int32_t CountItems(int16_t kind) {
    if (kind == 2) {
        // Entries of the score's staff list, by index from 0: steps of 3, then single steps.
        if (!OtherExists(kTagStaffListEntry, 0, 0)) {
            return 0;
        }
        int32_t index = 0;
        while (index + 3 <= SHRT_MAX && OtherExists(kTagStaffListEntry, 0, static_cast<int16_t>(index + 3))) {
            index += 3;
        }
        while (index + 1 <= SHRT_MAX && OtherExists(kTagStaffListEntry, 0, static_cast<int16_t>(index + 1))) {
            ++index;
        }
        return index + 1;
    }
    const auto counted = CountKindOf(kind);
    if (!counted) {
        return -1;
    }
    int32_t& cached = CountCache()[static_cast<size_t>(kind)];
    // The cached count still holds when its record exists and the one after it does not.
    if (cached > 0 && cached < SHRT_MAX && OtherExists(counted->tag, static_cast<int16_t>(cached), 0) &&
        !OtherExists(counted->tag, static_cast<int16_t>(cached + 1), 0)) {
        return cached;
    }
    cached = WithStride(*counted);
    return cached;
}

int16_t SystemRangeOnPage(int16_t page, int16_t* first, int16_t* last) {
    if (first == nullptr || last == nullptr) {
        return ERR_NULL_ARGUMENT;
    }
    std::array<uint8_t, kPageSize> record{};
    if (!LoadPage(page, record)) {
        return ERR_PAGE_LOAD;
    }
    int16_t firstSystem = ReadI16(record.data(), PageRecord::kFirstSystem);
    if (firstSystem == 0) {
        if (!LayOutPage(page, record)) {
            return ERR_PAGE_LOAD;
        }
        firstSystem = ReadI16(record.data(), PageRecord::kFirstSystem);
    }
    if (firstSystem == -1) {
        *first = 0;
        *last = 0;
        return ERR_OK;
    }
    if (firstSystem == 0) {
        return ERR_NO_FIRST_SYSTEM;
    }
    int16_t lastSystem = 0;
    for (int32_t next = page + 1;; ++next) {
        std::array<uint8_t, kPageSize> following{};
        if (next > SHRT_MAX || !LoadPage(static_cast<int16_t>(next), following)) {
            lastSystem = static_cast<int16_t>(CountItems(3));
            break;
        }
        int16_t nextFirst = ReadI16(following.data(), PageRecord::kFirstSystem);
        if (nextFirst == 0) {
            if (!LayOutPage(static_cast<int16_t>(next), following)) {
                lastSystem = static_cast<int16_t>(CountItems(3));
                break;
            }
            nextFirst = ReadI16(following.data(), PageRecord::kFirstSystem);
        }
        if (nextFirst == -1) {
            continue;
        }
        if (nextFirst == 0) {
            return ERR_NO_FIRST_SYSTEM;
        }
        lastSystem = static_cast<int16_t>(nextFirst - 1);
        break;
    }
    *first = firstSystem;
    *last = lastSystem;
    return ERR_OK;
}

int16_t GetInstrumentList(int16_t kind, int16_t n) {
    int16_t key = 0;
    switch (kind) {
        case 1:
            key = 0;
            break;
        case 2:
            key = n;
            break;
        case 3:
            key = kExtractedPartList;
            break;
        case 4:
            if (n < 1 || n > 8) {
                return -1;
            }
            key = static_cast<int16_t>(n - kStaffSetListOffset);
            break;
        default:
            return -1;
    }
    return OtherExists(kTagStaffListEntry, key, 0) ? key : static_cast<int16_t>(-1);
}

std::vector<StaffListEntry> StaffListEntries(int16_t listKey) {
    std::vector<StaffListEntry> entries;
    std::array<uint8_t, kStaffListEntrySize> entry{};
    for (int32_t index = 0; index <= SHRT_MAX && LoadEntry(listKey, static_cast<int16_t>(index), entry); ++index) {
        entries.push_back({static_cast<int16_t>(index), ReadI16(entry.data(), StaffListEntryRecord::kStaff),
                           ReadI16(entry.data(), StaffListEntryRecord::kPosition)});
    }
    return entries;
}

std::optional<std::array<uint8_t, kStaffSize>> LoadStaff(int16_t staff) {
    std::array<uint8_t, kStaffSize> record{};
    if (LoadOther(kTagStaff, staff, 0, record.data(), kStaffSize) == 0) {
        return std::nullopt;
    }
    return record;
}

int16_t CountInstruments(int16_t listKey, int16_t all) {
    const std::vector<StaffListEntry> entries = StaffListEntries(listKey);
    if (entries.empty()) {
        return -1;
    }
    int16_t count = 0;
    for (const StaffListEntry& entry : entries) {
        if (all != 0) {
            ++count;
            continue;
        }
        const auto staff = LoadStaff(entry.staff);
        if (!staff) {
            return -1;
        }
        if ((ReadI16(staff->data(), kStaffFlagsOffset) & kStaffLeftOutFlag) == 0) {
            ++count;
        }
    }
    return count;
}

int16_t GetStaffEnduction(int16_t key1, int16_t key2) {
    std::array<uint8_t, 10> record{};
    if (LoadDetail(kTagStaffReduction, key1, key2, record.data(), record.size()) == 0) {
        return 100;
    }
    return ReadI16(record.data(), 0);
}

int16_t ExtractedPartIsUsed() {
    std::array<uint8_t, 12> record{};
    if (LoadOther(kTagExtractedPart, -2, 0, record.data(), record.size()) == 0) {
        return 0;
    }
    return ReadI16(record.data(), 8) == kExtractedPartList ? 1 : 0;
}

int16_t LoadStaffSystemSpec(int16_t system, void* record, int16_t size, uint32_t callerVersion) {
    const int16_t expected = callerVersion < kCallerVersion2001 ? 20 : 24;
    if (size != expected) {
        return 0;
    }
    auto* out = static_cast<uint8_t*>(record);
    std::array<uint8_t, kStaffSystemSize> form20{};
    std::array<uint8_t, kStaffSystemSize2001> form24{};
    if (!HostFrom2001()) {
        if (LoadOther(kTagStaffSystem, system, 0, form20.data(), kStaffSystemSize) == 0) {
            return 0;
        }
        if (size == 20) {
            if (out != nullptr) {
                std::memcpy(out, form20.data(), kStaffSystemSize);
            }
            return 1;
        }
        // Word 0 of the 2001 form lives in word 4 of entry 0 of the system's staff list.
        const int16_t list =
            (ReadI16(form20.data(), StaffSystem20::kFlags) & kOwnStaffListFlag) != 0 ? system : ScoreList();
        std::array<uint8_t, kStaffListEntrySize> entry{};
        const int16_t word0 = LoadEntry(list, 0, entry) ? ReadI16(entry.data(), StaffListEntryRecord::kPosition) : 0;
        To2001Form(form20.data(), form24.data(), word0);
        if (out != nullptr) {
            std::memcpy(out, form24.data(), kStaffSystemSize2001);
        }
        return 1;
    }
    if (size == 20) {
        if (Module().legacyStaffSystem == 1) {
            if (LoadOther(kTagStaffSystem, system, 0, form20.data(), kStaffSystemSize) == 0) {
                return 0;
            }
        } else {
            if (LoadOtherAs(kTagStaffSystem2001, system, 0, form24.data(), kStaffSystemSize2001,
                            hostapi::kInterfaceVersion2001) == 0) {
                return 0;
            }
            To2000Form(form24.data(), form20.data());
        }
        if (out != nullptr) {
            std::memcpy(out, form20.data(), kStaffSystemSize);
        }
        return 1;
    }
    if (LoadOtherAs(kTagStaffSystem2001, system, 0, form24.data(), kStaffSystemSize2001,
                    hostapi::kInterfaceVersion2001) == 0) {
        return 0;
    }
    if (out != nullptr) {
        std::memcpy(out, form24.data(), kStaffSystemSize2001);
    }
    return 1;
}

int16_t SaveStaffSystemSpec(int16_t system, void* record, int16_t size, uint32_t callerVersion) {
    const int16_t expected = callerVersion < kCallerVersion2001 ? 20 : 24;
    if (record == nullptr || size != expected) {
        return 0;
    }
    const auto* in = static_cast<const uint8_t*>(record);
    std::array<uint8_t, kStaffSystemSize> form20{};
    std::array<uint8_t, kStaffSystemSize2001> form24{};
    std::array<uint8_t, kStaffListEntrySize> entry{};
    if (!HostFrom2001()) {
        if (size == 20) {
            return SaveOtherAs(kTagStaffSystem, system, 0, in, kStaffSystemSize, hostapi::kInterfaceVersion) != 0;
        }
        if ((ReadI16(in, StaffSystem24::kFlags) & kOwnStaffListFlag) == 0) {
            return 0;
        }
        if (!LoadEntry(system, 0, entry)) {
            return 0;
        }
        WriteI16(entry.data(), StaffListEntryRecord::kPosition, ReadI16(in, StaffSystem24::kWord0));
        if (SaveOther(kTagStaffListEntry, system, 0, entry.data(), kStaffListEntrySize) == 0) {
            return 0;
        }
        To2000Form(in, form20.data());
        return SaveOtherAs(kTagStaffSystem, system, 0, form20.data(), kStaffSystemSize, hostapi::kInterfaceVersion) !=
               0;
    }
    if (size == 24) {
        return SaveOtherAs(kTagStaffSystem2001, system, 0, in, kStaffSystemSize2001, hostapi::kInterfaceVersion2001) !=
               0;
    }
    if (Module().legacyStaffSystem == 1) {
        return SaveOtherAs(kTagStaffSystem, system, 0, in, kStaffSystemSize, hostapi::kInterfaceVersion) != 0;
    }
    const int16_t list = (ReadI16(in, StaffSystem20::kFlags) & kOwnStaffListFlag) != 0 ? system : ScoreList();
    if (!LoadEntry(list, 0, entry)) {
        return 0;
    }
    To2001Form(in, form24.data(), ReadI16(entry.data(), StaffListEntryRecord::kPosition));
    if (SaveOtherAs(kTagStaffSystem2001, system, 0, form24.data(), kStaffSystemSize2001,
                    hostapi::kInterfaceVersion2001) == 0) {
        return 0;
    }
    WriteI16(entry.data(), StaffListEntryRecord::kPosition, ReadI16(form24.data(), StaffSystem24::kWord0));
    return SaveOther(kTagStaffListEntry, list, 0, entry.data(), kStaffListEntrySize) != 0;
}

int16_t GetIUListForSystem(int16_t system) {
    std::array<uint8_t, kStaffSystemSize> form20{};
    if (LoadStaffSystemSpec(system, form20.data(), 20, kCallerVersion) == 0) {
        return -1;
    }
    if ((ReadI16(form20.data(), StaffSystem20::kFlags) & kOwnStaffListFlag) != 0) {
        return system;
    }
    return ScoreList();
}

int16_t NextInstrument(int16_t staff, int16_t listKey) {
    const std::vector<StaffListEntry> entries = StaffListEntries(listKey);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].staff == staff) {
            return i + 1 < entries.size() ? entries[i + 1].staff : static_cast<int16_t>(0);
        }
    }
    return -1;
}

int16_t PrevInstrument(int16_t staff, int16_t listKey) {
    const std::vector<StaffListEntry> entries = StaffListEntries(listKey);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].staff == staff) {
            return i > 0 ? entries[i - 1].staff : static_cast<int16_t>(0);
        }
    }
    return -1;
}

int16_t IsWithinInstRange(int16_t staff, int16_t first, int16_t last, int16_t listKey) {
    const std::vector<StaffListEntry> entries = StaffListEntries(listKey);
    const auto start =
        std::find_if(entries.begin(), entries.end(), [first](const StaffListEntry& e) { return e.staff == first; });
    for (auto it = start; it != entries.end(); ++it) {
        if (it->staff == staff) {
            return 1;
        }
        if (it->staff == last) {
            return 0;
        }
    }
    return 0;
}

namespace {

/// The values of the page that shows the system; ERR_PAGE_NOT_FOUND when no page does.
int16_t WritePageValues(int16_t system, uint8_t* info) {
    using L = LayoutInfo;
    int16_t page = 1;
    int16_t firstSystem = 0;
    int16_t lastSystem = 0;
    for (;; ++page) {
        if (SystemRangeOnPage(page, &firstSystem, &lastSystem) != ERR_OK) {
            return ERR_PAGE_NOT_FOUND;
        }
        if (firstSystem <= system && system <= lastSystem) {
            break;
        }
        if (page == SHRT_MAX) {
            return ERR_PAGE_NOT_FOUND;
        }
    }
    std::array<uint8_t, kPageSize> record{};
    if (!LoadPage(page, record)) {
        return ERR_PAGE_NOT_FOUND;
    }
    const uint8_t* p = record.data();
    WriteI16(info, L::kPage, page);
    WriteI32(info, L::kPageI32At4, ReadI32(p, PageRecord::kI32At4));
    WriteI32(info, L::kPageI32At0, ReadI32(p, PageRecord::kI32At0));
    WriteI16(info, L::kPagePercent, ReadI16(p, PageRecord::kPercent));
    WriteI16(info, L::kPageFlagBit1, static_cast<int16_t>((ReadI16(p, PageRecord::kFlags) >> 1) & 1));
    WriteI32(info, L::kPageWord12, ReadI16(p, PageRecord::kWord12));
    WriteI32(info, L::kPageWord14, ReadI16(p, PageRecord::kWord14));
    WriteI32(info, L::kPageWord18, ReadI16(p, PageRecord::kWord18));
    WriteI32(info, L::kPageWord16, ReadI16(p, PageRecord::kWord16));
    WriteI32(info, L::kPageDerived84,
             ReadI32(info, L::kPageI32At4) + ReadI32(info, L::kPageWord18) - ReadI32(info, L::kPageWord14));
    WriteI32(info, L::kPageDerived88,
             ReadI32(info, L::kPageWord12) + ReadI32(info, L::kPageI32At0) - ReadI32(info, L::kPageWord16));
    WriteI16(info, L::kPageFirstSystem, firstSystem);
    WriteI16(info, L::kPageSystemCount, static_cast<int16_t>(lastSystem - firstSystem + 1));
    WriteI16(info, L::kPageLastSystem, lastSystem);
    return ERR_OK;
}

/// The indexes of the first and last staff the list shows and the span between their positions;
/// nothing when a staff cannot be read.
std::optional<int32_t> WriteStaffSpan(int16_t list, uint8_t* info) {
    using L = LayoutInfo;
    int32_t largest = 0;
    int32_t smallest = 0x0FFFFFFF;
    int16_t firstIndex = -1;
    int16_t lastIndex = -1;
    for (const StaffListEntry& staffEntry : StaffListEntries(list)) {
        const auto staff = LoadStaff(staffEntry.staff);
        if (!staff) {
            return std::nullopt;
        }
        if ((ReadI16(staff->data(), kStaffFlagsOffset) & kStaffLeftOutFlag) != 0) {
            continue;
        }
        const int32_t h = -staffEntry.position;
        if (firstIndex < 0) {
            firstIndex = staffEntry.index;
        }
        lastIndex = staffEntry.index;
        largest = std::max(largest, h);
        smallest = std::min(smallest, h);
    }
    const int32_t span = largest - smallest;
    WriteI16(info, L::kFirstStaffIndex, firstIndex);
    WriteI16(info, L::kLastStaffIndex, lastIndex);
    WriteI32(info, L::kStaffSpan, span);
    return span;
}

/// The height of the page's printable area as the system sees it, in its scaling unless the
/// system keeps the page's.
void WritePageHeight(uint8_t* info, int64_t scaling) {
    using L = LayoutInfo;
    const int64_t at56 = ReadI32(info, L::kPageI32At4);
    const int64_t at76 = ReadI32(info, L::kPageWord18);
    const int64_t at72 = ReadI32(info, L::kPageWord14);
    const int64_t at64 = ReadI16(info, L::kPagePercent);
    const int64_t at6 = ReadI32(info, L::kMargin2);
    const int64_t at10 = ReadI32(info, L::kMargin4);
    int64_t pageHeight = ReadI16(info, L::kPageFlagBit1) != 0 ? at56 + at76 - at72 - at64 * (at6 - at10) / 100
                                                              : at56 + at76 + at10 - at72 - at6;
    if (ReadI16(info, L::kFlagBit0) == 0) {
        pageHeight = scaling * pageHeight / 100;
    }
    WriteI32(info, L::kPageHeight, static_cast<int32_t>(pageHeight));
}

}  // namespace

int16_t GetLayoutInfo(int16_t system, uint8_t* info, int16_t withPage) {
    using L = LayoutInfo;
    if (info == nullptr) {
        return ERR_NULL_ARGUMENT;
    }
    if (ReadI16(info, L::kSizeWord) != static_cast<int16_t>(L::kSize)) {
        return ERR_BAD_SIZE;
    }
    if (system < 0 || system > CountItems(3)) {
        return ERR_OUT_OF_RANGE;
    }
    const bool from2001 = HostFrom2001();

    if (withPage != 0) {
        if (const int16_t error = WritePageValues(system, info); error != ERR_OK) {
            return error;
        }
    } else {
        // Without page values the whole record is cleared, its size word too.
        std::memset(info, 0, L::kSize);
    }

    std::array<uint8_t, kStaffSystemSize2001> form{};
    if (LoadStaffSystemSpec(system, form.data(), 24, kCallerVersion2001) == 0) {
        return ERR_RECORD_FAILED;
    }
    const uint8_t* s = form.data();
    const int16_t flags = ReadI16(s, StaffSystem24::kFlags);
    const bool ownList = (flags & kOwnStaffListFlag) != 0;
    WriteI32(info, L::kTop, -ReadI16(s, StaffSystem24::kTop));
    WriteI32(info, L::kMargin2, ReadI16(s, 2));
    WriteI32(info, L::kMargin4, ReadI16(s, 4));
    WriteI32(info, L::kWord0, -ReadI16(s, StaffSystem24::kWord0));
    WriteI32(info, L::kWord6, -ReadI16(s, 6));
    WriteI16(info, L::kScaling, ReadI16(s, StaffSystem24::kScaling));
    WriteI16(info, L::kFlagBit0, static_cast<int16_t>(flags & 1));
    WriteI16(info, L::kFlagBit1, static_cast<int16_t>((flags >> 1) & 1));
    WriteI16(info, L::kOwnList, ownList ? 1 : 0);
    const int16_t firstMeasure = ReadI16(s, StaffSystem24::kFirstMeasure);
    const int16_t endMeasure = ReadI16(s, StaffSystem24::kEndMeasure);
    WriteI16(info, L::kFirstMeasure, firstMeasure);
    WriteI16(info, L::kLastMeasure, static_cast<int16_t>(endMeasure - 1));
    WriteI16(info, L::kMeasureCount, static_cast<int16_t>(endMeasure - firstMeasure));

    const int16_t list = ownList ? system : ScoreList();
    WriteI16(info, L::kListKey, list);
    const int16_t counted = CountInstruments(list, 0);
    WriteI16(info, L::kCountedStaves, counted);
    if (counted < 0) {
        return -1;
    }

    std::array<uint8_t, kStaffListEntrySize> entry{};
    if (!LoadEntry(list, 0, entry)) {
        return -1;
    }
    const auto a = static_cast<int16_t>(ReadI32(entry.data(), StaffListEntryRecord::kPosition) != 0
                                            ? -ReadI16(entry.data(), StaffListEntryRecord::kPosition)
                                            : -ReadI16(entry.data(), StaffListEntryRecord::kWord2));

    if (from2001) {
        std::array<uint8_t, kMeasureSize2001> measure{};
        if (LoadOther(kTagMeasure, firstMeasure, 0, measure.data(), kMeasureSize2001) == 0) {
            return ERR_RECORD_FAILED;
        }
        WriteI16(info, L::kMeasureFlag, (measure[17] & 0x08) != 0 ? 1 : 0);
    }

    if (counted == 0) {
        WriteI32(info, L::kHeight, 0);
        WriteI32(info, L::kStaffSpan, 0);
        WriteI32(info, L::kPageHeight, 0);
        WriteI16(info, L::kFirstStaffIndex, 0);
        WriteI16(info, L::kLastStaffIndex, 0);
        return ERR_OK;
    }

    const std::optional<int32_t> staffSpan = WriteStaffSpan(list, info);
    if (!staffSpan) {
        return -1;
    }
    const int32_t span = *staffSpan;

    const int64_t word0 = ReadI32(info, L::kWord0);
    const int64_t word6 = ReadI32(info, L::kWord6);
    const int64_t scaling = ReadI16(info, L::kScaling);
    int64_t height = 0;
    if (ReadI16(info, L::kFlagBit1) != 0) {
        height = from2001 ? (a + span + word6) * scaling / 100 + word0 : (span + word0 + word6) * scaling / 100;
    } else if (from2001) {
        height = a + span + word0 + word6;
        WriteI32(info, L::kWord0, static_cast<int32_t>(a + word0));
    } else {
        height = span + word0 + word6;
    }
    WriteI32(info, L::kHeight, static_cast<int32_t>(height));

    if (withPage == 0) {
        return ERR_OK;
    }
    WritePageHeight(info, scaling);
    return ERR_OK;
}

int32_t ApplyLayoutOperation(int16_t operation, int32_t oldValue, int32_t argument) {
    switch (operation) {
        case 0:
            return argument;
        case 1:
            return static_cast<int32_t>(static_cast<int64_t>(oldValue) + argument);
        case 2:
            return static_cast<int32_t>(static_cast<int64_t>(oldValue) * argument / 100);
        default:
            return oldValue;
    }
}

int16_t ChangeLayoutInfo(int16_t kind, int32_t value, int16_t key, int16_t operation, int16_t /*ignored*/) {
    if (kind < 1 || kind > 11) {
        return ERR_UNKNOWN_KIND;
    }
    const auto changeWord = [&](uint8_t* record, size_t offset, bool negated) {
        const int32_t old = negated ? -ReadI16(record, offset) : ReadI16(record, offset);
        const int32_t changed = ApplyLayoutOperation(operation, old, value);
        WriteI16(record, offset, static_cast<int16_t>(negated ? -changed : changed));
    };

    if (kind == 1 || kind >= 9) {
        const bool from2001 = HostFrom2001();
        const int16_t size = from2001 ? 24 : 20;
        const uint32_t version = from2001 ? kCallerVersion2001 : kCallerVersion;
        std::array<uint8_t, kStaffSystemSize2001> record{};
        if (LoadStaffSystemSpec(key, record.data(), size, version) == 0) {
            return ERR_RECORD_FAILED;
        }
        switch (kind) {
            case 1:
                changeWord(record.data(), 6, true);
                break;
            case 9:
                changeWord(record.data(), from2001 ? StaffSystem24::kTop : StaffSystem20::kTop, true);
                break;
            case 10:
                changeWord(record.data(), 2, false);
                break;
            default:
                changeWord(record.data(), 4, false);
                break;
        }
        return SaveStaffSystemSpec(key, record.data(), size, version) != 0 ? ERR_OK : ERR_RECORD_FAILED;
    }

    if (kind == 6) {
        std::array<uint8_t, kMeasureSize> record{};
        if (LoadOther(kTagMeasure, key, 0, record.data(), kMeasureSize) == 0) {
            return ERR_RECORD_FAILED;
        }
        changeWord(record.data(), 0, false);
        return SaveOther(kTagMeasure, key, 0, record.data(), kMeasureSize) != 0 ? ERR_OK : ERR_RECORD_FAILED;
    }

    std::array<uint8_t, kPageSize> record{};
    if (LoadOther(kTagPage, key, 0, record.data(), kPageSize) == 0) {
        return ERR_RECORD_FAILED;
    }
    switch (kind) {
        case 2:
            changeWord(record.data(), PageRecord::kWord14, false);
            break;
        case 3:
            changeWord(record.data(), PageRecord::kWord12, false);
            break;
        case 4:
            changeWord(record.data(), PageRecord::kWord18, false);
            break;
        case 5:
            changeWord(record.data(), PageRecord::kWord16, false);
            break;
        default: {
            const size_t offset = kind == 7 ? PageRecord::kI32At0 : PageRecord::kI32At4;
            WriteI32(record.data(), offset, ApplyLayoutOperation(operation, ReadI32(record.data(), offset), value));
            break;
        }
    }
    return SaveOther(kTagPage, key, 0, record.data(), kPageSize) != 0 ? ERR_OK : ERR_RECORD_FAILED;
}

}  // namespace lumvar
