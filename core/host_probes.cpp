#include "core/host_probes.h"

#include <array>
#include <filesystem>

#include "core/host/finxess.h"
#include "core/host/host_imports.h"
#include "core/startup.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/types.h"
#include "platform/win/menus.h"
#include "platform/win/messages.h"
#include "platform/win/windows.h"

namespace orvex {

bool FindUserManual(const std::string& hostFolder, const std::string& fileName, std::string& foundPath) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_regular_file(fileName, error)) {
        foundPath = fileName;
        return true;
    }
    for (const char* folder : {"Plug-Ins", "User Manual", "On-line Documentation"}) {
        const fs::path candidate = fs::path(hostFolder) / folder / fileName;
        if (fs::is_regular_file(candidate, error)) {
            foundPath = candidate.string();
            return true;
        }
    }
    return false;
}

bool GetHostMenuItemState(win::Hwnd window, int32_t position) {
    const win::Hmenu bar = win::GetMenu(window);
    if (bar == win::kNoMenu) {
        return true;
    }
    // A maximised document window puts its system menu first, without a text.
    const auto first = win::GetMenuString(bar, 0, win::MF_BYPOSITION);
    const int32_t menuPosition = first && first->empty() ? 3 : 2;
    const win::Hmenu menu = win::GetSubMenu(bar, menuPosition);
    const int32_t submenuPosition = win::GetSubMenu(menu, 16) != win::kNoMenu ? 16 : 17;
    const uint32_t state = win::GetMenuState(menu, static_cast<uint32_t>(submenuPosition + 1), win::MF_BYPOSITION);
    if (state == win::kNoMenuItem || (state & win::MF_CHECKED) == 0) {
        return true;
    }
    const win::Hmenu submenu = win::GetSubMenu(menu, submenuPosition);
    const uint32_t itemState = win::GetMenuState(submenu, static_cast<uint32_t>(position), win::MF_BYPOSITION);
    return itemState != win::kNoMenuItem && (itemState & win::MF_CHECKED) != 0;
}

bool IsHostMenuCommandChecked(int32_t position) {
    if (Host().year < 2000) {
        return GetHostMenuItemState(Host().window, position);
    }
    return HostLayerShown(static_cast<hostapi::LayerIndex>(position)) != 0;
}

bool IsDocumentOptionSet() {
    Record12 record{};
    return LoadSmallRecord(-2, record, hostapi::kTagDocumentOption) &&
           hostapi::ReadI16(record.data(), hostapi::DocumentOptionLayout::kValue) != 0;
}

namespace {

constexpr int32_t kViewControlsPane = 203;
constexpr int32_t kPageViewControl = 1016;
constexpr int32_t kPageFieldControl = 1005;
constexpr int32_t kValueKindNumber = 3;

/// The view's controls of the active document window.
win::Hwnd ViewControlsPane(win::Hwnd hostWindow) {
    const win::Hwnd document = GetActiveDocumentWindow(hostWindow);
    return document == win::kNoWindow ? win::kNoWindow : win::GetDlgItem(document, kViewControlsPane);
}

}  // namespace

win::Hwnd GetActiveDocumentWindow(win::Hwnd hostWindow) {
    const win::Hwnd client = win::FindWindowEx(hostWindow, win::kNoWindow, "MDIClient");
    if (client == win::kNoWindow) {
        return win::kNoWindow;
    }
    return static_cast<win::Hwnd>(win::SendMessage(client, win::WM_MDIGETACTIVE));
}

bool IsDocumentControlVisible(win::Hwnd hostWindow) {
    const win::Hwnd pane = ViewControlsPane(hostWindow);
    return pane != win::kNoWindow && win::IsWindowVisible(win::GetDlgItem(pane, kPageViewControl));
}

int32_t ReadDocumentControlValue(win::Hwnd hostWindow) {
    if (!IsDocumentControlVisible(hostWindow)) {
        return -1;
    }
    if (!HostOffers(&HostImports::GetControlValue)) {
        return -1;
    }
    return HostControlValue(ViewControlsPane(hostWindow), kPageFieldControl, kValueKindNumber);
}

int32_t RoundToHundreds(int32_t value) {
    if (value > -50 && value < 50) {
        return 0;
    }
    return value > 0 ? (value + 49) / 100 : (value - 49) / 100;
}

int32_t HundredsRemainder(int32_t value) {
    return value - RoundToHundreds(value) * 100;
}

}  // namespace orvex
