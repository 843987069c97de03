// The process's console: opening, title, control handlers, output to the transcript, and its
// end with the desktop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/console.h"
#include "platform/win/system.h"
#include "platform/win/transcript.h"
#include "tests/support/fixture.h"

namespace {

class ConsoleTest : public testsupport::DesktopTest {};

std::vector<std::string>& Asked() {
    static std::vector<std::string> asked;
    return asked;
}
int32_t ClaimsClose(uint32_t type) {
    Asked().push_back("close handler " + std::to_string(type));
    return type == win::CTRL_CLOSE_EVENT ? 1 : 0;
}
int32_t ClaimsNothing(uint32_t type) {
    Asked().push_back("other handler " + std::to_string(type));
    return 0;
}

TEST_F(ConsoleTest, OneConsoleAtATime) {
    EXPECT_FALSE(win::HasConsole());
    EXPECT_EQ(win::GetStdHandle(win::STD_OUTPUT_HANDLE), win::kNoHandle);
    win::SetLastError(0);
    EXPECT_FALSE(win::FreeConsole());
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
    ASSERT_TRUE(win::AllocConsole());
    EXPECT_TRUE(win::HasConsole());
    win::SetLastError(0);
    EXPECT_FALSE(win::AllocConsole());
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
    EXPECT_TRUE(win::FreeConsole());
    EXPECT_FALSE(win::HasConsole());
}

TEST_F(ConsoleTest, WritesLinesToTheTranscript) {
    ASSERT_TRUE(win::AllocConsole());
    ASSERT_TRUE(win::SetConsoleTitle("Debug"));
    EXPECT_EQ(win::GetConsoleTitle(), "Debug");
    const win::Handle out = win::GetStdHandle(win::STD_OUTPUT_HANDLE);
    EXPECT_EQ(win::GetStdHandle(win::STD_ERROR_HANDLE), out);
    EXPECT_EQ(win::GetStdHandle(win::STD_INPUT_HANDLE), win::kNoHandle);
    EXPECT_TRUE(win::WriteConsole(out, "one\r\ntwo\n"));
    EXPECT_TRUE(win::WriteConsole(out, "three"));
    testsupport::ExpectLines({"[console] one", "[console] two", "[console] three"}, win::TranscriptLines());
    win::SetLastError(0);
    EXPECT_FALSE(win::WriteConsole(win::Handle{12345}, "x"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
}

TEST_F(ConsoleTest, HandlersAddedLastAreAskedFirst) {
    Asked().clear();
    ASSERT_TRUE(win::AllocConsole());
    ASSERT_TRUE(win::SetConsoleCtrlHandler(ClaimsClose, true));
    ASSERT_TRUE(win::SetConsoleCtrlHandler(ClaimsNothing, true));
    EXPECT_TRUE(win::RaiseConsoleEvent(win::CTRL_CLOSE_EVENT));
    EXPECT_TRUE(win::HasConsole());
    EXPECT_FALSE(win::RaiseConsoleEvent(win::CTRL_C_EVENT));  // nobody claims it: the console ends
    EXPECT_FALSE(win::HasConsole());
    EXPECT_EQ(Asked(),
              (std::vector<std::string>{"other handler 2", "close handler 2", "other handler 0", "close handler 0"}));
    EXPECT_FALSE(win::SetConsoleCtrlHandler(ClaimsClose, true));  // no console
}

TEST_F(ConsoleTest, RemovingAHandler) {
    ASSERT_TRUE(win::AllocConsole());
    ASSERT_TRUE(win::SetConsoleCtrlHandler(ClaimsClose, true));
    EXPECT_TRUE(win::SetConsoleCtrlHandler(ClaimsClose, false));
    EXPECT_FALSE(win::SetConsoleCtrlHandler(ClaimsClose, false));
    EXPECT_FALSE(win::RaiseConsoleEvent(win::CTRL_CLOSE_EVENT));
}

TEST_F(ConsoleTest, AFreshDesktopHasNoConsole) {
    ASSERT_TRUE(win::AllocConsole());
    ASSERT_TRUE(win::SetConsoleTitle("Old"));
    win::ResetSystem();
    EXPECT_FALSE(win::HasConsole());
    EXPECT_EQ(win::GetConsoleTitle(), "");
    EXPECT_TRUE(win::AllocConsole());
    EXPECT_EQ(win::GetConsoleTitle(), "");
}

}  // namespace
