// File controls of the action options dialog: a list of folders and a list of files of one mask
// in a folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/vcl/stdctrls.h"

namespace orvex {

class TFileListBox;

/// The folder a path edit's text names, as the file lists show it: a text "C\..." gets its drive's
/// colon back (in the edit too, when there is one), an empty text is the current folder, and the
/// folder is absolute and normal, without a trailing separator.
std::filesystem::path FolderOfPathEdit(vcl::TEdit* edit, std::string text);

/// The folders of a path: one line per folder from the root down to the current one, then the
/// current folder's subfolders in name order. The current folder's line is the item index.
class TDirectoryListBox : public vcl::TListBox {
public:
    explicit TDirectoryListBox(vcl::TComponent* owner);

    const std::filesystem::path& Directory() const { return m_directory; }
    /// Shows the folder; a changed folder runs OnChange and points the linked file list at it.
    void SetDirectory(const std::filesystem::path& directory);
    /// The file list that follows this list's folder (none by default).
    void SetFileList(TFileListBox* fileList) { m_fileList = fileList; }
    /// The full path of the folder on line `index`; throws std::out_of_range outside the list.
    std::filesystem::path ItemPath(int32_t index) const;
    /// Rereads the folders.
    void Update();

    vcl::TNotifyEvent OnChange;

    std::string KindName() const override { return "directory list"; }

private:
    std::filesystem::path m_directory;
    TFileListBox* m_fileList = nullptr;
    int32_t m_ancestorCount = 0;  ///< lines from the root down to the current folder
};

/// The files of a folder whose names match a mask ("*.MUS": letters compared regardless of
/// case), in name order.
class TFileListBox : public vcl::TListBox {
public:
    explicit TFileListBox(vcl::TComponent* owner);

    const std::filesystem::path& Directory() const { return m_directory; }
    void SetDirectory(const std::filesystem::path& directory);
    const std::string& Mask() const { return m_mask; }
    void SetMask(std::string_view mask);
    /// Rereads the folder.
    void Update();
    /// The full path of the file on line `index`; throws std::out_of_range outside the list.
    std::filesystem::path ItemPath(int32_t index) const;

    std::string KindName() const override { return "file list"; }

private:
    std::filesystem::path m_directory;
    std::string m_mask = "*.*";
};

/// Whether a file name matches a mask of "*" and "?" wildcards, letters compared regardless of case.
bool MatchesFileMask(std::string_view name, std::string_view mask);

}  // namespace orvex
