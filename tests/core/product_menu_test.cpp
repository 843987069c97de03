// The product menu: built once from the host's flat entries, with seven submenus, on the menu
// bar or at the top of the plug-ins menu; on old hosts the other plug-ins move to a menu of
// their own in columns.
#include <gtest/gtest.h>

#include "core/commands.h"
#include "core/general_options.h"
#include "core/host/host_imports.h"
#include "core/module.h"
#include "core/module_exports.h"
#include "core/product_menu.h"
#include "core/startup.h"
#include "platform/host/host.h"
#include "platform/win/messages.h"
#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;

class ProductMenuTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        DesktopTest::TearDown();
    }

    void StartHost(int32_t rawVersion = 0x05000005, host::Language language = host::Language::English) {
        m_host = std::make_unique<host::Host>();
        m_host->SetRawVersion(rawVersion);
        m_host->SetLanguage(language);
        ASSERT_TRUE(m_host->LoadInProcessPlugin("Orvex188.fxt", {OrvexExport, {}}));
    }

    /// The items of a menu as "TEXT", "-----" for separators and "TEXT >" for submenus.
    static std::vector<std::string> Items(win::Hmenu menu) {
        std::vector<std::string> items;
        for (int32_t i = 0; i < win::GetMenuItemCount(menu); ++i) {
            win::MenuItemInfo info;
            win::GetMenuItemInfo(menu, static_cast<uint32_t>(i), true, info);
            items.push_back((info.flags & win::MF_SEPARATOR) != 0 ? "-----"
                            : (info.flags & win::MF_POPUP) != 0   ? info.text + " >"
                                                                  : info.text);
        }
        return items;
    }

    std::unique_ptr<host::Host> m_host;
};

TEST_F(ProductMenuTest, FirstTickBuildsTheMenuOnTheMenuBar) {
    StartHost();
    EXPECT_FALSE(TheModule.productMenu.MenuBuilt);
    win::Idle(500);
    ASSERT_TRUE(TheModule.productMenu.MenuBuilt);
    const win::Hmenu bar = win::GetMenu(m_host->MainWindow());
    const int32_t last = win::GetMenuItemCount(bar) - 1;
    EXPECT_EQ(win::GetMenuString(bar, static_cast<uint32_t>(last), win::MF_BYPOSITION), "&Orvex");
    testsupport::ExpectLines({"&Browser...", "-----", "M&usic >", "&Spacing >", "Layou&t >", "-----", "Mo&dify >",
                              "&New Spacing...", "-----", "&Lyrics >", "&Parts >", "&Miscellaneous >", "-----",
                              "P&rint Multiple Files...", "&Options...", "&User Manual", "A&bout..."},
                             Items(TheModule.productMenu.ProductMenu));
    testsupport::ExpectLines({"&Make/Remove space at end of measure (compress/expand)...",
                              "&Add/Remove space in measure...", "-----", "&Expand Spacing...", "&Compress Spacing...",
                              "-----", "Measure &Widths...", "M&odify a measure's leading white-space...", "-----",
                              "&Remove extraneous beat chart elements...", "&Proportionality..."},
                             Items(win::GetSubMenu(TheModule.productMenu.ProductMenu, 3)));
    // The host's flat entries are gone from its plug-ins menu; their identifiers stay.
    EXPECT_EQ(win::GetMenuItemCount(m_host->PluginsMenu()), 0);
    EXPECT_EQ(TheModule.commands.HostCommandIds[0], host::Host::kFirstPluginCommandId);
    EXPECT_EQ(TheModule.commands.HostCommandIds[71], host::Host::kFirstPluginCommandId + 71);
    EXPECT_EQ(TheModule.commands.HostCommandIdByItem[42], TheModule.commands.HostCommandIds[4]);  // Respell Notes
    EXPECT_EQ(TheModule.commands.CommandTable[1].submenuNumber, 1);
    EXPECT_EQ(TheModule.commands.CommandTable[45].submenuNumber, 0);
    EXPECT_EQ(TheModule.commands.CommandTable[67].submenuNumber, 7);
    // Two entries with one text ("Vx &Proportionality...") take two identifiers in order.
    EXPECT_EQ(TheModule.commands.HostCommandIds[20], host::Host::kFirstPluginCommandId + 20);
    EXPECT_EQ(TheModule.commands.HostCommandIds[51], host::Host::kFirstPluginCommandId + 51);
    // The menu's entries still send the host's identifiers.
    EXPECT_EQ(m_host->FindMenuCommand("Orvex/Miscellaneous/Font Info"), TheModule.commands.HostCommandIds[67]);
    // Built once only.
    win::Idle(2000);
    EXPECT_EQ(win::GetMenuItemCount(bar), last + 1);
}

TEST_F(ProductMenuTest, WithTheOptionOffTheMenuOpensThePluginsMenu) {
    StartHost(0x05000005, host::Language::German);
    TheModule.process.GeneralOptions[GO_MENU_ON_MENU_BAR].value = 0;  // "Put Orvex menu in menu bar?" off
    TheModule.process.MenuOnMenuBar = false;
    const win::Hmenu bar = win::GetMenu(m_host->MainWindow());
    for (uint32_t i = 0; i < 5; ++i) {  // the plug-ins menu moves to position 11, the last looked at
        win::InsertMenu(bar, 1, win::MF_BYPOSITION | win::MF_STRING, 60000 + i, "Extra");
    }
    ASSERT_EQ(win::GetSubMenu(bar, 11), m_host->PluginsMenu());
    win::Idle(500);
    ASSERT_TRUE(TheModule.productMenu.MenuBuilt);
    EXPECT_EQ(win::GetMenuString(m_host->PluginsMenu(), 0, win::MF_BYPOSITION), "&Orvex");
    EXPECT_EQ(win::GetSubMenu(m_host->PluginsMenu(), 0), TheModule.productMenu.ProductMenu);
    EXPECT_EQ(Items(TheModule.productMenu.ProductMenu)[2], "&Noten >");
    EXPECT_EQ(Items(win::GetSubMenu(TheModule.productMenu.ProductMenu, 2))[0], "&Flageolette...");
}

TEST_F(ProductMenuTest, OldHostsMoveTheOtherPluginsIntoColumns) {
    // A host of 1997 whose plug-ins menu holds 30 other entries besides Orvex188's 72.
    StartHost(0x03800001);
    const win::Hmenu plugins = m_host->PluginsMenu();
    for (uint32_t i = 0; i < 30; ++i) {
        win::AppendMenu(plugins, win::MF_STRING, 50000 + i, "Other " + std::to_string(i));
    }
    TheModule.process.MenuOnMenuBar = false;
    BuildProductMenu();
    ASSERT_TRUE(TheModule.productMenu.MenuBuilt);
    const win::Hmenu bar = win::GetMenu(m_host->MainWindow());
    // The extra menu stands before the plug-ins menu (position 5 on a 1997 host).
    EXPECT_EQ(win::GetMenuString(bar, 5, win::MF_BYPOSITION), "Plug-&ins");
    const win::Hmenu extra = win::GetSubMenu(bar, 5);
    ASSERT_EQ(win::GetMenuItemCount(extra), 31);  // the product menu, then the 30 copies
    EXPECT_EQ(win::GetSubMenu(extra, 0), TheModule.productMenu.ProductMenu);
    // columns = 2, per column = (30 + 2 + 1 - 1) / 2 = 16: the 16th copy starts a column.
    for (int32_t copy = 0; copy < 30; ++copy) {
        const bool breaks =
            (win::GetMenuState(extra, static_cast<uint32_t>(copy + 1), win::MF_BYPOSITION) & win::MF_MENUBARBREAK) != 0;
        EXPECT_EQ(breaks, copy == 15) << "copy " << copy;
    }
    // The other plug-ins keep their own entries in the host's menu.
    EXPECT_EQ(win::GetMenuItemCount(plugins), 30);
}

TEST_F(ProductMenuTest, SubmenuOfOnlyOurEntriesDisappears) {
    StartHost();
    // Move four of the host's flat entries into a submenu of the plug-ins menu.
    const win::Hmenu plugins = m_host->PluginsMenu();
    const win::Hmenu folder = win::CreatePopupMenu();
    for (int i = 0; i < 4; ++i) {
        win::MenuItemInfo info;
        win::GetMenuItemInfo(plugins, 0, true, info);
        win::RemoveMenu(plugins, 0, win::MF_BYPOSITION);
        win::AppendMenu(folder, win::MF_STRING, info.id, info.text);
    }
    win::InsertMenu(plugins, 0, win::MF_BYPOSITION | win::MF_POPUP, static_cast<uint32_t>(folder), "Orvex folder");
    win::AppendMenu(plugins, win::MF_STRING, 50000, "Someone else");
    BuildProductMenu();
    ASSERT_TRUE(TheModule.productMenu.MenuBuilt);
    EXPECT_FALSE(win::IsMenu(folder));
    EXPECT_EQ(Items(plugins), std::vector<std::string>{"Someone else"});
    EXPECT_EQ(TheModule.commands.HostCommandIds[3], host::Host::kFirstPluginCommandId + 3);
}

TEST_F(ProductMenuTest, WithoutTheFirstEntryTheFlatEntriesStay) {
    StartHost();
    TheModule.commands.CommandTable[0].englishText =
        "Vx Nothing like it";  // the host's entry for index 0 no longer matches
    BuildProductMenu();
    EXPECT_FALSE(TheModule.productMenu.MenuBuilt);
    EXPECT_EQ(TheModule.productMenu.MenuBuildTried, 1);
    // Every flat entry is still there, in its place, and none is claimed.
    const std::vector<std::string> items = Items(m_host->PluginsMenu());
    ASSERT_EQ(items.size(), 72u);
    EXPECT_EQ(items[1], "Vx &Harmonics...");
    EXPECT_EQ(items[71], "Vx A&bout...");
    EXPECT_EQ(win::GetMenuItemID(m_host->PluginsMenu(), 71), host::Host::kFirstPluginCommandId + 71);
    EXPECT_EQ(TheModule.commands.HostCommandIds[5], 0u);
    // Not tried again.
    TheModule.commands.CommandTable[0] = kCommandTableData[0];
    BuildProductMenu();
    EXPECT_FALSE(TheModule.productMenu.MenuBuilt);
}

}  // namespace
