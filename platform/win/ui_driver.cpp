#include "platform/win/ui_driver.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <utility>

#include "platform/win/system_state.h"

namespace win {
namespace {

using detail::QueuedFormAction;
using Driver = detail::UiDriverState;

Driver& TheDriver() {
    return detail::System().uiDriver;
}

bool SameClass(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

}  // namespace

void QueueMessageBoxAnswer(int32_t answer) {
    TheDriver().answers.push_back(answer);
}
size_t PendingMessageBoxAnswers() {
    return TheDriver().answers.size();
}

int32_t TakeMessageBoxAnswer() {
    auto& answers = TheDriver().answers;
    if (answers.empty()) {
        return 0;
    }
    const int32_t answer = answers.front();
    answers.pop_front();
    return answer;
}

void QueueFormAction(std::string_view formClass, FormAction action) {
    TheDriver().formActions.push_back({std::string(formClass), std::move(action)});
}

size_t PendingFormActions(std::string_view formClass) {
    const auto& queue = TheDriver().formActions;
    return static_cast<size_t>(std::count_if(
        queue.begin(), queue.end(), [&](const QueuedFormAction& q) { return SameClass(q.formClass, formClass); }));
}

size_t PendingFormActions() {
    return TheDriver().formActions.size();
}

namespace {

/// The showings of a class of FormClassesShown; nullptr for a class that never showed.
Driver::Showings* ShowingsOf(std::string_view formClass) {
    const auto& shown = TheDriver().classesShown;
    const auto it = std::find(shown.begin(), shown.end(), formClass);
    return it == shown.end() ? nullptr : &TheDriver().showings[static_cast<size_t>(it - shown.begin())];
}

}  // namespace

std::optional<FormAction> TakeFormAction(std::string_view formClass) {
    auto& queue = TheDriver().formActions;
    const auto it = std::find_if(queue.begin(), queue.end(),
                                 [&](const QueuedFormAction& q) { return SameClass(q.formClass, formClass); });
    if (it == queue.end()) {
        return std::nullopt;
    }
    FormAction action = std::move(it->action);
    queue.erase(it);
    if (Driver::Showings* showings = ShowingsOf(formClass)) {
        ++showings->taken;
    }
    return action;
}

std::string FormActionText(const FormAction& action) {
    switch (action.kind) {
        case FormAction::Kind::Set:
            return "set " +
                   (action.control.find_first_of(" \"") == std::string::npos ? action.control
                                                                             : Quoted(action.control)) +
                   " " + Quoted(action.value);
        case FormAction::Kind::Click:
            return "click " + action.control;
        case FormAction::Kind::Close:
            return "close";
        case FormAction::Kind::DblClick:
            return "double-click " + action.control;
        case FormAction::Kind::Resize: {
            std::string size = action.value;
            if (const size_t blank = size.find(' '); blank != std::string::npos) {
                size.replace(blank, 1, " x ");
            }
            return "resize to " + size;
        }
        case FormAction::Kind::Press:
            return "press " + action.value;
        case FormAction::Kind::Type:
            return "type " + Quoted(action.value);
        case FormAction::Kind::Print:
            return "print";
    }
    return "";
}

size_t ReportFormActionFailure(std::string_view formClass, const FormAction& action, std::string reason) {
    Driver& driver = TheDriver();
    size_t dropped = 0;
    if (driver.stopAfterFailure) {
        dropped = static_cast<size_t>(std::erase_if(
            driver.formActions, [&](const QueuedFormAction& q) { return SameClass(q.formClass, formClass); }));
    }
    driver.failures.push_back({std::string(formClass), action, std::move(reason), dropped});
    return dropped;
}

std::vector<FormActionFailure> TakeFormActionFailures() {
    return std::exchange(TheDriver().failures, {});
}

void SetStopFormAfterFailure(bool stop) {
    TheDriver().stopAfterFailure = stop;
}

std::vector<std::pair<std::string, FormAction>> TakeQueuedFormActions() {
    std::vector<std::pair<std::string, FormAction>> queued;
    for (QueuedFormAction& q : TheDriver().formActions) {
        queued.emplace_back(std::move(q.formClass), std::move(q.action));
    }
    TheDriver().formActions.clear();
    return queued;
}

void NoteFormShown(std::string_view formClass) {
    if (Driver::Showings* showings = ShowingsOf(formClass)) {
        *showings = {showings->count + 1, 0};
        return;
    }
    TheDriver().classesShown.emplace_back(formClass);
    TheDriver().showings.push_back({1, 0});
}

size_t FormShowCount(std::string_view formClass) {
    const Driver::Showings* showings = ShowingsOf(formClass);
    return showings == nullptr ? 0 : showings->count;
}

size_t ActionsTakenSinceShown(std::string_view formClass) {
    const Driver::Showings* showings = ShowingsOf(formClass);
    return showings == nullptr ? 0 : showings->taken;
}

const std::vector<std::string>& FormClassesShown() {
    return TheDriver().classesShown;
}

void ClearUiDriver() {
    TheDriver().answers.clear();
    TheDriver().formActions.clear();
    TheDriver().failures.clear();
    TheDriver().classesShown.clear();
    TheDriver().showings.clear();
    TheDriver().stopAfterFailure = false;
}

size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::vector<std::string> NearestNames(std::string_view wanted, const std::vector<std::string>& choices,
                                      const std::function<std::string(std::string_view)>& key) {
    const std::string typed = key(wanted);
    std::vector<std::pair<size_t, std::string>> scored;
    for (const std::string& choice : choices) {
        const std::string other = key(choice);
        size_t distance = EditDistance(typed, other);
        if (!typed.empty() && (other.find(typed) != std::string::npos || typed.find(other) != std::string::npos)) {
            distance = std::min<size_t>(distance, 1);
        }
        if (distance <= std::max<size_t>(2, typed.size() / 3)) {
            scored.emplace_back(distance, choice);
        }
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<std::string> nearest;
    for (size_t i = 0; i < scored.size() && i < 3; ++i) {
        nearest.push_back(scored[i].second);
    }
    return nearest;
}

}  // namespace win
