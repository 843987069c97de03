// Bilingual messages by id, their captions, and the remembered answers of questions the user
// chose to skip.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "core/host/bilingual_text.h"
#include "core/host/text_format.h"
#include "platform/win/handles.h"

namespace orvex {

enum class FreeText : int32_t;

inline constexpr size_t kMessageSlots = 23;  ///< ids 1-22; index 0 unused
inline constexpr size_t kCaptionSlots = 10;  ///< ids 1-9
/// The slot that carries free texts (ShowMessage and Ask of a FreeText) while they are shown.
inline constexpr int32_t kFreeTextMessageId = 2;

// The ids of the messages of the message table, one name each.
inline constexpr int32_t MSG_CANCELED = 3;
inline constexpr int32_t MSG_SAVE_BEFORE_PRINTING = 4;
inline constexpr int32_t MSG_DELETE_MEASURES_NOW = 5;
inline constexpr int32_t MSG_BEAT_CHART_OUT_OF_ORDER = 8;
inline constexpr int32_t MSG_BEAT_CHART_REFRESH_OFF = 9;
inline constexpr int32_t MSG_REMOVED_BEAT_CHART_HANDLES = 10;
inline constexpr int32_t MSG_PROCESS_WHOLE_DOCUMENT = 11;
inline constexpr int32_t MSG_PART_DISTRIBUTION_DONE = 14;
inline constexpr int32_t MSG_NEW_SPACING_START = 15;
inline constexpr int32_t MSG_NEW_SPACING_DONE = 16;
inline constexpr int32_t MSG_UNLOCKED_MEASURE_LAYOUT = 17;
/// The one-time offer to map NumLock to Backspace within Speedy Entry.
inline constexpr int32_t MSG_NUMLOCK_OFFER = 18;
inline constexpr int32_t MSG_ENGRAVER_FONT_ONLY = 19;
inline constexpr int32_t MSG_HIGH_RATE = 20;
inline constexpr int32_t MSG_LAYER_NOT_EMPTY_USE_OTHER = 21;
inline constexpr int32_t MSG_LAYER_NOT_EMPTY_CANCEL = 22;

/// The captions of the message dialog (kCaptionTable), named by what they say. None shows "Orvex"
/// and the version; the table's empty slot 5 shows the same and has no name.
enum class Caption : int32_t {
    None = 0,
    TextExpressionExplorer = 1,  ///< "Explorer for Text Expressions"
    KeyboardRemapper = 2,        ///< "Orvex Keyboard Remapper"
    SortListNotFound = 3,        ///< "vxsort.lst not found"
    SortingAborted = 4,          ///< "ERROR - Sorting aborted"
    OneMeasureNotProcessed = 6,  ///< "One measure not processed"
    BeatChartOptimizer = 7,      ///< "Orvex Beat Chart Optimizer"
    StaffListManager = 8,        ///< "Vx Staff List Manager"
    NewSpacing = 9,              ///< "Vx New Spacing"
};

extern const std::array<BilingualText, kMessageSlots> kMessageTableData;
extern const std::array<BilingualText, kCaptionSlots> kCaptionTable;

/// The text of a message in a language; "" for an id without one.
std::string_view MessageText(int32_t id, int32_t language);
/// The text of a caption in a language; "" for None.
std::string_view CaptionText(Caption caption, int32_t language);

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

// ---- Showing messages (in TMsgDlg) ----

/// The user's answer to a question.
enum class Answer { Yes, No, Cancel };

/// A message of the message table as a call shows it: which one, its caption, the numbers of its
/// places and the dialog's choices.
struct Message {
    int32_t id = 0;                   ///< the message (MSG_...), also its place in the remembered answers
    Caption caption = Caption::None;  ///< None shows "Orvex" and the version
    int32_t first = 0;                ///< the number of "%1" (a message with OK fills the first "%1" only)
    int32_t second = 0;               ///< the number of "%2" (questions)
    bool skippable = false;           ///< the user may tick "Skip this message in the future"
    bool cancel = false;              ///< a question with a Cancel button too
};

/// Shows `message` with an OK button. A skippable message the user chose to skip is not shown
/// again; one that is not skippable shows without the "Skip" box, every time.
void ShowMessage(const Message& message);
/// Asks `message` with Yes and No (and Cancel). A skippable question the user chose to skip
/// answers its last answer unseen (a remembered answer that is neither Yes nor Cancel is No); one
/// that is not skippable is asked every time.
Answer Ask(const Message& message);
/// Shows free text `text` (core/free_texts.h) with an OK button, always; its places are filled
/// by `arguments` and the filled text is shown as it is (an argument's own "%1" stays).
void ShowMessage(FreeText text, TextArguments arguments = {}, Caption caption = Caption::None);
/// Asks free question `text` with Yes and No, always; its places are filled by `arguments`.
Answer Ask(FreeText text, TextArguments arguments = {}, Caption caption = Caption::None);
/// Shows a text whose places are filled already (the access layer's) with an OK button, always.
void ShowFilledMessage(const BilingualText& text);

/// Tells the user that `what` (a command or a part of one) is not available in this build;
/// answers false, so that a caller can return it as its failure.
bool ShowNotAvailable(std::string_view what);

/// Shows "Internal error: " + text.
void ReportInternalError(std::string_view text);
/// Reports `text` as an internal error when the condition is false; answers the condition.
bool CheckOrReportInternalError(bool condition, std::string_view text);
/// The last handler of an unexpected error in a command: asks the user to save the document
/// under a new name, then shows the error; reinstalls the hooks when the general options ask so.
void ReportException(win::Hwnd owner, const std::exception& error);

}  // namespace orvex
