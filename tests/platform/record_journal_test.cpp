// The record journal of a document (platform/host/record_journal.h): one note per key, the first
// write's; read in key order whatever order the writes came in; found again after it was read
// and after notes were taken out. And the undo history built on it puts back exactly the bytes a
// step replaced.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <vector>

#include "platform/host/document.h"
#include "platform/host/record_journal.h"
#include "platform/host/undo_journal.h"
#include "platform/hostapi/records.h"

namespace {

using host::Bytes;
using host::RecordJournal;
using host::RecordKey;
using hostapi::MakeTag;

const hostapi::Tag kOther = MakeTag("otMx");
const hostapi::Tag kEntry = MakeTag("edIM");  // an entry detail tag: an i32 entry number first

std::vector<RecordKey> Keys(const RecordJournal& journal) {
    std::vector<RecordKey> keys;
    for (const auto& [key, bytes] : journal) {
        keys.push_back(key);
    }
    return keys;
}

TEST(RecordJournalTest, AKeyKeepsWhatItHeldAtItsFirstWrite) {
    RecordJournal journal;
    const Bytes first{1, 2, 3};
    const Bytes second{9};
    EXPECT_TRUE(journal.Remember(RecordKey::Other(kOther, 1, 0), &first));
    EXPECT_FALSE(journal.Remember(RecordKey::Other(kOther, 1, 0), &second));
    EXPECT_TRUE(journal.Remember(RecordKey::Other(kOther, 1, 1), nullptr));
    EXPECT_FALSE(journal.Remember(RecordKey::Other(kOther, 1, 1), &second));
    ASSERT_EQ(journal.size(), 2u);
    EXPECT_EQ(*journal.Find(RecordKey::Other(kOther, 1, 0)), std::optional<Bytes>(first));
    EXPECT_EQ(*journal.Find(RecordKey::Other(kOther, 1, 1)), std::nullopt);
    EXPECT_EQ(journal.Find(RecordKey::Other(kOther, 1, 2)), nullptr);
}

TEST(RecordJournalTest, KeysThatDifferInOneWordAreNotedApart) {
    RecordJournal journal;
    const RecordKey base{kOther, 5, 6, 7};
    const std::vector<RecordKey> keys = {base,
                                         {kEntry, 5, 6, 7},
                                         {kOther, 4, 6, 7},
                                         {kOther, 5, 5, 7},
                                         {kOther, 5, 6, 8},
                                         {kOther, -5, 6, 7},
                                         {kOther, 5, -6, 7}};
    for (size_t i = 0; i < keys.size(); ++i) {
        const Bytes bytes{static_cast<uint8_t>(i)};
        EXPECT_TRUE(journal.Remember(keys[i], &bytes)) << keys[i].Description();
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        ASSERT_NE(journal.Find(keys[i]), nullptr);
        EXPECT_EQ(**journal.Find(keys[i]), Bytes{static_cast<uint8_t>(i)});
    }
}

TEST(RecordJournalTest, ReadsInKeyOrderAndFindsEveryKeyAfterwards) {
    // Many keys in a random order against an ordered map of the same notes: the index grows
    // through several sizes, the notes are put in order when read, and lookups, new notes and
    // erased notes after that still agree with the map.
    std::mt19937 random(17);
    RecordJournal journal;
    std::map<RecordKey, std::optional<Bytes>> model;
    const auto randomKey = [&] {
        const bool entry = random() % 2 == 0;
        if (entry) {
            return RecordKey::EntryDetail(kEntry, static_cast<int32_t>(random() % 200000) - 1000,
                                          static_cast<int16_t>(random() % 4));
        }
        return RecordKey::Other(kOther, static_cast<int16_t>(random() % 3000) - 100,
                                static_cast<int16_t>(random() % 8));
    };
    const auto note = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const RecordKey key = randomKey();
            const Bytes bytes{static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)};
            const bool none = random() % 3 == 0;
            const bool added = model.try_emplace(key, none ? std::nullopt : std::optional<Bytes>(bytes)).second;
            ASSERT_EQ(journal.Remember(key, none ? nullptr : &bytes), added) << key.Description();
        }
    };
    const auto agree = [&] {
        ASSERT_EQ(journal.size(), model.size());
        auto it = model.begin();
        for (const auto& [key, bytes] : journal) {
            ASSERT_EQ(key, it->first);
            ASSERT_EQ(bytes, it->second);
            ++it;
        }
        for (int i = 0; i < 2000; ++i) {
            const RecordKey key = randomKey();
            const auto found = model.find(key);
            const std::optional<Bytes>* noted = journal.Find(key);
            ASSERT_EQ(noted != nullptr, found != model.end()) << key.Description();
            if (noted != nullptr) {
                ASSERT_EQ(*noted, found->second);
            }
        }
    };
    note(20000);
    agree();
    note(5000);
    agree();
    // Take out the notes of odd entry numbers: the rest is found, the ones taken out can be noted again.
    const auto odd = [](const RecordKey& key) { return key.tag == kEntry && key.first % 2 != 0; };
    EXPECT_EQ(journal.EraseIf([&](const RecordJournal::Note& n) { return odd(n.first); }),
              std::erase_if(model, [&](const auto& n) { return odd(n.first); }));
    agree();
    note(5000);
    agree();
}

TEST(RecordJournalTest, NotesInKeyOrderStayInOrderWithoutSorting) {
    RecordJournal journal;
    for (int16_t inci = 0; inci < 5; ++inci) {
        journal.Remember(RecordKey::Other(kOther, 1, inci), nullptr);
    }
    journal.Remember(RecordKey::Other(kOther, 0, 3), nullptr);
    const std::vector<RecordKey> keys = Keys(journal);
    ASSERT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys.front(), RecordKey::Other(kOther, 0, 3));
    EXPECT_EQ(keys.back(), RecordKey::Other(kOther, 1, 4));
}

TEST(RecordJournalTest, UndoAndRedoPutBackTheExactBytesOfEveryRecordAndCellAStepWrote) {
    host::Document document("journal");
    std::mt19937 random(5);
    // Records of several sizes, a staff system in both forms among them.
    for (int16_t cmper = 1; cmper <= 300; ++cmper) {
        document.Records().Save(RecordKey::Other(kOther, cmper, 0),
                                Bytes(static_cast<size_t>(cmper % 40), static_cast<uint8_t>(cmper)));
    }
    document.StartUndoHistory([] { return std::string("Step"); });
    const host::Document before(document);
    // A change journal open over the step, as while a command runs: it shares the step's notes.
    document.BeginJournal();
    // One step: creates (new incidences), saves that grow and shrink records, deletes that move
    // later incidences down, in no particular key order.
    for (int i = 0; i < 2000; ++i) {
        const auto cmper = static_cast<int16_t>(1 + random() % 300);
        switch (random() % 5) {
            case 4: {
                // A cell's entries, noted once for the step and the change journal both.
                host::CellEntries entries(random() % 4);
                for (host::EntryBytes& entry : entries) {
                    entry.fill(static_cast<uint8_t>(random()));
                }
                document.SetEntries(
                    {static_cast<int16_t>(1 + random() % 3), static_cast<int16_t>(1 + random() % 20), 0},
                    std::move(entries));
                break;
            }
            case 0:
                document.CreateRecord(RecordKey::Other(kOther, cmper, -1),
                                      Bytes(random() % 50, static_cast<uint8_t>(i)));
                break;
            case 1:
                document.SaveRecord(RecordKey::Other(kOther, cmper, 0), Bytes(random() % 60, static_cast<uint8_t>(i)));
                break;
            case 2:
                document.DeleteRecord(RecordKey::Other(kOther, cmper, static_cast<int16_t>(random() % 3)));
                break;
            default:
                document.CreateRecord(RecordKey::EntryDetail(kEntry, static_cast<int32_t>(random() % 5000) + 1, -1),
                                      Bytes(12, static_cast<uint8_t>(i)));
                break;
        }
    }
    document.CloseUndoStep();
    const host::Document::Journal journal = document.EndJournal();
    const host::Document after(document);
    // The change journal puts back what the step found, as the undo does.
    host::Document reverted(after);
    reverted.Revert(journal);
    EXPECT_TRUE(reverted.SameContent(before));
    ASSERT_FALSE(after.SameContent(before));
    ASSERT_NE(document.Undo(), nullptr);
    EXPECT_TRUE(document.SameContent(before));
    ASSERT_NE(document.Redo(), nullptr);
    EXPECT_TRUE(document.SameContent(after));
    ASSERT_NE(document.Undo(), nullptr);
    EXPECT_TRUE(document.SameContent(before));
}

}  // namespace
