#include "platform/host/file_reasons.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/win/ui_driver.h"

namespace host {

std::string WhyFileCannotBeRead(const std::filesystem::path& path, std::string_view kind) {
    const int systemError = errno;
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return "it is a folder, not " + std::string(kind);
    }
    if (std::filesystem::exists(path, error)) {
        return "it cannot be read: " + std::string(std::strerror(systemError != 0 ? systemError : EACCES));
    }
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (!std::filesystem::is_directory(folder, error)) {
        return "there is no folder " + folder.string();
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    const std::vector<std::string> nearest =
        win::NearestNames(path.filename().string(), names, [](std::string_view name) {
            std::string key(name);
            std::transform(key.begin(), key.end(), key.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            return key;
        });
    std::string text = "there is no file " + path.filename().string() + " in " +
                       (path.has_parent_path() ? folder.string() : std::string("the folder hostsim runs in"));
    for (size_t i = 0; i < nearest.size(); ++i) {
        text += (i == 0 ? " (did you mean \"" : i + 1 == nearest.size() ? " or \"" : ", \"") + nearest[i] + "\"";
    }
    return nearest.empty() ? text : text + "?)";
}

}  // namespace host
