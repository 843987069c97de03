// The region walker: page by page, staff by staff, with the flags of systems, pages, layers and
// the region, inside the host's progress display, which the user may stop.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "expressions/wordext_regionenum.h"
#include "platform/host/progress.h"
#include "tests/core/score_host_fixture.h"

namespace {

// One measure a system (2000 of 2160), two systems a page (2 x 392 of 784).
constexpr const char* kTwoPages = R"(
staff "A"
staff "B"
measures 4 width 2000
page height 1072
layout
notes 1 1 c4/2 d4/2
notes 2 3 c4/1
notes 1 4 c4/4 d4/4 e4/2
)";

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

/// Writes down the cells (layer 1) and the entries it is shown.
class Recorder : public orvex::CRegionEnum {
public:
    std::vector<std::string> log;
    bool begin = true;

protected:
    void VisitEntry(hostapi::ConstEntryView entry, const orvex::EntryInfo& info) override {
        log.push_back("  entry at " + std::to_string(entry.position()) + " " + Hex(info.flags & 0xF));
    }
    void BeginLayer(uint32_t walkFlags) override {
        if (m_layer == 0) {
            log.push_back("staff " + std::to_string(m_staff) + " measure " + std::to_string(m_measure) + " " +
                          Hex(walkFlags));
        }
    }
    void EndLayer(uint32_t) override {}
    bool Begin() override { return begin; }
    int16_t End() override { return 7; }
};

class RegionWalkTest : public testsupport::ScoreHostTest {
protected:
    void SetUp() override {
        ScoreHostTest::SetUp();
        Open(kTwoPages);
        m_region = m_host->DocumentRegion();
        m_region.setStartEdu(1024);
        m_region.setEndEdu(1024);
    }
    hostapi::SelectionRecord m_region;
};

TEST_F(RegionWalkTest, WalksPageByPageWithTheFlags) {
    Recorder walker;
    EXPECT_EQ(walker.Run(m_region), 7);
    const std::vector<std::string> expected = {
        "staff 1 measure 1 1700",
        "  entry at 2048 6",  // the first at the start position, the layer's last
        "staff 1 measure 2 B00",  "staff 2 measure 1 1700", "staff 2 measure 2 B00",
        "staff 1 measure 3 700",  "staff 1 measure 4 2B00", "  entry at 0 1",
        "  entry at 1024 8",  // the last at the end position
        "staff 2 measure 3 700",  "  entry at 0 3",         "staff 2 measure 4 2B00",
    };
    EXPECT_EQ(walker.log, expected);
    EXPECT_FALSE(m_host->Progress().IsOpen());
}

TEST_F(RegionWalkTest, SystemsOfAPageNotLaidOutHaveNoPageFlags) {
    Open("staff \"A\"\nmeasures 2\nsystem 1 1\nsystem 2 2\npage\n");
    Recorder walker;
    walker.Run(m_host->DocumentRegion());
    EXPECT_EQ(walker.log, (std::vector<std::string>{"staff 1 measure 1 1300", "staff 1 measure 2 2300"}));
}

TEST_F(RegionWalkTest, ARegionFromTheLastSystemOfAPageRunsOnToThePagesAfterIt) {
    Open("staff \"A\"\nstaff \"B\"\nmeasures 6 width 2000\npage height 1072\nlayout\n");
    hostapi::SelectionRecord region = m_host->DocumentRegion();
    region.setFirstMeasure(2);
    region.setLastMeasure(5);
    Recorder walker;
    walker.Run(region);
    EXPECT_EQ(walker.log,
              (std::vector<std::string>{"staff 1 measure 2 1B00", "staff 2 measure 2 1B00", "staff 1 measure 3 700",
                                        "staff 1 measure 4 B00", "staff 2 measure 3 700", "staff 2 measure 4 B00",
                                        "staff 1 measure 5 2700", "staff 2 measure 5 2700"}));
}

TEST_F(RegionWalkTest, AStopEndsTheWalkAndEndStillAnswers) {
    m_host->Progress().StopNextAt(3);
    Recorder walker;
    EXPECT_EQ(walker.Run(m_region), 7);
    EXPECT_EQ(walker.log,
              (std::vector<std::string>{"staff 1 measure 1 1700", "  entry at 2048 6", "staff 1 measure 2 B00"}));
    EXPECT_FALSE(m_host->Progress().IsOpen());
}

TEST_F(RegionWalkTest, BeginFalseWalksNothing) {
    Recorder walker;
    walker.begin = false;
    EXPECT_EQ(walker.Run(m_region), 0);
    EXPECT_TRUE(walker.log.empty());
}

}  // namespace
