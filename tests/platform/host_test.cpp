// The simulated host: its menus in three languages, and loading the built plug-ins into its
// Plug-ins menu.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/host/host.h"
#include "platform/vcl/registry.h"
#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

class HostTest : public testsupport::DesktopTest {
protected:
    std::string MenuBarItem(const host::Host& host, int32_t position) {
        return *win::GetMenuString(win::GetMenu(host.MainWindow()), static_cast<uint32_t>(position),
                                   win::MF_BYPOSITION);
    }
};

TEST_F(HostTest, MenuBarFollowsLanguageAndYear) {
    host::Host host;
    EXPECT_EQ(win::GetWindowText(host.MainWindow()), "Finale 2000");
    EXPECT_EQ(MenuBarItem(host, 2), "&View");
    EXPECT_EQ(MenuBarItem(host, 6), "&Plug-ins");
    EXPECT_EQ(MenuBarItem(host, 7), "Ma&ss Edit");
    host.SetLanguage(host::Language::German);
    EXPECT_EQ(MenuBarItem(host, 1), "&Bearbeiten");
    EXPECT_EQ(MenuBarItem(host, 2), "&Ansicht");
    host.SetLanguage(host::Language::Italian);
    EXPECT_EQ(MenuBarItem(host, 2), "&Visualizzazione");
    EXPECT_EQ(MenuBarItem(host, 6), "&Plug-in");
    // A 1997 host has no Tools menu: its Plug-ins menu is the sixth.
    host.SetRawVersion(0x03800001);
    EXPECT_EQ(win::GetWindowText(host.MainWindow()), "Finale 1997");
    EXPECT_EQ(MenuBarItem(host, 5), "&Plug-in");
    EXPECT_EQ(win::GetSubMenu(win::GetMenu(host.MainWindow()), 5), host.PluginsMenu());
    // From host year 2001 the Mass Edit menu is reached by Alt+M (German Alt+E).
    host.SetRawVersion(0x06000001);
    EXPECT_EQ(MenuBarItem(host, 7), "Modifica di ma&ssa");
    host.SetLanguage(host::Language::German);
    EXPECT_EQ(MenuBarItem(host, 7), "&Editieren");
    host.SetLanguage(host::Language::English);
    EXPECT_EQ(MenuBarItem(host, 7), "&Mass Edit");
}

TEST_F(HostTest, LoadsThePluginFolderIntoThePluginsMenu) {
    host::Host host;
    EXPECT_EQ(host.LoadPlugins(ORVEX_PLUGIN_DIR), 2);
    ASSERT_EQ(host.Plugins().size(), 2u);
    EXPECT_EQ(host.Plugins()[0].fileName, "Lumvar2000.fxt");
    EXPECT_EQ(host.Plugins()[1].fileName, "Orvex188.fxt");
    EXPECT_EQ(host.Plugins()[1].interfaceVersion, 0x5000005);
    EXPECT_EQ(host.Plugins()[1].commandIds.size(), 72u);

    const win::Hmenu plugins = host.PluginsMenu();
    ASSERT_EQ(win::GetMenuItemCount(plugins), 73);
    EXPECT_EQ(win::GetMenuString(plugins, 0, win::MF_BYPOSITION), "Lumvar...");
    EXPECT_EQ(win::GetMenuString(plugins, 1, win::MF_BYPOSITION), "Vx &Browser...");
    EXPECT_EQ(win::GetMenuItemID(plugins, 1), host::Host::kFirstPluginCommandId + 1);
    EXPECT_EQ(win::GetMenuString(plugins, 72, win::MF_BYPOSITION), "Vx A&bout...");
    EXPECT_THROW(host.SetLanguage(host::Language::German), std::logic_error);

    host.UnloadPlugins();
    EXPECT_TRUE(host.Plugins().empty());
    // Orvex188 saved its remembered answers while unloading.
    vcl::TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly("Software\\HALVORAN"));
    EXPECT_TRUE(registry.ValueExists("ShowMessages"));
    EXPECT_TRUE(registry.ValueExists("LastAnswers"));
}

TEST_F(HostTest, SecondCopyOfLumvarStandsAside) {
    host::Host host;
    ASSERT_TRUE(host.LoadPlugin(std::string(ORVEX_PLUGIN_DIR) + "/Lumvar2000.fxt"));
    // A copy under another file name is another module; its guard finds the first copy.
    const auto copy = TempFolder() / "LumvarCopy.fxt";
    std::filesystem::copy_file(std::string(ORVEX_PLUGIN_DIR) + "/Lumvar2000.fxt", copy);
    EXPECT_FALSE(host.LoadPlugin(copy.string()));
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "[message box] \"Lumvar Plug-in Error\" (error) buttons OK"),
              lines.end());
    EXPECT_EQ(lines.back(), "host: LumvarCopy.fxt refused to start");
    EXPECT_EQ(host.Plugins().size(), 1u);
}

TEST_F(HostTest, MissingFolderAndNonPluginFiles) {
    host::Host host;
    EXPECT_EQ(host.LoadPlugins((TempFolder() / "none").string()), 0);
    std::ofstream(TempFolder() / "Broken.fxt") << "not a module";
    EXPECT_EQ(host.LoadPlugins(TempFolder().string()), 0);
    EXPECT_TRUE(win::TranscriptLines().back().starts_with("host: cannot load Broken.fxt: "))
        << win::TranscriptLines().back();
}

}  // namespace
