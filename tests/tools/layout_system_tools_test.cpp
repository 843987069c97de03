// Scale Staff Positions (item 14) and Copy System Optimization (item 16) through the simulated
// host: the staff lists ('SOIu'), groups ('SDNG') and system records they write.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/host/finxess.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/win.h"
#include "tests/core/score_host_fixture.h"
#include "tests/tools/layout_test_support.h"
#include "tests/tools/notes_fixture.h"
#include "tools/layout/layout_services.h"

namespace {

using namespace orvex;
using host::RecordKey;
/// A staff list as stored: staff number and position of each entry.
using StaffList = std::vector<std::pair<int32_t, int32_t>>;

constexpr hostapi::Tag kTagUsage = hostapi::MakeTag("SOIu");
constexpr hostapi::Tag kTagGroup = hostapi::MakeTag("SDNG");

class LayoutSystemToolsTest : public testsupport::ScoreHostTest {
protected:
    /// A context of tool `item` with the defaults of its option rows and some rows changed.
    std::shared_ptr<TFMisc> Tool(ToolItem item, const std::vector<std::pair<size_t, int32_t>>& changed) {
        std::shared_ptr<TFMisc> context = layouttest::ToolWithDefaults(item);
        for (const auto& [row, value] : changed) {
            context->Options[row].value = value;
        }
        return context;
    }
    /// Stores the positions of a staff list's entries, in order.
    void SetPositions(int16_t list, const std::vector<int32_t>& positions) {
        for (size_t i = 0; i < positions.size(); ++i) {
            const RecordKey key = RecordKey::Other(kTagUsage, list, static_cast<int16_t>(i));
            host::Bytes bytes = *Stored(key);
            hostapi::WriteI32(bytes.data(), 8, positions[i]);
            Document().Records().Save(key, bytes);
        }
    }
    StaffList StoredList(int16_t list) {
        StaffList staves;
        for (int16_t i = 0;; ++i) {
            const host::Bytes* bytes = Stored(RecordKey::Other(kTagUsage, list, i));
            if (bytes == nullptr) {
                return staves;
            }
            staves.emplace_back(hostapi::ReadI16(bytes->data(), 0), hostapi::ReadI32(bytes->data(), 8));
        }
    }
};

// ---- Scale Staff Positions ----

constexpr const char* kTwoPages =
    "staff \"A\"\nstaff \"B\"\nstaff \"C\"\nmeasures 2\npage\npage\nsystem 1 1\nsystem 2 2\n"
    "stafflist 1 1 2 3\nstafflist 2 1 2 3\n";

struct ScaleCase {
    const char* name;
    std::vector<int32_t> before;
    bool compress;
    std::vector<int32_t> after;
};

class ScaleStaffPositionsTest : public LayoutSystemToolsTest, public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(ScaleStaffPositionsTest, TheBottomStaffLandsAtTheTarget) {
    const ScaleCase& c = GetParam();
    SCOPED_TRACE(c.name);
    Open(kTwoPages);
    SetPositions(1, c.before);
    std::shared_ptr<TFMisc> context =
        Tool(ToolItem::ScaleStaffPositions, {{SCALE_STAVES_TO_SYSTEM, 1}, {SCALE_STAVES_COMPRESS, c.compress ? 1 : 0}});
    EXPECT_EQ(RunScaleStaffPositions(*context), c.before != c.after);
    EXPECT_EQ(StoredList(1), (StaffList{{1, c.after[0]}, {2, c.after[1]}, {3, c.after[2]}}));
    // System 2 lies beyond "To system".
    EXPECT_EQ(StoredList(2), (StaffList{{1, 0}, {2, -200}, {3, -400}}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Systems, ScaleStaffPositionsTest, ::testing::Values(
    // The target 4000 is taken as -4000 for a bottom staff below the top: 4000/3000.
    ScaleCase{"expand", {0, -1000, -3000}, false, {0, -1333, -4000}},
    ScaleCase{"at the target", {0, -1000, -4000}, true, {0, -1000, -4000}},
    ScaleCase{"below the target, compressing off", {0, -1000, -5000}, false, {0, -1000, -5000}},
    ScaleCase{"below the target", {0, -1000, -5000}, true, {0, -800, -4000}}),
    [](const auto& testCase) {
        std::string n = testCase.param.name;
        std::replace_if(n.begin(), n.end(), [](char c) { return c == ' ' || c == ','; }, '_');
        return n;
    });
// clang-format on

struct AlignCase {
    const char* name;
    bool moveFollowing;
    std::vector<int32_t> chosen;  ///< the staff selection of row 0
    std::vector<int32_t> left;    ///< system 1's positions afterwards
};

class AlignFacingPagesTest : public LayoutSystemToolsTest, public ::testing::WithParamInterface<AlignCase> {};

TEST_P(AlignFacingPagesTest, TheLeftPageFollowsTheRightPage) {
    const AlignCase& c = GetParam();
    SCOPED_TRACE(c.name);
    Open(kTwoPages);
    // Page 1 (even: the first page is even) holds system 1, page 2 system 2.
    for (int16_t page : std::initializer_list<int16_t>{1, 2}) {
        host::Bytes bytes = *Stored(RecordKey::Other(hostapi::MakeTag("SOPS"), page, 0));
        hostapi::WriteI16(bytes.data(), hostapi::PageLayout::kFirstSystem, page);
        Document().Records().Save(RecordKey::Other(hostapi::MakeTag("SOPS"), page, 0), bytes);
    }
    SetPositions(2, {0, -300, -450});
    std::shared_ptr<TFMisc> context =
        Tool(ToolItem::ScaleStaffPositions, {{SCALE_STAVES_ALIGN, 1},
                                             {SCALE_STAVES_FIRST_PAGE_EVEN, 1},
                                             {SCALE_STAVES_MOVE_FOLLOWING, c.moveFollowing ? 1 : 0}});
    context->ChosenItems = c.chosen;
    EXPECT_TRUE(RunScaleStaffPositions(*context));
    EXPECT_EQ(StoredList(1), (StaffList{{1, c.left[0]}, {2, c.left[1]}, {3, c.left[2]}}));
    EXPECT_EQ(StoredList(2), (StaffList{{1, 0}, {2, -300}, {3, -450}}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Options, AlignFacingPagesTest, ::testing::Values(
    // Staff B is 100 higher on the left: it and C move down by 100, and C is then lower already.
    AlignCase{"following staves move", true, {}, {0, -300, -500}},
    AlignCase{"only the matched staff moves", false, {}, {0, -300, -450}},
    AlignCase{"only the chosen staff counts", true, {0, 0, 1}, {0, -200, -450}}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

// ---- Copy System Optimization ----

// System 1's list (staves 1-3) is the source; system 2 has the same staves, system 3 staff 4 in
// place of 3, system 4 no list of its own.
constexpr const char* kFourSystems =
    "staff \"A\"\nstaff \"B\"\nstaff \"C\"\nstaff \"D\"\nmeasures 4\n"
    "system 1 1\nsystem 2 2\nsystem 3 3\nsystem 4 4\n"
    "stafflist 1 1 2 3\nstafflist 2 1 2 3\nstafflist 3 1 2 4\n"
    "group 1 2 \"Strings\" list 1\ngroup 2 3 \"Low\" list 2\ngroup 1 3 \"All\" list 2\n";

struct CopyCase {
    const char* name;
    std::vector<std::pair<size_t, int32_t>> options;
    bool toSystem3;
    bool toSystem4;
};

class CopySystemOptimizationTest : public LayoutSystemToolsTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopySystemOptimizationTest, TargetsTakeTheSourceListAndGroups) {
    const CopyCase& c = GetParam();
    SCOPED_TRACE(c.name);
    Open(kFourSystems);
    SetPositions(1, {0, -250, -500});
    const StaffList copied = {{1, 0}, {2, -250}, {3, -500}};
    std::shared_ptr<TFMisc> context = Tool(ToolItem::CopySystemOptimization, c.options);
    EXPECT_TRUE(RunCopySystemOptimization(*context));
    EXPECT_EQ(StoredList(2), copied);
    // System 2's groups are system 1's: "Strings" over staves 1-2 and nothing more.
    EXPECT_EQ(StoredWord(RecordKey::Detail(kTagGroup, 2, 1, 0), 0), 1);
    EXPECT_EQ(StoredWord(RecordKey::Detail(kTagGroup, 2, 1, 0), 2), 2);
    EXPECT_EQ(Stored(RecordKey::Detail(kTagGroup, 2, 2, 0)), nullptr);
    // ... with a name text block of its own, so that renaming it leaves system 1's name alone.
    const int16_t sourceName = StoredWord(RecordKey::Detail(kTagGroup, 1, 1, 0), 4);
    const int16_t copiedName = StoredWord(RecordKey::Detail(kTagGroup, 2, 1, 0), 4);
    EXPECT_NE(copiedName, sourceName);
    EXPECT_STREQ(LoadTextBlock(copiedName, false), "Strings");
    EXPECT_EQ(StoredList(3), c.toSystem3 ? copied : (StaffList{{1, 0}, {2, -200}, {4, -400}}));
    EXPECT_EQ(StoredList(4), c.toSystem4 ? copied : StaffList{});
    const uint16_t flags4 = static_cast<uint16_t>(StoredWord(RecordKey::Other(hostapi::kTagStaffSystem, 4, 0), 18));
    EXPECT_EQ((flags4 & 0x4000) != 0, c.toSystem4);
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "host: progress begins: 3 steps"), lines.end());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Options, CopySystemOptimizationTest, ::testing::Values(
    CopyCase{"same staves only", {}, false, false},
    CopyCase{"any staves", {{3, 0}}, true, false},
    CopyCase{"unoptimized systems too", {{4, 1}}, false, true}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

struct RefusedCopyCase {
    const char* name;
    std::vector<std::pair<size_t, int32_t>> options;
};

class RefusedCopyTest : public LayoutSystemToolsTest, public ::testing::WithParamInterface<RefusedCopyCase> {};

TEST_P(RefusedCopyTest, NothingChanges) {
    Open(kFourSystems);
    const host::Bytes system4 = *Stored(RecordKey::Other(hostapi::kTagStaffSystem, 4, 0));
    std::shared_ptr<TFMisc> context = Tool(ToolItem::CopySystemOptimization, GetParam().options);
    EXPECT_FALSE(RunCopySystemOptimization(*context));
    EXPECT_EQ(layouttest::MessageTexts(), std::vector<std::string>{"Invalid FROM system specified."});
    EXPECT_EQ(StoredList(2), (StaffList{{1, 0}, {2, -200}, {3, -400}}));
    EXPECT_EQ(StoredList(4), StaffList{});
    EXPECT_EQ(*Stored(RecordKey::Other(hostapi::kTagStaffSystem, 4, 0)), system4);
    EXPECT_NE(Stored(RecordKey::Detail(kTagGroup, 2, 2, 0)), nullptr);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(From, RefusedCopyTest, ::testing::Values(
    RefusedCopyCase{"beyond the last system", {{0, 5}}},
    // System 4 has no staff list of its own: the targets would show no staves.
    RefusedCopyCase{"a system without a list of its own", {{0, 4}, {1, 1}, {3, 0}, {4, 1}}}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

TEST_F(LayoutSystemToolsTest, CopiedOptimizationCarriesTheFirstStaffPositionFrom2001) {
    Open(kFourSystems, 2001);
    // System 1's list lies 100 lower: its top staff offset holds the first staff's position.
    for (hostapi::Tag tag : {hostapi::kTagStaffSystem, hostapi::kTagStaffSystem2001}) {
        host::Bytes bytes = *Stored(RecordKey::Other(tag, 1, 0));
        hostapi::WriteI16(bytes.data(), hostapi::StaffSystemLayout::kTopStaffOffset, -100);
        Document().Records().Save(RecordKey::Other(tag, 1, 0), bytes);
    }
    std::shared_ptr<TFMisc> context = Tool(ToolItem::CopySystemOptimization, {{COPY_OPT_LAST_TARGET, 2}});
    EXPECT_TRUE(RunCopySystemOptimization(*context));
    EXPECT_EQ(StoredWord(RecordKey::Other(hostapi::kTagStaffSystem2001, 2, 0), 0), -100);
    EXPECT_EQ(StoredList(2), StoredList(1));
}

}  // namespace

ORDINARY_MUSIC_CASES(ScaleStaffPositions, "tests/tools/ordinary-systems.cases", "scale staff positions");
ORDINARY_MUSIC_CASES(CopySystemOptimization, "tests/tools/ordinary-systems.cases", "copy optimization");
