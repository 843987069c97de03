// What a command changed, as the host computes it from two states of a document; and the
// virtual clock's waits, which jump from one due timer to the next.
#include <gtest/gtest.h>

#include "platform/host/document_changes.h"
#include "platform/host/host.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "platform/win/timers.h"
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

}  // namespace
