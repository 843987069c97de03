// Every export of Lumvar2000 is there under its name: in-process and in the built module, and
// every name Orvex188 binds.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

#include "platform/hostapi/bytes.h"
#include "platform/win/modules.h"
#include "service/lumvar_api.h"
#include "service/lumvar_exports.h"
#include "tests/support/fixture.h"

namespace {

// clang-format off
/// The names Orvex188 binds, in its order.
const std::array<const char*, 86> kBoundNames = {
    "pLUMVAR_InitByFinale",
    "pLUMVAR_Version", "pFTX_FinaleVersion", "pFTX_FinaleWindow", "pLUMVAR_HandShake", "pLUMVAR_RawFXTVersion",
    "pLUMVAR_DialogBox", "pFTX_CountItems", "pFTX_GetLayoutInfo", "pFTX_SystemRangeOnPage", "pFTX_GetInstrumentList",
    "pFTX_CountInstruments", "pFTX_GetStaffEnduction", "pFTX_ExtractedPartIsUsed", "pFTX_LoadStaffSystemSpec",
    "pFTX_SaveStaffSystemSpec", "pFTX_ChangeLayoutInfo", "pFTX_LoadURL", "pFTX_GetDocumentWindow", "pFTX_IsPageView",
    "pFTX_GetCurrentPage", "pFTX_GetControl", "pFTX_ShowControl", "pFTX_GetDlgPos", "pFTX_SetDlgPos",
    "pFTX_KeyPressed", "pFTX_ToggleCheckbox", "pFTX_StripCarets", "pFTX_GetRawText", "pFTX_SetRawText",
    "pFTX_GetTextBlock", "pFTX_SetTextBlock", "pFTX_GetInstName", "pLUMVAR_GetGlobals", "pFTX_Allow2ndMonitor",
    "pFTX_ULWhenNeeded", "pFTXW_ReadSettings", "pFTXW_WriteSettings", "pFTX_LoadDetail", "pFTX_SaveDetail",
    "pFTX_CreateDetail", "pFTX_DeleteDetail", "pFTX_LoadEntryDetail", "pFTX_SaveEntryDetail",
    "pFTX_CreateEntryDetail", "pFTX_DeleteEntryDetail", "pFTX_LoadOther", "pFTX_SaveOther", "pFTX_CreateOther",
    "pFTX_DeleteOther", "pFTX_PreviousOther", "pFTX_NextOther", "pFTX_LoadGlobal", "pFTXW_GetINIFileName",
    "pFTX_printfOutput", "pFTX_SplitEDU", "pFTX_MakeEDU", "pFTX_ErrorBeep", "pFTX_GetScrollViewMeasure",
    "pFTX_LeftmostMeasure", "pFTX_SetFinaleInFocus", "pFTX_ToggleWindowSize", "pFTX_StringToMeasure",
    "pFTX_MeasureToString", "pFTX_GetGroupName", "pFTX_GetStaffsetName", "pFTX_GetSystemName",
    "pFTX_GetInstNameInIUList", "pFTX_NextInstrument", "pFTX_PrevInstrument", "pFTX_GetIUListForSystem",
    "pFTX_IsWithinInstRange", "pFTX_UserLanguage", "pLUMVAR_SetNotifyHook", "pFTX_ReturnFocusToFinale",
    "pFTX_NonFocusCollapse", "pFTX_GetFANSlotInfo", "pFTX_GetFANInfo", "pFTX_GetFANExtendedInfo", "pFTX_TranslateID",
    "pFTX_TranslateWord", "pFTX_TranslateFromTable", "pFTX_DurationString", "pFTXW_ResolveShortcuts",
    "pFTX_TranslateString", "pFTX_TextLength"};
const std::array<const char*, 7> kEntryPoints = {
    "DllEntryPoint", "FinaleExtensionVersion", "FinaleExtensionInit", "FinaleExtensionEnumerate",
    "FinaleExtensionInvoke", "FinaleExtensionGetMenuStatus", "FinaleExtensionTerminate"};
// clang-format on

TEST(LumvarExportsTest, InProcessEveryNameResolves) {
    for (const char* name : kBoundNames) {
        EXPECT_NE(lumvar::LumvarExport(name), nullptr) << name;
    }
    for (const char* name : kEntryPoints) {
        EXPECT_NE(lumvar::LumvarExport(name), nullptr) << name;
    }
    EXPECT_EQ(lumvar::LumvarExportNames().size(), kBoundNames.size() + kEntryPoints.size());
    EXPECT_EQ(lumvar::LumvarExport("pFTX_Nothing"), nullptr);
    EXPECT_EQ(lumvar::LumvarExport("pftx_countitems"), nullptr);  // names are exact
    // The services come in binding order after the entry points.
    for (size_t i = 0; i < kBoundNames.size(); ++i) {
        EXPECT_EQ(lumvar::LumvarExportNames()[kEntryPoints.size() + i], kBoundNames[i]);
    }
}

class LumvarModuleTest : public testsupport::DesktopTest {};

TEST_F(LumvarModuleTest, TheBuiltModuleExportsEveryNameUndecorated) {
    const win::Hmodule module = win::LoadLibrary(std::string(ORVEX_PLUGIN_DIR) + "/Lumvar2000.fxt");
    ASSERT_NE(module, win::kNoModule) << win::LastLoaderMessage();
    for (const std::string_view name : lumvar::LumvarExportNames()) {
        EXPECT_NE(win::GetProcAddress(module, name), nullptr) << name;
    }
    // A service of the module itself, called through its export.
    const auto split = reinterpret_cast<lumvar::SplitEDUFn>(win::GetProcAddress(module, "pFTX_SplitEDU"));
    ASSERT_NE(split, nullptr);
    std::array<uint8_t, 12> parts{};
    EXPECT_EQ(split(1792, parts.data(), 12), 0);
    EXPECT_EQ(hostapi::ReadI16(parts.data(), lumvar::DurationParts::kDots), 2);
    const auto version = reinterpret_cast<lumvar::VersionFn>(win::GetProcAddress(module, "pLUMVAR_Version"));
    int32_t minor = 0;
    EXPECT_EQ(version(&minor), 2);
    EXPECT_EQ(minor, 8);
    EXPECT_TRUE(win::FreeLibrary(module));
}

}  // namespace
