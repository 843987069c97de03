// Key assignments: key names and texts, the lines of the options form's list, the stored form
// of a record, and the menu cache through which menu commands keep their captions.
#include <gtest/gtest.h>

#include "core/host/access_state.h"
#include "core/key_assignments.h"
#include "core/module.h"
#include "core/options_store.h"
#include "core/startup.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/menus.h"
#include "platform/win/win.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;

class KeyAssignmentTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
    }
};

// ---- Key texts and names ----

struct KeyTextCase {
    int32_t code;
    const char* text;
};

class KeyTextTest : public KeyAssignmentTest, public ::testing::WithParamInterface<KeyTextCase> {};

TEST_P(KeyTextTest, PlainKey) {
    EXPECT_EQ(KeyAssignment_KeyText(GetParam().code, false), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Codes, KeyTextTest,
                         ::testing::Values(KeyTextCase{0, ""}, KeyTextCase{48, "0"}, KeyTextCase{57, "9"},
                                           KeyTextCase{65, "A"}, KeyTextCase{90, "Z"}, KeyTextCase{97, "#97"},
                                           KeyTextCase{9, "TAB"}, KeyTextCase{220, "CARET"}, KeyTextCase{110, "NUM ."},
                                           KeyTextCase{107, "GRAY +"}, KeyTextCase{145, "SCROLL"},
                                           KeyTextCase{8, "BACKSP"}, KeyTextCase{112, "F1"}, KeyTextCase{123, "F12"},
                                           KeyTextCase{124, "#124"}, KeyTextCase{144, "#144"},
                                           KeyTextCase{300, "#300"}),
                         testsupport::NameBy("code", &KeyTextCase::code));

struct KeyNameCase {
    const char* name;
    int32_t code;
};

class KeyNameTest : public KeyAssignmentTest, public ::testing::WithParamInterface<KeyNameCase> {};

TEST_P(KeyNameTest, NameGivesCode) {
    EXPECT_EQ(KeyNameToCode(GetParam().name), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Names, KeyNameTest,
                         ::testing::Values(KeyNameCase{"", 0}, KeyNameCase{"#300", 300}, KeyNameCase{"#1234", 123},
                                           KeyNameCase{"#7", 7}, KeyNameCase{"#abc", 0}, KeyNameCase{"#", 0},
                                           KeyNameCase{"BACKSP", 8}, KeyNameCase{"backsp", 8}, KeyNameCase{"(none)", 0},
                                           KeyNameCase{"(NONE)", 0}, KeyNameCase{"tab", 9}, KeyNameCase{"Gray +", 107},
                                           KeyNameCase{"num .", 110}, KeyNameCase{"F12", 123}, KeyNameCase{"a", 65},
                                           KeyNameCase{"?", 63}, KeyNameCase{"xyz", 0}),
                         testsupport::NameBy(&KeyNameCase::name, &KeyNameCase::code));

TEST_F(KeyAssignmentTest, ModifierTextJoinsShiftCtrlAlt) {
    EXPECT_EQ(KeyAssignment_ModifierText(0, 0, 0), "");
    EXPECT_EQ(KeyAssignment_ModifierText(1, 0, 0), "Shift-");
    EXPECT_EQ(KeyAssignment_ModifierText(0, 1, 1), "Ctrl-Alt-");
    EXPECT_EQ(KeyAssignment_ModifierText(1, 1, 1), "Shift-Ctrl-Alt-");
}

// ---- Lines of the list ----

struct ListCase {
    KeyAssignment record;
    const char* line;
};

KeyAssignment WithModifiers(KeyAssignment record, bool shift, bool ctrl, bool alt, bool newShift, bool newCtrl,
                            bool newAlt) {
    record.SetModifiers(shift, ctrl, alt);
    record.SetNewModifiers(newShift, newCtrl, newAlt);
    return record;
}

KeyAssignment PluginCommandAssignment(int16_t key, int32_t code) {
    KeyAssignment record = MakeKeyAssignment(key, code, true, 0, false);
    record.SetPluginCommand();
    return record;
}

class ListLineTest : public KeyAssignmentTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(ListLineTest, LineOfRecord) {
    EXPECT_EQ(KeyAssignment_ListText(GetParam().record), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Records, ListLineTest,
    ::testing::Values(
        ListCase{NumLockKeyAssignment(), "#144 -> BACKSP (speedy)"}, ListCase{DefaultKeyAssignments()[2], "HOME (ask)"},
        ListCase{DefaultKeyAssignments()[0], "DEL (ask)"},
        // The same key with other modifiers shows no arrow part.
        ListCase{WithModifiers(MakeKeyAssignment(65, 65, true, 0, false), false, true, false, false, false, true),
                 "Ctrl-A"},
        ListCase{MakeKeyAssignment(300, 300, true, 0, false), "#300"},
        ListCase{WithModifiers(MakeKeyAssignment(116, 46, true, 3, false), true, false, false, false, true, true),
                 "Shift-F5 -> Ctrl-Alt-DEL (ask) (speedy)"},
        ListCase{WithModifiers(MakeKeyAssignment(114, 4711, true, 0, true), false, true, false, false, false, false),
                 "Ctrl-F3 -> #4711 (menu currently inaccessible)"},
        // A menu command whose identifier equals the key still shows its command.
        ListCase{MakeKeyAssignment(113, 113, true, 1, true), "F2 -> #113 (menu currently inaccessible) (ask)"},
        // A plug-in command shows its key name; a code that names none says so.
        ListCase{PluginCommandAssignment(120, 181), "F9 -> SplitPoint"},
        ListCase{PluginCommandAssignment(120, 120), "F9 -> #120 (no such plug-in command)"}),
    testsupport::NameBy(&ListCase::line));

TEST_F(KeyAssignmentTest, FillingTheListChecksTheEnabledRecords) {
    TheModule.options.KeyAssignments = DefaultKeyAssignments();
    vcl::TCheckListBox list(nullptr);
    list.Items().Add("left over");
    FillAssignmentList(list);
    ASSERT_EQ(list.Items().Count(), 4);
    testsupport::ExpectLines({"  [ ] DEL (ask)", "  [ ] BACKSP (ask)", "  [x] HOME (ask)", "  [x] END (ask)"},
                             list.DetailLines());
}

// ---- The stored form ----

TEST_F(KeyAssignmentTest, StoredDigitsDecodeToTheFirstDefault) {
    const KeyAssignment record = KeyAssignment_Decode("2E002E000000000100000000000000");
    EXPECT_EQ(record, DefaultKeyAssignments()[0]);
    EXPECT_EQ(record.Key(), 46);
    EXPECT_EQ(record.Target(), 46);
    EXPECT_FALSE(record.Enabled());
    EXPECT_EQ(record.Flags(), KeyAssignment::kAsk);
    EXPECT_FALSE(record.IsMenuCommand());
    EXPECT_EQ(KeyAssignment_Encode(record), "2E002E000000000100000000000000");
}

// Byte 8 tells the target's kind: 2 a plug-in command by its code; any other non-zero value a
// menu command.
TEST_F(KeyAssignmentTest, TheTargetKindIsByteEight) {
    const KeyAssignment command = KeyAssignment_Decode("7800B5000000010002000000000000");
    EXPECT_TRUE(command.IsPluginCommand());
    EXPECT_FALSE(command.IsMenuCommand());
    EXPECT_FALSE(command.IsKeyTarget());
    EXPECT_EQ(command.Target(), 181);
    EXPECT_EQ(command, PluginCommandAssignment(120, 181));
    EXPECT_EQ(KeyAssignment_Encode(command), "7800B5000000010002000000000000");
    const KeyAssignment other = KeyAssignment_Decode("7800B5000000010003000000000000");
    EXPECT_TRUE(other.IsMenuCommand());
    EXPECT_FALSE(other.IsPluginCommand());
    EXPECT_EQ(KeyCommandCode("splitpoint"), 181);
    EXPECT_EQ(KeyCommandCode("Tuplets"), 0);
    EXPECT_EQ(KeyCommandCode(""), 0);
}

TEST_F(KeyAssignmentTest, EncodingIsUpperCaseLittleEndian) {
    KeyAssignment record = MakeKeyAssignment(-2, 0x12345678, true, 2, true);
    record.SetModifiers(true, false, true);
    record.SetNewModifiers(false, true, false);
    EXPECT_EQ(KeyAssignment_Encode(record), "FEFF78563412010201010001000100");
    EXPECT_EQ(KeyAssignment_Decode(KeyAssignment_Encode(record)), record);
}

TEST_F(KeyAssignmentTest, MalformedAndMissingPairsGiveZeroBytes) {
    // "G0" and "2-" are no hexadecimal numbers; lower-case digits are.
    const KeyAssignment record = KeyAssignment_Decode("G02e2-00000001010000000000ff");
    EXPECT_EQ(record.bytes[0], 0);
    EXPECT_EQ(record.bytes[1], 0x2E);
    EXPECT_EQ(record.bytes[2], 0);
    EXPECT_EQ(record.bytes[13], 0xFF);
    // The text ends after 28 digits: the last byte is 0, nothing past the text is read.
    EXPECT_EQ(record.bytes[14], 0);
    EXPECT_EQ(KeyAssignment_Decode("2E0"), MakeKeyAssignment(46, 0, false, 0, false));
}

// ---- The menu cache ----

class MenuCacheTest : public KeyAssignmentTest {
protected:
    void SetUp() override {
        KeyAssignmentTest::SetUp();
        TheAccessLayer.host.window = win::CreateWindow({.className = "Finale", .title = "Finale"});
        bar = win::CreateMenu();
        file = Popup("&File");
        win::AppendMenu(file, win::MF_STRING, 100, "&Open...\tCtrl+O");
        edit = Popup("&Edit");
        win::AppendMenu(edit, win::MF_STRING, 200, "&Undo\tCtrl+Z");
        win::AppendMenu(edit, win::MF_SEPARATOR, 0);
        speedy = win::CreatePopupMenu();
        win::AppendMenu(edit, win::MF_POPUP, static_cast<uint32_t>(speedy), "&Speedy");
        win::AppendMenu(speedy, win::MF_STRING, 300, "&Flip\bL");
        win::AppendMenu(speedy, win::MF_STRING, 301, "Tie && &Untie\tT");
        // Four levels below the menu bar, as many as the key assignment editor offers.
        const win::Hmenu deep = win::CreatePopupMenu();
        const win::Hmenu deeper = win::CreatePopupMenu();
        win::AppendMenu(speedy, win::MF_POPUP, static_cast<uint32_t>(deep), "&Deep");
        win::AppendMenu(deep, win::MF_POPUP, static_cast<uint32_t>(deeper), "D&eeper");
        win::AppendMenu(deeper, win::MF_STRING, 302, "&Too deep");
        tools = Popup("&Tools");
        win::AppendMenu(tools, win::MF_STRING, 400, "&Mass Edit");
        win::SetMenu(Host().window, bar);
    }

    win::Hmenu Popup(const char* text) {
        const win::Hmenu menu = win::CreatePopupMenu();
        win::AppendMenu(bar, win::MF_POPUP, static_cast<uint32_t>(menu), text);
        return menu;
    }

    win::Hmenu bar{};
    win::Hmenu file{};
    win::Hmenu edit{};
    win::Hmenu speedy{};
    win::Hmenu tools{};
};

TEST_F(MenuCacheTest, RefreshCachesTheMenusFromTheSecondTopLevelItem) {
    MenuCache_Refresh();
    std::vector<std::string> seen;
    for (const MenuCacheEntry& entry : TheModule.options.MenuCache) {
        seen.push_back(entry.caption + " @" + std::to_string(entry.position) + " #" + std::to_string(entry.id));
    }
    // "&File" is skipped, separators are not cached, nor the items of a fifth level.
    testsupport::ExpectLines({"&Edit @1 #4294967295", "&Undo\tCtrl+Z @0 #200", "&Speedy @2 #4294967295",
                              "&Flip\bL @0 #300", "Tie && &Untie\tT @1 #301", "&Deep @2 #4294967295",
                              "D&eeper @0 #4294967295", "&Tools @2 #4294967295", "&Mass Edit @0 #400"},
                             seen);
    EXPECT_EQ(TheModule.options.MenuCache[0].submenu, edit);
    EXPECT_EQ(TheModule.options.MenuCache[2].submenu, speedy);
    EXPECT_EQ(TheModule.options.MenuCache[1].submenu, win::kNoMenu);
    // A second walk adds nothing.
    MenuCache_Refresh();
    EXPECT_EQ(TheModule.options.MenuCache.size(), 9u);
}

TEST_F(MenuCacheTest, CommandTextsComeFromTheCacheWithoutMarksAndShortcuts) {
    MenuCache_Refresh();
    EXPECT_EQ(KeyAssignment_KeyText(200, true), "Undo");
    EXPECT_EQ(KeyAssignment_KeyText(300, true), "Flip");
    EXPECT_EQ(KeyAssignment_KeyText(301, true), "Tie  Untie");
    // The menu goes away: the cache still knows the command.
    win::DeleteMenu(tools, 400, win::MF_BYCOMMAND);
    EXPECT_EQ(KeyAssignment_KeyText(400, true), "Mass Edit");
    // Not cached, but in the live menus.
    EXPECT_EQ(KeyAssignment_KeyText(100, true), "Open...");
    EXPECT_EQ(KeyAssignment_KeyText(999, true), "#999 (menu currently inaccessible)");
    EXPECT_EQ(KeyAssignment_KeyText(0, true), "");
}

TEST_F(MenuCacheTest, LiveItemsReadByPositionAreCached) {
    std::string text = "old";
    EXPECT_EQ(MenuCache_ItemText(edit, 0, text, kMenuTextBufferSize, true, false, false), 1);
    EXPECT_EQ(text, "&Undo\tCtrl+Z");
    ASSERT_EQ(TheModule.options.MenuCache.size(), 1u);
    // A separator has no caption: nothing is found or cached.
    EXPECT_EQ(MenuCache_ItemText(edit, 1, text, kMenuTextBufferSize, true, false, false), 0);
    EXPECT_EQ(text, "");
    // By command the live caption is read but not cached.
    EXPECT_EQ(MenuCache_ItemText(bar, 100, text, kMenuTextBufferSize, false, false, true), 1);
    EXPECT_EQ(text, "&Open...\tCtrl+O");
    EXPECT_EQ(TheModule.options.MenuCache.size(), 1u);
    // The buffer takes size - 1 characters.
    EXPECT_EQ(MenuCache_ItemText(edit, 0, text, 6, true, false, false), 1);
    EXPECT_EQ(text, "&Undo");
}

TEST_F(MenuCacheTest, AnotherMenuStateAtTheSamePlaceGetsALaterPosition) {
    MenuCache_Refresh();
    EXPECT_EQ(MenuCache_Count(bar, true), 2);
    EXPECT_EQ(MenuCache_Count(bar, false), 3);
    // The host's tool changes: its third menu is now another one.
    win::RemoveMenu(bar, 2, win::MF_BYPOSITION);
    const win::Hmenu speedyMenu = win::CreatePopupMenu();
    win::AppendMenu(speedyMenu, win::MF_STRING, 500, "&Rest");
    win::InsertMenu(bar, 2, win::MF_BYPOSITION | win::MF_POPUP, static_cast<uint32_t>(speedyMenu), "S&peedy");
    std::string text;
    EXPECT_EQ(MenuCache_ItemText(bar, 2, text, kMenuTextBufferSize, true, true, false), 1);
    EXPECT_EQ(text, "&Tools");  // the cached caption answers
    ASSERT_EQ(TheModule.options.MenuCache.size(), 10u);
    EXPECT_EQ(TheModule.options.MenuCache.back().caption, "S&peedy");
    EXPECT_EQ(TheModule.options.MenuCache.back().position, 3u);
    EXPECT_EQ(TheModule.options.MenuCache.back().livePosition, 2);
    EXPECT_EQ(TheModule.options.MenuCache.back().submenu, speedyMenu);
    EXPECT_EQ(MenuCache_Count(bar, false), 3);
    EXPECT_EQ(MenuCache_SubMenu(bar, 2), tools);
    EXPECT_EQ(MenuCache_SubMenu(bar, 3), speedyMenu);
    // The same state again adds nothing.
    EXPECT_EQ(MenuCache_ItemText(bar, 2, text, kMenuTextBufferSize, true, true, false), 1);
    EXPECT_EQ(TheModule.options.MenuCache.size(), 10u);
}

TEST_F(MenuCacheTest, SubmenusAndIdsFallBackToTheLiveMenu) {
    EXPECT_EQ(MenuCache_SubMenu(bar, 1), edit);
    EXPECT_EQ(MenuCache_ItemId(edit, 0), 200u);
    EXPECT_EQ(MenuCache_ItemId(bar, 1), win::kNoMenuItem);
    MenuCache_Add(edit, 7, 777, 0, "&Cached");
    EXPECT_EQ(MenuCache_ItemId(edit, 7), 777u);
    EXPECT_EQ(MenuCache_SubMenu(edit, 7), win::kNoMenu);
    EXPECT_EQ(MenuCache_Count(edit, true), 7);
    EXPECT_EQ(MenuCache_Count(edit, false), 7);
}

TEST_F(MenuCacheTest, AddKeepsNamedItemsOnlyAndCutsLongCaptions) {
    MenuCache_Add(edit, 0, 1, 0, "");
    MenuCache_Add(edit, 1, 2, 1, "-");
    MenuCache_Add(edit, 1, 2, 1, "--- part ---");
    EXPECT_TRUE(TheModule.options.MenuCache.empty());
    MenuCache_Add(edit, 3, 3, 2, std::string(50, 'x'));
    // "ü" is two bytes: a caption is never cut inside a character.
    MenuCache_Add(edit, 4, 4, 2, std::string(43, 'y') + "üz");
    // A caption of exactly 44 bytes is kept whole, and no byte after it is read (it need not end
    // in a NUL).
    const std::vector<char> full(44, 'w');
    MenuCache_Add(edit, 5, 5, 2, std::string_view(full.data(), full.size()));
    ASSERT_EQ(TheModule.options.MenuCache.size(), 3u);
    EXPECT_EQ(TheModule.options.MenuCache[0].caption, std::string(44, 'x'));
    EXPECT_EQ(TheModule.options.MenuCache[0].submenu, speedy);
    EXPECT_EQ(TheModule.options.MenuCache[1].caption, std::string(43, 'y'));
    EXPECT_EQ(TheModule.options.MenuCache[2].caption, std::string(44, 'w'));
}

TEST_F(MenuCacheTest, WithoutAMenuBarNothingIsFound) {
    TheAccessLayer.host.window = win::kNoWindow;
    MenuCache_Refresh();
    EXPECT_TRUE(TheModule.options.MenuCache.empty());
    EXPECT_EQ(KeyAssignment_KeyText(200, true), "#200 (menu currently inaccessible)");
}

}  // namespace
