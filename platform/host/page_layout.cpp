#include "platform/host/page_layout.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include "platform/host/record_layouts.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"

namespace host {
namespace {

using hostapi::PageLayout;
using hostapi::StaffSystem20Layout;
using hostapi::StaffSystemLayout;

int16_t Word(const Bytes* bytes, size_t offset, int16_t fallback = 0) {
    return bytes != nullptr && bytes->size() >= offset + 2 ? hostapi::ReadI16(bytes->data(), offset) : fallback;
}

int32_t Long(const Bytes* bytes, size_t offset, int32_t fallback) {
    return bytes != nullptr && bytes->size() >= offset + 4 ? hostapi::ReadI32(bytes->data(), offset) : fallback;
}

Bytes Sized(const Bytes* bytes, size_t size) {
    Bytes sized = bytes == nullptr ? Bytes() : *bytes;
    sized.resize(size, 0);
    return sized;
}

Bytes DefaultPage() {
    Bytes page(PageLayout::kSize, 0);
    hostapi::WriteI32(page.data(), PageLayout::kWidth, kDefaultPageWidth);
    hostapi::WriteI32(page.data(), PageLayout::kHeight, kDefaultPageHeight);
    hostapi::WriteI16(page.data(), PageLayout::kLeftMargin, kDefaultPageMargin);
    hostapi::WriteI16(page.data(), PageLayout::kTopMargin, static_cast<int16_t>(-kDefaultPageMargin));
    hostapi::WriteI16(page.data(), PageLayout::kRightMargin, static_cast<int16_t>(-kDefaultPageMargin));
    hostapi::WriteI16(page.data(), PageLayout::kBottomMargin, kDefaultPageMargin);
    hostapi::WriteI16(page.data(), PageLayout::kPercent, 100);
    return page;
}

Bytes DefaultSystem() {
    Bytes system(StaffSystemLayout::kSize, 0);
    hostapi::WriteI16(system.data(), StaffSystemLayout::kDistance, kDefaultSystemDistance);
    hostapi::WriteI16(system.data(), StaffSystemLayout::kPercent, 100);
    return system;
}

/// A new system after `previous`: its margins, space and scale.
Bytes SystemAfter(const Bytes& previous) {
    Bytes system(StaffSystemLayout::kSize, 0);
    for (const size_t offset : {StaffSystemLayout::kLeftMargin, StaffSystemLayout::kRightMargin,
                                StaffSystemLayout::kDistance, StaffSystemLayout::kPercent}) {
        hostapi::WriteI16(system.data(), offset, hostapi::ReadI16(previous.data(), offset));
    }
    return system;
}

/// The end measure of a locked system starting at the measure, 0 when none starts there.
int32_t LockedEnd(const Document& document, int32_t measure, int32_t lastMeasure) {
    const Bytes* lock =
        document.Records().Find(RecordKey::Other(hostapi::kTagLockedMeasures, static_cast<hostapi::Cmper>(measure), 0));
    const int32_t end = Word(lock, hostapi::LockedMeasuresLayout::kEndMeasure);
    return end > measure ? std::min(end, lastMeasure + 1) : 0;
}

int32_t SystemHeight(const Document& document, int32_t number, const Bytes& system) {
    const bool ownList =
        (hostapi::ReadU16(system.data(), StaffSystemLayout::kFlags) & StaffSystemLayout::kOwnStaffList) != 0;
    const int16_t list = ownList ? static_cast<int16_t>(number) : 0;
    int32_t highest = INT32_MIN;
    int32_t lowest = INT32_MAX;
    for (int16_t inci = 0;; ++inci) {
        const Bytes* entry = document.Records().Find(RecordKey::Other(kTagStaffListEntry, list, inci));
        if (entry == nullptr || inci == INT16_MAX) {
            break;
        }
        const int32_t position = Long(entry, StaffListEntryLayout::kPosition, 0);
        highest = std::max(highest, position);
        lowest = std::min(lowest, position);
    }
    const int32_t span = highest >= lowest ? highest - lowest : 0;
    return span + kStaffHeight + std::max(0, -hostapi::ReadI16(system.data(), StaffSystemLayout::kDistance));
}

/// System n in the 24-byte form: as stored, or made from its 20-byte form; nullptr for none.
std::optional<Bytes> StoredSystem(const Document& document, int32_t number) {
    const auto key = static_cast<int16_t>(number);
    if (const Bytes* full = document.Records().Find(RecordKey::Other(hostapi::kTagStaffSystem2001, key, 0))) {
        return Sized(full, StaffSystemLayout::kSize);
    }
    if (const Bytes* stored = document.Records().Find(RecordKey::Other(hostapi::kTagStaffSystem, key, 0))) {
        return StaffSystemTo24(*stored, Bytes());
    }
    return std::nullopt;
}

/// Deletes the records of a tag from `first` on (inci 0).
void DeleteFrom(Document& document, hostapi::Tag tag, int32_t first) {
    std::vector<RecordKey> doomed;
    const RecordStore::Map& records = document.Records().Records();
    for (auto it = records.lower_bound(RecordKey{tag, first, INT16_MIN, INT16_MIN});
         it != records.end() && it->first.tag == tag; ++it) {
        doomed.push_back(it->first);
    }
    for (const RecordKey& key : doomed) {
        document.DeleteRecord(key);
    }
}

}  // namespace

Bytes StaffSystemTo20(const Bytes& record24) {
    const Bytes full = Sized(&record24, StaffSystemLayout::kSize);
    Bytes stored(full.begin(), full.begin() + StaffSystem20Layout::kSize);
    const auto move = [&](size_t from, size_t to) {
        hostapi::WriteU16(stored.data(), to, hostapi::ReadU16(full.data(), from));
    };
    move(StaffSystemLayout::kEndMeasure, StaffSystem20Layout::kEndMeasure);
    move(StaffSystemLayout::kWord16, StaffSystem20Layout::kWord12);
    move(StaffSystemLayout::kPercent, StaffSystem20Layout::kPercent);
    move(StaffSystemLayout::kFlags, StaffSystem20Layout::kFlags);
    return stored;
}

Bytes StaffSystemTo24(const Bytes& record20, Bytes into) {
    const Bytes stored = Sized(&record20, StaffSystem20Layout::kSize);
    into.resize(StaffSystemLayout::kSize, 0);
    std::copy(stored.begin(), stored.end(), into.begin());
    const auto move = [&](size_t from, size_t to) {
        hostapi::WriteU16(into.data(), to, hostapi::ReadU16(stored.data(), from));
    };
    move(StaffSystem20Layout::kFlags, StaffSystemLayout::kFlags);
    move(StaffSystem20Layout::kEndMeasure, StaffSystemLayout::kEndMeasure);
    move(StaffSystem20Layout::kWord12, StaffSystemLayout::kWord16);
    move(StaffSystem20Layout::kPercent, StaffSystemLayout::kPercent);
    return into;
}

LayoutSummary LayOutDocument(Document& document) {
    const RecordStore& records = document.Records();
    int32_t lastMeasure = 0;
    std::vector<int32_t> widths{0};
    while (lastMeasure < INT16_MAX) {
        const Bytes* measure =
            records.Find(RecordKey::Other(kTagMeasure, static_cast<hostapi::Cmper>(lastMeasure + 1), 0));
        if (measure == nullptr) {
            break;
        }
        widths.push_back(std::max<int32_t>(Word(measure, MeasureLayout::kWidth), 1));
        ++lastMeasure;
    }

    const Bytes* firstPage = records.Find(RecordKey::Other(hostapi::kTagPage, 1, 0));
    const Bytes pageTemplate = firstPage != nullptr ? Sized(firstPage, PageLayout::kSize) : DefaultPage();
    const int32_t pageWidth = hostapi::ReadI32(pageTemplate.data(), PageLayout::kWidth);
    const int32_t pageHeight = hostapi::ReadI32(pageTemplate.data(), PageLayout::kHeight);
    // The top and right margins are stored negative (see PageLayout).
    const int32_t lineWidth = pageWidth - hostapi::ReadI16(pageTemplate.data(), PageLayout::kLeftMargin) +
                              hostapi::ReadI16(pageTemplate.data(), PageLayout::kRightMargin);
    const int32_t usableHeight = pageHeight + hostapi::ReadI16(pageTemplate.data(), PageLayout::kTopMargin) -
                                 hostapi::ReadI16(pageTemplate.data(), PageLayout::kBottomMargin);

    // Systems.
    std::vector<Bytes> systems;
    for (int32_t first = 1; first <= lastMeasure;) {
        const auto number = static_cast<int32_t>(systems.size() + 1);
        const std::optional<Bytes> stored = StoredSystem(document, number);
        Bytes system = stored ? *stored : systems.empty() ? DefaultSystem() : SystemAfter(systems.back());
        int32_t end = LockedEnd(document, first, lastMeasure);
        if (end == 0) {
            // The system's right margin is stored negative, inward from the page's.
            const int32_t width = lineWidth - hostapi::ReadI16(system.data(), StaffSystemLayout::kLeftMargin) +
                                  hostapi::ReadI16(system.data(), StaffSystemLayout::kRightMargin);
            int32_t used = 0;
            end = first;
            while (end <= lastMeasure) {
                if (end > first &&
                    (LockedEnd(document, end, lastMeasure) != 0 || used + widths[static_cast<size_t>(end)] > width)) {
                    break;
                }
                used += widths[static_cast<size_t>(end)];
                ++end;
            }
        }
        hostapi::WriteI16(system.data(), StaffSystemLayout::kFirstMeasure, static_cast<int16_t>(first));
        hostapi::WriteI16(system.data(), StaffSystemLayout::kEndMeasure, static_cast<int16_t>(end));
        systems.push_back(std::move(system));
        first = end;
    }
    for (size_t i = 0; i < systems.size(); ++i) {
        document.SaveRecord(RecordKey::Other(hostapi::kTagStaffSystem2001, static_cast<int16_t>(i + 1), 0), systems[i]);
    }
    const auto systemCount = static_cast<int32_t>(systems.size());
    DeleteFrom(document, hostapi::kTagStaffSystem2001, systemCount + 1);
    DeleteFrom(document, hostapi::kTagStaffSystem, systemCount + 1);

    // Pages.
    std::vector<int16_t> firstSystems;
    int32_t used = 0;
    for (int32_t n = 1; n <= systemCount; ++n) {
        const int32_t height = SystemHeight(document, n, systems[static_cast<size_t>(n - 1)]);
        if (firstSystems.empty() || (used > 0 && used + height > usableHeight)) {
            firstSystems.push_back(static_cast<int16_t>(n));
            used = 0;
        }
        used += height;
    }
    if (firstSystems.empty()) {
        firstSystems.push_back(PageLayout::kNoSystems);
    }
    for (size_t p = 0; p < firstSystems.size(); ++p) {
        const RecordKey key = RecordKey::Other(hostapi::kTagPage, static_cast<int16_t>(p + 1), 0);
        const Bytes* stored = records.Find(key);
        Bytes page = stored != nullptr ? Sized(stored, PageLayout::kSize) : pageTemplate;
        hostapi::WriteI16(page.data(), PageLayout::kFirstSystem, firstSystems[p]);
        document.SaveRecord(key, std::move(page));
    }
    const auto pageCount = static_cast<int32_t>(firstSystems.size());
    DeleteFrom(document, hostapi::kTagPage, pageCount + 1);
    return {systemCount, pageCount};
}

}  // namespace host
