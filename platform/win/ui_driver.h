// The UI driver answers what would wait for the user: tests and scripts queue the answers
// beforehand. Each message box that shows takes the oldest queued box answer; each form that
// shows takes, one at a time and in queue order, the actions queued for its class until it
// closes (the rest wait for the next form of that class).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace win {

/// Queues the answer (IDOK, IDYES, ...) for the next message box.
void QueueMessageBoxAnswer(int32_t answer);
/// How many queued answers are still waiting.
size_t PendingMessageBoxAnswers();
/// Takes the oldest queued answer; 0 when none is queued.
int32_t TakeMessageBoxAnswer();

/// What the user does with a form: set a control's value, click or double-click a control,
/// close the form (its close box), drag its frame to a new size ("WIDTH HEIGHT" in value), press
/// a key (its name with the modifiers held, "Shift+Tab", in value) or type a text (in value) on
/// the keyboard; or look at the form: Print lists its layout in the transcript. Controls are named as the form names
/// them; keys go to the control that has the focus.
struct FormAction {
    enum class Kind { Set, Click, Close, DblClick, Resize, Press, Type, Print };
    Kind kind = Kind::Click;
    std::string control;
    std::string value;   ///< for Set, Resize, Press and Type
    std::string origin;  ///< where the action was asked for (a script's "FILE:LINE:COLUMN"), for reports
};

/// An action the user could not do (no such control, a value the control refuses), as the driver
/// reports it to whoever queued it.
struct FormActionFailure {
    std::string formClass;
    FormAction action;
    std::string reason;
    size_t dropped = 0;  ///< actions for the class that were dropped after it
};

/// Queues an action for the next form of the class (class names compare case-insensitively).
void QueueFormAction(std::string_view formClass, FormAction action);
/// How many actions wait for forms of the class.
size_t PendingFormActions(std::string_view formClass);
/// How many actions wait for forms of any class.
size_t PendingFormActions();
/// Takes the oldest action queued for the class.
std::optional<FormAction> TakeFormAction(std::string_view formClass);
/// The action as the transcript writes it: `set NAME "VALUE"`, `click NAME`, `close`,
/// `double-click NAME`, `resize to WIDTH x HEIGHT`, `press KEY`, `type "TEXT"`, `print`.
std::string FormActionText(const FormAction& action);

/// A form reports an action the user could not do. With StopFormAfterFailure on, the actions
/// still queued for that class are dropped (the user stops there: the form is left as the failed
/// action left it, and a modal form is then cancelled by Escape); answers how many were dropped.
size_t ReportFormActionFailure(std::string_view formClass, const FormAction& action, std::string reason);
/// The failures reported since the last call, oldest first.
std::vector<FormActionFailure> TakeFormActionFailures();
/// Whether a failed action drops the rest of its class's queue (off by default).
void SetStopFormAfterFailure(bool stop);
/// Takes every action still queued, with its class, oldest first (what no form took).
std::vector<std::pair<std::string, FormAction>> TakeQueuedFormActions();
/// The classes of the forms that showed since the last ClearUiDriver, in the order they first showed.
void NoteFormShown(std::string_view formClass);
const std::vector<std::string>& FormClassesShown();
/// How many times forms of the class (as FormClassesShown names it) showed, and how many queued
/// actions the one that showed last has taken.
size_t FormShowCount(std::string_view formClass);
size_t ActionsTakenSinceShown(std::string_view formClass);

/// Forgets every queued answer and action.
void ClearUiDriver();

/// How many characters one inserts, deletes or replaces to make one text of the other.
size_t EditDistance(std::string_view a, std::string_view b);
/// For a "did you mean": the texts of `choices` nearest to `wanted`, both compared as `key` makes
/// them (as the user may write them): close in spelling, or one holding the other; best first, at
/// most three.
std::vector<std::string> NearestNames(std::string_view wanted, const std::vector<std::string>& choices,
                                      const std::function<std::string(std::string_view)>& key);

}  // namespace win
