#include "bench/heap_counter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace bench {
namespace {

std::atomic<bool> s_counting{false};
std::atomic<int64_t> s_count{0};
std::atomic<int64_t> s_peak{0};

void* Allocate(size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    if (s_counting.load(std::memory_order_relaxed)) {
        const auto bytes = static_cast<int64_t>(malloc_usable_size(block));
        const int64_t now = s_count.fetch_add(bytes) + bytes;
        int64_t peak = s_peak.load();
        while (now > peak && !s_peak.compare_exchange_weak(peak, now)) {
        }
    }
    return block;
}

void Release(void* block) {
    if (block == nullptr) {
        return;
    }
    if (s_counting.load(std::memory_order_relaxed)) {
        s_count.fetch_sub(static_cast<int64_t>(malloc_usable_size(block)));
    }
    std::free(block);
}

}  // namespace

void StartHeapCount() {
    s_count.store(0);
    s_peak.store(0);
    s_counting.store(true);
}

int64_t StopHeapCount() {
    s_counting.store(false);
    return s_peak.load();
}

}  // namespace bench

void* operator new(size_t size) {
    return bench::Allocate(size);
}

void* operator new[](size_t size) {
    return bench::Allocate(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return bench::Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    try {
        return bench::Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* block) noexcept {
    bench::Release(block);
}

void operator delete[](void* block) noexcept {
    bench::Release(block);
}

void operator delete(void* block, size_t) noexcept {
    bench::Release(block);
}

void operator delete[](void* block, size_t) noexcept {
    bench::Release(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept {
    bench::Release(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept {
    bench::Release(block);
}
