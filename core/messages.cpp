#include "core/messages.h"

#include "core/startup.h"

namespace orvex {

std::string_view MessageText(int32_t id, int32_t language) {
    if (id < 1 || static_cast<size_t>(id) >= kMessageSlots) {
        return {};
    }
    return kMessageTableData[static_cast<size_t>(id)].In(language);
}

std::string_view CaptionText(int32_t id, int32_t language) {
    if (id < 1 || static_cast<size_t>(id) >= kCaptionSlots) {
        return {};
    }
    return kCaptionTable[static_cast<size_t>(id)].In(language);
}

std::string ReplaceFirstNumber(std::string_view text, int32_t number) {
    std::string result(text);
    if (const size_t at = result.find("%1"); at != std::string::npos) {
        result.replace(at, 2, std::to_string(number));
    }
    return result;
}

std::string ReplaceAllNumbers(std::string_view text, int32_t first, int32_t second) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
            result += std::to_string(text[i + 1] == '1' ? first : second);
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

RememberedAnswer RecallAnswer(int32_t id, bool forceShow) {
    RememberedAnswer recalled{true, 1};
    if (id > 0) {
        const auto position = static_cast<size_t>(id - 1);
        if (!forceShow && position < ShowMessagesText.size() && ShowMessagesText[position] == '0') {
            recalled.show = false;
        }
        if (position < LastAnswersText.size() && LastAnswersText[position] >= '0' && LastAnswersText[position] <= '9') {
            recalled.answer = LastAnswersText[position] - '0';
        }
    }
    return recalled;
}

void RememberAnswer(int32_t id, bool showAgain, int32_t answer) {
    if (id <= 0) {
        return;
    }
    const auto length = static_cast<size_t>(id);
    if (ShowMessagesText.size() < length) {
        ShowMessagesText.resize(length, '1');
    }
    if (LastAnswersText.size() < length) {
        LastAnswersText.resize(length, '0');
    }
    ShowMessagesText[length - 1] = showAgain ? '1' : '0';
    LastAnswersText[length - 1] = static_cast<char>('0' + (answer >= 0 && answer <= 9 ? answer : 1));
}

}  // namespace orvex
