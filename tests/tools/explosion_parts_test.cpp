// Part designations: the texts that name parts and kinds, and how they merge.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/layout/explosion/explosion.h"

namespace {

struct NumberCase {
    const char* text;
    std::vector<int32_t> numbers;  ///< empty: no designation
};

TEST(ExplosionParts, PartNumbersOfTexts) {
    const std::vector<NumberCase> cases = {
        {"1./2.", {1, 2}}, {"I.II.", {1, 2}}, {"1.-3.", {1, 3}}, {"1", {}},    {"1-3", {}},  {"12", {}},
        {"9.", {}},        {"8.", {8}},       {"XII.", {12}},    {"2nd", {2}}, {"4th", {4}}, {"1st", {1}},
        {"1ST", {}},       {"1.,3.", {1, 3}}, {"", {}},          {"Zth", {}},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<int32_t> numbers;
        EXPECT_EQ(orvex::ParsePartNumber(c.text, numbers), !c.numbers.empty());
        EXPECT_EQ(numbers, c.numbers);
    }
}

TEST(ExplosionParts, KindsAndTheirRemoval) {
    for (const bool removeKinds : {false, true}) {
        SCOPED_TRACE(removeKinds);
        orvex::PartDesignations list;
        EXPECT_EQ(orvex::ParsePartSpecification(removeKinds, "SOLO", list, 0, 0), removeKinds);
        EXPECT_EQ(orvex::ParsePartSpecification(removeKinds, "A 2", list, 0, 1), removeKinds);
        EXPECT_EQ(orvex::ParsePartSpecification(removeKinds, "TUTTI", list, 0, 0), removeKinds);
        EXPECT_TRUE(orvex::ParsePartSpecification(removeKinds, "1.", list, 0, 0));
        EXPECT_FALSE(orvex::ParsePartSpecification(removeKinds, "a2", list, 0, 0));
        // "A" takes a digit from 1 up: "A0" and "A." name neither a kind nor a part.
        EXPECT_FALSE(orvex::ParsePartSpecification(removeKinds, "A0", list, 0, 0));
        EXPECT_FALSE(orvex::ParsePartSpecification(removeKinds, "A.", list, 0, 0));
        ASSERT_EQ(list.size(), 4u);
        EXPECT_EQ(list[0].kind, orvex::kKindSolo);
        EXPECT_EQ(list[1].kind, 2);
        EXPECT_EQ(list[1].layer, 1);
        EXPECT_EQ(list[2].kind, orvex::kKindTutti);
        EXPECT_EQ(list[3].part, 1);
        EXPECT_EQ(list[3].kind, 0);
    }
}

}  // namespace
