// The staff list manager end to end: hostsim loads the built plug-ins, the user opens "Staff List
// Manager..." from the product menu, hides a staff that plays, is told so by the error search,
// shows it again with a narrower gap, goes on to system 2 and confirms; the staff lists of the
// document follow. OK with no staff ticked is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

class StaffListHostsimTest : public testsupport::DesktopTest {
protected:
    /// Writes the trio (three staves, Oboe playing in measure 1; system 1 shows all three, system 2
    /// Flute and Violin; Flute and Oboe a group) and answers its file.
    std::filesystem::path TrioScore() {
        const auto score = TempFolder() / "trio.txt";
        // Measures as wide as a system keep the host's layout at one measure a system.
        std::ofstream(score) << "staff \"Flute\"\nstaff \"Oboe\"\nstaff \"Violin\"\n"
                                "measures 2 width 1200\nnotes 2 1 c5/1\n"
                                "system 1 1\nsystem 2 2\nstafflist 1 1 2 3\nstafflist 2 1 3\n"
                                "group 1 2 \"Winds\"\n";
        return score;
    }
};

TEST_F(StaffListHostsimTest, TheUserEditsSystemOneAndMovesOn) {
    const auto score = TrioScore();
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            score.string() +
            "\n"
            "form TStaffListManager set StaffListBox -1\n"
            "form TStaffListManager click FindErrorBtn\n"
            "form TStaffListManager set StaffListBox +1\n"
            "form TStaffListManager set dist2 150\n"
            "form TStaffListManager set SysNum 2\n"
            "form TStaffListManager click StaffListOk\n"
            "menu \"Orvex/Layout/Staff List Manager\"\n"
            "dump records SOIu\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto& out = result.out;
    const auto form = std::find(out.begin(), out.end(), "[form] \"Staff List Manager 1.88d\" TStaffListManager, modal");
    ASSERT_NE(form, out.end());
    EXPECT_NE(std::find(form, out.end(), "  edit SysNum: \"1\""), out.end());
    EXPECT_NE(std::find(form, out.end(),
                        "  label Message \"Optimization error found in this system, instrument Oboe            \""),
              out.end());
    EXPECT_NE(std::find(form, out.end(),
                        "host: Orvex188.fxt changed document 1 \"trio\": records 'SDNG' 1 added, 'SOIu' 2 changed, "
                        "'SOPS' 1 added, 'SOTX' 1 added, 'txbl' 1 added"),
              out.end());
    testsupport::ExpectLines(
        {
            "  'SOIu' other (0, 0), 24 bytes: staff 1, position 0",
            "  'SOIu' other (0, 1), 24 bytes: staff 2, position -200",
            "  'SOIu' other (0, 2), 24 bytes: staff 3, position -400",
            "  'SOIu' other (1, 0), 24 bytes: staff 1, position 0",
            "  'SOIu' other (1, 1), 24 bytes: staff 2, position -150",
            "  'SOIu' other (1, 2), 24 bytes: staff 3, position -350",
            "  'SOIu' other (2, 0), 24 bytes: staff 1, position 0",
            "  'SOIu' other (2, 1), 24 bytes: staff 3, position -200",
        },
        testsupport::LinesStartingWith(out, "records of document 1 \"trio\": 8 'SOIu' of 54", "  "));
}

// OK with every staff of an optimized system unticked would leave the system without staves, so
// its music would vanish from the page: it is refused with a message, the form stays open and
// Cancel then leaves the staff lists, groups and systems as they were.
TEST_F(StaffListHostsimTest, OkWithNoStaffTickedIsRefused) {
    const auto score = TrioScore();
    const std::string lists = "dump records SOIu\ndump records SDNG\ndump records SOSS\n";
    const auto result = testsupport::RunHostsim("load plugins\nnew " + score.string() + "\n" + lists +
                                                    "form TStaffListManager set StaffListBox -0\n"
                                                    "form TStaffListManager set StaffListBox -1\n"
                                                    "form TStaffListManager set StaffListBox -2\n"
                                                    "form TStaffListManager click StaffListOk\n"
                                                    "form TStaffListManager click StaffListCancel\n"
                                                    "menu \"Orvex/Layout/Staff List Manager\"\n" +
                                                    lists,
                                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto& out = result.out;
    const auto message = std::find(out.begin(), out.end(), "[form] \"Vx Staff List Manager\" TMsgDlg, modal");
    ASSERT_NE(message, out.end());
    EXPECT_EQ(*(message + 1),
              "  label Message \"A system cannot be left without staves: please tick at least one "
              "staff, or choose Cancel.\"");
    EXPECT_NE(std::find(message, out.end(), "  -> Cancel"), out.end());
    // The listings of the lists, groups and systems, before and after, are the same.
    std::vector<std::string> listings[2];
    size_t dumps = 0;
    for (auto at = out.begin(); at != out.end(); ++at) {
        if (at->starts_with("records of document 1")) {
            const auto lines = testsupport::LinesStartingWith(std::vector<std::string>(at, out.end()), *at, "  ");
            std::vector<std::string>& listing = listings[dumps++ < 3 ? 0 : 1];
            listing.insert(listing.end(), lines.begin(), lines.end());
        }
    }
    ASSERT_EQ(dumps, 6u);
    EXPECT_EQ(listings[0].size(), 11u);
    EXPECT_EQ(listings[1], listings[0]);
}

}  // namespace
