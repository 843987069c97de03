// What a command changed, as the host computes it from two states of a document; and the
// virtual clock's waits, which jump from one due timer to the next.
#include <gtest/gtest.h>

#include <functional>

#include "platform/host/document_changes.h"
#include "platform/host/host.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "platform/win/timers.h"
#include "platform/win/transcript.h"
#include "tests/support/case_names.h"
#include "tests/support/fake_plugin.h"
#include "tests/support/fixture.h"

namespace {

const char* const kTrio = R"(staff "A"
staff "B"
measures 2 time 3/4
notes 1 1 c4/4 d4/4 e4/4
notes 2 1 c3/2.
)";

class DocumentChangesTest : public testsupport::DesktopTest {
protected:
    std::unique_ptr<host::Document> before = host::ParseScoreText(kTrio, "trio");
    std::unique_ptr<host::Document> after = host::ParseScoreText(kTrio, "trio");
};

TEST_F(DocumentChangesTest, NothingChangedSaysSo) {
    const host::DocumentChanges changes = host::CompareDocuments(*before, *after);
    EXPECT_TRUE(changes.Empty());
    EXPECT_EQ(changes.Summary(), "nothing changed");
    EXPECT_TRUE(host::ChangeListing(changes, *before, *after).empty());
}

TEST_F(DocumentChangesTest, EntriesAreMatchedByNumberAndRecordsCountedByTag) {
    const host::CellKey first{1, 1, 0};
    host::CellEntries entries = after->EntriesOf(first);
    ASSERT_EQ(entries.size(), 3u);
    // The second entry is changed, the third deleted, and one is added behind.
    hostapi::EntryView(entries[1].data()).setDuration(512);
    host::EntryBytes added = entries[2];
    entries.pop_back();
    hostapi::EntryView(added.data()).setNumber(99);
    entries.push_back(added);
    after->SetEntries(first, entries);
    after->SetEntries({2, 1, 0}, {});  // the cell of staff 2 goes
    const host::RecordKey measure = host::RecordKey::Other(hostapi::MakeTag("SOMS"), 2, 0);
    after->Records().Delete(measure);
    after->Records().Save(host::RecordKey::Other(hostapi::MakeTag("otBC"), 1, 0), {1, 2});
    after->Records().Save(host::RecordKey::Other(hostapi::MakeTag("otBC"), 1, 1), {3, 4});

    const host::DocumentChanges changes = host::CompareDocuments(*before, *after);
    EXPECT_EQ(changes.cells, 2u);
    EXPECT_EQ(changes.Summary(),
              "2 cells (1 entry changed, 1 added, 2 deleted); records 'SOMS' 1 deleted, 'otBC' 2 added");
    const std::vector<std::string> listing = host::ChangeListing(changes, *before, *after);
    ASSERT_GE(listing.size(), 4u);
    EXPECT_EQ(listing[0], "  staff 1, measure 1, layer 1:");
    EXPECT_EQ(listing[1].substr(0, 24), "  -   entry 2 at 1024, 1");
    EXPECT_EQ(listing[2].substr(0, 26), "  +   entry 2 at 1024, 512");
    EXPECT_EQ(listing.back(), "  + 'otBC' other (1, 1), 2 bytes: 0304");
}

// Entries that share a number are matched in their order, each entry before with one after: the
// first entry after of a number is compared with the first before of it, a further one after is
// added, and an entry before whose number is still there is not deleted.
TEST_F(DocumentChangesTest, EntriesOfOneNumberAreMatchedOnceInTheirOrder) {
    const host::CellKey first{1, 1, 0};
    host::CellEntries entries = after->EntriesOf(first);
    ASSERT_EQ(entries.size(), 3u);
    const hostapi::EntryNumber shared = hostapi::EntryView(entries[0].data()).number();
    hostapi::EntryView(entries[1].data()).setNumber(shared);
    before->SetEntries(first, entries);
    after->SetEntries(first, entries);
    // After: the third entry changed and put first, then the two entries of the shared number,
    // the second of them changed.
    host::CellEntries changed = {entries[2], entries[0], entries[1]};
    hostapi::EntryView(changed[0].data()).setDuration(512);
    hostapi::EntryView(changed[2].data()).setDuration(256);

    after->BeginJournal();
    after->SetEntries(first, changed);
    const host::Document::Journal journal = after->EndJournal();
    const host::DocumentChanges whole = host::CompareDocuments(*before, *after);
    EXPECT_EQ(whole.Summary(), "1 cell (1 entry changed, 1 added)");
    EXPECT_EQ(host::ChangesSince(journal, *after).Summary(), whole.Summary());
    ASSERT_EQ(whole.entries.size(), 2u);
    EXPECT_EQ(whole.entries[0].kind, host::ChangeKind::Changed);
    EXPECT_EQ(whole.entries[0].after, changed[0]);
    EXPECT_EQ(whole.entries[1].kind, host::ChangeKind::Added);
    EXPECT_EQ(whole.entries[1].after, changed[2]);
}

// The host finds a command's changes from a journal of the keys and cells it wrote; that gives
// the same changes and the same listing as comparing the whole document before and after, and
// leaves the document as it is.
TEST_F(DocumentChangesTest, AJournalGivesWhatComparingTheWholeDocumentGives) {
    after->BeginJournal();
    host::CellEntries entries = after->EntriesOf({1, 1, 0});
    hostapi::EntryView(entries[0].data()).setDuration(512);
    entries.pop_back();
    after->SetEntries({1, 1, 0}, entries);
    after->SetEntries({2, 1, 0}, {});
    after->SetEntries({2, 2, 1}, after->EntriesOf({2, 1, 0}));  // empty: no change
    after->SetEntries({1, 2, 0}, before->EntriesOf({2, 1, 0}));
    host::RecordStore& records = after->Records();
    const hostapi::Tag beats = hostapi::MakeTag("otBC");
    for (int16_t inci = 0; inci < 4; ++inci) {
        records.Save(host::RecordKey::Other(beats, 1, inci), {static_cast<uint8_t>(inci)});
    }
    records.Delete(host::RecordKey::Other(beats, 1, 1));  // incis 2 and 3 move down
    records.Save(host::RecordKey::Other(hostapi::MakeTag("SOMS"), 1, 0),
                 *records.Find(host::RecordKey::Other(hostapi::MakeTag("SOMS"), 1, 0)));
    records.Delete(host::RecordKey::Other(hostapi::MakeTag("SOMS"), 2, 0));
    ASSERT_TRUE(records.Create(host::RecordKey::Other(hostapi::MakeTag("txbl"), -1, 0), {'x', 0}));
    after->Fonts()[7] = "Petrucci";
    const host::Document::Journal journal = after->EndJournal();

    const host::DocumentChanges whole = host::CompareDocuments(*before, *after);
    const host::DocumentChanges found = host::ChangesSince(journal, *after);
    EXPECT_EQ(found.Summary(), whole.Summary());
    EXPECT_EQ(found.Summary(),
              "3 cells (1 entry changed, 1 added, 2 deleted); records 'SOMS' 1 deleted, 'otBC' 3 added, "
              "'txbl' 1 added; 1 font");
    const host::Document kept = *after;
    EXPECT_EQ(host::ChangeListingSince(found, journal, *after), host::ChangeListing(whole, *before, *after));
    EXPECT_TRUE(after->SameContent(kept)) << "the listing puts the document back as it was";
    EXPECT_FALSE(after->Journaling());
}

// The host makes a command's listing when `dump changes` asks for it; a later write to the
// document, or its closing, comes after the listing is made, so the listing is the command's.
TEST_F(DocumentChangesTest, TheListingIsTheCommandsWhateverComesAfter) {
    const auto command = [](host::Document& document) {
        document.SetEntries({2, 1, 0}, {});
        document.Records().Save(host::RecordKey::Other(hostapi::MakeTag("otBC"), 1, 0), {1, 2});
        document.Fonts()[3] = "Petrucci";
    };
    std::vector<std::string> expected;
    {
        host::Host host;
        host::Document& document = host.AddDocument(host::ParseScoreText(kTrio, "trio"));
        host.TrackChanges([&] { command(document); });
        expected = host.LastChangeListing();
    }
    ASSERT_EQ(expected.size(), 5u);
    EXPECT_EQ(expected[0], "changes of document 1 \"trio\": 1 cell (1 entry deleted); records 'otBC' 1 added; 1 font");

    for (const char* laterEvent : {"a record written", "a cell written", "the document closed"}) {
        SCOPED_TRACE(laterEvent);
        host::Host host;
        host::Document& document = host.AddDocument(host::ParseScoreText(kTrio, "trio"));
        host.TrackChanges([&] { command(document); });
        document.Fonts()[3] = "Maestro";  // fonts change without a hook: the listing keeps the command's
        if (std::string(laterEvent) == "a record written") {
            // Measure 1 in A major: read now, the deleted C would be named under another key.
            const host::RecordKey measure = host::RecordKey::Other(hostapi::MakeTag("SOMS"), 1, 0);
            host::Bytes bytes = *document.Records().Find(measure);
            hostapi::WriteI16(bytes.data(), 2, 3);
            document.Records().Save(measure, bytes);
        } else if (std::string(laterEvent) == "a cell written") {
            document.SetEntries({1, 1, 0}, {});
        } else {
            ASSERT_TRUE(host.CloseFront());
        }
        EXPECT_EQ(host.LastChangeListing(), expected);
    }
}

// A write after a command first makes the command's listing, which puts the journal back for a
// moment and then the document as it was: the write, which found its record or cell before,
// lands as it would on a document without a pending listing.
TEST_F(DocumentChangesTest, AWriteThatMakesThePendingListingLandsAsWithoutOne) {
    const hostapi::Tag beats = hostapi::MakeTag("otBC");
    const hostapi::Tag measures = hostapi::MakeTag("SOMS");
    const auto command = [&](host::Document& document) {
        document.SetEntries({2, 1, 0}, {});
        document.SetEntries({1, 2, 0}, document.EntriesOf({1, 1, 0}));
        document.Records().Save(host::RecordKey::Other(beats, 1, 0), {1, 2});
        document.Records().Save(host::RecordKey::Other(beats, 1, 1), {3, 4});
        document.Records().Save(host::RecordKey::Other(beats, 1, 2), {5, 6});
        document.Records().Delete(host::RecordKey::Other(measures, 2, 0));
    };
    const std::vector<std::pair<const char*, std::function<void(host::Document&)>>> writes = {
        {"a record saved over", [&](host::Document& d) { d.SaveRecord(host::RecordKey::Other(beats, 1, 1), {9}); }},
        {"a record saved new", [&](host::Document& d) { d.SaveRecord(host::RecordKey::Other(beats, 2, 0), {9}); }},
        {"a record saved back",
         [&](host::Document& d) {
             d.SaveRecord(host::RecordKey::Other(measures, 2, 0), {0, 0, 0, 0});
         }},
        {"a record created", [&](host::Document& d) { d.CreateRecord(host::RecordKey::Other(beats, 1, -1), {7}); }},
        {"a record deleted", [&](host::Document& d) { d.DeleteRecord(host::RecordKey::Other(beats, 1, 0)); }},
        {"a cell written over",
         [&](host::Document& d) {
             d.SetEntries({1, 1, 0}, {d.EntriesOf({1, 1, 0}).front()});
         }},
        {"a cell written back",
         [&](host::Document& d) {
             d.SetEntries({2, 1, 0}, d.EntriesOf({1, 1, 0}));
         }},
        {"a cell emptied",
         [&](host::Document& d) {
             d.SetEntries({1, 2, 0}, {});
         }},
        {"an entry appended",
         [&](host::Document& d) {
             d.AppendEntry({2, 1, 0}, d.EntriesOf({1, 1, 0}).front());
         }},
    };
    for (const auto& [name, write] : writes) {
        SCOPED_TRACE(name);
        host::Host host;
        host::Document& document = host.AddDocument(host::ParseScoreText(kTrio, "trio"));
        host.TrackChanges([&] { command(document); });
        host::Document plain(document);  // the same content, no listing waiting
        write(document);
        write(plain);
        EXPECT_TRUE(document.SameContent(plain));
        const std::vector<std::string> listing = host.LastChangeListing();
        ASSERT_FALSE(listing.empty());
        EXPECT_EQ(listing[0],
                  "changes of document 1 \"trio\": 2 cells (3 entries added, 1 deleted); records 'SOMS' 1 deleted, "
                  "'otBC' 3 added");
    }
}

// Whether a cell exists follows its staff and measure records through every kind of write.
TEST_F(DocumentChangesTest, ACellExistsWhileItsStaffAndMeasureRecordsDo) {
    host::Document& document = *after;
    const host::RecordKey staff = host::RecordKey::Other(hostapi::MakeTag("SOIS"), 2, 0);
    const host::RecordKey measure = host::RecordKey::Other(hostapi::MakeTag("SOMS"), 2, 0);
    const host::Bytes staffBytes = *document.Records().Find(staff);
    EXPECT_TRUE(document.CellExists(2, 2));
    EXPECT_FALSE(document.CellExists(3, 1));
    EXPECT_FALSE(document.CellExists(1, 3));
    EXPECT_FALSE(document.CellExists(-5, 1));

    document.BeginJournal();
    ASSERT_TRUE(document.DeleteRecord(staff));
    EXPECT_FALSE(document.CellExists(2, 1));
    EXPECT_TRUE(document.CellExists(1, 2));
    document.SaveRecord(staff, staffBytes);
    EXPECT_TRUE(document.CellExists(2, 1));
    const auto created = document.CreateRecord(host::RecordKey::Other(hostapi::MakeTag("SOMS"), -1, 0), {0, 0});
    ASSERT_TRUE(created);
    EXPECT_EQ(created->first, 3);
    EXPECT_TRUE(document.CellExists(1, 3));
    ASSERT_TRUE(document.DeleteRecord(measure));
    EXPECT_FALSE(document.CellExists(1, 2));
    EXPECT_TRUE(document.CellExists(1, 1));
    EXPECT_TRUE(document.CellExists(1, 3));
    // A measure's later incidences are no measure.
    document.SaveRecord(host::RecordKey::Other(hostapi::MakeTag("SOMS"), 4, 1), {0, 0});
    EXPECT_FALSE(document.CellExists(1, 4));
    const host::Document::Journal journal = document.EndJournal();
    document.Revert(journal);
    EXPECT_TRUE(document.CellExists(1, 2)) << "put back with the journal";
    EXPECT_FALSE(document.CellExists(1, 3));

    const host::Document copy(document);
    EXPECT_TRUE(copy.CellExists(2, 2));
    EXPECT_FALSE(copy.CellExists(1, 3));
}

TEST_F(DocumentChangesTest, WaitsRunTimersWhenTheyFallDueAndJumpBetweenThem) {
    std::vector<uint32_t> ticks;
    const uint32_t start = win::GetTickCount();
    win::SetTimer(win::kNoWindow, 0, 25, [&](win::Hwnd, uint32_t) { ticks.push_back(win::GetTickCount() - start); });
    win::Idle(100);
    // The clock moves in steps of 10 ms from the start of the wait: a timer due at 25 runs at 30.
    EXPECT_EQ(ticks, (std::vector<uint32_t>{30, 60, 90}));
    EXPECT_EQ(win::GetTickCount() - start, 100u);

    // An hour with a 500 ms timer: every tick runs, the clock ends exactly an hour on.
    ticks.clear();
    win::ResetSystem();
    const uint32_t hour = win::GetTickCount();
    size_t count = 0;
    win::SetTimer(win::kNoWindow, 0, 500, [&](win::Hwnd, uint32_t) { ++count; });
    win::Idle(3'600'000);
    EXPECT_EQ(count, 7200u);
    EXPECT_EQ(win::GetTickCount() - hour, 3'600'000u);
}

// ---- What the host is told of a plug-in's changes ----

enum class Call { WritesAnswers0, WritesAnswers1, Answers1, Answers0, HostClearsAnswers0 };

/// A plug-in whose call does what its menu index names: writes to the document in front (or
/// not), has the host clear a cell as one of its own edits, and answers 0 or 1.
int16_t TellingInvoke(win::Hwnd, int16_t index, const uint8_t*, const uint8_t*) {
    host::Host& host = *host::Host::Current();
    const auto call = static_cast<Call>(index);
    if (call == Call::WritesAnswers0 || call == Call::WritesAnswers1) {
        host.FrontDocument()->SetEntries({2, 1, 0}, {});
    }
    if (call == Call::HostClearsAnswers0) {
        host.RunHostEdit("Clear", [&] { host.FrontDocument()->SetEntries({2, 1, 0}, {}); });
    }
    return call == Call::WritesAnswers1 || call == Call::Answers1 ? 1 : 0;
}

struct TellingCase {
    std::string name;
    Call call;
    std::vector<std::string> lines;  ///< what the host says after the change summary
    uint64_t answers;                ///< calls that answered a change
    uint64_t edits;                  ///< the host's own edits
};

class TellingTest : public testsupport::DesktopTest, public ::testing::WithParamInterface<TellingCase> {};

// The host says when a call's answer is not what the call did: a change it was not told of
// would let the user close the document without being asked to save it.
TEST_P(TellingTest, TheHostSaysWhenACallsAnswerIsNotWhatItChanged) {
    const TellingCase& c = GetParam();
    host::Host host;
    host.AddDocument(host::ParseScoreText(kTrio, "trio"));
    ASSERT_TRUE(host.LoadInProcessPlugin("Teller.fxt", testsupport::FakePluginExports(&TellingInvoke)));
    win::ClearTranscript();
    host.RunPluginCommand(0, static_cast<int16_t>(c.call));
    const bool changed = c.call != Call::Answers1 && c.call != Call::Answers0;
    std::vector<std::string> expected = {
        changed ? "host: Teller.fxt changed document 1 \"trio\": 1 cell (1 entry deleted)" : "host: nothing changed"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    testsupport::ExpectLines(expected, win::TranscriptLines());
    EXPECT_EQ(host.ChangeAnswerCount(), c.answers);
    EXPECT_EQ(host.HostEditCount(), c.edits);
    win::ClearTranscript();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TellingTest,
    ::testing::Values(
        TellingCase{"writes_answers_0",
                    Call::WritesAnswers0,
                    {"host: Teller.fxt answered that it did not change the document"},
                    0,
                    0},
        TellingCase{"writes_answers_1", Call::WritesAnswers1, {}, 1, 0},
        TellingCase{"answers_1", Call::Answers1, {"host: Teller.fxt answered that it changed the document"}, 1, 0},
        TellingCase{"answers_0", Call::Answers0, {}, 0, 0},
        TellingCase{"host_clears_answers_0", Call::HostClearsAnswers0, {}, 0, 1}),
    testsupport::NameBy(&TellingCase::name));

}  // namespace
