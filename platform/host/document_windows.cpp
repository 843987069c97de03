#include "platform/host/document_windows.h"

#include <climits>
#include <string>

#include "platform/host/document_commands.h"
#include "platform/host/host.h"
#include "platform/host/record_store.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/messages.h"
#include "platform/win/user32.h"
#include "platform/win/windows.h"

namespace host {
namespace {

constexpr const char* kDocumentClass = "FinaleDocument";
constexpr const char* kViewClass = "FinaleView";
constexpr const char* kPaneClass = "FinalePane";
constexpr const char* kSpeedyClass = "FinSpeedy";
/// The identifiers of MDI children, as the host's class library numbers them.
constexpr int32_t kFirstDocumentWindowId = 0xFF00;

/// The pages of a document: its page records (at least one page).
int32_t PageCount(const Document& document) {
    const auto last = document.Records().Previous(RecordKey::Other(hostapi::kTagPage, INT16_MAX, INT16_MAX));
    return last && last->tag == hostapi::kTagPage ? std::max<int32_t>(1, last->first) : 1;
}

/// A scroll bar control answers its position.
intptr_t ScrollBarProc(win::Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == win::SBM_GETPOS) {
        return win::GetScrollPos(window, win::SB_CTL);
    }
    return win::DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

DocumentWindows::DocumentWindows(Host& host) : m_host(host) {
    m_client = win::CreateWindow({.className = "MDIClient", .parent = host.MainWindow(), .id = kMdiClientId});
    win::SetWindowProc(m_client, [this](win::Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
        switch (message) {
            case win::WM_MDIGETACTIVE:
                return static_cast<intptr_t>(win::GetTopWindow(window));
            case win::WM_MDIACTIVATE: {
                const auto child = static_cast<win::Hwnd>(wParam);
                if (win::GetParent(child) != window) {
                    return intptr_t{0};
                }
                // A program that activates a document window brings its document to the front, as
                // the Window menu does.
                for (size_t i = 0; i < m_entries.size(); ++i) {
                    const auto number = static_cast<int32_t>(i + 1);
                    if (m_entries[i].frame == child && number != m_host.FrontNumber()) {
                        BringDocumentToFront(m_host, number);
                        return intptr_t{0};
                    }
                }
                win::SetWindowPos(child, win::HWND_TOP, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
                return intptr_t{0};
            }
            default:
                return win::DefWindowProc(window, message, wParam, lParam);
        }
    });
}

DocumentWindows::~DocumentWindows() {
    if (win::IsWindow(m_client)) {
        win::SetWindowProc(m_client, {});
    }
}

win::Hwnd DocumentWindows::WindowOf(int32_t number) const {
    if (number < 1 || number > static_cast<int32_t>(m_entries.size())) {
        return win::kNoWindow;
    }
    return m_entries[static_cast<size_t>(number - 1)].frame;
}

DocumentWindows::Entry* DocumentWindows::Front() {
    const int32_t front = m_host.FrontNumber();
    if (front < 1 || front > static_cast<int32_t>(m_entries.size())) {
        return nullptr;
    }
    return &m_entries[static_cast<size_t>(front - 1)];
}

const DocumentView& DocumentWindows::ViewOf(int32_t number) const {
    return m_entries.at(static_cast<size_t>(number - 1)).state;
}

const DocumentView* DocumentWindows::FrontView() const {
    const int32_t front = m_host.FrontNumber();
    if (front < 1 || front > static_cast<int32_t>(m_entries.size())) {
        return nullptr;
    }
    return &m_entries[static_cast<size_t>(front - 1)].state;
}

void DocumentWindows::Added() {
    const int32_t number = m_host.DocumentCount();
    Entry entry;
    entry.frame = win::CreateWindow({.className = kDocumentClass,
                                     .title = m_host.DocumentAt(number).Name(),
                                     .parent = m_client,
                                     .id = kFirstDocumentWindowId + number - 1});
    entry.view = win::CreateWindow(
        {.className = kViewClass, .parent = entry.frame, .id = m_host.Year() < 2000 ? 50 : kMdiClientId});
    const win::Hwnd scrollPane =
        win::CreateWindow({.className = kPaneClass, .parent = entry.frame, .id = kScrollPaneId});
    entry.scrollBar = win::CreateWindow({.className = "ScrollBar", .parent = scrollPane, .id = kMeasureScrollBarId});
    win::SetWindowProc(entry.scrollBar, ScrollBarProc);
    const win::Hwnd controls =
        win::CreateWindow({.className = kPaneClass, .parent = entry.frame, .id = kViewControlsPaneId});
    entry.pageMark = win::CreateWindow(
        {.className = "Static", .title = "Page View", .parent = controls, .id = kPageViewMarkId, .visible = false});
    entry.pageField = win::CreateWindow(
        {.className = "Edit", .title = "1", .parent = controls, .id = kPageFieldId, .visible = false});
    m_entries.push_back(entry);
    Show(m_entries.back());
    ShowSpeedy(m_entries.back());
    win::SendMessage(m_client, win::WM_MDIACTIVATE, static_cast<uintptr_t>(entry.frame));
}

void DocumentWindows::BroughtToFront(int32_t number) {
    const win::Hwnd frame = WindowOf(number);
    if (frame != win::kNoWindow) {
        win::SendMessage(m_client, win::WM_MDIACTIVATE, static_cast<uintptr_t>(frame));
    }
}

void DocumentWindows::Closing(int32_t number) {
    if (number < 1 || number > static_cast<int32_t>(m_entries.size())) {
        return;
    }
    const win::Hwnd frame = m_entries[static_cast<size_t>(number - 1)].frame;
    m_entries.erase(m_entries.begin() + (number - 1));
    win::DestroyWindow(frame);
}

void DocumentWindows::Show(Entry& entry) {
    win::ShowWindow(entry.pageMark, entry.state.pageView);
    win::ShowWindow(entry.pageField, entry.state.pageView);
    win::SetWindowText(entry.pageField, std::to_string(entry.state.page));
    win::SetScrollPos(entry.scrollBar, win::SB_CTL, entry.state.pageView ? 0 : entry.state.firstMeasure, true);
    // The host reads the scroll bar whenever the view may have changed.
    win::SendMessage(entry.scrollBar, win::SBM_GETPOS);
}

void DocumentWindows::ShowSpeedy(Entry& entry) {
    const win::Hwnd speedy = win::FindWindowEx(entry.view, win::kNoWindow, kSpeedyClass);
    if (m_speedyEntry && speedy == win::kNoWindow) {
        win::CreateWindow({.className = kSpeedyClass, .parent = entry.view});
    } else if (!m_speedyEntry && speedy != win::kNoWindow) {
        win::DestroyWindow(speedy);
    }
}

bool DocumentWindows::SetPageView(bool pageView) {
    Entry* front = Front();
    if (front == nullptr) {
        return false;
    }
    front->state.pageView = pageView;
    Show(*front);
    return true;
}

bool DocumentWindows::ShowPage(int32_t page) {
    Entry* front = Front();
    if (front == nullptr || page < 1 || page > PageCount(*m_host.FrontDocument())) {
        return false;
    }
    front->state.pageView = true;
    front->state.page = page;
    Show(*front);
    return true;
}

bool DocumentWindows::ScrollToMeasure(int32_t measure) {
    Entry* front = Front();
    if (front == nullptr || measure < 1) {
        return false;
    }
    front->state.pageView = false;
    front->state.firstMeasure = measure;
    Show(*front);
    return true;
}

void DocumentWindows::SetSpeedyEntry(bool chosen) {
    m_speedyEntry = chosen;
    for (Entry& entry : m_entries) {
        ShowSpeedy(entry);
    }
}

namespace {

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

std::string WindowName(win::Hwnd window) {
    return Quoted(win::GetWindowText(window)) + " " + win::GetClassName(window);
}

}  // namespace

std::vector<std::string> WindowListLines(Host& host) {
    std::vector<std::string> lines{"windows, front first:"};
    const win::Hwnd active = win::GetActiveWindow();
    for (const win::Hwnd window : win::GetTopLevelWindows()) {
        if (!win::IsWindowVisible(window)) {
            continue;
        }
        std::string line = "  " + WindowName(window);
        win::Rect rect;
        if (win::GetWindowRect(window, rect) && rect != win::Rect{}) {
            line += ", " + std::to_string(rect.Width()) + " x " + std::to_string(rect.Height()) + " at " +
                    std::to_string(rect.left) + "," + std::to_string(rect.top);
        }
        if ((win::GetWindowLong(window, win::GWL_EXSTYLE) & win::WS_EX_TOPMOST) != 0) {
            line += ", always on top";
        }
        if (const win::Hwnd owner = win::GetOwner(window); owner != win::kNoWindow) {
            line += ", owned by " + (owner == host.MainWindow() ? std::string("the host") : WindowName(owner));
        }
        if (window == active) {
            line += ", active";
        }
        lines.push_back(line);
        if (window != host.MainWindow()) {
            continue;
        }
        const DocumentWindows& windows = host.Windows();
        const win::Hwnd front = win::GetTopWindow(windows.MdiClient());
        for (const win::Hwnd document : win::GetChildWindows(windows.MdiClient())) {
            for (int32_t number = 1; number <= host.DocumentCount(); ++number) {
                if (windows.WindowOf(number) != document) {
                    continue;
                }
                const DocumentView& view = windows.ViewOf(number);
                lines.push_back("    document " + std::to_string(number) + " " + Quoted(win::GetWindowText(document)) +
                                (view.pageView ? ": page view, page " + std::to_string(view.page)
                                               : ": scroll view from measure " + std::to_string(view.firstMeasure)) +
                                (document == front ? ", in front" : ""));
            }
        }
    }
    const win::Hwnd focus = win::GetFocus();
    if (focus == win::kNoWindow) {
        lines.push_back("focus: none");
    } else if (const win::Hwnd root = win::GetAncestor(focus, win::GA_ROOT); root != focus) {
        lines.push_back("focus: " + WindowName(focus) + " in " + WindowName(root));
    } else {
        lines.push_back("focus: " + WindowName(focus));
    }
    return lines;
}

int32_t ReadControlValue(win::Hwnd window, int32_t control, int32_t kind) {
    const win::Hwnd item = win::IsWindow(window) ? win::GetDlgItem(window, control) : win::kNoWindow;
    if (item == win::kNoWindow || kind != 3) {
        return 0;
    }
    try {
        size_t used = 0;
        const std::string text = win::GetWindowText(item);
        const int32_t value = std::stoi(text, &used);
        return used == text.size() ? value : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace host
