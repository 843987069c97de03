// TRegistry: the class library's access object over the window system's registry. One key is
// open at a time; reads of a missing value give an empty result, reads of a value of another
// type and failed writes throw ERegistryException.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/registry.h"

namespace vcl {

class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRegistry {
public:
    TRegistry();
    explicit TRegistry(uint32_t access);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    win::Hkey RootKey = win::HKEY_CURRENT_USER;
    uint32_t Access = win::KEY_ALL_ACCESS;

    /// Opens `key` below the root (creating it when `canCreate`); closes the key open before.
    bool OpenKey(std::string_view key, bool canCreate);
    bool OpenKeyReadOnly(std::string_view key);
    void CloseKey();
    bool KeyExists(std::string_view key) const;
    bool DeleteKey(std::string_view key);
    const std::string& CurrentPath() const { return m_currentPath; }
    bool HasCurrentKey() const { return m_current != win::Hkey{}; }

    bool ValueExists(std::string_view name) const;
    bool DeleteValue(std::string_view name);
    std::vector<std::string> GetValueNames() const;

    std::string ReadString(std::string_view name) const;
    void WriteString(std::string_view name, std::string_view value);
    int32_t ReadInteger(std::string_view name) const;
    void WriteInteger(std::string_view name, int32_t value);
    std::vector<uint8_t> ReadBinaryData(std::string_view name) const;
    void WriteBinaryData(std::string_view name, const std::vector<uint8_t>& data);

private:
    void Write(std::string_view name, uint32_t type, const std::vector<uint8_t>& data);
    bool Read(std::string_view name, uint32_t expectedType, std::vector<uint8_t>& data) const;

    win::Hkey m_current{};
    std::string m_currentPath;
};

}  // namespace vcl
