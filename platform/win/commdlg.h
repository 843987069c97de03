// The common file dialogs: "Open" and "Save As". Nothing waits for a user: the UI driver
// answers a dialog with the actions queued for the dialog's name (ui_driver.h; a script writes
// `form TOpenDialog set FileName cues/first.txt` and `form TOpenDialog click Open`). The
// dialog shows in the transcript as a modal form:
//
//   [form] "Select Input File" TOpenDialog, modal
//     edit FileName: "old.txt"
//     combo box FileType: "Auricle Cue Text File (*.txt)"
//     label Folder: "/home/user/cues"
//     user: set FileName "first.txt"
//     user: click Open
//     -> Open "/home/user/cues/first.txt"
//
// Controls: `FileName` (the name typed, relative to Folder or absolute), `FileType` (one of the
// filter's descriptions, by text or number from 0), `Folder` (the folder shown; a folder typed
// into FileName and confirmed opens it). `Open` (`Save` for the save dialog; `OK` for both)
// confirms, `Cancel` or closing cancels; when the actions run out the user presses Escape.
//
// Confirming makes the name a full path (the folder in front of a relative name, the default
// extension behind a name without one; names are found regardless of letter case, as on the
// host's own platform) and checks it: with OFN_PATHMUSTEXIST its folder must exist, with
// OFN_FILEMUSTEXIST the file; with OFN_OVERWRITEPROMPT an existing file is only taken after a
// message box "NAME already exists. Do you want to replace it?" answered Yes. A name that fails
// a check keeps the dialog open (the transcript says why).
#pragma once

#include <cstdint>
#include <string>

#include "platform/win/handles.h"

namespace win {

inline constexpr uint32_t OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr uint32_t OFN_HIDEREADONLY = 0x00000004;
inline constexpr uint32_t OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr uint32_t OFN_FILEMUSTEXIST = 0x00001000;

struct OpenFileName {
    Hwnd owner = kNoWindow;
    /// Pairs of description and pattern separated by "|": "Text files (*.txt)|*.txt|All|*.*".
    std::string filter;
    int32_t filterIndex = 1;  ///< the chosen pair, from 1 (in and out)
    std::string fileName;     ///< in: the name shown; out: the full path chosen
    std::string initialDir;   ///< the folder shown first (empty: the file name's folder, else the current one)
    std::string title;        ///< the caption (empty: "Open" or "Save As")
    std::string defaultExt;   ///< added to a name without extension ("txt" or ".txt")
    uint32_t flags = 0;
    /// The name under which scripts queue the user's actions (and the transcript names the
    /// dialog); empty: "TOpenDialog" or "TSaveDialog".
    std::string dialogClass;
};

/// Shows the open dialog; true when the user chose a file (then in info.fileName).
bool GetOpenFileName(OpenFileName& info);
/// Shows the save dialog; true when the user chose a name.
bool GetSaveFileName(OpenFileName& info);
/// 0 after a dialog that the user cancelled (this system's dialogs fail in no other way).
uint32_t CommDlgExtendedError();

}  // namespace win
