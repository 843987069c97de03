// The key-assignment editor: what it shows for key and menu records, choosing a menu command
// level by level through the menu cache, the refusals of its OK, single characters that need
// Shift, listening for keys, and the German texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "core/host/access_state.h"
#include "core/key_assignments.h"
#include "core/module.h"
#include "core/options_store.h"
#include "core/startup.h"
#include "forms/addkeyass.h"
#include "platform/win/keys.h"
#include "platform/win/menus.h"
#include "platform/win/win.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;
using Kind = win::FormAction::Kind;

class AddKeyAssTest : public testsupport::DesktopTest {
protected:
    /// F9 assigned to the smart split point.
    static KeyAssignment PluginCommandRecord() {
        KeyAssignment record = MakeKeyAssignment(120, 181, true, 0, false);
        record.SetPluginCommand();
        return record;
    }

    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
        TheAccessLayer.host.year = 2000;
        TheAccessLayer.host.window = win::CreateWindow({.className = "Finale", .title = "Finale"});
        bar = win::CreateMenu();
        const win::Hmenu file = Popup(bar, "&File");
        win::AppendMenu(file, win::MF_STRING, 100, "&Open...\tCtrl+O");
        edit = Popup(bar, "&Edit");
        win::AppendMenu(edit, win::MF_STRING, 200, "&Undo\tCtrl+Z");
        win::AppendMenu(edit, win::MF_SEPARATOR, 0);
        speedy = Popup(edit, "&Speedy");
        win::AppendMenu(speedy, win::MF_STRING, 300, "&Flip\tL");
        win::AppendMenu(speedy, win::MF_STRING, 301, "&Tie");
        win::AppendMenu(speedy, win::MF_SEPARATOR, 0);
        const win::Hmenu tools = Popup(bar, "&Tools");
        win::AppendMenu(tools, win::MF_STRING, 400, "&Mass Edit");
        win::SetMenu(Host().window, bar);
    }

    static win::Hmenu Popup(win::Hmenu parent, const char* text) {
        const win::Hmenu menu = win::CreatePopupMenu();
        win::AppendMenu(parent, win::MF_POPUP, static_cast<uint32_t>(menu), text);
        return menu;
    }

    void Queue(std::initializer_list<win::FormAction> actions) {
        for (const win::FormAction& action : actions) {
            win::QueueFormAction("TAddKeyAssForm", action);
        }
    }

    /// Edits record `index` modally, as the options form does; answers the modal result.
    int32_t Edit(int32_t index) {
        win::ClearTranscript();
        std::unique_ptr<TAddKeyAssForm> editor(vcl::Create<TAddKeyAssForm>(nullptr, index));
        TheModule.options.KeyAssignmentEditorOpen = 1;
        const int32_t result = editor->ShowModal();
        lastItems.clear();
        for (int32_t level = 0; level < kMenuLevels; ++level) {
            const vcl::TComboBox* combo = level == 0   ? editor->Menu1
                                          : level == 1 ? editor->Menu2
                                          : level == 2 ? editor->Menu3
                                                       : editor->Menu4;
            lastItems.push_back(combo->Items().Items());
        }
        return result;
    }

    std::vector<std::string> Shown() {
        std::vector<std::string> lines = win::TranscriptLines();
        win::ClearTranscript();
        return lines;
    }

    static bool Contains(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    win::Hmenu bar{};
    win::Hmenu edit{};
    win::Hmenu speedy{};
    std::vector<std::vector<std::string>> lastItems;  ///< the menu combos' lines at the end
};

TEST_F(AddKeyAssTest, KeyRecordShowsItsKeysAndFlags) {
    KeyAssignment record = MakeKeyAssignment(116, 46, true, KeyAssignment::kAsk | KeyAssignment::kSpeedyOnly, false);
    record.SetModifiers(true, false, false);
    record.SetNewModifiers(false, true, true);
    TheModule.options.KeyAssignments = {record};
    EXPECT_EQ(Edit(0), vcl::mrCancel);
    testsupport::ExpectLines({"[form] \"Key Assignment\" TAddKeyAssForm, modal",
                              "  group box GroupBox1 \"Key to remap\"",
                              "  label Label1 \"key:\"",
                              "  combo box HotKey: \"F5\"",
                              "  check box _Shift \"Shift\": checked",
                              "  check box _Ctrl \"Ctrl\": unchecked",
                              "  check box _Alt \"Alt\": unchecked",
                              "  button Listen1 \"Listen\"",
                              "  radio group Action \"replace with\"",
                              "    (o) other/same key",
                              "    ( ) menu command",
                              "    ( ) plug-in command",
                              "  group box NewKeyBox \"replaced by\"",
                              "  label Label2 \"key:\"",
                              "  combo box NewKey: \"DEL\"",
                              "  check box nshift \"Shift\": unchecked",
                              "  check box nctrl \"Ctrl\": checked",
                              "  check box nalt \"Alt\": checked",
                              "  button Listen2 \"Listen\"",
                              "  check box xAsk \"Ask for confirmation\": checked",
                              "  check box xSpeedyOnly \"Within Speedy only\": checked",
                              "  button OkBtn \"Ok\"",
                              "  button CancelBtn \"Cancel\"",
                              "  user: Escape",
                              "  -> Cancel (no action was queued: Escape)"},
                             Shown());
    EXPECT_EQ(TheModule.options.KeyAssignments[0], record);
    EXPECT_EQ(TheModule.options.KeyAssignmentEditorOpen, 0);
}

TEST_F(AddKeyAssTest, MenuRecordFindsItsCommandInTheSubmenus) {
    TheModule.options.KeyAssignments = {MakeKeyAssignment(120, 300, true, 0, true)};
    Queue({{Kind::Click, "OkBtn", ""}});
    EXPECT_EQ(Edit(0), vcl::mrOk);
    const std::vector<std::string> shown = Shown();
    ASSERT_GE(shown.size(), 18u);
    testsupport::ExpectLines(
        {"    (o) menu command", "    ( ) plug-in command", "  label MenuLabel \"select menu command:\"",
         "  combo box Menu1: \"&Edit\"", "  combo box Menu2: \"&Speedy\"", "  combo box Menu3: \"&Flip\tL\"",
         "  combo box Menu4: \"\" (disabled)", "  check box xAsk \"Ask for confirmation\": unchecked"},
        std::vector<std::string>(shown.begin() + 10, shown.begin() + 18));
    // Trailing separators are gone, the one inside a menu stays.
    testsupport::ExpectLines({"&Edit", "&Tools"}, lastItems[0]);
    testsupport::ExpectLines({"&Undo\tCtrl+Z", "--------", "&Speedy"}, lastItems[1]);
    testsupport::ExpectLines({"&Flip\tL", "&Tie"}, lastItems[2]);
    EXPECT_TRUE(lastItems[3].empty());
    // OK keeps the command.
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Target(), 300);
    EXPECT_TRUE(TheModule.options.KeyAssignments[0].IsMenuCommand());
    EXPECT_EQ(KeyAssignment_ListText(TheModule.options.KeyAssignments[0]), "F9 -> Flip");
}

TEST_F(AddKeyAssTest, CommandChosenLevelByLevel) {
    TheModule.options.KeyAssignments = {NewKeyAssignment()};
    Queue({{Kind::Set, "HotKey", "F9"},
           {Kind::Set, "Action", "menu command"},
           {Kind::Set, "Menu1", "&Edit"},
           {Kind::Set, "Menu2", "&Speedy"},
           {Kind::Set, "Menu3", "&Tie"},
           {Kind::Click, "OkBtn", ""}});
    EXPECT_EQ(Edit(0), vcl::mrOk);
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Key(), 120);
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Target(), 301);
    EXPECT_TRUE(TheModule.options.KeyAssignments[0].IsMenuCommand());
    EXPECT_EQ(KeyAssignment_ListText(TheModule.options.KeyAssignments[0]), "F9 -> Tie");
    // The menus seen are cached.
    EXPECT_EQ(KeyAssignment_KeyText(400, true), "Mass Edit");
}

// The smart split point has no menu entry: the editor offers it by its key name.
TEST_F(AddKeyAssTest, APluginCommandIsChosenByItsKeyName) {
    TheModule.options.KeyAssignments = {NewKeyAssignment()};
    Queue({{Kind::Set, "HotKey", "F9"},
           {Kind::Set, "Action", "plug-in command"},
           {Kind::Click, "OkBtn", ""},
           {Kind::Set, "PluginCommand", "SplitPoint"},
           {Kind::Click, "OkBtn", ""}});
    EXPECT_EQ(Edit(0), vcl::mrOk);
    const std::vector<std::string> shown = Shown();
    // OK without a command is refused and the editor stays open.
    EXPECT_TRUE(Contains(shown, "  label Message \"Please choose the plug-in command to assign the key to\""));
    EXPECT_TRUE(Contains(shown, "  user: set PluginCommand \"SplitPoint\""));
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Key(), 120);
    EXPECT_TRUE(TheModule.options.KeyAssignments[0].IsPluginCommand());
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Target(), 181);
    EXPECT_EQ(KeyAssignment_ListText(TheModule.options.KeyAssignments[0]), "F9 -> SplitPoint");

    // Shown again, the record names its command; the key and menu controls are hidden.
    EXPECT_EQ(Edit(0), vcl::mrCancel);
    const std::vector<std::string> again = Shown();
    testsupport::ExpectLines(
        {"  radio group Action \"replace with\"", "    ( ) other/same key", "    ( ) menu command",
         "    (o) plug-in command", "  label CommandLabel \"select plug-in command:\"",
         "  combo box PluginCommand: \"SplitPoint\"", "  check box xAsk \"Ask for confirmation\": unchecked"},
        std::vector<std::string>(again.begin() + 8, again.begin() + 15));
    EXPECT_FALSE(Contains(again, "  group box NewKeyBox \"replaced by\""));
    EXPECT_EQ(TheModule.options.KeyAssignments[0], PluginCommandRecord());
    // The plug-in command's label and box stand where the menu command's label and first box do.
    std::unique_ptr<TAddKeyAssForm> editor(vcl::Create<TAddKeyAssForm>(nullptr, 0));
    const auto place = [](const vcl::TControl* c, bool size) {
        return std::vector<int32_t>{c->Left(), c->Top(), size ? c->Width() : 0, size ? c->Height() : 0};
    };
    EXPECT_EQ(place(editor->CommandLabel, false), place(editor->MenuLabel, false));
    EXPECT_EQ(place(editor->PluginCommand, true), place(editor->Menu1, true));
    EXPECT_EQ(place(editor->Menu1, true), (std::vector<int32_t>{8, 124, 177, 21}));
    // The menu levels stand in two rows of two, 26 pixels apart.
    EXPECT_EQ(place(editor->Menu3, true), (std::vector<int32_t>{8, 150, 177, 21}));
    EXPECT_EQ(place(editor->Menu4, true), (std::vector<int32_t>{188, 150, 177, 21}));
    // The right column ends 8 pixels inside the form (373 wide), the key box's as well.
    for (const vcl::TControl* c :
         std::initializer_list<const vcl::TControl*>{editor->Action, editor->NewKeyBox, editor->Menu2}) {
        EXPECT_EQ(c->Left() + c->Width(), editor->ClientWidth() - 8) << c->Name();
    }
}

TEST_F(AddKeyAssTest, ChoosingAnotherLineEmptiesTheDeeperLevels) {
    TheModule.options.KeyAssignments = {NewKeyAssignment()};
    win::QueueFormAction("TAddKeyAssForm", {Kind::Set, "Action", "menu command"});
    win::QueueFormAction("TAddKeyAssForm", {Kind::Set, "Menu1", "&Edit"});
    win::QueueFormAction("TAddKeyAssForm", {Kind::Set, "Menu2", "&Speedy"});
    win::QueueFormAction("TAddKeyAssForm", {Kind::Set, "Menu1", "&Tools"});
    win::QueueFormAction("TAddKeyAssForm", {Kind::Set, "Menu3", "&Tie"});
    EXPECT_EQ(Edit(0), vcl::mrCancel);
    const std::vector<std::string> shown = Shown();
    EXPECT_TRUE(Contains(shown, "    not done: the control is disabled"));
    testsupport::ExpectLines({"&Mass Edit"}, lastItems[1]);
    EXPECT_TRUE(lastItems[2].empty());
    EXPECT_TRUE(lastItems[3].empty());
}

TEST_F(AddKeyAssTest, SeparatorLineIsRefusedAndTheEditorStaysOpen) {
    TheModule.options.KeyAssignments = {NewKeyAssignment()};
    Queue({{Kind::Set, "HotKey", "F9"},
           {Kind::Set, "Action", "menu command"},
           {Kind::Set, "Menu1", "&Edit"},
           {Kind::Set, "Menu2", "--------"},
           {Kind::Click, "OkBtn", ""},
           {Kind::Set, "Menu2", "&Speedy"},
           {Kind::Click, "OkBtn", ""},
           {Kind::Click, "CancelBtn", ""}});
    EXPECT_EQ(Edit(0), vcl::mrCancel);
    const std::vector<std::string> shown = Shown();
    // A separator, then a line that opens a submenu with none of its lines chosen.
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "  label Message \"This is not a valid menu item selection\""), 2);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "[form] \"Orvex Keyboard Remapper\" TMsgDlg, modal"), 2);
    EXPECT_EQ(shown.back(), "  -> Cancel");
    // An OK its checks refuse writes nothing: after Cancel the record is the new one still.
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Key(), 0);
    EXPECT_FALSE(TheModule.options.KeyAssignments[0].IsMenuCommand());
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Target(), 0);
}

TEST_F(AddKeyAssTest, UnreachableCommandShowsItsIdentifier) {
    TheModule.options.KeyAssignments = {MakeKeyAssignment(120, 4711, true, 0, true)};
    Queue({{Kind::Click, "OkBtn", ""}});
    EXPECT_EQ(Edit(0), vcl::mrCancel);
    const std::vector<std::string> shown = Shown();
    EXPECT_TRUE(Contains(shown, "  combo box Menu1: \"ok, but currently inaccessible: #4711\""));
    EXPECT_TRUE(Contains(shown, "  combo box Menu2: \"\" (disabled)"));
    EXPECT_TRUE(Contains(shown, "  label Message \"This is not a valid menu item selection\""));
    testsupport::ExpectLines({"&Edit", "&Tools"}, lastItems[0]);
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Target(), 4711);
}

TEST_F(AddKeyAssTest, MenusOfAnotherStateStayChoosable) {
    // Seen once, then the host's Tools menu goes away.
    MenuCache_Refresh();
    win::DeleteMenu(bar, 2, win::MF_BYPOSITION);
    TheModule.options.KeyAssignments = {NewKeyAssignment()};
    Queue({{Kind::Set, "HotKey", "F9"},
           {Kind::Set, "Action", "menu command"},
           {Kind::Set, "Menu1", "&Tools"},
           {Kind::Set, "Menu2", "&Mass Edit"},
           {Kind::Click, "OkBtn", ""}});
    EXPECT_EQ(Edit(0), vcl::mrOk);
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Target(), 400);
}

// A menu longer than the table of a level: its last line is listed but cannot be chosen.
TEST_F(AddKeyAssTest, LinesPastTheTableAreListedWithoutACommand) {
    const win::Hmenu many = Popup(bar, "&Many");
    for (int32_t n = 0; n <= kMenuLinesPerLevel; ++n) {
        win::AppendMenu(many, win::MF_STRING, static_cast<uint32_t>(1000 + n), "Line " + std::to_string(n));
    }
    TheModule.options.KeyAssignments = {NewKeyAssignment()};
    Queue({{Kind::Set, "HotKey", "F9"},
           {Kind::Set, "Action", "menu command"},
           {Kind::Set, "Menu1", "&Many"},
           {Kind::Set, "Menu2", "Line 100"},
           {Kind::Click, "OkBtn", ""},
           {Kind::Set, "Menu2", "Line 99"},
           {Kind::Click, "OkBtn", ""}});
    win::ClearTranscript();
    std::unique_ptr<TAddKeyAssForm> editor(vcl::Create<TAddKeyAssForm>(nullptr, 0));
    TheModule.options.KeyAssignmentEditorOpen = 1;
    EXPECT_EQ(editor->ShowModal(), vcl::mrOk);
    EXPECT_TRUE(Contains(Shown(), "  label Message \"Please report an error: index1=1\""));
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Target(), 1099);
    // The table's last line keeps its identifier; a line past the table has none, whatever the
    // next level holds.
    EXPECT_EQ(editor->LevelId(1, kMenuLinesPerLevel - 1), 1099u);
    EXPECT_EQ(editor->LevelId(0, kMenuLinesPerLevel), 0u);
}

TEST_F(AddKeyAssTest, NoKeyIsRefused) {
    TheModule.options.KeyAssignments = {MakeKeyAssignment(65, 66, true, 0, false)};
    Queue({{Kind::Set, "HotKey", "(none)"}, {Kind::Click, "OkBtn", ""}});
    EXPECT_EQ(Edit(0), vcl::mrCancel);
    const std::vector<std::string> shown = Shown();
    EXPECT_TRUE(Contains(shown, "  label Message \"Please choose a key to assign the menu item to\""));
    EXPECT_TRUE(Contains(shown, "  user: Escape"));
    // The refused OK left the assignment as it was: A still sends B.
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Key(), 65);
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Target(), 66);
    EXPECT_TRUE(TheModule.options.KeyAssignments[0].Enabled());
}

struct ShortcutCase {
    const char* text;
    bool shiftBox;
    int16_t key;
    bool shift;
};

class EditorShortcutTest : public AddKeyAssTest, public ::testing::WithParamInterface<ShortcutCase> {};

TEST_P(EditorShortcutTest, ShortcutFromTheKeyBox) {
    TheModule.options.KeyAssignments = {NewKeyAssignment()};
    Queue({{Kind::Set, "HotKey", GetParam().text},
           {Kind::Set, "_Shift", GetParam().shiftBox ? "1" : "0"},
           {Kind::Set, "_Alt", "1"},
           {Kind::Set, "NewKey", GetParam().text},
           {Kind::Click, "OkBtn", ""}});
    EXPECT_EQ(Edit(0), vcl::mrOk);
    const KeyAssignment& record = TheModule.options.KeyAssignments[0];
    EXPECT_EQ(record.Key(), GetParam().key);
    EXPECT_EQ(record.Shift(), GetParam().shift);
    EXPECT_FALSE(record.Ctrl());
    EXPECT_TRUE(record.Alt());
    // The replacing key is read the same way, with its own (clear) boxes.
    EXPECT_EQ(record.Target(), GetParam().key);
    EXPECT_EQ(record.NewShift(), GetParam().shift && !GetParam().shiftBox);
    EXPECT_FALSE(record.NewAlt());
}

INSTANTIATE_TEST_SUITE_P(Texts, EditorShortcutTest,
                         ::testing::Values(ShortcutCase{"?", false, 191, true}, ShortcutCase{"!", false, 49, true},
                                           ShortcutCase{"/", false, 191, false}, ShortcutCase{"a", false, 65, false},
                                           ShortcutCase{"A", false, 65, false}, ShortcutCase{"1", true, 49, true},
                                           ShortcutCase{"F5", true, 116, true}, ShortcutCase{"backsp", false, 8, false},
                                           ShortcutCase{"#300", false, 300, false}),
                         testsupport::NameBy(&ShortcutCase::text, "key", &ShortcutCase::key, "shift",
                                             &ShortcutCase::shift));

TEST_F(AddKeyAssTest, FlagsFollowTheBoxesAndOtherBitsStay) {
    TheModule.options.KeyAssignments = {MakeKeyAssignment(65, 65, true, 0x81, false)};
    Queue({{Kind::Set, "xAsk", "0"}, {Kind::Set, "xSpeedyOnly", "1"}, {Kind::Click, "OkBtn", ""}});
    EXPECT_EQ(Edit(0), vcl::mrOk);
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Flags(), 0x82);
}

TEST_F(AddKeyAssTest, ListeningPutsTheHeardKeyIntoItsBox) {
    TheModule.options.KeyAssignments = {NewKeyAssignment()};
    vcl::TCheckListBox list(nullptr);
    auto* editor = vcl::Create<TAddKeyAssForm>(nullptr, 0);
    editor->SetAssignmentList(&list);
    Queue({{Kind::Click, "Listen2", ""}});
    editor->Show();
    EXPECT_EQ(editor->ListenTarget(), 2);
    editor->ListenNewKey->PressKey(win::VK_F12);
    EXPECT_EQ(editor->NewKey->Text(), "F12");
    EXPECT_EQ(editor->ListenTarget(), 0);
    EXPECT_EQ(editor->ActiveControl(), editor->HotKey);
    editor->ListenHotKey->Click();
    editor->ListenHotKey->PressKey(win::VK_RETURN);
    EXPECT_EQ(editor->HotKey->Text(), "#13");
    // The heard Enter did not also press the default button.
    EXPECT_TRUE(editor->Visible());
    editor->HotKey->SetText("F2");
    // Shown without modality, OK refills the list it was given and frees the editor.
    editor->OkBtn->Click();
    EXPECT_TRUE(editor->ReleasePending());
    testsupport::ExpectLines({"  [x] F2 -> F12"}, list.DetailLines());
    vcl::Application->ProcessMessages();
    EXPECT_EQ(TheModule.options.KeyAssignmentEditorOpen, 0);
}

// The modal editor by the keyboard alone: the keys go through the window system and the
// editor's modal loop to the control that has the focus.
TEST_F(AddKeyAssTest, TheEditorIsFilledByKeysAlone) {
    const auto press = [](const char* key) { return win::FormAction{Kind::Press, "", key}; };
    TheModule.options.KeyAssignments = {NewKeyAssignment()};
    // The shortcut typed, Tab past its boxes, its Listen button and the choice to the replacing key box.
    Queue({{Kind::Type, "", "f5"}});
    for (int tab = 0; tab < 6; ++tab) {
        Queue({press("Tab")});
    }
    Queue({{Kind::Type, "", "home"}, press("Enter")});
    EXPECT_EQ(Edit(0), vcl::mrOk);
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Key(), 116);
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Target(), 36);
    // The shortcut's Listen button by Tab and the space bar; Shift held with F9 is not heard as a key of its own.
    Queue({press("Tab"), press("Tab"), press("Tab"), press("Tab"), press("Space"), press("Shift+F9"), press("Enter")});
    EXPECT_EQ(Edit(0), vcl::mrOk);
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Key(), 120);
    EXPECT_FALSE(TheModule.options.KeyAssignments[0].Shift());
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Target(), 36);
}

TEST_F(AddKeyAssTest, GermanTexts) {
    TheAccessLayer.host.language = 1;
    TheModule.options.KeyAssignments = {MakeKeyAssignment(120, 300, true, 0, true)};
    EXPECT_EQ(Edit(0), vcl::mrCancel);
    testsupport::ExpectLines({"[form] \"Tastaturumbelegung\" TAddKeyAssForm, modal",
                              "  group box GroupBox1 \"umzubelegende Taste\"",
                              "  label Label1 \"key:\"",
                              "  combo box HotKey: \"F9\"",
                              "  check box _Shift \"Shift\": unchecked",
                              "  check box _Ctrl \"Strg\": unchecked",
                              "  check box _Alt \"Alt\": unchecked",
                              "  button Listen1 \"Hören\"",
                              "  radio group Action \"ersetzen mit\"",
                              "    ( ) anderer Taste",
                              "    (o) Menübefehl",
                              "    ( ) Plug-In-Befehl",
                              "  label MenuLabel \"Menübefehl auswählen\"",
                              "  combo box Menu1: \"&Edit\"",
                              "  combo box Menu2: \"&Speedy\"",
                              "  combo box Menu3: \"&Flip\tL\"",
                              "  combo box Menu4: \"\" (disabled)",
                              "  check box xAsk \"Sicherheitsabfrage\": unchecked",
                              "  check box xSpeedyOnly \"nur Schnelle Eingabe\": unchecked",
                              "  button OkBtn \"Ok\"",
                              "  button CancelBtn \"Abbruch\"",
                              "  user: Escape",
                              "  -> Cancel (no action was queued: Escape)"},
                             Shown());
}

TEST_F(AddKeyAssTest, GermanRefusalsAndReplacingGroup) {
    TheAccessLayer.host.language = 1;
    TheModule.options.KeyAssignments = {NewKeyAssignment()};
    Queue({{Kind::Click, "OkBtn", ""}});
    Edit(0);
    const std::vector<std::string> shown = Shown();
    EXPECT_TRUE(Contains(shown, "  group box NewKeyBox \"ersetzt durch Taste:\""));
    EXPECT_TRUE(Contains(shown, "  button Listen2 \"Hören\""));
    EXPECT_TRUE(Contains(shown, "  check box nctrl \"Strg\": unchecked"));
    EXPECT_TRUE(Contains(shown, "[form] \"Orvex Tastaturumbelegung\" TMsgDlg, modal"));
    EXPECT_TRUE(Contains(shown, "  label Message \"Bitte wählen Sie eine Taste aus!\""));
}

}  // namespace
