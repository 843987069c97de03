// The keys of the host's main window: it carries out the accelerators of its File menu as the
// user types them, so that a program that drives the host by keys (a plug-in printing many
// files) opens, prints and closes documents as it would in the host.
//
// - Alt with the File menu's letter opens the File menu; the next letter chooses a command:
//   Open shows the open dialog, Print the print dialog (only with a document open), Close
//   closes the document in front at once (the host keeps no record of unsaved changes, so it
//   asks nothing).
// - The open dialog takes the typed characters as the file's full path (Backspace deletes the
//   last one); Enter opens the document file and closes the dialog.
// - The print dialog: Alt with the copies letter puts the focus into its copies field with the
//   text selected, so that the digits typed next replace it; Enter "prints" the document in
//   front ("host: printed NAME, N copies") and closes the dialog.
// - Escape closes an open menu or dialog; every other key, and a letter that no menu or dialog
//   takes, does nothing.
//
// - In the document window (no menu or dialog open) the region commands of region_commands.h:
//   Ctrl+C copies the selection to the host's clipboard, Backspace clears it, Ctrl+V pastes the
//   clipboard at the selection's first staff and measure (and selects what it pasted), Ctrl+A
//   selects the whole document. Without a document, a selection or (for Ctrl+V) a copy they do
//   nothing.
// - The region dialog: Alt with the region menu's letter, then the dialog's letter, opens it
//   (RegionDialogAcceleratorsOf). Its controls are reached by Tab in this order: 0-2 (buttons the
//   keys never use), 3 the first staff's list, 4 the first measure's field, 5 (unused), 6 the last
//   staff's list, 7 the last measure's field, then round again. In a list Home chooses the first
//   staff and Down the next one; a measure field is a number field: a digit key types its digit,
//   with Shift held too, and it takes no other character. A field is empty when the dialog opens, Tab into it selects
//   its text so that what is typed next replaces it, End puts the caret behind it. Enter selects the whole measures
//   from the first to the last measure on the staves from the first to the last list's staff (scroll view); a field
//   that holds no measure number leaves the selection as it is. Escape closes the dialog.
//
// - The note spacing command ("Apply Note Spacing" of the Mass Edit menu): Alt with the menu's
//   letter, the submenu's letter, then the command's letter (NoteSpacingAcceleratorsOf) respaces
//   the selected measures (Host::ApplyNoteSpacing); a wrong letter closes the menu.
// - Ctrl+Z undoes the last change of the document in front, Ctrl+Y redoes it (Host::Undo, Redo).
//
// Typed characters are read as the window system's keyboard layout (US) gives them. Menu
// letters are compared regardless of case; the German host reads the keys that carry "ö" and
// "ä" on a German keyboard (VK_OEM_3, VK_OEM_7) as those letters. The host's file system, as on the platform
// the host comes from, ignores the letter case of file names: a typed path that names no file
// is looked up again regardless of case.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/host/host.h"
#include "platform/host/region_commands.h"

namespace host {

/// The accelerator letters of the host's File menu (lower case, UTF-8): the menu itself (with
/// Alt), its Open, Print and Close commands, and the copies field of the print dialog (with Alt).
struct FileMenuAccelerators {
    std::string file;
    std::string open;
    std::string print;
    std::string close;
    std::string copies;
};
/// English Alt+F, o, p, c, Alt+C; German Alt+D, ö, p (d from host year 2000), c, Alt+K;
/// Italian Alt+F, a, m, d, Alt+C.
FileMenuAccelerators FileMenuAcceleratorsOf(Language language, int32_t year);

/// The accelerators of the host's region dialog: the menu letter (with Alt) and the dialog's
/// letter in it. Before host year 2000: English Alt+M, s; German Alt+E, b; Italian Alt+P, o;
/// from 2000: English Alt+E, o; German Alt+B, b; Italian Alt+M, o.
struct RegionDialogAccelerators {
    std::string menu;
    std::string item;
};
RegionDialogAccelerators RegionDialogAcceleratorsOf(Language language, int32_t year);

/// The accelerators of the host's note spacing command: the Mass Edit menu's letter (with Alt),
/// its Music Spacing submenu's letter and the command's letter. English: Alt+S, s, n before host
/// year 2001, Alt+M, s, n from 2001; German: Alt+Ä, s, n before 2001, Alt+E, m, n from 2001;
/// Italian: Alt+S, z, f.
struct NoteSpacingAccelerators {
    std::string menu;
    std::string submenu;
    std::string item;
};
NoteSpacingAccelerators NoteSpacingAcceleratorsOf(Language language, int32_t year);

/// The character a key gives in the window system's keyboard layout, with or without Shift;
/// 0 for a key that gives none.
char TypedCharacter(uint16_t virtualKey, bool shift);

/// The path of an existing file or folder that `path` names when letter case is ignored, or
/// `path` itself when it exists as written or no such file is found.
std::filesystem::path ResolvePathIgnoringCase(const std::filesystem::path& path);

class MainWindowKeys {
public:
    explicit MainWindowKeys(Host& host) : m_host(host) {}

    /// A key reaches the main window (WM_KEYDOWN); Shift and Alt are read from the key state.
    void KeyDown(uint16_t virtualKey);

private:
    enum class Mode { Idle, FileMenu, OpenDialog, PrintDialog, RegionMenu, RegionDialog, SpacingMenu, SpacingSubmenu };
    static bool IsMenu(Mode mode);
    static bool IsDialog(Mode mode);
    /// Goes to another mode, telling the window system what a menu loop and a modal dialog tell it:
    /// WM_ENTERMENULOOP and WM_EXITMENULOOP to the main window as a menu opens and closes, and the
    /// main window disabled while a dialog is open.
    void SetMode(Mode mode);

    /// The menu letter of a key: its character in lower case, or the German "ö" and "ä".
    std::string LetterOf(uint16_t virtualKey) const;
    void ChooseFileCommand(const std::string& letter);
    void OpenTypedPath();
    void PrintFrontDocument();
    /// Ctrl+C, Ctrl+V, Ctrl+A and Backspace in the document window; false for any other key.
    bool RegionCommand(uint16_t virtualKey, bool ctrl);
    void RegionDialogKey(uint16_t virtualKey, bool alt);
    void SelectDialogRegion();

    Host& m_host;
    Mode m_mode = Mode::Idle;
    std::string m_field;                      ///< the open dialog's path or the print dialog's copies
    bool m_copiesFocused = false;             ///< the copies field has the focus
    bool m_copiesSelected = false;            ///< its text is selected: the next digit replaces it
    int32_t m_dialogFocus = 0;                ///< the region dialog's control with the focus
    std::array<int32_t, 2> m_dialogStaves{};  ///< the chosen list position of each staff list
    std::array<std::string, 2> m_dialogMeasures;
    bool m_dialogTextSelected = false;  ///< the focused field's text is selected
    std::optional<RegionClipboard> m_clipboard;
};

}  // namespace host
