#include "platform/win/commdlg.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

#include "platform/win/message_box.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"

namespace win {
namespace {

namespace fs = std::filesystem;

struct FileType {
    std::string description;
    std::string pattern;
};

std::vector<FileType> ParseFilter(const std::string& filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= filter.size() && !filter.empty()) {
        const size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    std::vector<FileType> types;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        types.push_back({parts[i], parts[i + 1]});
    }
    return types;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

/// The path with each part that does not exist as written replaced by the entry of its folder
/// whose name differs only in letter case.
fs::path ResolveIgnoringCase(const fs::path& path) {
    std::error_code error;
    if (fs::exists(path, error)) {
        return path;
    }
    fs::path resolved = path.root_path();
    for (const fs::path& part : path.relative_path()) {
        fs::path next = resolved / part;
        if (!fs::exists(next, error) && fs::is_directory(resolved.empty() ? "." : resolved, error)) {
            const std::string wanted = Lower(part.string());
            for (const auto& entry : fs::directory_iterator(resolved.empty() ? "." : resolved, error)) {
                if (Lower(entry.path().filename().string()) == wanted) {
                    next = resolved / entry.path().filename();
                    break;
                }
            }
        }
        resolved = next;
    }
    return resolved;
}

class FileDialog {
public:
    FileDialog(OpenFileName& info, bool save)
        : m_info(info),
          m_save(save),
          m_types(ParseFilter(info.filter)),
          m_className(!info.dialogClass.empty() ? info.dialogClass
                      : save                    ? "TSaveDialog"
                                                : "TOpenDialog") {
        std::error_code error;
        m_fileName = info.fileName;
        if (!info.initialDir.empty()) {
            m_folder = fs::absolute(info.initialDir, error);
        } else if (const fs::path given(info.fileName); given.has_parent_path()) {
            m_folder = fs::absolute(given.parent_path(), error);
            m_fileName = given.filename().string();
        } else {
            m_folder = fs::current_path(error);
        }
        m_folder = m_folder.lexically_normal();
        m_type = std::clamp<int32_t>(info.filterIndex, 1, std::max<int32_t>(1, static_cast<int32_t>(m_types.size())));
    }

    bool Run() {
        WriteToTranscript();
        bool escaped = false;
        while (m_open) {
            if (auto action = TakeFormAction(m_className)) {
                Perform(*action);
                continue;
            }
            if (!escaped) {
                escaped = true;
                TranscriptWrite("  user: Escape");
                m_open = false;
                m_note = " (no action was queued: Escape)";
            }
        }
        if (!m_chosen) {
            TranscriptWrite("  -> Cancel" + m_note);
            return false;
        }
        m_info.fileName = m_chosenPath;
        m_info.filterIndex = m_type;
        TranscriptWrite(std::string("  -> ") + (m_save ? "Save " : "Open ") + Quoted(TranscriptPath(m_chosenPath)));
        return true;
    }

private:
    std::string Title() const { return !m_info.title.empty() ? m_info.title : m_save ? "Save As" : "Open"; }

    void WriteToTranscript() const {
        TranscriptWrite("[form] " + Quoted(Title()) + " " + m_className + ", modal");
        TranscriptWrite("  edit FileName: " + Quoted(m_fileName));
        if (!m_types.empty()) {
            TranscriptWrite("  combo box FileType: " + Quoted(m_types[static_cast<size_t>(m_type - 1)].description));
            if (m_types.size() > 1) {
                for (size_t i = 0; i < m_types.size(); ++i) {
                    TranscriptWrite(std::string("    ") + (static_cast<int32_t>(i) + 1 == m_type ? "> " : "  ") +
                                    m_types[i].description);
                }
            }
        }
        TranscriptWrite("  label Folder: " + Quoted(TranscriptPath(m_folder.string())));
    }

    void Perform(const FormAction& action) {
        TranscriptWrite("  user: " + FormActionText(action));
        const std::string reason = Act(action);
        if (!reason.empty()) {
            TranscriptWrite("    not done: " + reason);
        }
    }

    std::string Act(const FormAction& action) {
        if (action.kind == FormAction::Kind::Close) {
            m_open = false;
            return "";
        }
        const std::string control = Lower(action.control);
        if (action.kind == FormAction::Kind::Set) {
            if (control == "filename") {
                m_fileName = action.value;
                return "";
            }
            if (control == "folder") {
                std::error_code error;
                const fs::path folder = ResolveIgnoringCase(fs::absolute(m_folder / action.value, error));
                if (!fs::is_directory(folder, error)) {
                    return "no folder " + Quoted(action.value);
                }
                m_folder = folder.lexically_normal();
                return "";
            }
            if (control == "filetype") {
                for (size_t i = 0; i < m_types.size(); ++i) {
                    if (Lower(m_types[i].description) == Lower(action.value) || std::to_string(i) == action.value) {
                        m_type = static_cast<int32_t>(i) + 1;
                        return "";
                    }
                }
                return "no file type " + Quoted(action.value);
            }
            return "no control " + Quoted(action.control) + " on this form";
        }
        if (control == "cancel") {
            m_open = false;
            return "";
        }
        if (control == "ok" || control == (m_save ? "save" : "open")) {
            return Confirm();
        }
        return "no button " + Quoted(action.control) + " on this form";
    }

    std::string Confirm() {
        if (m_fileName.empty()) {
            return "no file name";
        }
        std::error_code error;
        fs::path path = fs::path(m_fileName).is_absolute() ? fs::path(m_fileName) : m_folder / m_fileName;
        path = ResolveIgnoringCase(path.lexically_normal());
        if (fs::is_directory(path, error)) {
            m_folder = path;
            m_fileName.clear();
            return "";  // a folder typed opens it
        }
        std::string extension = m_info.defaultExt;
        if (!extension.empty() && extension.front() == '.') {
            extension.erase(0, 1);
        }
        if (!path.has_extension() && !extension.empty()) {
            path = ResolveIgnoringCase(fs::path(path.string() + "." + extension));
        }
        if ((m_info.flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) != 0 &&
            !fs::is_directory(path.parent_path(), error)) {
            return "the folder " + Quoted(TranscriptPath(path.parent_path().string())) + " does not exist";
        }
        if ((m_info.flags & OFN_FILEMUSTEXIST) != 0 && !fs::is_regular_file(path, error)) {
            return "the file " + Quoted(TranscriptPath(path.string())) + " does not exist";
        }
        if (m_save && (m_info.flags & OFN_OVERWRITEPROMPT) != 0 && fs::exists(path, error) &&
            MessageBox(m_info.owner, path.filename().string() + " already exists.\nDo you want to replace it?", Title(),
                       MB_YESNO | MB_ICONWARNING) != IDYES) {
            return "the file is not replaced";
        }
        m_chosenPath = path.string();
        m_chosen = true;
        m_open = false;
        return "";
    }

    OpenFileName& m_info;
    bool m_save;
    std::vector<FileType> m_types;
    std::string m_className;
    std::string m_fileName;
    fs::path m_folder;
    int32_t m_type = 1;
    bool m_open = true;
    bool m_chosen = false;
    std::string m_chosenPath;
    std::string m_note;
};

}  // namespace

bool GetOpenFileName(OpenFileName& info) {
    return FileDialog(info, false).Run();
}

bool GetSaveFileName(OpenFileName& info) {
    return FileDialog(info, true).Run();
}

uint32_t CommDlgExtendedError() {
    return 0;
}

}  // namespace win
