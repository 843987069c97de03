// The byte layouts and helpers of the host's plug-in interface.
#include <gtest/gtest.h>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/record_tags.h"
#include "platform/hostapi/records.h"

namespace {

using namespace hostapi;

TEST(HostApiTest, TagsPackHighByteFirst) {
    EXPECT_EQ(MakeTag("SOTX"), 0x534F5458u);
    EXPECT_EQ(MakeTag("O\x02SS"), 0x4F025353u);
    EXPECT_EQ(TagName(MakeTag("O\x02SS")), "O\\x02SS");
    EXPECT_EQ(TagName(MakeTag("edCN")), "edCN");
}

TEST(HostApiTest, TagFamilies) {
    EXPECT_EQ(FindRecordTag(MakeTag("SOTX"))->family, RecordFamily::Other);
    EXPECT_EQ(FindRecordTag(MakeTag("SDNG"))->family, RecordFamily::Detail);
    EXPECT_EQ(FindRecordTag(MakeTag("E\x02"
                                    "cn"))
                  ->family,
              RecordFamily::EntryDetail);
    EXPECT_EQ(FindRecordTag(MakeTag("pfLA"))->family, RecordFamily::Global);
    EXPECT_FALSE(FindRecordTag(MakeTag("zzzz")).has_value());
    for (size_t i = 0; i < kRecordTags.size(); ++i) {
        for (size_t j = i + 1; j < kRecordTags.size(); ++j) {
            EXPECT_NE(kRecordTags[i].tag, kRecordTags[j].tag) << TagName(kRecordTags[i].tag) << " twice";
        }
    }
}

TEST(HostApiTest, LittleEndianReadersAndWriters) {
    uint8_t bytes[8] = {};
    WriteI16(bytes, 0, -2);
    WriteI32(bytes, 2, 0x12345678);
    EXPECT_EQ(bytes[0], 0xFE);
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(bytes[2], 0x78);
    EXPECT_EQ(bytes[5], 0x12);
    EXPECT_EQ(ReadI16(bytes, 0), -2);
    EXPECT_EQ(ReadU16(bytes, 0), 0xFFFE);
    EXPECT_EQ(ReadI32(bytes, 2), 0x12345678);
}

TEST(HostApiTest, FixedTextIsCutAndTerminated) {
    MenuRecord record;
    record.bytes.fill(0xEE);
    const std::string longName(70, 'x');
    WriteFixedText(record.bytes.data(), MenuRecord::kMenuText, MenuRecord::kTextWidth, longName);
    EXPECT_EQ(record.menuText(), std::string(63, 'x'));
    EXPECT_EQ(record.bytes[63], 0);
    EXPECT_EQ(record.bytes[64], 0xEE);  // the next field is not touched
    WriteFixedText(record.bytes.data(), MenuRecord::kMenuText, MenuRecord::kTextWidth, std::string(64, 'y'));
    EXPECT_EQ(record.menuText(), std::string(63, 'y'));
}

TEST(HostApiTest, SelectionRecordFields) {
    SelectionRecord selection;
    selection.setViewKey(0);
    selection.setFirstStaff(2);
    selection.setFirstMeasure(3);
    selection.setStartEdu(512);
    selection.setLastStaff(4);
    selection.setLastMeasure(9);
    selection.setEndEdu(4096);
    EXPECT_EQ(selection.word(1), 2);
    EXPECT_EQ(selection.word(2), 3);
    EXPECT_EQ(selection.word(6), 4);
    EXPECT_EQ(selection.word(7), 9);
    EXPECT_EQ(ReadI32(selection.bytes.data(), 6), 512);
    EXPECT_EQ(ReadI32(selection.bytes.data(), 16), 4096);
    EXPECT_EQ(selection.endEdu(), 4096);
}

}  // namespace
