// Smart shapes, layout sums, range records and page items through the simulated host.
#include <gtest/gtest.h>

#include <utility>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/page_items.h"
#include "core/host/smart_shapes.h"
#include "platform/hostapi/layout_records.h"
#include "tests/core/score_host_fixture.h"

namespace {

using namespace orvex;
using host::Bytes;
using host::RecordKey;
using L = hostapi::SmartShapeLayout;

// Staves 1 and 2 have entries at 0, 1024 and 2048 in measure 1. Shapes: 1 a hairpin over
// measures 1-3 on staff 1, 2 a slur over entries 1-3 of measure 1, 3 a slur from measure 1 into
// measure 2, 4 a hairpin in measure 2 of staff 2.
const char* const kShapes = R"(staff "A"
staff "B"
measures 4
notes 1 1 c4/4 e4/4 g4/2
notes 1 2 c4/1
notes 2 1 c4/4 d4/4 f4/2
notes 2 2 c4/1
shape 2 1 1@512 3@0 offset -24
shape 0 1 1:1 1:3
shape 1 1 1:2 2:1
shape 3 2 2@0 2@2048 offset 30
)";

RecordKey Shape(int16_t n) {
    return RecordKey::Other(hostapi::kTagSmartShape, n, 0);
}

std::vector<int32_t> Numbers(const TSmartShapes& shapes) {
    std::vector<int32_t> numbers;
    for (int32_t i = 0; i < shapes.Count(); ++i) {
        numbers.push_back(shapes.At(i)->Number);
    }
    return numbers;
}

class SmartShapesTest : public testsupport::ScoreHostTest {
protected:
    /// The shape numbers linked from a measure, in link order.
    std::vector<int16_t> MeasureLinks(int16_t measure) {
        std::vector<int16_t> links;
        for (int16_t inci = 0;; ++inci) {
            const Bytes* link = Stored(RecordKey::Other(hostapi::kTagShapeMeasureLink, measure, inci));
            if (link == nullptr) {
                return links;
            }
            links.push_back(hostapi::ReadI16(link->data(), 0));
        }
    }
    hostapi::EntryNumber EntryOf(int16_t staff, int16_t measure, size_t index) {
        return hostapi::ConstEntryView(Document().EntriesOf(host::CellKey{staff, measure, 0}).at(index).data())
            .number();
    }
};

TEST_F(SmartShapesTest, LoadsTheShapesOfARangeOnceEach) {
    Open(kShapes);
    TSmartShapes shapes;
    shapes.LoadMeasureLinks(2, 2);
    EXPECT_EQ(Numbers(shapes), (std::vector<int32_t>{1, 3, 4}));
    shapes.LoadMeasureLinks(3, 0);
    EXPECT_EQ(Numbers(shapes), (std::vector<int32_t>{1}));
    EXPECT_EQ(shapes.LastMeasure(), TSmartShapes::kAllMeasures);
    shapes.LoadMeasureLinks(1, 0);
    ASSERT_EQ(shapes.Count(), 4);
    const TSmartShape& hairpin = *shapes.At(0);
    EXPECT_EQ(hairpin.Staff, 1);
    EXPECT_EQ(hairpin.Start, 512);
    EXPECT_EQ(hairpin.SortKey, 1125) << "measure 1 x 1000 + 512 x 1000 / 4096";
    EXPECT_FALSE(hairpin.Above);
    EXPECT_TRUE(shapes.At(3)->Above);
    EXPECT_EQ(shapes.At(5), nullptr);
}

TEST_F(SmartShapesTest, ASortKeyOfALargeEntryNumberDoesNotOverflow) {
    Open("staff \"A\"\nmeasures 1\n");
    SmartShapeRecord record;
    hostapi::WriteI16(record.data(), L::kStartMeasure, 3);
    record.setStart(5000000);
    const TSmartShape shape(1, record);
    EXPECT_EQ(shape.SortKey, 3000 + 5000000LL * 1000 / 4096);
}

TEST_F(SmartShapesTest, CopyToStaffCopiesEachShapeOnceWithItsLinks) {
    Open(kShapes);
    const hostapi::EntryNumber source = EntryOf(1, 1, 0);
    EntryArray* from = LoadEntryArray(0, 1, 1, 0, 1);
    EntryArray* to = LoadEntryArray(0, 2, 1, 0, 1);
    ASSERT_NE(from, nullptr);
    ASSERT_NE(to, nullptr);
    TSmartShapes shapes;
    EXPECT_EQ(shapes.CopyToStaff(1, 2, 1, 3, true, true, from, to), 2);
    ReleaseEntryArray(from);
    ReleaseEntryArray(to);

    // The hairpin (shape 5) and the slur within measure 1 (shape 6); the slur into measure 2 is not
    // copied, and the hairpin is copied once although three measures link it.
    EXPECT_EQ(Stored(Shape(7)), nullptr);
    EXPECT_EQ(StoredWord(Shape(5), L::kStartStaff), 2);
    EXPECT_EQ(StoredWord(Shape(5), L::kEndStaff), 2);
    EXPECT_EQ(StoredLong(Shape(5), L::kStart), 512);
    EXPECT_EQ(MeasureLinks(1), (std::vector<int16_t>{1, 2, 3, 5, 6}));
    EXPECT_EQ(MeasureLinks(3), (std::vector<int16_t>{1, 5}));
    // The slur maps entry 1 to staff 2's entry 1 and entry 3 to its entry 3.
    EXPECT_EQ(StoredLong(Shape(6), L::kStart), EntryOf(2, 1, 0));
    EXPECT_EQ(StoredLong(Shape(6), L::kEnd), EntryOf(2, 1, 2));
    EXPECT_EQ(StoredWord(RecordKey::EntryDetail(hostapi::kTagShapeEntryLink, EntryOf(2, 1, 0), 0), 0), 6);
    EXPECT_EQ(StoredWord(RecordKey::EntryDetail(hostapi::kTagShapeEntryLink, EntryOf(2, 1, 2), 0), 0), 6);
    EXPECT_EQ(StoredWord(RecordKey::EntryDetail(hostapi::kTagShapeEntryLink, source, 0), 0), 2) << "untouched";
    // The two entries linked say so in their second flag word, as the document holds them; the
    // entry between them does not.
    const auto shapesFlag = [&](size_t index) {
        return hostapi::ConstEntryView(Document().EntriesOf(host::CellKey{2, 1, 0}).at(index).data()).moreFlags() &
               hostapi::kEntryMoreSmartShapes;
    };
    EXPECT_EQ(shapesFlag(0), hostapi::kEntryMoreSmartShapes);
    EXPECT_EQ(shapesFlag(1), 0);
    EXPECT_EQ(shapesFlag(2), hostapi::kEntryMoreSmartShapes);

    // Onto the same staff: the copies' own links are not walked again.
    EXPECT_EQ(shapes.CopyToStaff(2, 2, 2, 2, false, true, nullptr, nullptr), 2);
    EXPECT_EQ(Stored(Shape(9)), nullptr);
}

TEST_F(SmartShapesTest, EntryAttachedShapesNeedMappedEntries) {
    Open(kShapes);
    EntryArray* from = LoadEntryArray(0, 1, 1, 0, 1);
    EntryArray* empty = LoadEntryArray(0, 2, 3, 0, 1);
    TSmartShapes shapes;
    EXPECT_EQ(shapes.CopyToStaff(1, 2, 1, 1, true, false, from, empty), 0);
    EXPECT_EQ(shapes.CopyToStaff(1, 2, 1, 1, true, false, nullptr, nullptr), 0);
    ReleaseEntryArray(from);
    ReleaseEntryArray(empty);
    EXPECT_EQ(Stored(Shape(5)), nullptr);
}

TEST_F(SmartShapesTest, CreateNewCopiesMeasureShapesAndStopsAtADuplicate) {
    Open(kShapes);
    TSmartShapes shapes;
    shapes.LoadMeasureLinks(1, 0);
    EXPECT_EQ(shapes.CreateNew(1, 2, 3, 3, true), 1) << "the hairpin ends in measure 3";
    EXPECT_EQ(StoredWord(Shape(5), L::kStartStaff), 2);
    EXPECT_EQ(MeasureLinks(2), (std::vector<int16_t>{1, 3, 4, 5}));
    shapes.LoadMeasureLinks(1, 0);
    EXPECT_EQ(shapes.CreateNew(1, 2, 1, 4, true), 0) << "shape 5 already starts there";
    EXPECT_EQ(Stored(Shape(6)), nullptr);
    EXPECT_EQ(shapes.CreateNew(1, 2, 4, 4, false), 0) << "no shape of staff 1 touches measure 4";
    EXPECT_EQ(shapes.CreateNew(1, 2, 1, 1, false), 1) << "the hairpin starts there; shapes 2 and 3 are on entries";
    EXPECT_EQ(std::pair(StoredWord(Shape(6), L::kStartStaff), StoredWord(Shape(6), L::kStartMeasure)),
              std::pair(int16_t{2}, int16_t{1}));
}

TEST_F(SmartShapesTest, ParkRetypeAndDelete) {
    Open(kShapes);
    const hostapi::EntryNumber second = EntryOf(1, 1, 1);
    TSmartShapes shapes;
    shapes.LoadMeasureLinks(1, 0);
    shapes.ParkStaff(2, 2);
    EXPECT_EQ(StoredWord(Shape(4), L::kStartStaff), TSmartShapes::kParkingStaff);
    EXPECT_EQ(StoredWord(Shape(4), L::kEndStaff), TSmartShapes::kParkingStaff);
    EXPECT_EQ(StoredWord(Shape(1), L::kStartStaff), 1);

    shapes.RetypeEntrySlurs(1, 1, second);
    EXPECT_EQ(StoredWord(Shape(3), L::kKind), 15);
    EXPECT_EQ(StoredWord(Shape(2), L::kKind), 0);

    const hostapi::EntryNumber first = EntryOf(1, 1, 0);
    const hostapi::EntryNumber third = EntryOf(1, 1, 2);
    ASSERT_NE(Stored(RecordKey::EntryDetail(hostapi::kTagShapeEntryLink, third, 0)), nullptr);
    shapes.DeleteAll(third);  // the slur of shape 2 ends there
    EXPECT_EQ(Stored(Shape(2)), nullptr);
    EXPECT_EQ(Numbers(shapes), (std::vector<int32_t>{1, 3, 4}));
    // Its links go with it; the links of the other shapes stay, moved down in their measure.
    EXPECT_EQ(MeasureLinks(1), (std::vector<int16_t>{1, 3})) << "no link names a shape that is gone";
    EXPECT_EQ(MeasureLinks(2), (std::vector<int16_t>{1, 3, 4}));
    EXPECT_EQ(Stored(RecordKey::EntryDetail(hostapi::kTagShapeEntryLink, first, 0)), nullptr);
    EXPECT_EQ(Stored(RecordKey::EntryDetail(hostapi::kTagShapeEntryLink, third, 0)), nullptr);
    ASSERT_NE(Stored(RecordKey::EntryDetail(hostapi::kTagShapeEntryLink, second, 0)), nullptr);
    EXPECT_EQ(hostapi::ReadI16(Stored(RecordKey::EntryDetail(hostapi::kTagShapeEntryLink, second, 0))->data(), 0), 3)
        << "the link of shape 3 stays";
    shapes.ParkStaff(1, 1);
    EXPECT_EQ(Stored(Shape(2)), nullptr) << "a deleted shape is not saved back";
}

TEST_F(SmartShapesTest, Searches) {
    Open(kShapes);
    TSmartShapes shapes;
    shapes.LoadMeasureLinks(1, 0);
    EXPECT_TRUE(shapes.FindInRange(2, 1, 0, 2));
    EXPECT_TRUE(shapes.FindInRange(1, 1, 512, 2));
    EXPECT_FALSE(shapes.FindInRange(1, 1, 511, 2)) << "before the start";
    EXPECT_FALSE(shapes.FindInRange(3, 1, 1, 2)) << "after the end";
    EXPECT_FALSE(shapes.FindInRange(2, 1, 0, 3)) << "another kind";
    EXPECT_FALSE(shapes.FindInRange(1, 1, 1024, 0)) << "entry-attached shapes do not count";
    EXPECT_TRUE(shapes.FindByStaff(3, 1));
    EXPECT_FALSE(shapes.FindByStaff(4, 1));
    EXPECT_FALSE(shapes.FindByStaff(1, 2));

    SmartShapeRecord gliss = shapes.At(1)->Record;
    gliss.setKind(26);
    hostapi::WriteI16(gliss.data(), L::kEndNote, 2);
    ASSERT_TRUE(SaveSmartShapeRecord(2, gliss));
    shapes.Refresh(1, 0);
    EXPECT_TRUE(shapes.FindKind25or26(EntryOf(1, 1, 0)));
    EXPECT_FALSE(shapes.FindKind25or26(EntryOf(1, 1, 1)));
    EXPECT_EQ(shapes.FindByEnds(EntryOf(1, 1, 2), 2), 2);
    EXPECT_EQ(shapes.FindByEnds(EntryOf(1, 1, 2), 1), 0);
}

TEST_F(SmartShapesTest, RefreshChecksTheListAndReloadsWhenAShapeMoved) {
    Open(kShapes);
    TSmartShapes shapes;
    shapes.Refresh(1, 3);
    ASSERT_EQ(shapes.Count(), 4);
    // A new shape stored after the load is appended; a changed offset is read again.
    SmartShapeRecord record = shapes.At(0)->Record;
    hostapi::WriteI16(record.data(), L::kStartOffset, 99);
    ASSERT_TRUE(SaveSmartShapeRecord(1, record));
    int32_t fresh = -1;
    ASSERT_TRUE(CreateSmartShapeRecord(fresh, record));
    EXPECT_EQ(fresh, 5);
    shapes.Refresh(2, 3);
    EXPECT_EQ(Numbers(shapes), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(shapes.At(0)->Record.startOffset(), 99);
    EXPECT_EQ(shapes.FirstMeasure(), 1) << "checked, not reloaded";

    // A shape that moved to another measure makes the whole range load again (shape 5 has no links).
    hostapi::WriteI16(record.data(), L::kStartMeasure, 2);
    ASSERT_TRUE(SaveSmartShapeRecord(1, record));
    shapes.Refresh(1, 3);
    EXPECT_EQ(Numbers(shapes), (std::vector<int32_t>{1, 2, 3, 4}));

    // A range outside the loaded one loads afresh.
    shapes.Refresh(3, 4);
    EXPECT_EQ(Numbers(shapes), (std::vector<int32_t>{1}));
    EXPECT_EQ(shapes.FirstMeasure(), 3);
}

// Two documents of the same name hold the same shapes 1-4 and each a shape 5 of its own: the first
// in measure 1, the second in measure 4. A list of measures 3-4 loaded from the first is loaded
// afresh for the second: the host's identity of a document tells them apart, not their name.
TEST_F(SmartShapesTest, RefreshKnowsADocumentByItsIdentityNotItsName) {
    Open(std::string(kShapes) + "shape 3 2 1@0 1@2048\n");
    TSmartShapes shapes;
    shapes.Refresh(3, 4);
    EXPECT_EQ(Numbers(shapes), (std::vector<int32_t>{1}));
    Open(std::string(kShapes) + "shape 3 1 4@0 4@2048\n");
    ASSERT_EQ(Document().Name(), "test");
    shapes.Refresh(3, 4);
    EXPECT_EQ(Numbers(shapes), (std::vector<int32_t>{1, 5}));
}

TEST_F(SmartShapesTest, AdjustInRegionChangesHairpinsOfTheRegionOnly) {
    Open(kShapes);
    SmartShapeRecord record;
    ASSERT_TRUE(LoadSmartShapeRecord(1, record));
    hostapi::WriteU16(record.data(), L::kWord2, 0x0003);
    ASSERT_TRUE(SaveSmartShapeRecord(1, record));
    TSmartShapes shapes;
    shapes.LoadMeasureLinks(1, 0);
    hostapi::SelectionRecord region;
    region.setFirstStaff(1);
    region.setLastStaff(1);
    region.setFirstMeasure(3);
    region.setLastMeasure(4);
    shapes.AdjustInRegion(region, true, 7);
    EXPECT_EQ(StoredWord(Shape(1), L::kWord2), 0x0002);
    EXPECT_EQ(StoredWord(Shape(1), L::kWord22), 7);
    EXPECT_EQ(StoredWord(Shape(1), L::kWord52), 7);
    EXPECT_EQ(StoredWord(Shape(1), L::kWord68), 7);
    EXPECT_EQ(StoredWord(Shape(4), L::kWord22), 0) << "staff 2 lies outside the region";
}

TEST_F(SmartShapesTest, CollectRangeTakesTheWantedShapesIntoTheSums) {
    Open(kShapes);
    TSmartShapes shapes;
    shapes.LoadMeasureLinks(1, 0);
    hostapi::SelectionRecord range;
    range.setFirstMeasure(1);
    range.setLastMeasure(2);
    range.setStartEdu(0);
    shapes.CollectRange(1, 1, 2, range, true, false, true, false, -100);
    EXPECT_TRUE(shapes.At(0)->Taken);
    EXPECT_FALSE(shapes.At(1)->Taken) << "a slur is not a wanted kind";
    LayoutSum expected;
    LayoutSumCompute(expected, false, -24, -100);  // -124 lies below the base
    EXPECT_EQ(shapes.Sums, expected);
    EXPECT_FALSE(shapes.At(0)->Above);

    range.setStartEdu(600);  // the hairpin starts before the range and ends after it
    shapes.CollectRange(1, 1, 2, range, true, false, true, false, -100);
    EXPECT_FALSE(shapes.At(0)->Taken);
    EXPECT_EQ(shapes.Sums, LayoutSum{});
}

TEST_F(SmartShapesTest, AStaffIndexAnswersAsTheWalksOverTheList) {
    Open(kShapes);
    TSmartShapes shapes;
    shapes.LoadMeasureLinks(1, 0);
    const TStaffShapeIndex first(shapes, 1);
    const TStaffShapeIndex second(shapes, 2);
    for (int32_t measure = 0; measure <= 5; ++measure) {
        EXPECT_EQ(first.Spans(measure), shapes.FindByStaff(measure, 1)) << "measure " << measure;
        EXPECT_EQ(second.Spans(measure), shapes.FindByStaff(measure, 2)) << "measure " << measure;
    }
    EXPECT_TRUE(first.Spans(3)) << "the hairpin reaches measure 3 though the later slurs end before";
    EXPECT_EQ(first.Overlapping(1, 1), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(first.Overlapping(2, 2), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(first.Overlapping(3, 4), (std::vector<int32_t>{0}));
    EXPECT_TRUE(first.Overlapping(4, 4).empty());
    EXPECT_EQ(second.Overlapping(1, 4), (std::vector<int32_t>{3}));

    hostapi::SelectionRecord range;
    range.setFirstMeasure(1);
    range.setLastMeasure(2);
    range.setStartEdu(0);
    shapes.CollectRange(1, 1, 2, range, true, false, true, false, -100, &first);
    EXPECT_EQ(shapes.TakenPlaces(), (std::vector<int32_t>{0}));
    EXPECT_TRUE(shapes.At(0)->Taken);
    const LayoutSum indexed = shapes.Sums;
    shapes.CollectRange(1, 1, 2, range, true, false, true, false, -100);
    EXPECT_EQ(shapes.Sums, indexed);
    EXPECT_EQ(shapes.TakenPlaces(), (std::vector<int32_t>{0}));

    shapes.CollectRange(2, 2, 2, range, true, false, true, false, 0, &second);
    EXPECT_FALSE(shapes.At(0)->Taken) << "the marks of the last collection go";
    EXPECT_EQ(shapes.TakenPlaces(), (std::vector<int32_t>{3}));
    EXPECT_TRUE(shapes.At(3)->Taken);
}

struct SumCase {
    const char* name;
    bool above;
    int32_t kind;
    int32_t expected;
};

TEST(LayoutSumTest, OffsetsOfEachKind) {
    LayoutSum sums;
    LayoutSumCompute(sums, false, -30, -10);  // -40
    LayoutSumCompute(sums, false, -60, -20);  // -80
    LayoutSumCompute(sums, true, 50, 0);
    EXPECT_EQ(sums.countBelow, 2);
    EXPECT_EQ(sums.sumBelow, -120);
    EXPECT_EQ(sums.lowestBelow, -80);
    EXPECT_EQ(sums.highestBelow, -40);
    EXPECT_EQ(sums.lowestReferenceBelow, -20);
    EXPECT_EQ(sums.highestReferenceAbove, 0);
    EXPECT_EQ(sums.lowestAbove, 50);
    const SumCase cases[] = {
        {"below, nearest the staff", false, 0, 5 - 40},
        {"below, farthest", false, 1, 5 - 80},
        {"below, average", false, 2, 5 - 60},
        {"fixed", false, 3, 5 + 7},
        {"above, nearest", true, 0, 5 + 50},
        {"above, average", true, 9, 5 + 50},
    };
    for (const SumCase& c : cases) {
        EXPECT_EQ(LayoutOffsetOfKind(sums, c.above, c.kind, 5, 1234, 7), c.expected) << c.name;
    }
    const LayoutSum empty;
    EXPECT_EQ(LayoutOffsetOfKind(empty, true, 0, 5, 1234, 7), 1234);
    EXPECT_EQ(LayoutOffsetOfKind(empty, true, 3, 5, 1234, 7), 12) << "kind 3 needs no shapes";
    EXPECT_EQ(empty.lowestBelow, 0x7FFFFFFF);
    EXPECT_EQ(empty.highestAbove, static_cast<int32_t>(0x80000000));
}

TEST(LayoutSumTest, AccumulateWantedHalvesAndFillEmptyOnes) {
    LayoutSum other;
    LayoutSumCompute(other, false, -30, 0);
    LayoutSumCompute(other, true, 40, 0);
    LayoutSum sums;
    LayoutSumCompute(sums, true, 10, 0);
    LayoutSum onlyBelow = sums;
    LayoutSumAccumulate(onlyBelow, other, true, false, false);
    EXPECT_EQ(onlyBelow.countBelow, 1);
    EXPECT_EQ(onlyBelow.countAbove, 1) << "above not wanted";
    LayoutSum filled = sums;
    LayoutSumAccumulate(filled, other, false, false, true);
    EXPECT_EQ(filled.countBelow, 1) << "the empty half is filled";
    EXPECT_EQ(filled.countAbove, 1) << "a half with shapes is not";
    LayoutSumAccumulate(filled, other, false, true, false);
    EXPECT_EQ(filled.countAbove, 2);
    EXPECT_EQ(filled.sumAbove, 50);
    EXPECT_EQ(filled.highestAbove, 40);
    EXPECT_EQ(filled.lowestAbove, 10);
}

struct RangeCase {
    int32_t measure;
    hostapi::Edu position;
    bool inside;
};

TEST_F(SmartShapesTest, MeasureInRangeLooksAtPositionsInTheEndMeasures) {
    Open("staff \"A\"\nmeasures 2 time 3/4\nmeasures 3\n");
    hostapi::SelectionRecord region;
    region.setFirstMeasure(2);
    region.setLastMeasure(4);
    region.setStartEdu(1024);
    region.setEndEdu(2048);
    const RangeCase cases[] = {{1, 4000, false}, {2, 1023, false}, {2, 1024, true}, {3, 99999, true},
                               {4, 2048, true},  {4, 2049, false}, {5, 0, false}};
    for (const RangeCase& c : cases) {
        EXPECT_EQ(MeasureInRange(c.measure, c.position, region, 0), c.inside)
            << "measure " << c.measure << " at " << c.position;
    }
    region.setEndEdu(0);
    EXPECT_TRUE(MeasureInRange(4, 4095, region, 0)) << "end 0 is the end of the measure";
    EXPECT_EQ(MeasureInRange(2, 2, 4), RangePlace::AtEnd);
    EXPECT_EQ(MeasureInRange(3, 2, 4), RangePlace::Inside);
    EXPECT_EQ(MeasureInRange(5, 2, 4), RangePlace::Outside);
    EXPECT_EQ(MeasureLengthOrDefault(1, 2), 3072);
    EXPECT_EQ(MeasureLengthOrDefault(1, 9), 4096);
}

TEST_F(SmartShapesTest, ClipShapeRangeRecordsReplacesTheTargetsOverlappingRanges) {
    const auto range = [](int16_t first, int16_t last) {
        Bytes bytes(hostapi::ShapeRangeLayout::kSize, 0);
        hostapi::WriteI16(bytes.data(), hostapi::ShapeRangeLayout::kFirstMeasure, first);
        hostapi::WriteI16(bytes.data(), hostapi::ShapeRangeLayout::kLastMeasure, last);
        return bytes;
    };
    const auto put = [&](int16_t key, int16_t inci, Bytes bytes) {
        Document().Records().Save(RecordKey::Other(hostapi::kTagShapeRange, key, inci), std::move(bytes));
    };
    for (const int32_t year : {1998, 2000}) {
        SCOPED_TRACE("host year " + std::to_string(year));
        Open("staff \"A\"\nmeasures 9\n", year);
        put(1, 0, range(1, 3));
        put(1, 1, range(5, 9));
        put(2, 0, range(2, 4));
        put(2, 1, range(7, 8));
        put(2, 2, range(4, 6));
        if (year < 2000) {
            EXPECT_FALSE(ClipShapeRangeRecords(1, 2, 3, 6));
            EXPECT_EQ(*Stored(RecordKey::Other(hostapi::kTagShapeRange, 2, 0)), range(2, 4));
            continue;
        }
        ASSERT_TRUE(ClipShapeRangeRecords(1, 2, 3, 6));
        EXPECT_EQ(*Stored(RecordKey::Other(hostapi::kTagShapeRange, 2, 0)), range(7, 8)) << "kept";
        EXPECT_EQ(*Stored(RecordKey::Other(hostapi::kTagShapeRange, 2, 1)), range(3, 3));
        EXPECT_EQ(*Stored(RecordKey::Other(hostapi::kTagShapeRange, 2, 2)), range(5, 6));
        EXPECT_EQ(Stored(RecordKey::Other(hostapi::kTagShapeRange, 2, 3)), nullptr);
        EXPECT_FALSE(ClipShapeRangeRecords(2, 2, 1, 9)) << "onto itself it would lose the ranges";
        EXPECT_NE(Stored(RecordKey::Other(hostapi::kTagShapeRange, 2, 2)), nullptr);
    }
}

// ---- Page items ----

TEST_F(SmartShapesTest, APageGraphicPathOf25CharactersTakesThreePieces) {
    Open("staff \"A\"\nmeasures 1\n");
    TPageGraphics graphic;
    graphic.path = "C:\\GRAPHICS\\LOGO-2001.EPS";
    ASSERT_EQ(graphic.path.size(), 25u);
    hostapi::WriteI16(graphic.record.data(), 0, 0x0101);
    ASSERT_TRUE(CreatePageGraphic(graphic, 3));
    const std::vector<std::string> pieces = {"C:\\GRAPHICS\\", "LOGO-2001.EP", "S"};
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Bytes* piece = Stored(RecordKey::Other(hostapi::kTagFilePath, 1, static_cast<int16_t>(i)));
        ASSERT_NE(piece, nullptr) << "piece " << i;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(piece->data())), pieces[i]);
    }
    EXPECT_EQ(Stored(RecordKey::Other(hostapi::kTagFilePath, 1, 3)), nullptr);
    EXPECT_EQ(StoredWord(RecordKey::Other(hostapi::kTagFileRecord, 1, 0), hostapi::FileRecordLayout::kPath), 1);
    EXPECT_EQ(StoredWord(RecordKey::Other(hostapi::kTagPageGraphic, 3, 0), hostapi::PageGraphicLayout::kFile), 1);

    TPageGraphics back;
    ASSERT_TRUE(LoadPageGraphic(3, back, 0));
    EXPECT_EQ(back.path, graphic.path);
    EXPECT_EQ(back.page, 3);
    EXPECT_EQ(hostapi::ReadI16(back.record.data(), 0), 0x0101);
    EXPECT_FALSE(LoadPageGraphic(3, back, 1));

    TPageGraphics exact;
    exact.path = "ABCDEFGHIJKL";
    ASSERT_TRUE(CreatePageGraphic(exact, 3));
    ASSERT_TRUE(LoadPageGraphic(3, back, 1));
    EXPECT_EQ(back.path, "ABCDEFGHIJKL");
    EXPECT_EQ(Stored(RecordKey::Other(hostapi::kTagFilePath, 2, 1)), nullptr) << "twelve characters are one piece";
}

TEST_F(SmartShapesTest, PageTextsGetANewTextBlockEach) {
    Open("staff \"A\"\nmeasures 1\npagetext 1 \"^font(Times)Title\"\n");
    TPageText title;
    ASSERT_TRUE(LoadPageText(1, title, 0));
    EXPECT_EQ(title.text, "^font(Times)Title") << "kept as stored";
    EXPECT_EQ(title.page, 1);
    const int16_t block = hostapi::ReadI16(title.record.data(), hostapi::PageTextLayout::kTextBlock);

    ASSERT_TRUE(CreatePageText(title, 2));
    TPageText copy;
    ASSERT_TRUE(LoadPageText(2, copy, 0));
    EXPECT_EQ(copy.text, title.text);
    EXPECT_NE(hostapi::ReadI16(copy.record.data(), hostapi::PageTextLayout::kTextBlock), block);
    EXPECT_FALSE(LoadPageText(2, copy, 1));

    m_host->SetWritesRefused(hostapi::MakeTag("SOTX"), true);
    EXPECT_FALSE(CreatePageText(title, 3));
    EXPECT_EQ(Stored(RecordKey::Other(hostapi::kTagPageText, 3, 0)), nullptr) << "no page text without its text";
}

}  // namespace
