// Writing a whole file so that a failure loses nothing: the new contents go to a temporary file
// beside the old one, are forced to the disk and then take the old file's place in one rename.
// A write that fails at any point (a full disk, a file size limit, a folder that cannot be
// written, a crash) leaves the old file whole and no temporary file behind.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace win {

/// Makes `data` the whole contents of the file at `path` (a symbolic link is followed: the file
/// it names is replaced). A replaced file keeps its permissions; a new one gets those of a file
/// the process creates. Answers false, with the system's reason in `error`, when the file cannot
/// be written; the file is then as it was.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view data, std::string* error = nullptr);

/// The same, with the contents written by `write` to a stream over the temporary file as it
/// makes them (a large file is never held whole).
bool ReplaceFileContents(const std::filesystem::path& path, const std::function<void(std::ostream&)>& write,
                         std::string* error = nullptr);

}  // namespace win
