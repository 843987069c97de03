// The process's command line, as the program was started with it. The host program sets it
// when it starts; until then it is the program module's path in double quotes.
#pragma once

#include <string>
#include <string_view>

namespace win {

std::string GetCommandLine();
/// The program (or a test) gives the command line the process was started with.
void SetCommandLine(std::string_view commandLine);

}  // namespace win
