// The staff list manager end to end: hostsim loads the built plug-ins, the user opens "Staff List
// Manager..." from the product menu, hides a staff that plays, is told so by the error search,
// shows it again with a narrower gap, goes on to system 2 and confirms; the staff lists of the
// document follow.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

class StaffListHostsimTest : public testsupport::DesktopTest {};

TEST_F(StaffListHostsimTest, TheUserEditsSystemOneAndMovesOn) {
    const auto score = TempFolder() / "trio.txt";
    // Measures as wide as a system keep the host's layout at one measure a system.
    std::ofstream(score) << "staff \"Flute\"\nstaff \"Oboe\"\nstaff \"Violin\"\n"
                            "measures 2 width 1200\nnotes 2 1 c5/1\n"
                            "system 1 1\nsystem 2 2\nstafflist 1 1 2 3\nstafflist 2 1 3\n"
                            "group 1 2 \"Winds\"\n";
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

}  // namespace
