// The host's undo history: what a plug-in changes through the services, one step per edit
// bracket, taken back by Undo and made again by Redo (the Edit menu, Ctrl+Z and Ctrl+Y), with the
// transcript listing what each step changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/host.h"
#include "platform/host/score_text.h"
#include "platform/host/undo_journal.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/entry_points.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/services.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/transcript.h"
#include "platform/win/windows.h"
#include "tests/support/fake_plugin.h"
#include "tests/support/fixture.h"

namespace {

using hostapi::MakeTag;
using Keys = std::array<int16_t, 3>;

constexpr hostapi::InterfaceVersion kVersion = hostapi::kInterfaceVersion;
constexpr hostapi::Tag kTagBlock = MakeTag("otMx");

template <typename Fn>
Fn Service(hostapi::Service ordinal) {
    return reinterpret_cast<Fn>(host::ServiceByOrdinal(static_cast<int32_t>(ordinal)));
}

constexpr const char* kScore = R"(
staff "Flute"
measures 2
notes 1 1 c5/4 d5/4 e5/2
)";

class UndoTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        m_host = std::make_unique<host::Host>();
        m_host->AddDocument(host::ParseScoreText(kScore, "undo"));
        // Three records of one family (measure 1's links 0, 1, 2) and one of measure 2.
        for (int16_t inci = 0; inci < 3; ++inci) {
            Doc().Records().Save(host::RecordKey::Other(kTagBlock, 1, inci), {static_cast<uint8_t>(10 + inci), 0});
        }
        Doc().Records().Save(host::RecordKey::Other(kTagBlock, 2, 0), {20, 0});
        win::ClearTranscript();
    }
    void TearDown() override {
        m_host.reset();
        DesktopTest::TearDown();
    }
    host::Document& Doc() { return *m_host->FrontDocument(); }

    int32_t Begin() { return begin(nullptr, 1, kVersion); }
    void End(int32_t handle) { end(handle, 0, kVersion); }
    void Save(int16_t cmper, int16_t inci, uint8_t value) {
        Keys keys{cmper, inci, 0};
        const std::vector<uint8_t> bytes{value, 0};
        save(kTagBlock, keys.data(), bytes.data(), 2, kVersion);
    }
    void Delete(int16_t cmper, int16_t inci) {
        Keys keys{cmper, inci, 0};
        erase(kTagBlock, keys.data(), kVersion);
    }
    /// The family of measure 1's links as "inci=value".
    std::vector<std::string> Links(int16_t cmper = 1) {
        std::vector<std::string> links;
        for (const auto& [key, bytes] :
             host::FamilyRecords(Doc().Records(), host::RecordKey::Other(kTagBlock, cmper, 0))) {
            links.push_back(std::to_string(key.second) + "=" + std::to_string(bytes[0]));
        }
        return links;
    }

    const hostapi::BeginProgressFn begin = Service<hostapi::BeginProgressFn>(hostapi::Service::BeginProgress);
    const hostapi::EndProgressFn end = Service<hostapi::EndProgressFn>(hostapi::Service::EndProgress);
    const hostapi::SaveRecordFn save = Service<hostapi::SaveRecordFn>(hostapi::Service::SaveRecord);
    const hostapi::DeleteRecordFn erase = Service<hostapi::DeleteRecordFn>(hostapi::Service::DeleteRecord);
    const hostapi::CreateRecordFn create = Service<hostapi::CreateRecordFn>(hostapi::Service::CreateRecord);
    std::unique_ptr<host::Host> m_host;
};

TEST_F(UndoTest, AStepTakesItsRecordsBackAndRedoMakesThemAgain) {
    const host::RecordStore before = Doc().Records();
    const int32_t handle = Begin();
    Delete(1, 0);  // links 1 and 2 move down to 0 and 1
    Save(1, 1, 99);
    Keys keys{-1, 0, 0};
    const std::vector<uint8_t> fresh{7, 0};
    ASSERT_EQ(create(kTagBlock, keys.data(), fresh.data(), 2, kVersion), 1);  // a new measure key, 3
    End(handle);
    ASSERT_EQ(Links(), (std::vector<std::string>{"0=11", "1=99"}));
    const host::RecordStore after = Doc().Records();

    win::ClearTranscript();
    m_host->Undo();
    EXPECT_TRUE(Doc().Records() == before);
    EXPECT_EQ(Links(), (std::vector<std::string>{"0=10", "1=11", "2=12"}));
    m_host->Redo();
    EXPECT_TRUE(Doc().Records() == after);
    testsupport::ExpectLines(
        {"host: undo \"Change\": 0 cells, 4 records", "  'otMx' other (1, 0)", "  'otMx' other (1, 1)",
         "  'otMx' other (1, 2)", "  'otMx' other (3, 0)", "host: redo \"Change\": 0 cells, 4 records",
         "  'otMx' other (1, 0)", "  'otMx' other (1, 1)", "  'otMx' other (1, 2)", "  'otMx' other (3, 0)"},
        win::TranscriptLines());
}

TEST_F(UndoTest, OneStepPerBracketAndANewStepDropsTheRedo) {
    End(Begin());  // a bracket without changes leaves no step
    int32_t handle = Begin();
    Save(1, 0, 50);
    End(handle);
    handle = Begin();
    Save(2, 0, 60);
    Save(2, 0, 60);
    End(handle);
    Save(1, 1, 11);  // the same bytes: no change, no step
    m_host->CloseUndoSteps();
    ASSERT_EQ(Doc().History()->UndoCount(), 2u);

    m_host->Undo();
    EXPECT_EQ(Links(2), std::vector<std::string>{"0=20"});
    EXPECT_EQ(Links(1)[0], "0=50") << "the first bracket stays";
    m_host->Undo();
    EXPECT_EQ(Links(1)[0], "0=10");
    EXPECT_EQ(Doc().History()->RedoCount(), 2u);
    // A new change: what was undone can no longer be redone.
    End([&] {
        const int32_t h = Begin();
        Save(1, 2, 70);
        return h;
    }());
    EXPECT_EQ(Doc().History()->RedoCount(), 0u);
    win::ClearTranscript();
    m_host->Redo();
    testsupport::ExpectLines({"host: nothing to redo"}, win::TranscriptLines());
}

TEST_F(UndoTest, CellsAndFontsComeBack) {
    const host::CellEntries cell = Doc().EntriesOf({1, 1, 0});
    const auto load = Service<hostapi::LoadEntryArrayFn>(hostapi::Service::LoadEntryArray);
    const auto saveArray = Service<hostapi::SaveEntryArrayFn>(hostapi::Service::SaveEntryArray);
    const auto release = Service<hostapi::ReleaseEntryArrayFn>(hostapi::Service::ReleaseEntryArray);
    const auto fontNumber = Service<hostapi::FontNumberFn>(hostapi::Service::FontNumber);
    hostapi::EntryArray* array = load(0, 1, 1, 0, 1, kVersion);
    ASSERT_NE(array, nullptr);
    array->count = 1;
    saveArray(array, kVersion);
    release(array, kVersion);
    fontNumber("Maestro", kVersion);
    m_host->CloseUndoSteps();
    EXPECT_EQ(Doc().EntriesOf({1, 1, 0}).size(), 1u);

    m_host->Undo();
    EXPECT_EQ(Doc().EntriesOf({1, 1, 0}), cell);
    EXPECT_TRUE(Doc().Fonts().empty());
    testsupport::ExpectLines({"host: undo \"Change\": 1 cell, 0 records, fonts", "  staff 1, measure 1, layer 1"},
                             win::TranscriptLines());
}

// Undo and Redo write through the same notes as any command: a command that runs them reports
// what they put back, and they open no step of their own.
TEST_F(UndoTest, WhatUndoAndRedoPutBackIsInTheChangeSummary) {
    Save(1, 0, 42);
    Delete(1, 2);
    m_host->CloseUndoSteps();
    std::vector<host::DocumentReport> reports = m_host->TrackChanges([&] { m_host->Undo(); });
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].changes->Summary(), "records 'otMx' 1 changed, 1 added");
    EXPECT_EQ(Links(), (std::vector<std::string>{"0=10", "1=11", "2=12"}));
    reports = m_host->TrackChanges([&] { m_host->Redo(); });
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].changes->Summary(), "records 'otMx' 1 changed, 1 deleted");
    m_host->CloseUndoSteps();
    EXPECT_EQ(Doc().History()->UndoCount(), 1u);
    EXPECT_EQ(Doc().History()->RedoCount(), 0u);
}

TEST_F(UndoTest, TheEditMenuAndTheKeysUndoAndRedo) {
    Save(1, 0, 42);
    m_host->CloseUndoSteps();
    m_host->RunCommandId(host::kUndoCommand);
    EXPECT_EQ(Links()[0], "0=10");
    win::QueueUserKey('Y', false, true, false);
    win::RunMessageLoop();
    EXPECT_EQ(Links()[0], "0=42");
    win::QueueUserKey('Z', false, true, false);
    win::RunMessageLoop();
    EXPECT_EQ(Links()[0], "0=10");
    m_host->RunCommandId(host::kRedoCommand);
    EXPECT_EQ(Links()[0], "0=42");
    m_host->RunCommandId(m_host->FindMenuCommand("Edit/Undo"));
    EXPECT_EQ(Links()[0], "0=10");
}

TEST_F(UndoTest, StepsAreNamedByWhatMadeThem) {
    // A window of a plug-in that acts on its own.
    const win::Hwnd dialog = win::CreateWindow({"TDActOpt", "Remove 1.88d"});
    win::SetForegroundWindow(dialog);
    Save(1, 0, 1);
    m_host->CloseUndoSteps();
    win::SetForegroundWindow(m_host->MainWindow());
    win::DestroyWindow(dialog);
    m_host->RunHostEdit("Paste", [&] { Save(1, 0, 2); });
    EXPECT_EQ(Doc().History()->NextUndo()->name, "Paste");
    m_host->Undo();
    EXPECT_EQ(Doc().History()->NextUndo()->name, "Remove 1.88d");
}

TEST_F(UndoTest, TheHistoryKeepsTheLastHundredSteps) {
    for (int32_t step = 0; step < 101; ++step) {
        Save(1, 0, static_cast<uint8_t>(step));
        m_host->CloseUndoSteps();
    }
    EXPECT_EQ(Doc().History()->UndoCount(), host::kMaxUndoSteps);
    while (Doc().History()->UndoCount() > 0) {
        m_host->Undo();
    }
    EXPECT_EQ(Links()[0], "0=0") << "the first step is no longer in the history";
}

// What one call of a plug-in changes is one step, its edit brackets and what it changes outside
// them together: one Undo takes a command of one call back whole.
TEST_F(UndoTest, WhatOneCallChangesIsOneStep) {
    m_host->CallPlugin("Sorter.fxt", "FinaleExtensionInvoke", [&] {
        int32_t handle = Begin();
        Save(1, 0, 50);  // the placements, renumbered inside a bracket
        End(handle);
        Save(2, 0, 60);  // the texts, written after it
        handle = Begin();
        Delete(1, 2);
        End(handle);
        return 0;
    });
    EXPECT_EQ(Doc().History()->UndoCount(), 1u);
    m_host->Undo();
    EXPECT_EQ(Links(), (std::vector<std::string>{"0=10", "1=11", "2=12"}));
    EXPECT_EQ(Links(2), std::vector<std::string>{"0=20"});
}

/// A plug-in with one menu entry, "Explode", whose call changes nothing.
win::ModuleExports OneEntryPlugin() {
    win::ModuleExports exports = testsupport::FakePluginExports(
        +[](win::Hwnd, int16_t, const uint8_t*, const uint8_t*) -> int16_t { return 0; });
    const auto fake = exports.byName;
    exports.byName = [fake](std::string_view name) -> void* {
        if (name == hostapi::kEnumerateEntry) {
            return reinterpret_cast<void*>(+[](void*, int16_t index, uint8_t* record) -> int16_t {
                if (index > 0) {
                    return 0;
                }
                const char text[] = "Explode";
                std::copy(std::begin(text), std::end(text), record + hostapi::MenuRecord::kMenuText);
                return 1;
            });
        }
        return fake(name);
    };
    return exports;
}

// The host's Clear carried out by keys that a plug-in sent for one of its commands (the keys'
// extra information is the command's identifier) is named after that command; typed by the user,
// it is "Clear".
TEST_F(UndoTest, AHostEditByAPluginsKeysIsNamedAfterItsCommand) {
    ASSERT_TRUE(m_host->LoadInProcessPlugin("Explode.fxt", OneEntryPlugin()));
    ASSERT_EQ(m_host->Plugins().back().commandIds.size(), 1u);
    const uint32_t command = m_host->Plugins().back().commandIds[0];
    m_host->SetSelection(m_host->DocumentRegion());
    win::SetFocus(m_host->MainWindow());
    win::keybd_event(static_cast<uint8_t>(win::VK_BACK), 14, 0, command);
    win::keybd_event(static_cast<uint8_t>(win::VK_BACK), 14, win::KEYEVENTF_KEYUP, command);
    win::RunMessageLoop();
    ASSERT_EQ(Doc().History()->UndoCount(), 1u);
    EXPECT_EQ(Doc().History()->NextUndo()->name, "Explode");
    m_host->Undo();
    win::QueueUserKey(win::VK_BACK, false, false, false);
    win::RunMessageLoop();
    EXPECT_EQ(Doc().History()->NextUndo()->name, "Clear");
}

}  // namespace
