// Durations in EDUs split into note value, dots and remainder, and built back.
#include <gtest/gtest.h>

#include <array>
#include <climits>

#include "platform/hostapi/bytes.h"
#include "service/durations.h"
#include "service/lumvar_api.h"
#include "tests/support/case_names.h"

namespace {

using lumvar::DurationParts;

struct SplitCase {
    int32_t edu;
    int32_t base;
    int16_t level;
    int16_t dots;
    int32_t remainder;
};

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, SplitsIntoBaseLevelDotsAndRemainder) {
    const SplitCase& c = GetParam();
    std::array<uint8_t, 12> parts;
    parts.fill(0xAA);
    ASSERT_EQ(lumvar::SplitEDU(c.edu, parts.data(), 12), lumvar::ERR_OK);
    EXPECT_EQ(hostapi::ReadI32(parts.data(), DurationParts::kBase), c.base);
    EXPECT_EQ(hostapi::ReadI16(parts.data(), DurationParts::kLevel), c.level);
    EXPECT_EQ(hostapi::ReadI16(parts.data(), DurationParts::kDots), c.dots);
    EXPECT_EQ(hostapi::ReadI32(parts.data(), DurationParts::kRemainder), c.remainder);
}

INSTANTIATE_TEST_SUITE_P(
    Durations, SplitTest,
    ::testing::Values(SplitCase{1536, 1024, 4, 1, 0},    // dotted quarter
                      SplitCase{1792, 1024, 4, 2, 0},    // double-dotted quarter
                      SplitCase{1000, 512, 5, 4, 8},     // 512 + 256 + 128 + 64 + 32 + 8
                      SplitCase{20, 0, 0, 0, 20},        // shorter than the shortest value
                      SplitCase{16383, 8192, 1, 13, 0},  // the longest accepted: dots down to 1 EDU
                      SplitCase{8192, 8192, 1, 0, 0}, SplitCase{32, 32, 9, 0, 0}, SplitCase{0, 0, 0, 0, 0}),
    testsupport::NameBy("edu", &SplitCase::edu, "base", &SplitCase::base));

struct SplitErrorCase {
    int32_t edu;
    bool nullOut;
    int16_t size;
    int16_t error;
};

class SplitErrorTest : public ::testing::TestWithParam<SplitErrorCase> {};

TEST_P(SplitErrorTest, ChecksRangeThenPointerThenSize) {
    const SplitErrorCase& c = GetParam();
    std::array<uint8_t, 12> parts{};
    EXPECT_EQ(lumvar::SplitEDU(c.edu, c.nullOut ? nullptr : parts.data(), c.size), c.error);
}

INSTANTIATE_TEST_SUITE_P(Errors, SplitErrorTest,
                         ::testing::Values(SplitErrorCase{16384, false, 12, 4}, SplitErrorCase{-1, false, 12, 4},
                                           SplitErrorCase{16384, true, 10, 4}, SplitErrorCase{100, true, 10, 2},
                                           SplitErrorCase{100, false, 10, 13}, SplitErrorCase{100, false, 12, 0}),
                         testsupport::NameBy("edu", &SplitErrorCase::edu, "null", &SplitErrorCase::nullOut, "size",
                                             &SplitErrorCase::size));

std::array<uint8_t, 12> Parts(int32_t base, int16_t level, int16_t dots, int32_t remainder) {
    std::array<uint8_t, 12> parts{};
    hostapi::WriteI32(parts.data(), DurationParts::kBase, base);
    hostapi::WriteI16(parts.data(), DurationParts::kLevel, level);
    hostapi::WriteI16(parts.data(), DurationParts::kDots, dots);
    hostapi::WriteI32(parts.data(), DurationParts::kRemainder, remainder);
    return parts;
}

struct MakeCase {
    int32_t base;
    int16_t level;
    int16_t dots;
    int32_t remainder;
    int32_t edu;
    int16_t error;
};

class MakeTest : public ::testing::TestWithParam<MakeCase> {};

TEST_P(MakeTest, BuildsTheDurationBack) {
    const MakeCase& c = GetParam();
    const auto parts = Parts(c.base, c.level, c.dots, c.remainder);
    int16_t error = -1;
    EXPECT_EQ(lumvar::MakeEDU(parts.data(), 12, &error), c.edu);
    EXPECT_EQ(error, c.error);
}

INSTANTIATE_TEST_SUITE_P(Durations, MakeTest,
                         ::testing::Values(MakeCase{0, 4, 1, 0, 1536, 0},   // the level gives the base
                                           MakeCase{1000, 0, 0, 0, 0, 20},  // not a note value
                                           MakeCase{0, 0, 0, 0, 0, 0},      // nothing
                                           MakeCase{0, 0, 0, 20, 0, 0},     // level 0 gives 0, whatever is left
                                           MakeCase{0, 9, 0, 0, 32, 0},     // the last level
                                           MakeCase{0, 10, 0, 0, 0, 20},    // no such level
                                           MakeCase{0, -1, 0, 0, 0, 20},
                                           MakeCase{512, 0, 4, 8, 1000, 0},  // the split of 1000 again
                                           MakeCase{32, 9, 3, 0, 32 + 16 + 8 + 4, 0},
                                           // Dots past the base's halvings add nothing more.
                                           MakeCase{32, 9, 30000, 0, 63, 0},
                                           // A remainder that takes the sum past 32 bits.
                                           MakeCase{8192, 0, 1, INT32_MAX, 0, 20},
                                           MakeCase{8192, 0, 1, INT32_MAX - 12288, INT32_MAX, 0},
                                           MakeCase{0, 1, 0, INT32_MIN, 8192 + INT32_MIN, 0}),
                         testsupport::NameBy("base", &MakeCase::base, "level", &MakeCase::level, "dots",
                                             &MakeCase::dots, "remainder", &MakeCase::remainder));

TEST(MakeEduTest, RecordAndSizeErrors) {
    const auto parts = Parts(1024, 4, 0, 0);
    int16_t error = -1;
    EXPECT_EQ(lumvar::MakeEDU(nullptr, 12, &error), 0);
    EXPECT_EQ(error, 2);
    EXPECT_EQ(lumvar::MakeEDU(parts.data(), 11, &error), 0);
    EXPECT_EQ(error, 13);
    EXPECT_EQ(lumvar::MakeEDU(parts.data(), 12, nullptr), 1024);
}

TEST(SplitMakeTest, EveryDurationOfANoteValueBuildsBackToItself) {
    for (int32_t edu = 32; edu <= 16383; edu += 7) {
        std::array<uint8_t, 12> parts{};
        ASSERT_EQ(lumvar::SplitEDU(edu, parts.data(), 12), 0);
        int16_t error = -1;
        ASSERT_EQ(lumvar::MakeEDU(parts.data(), 12, &error), edu) << "at " << edu;
    }
}

}  // namespace
