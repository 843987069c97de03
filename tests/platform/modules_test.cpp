// Loading modules: the built plug-ins load, their entry points run, and a bare name finds the
// copy that is loaded already.
#include <gtest/gtest.h>

#include <set>

#include "platform/hostapi/entry_points.h"
#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

const std::string kLumvarPath = std::string(ORVEX_PLUGIN_DIR) + "/Lumvar2000.fxt";

class ModulesTest : public testsupport::DesktopTest {};

TEST_F(ModulesTest, BareNameFindsTheLoadedCopy) {
    win::SetLastError(0);
    EXPECT_EQ(win::LoadLibrary("Lumvar2000.fxt"), win::kNoModule);
    EXPECT_EQ(win::GetLastError(), win::ERROR_MOD_NOT_FOUND);

    const win::Hmodule loaded = win::LoadLibrary(kLumvarPath);
    ASSERT_NE(loaded, win::kNoModule) << win::LastLoaderMessage();
    EXPECT_EQ(win::LoadLibrary("LUMVAR2000.FXT"), loaded);
    EXPECT_EQ(win::GetModuleHandle("Lumvar2000.fxt"), loaded);
    EXPECT_EQ(win::GetModuleFileName(loaded), kLumvarPath);

    auto* version = reinterpret_cast<int32_t (*)(int32_t*)>(win::GetProcAddress(loaded, "pLUMVAR_Version"));
    ASSERT_NE(version, nullptr);
    int32_t minor = 0;
    EXPECT_EQ(version(&minor), 2);
    EXPECT_EQ(minor, 8);
    win::SetLastError(0);
    EXPECT_EQ(win::GetProcAddress(loaded, "NoSuchFunction"), nullptr);
    EXPECT_EQ(win::GetLastError(), win::ERROR_PROC_NOT_FOUND);

    // Two references: the first free keeps the module loaded.
    EXPECT_TRUE(win::FreeLibrary(loaded));
    EXPECT_EQ(win::GetModuleHandle("Lumvar2000.fxt"), loaded);
    EXPECT_TRUE(win::FreeLibrary(loaded));
    EXPECT_EQ(win::GetModuleHandle("Lumvar2000.fxt"), win::kNoModule);
}

int32_t s_attached = 0;
int32_t s_detached = 0;
int32_t TestEntryPoint(win::Hmodule, uint32_t reason, void*) {
    (reason == win::DLL_PROCESS_ATTACH ? s_attached : s_detached) += 1;
    return 1;
}
int32_t Answer42() {
    return 42;
}

TEST_F(ModulesTest, ProcessModulesExportByNameAndOrdinal) {
    s_attached = s_detached = 0;
    const win::Hmodule module = win::RegisterProcessModule(
        "Test.fxt",
        {[](std::string_view name) -> void* {
             return name == "DllEntryPoint" ? reinterpret_cast<void*>(&TestEntryPoint) : nullptr;
         },
         [](int32_t ordinal) -> void* { return ordinal == 9 ? reinterpret_cast<void*>(&Answer42) : nullptr; }});
    EXPECT_EQ(s_attached, 1);
    EXPECT_EQ(win::LoadLibrary("test.fxt"), module);
    auto* answer = reinterpret_cast<int32_t (*)()>(win::GetProcAddress(module, 9));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(win::GetProcAddress(module, 10), nullptr);
    EXPECT_TRUE(win::FreeLibrary(module));
    EXPECT_EQ(s_detached, 0);
    EXPECT_TRUE(win::FreeLibrary(module));
    EXPECT_EQ(s_detached, 1);
    EXPECT_EQ(win::GetModuleHandle("Test.fxt"), win::kNoModule);
}

// A process that loads and frees modules for a long time (a sweep of runs, each with a fresh
// host) comes round past the top of the addresses: every module still gets a handle of its own,
// never "no module" and never one a loaded module holds.
TEST_F(ModulesTest, HandlesComeRoundWithoutClashing) {
    const win::ModuleExports none{[](std::string_view) -> void* { return nullptr; },
                                  [](int32_t) -> void* { return nullptr; }};
    const win::Hmodule kept = win::RegisterProcessModule("Kept.fxt", none);
    ASSERT_NE(kept, win::kNoModule);
    std::set<uint32_t> seen;
    bool cameRound = false;
    for (int i = 0; i < 70'000; ++i) {
        const win::Hmodule module = win::RegisterProcessModule("Passing.fxt", none);
        ASSERT_NE(module, win::kNoModule) << "load " << i;
        ASSERT_NE(module, kept) << "load " << i;
        cameRound = cameRound || !seen.insert(static_cast<uint32_t>(module)).second;
        ASSERT_TRUE(win::UnregisterProcessModule(module)) << "load " << i;
    }
    EXPECT_TRUE(cameRound);
    EXPECT_EQ(win::GetModuleHandle("Kept.fxt"), kept);
    EXPECT_TRUE(win::UnregisterProcessModule(kept));
}

}  // namespace
