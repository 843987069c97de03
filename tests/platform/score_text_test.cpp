// Score texts and the score builder: the records a readable score becomes, and the mistakes a
// score text can hold, each named by its line.
#include <gtest/gtest.h>

#include "platform/host/record_layouts.h"
#include "platform/host/score_builder.h"
#include "platform/host/score_text.h"
#include "platform/host/score_text_writer.h"
#include "platform/host/text_words.h"
#include "platform/hostapi/bytes.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using host::Bytes;
using host::RecordKey;
using hostapi::MakeTag;

const char* const kTwoStaves = R"(# Two staves, two kinds of measures and a text.
font 0 "Maestro"

staff "Flöte" "Fl."
  staff "Oboe"   # no abbreviated name
measures 2 time 6/8 key -3m width 300
measures 1
text "Ende"
)";

class ScoreTextTest : public testsupport::DesktopTest {
protected:
    static int16_t Word(const host::Document& document, const RecordKey& key, size_t offset) {
        const Bytes* bytes = document.Records().Find(key);
        EXPECT_NE(bytes, nullptr) << key.Description();
        return bytes == nullptr ? -9999 : hostapi::ReadI16(bytes->data(), offset);
    }
    /// The characters of text block n, through its header.
    static std::string TextOfBlock(const host::Document& document, int16_t n) {
        const int16_t textKey = Word(document, RecordKey::Other(host::kTagTextBlock, n, 0), 0);
        const Bytes* text = document.Records().Find(RecordKey::Other(host::kTagTextBlockText, textKey, 0));
        return text == nullptr ? "(none)" : std::string(text->begin(), text->end());
    }
};

TEST_F(ScoreTextTest, StatementsBecomeRecords) {
    const auto document = host::ParseScoreText(kTwoStaves, "two");
    EXPECT_EQ(document->Name(), "two");
    EXPECT_EQ(document->Fonts(), (host::FontTable{{0, "Maestro"}}));

    const RecordKey flute = RecordKey::Other(host::kTagStaff, 1, 0);
    const RecordKey oboe = RecordKey::Other(host::kTagStaff, 2, 0);
    EXPECT_EQ(document->Records().Find(flute)->size(), host::StaffLayout::kSize);
    EXPECT_EQ(TextOfBlock(*document, Word(*document, flute, host::StaffLayout::kFullName)),
              std::string("Fl\xF6te\0", 6));
    EXPECT_EQ(TextOfBlock(*document, Word(*document, flute, host::StaffLayout::kAbbreviatedName)),
              std::string("Fl.\0", 4));
    EXPECT_EQ(TextOfBlock(*document, Word(*document, oboe, host::StaffLayout::kFullName)), std::string("Oboe\0", 5));
    EXPECT_EQ(Word(*document, oboe, host::StaffLayout::kAbbreviatedName), 0);
    EXPECT_EQ(TextOfBlock(*document, 4), std::string("Ende\0", 5));

    EXPECT_EQ(Word(*document, RecordKey::Other(host::kTagStaffListEntry, 0, 1), host::StaffListEntryLayout::kStaff), 2);
    EXPECT_EQ(Word(*document, RecordKey::Other(host::kTagStaffListEntry, 0, 1), host::StaffListEntryLayout::kPosition),
              host::kStaffDistance);

    struct MeasureCase {
        int16_t measure, width, key, beats, beatDuration;
    };
    for (const MeasureCase& m :
         {MeasureCase{1, 300, 0x1FD, 6, 512}, MeasureCase{2, 300, 0x1FD, 6, 512}, MeasureCase{3, 240, 0, 4, 1024}}) {
        SCOPED_TRACE(m.measure);
        const RecordKey key = RecordKey::Other(host::kTagMeasure, m.measure, 0);
        EXPECT_EQ(document->Records().Find(key)->size(), host::MeasureLayout::kSize);
        EXPECT_EQ(Word(*document, key, host::MeasureLayout::kWidth), m.width);
        EXPECT_EQ(Word(*document, key, host::MeasureLayout::kKey), m.key);
        EXPECT_EQ(Word(*document, key, host::MeasureLayout::kBeats), m.beats);
        EXPECT_EQ(Word(*document, key, host::MeasureLayout::kBeatDuration), m.beatDuration);
        EXPECT_EQ(Word(*document, key, host::MeasureLayout::kFlags), 0);
        EXPECT_EQ(Word(*document, key, host::MeasureLayout::kMoreFlags), 0);
    }
    EXPECT_EQ(document->Records().Find(RecordKey::Other(host::kTagMeasure, 4, 0)), nullptr);
    // 2 staves, 2 staff list entries, 3 measures, 4 text blocks of 2 records each.
    EXPECT_EQ(document->Records().Count(), 15u);
}

TEST_F(ScoreTextTest, TheExampleScoreHasFourNamedStaves) {
    const auto document = host::ReadScoreFile(std::string(ORVEX_SOURCE_DIR) + "/examples/quartet.score");
    EXPECT_EQ(document->Name(), "quartet");
    const std::vector<std::string> names = {"Violin I", "Violin II", "Viola", "Violoncello"};
    for (int16_t staff = 1; staff <= 4; ++staff) {
        const RecordKey key = RecordKey::Other(host::kTagStaff, staff, 0);
        EXPECT_EQ(TextOfBlock(*document, Word(*document, key, host::StaffLayout::kFullName)),
                  names[static_cast<size_t>(staff - 1)] + '\0');
    }
    EXPECT_EQ(document->Records().Find(RecordKey::Other(host::kTagStaff, 5, 0)), nullptr);
    EXPECT_NE(document->Records().Find(RecordKey::Other(host::kTagMeasure, 8, 0)), nullptr);
}

struct MistakeCase {
    const char* text;
    const char* message;
};

class ScoreMistakeTest : public ::testing::TestWithParam<MistakeCase> {};

TEST_P(ScoreMistakeTest, IsNamedByItsLine) {
    try {
        host::ParseScoreText(GetParam().text, "mistake");
        ADD_FAILURE() << "read without complaint: " << GetParam().text;
    } catch (const host::ScoreTextError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScoreMistakeTest,
    ::testing::Values(
        MistakeCase{
            "staff \"Oboe\" \"Ob.\" \"Oboe d'amore\" # three names",
            "line 1: staff: \"Oboe d'amore\" is one word too many (staff \"FULL NAME\" [\"ABBREVIATED NAME\"])"},
        MistakeCase{"staff Violin",
                    "line 1: staff: the full name is a text in double quotes, not Violin (staff \"FULL NAME\" "
                    "[\"ABBREVIATED NAME\"])"},
        MistakeCase{"\n\nstaff",
                    "line 3: staff: the full name is missing (staff \"FULL NAME\" [\"ABBREVIATED NAME\"])"},
        MistakeCase{"measures 0",
                    "line 1: measures: the number of measures 0 is not between 1 and 32767 (measures COUNT "
                    "[time BEATS/UNIT] [key KEY] [width EVPU])"},
        MistakeCase{"measures 2 time 3/5",
                    "line 1: measures: the beat unit 5 is not 1, 2, 4, 8, 16, 32 or 64 (measures COUNT "
                    "[time BEATS/UNIT] [key KEY] [width EVPU])"},
        MistakeCase{"measures 2 time 34",
                    "line 1: measures: a time signature is BEATS/UNIT, as 3/4, not 34 (measures COUNT "
                    "[time BEATS/UNIT] [key KEY] [width EVPU])"},
        MistakeCase{"measures 2 key 8",
                    "line 1: measures: the key 8 is not between -7 and 7 (measures COUNT [time BEATS/UNIT] "
                    "[key KEY] [width EVPU])"},
        MistakeCase{"measures 2 key",
                    "line 1: measures: key's value is missing (measures COUNT [time BEATS/UNIT] [key KEY] "
                    "[width EVPU])"},
        MistakeCase{"measures 2 tempo 80",
                    "line 1: measures: unknown option \"tempo\" (measures COUNT [time BEATS/UNIT] [key KEY] "
                    "[width EVPU])"},
        MistakeCase{"measures 32767\nmeasures 1",
                    "line 2: a document holds measures 1 to 32767; 1 more do not fit after measure 32767"},
        MistakeCase{"slur 1 2",
                    "line 1: unknown statement \"slur\" (font, staff, measures, text, clef, notes, page, "
                    "system, numberregion, barline, backwardrepeat, lock, layout, stafflist, group, shape, "
                    "beatchart, slurcontours, chord, suffix, pagetext, pagegraphic, expression, "
                    "measureexpression, noteexpression, lyric, syllable, entry, entryrecord, tuplet, articulation, "
                    "notearticulation, noteplayback, layersettings, midi, record, entrybytes, cellentries)"},
        MistakeCase{"text \"a\" \"b\"", "line 1: text: \"b\" is one word too many (text \"TEXT\")"},
        MistakeCase{"text \"a # b\" \"c\" # a comment's \"quote",
                    "line 1: text: \"c\" is one word too many (text \"TEXT\")"},
        MistakeCase{"font 0 \"Maestro", "line 1: a quoted text is not closed"},
        MistakeCase{"font x \"Maestro\"",
                    "line 1: font: the font number \"x\" is not a number (font NUMBER \"NAME\")"}),
    testsupport::NameBy(&MistakeCase::message));

TEST_F(ScoreTextTest, ADocumentIsWrittenBackAsTheScoreTextThatMakesIt) {
    auto document = host::ParseScoreText(kTwoStaves + std::string("notes 1 1 {3/8:2/8 c4/8 eb4/8 g4/8} r/4.\n"
                                                                  "notes 2 3 layer 2 ~c5[shown]/2 r/2h\n"),
                                         "two");
    // A change no readable statement says: the first entry's horizontal offset.
    host::CellEntries entries = document->EntriesOf({1, 1, 0});
    hostapi::EntryView(entries[0].data()).setHorizontalOffset(-8);
    document->SetEntries({1, 1, 0}, entries);
    const std::string text = host::WriteScoreText(*document);
    const std::vector<std::string> lines = host::SplitLines(text);
    ASSERT_EQ(lines.size(), 11u) << text;
    testsupport::ExpectLines(
        {"# two: the document as a score text; \"new\" reads it back as it is", "font 0 \"Maestro\"",
         "staff \"Flöte\" \"Fl.\"", "staff \"Oboe\"", "text \"Ende\"", "measures 2 time 6/8 key -3m width 300",
         "measures 1", "notes 1 1 {3/8:2/8 c4/8 eb4/8 g4/8} r/4.", "notes 2 3 layer 2 ~c5[shown]/2 r/2h",
         "# What the statements above do not make as the document holds it, byte for byte:"},
        std::vector<std::string>(lines.begin(), lines.begin() + 10));
    EXPECT_EQ(lines[10], "entrybytes 1 1:1 at 6 hex 2 F8FF");
    EXPECT_TRUE(host::ParseScoreText(text, "again")->SameContent(*document));
}

class ScoreTextRoundTripTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ScoreTextRoundTripTest, TheExampleReadsBackFromItsWrittenScoreText) {
    const auto document = host::ReadScoreFile(std::string(ORVEX_SOURCE_DIR) + "/examples/" + GetParam() + ".score");
    const std::string text = host::WriteScoreText(*document);
    EXPECT_TRUE(host::ParseScoreText(text, "again")->SameContent(*document)) << text;
    // Written twice, the text is the same.
    EXPECT_EQ(host::WriteScoreText(*host::ParseScoreText(text, document->Name())), text);
}

INSTANTIATE_TEST_SUITE_P(Examples, ScoreTextRoundTripTest,
                         ::testing::Values("beams", "cuesheet", "explosion", "export", "exprlayout", "hairpins",
                                           "keyboard", "lyrics", "newspacing", "notation", "parts", "pitches",
                                           "playback", "quartet", "rests", "stafflist", "systems", "walk"),
                         testsupport::NameByValue("example"));

TEST_F(ScoreTextTest, TheBuilderNumbersWhatItMakes) {
    host::ScoreBuilder builder("built");
    builder.Staff("Horn in F").Staff("", "Tpt.").Measures(4, {.beats = 2, .beatDuration = 2048});
    EXPECT_EQ(builder.LastStaff(), 2);
    EXPECT_EQ(builder.LastMeasure(), 4);
    EXPECT_EQ(builder.LastTextBlock(), 2);
    builder.TextBlock("Coda");
    EXPECT_EQ(builder.LastTextBlock(), 3);
    const auto document = builder.Build();
    const RecordKey trumpet = RecordKey::Other(host::kTagStaff, 2, 0);
    EXPECT_EQ(Word(*document, trumpet, host::StaffLayout::kFullName), 0);
    EXPECT_EQ(Word(*document, trumpet, host::StaffLayout::kAbbreviatedName), 2);
    EXPECT_EQ(Word(*document, RecordKey::Other(host::kTagMeasure, 4, 0), host::MeasureLayout::kBeatDuration), 2048);
    EXPECT_THROW(builder.Build(), std::logic_error);
    EXPECT_THROW(builder.Staff("late"), std::logic_error);
}

}  // namespace
