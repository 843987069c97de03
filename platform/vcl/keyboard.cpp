// The keyboard in the class library: the window system's key messages reach the key events of
// the control that has the focus; dialog keys move the focus (Tab, the arrows) or click buttons
// (Enter, Escape); the message loop of a modal form gives its dialog keys and Alt accelerators
// to the form before it dispatches them; and the keys a user presses in a form through the UI
// driver go through the window system's input, as a keyboard's do.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/windows.h"

namespace vcl {
namespace {

bool IsDialogKey(uint16_t key) {
    return key == win::VK_TAB || (key >= win::VK_LEFT && key <= win::VK_DOWN) || key == win::VK_RETURN ||
           key == win::VK_ESCAPE || key == win::VK_CANCEL;
}

bool IsArrowKey(uint16_t key) {
    return key >= win::VK_LEFT && key <= win::VK_DOWN;
}

/// The windowed control of this module whose window it is; nullptr for another window.
TWinControl* FindControl(TWinControl& parent, win::Hwnd window) {
    if (parent.HandleAllocated() && parent.Handle() == window) {
        return &parent;
    }
    for (int32_t i = 0; i < parent.ControlCount(); ++i) {
        if (auto* child = dynamic_cast<TWinControl*>(parent.Controls(i))) {
            if (TWinControl* found = FindControl(*child, window)) {
                return found;
            }
        }
    }
    return nullptr;
}

TWinControl* FindControl(win::Hwnd window) {
    for (int32_t i = 0; i < Screen->FormCount(); ++i) {
        if (TWinControl* found = FindControl(*Screen->Forms(i), window)) {
            return found;
        }
    }
    return nullptr;
}

/// What the class library's modal loop does with a key message before it dispatches it: the
/// control's form takes the dialog keys and the Alt accelerators.
bool ModalLoopTakes(const win::Msg& message) {
    uint32_t notification = 0;
    switch (message.message) {
        case win::WM_KEYDOWN:
            notification = CN_KEYDOWN;
            break;
        case win::WM_SYSKEYDOWN:
            notification = CN_SYSKEYDOWN;
            break;
        case win::WM_SYSCHAR:
            notification = CN_SYSCHAR;
            break;
        default:
            return false;
    }
    TWinControl* control = FindControl(message.window);
    return control != nullptr && control->Perform(notification, message.wParam, message.lParam) != 0;
}

}  // namespace

TShiftState KeyboardShiftState() {
    const auto down = [](uint16_t key) { return (win::GetKeyState(key) & 0x8000) != 0; };
    return static_cast<TShiftState>((down(win::VK_SHIFT) ? ssShift : 0) | (down(win::VK_MENU) ? ssAlt : 0) |
                                    (down(win::VK_CONTROL) ? ssCtrl : 0));
}

// ---- Key messages and key events ----

bool TWinControl::KeyMessage(TMessage& message) {
    auto key = static_cast<uint16_t>(message.WParam);
    switch (message.Msg) {
        case win::WM_KEYDOWN:
        case win::WM_SYSKEYDOWN:
            DoKey(&TWinControl::KeyDown, key, KeyboardShiftState());
            return key == 0;  // a key that an event took gets no default handling
        case win::WM_KEYUP:
        case win::WM_SYSKEYUP:
            DoKey(&TWinControl::KeyUp, key, KeyboardShiftState());
            return key == 0;
        case win::WM_CHAR: {
            auto character = static_cast<char>(message.WParam);
            DoKeyPress(character);
            return true;
        }
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN: {
            TForm* form = ParentForm();
            message.Result = IsDialogKey(key) && !WantsKey(key) && form != nullptr
                                 ? form->Perform(CM_DIALOGKEY, key, message.LParam)
                                 : 0;
            return true;
        }
        case CN_SYSCHAR: {
            TForm* form = ParentForm();
            message.Result = form != nullptr ? form->Perform(CM_DIALOGCHAR, message.WParam, message.LParam) : 0;
            return true;
        }
        case CM_DIALOGKEY:
            message.Result = DialogKey(key, KeyboardShiftState()) ? 1 : 0;
            return true;
        default:
            return false;
    }
}

void TWinControl::DoKey(void (TWinControl::*event)(uint16_t&, TShiftState), uint16_t& key, TShiftState shift) {
    TForm* form = ParentForm();
    if (form != nullptr && form != this && form->KeyPreview()) {
        (form->*event)(key, shift);
    }
    if (key != 0) {
        (this->*event)(key, shift);
    }
}

void TWinControl::DoKeyPress(char& key) {
    TForm* form = ParentForm();
    if (form != nullptr && form != this && form->KeyPreview()) {
        form->KeyPress(key);
    }
    if (key != 0) {
        KeyPress(key);
    }
}

void TWinControl::PressKey(uint16_t key, TShiftState shift) {
    TForm* form = ParentForm();
    uint16_t down = key;
    DoKey(&TWinControl::KeyDown, down, shift);
    if (down != 0 && (down == win::VK_RETURN || down == win::VK_ESCAPE) && !WantsKey(down) && form != nullptr) {
        form->ClickDialogButton(down == win::VK_ESCAPE);
    }
    if (down != 0) {
        if (char c = KeyChar(down, shift); c != 0) {
            DoKeyPress(c);
        }
    }
    uint16_t up = key;
    DoKey(&TWinControl::KeyUp, up, shift);
}

void TWinControl::KeyDown(uint16_t& key, TShiftState shift) {
    if (OnKeyDown && EventsAllowed()) {
        OnKeyDown(this, key, shift);
    }
}

void TWinControl::KeyUp(uint16_t& key, TShiftState shift) {
    if (OnKeyUp && EventsAllowed()) {
        OnKeyUp(this, key, shift);
    }
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress && EventsAllowed()) {
        OnKeyPress(this, key);
    }
}

// ---- Dialog keys ----

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
    std::vector<TWinControl*> order;
    const auto collect = [&order](auto&& self, const TWinControl& parent) -> void {
        for (TWinControl* child : parent.m_tabList) {
            order.push_back(child);
            self(self, *child);
        }
    };
    collect(collect, *this);
    if (order.empty()) {
        return;
    }
    const size_t count = order.size();
    const auto found = std::find(order.begin(), order.end(), current);
    const size_t start = found != order.end() ? static_cast<size_t>(found - order.begin()) : forward ? count - 1 : 0;
    size_t i = start;
    do {
        i = forward ? (i + 1) % count : (i + count - 1) % count;
        TWinControl* next = order[i];
        if (next->CanFocus() && (checkTabStop ? next->TabStop() : next->Parent() == this && next->TakesArrowFocus())) {
            next->SetFocus();
            return;
        }
    } while (i != start);
}

bool TForm::DialogKey(uint16_t key, TShiftState shift) {
    if ((shift & ssAlt) == 0) {
        if (key == win::VK_TAB && (shift & ssCtrl) == 0) {
            SelectNext(m_activeControl, (shift & ssShift) == 0, true);
            return true;
        }
        if (IsArrowKey(key)) {
            if (m_activeControl == nullptr || m_activeControl->Parent() == nullptr) {
                return false;
            }
            m_activeControl->Parent()->SelectNext(m_activeControl, key == win::VK_RIGHT || key == win::VK_DOWN, false);
            return true;
        }
    }
    return TWinControl::DialogKey(key, shift);
}

bool TButton::DialogKey(uint16_t key, TShiftState shift) {
    if (shift != 0 || !CanFocus()) {
        return false;
    }
    // Enter clicks the focused button, else the default one; Escape the cancel button.
    const TForm* form = ParentForm();
    const TWinControl* active = form != nullptr ? form->ActiveControl() : nullptr;
    const bool focusedButton = dynamic_cast<const TButton*>(active) != nullptr;
    if ((key == win::VK_RETURN && (active == this || (Default() && !focusedButton))) ||
        (key == win::VK_ESCAPE && Cancel())) {
        Click();
        return true;
    }
    return false;
}

// ---- The user's keys through the UI driver ----

std::string TForm::PerformKeys(const win::FormAction& action) {
    if (action.kind == win::FormAction::Kind::Press) {
        const std::optional<win::KeyStroke> stroke = win::ParseKeyStroke(action.value);
        if (!stroke) {
            return "no key " + QuoteForTranscript(action.value);
        }
        win::QueueUserKey(stroke->key, stroke->shift, stroke->ctrl, stroke->alt);
    } else {
        std::string untypable;
        if (!win::QueueUserText(action.value, &untypable)) {
            return "the keyboard has no key for " + QuoteForTranscript(untypable);
        }
    }
    // The keys go to the active window: the user clicks the form's caption first when another
    // window is active.
    if (HandleAllocated() && win::GetActiveWindow() != Handle()) {
        win::SetForegroundWindow(Handle());
    }
    // A modal form's own loop takes the keys; a modeless one's come through the host's loop.
    if (m_modal) {
        win::PumpInput(ModalLoopTakes);
    } else {
        win::PumpInput();
    }
    return "";
}

}  // namespace vcl
