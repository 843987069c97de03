// The forwards of the host's stored-record services, with the keys of each record family.
#include <gtest/gtest.h>

#include <array>

#include "platform/host/record_store.h"
#include "platform/hostapi/bytes.h"
#include "platform/win/transcript.h"
#include "service/host_imports.h"
#include "service/record_forwards.h"
#include "tests/service/lumvar_fixture.h"

namespace {

using host::RecordKey;
using lumvartest::Bytes;

class RecordForwardsTest : public lumvartest::LumvarHostTest {
protected:
    void SetUp() override {
        LumvarHostTest::SetUp();
        StartLumvar();
        NewDocument();
    }
    const Bytes* Find(const RecordKey& key) { return Front().Records().Find(key); }
};

TEST_F(RecordForwardsTest, OtherRecords) {
    const hostapi::Tag tag = Tag("SOMS");
    Bytes record = {1, 2, 3, 4};
    ASSERT_EQ(lumvar::SaveOther(tag, 7, 2, record.data(), 4), 1);
    ASSERT_NE(Find(RecordKey::Other(tag, 7, 2)), nullptr);
    std::array<uint8_t, 6> buffer;
    buffer.fill(0xEE);
    ASSERT_EQ(lumvar::LoadOther(tag, 7, 2, buffer.data(), 3), 1);  // at most the size given
    EXPECT_EQ(buffer, (std::array<uint8_t, 6>{1, 2, 3, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(lumvar::LoadOther(tag, 7, 1, buffer.data(), 6), 0);
    int16_t number = -1;
    int16_t incident = 0;
    ASSERT_EQ(lumvar::CreateOther(tag, &number, &incident, record.data(), 4), 1);
    EXPECT_EQ(number, 8);  // a new key after the highest
    EXPECT_EQ(incident, 0);
    ASSERT_EQ(lumvar::DeleteOther(tag, 7, 2), 1);
    EXPECT_EQ(Find(RecordKey::Other(tag, 7, 2)), nullptr);
    EXPECT_EQ(lumvar::CreateOther(tag, nullptr, &incident, record.data(), 4), 0);
}

TEST_F(RecordForwardsTest, PreviousAndNextWalkTheirWays) {
    const hostapi::Tag tag = Tag("SOMS");
    for (const int16_t m : std::initializer_list<int16_t>{1, 3, 5}) {
        SaveOther("SOMS", m, 0, Bytes{static_cast<uint8_t>(m), 0});
    }
    int16_t number = 3;
    int16_t incident = 0;
    std::array<uint8_t, 2> buffer{};
    ASSERT_EQ(lumvar::NextOther(tag, &number, &incident, buffer.data(), 2), 1);
    EXPECT_EQ(number, 5);
    EXPECT_EQ(buffer[0], 5);
    number = 3;
    ASSERT_EQ(lumvar::PreviousOther(tag, &number, &incident, buffer.data(), 2), 1);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(lumvar::PreviousOther(tag, &number, &incident, buffer.data(), 2), 0);
    EXPECT_EQ(number, 1);  // unchanged when there is none
    number = 5;
    EXPECT_EQ(lumvar::NextOther(tag, &number, &incident, nullptr, 0), 0);
    EXPECT_EQ(lumvar::NextOther(tag, nullptr, &incident, buffer.data(), 2), 0);
}

TEST_F(RecordForwardsTest, DetailRecords) {
    const hostapi::Tag tag = Tag("dtLP");
    Bytes record = {9, 0};
    ASSERT_EQ(lumvar::SaveDetail(tag, 3, 4, record.data(), 2), 1);
    ASSERT_NE(Find(RecordKey::Detail(tag, 3, 4, 0)), nullptr);
    std::array<uint8_t, 2> buffer{};
    ASSERT_EQ(lumvar::LoadDetail(tag, 3, 4, buffer.data(), 2), 1);
    EXPECT_EQ(buffer[0], 9);
    EXPECT_EQ(lumvar::LoadDetail(tag, 4, 3, buffer.data(), 2), 0);
    int16_t key1 = 3;
    int16_t key2 = -1;
    ASSERT_EQ(lumvar::CreateDetail(tag, &key1, &key2, record.data(), 2), 1);
    EXPECT_EQ(key1, 3);
    EXPECT_EQ(key2, 5);
    ASSERT_EQ(lumvar::DeleteDetail(tag, 3, 4), 1);
    EXPECT_EQ(Find(RecordKey::Detail(tag, 3, 4, 0)), nullptr);
}

TEST_F(RecordForwardsTest, EntryDetailRecordsKeepTheWholeEntryNumber) {
    const hostapi::Tag tag = Tag("edED");
    Bytes record = {4, 5, 6};
    ASSERT_EQ(lumvar::SaveEntryDetail(tag, 70000, 1, record.data(), 3), 1);
    ASSERT_NE(Find(RecordKey::EntryDetail(tag, 70000, 1)), nullptr);
    std::array<uint8_t, 3> buffer{};
    ASSERT_EQ(lumvar::LoadEntryDetail(tag, 70000, 1, buffer.data(), 3), 1);
    EXPECT_EQ(buffer[2], 6);
    EXPECT_EQ(lumvar::LoadEntryDetail(tag, 70000 - 65536, 1, buffer.data(), 3), 0);
    int32_t entry = 70000;
    int16_t incident = -1;
    ASSERT_EQ(lumvar::CreateEntryDetail(tag, &entry, &incident, record.data(), 3), 1);
    EXPECT_EQ(entry, 70000);
    EXPECT_EQ(incident, 2);
    ASSERT_EQ(lumvar::DeleteEntryDetail(tag, 70000, 1), 1);
    EXPECT_EQ(Find(RecordKey::EntryDetail(tag, 70000, 2)), nullptr);  // later incidences moved down
    EXPECT_NE(Find(RecordKey::EntryDetail(tag, 70000, 1)), nullptr);
}

TEST_F(RecordForwardsTest, GlobalRecords) {
    const hostapi::Tag tag = Tag("pfLA");
    Front().Records().Save(RecordKey::Global(tag, 2), Bytes{7, 7});
    std::array<uint8_t, 2> buffer{};
    ASSERT_EQ(lumvar::LoadGlobal(tag, 2, buffer.data(), 2), 1);
    EXPECT_EQ(buffer[0], 7);
    EXPECT_EQ(lumvar::LoadGlobal(tag, 3, buffer.data(), 2), 0);
}

TEST_F(RecordForwardsTest, AHostWithoutRecordServicesAnswersNothing) {
    lumvar::HostImports imports = lumvar::Imports();
    imports.LoadRecord = nullptr;
    imports.SaveRecord = nullptr;
    imports.CreateRecord = nullptr;
    imports.DeleteRecord = nullptr;
    imports.NextRecord = nullptr;
    imports.PreviousRecord = nullptr;
    lumvar::UseHostImports(imports);
    win::ClearTranscript();
    const hostapi::Tag tag = Tag("SOMS");
    Bytes record = {1, 2};
    int16_t number = 1;
    int32_t entry = 1;
    const std::vector<int16_t> answers = {lumvar::LoadOther(tag, 1, 0, record.data(), 2),
                                          lumvar::SaveOther(tag, 1, 0, record.data(), 2),
                                          lumvar::CreateOther(tag, &number, &number, record.data(), 2),
                                          lumvar::DeleteOther(tag, 1, 0),
                                          lumvar::NextOther(tag, &number, &number, nullptr, 0),
                                          lumvar::PreviousOther(tag, &number, &number, nullptr, 0),
                                          lumvar::CreateDetail(tag, &number, nullptr, nullptr, 0),
                                          lumvar::CreateEntryDetail(tag, &entry, nullptr, nullptr, 0)};
    EXPECT_EQ(answers, std::vector<int16_t>(8, 0));
    EXPECT_EQ(number, 1);
    EXPECT_EQ(record, (Bytes{1, 2}));
    const std::string lead = "[debug] Lumvar2000: the host does not offer ";
    const std::string tail = "; it is not available in this build";
    EXPECT_EQ(win::TranscriptLines(),
              (std::vector<std::string>{
                  lead + "loading records (service 9)" + tail, lead + "saving records (service 10)" + tail,
                  lead + "creating records (service 11)" + tail, lead + "deleting records (service 12)" + tail,
                  lead + "the next record (service 14)" + tail, lead + "the previous record (service 13)" + tail}));
}

}  // namespace
