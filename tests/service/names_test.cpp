// Display names of staves, groups, staff sets and staff systems.
#include <gtest/gtest.h>

#include <string>

#include "service/layout_services.h"
#include "service/names.h"
#include "service/preferences.h"
#include "service/text_services.h"
#include "service/translations.h"
#include "tests/service/lumvar_fixture.h"
#include "tests/support/case_names.h"

namespace {

using lumvartest::Bytes;
using lumvartest::Words;

class NamesTest : public lumvartest::LumvarHostTest {
protected:
    void SetUp() override {
        LumvarHostTest::SetUp();
        StartLumvar(0x05000005);
        NewDocument();
    }
    /// A named staff: its full name is text block `staff` (none for an empty name).
    void NamedStaff(int16_t staff, const char* name, int16_t flags = 0) {
        if (*name != '\0') {
            TextBlock(staff, name);
        }
        Staff(staff, flags, *name != '\0' ? staff : 0);
    }
    /// Group `number` of a list over staves first..last with a full name (text block 100 + number).
    void Group(int16_t list, int16_t number, int16_t first, int16_t last, const char* name) {
        const auto block = static_cast<int16_t>(100 + number + 20 * (list < 0 ? -list : list));
        if (*name != '\0') {
            TextBlock(block, name);
        }
        SaveDetail("SDNG", list, number, Words(30, {{0, first}, {2, last}, {4, *name != '\0' ? block : int16_t{0}}}));
    }
    std::string Name(int16_t staff, bool fallback = true, int16_t list = 0, bool markHidden = false) {
        return lumvar::GetInstNameInIUList(staff, fallback ? 1 : 0, list, markHidden ? 1 : 0);
    }
};

TEST_F(NamesTest, StaffNames) {
    TextBlock(50, "Fl.");
    Staff(1, 0, 0, 50);
    NamedStaff(2, "^font(Times)Oboe");
    Staff(3);
    EXPECT_STREQ(lumvar::GetInstName(1), "Fl.");
    EXPECT_STREQ(lumvar::GetInstName(2), "Oboe");
    EXPECT_STREQ(lumvar::GetInstName(3), "");
    EXPECT_STREQ(lumvar::GetInstName(9), "");
}

TEST_F(NamesTest, HiddenStavesAreMarked) {
    NamedStaff(1, "Flute", lumvar::kStaffLeftOutFlag);
    ListEntry(0, 0, 1, 0);
    EXPECT_EQ(Name(1, false, 0, true), "Flute (hidden)");
    EXPECT_EQ(Name(1, false, 0, false), "Flute");
    lumvar::SetLanguagePreference(2);
    EXPECT_EQ(Name(1, false, 0, true), "Flute (versteckt)");
    EXPECT_EQ(Name(9), "");  // no staff record
}

TEST_F(NamesTest, UnnamedStavesTakeTheirGroupsNameAndPlace) {
    for (int16_t s = 1; s <= 7; ++s) {
        NamedStaff(s, "");
        ListEntry(0, static_cast<int16_t>(s - 1), s, -200 * (s - 1));
    }
    Group(0, 1, 1, 2, "Violins");
    Group(0, 2, 3, 5, "Brass");
    Group(0, 3, 3, 4, "Horns");  // the smaller group holding 3 and 4 wins
    Group(0, 4, 2, 3, "Mixed");  // as small as Violins and Horns: the first of them names 2 and 3
    Group(0, 5, 7, 7, "Tuba");   // a group of one staff has no upper staff
    EXPECT_EQ(Name(7), "Tuba [1/1]");
    EXPECT_EQ(Name(1), "Violins [upper staff]");
    EXPECT_EQ(Name(2), "Violins [lower staff]");
    EXPECT_EQ(Name(3), "Horns [upper staff]");
    EXPECT_EQ(Name(5), "Brass [3/3]");
    EXPECT_EQ(Name(6), "Staff #6");
    EXPECT_EQ(Name(6, false), "");
    lumvar::SetLanguagePreference(2);
    EXPECT_EQ(Name(1), "Violins [oberes System]");
    EXPECT_EQ(Name(6), "Notenzeile #6");
}

TEST_F(NamesTest, NamesLeaveTheClientsTranslationsAlone) {
    NamedStaff(1, "", lumvar::kStaffLeftOutFlag);
    ListEntry(0, 0, 1, 0);
    const char* word = lumvar::TranslateWord("rest", 1, 2, 0, nullptr, win::kNoWindow);
    const char* text = lumvar::TranslateID(252, 1, 3, nullptr, 0, win::kNoWindow, 0);
    EXPECT_EQ(Name(1, true, 0, true), "Staff #1 (hidden)");
    EXPECT_STREQ(word, "Pause");  // a translation keeps the table's spelling
    EXPECT_STREQ(text, "nascosto");
}

TEST_F(NamesTest, AGroupWithoutNameGivesWayToOneWithIt) {
    for (int16_t s = 1; s <= 3; ++s) {
        NamedStaff(s, "");
        ListEntry(0, static_cast<int16_t>(s - 1), s, -200 * (s - 1));
    }
    Group(0, 1, 1, 3, "Choir");
    Group(0, 2, 2, 3, "");
    EXPECT_EQ(Name(2), "Choir [2/3]");
}

TEST_F(NamesTest, ABareNumberGetsTheGroupsName) {
    NamedStaff(1, "VIII.");  // five characters: still bare
    NamedStaff(2, "2.");
    NamedStaff(3, "IV");
    NamedStaff(4, "Viola");
    for (int16_t s = 1; s <= 4; ++s) {
        ListEntry(0, static_cast<int16_t>(s - 1), s, -200 * (s - 1));
    }
    Group(0, 1, 1, 2, "Violins");
    EXPECT_EQ(Name(1), "Violins (VIII.)");
    EXPECT_EQ(Name(2), "Violins (2.)");
    EXPECT_EQ(Name(2, false), "2.");
    EXPECT_EQ(Name(3), "IV");  // in no group: unchanged
    EXPECT_EQ(Name(4), "Viola");
}

TEST_F(NamesTest, GroupsOfTheScoreServeOtherLists) {
    NamedStaff(1, "");
    NamedStaff(2, "");
    ListEntry(0, 0, 1, 0);
    ListEntry(0, 1, 2, -200);
    ListEntry(3, 0, 2, 0);
    Group(0, 1, 1, 2, "Horns");
    EXPECT_EQ(Name(2, true, 3), "Horns [lower staff]");
}

TEST_F(NamesTest, GroupNamesBySource) {
    NamedStaff(1, "Flute");
    NamedStaff(2, "Oboe");
    ListEntry(0, 0, 1, 0);
    ListEntry(0, 1, 2, -200);
    Group(0, 1, 1, 2, "Winds");
    TextBlock(60, "Wi.");
    SaveDetail("SDNG", 0, 2, Words(30, {{0, 1}, {2, 2}, {22, 60}}));
    SaveDetail("SDNG", 0, 3, Words(30, {{0, 1}, {2, 2}}));
    int16_t source = -1;
    EXPECT_STREQ(lumvar::GetGroupName(1, 0, nullptr, &source), "Winds");
    EXPECT_EQ(source, 1);
    EXPECT_STREQ(lumvar::GetGroupName(2, 0, nullptr, &source), "Wi.");
    EXPECT_EQ(source, 2);
    EXPECT_STREQ(lumvar::GetGroupName(3, 0, nullptr, &source), "[Flute...Oboe]");
    EXPECT_EQ(source, 3);
    EXPECT_STREQ(lumvar::GetGroupName(4, 0, nullptr, &source), "");
    EXPECT_EQ(source, 0);
    const Bytes given = Words(30, {{0, 2}, {2, 1}});
    EXPECT_STREQ(lumvar::GetGroupName(9, 0, given.data(), &source), "[Oboe...Flute]");
    EXPECT_EQ(source, 3);
}

// A name longer than the name buffer is answered cut; pFTX_TextLength tells its whole length.
TEST_F(NamesTest, ALongGroupOrStaffNameIsAnsweredCutWithItsWholeLength) {
    const std::string name = std::string(1200, 'W') + "inds";
    NamedStaff(1, name.c_str());
    ListEntry(0, 0, 1, 0);
    Group(0, 1, 1, 1, name.c_str());
    int16_t source = -1;
    const char* group = lumvar::GetGroupName(1, 0, nullptr, &source);
    EXPECT_EQ(std::string(group), name.substr(0, 999));
    EXPECT_EQ(lumvar::TextLength(group), name.size());
    const char* staff = lumvar::GetInstName(1);
    EXPECT_EQ(std::string(staff), name.substr(0, 999));
    EXPECT_EQ(lumvar::TextLength(staff), name.size());
    EXPECT_EQ(lumvar::TextLength(lumvar::GetInstNameInIUList(1, 1, 0, 0)), name.size());
}

class ListNamesTest : public NamesTest {
protected:
    void SetUp() override {
        NamesTest::SetUp();
        const char* names[] = {"Flute", "Oboe", "Clarinet", "Bassoon"};
        for (int16_t s = 1; s <= 4; ++s) {
            NamedStaff(s, names[s - 1]);
            ListEntry(-36, static_cast<int16_t>(s - 1), s, -200 * (s - 1));
        }
    }
    std::string SetName(int16_t flags, int16_t width, int16_t set = 1) {
        int16_t err = -1;
        std::string name = lumvar::GetStaffsetName(set, flags, width, &err);
        return err == 0 ? name : "error " + std::to_string(err);
    }
};

struct ListNameCase {
    int16_t flags;
    int16_t width;
    const char* name;
};

class ListNameFlagsTest : public ListNamesTest, public ::testing::WithParamInterface<ListNameCase> {};

TEST_P(ListNameFlagsTest, NamesByFlags) {
    EXPECT_EQ(SetName(GetParam().flags, GetParam().width), GetParam().name);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Flags, ListNameFlagsTest, ::testing::Values(
    ListNameCase{0x00, 40, "#1. [Flute, Bassoon]"},
    ListNameCase{0x01, 40, "1. [Flute, Bassoon]"},
    ListNameCase{0x04, 40, "#1 [Flute, Bassoon]"},
    ListNameCase{0x02, 40, "[Flute, Bassoon]"},
    ListNameCase{0x0A, 40, "Flute, Bassoon"},
    ListNameCase{0x10, 40, "#1. [Flute, Oboe, Clarinet, Bassoon]"},
    // Too long: the longer part (the second on ties) is cut a character at a time.
    ListNameCase{0x10, 20, "#1. [Flute...assoon]"}, ListNameCase{0x10, 22, "#1. [Flute...Bassoon]"},
    ListNameCase{0x10, 25, "#1. [Flute, Ob...Bassoon]"}, ListNameCase{0x10, 29, "#1. [Flute, Obo...t, Bassoon]"},
    ListNameCase{0x10, 36, "#1. [Flute, Oboe...larinet, Bassoon]"}, ListNameCase{0x1A, 15, "Flute...Bassoon"},
    ListNameCase{0x00, 14, "error 4"},
    ListNameCase{0x00, 101, "error 4"}),
    testsupport::NameBy("flags", &ListNameCase::flags, "width", &ListNameCase::width));
// clang-format on

TEST_F(ListNamesTest, RunsOfOneWordAreMerged) {
    const char* names[] = {"Violin 1", "Violin 2", "Violin 3", "Viola"};
    for (int16_t s = 1; s <= 4; ++s) {
        NamedStaff(static_cast<int16_t>(10 + s), names[s - 1]);
        ListEntry(-35, static_cast<int16_t>(s - 1), static_cast<int16_t>(10 + s), -200 * (s - 1));
    }
    EXPECT_EQ(SetName(0x30, 60, 2), "#2. [Violin (*2), Violin 3, Viola]");
    EXPECT_EQ(SetName(0x10, 60, 2), "#2. [Violin 1, Violin 2, Violin 3, Viola]");
    // Of two words of equal length the first is the staff's word.
    NamedStaff(11, "Bass Horn 1");
    NamedStaff(12, "Bass Tuba 2");
    EXPECT_EQ(SetName(0x30, 60, 2), "#2. [Bass (*2), Violin 3, Viola]");
}

TEST_F(ListNamesTest, OneAndTwoStaves) {
    NamedStaff(20, "Harp");
    ListEntry(-34, 0, 20, 0);
    EXPECT_EQ(SetName(0, 30, 3), "#3. [Harp]");
    ListEntry(-34, 1, 1, -200);
    EXPECT_EQ(SetName(0x10, 30, 3), "#3. [Harp, Flute]");
}

TEST_F(ListNamesTest, AHalfGrowsUntilItIsLongerThan99Characters) {
    const std::string longName(99, 'x');
    NamedStaff(20, longName.c_str());
    NamedStaff(21, "Tuba");
    const int16_t staves[] = {1, 2, 20, 21};
    for (int16_t i = 0; i < 4; ++i) {
        ListEntry(-34, i, staves[i], -200 * i);
    }
    // The second half of 99 characters takes Tuba too, then loses 19 characters from its start.
    EXPECT_EQ(SetName(0x1A, 100, 3), "Flute, Oboe..." + std::string(80, 'x') + ", Tuba");
}

TEST_F(ListNamesTest, SetAndSystemErrors) {
    EXPECT_EQ(SetName(0, 30, 9), "error 4");
    EXPECT_EQ(SetName(0, 30, -1), "error 4");
    EXPECT_EQ(SetName(0, 30, 4), "error 17");  // no list -33
    int16_t err = -1;
    EXPECT_STREQ(lumvar::GetSystemName(1, 0, 30, &err), "");
    EXPECT_EQ(err, 4);  // no systems
    SaveOther("SOSS", 1, 0, Words(20, {{18, 0x4000}}));
    SaveOther("SOSS", 2, 0, Words(20, {}));
    ListEntry(1, 0, 2, 0);
    EXPECT_STREQ(lumvar::GetSystemName(1, 0, 30, &err), "#1. [Oboe]");
    EXPECT_EQ(err, 0);
    EXPECT_STREQ(lumvar::GetSystemName(2, 0, 30, &err), "");
    EXPECT_EQ(err, 5);  // the score's list does not exist
    EXPECT_STREQ(lumvar::GetSystemName(3, 0, 30, &err), "");
    EXPECT_EQ(err, 4);
}

}  // namespace
