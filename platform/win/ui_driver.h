// The UI driver answers what would wait for the user: tests and scripts queue the answers
// beforehand, and each box that shows takes the oldest one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace win {

/// Queues the answer (IDOK, IDYES, ...) for the next message box.
void QueueMessageBoxAnswer(int32_t answer);
/// How many queued answers are still waiting.
size_t PendingMessageBoxAnswers();
/// Takes the oldest queued answer; 0 when none is queued.
int32_t TakeMessageBoxAnswer();
void ClearUiDriver();

}  // namespace win
