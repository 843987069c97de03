// The benchmark's generator of large scores: the same text for the same seed, a score the host
// reads, and in it every kind of music the commands work on.
#include <gtest/gtest.h>

#include <set>

#include "bench/bench_commands.h"
#include "bench/score_generator.h"
#include "platform/host/score_text.h"
#include "platform/host/score_text_writer.h"
#include "platform/host/text_words.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/music_records.h"

namespace {

using hostapi::MakeTag;

TEST(ScoreGeneratorTest, TheSameSeedGivesTheSameScore) {
    const bench::ScoreSize size{5, 12};
    EXPECT_EQ(bench::GenerateScoreText(size, 17), bench::GenerateScoreText(size, 17));
    EXPECT_NE(bench::GenerateScoreText(size, 17), bench::GenerateScoreText(size, 18));
}

TEST(ScoreGeneratorTest, AGeneratedScoreReadsBackFromItsWrittenScoreText) {
    const auto document = host::ParseScoreText(bench::GenerateScoreText({8, 16}, 23), "generated");
    const std::string text = host::WriteScoreText(*document);
    EXPECT_TRUE(host::ParseScoreText(text, "again")->SameContent(*document));
    // The music is written as notes: most cells need no exact entry.
    const auto count = [&](std::string_view start) {
        size_t lines = 0;
        for (const std::string& line : host::SplitLines(text)) {
            lines += line.starts_with(start) ? 1 : 0;
        }
        return lines;
    };
    EXPECT_GT(count("notes "), 4 * count("entrybytes ")) << text;
}

TEST(ScoreGeneratorTest, TheScoreHoldsEveryKindOfMusicTheCommandsWorkOn) {
    const bench::ScoreSize size{24, 40};
    const auto document = host::ParseScoreText(bench::GenerateScoreText(size, 17), "generated");
    const host::RecordStore& records = document->Records();
    EXPECT_TRUE(records.Find(host::RecordKey::Other(MakeTag("SOIS"), 24, 0)));
    EXPECT_FALSE(records.Find(host::RecordKey::Other(MakeTag("SOIS"), 25, 0)));
    EXPECT_TRUE(records.Find(host::RecordKey::Other(MakeTag("SOMS"), 40, 0)));
    EXPECT_FALSE(records.Find(host::RecordKey::Other(MakeTag("SOMS"), 41, 0)));

    std::set<hostapi::Tag> tags;
    for (const auto& [key, bytes] : records.Records()) {
        tags.insert(key.tag);
    }
    // Clefs and changes within a measure, measure and note expressions, lyrics, smart shapes
    // (slurs and hairpins) with their links, chord symbols, groups, beat charts, systems, pages.
    for (const hostapi::Tag tag :
         {MakeTag("SDGF"), MakeTag("otCE"), MakeTag("SODT"), MakeTag("otDY"), MakeTag("edED"), MakeTag("txve"),
          MakeTag("edve"), MakeTag("O\x07Sx"), MakeTag("otMx"), MakeTag("edEx"),
          MakeTag("E\x02"
                  "Ch"),
          MakeTag("SDNG"), MakeTag("otBC"), MakeTag("SOMN"), MakeTag("SOSS"), MakeTag("SOPS")}) {
        EXPECT_TRUE(tags.contains(tag)) << "no '" << host::TagText(tag) << "' record";
    }
    std::set<int16_t> shapeKinds;
    for (auto key = records.Next(host::RecordKey::Other(MakeTag("O\x07Sx"), 0, 0)); key; key = records.Next(*key)) {
        shapeKinds.insert(static_cast<int16_t>(records.Find(*key)->at(0) | records.Find(*key)->at(1) << 8));
    }
    EXPECT_EQ(shapeKinds, (std::set<int16_t>{0, 1, 2, 3, 15})) << "slurs below, above, automatic; hairpins";

    int rests = 0, chords = 0, graces = 0, ties = 0, secondLayers = 0, empty = 0;
    for (int16_t staff = 1; staff <= size.staves; ++staff) {
        for (int16_t measure = 1; measure <= size.measures; ++measure) {
            empty += document->EntriesOf({staff, measure, 0}).empty() ? 1 : 0;
            secondLayers += document->EntriesOf({staff, measure, 1}).empty() ? 0 : 1;
        }
    }
    for (const auto& [cell, entries] : document->Cells()) {
        for (const host::EntryBytes& bytes : entries) {
            const hostapi::ConstEntryView entry(bytes.data());
            rests += entry.isNote() ? 0 : 1;
            chords += entry.notesHeld() > 1 ? 1 : 0;
            graces += (entry.flags() & hostapi::kEntryGrace) != 0 ? 1 : 0;
            ties += entry.notesHeld() > 0 && (entry.note(0).flags() & hostapi::kNoteTieStart) != 0 ? 1 : 0;
        }
    }
    EXPECT_GT(rests, 0);
    EXPECT_GT(chords, 0);
    EXPECT_GT(graces, 0);
    EXPECT_GT(ties, 0);
    EXPECT_GT(secondLayers, 0);
    EXPECT_GT(empty, 0) << "some cells hold no entries";
}

TEST(ScoreGeneratorTest, TheBenchmarkRunsEveryMenuCommandOnce) {
    const auto& commands = bench::BenchCommands();
    EXPECT_EQ(commands.size(), 72u);
    std::set<std::string_view> menus;
    for (const bench::BenchCommand& command : commands) {
        menus.insert(command.menu);
    }
    EXPECT_EQ(menus.size(), commands.size());
}

}  // namespace
