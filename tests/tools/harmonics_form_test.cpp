// Harmonics: which intervals count as harmonics, and what Go of the form writes into the
// document through the simulated host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/commands.h"
#include "tests/support/orvex_host.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/harmonics.h"
#include "tools/notes/harmonics_form.h"

namespace {

using namespace orvex;
using host::RecordKey;

struct IntervalCase {
    const char* name;
    int32_t d;                 ///< interval number, 4 = fourth
    int32_t s;                 ///< semitones
    std::vector<bool> workOn;  ///< the answer for work-on 0 to 5 (4 with the interval 4)
};

class HarmonicIntervalTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(HarmonicIntervalTest, TheChecksAccumulateDownwards) {
    const IntervalCase& c = GetParam();
    for (int32_t workOn = 0; workOn < 6; ++workOn) {
        EXPECT_EQ(IsHarmonic(workOn, 4, c.d, c.s), c.workOn[static_cast<size_t>(workOn)]) << "work on " << workOn;
    }
}

INSTANTIATE_TEST_SUITE_P(Intervals, HarmonicIntervalTest,
                         ::testing::Values(IntervalCase{"Fourth", 4, 5, {true, true, true, true, true, true}},
                                           IntervalCase{"MajorThird", 3, 4, {true, true, false, false, false, true}},
                                           IntervalCase{"Octave", 8, 12, {true, false, false, false, false, true}},
                                           IntervalCase{
                                               "AugmentedFourth", 4, 6, {false, false, false, false, false, true}},
                                           IntervalCase{"Sixth", 6, 9, {true, true, true, false, false, true}}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

constexpr const char* kScore = "staff \"Violin\"\nmeasures 1\nnotes 1 1 a4+d5/2 c5+g5/4 e4+f4/4\n";

class HarmonicsFormTest : public testsupport::OrvexHostTest {
protected:
    void Go(bool addSound) {
        StartHost(kScore);
        Select(1, 1, 1, 1);
        Invoke(static_cast<int16_t>(FindCommandIndex(CODE_HARMONICS)));
        ASSERT_NE(HarmonicsForm(), nullptr);
        HarmonicsForm()->AddSound->SetChecked(addSound);
        HarmonicsForm()->Parenthesize->SetChecked(false);
        HarmonicsForm()->HarmonicsGoClick(nullptr);
    }
    const host::EntryBytes& Entry(size_t index) { return Document().EntriesOf(host::CellKey{1, 1, 0}).at(index); }
    hostapi::EntryNumber Number(size_t index) { return hostapi::ReadI32(Entry(index).data(), 0); }
    int16_t Word(hostapi::Tag tag, hostapi::EntryNumber entry, int16_t inci, size_t word) {
        const host::Bytes* bytes = Document().Records().Find(RecordKey::EntryDetail(tag, entry, inci));
        EXPECT_NE(bytes, nullptr) << "entry " << entry << ", inci " << inci;
        return bytes == nullptr ? int16_t{-9999} : hostapi::ReadI16(bytes->data(), 2 * word);
    }
};

TEST_F(HarmonicsFormTest, FourthsAndFifthsGetADiamondAndSoundTheirHarmonic) {
    Go(false);
    const hostapi::Tag notehead = hostapi::MakeTag("edCN");
    const hostapi::Tag playback = hostapi::MakeTag("edac");
    // The fourth a4+d5 (a half: the white diamond 79) sounds two octaves up.
    EXPECT_EQ(Word(notehead, Number(0), 0, 0), 2) << "the upper note";
    EXPECT_EQ(Word(notehead, Number(0), 0, 1), 100);
    EXPECT_EQ(static_cast<uint16_t>(Word(notehead, Number(0), 0, 4)), 0xFF00 + 79);
    EXPECT_EQ(Word(playback, Number(0), 0, 3), 24);
    EXPECT_EQ(Word(playback, Number(0), 1, 3), -127);
    EXPECT_EQ(Word(playback, Number(0), 1, 4), -127);
    // The fifth c5+g5 sounds 19 semitones up.
    EXPECT_EQ(Word(playback, Number(1), 0, 3), 19);
    for (size_t e = 0; e < 2; ++e) {
        EXPECT_EQ(hostapi::ReadU32(Entry(e).data(), 8) & 0x00420000u, 0x00420000u) << "entry " << e;
    }
    // A minor second is no harmonic of any kind but "all intervals".
    EXPECT_EQ(Document().Records().Find(RecordKey::EntryDetail(notehead, Number(2), 0)), nullptr);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(HarmonicsFormTest, TheSoundingPitchCanBeAddedAsASmallNote) {
    Go(true);
    ASSERT_EQ(hostapi::ReadI16(Entry(0).data(), 14), 3);
    // a4 + 14 steps is a6, two octaves up: no accidental needed.
    const hostapi::ConstNoteView added(Entry(0).data() + 16 + 2 * 10);
    EXPECT_EQ(added.harmonicLevel(), 5 + 14);
    EXPECT_EQ(added.alteration(), 0);
    EXPECT_EQ(added.flags() & hostapi::kNoteAccidentalShown, 0u);
    const hostapi::Tag notehead = hostapi::MakeTag("edCN");
    EXPECT_EQ(Word(notehead, Number(0), 1, 0), added.noteId());
    EXPECT_EQ(Word(notehead, Number(0), 1, 1), 60);
    // The lower note no longer sounds the harmonic: the added note does.
    EXPECT_EQ(Word(hostapi::MakeTag("edac"), Number(0), 0, 3), -127);
}

TEST_F(HarmonicsFormTest, NothingFoundIsReported) {
    StartHost("staff \"Violin\"\nmeasures 1\nnotes 1 1 e4+f4/1\n");
    Select(1, 1, 1, 1);
    Invoke(static_cast<int16_t>(FindCommandIndex(CODE_HARMONICS)));
    ASSERT_NE(HarmonicsForm(), nullptr);
    HarmonicsForm()->HarmonicsGoClick(nullptr);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"This plug-in makes string harmonics. However, no two-note chords "
                                                    "with the interval you selected have been found."}));
}

ORDINARY_MUSIC_CASES(Harmonics, "tests/tools/ordinary.cases", "harmonics");

}  // namespace
