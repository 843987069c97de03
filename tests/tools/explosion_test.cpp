// The smart explosion end to end through the simulated host: the staves it adds, the part
// designations it removes, its regions and the host actions of its steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/host/finxess.h"
#include "core/host/staff_lists.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/tool_items.h"
#include "forms/dactopt.h"
#include "platform/host/cell_dump.h"
#include "platform/host/record_dump.h"
#include "platform/vcl/forms.h"
#include "tests/support/orvex_host.h"
#include "tests/tools/notes_fixture.h"
#include "tools/layout/explosion/explosion.h"

namespace {

using testsupport::OrvexHostTest;

constexpr int32_t kExplodeStaves = orvex::ToolCode(orvex::ToolItem::SmartExplosion);

// Flutes 1 and 2 in chords on staff 1; staff 2 is empty.
const char* const kFlutes = R"(staff "Flutes" "Fl."
staff "Oboe" "Ob."
measures 2
expression 1 "1./2."
measureexpression 1 1 staff 1
notes 1 1 c5+e5/2 d5+f5/2
notes 1 2 e5+g5/1
)";

class ExplosionCommandTest : public OrvexHostTest {
protected:
    int32_t StaffCount() { return orvex::TInstruments(0, nullptr, false).Count(); }
    bool HasMeasureExpression() {
        orvex::Record12 record;
        return orvex::LoadRecordOtDY(1, 0, record);
    }
    bool Shown(const std::string& text) {
        const std::vector<std::string> shown = Messages();
        return std::find(shown.begin(), shown.end(), text) != shown.end();
    }
    /// The user keeps the host's window in front while the explosion takes its steps through the
    /// host, until it ends.
    void FinishExplosion() {
        EXPECT_TRUE(FinishWaitingRun(10));
        EXPECT_TRUE(Shown(std::string(orvex::MessageText(14, 0))));
    }
};

TEST_F(ExplosionCommandTest, AHostBefore1998IsRefused) {
    StartHost(kFlutes, 0x03000000);
    Select(1, 1, 1, 2);
    EXPECT_EQ(RunWithShift(kExplodeStaves), 0);
    EXPECT_TRUE(Shown("This function is currently available for Finale 1998 and above."));
    EXPECT_EQ(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    EXPECT_EQ(StaffCount(), 2);
    EXPECT_TRUE(HasMeasureExpression());
}

TEST_F(ExplosionCommandTest, ATwoPartStaffGetsANewStaffAndLosesItsDesignation) {
    StartHost(kFlutes);
    Select(1, 1, 1, 2);
    EXPECT_EQ(RunWithShift(kExplodeStaves), 1);
    EXPECT_EQ(StaffCount(), 3);
    EXPECT_FALSE(HasMeasureExpression());
    EXPECT_TRUE(Shown(std::string(orvex::MessageText(13, 0))));
    ASSERT_NE(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    const orvex::ExplosionContext& explosion = *orvex::TheModule.dispatch.RunningStepObject;
    ASSERT_EQ(explosion.regions.size(), 1u);
    const orvex::TRegionInfo& region = explosion.regions[0];
    EXPECT_EQ(region.firstMeasure, 1);
    EXPECT_EQ(region.lastMeasure, 2);
    EXPECT_EQ(region.highestPartIndex, 1);
    EXPECT_EQ(region.sourceStaff[1], 1);
    EXPECT_EQ(region.sourceStaff[2], 1);
    EXPECT_EQ(region.sourceColumn[2], 1);
    EXPECT_EQ(explosion.staffCount, 2);
    EXPECT_EQ(explosion.currentStaff, 1);
    FinishExplosion();
}

// Staves without parts: the explosion finds nothing to do and ends at once, with a warning only
// when the group has more staves than it takes.
TEST_F(ExplosionCommandTest, FortyStavesAreTheLargestGroupTakenWithoutAWarning) {
    for (const int16_t staves : {int16_t{40}, int16_t{41}}) {
        SCOPED_TRACE(staves);
        std::string score;
        for (int s = 1; s <= staves; ++s) {
            score += "staff \"S" + std::to_string(s) + "\"\n";
        }
        StartHost(score + "measures 1\n");
        Select(1, staves, 1, 1);
        RunWithShift(kExplodeStaves);
        EXPECT_EQ(orvex::TheModule.dispatch.RunningStepObject, nullptr);
        EXPECT_EQ(Messages(), staves == 40
                                  ? std::vector<std::string>{}
                                  : std::vector<std::string>{"Instrumental group found with more than the maximum "
                                                             "supported number of staves (40)."});
    }
}

TEST_F(ExplosionCommandTest, TheStepsRunThroughTheHostUntilTheExplosionEnds) {
    StartHost(kFlutes);
    Select(1, 1, 1, 2);
    RunWithShift(kExplodeStaves);
    // Each step synthesises the keypad plus; the timer then makes the host call again.
    for (int i = 0; i < 10 && orvex::TheModule.dispatch.RunningStepObject != nullptr; ++i) {
        win::Idle(1000);
    }
    EXPECT_EQ(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    EXPECT_TRUE(Shown(std::string(orvex::MessageText(14, 0))));
    // Before it selects everything it picks the host's selection tool, by a 2000 host's command.
    const std::vector<std::string>& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "host: command 33018 (no menu item)"), lines.end());
}

TEST_F(ExplosionCommandTest, WithoutNewStavesTheNextStaffTakesThePart) {
    StartHost(kFlutes);
    Select(1, 1, 1, 2);
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Set, "Create new staves?", "0"});
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Click, "Go", ""});
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kExplodeStaves)));
    EXPECT_EQ(StaffCount(), 2);
    ASSERT_NE(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    EXPECT_EQ(orvex::TheModule.dispatch.RunningStepObject->staffCount, 2);
    EXPECT_EQ(orvex::TheModule.dispatch.RunningStepObject->processedRegion.lastStaff(), 2);
    FinishExplosion();
}

TEST_F(ExplosionCommandTest, GoAfterAnotherDialogRunLeavesTheContextWithOneOwner) {
    StartHost(kFlutes);
    Select(1, 1, 1, 2);
    // Process extracted parts from its options dialog, which stays open with its context.
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Click, "Go", ""});
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(orvex::ToolCode(orvex::ToolItem::ProcessParts))));
    // The explosion from its own options dialog: the dialog keeps the context while it runs.
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Set, "Create new staves?", "0"});
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Click, "Go", ""});
    // Its first step changed the document within the call: the host hears of it.
    EXPECT_EQ(Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kExplodeStaves))), 1);
    ASSERT_NE(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    // The user clicks into the host's window, so that the explosion's keys reach it.
    for (int i = 0; i < 10 && orvex::TheModule.dispatch.RunningStepObject != nullptr; ++i) {
        win::SetForegroundWindow(m_host->MainWindow());
        win::SetFocus(m_host->MainWindow());
        win::Idle(1000);
    }
    EXPECT_EQ(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    EXPECT_TRUE(Shown(std::string(orvex::MessageText(14, 0))));
    // A later command (the parts are processed already: nothing changes), then closing the
    // dialogs and unloading free each context once.
    EXPECT_EQ(RunWithShift(orvex::ToolCode(orvex::ToolItem::ProcessParts)), 0);
}

TEST_F(ExplosionCommandTest, AnExplosionOutlivesTheDialogThatStartedIt) {
    StartHost(kFlutes);
    Select(1, 1, 1, 2);
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Set, "Create new staves?", "0"});
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Click, "Go", ""});
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kExplodeStaves)));
    ASSERT_NE(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    // The dialog goes (the plug-in's forms are freed) while the explosion still runs: the
    // explosion takes its context over and finishes on it.
    const std::vector<vcl::TForm*> open = orvex::TheModule.dispatch.ModelessFormList;
    ASSERT_EQ(open.size(), 1u);
    delete open.front();
    for (int i = 0; i < 10 && orvex::TheModule.dispatch.RunningStepObject != nullptr; ++i) {
        win::Idle(1000);
    }
    EXPECT_EQ(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    EXPECT_TRUE(Shown(std::string(orvex::MessageText(14, 0))));
}

// Go in the options dialog: the dialog keeps the focus until the explosion gives it to the host,
// whose window the keyboard hook and the timer then find in front, step after step.
TEST_F(ExplosionCommandTest, StartedWithGoItRunsToItsEndAndClosesItsDialogWhenAsked) {
    StartHost(kFlutes);
    Select(1, 1, 1, 2);
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Set, "cbAutoClose", "checked"});
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Click, "Go", ""});
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kExplodeStaves)));
    ASSERT_EQ(orvex::TheModule.dispatch.ModelessFormList.size(), 1u);
    const win::Hwnd dialog = orvex::TheModule.dispatch.ModelessFormList.front()->Handle();
    EXPECT_EQ(win::GetForegroundWindow(), m_host->MainWindow());
    for (int i = 0; i < 10 && orvex::TheModule.dispatch.RunningStepObject != nullptr; ++i) {
        win::Idle(1000);
    }
    EXPECT_EQ(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    EXPECT_EQ(Messages(), (std::vector<std::string>{std::string(orvex::MessageText(13, 0)),
                                                    std::string(orvex::MessageText(14, 0))}));
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "host: redraw the document (region)"), lines.end());
    EXPECT_EQ(StaffCount(), 3);
    // "Close" after the run: the dialog went, and with it the tool context it owned.
    EXPECT_FALSE(win::IsWindowVisible(dialog));
    vcl::Application->ProcessMessages();
    EXPECT_TRUE(orvex::TheModule.dispatch.ModelessFormList.empty());
    EXPECT_FALSE(win::IsWindow(dialog));
    EXPECT_EQ(win::GetForegroundWindow(), m_host->MainWindow());
}

TEST_F(ExplosionCommandTest, StartedWithGoTheDialogStaysWithTheStavesTheRunAdded) {
    StartHost(kFlutes);
    Select(1, 1, 1, 2);
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Click, "Go", ""});
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kExplodeStaves)));
    for (int i = 0; i < 10 && orvex::TheModule.dispatch.RunningStepObject != nullptr; ++i) {
        win::Idle(1000);
    }
    EXPECT_EQ(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    ASSERT_EQ(orvex::TheModule.dispatch.ModelessFormList.size(), 1u);
    auto* dialog = dynamic_cast<orvex::TDActOpt*>(orvex::TheModule.dispatch.ModelessFormList.front());
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->Visible());
    EXPECT_EQ(dialog->CancelBtn->Caption(), "&Close");
    // The run added a staff: the dialog's list of staves shows it.
    ASSERT_NE(dialog->ListControl(), nullptr);
    EXPECT_EQ(dialog->ListControl()->Items().Count(), 3);
}

TEST_F(ExplosionCommandTest, PartsOnTheirOwnStavesAreFinishedWithoutHostActions) {
    StartHost(R"(staff "Flute 1"
staff "Flute 2"
measures 1
notes 1 1 e5/1
notes 2 1 c5/1
)");
    Select(1, 2, 1, 1);
    // The first step only finds the parts on their staves: nothing changes yet.
    EXPECT_EQ(RunWithShift(kExplodeStaves), 0);
    ASSERT_NE(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    ASSERT_EQ(orvex::TheModule.dispatch.RunningStepObject->regions.size(), 1u);
    EXPECT_EQ(orvex::TheModule.dispatch.RunningStepObject->regions[0].sourceStaff[2], 2);
    // The select-all ends in the first step; the second finishes both staves and the run.
    win::Idle(1000);
    EXPECT_EQ(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    EXPECT_EQ(Messages(), (std::vector<std::string>{std::string(orvex::MessageText(13, 0)),
                                                    std::string(orvex::MessageText(14, 0))}));
    EXPECT_EQ(StaffCount(), 2);
}

TEST_F(ExplosionCommandTest, DecliningMoreStavesCancelsAndLeavesTheScore) {
    StartHost(kFlutes);
    Select(1, 1, 1, 2);
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Set, "Row9", "0"});   // create new staves
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Set, "Row11", "1"});  // parts per staff
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Click, "Go", ""});
    win::QueueFormAction("TMsgDlg", {win::FormAction::Kind::Click, "NoBtn", ""});
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kExplodeStaves)));
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{
                  "Physical document measure #1 appears to contain 2 parts instead of 1. Add more stave(s)?",
                  std::string(orvex::MessageText(orvex::MSG_CANCELED, 0))}));
    EXPECT_EQ(orvex::TheModule.dispatch.RunningStepObject, nullptr);
    EXPECT_EQ(StaffCount(), 2);
    EXPECT_TRUE(HasMeasureExpression());
}

/// The listing lines of the staves' cells, or of the records of a tag, that hold `part`.
std::vector<std::string> LinesWith(const std::vector<std::string>& lines, const std::string& part) {
    std::vector<std::string> found;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(found),
                 [&](const std::string& line) { return line.find(part) != std::string::npos; });
    return found;
}

// Grace notes on a two-part staff, in optimized systems: a grace note of the second voice (layer
// 2, measure 1) lets the walk finish; a turn of four grace notes before a chord stays one part's
// and the chords keep their positions (measure 2); a lone grace note goes to the part of the note
// it leads into and is no unison (measure 3). The new staff goes into both optimized systems'
// lists, after the flutes.
TEST_F(ExplosionCommandTest, GraceNotesGoToTheirPartsAndTheNewStaffToEveryOptimizedSystem) {
    StartHost(R"(staff "Flutes" "Fl."
staff "Oboe" "Ob."
measures 3
system 1 2
system 3 3
stafflist 1 1 2
stafflist 2 1
expression 1 "1./2."
measureexpression 1 1 staff 1
notes 1 1 c5/2 d5/2
notes 1 1 layer 2 r/4 b4/8g a4/4 g4/2
notes 1 2 c6/16g b5/16g a5/16g b5/16g c5+c6/2 d5+f5/2
notes 1 3 d5/8g c5+e5/2 d5+f5/2
)");
    Select(1, 1, 1, 3);
    RunWithShift(kExplodeStaves);
    FinishExplosion();
    const std::vector<std::string> cells = host::CellListing(Document(), {1, 3}, {1, 3});
    EXPECT_EQ(LinesWith(cells, "grace"),
              (std::vector<std::string>{
                  "    entry 7 at 0, 256 EDU (actual 0), grace, beam start, notes changed: C6",
                  "    entry 8 at 0, 256 EDU (actual 0), grace, beam start, notes changed: B5",
                  "    entry 9 at 0, 256 EDU (actual 0), grace, beam start, notes changed: A5",
                  "    entry 10 at 0, 256 EDU (actual 0), grace, beam start, notes changed: B5",
                  "    entry 13 at 0, 512 EDU (actual 0), grace, beam start, notes changed: D5",
                  "    entry 19 at 1024, 512 EDU (actual 0), grace, beam start: B4",
              }));
    EXPECT_EQ(LinesWith(cells, "staff 3,"), (std::vector<std::string>{"  staff 3, measure 1, layer 1: 4 entries",
                                                                      "  staff 3, measure 2, layer 1: 2 entries",
                                                                      "  staff 3, measure 3, layer 1: 2 entries"}));
    EXPECT_EQ(LinesWith(host::CellListing(Document(), {3, 3}, {2, 2}), "at "),
              (std::vector<std::string>{"    entry 26 at 0, 2048 EDU, beam start, notes changed: C5",
                                        "    entry 27 at 2048, 2048 EDU, beam start, notes changed: D5"}));
    EXPECT_EQ(LinesWith(host::RecordListing(Document(), hostapi::MakeTag("SOIu")), "staff 3"),
              (std::vector<std::string>{"'SOIu' other (0, 1), 24 bytes: staff 3, position -200",
                                        "'SOIu' other (1, 1), 24 bytes: staff 3, position -200",
                                        "'SOIu' other (2, 1), 24 bytes: staff 3, position -200"}));
}

// Soprano/alto and tenor/bass exploded over measures 2-3 of 4 with "Copy clefs?": each part ends
// on a staff whose clef fits it, and a staff that takes another staff's music takes its names. The
// tenor/bass staff, reused for the alto, reads the alto's treble clef over the range (its
// soprano/alto source has no clef record: it reads treble) and its bass clef again in measure 4;
// the new tenor and bass staves read bass over the range and their own clef after it.
TEST_F(ExplosionCommandTest, NamesAndClefsFollowTheMusic) {
    StartHost(R"(staff "Soprano/Alto" "S/A"
staff "Tenor/Bass" "T/B"
measures 4
clef 2 1 bass
expression 1 "1./2."
measureexpression 2 1 staff 1
measureexpression 2 1 staff 2
notes 1 1 c5+e4/2 d5+f4/2
notes 1 2 c5+e4/2 d5+f4/2
notes 1 3 e5+g4/1
notes 1 4 c5+e4/1
notes 2 1 g3+c3/2 a3+d3/2
notes 2 2 g3+c3/2 a3+d3/2
notes 2 3 c4+c3/1
notes 2 4 g3+c3/1
)");
    Select(1, 2, 2, 3);
    RunWithShift(kExplodeStaves);
    FinishExplosion();
    EXPECT_EQ(LinesWith(host::RecordListing(Document(), hostapi::MakeTag("SDGF")), "clef"),
              (std::vector<std::string>{"'SDGF' detail (2, 1, 0), 12 bytes: clef 3, flags 0x0000",
                                        "'SDGF' detail (2, 2, 0), 12 bytes: clef 0, flags 0x0000",
                                        "'SDGF' detail (2, 4, 0), 12 bytes: clef 3, flags 0x0000",
                                        "'SDGF' detail (3, 2, 0), 12 bytes: clef 3, flags 0x0000",
                                        "'SDGF' detail (3, 4, 0), 12 bytes: clef 0, flags 0x0000",
                                        "'SDGF' detail (4, 2, 0), 12 bytes: clef 3, flags 0x0000",
                                        "'SDGF' detail (4, 4, 0), 12 bytes: clef 0, flags 0x0000"}));
    EXPECT_EQ(LinesWith(host::RecordListing(Document(), hostapi::MakeTag("SOIS")), "full name"),
              (std::vector<std::string>{"'SOIS' other (1, 0), 66 bytes: full name \"Soprano/Alto\" (text block 1), "
                                        "abbreviated name \"S/A\" (text block 2)",
                                        "'SOIS' other (2, 0), 66 bytes: full name \"Soprano/Alto\" (text block 9), "
                                        "abbreviated name \"S/A\" (text block 10)",
                                        "'SOIS' other (3, 0), 66 bytes: full name \"Tenor/Bass\" (text block 7), "
                                        "abbreviated name \"T/B\" (text block 8)",
                                        "'SOIS' other (4, 0), 66 bytes: full name \"Tenor/Bass\" (text block 5), "
                                        "abbreviated name \"T/B\" (text block 6)"}));
    const std::vector<std::string> cells = host::CellListing(Document(), {2, 4}, {2, 2});
    EXPECT_EQ(LinesWith(cells, "at 0,"),
              (std::vector<std::string>{"    entry 19 at 0, 2048 EDU, beam start, notes changed: E4",
                                        "    entry 16 at 0, 2048 EDU, beam start, notes changed: G3",
                                        "    entry 13 at 0, 2048 EDU, beam start, notes changed: C3"}));
}

ORDINARY_MUSIC_CASES(Explosion, "tests/tools/ordinary.cases", "explosion");
ORDINARY_MUSIC_CASES(ExplosionMore, "tests/tools/ordinary-more.cases", "explosion");

}  // namespace
