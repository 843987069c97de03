// The host's entry array services (2-6, 51, 52) as a plug-in calls them by ordinal: lending
// independent copies, numbering on save, moving entries on insert and delete, refusing arrays
// a plug-in tampered with, and reporting arrays a plug-in did not release.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "platform/host/entry_arrays.h"
#include "platform/host/host.h"
#include "platform/host/host_dialogs.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/services.h"
#include "platform/win/transcript.h"
#include "tests/support/case_names.h"
#include "tests/support/fake_plugin.h"
#include "tests/support/fixture.h"

namespace {

using hostapi::EntryArray;
using hostapi::MakeTag;

constexpr hostapi::InterfaceVersion kVersion = hostapi::kInterfaceVersion;

constexpr const char* kScore = R"(
staff "Oboe"
staff "Bassoon"
measures 2 time 4/4
notes 1 1 c4/4 d4+f4/4 e4/2
)";

template <typename Fn>
Fn Service(hostapi::Service ordinal) {
    return reinterpret_cast<Fn>(host::ServiceByOrdinal(static_cast<int32_t>(ordinal)));
}

/// (position, actual duration, entry number) of every entry of an array.
using Entry = std::tuple<hostapi::Edu, hostapi::Edu, hostapi::EntryNumber>;
std::vector<Entry> Entries(const EntryArray* array) {
    std::vector<Entry> entries;
    for (int32_t i = 0; i < array->count; ++i) {
        entries.emplace_back(array->entry(i).position(), array->entry(i).actualDuration(), array->entry(i).number());
    }
    return entries;
}

class EntryArrayServicesTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        m_host = std::make_unique<host::Host>();
        m_host->AddDocument(host::ParseScoreText(kScore, "duo"));
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        DesktopTest::TearDown();
    }

    host::Document& Doc() { return *m_host->FrontDocument(); }
    std::vector<Entry> Stored(hostapi::LayerIndex layer = 0) {
        std::vector<Entry> entries;
        for (const host::EntryBytes& bytes : Doc().EntriesOf({1, 1, layer})) {
            const hostapi::ConstEntryView entry(bytes.data());
            entries.emplace_back(entry.position(), entry.actualDuration(), entry.number());
        }
        return entries;
    }
    EntryArray* Load(hostapi::StaffSlot slot, hostapi::MeasureNumber measure, hostapi::LayerIndex layer,
                     int16_t flag = 1, hostapi::ViewKey view = 0) {
        return load(view, slot, measure, layer, flag, kVersion);
    }

    const hostapi::LoadEntryArrayFn load = Service<hostapi::LoadEntryArrayFn>(hostapi::Service::LoadEntryArray);
    const hostapi::SaveEntryArrayFn save = Service<hostapi::SaveEntryArrayFn>(hostapi::Service::SaveEntryArray);
    const hostapi::ReleaseEntryArrayFn release =
        Service<hostapi::ReleaseEntryArrayFn>(hostapi::Service::ReleaseEntryArray);
    const hostapi::InsertEntriesFn insert = Service<hostapi::InsertEntriesFn>(hostapi::Service::InsertEntries);
    const hostapi::DeleteEntriesFn erase = Service<hostapi::DeleteEntriesFn>(hostapi::Service::DeleteEntries);
    const hostapi::FilledTimeFn filled = Service<hostapi::FilledTimeFn>(hostapi::Service::FilledTime);
    const hostapi::SimplifyRhythmFn simplify = Service<hostapi::SimplifyRhythmFn>(hostapi::Service::SimplifyRhythm);
    std::unique_ptr<host::Host> m_host;
};

TEST_F(EntryArrayServicesTest, EveryExistingCellLendsAnArray) {
    EntryArray* filledCell = Load(1, 1, 0);
    ASSERT_NE(filledCell, nullptr);
    EXPECT_EQ(filledCell->staff, 1);
    EXPECT_EQ(filledCell->measure, 1);
    EXPECT_EQ(filledCell->layer, 0);
    EXPECT_EQ(Entries(filledCell), (std::vector<Entry>{{0, 1024, 1}, {1024, 1024, 2}, {2048, 2048, 3}}));
    EXPECT_EQ(filledCell->entry(1).noteCount(), 2);

    EntryArray* empty = Load(2, 2, 3);
    ASSERT_NE(empty, nullptr) << "flag 1: an empty cell gives an empty array";
    EXPECT_EQ(empty->count, 0);
    EXPECT_EQ(empty->entries, nullptr);
    EXPECT_EQ(Load(2, 2, 3, 0), nullptr) << "flag 0: none for an empty layer";
    EXPECT_EQ(host::LentEntryArrayCount(), 2u);

    struct Missing {
        const char* what;
        hostapi::StaffSlot slot;
        hostapi::MeasureNumber measure;
        hostapi::LayerIndex layer;
    };
    for (const Missing& m : {Missing{"no measure 3", 1, 3, 0}, Missing{"no staff in slot 3", 3, 1, 0},
                             Missing{"no layer 5", 1, 1, 4}, Missing{"no layer 0", 1, 1, -1}}) {
        SCOPED_TRACE(m.what);
        EXPECT_EQ(Load(m.slot, m.measure, m.layer), nullptr);
    }
    EXPECT_EQ(load(0, 1, 1, 0, 1, 0x01020304), nullptr) << "an unknown interface version";
    EXPECT_EQ(Load(1, 1, 0, 1, 7), nullptr) << "view 7 has no staves";

    EXPECT_EQ(release(filledCell, kVersion), 1);
    EXPECT_EQ(release(empty, kVersion), 1);
    EXPECT_EQ(release(empty, kVersion), 0) << "released already";
    EXPECT_EQ(host::LentEntryArrayCount(), 0u);
}

// A cell as a score text builds it is as the host keeps its cells: read and saved back
// unchanged it stays the same to the byte, so a command that saves what it read changes nothing
// (a placed rest's note slot has its identifier, as every note the host saves has one).
TEST_F(EntryArrayServicesTest, ACellOfAScoreTextSavedBackUnchangedStaysAsItIs) {
    m_host->AddDocument(host::ParseScoreText(
        "staff \"Flute\"\nmeasures 1 time 4/4 key 2\nnotes 1 1 r@b4/4 r@f5/4f c5+e5/4 r/4\n", "rests"));
    const host::CellEntries built = Doc().EntriesOf({1, 1, 0});
    ASSERT_EQ(built.size(), 4u);
    EntryArray* array = Load(1, 1, 0);
    ASSERT_NE(array, nullptr);
    ASSERT_EQ(save(array, kVersion), 1);
    EXPECT_EQ(release(array, kVersion), 1);
    const host::CellEntries saved = Doc().EntriesOf({1, 1, 0});
    ASSERT_EQ(saved.size(), built.size());
    for (size_t i = 0; i < built.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i + 1));
        EXPECT_EQ(hostapi::ConstEntryView(saved[i].data()).note(0).noteId(),
                  hostapi::ConstEntryView(built[i].data()).note(0).noteId());
        EXPECT_TRUE(saved[i] == built[i]);
    }
}

TEST_F(EntryArrayServicesTest, LoadsAreIndependentCopiesAndTheLastSaveWins) {
    EntryArray* first = Load(1, 1, 0);
    EntryArray* second = Load(1, 1, 0);
    ASSERT_NE(first->entries, second->entries);
    first->entry(0).setActualDuration(512);
    EXPECT_EQ(second->entry(0).actualDuration(), 1024);
    EXPECT_EQ(std::get<1>(Stored()[0]), 1024) << "nothing reaches the document before a save";
    ASSERT_EQ(save(first, kVersion), 1);
    EXPECT_EQ(std::get<1>(Stored()[0]), 512);
    ASSERT_EQ(save(second, kVersion), 1);
    EXPECT_EQ(std::get<1>(Stored()[0]), 1024);
    release(first, kVersion);
    release(second, kVersion);
}

TEST_F(EntryArrayServicesTest, AnArrayIsSavedToTheLayerItsHeaderNames) {
    EntryArray* array = Load(1, 1, 0);
    array->layer = 3;  // layer 4, the last
    array->entry(0).setActualDuration(512);
    ASSERT_EQ(save(array, kVersion), 1);
    EXPECT_EQ(Stored(3), (std::vector<Entry>{{0, 512, 1}, {1024, 1024, 2}, {2048, 2048, 3}}));
    EXPECT_EQ(std::get<1>(Stored(0)[0]), 1024) << "the layer it came from keeps its entries";
    release(array, kVersion);
}

TEST_F(EntryArrayServicesTest, SaveNumbersNewEntriesAndNotes) {
    // An entry detail record of entry 40 counts as a number in use.
    Doc().Records().Save(host::RecordKey::EntryDetail(MakeTag("edED"), 40, 0), host::Bytes(10, 0));
    EntryArray* array = Load(1, 1, 0);
    ASSERT_EQ(insert(array, 1, 2, kVersion), 1);
    for (int32_t i = 1; i <= 2; ++i) {
        array->entry(i).setPosition(1024);
        array->entry(i).setNoteCount(2);
    }
    array->entry(2).note(0).setNoteId(5);
    array->entry(3).note(1).setNoteId(0);  // entry 2's second note had identifier 2
    ASSERT_EQ(save(array, kVersion), 1);
    EXPECT_EQ(array->entry(1).number(), 41) << "numbers are written into the array as well";
    EXPECT_EQ(array->entry(2).number(), 42);
    EXPECT_EQ(array->entry(1).note(0).noteId(), 1);
    EXPECT_EQ(array->entry(1).note(1).noteId(), 2);
    EXPECT_EQ(array->entry(2).note(0).noteId(), 5);
    EXPECT_EQ(array->entry(2).note(1).noteId(), 6);
    EXPECT_EQ(array->entry(3).note(1).noteId(), 2) << "one above the entry's highest (1)";
    EXPECT_EQ(Stored(),
              (std::vector<Entry>{{0, 1024, 1}, {1024, 0, 41}, {1024, 0, 42}, {1024, 1024, 2}, {2048, 2048, 3}}));

    // A number once given is not given again, even when its entry is gone.
    ASSERT_EQ(erase(array, 1, 2, kVersion), 1);
    ASSERT_EQ(save(array, kVersion), 1);
    ASSERT_EQ(insert(array, 0, 1, kVersion), 1);
    ASSERT_EQ(save(array, kVersion), 1);
    EXPECT_EQ(array->entry(0).number(), 43);
    release(array, kVersion);
}

TEST_F(EntryArrayServicesTest, NumbersThatWereInTheDocumentAreNotGivenAgain) {
    // A document read from its file: the highest numbers, entry 3 and the record of entry 12, go
    // before a number is asked for.
    const host::Document& built = Doc();
    auto read = std::make_unique<host::Document>("read");
    read->Records() = built.Records();
    for (const auto& [cell, entries] : built.Cells()) {
        read->SetEntries(cell, entries);
    }
    read->Records().Save(host::RecordKey::EntryDetail(MakeTag("edED"), 12, 0), host::Bytes(10, 0));
    m_host->AddDocument(std::move(read));
    ASSERT_TRUE(Doc().Records().Delete(host::RecordKey::EntryDetail(MakeTag("edED"), 12, 0)));
    host::CellEntries entries = Doc().EntriesOf({1, 1, 0});
    entries.pop_back();
    Doc().SetEntries({1, 1, 0}, entries);
    EXPECT_EQ(Doc().NewEntryNumber(), 13);
    EXPECT_EQ(Doc().NewEntryNumber(), 14);
}

TEST_F(EntryArrayServicesTest, InsertAndDeleteMoveTheEntries) {
    EntryArray* array = Load(1, 1, 0);
    const uint8_t* before = array->entries;
    ASSERT_EQ(insert(array, 3, 1, kVersion), 1) << "insert behind the last entry";
    EXPECT_NE(array->entries, before) << "the host moves the entries";
    ASSERT_EQ(array->count, 4);
    const uint8_t* blank = array->entry(3).data();
    EXPECT_TRUE(std::all_of(blank, blank + hostapi::EntryLayout::kSize, [](uint8_t b) { return b == 0; }));

    ASSERT_EQ(erase(array, 0, 2, kVersion), 1);
    EXPECT_EQ(Entries(array), (std::vector<Entry>{{2048, 2048, 3}, {0, 0, 0}}));

    struct Refused {
        const char* what;
        bool isInsert;
        int32_t index;
        int32_t count;
    };
    for (const Refused& r : {Refused{"insert past the end", true, 3, 1}, Refused{"insert at -1", true, -1, 1},
                             Refused{"insert -1 entries", true, 0, -1}, Refused{"insert too many", true, 0, 40000},
                             Refused{"delete past the end", false, 1, 2}, Refused{"delete at -1", false, -1, 1},
                             Refused{"delete -1 entries", false, 0, -1}}) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(r.isInsert ? insert(array, r.index, r.count, kVersion) : erase(array, r.index, r.count, kVersion), 0);
        EXPECT_EQ(array->count, 2);
    }
    release(array, kVersion);
}

TEST_F(EntryArrayServicesTest, ArraysAPlugInTamperedWithAreRefused) {
    EntryArray* array = Load(1, 1, 0);
    array->count = 4;
    EXPECT_EQ(save(array, kVersion), 0) << "a count beyond the entries the host holds";
    EXPECT_EQ(insert(array, 0, 1, kVersion), 0);
    EXPECT_EQ(filled(array, kVersion), 0);
    array->count = 3;
    uint8_t* entries = array->entries;
    array->entries = entries + hostapi::EntryLayout::kSize;
    EXPECT_EQ(save(array, kVersion), 0) << "a moved entry address";
    array->entries = entries;

    EntryArray forged = *array;
    EXPECT_EQ(save(&forged, kVersion), 0) << "an array the host did not lend";
    EXPECT_EQ(release(&forged, kVersion), 0);
    EXPECT_EQ(save(nullptr, kVersion), 0);
    EXPECT_EQ(Stored().size(), 3u);

    // Lowering the count is allowed: saving an emptied array empties the cell.
    array->count = 0;
    ASSERT_EQ(save(array, kVersion), 1);
    EXPECT_TRUE(Doc().EntriesOf({1, 1, 0}).empty());
    EXPECT_EQ(release(array, kVersion), 1);
}

TEST_F(EntryArrayServicesTest, AnArrayOutlivingItsHostCannotBeSaved) {
    EntryArray* array = Load(1, 1, 0);
    m_host.reset();
    m_host = std::make_unique<host::Host>();
    m_host->AddDocument(host::ParseScoreText(kScore, "again"));
    EXPECT_EQ(save(array, kVersion), 0);
    EXPECT_EQ(release(array, kVersion), 1);
}

TEST_F(EntryArrayServicesTest, OneResetTakesBackEveryArrayAndKeepsTheRunningHost) {
    const uint64_t first = host::EntryArrayLendingMark();
    ASSERT_NE(Load(1, 1, 0), nullptr);
    ASSERT_NE(Load(2, 2, 3), nullptr);
    EXPECT_EQ(host::LentEntryArrayCount(), 2u);
    EXPECT_EQ(host::EntryArrayLendingMark(), first + 2);
    host::ResetHostState();
    EXPECT_EQ(host::LentEntryArrayCount(), 0u);
    EXPECT_EQ(host::EntryArrayLendingMark(), 1u) << "serials start again";
    EXPECT_EQ(host::Host::Current(), m_host.get());
    EXPECT_EQ(host::OpenHostDialogs(), 0);
}

TEST_F(EntryArrayServicesTest, FilledTimeIsTheEndOfTheLastEntry) {
    EntryArray* array = Load(1, 1, 0);
    EXPECT_EQ(filled(array, kVersion), 4096);
    erase(array, 2, 1, kVersion);
    EXPECT_EQ(filled(array, kVersion), 2048);
    EntryArray* empty = Load(2, 1, 0);
    EXPECT_EQ(filled(empty, kVersion), 0);
    // A damaged last entry's end stays within 32 bits.
    array->entry(1).setActualDuration(INT32_MAX);
    EXPECT_EQ(filled(array, kVersion), INT32_MAX);
    release(array, kVersion);
    release(empty, kVersion);
}

struct SimplifyCase {
    const char* notes;                                          ///< measure 2 of staff 2, 4/4
    std::vector<std::pair<hostapi::Edu, hostapi::Edu>> result;  ///< position and duration of each entry
};

class SimplifyTest : public EntryArrayServicesTest, public ::testing::WithParamInterface<SimplifyCase> {};

TEST_P(SimplifyTest, JoinsRestsIntoPlainAndDottedValues) {
    m_host->AddDocument(host::ParseScoreText(std::string(kScore) + "notes 2 2 " + GetParam().notes + "\n", "rests"));
    EntryArray* array = Load(2, 2, 0);
    ASSERT_EQ(simplify(array, kVersion), 1);
    std::vector<std::pair<hostapi::Edu, hostapi::Edu>> result;
    for (int32_t i = 0; i < array->count; ++i) {
        EXPECT_EQ(array->entry(i).duration(), array->entry(i).actualDuration());
        result.emplace_back(array->entry(i).position(), array->entry(i).actualDuration());
    }
    EXPECT_EQ(result, GetParam().result);
    release(array, kVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SimplifyTest,
    ::testing::Values(SimplifyCase{"r/4 r/4 r/2", {{0, 4096}}},
                      SimplifyCase{"c4/4 r/4 r/4 r/4", {{0, 1024}, {1024, 1024}, {2048, 2048}}},
                      SimplifyCase{"r/8 r/8 r/4 r/2", {{0, 4096}}},
                      SimplifyCase{"r/4 r/8 r/8 c4/2", {{0, 2048}, {2048, 2048}}},
                      SimplifyCase{"r/2 r/4 c4/4", {{0, 3072}, {3072, 1024}}},
                      SimplifyCase{"r/4h r/4 r/4 c4/4", {{0, 1024}, {1024, 1024}, {2048, 1024}, {3072, 1024}}},
                      SimplifyCase{"c4/8 r/8 r/8 r/8 c4/2", {{0, 512}, {512, 512}, {1024, 1024}, {2048, 2048}}}),
    testsupport::NameBy(&SimplifyCase::notes));

// ---- Arrays a plug-in leaves lent ----

int16_t LeakyInvoke(win::Hwnd, int16_t index, const uint8_t*, const uint8_t* document) {
    const auto load = Service<hostapi::LoadEntryArrayFn>(hostapi::Service::LoadEntryArray);
    const auto begin = Service<hostapi::BeginProgressFn>(hostapi::Service::BeginProgress);
    load(0, 1, 1, 0, 1, kVersion);
    load(0, 2, 2, static_cast<hostapi::LayerIndex>(index), 1, kVersion);
    begin(document, 3, kVersion);
    return 0;
}

TEST_F(EntryArrayServicesTest, TheHostReportsArraysNotReleasedAtTheEndOfAPlugInCall) {
    ASSERT_TRUE(m_host->LoadInProcessPlugin("Leaky.fxt", testsupport::FakePluginExports(&LeakyInvoke)));
    win::ClearTranscript();
    EntryArray* before = Load(2, 1, 0);  // lent before the call: not the plug-in's
    m_host->InvokePlugin(0, 3);
    testsupport::ExpectLines(
        {"host: progress begins over staves 1-2, measures 1-2: 3 steps",
         "host: Leaky.fxt did not release the entry array of staff 1, measure 1, layer 1 (FinaleExtensionInvoke)",
         "host: Leaky.fxt did not release the entry array of staff 2, measure 2, layer 4 (FinaleExtensionInvoke)",
         "host: Leaky.fxt left the progress display open (FinaleExtensionInvoke); the host closes it"},
        win::TranscriptLines());
    EXPECT_EQ(host::LentEntryArrayCount(), 1u) << "the host took the plug-in's back";
    EXPECT_EQ(release(before, kVersion), 1);
    EXPECT_FALSE(m_host->Progress().IsOpen());
}

TEST_F(EntryArrayServicesTest, TheWholeDocumentRegion) {
    const hostapi::SelectionRecord region = host::WholeDocumentRegion(Doc());
    EXPECT_EQ(region.viewKey(), 0);
    EXPECT_EQ(region.firstStaff(), 1);
    EXPECT_EQ(region.lastStaff(), 2);
    EXPECT_EQ(region.firstMeasure(), 1);
    EXPECT_EQ(region.lastMeasure(), 2);
    EXPECT_EQ(region.startEdu(), 0);
    EXPECT_EQ(region.endEdu(), 4096);
}

}  // namespace
