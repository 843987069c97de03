// Pages and staff systems through the simulated host: the two stored forms of a system, the
// bounded reload, the lock records, measure and page lookups, and the tool context's lists.
#include <gtest/gtest.h>

#include "core/general_options.h"
#include "core/host/finxess.h"
#include "core/host/staff_lists.h"
#include "core/host/staff_systems.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "platform/hostapi/layout_records.h"
#include "tests/core/score_host_fixture.h"
#include "tests/support/case_names.h"

namespace {

using namespace orvex;
using host::Bytes;
using host::RecordKey;
using hostapi::StaffSystemLayout;

RecordKey Soss(int16_t n) {
    return RecordKey::Other(hostapi::kTagStaffSystem, n, 0);
}
RecordKey Long(int16_t n) {
    return RecordKey::Other(hostapi::kTagStaffSystem2001, n, 0);
}

/// A 20-byte form whose word at byte b holds 0x100 + b (end measure 3 at byte 10, flags at 18).
Bytes Numbered20() {
    Bytes bytes(20, 0);
    for (size_t b = 0; b < 20; b += 2) {
        hostapi::WriteI16(bytes.data(), b, static_cast<int16_t>(0x100 + b));
    }
    hostapi::WriteI16(bytes.data(), StaffSystemLayout::kFirstMeasure, 1);
    hostapi::WriteI16(bytes.data(), hostapi::StaffSystem20Layout::kEndMeasure, 3);
    return bytes;
}

class StaffSystemsTest : public testsupport::ScoreHostTest {};

class StaffSystemFormsTest : public testsupport::ScoreHostTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(StaffSystemFormsTest, OlderHostsRearrangeTheShortFormAndSaveItBackUnchanged) {
    const int32_t year = GetParam();
    SCOPED_TRACE("host year " + std::to_string(year));
    Open("staff \"A\"\nmeasures 3\n", year);
    // The short form stored alone: the load converts it.
    Document().Records().Save(Soss(1), Numbered20());
    EDTStaffSystemSpec2001 record;
    record.setWord(11, 0x7777);  // byte 22: not written by the conversion
    ASSERT_TRUE(LoadStaffSystemSpec(1, record));
    SCOPED_TRACE("'SOSS' (1, 0)");
    EXPECT_EQ(record.word(0), 0x100);
    EXPECT_EQ(record.word(3), 0x106);
    EXPECT_EQ(record.firstMeasure(), 1);
    EXPECT_EQ(record.flags(), 0x112) << "byte 10 <- byte 18";
    EXPECT_EQ(record.endMeasure(), 3) << "byte 12 <- byte 10";
    EXPECT_EQ(record.word(7), 0x10E) << "byte 14 stays";
    EXPECT_EQ(record.word(8), 0x10C) << "byte 16 <- byte 12";
    EXPECT_EQ(record.word(9), 0x110) << "byte 18 <- byte 16";
    EXPECT_EQ(record.word(10), 0) << "byte 20 cleared";
    EXPECT_EQ(record.word(11), 0x7777);

    ASSERT_TRUE(SaveStaffSystemSpec(1, record));
    EXPECT_EQ(*Stored(Soss(1)), Numbered20());
}

INSTANTIATE_TEST_SUITE_P(Years, StaffSystemFormsTest, ::testing::Values(1998, 2000), testsupport::NameByValue("year"));

TEST_F(StaffSystemsTest, From2001TheLongFormIsReadAndBothFormsWritten) {
    Open("staff \"A\"\nmeasures 3\nsystem 1 2\n", 2001);
    EDTStaffSystemSpec2001 record;
    ASSERT_TRUE(LoadStaffSystemSpec(1, record));
    EXPECT_EQ(record.endMeasure(), 3);
    record.setWord(10, 0x2020);
    record.setWord(11, 0x2222);
    record.setFlags(0x0102);
    ASSERT_TRUE(SaveStaffSystemSpec(1, record));
    EXPECT_EQ(StoredWord(Long(1), StaffSystemLayout::kExtra20), 0x2020);
    EXPECT_EQ(StoredWord(Long(1), StaffSystemLayout::kExtra22), 0x2222);
    EXPECT_EQ(StoredWord(Soss(1), hostapi::StaffSystem20Layout::kFlags), 0x0102);
    EXPECT_EQ(StoredWord(Soss(1), hostapi::StaffSystem20Layout::kEndMeasure), 3);
}

TEST_F(StaffSystemsTest, From2001AFailedShortSaveLeavesTheLongFormAsItWas) {
    Open("staff \"A\"\nmeasures 3\nsystem 1 2\n", 2001);
    const Bytes before = *Stored(Long(1));
    EDTStaffSystemSpec2001 record;
    ASSERT_TRUE(LoadStaffSystemSpec(1, record));
    record.setEndMeasure(2);
    m_host->SetWritesRefused(hostapi::kTagStaffSystem, true);
    EXPECT_FALSE(SaveStaffSystemSpec(1, record));
    EXPECT_EQ(*Stored(Long(1)), before);

    m_host->SetWritesRefused(hostapi::kTagStaffSystem, false);
    m_host->SetWritesRefused(hostapi::kTagStaffSystem2001, true);
    EXPECT_FALSE(SaveStaffSystemSpec(1, record)) << "the long form failed";
}

TEST_F(StaffSystemsTest, AnUnlaidFirstSystemStaysWhenLayoutUpdatesAreOff) {
    Open("staff \"A\"\nmeasures 3\nsystem 0 0\n");
    TheModule.process.GeneralOptions[GO_AUTO_UPDATE_LAYOUT].value = 0;
    TStaffSystems systems;
    ASSERT_EQ(systems.Count(), 1);
    EXPECT_EQ(systems.At(0).firstMeasure(), 0);
    EXPECT_EQ(systems.At(0).endMeasure(), 0);
    EXPECT_EQ(systems.LayoutUpdates(), 0);
    EXPECT_EQ(StoredWord(Long(1), StaffSystemLayout::kFirstMeasure), 0) << "the host was not asked";
}

TEST_F(StaffSystemsTest, TheLoadAsksForOneLayoutAndStartsOver) {
    Open("staff \"A\"\nmeasures 6 width 1000\nsystem 1 3\nsystem 0 0\n");
    TheModule.process.GeneralOptions[GO_AUTO_UPDATE_LAYOUT].value = 1;
    TStaffSystems systems;
    EXPECT_EQ(systems.LayoutUpdates(), 1);
    ASSERT_EQ(systems.Count(), 3);
    EXPECT_EQ(systems.At(2).firstMeasure(), 5);
    EXPECT_EQ(systems.At(2).endMeasure(), 7);
}

TEST_F(StaffSystemsTest, AHostThatNeverLaysOutDoesNotKeepTheLoadGoing) {
    Open("staff \"A\"\nmeasures 3\nsystem 0 0\nsystem 0 0\n");
    TheModule.process.GeneralOptions[GO_AUTO_UPDATE_LAYOUT].value = 1;
    m_host->SetLayoutHeld(true);
    TStaffSystems systems;
    EXPECT_EQ(systems.LayoutUpdates(), TStaffSystems::kMaxLayoutUpdates);
    EXPECT_EQ(systems.Count(), 2) << "the records are taken as they are";
}

TEST_F(StaffSystemsTest, ALaterUnlaidSystemAfterAMissingMeasureAsksNothing) {
    // System 2 follows a system whose end measure (9) does not exist.
    Open("staff \"A\"\nmeasures 8\nsystem 1 8\nsystem 0 0\n");
    TheModule.process.GeneralOptions[GO_AUTO_UPDATE_LAYOUT].value = 1;
    TStaffSystems systems;
    EXPECT_EQ(systems.LayoutUpdates(), 0);
    EXPECT_EQ(systems.Count(), 2);
}

struct MeasureCase {
    int32_t measure;
    int32_t system;
};

TEST_F(StaffSystemsTest, SystemOfAMeasure) {
    Open("staff \"A\"\nmeasures 9\nsystem 2 3\nsystem 4 6\nsystem 7 8\n");
    const TStaffSystems systems;
    const MeasureCase cases[] = {{1, 0}, {2, 1}, {3, 1}, {4, 2}, {6, 2}, {7, 3}, {8, 3}, {9, 3}, {500, 3}};
    for (const MeasureCase& c : cases) {
        EXPECT_EQ(SystemIndexOfMeasure(systems, c.measure), c.system) << "measure " << c.measure;
    }
}

struct PageCase {
    std::vector<int16_t> firstSystems;
    int32_t system;
    int32_t page;
};

class PageOfSystemTest : public testsupport::ScoreHostTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PageOfSystemTest, FindsThePage) {
    const PageCase& c = GetParam();
    Open("staff \"A\"\n");
    for (size_t p = 0; p < c.firstSystems.size(); ++p) {
        Bytes page(hostapi::PageLayout::kSize, 0);
        hostapi::WriteI16(page.data(), hostapi::PageLayout::kFirstSystem, c.firstSystems[p]);
        Document().Records().Save(RecordKey::Other(hostapi::kTagPage, static_cast<int16_t>(p + 1), 0), page);
    }
    const TPages pages;
    ASSERT_EQ(pages.Count(), static_cast<int32_t>(c.firstSystems.size()));
    EXPECT_EQ(pages.PageOfSystem(c.system), c.page) << "system " << c.system;
}

const PageCase kPageCases[] = {
    {{1, 4, 7}, 1, 1}, {{1, 4, 7}, 5, 2}, {{1, 4, 7}, 9, 3},
    {{1, 4, 7}, 0, 0}, {{1, 0, 7}, 3, 0},  // followed by a page not laid out: no page matches
    {{1, 0, 7}, 8, 3}, {{-1, 2}, 1, 0},
};

INSTANTIATE_TEST_SUITE_P(Pages, PageOfSystemTest, ::testing::ValuesIn(kPageCases),
                         testsupport::NameBy("system", &PageCase::system, "page", &PageCase::page));

TEST_F(StaffSystemsTest, ClearSystemFitsUnlocksTheInnerMeasuresAndLocksTheFirst) {
    Open("staff \"A\"\nmeasures 7\nsystem 1 1\nsystem 2 5\nsystem 6 7\nlock 3 3\nlock 4 4\nlock 6 7\n");
    const TStaffSystems systems;
    EXPECT_TRUE(ClearSystemFits(systems, 2, false));
    const auto locked = [&](int16_t m) {
        return Stored(RecordKey::Other(hostapi::kTagLockedMeasures, m, 0)) != nullptr;
    };
    EXPECT_FALSE(locked(3));
    EXPECT_FALSE(locked(4));
    EXPECT_FALSE(locked(2));
    EXPECT_TRUE(locked(6)) << "another system's lock stays";

    ASSERT_TRUE(ClearSystemFits(systems, 2, true));
    const Bytes lock = *Stored(RecordKey::Other(hostapi::kTagLockedMeasures, 2, 0));
    EXPECT_EQ(lock, (Bytes{6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(ClearSystemFits(systems, 4, true)) << "there is no system 4";
    EXPECT_FALSE(ClearSystemFits(systems, 0, true)) << "systems count from 1";
    EXPECT_FALSE(SaveSystem(systems, 0));
}

TEST_F(StaffSystemsTest, CountsNoteEntriesOfTheSystemsMeasuresOnly) {
    Open(R"(staff "A"
staff "B"
measures 3
notes 1 1 c4/4 r/4 d4/2
notes 1 2 c4/1
notes 1 2 layer 2 e4/2 r/2
notes 1 3 c4/1
notes 2 2 c4/1
system 1 2
system 3 3
)");
    const TStaffSystems systems;
    EXPECT_EQ(CountFlaggedEntriesInSystem(systems, 0, 1, 1), 4);
    EXPECT_EQ(CountFlaggedEntriesInSystem(systems, 0, 1, 2), 1);
    EXPECT_EQ(CountFlaggedEntriesInSystem(systems, 0, 2, 1), 1);
    EXPECT_EQ(CountFlaggedEntriesInSystem(systems, 0, 1, 3), 0);
}

TEST_F(StaffSystemsTest, ToolListsAreMadeAndFreed) {
    Open("staff \"Flute\"\nstaff \"Oboe\"\nmeasures 2\nsystem 1 2\ngroup 1 2 \"\"\n");
    auto context = InitToolContext();
    ASSERT_TRUE(AllocToolLists(*context));
    ASSERT_TRUE(context->StaffSystems && context->Instruments && context->Groups);
    EXPECT_EQ(context->StaffSystems->Count(), 1);
    EXPECT_EQ(context->Instruments->Count(), 2);
    EXPECT_EQ(context->Instruments->At(1).name, "Oboe");
    EXPECT_EQ(context->Instruments->Systems(), context->StaffSystems.get());
    ASSERT_EQ(context->Groups->Count(), 1);
    EXPECT_EQ(context->Groups->At(0).name, "[Group 1]");

    const std::weak_ptr<TStaffSystems> firstSystems = context->StaffSystems;
    ASSERT_TRUE(AllocToolLists(*context));
    EXPECT_TRUE(firstSystems.expired()) << "the first lists were freed";
    FreeToolLists(*context);
    EXPECT_FALSE(context->StaffSystems || context->Instruments || context->Groups);
}

}  // namespace
