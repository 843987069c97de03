// Finxess, the access layer over stored records, against the simulated host: the generic
// families, the fixed-tag wrappers, text blocks and the caret-command stripper, the searches
// by value and the conversions.
#include <gtest/gtest.h>

#include <cstring>

#include "core/host/access_state.h"
#include "core/host/finxess.h"
#include "core/host/host_imports.h"
#include "core/module.h"
#include "core/startup.h"
#include "platform/host/host.h"
#include "platform/host/score_builder.h"
#include "platform/hostapi/bytes.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;
using hostapi::MakeTag;

// Staff 1 has both names, staff 2 only an abbreviated one: text blocks 1, 2 and 3.
host::ScoreBuilder TwoStaves() {
    host::ScoreBuilder builder("two staves");
    builder.Staff("^font(Times)^size(14)Flute", "Fl.").Staff("", "Ob.").Measures(2);
    return builder;
}

class FinxessTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
        TheAccessLayer.host.year = 2000;
        m_host = std::make_unique<host::Host>();
        m_host->AddDocument(TwoStaves().Build());
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        ResetHostImports();
        DesktopTest::TearDown();
    }

    host::RecordStore& Store() { return m_host->FrontDocument()->Records(); }
    const host::Bytes* Stored(const host::RecordKey& key) { return Store().Find(key); }
    void Put(const host::RecordKey& key, host::Bytes bytes) { Store().Save(key, std::move(bytes)); }

    static Record10 Record10With(int16_t first, int16_t last = 0) {
        Record10 record;
        record.setWord(0, first);
        record.setWord(4, last);
        return record;
    }

    std::unique_ptr<host::Host> m_host;
};

// ---- Generic families ----

TEST_F(FinxessTest, OtherRecordsKeysWrittenBackWidenTheCmperWithoutSign) {
    const Tag tag = MakeTag("otIO");
    Put(host::RecordKey::Other(tag, -2, 3), {1, 2, 3, 4});
    int32_t cmper = -100;
    int32_t inci = 0;
    uint8_t buffer[4] = {};
    ASSERT_TRUE(NextOtherRecord(tag, cmper, inci, buffer, 4));
    EXPECT_EQ(cmper, 65534);
    EXPECT_EQ(inci, 3);
    EXPECT_EQ(buffer[3], 4);
    // From the widened key the walk goes on after the record, not before it.
    EXPECT_FALSE(NextOtherRecord(tag, cmper, inci, buffer, 4));

    cmper = -1;
    inci = -1;
    ASSERT_TRUE(CreateOtherRecord(tag, cmper, inci, buffer, 4));
    EXPECT_EQ(cmper, 1);
    EXPECT_EQ(inci, 0);
    inci = -1;
    ASSERT_TRUE(CreateOtherRecord(tag, cmper, inci, buffer, 4));
    EXPECT_EQ(inci, 1);
    EXPECT_TRUE(DeleteOtherRecord(tag, 1, 0));
    EXPECT_NE(Stored(host::RecordKey::Other(tag, 1, 0)), nullptr) << "inci 1 moved down to 0";
    EXPECT_EQ(Stored(host::RecordKey::Other(tag, 1, 1)), nullptr);
}

TEST_F(FinxessTest, LoadsWriteAtMostTheSizeAndLeaveTheBufferOnFailure) {
    const Tag tag = MakeTag("SOPS");
    Put(host::RecordKey::Other(tag, 1, 0), host::Bytes(22, 0x11));
    uint8_t buffer[24];
    std::memset(buffer, 0xEE, sizeof buffer);
    ASSERT_TRUE(LoadOtherRecord(tag, 1, 0, buffer, 8));
    EXPECT_EQ(buffer[7], 0x11);
    EXPECT_EQ(buffer[8], 0xEE);
    EXPECT_FALSE(LoadOtherRecord(tag, 2, 0, buffer, 24));
    EXPECT_EQ(buffer[0], 0x11);

    // 'SODT' passes the caller's own size, so the caller learns what the host wrote.
    Put(host::RecordKey::Other(MakeTag("SODT"), 4, 0), host::Bytes(14, 7));
    int32_t size = 24;
    ASSERT_TRUE(LoadRecordSODT(4, buffer, size));
    EXPECT_EQ(size, 14);
}

TEST_F(FinxessTest, DetailEntryDetailAndGlobalRecords) {
    const Tag group = MakeTag("SDNG");
    StaffGroupRecord record;
    record.setWord(0, 1);
    record.setWord(1, 2);
    ASSERT_TRUE(SaveRecordSDNG(0, 1, record));
    EXPECT_NE(Stored(host::RecordKey::Detail(group, 0, 1, 0)), nullptr);
    int32_t inci = -1;
    ASSERT_TRUE(CreateDetailRecord(group, 0, 1, record.data(), StaffGroupRecord::kSize, inci));
    EXPECT_EQ(inci, 1);
    StaffGroupRecord loaded;
    ASSERT_TRUE(LoadRecordSDNG(0, 1, loaded));
    EXPECT_EQ(loaded.word(1), 2);
    EXPECT_TRUE(DeleteRecordSDNG(0, 1));
    EXPECT_TRUE(LoadRecordSDNG(0, 1, loaded)) << "inci 1 moved down to 0";
    EXPECT_FALSE(LoadDetailRecord(group, 0, 1, loaded.data(), StaffGroupRecord::kSize, 1));

    // An entry number takes bytes 0-3 of the keys: numbers above 16 bits stay whole.
    const Tag tuplet = MakeTag("E\x03TP");
    Record30 etp;
    etp.setWord(0, 3);
    ASSERT_TRUE(SaveRecordEtp(70000, 0, etp));
    EXPECT_NE(Stored(host::RecordKey::EntryDetail(tuplet, 70000, 0)), nullptr);
    hostapi::EntryNumber entry = 70000;
    inci = -1;
    ASSERT_TRUE(CreateEntryDetailRecord(tuplet, entry, inci, etp.data(), Record30::kSize));
    EXPECT_EQ(entry, 70000);
    EXPECT_EQ(inci, 1);
    Record30 back;
    EXPECT_TRUE(LoadRecordEtp(70000, 1, back));
    EXPECT_FALSE(LoadRecordEtp(70000 - 65536, 0, back));

    const uint8_t layer[4] = {1, 0, 2, 0};
    ASSERT_TRUE(SaveGlobalRecord(MakeTag("pfLA"), 3, layer, 4));
    uint8_t read[4] = {};
    ASSERT_TRUE(LoadGlobalRecord(MakeTag("pfLA"), 3, read, 4));
    EXPECT_EQ(read[2], 2);
}

TEST_F(FinxessTest, SmallRecordsAndFixedTags) {
    const Tag caller = MakeTag("ot41");
    Record12 small;
    small.setWord(5, -7);
    ASSERT_TRUE(SaveSmallRecord(9, small, caller));
    Record12 loaded;
    ASSERT_TRUE(LoadSmallRecord(9, loaded, caller));
    EXPECT_EQ(loaded.word(5), -7);
    EXPECT_TRUE(DeleteSmallRecord(9, caller));
    EXPECT_FALSE(LoadSmallRecord(9, loaded, caller));

    EDTMeasureSpec measure;
    ASSERT_TRUE(LoadMeasureSpec(2, measure));
    EXPECT_EQ(measure.beats(), 4);
    EXPECT_EQ(measure.beatDuration(), 1024);
    EXPECT_FALSE(LoadMeasureSpec(3, measure));

    ASSERT_TRUE(SaveRecordOtDe(5, small));
    EXPECT_TRUE(LoadRecordOtDe(5, loaded));
    EXPECT_TRUE(DeleteRecordOtDe(5));
    ASSERT_TRUE(SaveRecordOtDY(2, 0, small));
    EXPECT_TRUE(LoadRecordOtDY(2, 0, loaded));

    ASSERT_TRUE(SaveEntryDetailEdsB(12, Record10With(1)));
    EXPECT_NE(Stored(host::RecordKey::EntryDetail(MakeTag("edsB"), 12, 0)), nullptr);
    EXPECT_TRUE(DeleteEntryDetailEdsB(12));
    EXPECT_FALSE(DeleteEntryDetailEdsB(12));
}

TEST_F(FinxessTest, WithoutAHostEveryWrapperFails) {
    m_host.reset();
    ResetHostImports();
    uint8_t buffer[12] = {};
    int32_t cmper = -1;
    int32_t inci = 0;
    EXPECT_FALSE(LoadOtherRecord(MakeTag("SOMS"), 1, 0, buffer, 12));
    EXPECT_FALSE(CreateOtherRecord(MakeTag("SOMS"), cmper, inci, buffer, 12));
    EXPECT_EQ(cmper, -1) << "a failed create writes nothing back";
    EXPECT_STREQ(LoadTextBlock(1, false), "");
    EXPECT_EQ(StaffName(1), "");
}

// ---- Text blocks ----

TEST_F(FinxessTest, TextBlockIsCreatedThenOverwritten) {
    const size_t before = Store().Count();
    TextBlockHeader header;
    header.setTextKey(-1);
    int32_t number = -1;
    ASSERT_TRUE(SaveTextBlock(number, header, "Allegro"));
    // Staff names use text blocks 1-3 and their texts 1-3.
    EXPECT_EQ(number, 4);
    EXPECT_EQ(header.textKey(), 4);
    EXPECT_EQ(Store().Count(), before + 2);
    const host::Bytes* text = Stored(host::RecordKey::Other(MakeTag("txbl"), 4, 0));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(*text, host::Bytes({'A', 'l', 'l', 'e', 'g', 'r', 'o', 0}));

    ASSERT_TRUE(SaveTextBlock(number, header, "Presto"));
    EXPECT_EQ(number, 4);
    EXPECT_EQ(Store().Count(), before + 2);
    TextBlockHeader loaded;
    EXPECT_STREQ(LoadTextBlock(4, false, &loaded), "Presto");
    EXPECT_EQ(loaded.textKey(), 4);
}

TEST_F(FinxessTest, FailedTextSaveIsReportedAndLeavesTheHeaderUnwritten) {
    // No key is left for a new text (every one up to 32767 is in use): the create of the text fails.
    for (int32_t key = 1; key <= INT16_MAX; ++key) {
        Put(host::RecordKey::Other(MakeTag("txbl"), static_cast<hostapi::Cmper>(key), 0), {0});
    }
    const size_t before = Store().Count();
    TextBlockHeader header;
    header.setTextKey(-1);
    int32_t number = -1;
    EXPECT_FALSE(SaveTextBlock(number, header, "lost"));
    EXPECT_EQ(number, -1);
    EXPECT_EQ(Store().Count(), before);
}

TEST_F(FinxessTest, LoadTextBlockStripsAndReadsLongTextsWhole) {
    EXPECT_STREQ(LoadTextBlock(1, false), "^font(Times)^size(14)Flute");
    EXPECT_STREQ(LoadTextBlock(1, true), "Flute");
    EXPECT_STREQ(TheAccessLayer.fontCapture, "Times");
    EXPECT_STREQ(TheAccessLayer.sizeCapture, "14");
    EXPECT_STREQ(LoadTextBlock(9, true), "") << "a missing block empties the buffer";

    // A stored text of more than 1000 bytes, even without its zero, is read whole.
    Put(host::RecordKey::Other(MakeTag("txbl"), 20, 0), host::Bytes(1200, 'x'));
    TextBlockHeader header;
    header.setTextKey(20);
    host::Bytes headerBytes(header.bytes.begin(), header.bytes.end());
    Put(host::RecordKey::Other(MakeTag("SOTX"), 20, 0), headerBytes);
    EXPECT_EQ(std::string(LoadTextBlock(20, false)), std::string(1200, 'x'));
    // A short text without its zero is not followed by the longer text before it.
    Put(host::RecordKey::Other(MakeTag("txbl"), 20, 0), host::Bytes(3, 'y'));
    EXPECT_STREQ(LoadTextBlock(20, false), "yyy");
}

TEST_F(FinxessTest, StaffNameFallsBackToTheAbbreviatedName) {
    EXPECT_EQ(StaffName(1), "Flute");
    EXPECT_EQ(StaffName(2), "Ob.");
    EXPECT_EQ(StaffName(3), "");
    int32_t cmper = 1;
    ASSERT_TRUE(SaveOrCreateStringRecord(cmper, "", MakeTag("txbl")));
    EXPECT_EQ(StaffName(1), "Fl.");
}

TEST_F(FinxessTest, StringRecordsAndStringOrEmpty) {
    int32_t cmper = -1;
    ASSERT_TRUE(SaveOrCreateStringRecord(cmper, "verse one", MakeTag("txve")));
    EXPECT_EQ(cmper, 1);
    char buffer[32] = {};
    ASSERT_TRUE(LoadStringRecord(1, buffer, sizeof buffer, MakeTag("txve"), 0));
    EXPECT_STREQ(buffer, "verse one");
    EXPECT_EQ(Stored(host::RecordKey::Other(MakeTag("txve"), 1, 0))->size(), 10u);
    EXPECT_STREQ(StringOrEmpty(nullptr), "");
    EXPECT_STREQ(StringOrEmpty(buffer), "verse one");
}

struct StripCase {
    const char* text;
    const char* kept;
    const char* font;  ///< capture after the run; the buffers are pre-filled with "-"
    const char* size;
    const char* effects;
};

class StripperTest : public ::testing::TestWithParam<StripCase> {};

TEST_P(StripperTest, KeepsTheTextAndCapturesLeadingCommands) {
    std::strcpy(TheAccessLayer.fontCapture, "-");
    std::strcpy(TheAccessLayer.sizeCapture, "-");
    std::strcpy(TheAccessLayer.effectsCapture, "-");
    std::string text = GetParam().text;
    StripCaretCommands(text.data());
    EXPECT_STREQ(text.c_str(), GetParam().kept);
    EXPECT_STREQ(TheAccessLayer.fontCapture, GetParam().font);
    EXPECT_STREQ(TheAccessLayer.sizeCapture, GetParam().size);
    EXPECT_STREQ(TheAccessLayer.effectsCapture, GetParam().effects);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StripperTest,
    ::testing::Values(StripCase{"^font(Times)^size(12)Allegro", "Allegro", "Times", "12", "-"},
                      StripCase{"Allegro^size(9) vivace", "Allegro vivace", "-", "-", "-"},
                      StripCase{"^efx(bold)a^font(Arial)b", "ab", "-", "-", "bold"},
                      StripCase{"ab^font(Times", "ab", "-", "-", "-"}, StripCase{"^size(7)", "", "-", "7", "-"},
                      StripCase{"one\r\ntwo\n", "onetwo", "-", "-", "-"},
                      StripCase{"^nfx(1)^size(12345678901234)x", "x", "-", "1234567890", "-"},
                      StripCase{"^sizex)y", "y", "-", "-", "-"},
                      StripCase{"^font("
                                "Aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa)z",
                                "z", "Aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "-", "-"}),
    testsupport::NameBy(&StripCase::text));

TEST(StripperReader, ADefaultSizeSurvivesAShorterCapture) {
    // The one reader pre-fills the size with its default; a capture replaces it whole.
    std::strcpy(TheAccessLayer.sizeCapture, "12");
    std::string text = "^size(9)Largo";
    StripCaretCommands(text.data());
    EXPECT_STREQ(TheAccessLayer.sizeCapture, "9");
}

// ---- Searches ----

TEST_F(FinxessTest, FindRecordByValueStopsAtTheFirstGap) {
    const Tag tag = MakeTag("edCN");
    ASSERT_TRUE(SaveRecordByValue(40, Record10With(7), 0, tag));
    ASSERT_TRUE(SaveRecordByValue(40, Record10With(8, 99), 1, tag));
    ASSERT_TRUE(SaveRecordByValue(40, Record10With(9), 3, tag));
    Record10 found;
    int32_t inci = -5;
    ASSERT_TRUE(FindRecordByValue(40, -1, found, inci, tag));
    EXPECT_EQ(inci, 0);
    ASSERT_TRUE(FindRecordByValue(40, 8, found, inci, tag));
    EXPECT_EQ(inci, 1);
    EXPECT_EQ(found.word(4), 99);
    inci = -5;
    EXPECT_FALSE(FindRecordByValue(40, 9, found, inci, tag)) << "inci 3 lies beyond the gap at 2";
    EXPECT_EQ(inci, -5);
    EXPECT_FALSE(FindRecordByValue(41, -1, found, inci, tag));

    ASSERT_TRUE(CreateRecordByValue(40, Record10With(10), tag));
    EXPECT_NE(Stored(host::RecordKey::EntryDetail(tag, 40, 4)), nullptr) << "created after the last inci";
}

struct YearTagCase {
    int32_t year;
    Tag given;
    Tag used;
};

class ByValueTagTest : public FinxessTest, public ::testing::WithParamInterface<YearTagCase> {};

TEST_P(ByValueTagTest, TheNoteheadTagFollowsTheHostYear) {
    TheAccessLayer.host.year = GetParam().year;
    for (const Tag tag : {MakeTag("edCN"),
                          MakeTag("E\x02"
                                  "cn"),
                          MakeTag("E\x02"
                                  "Ah")}) {
        Put(host::RecordKey::EntryDetail(tag, 5, 0), {static_cast<uint8_t>(tag & 0xFF), 0, 0, 0, 0, 0, 0, 0, 0, 0});
    }
    Record10 found;
    int32_t inci = -1;
    ASSERT_TRUE(FindRecordByValue(5, -1, found, inci, GetParam().given));
    EXPECT_EQ(found.bytes[0], GetParam().used & 0xFF);
    EXPECT_EQ(ByValueTag(GetParam().given), GetParam().used);
    ASSERT_TRUE(SaveRecordByValue(5, Record10With(0x55), 0, GetParam().given));
    EXPECT_EQ(Stored(host::RecordKey::EntryDetail(GetParam().used, 5, 0))->at(0), 0x55);
}

INSTANTIATE_TEST_SUITE_P(Years, ByValueTagTest,
                         ::testing::Values(YearTagCase{2000,
                                                       MakeTag("E\x02"
                                                               "cn"),
                                                       MakeTag("edCN")},
                                           YearTagCase{1998,
                                                       MakeTag("E\x02"
                                                               "cn"),
                                                       MakeTag("edCN")},
                                           YearTagCase{2001,
                                                       MakeTag("E\x02"
                                                               "cn"),
                                                       MakeTag("E\x02"
                                                               "cn")},
                                           YearTagCase{2000,
                                                       MakeTag("E\x02"
                                                               "Ah"),
                                                       MakeTag("E\x02"
                                                               "Ah")},
                                           YearTagCase{2002, MakeTag("edCN"), MakeTag("edCN")}),
                         testsupport::NameBy("year", &YearTagCase::year, "tag", &YearTagCase::given));

TEST_F(FinxessTest, FindDetailByValueSearchesTwentyIncis) {
    const Tag tag = MakeTag("dtSU");
    for (int16_t inci = 0; inci < 21; ++inci) {
        host::Bytes record(30, 0);
        hostapi::WriteI16(record.data(), 0, static_cast<int16_t>(100 + inci));
        Put(host::RecordKey::Detail(tag, 2, 3, inci), record);
    }
    Record30 found;
    int32_t inci = -1;
    ASSERT_TRUE(FindDetailByValue(tag, 2, 3, 119, found, inci));
    EXPECT_EQ(inci, 19);
    EXPECT_FALSE(FindDetailByValue(tag, 2, 3, 120, found, inci)) << "inci 20 is beyond the search";
    found.setWord(1, 5);
    ASSERT_TRUE(SaveDetailRecord30(tag, 2, 3, found, 19));
    EXPECT_EQ(Stored(host::RecordKey::Detail(tag, 2, 3, 19))->at(2), 5);
}

TEST_F(FinxessTest, LastRecordKeyGallopsOverGaps) {
    const Tag shape = MakeTag("O\x07Sx");
    // Keys 1-40, then 44, 90-95 and 200: the gallop from 1 by 30 loads 31, misses 61 (the next
    // record is 90), misses 120 (next: 200), misses 230 with nothing after it.
    for (int16_t key = 1; key <= 40; ++key) {
        Put(host::RecordKey::Other(shape, key, 0), host::Bytes(84, 0));
    }
    for (int16_t key : std::initializer_list<int16_t>{44, 90, 91, 92, 93, 94, 95, 200}) {
        Put(host::RecordKey::Other(shape, key, 0), host::Bytes(84, 0));
    }
    EXPECT_EQ(LastRecordKey(shape, 84, 30, nullptr, 1), 200);
    uint8_t buffer[84];
    EXPECT_EQ(LastRecordKey(shape, 84, 30, buffer, 1), 200);
    EXPECT_EQ(LastRecordKey(shape, 84, 30, nullptr, 2), 200);
    EXPECT_EQ(LastRecordKey(shape, 84, 30, nullptr, 41), 0) << "the start key is missing";
    EXPECT_EQ(LastRecordKey(shape, 84, 0, nullptr, 90), 200) << "a step of 0 only walks";
    Put(host::RecordKey::Other(shape, INT16_MAX, 0), host::Bytes(84, 0));
    EXPECT_EQ(LastRecordKey(shape, 84, 30000, nullptr, 1), INT16_MAX);
}

// ---- Staff lists and entry details ----

struct UsageCase {
    int32_t year;
    int32_t listKey;
    int32_t inci;
    bool adjusted;
};

class InstrumentUsageTest : public FinxessTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(InstrumentUsageTest, FirstEntryOfASystemListFrom2001) {
    TheAccessLayer.host.year = GetParam().year;
    InstrumentUsageRecord record;
    record.setStaff(3);
    record.setWord(1, 11);
    record.setWord(2, 22);
    record.setPosition(-480);
    record.setWord(6, 66);
    ASSERT_TRUE(SaveInstrumentUsage(GetParam().listKey, GetParam().inci, record));
    InstrumentUsageRecord saved;
    ASSERT_TRUE(LoadInstrumentUsage(GetParam().listKey, GetParam().inci, saved));
    EXPECT_EQ(saved.staff(), 3);
    EXPECT_EQ(saved.word(1), GetParam().adjusted ? 0 : 11);
    EXPECT_EQ(saved.word(2), GetParam().adjusted ? GetParam().listKey : 22);
    EXPECT_EQ(saved.position(), GetParam().adjusted ? 0 : -480);
    EXPECT_EQ(saved.word(6), 66);
    EXPECT_TRUE(DeleteInstrumentUsage(GetParam().listKey, GetParam().inci));
}

INSTANTIATE_TEST_SUITE_P(Cases, InstrumentUsageTest,
                         ::testing::Values(UsageCase{2001, 3, 0, true}, UsageCase{2002, 1, 0, true},
                                           UsageCase{2000, 3, 0, false}, UsageCase{2001, 3, 1, false},
                                           UsageCase{2001, 0, 0, false}),
                         testsupport::NameBy("year", &UsageCase::year, "list", &UsageCase::listKey, "inci",
                                             &UsageCase::inci));

TEST_F(FinxessTest, AppendRecordEdEDTakesTheFirstMissingInci) {
    ASSERT_TRUE(SaveRecordEdED(8, 0, Record10With(1)));
    ASSERT_TRUE(SaveRecordEdED(8, 2, Record10With(3)));
    ASSERT_TRUE(AppendRecordEdED(8, Record10With(2)));
    Record10 loaded;
    ASSERT_TRUE(LoadRecordEdED(8, 1, loaded));
    EXPECT_EQ(loaded.word(0), 2);
    ASSERT_TRUE(AppendRecordEdED(8, Record10With(4)));
    ASSERT_TRUE(LoadRecordEdED(8, 3, loaded));
    EXPECT_EQ(loaded.word(0), 4);
}

// ---- Conversions ----

struct PlaybackCase {
    int32_t value;
    const char* english;
    const char* german;
};

class PlaybackKindTest : public ::testing::TestWithParam<PlaybackCase> {};

TEST_P(PlaybackKindTest, NamesTheKindInBothLanguages) {
    TheAccessLayer.host.language = 0;
    EXPECT_EQ(PlaybackKindText(GetParam().value), GetParam().english);
    TheAccessLayer.host.language = 1;
    EXPECT_EQ(PlaybackKindText(GetParam().value), GetParam().german);
    TheAccessLayer.host.language = 0;
}

INSTANTIATE_TEST_SUITE_P(Values, PlaybackKindTest,
                         ::testing::Values(PlaybackCase{0, "", ""}, PlaybackCase{1, "Tempo", "Tempo"},
                                           PlaybackCase{2, "Key velocity", "Anschlagst."},
                                           PlaybackCase{3, "Transpose", "Transpose"}, PlaybackCase{4, "Dump", "Dump"},
                                           PlaybackCase{5, "Channel", "Kanal"}, PlaybackCase{6, "Restrike", "Restrike"},
                                           PlaybackCase{7, "Play Tempos", "Tempo beachten"},
                                           PlaybackCase{8, "Ignore Tempos", "Tempo ignor."}, PlaybackCase{9, "", ""},
                                           PlaybackCase{15, "", ""}, PlaybackCase{0x10, "", ""},
                                           PlaybackCase{0xAF, "", ""}, PlaybackCase{0xB0, "Controller", "Controller"},
                                           PlaybackCase{0xC7, "Patch", "Klang"},
                                           PlaybackCase{0xDF, "Pressure", "Druck"}, PlaybackCase{0xE1, "Pitch", "Höhe"},
                                           PlaybackCase{0xF0, "", ""}, PlaybackCase{0xFF, "", ""},
                                           PlaybackCase{0x1205, "Channel", "Kanal"}, PlaybackCase{-1, "", ""}),
                         testsupport::NameBy("kind", &PlaybackCase::value, &PlaybackCase::english));

TEST(FinxessConversions, FontStylesFromEffects) {
    EXPECT_EQ(FontStylesFromEffects(0x01), kFontBold);
    EXPECT_EQ(FontStylesFromEffects(0x27), kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut);
    EXPECT_EQ(TheAccessLayer.fontStyles, kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut);
    EXPECT_EQ(FontStylesFromEffects(0xD8), 0) << "bits 0x08, 0x10, 0x40, 0x80 are ignored";
    EXPECT_EQ(TheAccessLayer.fontStyles, 0) << "the set is cleared on every call";
    EXPECT_EQ(FontStylesFromEffects(0x22), kFontItalic | kFontStrikeOut);
}

TEST(FinxessConversions, CaptionStripAccelerators) {
    EXPECT_EQ(CaptionStripAccelerators("Vx &Tremolo...", false), "Vx Tremolo...");
    EXPECT_EQ(CaptionStripAccelerators("&Save\tCtrl+S", true), "Save");
    EXPECT_EQ(CaptionStripAccelerators("&Save\tCtrl+S", false), "Save\tCtrl+S");
    const std::string hidden = "ab\b" + std::string(99, 'h') + "cd";
    EXPECT_EQ(CaptionStripAccelerators(hidden, false), "abcd");
    const std::string longTail = "x\t" + std::string(254, 't') + "yz";
    EXPECT_EQ(CaptionStripAccelerators(longTail, true), "xyz") << "at most 255 characters from the tab";
}

TEST(FinxessConversions, HexRoundTrip) {
    const uint8_t bytes[] = {0x00, 0x7F, 0x80, 0xAB, 0xFF, 0x10};
    const std::string hex = BytesToHex(bytes, sizeof bytes);
    EXPECT_EQ(hex, "007F80ABFF10");
    uint8_t back[sizeof bytes];
    HexToBytes(hex, back, sizeof back);
    EXPECT_EQ(std::memcmp(back, bytes, sizeof bytes), 0);
    HexToBytes("ab", back, 1);
    EXPECT_EQ(back[0], 0xAB);

    // A pair that is not hexadecimal, and pairs beyond the text, give 0.
    uint8_t mixed[4] = {9, 9, 9, 9};
    HexToBytes("1GzzF", mixed, 4);
    EXPECT_EQ(mixed[0], 0);
    EXPECT_EQ(mixed[1], 0);
    EXPECT_EQ(mixed[2], 0);
    EXPECT_EQ(mixed[3], 0);
    HexToBytes("0102", mixed, 4);
    EXPECT_EQ(mixed[1], 2);
    EXPECT_EQ(mixed[2], 0);
}

}  // namespace
