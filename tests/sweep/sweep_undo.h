// The command sweep's undo checks: what a command leaves in its document's undo history.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/host/document.h"

namespace sweep {

/// The steps in the document's undo history (it keeps host::kMaxUndoSteps), its open step closed.
size_t UndoSteps(host::Document& document);

/// What a command did to the document, for the undo checks.
struct CommandUndo {
    std::string command;  ///< the menu entry the user chose, as the host names its steps
    size_t stepsBefore;   ///< the history's steps before the command
    std::string before;   ///< the document before the command and after it (host::MusText)
    std::string after;
    bool oneCall = false;  ///< the command did its work in the one call of the host
};

/// Findings on the steps the command added to the document's history: each is named after the
/// command; a command of one call is one step; undoing them all gives the document exactly as
/// before the command, and redoing them exactly as after it (the document is left as after it).
/// A history that is full cannot tell which steps are the command's: not checked.
std::vector<std::string> CheckUndoSteps(host::Document& document, const CommandUndo& command);

}  // namespace sweep
