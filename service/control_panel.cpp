#include "service/control_panel.h"

#include <array>
#include <cstdio>
#include <string>

#include "platform/hostapi/types.h"
#include "platform/win/message_box.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "service/host_imports.h"
#include "service/lumvar.h"
#include "service/module_state.h"
#include "service/preferences.h"
#include "service/translations.h"
#include "service/window_services.h"

namespace lumvar {
namespace {

using win::DialogControlKind;
using win::DialogControlTemplate;
using win::DialogTemplate;

/// The debug panel's text field holds at most this many bytes.
constexpr int32_t kMaxDebugText = 200;
constexpr int16_t kDebugPanelKeys = 0x08;  ///< Ctrl+Shift
constexpr int32_t kCheckState = 1;         ///< kind of service 57: a check box's state
constexpr int32_t kListSelection = 2;      ///< kind of service 57: a list's item, counted from 1

PanelState& State() {
    return Module().controlPanel;
}

// clang-format off
const DialogTemplate& ControlPanelTemplate() {
    static const DialogTemplate kTemplate{kControlPanelResource, "Lumvar - Control Panel", 230, 161, {
        {DialogControlKind::GroupBox,      kPreferencesGroup, "Plug-in preferences",              7,   7, 216, 86},
        {DialogControlKind::CheckBox,      kSecondMonitorBox, "Allow windows on second monitor", 15,  19, 200, 10},
        {DialogControlKind::CheckBox,      kUpdateLayoutBox,  "Update layout when needed",       15,  33, 200, 10},
        {DialogControlKind::CheckBox,      kReturnFocusBox,   "Return focus to Finale",          15,  47, 200, 10},
        {DialogControlKind::CheckBox,      kCollapseBox,      "Collapse window when losing focus", 15, 61, 200, 10},
        {DialogControlKind::CheckBox,      kTransparentBox,   "Transparent in Windows 2000",     27,  75, 188, 10},
        {DialogControlKind::Label,         win::IDC_STATIC,   "Prefered languages for plug-ins:", 7, 100, 130,  8},
        {DialogControlKind::DropDownList,  kLanguageList,     "",                                 7, 111, 130, 80},
        {DialogControlKind::Label,         win::IDC_STATIC,   "Lumvar version:",                146, 100,  70,  8},
        {DialogControlKind::Label,         kVersionText,      "---",                            146, 112,  70,  8},
        {DialogControlKind::Button,        kWebPageButton,    "Lumvar WWW page...",               7, 140,  80, 14},
        {DialogControlKind::DefaultButton, win::IDOK,         "OK",                             116, 140,  50, 14},
        {DialogControlKind::Button,        win::IDCANCEL,     "Cancel",                         173, 140,  50, 14},
    }};
    return kTemplate;
}

const DialogTemplate& DebugPanelTemplate() {
    static const DialogTemplate kTemplate{kDebugPanelResource, "Lumvar Debug Panel", 157, 127, {
        {DialogControlKind::GroupBox,      kEventGroup,          "Event type",         7,   7, 143, 90},
        {DialogControlKind::RadioButton,   kFirstEventRadio,     "Debug Event &1",    15,  19, 120, 10},
        {DialogControlKind::RadioButton,   kFirstEventRadio + 1, "Debug Event &2",    15,  32, 120, 10},
        {DialogControlKind::RadioButton,   kFirstEventRadio + 2, "Debug Event &3",    15,  45, 120, 10},
        {DialogControlKind::RadioButton,   kFirstEventRadio + 3, "Debug Event &4",    15,  58, 120, 10},
        {DialogControlKind::RadioButton,   kTextEventRadio,      "&Text Debug Event", 15,  71, 120, 10},
        {DialogControlKind::Edit,          kEventTextEdit,       "",                  27,  82, 115, 12},
        {DialogControlKind::Button,        kSendEventButton,     "&Send Event",        7, 106,  50, 14},
        {DialogControlKind::DefaultButton, win::IDOK,            "OK",                63, 106,  40, 14},
        {DialogControlKind::Button,        win::IDCANCEL,        "Cancel",           110, 106,  40, 14},
    }};
    return kTemplate;
}
// clang-format on

bool LayeredWindowsAvailable() {
    win::OsVersionInfo version;
    return win::GetVersionEx(version) && version.platformId == win::VER_PLATFORM_WIN32_NT && version.majorVersion > 4;
}

std::string VersionText() {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d", kMajorVersion, kMinorVersion);
    return text;
}

int32_t Value(win::Hwnd dialog, int32_t control, int32_t kind) {
    const auto get = Imports().GetControlValue;
    return get == nullptr ? 0 : get(dialog, control, kind, hostapi::kInterfaceVersion);
}

void SetValue(win::Hwnd dialog, int32_t control, int32_t value) {
    if (const auto set = Imports().SetControlValue) {
        set(dialog, control, value, hostapi::kInterfaceVersion);
    }
}

void SetText(win::Hwnd dialog, int32_t control, const std::string& text) {
    if (const auto set = Imports().SetControlText) {
        set(dialog, control, text.c_str(), hostapi::kInterfaceVersion);
    }
}

void Focus(win::Hwnd dialog, int32_t control) {
    if (const auto focus = Imports().FocusControl) {
        focus(dialog, control, hostapi::kInterfaceVersion);
    }
}

void End(win::Hwnd dialog, int32_t result) {
    if (const auto end = Imports().EndDialog) {
        end(dialog, result, hostapi::kInterfaceVersion);
    }
}

int32_t CommandId(uintptr_t wParam) {
    return static_cast<int32_t>(wParam & 0xFFFF);
}

uint16_t Notification(uintptr_t wParam) {
    return static_cast<uint16_t>((wParam >> 16) & 0xFFFF);
}

// ---- The control panel ----

void OpenControlPanel(win::Hwnd dialog) {
    State().opened = {UserLanguage(),        ULWhenNeeded(),     Allow2ndMonitor(),
                      ReturnFocusToFinale(), NonFocusCollapse(), TransparencyFlag()};
    const auto& opened = State().opened;
    SetValue(dialog, kSecondMonitorBox, opened[2]);
    SetValue(dialog, kUpdateLayoutBox, opened[1]);
    SetValue(dialog, kReturnFocusBox, opened[3]);
    SetValue(dialog, kCollapseBox, opened[4]);
    SetValue(dialog, kTransparentBox, opened[5]);
    // The list's own messages fill it; the host's list value is 1-based.
    const win::Hwnd list = GetControl(dialog, kLanguageList);
    win::SendMessage(list, win::CB_RESETCONTENT);
    for (int16_t language = 0; language < kLanguageCount; ++language) {
        const std::string name = TranslatedId(0, 1, language);
        win::SendMessage(list, win::CB_ADDSTRING, 0, reinterpret_cast<intptr_t>(name.c_str()));
    }
    SetValue(dialog, kLanguageList, opened[0] + 1);
    SetText(dialog, kVersionText, VersionText());
    if (const auto enable = Imports().EnableControl) {
        enable(dialog, kTransparentBox, LayeredWindowsAvailable() ? 1 : 0, hostapi::kInterfaceVersion);
    }
}

void StoreControlPanel(win::Hwnd dialog) {
    SetSecondMonitorPreference(static_cast<int16_t>(Value(dialog, kSecondMonitorBox, kCheckState) != 0 ? 1 : 0));
    SetUpdateLayoutPreference(static_cast<int16_t>(Value(dialog, kUpdateLayoutBox, kCheckState) != 0 ? 1 : 0));
    const int32_t language = Value(dialog, kLanguageList, kListSelection) - 1;
    SetLanguagePreference(static_cast<int16_t>(std::clamp(language, 0, kLanguageCount - 1)));
    SetReturnFocusPreference(static_cast<int16_t>(Value(dialog, kReturnFocusBox, kCheckState) != 0 ? 1 : 0));
    SetCollapsePreference(static_cast<int16_t>(Value(dialog, kCollapseBox, kCheckState) != 0 ? 1 : 0));
    SetTransparencyPreference(static_cast<int16_t>(Value(dialog, kTransparentBox, kCheckState) != 0 ? 1 : 0));
    const std::array<int16_t, 6> now = {UserLanguage(),        ULWhenNeeded(),     Allow2ndMonitor(),
                                        ReturnFocusToFinale(), NonFocusCollapse(), TransparencyFlag()};
    constexpr std::array<uint8_t, 6> kCodes = {NOTIFY_LANGUAGE,     NOTIFY_UPDATE_LAYOUT, NOTIFY_SECOND_MONITOR,
                                               NOTIFY_RETURN_FOCUS, NOTIFY_COLLAPSE,      NOTIFY_TRANSPARENCY};
    for (size_t i = 0; i < now.size(); ++i) {
        if (now[i] != State().opened[i]) {
            NotifyValue(kCodes[i], now[i]);
        }
    }
}

// ---- The debug panel ----

void OpenDebugPanel(win::Hwnd dialog) {
    SetText(dialog, kEventTextEdit, State().lastText);
    const int32_t last = State().lastEvent;
    SetValue(dialog, last >= 0 && last < 4 ? kFirstEventRadio + last : kTextEventRadio, 1);
}

void SendDebugEvent(win::Hwnd dialog) {
    for (int32_t event = 0; event < 4; ++event) {
        if (Value(dialog, kFirstEventRadio + event, kCheckState) != 0) {
            State().lastEvent = event;
            NotifyBroadcast(static_cast<uint8_t>(NOTIFY_DEBUG_FIRST + event), 0, nullptr);
            return;
        }
    }
    std::array<char, kMaxDebugText + 1> text{};
    if (const auto get = Imports().GetControlText) {
        get(dialog, kEventTextEdit, text.data(), static_cast<int32_t>(text.size()), hostapi::kInterfaceVersion);
    }
    const std::string typed(text.data());
    if (typed.empty()) {
        ErrorBeep();
        Focus(dialog, kEventTextEdit);
        return;
    }
    State().lastText = typed;
    State().lastEvent = 4;
    NotifyBroadcast(NOTIFY_DEBUG_TEXT, static_cast<int32_t>(typed.size() + 1), typed.c_str());
}

}  // namespace

const win::DialogTemplate* DialogResource(int32_t resource) {
    if (resource == kControlPanelResource) {
        return &ControlPanelTemplate();
    }
    return resource == kDebugPanelResource ? &DebugPanelTemplate() : nullptr;
}

int32_t ControlPanelProc(win::Hwnd dialog, uint32_t message, uintptr_t wParam, intptr_t /*lParam*/) {
    if (message == win::WM_INITDIALOG) {
        OpenControlPanel(dialog);
        return 1;
    }
    if (message != win::WM_COMMAND) {
        return 0;
    }
    switch (CommandId(wParam)) {
        case win::IDOK:
            StoreControlPanel(dialog);
            End(dialog, 1);
            return 1;
        case win::IDCANCEL:
            End(dialog, 2);
            return 1;
        case kWebPageButton:
            LoadURL(kHelpPageAddress);
            return 1;
        default:
            return 0;
    }
}

int32_t DebugPanelProc(win::Hwnd dialog, uint32_t message, uintptr_t wParam, intptr_t /*lParam*/) {
    if (message == win::WM_INITDIALOG) {
        OpenDebugPanel(dialog);
        return 1;
    }
    if (message != win::WM_COMMAND) {
        return 0;
    }
    const int32_t id = CommandId(wParam);
    if (id == kEventTextEdit && Notification(wParam) == win::EN_CHANGE) {
        SetValue(dialog, kTextEventRadio, 1);  // typing a text chooses the text event
    } else if (id == kTextEventRadio && Notification(wParam) == win::BN_CLICKED) {
        Focus(dialog, kEventTextEdit);
    } else if (id == kSendEventButton) {
        SendDebugEvent(dialog);
    } else if (id == win::IDOK || id == win::IDCANCEL) {
        End(dialog, id);
    } else {
        return 0;
    }
    return 1;
}

int16_t DialogBox() {
    const auto run = Imports().RunDialog;
    if (run == nullptr) {
        NoteMissingHostService("host-run dialogs (service 15)");
        return 2;
    }
    if ((KeyPressed() & kDebugPanelKeys) != 0) {
        run(kDebugPanelResource, DebugPanelProc, Module().hostWindow, 1, 0, hostapi::kInterfaceVersion);
        return 2;
    }
    State().controlPanelResult = 2;
    const int32_t result =
        run(kControlPanelResource, ControlPanelProc, Module().hostWindow, 1, 0, hostapi::kInterfaceVersion);
    State().controlPanelResult = result == 1 ? 1 : 2;
    return State().controlPanelResult;
}

int16_t ControlPanelResult() {
    return State().controlPanelResult;
}

int32_t DebugPanelLastEvent() {
    return State().lastEvent;
}

const std::string& DebugPanelLastText() {
    return State().lastText;
}

}  // namespace lumvar
