#include "platform/win/message_box.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"

namespace win {
namespace {

std::vector<int32_t> ButtonsOf(uint32_t type) {
    switch (type & 0x0F) {
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE:
            return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL};
        default:
            return {IDOK};
    }
}

std::string_view IconName(uint32_t type) {
    switch (type & 0xF0) {
        case MB_ICONERROR:
            return "error";
        case MB_ICONQUESTION:
            return "question";
        case MB_ICONWARNING:
            return "warning";
        case MB_ICONINFORMATION:
            return "information";
        default:
            return "";
    }
}

std::string ButtonList(const std::vector<int32_t>& buttons) {
    std::string list;
    for (int32_t button : buttons) {
        list += list.empty() ? "" : "/";
        list += AnswerName(button);
    }
    return list;
}

}  // namespace

std::string_view AnswerName(int32_t answer) {
    static constexpr std::array<std::string_view, 8> kNames = {"",      "OK",     "Cancel", "Abort",
                                                               "Retry", "Ignore", "Yes",    "No"};
    return answer >= 1 && answer <= 7 ? kNames[static_cast<size_t>(answer)] : std::string_view("?");
}

int32_t AnswerFromName(std::string_view name) {
    for (int32_t answer = IDOK; answer <= IDNO; ++answer) {
        const std::string_view known = AnswerName(answer);
        if (known.size() == name.size() && std::equal(known.begin(), known.end(), name.begin(), [](char a, char b) {
                return std::tolower(a) == std::tolower(b);
            })) {
            return answer;
        }
    }
    return 0;
}

int32_t MessageBox(Hwnd /*owner*/, std::string_view text, std::string_view caption, uint32_t type) {
    const std::vector<int32_t> buttons = ButtonsOf(type);
    const size_t defaultIndex = std::min<size_t>((type >> 8) & 0x0F, buttons.size() - 1);
    const int32_t defaultButton = buttons[defaultIndex];

    std::string head = "[message box] \"" + std::string(caption) + "\"";
    if (!IconName(type).empty()) {
        head += " (" + std::string(IconName(type)) + ")";
    }
    head += " buttons " + ButtonList(buttons);
    TranscriptWrite(head);
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find('\n', start);
        TranscriptWrite("  | " + std::string(text.substr(start, end == std::string_view::npos ? end : end - start)));
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }

    int32_t answer = TakeMessageBoxAnswer();
    if (answer == 0) {
        TranscriptWrite("  -> " + std::string(AnswerName(defaultButton)) + " (default: no answer was queued)");
        return defaultButton;
    }
    if (std::find(buttons.begin(), buttons.end(), answer) == buttons.end()) {
        TranscriptWrite("  -> " + std::string(AnswerName(defaultButton)) + " (default: the queued answer " +
                        std::string(AnswerName(answer)) + " is not a button of this box)");
        return defaultButton;
    }
    TranscriptWrite("  -> " + std::string(AnswerName(answer)));
    return answer;
}

}  // namespace win
