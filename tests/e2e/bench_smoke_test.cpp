// The benchmark run small: it builds its scores, times every row and writes its table and CSV
// file; every command's script runs through (no timing is checked).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/fixture.h"

namespace {

std::vector<std::string> LinesOf(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class BenchSmokeTest : public testsupport::DesktopTest {};

TEST_F(BenchSmokeTest, EveryRowRunsOnSmallGeneratedScores) {
    const auto out = TempFolder() / "bench.out";
    const auto csv = TempFolder() / "bench.csv";
    // The benchmark loads and unloads the plug-ins for every run of a command; their memory is
    // checked by the tests of each part, so the leak check is left out here.
    const std::string command = "ASAN_OPTIONS=detect_leaks=0 " + std::string(ORVEX_BENCH_PATH) + " --plugins " +
                                ORVEX_PLUGIN_DIR + " --examples " + ORVEX_SOURCE_DIR +
                                "/examples --sizes 4x8,6x10 --repeats 1 --csv " + csv.string() + " >" + out.string() +
                                " 2>" + (TempFolder() / "bench.err").string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    const std::vector<std::string> table = LinesOf(out);
    ASSERT_EQ(table.size(), 1u + 4 + 72) << "a header, load, save, open, the raw pass and 72 commands";
    EXPECT_TRUE(table[0].starts_with("CPU seconds")) << table[0];
    const char* firstRows[] = {"load", "save", "open", "raw pass", "Browser"};
    for (size_t i = 0; i < std::size(firstRows); ++i) {
        EXPECT_TRUE(table[i + 1].starts_with(firstRows[i])) << table[i + 1];
    }
    EXPECT_TRUE(table.back().starts_with("About")) << table.back();
    EXPECT_NE(table[3].find("peak"), std::string::npos) << "the open row tells its peak memory";
    EXPECT_EQ(table[3].find("NOT THE SAME"), std::string::npos) << "the file opens as the document saved";
    for (const std::string& row : table) {
        EXPECT_EQ(row.find("bench:"), std::string::npos) << "a script line of a command failed: " << row;
        EXPECT_EQ(row.find("no document left"), std::string::npos) << row;
    }

    const std::vector<std::string> rows = LinesOf(csv);
    ASSERT_EQ(rows.size(), table.size());
    EXPECT_EQ(rows[0], "row,4x8,6x10,growth,ratio_to_raw,goals,notes");
    EXPECT_TRUE(rows[4].starts_with("\"raw pass\",")) << rows[4];
}

}  // namespace
