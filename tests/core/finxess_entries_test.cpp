// Finxess over entry arrays against the simulated host: position lookup, run replacement,
// layer cleaning, entry links, one entry across layers with its stem direction, vertical
// positions, clefs by host year, pitch steps, pitch statistics and durations.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <tuple>

#include "core/host/access_state.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/module.h"
#include "core/startup.h"
#include "platform/host/entry_arrays.h"
#include "platform/host/host.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/music_records.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;
using hostapi::kEntryBeamStart;
using hostapi::kEntryBlankRest;
using hostapi::kEntryHidden;
using hostapi::kEntryNote;
using hostapi::kEntryVoice2;
using hostapi::kEntryVoice2Start;
using hostapi::kEntryVoiceFree;
using hostapi::MakeTag;

// Two staves in 4/4: staff 1 treble, staff 2 bass (from measure 1), four measures in C major.
constexpr const char* kScore = R"(
staff "Flute"
staff "Cello"
measures 4 time 4/4
clef 2 1 bass
)";

/// An entry as a test writes it and reads it back.
struct E {
    Edu position;
    Edu actual;
    uint32_t flags = 0;
    EntryNumber number = 0;
    bool operator==(const E&) const = default;
};

std::ostream& operator<<(std::ostream& out, const E& e) {
    return out << "{at " << e.position << ", " << e.actual << " EDU, flags 0x" << std::hex << e.flags << std::dec
               << ", entry " << e.number << "}";
}

host::EntryBytes Bytes(const E& e) {
    host::EntryBytes bytes{};
    const hostapi::EntryView entry(bytes.data());
    entry.setNumber(e.number);
    entry.setPosition(e.position);
    entry.setActualDuration(e.actual);
    entry.setDuration(static_cast<int16_t>(e.actual));
    entry.setFlags(e.flags);
    entry.setNoteCount((e.flags & kEntryNote) != 0 ? 1 : 0);
    return bytes;
}

std::vector<E> Read(const EntryArray* array) {
    std::vector<E> entries;
    for (int32_t i = 0; i < array->count; ++i) {
        const hostapi::ConstEntryView entry = array->entry(i);
        entries.push_back({entry.position(), entry.actualDuration(), entry.flags(), entry.number()});
    }
    return entries;
}

class FinxessEntriesTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
        TheAccessLayer.host.year = 2000;
        m_host = std::make_unique<host::Host>();
        m_host->AddDocument(host::ParseScoreText(kScore, "test"));
    }
    void TearDown() override {
        // The arrays the test borrowed itself go back first; anything else lent is left over.
        for (EntryArray* array : m_lent) {
            ReleaseEntryArray(array);
        }
        ExpectNothingLeft();
        m_host.reset();
        ResetHostImports();
        DesktopTest::TearDown();
    }

    host::Document& Doc() { return *m_host->FrontDocument(); }

    /// Puts entries into a cell of staff 1 and borrows its array (released in TearDown).
    EntryArray* Cell(const std::vector<E>& entries, LayerIndex layer = 0, MeasureNumber measure = 1) {
        host::CellEntries bytes;
        for (const E& e : entries) {
            bytes.push_back(Bytes(e));
        }
        Doc().SetEntries(host::CellKey{1, measure, layer}, bytes);
        return Borrow(layer, measure);
    }
    EntryArray* Borrow(LayerIndex layer, MeasureNumber measure = 1) {
        EntryArray* array = LoadEntryArray(0, 1, measure, layer, 1);
        EXPECT_NE(array, nullptr);
        m_lent.push_back(array);
        return array;
    }
    /// Adds the notes of a score text statement to the document.
    void Notes(const std::string& statement) {
        auto other = host::ParseScoreText(std::string(kScore) + statement, "notes");
        for (const auto& [cell, entries] : other->Cells()) {
            Doc().SetEntries(cell, entries);
        }
        for (const auto& [key, bytes] : other->Records().Records()) {
            Doc().Records().Save(key, bytes);
        }
    }

    std::unique_ptr<host::Host> m_host;
    std::vector<EntryArray*> m_lent;
};

// ---- Lent arrays held for a scope ----

TEST_F(FinxessEntriesTest, ScopedArraysGoBackWhereverTheirScopeIsLeft) {
    Doc().SetEntries(host::CellKey{1, 1, 0}, {Bytes({0, 4096, kEntryNote, 1})});
    // Answers the first entry's number, leaving the scope early when the cell has one entry.
    const auto firstEntry = [](LayerIndex layer) -> EntryNumber {
        const ScopedEntryArray array(0, 1, 1, layer);
        LayerArrays layers{};
        ScopedCellLayers lent(layers);
        layers[2] = LoadEntryArray(0, 1, 1, 2, 1);
        layers[3] = LoadEntryArray(0, 1, 1, 3, 1);
        EXPECT_EQ(host::LentEntryArrayCount(), 3u);
        if (array->count == 1) {
            return array->entry(0).number();
        }
        lent.Release();
        EXPECT_EQ(layers, LayerArrays{});
        EXPECT_EQ(host::LentEntryArrayCount(), 1u);
        return 0;
    };
    EXPECT_EQ(firstEntry(0), 1);
    EXPECT_EQ(host::LentEntryArrayCount(), 0u);
    EXPECT_EQ(firstEntry(1), 0);
    EXPECT_EQ(host::LentEntryArrayCount(), 0u);
    ScopedEntryArray array;
    array.Load(0, 1, 1, 0);
    array.Load(0, 1, 1, 1);  // gives back the array of layer 1 first
    EXPECT_EQ(host::LentEntryArrayCount(), 1u);
    array.Release();
    EXPECT_FALSE(array);
    EXPECT_EQ(host::LentEntryArrayCount(), 0u);
}

// ---- Position lookup ----

TEST_F(FinxessEntriesTest, LookupAtAnEntrysEndMovesOnToTheNextEntry) {
    const EntryArray* array = Cell({{0, 1024, 0, 1}, {1024, 512, kEntryHidden, 2}, {2048, 1024, 0, 3}});
    struct Case {
        Edu position;
        int32_t answer;
        int32_t index;
    };
    for (const Case& c : {Case{0, kCoveredByEntry, 0}, Case{1023, kCoveredByEntry, 0}, Case{1024, kCoveredByMarked, 1},
                          Case{1535, kCoveredByMarked, 1}, Case{1536, kNotCovered, -1}, Case{2048, kCoveredByEntry, 2},
                          Case{3072, kNotCovered, -1}, Case{-1, kNotCovered, -1}}) {
        SCOPED_TRACE(c.position);
        int32_t index = -1;
        EXPECT_EQ(FramePositionLookup(array, c.position, &index), c.answer);
        EXPECT_EQ(index, c.index);
    }
}

TEST_F(FinxessEntriesTest, LookupStopsAtTheFirstEntryThatStartsAfterThePosition) {
    // A long entry further on that would reach back is not looked at.
    const EntryArray* array = Cell({{0, 512, 0, 1}, {1024, 512, 0, 2}, {768, 2000, 0, 3}});
    EXPECT_EQ(FramePositionLookup(array, 800, nullptr), kNotCovered);
}

// ---- Run replacement ----

TEST_F(FinxessEntriesTest, RunReplacementWithAnEmptyArrayChangesNothing) {
    EntryArray* target = Cell({{0, 4096, kEntryHidden, 1}}, 0);
    EntryArray* source = Cell({}, 1);
    EXPECT_FALSE(FrameRunReplace(target, source));
    EXPECT_FALSE(FrameRunReplace(source, target));
    EXPECT_EQ(Read(target), (std::vector<E>{{0, 4096, kEntryHidden, 1}}));
}

TEST_F(FinxessEntriesTest, RunReplacementRefusesARealSourceEntryUnderARealTargetEntry) {
    EntryArray* target = Cell({{0, 1024, 0, 1}, {1024, 3072, kEntryHidden, 2}}, 0);
    EntryArray* source = Cell({{0, 2048, kEntryNote, 11}, {2048, 2048, kEntryNote, 12}}, 1);
    EXPECT_FALSE(FrameRunReplace(target, source));
    EXPECT_EQ(Read(target), (std::vector<E>{{0, 1024, 0, 1}, {1024, 3072, kEntryHidden, 2}}));
    EXPECT_EQ(Read(source), (std::vector<E>{{0, 2048, kEntryNote, 11}, {2048, 2048, kEntryNote, 12}}));
}

TEST_F(FinxessEntriesTest, RunReplacementMovesTheSourceUnderEachMarkedRun) {
    EntryArray* target = Cell({{0, 1024, 0, 1},
                               {1024, 1024, kEntryHidden, 2},
                               {2048, 1024, kEntryHidden, 3},
                               {3072, 512, 0, 4},
                               {3584, 512, kEntryHidden, 5}},
                              0);
    EntryArray* source = Cell({{0, 1024, kEntryHidden, 11},
                               {1024, 512, kEntryNote, 12},
                               {1536, 512, kEntryNote, 13},
                               {2048, 1024, kEntryNote, 14},
                               {3072, 512, kEntryHidden, 15},
                               {3584, 512, kEntryNote, 16}},
                              1);
    ASSERT_TRUE(FrameRunReplace(target, source));
    EXPECT_EQ(Read(target), (std::vector<E>{{0, 1024, 0, 1},
                                            {1024, 512, kEntryNote, 12},
                                            {1536, 512, kEntryNote, 13},
                                            {2048, 1024, kEntryNote, 14},
                                            {3072, 512, 0, 4},
                                            {3584, 512, kEntryNote, 16}}));
    // What moved stays behind as marked rests without a number or notes.
    EXPECT_EQ(Read(source), (std::vector<E>{{0, 1024, kEntryHidden, 11},
                                            {1024, 512, kEntryHidden, 0},
                                            {1536, 512, kEntryHidden, 0},
                                            {2048, 1024, kEntryHidden, 0},
                                            {3072, 512, kEntryHidden, 15},
                                            {3584, 512, kEntryHidden, 0}}));
    for (int32_t i = 1; i <= 3; ++i) {
        EXPECT_EQ(source->entry(i).noteCount(), 0) << "source entry " << i;
        EXPECT_EQ(target->entry(i).noteCount(), 1) << "target entry " << i;
    }
}

TEST_F(FinxessEntriesTest, RunReplacementWithoutMarksAppendsTheSourceFromTheTargetsEnd) {
    EntryArray* target = Cell({{0, 2048, kEntryNote, 1}}, 0);
    EntryArray* source = Cell({{2048, 1024, kEntryNote, 11}, {3072, 1024, 0, 12}}, 1);
    ASSERT_TRUE(FrameRunReplace(target, source));
    EXPECT_EQ(Read(target),
              (std::vector<E>{{0, 2048, kEntryNote, 1}, {2048, 1024, kEntryNote, 11}, {3072, 1024, 0, 12}}));
    EXPECT_EQ(Read(source), (std::vector<E>{{2048, 1024, kEntryHidden, 0}, {3072, 1024, kEntryHidden, 0}}));

    // The source must go on with a real entry where the target ends.
    EntryArray* shortTarget = Cell({{0, 2048, kEntryNote, 1}}, 2);
    EntryArray* gapSource = Cell({{2560, 1024, kEntryNote, 21}}, 3);
    EXPECT_FALSE(FrameRunReplace(shortTarget, gapSource));
    EntryArray* markedSource = Cell({{2048, 1024, kEntryHidden, 31}}, 3, 2);
    EXPECT_FALSE(FrameRunReplace(shortTarget, markedSource));
    EXPECT_EQ(Read(shortTarget), (std::vector<E>{{0, 2048, kEntryNote, 1}}));
}

// ---- Layer cleaning ----

TEST_F(FinxessEntriesTest, CleaningALayerOfMarkedEntriesEmptiesIt) {
    EntryArray* layer = Cell({{0, 2048, kEntryHidden, 1}, {2048, 2048, kEntryHidden, 2}});
    ASSERT_TRUE(FrameLayersClean({layer, nullptr, nullptr, nullptr}, 0, 4096, false, ""));
    EXPECT_EQ(layer->count, 0);
}

TEST_F(FinxessEntriesTest, CleaningKeepsOverlapsOfThreeEduAndFillsEveryGap) {
    EntryArray* layer = Cell({{0, 1024, 0, 1},
                              {1021, 1024, 0, 2},  // 3 EDU before the running end 1024: kept
                              {2041, 1000, 0, 3},  // 4 EDU before 2045: breaks off and goes
                              {3072, 1023, 0, 4},  // after a gap of 1027
                              {4096, 0, 0, 5}});   // at the end: outside the range
    ASSERT_TRUE(FrameLayersClean({layer, nullptr, nullptr, nullptr}, 0, 4096, false, ""));
    EXPECT_EQ(Read(layer), (std::vector<E>{{0, 1024, 0, 1},
                                           {1021, 1024, 0, 2},
                                           {2045, 1027, kEntryBlankRest, 0},
                                           {3072, 1023, 0, 4},
                                           {4096, 0, 0, 5}}));
    EXPECT_EQ(layer->entry(2).duration(), 1027);

    EntryArray* oneEdu = Cell({{0, 1023, 0, 1}, {1024, 1024, 0, 2}}, 1);
    ASSERT_TRUE(FrameLayersClean({nullptr, oneEdu, nullptr, nullptr}, 0, 4096, false, ""));
    EXPECT_EQ(Read(oneEdu), (std::vector<E>{{0, 1023, 0, 1}, {1023, 1, kEntryBlankRest, 0}, {1024, 1024, 0, 2}}));
}

TEST_F(FinxessEntriesTest, CleaningKeepsAMarkedEntryThatFitsBeforeTheNextRealOne) {
    EntryArray* fits = Cell({{0, 1024, 0, 1}, {1024, 1024, kEntryHidden, 2}, {2048, 2048, 0, 3}}, 0);
    EntryArray* tooLong = Cell({{0, 1024, 0, 1}, {1024, 2048, kEntryHidden, 2}, {2048, 2048, 0, 3}}, 1);
    ASSERT_TRUE(FrameLayersClean({fits, tooLong, nullptr, nullptr}, 0, 4096, false, ""));
    EXPECT_EQ(Read(fits), (std::vector<E>{{0, 1024, 0, 1}, {1024, 1024, kEntryHidden, 2}, {2048, 2048, 0, 3}}));
    EXPECT_EQ(Read(tooLong), (std::vector<E>{{0, 1024, 0, 1}, {1024, 1024, kEntryBlankRest, 0}, {2048, 2048, 0, 3}}));
}

TEST_F(FinxessEntriesTest, CleaningVoiceTwo) {
    // Voice-2 rests go, launch marks go, and the kept entries lose 0x100.
    EntryArray* layer = Cell({{0, 2048, kEntryNote | kEntryVoice2Start | kEntryVoiceFree, 1},
                              {0, 1024, kEntryVoice2, 2},
                              {2048, 2048, kEntryNote | kEntryVoiceFree, 3}});
    ASSERT_TRUE(FrameLayersClean({layer, nullptr, nullptr, nullptr}, 0, 4096, true, ""));
    EXPECT_EQ(Read(layer), (std::vector<E>{{0, 2048, kEntryNote, 1}, {2048, 2048, kEntryNote, 3}}));

    // A voice-2 note entry cannot be cleaned away.
    EntryArray* notes = Cell({{0, 4096, kEntryNote, 1}, {0, 1024, kEntryNote | kEntryVoice2, 2}}, 1);
    EXPECT_FALSE(FrameLayersClean({nullptr, notes, nullptr, nullptr}, 0, 4096, true, ""));
}

TEST_F(FinxessEntriesTest, CleaningSkipsTheNamedLayersAndStopsAtAnOpenVoiceBeforeTheRange) {
    EntryArray* skipped = Cell({{0, 4096, kEntryHidden, 1}}, 1);
    ASSERT_TRUE(FrameLayersClean({nullptr, skipped, nullptr, nullptr}, 0, 4096, false, "24"));
    EXPECT_EQ(skipped->count, 1) << "layer 2 is skipped";

    EntryArray* open = Cell({{0, 1024, kEntryVoice2Start, 1}, {1024, 1024, 0, 2}}, 2);
    EXPECT_FALSE(FrameLayersClean({nullptr, nullptr, open, nullptr}, 1024, 4096, false, ""));
}

TEST_F(FinxessEntriesTest, CleaningKeepsAnOverlongEntryWhenVoiceTwoGoesOnAfterTheRange) {
    const std::vector<E> entries = {{0, 1024, kEntryNote, 1}, {1024, 1536, kEntryHidden, 2}, {2048, 1024, 0, 3}};
    std::vector<E> continued = entries;
    continued[2].flags = kEntryVoice2;
    EntryArray* plain = Cell(entries, 0);
    EntryArray* voice2 = Cell(continued, 1);
    ASSERT_TRUE(FrameLayersClean({plain, voice2, nullptr, nullptr}, 0, 2048, false, ""));
    EXPECT_EQ(Read(plain), (std::vector<E>{{0, 1024, kEntryNote, 1}, {2048, 1024, 0, 3}}));
    EXPECT_EQ(Read(voice2), continued);
}

// The marked entry 3 of voice 2 survives as the continuation and launches from entry 2; it starts
// after the running end, so a blank rest goes before it, and on its second visit the blank does
// not become a voice-2 launch.
TEST_F(FinxessEntriesTest, TheBlankBeforeAContinuingVoiceTwoEntryLaunchesNothing) {
    EntryArray* layer = Cell({{0, 1024, kEntryNote, 1},
                              {1000, 200, kEntryHidden, 2},
                              {1536, 256, kEntryHidden | kEntryVoice2, 3},
                              {2048, 1024, kEntryVoice2, 4}});
    ASSERT_TRUE(FrameLayersClean({layer, nullptr, nullptr, nullptr}, 0, 2048, false, ""));
    EXPECT_EQ(Read(layer), (std::vector<E>{{0, 1024, kEntryNote, 1},
                                           {1000, 200, kEntryHidden | kEntryVoice2Start, 2},
                                           {1200, 336, kEntryBlankRest, 0},
                                           {1536, 256, kEntryHidden | kEntryVoice2, 3},
                                           {2048, 1024, kEntryVoice2, 4}}));
}

// ---- Entry links ----

TEST_F(FinxessEntriesTest, EntryLinksPointEachEntryAtTheNext) {
    const Tag link = MakeTag("eteE");
    const auto put = [&](EntryNumber entry, EntryNumber previous, EntryNumber next) {
        host::Bytes record(52, 0);
        hostapi::WriteI32(record.data(), 4, previous);
        hostapi::WriteI32(record.data(), 8, next);
        Doc().Records().Save(host::RecordKey::EntryDetail(link, entry, 0), record);
    };
    const auto next = [&](EntryNumber entry) {
        return hostapi::ReadI32(Doc().Records().Find(host::RecordKey::EntryDetail(link, entry, 0))->data(), 8);
    };
    put(101, 0, 0);
    put(102, 0, 999);
    put(103, 0, 7);
    const EntryArray* array = Cell({{0, 1024, 0, 101}, {1024, 1024, 0, 102}, {2048, 1024, 0, 103}});
    EntryLinksRefresh(array, 0);
    EXPECT_EQ(next(101), 102);
    EXPECT_EQ(next(102), 103);
    EXPECT_EQ(next(103), 7) << "the last entry's record is left as it is";

    EntryLinksRefresh(array, 500);
    EXPECT_EQ(next(103), 500) << "an entry outside the array follows the last one";
    EXPECT_FALSE(EntryLinkSet(104, 5)) << "no record";

    put(600, 103, 0);
    EXPECT_TRUE(EntryLinkFollow(103, 600));
    EXPECT_EQ(next(103), 600);
    EXPECT_FALSE(EntryLinkFollow(101, 600)) << "600 does not come after 101";
}

// ---- One entry across the layers ----

TEST_F(FinxessEntriesTest, EntryReplaceFindsByNumberAndNearestPosition) {
    Notes("notes 1 1 c4/8 d4/8 e4/4 f4/2\nnotes 1 1 layer 3 r/1\n");
    hostapi::EntryRecord buffer;
    LayerIndex layer = -1;
    bool more = false;
    ASSERT_TRUE(
        EntryReplace(0, 1, 1, 3, buffer.data(), &layer, &more, false, nullptr, 1, 0, nullptr, kReplaceByNumber));
    EXPECT_EQ(buffer.view().position(), 1024);
    EXPECT_EQ(layer, 0);
    EXPECT_TRUE(more) << "layer 3 holds a rest";
    EXPECT_FALSE(
        EntryReplace(0, 1, 1, 99, buffer.data(), nullptr, nullptr, false, nullptr, 1, 0, nullptr, kReplaceByNumber));

    struct Case {
        int32_t position;
        Edu found;
    };
    for (const Case& c : {Case{0, 0}, Case{300, 512}, Case{700, 512}, Case{768, 1024}, Case{1700, 2048},
                          Case{9000, 2048}, Case{-50, 0}}) {
        SCOPED_TRACE(c.position);
        ASSERT_TRUE(EntryReplace(0, 1, 1, c.position, buffer.data(), nullptr, nullptr, false, nullptr, 1, 0, nullptr,
                                 kReplaceNearestPosition));
        EXPECT_EQ(buffer.view().position(), c.found);
    }

    // The whole rest of layer 3 (entry 5): found there; no other layer after it holds entries,
    // but layer 1 before it does.
    ASSERT_TRUE(
        EntryReplace(0, 1, 1, 5, buffer.data(), &layer, &more, false, nullptr, 1, 0, nullptr, kReplaceByNumber));
    EXPECT_EQ(layer, 2);
    EXPECT_TRUE(more);
}

TEST_F(FinxessEntriesTest, EntryReplaceWritesBackAndSaves) {
    Notes("notes 1 1 c4/4 d4/4 e4/2\n");
    hostapi::EntryRecord buffer;
    ASSERT_TRUE(
        EntryReplace(0, 1, 1, 2, buffer.data(), nullptr, nullptr, false, nullptr, 1, 0, nullptr, kReplaceByNumber));
    buffer.view().setFlag(kEntryHidden, true);
    ASSERT_TRUE(
        EntryReplace(0, 1, 1, 2, buffer.data(), nullptr, nullptr, true, nullptr, 1, 0, nullptr, kReplaceByNumber));
    const host::CellEntries& stored = Doc().EntriesOf({1, 1, 0});
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_TRUE(hostapi::ConstEntryView(stored[1].data()).has(kEntryHidden));
    EXPECT_FALSE(hostapi::ConstEntryView(stored[0].data()).has(kEntryHidden));
}

struct StemCase {
    const char* notes;  ///< measure 1 of staff 1, layer 1
    EntryNumber entry;
    bool up;
    bool isShort;
};

class EntryReplaceStemTest : public FinxessEntriesTest, public ::testing::WithParamInterface<StemCase> {};

TEST_P(EntryReplaceStemTest, FollowsTheBeamGroupsExtremes) {
    Notes(std::string("notes 1 1 ") + GetParam().notes + "\n");
    hostapi::EntryRecord buffer;
    bool up = !GetParam().up;
    bool isShort = !GetParam().isShort;
    ASSERT_TRUE(EntryReplace(0, 1, 1, GetParam().entry, buffer.data(), nullptr, nullptr, false, &up, 1, 0, &isShort,
                             kReplaceByNumber));
    EXPECT_EQ(up, GetParam().up);
    EXPECT_EQ(isShort, GetParam().isShort);
}

// Treble clef: middle C lies 120 EVPU below the top line, the middle line (B4) 48.
INSTANTIATE_TEST_SUITE_P(Cases, EntryReplaceStemTest,
                         ::testing::Values(StemCase{"c4/8 d4/8 e4/8 f4/8 g4/2", 1, true, true},  // low group
                                           StemCase{"c4/8 d4/8 e4/8 f4/8 g4/2", 4, true, true},  // ends a group
                                           StemCase{"a5/8 b5/8 r/4 r/2", 2, false, true},        // high group
                                           StemCase{"c4/8 c6/8 r/4 r/2", 1, false, true},        // c6 is farther
                                           StemCase{"b4/4 r/4 r/2", 1, false, false},            // middle line
                                           StemCase{"g4/4 r/4 r/2", 1, true, false},
                                           StemCase{"d5/8 r/8 r/4 r/2", 1, false, false}),
                         testsupport::NameBy(&StemCase::notes, "entry", &StemCase::entry));  // alone

TEST_F(FinxessEntriesTest, EntryReplaceStemFromFlagsAndLayerSettings) {
    Notes("notes 1 1 a5/8 b5/8 r/4 r/2\n");
    hostapi::EntryRecord buffer;
    bool up = false;
    // A group member that keeps its own stem answers for the group.
    host::CellEntries entries = Doc().EntriesOf({1, 1, 0});
    hostapi::EntryView(entries[0].data()).setFlags(kEntryNote | kEntryVoiceFree | hostapi::kEntryStemUp);
    Doc().SetEntries({1, 1, 0}, entries);
    ASSERT_TRUE(EntryReplace(0, 1, 1, 2, buffer.data(), nullptr, nullptr, false, &up, 1, 0, nullptr, kReplaceByNumber));
    EXPECT_TRUE(up);

    // A layer fixed up overrides the group's answer (down for these high notes) ...
    hostapi::EntryView(entries[0].data()).setFlags(kEntryNote | kEntryBeamStart);
    Doc().SetEntries({1, 1, 0}, entries);
    const auto layerRule = [&](uint8_t rule) {
        Doc().Records().Save(host::RecordKey::Global(hostapi::kTagLayerSettings, 0), {0, 0, 0, rule});
    };
    layerRule(hostapi::LayerSettingsLayout::kStemFixed | hostapi::LayerSettingsLayout::kStemUp);
    ASSERT_TRUE(EntryReplace(0, 1, 1, 2, buffer.data(), nullptr, nullptr, false, &up, 1, 0, nullptr, kReplaceByNumber));
    EXPECT_TRUE(up);
    // ... but only with other layers filled when it says so.
    layerRule(hostapi::LayerSettingsLayout::kStemFixed | hostapi::LayerSettingsLayout::kStemUp |
              hostapi::LayerSettingsLayout::kStemOnlyWithOtherLayers);
    ASSERT_TRUE(EntryReplace(0, 1, 1, 2, buffer.data(), nullptr, nullptr, false, &up, 1, 0, nullptr, kReplaceByNumber));
    EXPECT_FALSE(up);
    EXPECT_EQ(TheAccessLayer.layerSettings[0][3], 0x0D);
}

// ---- Vertical positions and clefs ----

TEST_F(FinxessEntriesTest, VerticalPositionsOfNotesAndRests) {
    Notes("notes 1 1 c4+g4/4 r/4 r/2\nnotes 2 1 c4/1\n");
    hostapi::EntryRecord chord;
    std::memcpy(chord.data(), Doc().EntriesOf({1, 1, 0})[0].data(), hostapi::EntryLayout::kSize);
    EXPECT_EQ(EntryVerticalPosition(1, 1, chord.data(), 0, false, 0, true), -72);
    EXPECT_EQ(EntryVerticalPosition(1, 1, chord.data(), 0, false, 0, false), -120);
    EXPECT_EQ(EntryVerticalPosition(2, 1, chord.data(), 0, false, 0, false), 24) << "bass clef";

    // A rest sits on the middle line unless its staff record moves it.
    const hostapi::ConstEntryView rest(Doc().EntriesOf({1, 1, 0})[1].data());
    EXPECT_EQ(EntryVerticalPosition(1, 1, rest.data(), 0, false, 0, true), -48);
    host::Bytes staffRecord(hostapi::StaffSpecLayout::kSize, 0);
    hostapi::WriteU16(staffRecord.data(), hostapi::StaffSpecLayout::kRestFlags, 1);
    hostapi::WriteU16(staffRecord.data(), hostapi::StaffSpecLayout::kRestOffsetBits, 0x0008);
    Doc().Records().Save(host::RecordKey::Detail(hostapi::kTagStaffSpec, 1, 1, 1024), staffRecord);
    EXPECT_EQ(EntryVerticalPosition(1, 1, rest.data(), 0, false, 0, true), -84);

    Edu position = -1;
    EXPECT_EQ(EntryVerticalPositionById(2, 1, 4, false, &position, true), 24);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(EntryVerticalPositionById(1, 1, 2, false, &position, true), -84);
    EXPECT_EQ(position, 1024);
    EXPECT_EQ(EntryVerticalPositionById(1, 1, 77, false, &position, true), 0);
    EXPECT_EQ(position, 0);
}

struct ClefYearCase {
    int32_t year;
    int32_t clef;
    int32_t middleLine;
};

class ClefDefinitionTest : public FinxessEntriesTest, public ::testing::WithParamInterface<ClefYearCase> {};

TEST_P(ClefDefinitionTest, ReadsTheFormOfTheHostYear) {
    // Each form carries its own values, so reading the wrong form shows.
    host::RecordStore& records = Doc().Records();
    const auto put = [&](const host::RecordKey& key, size_t offset, int16_t value) {
        host::Bytes bytes(8, 0);
        hostapi::WriteI16(bytes.data(), offset, value);
        records.Save(key, bytes);
    };
    for (int16_t clef = 0; clef < 8; ++clef) {
        put(host::RecordKey::Other(hostapi::ClefDefinitionTagBefore2000(clef), -2, 0), 0,
            static_cast<int16_t>(100 + clef));
        put(host::RecordKey::Global(hostapi::kTagClefDefinition2000, clef), 0, static_cast<int16_t>(200 + clef));
    }
    for (int16_t clef = 0; clef < 12; ++clef) {
        put(host::RecordKey::Other(hostapi::kTagClefDefinitions2001, -2, static_cast<int16_t>(clef * 24 / 16)),
            clef % 2 == 0 ? 0 : 6, static_cast<int16_t>(300 + clef));
    }
    TheAccessLayer.host.year = GetParam().year;
    EXPECT_EQ(ClefMiddleLine(GetParam().clef), GetParam().middleLine);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClefDefinitionTest,
                         ::testing::Values(ClefYearCase{1997, 0, 100}, ClefYearCase{1998, 3, 103},
                                           ClefYearCase{1998, 9, 107},  // clamped to clef 7
                                           ClefYearCase{2000, 3, 203}, ClefYearCase{2000, -4, 200},
                                           ClefYearCase{2001, 3, 303},  // odd: byte 6 of inci 4
                                           ClefYearCase{2002, 10, 310}, ClefYearCase{2002, 11, 311},
                                           ClefYearCase{2002, 12, -10}),
                         testsupport::NameBy("year", &ClefYearCase::year, "clef",
                                             &ClefYearCase::clef));  // no definition

TEST_F(FinxessEntriesTest, ClefDefinitionsOfTheHostsDocumentsServeEveryYear) {
    Notes("notes 1 1 r/1\n");
    for (const int32_t year : {1997, 1998, 2000, 2001, 2002}) {
        SCOPED_TRACE(year);
        TheAccessLayer.host.year = year;
        EXPECT_EQ(ClefMiddleLine(0), -10);
        EXPECT_EQ(ClefMiddleLine(3), 2);
        EXPECT_EQ(ClefMiddleLine(1), -4);
    }
}

TEST_F(FinxessEntriesTest, ClefAtSearchesBackAndReadsMidMeasureChanges) {
    Notes("clef 1 3 treble bass@2048 alto@3072\nclef 2 4 tenor\n");
    EXPECT_EQ(ClefAt(2, 3, 0, false, nullptr), 3) << "measure 1's bass clef";
    EXPECT_EQ(ClefAt(2, 4, 0, false, nullptr), 2);
    EXPECT_EQ(ClefAt(1, 3, 2047, false, nullptr), 0);
    EXPECT_EQ(ClefAt(1, 3, 2048, false, nullptr), 3);
    EXPECT_EQ(ClefAt(1, 4, 4000, false, nullptr), 1) << "measure 4 keeps measure 3's record";
    EXPECT_EQ(ClefOffsetAt(1, 3, 2500, false, nullptr), 2);

    // Before 1998 the host keeps clefs in 'dtGF' records.
    TheAccessLayer.host.year = 1997;
    EXPECT_EQ(ClefAt(1, 3, 3072, false, nullptr), 1);
    Doc().Records().Delete(host::RecordKey::Detail(hostapi::kTagCellClef1997, 2, 1, 0));
    EXPECT_EQ(ClefAt(2, 2, 0, false, nullptr), 0);
}

TEST_F(FinxessEntriesTest, ClefAtStepsBackOverMeasuresWithoutARecordOfTheStaff) {
    Notes("clef 1 3 treble bass@2048 alto@3072\nclef 2 4 tenor\n");
    host::Bytes alto(12, 0);
    hostapi::WriteI16(alto.data(), hostapi::CellClefLayout::kClef, 1);
    // Far measures: a record of staff 2, one of staff 1 under inci 1 only, which is no cell clef
    // of the staff, and one before measure 1.
    Doc().Records().Save(host::RecordKey::Detail(hostapi::kTagCellClef, 2, 300, 0), alto);
    Doc().Records().Save(host::RecordKey::Detail(hostapi::kTagCellClef, 1, 250, 1), alto);
    Doc().Records().Save(host::RecordKey::Detail(hostapi::kTagCellClef, 1, -4, 0), alto);
    EXPECT_EQ(ClefAt(1, 400, 3072, false, nullptr), 1) << "measure 3's list, 397 measures back";
    EXPECT_EQ(ClefAt(1, 250, 0, false, nullptr), 0);
    EXPECT_EQ(ClefAt(2, 299, 0, false, nullptr), 2) << "measure 4's record";
    EXPECT_EQ(ClefAt(2, 301, 0, false, nullptr), 1);
    EXPECT_EQ(ClefAt(3, 500, 0, false, nullptr), 0) << "staff 3 has none: the treble default";
    Doc().Records().Delete(host::RecordKey::Detail(hostapi::kTagCellClef, 1, 3, 0));
    EXPECT_EQ(ClefAt(1, 400, 3072, false, nullptr), 0) << "no record from measure 1 on";
}

TEST_F(FinxessEntriesTest, ClefAtFallsBackToTheStaffSpec) {
    uint8_t staffRecord[hostapi::StaffSpecLayout::kSize] = {};
    hostapi::WriteI16(staffRecord, hostapi::StaffSpecLayout::kClef, 0x0513);
    EXPECT_EQ(ClefAt(1, 2, 0, false, staffRecord), 3) << "no clef record: the record's clef";
    EXPECT_EQ(ClefAt(1, 2, 0, true, staffRecord), 3) << "the alternative clef is not in use";
    staffRecord[hostapi::StaffSpecLayout::kOptions] = hostapi::StaffSpecLayout::kAlternativeClefInUse;
    EXPECT_EQ(ClefAt(2, 2, 0, true, staffRecord), 5) << "in use, it wins over the bass clef record";
    EXPECT_EQ(ClefAt(2, 2, 0, false, staffRecord), 3);
    EXPECT_EQ(ClefAt(1, 2, 0, false, nullptr), 0);

    // A change list that is empty answers 0.
    host::Bytes record(12, 0);
    hostapi::WriteI16(record.data(), 0, 40);
    hostapi::WriteU16(record.data(), 2, hostapi::CellClefLayout::kHasChanges);
    Doc().Records().Save(host::RecordKey::Detail(hostapi::kTagCellClef, 2, 2, 0), record);
    EXPECT_EQ(ClefAt(2, 2, 100, false, nullptr), 0);
}

// ---- Pitch steps ----

TEST_F(FinxessEntriesTest, PitchStepsAndAlterations) {
    struct Case {
        const char* name;
        int16_t key;
        int16_t level;
        int16_t alteration;
        int32_t step;
        int32_t altered;
    };
    for (const Case& c : {Case{"C4 in C", 0, 0, 0, 0, 0}, Case{"F#4 in D", 2, 2, 0, 3, 1},
                          Case{"F4 in D", 2, 2, -1, 3, 0}, Case{"Bb4 in E flat", 0xFD, 4, 0, 6, -1},
                          Case{"Eb4 in E flat", 0xFD, 0, 0, 2, -1}, Case{"Bbb4 in C", 0, 6, -2, 6, -2},
                          Case{"G#4 in A minor", 0x100, -1, 1, 4, 1}, Case{"A3 in A minor", 0x100, -7, 0, -2, 0}}) {
        SCOPED_TRACE(c.name);
        hostapi::NoteRecord note;
        note.view().setHarmonicLevel(c.level);
        note.view().setAlteration(c.alteration);
        int32_t altered = 99;
        EXPECT_EQ(NotePitchStep(note.data(), c.key, c.key, false, nullptr, &altered), c.step);
        EXPECT_EQ(altered, c.altered);
    }
    EXPECT_EQ(KeyTonicStep(0xFD), 2);
    EXPECT_EQ(KeyTonicStep(0x7002), 1) << "bits above the ninth are dropped";
    EXPECT_EQ(KeyTonicStep(0x104), 0) << "E minor: (16 + 5) mod 7";
}

TEST_F(FinxessEntriesTest, PitchStepsOfTransposingStaves) {
    hostapi::NoteRecord middleC;
    uint8_t staffRecord[hostapi::StaffSpecLayout::kSize] = {};
    int32_t altered = 99;
    // Written a second higher in D major: concert C reads D.
    hostapi::WriteU16(staffRecord, hostapi::StaffSpecLayout::kTransposition, 1 << 6);
    EXPECT_EQ(NotePitchStep(middleC.data(), 0, 2, true, staffRecord, &altered), 1);
    EXPECT_EQ(altered, 0);
    EXPECT_EQ(NotePitchStep(middleC.data(), 0, 2, false, staffRecord, &altered), 0) << "without transposition";
    // A chromatic transposition: one step, two semitones up.
    hostapi::WriteU16(staffRecord, hostapi::StaffSpecLayout::kTransposition, 0x2001);
    EXPECT_EQ(NotePitchStep(middleC.data(), 0, 0, true, staffRecord, &altered), 1);
    EXPECT_EQ(altered, 0);

    hostapi::EntryRecord entry;
    entry.view().setNoteCount(2);
    entry.view().note(1).setHarmonicLevel(4);
    EXPECT_EQ(EntryNoteStep(entry.data(), -1, 0, 0, false, nullptr, nullptr), 4);
    EXPECT_EQ(EntryNoteStep(entry.data(), 0, 2, 2, false, nullptr, nullptr), 1);
    EXPECT_EQ(EntryNoteStep(entry.data(), 2, 0, 0, false, nullptr, &altered), 0);
    EXPECT_EQ(altered, 0);
}

// ---- Pitch statistics ----

hostapi::SelectionRecord Region(int16_t firstStaff, int16_t lastStaff, int16_t firstMeasure, int16_t lastMeasure,
                                Edu start = 0, Edu end = 0x7FFFFFFF) {
    hostapi::SelectionRecord region;
    region.setFirstStaff(firstStaff);
    region.setLastStaff(lastStaff);
    region.setFirstMeasure(firstMeasure);
    region.setLastMeasure(lastMeasure);
    region.setStartEdu(start);
    region.setEndEdu(end);
    return region;
}

TEST_F(FinxessEntriesTest, PitchStatisticsOfARegionWithoutNotes) {
    Notes("notes 1 1 r/1\n");
    PitchStats stats;
    RegionPitchStats(Region(1, 2, 1, 4), stats);
    EXPECT_EQ(stats.lowest, 60);
    EXPECT_EQ(stats.highest, 60);
    EXPECT_EQ(stats.mean, 60);
    EXPECT_EQ(stats.bandLow, 60);
    EXPECT_EQ(stats.bandHigh, 60);
    EXPECT_EQ(stats.count, 0);
    EXPECT_EQ(stats.largestChordSum, 0);
}

TEST_F(FinxessEntriesTest, PitchStatisticsCountsChordsAndFindsTheCentralBand) {
    Notes("notes 1 1 c4+e4+g4/4 c5/4 r/2\nnotes 1 1 layer 2 a3+c4/2 r/2\n");
    PitchStats stats;
    RegionPitchStats(Region(1, 2, 1, 4), stats);
    EXPECT_EQ(stats.largestChordSum, 5);
    EXPECT_EQ(stats.lowest, 57);
    EXPECT_EQ(stats.highest, 72);
    EXPECT_EQ(stats.sum, 60 + 64 + 67 + 72 + 57 + 60);
    EXPECT_EQ(stats.count, 6);
    EXPECT_EQ(stats.mean, 63);
    EXPECT_EQ(stats.lastTop, 60) << "the chord of layer 2 comes last";
    EXPECT_EQ(stats.bandLow, 57);
    EXPECT_EQ(stats.bandHigh, 72);
}

TEST_F(FinxessEntriesTest, PitchStatisticsBandLeavesAnOutlierOutAndKeepsToTheRegion) {
    Notes("notes 1 1 c4/8 c4/8 c4/8 c4/8 c4/8 c4/8 c4/8 c4/8\nnotes 1 2 c4/4 c4/4 c6/2\n");
    PitchStats stats;
    RegionPitchStats(Region(1, 1, 1, 2), stats);
    EXPECT_EQ(stats.count, 11);
    EXPECT_EQ(stats.mean, 62);
    EXPECT_EQ(stats.bandLow, 60);
    EXPECT_EQ(stats.bandHigh, 64);
    EXPECT_EQ(stats.highest, 84);

    // From 2048 in measure 1 to 1024 in measure 2: four eighths and two quarters.
    RegionPitchStats(Region(1, 1, 1, 2, 2048, 1024), stats);
    EXPECT_EQ(stats.count, 6);
    EXPECT_EQ(stats.highest, 60);
    EXPECT_EQ(stats.bandHigh, 60);
    // From 512 to 2048: nine c4 and the c6. Nine of ten is 90 percent, not more: the band grows.
    RegionPitchStats(Region(1, 1, 1, 2, 512, 2048), stats);
    EXPECT_EQ(std::tuple(stats.count, stats.bandLow, stats.bandHigh), std::tuple(10, 60, 84));
}

// ---- Durations and small services ----

TEST(DurationTest, SplitDotsAndPowers) {
    struct Split {
        Edu duration;
        int32_t count;
        Edu unit;
    };
    for (const Split& s : {Split{1536, 3, 512}, Split{4096, 2, 2048}, Split{0, 0, 0}, Split{-1024, 0, 0},
                           Split{1024, 1, 1024}, Split{1, 1, 1}, Split{6144, 3, 2048}, Split{1792, 7, 256}}) {
        SCOPED_TRACE(s.duration);
        int32_t count = -1;
        Edu unit = -1;
        DurationSplit(s.duration, count, unit);
        EXPECT_EQ(count, s.count);
        EXPECT_EQ(unit, s.unit);
    }
    EXPECT_EQ(DotCount(1792), 2);
    EXPECT_EQ(DotCount(1536), 1);
    EXPECT_EQ(DotCount(1024), 0);
    EXPECT_EQ(DotCount(0), 0);
    EXPECT_EQ(DotCount(-1536), 0);
    EXPECT_EQ(PowerOfTwoFloor(0), 0);
    EXPECT_EQ(PowerOfTwoFloor(-5), 0);
    EXPECT_EQ(PowerOfTwoFloor(1023), 512);
    EXPECT_EQ(PowerOfTwoFloor(INT32_MAX), 1 << 30);
    EXPECT_EQ(IntAbs(-7), 7);
    EXPECT_EQ(IntAbs(0), 0);
    EXPECT_EQ(IntAbs(INT32_MIN), INT32_MAX);
}

TEST_F(FinxessEntriesTest, CellKeysAndClearingNoteRecordFlags) {
    const int16_t a[4] = {1, 2, 3, 4};
    const int16_t b[4] = {1, 2, 3, 5};
    EXPECT_TRUE(CellKeyEquals(a, a));
    EXPECT_FALSE(CellKeyEquals(a, b));

    const Tag tag = MakeTag("E\x03Ts");
    const auto put = [&](int16_t inci, int16_t id, uint16_t flags) {
        host::Bytes record(30, 0);
        hostapi::WriteI16(record.data(), 0, id);
        hostapi::WriteU16(record.data(), 8, flags);
        Doc().Records().Save(host::RecordKey::EntryDetail(tag, 70000, inci), record);
    };
    const auto flags = [&](int16_t inci) {
        return hostapi::ReadU16(Doc().Records().Find(host::RecordKey::EntryDetail(tag, 70000, inci))->data(), 8);
    };
    put(0, 1, 0x0801);
    put(1, 2, 0x0A01);
    EXPECT_TRUE(EntryRecordClearFlags(tag, 70000, 2));
    EXPECT_EQ(flags(1), 0x0200);
    EXPECT_EQ(flags(0), 0x0801);
    EXPECT_FALSE(EntryRecordClearFlags(tag, 70000, 2)) << "nothing left to clear";
    EXPECT_FALSE(EntryRecordClearFlags(tag, 70000, 3));
    EXPECT_TRUE(EntryRecordClearFlags(tag, 70000, -1));
    EXPECT_EQ(flags(0), 0x0000);
}

}  // namespace
