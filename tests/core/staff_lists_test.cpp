// Staff lists and staff groups through the simulated host: loading with names, relative lists of
// systems from 2001, editing and writing back, groups starting at a staff, removal and adoption.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/host/access_state.h"
#include "core/host/finxess.h"
#include "core/host/host_info.h"
#include "core/host/staff_lists.h"
#include "core/host/staff_systems.h"
#include "platform/host/record_layouts.h"
#include "platform/hostapi/layout_records.h"
#include "tests/core/score_host_fixture.h"
#include "tests/support/case_names.h"

namespace {

using namespace orvex;
using host::RecordKey;

const char* const kFourStaves = R"(staff "Flute" "Fl."
staff "Oboe"
staff "" ""
staff "Horn"
measures 2
)";

RecordKey Usage(int16_t list, int16_t inci) {
    return RecordKey::Other(host::kTagStaffListEntry, list, inci);
}
RecordKey Group(int16_t list, int16_t group) {
    return RecordKey::Detail(hostapi::kTagStaffGroup, list, group, 0);
}

std::vector<int32_t> Positions(const TInstruments& list) {
    std::vector<int32_t> positions;
    for (int32_t i = 0; i < list.Count(); ++i) {
        positions.push_back(list.At(i).position());
    }
    return positions;
}

std::vector<int16_t> Staves(const TInstruments& list) {
    std::vector<int16_t> staves;
    for (int32_t i = 1; i <= list.Count(); ++i) {
        staves.push_back(list.ByNumber(i));
    }
    return staves;
}

TInstrRec Record(int16_t staff, int32_t position) {
    TInstrRec record;
    record.entry.setStaff(staff);
    record.setPosition(position);
    return record;
}

class StaffListsTest : public testsupport::ScoreHostTest {};

TEST_F(StaffListsTest, LoadsTheScoreListWithNamesInTheMenuLanguage) {
    Open(kFourStaves);
    TInstruments list(0, nullptr, false);
    EXPECT_EQ(Staves(list), (std::vector<int16_t>{1, 2, 3, 4}));
    EXPECT_EQ(Positions(list), (std::vector<int32_t>{0, -200, -400, -600}));
    EXPECT_EQ(list.At(0).name, "Flute");
    EXPECT_EQ(list.At(2).name, "[Staff 3]");
    EXPECT_EQ(list.CountAtLoad(), 4);
    EXPECT_EQ(list.ByNumber(0), 0);
    EXPECT_EQ(list.ByNumber(5), 0);
    EXPECT_EQ(list.IndexOf(4), 4);
    EXPECT_FALSE(list.Contains(9));
    TheAccessLayer.host.language = 1;
    list.Load(0, true);  // the service's names are not bound: the document's are read
    EXPECT_EQ(list.At(2).name, "[System 3]");
}

TEST_F(StaffListsTest, From2001ASystemListIsRelativeToItsSystem) {
    Open(std::string(kFourStaves) + "system 1 2\nstafflist 1 2 4\n", 2001);
    // The system's list starts at its top staff offset.
    TStaffSystems systems;
    systems.At(0).setTopStaffOffset(-50);
    ASSERT_TRUE(SaveSystem(systems, 1));
    TInstruments list(1, &systems, false);
    EXPECT_EQ(Positions(list), (std::vector<int32_t>{-50, -250}));

    list.At(0).setPosition(-80);
    list.At(1).setPosition(-380);
    ASSERT_TRUE(list.Save(1));
    SCOPED_TRACE("'SOIu' (1, 0..1)");
    EXPECT_EQ(StoredLong(Usage(1, 0), 8), 0);
    EXPECT_EQ(StoredWord(Usage(1, 0), 4), 1) << "entry 0 carries the list key";
    EXPECT_EQ(StoredLong(Usage(1, 1), 8), -300) << "stored relative to entry 0";
    EXPECT_EQ(StoredWord(RecordKey::Other(hostapi::kTagStaffSystem2001, 1, 0), 0), -80);
    EXPECT_EQ(StoredWord(RecordKey::Other(hostapi::kTagStaffSystem, 1, 0), 0), -80);
    TInstruments again(1, &systems, false);
    EXPECT_EQ(Positions(again), (std::vector<int32_t>{-80, -380}));
}

TEST_F(StaffListsTest, BeforeTheYear2001ASystemListIsAbsolute) {
    Open(std::string(kFourStaves) + "system 1 2\nstafflist 1 2 4\n", 2000);
    TStaffSystems systems;
    TInstruments list(1, &systems, false);
    list.At(0).setPosition(-80);
    ASSERT_TRUE(list.Save(1));
    EXPECT_EQ(StoredLong(Usage(1, 0), 8), -80);
    EXPECT_EQ(StoredLong(Usage(1, 1), 8), -200);
}

TEST_F(StaffListsTest, SavingAListThatLostTwoStavesDeletesTheTwoLastEntries) {
    Open(kFourStaves);
    TInstruments list(0, nullptr, false);
    list.RemoveStaff(2);
    list.RemoveStaff(3);
    EXPECT_EQ(Positions(list), (std::vector<int32_t>{0, -200}));
    ASSERT_TRUE(list.Save(0));
    EXPECT_EQ(StoredWord(Usage(0, 1), 0), 4);
    EXPECT_EQ(Stored(Usage(0, 2)), nullptr);
    EXPECT_EQ(Stored(Usage(0, 3)), nullptr);
    EXPECT_EQ(list.CountAtLoad(), 2);
}

TEST_F(StaffListsTest, ACopiedListRaisedTo1000DeletesEverySurplusEntry) {
    Open(kFourStaves);
    TInstruments list(0, nullptr, false);
    list.Clear();
    list.InsertStaff(Record(4, -600), 0, TInstruments(0, nullptr, false));
    list.SetCountAtLoad(1000);
    ASSERT_TRUE(list.Save(0));
    EXPECT_EQ(StoredWord(Usage(0, 0), 0), 4);
    EXPECT_EQ(Stored(Usage(0, 1)), nullptr);
}

struct InsertCase {
    const char* name;
    std::vector<TInstrRec> list;
    int16_t after;
    int16_t staff;  ///< from the reference list 0, -200, ..., -600 (staves 1-4)
    std::vector<int16_t> staves;
    std::vector<int32_t> positions;
};

class InsertStaffTest : public testsupport::ScoreHostTest, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(InsertStaffTest, PlacesTheStaffByBothListsGaps) {
    const InsertCase& c = GetParam();
    SCOPED_TRACE(c.name);
    Open(kFourStaves);
    const TInstruments reference(0, nullptr, false);
    TInstruments list;
    for (const TInstrRec& record : c.list) {
        list.InsertStaff(record, list.Count() == 0 ? 0 : list.ByNumber(list.Count()), reference);
        list.At(list.Count() - 1).setPosition(record.position());
    }
    list.InsertStaff(reference.At(c.staff - 1), c.after, reference);
    EXPECT_EQ(Staves(list), c.staves);
    EXPECT_EQ(Positions(list), c.positions);
}

const InsertCase kInsertCases[] = {
    {"into an empty list the reference position stays", {}, 1, 3, {3}, {-400}},
    {"without the anchor the staff goes first", {Record(1, 0), Record(4, -300)}, 2, 2, {2, 1, 4}, {0, -200, -500}},
    {"after a staff, halfway by both lists", {Record(1, 0), Record(4, -300)}, 1, 2, {1, 2, 4}, {0, -250, -500}},
    {"after the last staff the gap above it stands for the one below",
     {Record(1, 0), Record(2, -300)},
     2,
     4,
     {1, 2, 4},
     {0, -300, -550}},
    {"gaps above -100 count as -200", {Record(1, 0), Record(4, -50)}, 1, 2, {1, 2, 4}, {0, -200, -400}},
};

INSTANTIATE_TEST_SUITE_P(Cases, InsertStaffTest, ::testing::ValuesIn(kInsertCases),
                         testsupport::NameBy(&InsertCase::name));

TEST_F(StaffListsTest, AddStaffCopyTakesThePlaceAndNamesAndEndsTheGroups) {
    Open(std::string(kFourStaves) + "group 1 1 \"Flutes\"\ngroup 2 4 \"Rest\"\n");
    TInstruments list(0, nullptr, false);
    ASSERT_TRUE(list.AddStaff(1, true));
    EXPECT_EQ(Staves(list), (std::vector<int16_t>{1, 5, 2, 3, 4}));
    EXPECT_EQ(Positions(list), (std::vector<int32_t>{0, -200, -400, -600, -800}));
    EXPECT_EQ(StoredLong(Usage(0, 1), 8), -200) << "written back";
    EXPECT_EQ(StoredWord(Usage(0, 4), 0), 4);
    EXPECT_EQ(list.At(1).name, "Flute");
    // The copy has text blocks of its own.
    const int16_t fullName = StoredWord(RecordKey::Other(host::kTagStaff, 5, 0), host::StaffLayout::kFullName);
    EXPECT_NE(fullName, StoredWord(RecordKey::Other(host::kTagStaff, 1, 0), host::StaffLayout::kFullName));
    EXPECT_EQ(std::string(LoadTextBlock(fullName, false)), "Flute");
    // A group ending at the staff before now ends at the new one; others stay.
    EXPECT_EQ(StoredWord(Group(0, 1), 0), 1);
    EXPECT_EQ(StoredWord(Group(0, 1), 2), 5);
    EXPECT_EQ(StoredWord(Group(0, 2), 2), 4);
    EXPECT_EQ(StoredWord(Group(0, 2), 0), 2);
}

// The new staff goes below the staff at the place and the staves below move down by a gap, as
// InsertStaff places a staff: it is never drawn on top of or below the next staff.
TEST_F(StaffListsTest, AddStaffWithoutCopyClearsTheNamesAndPushesTheStavesBelowDown) {
    Open(kFourStaves);
    TInstruments list(0, nullptr, false);
    ASSERT_TRUE(list.AddStaff(2, false));
    EXPECT_EQ(Staves(list), (std::vector<int16_t>{1, 2, 5, 3, 4}));
    EXPECT_EQ(Positions(list), (std::vector<int32_t>{0, -200, -400, -600, -800}));
    EXPECT_EQ(StoredLong(Usage(0, 2), 8), -400) << "written back";
    EXPECT_EQ(StoredLong(Usage(0, 3), 8), -600);
    EXPECT_EQ(StoredWord(RecordKey::Other(host::kTagStaff, 5, 0), host::StaffLayout::kFullName), 0);
    EXPECT_EQ(list.At(2).name, "[Staff 5]");
}

TEST_F(StaffListsTest, AddStaffWithoutCopyAtTheTopOrAtTheEnd) {
    Open(kFourStaves);
    TInstruments top(0, nullptr, false);
    ASSERT_TRUE(top.AddStaff(0, false));
    EXPECT_EQ(Staves(top), (std::vector<int16_t>{5, 1, 2, 3, 4}));
    EXPECT_EQ(Positions(top), (std::vector<int32_t>{0, -200, -400, -600, -800}));
    TInstruments end(0, nullptr, false);
    ASSERT_TRUE(end.AddStaff(5, false));
    EXPECT_EQ(Staves(end), (std::vector<int16_t>{5, 1, 2, 3, 4, 6}));
    EXPECT_EQ(Positions(end), (std::vector<int32_t>{0, -200, -400, -600, -800, -1000}));
}

TEST_F(StaffListsTest, AddStaffFirstInAOneStaffListGoesOnTopAndMovesTheOtherDown) {
    Open("staff \"Solo\"\nmeasures 1\n");
    TInstruments list(0, nullptr, false);
    ASSERT_TRUE(list.AddStaff(0, true));
    EXPECT_EQ(Staves(list), (std::vector<int16_t>{2, 1}));
    EXPECT_EQ(Positions(list), (std::vector<int32_t>{0, -200}));
}

TEST_F(StaffListsTest, AddStaffToASystemListTakesTheNewStaffOnce) {
    Open(std::string(kFourStaves) + "system 1 2\nstafflist 1 1 2\n");
    TStaffSystems systems;
    TInstruments list(1, &systems, false);
    ASSERT_TRUE(list.AddStaff(1, false));
    EXPECT_EQ(Staves(list), (std::vector<int16_t>{1, 5, 2}));
    EXPECT_EQ(StoredWord(Usage(1, 1), 0), 5);
    EXPECT_EQ(StoredWord(Usage(1, 2), 0), 2);
    EXPECT_EQ(Stored(Usage(1, 3)), nullptr);
}

TEST_F(StaffListsTest, AddStaffFailsOnlyWhenTheHostRefusesTheStaff) {
    Open(kFourStaves);
    m_host->SetWritesRefused(host::kTagStaff, true);
    TInstruments list(0, nullptr, false);
    EXPECT_FALSE(list.AddStaff(1, false));
    EXPECT_EQ(list.Count(), 4);
}

TEST_F(StaffListsTest, RefreshIfGoneReloadsOnlyForAMissingEntry) {
    Open(kFourStaves);
    TInstruments list(0, nullptr, false);
    EXPECT_FALSE(list.RefreshIfGone(4));
    EXPECT_FALSE(list.RefreshIfGone(9));
    Document().DeleteRecord(Usage(0, 3));
    EXPECT_TRUE(list.RefreshIfGone(-1));
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(StaffListsTest, GroupsLoadNumberedAndSkipSingleStaffGroupsOnlyWhenAsked) {
    Open(std::string(kFourStaves) + "group 1 4 \"\" \"Tutti\"\ngroup 3 3 \"\"\ngroup 1 2 \"Winds\"\n");
    const TGroups all(0, true, false, false);
    ASSERT_EQ(all.Count(), 3);
    EXPECT_EQ(all.At(0).name, "Tutti");
    EXPECT_EQ(all.At(1).name, "[Group 2]");
    const TGroups skipping(0, false, true, false);
    ASSERT_EQ(skipping.Count(), 2);
    EXPECT_EQ(skipping.At(1).number, 3);
    EXPECT_FALSE(skipping.Changed());
    EXPECT_FALSE(skipping.NamesFromService());
    // The host's last group number, 100, is loaded too.
    Document().SaveRecord(Group(0, 100), *Document().Records().Find(Group(0, 3)));
    Document().DeleteRecord(Group(0, 3));
    const TGroups moved(0, false, false, false);
    ASSERT_EQ(moved.Count(), 3);
    EXPECT_EQ(std::pair(moved.At(2).number, moved.At(2).name), std::pair(int16_t{100}, std::string("Winds")));
}

TEST_F(StaffListsTest, GroupsStartingAtAStaff) {
    Open(std::string(kFourStaves) + "group 1 4 \"Tutti\"\ngroup 2 3 \"Mid\"\ngroup 1 2 \"Winds\"\n");
    TGroups groups(0, false, false, false);
    EXPECT_EQ(groups.CountStartingAt(1), 2);
    EXPECT_EQ(groups.CountStartingAt(3), 0);
    EXPECT_EQ(groups.IndexOfNthStartingAt(1, 2), 3);
    EXPECT_EQ(groups.IndexOfNthStartingAt(1, 3), 0);
    ASSERT_NE(groups.NthStartingAt(2, 1), nullptr);
    EXPECT_EQ(groups.NthStartingAt(2, 1)->name, "Mid");
    EXPECT_EQ(groups.NthStartingAt(4, 1), nullptr);
    const TInstruments staves(0, nullptr, false);
    EXPECT_EQ(groups.StavesInGroup(1, staves), 4);
    EXPECT_EQ(groups.NameOfStaff(1, staves), "Winds ");
    EXPECT_EQ(groups.NameOfStaff(2, staves), "Mid ") << "the first of the smallest";
    EXPECT_EQ(groups.NameOfStaff(4, staves), "Tutti ");
    EXPECT_EQ(groups.NameOfStaff(9, staves), "");
}

struct RemoveCase {
    const char* name;
    int16_t first, last;  ///< the group
    int32_t newLast, removed, newFirst;
    bool deleted;
    int16_t firstAfter, lastAfter;
};

class GroupRemoveTest : public testsupport::ScoreHostTest, public ::testing::WithParamInterface<RemoveCase> {};

TEST_P(GroupRemoveTest, MovesOrDeletes) {
    const RemoveCase& c = GetParam();
    SCOPED_TRACE(c.name);
    Open(std::string(kFourStaves) + "group " + std::to_string(c.first) + " " + std::to_string(c.last) + " \"G\"\n");
    TGroups groups(0, false, false, false);
    const TInstruments staves(0, nullptr, false);
    groups.RemoveStaff(c.newLast, c.removed, c.newFirst, staves);
    EXPECT_TRUE(groups.Changed());
    EXPECT_EQ(groups.At(0).deleted != 0, c.deleted);
    if (!c.deleted) {
        EXPECT_EQ(groups.At(0).record.firstStaff(), c.firstAfter);
        EXPECT_EQ(groups.At(0).record.lastStaff(), c.lastAfter);
    }
}

const RemoveCase kRemoveCases[] = {
    {"first staff, next inside", 1, 3, 0, 1, 2, false, 2, 3},
    {"first staff, next outside the group", 1, 1, 0, 1, 2, true, 0, 0},
    {"first staff of 2-3, next staff 4 outside", 2, 3, 1, 2, 4, true, 0, 0},
    {"last staff, previous inside", 2, 4, 3, 4, 0, false, 2, 3},
    {"last staff, no previous", 2, 4, 0, 4, 0, true, 0, 0},
    {"a group of the removed staff alone", 3, 3, 2, 3, 4, true, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, GroupRemoveTest, ::testing::ValuesIn(kRemoveCases),
                         testsupport::NameBy(&RemoveCase::name));

TEST_F(StaffListsTest, GroupNamesSaveDeletesCopiesSharedNamesAndSaves) {
    Open(std::string(kFourStaves) + "group 1 2 \"Winds\"\ngroup 3 4 \"Brass\"\n");
    TGroups groups(0, false, false, false);
    EXPECT_TRUE(GroupNamesSave(groups, 0, nullptr, true)) << "unchanged: nothing to do";
    const int16_t windsName = groups.At(0).record.fullName();
    groups.At(1).deleted = 1;
    groups.SetChanged(true);
    const TGroups other(0, false, false, false);
    ASSERT_TRUE(GroupNamesSave(groups, 5, &other, false));
    EXPECT_EQ(Stored(Group(5, 2)), nullptr) << "the deleted group is not saved";
    const int16_t copied = StoredWord(Group(5, 1), hostapi::StaffGroupLayout::kFullName);
    EXPECT_NE(copied, windsName) << "the name shared with the score's group was copied";
    EXPECT_EQ(std::string(LoadTextBlock(copied, false)), "Winds");
    EXPECT_EQ(groups.Count(), 1);
    EXPECT_FALSE(groups.Changed());

    // Deleting from the score's groups.
    TGroups score(0, false, false, false);
    score.At(1).deleted = 1;
    score.SetChanged(true);
    ASSERT_TRUE(GroupNamesSave(score, 0, nullptr, false));
    EXPECT_EQ(Stored(Group(0, 2)), nullptr);
    EXPECT_EQ(StoredWord(Group(0, 1), hostapi::StaffGroupLayout::kFullName), windsName) << "not asked to copy";
}

TEST_F(StaffListsTest, AdoptGroupsWidensAMatchOrCopiesTheSourceGroup) {
    // The score (source) holds staves 1-4 with Winds 1-3; a system's list (target) has 1 and 3.
    Open(std::string(kFourStaves) +
         "group 1 3 \"Winds\" bracket 2\nsystem 1 2\nstafflist 1 1 3 4\n"
         "group 1 1 \"Winds.\" list 1 bracket 2\n");
    const TInstruments source(0, nullptr, false);
    const TGroups sourceGroups(0, false, false, false);
    TInstruments target(1, nullptr, false);
    TGroups targetGroups(1, false, false, false);
    // Staff 3 joins the target: the target's "Winds." (1-1) matches and widens.
    targetGroups.AdoptGroups(sourceGroups, source, target, 3);
    ASSERT_EQ(targetGroups.Count(), 1);
    EXPECT_EQ(targetGroups.At(0).name, "Winds");
    EXPECT_EQ(targetGroups.At(0).record.firstStaff(), 1);
    EXPECT_EQ(targetGroups.At(0).record.lastStaff(), 3);
    EXPECT_TRUE(targetGroups.Changed());

    // Without a match (another bracket) the source group is copied, moved inward to the target.
    TGroups fresh(1, false, false, false);
    fresh.At(0).record.setWord(5, 9);
    fresh.AdoptGroups(sourceGroups, source, target, 3);
    ASSERT_EQ(fresh.Count(), 2);
    EXPECT_EQ(fresh.At(1).number, 2);
    EXPECT_EQ(fresh.At(1).record.firstStaff(), 1);
    EXPECT_EQ(fresh.At(1).record.lastStaff(), 3);
    EXPECT_EQ(fresh.CountAtLoad(), 2);
}

TEST_F(StaffListsTest, AnAdoptedGroupAfterGroup100TakesAFreeNumber) {
    Open(std::string(kFourStaves) + "group 1 2 \"Winds\"\n");
    const TInstruments staves(0, nullptr, false);
    const TGroups source(0, false, false, false);
    TGroups target;
    TGroupRec last;
    last.number = 100;
    last.name = "Strings";
    last.record.setFirstStaff(4);
    last.record.setLastStaff(4);
    target.Append(last);
    target.AdoptGroups(source, staves, staves, 2);
    ASSERT_EQ(target.Count(), 2);
    EXPECT_EQ(target.At(1).number, 1) << "101 would never be loaded again";
}

TEST_F(StaffListsTest, RefreshStaffAndGroupListsReloadsWhatWentAway) {
    Open(std::string(kFourStaves) + "group 1 4 \"All\"\n");
    TGroups groups(0, true, false, false);
    TInstruments staves(0, nullptr, false);
    EXPECT_FALSE(RefreshStaffAndGroupLists(groups, staves)) << "nothing changed";
    Document().DeleteRecord(Group(0, 1));
    EXPECT_TRUE(RefreshStaffAndGroupLists(groups, staves));
    EXPECT_EQ(groups.Count(), 0);
    TGroups none;
    EXPECT_FALSE(RefreshStaffAndGroupLists(none, staves));
}

}  // namespace
