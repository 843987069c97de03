// VxForm: the base form of the dialogs that remember their state. The form-state string holds
// the form's extra values, its position and size, and the value of every control of a known
// kind (by its index in the form's component list); it is kept per form in the registry under
// "Software\HALVORAN" and captured once, after construction, as the form's defaults.
//
// Sound reading: a state that cannot be wholly read (a damaged value, a value of another type,
// fewer items than the form has controls of known kinds, items of another layout of the form,
// extra texts cut at a "."), when the fallback is asked for, keeps every item that could be
// read and gives the other controls and extra values their defaults; no value goes to another
// control than the one it was written for, as far as the text can tell. Extra texts are written
// with their "." escaped (see VxForm_WriteState); states written before read as they did.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/vcl/forms.h"

namespace orvex {

/// The size of the collapse record that Lumvar2000's window-size service keeps for a window
/// (window handle, collapsed flag, saved width, saved height).
inline constexpr size_t kWindowCollapseStateSize = 14;

class VxForm : public vcl::TForm {
public:
    /// Sets CollapseMode to -1 and Scaled as the general option "Scale dialog boxes according
    /// to Windows font settings?" says. The default state is captured after the most derived
    /// constructor (Constructed).
    explicit VxForm(vcl::TComponent* owner);

    /// The collapse record of this window, zero at construction.
    std::array<uint8_t, kWindowCollapseStateSize>& CollapseState() { return m_collapseState; }
    /// -1: collapse on deactivation as Lumvar2000's preference says; 0: never; 1: always.
    int32_t CollapseMode() const { return m_collapseMode; }
    void SetCollapseMode(int32_t mode) { m_collapseMode = mode; }
    /// The form-state string of the form as it was built.
    const std::string& DefaultState() const { return m_defaultState; }

    /// Index 0: the number of extra integers; -1: the number of extra strings; i >= 1: extra
    /// integer i. The base form has none.
    virtual int32_t GetExtraInt(int32_t index);
    virtual void SetExtraInt(int32_t index, int32_t value);
    /// Extra string i (from 1).
    virtual std::string GetExtraString(int32_t index);
    virtual void SetExtraString(int32_t index, const std::string& value);

    /// The form's window procedure. Shown without modality: WM_ACTIVATE collapses the form to
    /// its caption on deactivation and restores it on activation through Lumvar2000 (as
    /// CollapseMode says, while the host's main window is visible), and Alt+letter
    /// (WM_MENUCHAR of the system menu) presses the control whose caption has that letter as
    /// accelerator (VxForm_ForwardMenuChar). Everything else goes to the class library's form.
    void WndProc(vcl::TMessage& message) override;

protected:
    /// Captures the default state (unless a state was applied during construction, which
    /// captured it first), then keeps the whole form on the screen.
    void Constructed() override;

private:
    friend void CaptureDefaultState(VxForm& form);
    std::array<uint8_t, kWindowCollapseStateSize> m_collapseState{};
    int32_t m_collapseMode = -1;
    std::string m_defaultState;
    bool m_defaultCaptured = false;
};

/// Captures the form's default state now unless it was captured before.
void CaptureDefaultState(VxForm& form);

/// WM_MENUCHAR with the system-menu flag and a character: sends the form CM_DIALOGCHAR with the
/// lower-case and then the upper-case character (Alt down); when a control takes it the answer
/// is MNC_CLOSE and true. False for every other message (and a character nobody takes).
bool VxForm_ForwardMenuChar(VxForm& form, vcl::TMessage& message);
/// The upper-case and lower-case form of a character in the current code page (Windows-1252).
char VxUpperCase(char c);
char VxLowerCase(char c);

/// The form-state string of the form as it is now.
std::string VxForm_WriteState(VxForm& form);
/// Applies a form-state string. Answers whether every item was read and taken. An empty text
/// changes nothing. Otherwise the form is kept 60 pixels on the screen at the end.
bool VxForm_ApplyState(VxForm& form, std::string_view text, bool applyPosition, bool applySize, bool fallBack);
/// Reads the form's remembered state from the registry and applies it (position on, the size
/// as asked, fallback on). A missing key or value changes nothing. The value is named after the
/// form's Name: a form that loads its state in its constructor names itself first, as its
/// layout would.
void VxForm_LoadState(VxForm& form, bool applySize, std::string_view suffix);
/// Writes the form's state to the registry. Registry failures are silent.
void VxForm_SaveState(VxForm& form, std::string_view suffix);
/// Gives every control of a known kind and the extra values their defaults; never moves or
/// resizes the form and leaves a TMyEdit with a double-click handler alone.
void VxForm_RestoreDefaults(VxForm& form);
/// Keeps at least marginX x marginY pixels of the form on the screen: the primary screen, or
/// every monitor when the general option "Allow window positions on second monitor" is on.
void VxForm_KeepOnScreen(VxForm& form, int32_t marginX, int32_t marginY);
/// The registry value name of a form's state: name and suffix, with the first "_" and the
/// characters up to "9" right after it removed ("SBBForm_12" -> "SBBForm").
std::string VxForm_StateValueName(std::string_view formName, std::string_view suffix);

}  // namespace orvex
