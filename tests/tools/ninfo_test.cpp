// The part distribution table and the event-position queries over entry arrays held in memory.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "tools/layout/explosion/ninfo.h"

namespace {

using hostapi::EntryView;

/// Entry arrays of a cell held by the test.
class Cell {
public:
    /// Appends an entry; no pitches makes a rest. Pitches are harmonic levels, bottom first.
    Cell& Add(int32_t layer, hostapi::Edu position, hostapi::Edu duration, std::initializer_list<int16_t> pitches,
              uint32_t flags = 0) {
        std::vector<uint8_t>& bytes = m_bytes[static_cast<size_t>(layer)];
        bytes.resize(bytes.size() + hostapi::EntryLayout::kSize);
        const EntryView entry(bytes.data() + bytes.size() - hostapi::EntryLayout::kSize);
        entry.setPosition(position);
        entry.setActualDuration(duration);
        entry.setDuration(static_cast<int16_t>(duration));
        entry.setFlags(flags | (pitches.size() != 0 ? hostapi::kEntryNote : 0));
        entry.setNoteCount(static_cast<int16_t>(pitches.size()));
        int32_t n = 0;
        for (int16_t pitch : pitches) {
            entry.note(n++).setHarmonicLevel(pitch);
        }
        return *this;
    }
    orvex::LayerArrays Layers() {
        orvex::LayerArrays layers{};
        for (size_t l = 0; l < 4; ++l) {
            if (!m_bytes[l].empty()) {
                m_arrays[l] =
                    hostapi::EntryArray{1, 1, static_cast<hostapi::LayerIndex>(l), m_bytes[l].data(),
                                        static_cast<int16_t>(m_bytes[l].size() / hostapi::EntryLayout::kSize)};
                layers[l] = &m_arrays[l];
            }
        }
        return layers;
    }
    EntryView Entry(int32_t layer, int32_t index) {
        return EntryView(m_bytes[static_cast<size_t>(layer)].data() +
                         static_cast<size_t>(index) * hostapi::EntryLayout::kSize);
    }

private:
    std::array<std::vector<uint8_t>, 4> m_bytes;
    std::array<hostapi::EntryArray, 4> m_arrays{};
};

bool Fill(orvex::NInfo& info, const orvex::LayerArrays& layers, std::string_view ignored = "3,4",
          bool keepVoices = false, bool keepLayers = true) {
    return orvex::FillNInfo(info, 1, 1, 0, orvex::kNoPosition, layers, ignored, keepVoices, keepLayers, false, true);
}

TEST(ExplosionNInfo, ChordFillsSlotsFromTheTopNoteAndARestKeepsRestsOnly) {
    Cell cell;
    cell.Add(0, 0, 2048, {0, 2, 4}).Add(0, 2048, 2048, {});
    auto info = std::make_unique<orvex::NInfo>();
    ASSERT_TRUE(Fill(*info, cell.Layers()));
    ASSERT_EQ(info->itemCount, 2);
    EXPECT_EQ(info->slotCount, 3);
    const orvex::NInfoItem& chord = info->items[0];
    ASSERT_EQ(chord.usedSlots, 3);
    EXPECT_EQ(chord.slots[0].noteIndex, 2);
    EXPECT_EQ(chord.slots[2].noteIndex, 0);
    EXPECT_EQ(chord.restsOnly, 0);
    EXPECT_EQ(chord.noteEntries, 3);
    const orvex::NInfoItem& rest = info->items[1];
    EXPECT_EQ(rest.position, 2048);
    EXPECT_EQ(rest.usedSlots, 1);
    EXPECT_EQ(rest.restsOnly, 1);
    EXPECT_EQ(info->items[2].usedSlots, orvex::kNInfoEndMark);
}

TEST(ExplosionNInfo, IgnoredLayersPlaceNoSlotButStillMakeItems) {
    Cell cell;
    cell.Add(0, 0, 4096, {5}).Add(2, 0, 1024, {9}).Add(2, 1024, 3072, {9});
    auto info = std::make_unique<orvex::NInfo>();
    ASSERT_TRUE(Fill(*info, cell.Layers()));
    ASSERT_EQ(info->itemCount, 2);
    EXPECT_EQ(info->items[1].position, 1024);
    EXPECT_EQ(info->layerSlotCounts[2], 0);
    // The whole note covers the second item (it starts before p + 3 and lasts beyond it).
    EXPECT_EQ(info->items[1].usedSlots, 1);
    EXPECT_EQ(info->items[1].slots[0].layer, 0);
}

TEST(ExplosionNInfo, AnEmptyFirstLayerDoesNotKeepTheSecondOut) {
    Cell cell;
    cell.Add(1, 0, 4096, {3});
    orvex::LayerArrays layers = cell.Layers();
    hostapi::EntryArray empty{1, 1, 0, nullptr, 0};  // the host lends an empty layer so
    layers[0] = &empty;
    auto info = std::make_unique<orvex::NInfo>();
    ASSERT_TRUE(Fill(*info, layers));
    ASSERT_EQ(info->itemCount, 1);
    EXPECT_EQ(info->items[0].usedSlots, 1);
    EXPECT_EQ(info->items[0].slots[0].layer, 1);
}

TEST(ExplosionNInfo, HigherLayerRunMovesInFrontUnlessLayersAreKeptApart) {
    Cell cell;
    cell.Add(0, 0, 4096, {0}).Add(1, 0, 4096, {7});
    for (const bool keepLayers : {false, true}) {
        SCOPED_TRACE(keepLayers);
        auto info = std::make_unique<orvex::NInfo>();
        ASSERT_TRUE(Fill(*info, cell.Layers(), "3,4", true, keepLayers));
        ASSERT_EQ(info->items[0].usedSlots, 2);
        EXPECT_EQ(info->items[0].slots[0].layer, keepLayers ? 0 : 1);
        EXPECT_EQ(info->items[0].slots[1].layer, keepLayers ? 1 : 0);
    }
}

// Layer 2's run (a third, then one note) is the higher part and moves in front of layer 1's. In
// the second item it is wider than the item's two slots: its missing column repeats its last
// slot, and layer 1's note follows in a third slot.
TEST(ExplosionNInfo, ASwappedRunWiderThanAnItemRepeatsItsLastSlotThere) {
    Cell cell;
    cell.Add(0, 0, 2048, {0}).Add(0, 2048, 2048, {0}).Add(1, 0, 2048, {7, 9}).Add(1, 2048, 2048, {7});
    auto info = std::make_unique<orvex::NInfo>();
    ASSERT_TRUE(Fill(*info, cell.Layers(), "3,4", true, false));
    ASSERT_EQ(info->itemCount, 2);
    ASSERT_EQ(info->items[1].usedSlots, 3);
    EXPECT_EQ(info->items[1].slots[0].layer, 1);
    EXPECT_EQ(info->items[1].slots[1].layer, 1);
    EXPECT_EQ(info->items[1].slots[2].layer, 0);
}

TEST(ExplosionNInfo, MoreThan199EventPositionsAreRefused) {
    Cell cell;
    for (int32_t i = 0; i < 205; ++i) {
        cell.Add(0, i * 16, 16, {});
    }
    auto info = std::make_unique<orvex::NInfo>();
    EXPECT_FALSE(Fill(*info, cell.Layers()));
}

TEST(ExplosionNInfo, EventPositionQueries) {
    Cell cell;
    cell.Add(0, 0, 1024, {1}).Add(0, 1024, 2048, {}).Add(1, 0, 1536, {3}).Add(1, 1536, 2560, {3});
    const orvex::LayerArrays layers = cell.Layers();
    const std::span<const orvex::LayerArrays> one(&layers, 1);
    EXPECT_EQ(orvex::NextEventPosition(one, 1024), 1536);
    EXPECT_EQ(orvex::NextEventPosition({}, 0), orvex::kNoPosition);
    EXPECT_EQ(orvex::EventPositionQuery3(one, 1536), 1024);
    EXPECT_EQ(orvex::EventPositionQuery3({}, 1536), 0);
    EXPECT_EQ(orvex::PreviousEventPosition(layers, 1024), 0);
    EXPECT_TRUE(orvex::EventPositionQuery4(one, 1536 + 2560));
    EXPECT_FALSE(orvex::EventPositionQuery4(one, 1024));  // the dotted quarter sounds through it
    EXPECT_FALSE(orvex::EventPositionQuery5(one, 1200));
    EXPECT_FALSE(orvex::EventPositionQuery5(one, 1024));
    Cell rests;
    rests.Add(0, 0, 4096, {});
    const orvex::LayerArrays restLayers = rests.Layers();
    EXPECT_TRUE(orvex::EventPositionQuery5(std::span<const orvex::LayerArrays>(&restLayers, 1), 1024));
}

TEST(ExplosionNInfo, IsolatingThePartOfAChordKeepsItsNote) {
    for (const int32_t part : {1, 2}) {
        SCOPED_TRACE(part);
        Cell cell;
        cell.Add(0, 0, 4096, {0, 4});
        const orvex::LayerArrays layers = cell.Layers();
        auto info = std::make_unique<orvex::NInfo>();
        ASSERT_TRUE(Fill(*info, layers));
        uint8_t* entry = nullptr;
        uint8_t* note = orvex::IsolatePartInItem(layers, info->items[0], part, orvex::OptionArray{}, &entry, true);
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(hostapi::NoteView(note).harmonicLevel(), part == 1 ? 4 : 0);
        EXPECT_EQ(cell.Entry(0, 0).noteCount(), 1);
        EXPECT_EQ(entry, cell.Entry(0, 0).data());
    }
}

}  // namespace
