#include "platform/win/profile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/win/file_write.h"
#include "platform/win/handles.h"

namespace win {
namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

/// The section a line opens ("[Name]" gives "Name"); nullopt for other lines.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') {
        return std::nullopt;
    }
    const size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

/// The key and value of a "key=value" line; nullopt for comments, blank lines and sections.
std::optional<KeyLine> KeyOf(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') {
        return std::nullopt;
    }
    const size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return KeyLine{trimmed, {}};
    }
    return KeyLine{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<std::vector<std::string>> ReadLines(std::string_view fileName) {
    std::ifstream in{std::string(fileName), std::ios::binary};
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

/// The value of a key; nullopt when the file, the section or the key is missing.
std::optional<std::string> FindValue(const std::vector<std::string>& lines, std::string_view section,
                                     std::string_view key) {
    bool inSection = false;
    for (const std::string& line : lines) {
        if (const auto name = SectionOf(line)) {
            inSection = SameName(*name, section);
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (const auto entry = KeyOf(line); entry && SameName(entry->key, key)) {
            return std::string(Unquoted(entry->value));
        }
    }
    return std::nullopt;
}

/// Copies a list of names into a buffer: each zero-terminated, then a final zero.
uint32_t CopyList(const std::vector<std::string>& names, char* buffer, uint32_t size) {
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    uint32_t used = 0;
    for (const std::string& name : names) {
        if (used + name.size() + 1 > size - 1) {
            // Cut short: the names that fit, then the two terminators.
            const uint32_t room = used < size - 2 ? size - 2 - used : 0;
            std::memcpy(buffer + used, name.data(), std::min<size_t>(room, name.size()));
            buffer[size - 2] = '\0';
            buffer[size - 1] = '\0';
            return size - 2;
        }
        std::memcpy(buffer + used, name.data(), name.size());
        used += static_cast<uint32_t>(name.size());
        buffer[used++] = '\0';
    }
    buffer[used] = '\0';
    return used;
}

uint32_t CopyText(std::string_view text, char* buffer, uint32_t size) {
    const auto count = static_cast<uint32_t>(std::min<size_t>(text.size(), size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return count;
}

}  // namespace

uint32_t GetPrivateProfileString(std::optional<std::string_view> section, std::optional<std::string_view> key,
                                 std::string_view defaultValue, char* buffer, uint32_t size,
                                 std::string_view fileName) {
    if (buffer == nullptr || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const auto lines = ReadLines(fileName);
    if (!section) {
        std::vector<std::string> names;
        for (const std::string& line : lines.value_or(std::vector<std::string>{})) {
            if (const auto name = SectionOf(line)) {
                names.emplace_back(*name);
            }
        }
        return CopyList(names, buffer, size);
    }
    if (!key) {
        std::vector<std::string> names;
        bool inSection = false;
        for (const std::string& line : lines.value_or(std::vector<std::string>{})) {
            if (const auto name = SectionOf(line)) {
                inSection = SameName(*name, *section);
            } else if (const auto entry = KeyOf(line); inSection && entry) {
                names.emplace_back(entry->key);
            }
        }
        return CopyList(names, buffer, size);
    }
    if (lines) {
        if (const auto value = FindValue(*lines, *section, *key)) {
            return CopyText(*value, buffer, size);
        }
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    std::string_view fallback = defaultValue;
    while (!fallback.empty() && fallback.back() == ' ') {
        fallback.remove_suffix(1);
    }
    return CopyText(fallback, buffer, size);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    std::string_view fileName) {
    if (const auto lines = ReadLines(fileName)) {
        if (auto value = FindValue(*lines, section, key)) {
            return std::move(*value);
        }
    }
    std::string_view fallback = defaultValue;
    while (!fallback.empty() && fallback.back() == ' ') {
        fallback.remove_suffix(1);
    }
    return std::string(fallback);
}

uint32_t GetPrivateProfileInt(std::string_view section, std::string_view key, int32_t defaultValue,
                              std::string_view fileName) {
    const auto lines = ReadLines(fileName);
    const auto value = lines ? FindValue(*lines, section, key) : std::nullopt;
    if (!value) {
        return static_cast<uint32_t>(defaultValue);
    }
    // Leading digits with an optional sign; a number no 32-bit value holds gives the default
    // rather than a wrapped value.
    errno = 0;
    const long long number = std::strtoll(value->c_str(), nullptr, 10);
    if (errno == ERANGE || number < INT32_MIN || number > UINT32_MAX) {
        return static_cast<uint32_t>(defaultValue);
    }
    return static_cast<uint32_t>(number);
}

bool WritePrivateProfileString(std::string_view section, std::optional<std::string_view> key,
                               std::optional<std::string_view> value, std::string_view fileName) {
    std::vector<std::string> lines = ReadLines(fileName).value_or(std::vector<std::string>{});
    // The section's heading line and the end of its lines (the next heading or the end).
    size_t heading = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionOf(lines[i]); name && SameName(*name, section)) {
            heading = i;
            break;
        }
    }
    size_t end = heading;
    if (heading < lines.size()) {
        end = heading + 1;
        while (end < lines.size() && !SectionOf(lines[end])) {
            ++end;
        }
    }

    if (!key) {
        if (heading < lines.size()) {
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(heading),
                        lines.begin() + static_cast<std::ptrdiff_t>(end));
        }
    } else {
        size_t found = lines.size();
        for (size_t i = heading + 1; heading < lines.size() && i < end; ++i) {
            if (const auto entry = KeyOf(lines[i]); entry && SameName(entry->key, *key)) {
                found = i;
                break;
            }
        }
        if (!value) {
            if (found < lines.size()) {
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(found));
            }
        } else {
            const std::string line = std::string(*key) + "=" + std::string(*value);
            if (found < lines.size()) {
                lines[found] = line;
            } else if (heading < lines.size()) {
                // After the section's last key line, before the blank lines that close it.
                size_t at = end;
                while (at > heading + 1 && Trim(lines[at - 1]).empty()) {
                    --at;
                }
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), line);
            } else {
                lines.push_back("[" + std::string(section) + "]");
                lines.push_back(line);
            }
        }
    }

    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    if (!ReplaceFileContents(std::string(fileName), text)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

}  // namespace win
