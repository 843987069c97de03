#include "platform/win/ui_driver.h"

#include <deque>

namespace win {
namespace {
std::deque<int32_t>& Answers() {
    static std::deque<int32_t> answers;
    return answers;
}
}  // namespace

void QueueMessageBoxAnswer(int32_t answer) {
    Answers().push_back(answer);
}
size_t PendingMessageBoxAnswers() {
    return Answers().size();
}

int32_t TakeMessageBoxAnswer() {
    if (Answers().empty()) {
        return 0;
    }
    const int32_t answer = Answers().front();
    Answers().pop_front();
    return answer;
}

void ClearUiDriver() {
    Answers().clear();
}

}  // namespace win
