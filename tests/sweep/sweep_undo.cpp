#include "tests/sweep/sweep_undo.h"

#include "platform/host/mus_file.h"
#include "platform/host/undo_journal.h"

namespace sweep {

size_t UndoSteps(host::Document& document) {
    document.CloseUndoStep();
    return document.History() != nullptr ? document.History()->UndoCount() : 0;
}

std::vector<std::string> CheckUndoSteps(host::Document& document, const CommandUndo& command) {
    std::vector<std::string> findings;
    const size_t steps = UndoSteps(document);
    if (steps >= host::kMaxUndoSteps || steps < command.stepsBefore) {
        return findings;
    }
    const size_t added = steps - command.stepsBefore;
    if (added == 0) {
        if (command.after != command.before) {
            findings.push_back("the command changed the document and left no step in the undo history");
        }
        return findings;
    }
    if (command.oneCall && added > 1) {
        findings.push_back("a command of one call left " + std::to_string(added) + " steps in the undo history");
    }
    const std::vector<std::string> names = document.History()->UndoNames();
    for (size_t i = command.stepsBefore; i < names.size(); ++i) {
        if (names[i] != command.command) {
            findings.push_back("an undo step is named \"" + names[i] + "\", not after the command \"" +
                               command.command + "\"");
            break;
        }
    }
    for (size_t i = 0; i < added; ++i) {
        document.Undo();
    }
    if (host::MusText(document) != command.before) {
        findings.push_back("undoing the command's " + std::to_string(added) +
                           " steps does not give the document as before it");
    }
    for (size_t i = 0; i < added; ++i) {
        document.Redo();
    }
    if (host::MusText(document) != command.after) {
        findings.push_back("redoing the command's " + std::to_string(added) +
                           " steps does not give the document as after it");
    }
    return findings;
}

}  // namespace sweep
