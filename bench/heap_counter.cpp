#include "bench/heap_counter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace bench {
namespace {

std::atomic<size_t> s_inUse{0};
std::atomic<size_t> s_peak{0};

void* Allocate(size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    const size_t now = s_inUse.fetch_add(malloc_usable_size(block)) + malloc_usable_size(block);
    size_t peak = s_peak.load();
    while (now > peak && !s_peak.compare_exchange_weak(peak, now)) {
    }
    return block;
}

void Release(void* block) {
    if (block != nullptr) {
        s_inUse.fetch_sub(malloc_usable_size(block));
        std::free(block);
    }
}

}  // namespace

size_t HeapInUse() {
    return s_inUse.load();
}

size_t HeapPeak() {
    return s_peak.load();
}

void ResetHeapPeak() {
    s_peak.store(s_inUse.load());
}

}  // namespace bench

void* operator new(size_t size) {
    return bench::Allocate(size);
}

void* operator new[](size_t size) {
    return bench::Allocate(size);
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

void operator delete(void* block, const std::nothrow_t&) noexcept {
    bench::Release(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept {
    bench::Release(block);
}
