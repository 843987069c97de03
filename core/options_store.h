// The options store: the module-wide settings that the keyboard hook and the explorer for text
// expressions use (the explorer's hotkey, the metatool key, the keyboard remapper and the key
// assignments), read from the registry at start-up and after every change of the options form.
//
// Registry values under "Software\HALVORAN":
//   "ExplorerHotkey"    "S"/"s", "C"/"c", "A"/"a" for Shift, Ctrl, Alt, then the key in decimal
//   "ExplorerMetatool"  the metatool key as text (empty: none)
//   "Assignments2K"     (host year 2000 on; "Assignments" before) "1"/"0" for the remapper, then
//                       each key assignment as 30 hexadecimal digits
//   "asknl2k"/"asknl"   "1" once the NumLock assignment has been offered
#pragma once

#include <cstdint>
#include <vector>

#include "core/key_assignments.h"

namespace orvex {

/// The registry value of the key assignments for the running host ("Assignments2K" from host
/// year 2000 on, else "Assignments").
const char* AssignmentsValueName();
/// The registry value that records the NumLock offer ("asknl2k" from host year 2000 on, else "asknl").
const char* NumLockOfferValueName();

/// Reads every setting of the options store from the registry. Without stored assignments the
/// four default records apply and the remapper is on. When no assignment is for NumLock and the
/// NumLock offer was never made, it is made now (once per user, whatever the answer). When the
/// settings key cannot be opened nothing changes.
void LoadOptions();

/// Writes the remapper flag and the key assignments into the value of the running host. The
/// settings key must be open in the module's registry object; answers false when it is not or
/// the value cannot be written.
bool SaveKeyAssignments();

}  // namespace orvex
