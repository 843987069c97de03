// Fuzz target: private profile files (INI). Input: the text of a profile file. Every section and
// key the file lists can be read, as text and as a number; a key written into a listed section
// reads back as written, and the other keys of the file keep their values.
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/win/profile.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const std::string& FileName() {
    static const std::string name =
        (std::filesystem::temp_directory_path() / ("profile-fuzz-" + std::to_string(::getpid()) + ".ini")).string();
    return name;
}

/// A zero-separated list as the profile functions give it.
std::vector<std::string> List(std::optional<std::string_view> section) {
    std::array<char, 8192> buffer{};
    const uint32_t length = win::GetPrivateProfileString(section, std::nullopt, "", buffer.data(),
                                                         static_cast<uint32_t>(buffer.size()), FileName());
    std::vector<std::string> names;
    for (size_t at = 0; at < length;) {
        const std::string name(buffer.data() + at);
        names.push_back(name);
        at += name.size() + 1;
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The lists of names are zero-separated: a name holding a zero byte cannot be listed whole.
    if (std::memchr(data, 0, size) != nullptr) {
        return 0;
    }
    {
        std::ofstream file(FileName(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::vector<std::string> sections = List(std::nullopt);
    for (const std::string& section : sections) {
        for (const std::string& key : List(section)) {
            win::GetPrivateProfileString(section, key, "", FileName());
            win::GetPrivateProfileInt(section, key, 0, FileName());
        }
    }
    if (sections.empty()) {
        return 0;
    }
    // A key written into the first section reads back; another key of it keeps its value.
    const std::string& section = sections.front();
    const std::vector<std::string> keys = List(section);
    std::string first = keys.empty() ? "" : keys.front();
    for (char& c : first) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const bool hasOther = !keys.empty() && first != "fuzzkey";
    const std::string other = hasOther ? win::GetPrivateProfileString(section, keys.front(), "", FileName()) : "";
    fuzzsupport::Check(win::WritePrivateProfileString(section, std::string_view("FuzzKey"),
                                                      std::string_view("fuzz value"), FileName()),
                       "the file cannot be written");
    fuzzsupport::Check(win::GetPrivateProfileString(section, "FuzzKey", "", FileName()) == "fuzz value",
                       "a written key does not read back");
    if (hasOther) {
        fuzzsupport::Check(win::GetPrivateProfileString(section, keys.front(), "", FileName()) == other,
                           "writing a key changed another");
    }
    return 0;
}
