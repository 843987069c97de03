#include "core/messages.h"

#include <memory>

#include "core/free_texts.h"
#include "core/general_options.h"
#include "core/hooks.h"
#include "core/module.h"
#include "core/msg_dlg.h"
#include "core/startup.h"
#include "platform/vcl/classes.h"
#include "platform/win/message_box.h"
#include "platform/win/ui_driver.h"

namespace orvex {

std::string_view MessageText(int32_t id, int32_t language) {
    if (id < 1 || static_cast<size_t>(id) >= kMessageSlots) {
        return {};
    }
    return kMessageTableData[static_cast<size_t>(id)].In(language);
}

std::string_view CaptionText(Caption caption, int32_t language) {
    const auto slot = static_cast<size_t>(caption);
    if (slot >= kCaptionSlots) {
        return {};
    }
    return kCaptionTable[slot].In(language);
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
        if (!forceShow && position < TheModule.process.ShowMessagesText.size() &&
            TheModule.process.ShowMessagesText[position] == '0') {
            recalled.show = false;
        }
        if (position < TheModule.process.LastAnswersText.size() && TheModule.process.LastAnswersText[position] >= '0' &&
            TheModule.process.LastAnswersText[position] <= '9') {
            recalled.answer = TheModule.process.LastAnswersText[position] - '0';
        }
    }
    return recalled;
}

void RememberAnswer(int32_t id, bool showAgain, int32_t answer) {
    if (id <= 0) {
        return;
    }
    const auto length = static_cast<size_t>(id);
    if (TheModule.process.ShowMessagesText.size() < length) {
        TheModule.process.ShowMessagesText.resize(length, '1');
    }
    if (TheModule.process.LastAnswersText.size() < length) {
        TheModule.process.LastAnswersText.resize(length, '0');
    }
    TheModule.process.ShowMessagesText[length - 1] = showAgain ? '1' : '0';
    TheModule.process.LastAnswersText[length - 1] = static_cast<char>('0' + (answer >= 0 && answer <= 9 ? answer : 1));
}

namespace {

/// A message box answer queued by a script or test also answers the message dialog: it clicks
/// the dialog's button of that answer, unless actions for the dialog itself are waiting.
void TakeQueuedAnswer() {
    if (win::PendingFormActions("TMsgDlg") > 0 || win::PendingMessageBoxAnswers() == 0) {
        return;
    }
    const int32_t answer = win::TakeMessageBoxAnswer();
    const char* button = answer == win::IDYES      ? "YesBtn"
                         : answer == win::IDNO     ? "NoBtn"
                         : answer == win::IDCANCEL ? "CancelBtn"
                                                   : "OkBtn";
    win::QueueFormAction("TMsgDlg", {win::FormAction::Kind::Click, button, ""});
}

/// Shows a message in the dialog with the remembered answers: a skipped message answers its
/// last answer; a shown one remembers its answer and whether it is shown again.
int32_t RunMessage(int32_t id, Caption caption, const std::string& text, int32_t mode) {
    RememberedAnswer recalled = RecallAnswer(id, (mode & MSGDLG_NO_SKIP) != 0);
    if (recalled.show) {
        const std::string_view captionText = CaptionText(caption, Host().language);
        TakeQueuedAnswer();
        const MessageDialogAnswer shown = ShowMessageDialog(
            mode, text, captionText.empty() ? "Orvex" + TheModule.process.VersionText : std::string(captionText));
        recalled.answer = shown.answer;
        recalled.show = !shown.skip;
    }
    RememberAnswer(id, recalled.show, recalled.answer);
    return recalled.answer;
}

/// The text of a message in the current language; a message without a German text shows the
/// English one.
std::string_view TextOf(std::string_view english, std::string_view german) {
    return Host().language == 1 && !german.empty() ? german : english;
}

/// The answer of a modal result: Yes, Cancel, or No for any other (also for a remembered OK).
Answer AnswerOf(int32_t result) {
    return result == win::IDYES ? Answer::Yes : result == win::IDCANCEL ? Answer::Cancel : Answer::No;
}

/// A free text in the current language with its places filled.
std::string FilledFreeText(FreeText text, TextArguments arguments) {
    const FilledText filled = FormatTexts(FreeTextOf(text), arguments);
    return std::string(TextOf(filled.english, filled.german));
}

}  // namespace

void ShowMessage(const Message& message) {
    const std::string text =
        ReplaceFirstNumber(TextOf(MessageText(message.id, 0), MessageText(message.id, 1)), message.first);
    RunMessage(message.id, message.caption, text,
               message.skippable ? MSGDLG_SKIPPABLE : MSGDLG_SKIPPABLE | MSGDLG_NO_SKIP);
}

Answer Ask(const Message& message) {
    const std::string text = ReplaceAllNumbers(TextOf(MessageText(message.id, 0), MessageText(message.id, 1)),
                                               message.first, message.second);
    const int32_t mode =
        MSGDLG_QUESTION | (message.skippable ? 0 : MSGDLG_NO_SKIP) | (message.cancel ? MSGDLG_CANCEL : 0);
    return AnswerOf(RunMessage(message.id, message.caption, text, mode));
}

void ShowMessage(FreeText text, TextArguments arguments, Caption caption) {
    // Free texts take the place of message 2 while they are shown.
    RunMessage(kFreeTextMessageId, caption, FilledFreeText(text, arguments), MSGDLG_SKIPPABLE | MSGDLG_NO_SKIP);
}

Answer Ask(FreeText text, TextArguments arguments, Caption caption) {
    return AnswerOf(
        RunMessage(kFreeTextMessageId, caption, FilledFreeText(text, arguments), MSGDLG_QUESTION | MSGDLG_NO_SKIP));
}

void ShowFilledMessage(const BilingualText& text) {
    RunMessage(kFreeTextMessageId, Caption::None, std::string(TextOf(text.english, text.german)),
               MSGDLG_SKIPPABLE | MSGDLG_NO_SKIP);
}

bool ShowNotAvailable(std::string_view what) {
    ShowMessage(FreeText::NotAvailableInBuild, {what});
    return false;
}

void ReportInternalError(std::string_view text) {
    ShowMessage(FreeText::InternalErrorWith, {text});
}

bool CheckOrReportInternalError(bool condition, std::string_view text) {
    if (!condition) {
        ReportInternalError(text);
    }
    return condition;
}

void ReportException(win::Hwnd owner, const std::exception& error) {
    ShowMessage(FreeText::SmallErrorSaveAs);
    // The class library shows the error itself.
    win::MessageBox(owner, error.what(), "Orvex", win::MB_OK | win::MB_ICONERROR);
    if (TheModule.process.GeneralOptions[GO_ALWAYS_REHOOK_KEYBOARD].value != 0) {
        InstallHostHooks();
    }
}

}  // namespace orvex
