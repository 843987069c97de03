#include "platform/vcl/registry.h"

namespace vcl {

TRegistry::TRegistry() = default;
TRegistry::TRegistry(uint32_t access) : Access(access) {}
TRegistry::~TRegistry() {
    CloseKey();
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate) {
    CloseKey();
    win::Hkey opened{};
    const uint32_t result =
        canCreate ? win::RegCreateKeyEx(RootKey, key, Access, opened) : win::RegOpenKeyEx(RootKey, key, Access, opened);
    if (result != win::ERROR_SUCCESS) {
        return false;
    }
    m_current = opened;
    m_currentPath = std::string(key);
    return true;
}

bool TRegistry::OpenKeyReadOnly(std::string_view key) {
    CloseKey();
    win::Hkey opened{};
    if (win::RegOpenKeyEx(RootKey, key, win::KEY_READ, opened) != win::ERROR_SUCCESS) {
        return false;
    }
    m_current = opened;
    m_currentPath = std::string(key);
    return true;
}

void TRegistry::CloseKey() {
    if (m_current != win::Hkey{}) {
        win::RegCloseKey(m_current);
        m_current = win::Hkey{};
        m_currentPath.clear();
    }
}

bool TRegistry::KeyExists(std::string_view key) const {
    win::Hkey probe{};
    if (win::RegOpenKeyEx(RootKey, key, win::KEY_READ, probe) != win::ERROR_SUCCESS) {
        return false;
    }
    win::RegCloseKey(probe);
    return true;
}

bool TRegistry::DeleteKey(std::string_view key) {
    return win::RegDeleteKey(RootKey, key) == win::ERROR_SUCCESS;
}

bool TRegistry::ValueExists(std::string_view name) const {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    return HasCurrentKey() && win::RegQueryValueEx(m_current, name, type, data) == win::ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(std::string_view name) {
    return HasCurrentKey() && win::RegDeleteValue(m_current, name) == win::ERROR_SUCCESS;
}

std::vector<std::string> TRegistry::GetValueNames() const {
    std::vector<std::string> names;
    if (HasCurrentKey()) {
        win::RegEnumValueNames(m_current, names);
    }
    return names;
}

bool TRegistry::Read(std::string_view name, uint32_t expectedType, std::vector<uint8_t>& data) const {
    uint32_t type = 0;
    if (!HasCurrentKey() || win::RegQueryValueEx(m_current, name, type, data) != win::ERROR_SUCCESS) {
        return false;
    }
    if (type != expectedType) {
        throw ERegistryException("Invalid data type for '" + std::string(name) + "'");
    }
    return true;
}

void TRegistry::Write(std::string_view name, uint32_t type, const std::vector<uint8_t>& data) {
    if (!HasCurrentKey() || win::RegSetValueEx(m_current, name, type, data) != win::ERROR_SUCCESS) {
        throw ERegistryException("Failed to set data for '" + std::string(name) + "'");
    }
}

std::string TRegistry::ReadString(std::string_view name) const {
    std::vector<uint8_t> data;
    return Read(name, win::REG_SZ, data) ? std::string(data.begin(), data.end()) : std::string();
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
    Write(name, win::REG_SZ, std::vector<uint8_t>(value.begin(), value.end()));
}

int32_t TRegistry::ReadInteger(std::string_view name) const {
    std::vector<uint8_t> data;
    if (!Read(name, win::REG_DWORD, data) || data.size() != 4) {
        return 0;
    }
    return static_cast<int32_t>(uint32_t{data[0]} | (uint32_t{data[1]} << 8) | (uint32_t{data[2]} << 16) |
                                (uint32_t{data[3]} << 24));
}

void TRegistry::WriteInteger(std::string_view name, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    Write(name, win::REG_DWORD,
          {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
           static_cast<uint8_t>(v >> 24)});
}

std::vector<uint8_t> TRegistry::ReadBinaryData(std::string_view name) const {
    std::vector<uint8_t> data;
    return Read(name, win::REG_BINARY, data) ? data : std::vector<uint8_t>();
}

void TRegistry::WriteBinaryData(std::string_view name, const std::vector<uint8_t>& data) {
    Write(name, win::REG_BINARY, data);
}

}  // namespace vcl
