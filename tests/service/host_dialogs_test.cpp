// The host's dialogs from a plug-in's templates (services 15, 16) and their controls (35, 36,
// 57-60), run with Lumvar2000's control panel template and a dialog procedure of each test.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/host/host_dialogs.h"
#include "platform/hostapi/services.h"
#include "platform/win/dialog_resources.h"
#include "platform/win/message_box.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "platform/win/windows.h"
#include "service/control_panel.h"
#include "tests/service/lumvar_fixture.h"

namespace {

constexpr hostapi::InterfaceVersion kVersion = hostapi::kInterfaceVersion;

template <typename Fn>
Fn Service(hostapi::Service ordinal) {
    return reinterpret_cast<Fn>(host::ServiceByOrdinal(static_cast<int32_t>(ordinal)));
}

const auto runDialog = Service<hostapi::RunDialogFn>(hostapi::Service::RunDialog);
const auto endDialog = Service<hostapi::EndDialogFn>(hostapi::Service::EndDialog);
const auto enableControl = Service<hostapi::EnableControlFn>(hostapi::Service::EnableControl);
const auto focusControl = Service<hostapi::FocusControlFn>(hostapi::Service::FocusControl);
const auto getValue = Service<hostapi::GetControlValueFn>(hostapi::Service::GetControlValue);
const auto setValue = Service<hostapi::SetControlValueFn>(hostapi::Service::SetControlValue);
const auto getText = Service<hostapi::GetControlTextFn>(hostapi::Service::GetControlText);
const auto setText = Service<hostapi::SetControlTextFn>(hostapi::Service::SetControlText);

/// What the procedure of the test does with each message.
std::function<int32_t(win::Hwnd, uint32_t, uintptr_t)>& Handler() {
    static std::function<int32_t(win::Hwnd, uint32_t, uintptr_t)> handler;
    return handler;
}
int32_t Procedure(win::Hwnd dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    return Handler() ? Handler()(dialog, message, wParam) : 0;
}

std::string Text(win::Hwnd dialog, int32_t control, int32_t size = 200) {
    std::vector<char> buffer(static_cast<size_t>(size), 'x');
    return getText(dialog, control, buffer.data(), size, kVersion) != 0 ? std::string(buffer.data()) : "(none)";
}

class HostDialogsTest : public lumvartest::LumvarHostTest {
protected:
    void SetUp() override {
        LumvarHostTest::SetUp();
        StartLumvar();
        Handler() = nullptr;
        win::ClearTranscript();
    }
    void TearDown() override {
        Handler() = nullptr;
        EXPECT_EQ(host::OpenHostDialogs(), 0);
        LumvarHostTest::TearDown();
    }
    static void Queue(win::FormAction::Kind kind, const char* control, const char* value = "") {
        win::QueueFormAction("#20128", {kind, control, value});
    }
    int32_t Run() { return runDialog(lumvar::kControlPanelResource, Procedure, m_host->MainWindow(), 1, 0, kVersion); }
};

TEST_F(HostDialogsTest, ValuesAndTextsOfTheControls) {
    std::vector<std::string> seen;
    Handler() = [&](win::Hwnd dialog, uint32_t message, uintptr_t wParam) -> int32_t {
        if (message == win::WM_INITDIALOG) {
            const win::Hwnd list = win::FindWindowEx(dialog, win::kNoWindow, "ComboBox");
            for (const char* item : {"one", "two", "three"}) {
                win::SendMessage(list, win::CB_ADDSTRING, 0, reinterpret_cast<intptr_t>(item));
            }
            setValue(dialog, 108, 2, kVersion);          // the list's second item
            setValue(dialog, 102, 1, kVersion);          // a check box
            setValue(dialog, 103, 2, kVersion);          // greyed
            setValue(dialog, 109, -17, kVersion);        // a label takes the number as its text
            setText(dialog, 110, "Fl\xF6te", kVersion);  // the host's 8-bit text
            enableControl(dialog, 104, 0, kVersion);
            return 1;
        }
        if (message == win::WM_COMMAND && (wParam & 0xFFFF) == win::IDOK) {
            for (const int32_t control : {102, 103, 104}) {
                seen.push_back(std::to_string(getValue(dialog, control, 1, kVersion)));
            }
            seen.push_back(std::to_string(getValue(dialog, 108, 2, kVersion)));
            seen.push_back(std::to_string(getValue(dialog, 109, 3, kVersion)));
            seen.push_back(std::to_string(getValue(dialog, 102, 9, kVersion)));  // no such kind
            seen.push_back(Text(dialog, 108));
            seen.push_back(Text(dialog, 110));
            seen.push_back(Text(dialog, 110, 3));  // at most size - 1 characters
            seen.push_back(Text(dialog, 999));
            endDialog(dialog, 42, kVersion);
        }
        return 0;
    };
    Queue(win::FormAction::Kind::Set, "108", "three");
    Queue(win::FormAction::Kind::Click, "104");  // disabled: not done
    Queue(win::FormAction::Kind::Click, "OK");
    EXPECT_EQ(Run(), 42);
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "2", "0", "3", "-17", "0", "three", "Fl\xF6te", "Fl", "(none)"}));
    const std::vector<std::string>& lines = win::TranscriptLines();
    for (const char* line : {"  check box 103 \"Update layout when needed\": greyed",
                             "  check box 104 \"Return focus to Finale\": unchecked (disabled)",
                             "  drop-down list 108: \"two\"", "  label 109 \"-17\"", "  button 110 \"Flöte\"",
                             "  user: click 104", "    not done: the control is disabled", "  -> 42"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
}

TEST_F(HostDialogsTest, UserActionsReachTheProcedure) {
    std::vector<std::string> commands;
    Handler() = [&](win::Hwnd dialog, uint32_t message, uintptr_t wParam) -> int32_t {
        if (message == win::WM_COMMAND) {
            commands.push_back(std::to_string(wParam & 0xFFFF) + "/" + std::to_string(wParam >> 16));
            if ((wParam & 0xFFFF) == win::IDCANCEL) {
                endDialog(dialog, win::IDCANCEL, kVersion);
            }
        }
        return 0;
    };
    Queue(win::FormAction::Kind::Click, "Allow windows on second monitor");
    Queue(win::FormAction::Kind::Set, "102", "checked");  // no change: no command
    Queue(win::FormAction::Kind::Set, "102", "unchecked");
    Queue(win::FormAction::Kind::Click, "101");     // a group box takes no click
    Queue(win::FormAction::Kind::Set, "108", "7");  // the list is empty
    Queue(win::FormAction::Kind::Click, "Nothing");
    Queue(win::FormAction::Kind::Close, "");
    EXPECT_EQ(Run(), win::IDCANCEL);
    EXPECT_EQ(commands, (std::vector<std::string>{"102/0", "102/0", "2/0"}));
    const std::vector<std::string>& lines = win::TranscriptLines();
    for (const char* line : {"    not done: a group box takes no click", "    not done: the list has no item \"7\"",
                             "    not done: no control \"Nothing\" in this dialog", "  user: close"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
}

TEST_F(HostDialogsTest, ADialogThatIgnoresEscapeIsClosedByTheDriver) {
    EXPECT_EQ(Run(), win::IDCANCEL);
    EXPECT_EQ(win::TranscriptLines().back(), "  -> 2 (the dialog stayed open after Escape; the driver closed it)");
}

TEST_F(HostDialogsTest, RadioButtonsAndFocus) {
    std::vector<int32_t> checks;
    int32_t focused = 0;
    // The debug panel's radio buttons: checking one unchecks the others.
    Handler() = [&](win::Hwnd dialog, uint32_t message, uintptr_t wParam) -> int32_t {
        if (message == win::WM_INITDIALOG) {
            setValue(dialog, 103, 1, kVersion);
            setValue(dialog, 105, 1, kVersion);
            focusControl(dialog, 107, kVersion);
            focused = win::GetDlgCtrlID(win::GetFocus());
            return 1;
        }
        if (message == win::WM_COMMAND && (wParam & 0xFFFF) == win::IDOK) {
            for (int32_t radio = 102; radio <= 106; ++radio) {
                checks.push_back(getValue(dialog, radio, 1, kVersion));
            }
            endDialog(dialog, 1, kVersion);
        }
        return 0;
    };
    win::QueueFormAction("#20129", {win::FormAction::Kind::Click, "106"});
    win::QueueFormAction("#20129", {win::FormAction::Kind::Click, "OK"});
    EXPECT_EQ(runDialog(lumvar::kDebugPanelResource, Procedure, m_host->MainWindow(), 1, 0, kVersion), 1);
    EXPECT_EQ(checks, (std::vector<int32_t>{0, 0, 0, 0, 1}));
    EXPECT_EQ(focused, 107);
    EXPECT_EQ(focusControl(m_host->MainWindow(), 107, kVersion), 0) << "no such control";
}

TEST_F(HostDialogsTest, ADialogInsideADialog) {
    int32_t inner = 0;
    win::Hwnd outer = win::kNoWindow;
    Handler() = [&](win::Hwnd dialog, uint32_t message, uintptr_t wParam) -> int32_t {
        const int32_t id = static_cast<int32_t>(wParam & 0xFFFF);
        if (message == win::WM_INITDIALOG && outer == win::kNoWindow) {
            outer = dialog;
        } else if (message == win::WM_COMMAND && dialog != outer && id == win::IDCANCEL) {
            EXPECT_EQ(host::OpenHostDialogs(), 2);
            endDialog(dialog, 9, kVersion);
        } else if (message == win::WM_COMMAND && dialog == outer && id == 110) {
            win::QueueFormAction("#20129", {win::FormAction::Kind::Click, "Cancel"});
            inner = runDialog(lumvar::kDebugPanelResource, Procedure, dialog, 1, 0, kVersion);
        } else if (message == win::WM_COMMAND && dialog == outer && id == win::IDOK) {
            endDialog(dialog, 1, kVersion);
        }
        return 0;
    };
    Queue(win::FormAction::Kind::Click, "110");
    Queue(win::FormAction::Kind::Click, "OK");
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(inner, 9);
}

TEST_F(HostDialogsTest, RefusedCalls) {
    EXPECT_EQ(runDialog(999, Procedure, m_host->MainWindow(), 1, 0, kVersion), -1) << "no such template";
    EXPECT_EQ(win::TranscriptLines().back(), "host: no dialog template 999 in the plug-ins");
    EXPECT_EQ(runDialog(20128, nullptr, m_host->MainWindow(), 1, 0, kVersion), -1) << "no procedure";
    EXPECT_EQ(runDialog(20128, Procedure, m_host->MainWindow(), 1, 0, 0x1234), -1) << "an unknown version";
    EXPECT_EQ(endDialog(m_host->MainWindow(), 1, kVersion), 0) << "not a host-run dialog";
    EXPECT_EQ(enableControl(m_host->MainWindow(), 1, 0, kVersion), 0);
    EXPECT_EQ(setValue(m_host->MainWindow(), 5, 1, kVersion), 0);
    EXPECT_EQ(setText(m_host->MainWindow(), 5, "x", kVersion), 0);
    EXPECT_EQ(getValue(m_host->MainWindow(), 5, 1, kVersion), 0);
}

}  // namespace
