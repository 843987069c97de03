// The keyboard and window hooks and the TNow timer: the explorer hotkey, the key launches, the
// step signal of multi-step commands, dialog keys for modeless forms, key assignments, and the
// host's redraw commands.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "core/commands.h"
#include "core/dispatch.h"
#include "core/hooks.h"
#include "core/host/access_state.h"
#include "core/host/host_imports.h"
#include "core/key_automation.h"
#include "core/launch_rows.h"
#include "core/module.h"
#include "core/module_exports.h"
#include "core/options_store.h"
#include "core/product_menu.h"
#include "core/startup.h"
#include "platform/host/document_windows.h"
#include "platform/host/host.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/win.h"
#include "platform/win/windows.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;

class HooksTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
        m_host = std::make_unique<host::Host>();
        ASSERT_TRUE(m_host->LoadInProcessPlugin("Orvex188.fxt", {OrvexExport, {}}));
        // The host's main window sees the keys that reach it.
        win::SetWindowProc(m_host->MainWindow(), [this](win::Hwnd, uint32_t message, uintptr_t wParam, intptr_t) {
            if (message == win::WM_KEYDOWN) {
                m_hostKeys.push_back(win::KeyName(static_cast<uint16_t>(wParam)));
            } else if (message == win::WM_COMMAND) {
                m_commands.push_back(static_cast<uint32_t>(wParam));
            }
            return intptr_t{0};
        });
        win::Idle(500);  // the first tick builds the product menu
        win::ClearTranscript();
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        DesktopTest::TearDown();
    }

    void Press(uint16_t key, bool shift = false, bool ctrl = false, bool alt = false) {
        win::QueueUserKey(key, shift, ctrl, alt);
        win::RunMessageLoop();
    }

    std::unique_ptr<host::Host> m_host;
    std::vector<std::string> m_hostKeys;
    std::vector<uint32_t> m_commands;
};

TEST_F(HooksTest, InitInstallsTheHooksAndTheTimerBuildsTheMenu) {
    EXPECT_NE(TheModule.hooks.KeyboardHook, win::kNoHook);
    EXPECT_NE(TheModule.hooks.CallWndHook, win::kNoHook);
    EXPECT_NE(TheModule.hooks.GetMessageHook, win::kNoHook);
    EXPECT_EQ(TheModule.hooks.ShiftStateHook, win::kNoHook);  // Windows of the NT family
    EXPECT_TRUE(TheModule.productMenu.MenuBuilt);
    ASSERT_TRUE(TheModule.hooks.Now);
    EXPECT_FALSE(TheModule.hooks.Now->Timer->Enabled());  // the build disabled the timer
}

TEST_F(HooksTest, TabOpensTheExplorerAndIsSwallowed) {
    Press(win::VK_TAB);
    EXPECT_EQ(m_commands, std::vector<uint32_t>{TheModule.commands.HostCommandIds[0]});
    EXPECT_TRUE(m_hostKeys.empty());
    // Other keys reach the host.
    Press('A');
    EXPECT_EQ(m_hostKeys, std::vector<std::string>{"A"});
    // A changed hotkey: Shift+F2.
    TheModule.options.ExplorerHotkeyKey = win::VK_F2;
    TheModule.options.ExplorerHotkeyShift = 1;
    m_commands.clear();
    Press(win::VK_TAB);
    EXPECT_TRUE(m_commands.empty());
    Press(win::VK_F2, true);
    EXPECT_EQ(m_commands, std::vector<uint32_t>{TheModule.commands.HostCommandIds[0]});
}

TEST_F(HooksTest, ForeignWindowsInFrontLetKeysPass) {
    const win::Hwnd palette = win::CreateWindow({.className = "Palette", .title = "Main Tool Palette"});
    win::SetForegroundWindow(palette);
    Press(win::VK_TAB);
    EXPECT_EQ(m_commands.size(), 1u);  // the palette keeps the remapper working
    const win::Hwnd other = win::CreateWindow({.className = "Editor", .title = "Notepad"});
    std::vector<std::string> otherKeys;
    win::SetWindowProc(other, [&otherKeys](win::Hwnd, uint32_t message, uintptr_t wParam, intptr_t) {
        if (message == win::WM_KEYDOWN) {
            otherKeys.push_back(win::KeyName(static_cast<uint16_t>(wParam)));
        }
        return intptr_t{0};
    });
    win::SetForegroundWindow(other);
    Press(win::VK_TAB);
    EXPECT_EQ(m_commands.size(), 1u);
    EXPECT_TRUE(m_hostKeys.empty());
    EXPECT_EQ(otherKeys, std::vector<std::string>{"Tab"});  // passed on, untouched
}

TEST_F(HooksTest, KeysPassWhileACommandRuns) {
    TheModule.dispatch.InvokeNesting = 1;
    Press(win::VK_TAB);
    EXPECT_TRUE(m_commands.empty());
    EXPECT_EQ(m_hostKeys, std::vector<std::string>{"Tab"});
    TheModule.dispatch.InvokeNesting = 0;
    TheModule.hooks.IgnoreKeys = 2;  // a key down and its release
    Press(win::VK_TAB);
    EXPECT_TRUE(m_commands.empty());
    EXPECT_EQ(TheModule.hooks.IgnoreKeys, 0);
}

TEST_F(HooksTest, KeypadPlusIsTheStepSignalOfAWaitingCommand) {
    TheModule.dispatch.RepostCode = 120;
    Press(win::VK_ADD);
    EXPECT_TRUE(m_hostKeys.empty());
    EXPECT_EQ(TheModule.hooks.Now->Timer->Interval(), 50u);
    EXPECT_TRUE(TheModule.hooks.Now->Timer->Enabled());
    // The next tick with the host in front clears the marker and sends the first entry's
    // identifier to the host.
    win::Idle(50);
    EXPECT_EQ(TheModule.dispatch.RepostCode, 0);
    EXPECT_EQ(m_commands, std::vector<uint32_t>{TheModule.commands.HostCommandIds[0]});
    EXPECT_FALSE(TheModule.hooks.Now->Timer->Enabled());
    // Without a waiting command the keypad plus is an ordinary key.
    Press(win::VK_ADD);
    EXPECT_EQ(m_hostKeys, std::vector<std::string>{"Num +"});
}

TEST_F(HooksTest, TimerWaitsUntilTheHostIsInFront) {
    const win::Hwnd other = win::CreateWindow({.className = "Editor", .title = "Notepad"});
    win::SetForegroundWindow(other);
    TheModule.dispatch.RepostCode = 120;
    RestartTNow(50);
    win::Idle(200);
    EXPECT_EQ(TheModule.dispatch.RepostCode, 120);
    EXPECT_TRUE(m_commands.empty());
    win::SetForegroundWindow(m_host->MainWindow());
    win::Idle(50);
    EXPECT_EQ(TheModule.dispatch.RepostCode, 0);
    EXPECT_EQ(m_commands.size(), 1u);
}

// A menu of the host that is open (its loop tells the host's window) holds the keys a waiting
// command sends, as a dialog of the host (its main window disabled) does: they act nowhere, the
// timer takes no step while it is open, and once it has closed the keys go again whole.
TEST_F(HooksTest, AnOpenMenuOrDialogOfTheHostHoldsTheKeysOfAWaitingCommand) {
    for (const bool menu : {true, false}) {
        SCOPED_TRACE(menu ? "a menu" : "a dialog");
        m_hostKeys.clear();
        m_commands.clear();
        if (menu) {
            win::SendMessage(m_host->MainWindow(), win::WM_ENTERMENULOOP, 0, 0);
            // Another window's menu closing or the host's move/size loop ending (562) keeps the hold.
            win::SendMessage(win::CreateWindow({.className = "Palette"}), win::WM_EXITMENULOOP, 0, 0);
            win::SendMessage(m_host->MainWindow(), 562, 0, 0);
        } else {
            win::EnableWindow(m_host->MainWindow(), false);
        }
        TheModule.dispatch.RepostCode = 127;
        SendKeyToHost('o');
        SendVirtualKeyToHost(win::VK_ADD);
        win::RunMessageLoop();
        win::Idle(500);
        EXPECT_TRUE(m_hostKeys.empty());
        EXPECT_TRUE(m_commands.empty());
        EXPECT_EQ(TheModule.dispatch.RepostCode, 127);
        if (menu) {
            win::SendMessage(m_host->MainWindow(), win::WM_EXITMENULOOP, 0, 0);
        } else {
            win::EnableWindow(m_host->MainWindow(), true);
        }
        win::Idle(50);  // the keys go again, the step signal among them
        EXPECT_EQ(m_hostKeys, std::vector<std::string>{"O"});
        EXPECT_TRUE(m_commands.empty());
        win::Idle(50);  // the next step
        EXPECT_EQ(m_commands, std::vector<uint32_t>{TheModule.commands.HostCommandIds[0]});
        EXPECT_EQ(TheModule.dispatch.RepostCode, 0);
    }
}

TEST_F(HooksTest, AltKeypadLaunchesAlignMove) {
    TheModule.options.RemapperEnabled = 1;
    Press(win::VK_ADD, false, false, true);
    EXPECT_EQ(TheModule.dispatch.RerunCode, 129);
    EXPECT_EQ(TheModule.process.ToolOptionsA[alignrow::kMoveVertically].value, 15);
    EXPECT_EQ(TheModule.process.ToolOptionsA[alignrow::kMode].value, 1);
    EXPECT_EQ(TheModule.process.ToolOptionsB[morerow::kEachSystem].value, 0);
    EXPECT_EQ(TheModule.hooks.PendingKeyLaunches, 1);
    EXPECT_EQ(m_commands, std::vector<uint32_t>{TheModule.commands.HostCommandIdByItem[0]});
    Press(win::VK_MULTIPLY, false, false, true);
    EXPECT_EQ(TheModule.process.ToolOptionsA[alignrow::kMoveVertically].value, 0);
}

TEST_F(HooksTest, ShiftKeypadLaunchesSpacing) {
    TheModule.options.RemapperEnabled = 1;
    Press(win::VK_SUBTRACT, true);
    // Mode 2 and no modifier, as the option "add/remove space" (off) asks: expand/compress.
    EXPECT_EQ(TheModule.dispatch.RerunCode, 118);
    EXPECT_EQ(TheModule.process.ToolOptionsA[SCALE_SPACING_AMOUNT].value, -20);
    // With Ctrl: add/remove space in mode 2.
    Press(win::VK_ADD, true, true);
    EXPECT_EQ(TheModule.dispatch.RerunCode, 104);
    EXPECT_EQ(TheModule.process.ToolOptionsA[ADD_SPACE_AMOUNT].value, 20);
    EXPECT_EQ(TheModule.process.ToolOptionsA[ADD_SPACE_PLACE].value, 2);
    // With Ctrl and Alt: mode 0.
    Press(win::VK_ADD, true, true, true);
    EXPECT_EQ(TheModule.process.ToolOptionsA[ADD_SPACE_PLACE].value, 0);
    EXPECT_EQ(TheModule.hooks.PendingKeyLaunches, 3);
}

TEST_F(HooksTest, ASpeedyEntryAssignmentActsOnlyWhileSpeedyEntryIsChosen) {
    TheModule.options.RemapperEnabled = 1;
    KeyAssignment backspace;
    backspace.SetKey(win::VK_F1 + 4);
    backspace.SetTarget(win::VK_BACK);
    backspace.bytes[KeyAssignment::kEnabled] = 1;
    backspace.bytes[KeyAssignment::kFlags] = KeyAssignment::kSpeedyOnly;
    TheModule.options.KeyAssignments = {backspace};
    m_host->AddDocument(std::make_unique<host::Document>("score"));
    EXPECT_EQ(FindSpeedyWindow(m_host->MainWindow()), win::kNoWindow);
    Press(win::VK_F1 + 4);
    EXPECT_EQ(m_hostKeys, std::vector<std::string>{"F5"});  // passed on
    m_hostKeys.clear();
    m_host->Windows().SetSpeedyEntry(true);
    const win::Hwnd view = win::GetDlgItem(m_host->Windows().WindowOf(1), 59648);
    EXPECT_EQ(FindSpeedyWindow(m_host->MainWindow()), win::FindWindowEx(view, win::kNoWindow, "FinSpeedy"));
    EXPECT_NE(FindSpeedyWindow(m_host->MainWindow()), win::kNoWindow);
    Press(win::VK_F1 + 4);
    EXPECT_EQ(m_hostKeys, std::vector<std::string>{"Backspace"});
}

TEST_F(HooksTest, KeyAssignmentsSendKeysOrMenuCommands) {
    TheModule.options.RemapperEnabled = 1;
    KeyAssignment toMenu;
    toMenu.SetKey(win::VK_F2);
    toMenu.SetTarget(76037);
    toMenu.bytes[KeyAssignment::kEnabled] = 1;
    toMenu.bytes[KeyAssignment::kMenu] = 1;
    KeyAssignment toKey;
    toKey.SetKey(win::VK_HOME);
    toKey.SetTarget(win::VK_END);
    toKey.bytes[KeyAssignment::kEnabled] = 1;
    toKey.bytes[KeyAssignment::kNewShift] = 1;  // replaced by Shift+End
    TheModule.options.KeyAssignments = {toMenu, toKey};
    Press(win::VK_F2);
    EXPECT_EQ(m_commands, std::vector<uint32_t>{76037});
    EXPECT_TRUE(m_hostKeys.empty());
    Press(win::VK_HOME);
    EXPECT_EQ(m_hostKeys, (std::vector<std::string>{"Shift", "End"}));
    EXPECT_EQ(win::GetKeyState(win::VK_SHIFT) & 0x8000, 0);  // Shift released again
}

// A key assigned to the smart split point (a plug-in command without a menu entry) launches it
// as the keypad launches go: its code queued, its stored options (none) in place of the last
// launch's, and the host asked for a product command.
TEST_F(HooksTest, AKeyAssignedToAPluginCommandLaunchesIt) {
    TheModule.options.RemapperEnabled = 1;
    KeyAssignment command;
    command.SetKey(win::VK_F2);
    command.SetTarget(181);
    command.bytes[KeyAssignment::kEnabled] = 1;
    command.SetPluginCommand();
    TheModule.options.KeyAssignments = {command};
    TheModule.process.ToolOptionsA[alignrow::kMode].value = 7;  // left over from an earlier launch
    TheModule.process.ToolOptionsB[morerow::kEachSystem].value = 3;
    Press(win::VK_F2);
    EXPECT_EQ(TheModule.dispatch.RerunCode, 181);
    EXPECT_EQ(TheModule.process.ToolOptionsA[alignrow::kMode].value, 0);
    EXPECT_EQ(TheModule.process.ToolOptionsB[morerow::kEachSystem].value, 0);
    EXPECT_EQ(TheModule.hooks.PendingKeyLaunches, 1);
    EXPECT_EQ(m_commands, std::vector<uint32_t>{TheModule.commands.HostCommandIdByItem[0]});
    EXPECT_TRUE(m_hostKeys.empty());
}

TEST_F(HooksTest, ConfirmationAnsweredCancelSwallowsTheKey) {
    TheModule.options.RemapperEnabled = 1;
    KeyAssignment ask;
    ask.SetKey(win::VK_DELETE);
    ask.SetTarget(win::VK_BACK);
    ask.bytes[KeyAssignment::kEnabled] = 1;
    ask.bytes[KeyAssignment::kFlags] = KeyAssignment::kAsk;
    TheModule.options.KeyAssignments = {ask};
    win::QueueMessageBoxAnswer(win::IDCANCEL);
    Press(win::VK_DELETE);
    EXPECT_TRUE(m_hostKeys.empty());
    EXPECT_TRUE(m_commands.empty());
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "[message box] \"Orvex Confirmation Request\" (question) buttons OK/Cancel"),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "  | Please confirm the following key: DEL. To disable this confirmation request, see the "
                        "Options dialog of Orvex."),
              lines.end());
    win::QueueMessageBoxAnswer(win::IDOK);
    Press(win::VK_DELETE);
    EXPECT_EQ(m_hostKeys, std::vector<std::string>{"Backspace"});
}

/// Counts every key event before the plug-in's hook sees it, and stops the keys after a bound, so
/// that keys sent back and forth forever end the test instead of hanging it.
intptr_t s_guardedEvents = 0;
win::Hhook s_guard = win::kNoHook;
intptr_t KeyGuard(int32_t code, uintptr_t key, intptr_t keyData) {
    if (++s_guardedEvents > 40) {
        return 1;
    }
    return win::CallNextHookEx(s_guard, code, key, keyData);
}

// Outside the NT family the Shift state comes from the scan codes, 42 the left Shift and 54 the
// right one, whose press counts only while the left is up; the hook answers what the next answers.
TEST_F(HooksTest, ShiftStateFollowsTheScanCodesOfBothShiftKeys) {
    TheModule.process.IsNT = false;
    InstallHostHooks();
    s_guard = win::SetWindowsHookEx(win::WH_KEYBOARD, KeyGuard, win::kNoModule, 0);
    s_guardedEvents = 40;  // the next hook swallows every key
    const std::tuple<uint32_t, bool, bool, bool> steps[] = {
        {42, false, true, false}, {54, false, true, false}, {42, true, false, false}, {54, false, false, true},
        {42, false, true, true},  {54, true, true, false},  {29, false, true, false}, {42, true, false, false}};
    for (const auto& [scan, up, left, right] : steps) {
        EXPECT_EQ(ShiftStateHookProc(0, win::VK_SHIFT, static_cast<int32_t>(scan << 16 | (up ? 1u << 31 : 0))), 1);
        EXPECT_EQ(std::pair(TheModule.hooks.LeftShiftDown, TheModule.hooks.RightShiftDown), std::pair(left, right))
            << scan << up;
    }
    win::UnhookWindowsHookEx(s_guard);
}

TEST_F(HooksTest, AssignmentsThatSendEachOthersKeysActOncePerStroke) {
    TheModule.options.RemapperEnabled = 1;
    KeyAssignment aToB;
    aToB.SetKey('A');
    aToB.SetTarget('B');
    aToB.bytes[KeyAssignment::kEnabled] = 1;
    KeyAssignment bToA;
    bToA.SetKey('B');
    bToA.SetTarget('A');
    bToA.bytes[KeyAssignment::kEnabled] = 1;
    TheModule.options.KeyAssignments = {aToB, bToA};
    // The guard goes before the plug-in's hook.
    RemoveHostHooks();
    s_guardedEvents = 0;
    s_guard = win::SetWindowsHookEx(win::WH_KEYBOARD, KeyGuard, win::kNoModule, 0);
    InstallHostHooks();
    Press('A');
    // A down and up, then the B the assignment sent, down and up, and nothing more.
    EXPECT_EQ(s_guardedEvents, 4);
    EXPECT_EQ(m_hostKeys, std::vector<std::string>{"B"});
    Press('B');
    EXPECT_EQ(s_guardedEvents, 8);
    EXPECT_EQ(m_hostKeys, (std::vector<std::string>{"B", "A"}));
    win::UnhookWindowsHookEx(s_guard);
}

// HOME, END, DEL and Backspace are mapped to themselves with "(ask)" by default: the question
// comes before anything else; OK lets the key reach the host, Cancel swallows it.
TEST_F(HooksTest, AKeyMappedToItselfAsksBeforeItReachesTheHost) {
    TheModule.options.RemapperEnabled = 1;
    KeyAssignment self;
    self.SetKey(win::VK_HOME);
    self.SetTarget(win::VK_HOME);
    self.bytes[KeyAssignment::kEnabled] = 1;
    self.bytes[KeyAssignment::kFlags] = KeyAssignment::kAsk;
    TheModule.options.KeyAssignments = {self};
    win::QueueMessageBoxAnswer(win::IDCANCEL);
    Press(win::VK_HOME);
    EXPECT_TRUE(m_hostKeys.empty());
    const auto& lines = win::TranscriptLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "  | Please confirm the following key: HOME. To disable this confirmation request, see the "
                         "Options dialog of Orvex."),
              1);
    win::QueueMessageBoxAnswer(win::IDOK);
    Press(win::VK_HOME);
    EXPECT_EQ(m_hostKeys, std::vector<std::string>{"Home"});
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "[message box] \"Orvex Confirmation Request\" (question) buttons OK/Cancel"),
              2)
        << "asked once a key stroke, on the press";
}

// The explorer's hot key sends its command: the host carries it out before the hook returns.
TEST_F(HooksTest, TheExplorerHotkeySendsItsCommand) {
    EXPECT_EQ(KeyAssignmentHook(0, win::VK_TAB, 1), 1);
    EXPECT_EQ(m_commands, std::vector<uint32_t>{TheModule.commands.HostCommandIds[0]});
}

TEST_F(HooksTest, ModelessFormsGetDialogKeys) {
    auto* form = vcl::Create<vcl::TForm>(nullptr);
    const auto place = [form](vcl::TWinControl* control, const char* name) {
        control->SetParent(form);
        control->SetName(name);
        return control;
    };
    auto* first = static_cast<vcl::TEdit*>(place(new vcl::TEdit(form), "First"));
    auto* second = static_cast<vcl::TEdit*>(place(new vcl::TEdit(form), "Second"));
    auto* go = static_cast<vcl::TButton*>(place(new vcl::TButton(form), "Go"));
    go->SetDefault(true);
    int goClicks = 0;
    go->OnClick = [&goClicks](vcl::TObject*) { ++goClicks; };
    second->SetTabOrder(0);  // the form's tab order: Second, First, Go
    form->Show();
    form->SetActiveControl(first);
    Press(win::VK_TAB);
    EXPECT_EQ(form->ActiveControl(), go);
    EXPECT_TRUE(m_commands.empty());  // the form took the explorer hotkey
    Press(win::VK_TAB);
    EXPECT_EQ(form->ActiveControl(), second);
    Press(win::VK_TAB, true);
    EXPECT_EQ(form->ActiveControl(), go);
    Press(win::VK_LEFT);  // an arrow on a button moves to its neighbour
    EXPECT_EQ(form->ActiveControl(), first);
    // Typed keys reach the edit that has the focus, past the hooks; Enter clicks the default button.
    Press('7');
    Press('5');
    Press(win::VK_BACK);
    Press('A', true);
    EXPECT_EQ(first->Text(), "7A");
    EXPECT_EQ(goClicks, 0);
    Press(win::VK_RETURN);
    EXPECT_EQ(goClicks, 1);
    EXPECT_TRUE(m_hostKeys.empty());
    Press(win::VK_ESCAPE);
    EXPECT_FALSE(form->Visible());
    delete form;
}

TEST_F(HooksTest, RedrawCommandsByHostYear) {
    PostHostRedrawCommands();
    win::RunMessageLoop();
    EXPECT_EQ(m_commands, (std::vector<uint32_t>{76037, 76038}));
    m_commands.clear();
    TheAccessLayer.host.year = 1997;
    PostHostRedrawCommands();
    win::RunMessageLoop();
    EXPECT_EQ(m_commands, (std::vector<uint32_t>{76037, 76037}));
}

TEST_F(HooksTest, UnloadRemovesTheHooks) {
    RemoveHostHooks();
    DestroyTNow();
    EXPECT_EQ(win::HookCount(win::WH_KEYBOARD), 0u);
    EXPECT_EQ(win::HookCount(win::WH_CALLWNDPROC), 0u);
    EXPECT_EQ(win::HookCount(win::WH_GETMESSAGE), 0u);
    Press(win::VK_TAB);
    EXPECT_EQ(m_hostKeys, std::vector<std::string>{"Tab"});
}

}  // namespace
