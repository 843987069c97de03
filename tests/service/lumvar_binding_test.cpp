// Orvex188's binding of Lumvar2000: loading it by name, the checks and messages of the load,
// the handshake, and the thin wrappers.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "core/host/staff_lists.h"
#include "core/lumvar_binding.h"
#include "core/module.h"
#include "core/parts.h"
#include "core/startup.h"
#include "platform/hostapi/bytes.h"
#include "platform/win/messages.h"
#include "service/lumvar_exports.h"
#include "service/module_state.h"
#include "service/preferences.h"
#include "tests/service/lumvar_fixture.h"
#include "tests/support/case_names.h"

namespace {

using lumvartest::BoxText;
using lumvartest::CountBoxes;
using lumvartest::Words;

class BindingTest : public lumvartest::LumvarHostTest {
protected:
    void SetUp() override {
        LumvarHostTest::SetUp();
        orvex::ResetModule();
        orvex::TheModule.process.ServicePluginBound = false;
    }
    void TearDown() override {
        ExpectNothingLeft();
        if (m_fake != win::kNoModule) {
            win::UnregisterProcessModule(m_fake);
        }
        orvex::ResetModule();
        orvex::TheModule.process.ServicePluginBound = false;
        LumvarHostTest::TearDown();
    }
    /// A module under Lumvar2000's name that the host did not load: Lumvar2000's own exports,
    /// less the names left out and with some replaced.
    void FakeModule(std::set<std::string> leftOut, std::map<std::string, void*> replaced = {}) {
        m_fake = win::RegisterProcessModule(
            lumvar::kModuleFileName,
            win::ModuleExports{
                [leftOut = std::move(leftOut), replaced = std::move(replaced)](std::string_view name) -> void* {
                    if (leftOut.contains(std::string(name))) {
                        return nullptr;
                    }
                    if (const auto it = replaced.find(std::string(name)); it != replaced.end()) {
                        return it->second;
                    }
                    return lumvar::LumvarExport(name);
                },
                {}});
    }
    std::string Debug(const std::string& text) { return "[debug] " + text; }
    bool InTranscript(const std::string& line) {
        const auto& lines = win::TranscriptLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    win::Hmodule m_fake = win::kNoModule;
};

TEST_F(BindingTest, BindsTheCopyTheHostRunsAndShakesHands) {
    StartLumvar();
    NewDocument();
    EXPECT_FALSE(orvex::LumvarBound());
    EXPECT_EQ(orvex::LumvarMajorVersion(), 1);
    EXPECT_EQ(orvex::RequestedLumvarMajor(), 1);
    ASSERT_TRUE(orvex::BindServicePlugin());
    EXPECT_TRUE(orvex::TheModule.process.ServicePluginBound);
    EXPECT_TRUE(orvex::LumvarBound());
    EXPECT_EQ(orvex::LumvarMajorVersion(), 2);
    EXPECT_EQ(orvex::RequestedLumvarMajor(), 2);
    EXPECT_EQ(orvex::GetFinaleWindow(), m_host->MainWindow());
    EXPECT_EQ(CountBoxes("Lumvar Load Error"), 0);
    // The binding dropped its own reference: the host's keeps the module.
    m_host->UnloadPlugins();
    EXPECT_EQ(win::GetModuleHandle(lumvar::kModuleFileName), win::kNoModule);
}

TEST_F(BindingTest, LaterCallsShakeHandsWithoutLoadingAgain) {
    StartLumvar(0x08000000);  // a host newer than Lumvar knows: every handshake tells it (twice at most)
    ASSERT_TRUE(orvex::TryHandShake(2, 1));
    // Were the module loaded again, its check would now fail with a message.
    lumvar::Module().initialised = 0;
    EXPECT_TRUE(orvex::TryHandShake(2, 1));
    EXPECT_EQ(CountBoxes("New Finale Version Information"), 2);
    EXPECT_EQ(CountBoxes("Lumvar Load Error"), 0);
    // A request Lumvar2000 refuses: its own message, and the command does not go on.
    EXPECT_FALSE(orvex::TryHandShake(2, 9));
    EXPECT_EQ(CountBoxes("Lumvar Version Mismatch"), 1);
}

TEST_F(BindingTest, NotFound) {
    EXPECT_FALSE(orvex::BindServicePlugin());
    EXPECT_FALSE(orvex::TheModule.process.ServicePluginBound);
    EXPECT_EQ(BoxText("Lumvar Load Error"),
              "The Lumvar Plug-in (Lumvar2000.fxt) could not be found.\n\nIf you don't have this file, you should be "
              "able to\ndownload it from the same location as where you got\nthis plug-in.");
    EXPECT_TRUE(InTranscript("[message box] \"Lumvar Load Error\" (error) buttons OK"));
    // Not bound: the next command tries again, with its message again.
    EXPECT_FALSE(orvex::BindServicePlugin());
    EXPECT_EQ(CountBoxes("Lumvar Load Error"), 2);
}

TEST_F(BindingTest, ACopyTheHostDidNotStartIsRefused) {
    FakeModule({});
    EXPECT_FALSE(orvex::TryHandShake(2, 1));
    EXPECT_EQ(BoxText("Lumvar Load Error"),
              "The Lumvar plug-in is not placed in your Plug-in\nfolder for this version of Finale, which means that\n"
              "it cannot be called correctly.\n\nPlease exit Finale, correct the problem and restart.");
    EXPECT_FALSE(orvex::LumvarBound());
    // The load's reference is dropped again: the module stays registered once.
    EXPECT_TRUE(win::FreeLibrary(m_fake));
    m_fake = win::kNoModule;
    EXPECT_EQ(win::GetModuleHandle(lumvar::kModuleFileName), win::kNoModule);
}

struct MissingCase {
    const char* name;
};

class MissingFunctionTest : public BindingTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MissingFunctionTest, NamesTheMissingFunction) {
    lumvar::Module().initialised = 1;
    FakeModule({GetParam()});
    EXPECT_FALSE(orvex::TryHandShake(2, 1));
    EXPECT_EQ(BoxText("Lumvar Load Error"),
              std::string("A function in the Lumvar plug-in was not found.\nThis is a internal design error (and "
                          "should 'never'\nhappen in a perfect world).\n\nTo correct this, please download a newer "
                          "version of\nthe Lumvar (or the calling plug-in).\n\nThe missing function was: ") +
                  GetParam());
    EXPECT_FALSE(orvex::LumvarBound());
}

INSTANTIATE_TEST_SUITE_P(Names, MissingFunctionTest,
                         ::testing::Values("pLUMVAR_InitByFinale", "pLUMVAR_Version", "pFTX_LoadGlobal",
                                           "pFTXW_GetINIFileName", "pFTX_TranslateString"),
                         testsupport::NameByValue());

TEST_F(BindingTest, TheBindingReportsTheFirstMissingNameInOrder) {
    lumvar::Module().initialised = 1;
    FakeModule({"pFTX_NextOther", "pFTX_GetControl"});
    std::string missing;
    EXPECT_FALSE(orvex::BindLumvarFunctions(m_fake, &missing));
    EXPECT_EQ(missing, "pFTX_GetControl");  // row 21 comes before row 51
}

int32_t VersionOne(int32_t* minor) {
    if (minor != nullptr) {
        *minor = 50;
    }
    return 1;
}
std::pair<int32_t, int32_t> s_askedVersion;
int16_t RefusingHandShake(int32_t major, int32_t minor) {
    s_askedVersion = {major, minor};
    return major <= 1 && minor <= 50 ? 1 : 0;
}

class VersionOneTest : public BindingTest {
protected:
    void SetUp() override {
        BindingTest::SetUp();
        lumvar::Module().initialised = 1;
        // Version 1 lacks the services of rows 53 to 85.
        std::set<std::string> later;
        const auto& names = lumvar::LumvarExportNames();
        const auto from = std::find(names.begin(), names.end(), "pFTXW_GetINIFileName");
        for (auto it = from; it != names.end(); ++it) {
            later.emplace(*it);
        }
        FakeModule(later, {{"pLUMVAR_Version", reinterpret_cast<void*>(&VersionOne)},
                           {"pLUMVAR_HandShake", reinterpret_cast<void*>(&RefusingHandShake)}});
    }
};

TEST_F(VersionOneTest, IsBoundWithTheFirst52RowsAndRefusesTheHandshakeItself) {
    EXPECT_FALSE(orvex::BindServicePlugin());
    EXPECT_EQ(s_askedVersion, std::make_pair(2, 1));  // the dispatcher asks for 2.01
    EXPECT_FALSE(orvex::TheModule.process.ServicePluginBound);
    EXPECT_TRUE(orvex::LumvarBound());
    EXPECT_EQ(orvex::LumvarMajorVersion(), 1);
    EXPECT_EQ(CountBoxes("Lumvar Load Error"), 0);
    // Rows up to 52 work; the later ones are refused.
    win::SetKeyDown(win::VK_SHIFT, true);
    EXPECT_EQ(orvex::CallKeyPressed(), 0x12);
    std::array<uint8_t, 12> parts{};
    EXPECT_EQ(orvex::CallSplitEDU(1536, parts.data(), 12), 3);
    EXPECT_TRUE(InTranscript(Debug("Orvex188: pFTX_SplitEDU of Lumvar2000 is not bound; the call is refused")));
    EXPECT_FALSE(orvex::CallReturnFocusToFinale());
    EXPECT_STREQ(orvex::CallGetInstNameInIUList(1, true, 0, false), "");
}

TEST_F(BindingTest, WrappersOfLaterServicesWarnAClientThatAskedForVersion1) {
    StartLumvar();
    ASSERT_TRUE(orvex::TryHandShake(1, 50));
    EXPECT_EQ(orvex::RequestedLumvarMajor(), 1);
    std::array<uint8_t, 12> parts{};
    EXPECT_EQ(orvex::CallSplitEDU(1536, parts.data(), 12), 0);  // made all the same
    EXPECT_EQ(hostapi::ReadI16(parts.data(), 6), 1);
    EXPECT_EQ(BoxText("Lumvar HandShake Error"),
              "You've made an incorrect HandShake. The function needs a later requested version.\n\nIncrease the "
              "requested version in the LUMVAR_HandShake call.");
    EXPECT_TRUE(InTranscript("[message box] \"Lumvar HandShake Error\" (error) buttons OK"));
    orvex::CallKeyPressed();  // a service of version 1: no warning
    EXPECT_EQ(CountBoxes("Lumvar HandShake Error"), 1);
}

TEST_F(BindingTest, WrappersCallTheServices) {
    StartLumvar();
    NewDocument();
    ASSERT_TRUE(orvex::TryHandShake(2, 1));
    for (int16_t m = 1; m <= 3; ++m) {
        SaveOther("SOMS", m, 0, lumvartest::Bytes(24, 0));
    }
    EXPECT_EQ(orvex::CallCountItems(1), 3);
    SaveOther("SOSS", 1, 0, Words(20, {{6, -30}, {8, 1}, {10, 4}, {16, 100}}));
    Staff(1);
    TextBlock(7, "Viola");
    Staff(2, 0, 7);
    ListEntry(0, 0, 1, 0);
    ListEntry(0, 1, 2, -200);
    std::array<uint8_t, 102> info{};
    hostapi::WriteI16(info.data(), 0, 102);
    EXPECT_EQ(orvex::CallGetLayoutInfo(1, info.data(), false), 0);
    EXPECT_EQ(hostapi::ReadI16(info.data(), lumvar::LayoutInfo::kMeasureCount), 3);
    orvex::CallChangeLayoutInfo(1, 10, 1, 1, 0);
    EXPECT_EQ(hostapi::ReadI16(FindOther("SOSS", 1, 0)->data(), 6), -40);
    EXPECT_STREQ(orvex::CallGetInstNameInIUList(2, true, 0, false), "Viola");
    SaveDetail("SDNG", 0, 1, Words(30, {{0, 1}, {2, 2}}));
    int16_t source = 0;
    EXPECT_STREQ(orvex::CallGetGroupName(1, 0, nullptr, &source), "[Staff #1...Viola]");
    EXPECT_EQ(source, 3);
    lumvar::SetReturnFocusPreference(1);
    EXPECT_TRUE(orvex::CallReturnFocusToFinale());
    int16_t err = -1;
    EXPECT_STREQ(orvex::CallTranslateString("Delete rests", 2, 0, false, &err), "Löschen Pausen");
    EXPECT_EQ(err, 0);
    std::array<uint8_t, 14> state{};
    const win::Hwnd tool = win::CreateWindow({.className = "TForm"});
    EXPECT_EQ(orvex::CallToggleWindowSize(tool, false, state.data(), true), 0);
    EXPECT_EQ(hostapi::ReadI16(state.data(), 4), 1);
    EXPECT_EQ(CountBoxes("Lumvar HandShake Error"), 0);
}

// A name Lumvar2000 answers cut to its buffer is not taken for the whole: the staff and group
// lists read the document's own text, whole.
TEST_F(BindingTest, ANameAnsweredCutIsReadFromTheDocumentWhole) {
    orvex::InstallAccessLayerHooks();
    StartLumvar();
    NewDocument();
    ASSERT_TRUE(orvex::TryHandShake(2, 1));
    const std::string name = std::string(1200, 'S') + "trings";
    TextBlock(7, name);
    TextBlock(8, "Viola");
    Staff(1, 0, 7);
    Staff(2, 0, 8);
    ListEntry(0, 0, 1, 0);
    ListEntry(0, 1, 2, -200);
    SaveDetail("SDNG", 0, 1, Words(30, {{0, 1}, {2, 2}, {4, 7}}));
    SaveDetail("SDNG", 0, 2, Words(30, {{0, 2}, {2, 2}, {4, 8}}));
    const char* cut = orvex::CallGetGroupName(1, 0, nullptr, nullptr);
    EXPECT_EQ(std::string(cut), name.substr(0, 999));
    EXPECT_FALSE(orvex::CallAnsweredWhole(cut));
    EXPECT_TRUE(orvex::CallAnsweredWhole(orvex::CallGetGroupName(2, 0, nullptr, nullptr)));
    const orvex::TGroups groups(0, false, false, true);
    ASSERT_EQ(groups.Count(), 2);
    EXPECT_EQ(groups.At(0).name, name);
    EXPECT_EQ(groups.At(1).name, "Viola");
    EXPECT_EQ(orvex::TInstruments(0, nullptr, true).At(0).name, name);
}

TEST_F(BindingTest, WrappersBeforeTheBindingAreRefused) {
    int16_t err = -1;
    EXPECT_STREQ(orvex::CallTranslateString("Cancel", 2, 0, false, &err), "Cancel");
    EXPECT_EQ(err, 3);
    EXPECT_EQ(orvex::CallCountItems(1), -1);
    EXPECT_EQ(orvex::GetFinaleWindow(), win::kNoWindow);
    EXPECT_EQ(orvex::CallKeyPressed(), 0);
    std::array<uint8_t, 14> state{};
    EXPECT_EQ(orvex::CallToggleWindowSize(win::kNoWindow, false, state.data(), true), 3);
}

}  // namespace
