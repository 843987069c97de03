// The beam breaker's form: what its controls put into the record it keeps, the boxes that cannot
// be cleared, and OK running the breaker over the selection.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/commands.h"
#include "tests/support/orvex_host.h"
#include "tools/notes/beam_breaker_form.h"

namespace {

using namespace orvex;

constexpr const char* kScore =
    "staff \"Flute\"\nmeasures 1\nnotes 1 1 c5/32 d5/32 e5/32 f5/32 g5/32 a5/32 b5/32 c6/32 r/4 r/2\n";

class BeamBreakerFormTest : public testsupport::OrvexHostTest {
protected:
    /// Opens the form from the menu; the user cancels it, so the form stays made and unrun.
    TSBBForm& Open() {
        StartHost(kScore);
        Select(1, 1, 1, 1);
        Invoke(static_cast<int16_t>(FindCommandIndex(CODE_BEAM_BREAKER)));
        EXPECT_NE(BeamBreakerForm(), nullptr);
        return *BeamBreakerForm();
    }
    static void SetRow(vcl::TCheckBox* check, vcl::TEdit* size, const std::array<vcl::TEdit*, 5>& into, const char* n,
                       const std::vector<const char*>& parts) {
        check->SetChecked(true);
        size->SetText(n);
        for (size_t i = 0; i < into.size(); ++i) {
            into[i]->SetText(i < parts.size() ? parts[i] : "");
        }
    }
};

TEST_F(BeamBreakerFormTest, OkBreaksTheSelection) {
    TSBBForm& form = Open();
    form.SBBGoBtnClick(nullptr);
    const auto& cell = Document().EntriesOf(host::CellKey{1, 1, 0});
    const auto fifth = hostapi::ConstEntryView(cell.at(4).data());
    EXPECT_TRUE(fifth.has(0x00000400));
    const host::Bytes* record =
        Document().Records().Find(host::RecordKey::EntryDetail(hostapi::MakeTag("edsB"), fifth.number(), 0));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(*record, (host::Bytes{0, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

TEST_F(BeamBreakerFormTest, TupletRowsGiveTheirPatterns) {
    TSBBForm& form = Open();
    SetRow(form.checkGO1, form.breakGO1, form.into1, "6", {"1", "2", "3"});
    SetRow(form.checkGO2, form.breakGO2, form.into2, "6", {"4", "", "x"});
    form.SBBGoBtnClick(nullptr);
    EXPECT_EQ(form.Options().tupletParts[6], -2);  // the second row wins
    EXPECT_EQ(form.Options().pattern1, (std::array<int32_t, 5>{1, 2, 3, 0, 0}));
    EXPECT_EQ(form.Options().pattern2, (std::array<int32_t, 5>{4, 0, 0, 0, 0}));
    // A size outside 1-32 changes nothing; the rule given before stays with the form.
    SetRow(form.checkGO1, form.breakGO1, form.into1, "33", {"9"});
    SetRow(form.checkGO2, form.breakGO2, form.into2, "0", {"9"});
    form.SBBGoBtnClick(nullptr);
    EXPECT_EQ(form.Options().tupletParts[6], -2);
    EXPECT_EQ(form.Options().tupletParts[5], 5);
    EXPECT_EQ(form.Options().pattern1, (std::array<int32_t, 5>{1, 2, 3, 0, 0}));
}

TEST_F(BeamBreakerFormTest, EnablingAndTheBoxesThatStayChecked) {
    TSBBForm& form = Open();
    form.break_4->SetChecked(false);
    form.break_32->SetChecked(false);
    EXPECT_TRUE(form.break_4->Checked());
    EXPECT_TRUE(form.break_32->Checked());
    form.Secondary->SetChecked(false);
    EXPECT_FALSE(form.BreakGroups->Enabled());
    EXPECT_FALSE(form.TupletPanel->Enabled());
    form.BreakPrimary->SetChecked(true);
    EXPECT_TRUE(form.BreakWhole->Enabled());
    form.BPonlywhen->SetChecked(false);
    form.OrStrangeRests->SetChecked(false);
    EXPECT_FALSE(form.BreakWhole->Enabled());
    EXPECT_FALSE(form.PrimaryIfWrongDirection->Enabled());
    form.ForBeamedRests->SetChecked(true);
    EXPECT_TRUE(form.PrimaryIfWrongDirection->Enabled());
}

}  // namespace
