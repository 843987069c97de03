// The command table, the tool names and the per-tool tables.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/commands.h"
#include "core/host/access_state.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_items.h"

namespace {

using namespace orvex;

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetModule(); }
};

TEST_F(CommandsTest, TableHolds72CommandsThenEmptyEntries) {
    std::set<int32_t> codes;
    for (size_t i = 0; i < kCommandTableData.size(); ++i) {
        const CommandEntry& entry = kCommandTableData[i];
        SCOPED_TRACE("entry " + std::to_string(i));
        if (i < 72) {
            EXPECT_NE(entry.code, 0);
            EXPECT_TRUE(codes.insert(entry.code).second) << "code " << entry.code << " twice";
            EXPECT_EQ(entry.enumerationFlag, 0);
            EXPECT_EQ(entry.submenuNumber, 0);
            // Forms carry their own texts; tools take theirs from the tool names.
            EXPECT_EQ(entry.code < 100, entry.englishText != nullptr);
            EXPECT_EQ(entry.code < 100, entry.germanText != nullptr);
        } else {
            EXPECT_EQ(entry.code, 0);
        }
    }
    EXPECT_EQ(codes.size(), 72u);
}

TEST_F(CommandsTest, SevenSubmenusEachClosed) {
    const std::vector<std::pair<std::string, std::string>> expected = {{"M&usic", "&Noten"},
                                                                       {"&Spacing", "&Ausrichtung"},
                                                                       {"Layou&t", "&Systemlayout"},
                                                                       {"Mo&dify", "&Verändern"},
                                                                       {"&Lyrics", "&Liedtext"},
                                                                       {"&Parts", "S&timmen"},
                                                                       {"&Miscellaneous", "&Verschiedenes"}};
    const std::vector<std::pair<int, int>> ranges = {{1, 12},  {13, 20}, {21, 32}, {33, 44},
                                                     {46, 51}, {52, 58}, {59, 67}};
    size_t found = 0;
    for (size_t i = 0; i < 72; ++i) {
        const CommandEntry& entry = kCommandTableData[i];
        if (entry.submenuEnglish == nullptr) {
            continue;
        }
        ASSERT_LT(found, expected.size());
        EXPECT_EQ(entry.submenuEnglish, expected[found].first);
        EXPECT_EQ(entry.submenuGerman, expected[found].second);
        EXPECT_EQ(static_cast<int>(i), ranges[found].first);
        EXPECT_EQ(kCommandTableData[static_cast<size_t>(ranges[found].second)].submenuEnds, 1);
        ++found;
    }
    EXPECT_EQ(found, expected.size());
}

TEST_F(CommandsTest, EveryToolCommandHasNamesInBothLanguages) {
    for (size_t i = 0; i < 72; ++i) {
        const int32_t code = kCommandTableData[i].code;
        if (code < 100) {
            continue;
        }
        SCOPED_TRACE("code " + std::to_string(code));
        const size_t item = static_cast<size_t>(code % 100);
        const size_t group = static_cast<size_t>(code / 100);
        EXPECT_NE(CommandNameTable[group][item], nullptr);
        EXPECT_NE(CommandNameTable[2 + group][item], nullptr);
        EXPECT_NE(CommandNameTable[0][item], nullptr);
    }
}

TEST_F(CommandsTest, StorageNamesAndFurtherOptions) {
    EXPECT_EQ(ToolStorageName(0), "TrillNotes");
    EXPECT_EQ(ToolStorageName(21), "Options");
    EXPECT_EQ(ToolStorageName(46), "Slurs");
    EXPECT_EQ(ToolStorageName(73), "Enclosures");
    EXPECT_EQ(ToolStorageName(80), "");
    // The smart split point's key name is its own: item 79 has none.
    EXPECT_EQ(ToolStorageName(81), "SplitPoint");
    EXPECT_EQ(ToolStorageName(79), "");
    EXPECT_EQ(ToolStorageName(82), "");
    EXPECT_EQ(ToolName(8, 1), "Vx &Beam Breaker...");
    EXPECT_EQ(ToolName(8, 2), "");
    TheAccessLayer.host.language = 1;
    EXPECT_EQ(ToolName(81, 1), "Vx &Smart Split Point");
    EXPECT_EQ(ToolName(40, 1), "Vx &Instrumentation...");

    const std::vector<std::pair<int, int>> further = {{0, 10},  {6, 11},  {8, 48},  {9, 12},  {20, 22}, {23, 33},
                                                      {26, 28}, {27, 28}, {29, 31}, {34, 38}, {35, 28}, {67, 71}};
    int nonZero = 0;
    for (int item = 0; item < kToolItemCount; ++item) {
        nonZero += FurtherOptionsItem[static_cast<size_t>(item)] != 0 ? 1 : 0;
    }
    EXPECT_EQ(nonZero, static_cast<int>(further.size()));
    for (auto [item, target] : further) {
        EXPECT_EQ(FurtherOptionsItem[static_cast<size_t>(item)], target) << "item " << item;
        EXPECT_EQ(TheModule.commands.FurtherOptionsGroup[static_cast<size_t>(item)], item == 8 ? 0 : 1)
            << "item " << item;
    }
    for (int item : {1, 5, 6, 10}) {
        EXPECT_EQ(SeveralOptionSets[static_cast<size_t>(item)], 1);
    }
    EXPECT_EQ(SeveralOptionSets[0], 0);
    EXPECT_EQ(DialogOnlyInGroup1[0], 1);
    EXPECT_EQ(DialogOnlyInGroup1[5], 0);
}

TEST_F(CommandsTest, FindCommandIndexTakesTheLastMatchWithinTheEnumeratedCount) {
    EXPECT_EQ(FindCommandIndex(orvex::ToolCode(orvex::ToolItem::Proportionality)), 20);
    EXPECT_EQ(FindCommandIndex(orvex::ToolCode(orvex::ToolItem::Proportionality, 2)), 51);
    EXPECT_EQ(FindCommandIndex(CODE_ABOUT), 71);
    EXPECT_EQ(FindCommandIndex(999), 0);
    TheModule.commands.CommandCount = 50;
    EXPECT_EQ(FindCommandIndex(orvex::ToolCode(orvex::ToolItem::Proportionality, 2)), 0);
    // The empty entries' code 0 is found among the first CommandCount only.
    TheModule.commands.CommandCount = 80;
    EXPECT_EQ(FindCommandIndex(0), 79);
}

}  // namespace
