// Why a file the user named cannot be read, in the user's words: there is no such file (and the
// nearest names in its folder), it is a folder, or the system refuses it (no permission).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace host {

/// The reason a file that did not open cannot be read; `kind` names what a folder is not ("a
/// score text file"). Asked right after the open failed, so that the system's reason is its own.
std::string WhyFileCannotBeRead(const std::filesystem::path& path, std::string_view kind);

}  // namespace host
