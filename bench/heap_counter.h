// The benchmark's count of the heap: the process's operator new and delete are replaced so that
// the bytes in use and their peak are known (the document file goals are about peak memory).
#pragma once

#include <cstddef>

namespace bench {

/// Bytes allocated with operator new and not yet deleted.
size_t HeapInUse();
/// The highest HeapInUse since the last ResetHeapPeak.
size_t HeapPeak();
/// Starts a new peak from the bytes in use now.
void ResetHeapPeak();

}  // namespace bench
