// "Vx &New Spacing..." end to end: the first pass squeezes an entry that runs past its measure
// and writes the complementary rhythm on the added staff; the second pass (the next invoke)
// undoes the first pass's changes.
#include <span>

#include "core/tool_context.h"
#include "core/tool_items.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/new_spacing.h"

namespace {

constexpr int32_t kNewSpacing = orvex::ToolCode(orvex::ToolItem::NewSpacing);

using Words = std::vector<int16_t>;

Words FirstWords(const std::vector<uint8_t>& record, size_t n) {
    Words words;
    for (size_t i = 0; i < n && 2 * i + 1 < record.size(); ++i) {
        words.push_back(hostapi::ReadI16(record.data(), 2 * i));
    }
    return words;
}

class NewSpacingTest : public testsupport::NotesTest {
protected:
    /// (position, actual duration) of every entry of a cell.
    std::vector<std::pair<int32_t, int32_t>> Times(int16_t staff, int16_t measure) {
        std::vector<std::pair<int32_t, int32_t>> times;
        for (const auto& bytes : Cell(staff, measure)) {
            times.emplace_back(View(bytes).position(), View(bytes).actualDuration());
        }
        return times;
    }
    /// The staves of the score's staff list ('SOIu' list 0), in order.
    std::vector<int16_t> ScoreStaves() {
        std::vector<int16_t> staves;
        for (int16_t i = 0;; ++i) {
            const host::Bytes* bytes =
                Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SOIu"), 0, i));
            if (bytes == nullptr) {
                return staves;
            }
            staves.push_back(hostapi::ReadI16(bytes->data(), 0));
        }
    }
};

// The last half note of the measure lasts a whole note: it and the time after it are squeezed
// into the half the measure has left, under a tuplet of 2 x 2048 in the time of 1 x 2048.
TEST_F(NewSpacingTest, SqueezesTheOverlongEntryAndRemovesItsTupletInTheSecondPass) {
    StartHost("staff \"Flute\"\nmeasures 2 time 4/4\nnotes 1 1 c5/2 d5/2\nnotes 1 2 e5/1\n");
    EditEntry(1, 1, 1, [](hostapi::EntryView entry) {
        entry.setDuration(4096);
        entry.setActualDuration(4096);
    });
    Select(1, 1, 1, 2);
    RunWithShift(kNewSpacing);
    const hostapi::EntryNumber squeezed = View(Cell(1, 1)[1]).number();
    EXPECT_EQ(Times(1, 1), (std::vector<std::pair<int32_t, int32_t>>{{0, 2048}, {2048, 2048}}));
    EXPECT_EQ(FirstWords(EntryRecord("E\x03TP", squeezed), 4), (Words{2, 2048, 1, 2048}));
    EXPECT_TRUE(View(Cell(1, 1)[1]).has(hostapi::kEntryTuplet));
    EXPECT_FALSE(View(Cell(1, 1)[0]).has(hostapi::kEntryTuplet));
    EXPECT_EQ(Times(1, 2), (std::vector<std::pair<int32_t, int32_t>>{{0, 4096}}));

    ASSERT_TRUE(FinishWaitingRun());  // the host spaces, then the second pass
    EXPECT_TRUE(EntryRecord("E\x03TP", squeezed).empty());
    EXPECT_FALSE(View(Cell(1, 1)[1]).has(hostapi::kEntryTuplet));
    EXPECT_EQ(View(Cell(1, 1)[1]).duration(), 4096);
    // The compressed times stay.
    EXPECT_EQ(Times(1, 1), (std::vector<std::pair<int32_t, int32_t>>{{0, 2048}, {2048, 2048}}));
    EXPECT_TRUE(Messages().back().starts_with("The New Spacing process has successfully terminated."));
}

// Positions 0, 512, 600 and 1024 of the two staves, at a minimum distance of 512 (600 is closer
// to the last taken position and passed over; 512 and 1024 lie exactly at it and are taken), give
// the added staff 512, 512 and 3072; it goes with the second pass.
TEST_F(NewSpacingTest, WritesTheComplementaryRhythmOnTheAddedStaff) {
    StartHost(
        "staff \"Flute\"\nstaff \"Oboe\"\nmeasures 1 time 4/4\nnotes 1 1 c5/8 c5/8 c5/2.\n"
        "notes 2 1 c5/8 c5/8 c5/2.\n");
    EditEntry(2, 1, 1, [](hostapi::EntryView entry) { entry.setPosition(600); });
    Select(1, 2, 1, 1);
    for (const auto& [kind, control, value] : {std::tuple{win::FormAction::Kind::Click, "SubMask1", ""},
                                               {win::FormAction::Kind::Set, "Row3", "512"},
                                               {win::FormAction::Kind::Click, "OKBtn", ""}}) {
        win::QueueFormAction("TDActOpt", win::FormAction{kind, control, value});
    }
    RunTool(kNewSpacing, {{"Row4", "1"}});
    const host::CellEntries& added = Cell(3, 1);
    ASSERT_EQ(added.size(), 3u);
    EXPECT_EQ(Times(3, 1), (std::vector<std::pair<int32_t, int32_t>>{{0, 512}, {512, 512}, {1024, 3072}}));
    for (const auto& bytes : added) {
        const auto entry = View(bytes);
        EXPECT_EQ(entry.duration(), entry.actualDuration());
        EXPECT_EQ(entry.flags(), hostapi::kEntryCreated | hostapi::kEntryNote);
        ASSERT_EQ(entry.noteCount(), 1);
        EXPECT_EQ(entry.note(0).harmonicLevel(), 0);
        EXPECT_EQ(entry.note(0).flags(), hostapi::kNoteCreated);
    }
    // The selected staves are left as they were.
    EXPECT_EQ(Times(1, 1), (std::vector<std::pair<int32_t, int32_t>>{{0, 512}, {512, 512}, {1024, 3072}}));

    ASSERT_TRUE(FinishWaitingRun());  // the second pass ends the run and takes the staff out
    EXPECT_TRUE(Messages().back().starts_with("The New Spacing process has successfully terminated."));
    EXPECT_EQ(ScoreStaves(), (std::vector<int16_t>{1, 2}));
    // Whole: its music and its staff record go too, so that nothing of it is saved.
    EXPECT_TRUE(Cell(3, 1).empty());
    EXPECT_EQ(Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SOIS"), 3, 0)), nullptr);
}

// With "Ignore tuplets for complementary rhythms?" a gap of 600 is no note value: the next gap
// takes it in, so that the staff has no hole.
TEST_F(NewSpacingTest, PlainValuesOnlyLetsTheNextGapTakeInAnOddOne) {
    StartHost("staff \"Flute\"\nmeasures 1 time 4/4\nnotes 1 1 c5/8 c5/8 c5/2.\n");
    EditEntry(1, 1, 1, [](hostapi::EntryView entry) { entry.setPosition(600); });
    Select(1, 1, 1, 1);
    RunTool(kNewSpacing, {{"Row4", "1"}});
    EXPECT_EQ(Times(2, 1), (std::vector<std::pair<int32_t, int32_t>>{{0, 1024}, {1024, 3072}}));

    ASSERT_TRUE(FinishWaitingRun());  // the second pass ends the run and takes the staff out
    EXPECT_TRUE(Messages().back().starts_with("The New Spacing process has successfully terminated."));
    EXPECT_EQ(ScoreStaves(), (std::vector<int16_t>{1}));
}

// "sing" on d4 is held over e4, a melisma: d4 counts as without lyrics for the host's spacing
// and gets its lyrics flag back in the second pass; "Ah" goes on with "sing" and keeps its flag.
TEST_F(NewSpacingTest, AMelismaEntryLosesItsLyricsFlagUntilTheSecondPass) {
    StartHost(
        "staff \"Voice\"\nmeasures 1 time 4/4\nnotes 1 1 c4/4 d4/4 e4/4 f4/4\nlyric verse 1 \"Ah sing\"\n"
        "syllable 1 1:1 verse 1 1\nsyllable 1 1:2 verse 1 2\n");
    Select(1, 1, 1, 1);
    RunWithShift(kNewSpacing);
    EXPECT_TRUE(View(Cell(1, 1)[0]).has(hostapi::kEntryLyrics));
    EXPECT_FALSE(View(Cell(1, 1)[1]).has(hostapi::kEntryLyrics));
    ASSERT_TRUE(FinishWaitingRun());
    EXPECT_TRUE(View(Cell(1, 1)[0]).has(hostapi::kEntryLyrics));
    EXPECT_TRUE(View(Cell(1, 1)[1]).has(hostapi::kEntryLyrics));
    EXPECT_FALSE(View(Cell(1, 1)[2]).has(hostapi::kEntryLyrics));
}

// A glissando attached to c4 gets a tie on c4 for the host's spacing, taken off again.
TEST_F(NewSpacingTest, AGlissandoEntryIsTiedUntilTheSecondPass) {
    StartHost("staff \"Violin\"\nmeasures 1 time 4/4\nnotes 1 1 c4/2 d4/2\nshape 25 1 1:1 1:2\n");
    EditEntry(1, 1, 0, [](hostapi::EntryView entry) { entry.setMoreFlags(0x0020); });
    Select(1, 1, 1, 1);
    RunWithShift(kNewSpacing);
    EXPECT_TRUE((View(Cell(1, 1)[0]).note(0).flags() & hostapi::kNoteTieStart) != 0);
    EXPECT_FALSE((View(Cell(1, 1)[1]).note(0).flags() & hostapi::kNoteTieStart) != 0);
    ASSERT_TRUE(FinishWaitingRun());
    EXPECT_FALSE((View(Cell(1, 1)[0]).note(0).flags() & hostapi::kNoteTieStart) != 0);
}

ORDINARY_MUSIC_CASES(NewSpacing, "tests/tools/ordinary.cases", "new spacing");

}  // namespace

namespace {

orvex::TNSPchanges ChangeOf(hostapi::EntryNumber entry, uint8_t tie) {
    orvex::TNSPchanges change;
    change.setEntry(entry);
    change.setTieMarker(tie);
    return change;
}

std::vector<size_t> Places(orvex::NewSpacingState& run, hostapi::EntryNumber entry) {
    const std::span<const size_t> places = run.ChangesOf(entry);
    return {places.begin(), places.end()};
}

// The second pass looks each entry's changes up: every change of the entry, in the order the
// first pass kept them, and none left over from an earlier run of the same size.
TEST(NewSpacingChangesTest, AnEntrysChangesAreFoundInTheirOrderAndForgottenWithTheRun) {
    orvex::NewSpacingState run;
    for (const auto& [entry, tie] : std::vector<std::pair<int32_t, uint8_t>>{{9, 0}, {4, 1}, {9, 1}, {2, 0}}) {
        run.AddChange(ChangeOf(entry, tie));
    }
    EXPECT_EQ(Places(run, 9), (std::vector<size_t>{0, 2}));
    EXPECT_EQ(Places(run, 4), (std::vector<size_t>{1}));
    EXPECT_TRUE(Places(run, 5).empty());
    run.AddChange(ChangeOf(5, 1));
    EXPECT_EQ(Places(run, 5), (std::vector<size_t>{4})) << "a change kept after a lookup is found";

    run.ClearChanges();
    EXPECT_TRUE(Places(run, 9).empty()) << "a cleared run keeps no change";
    for (const int32_t entry : {7, 8, 7, 6, 5}) {
        run.AddChange(ChangeOf(entry, 1));
    }
    EXPECT_TRUE(Places(run, 9).empty()) << "the earlier run's changes are gone";
    EXPECT_EQ(Places(run, 7), (std::vector<size_t>{0, 2}));
    EXPECT_EQ(Places(run, 5), (std::vector<size_t>{4}));
}

}  // namespace
