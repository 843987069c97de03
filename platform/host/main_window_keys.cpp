#include "platform/host/main_window_keys.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <utility>

#include "platform/host/document_commands.h"
#include "platform/host/music_model.h"
#include "platform/host/region_commands.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/transcript.h"
#include "platform/win/windows.h"

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

RegionDialogAccelerators RegionDialogAcceleratorsOf(Language language, int32_t year) {
    switch (language) {
        case Language::German:
            return year < 2000 ? RegionDialogAccelerators{"e", "b"} : RegionDialogAccelerators{"b", "b"};
        case Language::Italian:
            return year < 2000 ? RegionDialogAccelerators{"p", "o"} : RegionDialogAccelerators{"m", "o"};
        default:
            return year < 2000 ? RegionDialogAccelerators{"m", "s"} : RegionDialogAccelerators{"e", "o"};
    }
}

NoteSpacingAccelerators NoteSpacingAcceleratorsOf(Language language, int32_t year) {
    switch (language) {
        case Language::German:
            return year < 2001 ? NoteSpacingAccelerators{"ä", "s", "n"} : NoteSpacingAccelerators{"e", "m", "n"};
        case Language::Italian:
            return {"s", "z", "f"};
        default:
            return year < 2001 ? NoteSpacingAccelerators{"s", "s", "n"} : NoteSpacingAccelerators{"m", "s", "n"};
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

bool MainWindowKeys::IsMenu(Mode mode) {
    return mode == Mode::FileMenu || mode == Mode::RegionMenu || mode == Mode::SpacingMenu ||
           mode == Mode::SpacingSubmenu;
}

bool MainWindowKeys::IsDialog(Mode mode) {
    return mode == Mode::OpenDialog || mode == Mode::PrintDialog || mode == Mode::RegionDialog;
}

void MainWindowKeys::SetMode(Mode mode) {
    const Mode before = std::exchange(m_mode, mode);
    const win::Hwnd window = m_host.MainWindow();
    // A menu's modal loop tells its owner as it begins and ends; a modal dialog disables its owner
    // while it is open. A menu that leads to a submenu or a dialog ends its loop before the
    // dialog opens.
    if (IsMenu(before) && !IsMenu(mode)) {
        win::SendMessage(window, win::WM_EXITMENULOOP, 0, 0);
    }
    if (IsDialog(before) != IsDialog(mode)) {
        win::EnableWindow(window, !IsDialog(mode));
    }
    if (!IsMenu(before) && IsMenu(mode)) {
        win::SendMessage(window, win::WM_ENTERMENULOOP, 0, 0);
    }
}

std::string MainWindowKeys::LetterOf(uint16_t virtualKey) const {
    if (virtualKey == win::VK_OEM_3 && m_host.CurrentLanguage() == Language::German) {
        return "ö";
    }
    if (virtualKey == win::VK_OEM_7 && m_host.CurrentLanguage() == Language::German) {
        return "ä";
    }
    const char c = TypedCharacter(virtualKey, false);
    return c == 0 ? std::string() : std::string(1, c);
}

void MainWindowKeys::KeyDown(uint16_t virtualKey) {
    if (virtualKey == win::VK_SHIFT || virtualKey == win::VK_CONTROL || virtualKey == win::VK_MENU) {
        return;
    }
    if (virtualKey == win::VK_ESCAPE) {
        SetMode(Mode::Idle);
        return;
    }
    const FileMenuAccelerators keys = FileMenuAcceleratorsOf(m_host.CurrentLanguage(), m_host.Year());
    const NoteSpacingAccelerators spacing = NoteSpacingAcceleratorsOf(m_host.CurrentLanguage(), m_host.Year());
    const bool alt = Down(win::VK_MENU);
    const std::string letter = Lower(LetterOf(virtualKey));
    switch (m_mode) {
        case Mode::Idle:
            if (alt && letter == keys.file) {
                SetMode(Mode::FileMenu);
            } else if (alt && letter == RegionDialogAcceleratorsOf(m_host.CurrentLanguage(), m_host.Year()).menu) {
                SetMode(Mode::RegionMenu);
            } else if (alt && letter == spacing.menu) {
                SetMode(Mode::SpacingMenu);
            } else if (!alt) {
                RegionCommand(virtualKey, Down(win::VK_CONTROL));
            }
            return;
        case Mode::SpacingMenu:
            SetMode(!alt && letter == spacing.submenu ? Mode::SpacingSubmenu : Mode::Idle);
            return;
        case Mode::SpacingSubmenu:
            SetMode(Mode::Idle);
            if (!alt && letter == spacing.item) {
                m_host.ApplyNoteSpacing();
            }
            return;
        case Mode::RegionMenu:
            SetMode(Mode::Idle);
            if (letter == RegionDialogAcceleratorsOf(m_host.CurrentLanguage(), m_host.Year()).item &&
                m_host.FrontDocument() != nullptr) {
                SetMode(Mode::RegionDialog);
                m_dialogFocus = 0;
                m_dialogStaves = {1, 1};
                m_dialogMeasures = {"", ""};
                m_dialogTextSelected = false;
            }
            return;
        case Mode::RegionDialog:
            RegionDialogKey(virtualKey, alt);
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
    SetMode(Mode::Idle);
    m_field.clear();
    if (letter == keys.open) {
        SetMode(Mode::OpenDialog);
    } else if (letter == keys.print) {
        // Without a document the host's Print command is disabled.
        if (m_host.FrontDocument() != nullptr) {
            SetMode(Mode::PrintDialog);
            m_field = "1";
            m_copiesFocused = false;
            m_copiesSelected = false;
        }
    } else if (letter == keys.close) {
        m_host.NoteCommandStep();
        CloseFrontDocument(m_host);
    }
}

bool MainWindowKeys::RegionCommand(uint16_t virtualKey, bool ctrl) {
    Document* front = m_host.FrontDocument();
    if (front == nullptr || (ctrl && virtualKey == win::VK_BACK) || (!ctrl && virtualKey != win::VK_BACK)) {
        return false;
    }
    if (ctrl && virtualKey == 'Z') {
        m_host.Undo();
        return true;
    }
    if (ctrl && virtualKey == 'Y') {
        m_host.Redo();
        return true;
    }
    if (ctrl && virtualKey == 'A') {
        m_host.SetSelection(WholeDocumentRegion(*front));
        win::TranscriptWrite("host: selected the whole document: " + RegionText(*m_host.Selection()));
        return true;
    }
    const std::optional<hostapi::SelectionRecord> selection = m_host.Selection();
    if (virtualKey == win::VK_BACK) {
        if (!selection) {
            win::TranscriptWrite("host: clear: nothing is selected");
            return true;
        }
        std::vector<DocumentReport> reports;
        m_host.RunHostEdit("Clear", [&] { reports = m_host.TrackChanges([&] { ClearRegion(*front, *selection); }); });
        win::TranscriptWrite("host: cleared " + RegionText(*selection));
        m_host.WriteChangeSummary("the clear", reports);
        return true;
    }
    if (virtualKey == 'C') {
        if (!selection) {
            win::TranscriptWrite("host: copy: nothing is selected");
        } else if (auto copied = CopyRegion(*front, *selection)) {
            size_t entries = 0;
            for (const ClipboardCell& cell : copied->cells) {
                entries += cell.entries.size();
            }
            win::TranscriptWrite("host: copied " + RegionText(*selection) + " (" + std::to_string(entries) +
                                 (entries == 1 ? " entry)" : " entries)"));
            m_clipboard = std::move(copied);
        }
        return true;
    }
    if (virtualKey == 'V') {
        if (!selection || !m_clipboard) {
            win::TranscriptWrite(std::string("host: paste: ") +
                                 (!m_clipboard ? "nothing was copied" : "nothing is selected"));
            return true;
        }
        std::optional<hostapi::SelectionRecord> pasted;
        std::vector<DocumentReport> reports;
        m_host.RunHostEdit("Paste", [&] {
            reports = m_host.TrackChanges([&] { pasted = PasteRegion(*front, *m_clipboard, *selection); });
        });
        if (!pasted) {
            win::TranscriptWrite("host: paste: the region lies outside the document");
            return true;
        }
        m_host.SetSelection(*pasted);
        win::TranscriptWrite("host: pasted into " + RegionText(*pasted));
        m_host.WriteChangeSummary("the paste", reports);
        return true;
    }
    return false;
}

void MainWindowKeys::RegionDialogKey(uint16_t virtualKey, bool alt) {
    // Controls 3 and 6 are the staff lists, 4 and 7 the measure fields (main_window_keys.h).
    constexpr int32_t kControls = 8;
    const int32_t list = m_dialogFocus == 3 ? 0 : m_dialogFocus == 6 ? 1 : -1;
    const int32_t field = m_dialogFocus == 4 ? 0 : m_dialogFocus == 7 ? 1 : -1;
    const Document* front = m_host.FrontDocument();
    if (front == nullptr) {
        SetMode(Mode::Idle);
        return;
    }
    if (virtualKey == win::VK_RETURN) {
        SetMode(Mode::Idle);
        SelectDialogRegion();
    } else if (virtualKey == win::VK_TAB) {
        m_dialogFocus = (m_dialogFocus + 1) % kControls;
        m_dialogTextSelected = m_dialogFocus == 4 || m_dialogFocus == 7;
    } else if (list >= 0) {
        auto& position = m_dialogStaves[static_cast<size_t>(list)];
        if (virtualKey == win::VK_HOME) {
            position = 1;
        } else if (virtualKey == win::VK_DOWN) {
            position = std::min(position + 1, std::max(StaffCountOfView(*front, 0), 1));
        }
    } else if (field >= 0) {
        std::string& text = m_dialogMeasures[static_cast<size_t>(field)];
        if (virtualKey == win::VK_END) {
            m_dialogTextSelected = false;
        } else if (virtualKey == win::VK_BACK) {
            text = m_dialogTextSelected || text.empty() ? "" : text.substr(0, text.size() - 1);
            m_dialogTextSelected = false;
        } else if (const char c = TypedCharacter(virtualKey, false); c >= '0' && c <= '9' && !alt) {
            // A number field: a digit key gives its digit, with Shift held too; it takes no other
            // character.
            text = m_dialogTextSelected ? std::string(1, c) : text + c;
            m_dialogTextSelected = false;
        }
    }
}

void MainWindowKeys::SelectDialogRegion() {
    const Document* front = m_host.FrontDocument();
    std::array<int32_t, 2> measures{};
    for (size_t i = 0; i < 2; ++i) {
        const std::string& text = m_dialogMeasures[i];
        const bool number = !text.empty() && text.size() < 6 &&
                            std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
        if (!number || front == nullptr) {
            win::TranscriptWrite("host: the region dialog closed; \"" + text +
                                 "\" is not a measure number, the selection stays as it was");
            return;
        }
        measures[i] = std::stoi(text);
    }
    const int32_t last = WholeDocumentRegion(*front).lastMeasure();
    if (measures[0] < 1 || measures[1] < 1 || measures[0] > last || measures[1] > last) {
        win::TranscriptWrite("host: the region dialog closed; the document has measures 1-" + std::to_string(last) +
                             ", the selection stays as it was");
        return;
    }
    m_host.SetSelection(WholeMeasureRegion(*front, std::min(m_dialogStaves[0], m_dialogStaves[1]),
                                           std::max(m_dialogStaves[0], m_dialogStaves[1]),
                                           std::min(measures[0], measures[1]), std::max(measures[0], measures[1])));
    win::TranscriptWrite("host: the region dialog selected " + RegionText(*m_host.Selection()));
}

void MainWindowKeys::OpenTypedPath() {
    SetMode(Mode::Idle);
    m_host.NoteCommandStep();
    OpenDocumentFile(m_host, ResolvePathIgnoringCase(m_field));
    m_field.clear();
}

void MainWindowKeys::PrintFrontDocument() {
    SetMode(Mode::Idle);
    m_host.NoteCommandStep();
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
    // The document's file tells the user which file went to the printer.
    const std::string file =
        front->Path().empty() ? std::string() : " (" + win::TranscriptPath(front->Path().string()) + ")";
    win::TranscriptWrite("host: printed " + front->Name() + file + " on the printer, " + std::to_string(copies) +
                         (copies == 1 ? " copy" : " copies"));
}

}  // namespace host
