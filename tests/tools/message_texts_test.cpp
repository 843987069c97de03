// Messages from the tables end to end, in the host's two languages: the texts a command shows
// with a year, or with a damaged record's name and sizes, filled in are the tables' rows word
// for word.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/host/finxess_regions.h"
#include "core/tool_items.h"
#include "platform/hostapi/music_records.h"
#include "tests/support/case_names.h"
#include "tests/tools/notes_fixture.h"

namespace {

constexpr int32_t kExplodeStaves = orvex::ToolCode(orvex::ToolItem::SmartExplosion);

constexpr const char* kScore = R"(
staff "Flute"
staff "Oboe"
measures 4
notes 1 1 c5+e5/2 d5+f5/2
)";

struct LanguageCase {
    host::Language language;
    std::string refusal;  ///< the explosion on a host before 1998
    std::string damaged;  ///< a cell's staff record cut short, read by its loader
};

class MessageTextsTest : public testsupport::NotesTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(MessageTextsTest, AnOldHostIsToldTheYearItNeeds) {
    StartHost(kScore, 0x03000000, GetParam().language);
    Select(1, 1, 1, 2);
    EXPECT_EQ(RunWithShift(kExplodeStaves), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{GetParam().refusal});
}

TEST_P(MessageTextsTest, ADamagedRecordIsNamedWithItsSizes) {
    StartHost(kScore, 0x05000005, GetParam().language);
    Document().Records().Save(host::RecordKey::Detail(hostapi::kTagStaffSpec, 1, 2, 0), host::Bytes(30, 0));
    std::array<uint8_t, hostapi::StaffSpecLayout::kSize> buffer{};
    EXPECT_TRUE(orvex::LoadRecordSOSC(1, 2, 0, buffer.data()));
    EXPECT_EQ(Messages(), std::vector<std::string>{GetParam().damaged});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageTextsTest,
    ::testing::Values(
        LanguageCase{
            host::Language::English, "This function is currently available for Finale 1998 and above.",
            "The record 'SOSC' (1, 2, 0) of the document is damaged: it holds 30 bytes where 66 are expected."},
        LanguageCase{host::Language::German, "Diese Funktion benötigt zur Zeit mindestens Finale 1998.",
                     "Der Datensatz 'SOSC' (1, 2, 0) des Dokuments ist beschädigt: er enthält 30 Bytes statt 66."}),
    testsupport::NameBy("language", &LanguageCase::language));

}  // namespace
