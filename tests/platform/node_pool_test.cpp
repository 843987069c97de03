// The node pool of the host's record store (platform/host/node_pool.h): nodes given back are
// handed out again, chunks grow by doubling, and the maps made with its allocator keep their
// own pools through copies and moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/host/node_pool.h"
#include "platform/host/record_store.h"

namespace {

using host::NodePool;

TEST(NodePoolTest, ANodeGivenBackIsTheNextOneTakenOfItsSize) {
    NodePool pool;
    void* const first = pool.Take(72);
    void* const second = pool.Take(72);
    EXPECT_NE(first, second);
    pool.Give(first, 72);
    EXPECT_EQ(pool.FreeCount(72), 1u);
    // 67 and 72 bytes are one size class (rounded up to 8); 80 bytes another.
    void* const other = pool.Take(80);
    EXPECT_NE(other, first);
    EXPECT_EQ(pool.Take(67), first);
    EXPECT_EQ(pool.FreeCount(72), 0u);
    pool.Give(second, 72);
    pool.Give(first, 72);
    pool.Give(other, 80);
    EXPECT_EQ(pool.FreeCount(72), 2u);
    EXPECT_EQ(pool.FreeCount(80), 1u);
}

TEST(NodePoolTest, NodesAreAlignedApartAndChunksDoubleInSize) {
    NodePool pool;
    std::vector<uintptr_t> nodes;
    // 16 nodes fill the first chunk, 32 the second, the 49th opens a third.
    for (size_t i = 0; i < NodePool::kFirstChunkNodes * 3; ++i) {
        nodes.push_back(reinterpret_cast<uintptr_t>(pool.Take(72)));
        const size_t chunks = i < 16 ? 1 : 2;
        ASSERT_EQ(pool.ChunkCount(), chunks) << "after node " << i + 1;
    }
    nodes.push_back(reinterpret_cast<uintptr_t>(pool.Take(72)));
    EXPECT_EQ(pool.ChunkCount(), 3u);
    std::sort(nodes.begin(), nodes.end());
    for (size_t i = 0; i < nodes.size(); ++i) {
        EXPECT_EQ(nodes[i] % NodePool::kGrain, 0u);
        if (i > 0) {
            EXPECT_GE(nodes[i] - nodes[i - 1], 72u) << "nodes overlap";
        }
    }
    for (const uintptr_t node : nodes) {
        pool.Give(reinterpret_cast<void*>(node), 72);
    }
    // Every node is reused before a new chunk is taken.
    for (size_t i = 0; i < nodes.size(); ++i) {
        pool.Take(72);
    }
    EXPECT_EQ(pool.ChunkCount(), 3u);
}

using PooledMap = std::map<int, std::string, std::less<int>, host::PoolAllocator<std::pair<const int, std::string>>>;

TEST(NodePoolTest, AMapReusesTheNodesItErased) {
    PooledMap map;
    for (int i = 0; i < 100; ++i) {
        map.emplace(i, std::to_string(i));
    }
    const size_t chunks = map.get_allocator().Pool()->ChunkCount();
    for (int i = 0; i < 100; i += 2) {
        map.erase(i);
    }
    for (int i = 100; i < 150; ++i) {
        map.emplace(i, std::to_string(i));
    }
    EXPECT_EQ(map.get_allocator().Pool()->ChunkCount(), chunks);
    EXPECT_EQ(map.size(), 100u);
    EXPECT_EQ(map.at(149), "149");
}

TEST(NodePoolTest, CopiesHavePoolsOfTheirOwnAndAMapMovedFromStaysUsable) {
    PooledMap original;
    for (int i = 0; i < 40; ++i) {
        original.emplace(i, std::string(30, static_cast<char>('a' + i % 26)));
    }
    PooledMap copy = original;
    EXPECT_EQ(copy, original);
    EXPECT_NE(copy.get_allocator().Pool(), original.get_allocator().Pool());

    PooledMap assigned;
    assigned.emplace(-1, "gone");
    const auto assignedPool = assigned.get_allocator().Pool();
    assigned = original;
    EXPECT_EQ(assigned, original);
    EXPECT_EQ(assigned.get_allocator().Pool(), assignedPool);

    PooledMap moved = std::move(original);
    EXPECT_EQ(moved, copy);
    // The map moved from still has a pool to put new nodes in.
    original.clear();
    original.emplace(7, "seven");
    EXPECT_EQ(original.at(7), "seven");
    // The copy outlives the original's nodes.
    moved.clear();
    EXPECT_EQ(copy.at(39), std::string(30, 'n'));
}

TEST(NodePoolTest, ArraysComeFromTheHeapNotThePool) {
    host::PoolAllocator<uint64_t> allocator;
    uint64_t* const array = allocator.allocate(64);
    array[63] = 1;
    EXPECT_EQ(allocator.Pool()->ChunkCount(), 0u);
    allocator.deallocate(array, 64);
    uint64_t* const one = allocator.allocate(1);
    EXPECT_EQ(allocator.Pool()->ChunkCount(), 1u);
    allocator.deallocate(one, 1);
}

TEST(NodePoolTest, ACopiedStoreHoldsTheSameRecordsApart) {
    host::RecordStore store;
    const hostapi::Tag tag = hostapi::MakeTag("otMx");
    for (int16_t inci = 0; inci < 50; ++inci) {
        store.Save(host::RecordKey::Other(tag, 1, inci), host::Bytes(static_cast<size_t>(inci) + 1, 7));
    }
    host::RecordStore copy = store;
    EXPECT_TRUE(copy == store);
    ASSERT_TRUE(store.Delete(host::RecordKey::Other(tag, 1, 0)));
    // The copy keeps its records when the original's change (the incidences moved down).
    EXPECT_EQ(copy.Count(), 50u);
    EXPECT_EQ(copy.Find(host::RecordKey::Other(tag, 1, 0))->size(), 1u);
    EXPECT_EQ(store.Find(host::RecordKey::Other(tag, 1, 0))->size(), 2u);
    EXPECT_EQ(store.Find(host::RecordKey::Other(tag, 1, 49)), nullptr);
}

}  // namespace
