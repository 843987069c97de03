// Menus of the window system, as the host builds them and the plug-in rearranges them.
#include <gtest/gtest.h>

#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

class MenusTest : public testsupport::DesktopTest {};

TEST_F(MenusTest, ItemsByPositionAndByCommand) {
    const win::Hmenu bar = win::CreateMenu();
    const win::Hmenu popup = win::CreatePopupMenu();
    ASSERT_TRUE(win::AppendMenu(popup, win::MF_STRING, 100, "&One"));
    ASSERT_TRUE(win::AppendMenu(popup, win::MF_SEPARATOR, 0));
    ASSERT_TRUE(win::AppendMenu(popup, win::MF_STRING, 102, "&Three"));
    ASSERT_TRUE(win::AppendMenu(bar, win::MF_POPUP, static_cast<uint32_t>(popup), "&File"));

    EXPECT_EQ(win::GetMenuItemCount(popup), 3);
    EXPECT_EQ(win::GetMenuItemID(popup, 2), 102u);
    EXPECT_EQ(win::GetMenuItemID(bar, 0), win::kNoMenuItem);
    EXPECT_EQ(win::GetSubMenu(bar, 0), popup);
    EXPECT_EQ(win::GetMenuString(bar, 0, win::MF_BYPOSITION, 100), "&File");
    EXPECT_EQ(win::GetMenuString(popup, 100, win::MF_BYCOMMAND, 3), "&On");
    // By command the search goes through submenus.
    EXPECT_EQ(win::GetMenuString(bar, 102, win::MF_BYCOMMAND), "&Three");

    win::SetLastError(0xDEAD);
    EXPECT_FALSE(win::GetMenuString(popup, 7, win::MF_BYPOSITION).has_value());
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);

    EXPECT_TRUE(win::InsertMenu(popup, 1, win::MF_BYPOSITION | win::MF_STRING, 101, "&Two"));
    EXPECT_EQ(win::GetMenuItemID(popup, 1), 101u);
    EXPECT_EQ(win::CheckMenuItem(popup, 101, win::MF_BYCOMMAND | win::MF_CHECKED), 0u);
    EXPECT_EQ(win::GetMenuState(popup, 1, win::MF_BYPOSITION) & win::MF_CHECKED, win::MF_CHECKED);
    EXPECT_TRUE(win::RemoveMenu(popup, 100, win::MF_BYCOMMAND));
    EXPECT_EQ(win::GetMenuItemID(popup, 0), 101u);
}

TEST_F(MenusTest, DeletingAPopupDestroysItRemovingKeepsIt) {
    const win::Hmenu bar = win::CreateMenu();
    const win::Hmenu kept = win::CreatePopupMenu();
    const win::Hmenu destroyed = win::CreatePopupMenu();
    win::AppendMenu(bar, win::MF_POPUP, static_cast<uint32_t>(kept), "Kept");
    win::AppendMenu(bar, win::MF_POPUP, static_cast<uint32_t>(destroyed), "Gone");
    EXPECT_TRUE(win::RemoveMenu(bar, 0, win::MF_BYPOSITION));
    EXPECT_TRUE(win::IsMenu(kept));
    EXPECT_TRUE(win::DeleteMenu(bar, 0, win::MF_BYPOSITION));
    EXPECT_FALSE(win::IsMenu(destroyed));
    EXPECT_EQ(win::GetMenuItemCount(bar), 0);

    win::SetLastError(0);
    EXPECT_EQ(win::GetMenuItemCount(destroyed), -1);
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_MENU_HANDLE);
    EXPECT_FALSE(win::AppendMenu(bar, win::MF_POPUP, static_cast<uint32_t>(destroyed), "Dangling"));
}

TEST_F(MenusTest, WindowMenuBarAndAccelerators) {
    const win::Hwnd window = win::CreateWindow({.className = "Finale", .title = "Finale 2000"});
    const win::Hmenu bar = win::CreateMenu();
    EXPECT_TRUE(win::SetMenu(window, bar));
    EXPECT_EQ(win::GetMenu(window), bar);
    EXPECT_TRUE(win::DrawMenuBar(window));
    EXPECT_EQ(win::GetMenuBarDrawCount(window), 1);
    EXPECT_TRUE(win::DestroyWindow(window));
    EXPECT_FALSE(win::IsMenu(bar));
    EXPECT_EQ(win::StripAccelerators("Bear&beiten"), "Bearbeiten");
    EXPECT_EQ(win::StripAccelerators("Save && Exit"), "Save & Exit");
}

}  // namespace
