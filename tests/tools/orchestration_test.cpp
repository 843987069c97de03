// The orchestration pre-fill (voices and ranges of each staff before the selection, whether it
// plays in the selection) and the pasted-region check of the smart explosion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dispatch.h"
#include "core/module.h"
#include "tests/tools/notes_fixture.h"
#include "tools/layout/orchestration.h"

namespace {

using orvex::OptionElement;

constexpr int32_t kRowsPerStaff = 11;

class OrchestrationTest : public testsupport::NotesTest {
protected:
    /// The rows of two staves after the pre-fill over the selected measures.
    std::vector<OptionElement> Prefill(int16_t firstMeasure, int16_t lastMeasure) {
        Select(1, 2, firstMeasure, lastMeasure);
        orvex::TheModule.dispatch.SelectionRecords[0] = *m_host->Selection();
        orvex::TheModule.dispatch.SelectionRecords[1] = m_host->DocumentRegion();
        orvex::TheModule.dispatch.CurrentRegion = &orvex::TheModule.dispatch.SelectionRecords[0];
        std::vector<OptionElement> rows(2 * kRowsPerStaff);
        orvex::PrefillOrchestrationOptions(nullptr, orvex::ItemNumber(orvex::ToolItem::Orchestration), rows,
                                           kRowsPerStaff, 2);
        return rows;
    }
    /// Rows 2 to 8 of a staff's block: the voices, the four range texts, source and dest.
    static std::string Block(const std::vector<OptionElement>& rows, int32_t staff) {
        const auto row = [&](int32_t r) -> const OptionElement& {
            return rows.at(static_cast<size_t>(staff * kRowsPerStaff + r));
        };
        return std::to_string(row(orvex::kOrchestrationVoices).value) + " " + row(orvex::kOrchestrationLowest).text +
               "-" + row(orvex::kOrchestrationHighest).text + " " + row(orvex::kOrchestrationBandLow).text + "-" +
               row(orvex::kOrchestrationBandHigh).text + " " + std::to_string(row(orvex::kOrchestrationSource).value) +
               std::to_string(row(orvex::kOrchestrationDest).value);
    }
};

TEST_F(OrchestrationTest, EachStaffTakesItsVoicesAndRangesFromTheMeasuresBefore) {
    StartHost("staff \"Flute\"\nstaff \"Oboe\"\nmeasures 3\nnotes 1 1 c4+e4/1\nnotes 1 2 g4/1\nnotes 1 3 c5/1\n");
    const std::vector<OptionElement> rows = Prefill(3, 3);
    EXPECT_EQ(Block(rows, 0), "2 C4-G4 C4-G4 10");
    // Without notes anywhere: middle C in every range, no voices; the staff is a destination.
    EXPECT_EQ(Block(rows, 1), "0 C4-C4 C4-C4 01");
    EXPECT_EQ(Messages(), std::vector<std::string>{});
}

TEST_F(OrchestrationTest, ASelectionFromTheFirstMeasureKeepsTheDefaults) {
    StartHost("staff \"Flute\"\nstaff \"Oboe\"\nmeasures 3\nnotes 1 1 c4+e4/1\n");
    const std::vector<OptionElement> rows = Prefill(1, 2);
    EXPECT_EQ(Block(rows, 0), "0 - - 00");
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Please select a measure region not starting at the beginning of the piece"});
}

TEST_F(OrchestrationTest, ATargetCellWithAnEntryFewerNamesItsMeasure) {
    StartHost(
        "staff \"Flute\"\nstaff \"Flute 2\"\nmeasures 2\nnotes 1 1 c4/2 d4/2\nnotes 2 1 c4/2 d4/2\n"
        "notes 1 2 c4/4 d4/4 e4/2\nnotes 2 2 c4/2 e4/2\n");
    EXPECT_FALSE(orvex::VerifyPastedRegion({0, 1, 1, 0}, 2, {0, 2, 1, orvex::kNoPosition}));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{
                  "Error using Mass Mover tool. Please verify as follows: (1) 2nd-last option in the dialog "
                  "box set correctly?  (2) 'Show active layer only' must be OFF (View menu), (3) is there "
                  "a pickup defined in Finale's music options? You should also undo any changes that this "
                  "plug-in has made. The error was detected in measure 2."});
    EXPECT_TRUE(orvex::VerifyPastedRegion({0, 1, 1, 0}, 1, {0, 2, 1, orvex::kNoPosition}));
}

}  // namespace
