#include "platform/win/clipboard.h"

#include "platform/win/desktop_state.h"
#include "platform/win/system.h"
#include "platform/win/windows.h"

namespace win {
namespace {

bool IsOpen() {
    return detail::TheDesktop().clipboard.open;
}

}  // namespace

bool OpenClipboard(Hwnd owner) {
    auto& clipboard = detail::TheDesktop().clipboard;
    if (clipboard.open) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (owner != kNoWindow && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    clipboard.open = true;
    clipboard.opener = owner;
    return true;
}

bool CloseClipboard() {
    auto& clipboard = detail::TheDesktop().clipboard;
    if (!clipboard.open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return false;
    }
    clipboard.open = false;
    clipboard.opener = kNoWindow;
    return true;
}

bool EmptyClipboard() {
    auto& clipboard = detail::TheDesktop().clipboard;
    if (!clipboard.open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return false;
    }
    clipboard.text.reset();
    clipboard.owner = clipboard.opener;
    return true;
}

bool SetClipboardData(uint32_t format, std::string_view text) {
    if (!IsOpen()) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return false;
    }
    if (format != CF_TEXT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    detail::TheDesktop().clipboard.text = std::string(text);
    return true;
}

std::optional<std::string> GetClipboardData(uint32_t format) {
    if (!IsOpen()) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return std::nullopt;
    }
    if (format != CF_TEXT) {
        return std::nullopt;
    }
    return detail::TheDesktop().clipboard.text;
}

bool IsClipboardFormatAvailable(uint32_t format) {
    return format == CF_TEXT && detail::TheDesktop().clipboard.text.has_value();
}

Hwnd GetClipboardOwner() {
    const Hwnd owner = detail::TheDesktop().clipboard.owner;
    return IsWindow(owner) ? owner : kNoWindow;
}

std::optional<std::string> ClipboardText() {
    return detail::TheDesktop().clipboard.text;
}

}  // namespace win
