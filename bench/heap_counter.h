// The benchmark's count of the heap: the process's operator new and delete are replaced so that,
// while counting is on, the growth of the heap and its peak are known (the document file goals
// are about peak memory). Counting costs time on every allocation, so it is on only around the
// work it measures.
#pragma once

#include <cstdint>

namespace bench {

/// Starts counting from zero: the bytes allocated from now on less those freed.
void StartHeapCount();
/// Stops counting; answers the highest count reached since StartHeapCount.
int64_t StopHeapCount();

}  // namespace bench
