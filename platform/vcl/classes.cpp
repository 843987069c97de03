#include "platform/vcl/classes.h"

#include <cxxabi.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <typeinfo>

namespace vcl {

std::string TObject::ClassName() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                     std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    const size_t scope = name.rfind("::");
    return scope == std::string::npos ? name : name.substr(scope + 2);
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) {
        return -1;
    }
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = (c < 0 ? -static_cast<int64_t>(c) : c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = ((product < 0 ? -product : product) + half) / (c < 0 ? -static_cast<int64_t>(c) : c);
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// ---- TStrings ----

void TStrings::CheckIndex(int32_t index, int32_t limit) const {
    if (index < 0 || index >= limit) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    }
}

void TStrings::Notify(Change change, int32_t index) {
    if (m_listener) {
        m_listener(change, index);
    }
}

const std::string& TStrings::Strings(int32_t index) const {
    CheckIndex(index, Count());
    return m_items[static_cast<size_t>(index)];
}

void TStrings::SetStrings(int32_t index, std::string_view text) {
    CheckIndex(index, Count());
    m_items[static_cast<size_t>(index)] = std::string(text);
    Notify(Change::Replaced, index);
}

int32_t TStrings::Add(std::string_view text) {
    m_items.emplace_back(text);
    Notify(Change::Inserted, Count() - 1);
    return Count() - 1;
}

void TStrings::Insert(int32_t index, std::string_view text) {
    CheckIndex(index, Count() + 1);
    m_items.insert(m_items.begin() + index, std::string(text));
    Notify(Change::Inserted, index);
}

void TStrings::Delete(int32_t index) {
    CheckIndex(index, Count());
    m_items.erase(m_items.begin() + index);
    Notify(Change::Deleted, index);
}

void TStrings::Clear() {
    m_items.clear();
    Notify(Change::Cleared, -1);
}

int32_t TStrings::IndexOf(std::string_view text) const {
    for (int32_t i = 0; i < Count(); ++i) {
        if (SameText(m_items[static_cast<size_t>(i)], text)) {
            return i;
        }
    }
    return -1;
}

std::string TStrings::Text() const {
    std::string text;
    for (size_t i = 0; i < m_items.size(); ++i) {
        text += (i == 0 ? "" : "\n") + m_items[i];
    }
    return text;
}

void TStrings::SetText(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        start = end + 1;
    }
    Assign(lines);
}

void TStrings::Assign(const std::vector<std::string>& items) {
    Clear();
    for (const std::string& item : items) {
        Add(item);
    }
}

// ---- TComponent ----

TComponent::TComponent(TComponent* owner) : m_owner(owner) {
    if (owner != nullptr) {
        owner->m_components.push_back(this);
    }
}

TComponent::~TComponent() {
    DestroyComponents();
    if (m_owner != nullptr) {
        std::erase(m_owner->m_components, this);
    }
}

void TComponent::DestroyComponents() {
    m_destroying = true;
    while (!m_components.empty()) {
        TComponent* last = m_components.back();
        m_components.pop_back();
        last->m_owner = nullptr;
        delete last;
    }
}

TComponent* TComponent::Components(int32_t index) const {
    if (index < 0 || index >= ComponentCount()) {
        throw std::out_of_range("Component index out of bounds (" + std::to_string(index) + ")");
    }
    return m_components[static_cast<size_t>(index)];
}

int32_t TComponent::ComponentIndex() const {
    if (m_owner == nullptr) {
        return -1;
    }
    const auto& list = m_owner->m_components;
    return static_cast<int32_t>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) {
        return nullptr;
    }
    for (TComponent* component : m_components) {
        if (SameText(component->Name(), name)) {
            return component;
        }
    }
    return nullptr;
}

}  // namespace vcl
