// A command's road from the host's menu to the tool: the invoke entry, the options road, the
// two dispatchers with their edit bracket and result rules, and the forms of the codes below
// 100. Orvex188 runs in-process in the simulated host; the tools' handlers are replaced where a
// case needs a tool that does something.
#include <gtest/gtest.h>

#include <fstream>

#include "core/commands.h"
#include "core/dispatch.h"
#include "core/host/access_state.h"
#include "core/host/document_writes.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/key_assignments.h"
#include "core/launch_rows.h"
#include "core/lumvar_binding.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/module_exports.h"
#include "core/startup.h"
#include "core/tool_items.h"
#include "platform/host/host.h"
#include "platform/host/score_text.h"
#include "platform/win/keys.h"
#include "platform/win/menus.h"
#include "platform/win/messages.h"
#include "platform/win/win.h"
#include "service/lumvar.h"
#include "service/lumvar_exports.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;

constexpr const char* kScore = R"(
staff "Flute"
staff "Cello"
measures 4 time 4/4
)";

// Commands used below.
constexpr int32_t kTremolo = ToolCode(ToolItem::Tremolo);            // has options
constexpr int32_t kRepairTrill = ToolCode(ToolItem::TrillNotes, 2);  // dialog only in group 1
constexpr int32_t kBeforeDeleting = kBeforeDeletingMeasuresCode;
constexpr int32_t kMelismaRight = kAlignMelismaCode;
constexpr int32_t kNewSpacing = ToolCode(ToolItem::NewSpacing);
constexpr int32_t kSmartDistribution = ToolCode(ToolItem::SmartDistribution);
constexpr int32_t kAbout = CODE_ABOUT;
constexpr int32_t kUserManual = CODE_USER_MANUAL;
constexpr int32_t kJoinRests = ToolCode(ToolItem::JoinRests);  // no options

class DispatchTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
        StartHost(0x05000005);
    }

    /// A host with the duet in front and both plug-ins loaded in this process.
    void StartHost(int32_t rawVersion) {
        m_host.reset();
        ResetModule();
        lumvar::ResetModuleState();
        m_host = std::make_unique<host::Host>((TempFolder() / "Finale" / "FINALE.EXE").string());
        m_host->SetRawVersion(rawVersion);
        m_host->AddDocument(host::ParseScoreText(kScore, "duet"));
        ASSERT_TRUE(m_host->LoadInProcessPlugin("Lumvar2000.fxt", {lumvar::LumvarExport, {}}));
        ASSERT_TRUE(m_host->LoadInProcessPlugin("Orvex188.fxt", {OrvexExport, {}}));
        m_orvex = m_host->Plugins().size() - 1;
        win::ClearTranscript();
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        win::SetKeyDown(win::VK_SHIFT, false);
        DesktopTest::TearDown();
    }

    int16_t Invoke(int16_t index) { return m_host->InvokePlugin(m_orvex, index); }
    /// Chooses a command by its code (the host passes its table index).
    int16_t Choose(int32_t code) { return Invoke(static_cast<int16_t>(FindCommandIndex(code))); }

    void Select(int16_t firstStaff, int16_t lastStaff, int16_t firstMeasure, int16_t lastMeasure) {
        hostapi::SelectionRecord selection;
        selection.setFirstStaff(firstStaff);
        selection.setLastStaff(lastStaff);
        selection.setFirstMeasure(firstMeasure);
        selection.setLastMeasure(lastMeasure);
        selection.setEndEdu(INT32_MAX);
        m_host->SetSelection(selection);
    }

    /// The label texts of the message dialogs shown, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const std::string& line : win::TranscriptLines()) {
            if (line.starts_with("  label Message \"")) {
                texts.push_back(line.substr(17, line.size() - 18));
            }
        }
        return texts;
    }
    bool Shown(const std::string& line) const {
        const auto& lines = win::TranscriptLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    /// Replaces the handler of a tool item; the handler counts its runs and, when it succeeds and
    /// `writes`, changes the document (a record holding the number of runs).
    void Handle(ToolItem item, std::function<bool(TFMisc&)> body, bool writes = true) {
        Level2Handlers()[ItemSlot(item)] = [this, body, writes](TFMisc& context, int32_t,
                                                                const hostapi::SelectionRecord* region) {
            ++m_runs;
            m_lastRegion = region != nullptr ? *region : hostapi::SelectionRecord{};
            const bool done = body(context);
            if (done && writes) {
                SaveOtherRecord(hostapi::MakeTag("RUNS"), 1, 0, &m_runs, sizeof m_runs);
            }
            return done;
        };
    }

    std::unique_ptr<host::Host> m_host;
    size_t m_orvex = 0;
    int32_t m_runs = 0;
    hostapi::SelectionRecord m_lastRegion;
};

TEST_F(DispatchTest, MenuIndexOutOfRangeDoesNothing) {
    for (int16_t index : std::initializer_list<int16_t>{72, 79, 80, 500, -1}) {
        EXPECT_EQ(Invoke(index), 0) << index;
    }
    EXPECT_TRUE(win::TranscriptLines().empty());
    EXPECT_EQ(TheModule.dispatch.InvokeNesting, 0);
    EXPECT_FALSE(TheModule.process.ServicePluginBound);  // no handshake with Lumvar2000 either
}

TEST_F(DispatchTest, SkipNextInvokeSwallowsOneCall) {
    TheModule.dispatch.SkipNextInvoke = true;
    EXPECT_EQ(Choose(kAbout), 0);
    EXPECT_FALSE(TheModule.dispatch.SkipNextInvoke);
    EXPECT_TRUE(win::TranscriptLines().empty());
    Choose(kAbout);
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "[form] \"About Orvex 1.88d\" TAboutBox, modal"), lines.end());
}

// Each invocation refreshes the menu cache: a menu item that appears after the first command
// (another tool chosen in the host) is known from the next command on.
TEST_F(DispatchTest, EveryInvocationRefreshesTheMenuCache) {
    const auto cached = [](const std::string& caption) {
        return std::any_of(TheModule.options.MenuCache.begin(), TheModule.options.MenuCache.end(),
                           [&](const MenuCacheEntry& entry) { return entry.caption == caption; });
    };
    Choose(kAbout);
    EXPECT_TRUE(cached("&Edit"));
    const win::Hmenu edit = win::GetSubMenu(win::GetMenu(m_host->MainWindow()), 1);
    ASSERT_NE(edit, win::kNoMenu);
    ASSERT_TRUE(win::AppendMenu(edit, win::MF_STRING, 77001, "Speedy &Options..."));
    EXPECT_FALSE(cached("Speedy &Options..."));
    Choose(kAbout);
    EXPECT_TRUE(cached("Speedy &Options..."));
}

TEST_F(DispatchTest, ShiftRunsAToolWithOptionsAtOnce) {
    Handle(ToolItem::Tremolo, [](TFMisc&) { return true; });
    Select(1, 1, 1, 2);
    win::SetKeyDown(win::VK_SHIFT, true);
    EXPECT_EQ(Choose(kTremolo), 1);
    EXPECT_EQ(m_runs, 1);
    EXPECT_TRUE(TheModule.dispatch.ShiftHeld);
    EXPECT_TRUE(Messages().empty());
    // Without Shift the tool's options go through the options dialog first.
    win::SetKeyDown(win::VK_SHIFT, false);
    EXPECT_EQ(Choose(kTremolo), 0);  // the dialog stays open: nothing has changed yet
    EXPECT_EQ(m_runs, 1);
}

TEST_F(DispatchTest, RepairTrillNotesNeverShowsADialog) {
    Handle(ToolItem::TrillNotes, [](TFMisc& context) { return context.Group == 2; });
    Select(1, 2, 1, 1);
    EXPECT_EQ(Choose(kRepairTrill), 1);
    EXPECT_EQ(m_runs, 1);
}

TEST_F(DispatchTest, ToolWithoutOptionsRunsOverTheRegionWithAnEditBracket) {
    Handle(ToolItem::JoinRests, [](TFMisc& context) { return context.RegionMeasureCount == 3; });
    Select(2, 2, 2, 4);
    EXPECT_EQ(Choose(kJoinRests), 1);
    ASSERT_EQ(m_runs, 1);
    EXPECT_EQ(m_lastRegion.firstMeasure(), 2);
    EXPECT_EQ(m_lastRegion.lastMeasure(), 4);
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "host: progress begins over staff 2, measures 2-4: 3 steps"),
              lines.end());
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.starts_with("host: progress ends"); }),
              lines.end());
}

TEST_F(DispatchTest, FailedToolReportsNoChangeAndNoResult) {
    Handle(ToolItem::JoinRests, [](TFMisc& context) {
        context.RemovedHandleCount = 4;
        return false;
    });
    Select(1, 1, 1, 1);
    EXPECT_EQ(Choose(kJoinRests), 0);
    EXPECT_TRUE(Messages().empty());
    // A tool that succeeds with changes gets the result message with its count.
    Handle(ToolItem::JoinRests, [](TFMisc& context) {
        context.RemovedHandleCount = 4;
        return true;
    });
    EXPECT_EQ(Choose(kJoinRests), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"I removed 4 extraneous beat chart handles."});
}

// The host hears of a change only when the run changed the document: a tool that succeeds
// without writing, one that writes back what was there, and a form leave it as it was.
TEST_F(DispatchTest, OnlyARunThatChangedTheDocumentReportsAChange) {
    Select(1, 1, 1, 1);
    Handle(
        ToolItem::JoinRests, [](TFMisc&) { return true; }, false);
    EXPECT_EQ(Choose(kJoinRests), 0);
    Handle(
        ToolItem::JoinRests,
        [](TFMisc&) {
            const int32_t same = 7;
            return SaveOtherRecord(hostapi::MakeTag("SAME"), 1, 0, &same, sizeof same);
        },
        false);
    EXPECT_EQ(Choose(kJoinRests), 1);  // the record is new
    EXPECT_EQ(Choose(kJoinRests), 0);  // the same bytes again
    Handle(
        ToolItem::JoinRests,
        [](TFMisc&) {
            EntryArray* cell = LoadEntryArray(0, 1, 1, 0, 1);
            const bool saved = cell != nullptr && SaveEntryArray(cell);
            ReleaseEntryArray(cell);
            return saved;
        },
        false);
    EXPECT_EQ(Choose(kJoinRests), 0);  // the cell's entries as they were
    EXPECT_EQ(Choose(kAbout), 0);
    EXPECT_EQ(m_runs, 4);
}

// A run that changed the document and then failed or was stopped (its result is 0) still tells
// the host of the change, so that the host keeps it to be saved.
TEST_F(DispatchTest, ARunThatWroteAndThenFailedReportsTheChange) {
    Select(1, 1, 1, 1);
    Handle(
        ToolItem::JoinRests,
        [](TFMisc&) {
            const int32_t value = 9;
            SaveOtherRecord(hostapi::MakeTag("PART"), 1, 0, &value, sizeof value);
            return false;
        },
        false);
    EXPECT_EQ(Choose(kJoinRests), 1);
    // Failing again after writing the same bytes changed nothing.
    EXPECT_EQ(Choose(kJoinRests), 0);
    EXPECT_EQ(m_runs, 2);
    // A refresh run (it answers 0 and has the host redraw) that wrote tells of its change too.
    Handle(ToolItem::RemoveBeatChartElements, [](TFMisc& context) {
        context.RerunFlag = 1;
        return true;
    });
    win::SetKeyDown(win::VK_SHIFT, true);
    EXPECT_EQ(Choose(ToolCode(ToolItem::RemoveBeatChartElements)), 1);
    EXPECT_EQ(win::PendingMessages(), 2u);
    win::PumpMessages();
}

// The host numbers a note without an identifier (a placed rest's staff position read from a
// file) as it saves its cell: saving the cell's entries as they were loaded changes it then.
TEST_F(DispatchTest, ASaveTheHostNumbersReportsAChange) {
    Select(1, 1, 1, 1);
    host::Document& document = *m_host->FrontDocument();
    const host::CellKey cell{1, 1, 0};
    host::EntryBytes bytes{};
    const hostapi::EntryView entry(bytes.data());
    entry.setNumber(document.NewEntryNumber());
    entry.setDuration(4096);
    entry.setActualDuration(4096);
    entry.setFlags(hostapi::kEntryNote);
    entry.setNoteCount(1);  // its note's identifier is 0
    document.SetEntries(cell, {bytes});
    Handle(
        ToolItem::JoinRests,
        [](TFMisc&) {
            EntryArray* array = LoadEntryArray(0, 1, 1, 0, 1);
            const bool saved = array != nullptr && SaveEntryArray(array);
            ReleaseEntryArray(array);
            return saved;
        },
        false);
    EXPECT_EQ(Choose(kJoinRests), 1);
    EXPECT_NE(hostapi::ConstEntryView(document.EntriesOf(cell).front().data()).note(0).noteId(), 0);
    EXPECT_EQ(Choose(kJoinRests), 0);  // numbered now: the same save changes nothing
}

// A layout change is a change of the document only when it moves something: the host's layout
// update of a document laid out already, and Lumvar2000 adding 0 to a measure's width, are none.
TEST_F(DispatchTest, ALayoutChangeReportsAChangeOnlyWhenItMovesSomething) {
    Select(1, 1, 1, 1);
    Handle(
        ToolItem::JoinRests, [](TFMisc&) { return UpdateHostLayout(); }, false);
    Choose(kJoinRests);                // lays the document out, when it was not
    EXPECT_EQ(Choose(kJoinRests), 0);  // nothing left to move
    Handle(
        ToolItem::JoinRests,
        [](TFMisc&) {
            CallChangeLayoutInfo(6, 0, 1, 1, 0);  // measure 1's width plus 0
            return true;
        },
        false);
    EXPECT_EQ(Choose(kJoinRests), 0);
    Handle(
        ToolItem::JoinRests,
        [](TFMisc&) {
            CallChangeLayoutInfo(6, 12, 1, 1, 0);  // plus 12
            return true;
        },
        false);
    EXPECT_EQ(Choose(kJoinRests), 1);
}

TEST_F(DispatchTest, RefreshRunFollowsTheEnforceRefreshOption) {
    // Tremolo's row 1 is not a refresh option; Remove extraneous beat chart elements (item 2)
    // has "Enforce beat chart refresh?" in row 1, on by default.
    Handle(
        ToolItem::RemoveBeatChartElements,
        [](TFMisc& context) {
            context.RerunFlag = 1;
            return true;
        },
        false);
    Select(1, 1, 1, 1);
    win::SetKeyDown(win::VK_SHIFT, true);
    // A refresh run answers 0 and posts the host's redraw commands.
    EXPECT_EQ(Choose(ToolCode(ToolItem::RemoveBeatChartElements)), 0);
    EXPECT_EQ(win::PendingMessages(), 2u);
    win::PumpMessages();
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "host: command \"Redraw Screen\" [76037]"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "host: command \"Update Layout\" [76038]"), lines.end());
}

TEST_F(DispatchTest, EmptyMeasureRangeAnswersTwoWithoutRunningTheTool) {
    Handle(ToolItem::JoinRests, [](TFMisc&) { return true; });
    auto context = InitToolContext();
    TheModule.dispatch.SelectionRecords[0].setFirstMeasure(3);
    TheModule.dispatch.SelectionRecords[0].setLastMeasure(2);
    TheModule.dispatch.SelectionRecords[0].setFirstStaff(1);
    TheModule.dispatch.SelectionRecords[0].setLastStaff(1);
    TheModule.dispatch.CurrentRegion = &TheModule.dispatch.SelectionRecords[0];
    TheModule.dispatch.QuerySelectionFromHost = false;
    EXPECT_EQ(DispatchToolLevel2(*context, ItemNumber(ToolItem::JoinRests), 1, 1), 2);
    EXPECT_EQ(m_runs, 0);
}

TEST_F(DispatchTest, NoSelectionAsksForTheWholeDocument) {
    Handle(ToolItem::JoinRests, [](TFMisc&) { return true; });
    win::QueueMessageBoxAnswer(win::IDNO);
    EXPECT_EQ(Choose(kJoinRests), 0);
    EXPECT_EQ(m_runs, 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"No region selected. Process the whole document?"});
    win::QueueMessageBoxAnswer(win::IDYES);
    EXPECT_EQ(Choose(kJoinRests), 1);
    ASSERT_EQ(m_runs, 1);
    EXPECT_EQ(m_lastRegion.firstMeasure(), 1);
    EXPECT_EQ(m_lastRegion.lastMeasure(), 4);
    EXPECT_EQ(m_lastRegion.lastStaff(), 2);
}

TEST_F(DispatchTest, ScrollViewOnlyToolsRefuseAnotherView) {
    Handle(ToolItem::SmartDistribution, [](TFMisc&) { return true; });
    Select(1, 2, 1, 2);
    hostapi::SelectionRecord inPageView = *m_host->Selection();
    inPageView.setViewKey(3);
    m_host->SetSelection(inPageView);
    win::SetKeyDown(win::VK_SHIFT, true);
    EXPECT_EQ(Choose(kSmartDistribution), 0);
    EXPECT_EQ(m_runs, 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{
                              "This plug-in can be used in scroll view only, and only with staff set: All Staves"});
}

TEST_F(DispatchTest, MeasureCommandsAreRefusedFromHostYear2001) {
    StartHost(0x06000200);
    EXPECT_EQ(Choose(kBeforeDeleting), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(Messages()[0].starts_with("This command is no longer needed in this version of Finale."));
}

TEST_F(DispatchTest, MelismaCommandRunsAsItem13FromHostYear1998) {
    Handle(ToolItem::LeftAlignMelisma, [](TFMisc& context) { return context.Group == 1; });
    Handle(ToolItem::MoveSyllables, [](TFMisc&) { return true; });
    Select(1, 1, 1, 1);
    win::SetKeyDown(win::VK_SHIFT, true);
    EXPECT_EQ(Choose(kMelismaRight), 1);
    EXPECT_EQ(m_runs, 1);
}

TEST_F(DispatchTest, BusyCommandAnswersZeroSilently) {
    Handle(ToolItem::JoinRests, [](TFMisc&) { return true; });
    Select(1, 1, 1, 1);
    TheModule.dispatch.CommandBusy[static_cast<size_t>(FindCommandIndex(kJoinRests))] = 1;
    EXPECT_EQ(Choose(kJoinRests), 0);
    EXPECT_EQ(m_runs, 0);
    EXPECT_TRUE(win::TranscriptLines().size() <= 1);  // at most the one-time debug line
}

// The smart split point has no table entry: a key launch runs it with a busy flag of its own,
// not entry 0's, and on option rows that are all 0.
TEST_F(DispatchTest, AKeyLaunchedCommandHasABusyFlagOfItsOwn) {
    std::vector<int32_t> rows;
    Handle(ToolItem::SmartSplitPoint, [&rows](TFMisc& context) {
        EXPECT_EQ(context.Item, ItemNumber(ToolItem::SmartSplitPoint));
        EXPECT_EQ(context.Group, 1);
        for (const OptionElement& row : context.Options) {
            rows.push_back(row.value);
        }
        return true;
    });
    Select(1, 2, 1, 1);
    TheModule.dispatch.CommandBusy[0] = 1;  // the explorer, table entry 0, is running
    TheModule.process.ToolOptionsA[alignrow::kMode].value = 7;
    TheModule.dispatch.RerunCode = kSmartSplitPointCode;
    EXPECT_EQ(Choose(kJoinRests), 1);
    EXPECT_EQ(m_runs, 1);
    EXPECT_EQ(rows, std::vector<int32_t>(kOptionRows, 0));
    EXPECT_EQ(TheModule.dispatch.RerunCode, 0);
    EXPECT_EQ(TheModule.dispatch.KeyCommandBusy[ItemSlot(ToolItem::SmartSplitPoint)], 0);
    // The smart split point itself is running.
    TheModule.dispatch.KeyCommandBusy[ItemSlot(ToolItem::SmartSplitPoint)] = 1;
    TheModule.dispatch.RerunCode = kSmartSplitPointCode;
    EXPECT_EQ(Choose(kJoinRests), 0);
    EXPECT_EQ(m_runs, 1);
}

TEST_F(DispatchTest, ACommandChosenWhileTheSecondPassWaitsRunsAfterIt) {
    std::vector<int32_t> passes;
    Handle(ToolItem::NewSpacing, [&passes](TFMisc& context) {
        passes.push_back(context.LaterStepPending);
        return true;
    });
    Handle(ToolItem::ShiftLyrics, [](TFMisc&) { return true; });  // run by the first pass
    Select(1, 2, 1, 2);
    const win::Hhook keyboardHook = TheModule.hooks.KeyboardHook;
    win::SetKeyDown(win::VK_SHIFT, true);
    Choose(kNewSpacing);
    win::SetKeyDown(win::VK_SHIFT, false);
    EXPECT_EQ(passes, std::vector<int32_t>{0});
    EXPECT_EQ(TheModule.dispatch.RepostCode, kNewSpacing);
    // The hooks are put at the head of the chains again, so that they see the waiting step's keys.
    EXPECT_NE(TheModule.hooks.KeyboardHook, keyboardHook);
    EXPECT_EQ(Messages().front(),
              "The New Spacing process will now be started. Please do not touch either mouse or "
              "keyboard until it has finished. Do not try to interrupt this process.");
    // A command the user chooses for the document before the timer's call comes is the user's
    // own: the second pass runs first (it takes back what the first pass prepared), then the
    // command itself.
    win::ClearTranscript();
    Choose(kAbout);
    EXPECT_EQ(passes, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(TheModule.dispatch.RepostCode, 0);  // the keyboard hook takes the user's keys again
    EXPECT_TRUE(Messages().front().starts_with("The New Spacing process has successfully terminated."));
    EXPECT_EQ(std::count_if(win::TranscriptLines().begin(), win::TranscriptLines().end(),
                            [](const std::string& l) { return l.find("TAboutBox") != std::string::npos; }),
              1);
}

struct SpacingKeysCase {
    const char* name;
    host::Language language;
    int32_t rawVersion;
};
void PrintTo(const SpacingKeysCase& c, std::ostream* os) {
    *os << c.name;
}

class NewSpacingKeysTest : public DispatchTest, public ::testing::WithParamInterface<SpacingKeysCase> {};

TEST_P(NewSpacingKeysTest, TheHostSpacesAndTheSecondPassFollowsByItself) {
    m_host.reset();
    ResetModule();
    lumvar::ResetModuleState();
    m_host = std::make_unique<host::Host>((TempFolder() / "Finale" / "FINALE.EXE").string());
    m_host->SetRawVersion(GetParam().rawVersion);
    m_host->SetLanguage(GetParam().language);
    m_host->AddDocument(host::ParseScoreText(kScore, "duet"));
    ASSERT_TRUE(m_host->LoadInProcessPlugin("Lumvar2000.fxt", {lumvar::LumvarExport, {}}));
    ASSERT_TRUE(m_host->LoadInProcessPlugin("Orvex188.fxt", {OrvexExport, {}}));
    m_orvex = m_host->Plugins().size() - 1;
    win::Idle(1000);  // the product menu is built
    win::ClearTranscript();

    std::vector<int32_t> passes;
    Handle(ToolItem::NewSpacing, [&passes](TFMisc& context) {
        passes.push_back(context.LaterStepPending);
        return true;
    });
    Handle(ToolItem::ShiftLyrics, [](TFMisc&) { return true; });
    Select(1, 2, 1, 2);
    win::SetKeyDown(win::VK_SHIFT, true);
    Choose(kNewSpacing);
    win::SetKeyDown(win::VK_SHIFT, false);
    EXPECT_EQ(passes, std::vector<int32_t>{0});
    // The keys reach the host after the call: Alt+G, the menu keys, the keypad plus; the timer
    // then brings the second pass without another command.
    win::Idle(1000);
    EXPECT_EQ(passes, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(TheModule.dispatch.RepostCode, 0);
    const auto& lines = win::TranscriptLines();
    const auto spaced = std::find(lines.begin(), lines.end(), "host: Apply Note Spacing: 2 measures respaced (1-2)");
    ASSERT_NE(spaced, lines.end());
    const auto done = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("The New Spacing process has successfully terminated.") != std::string::npos ||
               line.find("Das Neue Ausrichten ist beendet") != std::string::npos;
    });
    EXPECT_LT(spaced, done) << "the host spaces between the two passes";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Hosts, NewSpacingKeysTest, ::testing::Values(
    SpacingKeysCase{"English2000", host::Language::English, 0x05000005},
    SpacingKeysCase{"English2001", host::Language::English, 0x06000200},
    SpacingKeysCase{"German2000",  host::Language::German,  0x05000005},
    SpacingKeysCase{"German2002",  host::Language::German,  0x07000001},
    SpacingKeysCase{"Italian1998", host::Language::Italian, 0x04000001}),
    [](const ::testing::TestParamInfo<SpacingKeysCase>& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(DispatchTest, NewSpacingWaitsWhileAnotherDocumentIsInFront) {
    win::Idle(1000);  // the product menu is built
    int32_t secondPasses = 0;
    Handle(ToolItem::NewSpacing, [&secondPasses](TFMisc& context) {
        secondPasses += context.LaterStepPending;
        return true;
    });
    Handle(ToolItem::ShiftLyrics, [](TFMisc&) { return true; });
    Select(1, 2, 1, 2);
    win::SetKeyDown(win::VK_SHIFT, true);
    Choose(kNewSpacing);
    win::SetKeyDown(win::VK_SHIFT, false);
    // Another document comes to the front before the keys for the host's note spacing arrive.
    m_host->AddDocument(host::ParseScoreText(kScore, "other"));
    win::ClearTranscript();
    // A command for the other document runs as itself and leaves the pass waiting.
    EXPECT_EQ(Choose(kAbout), 0);
    EXPECT_TRUE(Shown("[form] \"About Orvex 1.88d\" TAboutBox, modal"));
    // The keys are held back (the other document is not spaced), the timer ticks on and the user
    // is told once.
    win::Idle(3000);
    EXPECT_EQ(secondPasses, 0);
    EXPECT_FALSE(Shown("host: Apply Note Spacing: 2 measures respaced (1-2)"));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(Messages()[0].starts_with("WARNING: you have switched to a different Finale file"));
    // Back on the first document the host spaces it, and the pass follows.
    m_host->BringToFront(1);
    win::Idle(1000);
    EXPECT_TRUE(Shown("host: Apply Note Spacing: 2 measures respaced (1-2)"));
    EXPECT_EQ(secondPasses, 1);
    EXPECT_EQ(TheModule.dispatch.RepostCode, 0);
}

TEST_F(DispatchTest, MeasureCommandsRunBeforeHostYear2001) {
    StartHost(0x5FFFFFF);
    Handle(ToolItem::BeforeDeletingMeasures, [](TFMisc&) { return true; });
    Select(1, 1, 2, 3);
    EXPECT_EQ(Choose(kBeforeDeleting), 1);
    EXPECT_EQ(m_runs, 1);
}

TEST_F(DispatchTest, BracketClosesWithTheFailureFlag) {
    Handle(ToolItem::JoinRests, [](TFMisc&) { return false; });
    Select(1, 2, 1, 3);
    Choose(kJoinRests);
    std::vector<std::string> progress;
    for (const std::string& line : win::TranscriptLines()) {
        if (line.starts_with("host: progress")) {
            progress.push_back(line);
        }
    }
    testsupport::ExpectLines({"host: progress begins over staves 1-2, measures 1-3: 3 steps",
                              "host: progress ends after 0 of 3 steps (stopped)"},
                             progress);
}

TEST_F(DispatchTest, SkippedWholeDocumentQuestionTakesItsRememberedAnswer) {
    Handle(ToolItem::JoinRests, [](TFMisc&) { return true; });
    win::QueueFormAction("TMsgDlg", {win::FormAction::Kind::Set, "Skip", "checked"});
    win::QueueFormAction("TMsgDlg", {win::FormAction::Kind::Click, "NoBtn", ""});
    EXPECT_EQ(Choose(kJoinRests), 0);
    EXPECT_EQ(TheModule.process.ShowMessagesText.substr(0, 11), "11111111110");
    EXPECT_EQ(TheModule.process.LastAnswersText.substr(0, 11), "00000000007");
    // Not asked again: the remembered No runs nothing.
    win::ClearTranscript();
    EXPECT_EQ(Choose(kJoinRests), 0);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(m_runs, 0);
    // A remembered Yes processes the whole document without asking.
    TheModule.process.LastAnswersText[10] = '6';
    EXPECT_EQ(Choose(kJoinRests), 1);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(m_runs, 1);
}

TEST_F(DispatchTest, WithoutWholeDocumentTheSelectionIsRequired) {
    win::SetKeyDown(win::VK_SHIFT, true);
    EXPECT_EQ(Choose(ToolCode(ToolItem::CueNotes)), 0);  // Add Cue Notes needs a selected staff
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Please select a region with the mass mover tool before using this command."});
    win::ClearTranscript();
    Select(1, 2, 1, 1);
    EXPECT_EQ(Choose(ToolCode(ToolItem::CueNotes)), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Please select one staff as source for the the cue notes"});
}

TEST_F(DispatchTest, ProgressCaptionOfTheMelismaCommand) {
    auto context = InitToolContext();
    context->Item = ItemNumber(ToolItem::MoveSyllables);
    context->Group = 2;
    EXPECT_EQ(ProgressCaption(*context), "Move melisma syllables to the right 1.88d");
    EXPECT_EQ(context->OwnerWindow, Host().window);
    EXPECT_EQ(context->StaffSystems, nullptr);
}

// A name whose dots stand apart ("More ...", "Vx &Entfernen... ") keeps no double blank.
TEST_F(DispatchTest, CaptionsKeepNoBlankWhereTheDotsWereCut) {
    EXPECT_EQ(ToolTitle(11, 1) + TheModule.process.VersionText, "More 1.88d");
    TheAccessLayer.host.language = 1;
    EXPECT_EQ(ToolTitle(1, 1) + TheModule.process.VersionText, "Entfernen 1.88d");
}

TEST_F(DispatchTest, AboutBoxInGerman) {
    TheAccessLayer.host.language = 1;
    Choose(kAbout);
    const auto lines =
        testsupport::LinesStartingWith(win::TranscriptLines(), "[form] \"Über Orvex 1.88d\" TAboutBox, modal", "  ");
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "  label Label1 \"Orvex Plug-In Collection für Finale 1.88d\"");
    EXPECT_EQ(lines[3], "  label Label4 \"Dokumentation, Updates und Support:\"");
}

TEST_F(DispatchTest, UserManualIsOpenedWithTheShell) {
    namespace fs = std::filesystem;
    EXPECT_EQ(Choose(kUserManual), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_TRUE(Messages()[0].starts_with("The user manual could not be found."));
    // No German text: a German host shows the English one.
    fs::create_directories(TempFolder() / "Finale" / "User Manual");
    std::ofstream(TempFolder() / "Finale" / "User Manual" / "Orvex1.80.pdf") << "%PDF";
    win::ClearTranscript();
    TheAccessLayer.host.language = 1;
    EXPECT_EQ(Choose(kUserManual), 0);
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(win::ShellRequests().size(), 1u);
    EXPECT_EQ(win::ShellRequests()[0], "open " + (TempFolder() / "Finale" / "User Manual" / "Orvex1.80.pdf").string());
}

TEST_F(DispatchTest, ReportingAnErrorOutsideACommandKeepsTheNesting) {
    TheModule.dispatch.InvokeNesting = 0;
    ReportException(win::kNoWindow, std::runtime_error("late"));
    EXPECT_EQ(TheModule.dispatch.InvokeNesting, 0);
    Handle(ToolItem::JoinRests, [](TFMisc&) -> bool { throw std::runtime_error("List index out of bounds (3)"); });
    Select(1, 1, 1, 1);
    EXPECT_EQ(Choose(kJoinRests), 0);
    EXPECT_EQ(TheModule.dispatch.InvokeNesting, 0);
    EXPECT_EQ(TheModule.dispatch.CommandBusy[static_cast<size_t>(FindCommandIndex(kJoinRests))], 0);
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  | List index out of bounds (3)"), lines.end());
}

}  // namespace
