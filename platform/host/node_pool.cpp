#include "platform/host/node_pool.h"

#include <algorithm>

#if defined(__SANITIZE_ADDRESS__)
#define ORVEX_POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVEX_POOL_ASAN 1
#endif
#endif

#ifdef ORVEX_POOL_ASAN
#include <sanitizer/asan_interface.h>
#define POISON(block, bytes) ASAN_POISON_MEMORY_REGION(block, bytes)
#define UNPOISON(block, bytes) ASAN_UNPOISON_MEMORY_REGION(block, bytes)
#else
#define POISON(block, bytes) ((void)(block), (void)(bytes))
#define UNPOISON(block, bytes) ((void)(block), (void)(bytes))
#endif

namespace host {

NodePool::~NodePool() {
    for (const Chunk& chunk : m_chunks) {
        UNPOISON(chunk.bytes, chunk.size);
        ::operator delete(chunk.bytes);
    }
}

void* NodePool::Take(size_t bytes) {
    SizeClass& sizes = m_classes[ClassOf(bytes)];
    const size_t nodeBytes = (ClassOf(bytes) + 1) * kGrain;
    if (sizes.free != nullptr) {
        FreeNode* const node = sizes.free;
        UNPOISON(node, nodeBytes);
        sizes.free = node->next;
        return node;
    }
    if (sizes.next == sizes.end) {
        const size_t chunkBytes = sizes.chunkNodes * nodeBytes;
        // The heap aligns a block for any object; node sizes are a multiple of kGrain.
        auto* const chunk = static_cast<std::byte*>(::operator new(chunkBytes));
        m_chunks.push_back({chunk, chunkBytes});
        POISON(chunk, chunkBytes);
        sizes.next = chunk;
        sizes.end = chunk + chunkBytes;
        sizes.chunkNodes = std::min(sizes.chunkNodes * 2, std::max<size_t>(1, kMaxChunkBytes / nodeBytes));
    }
    void* const node = sizes.next;
    sizes.next += nodeBytes;
    UNPOISON(node, nodeBytes);
    return node;
}

void NodePool::Give(void* block, size_t bytes) noexcept {
    SizeClass& sizes = m_classes[ClassOf(bytes)];
    auto* const node = static_cast<FreeNode*>(block);
    node->next = sizes.free;
    sizes.free = node;
    POISON(node, (ClassOf(bytes) + 1) * kGrain);
}

size_t NodePool::FreeCount(size_t bytes) const {
    size_t count = 0;
    for (const FreeNode* node = m_classes[ClassOf(bytes)].free; node != nullptr;) {
        UNPOISON(const_cast<FreeNode*>(node), sizeof(FreeNode));
        const FreeNode* const next = node->next;
        POISON(const_cast<FreeNode*>(node), sizeof(FreeNode));
        node = next;
        ++count;
    }
    return count;
}

}  // namespace host
