// The host's record services (ordinals 9-14) on the document in front, and the rules of its
// record store: save creates, delete moves later incidences down, next and previous walk in
// ascending key order, create hands out keys.
#include <gtest/gtest.h>

#include <array>

#include "platform/host/host.h"
#include "platform/host/record_layouts.h"
#include "platform/host/score_builder.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/services.h"
#include "platform/win/win.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using host::Bytes;
using host::RecordKey;
using hostapi::MakeTag;
using Keys = std::array<int16_t, 3>;

constexpr hostapi::InterfaceVersion kVersion = hostapi::kInterfaceVersion;

template <typename Fn>
Fn Service(hostapi::Service ordinal) {
    return reinterpret_cast<Fn>(host::ServiceByOrdinal(static_cast<int32_t>(ordinal)));
}

/// The keys block of an entry detail record: the entry number in bytes 0-3.
Keys EntryKeys(hostapi::EntryNumber entry, int16_t inci) {
    Keys keys{0, 0, inci};
    hostapi::WriteI32(reinterpret_cast<uint8_t*>(keys.data()), 0, entry);
    return keys;
}

class RecordServicesTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        m_host = std::make_unique<host::Host>();
        m_host->AddDocument(std::make_unique<host::Document>("empty"));
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        DesktopTest::TearDown();
    }

    host::RecordStore& Store() { return m_host->FrontDocument()->Records(); }

    int16_t Load(hostapi::Tag tag, Keys keys, void* buffer, int32_t* size) {
        return load(tag, keys.data(), buffer, size, kVersion);
    }
    int16_t Save(hostapi::Tag tag, Keys keys, const Bytes& bytes) {
        return save(tag, keys.data(), bytes.data(), static_cast<int32_t>(bytes.size()), kVersion);
    }
    int16_t Create(hostapi::Tag tag, Keys& keys, const Bytes& bytes) {
        return create(tag, keys.data(), bytes.data(), static_cast<int32_t>(bytes.size()), kVersion);
    }
    int16_t Delete(hostapi::Tag tag, Keys keys) { return erase(tag, keys.data(), kVersion); }

    /// The keys of every record of a tag, by walking with "next" from the lowest keys.
    std::vector<std::vector<int32_t>> Walk(hostapi::Tag tag, Keys start) {
        std::vector<std::vector<int32_t>> found;
        Keys keys = start;
        while (next(tag, keys.data(), nullptr, 0, kVersion) != 0) {
            found.push_back(RecordKey::FromKeysBlock(tag, keys.data()).Numbers());
        }
        return found;
    }

    const hostapi::LoadRecordFn load = Service<hostapi::LoadRecordFn>(hostapi::Service::LoadRecord);
    const hostapi::SaveRecordFn save = Service<hostapi::SaveRecordFn>(hostapi::Service::SaveRecord);
    const hostapi::CreateRecordFn create = Service<hostapi::CreateRecordFn>(hostapi::Service::CreateRecord);
    const hostapi::DeleteRecordFn erase = Service<hostapi::DeleteRecordFn>(hostapi::Service::DeleteRecord);
    const hostapi::StepRecordFn previous = Service<hostapi::StepRecordFn>(hostapi::Service::PreviousRecord);
    const hostapi::StepRecordFn next = Service<hostapi::StepRecordFn>(hostapi::Service::NextRecord);
    std::unique_ptr<host::Host> m_host;
};

TEST_F(RecordServicesTest, OffersEveryOrdinalOfTheServiceTable) {
    // The table of the host's plug-in services in DECISIONS.md, row by row, and the identity of
    // a document (63), by which the plug-ins know a document whatever its name.
    for (int32_t ordinal : {2,  3,  4,  5,  6,  9,  10, 11, 12, 13, 14, 15, 16, 35, 36, 57, 58, 59, 60, 17, 19, 24,
                            18, 31, 21, 22, 23, 29, 33, 39, 40, 41, 42, 44, 49, 50, 51, 52, 53, 55, 54, 61, 63}) {
        EXPECT_NE(host::ServiceByOrdinal(ordinal), nullptr) << ordinal;
    }
    for (int32_t ordinal : {0, 1, 8, 43, 62, 100}) {
        EXPECT_EQ(host::ServiceByOrdinal(ordinal), nullptr) << ordinal;
    }
}

TEST_F(RecordServicesTest, SaveCreatesUnderExactlyTheKeysAndOverwrites) {
    const hostapi::Tag tag = MakeTag("SOMS");
    EXPECT_EQ(Save(tag, {7, 2, 99}, {1, 2, 3}), 1);
    const Bytes* stored = Store().Find(RecordKey::Other(tag, 7, 2));
    ASSERT_NE(stored, nullptr) << "word 2 of an other record's keys is not a key";
    EXPECT_EQ(*stored, Bytes({1, 2, 3}));
    EXPECT_EQ(Save(tag, {7, 2, 0}, {9}), 1);
    EXPECT_EQ(*Store().Find(RecordKey::Other(tag, 7, 2)), Bytes({9}));
    EXPECT_EQ(Store().Count(), 1u);
    EXPECT_EQ(save(tag, Keys{1, 0, 0}.data(), nullptr, 4, kVersion), 0) << "bytes without a buffer";
    EXPECT_EQ(save(tag, Keys{1, 0, 0}.data(), stored, -1, kVersion), 0);
}

TEST_F(RecordServicesTest, LoadWritesAtMostTheSizeGiven) {
    const hostapi::Tag tag = MakeTag("SOTX");
    ASSERT_EQ(Save(tag, {1, 0, 0}, {1, 2, 3, 4, 5, 6}), 1);
    std::array<uint8_t, 8> buffer;
    buffer.fill(0xEE);
    int32_t size = 4;
    ASSERT_EQ(Load(tag, {1, 0, 0}, buffer.data(), &size), 1);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(buffer, (std::array<uint8_t, 8>{1, 2, 3, 4, 0xEE, 0xEE, 0xEE, 0xEE}));
    size = 8;
    ASSERT_EQ(Load(tag, {1, 0, 0}, buffer.data(), &size), 1);
    EXPECT_EQ(size, 6);
    // A null buffer asks whether the record is there; the size then tells how big it is.
    size = 0;
    EXPECT_EQ(Load(tag, {1, 0, 0}, nullptr, &size), 1);
    EXPECT_EQ(size, 6);
    EXPECT_EQ(Load(tag, {1, 0, 0}, nullptr, nullptr), 1);
    EXPECT_EQ(Load(tag, {2, 0, 0}, nullptr, nullptr), 0);
    buffer.fill(0xEE);
    size = 8;
    EXPECT_EQ(Load(tag, {2, 0, 0}, buffer.data(), &size), 0);
    EXPECT_EQ(size, 8);
    EXPECT_EQ(buffer[0], 0xEE);
    EXPECT_EQ(Load(tag, {1, 0, 0}, buffer.data(), nullptr), 0) << "a buffer without a size";
}

struct CreateCase {
    const char* what;
    const char* tag;
    Keys existing[3];  ///< records made first; {0, 0, 0} rows after the first are not used
    int existingCount;
    Keys asked;
    bool created;
    std::vector<int32_t> given;  ///< the keys the record got (written back)
};

class CreateTest : public RecordServicesTest, public ::testing::WithParamInterface<CreateCase> {};

TEST_P(CreateTest, HandsOutKeys) {
    const CreateCase& c = GetParam();
    SCOPED_TRACE(c.what);
    const hostapi::Tag tag = MakeTag(c.tag[0], c.tag[1], c.tag[2], c.tag[3]);
    for (int i = 0; i < c.existingCount; ++i) {
        Keys keys = c.existing[i];
        ASSERT_EQ(Save(tag, keys, {0xAA}), 1);
    }
    Keys keys = c.asked;
    const size_t before = Store().Count();
    ASSERT_EQ(Create(tag, keys, {1, 2}), c.created ? 1 : 0);
    if (!c.created) {
        EXPECT_EQ(Store().Count(), before);
        EXPECT_EQ(keys, c.asked) << "a refused create writes nothing back";
        return;
    }
    EXPECT_EQ(RecordKey::FromKeysBlock(tag, keys.data()).Numbers(), c.given);
    const auto key = RecordKey::FromNumbers(tag, c.given);
    ASSERT_TRUE(key);
    ASSERT_NE(Store().Find(*key), nullptr);
    EXPECT_EQ(*Store().Find(*key), Bytes({1, 2}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CreateTest,
    ::testing::Values(
        CreateCase{"first cmper of a tag is 1", "SOPS", {}, 0, {-1, 0, 0}, true, {1, 0}},
        CreateCase{"cmper above the highest", "SOPS", {{3, 0, 0}, {-4, 0, 0}, {9, 5, 0}}, 3, {-1, 0, 0}, true, {10, 0}},
        CreateCase{"new cmper, new inci", "SOPS", {{3, 0, 0}}, 1, {-1, -1, 0}, true, {4, 0}},
        CreateCase{"first inci is 0", "otDY", {{2, 0, 0}}, 1, {5, -1, 0}, true, {5, 0}},
        CreateCase{"inci after the highest of the cmper",
                   "otDY",
                   {{5, 0, 0}, {5, 3, 0}, {6, 7, 0}},
                   3,
                   {5, -1, 0},
                   true,
                   {5, 4}},
        CreateCase{"explicit keys", "otDY", {{5, 0, 0}}, 1, {5, 1, 0}, true, {5, 1}},
        CreateCase{"existing record", "otDY", {{5, 0, 0}}, 1, {5, 0, 0}, false, {}},
        CreateCase{
            "detail inci under both keys", "SDNG", {{0, 1, 0}, {0, 1, 1}, {0, 2, 4}}, 3, {0, 1, -1}, true, {0, 1, 2}},
        CreateCase{"new group number", "SDNG", {{0, 1, 0}, {0, 2, 4}, {1, 7, 0}}, 3, {0, -1, 0}, true, {0, 3, 0}},
        CreateCase{"top key used: the lowest free",
                   "SOPS",
                   {{32767, 0, 0}, {1, 0, 0}, {2, 0, 0}},
                   3,
                   {-1, 0, 0},
                   true,
                   {3, 0}},
        CreateCase{"top inci used: the lowest free",
                   "otDY",
                   {{5, 32767, 0}, {5, 0, 0}, {6, 1, 0}},
                   3,
                   {5, -1, 0},
                   true,
                   {5, 1}},
        CreateCase{"top key in use: free from 1", "SOPS", {{32767, 0, 0}}, 1, {-1, 0, 0}, true, {1, 0}},
        CreateCase{"top key in use: the lowest cmper no inci uses",
                   "SOPS",
                   {{1, 0, 0}, {2, 3, 0}, {32767, 0, 0}},
                   3,
                   {-1, 0, 0},
                   true,
                   {3, 0}},
        CreateCase{"top group number in use: the lowest free under key 1",
                   "SDNG",
                   {{0, 1, 0}, {0, 32767, 0}, {1, 2, 0}},
                   3,
                   {0, -1, 0},
                   true,
                   {0, 2, 0}},
        CreateCase{"global key", "pfdf", {{15, 0, 0}}, 1, {-1, 0, 0}, true, {16}}),
    testsupport::NameBy(&CreateCase::what));

TEST_F(RecordServicesTest, ACreateIsRefusedOnlyWhenEveryKeyIsUsed) {
    const hostapi::Tag tag = MakeTag("SOPS");
    for (int16_t key = 1; key < INT16_MAX; ++key) {
        Store().Save(RecordKey::Other(tag, key, 0), {0});
    }
    Keys last = {-1, 0, 0};
    ASSERT_EQ(Create(tag, last, {1}), 1);
    EXPECT_EQ(last, (Keys{INT16_MAX, 0, 0}));
    Keys none = {-1, 0, 0};
    EXPECT_EQ(Create(tag, none, {2}), 0);
    EXPECT_EQ(none, (Keys{-1, 0, 0}));
}

TEST_F(RecordServicesTest, ATagWithEveryKeyInUseCreatesAgainWhenOneGoes) {
    const hostapi::Tag tag = MakeTag("SOPS");
    for (int32_t cmper = 1; cmper <= INT16_MAX; ++cmper) {
        Store().Save(RecordKey::Other(tag, static_cast<int16_t>(cmper), 0), {1});
    }
    Store().Save(RecordKey::Other(MakeTag("SOPT"), 40, 0), {1});  // another tag is no use to it
    Keys keys{-1, 0, 0};
    EXPECT_EQ(Create(tag, keys, {2}), 0) << "no cmper left";
    EXPECT_EQ(Create(tag, keys, {2}), 0) << "asked again";
    ASSERT_EQ(Delete(tag, {1200, 0, 0}), 1);
    ASSERT_EQ(Create(tag, keys, {3}), 1);
    EXPECT_EQ(keys, (Keys{1200, 0, 0}));
    EXPECT_EQ(*Store().Find(RecordKey::Other(tag, 1200, 0)), Bytes({3}));
    keys = {-1, 0, 0};
    EXPECT_EQ(Create(tag, keys, {4}), 0) << "full again";
}

TEST_F(RecordServicesTest, EntryDetailKeysAreAnEntryNumberAndAnInci) {
    const hostapi::Tag tag = MakeTag("edED");
    ASSERT_EQ(Save(tag, EntryKeys(70000, 0), {1}), 1);
    ASSERT_EQ(Save(tag, EntryKeys(70000, 1), {2}), 1);
    ASSERT_EQ(Save(tag, EntryKeys(4464, 5), {3}), 1);  // 70000 - 65536: the same low word
    Keys keys = EntryKeys(70000, -1);
    ASSERT_EQ(Create(tag, keys, {4}), 1);
    EXPECT_EQ(keys, EntryKeys(70000, 2));
    Keys unknown = EntryKeys(-1, -1);
    EXPECT_EQ(Create(tag, unknown, {5}), 0) << "the host hands out no entry numbers";
}

TEST_F(RecordServicesTest, DeleteMovesLaterIncidencesDown) {
    const hostapi::Tag other = MakeTag("otDY");
    for (int16_t inci : std::initializer_list<int16_t>{0, 1, 2, 4}) {
        ASSERT_EQ(Save(other, {5, inci, 0}, {static_cast<uint8_t>(inci)}), 1);
    }
    ASSERT_EQ(Save(other, {6, 0, 0}, {60}), 1);
    ASSERT_EQ(Delete(other, {5, 1, 0}), 1);
    EXPECT_EQ(Walk(other, {INT16_MIN, INT16_MIN, 0}),
              (std::vector<std::vector<int32_t>>{{5, 0}, {5, 1}, {5, 3}, {6, 0}}));
    EXPECT_EQ(*Store().Find(RecordKey::Other(other, 5, 1)), Bytes({2}));
    EXPECT_EQ(*Store().Find(RecordKey::Other(other, 5, 3)), Bytes({4}));
    EXPECT_EQ(Delete(other, {5, 1, 0}), 1);
    EXPECT_EQ(Delete(other, {5, 9, 0}), 0);

    const hostapi::Tag detail = MakeTag("SDNG");
    for (Keys keys : {Keys{0, 1, 0}, Keys{0, 1, 1}, Keys{0, 2, 1}, Keys{1, 1, 1}}) {
        ASSERT_EQ(Save(detail, keys, {1}), 1);
    }
    ASSERT_EQ(Delete(detail, {0, 1, 0}), 1);
    EXPECT_EQ(Walk(detail, {INT16_MIN, INT16_MIN, INT16_MIN}),
              (std::vector<std::vector<int32_t>>{{0, 1, 0}, {0, 2, 1}, {1, 1, 1}}));

    const hostapi::Tag entry = MakeTag("edED");
    for (Keys keys : {EntryKeys(70000, 0), EntryKeys(70000, 1), EntryKeys(70001, 1)}) {
        ASSERT_EQ(Save(entry, keys, {1}), 1);
    }
    ASSERT_EQ(Delete(entry, EntryKeys(70000, 0)), 1);
    EXPECT_EQ(Walk(entry, EntryKeys(INT32_MIN, INT16_MIN)),
              (std::vector<std::vector<int32_t>>{{70000, 0}, {70001, 1}}));
}

TEST_F(RecordServicesTest, TheStoreFindsTheEntryDetailRecordsOfAnEntry) {
    for (const hostapi::Tag tag : {MakeTag("edve"), MakeTag("edED"),
                                   MakeTag("E\x02"
                                           "Ch"),
                                   MakeTag("edsB")}) {
        for (hostapi::EntryNumber entry : {6, 7, 8}) {
            ASSERT_EQ(Save(tag, EntryKeys(entry, 0), {1}), 1);
        }
    }
    ASSERT_EQ(Save(MakeTag("edED"), EntryKeys(7, 3), {1}), 1);
    ASSERT_EQ(Save(MakeTag("otDY"), {7, 0, 0}, {1}), 1);  // an other record keyed 7 is not the entry's
    Store().Delete(RecordKey::EntryDetail(MakeTag("edsB"), 7, 0));
    const std::vector<RecordKey> expected = {RecordKey::EntryDetail(MakeTag("E\x02"
                                                                            "Ch"),
                                                                    7, 0),
                                             RecordKey::EntryDetail(MakeTag("edED"), 7, 0),
                                             RecordKey::EntryDetail(MakeTag("edED"), 7, 3),
                                             RecordKey::EntryDetail(MakeTag("edve"), 7, 0)};
    EXPECT_EQ(Store().EntryDetailKeys(7), expected) << "in key order: tag, then inci";
    EXPECT_TRUE(Store().EntryDetailKeys(9).empty());
    EXPECT_EQ(Store().HighestEntryNumber(), 8);
    EXPECT_EQ(Store().Last(MakeTag("edED")), RecordKey::EntryDetail(MakeTag("edED"), 8, 0));
    EXPECT_EQ(Store().Last(MakeTag("otDX")), std::nullopt);
}

TEST_F(RecordServicesTest, EveryTagOfTheTableHasItsFamily) {
    for (const hostapi::RecordTagInfo& info : hostapi::kRecordTags) {
        SCOPED_TRACE(host::TagText(info.tag));
        EXPECT_EQ(host::FamilyOfTag(info.tag), hostapi::FindRecordTag(info.tag)->family);
    }
    EXPECT_EQ(host::FamilyOfTag(0), hostapi::RecordFamily::Other);
    EXPECT_EQ(host::FamilyOfTag(MakeTag("edEE")), hostapi::RecordFamily::Other);
}

TEST_F(RecordServicesTest, NextAndPreviousWalkInAscendingSignedOrder) {
    const hostapi::Tag tag = MakeTag("otIO");
    for (Keys keys : {Keys{300, 0, 0}, Keys{-2, 1, 0}, Keys{-2, 0, 0}, Keys{1, 0, 0}, Keys{-32768, 0, 0}}) {
        ASSERT_EQ(Save(tag, keys, {static_cast<uint8_t>(keys[0] & 0xFF)}), 1);
    }
    ASSERT_EQ(Save(MakeTag("otIN"), {5, 0, 0}, {1}), 1);  // another tag is never reached
    ASSERT_EQ(Save(MakeTag("otIP"), {-5, 0, 0}, {1}), 1);
    EXPECT_EQ(Walk(tag, {INT16_MIN, INT16_MIN, 0}),
              (std::vector<std::vector<int32_t>>{{-32768, 0}, {-2, 0}, {-2, 1}, {1, 0}, {300, 0}}));
    EXPECT_EQ(Walk(tag, {-32768, -1, 0}).size(), 5u);

    Keys keys{1, 0, 0};
    std::array<uint8_t, 4> buffer{};
    ASSERT_EQ(previous(tag, keys.data(), buffer.data(), 4, kVersion), 1);
    EXPECT_EQ(keys, (Keys{-2, 1, 0}));
    EXPECT_EQ(buffer[0], 0xFE);
    keys = {300, 0, 7};
    EXPECT_EQ(next(tag, keys.data(), buffer.data(), 4, kVersion), 0);
    EXPECT_EQ(keys, (Keys{300, 0, 7})) << "keys stay when nothing follows";
    keys = {-32768, 0, 0};
    EXPECT_EQ(previous(tag, keys.data(), nullptr, 0, kVersion), 0);

    // Entry detail records follow their i32 entry number, then the inci.
    const hostapi::Tag entry = MakeTag("edED");
    for (Keys k : {EntryKeys(65536, 0), EntryKeys(1, 3), EntryKeys(-1, 0), EntryKeys(1, 0)}) {
        ASSERT_EQ(Save(entry, k, {1}), 1);
    }
    EXPECT_EQ(Walk(entry, EntryKeys(INT32_MIN, 0)),
              (std::vector<std::vector<int32_t>>{{-1, 0}, {1, 0}, {1, 3}, {65536, 0}}));
}

TEST_F(RecordServicesTest, UnknownTagsAreOtherRecords) {
    const hostapi::Tag unknown = MakeTag("zzQ9");
    ASSERT_FALSE(hostapi::FindRecordTag(unknown));
    EXPECT_EQ(host::FamilyOfTag(unknown), hostapi::RecordFamily::Other);
    ASSERT_EQ(Save(unknown, {4, 1, 123}, {7}), 1);
    EXPECT_EQ(Store().Find(RecordKey::Other(unknown, 4, 1))->at(0), 7);
    EXPECT_EQ(RecordKey::Other(unknown, 4, 1).Description(), "'zzQ9' other (4, 1)");
    Keys keys{4, -1, 0};
    ASSERT_EQ(Create(unknown, keys, {8}), 1);
    EXPECT_EQ(keys, (Keys{4, 2, 0}));
    EXPECT_EQ(Delete(unknown, {4, 1, 55}), 1);
    EXPECT_EQ(Store().Find(RecordKey::Other(unknown, 4, 1))->at(0), 8);
}

TEST_F(RecordServicesTest, ServicesWorkOnTheDocumentInFront) {
    const hostapi::Tag tag = MakeTag("SOMS");
    ASSERT_EQ(Save(tag, {1, 0, 0}, {1}), 1);
    m_host->AddDocument(std::make_unique<host::Document>("second"));
    EXPECT_EQ(Load(tag, {1, 0, 0}, nullptr, nullptr), 0) << "the new document is in front";
    EXPECT_EQ(win::GetWindowText(m_host->MainWindow()), "Finale 2000 - [second]");
    ASSERT_TRUE(m_host->BringToFront(1));
    EXPECT_EQ(Load(tag, {1, 0, 0}, nullptr, nullptr), 1);
    EXPECT_EQ(win::GetWindowText(m_host->MainWindow()), "Finale 2000 - [empty]");
    EXPECT_FALSE(m_host->BringToFront(3));
    EXPECT_EQ(m_host->FrontNumber(), 1);
    // Only the two interface versions of the plug-ins are served.
    Keys keys{1, 0, 0};
    EXPECT_EQ(load(tag, keys.data(), nullptr, nullptr, hostapi::kInterfaceVersion2001), 1);
    EXPECT_EQ(load(tag, keys.data(), nullptr, nullptr, 0x04000000), 0);
}

TEST_F(RecordServicesTest, NothingWithoutADocumentOrAHost) {
    m_host.reset();
    m_host = std::make_unique<host::Host>();
    EXPECT_EQ(win::GetWindowText(m_host->MainWindow()), "Finale 2000");
    Keys keys{-1, 0, 0};
    EXPECT_EQ(Create(MakeTag("SOMS"), keys, {1}), 0);
    EXPECT_EQ(next(MakeTag("SOMS"), keys.data(), nullptr, 0, kVersion), 0);
    m_host.reset();
    EXPECT_EQ(Save(MakeTag("SOMS"), {1, 0, 0}, {1}), 0);
}

TEST_F(RecordServicesTest, ACreatedStaffJoinsTheScoreStaffList) {
    const host::Bytes staff(host::StaffLayout::kSize, 0);
    Keys first{-1, 0, 0};
    ASSERT_EQ(Create(host::kTagStaff, first, staff), 1);
    Keys second{-1, 0, 0};
    ASSERT_EQ(Create(host::kTagStaff, second, staff), 1);
    EXPECT_EQ(second, (Keys{2, 0, 0}));
    // Saving an absent staff creates the record only.
    ASSERT_EQ(Save(host::kTagStaff, {9, 0, 0}, staff), 1);
    std::vector<std::pair<int16_t, int32_t>> list;
    for (const auto& [key, bytes] : Store().Records()) {
        if (key.tag == host::kTagStaffListEntry) {
            EXPECT_EQ(key.first, 0);
            EXPECT_EQ(key.second, static_cast<int16_t>(list.size()));
            list.emplace_back(hostapi::ReadI16(bytes.data(), host::StaffListEntryLayout::kStaff),
                              hostapi::ReadI32(bytes.data(), host::StaffListEntryLayout::kPosition));
        }
    }
    EXPECT_EQ(list, (std::vector<std::pair<int16_t, int32_t>>{{1, 0}, {2, -200}}));
}

}  // namespace
