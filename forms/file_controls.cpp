#include "forms/file_controls.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace orvex {
namespace {

std::vector<std::filesystem::path> SortedEntries(const std::filesystem::path& folder, bool folders) {
    std::vector<std::filesystem::path> entries;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (it->is_directory(kindError) == folders && !kindError) {
            entries.push_back(it->path());
        }
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool SameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

}  // namespace

std::filesystem::path FolderOfPathEdit(vcl::TEdit* edit, std::string text) {
    if (text.size() > 1 && text[1] == '\\') {
        text.insert(1, ":");
        if (edit != nullptr) {
            edit->SetText(text);
        }
    }
    std::error_code error;
    std::filesystem::path path =
        text.empty() ? std::filesystem::current_path(error) : std::filesystem::absolute(text, error);
    path = path.lexically_normal();
    if (path.has_relative_path() && !path.has_filename()) {
        path = path.parent_path();  // no trailing separator
    }
    return path;
}

bool MatchesFileMask(std::string_view name, std::string_view mask) {
    if (mask.empty()) {
        return name.empty();
    }
    if (mask[0] == '*') {
        for (size_t skip = 0; skip <= name.size(); ++skip) {
            if (MatchesFileMask(name.substr(skip), mask.substr(1))) {
                return true;
            }
        }
        return false;
    }
    if (name.empty() || (mask[0] != '?' && !SameLetter(mask[0], name[0]))) {
        return false;
    }
    return MatchesFileMask(name.substr(1), mask.substr(1));
}

// ---- TDirectoryListBox ----

TDirectoryListBox::TDirectoryListBox(vcl::TComponent* owner) : vcl::TListBox(owner) {}

void TDirectoryListBox::SetDirectory(const std::filesystem::path& directory) {
    const std::filesystem::path normal = directory.lexically_normal();
    const bool changed = normal != m_directory;
    m_directory = normal;
    Update();
    if (!changed) {
        return;
    }
    if (m_fileList != nullptr) {
        m_fileList->SetDirectory(m_directory);
    }
    if (OnChange && EventsAllowed()) {
        OnChange(this);
    }
}

void TDirectoryListBox::Update() {
    std::vector<std::string> lines;
    std::vector<std::filesystem::path> chain;
    for (std::filesystem::path p = m_directory; !p.empty(); p = p.parent_path()) {
        chain.insert(chain.begin(), p);
        if (p == p.parent_path()) {
            break;
        }
    }
    for (const auto& p : chain) {
        lines.push_back(p.has_filename() ? p.filename().string() : p.string());
    }
    m_ancestorCount = static_cast<int32_t>(chain.size());
    for (const auto& folder : SortedEntries(m_directory, true)) {
        lines.push_back(folder.filename().string());
    }
    Items().Assign(lines);
    if (m_ancestorCount > 0) {
        SetSelected(m_ancestorCount - 1, true);
    }
}

std::filesystem::path TDirectoryListBox::ItemPath(int32_t index) const {
    CheckItem(index);
    if (index < m_ancestorCount) {
        std::filesystem::path p = m_directory;
        for (int32_t up = m_ancestorCount - 1; up > index; --up) {
            p = p.parent_path();
        }
        return p;
    }
    return m_directory / Items()[index];
}

// ---- TFileListBox ----

TFileListBox::TFileListBox(vcl::TComponent* owner) : vcl::TListBox(owner) {}

void TFileListBox::SetDirectory(const std::filesystem::path& directory) {
    m_directory = directory.lexically_normal();
    Update();
}

void TFileListBox::SetMask(std::string_view mask) {
    m_mask = std::string(mask);
    Update();
}

void TFileListBox::Update() {
    std::vector<std::string> names;
    if (!m_directory.empty()) {
        for (const auto& file : SortedEntries(m_directory, false)) {
            const std::string name = file.filename().string();
            if (MatchesFileMask(name, m_mask)) {
                names.push_back(name);
            }
        }
    }
    Items().Assign(names);
}

std::filesystem::path TFileListBox::ItemPath(int32_t index) const {
    CheckItem(index);
    return m_directory / Items()[index];
}

}  // namespace orvex
