// Dialog resources: the dialog templates a module carries, as a module file carries them in its
// resource section, and the messages of the standard dialog controls (buttons, check boxes,
// radio buttons, edits, drop-down lists) that a dialog procedure sends and receives.
//
// A module carries its templates by exporting, under the name kDialogResourceExport, a function
// that answers the template of a resource number (nullptr for a number it does not have).
// Templates are static data of the module; texts are UTF-8, as every text of the window system.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/win/handles.h"

namespace win {

// Messages of dialogs and their controls.
inline constexpr uint32_t WM_INITDIALOG = 0x0110;
inline constexpr uint32_t BM_GETCHECK = 0x00F0;  ///< answers BST_*
inline constexpr uint32_t BM_SETCHECK = 0x00F1;  ///< wParam: BST_*
inline constexpr uint32_t CB_GETCOUNT = 0x0146;
inline constexpr uint32_t CB_GETCURSEL = 0x0147;  ///< answers the selected item, -1 for none
inline constexpr uint32_t CB_RESETCONTENT = 0x014B;
inline constexpr uint32_t CB_SETCURSEL = 0x014E;  ///< wParam: the item (-1 none); answers it, or -1 (CB_ERR)
inline constexpr uint32_t CB_ADDSTRING = 0x0143;  ///< lParam: const char* text; answers its index
inline constexpr intptr_t CB_ERR = -1;
inline constexpr int32_t BST_UNCHECKED = 0;
inline constexpr int32_t BST_CHECKED = 1;
inline constexpr int32_t BST_INDETERMINATE = 2;
// Notification codes in the high word of WM_COMMAND's wParam (the control's id in its low word).
inline constexpr uint16_t BN_CLICKED = 0;
inline constexpr uint16_t CBN_SELCHANGE = 1;
inline constexpr uint16_t EN_CHANGE = 0x0300;
/// A static control's identifier: no id of its own.
inline constexpr int32_t IDC_STATIC = -1;

inline constexpr uintptr_t MakeCommandParam(int32_t id, uint16_t notification) {
    return static_cast<uintptr_t>(static_cast<uint16_t>(id)) | (static_cast<uintptr_t>(notification) << 16);
}

/// The control classes of a template.
enum class DialogControlKind { Label, GroupBox, Button, DefaultButton, CheckBox, RadioButton, Edit, DropDownList };

/// One control: its kind, identifier, text and place in dialog units.
struct DialogControlTemplate {
    DialogControlKind kind = DialogControlKind::Label;
    int32_t id = IDC_STATIC;
    std::string_view text;
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
};

struct DialogTemplate {
    int32_t resource = 0;
    std::string_view caption;
    int16_t width = 0;  ///< dialog units
    int16_t height = 0;
    std::vector<DialogControlTemplate> controls;
};

/// The export by which a module answers its dialog templates, and its signature.
inline constexpr std::string_view kDialogResourceExport = "WinDialogResource";
using DialogResourceFn = const DialogTemplate* (*)(int32_t resource);

/// The template of a resource number in a module; nullptr when the module has none of that number.
const DialogTemplate* FindDialogTemplate(Hmodule module, int32_t resource);

}  // namespace win
