#include "platform/host/host_dialogs.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/document_windows.h"
#include "platform/host/host.h"
#include "platform/host/host_state.h"
#include "platform/hostapi/services.h"
#include "platform/win/dialog_resources.h"
#include "platform/win/menus.h"
#include "platform/win/message_box.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"
#include "platform/win/windows.h"

namespace host {
namespace {

using hostapi::InterfaceVersion;
using win::DialogControlKind;

using detail::DialogControl;
using detail::HostDialog;

/// The dialogs running now, innermost last.
std::vector<std::unique_ptr<HostDialog>>& Running() {
    return detail::State().dialogs;
}

HostDialog* DialogOf(win::Hwnd window) {
    for (const auto& dialog : Running()) {
        if (dialog->window == window) {
            return dialog.get();
        }
    }
    return nullptr;
}

DialogControl* ControlOf(HostDialog& dialog, int32_t id) {
    for (const auto& control : dialog.controls) {
        if (control->id == id && id != win::IDC_STATIC) {
            return control.get();
        }
    }
    return nullptr;
}

/// The direct child of any window with a control id.
win::Hwnd ChildWithId(win::Hwnd parent, int32_t id) {
    if (parent == win::kNoWindow || !win::IsWindow(parent)) {
        return win::kNoWindow;
    }
    for (const win::Hwnd child : win::GetChildWindows(parent)) {
        if (win::GetDlgCtrlID(child) == id) {
            return child;
        }
    }
    return win::kNoWindow;
}

const char* ClassOf(DialogControlKind kind) {
    switch (kind) {
        case DialogControlKind::Label:
            return "Static";
        case DialogControlKind::Edit:
            return "Edit";
        case DialogControlKind::DropDownList:
            return "ComboBox";
        default:
            return "Button";
    }
}

const char* KindName(DialogControlKind kind) {
    switch (kind) {
        case DialogControlKind::Label:
            return "label";
        case DialogControlKind::GroupBox:
            return "group box";
        case DialogControlKind::Button:
        case DialogControlKind::DefaultButton:
            return "button";
        case DialogControlKind::CheckBox:
            return "check box";
        case DialogControlKind::RadioButton:
            return "radio button";
        case DialogControlKind::Edit:
            return "edit";
        case DialogControlKind::DropDownList:
            return "drop-down list";
    }
    return "control";
}

bool IsCheckable(DialogControlKind kind) {
    return kind == DialogControlKind::CheckBox || kind == DialogControlKind::RadioButton;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

void SetSelected(DialogControl& control, int32_t item) {
    control.selected = item >= 0 && item < static_cast<int32_t>(control.items.size()) ? item : -1;
    win::SetWindowText(control.window,
                       control.selected >= 0 ? control.items[static_cast<size_t>(control.selected)] : "");
}

void CheckRadio(HostDialog& dialog, DialogControl& radio) {
    for (const auto& other : dialog.controls) {
        if (other->kind == DialogControlKind::RadioButton) {
            other->check = win::BST_UNCHECKED;
        }
    }
    radio.check = win::BST_CHECKED;
}

/// The standard messages of the controls.
intptr_t ControlMessage(DialogControl& control, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case win::BM_GETCHECK:
            return IsCheckable(control.kind) ? control.check : 0;
        case win::BM_SETCHECK:
            if (IsCheckable(control.kind)) {
                control.check = static_cast<int32_t>(std::min<uintptr_t>(wParam, win::BST_INDETERMINATE));
            }
            return 0;
        case win::CB_ADDSTRING:
            if (control.kind != DialogControlKind::DropDownList || lParam == 0) {
                return win::CB_ERR;
            }
            control.items.emplace_back(reinterpret_cast<const char*>(lParam));
            return static_cast<intptr_t>(control.items.size() - 1);
        case win::CB_RESETCONTENT:
            control.items.clear();
            SetSelected(control, -1);
            return 0;
        case win::CB_GETCOUNT:
            return static_cast<intptr_t>(control.items.size());
        case win::CB_GETCURSEL:
            return control.selected;
        case win::CB_SETCURSEL: {
            const auto item = static_cast<int32_t>(static_cast<intptr_t>(wParam));
            SetSelected(control, item);
            return control.selected == item ? item : win::CB_ERR;
        }
        default:
            return 0;
    }
}

void Command(HostDialog& dialog, int32_t id, uint16_t notification, win::Hwnd control) {
    dialog.procedure(dialog.window, win::WM_COMMAND, win::MakeCommandParam(id, notification),
                     static_cast<intptr_t>(control));
}

void WriteDialog(const HostDialog& dialog, std::string_view caption) {
    win::TranscriptWrite("[dialog] " + Quote(caption) + " " + std::to_string(dialog.resource) + " of " + dialog.plugin +
                         ", modal");
    for (const auto& control : dialog.controls) {
        if (!win::IsWindowVisible(control->window)) {
            continue;
        }
        std::string line = std::string("  ") + KindName(control->kind) + " " +
                           (control->id == win::IDC_STATIC ? std::string("-") : std::to_string(control->id));
        const std::string text = win::GetWindowText(control->window);
        switch (control->kind) {
            case DialogControlKind::CheckBox:
            case DialogControlKind::RadioButton:
                line += " " + Quote(text) + ": " +
                        (control->check == win::BST_CHECKED         ? "checked"
                         : control->check == win::BST_INDETERMINATE ? "greyed"
                                                                    : "unchecked");
                break;
            case DialogControlKind::Edit:
            case DialogControlKind::DropDownList:
                line += ": " + Quote(text);
                break;
            default:
                line += " " + Quote(text);
        }
        if (control->kind == DialogControlKind::DefaultButton) {
            line += " (default)";
        }
        if (!control->enabled) {
            line += " (disabled)";
        }
        win::TranscriptWrite(line);
    }
}

DialogControl* FindUserControl(HostDialog& dialog, const std::string& name) {
    for (const auto& control : dialog.controls) {
        if (control->id != win::IDC_STATIC && std::to_string(control->id) == name) {
            return control.get();
        }
    }
    const std::string wanted = Lower(name);
    for (const auto& control : dialog.controls) {
        if (Lower(win::StripAccelerators(win::GetWindowText(control->window))) == wanted) {
            return control.get();
        }
    }
    return nullptr;
}

std::optional<int32_t> CheckValue(const std::string& value) {
    const std::string word = Lower(value);
    if (word == "1" || word == "checked" || word == "on" || word == "yes") {
        return win::BST_CHECKED;
    }
    if (word == "0" || word == "unchecked" || word == "off" || word == "no") {
        return win::BST_UNCHECKED;
    }
    if (word == "2" || word == "greyed" || word == "grayed") {
        return win::BST_INDETERMINATE;
    }
    return std::nullopt;
}

/// Carries out one user action; answers why it could not be done ("" when it was).
std::string Perform(HostDialog& dialog, const win::FormAction& action) {
    if (action.kind == win::FormAction::Kind::Close) {
        Command(dialog, win::IDCANCEL, win::BN_CLICKED, win::kNoWindow);
        return "";
    }
    DialogControl* control = FindUserControl(dialog, action.control);
    if (control == nullptr) {
        return "no control " + Quote(action.control) + " in this dialog";
    }
    if (!win::IsWindowVisible(control->window)) {
        return "the control is not visible";
    }
    if (!control->enabled) {
        return "the control is disabled";
    }
    win::SetFocus(control->window);
    const auto click = [&] {
        if (control->kind == DialogControlKind::CheckBox) {
            control->check = control->check == win::BST_CHECKED ? win::BST_UNCHECKED : win::BST_CHECKED;
        } else if (control->kind == DialogControlKind::RadioButton) {
            CheckRadio(dialog, *control);
        }
        Command(dialog, control->id, win::BN_CLICKED, control->window);
    };
    if (action.kind == win::FormAction::Kind::Click) {
        switch (control->kind) {
            case DialogControlKind::Button:
            case DialogControlKind::DefaultButton:
            case DialogControlKind::CheckBox:
            case DialogControlKind::RadioButton:
                click();
                return "";
            default:
                return std::string("a ") + KindName(control->kind) + " takes no click";
        }
    }
    switch (control->kind) {
        case DialogControlKind::CheckBox:
        case DialogControlKind::RadioButton: {
            const std::optional<int32_t> value = CheckValue(action.value);
            if (!value) {
                return Quote(action.value) + " is no check state";
            }
            if (*value != control->check) {
                if (control->kind == DialogControlKind::CheckBox && *value == win::BST_INDETERMINATE) {
                    control->check = win::BST_INDETERMINATE;
                    Command(dialog, control->id, win::BN_CLICKED, control->window);
                } else if (control->kind == DialogControlKind::RadioButton && *value != win::BST_CHECKED) {
                    return "a radio button is unchecked by checking another";
                } else {
                    click();
                }
            }
            return "";
        }
        case DialogControlKind::Edit:
            win::SetWindowText(control->window, action.value);
            Command(dialog, control->id, win::EN_CHANGE, control->window);
            return "";
        case DialogControlKind::DropDownList: {
            int32_t item = -1;
            for (size_t i = 0; i < control->items.size(); ++i) {
                if (Lower(control->items[i]) == Lower(action.value)) {
                    item = static_cast<int32_t>(i);
                    break;
                }
            }
            if (item < 0 && !action.value.empty() &&
                std::all_of(action.value.begin(), action.value.end(),
                            [](unsigned char c) { return std::isdigit(c); }) &&
                action.value.size() < 6) {
                item = std::stoi(action.value);
            }
            if (item < 0 || item >= static_cast<int32_t>(control->items.size())) {
                return "the list has no item " + Quote(action.value);
            }
            SetSelected(*control, item);
            Command(dialog, control->id, win::CBN_SELCHANGE, control->window);
            return "";
        }
        default:
            return std::string("a ") + KindName(control->kind) + " takes no value";
    }
}

/// Builds the dialog's windows from its template.
void Build(HostDialog& dialog, const win::DialogTemplate& resource, win::Hwnd owner) {
    dialog.window = win::CreateWindow({.className = "#32770", .title = std::string(resource.caption), .owner = owner});
    for (const win::DialogControlTemplate& item : resource.controls) {
        auto control = std::make_unique<DialogControl>();
        control->kind = item.kind;
        control->id = item.id;
        control->window = win::CreateWindow(
            {.className = ClassOf(item.kind), .title = std::string(item.text), .parent = dialog.window, .id = item.id});
        DialogControl* raw = control.get();
        win::SetWindowProc(control->window, [raw](win::Hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam) {
            return ControlMessage(*raw, message, wParam, lParam);
        });
        if (item.kind == DialogControlKind::DropDownList) {
            win::SetWindowText(control->window, "");
        }
        dialog.controls.push_back(std::move(control));
    }
}

int32_t RunDialog(int32_t resource, hostapi::DialogProc procedure, win::Hwnd owner, int32_t /*one*/, int32_t /*zero*/,
                  InterfaceVersion version) {
    Host* host = Host::Current();
    if (host == nullptr || procedure == nullptr ||
        (version != hostapi::kInterfaceVersion && version != hostapi::kInterfaceVersion2001)) {
        return -1;
    }
    const win::DialogTemplate* found = nullptr;
    std::string plugin;
    for (const auto& [name, module] : host->DialogTemplateModules()) {
        if ((found = win::FindDialogTemplate(module, resource)) != nullptr) {
            plugin = name;
            break;
        }
    }
    if (found == nullptr) {
        win::TranscriptWrite("host: no dialog template " + std::to_string(resource) + " in the plug-ins");
        return -1;
    }
    const win::Hwnd previousForeground = win::GetForegroundWindow();
    const win::Hwnd previousFocus = win::GetFocus();
    auto owned = std::make_unique<HostDialog>();
    HostDialog& dialog = *owned;
    dialog.resource = resource;
    dialog.plugin = plugin;
    dialog.procedure = procedure;
    Build(dialog, *found, owner);
    Running().push_back(std::move(owned));
    win::SetForegroundWindow(dialog.window);
    win::SetFocus(dialog.window);
    const win::Hwnd firstControl = dialog.controls.empty() ? win::kNoWindow : dialog.controls.front()->window;
    procedure(dialog.window, win::WM_INITDIALOG, static_cast<uintptr_t>(firstControl), 0);
    if (!dialog.result) {
        WriteDialog(dialog, found->caption);
    }
    const std::string driverClass = "#" + std::to_string(resource);
    std::string note;
    bool escaped = false;
    while (!dialog.result) {
        if (auto action = win::TakeFormAction(driverClass)) {
            win::TranscriptWrite("  user: " + win::FormActionText(*action));
            const std::string reason = Perform(dialog, *action);
            if (!reason.empty()) {
                win::TranscriptWrite("    not done: " + reason);
            }
            continue;
        }
        if (!escaped) {
            escaped = true;
            note = " (no action was queued: Escape)";
            win::TranscriptWrite("  user: Escape");
            Command(dialog, win::IDCANCEL, win::BN_CLICKED, win::kNoWindow);
            continue;
        }
        note = " (the dialog stayed open after Escape; the driver closed it)";
        dialog.result = win::IDCANCEL;
    }
    const int32_t result = *dialog.result;
    win::TranscriptWrite("  -> " + std::to_string(result) + note);
    win::DestroyWindow(dialog.window);
    std::erase_if(Running(), [&](const auto& running) { return running.get() == &dialog; });
    if (win::IsWindow(previousForeground)) {
        win::SetForegroundWindow(previousForeground);
    }
    if (win::IsWindow(previousFocus)) {
        win::SetFocus(previousFocus);
    }
    return result;
}

int16_t EndDialog(win::Hwnd window, int32_t result, InterfaceVersion /*version*/) {
    HostDialog* dialog = DialogOf(window);
    if (dialog == nullptr) {
        return 0;
    }
    dialog->result = result;
    return 1;
}

int16_t EnableControl(win::Hwnd window, int32_t id, int16_t enable, InterfaceVersion /*version*/) {
    HostDialog* dialog = DialogOf(window);
    DialogControl* control = dialog == nullptr ? nullptr : ControlOf(*dialog, id);
    if (control == nullptr) {
        return 0;
    }
    control->enabled = enable != 0;
    return 1;
}

int16_t FocusControl(win::Hwnd window, int32_t id, InterfaceVersion /*version*/) {
    const win::Hwnd control = ChildWithId(window, id);
    if (control == win::kNoWindow) {
        return 0;
    }
    win::SetFocus(control);
    return 1;
}

int32_t GetControlValue(win::Hwnd window, int32_t id, int32_t kind, InterfaceVersion /*version*/) {
    const win::Hwnd control = ChildWithId(window, id);
    if (control == win::kNoWindow) {
        return 0;
    }
    switch (kind) {
        case 1:
            return static_cast<int32_t>(win::SendMessage(control, win::BM_GETCHECK));
        case 2: {
            const intptr_t selected = win::SendMessage(control, win::CB_GETCURSEL);
            return selected < 0 ? 0 : static_cast<int32_t>(selected + 1);
        }
        case 3:
            return ReadControlValue(window, id, 3);
        default:
            return 0;
    }
}

int16_t SetControlValue(win::Hwnd window, int32_t id, int32_t value, InterfaceVersion /*version*/) {
    const win::Hwnd control = ChildWithId(window, id);
    if (control == win::kNoWindow) {
        return 0;
    }
    HostDialog* dialog = DialogOf(window);
    DialogControl* known = dialog == nullptr ? nullptr : ControlOf(*dialog, id);
    const std::string className = win::GetClassName(control);
    if (known != nullptr && known->kind == DialogControlKind::RadioButton && value == win::BST_CHECKED) {
        CheckRadio(*dialog, *known);
    } else if (known != nullptr ? IsCheckable(known->kind) : className == "Button") {
        win::SendMessage(control, win::BM_SETCHECK, static_cast<uintptr_t>(std::clamp(value, 0, 2)));
    } else if (known != nullptr ? known->kind == DialogControlKind::DropDownList : className == "ComboBox") {
        win::SendMessage(control, win::CB_SETCURSEL, static_cast<uintptr_t>(static_cast<intptr_t>(value - 1)));
    } else {
        win::SetWindowText(control, std::to_string(value));
    }
    return 1;
}

int16_t GetControlText(win::Hwnd window, int32_t id, char* buffer, int32_t size, InterfaceVersion /*version*/) {
    const win::Hwnd control = ChildWithId(window, id);
    if (control == win::kNoWindow || buffer == nullptr || size < 1) {
        return 0;
    }
    const std::string text = win::Utf8ToAnsi(win::GetWindowText(control));
    const size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return 1;
}

int16_t SetControlText(win::Hwnd window, int32_t id, const char* text, InterfaceVersion /*version*/) {
    const win::Hwnd control = ChildWithId(window, id);
    if (control == win::kNoWindow || text == nullptr) {
        return 0;
    }
    win::SetWindowText(control, win::AnsiToUtf8(text));
    return 1;
}

template <typename Fn>
void* Address(Fn function) {
    return reinterpret_cast<void*>(function);
}

}  // namespace

void* DialogServiceByOrdinal(int32_t ordinal) {
    using hostapi::Service;
    switch (static_cast<Service>(ordinal)) {
        case Service::RunDialog:
            return Address<hostapi::RunDialogFn>(RunDialog);
        case Service::EndDialog:
            return Address<hostapi::EndDialogFn>(EndDialog);
        case Service::EnableControl:
            return Address<hostapi::EnableControlFn>(EnableControl);
        case Service::FocusControl:
            return Address<hostapi::FocusControlFn>(FocusControl);
        case Service::GetControlValue:
            return Address<hostapi::GetControlValueFn>(GetControlValue);
        case Service::SetControlValue:
            return Address<hostapi::SetControlValueFn>(SetControlValue);
        case Service::GetControlText:
            return Address<hostapi::GetControlTextFn>(GetControlText);
        case Service::SetControlText:
            return Address<hostapi::SetControlTextFn>(SetControlText);
        default:
            return nullptr;
    }
}

int32_t OpenHostDialogs() {
    return static_cast<int32_t>(Running().size());
}

}  // namespace host
