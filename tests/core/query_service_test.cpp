// The query service: the named block that holds the query function, and the answers of the
// function to other code in the host process.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "core/commands.h"
#include "core/module.h"
#include "core/query_service.h"
#include "core/startup.h"
#include "platform/hostapi/bytes.h"
#include "platform/win/file_mapping.h"
#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;

class QueryServiceTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
        FinaleExtensionVersion(0x05000005);
        int32_t result = 0;
        FinaleExtensionInit(win::CreateWindow({.className = "Finale"}), &result);
        for (int16_t index = 0; FinaleExtensionEnumerate(nullptr, index, m_menuRecord.data()) != 0; ++index) {
        }
    }

    /// The function found as another program finds it: by the block's name.
    QueryServiceFn Lookup() {
        const win::Handle block = win::OpenFileMapping(win::FILE_MAP_READ, "orvex83886085");
        if (block == win::kNoHandle) {
            return nullptr;
        }
        QueryServiceFn function = nullptr;
        std::memcpy(&function, win::MapViewOfFile(block, win::FILE_MAP_READ), sizeof function);
        win::CloseHandle(block);
        return function;
    }

    std::array<uint8_t, 202> m_menuRecord{};
};

TEST_F(QueryServiceTest, CountsAndVersion) {
    const QueryServiceFn query = Lookup();
    ASSERT_EQ(query, &QueryService);
    EXPECT_EQ(query(QUERY_COMMAND_COUNT, 0, nullptr), 72);
    EXPECT_EQ(query(QUERY_SUBMENU_COUNT, 0, nullptr), 7);
    EXPECT_EQ(query(QUERY_VERSION, 0, nullptr), 0x18864);
    EXPECT_EQ(query(99, 0, nullptr), 0);
    EXPECT_EQ(QueryVersionNumber(" 1.88beta"), 0x1880A);
    EXPECT_EQ(QueryVersionNumber(" 1.88"), 0x18820);
}

TEST_F(QueryServiceTest, SubmenuTitles) {
    std::array<uint8_t, 54> record{};
    record.fill(0xCC);
    hostapi::WriteI32(record.data(), 0, 7);
    EXPECT_EQ(QueryService(QUERY_SUBMENU, 54, record.data()), 1);
    EXPECT_EQ(hostapi::ReadFixedText(record.data(), 4, 50), "&Miscellaneous");
    EXPECT_EQ(record[53], 0);
    hostapi::WriteI32(record.data(), 0, 8);
    record[4] = 'x';
    EXPECT_EQ(QueryService(QUERY_SUBMENU, 54, record.data()), 0);
    EXPECT_EQ(record[4], 'x');  // a refused query leaves the record alone
    EXPECT_EQ(QueryService(QUERY_SUBMENU, 53, record.data()), 0);
    EXPECT_EQ(QueryService(QUERY_SUBMENU, 54, nullptr), 0);
}

TEST_F(QueryServiceTest, CommandRecord) {
    TheModule.commands.HostCommandIds[70] = 40071;
    TheModule.commands.CommandTable[70].submenuNumber = 0;
    std::array<uint8_t, 68> record{};
    hostapi::WriteI32(record.data(), 0, 71);
    ASSERT_EQ(QueryService(QUERY_COMMAND, 68, record.data()), 1);
    EXPECT_EQ(hostapi::ReadI32(record.data(), 4), 0);
    EXPECT_EQ(hostapi::ReadU16(record.data(), 8), 0);
    EXPECT_EQ(hostapi::ReadFixedText(record.data(), 10, 50), "Vx &User Manual");
    EXPECT_EQ(hostapi::ReadU32(record.data(), 60), 40071u);
    EXPECT_EQ(hostapi::ReadU16(record.data(), 64), 9);
    EXPECT_EQ(hostapi::ReadU16(record.data(), 66), 0);
    EXPECT_EQ(QueryService(QUERY_COMMAND, 67, record.data()), 0);
    // Numbers 1..72 name the commands; 0 and 73 are refused and leave the record alone.
    const std::pair<int32_t, const char*> rows[] = {
        {1, "Vx &Browser..."}, {72, "Vx A&bout..."}, {0, "Vx A&bout..."}, {73, "Vx A&bout..."}};
    for (const auto& [n, name] : rows) {
        hostapi::WriteI32(record.data(), 0, n);
        EXPECT_EQ(QueryService(QUERY_COMMAND, 68, record.data()), n >= 1 && n <= 72 ? 1 : 0) << n;
        EXPECT_EQ(hostapi::ReadFixedText(record.data(), 10, 50), name) << n;
    }
}

TEST_F(QueryServiceTest, TerminateClosesTheBlock) {
    EXPECT_EQ(FinaleExtensionTerminate(nullptr), 1);
    EXPECT_EQ(Lookup(), nullptr);
    EXPECT_EQ(FinaleExtensionTerminate(nullptr), 0);  // nothing left to close
}

}  // namespace
