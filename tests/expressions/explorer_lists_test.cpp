// The options dialog's list of the document's text expressions, filled from the shared table:
// each expression's text, its metatool key and, for the enclosures tool, the enclosure mark.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/tool_items.h"
#include "tests/tools/notes_fixture.h"

namespace {

constexpr const char* kScore = R"(
font 2 "Arial"
staff "Flute"
measures 2
expression 1 "^font(Arial)dolce" font 2 metatool 65
expression 2 "pizz." font 2 playback 000000000000000000000000
expression 3 "arco" font 2
)";

class ExpressionListTest : public testsupport::NotesTest {};

TEST_F(ExpressionListTest, EnclosuresListsTheExpressionsWithTheirKeysAndEnclosures) {
    StartHost(kScore);
    Select(1, 1, 1, 2);
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(orvex::ToolCode(orvex::ToolItem::Enclosures))));
    EXPECT_EQ(ResultLines(), (std::vector<std::string>{"dolce  (A)", "pizz. *", "arco"}));
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
