// Counts, staff systems on pages, staff lists, the two forms of a staff system and the layout
// record, on documents whose records the tests write directly.
#include <gtest/gtest.h>

#include <array>

#include "platform/host/page_layout.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "service/layout_services.h"
#include "service/lumvar.h"
#include "service/module_state.h"
#include "tests/service/lumvar_fixture.h"
#include "tests/support/case_names.h"

namespace {

using lumvar::LayoutInfo;
using lumvartest::Bytes;
using lumvartest::Words;

class LayoutServicesTest : public lumvartest::LumvarHostTest {
protected:
    void Measures(int16_t count) {
        for (int16_t m = 1; m <= count; ++m) {
            SaveOther("SOMS", m, 0, Bytes(24, 0));
        }
    }
    void Page(int16_t page, int16_t firstSystem) { SaveOther("SOPS", page, 0, Words(22, {{8, firstSystem}})); }
    void Systems(int16_t count) {
        for (int16_t s = 1; s <= count; ++s) {
            SaveOther("SOSS", s, 0, Words(20, {{8, 1}, {10, 2}}));
        }
    }
    int16_t Word(std::string_view tag, int16_t cmper, size_t offset) {
        const Bytes* record = FindOther(tag, cmper, 0);
        return record == nullptr ? static_cast<int16_t>(-9999) : hostapi::ReadI16(record->data(), offset);
    }
};

// ---- Counting ----

struct CountCase {
    const char* tag;
    int16_t kind;
    int16_t records;
};

class CountTest : public LayoutServicesTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(CountTest, CountsEveryRecordWhateverTheStride) {
    StartLumvar();
    NewDocument();
    const CountCase& c = GetParam();
    for (int16_t key = 1; key <= c.records; ++key) {
        SaveOther(c.tag, key, 0, Bytes(c.kind == 5 ? 14 : 12, 0));
    }
    EXPECT_EQ(lumvar::CountItems(c.kind), c.records);
    // One more record: the cached count no longer holds.
    SaveOther(c.tag, static_cast<int16_t>(c.records + 1), 0, Bytes(12, 0));
    EXPECT_EQ(lumvar::CountItems(c.kind), c.records + 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CountTest,
                         ::testing::Values(CountCase{"SOMS", 1, 20}, CountCase{"SOMS", 1, 23}, CountCase{"SOMS", 1, 0},
                                           CountCase{"SOMS", 1, 1}, CountCase{"SOSS", 3, 8}, CountCase{"SOSS", 3, 9},
                                           CountCase{"SOPS", 4, 4}, CountCase{"SOPS", 4, 5}, CountCase{"SODT", 5, 30},
                                           CountCase{"otDO", 6, 11}, CountCase{"O\x04IX", 7, 3}),
                         testsupport::NameBy(&CountCase::tag, "kind", &CountCase::kind, "records",
                                             &CountCase::records));

TEST_F(LayoutServicesTest, CountsTheScoreListAndRefusesOtherKinds) {
    StartLumvar();
    NewDocument();
    EXPECT_EQ(lumvar::CountItems(2), 0);
    for (int16_t i = 0; i < 7; ++i) {
        ListEntry(0, i, static_cast<int16_t>(i + 1), -200 * i);
    }
    EXPECT_EQ(lumvar::CountItems(2), 7);
    ListEntry(0, 9, 10, -1800);  // steps of 3 reach over the gap at 7 and 8
    EXPECT_EQ(lumvar::CountItems(2), 10);
    for (const int16_t kind : std::initializer_list<int16_t>{0, 8, -1, 100}) {
        EXPECT_EQ(lumvar::CountItems(kind), -1) << "kind " << kind;
    }
}

// ---- Systems on pages ----

struct RangeCase {
    int16_t page;
    int16_t result;
    int16_t first;
    int16_t last;
};

class SystemRangeTest : public LayoutServicesTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(SystemRangeTest, ReachesToTheNextPageWithSystems) {
    StartLumvar();
    NewDocument();
    Systems(6);
    Page(1, 1);
    Page(2, 3);
    Page(3, -1);  // a page without systems
    Page(4, 5);
    const RangeCase& c = GetParam();
    int16_t first = 99;
    int16_t last = 99;
    EXPECT_EQ(lumvar::SystemRangeOnPage(c.page, &first, &last), c.result);
    if (c.result == 0) {
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(last, c.last);
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, SystemRangeTest,
                         ::testing::Values(RangeCase{1, 0, 1, 2}, RangeCase{2, 0, 3, 4}, RangeCase{3, 0, 0, 0},
                                           RangeCase{4, 0, 5, 6}, RangeCase{5, 11, 0, 0}, RangeCase{0, 11, 0, 0}),
                         testsupport::NameBy("page", &RangeCase::page, "systems", &RangeCase::first, &RangeCase::last));

TEST_F(LayoutServicesTest, SystemRangeNeedsBothOutputs) {
    StartLumvar();
    NewDocument();
    Page(1, 1);
    int16_t value = 0;
    EXPECT_EQ(lumvar::SystemRangeOnPage(1, nullptr, &value), 2);
    EXPECT_EQ(lumvar::SystemRangeOnPage(1, &value, nullptr), 2);
}

// ---- Staff lists ----

class StaffListTest : public LayoutServicesTest {
protected:
    void SetUp() override {
        LayoutServicesTest::SetUp();
        StartLumvar();
        NewDocument();
        // The score's list: staves 1, 2, 3 (hidden), 4; list 2 and the staff set lists.
        Staff(1);
        Staff(2);
        Staff(3, lumvar::kStaffLeftOutFlag);
        Staff(4);
        ListEntry(0, 0, 1, 0);
        ListEntry(0, 1, 2, -200);
        ListEntry(0, 2, 3, -400);
        ListEntry(0, 3, 4, -300);
        ListEntry(2, 0, 4, 0);
        ListEntry(2, 1, 1, -200);
        ListEntry(-36, 0, 2, 0);  // staff set 1
        ListEntry(-8, 0, 3, 0);   // the extracted part
    }
};

TEST_F(StaffListTest, ListKeysByKind) {
    struct Case {
        int16_t kind;
        int16_t n;
        int16_t key;
    };
    ListEntry(-29, 0, 4, 0);  // staff set 8, the last
    for (const Case& c : {Case{1, 0, 0}, Case{2, 2, 2}, Case{2, 3, -1}, Case{3, 0, -8}, Case{4, 1, -36}, Case{4, 2, -1},
                          Case{4, 8, -29}, Case{4, 0, -1}, Case{4, 9, -1}, Case{5, 0, -1}, Case{0, 0, -1}}) {
        EXPECT_EQ(lumvar::GetInstrumentList(c.kind, c.n), c.key) << "kind " << c.kind << ", n " << c.n;
    }
}

TEST_F(StaffListTest, CountsTheStavesThatAreNotLeftOut) {
    EXPECT_EQ(lumvar::CountInstruments(0, 1), 4);
    EXPECT_EQ(lumvar::CountInstruments(0, 0), 3);
    EXPECT_EQ(lumvar::CountInstruments(2, 0), 2);
    EXPECT_EQ(lumvar::CountInstruments(5, 1), -1);  // no entry 0
    ListEntry(2, 2, 9, -400);                       // a staff without a record
    EXPECT_EQ(lumvar::CountInstruments(2, 1), 3);
    EXPECT_EQ(lumvar::CountInstruments(2, 0), -1);
}

TEST_F(StaffListTest, StepsThroughTheListInItsOrder) {
    EXPECT_EQ(lumvar::NextInstrument(1, 0), 2);
    EXPECT_EQ(lumvar::NextInstrument(3, 0), 4);
    EXPECT_EQ(lumvar::NextInstrument(4, 0), 0);
    EXPECT_EQ(lumvar::NextInstrument(4, 2), 1);
    EXPECT_EQ(lumvar::NextInstrument(7, 0), -1);
    EXPECT_EQ(lumvar::PrevInstrument(1, 0), 0);
    EXPECT_EQ(lumvar::PrevInstrument(4, 0), 3);
    EXPECT_EQ(lumvar::PrevInstrument(1, 2), 4);
    EXPECT_EQ(lumvar::PrevInstrument(7, 2), -1);
}

TEST_F(StaffListTest, RangesWalkFromTheFirstStaff) {
    EXPECT_EQ(lumvar::IsWithinInstRange(3, 2, 4, 0), 1);
    EXPECT_EQ(lumvar::IsWithinInstRange(2, 2, 4, 0), 1);
    EXPECT_EQ(lumvar::IsWithinInstRange(4, 2, 4, 0), 1);
    EXPECT_EQ(lumvar::IsWithinInstRange(1, 2, 4, 0), 0);  // before the first
    EXPECT_EQ(lumvar::IsWithinInstRange(4, 1, 2, 0), 0);  // after the last
    EXPECT_EQ(lumvar::IsWithinInstRange(2, 7, 4, 0), 0);  // first not in the list
    EXPECT_EQ(lumvar::IsWithinInstRange(1, 4, 1, 2), 1);
}

TEST_F(StaffListTest, ReductionAndExtractedPart) {
    EXPECT_EQ(lumvar::GetStaffEnduction(1, 2), 100);
    SaveDetail("dtLP", 1, 2, Words(10, {{0, 75}}));
    EXPECT_EQ(lumvar::GetStaffEnduction(1, 2), 75);
    EXPECT_EQ(lumvar::ExtractedPartIsUsed(), 0);
    SaveOther("ot23", -2, 0, Words(12, {{8, -7}}));
    EXPECT_EQ(lumvar::ExtractedPartIsUsed(), 0);
    SaveOther("ot23", -2, 0, Words(12, {{8, -8}}));
    EXPECT_EQ(lumvar::ExtractedPartIsUsed(), 1);
}

TEST_F(StaffListTest, TheListOfASystem) {
    SaveOther("SOSS", 1, 0, Words(20, {{18, 0x4000}}));
    SaveOther("SOSS", 2, 0, Words(20, {{18, 0x0003}}));
    EXPECT_EQ(lumvar::GetIUListForSystem(1), 1);
    EXPECT_EQ(lumvar::GetIUListForSystem(2), 0);
    EXPECT_EQ(lumvar::GetIUListForSystem(3), -1);
    SaveOther("ot23", -2, 0, Words(12, {{8, -8}}));
    EXPECT_EQ(lumvar::GetIUListForSystem(2), -8);
}

// ---- The two forms of a staff system ----

/// A 20-byte record with distinct words: 0 top -50, then 2, 4, 6 (-30), 8 first 3, 10 end 7,
/// 12 (13), 14 (14), 16 scaling 90, 18 flags.
Bytes System20(int16_t flags) {
    return Words(20,
                 {{0, -50}, {2, 11}, {4, 12}, {6, -30}, {8, 3}, {10, 7}, {12, 13}, {14, 14}, {16, 90}, {18, flags}});
}

/// A 24-byte record: 0 word0 -40, 2, 4, 6 (-30), 8 first 3, 10 flags, 12 end 7, 14 0, 16 (13),
/// 18 scaling 90, 20 top -50, 22 0.
Bytes System24(int16_t flags) {
    return Words(24,
                 {{0, -40}, {2, 11}, {4, 12}, {6, -30}, {8, 3}, {10, flags}, {12, 7}, {16, 13}, {18, 90}, {20, -50}});
}

TEST_F(LayoutServicesTest, Host2000ReadsTheShortFormAndConvertsIt) {
    StartLumvar(0x05000005);
    NewDocument();
    SaveOther("SOSS", 1, 0, System20(0x4000));
    ListEntry(1, 0, 1, -40);
    std::array<uint8_t, 24> record{};
    ASSERT_EQ(lumvar::LoadStaffSystemSpec(1, record.data(), 20, 0x05000005), 1);
    EXPECT_EQ(Bytes(record.begin(), record.begin() + 20), System20(0x4000));
    // Word 0 of the long form comes from entry 0 of the system's own list.
    ASSERT_EQ(lumvar::LoadStaffSystemSpec(1, record.data(), 24, 0x06000200), 1);
    EXPECT_EQ(Bytes(record.begin(), record.end()), System24(0x4000));
    EXPECT_EQ(lumvar::LoadStaffSystemSpec(1, nullptr, 24, 0x06000200), 1);
    // The size follows the caller's version.
    EXPECT_EQ(lumvar::LoadStaffSystemSpec(1, record.data(), 24, 0x05000005), 0);
    EXPECT_EQ(lumvar::LoadStaffSystemSpec(1, record.data(), 20, 0x06000200), 0);
    EXPECT_EQ(lumvar::LoadStaffSystemSpec(2, record.data(), 20, 0x05000005), 0);
}

TEST_F(LayoutServicesTest, Host2001ConvertsTheLongFormUnlessTheShortOneIsSound) {
    StartLumvar(0x06000200);
    NewDocument();
    SaveOther("O\x02SS", 1, 0, System24(0x0001));
    SaveOther("SOSS", 1, 0, Words(20, {{8, 99}}));
    std::array<uint8_t, 24> record{};
    ASSERT_EQ(lumvar::LoadStaffSystemSpec(1, record.data(), 20, 0x05000005), 1);
    // Word 14 holds a copy of the long form's word 18 (bytes 16..19 copied to 12..15).
    EXPECT_EQ(
        Bytes(record.begin(), record.begin() + 20),
        Words(20, {{0, -50}, {2, 11}, {4, 12}, {6, -30}, {8, 3}, {10, 7}, {12, 13}, {14, 90}, {16, 90}, {18, 1}}));
    lumvar::Module().legacyStaffSystem = 1;
    ASSERT_EQ(lumvar::LoadStaffSystemSpec(1, record.data(), 20, 0x05000005), 1);
    EXPECT_EQ(hostapi::ReadI16(record.data(), 8), 99);
    ASSERT_EQ(lumvar::LoadStaffSystemSpec(1, record.data(), 24, 0x06000200), 1);
    EXPECT_EQ(Bytes(record.begin(), record.end()), System24(0x0001));
    // A system the document does not hold is refused in either form, the record left alone.
    EXPECT_EQ(lumvar::LoadStaffSystemSpec(2, record.data(), 24, 0x06000200), 0);
    lumvar::Module().legacyStaffSystem = 0;
    EXPECT_EQ(lumvar::LoadStaffSystemSpec(2, record.data(), 20, 0x05000005), 0);
    EXPECT_EQ(Bytes(record.begin(), record.end()), System24(0x0001));
}

TEST_F(LayoutServicesTest, Host2000SavesTheLongFormOnlyForASystemWithItsOwnList) {
    StartLumvar(0x05000005);
    NewDocument();
    ListEntry(1, 0, 1, 0);
    Bytes record = System24(0x0000);
    EXPECT_EQ(lumvar::SaveStaffSystemSpec(1, record.data(), 24, 0x06000200), 0);
    EXPECT_EQ(FindOther("SOSS", 1, 0), nullptr);
    record = System24(0x4000);
    ASSERT_EQ(lumvar::SaveStaffSystemSpec(1, record.data(), 24, 0x06000200), 1);
    EXPECT_EQ(Word("SOIu", 1, 8), -40);  // word 0 went to entry 0 of the list
    const Bytes* saved = FindOther("SOSS", 1, 0);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(
        *saved,
        Words(20, {{0, -50}, {2, 11}, {4, 12}, {6, -30}, {8, 3}, {10, 7}, {12, 13}, {14, 90}, {16, 90}, {18, 0x4000}}));
    EXPECT_EQ(lumvar::SaveStaffSystemSpec(1, nullptr, 24, 0x06000200), 0);
    EXPECT_EQ(lumvar::SaveStaffSystemSpec(1, record.data(), 20, 0x06000200), 0);
    EXPECT_EQ(lumvar::SaveStaffSystemSpec(2, record.data(), 24, 0x06000200), 0);  // its list has no entry 0
    EXPECT_EQ(FindOther("SOSS", 2, 0), nullptr);
}

TEST_F(LayoutServicesTest, Host2001SavesTheShortFormAsTheLongOne) {
    StartLumvar(0x06000200);
    NewDocument();
    ListEntry(0, 0, 1, -40);
    Bytes record = System20(0x0002);
    ASSERT_EQ(lumvar::SaveStaffSystemSpec(1, record.data(), 20, 0x05000005), 1);
    const Bytes* saved = FindOther("O\x02SS", 1, 0);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(*saved, System24(0x0002));
    EXPECT_EQ(Word("SOIu", 0, 8), -40);
    record = System20(0x4000);  // its own list 2 has no entry 0: nothing is saved
    EXPECT_EQ(lumvar::SaveStaffSystemSpec(2, record.data(), 20, 0x05000005), 0);
    EXPECT_EQ(FindOther("O\x02SS", 2, 0), nullptr);
    lumvar::Module().legacyStaffSystem = 1;  // a host that keeps the short form takes it as it is
    ASSERT_EQ(lumvar::SaveStaffSystemSpec(2, record.data(), 20, 0x05000005), 1);
    EXPECT_EQ(*FindOther("SOSS", 2, 0), System20(0x4000));
}

// ---- The layout record ----

class LayoutInfoTest : public LayoutServicesTest {
protected:
    /// Staves 1, 2, 3 (left out) and 4 in the score's list at 0, -200, -400 and -300; entry 0's
    /// word at byte 2 is -12 (its position is 0, so a = 12 from host year 2001 on).
    void ScoreList() {
        Staff(1);
        Staff(2);
        Staff(3, lumvar::kStaffLeftOutFlag);
        Staff(4);
        ListEntry(0, 0, 1, 0);
        Bytes entry0 = *FindOther("SOIu", 0, 0);
        hostapi::WriteI16(entry0.data(), 2, -12);
        SaveOther("SOIu", 0, 0, entry0);
        ListEntry(0, 1, 2, -200);
        ListEntry(0, 2, 3, -400);
        ListEntry(0, 3, 4, -300);
    }
    std::array<uint8_t, LayoutInfo::kSize> Info() {
        std::array<uint8_t, LayoutInfo::kSize> info{};
        info.fill(0x77);
        hostapi::WriteI16(info.data(), LayoutInfo::kSizeWord, 102);
        return info;
    }
    static int32_t I32(const std::array<uint8_t, LayoutInfo::kSize>& info, size_t offset) {
        return hostapi::ReadI32(info.data(), offset);
    }
    static int16_t I16(const std::array<uint8_t, LayoutInfo::kSize>& info, size_t offset) {
        return hostapi::ReadI16(info.data(), offset);
    }
};

TEST_F(LayoutInfoTest, Host2000WithoutPageValues) {
    StartLumvar(0x05000005);
    NewDocument();
    ScoreList();
    SaveOther("SOSS", 1, 0, Words(20, {{0, -50}, {2, 10}, {4, 20}, {6, -30}, {8, 1}, {10, 5}, {16, 80}, {18, 0x0002}}));
    auto info = Info();
    ASSERT_EQ(lumvar::GetLayoutInfo(1, info.data(), 0), 0);
    struct Field {
        size_t offset;
        bool wide;
        int32_t value;
    };
    // clang-format off
    for (const Field& f : {Field{LayoutInfo::kSizeWord, false, 0},   // cleared with the rest
                           Field{LayoutInfo::kTop, true, 50}, Field{LayoutInfo::kMargin2, true, 10},
                           Field{LayoutInfo::kMargin4, true, 20}, Field{LayoutInfo::kHeight, true, 264},
                           Field{LayoutInfo::kWord0, true, 0}, Field{LayoutInfo::kWord6, true, 30},
                           Field{LayoutInfo::kStaffSpan, true, 300}, Field{LayoutInfo::kScaling, false, 80},
                           Field{LayoutInfo::kFlagBit0, false, 0}, Field{LayoutInfo::kFlagBit1, false, 1},
                           Field{LayoutInfo::kOwnList, false, 0}, Field{LayoutInfo::kMeasureFlag, false, 0},
                           Field{LayoutInfo::kListKey, false, 0}, Field{LayoutInfo::kCountedStaves, false, 3},
                           Field{LayoutInfo::kFirstStaffIndex, false, 0}, Field{LayoutInfo::kLastStaffIndex, false, 3},
                           Field{LayoutInfo::kFirstMeasure, false, 1}, Field{LayoutInfo::kLastMeasure, false, 4},
                           Field{LayoutInfo::kMeasureCount, false, 4}, Field{LayoutInfo::kPage, false, 0},
                           Field{LayoutInfo::kPageHeight, true, 0}}) {
        // clang-format on
        EXPECT_EQ(f.wide ? I32(info, f.offset) : I16(info, f.offset), f.value) << "offset " << f.offset;
    }
    // (span + [18] + [22]) x scaling / 100 = (300 + 0 + 30) x 80 / 100
}

TEST_F(LayoutInfoTest, Host2001WithPageValues) {
    StartLumvar(0x06000200);
    NewDocument();
    ScoreList();
    Measures(4);
    Bytes measure(66, 0);
    measure[17] = 0x08;
    SaveOther("SOMS", 1, 0, measure);
    SaveOther("SOSS", 1, 0, Words(20, {{8, 1}, {10, 5}}));
    SaveOther("O\x02SS", 1, 0,
              Words(24, {{0, -40}, {2, 10}, {4, 20}, {6, -30}, {8, 1}, {10, 0}, {12, 5}, {18, 90}, {20, -50}}));
    Bytes page = Words(22, {{8, 1}, {10, 0}, {12, 100}, {14, 110}, {16, 120}, {18, 130}, {20, 90}});
    hostapi::WriteI32(page.data(), 0, 3000);
    hostapi::WriteI32(page.data(), 4, 2400);
    SaveOther("SOPS", 1, 0, page);
    auto info = Info();
    ASSERT_EQ(lumvar::GetLayoutInfo(1, info.data(), 1), 0);
    struct Field {
        size_t offset;
        bool wide;
        int32_t value;
    };
    // clang-format off
    for (const Field& f : {Field{LayoutInfo::kSizeWord, false, 102},
                           Field{LayoutInfo::kTop, true, 50}, Field{LayoutInfo::kWord6, true, 30},
                           // a + span + [18] + [22] = 12 + 300 + 40 + 30; then [18] = a + 40
                           Field{LayoutInfo::kHeight, true, 382}, Field{LayoutInfo::kWord0, true, 52},
                           Field{LayoutInfo::kScaling, false, 90}, Field{LayoutInfo::kFlagBit1, false, 0},
                           Field{LayoutInfo::kMeasureFlag, false, 1},
                           Field{LayoutInfo::kPage, false, 1}, Field{LayoutInfo::kPageI32At4, true, 2400},
                           Field{LayoutInfo::kPageI32At0, true, 3000}, Field{LayoutInfo::kPagePercent, false, 90},
                           Field{LayoutInfo::kPageFlagBit1, false, 0}, Field{LayoutInfo::kPageWord12, true, 100},
                           Field{LayoutInfo::kPageWord14, true, 110}, Field{LayoutInfo::kPageWord18, true, 130},
                           Field{LayoutInfo::kPageWord16, true, 120}, Field{LayoutInfo::kPageDerived84, true, 2420},
                           Field{LayoutInfo::kPageDerived88, true, 2980}, Field{LayoutInfo::kPageFirstSystem, false, 1},
                           Field{LayoutInfo::kPageSystemCount, false, 1}, Field{LayoutInfo::kPageLastSystem, false, 1},
                           // ([56] + [76] + [10] - [72] - [6]) x scaling / 100 = 2430 x 90 / 100
                           Field{LayoutInfo::kPageHeight, true, 2187}}) {
        // clang-format on
        EXPECT_EQ(f.wide ? I32(info, f.offset) : I16(info, f.offset), f.value) << "offset " << f.offset;
    }
    // With flag bit 1: (a + span + [22]) x scaling / 100 + [18] = 342 x 90 / 100 + 40, and [18] stays.
    SaveOther("O\x02SS", 1, 0,
              Words(24, {{0, -40}, {2, 10}, {4, 20}, {6, -30}, {8, 1}, {10, 2}, {12, 5}, {18, 90}, {20, -50}}));
    info = Info();
    ASSERT_EQ(lumvar::GetLayoutInfo(1, info.data(), 0), 0);
    EXPECT_EQ((std::array<int32_t, 3>{I32(info, LayoutInfo::kHeight), I32(info, LayoutInfo::kWord0),
                                      I16(info, LayoutInfo::kFlagBit1)}),
              (std::array<int32_t, 3>{347, 40, 1}));
}

// The host's own page (made and laid out from a score text) and the layout record agree on the
// page's geometry: a portrait page's width is byte 4 of the page record, and the usable width
// takes off both margins.
TEST_F(LayoutInfoTest, APageOfTheHostReadsAsItsGeometry) {
    StartLumvar(0x06000200);
    m_host->AddDocument(host::ParseScoreText("staff \"Flute\"\nmeasures 2\npage width 2000 height 3000\n", "page"));
    ASSERT_EQ(host::LayOutDocument(Front()).pages, 1);
    auto info = Info();
    ASSERT_EQ(lumvar::GetLayoutInfo(1, info.data(), 1), 0);
    EXPECT_EQ(I32(info, LayoutInfo::kPageI32At4), 2000);
    EXPECT_EQ(I32(info, LayoutInfo::kPageI32At0), 3000);
    const int32_t left = I32(info, LayoutInfo::kPageWord14);
    const int32_t right = I32(info, LayoutInfo::kPageWord18);
    EXPECT_EQ(left, host::kDefaultPageMargin);
    EXPECT_EQ(right, -host::kDefaultPageMargin);  // the host's margins are equal; the right one is stored inward
    EXPECT_EQ(I32(info, LayoutInfo::kPageDerived84), 2000 - 2 * left);
}

TEST_F(LayoutInfoTest, ASystemWithoutCountedStaves) {
    StartLumvar(0x05000005);
    NewDocument();
    Staff(5, lumvar::kStaffLeftOutFlag);
    ListEntry(1, 0, 5, -100);
    SaveOther("SOSS", 1, 0, Words(20, {{8, 1}, {10, 3}, {16, 100}, {18, 0x4000}}));
    auto info = Info();
    ASSERT_EQ(lumvar::GetLayoutInfo(1, info.data(), 0), 0);
    EXPECT_EQ(I16(info, LayoutInfo::kListKey), 1);
    EXPECT_EQ(I16(info, LayoutInfo::kOwnList), 1);
    EXPECT_EQ(I16(info, LayoutInfo::kCountedStaves), 0);
    for (const size_t offset : {LayoutInfo::kHeight, LayoutInfo::kStaffSpan, LayoutInfo::kPageHeight}) {
        EXPECT_EQ(I32(info, offset), 0) << "offset " << offset;
    }
    EXPECT_EQ(I16(info, LayoutInfo::kFirstStaffIndex), 0);
    EXPECT_EQ(I16(info, LayoutInfo::kLastStaffIndex), 0);
}

TEST_F(LayoutInfoTest, Errors) {
    StartLumvar(0x05000005);
    NewDocument();
    SaveOther("SOSS", 1, 0, Words(20, {{8, 1}, {10, 3}}));
    auto info = Info();
    EXPECT_EQ(lumvar::GetLayoutInfo(1, nullptr, 0), 2);
    hostapi::WriteI16(info.data(), 0, 100);
    EXPECT_EQ(lumvar::GetLayoutInfo(1, info.data(), 0), 13);
    EXPECT_EQ(I16(info, 2), 0x7777);  // untouched
    info = Info();
    EXPECT_EQ(lumvar::GetLayoutInfo(2, info.data(), 0), 4);
    EXPECT_EQ(lumvar::GetLayoutInfo(-1, info.data(), 0), 4);
    EXPECT_EQ(lumvar::GetLayoutInfo(0, info.data(), 0), 5);  // no system 0
    info = Info();
    EXPECT_EQ(lumvar::GetLayoutInfo(1, info.data(), 0), -1);  // no staff list
    info = Info();
    EXPECT_EQ(lumvar::GetLayoutInfo(1, info.data(), 1), 14);  // no page
}

// ---- Changing one value ----

struct ChangeCase {
    int16_t kind;
    const char* tag;
    size_t offset;
    bool wide;
    int16_t operation;
    int32_t value;
    int32_t expected;  ///< as stored
};

class ChangeLayoutTest : public LayoutServicesTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangeLayoutTest, ChangesOneStoredValue) {
    const ChangeCase& c = GetParam();
    StartLumvar(0x05000005);
    NewDocument();
    SaveOther("SOSS", 1, 0, Words(20, {{0, -50}, {2, 10}, {4, 20}, {6, -30}, {8, 1}, {10, 2}}));
    Bytes page = Words(22, {{8, 1}, {12, 100}, {14, 110}, {16, 120}, {18, 130}});
    hostapi::WriteI32(page.data(), 0, 3000);
    hostapi::WriteI32(page.data(), 4, 2400);
    SaveOther("SOPS", 1, 0, page);
    SaveOther("SOMS", 1, 0, Words(24, {{0, 240}, {4, 4}}));
    EXPECT_EQ(lumvar::ChangeLayoutInfo(c.kind, c.value, 1, c.operation, 0), 0);
    const Bytes* record = FindOther(c.tag, 1, 0);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(c.wide ? hostapi::ReadI32(record->data(), c.offset) : hostapi::ReadI16(record->data(), c.offset),
              c.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Kinds, ChangeLayoutTest, ::testing::Values(
    ChangeCase{1, "SOSS", 6, false, 0, 50, -50},     // sign turned before and after
    ChangeCase{1, "SOSS", 6, false, 1, 5, -35},
    ChangeCase{1, "SOSS", 6, false, 2, 50, -15},
    ChangeCase{1, "SOSS", 6, false, 7, 50, -30},     // any other operation saves it unchanged
    ChangeCase{2, "SOPS", 14, false, 2, 50, 55},
    ChangeCase{3, "SOPS", 12, false, 1, -1, 99},
    ChangeCase{4, "SOPS", 18, false, 0, 7, 7},
    ChangeCase{5, "SOPS", 16, false, 2, 200, 240},
    ChangeCase{6, "SOMS", 0, false, 2, 50, 120},
    ChangeCase{7, "SOPS", 0, true, 1, 100000, 103000},
    ChangeCase{8, "SOPS", 4, true, 2, 50, 1200},
    ChangeCase{9, "SOSS", 0, false, 1, 5, -55},
    ChangeCase{10, "SOSS", 2, false, 0, -4, -4},
    ChangeCase{11, "SOSS", 4, false, 2, 150, 30}),
    testsupport::NameBy("kind", &ChangeCase::kind, &ChangeCase::tag, "operation", &ChangeCase::operation, "value", &ChangeCase::value));
// clang-format on

TEST_F(LayoutServicesTest, ChangeKindsAndFailures) {
    StartLumvar(0x05000005);
    NewDocument();
    EXPECT_EQ(lumvar::ChangeLayoutInfo(12, 1, 1, 0, 0), 3);
    EXPECT_EQ(lumvar::ChangeLayoutInfo(0, 1, 1, 0, 0), 3);
    EXPECT_EQ(lumvar::ChangeLayoutInfo(2, 1, 1, 0, 0), 5);  // no page 1
    EXPECT_EQ(lumvar::ChangeLayoutInfo(1, 1, 1, 0, 0), 5);  // no system 1
    EXPECT_EQ(FindOther("SOPS", 1, 0), nullptr);
}

TEST_F(LayoutServicesTest, Host2001ChangesTheTopOfTheLongForm) {
    StartLumvar(0x06000200);
    NewDocument();
    SaveOther("O\x02SS", 1, 0, Words(24, {{8, 1}, {12, 2}, {20, -50}}));
    ASSERT_EQ(lumvar::ChangeLayoutInfo(9, 10, 1, 1, 0), 0);
    EXPECT_EQ(Word("O\x02SS", 1, 20), -60);
}

}  // namespace
