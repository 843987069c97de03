// Bilingual messages by id, their captions, and the remembered answers of questions the user
// chose to skip.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvex {

inline constexpr size_t kMessageSlots = 23;  ///< ids 1-22; index 0 unused
inline constexpr size_t kCaptionSlots = 10;  ///< ids 1-9
/// The slot that carries free texts (ShowMessageText, AskYesNo) while they are shown.
inline constexpr int32_t kFreeTextMessageId = 2;

// Message ids the core names.
inline constexpr int32_t MSG_CANCELED = 3;
inline constexpr int32_t MSG_SAVE_BEFORE_PRINTING = 4;
inline constexpr int32_t MSG_DELETE_MEASURES_NOW = 5;
inline constexpr int32_t MSG_BEAT_CHART_REFRESH_OFF = 9;
inline constexpr int32_t MSG_REMOVED_BEAT_CHART_HANDLES = 10;
inline constexpr int32_t MSG_PROCESS_WHOLE_DOCUMENT = 11;
inline constexpr int32_t MSG_PART_DISTRIBUTION_DONE = 14;
inline constexpr int32_t MSG_NEW_SPACING_START = 15;
inline constexpr int32_t MSG_NEW_SPACING_DONE = 16;

struct BilingualText {
    std::string_view english;
    std::string_view german;
    std::string_view In(int32_t language) const { return language == 1 ? german : english; }
};

extern const std::array<BilingualText, kMessageSlots> kMessageTableData;
extern const std::array<BilingualText, kCaptionSlots> kCaptionTable;

/// The text of a message in a language; "" for an id without one.
std::string_view MessageText(int32_t id, int32_t language);
/// The text of a caption in a language; "" for id 0, an empty caption or an unknown id.
std::string_view CaptionText(int32_t id, int32_t language);

/// Replaces the first "%1" by the number (messages with an OK button).
std::string ReplaceFirstNumber(std::string_view text, int32_t number);
/// Replaces every "%1" by the first number and every "%2" by the second (questions).
std::string ReplaceAllNumbers(std::string_view text, int32_t first, int32_t second);

/// The remembered answers of the message dialog. Position n (1-based) of ShowMessagesText is
/// "0" when message n is skipped; position n of LastAnswersText holds "0" + its last answer.
struct RememberedAnswer {
    bool show;       ///< the message is to be shown
    int32_t answer;  ///< the answer to take when it is not shown (1 = OK when none is stored)
};
/// What the remembered answers say about message `id`; `forceShow` shows it in any case.
RememberedAnswer RecallAnswer(int32_t id, bool forceShow);
/// Stores whether message `id` is shown again and its answer (ids above 0 only).
void RememberAnswer(int32_t id, bool showAgain, int32_t answer);

}  // namespace orvex
