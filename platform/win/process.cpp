#include "platform/win/process.h"

#include <optional>

#include "platform/win/modules.h"
#include "platform/win/system_state.h"

namespace win {
namespace {

std::optional<std::string>& CommandLineSet() {
    return detail::System().commandLine;
}

}  // namespace

std::string GetCommandLine() {
    if (CommandLineSet()) {
        return *CommandLineSet();
    }
    const Hmodule program = GetModuleHandle("");
    return program == kNoModule ? std::string() : "\"" + GetModuleFileName(program) + "\"";
}

void SetCommandLine(std::string_view commandLine) {
    CommandLineSet() = std::string(commandLine);
}

}  // namespace win
