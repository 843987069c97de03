#include "core/query_service.h"

#include <cstring>
#include <string>

#include "core/commands.h"
#include "core/module.h"
#include "core/parts.h"
#include "core/startup.h"
#include "platform/hostapi/bytes.h"
#include "platform/win/file_mapping.h"
#include "platform/win/system.h"

namespace orvex {
namespace {

struct QueryServiceUnit {
    win::Handle block = win::kNoHandle;  ///< the shared block the service answers through
};

win::Handle& Block() {
    return UnitState<QueryServiceUnit>().block;
}

/// Entries of the command table that open a submenu, in table order.
int32_t SubmenuCount() {
    int32_t count = 0;
    for (int32_t i = 0; i < TheModule.commands.CommandCount; ++i) {
        const char* title = TheModule.commands.CommandTable[static_cast<size_t>(i)].SubmenuTitle(Host().language);
        count += title != nullptr && *title != '\0' ? 1 : 0;
    }
    return count;
}

int32_t FillSubmenu(uint8_t* record) {
    using L = SubmenuQueryLayout;
    const int32_t wanted = hostapi::ReadI32(record, L::kNumber);
    int32_t found = 0;
    for (int32_t i = 0; i < TheModule.commands.CommandCount; ++i) {
        const char* title = TheModule.commands.CommandTable[static_cast<size_t>(i)].SubmenuTitle(Host().language);
        if (title != nullptr && *title != '\0' && ++found == wanted) {
            hostapi::WriteFixedText(record, L::kTitle, L::kTitleSize, win::Utf8ToAnsi(title));
            return 1;
        }
    }
    return 0;
}

int32_t FillCommand(uint8_t* record) {
    using L = CommandQueryLayout;
    const int32_t n = hostapi::ReadI32(record, L::kNumber);
    if (n < 1 || n > TheModule.commands.CommandCount) {
        return 0;
    }
    const auto index = static_cast<size_t>(n - 1);
    const CommandEntry& entry = TheModule.commands.CommandTable[index];
    hostapi::WriteI32(record, L::kSubmenu, entry.submenuNumber);
    hostapi::WriteU16(record, L::kEnumeration, entry.enumerationFlag);
    hostapi::WriteFixedText(record, L::kName, L::kNameSize, win::Utf8ToAnsi(GetCommandName(n - 1)));
    hostapi::WriteU32(record, L::kMenuId, TheModule.commands.HostCommandIds[index]);
    hostapi::WriteU16(record, L::kCode, static_cast<uint16_t>(entry.code & 0xFFFF));
    hostapi::WriteU16(record, L::kZero, 0);
    return 1;
}

}  // namespace

int32_t QueryVersionNumber(const char* versionText) {
    const std::string text = versionText;
    if (text.find("test") != std::string::npos || text.find("beta") != std::string::npos) {
        return 0x1880A;
    }
    const char last = text.empty() ? '\0' : text.back();
    return last < 'a' ? 0x18820 : 0x18800 + static_cast<uint8_t>(last);
}

extern "C" int32_t QueryService(int32_t code, int32_t argument, void* data) {
    switch (code) {
        case QUERY_COMMAND_COUNT:
            return TheModule.commands.CommandCount;
        case QUERY_SUBMENU_COUNT:
            return SubmenuCount();
        case QUERY_SUBMENU:
            return argument == kSubmenuQuerySize && data != nullptr ? FillSubmenu(static_cast<uint8_t*>(data)) : 0;
        case QUERY_COMMAND:
            return argument == kCommandQuerySize && data != nullptr ? FillCommand(static_cast<uint8_t*>(data)) : 0;
        case QUERY_VERSION:
            return QueryVersionNumber(TheModule.process.VersionText.c_str());
        case QUERY_STAFF_LIST_MANAGER:
            // The argument is the system the form shows first.
            return QueryStaffListManager(argument);
        case QUERY_CLOSE:
            CloseQueryService();
            return 1;
        default:
            return 0;
    }
}

win::Handle PublishQueryService(uint32_t hostRawVersion) {
    const std::string name = "orvex" + std::to_string(static_cast<int32_t>(hostRawVersion));
    Block() = win::kNoHandle;
    const win::Handle mapping = win::CreateFileMapping(win::PAGE_READWRITE, sizeof(QueryServiceFn), name);
    if (mapping == win::kNoHandle) {
        return win::kNoHandle;
    }
    void* view = win::MapViewOfFile(mapping, win::FILE_MAP_WRITE);
    if (view == nullptr) {
        win::CloseHandle(mapping);
        return win::kNoHandle;
    }
    const QueryServiceFn function = &QueryService;
    std::memcpy(view, &function, sizeof function);
    win::UnmapViewOfFile(view);
    Block() = mapping;
    return mapping;
}

int16_t CloseQueryService() {
    const bool closed = Block() != win::kNoHandle && win::CloseHandle(Block());
    Block() = win::kNoHandle;
    return closed ? 1 : 0;
}

}  // namespace orvex
