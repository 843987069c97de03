#include "core/commands.h"

#include "core/module.h"
#include "core/startup.h"
#include "core/tool_items.h"

namespace orvex {

namespace {
const char* NameAt(size_t row, int32_t item) {
    if (item < 0 || item >= kToolItemCount) {
        return nullptr;
    }
    return CommandNameTable[row][static_cast<size_t>(item)];
}
}  // namespace

std::string_view ToolName(int32_t item, int32_t group) {
    if (group < 1 || group > 2) {
        return {};
    }
    const char* name = NameAt(static_cast<size_t>(2 * Host().language + group), item);
    return name == nullptr ? std::string_view() : name;
}

std::string ToolTitle(int32_t item, int32_t group) {
    std::string name(ToolName(item, group));
    if (name.starts_with("Vx ")) {
        name.erase(0, 3);
    }
    if (const size_t amp = name.find('&'); amp != std::string::npos) {
        name.erase(amp, 1);
    }
    if (const size_t dots = name.find("..."); dots != std::string::npos) {
        name.erase(dots, 3);
    }
    // The blank that stood before or after the cut dots goes with them.
    for (size_t blanks = name.find("  "); blanks != std::string::npos; blanks = name.find("  ", blanks)) {
        name.erase(blanks, 1);
    }
    while (name.ends_with(' ')) {
        name.pop_back();
    }
    return name;
}

std::string_view ToolStorageName(int32_t item) {
    const char* name = NameAt(0, item);
    return name == nullptr ? std::string_view() : name;
}

std::string_view GetCommandName(int32_t tableIndex) {
    if (tableIndex < 0 || tableIndex >= kCommandTableSize) {
        return {};
    }
    CommandEntry& entry = TheModule.commands.CommandTable[static_cast<size_t>(tableIndex)];
    if (entry.code == 0) {
        return {};
    }
    const char* own = entry.Text(Host().language);
    if (own != nullptr && *own != '\0') {
        return own;
    }
    const int32_t item = entry.code % 100;
    const int32_t group = entry.code / 100;
    // From host year 1998 on, the second command of item 5 left-aligns melisma syllables
    // (item 13); the dispatcher runs item 13's code for it.
    const bool melismaLeftAlign = entry.code == kAlignMelismaCode && Host().rawVersion >= 0x4000000;
    const char* found =
        melismaLeftAlign ? NameAt(static_cast<size_t>(2 * Host().language + 1), ItemNumber(ToolItem::LeftAlignMelisma))
                         : NameAt(static_cast<size_t>(2 * Host().language + group), item);
    if (found == nullptr) {
        return {};
    }
    (Host().language == 1 ? entry.germanText : entry.englishText) = found;
    return found;
}

int32_t FindCommandIndex(int32_t code) {
    int32_t found = 0;
    for (int32_t i = 0; i < TheModule.commands.CommandCount && i < kCommandTableSize; ++i) {
        if (TheModule.commands.CommandTable[static_cast<size_t>(i)].code == code) {
            found = i;
        }
    }
    return found;
}

uint32_t HostCommandOf(int32_t code) {
    if (code != 0) {
        const auto index = static_cast<size_t>(FindCommandIndex(code));
        if (TheModule.commands.CommandTable[index].code == code && TheModule.commands.HostCommandIds[index] != 0) {
            return TheModule.commands.HostCommandIds[index];
        }
    }
    return TheModule.commands.HostCommandIds[0];
}

}  // namespace orvex
