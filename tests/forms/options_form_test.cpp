// The options form, driven as the user drives it: what it shows, what its OK writes, Cancel
// and closing reading the store back, Defaults, the list buttons with the key-assignment
// editor, listening for a hotkey, the German texts, and the general program options.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "core/dispatch.h"
#include "core/general_options.h"
#include "core/host/access_state.h"
#include "core/key_assignments.h"
#include "core/module.h"
#include "core/options_store.h"
#include "core/startup.h"
#include "forms/options_form.h"
#include "platform/vcl/registry.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/menus.h"
#include "platform/win/win.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;
using Kind = win::FormAction::Kind;

const char* const kDefaultsDigits =
    "2E002E000000000100000000000000"
    "080008000000000100000000000000"
    "240024000000010100000000000000"
    "230023000000010100000000000000";

class OptionsFormTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
        TheAccessLayer.host.year = 2000;
        TheAccessLayer.host.window = win::CreateWindow({.className = "Finale", .title = "Finale"});
        const win::Hmenu bar = win::CreateMenu();
        const win::Hmenu file = win::CreatePopupMenu();
        win::AppendMenu(bar, win::MF_POPUP, static_cast<uint32_t>(file), "&File");
        const win::Hmenu edit = win::CreatePopupMenu();
        win::AppendMenu(bar, win::MF_POPUP, static_cast<uint32_t>(edit), "&Edit");
        win::AppendMenu(edit, win::MF_STRING, 200, "&Undo\tCtrl+Z");
        win::SetMenu(Host().window, bar);
        // The NumLock offer was made before: the store loads without a question.
        Store("asknl2k", "1");
        LoadOptions();
        win::ClearTranscript();
    }

    void TearDown() override {
        ExpectNothingLeft();
        vcl::Application->ProcessMessages();
        while (!TheModule.dispatch.ModelessFormList.empty()) {
            delete TheModule.dispatch.ModelessFormList.back();
        }
        DesktopTest::TearDown();
    }

    void Store(const char* name, const std::string& value) {
        vcl::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteString(name, value);
    }

    std::optional<std::string> Stored(const char* name) {
        vcl::TRegistry registry;
        if (!registry.OpenKey(kSettingsKey, false) || !registry.ValueExists(name)) {
            return std::nullopt;
        }
        return registry.ReadString(name);
    }

    void Queue(const char* formClass, std::initializer_list<win::FormAction> actions) {
        for (const win::FormAction& action : actions) {
            win::QueueFormAction(formClass, action);
        }
    }

    /// Opens the options form as its command does; answers the form while it is open.
    TOptionsForm* Open() {
        ShowOptionsForm();
        auto* form = TheModule.dispatch.ModelessFormList.empty()
                         ? nullptr
                         : dynamic_cast<TOptionsForm*>(TheModule.dispatch.ModelessFormList.back());
        return form != nullptr && !form->ReleasePending() ? form : nullptr;
    }

    std::vector<std::string> Shown() {
        std::vector<std::string> lines = win::TranscriptLines();
        win::ClearTranscript();
        return lines;
    }

    static bool Contains(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    std::vector<std::string> ListLines() {
        std::vector<std::string> lines;
        for (const KeyAssignment& record : TheModule.options.KeyAssignments) {
            lines.push_back(std::string(record.Enabled() ? "[x] " : "[ ] ") + KeyAssignment_ListText(record));
        }
        return lines;
    }
};

TEST_F(OptionsFormTest, OpensOnceWithTheStoreAndTheLayout) {
    TOptionsForm* form = Open();
    ASSERT_NE(form, nullptr);
    testsupport::ExpectLines(
        {
            "[form] \"Orvex Options 1.88d\" TOptionsForm",
            "  label Label1 \"The new Explorer for Text Expressions is a replacement for Finale's own selection "
            "list. Use the hotkey specified below for quicker access.\"",
            "  group box GroupBox1 \"Hotkey for Explorer for Text Expressions\"",
            "  label Label3 \"key:\"",
            "  combo box HotKey: \"TAB\"",
            "  check box _shift \"Shift\": unchecked",
            "  check box _Ctrl \"Ctrl\": unchecked",
            "  check box _Alt \"Alt\": unchecked",
            "  button Listen1 \"Listen\"",
            "  label Label2 \"After selecting an expression from the Explorer, you can use it as often as you wish "
            "using the metatool key assignment below. (press the key and then click a note or measure)\"",
            "  group box GroupBox2 \"metatool key to be assigned by Explorer\"",
            "  edit Metatool: \"1\"",
            "  button OkButton \"OK\"",
            "  button Defaults \"&Defaults\"",
            "  button BitBtn1 \"Cancel\"",
            "  group box GroupBox3 \"Miscellaneous\"",
            "  button ShowAllMsgs \"Show all messages and questions\"",
            "  button MoreBtn \"More program options...\"",
            "  check box AssignButton \"enable keyboard remapper:\": checked",
            "  check list box AssignBox: nothing selected",
            "      [ ] DEL (ask)",
            "      [ ] BACKSP (ask)",
            "      [x] HOME (ask)",
            "      [x] END (ask)",
            "  button AddBtn \"&Add...\"",
            "  button EditBtn \"&Edit...\"",
            "  button RemoveBtn \"&Remove\"",
            "  memo Memo1: 11 lines",
        },
        Shown());
    EXPECT_EQ(TheModule.options.OptionsFormOpen, 1);
    EXPECT_EQ(form->CollapseMode(), 0);
    EXPECT_EQ(form->OwnerWindow(), Host().window);
    EXPECT_EQ(form->ClientWidth(), 632);
    EXPECT_EQ(form->ClientHeight(), 453);
    EXPECT_TRUE(form->KeyPreview());
    // The command while the form is open does nothing.
    EXPECT_EQ(ShowOptionsForm(), 0);
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(TheModule.dispatch.ModelessFormList.size(), 1u);
    // Closed by its close box: the form leaves the modeless list when it is freed.
    form->Close();
    EXPECT_EQ(TheModule.options.OptionsFormOpen, 0);
    vcl::Application->ProcessMessages();
    EXPECT_TRUE(TheModule.dispatch.ModelessFormList.empty());
}

TEST_F(OptionsFormTest, OkWritesTheHotkeyTheMetatoolAndTheCheckMarks) {
    Queue("TOptionsForm", {{Kind::Set, "HotKey", "tab"},
                           {Kind::Set, "_Ctrl", "1"},
                           {Kind::Set, "Metatool", "m"},
                           {Kind::Set, "AssignBox", "-2"},
                           {Kind::Set, "AssignBox", "+0"},
                           {Kind::Click, "OkButton", ""}});
    EXPECT_EQ(Open(), nullptr);
    EXPECT_EQ(Stored("ExplorerHotkey"), "sCa9");
    EXPECT_EQ(Stored("ExplorerMetatool"), "m");
    EXPECT_EQ(Stored("Assignments2K"), std::string("1") +
                                           "2E002E000000010100000000000000"
                                           "080008000000000100000000000000"
                                           "240024000000000100000000000000"
                                           "230023000000010100000000000000");
    // The store is read back from what was written.
    EXPECT_EQ(TheModule.options.ExplorerHotkeyKey, 9);
    EXPECT_EQ(TheModule.options.ExplorerHotkeyCtrl, 1);
    EXPECT_EQ(TheModule.options.ExplorerMetatoolKey, 'M');
    testsupport::ExpectLines({"[x] DEL (ask)", "[ ] BACKSP (ask)", "[ ] HOME (ask)", "[x] END (ask)"}, ListLines());
    EXPECT_EQ(TheModule.options.OptionsFormOpen, 0);
    // The form's state is remembered; the form frees itself.
    EXPECT_NE(Stored("OptionsForm"), std::nullopt);
    vcl::Application->ProcessMessages();
    EXPECT_TRUE(TheModule.dispatch.ModelessFormList.empty());
}

struct HotkeyTextCase {
    const char* text;
    const char* stored;
    bool notFound;
};

class OptionsHotkeyTest : public OptionsFormTest, public ::testing::WithParamInterface<HotkeyTextCase> {};

TEST_P(OptionsHotkeyTest, HotkeyNameIsStoredAsItsCode) {
    Queue("TOptionsForm", {{Kind::Set, "HotKey", GetParam().text}, {Kind::Click, "OkButton", ""}});
    Open();
    const std::vector<std::string> shown = Shown();
    EXPECT_EQ(Contains(shown, "  label Message \"Key not found\""), GetParam().notFound);
    EXPECT_EQ(Stored("ExplorerHotkey"), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Texts, OptionsHotkeyTest,
                         ::testing::Values(HotkeyTextCase{"tab", "sca9", false},
                                           HotkeyTextCase{"(none)", "sca0", false}, HotkeyTextCase{"", "sca0", false},
                                           HotkeyTextCase{"F5", "sca116", false}, HotkeyTextCase{"q", "sca81", false},
                                           HotkeyTextCase{"a", "sca65", false}, HotkeyTextCase{"#65", "sca65", false},
                                           HotkeyTextCase{"#300", "sca0", true}, HotkeyTextCase{"xyz", "sca0", true}),
                         testsupport::NameBy(&HotkeyTextCase::text, &HotkeyTextCase::stored));

TEST_F(OptionsFormTest, CancelAfterRemoveAndAddRestoresTheList) {
    Store("Assignments2K", std::string("1") + kDefaultsDigits);
    LoadOptions();
    Queue("TOptionsForm", {{Kind::Set, "AssignBox", "0"},
                           {Kind::Click, "RemoveBtn", ""},
                           {Kind::Click, "AddBtn", ""},
                           {Kind::Click, "BitBtn1", ""}});
    Queue("TAddKeyAssForm", {{Kind::Set, "HotKey", "F5"}, {Kind::Set, "NewKey", "F5"}, {Kind::Click, "OkBtn", ""}});
    Open();
    const std::vector<std::string> shown = Shown();
    // The form shows again after the editor, with the list as edited.
    const auto again = std::find(shown.begin() + 1, shown.end(), "[form] \"Orvex Options 1.88d\" TOptionsForm");
    ASSERT_NE(again, shown.end());
    testsupport::ExpectLines({"      [ ] BACKSP (ask)", "      [x] HOME (ask)", "      [x] END (ask)", "      [x] F5"},
                             testsupport::LinesStartingWith(std::vector<std::string>(again, shown.end()),
                                                            "  check list box AssignBox: nothing selected", "      "));
    // Cancel read the store back.
    testsupport::ExpectLines({"[ ] DEL (ask)", "[ ] BACKSP (ask)", "[x] HOME (ask)", "[x] END (ask)"}, ListLines());
    EXPECT_EQ(Stored("Assignments2K"), std::string("1") + kDefaultsDigits);
    EXPECT_EQ(TheModule.options.OptionsFormOpen, 0);
}

TEST_F(OptionsFormTest, AddedAssignmentIsStoredByOk) {
    Queue("TOptionsForm", {{Kind::Click, "AddBtn", ""}, {Kind::Click, "OkButton", ""}});
    Queue("TAddKeyAssForm", {{Kind::Set, "HotKey", "F5"},
                             {Kind::Set, "_Ctrl", "1"},
                             {Kind::Set, "NewKey", "home"},
                             {Kind::Set, "xAsk", "1"},
                             {Kind::Click, "OkBtn", ""}});
    Open();
    const std::vector<std::string> shown = Shown();
    EXPECT_TRUE(Contains(shown, "  -> OK"));
    EXPECT_TRUE(Contains(shown, "      [x] Ctrl-F5 -> HOME (ask)"));
    ASSERT_EQ(TheModule.options.KeyAssignments.size(), 5u);
    EXPECT_EQ(KeyAssignment_ListText(TheModule.options.KeyAssignments[4]), "Ctrl-F5 -> HOME (ask)");
    EXPECT_EQ(Stored("Assignments2K"), std::string("1") + kDefaultsDigits + "740024000000010100000100000000");
    EXPECT_EQ(TheModule.options.KeyAssignmentEditorOpen, 0);
}

TEST_F(OptionsFormTest, AddCancelledRemovesTheNewRecord) {
    Queue("TOptionsForm", {{Kind::Click, "AddBtn", ""}});
    Queue("TAddKeyAssForm", {{Kind::Set, "HotKey", "F5"}, {Kind::Click, "CancelBtn", ""}});
    TOptionsForm* form = Open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(TheModule.options.KeyAssignments.size(), 4u);
    EXPECT_EQ(form->AssignBox->Items().Count(), 4);
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(TheModule.options.KeyAssignmentEditorOpen, 0);
}

TEST_F(OptionsFormTest, EditOfAnUnreachableMenuCommandAsksFirst) {
    TheModule.options.KeyAssignments = {MakeKeyAssignment(116, 4711, true, 0, true)};
    Queue("TOptionsForm", {{Kind::Set, "AssignBox", "0"}, {Kind::Click, "EditBtn", ""}, {Kind::Click, "EditBtn", ""}});
    win::QueueMessageBoxAnswer(win::IDNO);
    win::QueueMessageBoxAnswer(win::IDYES);
    Open();
    const std::vector<std::string> shown = Shown();
    const std::string question =
        "  label Message \"The menu assigned to this keyboard shortcut is currently inaccessible. You should choose "
        "the appropriate tool before editing this assignment. Continue anyway?\"";
    EXPECT_EQ(std::count(shown.begin(), shown.end(), question), 2);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "[form] \"Orvex Keyboard Remapper\" TMsgDlg, modal"), 2);
    // Only the second answer, Yes, opens the editor, which shows the identifier.
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "[form] \"Key Assignment\" TAddKeyAssForm, modal"), 1);
    EXPECT_TRUE(Contains(shown, "  combo box Menu1: \"ok, but currently inaccessible: #4711\""));
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Target(), 4711);
}

TEST_F(OptionsFormTest, DefaultsGiveTheLayoutValuesAndKeepTheList) {
    Queue("TOptionsForm", {{Kind::Set, "HotKey", "F5"},
                           {Kind::Set, "_Alt", "1"},
                           {Kind::Set, "Metatool", "x"},
                           {Kind::Set, "AssignBox", "+0"},
                           {Kind::Click, "AssignButton", ""}});
    TOptionsForm* form = Open();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->AssignBox->Enabled());
    form->Defaults->Click();
    EXPECT_EQ(form->HotKey->Text(), "TAB");
    EXPECT_FALSE(form->HotKeyAlt->Checked());
    EXPECT_EQ(form->Metatool->Text(), "1");
    EXPECT_TRUE(form->AssignButton->Checked());
    EXPECT_TRUE(form->AssignBox->Enabled());
    EXPECT_TRUE(form->AssignBox->Checked(0));
    EXPECT_EQ(form->Left(), (1024 - form->Width()) / 2);
}

TEST_F(OptionsFormTest, ListenedHotkeyIsRememberedOverTheStore) {
    Queue("TOptionsForm", {{Kind::Click, "Listen1", ""}});
    TOptionsForm* form = Open();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->Listening());
    // The keys come as the keyboard's do, to the button that has the focus.
    const auto press = [](uint16_t key, bool shift) {
        win::QueueUserKey(key, shift, false, false);
        win::RunMessageLoop();
    };
    press(win::VK_F1 + 6, false);
    EXPECT_EQ(form->HotKey->Text(), "F7");
    EXPECT_FALSE(form->Listening());
    // Without the Listen button a key leaves the box alone.
    press(win::VK_F2, false);
    EXPECT_EQ(form->HotKey->Text(), "F7");
    // Shift held with the key is no key of its own: the key is heard.
    form->ListenBtn->Click();
    press('Q', true);
    EXPECT_EQ(form->HotKey->Text(), "Q");
    EXPECT_FALSE(form->Listening());
    EXPECT_TRUE(form->Visible());  // the heard key pressed nothing else
    form->OkButton->Click();
    vcl::Application->ProcessMessages();
    EXPECT_EQ(Stored("ExplorerHotkey"), "sca81");
    EXPECT_EQ(TheModule.options.ExplorerHotkeyKey, 81);
    // The store says F2 with Shift now; the next form shows what its last OK left.
    TheModule.options.ExplorerHotkeyKey = 113;
    TheModule.options.ExplorerHotkeyShift = 1;
    win::ClearTranscript();
    ASSERT_NE(Open(), nullptr);
    const std::vector<std::string> shown = Shown();
    EXPECT_TRUE(Contains(shown, "  combo box HotKey: \"Q\""));
    EXPECT_TRUE(Contains(shown, "  check box _shift \"Shift\": unchecked"));
}

TEST_F(OptionsFormTest, GermanTexts) {
    TheAccessLayer.host.language = 1;
    ASSERT_NE(Open(), nullptr);
    testsupport::ExpectLines(
        {
            "[form] \"Orvex Einstellungen\" TOptionsForm",
            "  label Label1 \"Der neuer Explorer für Vortragsbezeichnungen ersetzt Finales eigenes Auswahlfenster. "
            "Benutzen Sie den unten angegebenen Hotkey, um ihn zu starten.\"",
            "  group box GroupBox1 \"Hotkey für den Explorer\"",
            "  label Label3 \"key:\"",
            "  combo box HotKey: \"TAB\"",
            "  check box _shift \"Shift\": unchecked",
            "  check box _Ctrl \"Strg\": unchecked",
            "  check box _Alt \"Alt\": unchecked",
            "  button Listen1 \"Hören\"",
            "  label Label2 \"Nach Auswahl einer Vortragsbezeichnung im Explorer können Sie sie beliebig oft "
            "verwenden, indem Sie das unten angegebene Tastaturkürzel verwenden.\"",
            "  group box GroupBox2 \"vom Explorer zugewiesenes Kürzel\"",
            "  edit Metatool: \"1\"",
            "  button OkButton \"OK\"",
            "  button Defaults \"Standard\"",
            "  button BitBtn1 \"Abbruch\"",
            "  group box GroupBox3 \"Verschiedenes\"",
            "  button ShowAllMsgs \"Alle Fragen und Mitteilungen anzeigen\"",
            "  button MoreBtn \"Weitere Programmoptionen...\"",
            "  check box AssignButton \"Tastaturumbelegung aktivieren:\": checked",
            "  check list box AssignBox: nothing selected",
            "      [ ] DEL (ask)",
            "      [ ] BACKSP (ask)",
            "      [x] HOME (ask)",
            "      [x] END (ask)",
            "  button AddBtn \"Neu...\"",
            "  button EditBtn \"Ändern...\"",
            "  button RemoveBtn \"Löschen\"",
            "  memo Memo1: 13 lines",
        },
        Shown());
    const auto& memo = dynamic_cast<TOptionsForm*>(TheModule.dispatch.ModelessFormList.back())->RemapperHelp->Lines();
    EXPECT_EQ(memo[0],
              "Sie können jede Taste umbelegen, so daß sie entweder eine andere Taste oder einen Menübefehl "
              "auslöst.");
    EXPECT_EQ(memo[1], "");
    EXPECT_EQ(memo[12],
              "Um eine Taste mit einer Sicherheitsabfrage zu versehen, können Sie sie mit sich selbst "
              "belegen, und 'Sicherheitsabfrage' ankreuzen.");
}

TEST_F(OptionsFormTest, ShowAllMessagesForgetsTheSkippedOnes) {
    TheModule.process.ShowMessagesText = "0101";
    Queue("TOptionsForm", {{Kind::Click, "ShowAllMsgs", ""}});
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(TheModule.process.ShowMessagesText, "");
    EXPECT_EQ(Stored("asknl2k"), "1");
}

TEST_F(OptionsFormTest, NothingEndsWhileTheEditorIsOpen) {
    TOptionsForm* form = Open();
    ASSERT_NE(form, nullptr);
    TheModule.options.KeyAssignmentEditorOpen = 1;
    form->Close();
    form->OkButton->Click();
    form->CancelButton->Click();
    form->RemoveBtn->Click();
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(form->ReleasePending());
    EXPECT_EQ(TheModule.options.OptionsFormOpen, 1);
    EXPECT_EQ(Stored("ExplorerHotkey"), std::nullopt);
    TheModule.options.KeyAssignmentEditorOpen = 0;
    form->CancelButton->Click();
    EXPECT_TRUE(form->ReleasePending());
    EXPECT_EQ(TheModule.options.OptionsFormOpen, 0);
}

TEST_F(OptionsFormTest, AFormFreedLateLeavesTheNextOneOpen) {
    Queue("TOptionsForm", {{Kind::Click, "BitBtn1", ""}});
    EXPECT_EQ(Open(), nullptr);
    // The command comes again before the first form is freed.
    ASSERT_NE(Open(), nullptr);
    vcl::Application->ProcessMessages();
    EXPECT_EQ(TheModule.options.OptionsFormOpen, 1);
    EXPECT_EQ(TheModule.dispatch.ModelessFormList.size(), 1u);
    ShowOptionsForm();
    EXPECT_EQ(TheModule.dispatch.ModelessFormList.size(), 1u);
}

TEST_F(OptionsFormTest, ClosingReadsTheStoreBack) {
    Queue("TOptionsForm", {{Kind::Set, "AssignBox", "3"}, {Kind::Click, "RemoveBtn", ""}, {Kind::Close, "", ""}});
    EXPECT_EQ(Open(), nullptr);
    EXPECT_EQ(TheModule.options.KeyAssignments.size(), 4u);
    EXPECT_EQ(TheModule.options.OptionsFormOpen, 0);
    vcl::Application->ProcessMessages();
    EXPECT_TRUE(TheModule.dispatch.ModelessFormList.empty());
}

TEST_F(OptionsFormTest, MoreShowsTheGeneralOptionsAndReadsThemBack) {
    TheModule.process.GeneralOptions = {};
    Queue("TOptionsForm", {{Kind::Click, "MoreBtn", ""}});
    ASSERT_NE(Open(), nullptr);
    const std::vector<std::string> shown = Shown();
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                            [](const std::string& line) { return line.ends_with(" TDActOpt, modal"); }));
    // The general options hold the stored (here the initial) values again.
    const std::array<int32_t, 9> initial = {1, 15, 20, 0, 0, 1, 205, 0, 1};
    for (size_t row = 0; row < initial.size(); ++row) {
        EXPECT_EQ(TheModule.process.GeneralOptions[row].value, initial[row]) << "row " << row;
    }
}

TEST_F(OptionsFormTest, MoreClampsANumberOutsideItsRangeAndKeepsTheOtherChanges) {
    // Keys typed into row 1 ("15" and then "99999"): the driver's "set" would refuse a number out
    // of range, the keys are taken as typed.
    Queue("TDActOpt",
          {{Kind::Click, "#1", ""}, {Kind::Type, "", "99999"}, {Kind::Set, "#2", "33"}, {Kind::Click, "OKBtn", ""}});
    Queue("TOptionsForm", {{Kind::Click, "MoreBtn", ""}});
    ASSERT_NE(Open(), nullptr);
    // Row 1 runs from 2 to 1000: the page remembers 1000, and row 2's change is kept.
    EXPECT_EQ(TheModule.process.GeneralOptions[GO_DYNAMICS_HOTKEY_STEP].value, 1000);
    EXPECT_EQ(TheModule.process.GeneralOptions[GO_SPACING_HOTKEY_STEP].value, 33);
    EXPECT_EQ(TheModule.process.GeneralOptions[GO_SELECTION_LIST_HEIGHT].value, 205);
}

}  // namespace
