// The clipboard of the class library: one object per module, over the window system's
// clipboard (clipboard.h).
#pragma once

#include <string>
#include <string_view>

namespace vcl {

class TClipboard {
public:
    /// The text on the clipboard; empty when it holds none.
    std::string AsText() const;
    /// Empties the clipboard and puts the text on it.
    void SetAsText(std::string_view text);
    bool HasText() const;
    void Clear();
};

/// The module's clipboard object.
TClipboard* Clipboard();

}  // namespace vcl
