// The stored MIDI events of the playback command and the glides written into them, against the simulated host's
// records.
#include <gtest/gtest.h>

#include <memory>

#include "core/host/access_state.h"
#include "core/host/host_imports.h"
#include "core/module.h"
#include "core/startup.h"
#include "platform/host/host.h"
#include "platform/host/score_builder.h"
#include "tests/support/fixture.h"
#include "tools/notes/playback.h"
#include "tools/notes/playback_effects.h"

namespace {

using namespace orvex;

class PlaybackMidiTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
        TheAccessLayer.host.year = 2000;
        m_host = std::make_unique<host::Host>();
        host::ScoreBuilder builder("midi");
        builder.Staff("Violin", "Vln.").Measures(3);
        m_host->AddDocument(builder.Build());
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        ResetHostImports();
        DesktopTest::TearDown();
    }
    static void Store(hostapi::MeasureNumber measure, hostapi::Edu time, int16_t status, int16_t data1, int16_t data2) {
        ASSERT_TRUE(StoreMidiEvent(measure, 1, MidiEvent::Make(time, status, data1, data2)));
    }
    /// The cell's events as "time:status:data1:data2" words.
    static std::string Events(hostapi::MeasureNumber measure) {
        std::string text;
        for (const MidiEvent& e : LoadCellMidiEvents(measure, 1)) {
            text += std::to_string(e.time()) + ":" + std::to_string(e.status()) + ":" + std::to_string(e.data1()) +
                    ":" + std::to_string(e.data2()) + " ";
        }
        return text;
    }

    std::unique_ptr<host::Host> m_host;
};

TEST_F(PlaybackMidiTest, DeletingPitchWheelTakesBenderRangeButNotVolumeAndRereadsTheIncidence) {
    Store(1, 0, 224, 0, 64);
    Store(1, 3, 176, 101, 0);
    Store(1, 5, 176, 100, 0);
    Store(1, 7, 176, 6, 12);
    Store(1, 10, 176, 7, 80);
    Store(1, 600, 224, 0, 70);
    EXPECT_TRUE(DeleteMidiDataInRange(1, 1, 0, 500, 224, 0));
    EXPECT_EQ(Events(1), "10:176:7:80 600:224:0:70 ");
    EXPECT_FALSE(DeleteMidiDataInRange(1, 1, 0, 500, 224, 0));
    EXPECT_TRUE(DeleteMidiDataInRange(1, 1, 0, 4000, 176, 7));
    EXPECT_EQ(Events(1), "600:224:0:70 ");
}

TEST_F(PlaybackMidiTest, SortingOrdersByTimeAndDropsARepeatedEventOfTheSameKind) {
    Store(2, 900, 224, 1, 70);
    Store(2, 100, 224, 5, 66);
    Store(2, 100, 224, 9, 99);  // same time and status as the one before: dropped
    Store(2, 100, 176, 7, 50);  // another status at that time stays
    Store(2, 0, 176, 7, 40);
    Store(2, 0, 176, 6, 12);  // another controller stays
    SortCellMidiEvents(2, 1);
    EXPECT_EQ(Events(2), "0:176:7:40 0:176:6:12 100:224:5:66 100:176:7:50 900:224:1:70 ");
}

TEST_F(PlaybackMidiTest, LastValueLooksBackThroughEarlierMeasuresElseTheDefault) {
    EXPECT_EQ(LastMidiValueBefore(1, 3, 2000, 176, 7, 64), 64);
    Store(1, 3000, 176, 7, 90);
    Store(1, 3500, 176, 7, 95);
    Store(1, 3600, 224, 0, 70);
    Store(3, 1000, 176, 7, 20);
    EXPECT_EQ(LastMidiValueBefore(1, 3, 999, 176, 7, 64), 95) << "every time of an earlier measure counts";
    EXPECT_EQ(LastMidiValueBefore(1, 3, 1000, 176, 7, 64), 20);
    EXPECT_EQ(LastMidiValueBefore(1, 3, 1000, 224, 0, 64), 70) << "first data 0 matches any";
}

TEST_F(PlaybackMidiTest, GlideClampsTheBendAndGoesOnInTheNextMeasureFromZero) {
    // 14 semitones with a range of 12 would overshoot the wheel: the bend stops at 8191.
    const GlideSpan glide{1, 1, 3072, 2, 1024, 2048, 14};
    ASSERT_TRUE(WriteGlideEvents(glide, GlideOptions{0, 12, true, 1}));
    EXPECT_EQ(Events(1), "3072:224:0:64 3075:176:101:0 3077:176:100:0 3079:176:6:12 ");
    EXPECT_EQ(Events(2), "0:224:127:95 1024:224:0:64 ");
    EXPECT_FALSE(WriteGlideEvents(GlideSpan{1, 3, 0, 3, 500, 500, 2}, GlideOptions{0, 12, true, 1}));
    EXPECT_EQ(Events(3), "");
}

TEST_F(PlaybackMidiTest, TrillStepKeepsTheParityThatEndsOnTheMainNote) {
    EXPECT_EQ(TrillStep(1024, 102, 12, true), 85);
    EXPECT_EQ(TrillStep(1024, 102, 12, false), 83);
    EXPECT_EQ(TrillStep(0, 0, 1000, false), 1) << "the step never drops to 0";
}

}  // namespace
