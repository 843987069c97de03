#include "platform/win/registry.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "platform/win/file_write.h"
#include "platform/win/system_state.h"
#include "platform/win/transcript.h"

namespace win {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRootName = "HKEY_CURRENT_USER";

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

using Value = detail::RegistryValue;
using Key = detail::RegistryKey;
using Registry = detail::RegistryState;

Registry& TheRegistry() {
    return detail::System().registry;
}

/// Empties the registry and unties it from its file.
void ClearRegistry() {
    TheRegistry() = Registry();
}

/// "Software\\HALVORAN\\" -> "Software\\HALVORAN"; empty parts are dropped.
std::string NormalizePath(std::string_view path) {
    std::string result;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        if (end > start) {
            if (!result.empty()) {
                result += '\\';
            }
            result += path.substr(start, end - start);
        }
        start = end + 1;
    }
    return result;
}

std::string JoinPath(const std::string& base, std::string_view sub) {
    const std::string normalized = NormalizePath(sub);
    if (base.empty()) {
        return normalized;
    }
    return normalized.empty() ? base : base + "\\" + normalized;
}

/// The lower-case path of an open key or root, or nullopt for a handle that is not open.
std::optional<std::string> PathOf(Hkey key) {
    Registry& r = TheRegistry();
    if (key == HKEY_CURRENT_USER) {
        return std::string();
    }
    auto it = r.open.find(static_cast<uint32_t>(key));
    if (it == r.open.end() || !r.keys.contains(it->second)) {
        return std::nullopt;
    }
    return it->second;
}

Key* KeyOf(Hkey key) {
    const auto path = PathOf(key);
    return path ? &TheRegistry().keys.at(*path) : nullptr;
}

Hkey OpenHandle(const std::string& lowerPath) {
    Registry& r = TheRegistry();
    const Hkey handle{r.nextHandle++};
    r.open[static_cast<uint32_t>(handle)] = lowerPath;
    return handle;
}

std::string EscapeString(const std::vector<uint8_t>& data) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (uint8_t c : data) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out += "\\x";
                    out += kHex[c >> 4];
                    out += kHex[c & 0xF];
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out;
}

std::string FormatValue(const Value& value) {
    char buffer[16];
    std::string out;
    if (value.name.empty()) {
        out = "@=";
    } else {
        out.append("\"").append(EscapeString({value.name.begin(), value.name.end()})).append("\"=");
    }
    switch (value.type) {
        case REG_SZ:
            return out + "\"" + EscapeString(value.data) + "\"";
        case REG_DWORD: {
            uint32_t dword = 0;
            for (size_t i = 0; i < 4 && i < value.data.size(); ++i) {
                dword |= static_cast<uint32_t>(value.data[i]) << (8 * i);
            }
            std::snprintf(buffer, sizeof buffer, "%08x", dword);
            return out + "dword:" + buffer;
        }
        default: {
            if (value.type == REG_BINARY) {
                out += "hex:";
            } else {
                out.append("hex(").append(std::to_string(value.type)).append("):");
            }
            for (size_t i = 0; i < value.data.size(); ++i) {
                std::snprintf(buffer, sizeof buffer, "%s%02x", i == 0 ? "" : ",", value.data[i]);
                out += buffer;
            }
            return out;
        }
    }
}

std::string FormatRegistry() {
    std::ostringstream out;
    out << kHeader << "\n";
    for (const auto& [lowerPath, key] : TheRegistry().keys) {
        out << "\n[" << kRootName << (key.path.empty() ? "" : "\\") << key.path << "]\n";
        for (const auto& [lowerName, value] : key.values) {
            out << FormatValue(value) << "\n";
        }
    }
    return out.str();
}

/// The keys as they are before a change, kept while the registry has a file, so that a change
/// the file cannot take can be undone.
std::optional<std::map<std::string, Key>> KeysBeforeChange() {
    Registry& r = TheRegistry();
    if (r.filePath.empty()) {
        return std::nullopt;
    }
    return r.keys;
}

/// Writes the changed registry to its file. When the file cannot be written the change is
/// undone, so that the registry and its file agree, and the transcript says why:
/// ERROR_REGISTRY_IO_FAILED.
uint32_t WriteThrough(std::optional<std::map<std::string, Key>> before) {
    Registry& r = TheRegistry();
    if (r.filePath.empty()) {
        return ERROR_SUCCESS;
    }
    std::string reason;
    if (ReplaceFileContents(r.filePath, FormatRegistry(), &reason)) {
        return ERROR_SUCCESS;
    }
    if (before) {
        r.keys = std::move(*before);
    }
    TranscriptWrite("registry: the file " + TranscriptPath(r.filePath) + " cannot be written (" + reason +
                    "); the change is not kept");
    return ERROR_REGISTRY_IO_FAILED;
}

// ---- Parsing the file ----

struct ParseError {
    size_t line;
    std::string what;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/// Reads a quoted string starting at text[pos] == '"'; pos ends after the closing quote.
std::string ParseQuoted(std::string_view text, size_t& pos, size_t line) {
    std::string out;
    ++pos;
    while (pos < text.size() && text[pos] != '"') {
        char c = text[pos++];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (pos >= text.size()) {
            break;
        }
        const char e = text[pos++];
        switch (e) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 'x': {
                const int hi = pos < text.size() ? HexDigit(text[pos]) : -1;
                const int lo = pos + 1 < text.size() ? HexDigit(text[pos + 1]) : -1;
                if (hi < 0 || lo < 0) {
                    throw ParseError{line, "bad \\x escape"};
                }
                out += static_cast<char>(hi * 16 + lo);
                pos += 2;
                break;
            }
            default:
                throw ParseError{line, std::string("unknown escape \\") + e};
        }
    }
    if (pos >= text.size()) {
        throw ParseError{line, "unterminated string"};
    }
    ++pos;
    return out;
}

std::vector<uint8_t> ParseHexBytes(std::string_view text, size_t line) {
    std::vector<uint8_t> bytes;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ',' || std::isspace(static_cast<unsigned char>(text[pos]))) {
            ++pos;
            continue;
        }
        const int hi = HexDigit(text[pos]);
        const int lo = pos + 1 < text.size() ? HexDigit(text[pos + 1]) : -1;
        if (hi < 0 || lo < 0) {
            throw ParseError{line, "bad hex byte"};
        }
        bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
        pos += 2;
    }
    return bytes;
}

/// The N of "hex(N):": a value type in decimal, 0 to 4294967295.
uint32_t ParseValueType(std::string_view digits, size_t line) {
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        throw ParseError{line, "the type of a hex(N) value is a decimal number, not \"" + std::string(digits) + "\""};
    }
    uint64_t type = 0;
    for (const char c : digits) {
        type = type * 10 + static_cast<uint64_t>(c - '0');
        if (type > UINT32_MAX) {
            throw ParseError{line, "the type of a hex(N) value is at most 4294967295, not " + std::string(digits)};
        }
    }
    return static_cast<uint32_t>(type);
}

Value ParseValueLine(std::string_view text, size_t line) {
    Value value;
    size_t pos = 0;
    if (text[0] == '@') {
        pos = 1;
    } else {
        value.name = ParseQuoted(text, pos, line);
    }
    if (pos >= text.size() || text[pos] != '=') {
        throw ParseError{line, "expected '=' after the value name"};
    }
    ++pos;
    const std::string_view data = text.substr(pos);
    if (!data.empty() && data[0] == '"') {
        size_t p = 0;
        const std::string s = ParseQuoted(data, p, line);
        if (p != data.size()) {
            throw ParseError{line, "text after the closing quote"};
        }
        value.type = REG_SZ;
        value.data.assign(s.begin(), s.end());
    } else if (data.starts_with("dword:")) {
        const std::string_view digits = data.substr(6);
        if (digits.size() != 8 || !std::all_of(digits.begin(), digits.end(), [](char c) { return HexDigit(c) >= 0; })) {
            throw ParseError{line, "a dword needs 8 hex digits"};
        }
        uint32_t dword = 0;
        for (const char c : digits) {
            dword = dword << 4 | static_cast<uint32_t>(HexDigit(c));
        }
        value.type = REG_DWORD;
        value.data = {static_cast<uint8_t>(dword), static_cast<uint8_t>(dword >> 8), static_cast<uint8_t>(dword >> 16),
                      static_cast<uint8_t>(dword >> 24)};
    } else if (data.starts_with("hex:")) {
        value.type = REG_BINARY;
        value.data = ParseHexBytes(data.substr(4), line);
    } else if (data.starts_with("hex(")) {
        const size_t close = data.find("):");
        if (close == std::string_view::npos) {
            throw ParseError{line, "bad hex(type) value"};
        }
        value.type = ParseValueType(data.substr(4, close - 4), line);
        value.data = ParseHexBytes(data.substr(close + 2), line);
    } else {
        throw ParseError{line, "unknown value kind"};
    }
    return value;
}

Registry ParseRegistry(std::istream& in) {
    Registry parsed;
    std::string raw;
    size_t lineNumber = 0;
    bool sawHeader = false;
    Key* current = nullptr;
    while (std::getline(in, raw)) {
        ++lineNumber;
        // A line ending in '\' continues on the next one (long hex values).
        while (!raw.empty() && raw.back() == '\\' && raw.find('"') == std::string::npos) {
            std::string next;
            if (!std::getline(in, next)) {
                break;
            }
            ++lineNumber;
            raw.pop_back();
            raw += next;
        }
        if (!raw.empty() && raw.back() == '\r') {
            raw.pop_back();
        }
        const size_t first = raw.find_first_not_of(" \t");
        if (first == std::string::npos || raw[first] == ';') {
            continue;
        }
        const std::string_view text = std::string_view(raw).substr(first);
        if (!sawHeader) {
            if (text != kHeader) {
                throw ParseError{lineNumber, "the file does not begin with \"" + std::string(kHeader) + "\""};
            }
            sawHeader = true;
            continue;
        }
        if (text[0] == '[') {
            if (text.back() != ']') {
                throw ParseError{lineNumber, "a key line must end with ']'"};
            }
            const std::string_view full = text.substr(1, text.size() - 2);
            if (!full.starts_with(kRootName) || (full.size() > kRootName.size() && full[kRootName.size()] != '\\')) {
                throw ParseError{lineNumber, "only keys below HKEY_CURRENT_USER are kept"};
            }
            const std::string path = NormalizePath(full.substr(kRootName.size()));
            // Create the parents too, so that every key is reachable.
            std::string partial;
            size_t start = 0;
            while (start < path.size()) {
                size_t end = path.find('\\', start);
                if (end == std::string::npos)
                    end = path.size();
                partial = path.substr(0, end);
                parsed.keys.try_emplace(Lower(partial), Key{partial, {}});
                start = end + 1;
            }
            current = &parsed.keys[Lower(path)];
            continue;
        }
        if (current == nullptr) {
            throw ParseError{lineNumber, "a value before the first key"};
        }
        if (text[0] != '"' && text[0] != '@') {
            throw ParseError{lineNumber, "expected a key in [] or a value \"name\"=..."};
        }
        Value value = ParseValueLine(text, lineNumber);
        current->values[Lower(value.name)] = std::move(value);
    }
    if (!sawHeader) {
        throw ParseError{1, "the file is empty: it does not begin with \"" + std::string(kHeader) + "\""};
    }
    return parsed;
}

}  // namespace

uint32_t RegOpenKeyEx(Hkey root, std::string_view subKey, uint32_t /*access*/, Hkey& result) {
    const auto base = PathOf(root);
    if (!base) {
        return ERROR_INVALID_HANDLE;
    }
    const std::string lower = Lower(JoinPath(*base, subKey));
    if (!TheRegistry().keys.contains(lower)) {
        return ERROR_FILE_NOT_FOUND;
    }
    result = OpenHandle(lower);
    return ERROR_SUCCESS;
}

uint32_t RegCreateKeyEx(Hkey root, std::string_view subKey, uint32_t /*access*/, Hkey& result, bool* created) {
    Registry& r = TheRegistry();
    const auto base = PathOf(root);
    if (!base) {
        return ERROR_INVALID_HANDLE;
    }
    const std::string display = JoinPath(r.keys.at(*base).path, subKey);
    auto before = KeysBeforeChange();
    bool madeOne = false;
    size_t start = 0;
    while (start < display.size()) {
        size_t end = display.find('\\', start);
        if (end == std::string::npos)
            end = display.size();
        const std::string partial = display.substr(0, end);
        madeOne = r.keys.try_emplace(Lower(partial), Key{partial, {}}).second;
        start = end + 1;
    }
    if (madeOne) {
        if (const uint32_t written = WriteThrough(std::move(before)); written != ERROR_SUCCESS) {
            return written;
        }
    }
    if (created != nullptr) {
        *created = madeOne;
    }
    result = OpenHandle(Lower(display));
    return ERROR_SUCCESS;
}

uint32_t RegCloseKey(Hkey key) {
    if (key == HKEY_CURRENT_USER) {
        return ERROR_SUCCESS;
    }
    return TheRegistry().open.erase(static_cast<uint32_t>(key)) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

uint32_t RegQueryValueEx(Hkey key, std::string_view name, uint32_t& type, std::vector<uint8_t>& data) {
    const Key* k = KeyOf(key);
    if (k == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    auto it = k->values.find(Lower(name));
    if (it == k->values.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    type = it->second.type;
    data = it->second.data;
    return ERROR_SUCCESS;
}

uint32_t RegSetValueEx(Hkey key, std::string_view name, uint32_t type, const std::vector<uint8_t>& data) {
    Key* k = KeyOf(key);
    if (k == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    auto before = KeysBeforeChange();
    Value& value = k->values[Lower(name)];
    if (value.name.empty()) {
        value.name = std::string(name);
    }
    value.type = type;
    value.data = data;
    return WriteThrough(std::move(before));
}

uint32_t RegDeleteValue(Hkey key, std::string_view name) {
    Key* k = KeyOf(key);
    if (k == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (!k->values.contains(Lower(name))) {
        return ERROR_FILE_NOT_FOUND;
    }
    auto before = KeysBeforeChange();
    k->values.erase(Lower(name));
    return WriteThrough(std::move(before));
}

uint32_t RegDeleteKey(Hkey root, std::string_view subKey) {
    Registry& r = TheRegistry();
    const auto base = PathOf(root);
    if (!base) {
        return ERROR_INVALID_HANDLE;
    }
    const std::string lower = Lower(JoinPath(*base, subKey));
    if (lower.empty() || !r.keys.contains(lower)) {
        return ERROR_FILE_NOT_FOUND;
    }
    auto next = r.keys.upper_bound(lower);
    if (next != r.keys.end() && next->first.starts_with(lower + "\\")) {
        return ERROR_ACCESS_DENIED;
    }
    auto before = KeysBeforeChange();
    r.keys.erase(lower);
    return WriteThrough(std::move(before));
}

uint32_t RegEnumValueNames(Hkey key, std::vector<std::string>& names) {
    const Key* k = KeyOf(key);
    if (k == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    names.clear();
    for (const auto& [lower, value] : k->values) {
        names.push_back(value.name);
    }
    return ERROR_SUCCESS;
}

uint32_t RegEnumKeyNames(Hkey key, std::vector<std::string>& names) {
    const auto base = PathOf(key);
    if (!base) {
        return ERROR_INVALID_HANDLE;
    }
    names.clear();
    const std::string prefix = base->empty() ? "" : *base + "\\";
    for (const auto& [lower, k] : TheRegistry().keys) {
        if (!lower.empty() && lower.starts_with(prefix) && lower.find('\\', prefix.size()) == std::string::npos) {
            names.push_back(k.path.substr(k.path.size() - (lower.size() - prefix.size())));
        }
    }
    return ERROR_SUCCESS;
}

bool UseRegistryFile(const std::string& path, std::string* error) {
    ClearRegistry();
    if (path.empty()) {
        return true;
    }
    std::ifstream file(path, std::ios::binary);
    if (file) {
        std::ostringstream text;
        text << file.rdbuf();
        if (file.bad() || !LoadRegistryText(text.str(), path, error)) {
            if (file.bad() && error != nullptr) {
                *error = path + ": cannot be read";
            }
            ClearRegistry();
            return false;
        }
    } else if (std::filesystem::exists(path)) {
        if (error != nullptr) {
            *error = path + ": cannot be read";
        }
        return false;
    }
    TheRegistry().filePath = path;
    return true;
}

bool LoadRegistryText(std::string_view text, const std::string& name, std::string* error) {
    try {
        std::istringstream in{std::string(text)};
        Registry parsed = ParseRegistry(in);
        ClearRegistry();
        TheRegistry().keys = std::move(parsed.keys);
    } catch (const ParseError& e) {
        if (error != nullptr) {
            *error = name + ":" + std::to_string(e.line) + ": " + e.what;
        }
        return false;
    }
    return true;
}

const std::string& RegistryFilePath() {
    return TheRegistry().filePath;
}

std::string RegistryText() {
    return FormatRegistry();
}

}  // namespace win
