// The host's page layout (service 41), the two forms of a staff system record and the score-text
// statements of pages, systems, groups, smart shapes and page items.
#include <gtest/gtest.h>

#include "platform/host/host.h"
#include "platform/host/page_layout.h"
#include "platform/host/record_dump.h"
#include "platform/host/record_layouts.h"
#include "platform/host/score_builder.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/services.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using host::Bytes;
using host::RecordKey;
using hostapi::PageLayout;
using hostapi::StaffSystemLayout;

int16_t Word(const host::Document& document, const RecordKey& key, size_t offset) {
    const Bytes* bytes = document.Records().Find(key);
    EXPECT_NE(bytes, nullptr) << key.Description();
    return bytes == nullptr || bytes->size() < offset + 2 ? int16_t{-9999} : hostapi::ReadI16(bytes->data(), offset);
}

RecordKey System(int16_t n) {
    return RecordKey::Other(hostapi::kTagStaffSystem2001, n, 0);
}
RecordKey System20(int16_t n) {
    return RecordKey::Other(hostapi::kTagStaffSystem, n, 0);
}
RecordKey Page(int16_t n) {
    return RecordKey::Other(hostapi::kTagPage, n, 0);
}

/// The systems of a document as (first, end) pairs, from the 24-byte form, checked against the
/// 20-byte form.
std::vector<std::pair<int16_t, int16_t>> Systems(const host::Document& document) {
    std::vector<std::pair<int16_t, int16_t>> systems;
    for (int16_t n = 1; document.Records().Find(System(n)) != nullptr; ++n) {
        SCOPED_TRACE("system " + std::to_string(n));
        const int16_t first = Word(document, System(n), StaffSystemLayout::kFirstMeasure);
        const int16_t end = Word(document, System(n), StaffSystemLayout::kEndMeasure);
        EXPECT_EQ(Word(document, System20(n), hostapi::StaffSystem20Layout::kEndMeasure), end);
        EXPECT_EQ(Word(document, System20(n), StaffSystemLayout::kFirstMeasure), first);
        systems.emplace_back(first, end);
    }
    EXPECT_EQ(document.Records().Find(System20(static_cast<int16_t>(systems.size() + 1))), nullptr);
    return systems;
}

std::vector<int16_t> PageFirstSystems(const host::Document& document) {
    std::vector<int16_t> pages;
    for (int16_t p = 1; document.Records().Find(Page(p)) != nullptr; ++p) {
        pages.push_back(Word(document, Page(p), PageLayout::kFirstSystem));
    }
    return pages;
}

struct LayoutCase {
    const char* name;
    const char* score;  ///< appended to two staves
    std::vector<std::pair<int16_t, int16_t>> systems;
    std::vector<int16_t> pages;
};

// The default page is 2448 wide with margins of 144: a system is 2160 wide. Two staves 200
// apart make a system 200 + 96 + 96 = 392 high; the page holds 3168 - 288 = 2880.
const LayoutCase kLayoutCases[] = {
    {"widths fill systems", "measures 5 width 1000\nlayout\n", {{1, 3}, {3, 5}, {5, 6}}, {1}},
    {"a measure wider than a system stands alone",
     "measures 1 width 3000\nmeasures 2 width 100\nlayout\n",
     {{1, 2}, {2, 4}},
     {1}},
    {"a lock makes its system whatever the widths",
     "measures 6 width 1000\nlock 2 5\nlayout\n",
     {{1, 2}, {2, 6}, {6, 7}},
     {1}},
    {"a lock past the last measure ends there", "measures 3 width 100\nlock 2 9\nlayout\n", {{1, 2}, {2, 4}}, {1}},
    {"a system stops before a locked one", "measures 4 width 100\nlock 3 3\nlayout\n", {{1, 3}, {3, 4}, {4, 5}}, {1}},
    {"systems fill pages",
     "measures 16 width 2160\nlayout\n",
     {{1, 2},
      {2, 3},
      {3, 4},
      {4, 5},
      {5, 6},
      {6, 7},
      {7, 8},
      {8, 9},
      {9, 10},
      {10, 11},
      {11, 12},
      {12, 13},
      {13, 14},
      {14, 15},
      {15, 16},
      {16, 17}},
     {1, 8, 15}},
    {"a small page holds one system each",
     "page width 2448 height 500\nmeasures 2 width 2160\nlayout\n",
     {{1, 2}, {2, 3}},
     {1, 2}},
    {"surplus systems and pages are deleted",
     "measures 2\nsystem 1 1\nsystem 2 2\nsystem 0 0\npage\npage\nlayout\n",
     {{1, 3}},
     {1}},
    {"no measures: no systems, a page without any", "system 0 0\nlayout\n", {}, {-1}},
};

class PageLayoutTest : public testsupport::DesktopTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PageLayoutTest, CutsMeasuresIntoSystemsAndSystemsIntoPages) {
    const LayoutCase& c = GetParam();
    SCOPED_TRACE(c.name);
    const auto document = host::ParseScoreText(std::string("staff \"A\"\nstaff \"B\"\n") + c.score, "layout");
    EXPECT_EQ(Systems(*document), c.systems);
    EXPECT_EQ(PageFirstSystems(*document), c.pages);
    // No system is ever left without its measures.
    for (const auto& [first, end] : Systems(*document)) {
        EXPECT_NE(first, 0);
        EXPECT_NE(end, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, PageLayoutTest, ::testing::ValuesIn(kLayoutCases),
                         testsupport::NameBy(&LayoutCase::name));

class LayoutServiceTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        m_host = std::make_unique<host::Host>();
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        DesktopTest::TearDown();
    }
    host::Document& Open(const char* score) { return m_host->AddDocument(host::ParseScoreText(score, "doc")); }
    template <typename Fn>
    Fn Service(hostapi::Service ordinal) {
        return reinterpret_cast<Fn>(host::ServiceByOrdinal(static_cast<int32_t>(ordinal)));
    }

    std::unique_ptr<host::Host> m_host;
};

TEST_F(LayoutServiceTest, ServiceLaysOutKeepingMarginsAndUnlessHeld) {
    host::Document& document = Open("staff \"A\"\nmeasures 4 width 1000\nsystem 0 0\n");
    // A system margin of 100 narrows the system to 2060: still two measures of 1000.
    Bytes system = *document.Records().Find(System(1));
    hostapi::WriteI16(system.data(), StaffSystemLayout::kLeftMargin, 100);
    hostapi::WriteI16(system.data(), StaffSystemLayout::kExtra22, 0x2222);
    document.SaveRecord(System(1), system);
    const auto layout = Service<hostapi::UpdateLayoutFn>(hostapi::Service::UpdateLayout);
    ASSERT_NE(layout, nullptr);

    m_host->SetLayoutHeld(true);
    EXPECT_EQ(layout(1, 0, hostapi::kInterfaceVersion), 1);
    EXPECT_EQ(Word(document, System(1), StaffSystemLayout::kFirstMeasure), 0) << "a held layout changes nothing";

    m_host->SetLayoutHeld(false);
    EXPECT_EQ(layout(1, 0, hostapi::kInterfaceVersion), 1);
    EXPECT_EQ(Systems(document), (std::vector<std::pair<int16_t, int16_t>>{{1, 3}, {3, 5}}));
    EXPECT_EQ(Word(document, System(1), StaffSystemLayout::kLeftMargin), 100);
    EXPECT_EQ(Word(document, System(1), StaffSystemLayout::kExtra22), 0x2222);
    EXPECT_EQ(Word(document, System(2), StaffSystemLayout::kLeftMargin), 100) << "a new system copies the margins";
    EXPECT_EQ(Word(document, System(2), StaffSystemLayout::kFlags), 0);
    EXPECT_EQ(Word(document, Page(1), PageLayout::kWidth), host::kDefaultPageWidth);
}

TEST_F(LayoutServiceTest, TwoFormsOfASystemStayInStepAndTheLongOneWaitsFor2001) {
    host::Document& document = Open("staff \"A\"\nmeasures 2\nsystem 1 2\n");
    const auto save = Service<hostapi::SaveRecordFn>(hostapi::Service::SaveRecord);
    const auto load = Service<hostapi::LoadRecordFn>(hostapi::Service::LoadRecord);
    int16_t keys[3] = {1, 0, 0};
    // The 20-byte form: end measure at byte 10, flags at byte 18.
    Bytes form20(20, 0);
    hostapi::WriteI16(form20.data(), StaffSystemLayout::kFirstMeasure, 1);
    hostapi::WriteI16(form20.data(), 10, 2);
    hostapi::WriteI16(form20.data(), 12, 0x1212);
    hostapi::WriteI16(form20.data(), 16, 0x1616);
    hostapi::WriteU16(form20.data(), 18, 0x4000);
    ASSERT_EQ(save(hostapi::kTagStaffSystem, keys, form20.data(), 20, hostapi::kInterfaceVersion), 1);
    EXPECT_EQ(Word(document, System(1), StaffSystemLayout::kEndMeasure), 2);
    EXPECT_EQ(Word(document, System(1), StaffSystemLayout::kFlags), 0x4000);
    EXPECT_EQ(Word(document, System(1), StaffSystemLayout::kWord16), 0x1212);
    EXPECT_EQ(Word(document, System(1), StaffSystemLayout::kPercent), 0x1616);

    uint8_t buffer[24] = {};
    int32_t size = 24;
    m_host->SetRawVersion(0x05000005);  // 2000
    EXPECT_EQ(load(hostapi::kTagStaffSystem2001, keys, buffer, &size, hostapi::kInterfaceVersion2001), 0);
    m_host->SetRawVersion(0x06000000);  // 2001
    EXPECT_EQ(load(hostapi::kTagStaffSystem2001, keys, buffer, &size, hostapi::kInterfaceVersion), 0)
        << "the long form needs its own version";
    ASSERT_EQ(load(hostapi::kTagStaffSystem2001, keys, buffer, &size, hostapi::kInterfaceVersion2001), 1);
    EXPECT_EQ(size, 24);
    hostapi::WriteU16(buffer, StaffSystemLayout::kFlags, 0);
    ASSERT_EQ(save(hostapi::kTagStaffSystem2001, keys, buffer, 24, hostapi::kInterfaceVersion2001), 1);
    EXPECT_EQ(Word(document, System20(1), 18), 0) << "the 20-byte form follows";

    m_host->SetWritesRefused(hostapi::kTagStaffSystem, true);
    EXPECT_EQ(save(hostapi::kTagStaffSystem, keys, form20.data(), 20, hostapi::kInterfaceVersion), 0);
    EXPECT_EQ(Word(document, System20(1), 18), 0);
}

TEST(ScoreItemsTest, StatementsBecomeRecords) {
    const auto document = host::ParseScoreText(R"(staff "Flute"
staff "Oboe"
staff "Clarinet"
measures 3
notes 1 1 c5/4 d5/4 e5/2
system 1 2
stafflist 1 1 3
group 1 2 "Winds" "Wi." bracket 3
group 2 3 "" list 1
shape 2 1 1@512 3@0 offset -24 angled
shape 0 1 1:1 1:3
pagetext 1 "Score"
pagegraphic 2 "C:\\GRAPHICS\\LOGO-2001.EPS"
)",
                                               "items");
    const host::RecordStore& records = document->Records();
    EXPECT_EQ(Word(*document, System(1), StaffSystemLayout::kFlags), StaffSystemLayout::kOwnStaffList);
    EXPECT_EQ(Word(*document, System(1), StaffSystemLayout::kEndMeasure), 3);
    EXPECT_EQ(Word(*document, RecordKey::Other(host::kTagStaffListEntry, 1, 1), host::StaffListEntryLayout::kStaff), 3);
    EXPECT_EQ(Word(*document, RecordKey::Other(host::kTagStaffListEntry, 1, 1), host::StaffListEntryLayout::kPosition),
              -200);
    const RecordKey winds = RecordKey::Detail(hostapi::kTagStaffGroup, 0, 1, 0);
    EXPECT_EQ(Word(*document, winds, hostapi::StaffGroupLayout::kLastStaff), 2);
    EXPECT_EQ(Word(*document, winds, hostapi::StaffGroupLayout::kBracket), 3);
    EXPECT_EQ(
        Word(*document, RecordKey::Detail(hostapi::kTagStaffGroup, 1, 1, 0), hostapi::StaffGroupLayout::kFullName), 0);

    using L = hostapi::SmartShapeLayout;
    const RecordKey hairpin = RecordKey::Other(hostapi::kTagSmartShape, 1, 0);
    EXPECT_EQ(Word(*document, hairpin, L::kStart), 512);
    EXPECT_EQ(Word(*document, hairpin, L::kEndMeasure), 3);
    EXPECT_EQ(Word(*document, hairpin, L::kStartOffset), -24);
    EXPECT_EQ(records.Find(hairpin)->at(L::kAttachment), 0);
    for (int16_t m = 1; m <= 3; ++m) {
        EXPECT_EQ(Word(*document, RecordKey::Other(hostapi::kTagShapeMeasureLink, m, 0), 0), 1) << "measure " << m;
    }
    const RecordKey slur = RecordKey::Other(hostapi::kTagSmartShape, 2, 0);
    EXPECT_EQ(records.Find(slur)->at(L::kAttachment), L::kEntryAttached);
    const int32_t firstEntry = hostapi::ReadI32(records.Find(slur)->data(), L::kStart);
    const int32_t lastEntry = hostapi::ReadI32(records.Find(slur)->data(), L::kEnd);
    EXPECT_EQ(lastEntry, firstEntry + 2);
    EXPECT_EQ(Word(*document, RecordKey::EntryDetail(hostapi::kTagShapeEntryLink, firstEntry, 0), 0), 2);
    EXPECT_EQ(Word(*document, RecordKey::EntryDetail(hostapi::kTagShapeEntryLink, lastEntry, 0), 0), 2);
    EXPECT_EQ(Word(*document, RecordKey::Other(hostapi::kTagShapeMeasureLink, 1, 1), 0), 2);

    const std::vector<std::string> expected = {
        "'O\\x02pT' other (1, 0), 24 bytes: text \"Score\" (text block 6)",
        "'O\\x03pg' other (2, 0), 34 bytes: file 'otFd' 1",
        "'otFd' other (1, 0), 10 bytes: path 'otFp' 1",
        "'otFp' other (1, 0), 13 bytes: \"C:\\\\GRAPHICS\\\\\"",
        "'otFp' other (1, 1), 13 bytes: \"LOGO-2001.EP\"",
        "'otFp' other (1, 2), 2 bytes: \"S\"",
    };
    std::vector<std::string> lines;
    for (const hostapi::Tag tag :
         {hostapi::kTagPageText, hostapi::kTagPageGraphic, hostapi::kTagFileRecord, hostapi::kTagFilePath}) {
        for (const std::string& line : host::RecordListing(*document, tag)) {
            lines.push_back(line);
        }
    }
    testsupport::ExpectLines(expected, lines);
    testsupport::ExpectLines({"'O\\x07Sx' other (1, 0), 84 bytes: kind 2 from staff 1 measure 1 at 512 to staff 1 "
                              "measure 3 at 0, offset -24, opening 0, angled over a system break"},
                             {host::RecordListing(*document, hostapi::kTagSmartShape).front()});
    testsupport::ExpectLines({"'SOSS' other (1, 0), 20 bytes: measures 1 to before 3, flags 0x4000, top staff 0, "
                              "margins 0 0, space -96, scale 100"},
                             host::RecordListing(*document, hostapi::kTagStaffSystem));
}

struct MistakeCase {
    const char* line;
    const char* message;
};

const MistakeCase kMistakes[] = {
    {"shape 2 1 1@0 2:1", "line 3: both ends of a smart shape are positions, or both are entries"},
    {"shape 2 1 1 2@0",
     "line 3: shape: the start is MEASURE@EDU, MEASURE:ENTRY or MEASURE:ENTRY.NOTE, not 1 (shape KIND STAFF "
     "MEASURE@EDU|MEASURE:ENTRY[.NOTE] MEASURE@EDU|MEASURE:ENTRY[.NOTE] [offset N] [endoffset N] [angled])"},
    {"shape 0 1 1:5 1:6", "line 3: staff 1, measure 1 has no entry 5 in layer 1"},
    {"system 1 9", "line 3: there is no measure 9"},
    {"group 1 4 \"X\"", "line 3: there is no staff 4"},
    {"lock 2 1", "line 3: lock: the last measure 1 is not between 2 and 32766 (lock FIRST LAST)"},
};

class ScoreItemMistakeTest : public ::testing::TestWithParam<MistakeCase> {};

TEST_P(ScoreItemMistakeTest, NamesTheLine) {
    const MistakeCase& c = GetParam();
    SCOPED_TRACE(c.line);
    try {
        host::ParseScoreText(std::string("staff \"A\"\nmeasures 2\n") + c.line + "\n", "bad");
        FAIL() << "no mistake found";
    } catch (const host::ScoreTextError& e) {
        EXPECT_EQ(std::string(e.what()), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, ScoreItemMistakeTest, ::testing::ValuesIn(kMistakes),
                         testsupport::NameBy(&MistakeCase::line));

}  // namespace
