// The staff list manager form driven as the user drives it (the UI driver), its distance edits,
// its fields, the error search, its size, its timer, and its openings by command 3 and by the query
// service's code 6.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/general_options.h"
#include "core/module.h"
#include "core/query_service.h"
#include "core/startup.h"
#include "platform/vcl/registry.h"
#include "platform/win/system.h"
#include "platform/win/win.h"
#include "tests/tools/layout_test_support.h"
#include "tests/tools/notes_fixture.h"
#include "tests/tools/stafflist_test_support.h"
#include "tools/layout/layout_services.h"
#include "tools/layout/stafflist_form.h"

namespace {

using namespace orvex;
using stafflisttest::StaffList;

void Queue(win::FormAction::Kind kind, const std::string& control, const std::string& value = "") {
    win::QueueFormAction("TStaffListManager", {kind, control, value});
}
void Set(const std::string& control, const std::string& value) {
    Queue(win::FormAction::Kind::Set, control, value);
}
void Click(const std::string& control) {
    Queue(win::FormAction::Kind::Click, control);
}

/// Three staves; system 1 shows the flute and the violin, system 2 all three. The flute and the
/// oboe play in system 2.
constexpr const char* kTrio =
    "staff \"Flute\"\nstaff \"Oboe\"\nstaff \"Violin\"\nmeasures 2\nnotes 1 2 c5/1\nnotes 2 2 c5/1\n"
    "system 1 1\nsystem 2 2\nstafflist 1 1 3\nstafflist 2 1 2 3\n";

std::string ManyStaves(int32_t count) {
    std::string score;
    for (int32_t i = 1; i <= count; ++i) {
        score += "staff \"S" + std::to_string(i) + "\"\n";
    }
    score += "measures 1\nsystem 1 1\nstafflist 1";
    for (int32_t i = 1; i <= count; ++i) {
        score += " " + std::to_string(i);
    }
    return score + "\n";
}

class StaffListFormTest : public stafflisttest::StaffListTest {
protected:
    /// The form shown without modality on `system`; the queued actions have run.
    TStaffListManager& Show(int32_t system) {
        SlmState().manager = vcl::Create<TStaffListManager>(vcl::Application);
        SlmState().manager->SetStartValue(system);
        SlmState().manager->Show();
        return *SlmState().manager;
    }
    std::vector<std::string> EditTexts(const TStaffListManager& form, int32_t count) {
        std::vector<std::string> texts;
        for (int32_t r = 0; r < count; ++r) {
            texts.push_back(form.Edit(r)->Text());
        }
        return texts;
    }
    void Tick() {
        win::AdvanceClock(100);
        vcl::Application->ProcessMessages();
    }
};

TEST_F(StaffListFormTest, CheckingAStaffShowsItsGapToTheStaffAbove) {
    Open(kTrio);
    Set("StaffListBox", "+1");
    TStaffListManager& form = Show(1);
    EXPECT_EQ(EditTexts(form, 4), (std::vector<std::string>{"0", "200", "200", ""}));
    EXPECT_EQ(StoredList(1), (StaffList{{1, 0}, {3, -200}}));
    form.StaffListOk->Click();
    EXPECT_EQ(StoredList(1), (StaffList{{1, 0}, {2, -200}, {3, -400}}));
}

struct EditCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> actions;
    StaffList stored;
};

class StaffListEditTest : public StaffListFormTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(StaffListEditTest, TheEditsAsShownAreStoredOnOk) {
    const EditCase& c = GetParam();
    SCOPED_TRACE(c.name);
    Open(kTrio);
    for (const auto& [control, value] : c.actions) {
        value.empty() ? Click(control) : Set(control, value);
    }
    Click("StaffListOk");
    Show(2);
    EXPECT_EQ(StoredList(2), c.stored);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Edits, StaffListEditTest, ::testing::Values(
    // The gaps below the changed one stay: every staff below moves by the change.
    EditCase{"a wider gap", {{"dist2", "300"}}, {{1, 0}, {2, -300}, {3, -500}}},
    EditCase{"an absolute position", {{"relative", ""}, {"dist3", "450"}}, {{1, 0}, {2, -200}, {3, -450}}},
    EditCase{"a hidden staff", {{"StaffListBox", "-1"}}, {{1, 0}, {3, -200}}},
    EditCase{"a number that is none", {{"dist2", "wide"}}, {{1, 0}, {2, 0}, {3, -200}}}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

TEST_F(StaffListFormTest, AResizeKeepsTheMinimumAndMovesTheStavesBelowTheEdits) {
    Open(ManyStaves(9));
    TStaffListManager& form = Show(1);
    EXPECT_EQ(form.EditCount(), 19);
    form.SetBounds(form.Left(), form.Top(), 500, 200);
    EXPECT_EQ(form.Width(), TStaffListManager::kMinWidth);
    EXPECT_EQ(form.Height(), TStaffListManager::kMinHeight);
    EXPECT_EQ(form.EditCount(), 7);
    ASSERT_TRUE(TheModule.process.Registry->OpenKey(kSettingsKey, false));
    EXPECT_EQ(TheModule.process.Registry->ReadString(TStaffListManager::kHeightValue), "272");
    TheModule.process.Registry->CloseKey();
    // Staves 8 and 9 lie below the edits: they follow the 100 that staff 7 moved.
    form.Edit(1)->SetText("300");
    form.StaffListOk->Click();
    EXPECT_EQ(StoredList(1),
              (StaffList{
                  {1, 0}, {2, -300}, {3, -500}, {4, -700}, {5, -900}, {6, -1100}, {7, -1300}, {8, -1500}, {9, -1700}}));
}

struct SystemCase {
    const char* name;
    const char* score;
    int32_t system;
    const char* measure;
    const char* measureTo;
    bool reOptimize;
    const char* page;  ///< the page field: "?" for a system on no page (without a page layout)
};

class StaffListSystemTest : public StaffListFormTest, public ::testing::WithParamInterface<SystemCase> {};

TEST_P(StaffListSystemTest, TheFieldsShowTheSystemsMeasures) {
    const SystemCase& c = GetParam();
    SCOPED_TRACE(c.name);
    Open(c.score);
    TStaffListManager& form = Show(c.system);
    EXPECT_EQ(form.SysNum->Text(), std::to_string(c.system));
    EXPECT_EQ(form.Measure->Text(), c.measure);
    EXPECT_EQ(form.MeasTo->Caption(), c.measureTo);
    EXPECT_EQ(form.ReOptimize->Enabled(), c.reOptimize);
    EXPECT_EQ(form.PgNum->Text(), c.page);
}

constexpr const char* kUnlaidSecond = "staff \"A\"\nmeasures 2\nsystem 1 2\nsystem 0 0\nstafflist 2 1\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Systems, StaffListSystemTest, ::testing::Values(
    SystemCase{"the last system", kTrio, 2, "2", "to 2", true, "?"},
    SystemCase{"laid out", kUnlaidSecond, 1, "1", "to 2", true, "?"},
    SystemCase{"without measures", kUnlaidSecond, 2, "?", "", false, "?"},
    SystemCase{"the global list", kTrio, 0, "", "", false, "0"}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

TEST_F(StaffListFormTest, FindingErrorsWalksOnUntilAHiddenStaffPlays) {
    Open(
        "staff \"Flute\"\nstaff \"Oboe\"\nmeasures 3\nnotes 2 2 c5/1\nsystem 1 1\nsystem 2 2\nsystem 3 3\n"
        "stafflist 1 1\nstafflist 2 1\nstafflist 3 1\n");
    Click("FindErrorBtn");
    TStaffListManager& form = Show(1);
    EXPECT_EQ(layouttest::MessageTexts(),
              std::vector<std::string>{"Optimization error found in this system, instrument Oboe            "});
    EXPECT_EQ(form.SysNum->Text(), "2");
}

TEST_F(StaffListFormTest, FindingErrorsOnTheLastSystemFindsNone) {
    Open(kTrio);
    Click("FindErrorBtn");
    TStaffListManager& form = Show(2);
    EXPECT_EQ(layouttest::MessageTexts(), std::vector<std::string>{"No optimization errors found"});
    EXPECT_EQ(form.SysNum->Text(), "3");
}

TEST_F(StaffListFormTest, OptimizeShowsTheStavesThatPlay) {
    Open(kTrio);
    Click("ReOptimize");
    Click("StaffListOk");
    Show(2);
    // The violin holds no music in system 2; the oboe does.
    EXPECT_EQ(StoredList(2), (StaffList{{1, 0}, {2, -200}}));
}

TEST_F(StaffListFormTest, ScrollingTheListRefreshesTheEditsWithin100Milliseconds) {
    Open(ManyStaves(25));
    TStaffListManager& form = Show(1);
    EXPECT_EQ(form.Edit(0)->Text(), "0");
    form.StaffListBox->SetTopIndex(5);
    win::AdvanceClock(99);
    vcl::Application->ProcessMessages();
    EXPECT_EQ(form.Edit(0)->Text(), "0");
    win::AdvanceClock(1);
    vcl::Application->ProcessMessages();
    EXPECT_EQ(form.Edit(0)->Text(), "200");
}

TEST_F(StaffListFormTest, TheDocumentFollowsTheFormAboutASecondLater) {
    Open(kTrio);
    Show(2);
    const auto shown = [] {
        const auto& lines = win::TranscriptLines();
        return std::count(lines.begin(), lines.end(), "host: bring measure 2 into view");
    };
    for (int32_t tick = 1; tick < 10; ++tick) {
        Tick();
    }
    EXPECT_EQ(shown(), 0);
    Tick();
    EXPECT_EQ(shown(), 1);
    for (int32_t tick = 0; tick < 20; ++tick) {
        Tick();
    }
    EXPECT_EQ(shown(), 1);
}

TEST_F(StaffListFormTest, CommandThreeUpdatesTheLayoutFirstWhenTheOptionIsOn) {
    for (const int32_t option : {0, 1}) {
        SCOPED_TRACE(option);
        Open("staff \"A\"\nmeasures 2\nsystem 1 1\nsystem 2 2\n");
        TheModule.process.GeneralOptions[GO_AUTO_UPDATE_LAYOUT].value = option;
        Click("StaffListCancel");
        EXPECT_EQ(RunStaffListManager(), vcl::mrCancel);
        // The host's layout puts both narrow measures into one system.
        EXPECT_EQ(Stored(host::RecordKey::Other(hostapi::kTagStaffSystem, 2, 0)) == nullptr, option == 1);
    }
}

TEST_F(StaffListFormTest, TheFormFollowsTheDocumentInFront) {
    Open(kTrio);
    Click("StaffListCancel");
    RunStaffListManager();
    Open("staff \"Horn\"\nmeasures 1\nsystem 1 1\nstafflist 1 1\n");
    Click("StaffListCancel");
    RunStaffListManager();
    ASSERT_NE(SlmState().manager, nullptr);
    EXPECT_EQ(SlmState().manager->StaffListBox->Items().Count(), 1);
    EXPECT_TRUE(SlmState().manager->StaffListBox->Items()[0].starts_with(" Horn"));
}

TEST_F(StaffListFormTest, QueryCodeSixShowsTheStartSystemInAFormOfItsOwn) {
    Open(kTrio);
    Click("StaffListCancel");
    EXPECT_EQ(QueryService(QUERY_STAFF_LIST_MANAGER, 2, nullptr), 1);
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  edit SysNum: \"2\""), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "host: redraw the document"), lines.end());
    EXPECT_EQ(SlmState().manager, nullptr);
    EXPECT_EQ(SlmState().currentSystem, 2);
}

ORDINARY_MUSIC_CASES(StaffListManager, "tests/tools/ordinary-more.cases", "staff list manager");

}  // namespace
