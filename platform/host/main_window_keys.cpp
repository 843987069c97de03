#include "platform/host/main_window_keys.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "platform/host/document_commands.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/transcript.h"

namespace host {
namespace {

bool Down(uint16_t key) {
    return (win::GetKeyState(key) & 0x8000) != 0;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

}  // namespace

FileMenuAccelerators FileMenuAcceleratorsOf(Language language, int32_t year) {
    switch (language) {
        case Language::German:
            return {"d", "ö", year < 2000 ? "p" : "d", "c", "k"};
        case Language::Italian:
            return {"f", "a", "m", "d", "c"};
        default:
            return {"f", "o", "p", "c", "c"};
    }
}

char TypedCharacter(uint16_t virtualKey, bool shift) {
    // The layout's inverse: the printable character whose key and Shift state these are.
    for (int c = 0x20; c < 0x7F; ++c) {
        const int16_t scan = win::VkKeyScan(static_cast<char>(c));
        if (scan != -1 && (scan & 0xFF) == virtualKey && ((scan & 0x100) != 0) == shift) {
            return static_cast<char>(c);
        }
    }
    return 0;
}

std::filesystem::path ResolvePathIgnoringCase(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(path, error) || !path.is_absolute()) {
        return path;
    }
    fs::path resolved = path.root_path();
    for (const fs::path& part : path.relative_path()) {
        fs::path next = resolved / part;
        if (!fs::exists(next, error)) {
            const std::string wanted = Lower(part.string());
            for (fs::directory_iterator it(resolved, error), end; !error && it != end; it.increment(error)) {
                if (Lower(it->path().filename().string()) == wanted) {
                    next = it->path();
                    break;
                }
            }
        }
        if (!fs::exists(next, error)) {
            return path;
        }
        resolved = next;
    }
    return resolved;
}

std::string MainWindowKeys::LetterOf(uint16_t virtualKey) const {
    if (virtualKey == win::VK_OEM_3 && m_host.CurrentLanguage() == Language::German) {
        return "ö";
    }
    const char c = TypedCharacter(virtualKey, false);
    return c == 0 ? std::string() : std::string(1, c);
}

void MainWindowKeys::KeyDown(uint16_t virtualKey) {
    if (virtualKey == win::VK_SHIFT || virtualKey == win::VK_CONTROL || virtualKey == win::VK_MENU) {
        return;
    }
    if (virtualKey == win::VK_ESCAPE) {
        m_mode = Mode::Idle;
        return;
    }
    const FileMenuAccelerators keys = FileMenuAcceleratorsOf(m_host.CurrentLanguage(), m_host.Year());
    const bool alt = Down(win::VK_MENU);
    const std::string letter = Lower(LetterOf(virtualKey));
    switch (m_mode) {
        case Mode::Idle:
            if (alt && letter == keys.file) {
                m_mode = Mode::FileMenu;
            }
            return;
        case Mode::FileMenu:
            ChooseFileCommand(letter);
            return;
        case Mode::OpenDialog:
            if (virtualKey == win::VK_RETURN) {
                OpenTypedPath();
            } else if (virtualKey == win::VK_BACK) {
                if (!m_field.empty()) {
                    m_field.pop_back();
                }
            } else if (const char c = TypedCharacter(virtualKey, Down(win::VK_SHIFT)); c != 0 && !alt) {
                m_field += c;
            }
            return;
        case Mode::PrintDialog:
            if (virtualKey == win::VK_RETURN) {
                PrintFrontDocument();
            } else if (alt) {
                if (letter == keys.copies) {
                    m_copiesFocused = true;
                    m_copiesSelected = true;
                }
            } else if (m_copiesFocused) {
                if (virtualKey == win::VK_BACK) {
                    m_field = m_copiesSelected || m_field.empty() ? "" : m_field.substr(0, m_field.size() - 1);
                    m_copiesSelected = false;
                } else if (const char c = TypedCharacter(virtualKey, Down(win::VK_SHIFT)); c != 0) {
                    m_field = m_copiesSelected ? std::string(1, c) : m_field + c;
                    m_copiesSelected = false;
                }
            }
            return;
    }
}

void MainWindowKeys::ChooseFileCommand(const std::string& letter) {
    const FileMenuAccelerators keys = FileMenuAcceleratorsOf(m_host.CurrentLanguage(), m_host.Year());
    m_mode = Mode::Idle;
    m_field.clear();
    if (letter == keys.open) {
        m_mode = Mode::OpenDialog;
    } else if (letter == keys.print) {
        // Without a document the host's Print command is disabled.
        if (m_host.FrontDocument() != nullptr) {
            m_mode = Mode::PrintDialog;
            m_field = "1";
            m_copiesFocused = false;
            m_copiesSelected = false;
        }
    } else if (letter == keys.close) {
        CloseFrontDocument(m_host);
    }
}

void MainWindowKeys::OpenTypedPath() {
    m_mode = Mode::Idle;
    OpenDocumentFile(m_host, ResolvePathIgnoringCase(m_field));
    m_field.clear();
}

void MainWindowKeys::PrintFrontDocument() {
    m_mode = Mode::Idle;
    const Document* front = m_host.FrontDocument();
    int32_t copies = 0;
    const bool number = !m_field.empty() && std::all_of(m_field.begin(), m_field.end(), [](unsigned char c) {
        return std::isdigit(c) != 0;
    }) && m_field.size() < 6;
    if (number) {
        copies = std::stoi(m_field);
    }
    if (front == nullptr) {
        return;
    }
    if (copies < 1) {
        win::TranscriptWrite("host: cannot print " + front->Name() + ": \"" + m_field + "\" is not a number of copies");
        return;
    }
    win::TranscriptWrite("host: printed " + front->Name() + ", " + std::to_string(copies) +
                         (copies == 1 ? " copy" : " copies"));
}

}  // namespace host
