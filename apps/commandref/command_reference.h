// The reference of every command (docs/commands.md), made from the command table, the tool names
// and the option rows of the plug-in, with a description of each command kept beside them here.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace commandref {

/// What a command needs the document to hold before it can change anything.
enum class Needs {
    Nothing,
    StaffSystems,  ///< staff systems (a laid-out document)
    NoteSpacing,   ///< beat charts of the host's note spacing
};

/// What the reference says of a command beyond the tables: what it does and where its result
/// goes (cells, records, a file, a message, a form).
struct CommandDescription {
    int32_t code = 0;
    const char* what = "";
    const char* result = "";
    const char* formClass = "";  ///< the form a command below code 100 opens ("" for none)
    Needs needs = Needs::Nothing;
};

/// One description per command code, in the command table's order.
std::span<const CommandDescription> CommandDescriptions();

/// The whole reference as Markdown. Throws std::logic_error when a command of the table has no
/// description (or a description names no command), so the reference cannot leave one out.
std::string CommandReferenceText();

}  // namespace commandref
