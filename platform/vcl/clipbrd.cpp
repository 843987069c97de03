#include "platform/vcl/clipbrd.h"

#include <stdexcept>

#include "platform/vcl/library_state.h"
#include "platform/win/clipboard.h"
#include "platform/win/windows.h"

namespace vcl {
namespace {

/// Opens the clipboard for the call, as the class library does around each access.
class OpenedClipboard {
public:
    OpenedClipboard() {
        if (!win::OpenClipboard(win::kNoWindow)) {
            throw std::runtime_error("Cannot open clipboard");
        }
    }
    ~OpenedClipboard() { win::CloseClipboard(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

}  // namespace

std::string TClipboard::AsText() const {
    OpenedClipboard open;
    return win::GetClipboardData(win::CF_TEXT).value_or(std::string());
}

void TClipboard::SetAsText(std::string_view text) {
    OpenedClipboard open;
    win::EmptyClipboard();
    win::SetClipboardData(win::CF_TEXT, text);
}

bool TClipboard::HasText() const {
    return win::IsClipboardFormatAvailable(win::CF_TEXT);
}

void TClipboard::Clear() {
    OpenedClipboard open;
    win::EmptyClipboard();
}

TClipboard* Clipboard() {
    return &detail::Library().clipboard;
}

}  // namespace vcl
