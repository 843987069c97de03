// "Vx &Update Groups..." through the host's menu: the score's groups pass their brackets (and, as
// the rows say, names and staves) to the matching groups of the selected systems; groups that
// cannot be told apart are reported once; a selection outside the systems asks first.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/host/finxess.h"
#include "core/tool_items.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/ui_driver.h"
#include "tests/tools/notes_fixture.h"

namespace {

constexpr int32_t kUpdateGroups = orvex::ToolCode(orvex::ToolItem::UpdateGroups);

/// Two systems of one measure showing all three staves; the score's "Winds" has bracket 3.
std::string Score(const std::string& systemGroups) {
    return "staff \"Flute\"\nstaff \"Oboe\"\nstaff \"Horn\"\nmeasures 2 width 1200\n"
           "system 1 1\nsystem 2 2\nstafflist 1 1 2 3\nstafflist 2 1 2 3\n"
           "group 1 2 \"Winds\" bracket 3\n" +
           systemGroups;
}

class UpdateGroupsTest : public testsupport::NotesTest {
protected:
    /// Bracket word and staves of group `group` of list `list`; {-1, -1, -1} when missing.
    std::vector<int32_t> Stored(int16_t list, int16_t group) {
        const host::Bytes* bytes =
            Document().Records().Find(host::RecordKey::Detail(hostapi::kTagStaffGroup, list, group, 0));
        if (bytes == nullptr) {
            return {-1, -1, -1};
        }
        return {hostapi::ReadI16(bytes->data(), 10), hostapi::ReadI16(bytes->data(), 0),
                hostapi::ReadI16(bytes->data(), 2)};
    }
};

struct MatchCase {
    const char* name;
    std::vector<testsupport::Setting> settings;
    std::vector<int32_t> system1;  ///< group 1 of system 1 afterwards: bracket, first and last staff
    std::vector<int32_t> system2;
};

class UpdateGroupsMatchTest : public UpdateGroupsTest, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(UpdateGroupsMatchTest, TheMatchingGroupsTakeTheScoresBracket) {
    const MatchCase& c = GetParam();
    SCOPED_TRACE(c.name);
    // System 1 has "Winds" over the oboe only; system 2 a differently named group over 1-2.
    StartHost(Score("group 2 2 \"Winds\" list 1\ngroup 1 2 \"Reeds\" list 2\n"));
    Select(1, 1, 1, 2);
    RunTool(kUpdateGroups, c.settings);
    EXPECT_EQ(Stored(1, 1), c.system1);
    EXPECT_EQ(Stored(2, 1), c.system2);
    EXPECT_EQ(Messages(), std::vector<std::string>{});
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, UpdateGroupsMatchTest, ::testing::Values(
    // By name only: "Reeds" is not found.
    MatchCase{"by name", {}, {3, 2, 2}, {0, 1, 2}},
    // By staves too: "Reeds" has the staves of "Winds".
    MatchCase{"by staves", {{"Row1", "0"}}, {3, 2, 2}, {3, 1, 2}},
    // The staves follow the score's group.
    MatchCase{"staves updated", {{"Row4", "1"}}, {3, 1, 2}, {0, 1, 2}}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

TEST_F(UpdateGroupsTest, GroupsThatCannotBeToldApartAreReportedOnce) {
    StartHost(
        Score("group 1 2 \"Winds\" list 1\ngroup 1 1 \"Winds\" list 1\n"
              "group 1 2 \"Winds\" list 2\ngroup 2 2 \"Winds\" list 2\n"));
    Select(1, 1, 1, 2);
    EXPECT_EQ(RunWithShift(kUpdateGroups), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot positively identify at least one group."});
    EXPECT_EQ(Stored(1, 1)[0], 0);
    EXPECT_EQ(Stored(2, 1)[0], 0);
}

TEST_F(UpdateGroupsTest, NamesAndNewGroupsGoToTheSystemsOwnRecords) {
    StartHost(Score("group 3 3 \"Horn\" bracket 2\ngroup 1 2 \"Wind\" list 1\ngroup 3 3 \"Horn\" list 2\n"));
    Select(1, 1, 1, 2);
    RunTool(kUpdateGroups, {{"Row1", "0"}, {"Row2", "1"}, {"Row7", "1"}});
    // System 1's group found by its staves takes the name; system 2 gets the group as number 2.
    // The score's "Horn" is a group of one staff: system 2's "Horn" takes its bracket, system 1
    // gets it as number 2.
    const host::Bytes* group = Document().Records().Find(host::RecordKey::Detail(hostapi::kTagStaffGroup, 1, 1, 0));
    ASSERT_NE(group, nullptr);
    const int16_t block = hostapi::ReadI16(group->data(), 4);
    EXPECT_STREQ(orvex::LoadTextBlock(block, false), "Winds");
    EXPECT_EQ(Stored(2, 1), (std::vector<int32_t>{2, 3, 3}));
    EXPECT_EQ(Stored(2, 2), (std::vector<int32_t>{3, 1, 2}));
    EXPECT_EQ(Stored(1, 2), (std::vector<int32_t>{2, 3, 3}));
}

TEST_F(UpdateGroupsTest, ASelectionOutsideTheSystemsAsksToUpdateAll) {
    for (const char* answer : {"NoBtn", "YesBtn"}) {
        SCOPED_TRACE(answer);
        // The only system begins at measure 2; the host keeps that layout.
        StartHost(
            "staff \"Flute\"\nstaff \"Oboe\"\nmeasures 2 width 1200\nsystem 2 2\nstafflist 1 1 2\n"
            "group 1 2 \"Winds\" bracket 3\ngroup 1 2 \"Winds\" list 1\n");
        m_host->SetLayoutHeld(true);
        Select(1, 1, 1, 1);
        win::QueueFormAction("TMsgDlg", {win::FormAction::Kind::Click, answer, ""});
        RunWithShift(kUpdateGroups);
        EXPECT_EQ(Messages(),
                  std::vector<std::string>{"Measure selection not recognized. Would you like to update all systems?"});
        EXPECT_EQ(Stored(1, 1)[0], std::string(answer) == "YesBtn" ? 3 : 0);
    }
}

ORDINARY_MUSIC_CASES(UpdateGroups, "tests/tools/ordinary-more.cases", "update groups");

}  // namespace
