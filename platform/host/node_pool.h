// The node pool of the host's ordered maps: the record store holds some 200,000 records of an
// orchestral score in one tree map, and each write a command makes is noted in one or two
// journals (more tree maps), so that a command that creates records pays a tree node in each of
// them per record. A pool hands those nodes out of chunks it takes from the heap a few at a
// time (each chunk twice the size of the one before, up to kMaxChunkBytes) and keeps the nodes
// given back on a free list for the next ones: one allocation per chunk instead of one per node,
// without the heap's header and rounding per node, and nodes of one map close together in
// memory. A pool gives its chunks back to the heap when the last map that uses it goes.
//
// PoolAllocator is the allocator of such a map: every map made with a default allocator, and
// every copy of a map, has a pool of its own (the rebindings of its allocator share it); a map
// assigned a copy keeps its pool, a map moved into another takes its pool along. Only single nodes come from the pool;
// a request for several objects at once goes to the heap. The host runs on one thread, so a pool is not locked. Under
// AddressSanitizer a node on the free list and the unused end of a chunk are poisoned: a use of a node given back is
// reported as on the heap.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace host {

class NodePool {
public:
    /// The size classes: node sizes are rounded up to kGrain (a tree node of the store, 72 bytes,
    /// takes 72, where the heap gives it 80 with its header), and nodes above kMaxNodeBytes come
    /// from the heap. A node is aligned to kGrain, so only types aligned to at most that are
    /// pooled.
    static constexpr size_t kGrain = alignof(void*);
    static constexpr size_t kMaxNodeBytes = 256;
    /// The first chunk of a size holds kFirstChunkNodes nodes; each further one twice as many,
    /// up to kMaxChunkBytes.
    static constexpr size_t kFirstChunkNodes = 16;
    static constexpr size_t kMaxChunkBytes = size_t{256} << 10;

    NodePool() = default;
    ~NodePool();
    NodePool(const NodePool&) = delete;
    NodePool& operator=(const NodePool&) = delete;

    /// A block of `bytes` (at most kMaxNodeBytes, aligned to kGrain): a node given back before,
    /// else the next one of the current chunk, else the first of a new chunk.
    void* Take(size_t bytes);
    /// Gives back a block that Take(bytes) handed out.
    void Give(void* block, size_t bytes) noexcept;

    /// The nodes of a size class waiting on the free list; the chunks taken from the heap.
    size_t FreeCount(size_t bytes) const;
    size_t ChunkCount() const { return m_chunks.size(); }

private:
    struct FreeNode {
        FreeNode* next;
    };
    struct SizeClass {
        FreeNode* free = nullptr;
        std::byte* next = nullptr;  ///< the unused rest of the current chunk
        std::byte* end = nullptr;
        size_t chunkNodes = kFirstChunkNodes;
    };
    static constexpr size_t kClasses = kMaxNodeBytes / kGrain;
    static size_t ClassOf(size_t bytes) { return (bytes + kGrain - 1) / kGrain - 1; }

    SizeClass m_classes[kClasses];
    struct Chunk {
        std::byte* bytes;
        size_t size;
    };
    std::vector<Chunk> m_chunks;
};

/// The allocator of a pooled map (see above).
template <typename T>
class PoolAllocator {
public:
    using value_type = T;
    using propagate_on_container_copy_assignment = std::false_type;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;

    PoolAllocator() : m_pool(std::make_shared<NodePool>()) {}
    // A moved allocator keeps its pool, as a copy does: a map moved from stays usable.
    PoolAllocator(const PoolAllocator&) noexcept = default;
    PoolAllocator& operator=(const PoolAllocator&) noexcept = default;
    ~PoolAllocator() = default;
    template <typename U>
    PoolAllocator(const PoolAllocator<U>& other) noexcept : m_pool(other.Pool()) {}

    T* allocate(size_t count) {
        if (count == 1 && sizeof(T) <= NodePool::kMaxNodeBytes && alignof(T) <= NodePool::kGrain) {
            return static_cast<T*>(m_pool->Take(sizeof(T)));
        }
        return std::allocator<T>().allocate(count);
    }
    void deallocate(T* block, size_t count) noexcept {
        if (count == 1 && sizeof(T) <= NodePool::kMaxNodeBytes && alignof(T) <= NodePool::kGrain) {
            m_pool->Give(block, sizeof(T));
            return;
        }
        std::allocator<T>().deallocate(block, count);
    }

    /// A copy of a map starts a pool of its own.
    PoolAllocator select_on_container_copy_construction() const { return PoolAllocator(); }

    const std::shared_ptr<NodePool>& Pool() const noexcept { return m_pool; }

    template <typename U>
    bool operator==(const PoolAllocator<U>& other) const noexcept {
        return m_pool == other.Pool();
    }

private:
    std::shared_ptr<NodePool> m_pool;
};

}  // namespace host
