// The translation table and the word services.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/host/access_state.h"
#include "core/startup.h"
#include "forms/action_control_table.h"
#include "platform/win/messages.h"
#include "platform/win/windows.h"
#include "service/preferences.h"
#include "service/translations.h"
#include "tests/service/lumvar_fixture.h"
#include "tests/support/case_names.h"

namespace {

using lumvar::COUNT_SHORT_BOTH;

class TranslationsTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        lumvar::ResetModuleState();
    }
    void TearDown() override {
        ExpectNothingLeft();
        lumvar::ResetModuleState();
        DesktopTest::TearDown();
    }
};

TEST(TranslationTableTest, HasItsRowsInOrder) {
    EXPECT_EQ(lumvar::kTranslationTable.size(), 108u);
    const char* languages[] = {"English [American]",
                               "English [International]",
                               "Deutsch",
                               "Italiano",
                               "Français",
                               "Español",
                               "Português",
                               "Svenska",
                               "Suomi",
                               "Nederlands",
                               "Vlaams",
                               "Dansk",
                               "Norsk"};
    for (size_t i = 0; i < 13; ++i) {
        EXPECT_STREQ(lumvar::kTranslationTable[0].texts[i], languages[i]);
    }
    // Every note value: three rows, then a separator.
    for (int16_t value = 0; value < 9; ++value) {
        const auto it = std::find_if(lumvar::kTranslationTable.begin(), lumvar::kTranslationTable.end(),
                                     [&](const auto& row) { return row.id == 101 + value; });
        ASSERT_NE(it, lumvar::kTranslationTable.end());
        EXPECT_EQ(it[1].id, 101 + value);
        EXPECT_EQ(it[2].id, 101 + value);
        EXPECT_EQ(it[3].id, -1);
    }
    // Every row has its English text, except the abbreviations of 102 and 103 and separators.
    for (const auto& row : lumvar::kTranslationTable) {
        if (row.id != -1 && row.texts[0] == nullptr) {
            EXPECT_TRUE(row.id == 102 || row.id == 103) << "row of " << row.id;
        }
    }
}

struct IdCase {
    int16_t id;
    int16_t count;
    int16_t language;
    int16_t alternative;
    const char* text;
};

class TranslateIdTest : public TranslationsTest, public ::testing::WithParamInterface<IdCase> {};

TEST_P(TranslateIdTest, FormsByCount) {
    const IdCase& c = GetParam();
    int16_t err = -1;
    EXPECT_STREQ(lumvar::TranslateID(c.id, c.count, c.language, &err, c.alternative, win::kNoWindow, 0), c.text);
    EXPECT_EQ(err, 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, TranslateIdTest, ::testing::Values(
    // "singular / plural"
    IdCase{304, 1, 0, 0, "staff"}, IdCase{304, 2, 0, 0, "staves"}, IdCase{304, 0, 0, 0, "staff/staves"},
    IdCase{304, -1, 0, 0, "staff"}, IdCase{304, COUNT_SHORT_BOTH, 0, 0, "staff/ves"},
    IdCase{310, COUNT_SHORT_BOTH, 2, 0, "Halbton/öne"},
    IdCase{318, COUNT_SHORT_BOTH, 2, 0, "Bogen/Bögen"},  // fewer than 3 in common: both whole
    // a suffix in parentheses
    IdCase{314, 2, 0, 0, "rests"}, IdCase{314, 1, 0, 0, "rest"}, IdCase{314, 0, 0, 0, "rest(s)"},
    IdCase{314, COUNT_SHORT_BOTH, 0, 0, "rest(s)"}, IdCase{301, 2, 2, 0, "Triolen"}, IdCase{301, 1, 2, 0, "Triole"},
    IdCase{325, 2, 4, 0, "doubles-dièses"}, IdCase{325, 1, 4, 0, "double-dièse"},
    IdCase{311, 3, 4, 0, "notes d'agrément"},
    // a final star
    IdCase{315, 2, 2, 0, "Vorzeichen"}, IdCase{315, 0, 2, 0, "Vorzeichen"}, IdCase{204, 5, 0, 0, "cm"},
    // plain texts
    IdCase{1, 1, 0, 0, "OK"}, IdCase{1, 0, 0, 0, "OK(s)"}, IdCase{303, 3, 0, 0, "measures"},
    IdCase{104, 2, 0, 0, "qrts"}, IdCase{104, 0, 0, 0, "qrt(s)"}, IdCase{104, 1, 0, 0, "qrt."},
    // trailing blanks are removed
    IdCase{250, 1, 0, 0, "upper staff"},
    // alternatives, and a cell that falls back to the row below
    IdCase{104, 1, 0, 1, "quarter"}, IdCase{104, 1, 0, 2, "quarter note"}, IdCase{103, 1, 0, 0, "half"},
    IdCase{103, 0, 0, 0, "half/halves"}, IdCase{102, 1, 0, 0, "whole"},
    // long forms fall back upward to the short form
    IdCase{104, 1, 4, 2, "noire"},
    // Vlaams: its own text, else Nederlands, else English; other languages: English
    IdCase{303, 2, 10, 0, "maten"}, IdCase{2, 1, 10, 0, "Annuleren"}, IdCase{201, 1, 10, 0, "EVPU"},
    IdCase{254, 1, 8, 0, "of"},
    // the widest language (without a window: the most characters, the first of equal length)
    IdCase{2, 1, 20000, 0, "Abbrechen"}),
    testsupport::NameBy("id", &IdCase::id, "count", &IdCase::count, "language", &IdCase::language, "alternative", &IdCase::alternative));
// clang-format on

TEST(TextForCountTest, TheFormsOfAnyText) {
    const std::vector<std::tuple<const char*, int16_t, const char*>> cases = {
        {"a*b", 2, "a"},
        {"ab / cd", -1, "ab"},
        {"ab / cd", 3, "cd"},
        {"abcd / abcxy", COUNT_SHORT_BOTH, "abcd/xy"},
        {"abx / aby", COUNT_SHORT_BOTH, "abx/aby"},
        {"note(s) and chord(s)", 2, "notes and chords"},
        {"note(s) and chord(s)", -1, "note and chord"},
        {"note(s) and chord(s)", 0, "note(s) and chord(s)"},
        {"x() y(z)", 2, "x() yz"},
        {"(s)x", 2, "(s)xs"},
        {"1(s)", 0, "1(s)(s)"},
        {"stop.", 2, "stops"},
        {"stop.", COUNT_SHORT_BOTH, "stop(s)"},
        {"stop.", 1, "stop."},
        {"a(b)(c)", 5, "ab(c)"}};
    for (const auto& [text, count, form] : cases) {
        EXPECT_EQ(lumvar::TextForCount(text, count), form) << text << " for " << count;
    }
}

TEST_F(TranslationsTest, TheUsersLanguage) {
    lumvar::SetLanguagePreference(3);
    EXPECT_STREQ(lumvar::TranslateID(2, 1, 10000, nullptr, 0, win::kNoWindow, 0), "Annulla");
}

TEST_F(TranslationsTest, ByRow) {
    int16_t err = -1;
    EXPECT_STREQ(lumvar::TranslateID(0, 1, 4, &err, 0, win::kNoWindow, 1), "Français");
    EXPECT_EQ(err, 0);
    EXPECT_STREQ(lumvar::TranslateID(3, 1, 2, &err, 0, win::kNoWindow, 1), "Übernehmen");  // row 3 is "Apply"
    EXPECT_STREQ(lumvar::TranslateID(108, 1, 0, &err, 0, win::kNoWindow, 1), "");
    EXPECT_EQ(err, 17);
    EXPECT_STREQ(lumvar::TranslateID(-1, 1, 0, &err, 0, win::kNoWindow, 1), "");
    EXPECT_EQ(err, 17);
}

TEST_F(TranslationsTest, IdErrors) {
    int16_t err = -1;
    EXPECT_STREQ(lumvar::TranslateID(1, 1, 13, &err, 0, win::kNoWindow, 0), "");
    EXPECT_EQ(err, 3);
    EXPECT_STREQ(lumvar::TranslateID(1, 1, -1, &err, 0, win::kNoWindow, 0), "");
    EXPECT_EQ(err, 3);
    EXPECT_STREQ(lumvar::TranslateID(999, 1, 0, &err, 0, win::kNoWindow, 0), "");
    EXPECT_EQ(err, 17);
    EXPECT_STREQ(lumvar::TranslateID(104, 1, 0, &err, 3, win::kNoWindow, 0), "");
    EXPECT_EQ(err, 17);
    EXPECT_STREQ(lumvar::TranslateID(-1, 1, 0, &err, 0, win::kNoWindow, 0), "");  // separators are no identifier
    EXPECT_EQ(err, 17);
    // A separator row has no text in any language.
    EXPECT_STREQ(lumvar::TranslateID(68, 1, 0, &err, 0, win::kNoWindow, 1), "");
    EXPECT_EQ(err, 19);
    EXPECT_STREQ(lumvar::TranslateID(1, 1, 0, nullptr, 0, win::kNoWindow, 0), "OK");
}

// ---- Words ----

struct WordCase {
    const char* word;
    int16_t count;
    int16_t language;
    int16_t source;
    const char* text;
    int16_t err;
};

class TranslateWordTest : public TranslationsTest, public ::testing::WithParamInterface<WordCase> {};

TEST_P(TranslateWordTest, FindsTheRowOfTheWord) {
    const WordCase& c = GetParam();
    int16_t err = -1;
    EXPECT_STREQ(lumvar::TranslateWord(c.word, c.count, c.language, c.source, &err, win::kNoWindow), c.text);
    EXPECT_EQ(err, c.err);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Words, TranslateWordTest, ::testing::Values(
    WordCase{"Staff", 0x7FFF, 2, 0, "Notenzeile", 0},
    WordCase{"staves", 0x7FFF, 2, 0, "Notenzeilen", 0},       // the table's spelling in another language
    WordCase{"all", 0x7FFF, 0, 0, "all", 0},
    WordCase{"Natural", 0x7FFF, 7, 0, "Återställningstecken", 0},  // a capital Å
    WordCase{"upper staff", 0x7FFF, 7, 0, "övre system", 0},
    WordCase{"Upper staff", 0x7FFF, 7, 0, "Övre system", 0},
    WordCase{"Återställningstecken", 0x7FFF, 0, 7, "Naturals", 0},   // the star matches the first count, 3
    WordCase{"åTERSTÄLLNINGSTECKEN", 0x7FFF, 0, 7, "naturals", 0},
    WordCase{"NATURAL", 0x7FFF, 7, 0, "ÅTERSTÄLLNINGSTECKEN", 0},    // all capitals stay capitals
    WordCase{"TO", 0x7FFF, 0, 0, "TO", 0}, WordCase{"STAFF", 0x7FFF, 2, 0, "NOTENZEILE", 0},
    WordCase{"NOTENzEILE", 0x7FFF, 0, 2, "Staff", 0},                 // a small z: not all capitals
    WordCase{"Rests", 0x7FFF, 4, 0, "Silences", 0},
    WordCase{"rest", 1, 3, 0, "pausa", 0},
    WordCase{"rest", 2, 3, 0, "pausa", 0},       // not found with 2: the counts 3, 2, 1, 0 are tried
    WordCase{"Vorzeichen", 0x7FFF, 0, 2, "Accidentals", 0},
    WordCase{"grace note", 0x7FFF, 2, 0, "Vorschlag", 0},
    WordCase{"measure", 1, 1, 0, "bar", 0},
    WordCase{"xyz", 0x7FFF, 2, 0, "xyz", 19},
    WordCase{"Staff", 0x7FFF, 13, 0, "", 3},
    WordCase{"Staff", 0x7FFF, 2, 20000, "", 3}),
    testsupport::NameBy(&WordCase::word, "count", &WordCase::count, "language", &WordCase::language, "from", &WordCase::source));
// clang-format on

TEST_F(TranslationsTest, WordNeedsAWord) {
    int16_t err = -1;
    EXPECT_STREQ(lumvar::TranslateWord(nullptr, 1, 0, 0, &err, win::kNoWindow), "");
    EXPECT_EQ(err, 2);
}

// ---- Texts ----

struct StringCase {
    const char* text;
    int16_t language;
    int16_t onlyInternational;
    const char* translated;
};

class TranslateStringTest : public TranslationsTest, public ::testing::WithParamInterface<StringCase> {};

TEST_P(TranslateStringTest, TranslatesWordByWord) {
    const StringCase& c = GetParam();
    int16_t err = -1;
    EXPECT_STREQ(lumvar::TranslateString(c.text, c.language, 0, c.onlyInternational, &err, win::kNoWindow),
                 c.translated);
    EXPECT_EQ(err, 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, TranslateStringTest, ::testing::Values(
    StringCase{"Delete all rests", 2, 0, "Löschen Alle Pausen"},
    StringCase{"3 Grace note, 2 slurs!", 2, 0, "3 Vorschlag, 2 Bögen!"},
    StringCase{"Next page...", 4, 0, "Suivant page..."},
    StringCase{"measure 12", 1, 1, "bar 12"},
    StringCase{"measure 12", 2, 1, "measure 12"},  // only for English [International]
    StringCase{"", 2, 0, ""}, StringCase{"Rests\x7F", 2, 0, "Rests\x7F"}, StringCase{"Rests@", 2, 0, "Pausen@"}),
    testsupport::NameBy(&StringCase::text, "language", &StringCase::language, "international", &StringCase::onlyInternational));
// clang-format on

// ---- Captions of the options dialog ----

// A caption put through the translation into the user's language (English) reads as written:
// the words the table knows keep the case of their first letter.
struct CaptionCase {
    const char* name;
    const char* caption;
};

class EnglishCaptionTest : public TranslationsTest, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(EnglishCaptionTest, ReadsAsWritten) {
    int16_t err = -1;
    EXPECT_STREQ(lumvar::TranslateString(GetParam().caption, lumvar::LANGUAGE_PREFERRED, 0, 0, &err, win::kNoWindow),
                 GetParam().caption);
    EXPECT_EQ(err, 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Captions, EnglishCaptionTest, ::testing::Values(
    CaptionCase{"RemoveLeftPercentage", "Left percentage (100=all)"},
    CaptionCase{"HairpinsPlayBack", "Make hairpins play back as volume changes?"},
    CaptionCase{"AddRemoveSpace", "Space to add as free space (negative=remove)"},
    CaptionCase{"CopyOptimizationFrom", "Copy system optimization FROM system no."},
    CaptionCase{"CopyOptimizationTo", "TO system range: first"}),
    [](const ::testing::TestParamInfo<CaptionCase>& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(TranslationsTest, EveryEnglishOptionCaptionReadsAsWritten) {
    orvex::TheAccessLayer.host.language = 0;
    int32_t captions = 0;
    for (int32_t item = 0; item < orvex::kToolItemCount; ++item) {
        for (int32_t row = 0; row < orvex::ActionRowCount(item); ++row) {
            const char* caption = orvex::ActionRowCaption(item, row);
            if (caption == nullptr) {
                continue;
            }
            ++captions;
            EXPECT_STREQ(lumvar::TranslateString(caption, lumvar::LANGUAGE_PREFERRED, 0, 0, nullptr, win::kNoWindow),
                         caption)
                << "item " << item << " row " << row;
        }
    }
    EXPECT_GT(captions, 400);
}

TEST_F(TranslationsTest, AResultHoldsAtMost999Characters) {
    // The result buffer has 1000 bytes with the terminating zero.
    const std::string text(1000, 'x');
    EXPECT_EQ(lumvar::TranslateString(text.c_str(), 2, 0, 1, nullptr, win::kNoWindow), std::string(999, 'x'));
    EXPECT_EQ(lumvar::TranslateString(text.c_str() + 1, 2, 0, 1, nullptr, win::kNoWindow), std::string(999, 'x'));
}

TEST_F(TranslationsTest, StringErrors) {
    int16_t err = -1;
    EXPECT_STREQ(lumvar::TranslateString(nullptr, 2, 0, 0, &err, win::kNoWindow), "");
    EXPECT_EQ(err, 2);
    EXPECT_STREQ(lumvar::TranslateString("x", 14, 0, 0, &err, win::kNoWindow), "");
    EXPECT_EQ(err, 3);
}

TEST_F(TranslationsTest, StringIntoTheWidestLanguage) {
    // "Cancel" is longest in Deutsch and Nederlands (9 characters); the first wins.
    EXPECT_STREQ(lumvar::TranslateString("Cancel", 20000, 0, 0, nullptr, win::kNoWindow), "Abbrechen");
}

// ---- A caller's table ----

TEST_F(TranslationsTest, FromACallersTable) {
    const lumvar::TranslationRow rows[] = {{"Hello", 0}, {"Hallo", 2}, {"Hallo NL", 9}, {"Dag", 9}, {nullptr, 3}};
    int16_t err = -1;
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 5, "Default", 2, &err, win::kNoWindow), "Hallo");
    EXPECT_EQ(err, 0);
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 5, "Default", 9, &err, win::kNoWindow), "Hallo NL");
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 5, "Default", 10, &err, win::kNoWindow),
                 "Dag");  // the last Nederlands
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 5, "Default", 4, &err, win::kNoWindow), "Default");
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 5, nullptr, 4, &err, win::kNoWindow), "Hello");
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 5, "Default", 3, &err, win::kNoWindow), "Default");  // no text
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 5, nullptr, 3, &err, win::kNoWindow), "");
    EXPECT_EQ(err, 17);
    EXPECT_STREQ(lumvar::TranslateFromTable(rows + 1, 1, nullptr, 4, &err, win::kNoWindow), "");
    EXPECT_EQ(err, 17);
    lumvar::SetLanguagePreference(9);
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 5, nullptr, 10000, &err, win::kNoWindow), "Hallo NL");
}

TEST_F(TranslationsTest, FromACallersTableErrors) {
    const lumvar::TranslationRow rows[14] = {};
    int16_t err = -1;
    EXPECT_STREQ(lumvar::TranslateFromTable(nullptr, 1, "d", 0, &err, win::kNoWindow), "");
    EXPECT_EQ(err, 2);
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 1, "d", 13, &err, win::kNoWindow), "");
    EXPECT_EQ(err, 3);
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 14, "d", 0, &err, win::kNoWindow), "");
    EXPECT_EQ(err, 4);
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 0, "d", 0, &err, win::kNoWindow), "");
    EXPECT_EQ(err, 4);
}

TEST_F(TranslationsTest, TheWidestIsMeasuredInTheWindowWhenThereIsOne) {
    const lumvar::TranslationRow rows[] = {{"iiiii", 0}, {"WWW", 2}};
    const win::Hwnd window = win::CreateWindow({.className = "Dialog"});
    // Five narrow characters are more characters; three wide ones are wider when drawn.
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 2, nullptr, 20000, nullptr, win::kNoWindow), "iiiii");
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 2, nullptr, 20000, nullptr, window), "WWW");
    EXPECT_STREQ(lumvar::TranslateFromTable(rows, 2, "WWWWWW", 20000, nullptr, window), "WWWWWW");
    EXPECT_EQ(lumvar::MeasureText("café", win::kNoWindow), 4);
}

// ---- Spoken durations ----

struct DurationCase {
    uint8_t kind;
    int32_t edu;
    int16_t count;
    int16_t language;
    const char* text;
    int16_t err;
};

class DurationStringTest : public TranslationsTest, public ::testing::WithParamInterface<DurationCase> {};

TEST_P(DurationStringTest, SaysTheDuration) {
    const DurationCase& c = GetParam();
    int16_t err = -1;
    EXPECT_STREQ(lumvar::DurationString(c.kind, c.edu, c.count, c.language, &err, win::kNoWindow), c.text);
    EXPECT_EQ(err, c.err);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Durations, DurationStringTest, ::testing::Values(
    DurationCase{8, 1536, 0, 0, "dotted quarter", 0},
    DurationCase{8, 1536, 0, 3, "semiminima puntata", 0},   // the dot word after the note word
    DurationCase{8, 1536, 0, 2, "punktierte Viertel", 0},
    DurationCase{8, 1536, 0, 4, "noire pointée", 0}, DurationCase{8, 1536, 0, 5, "negra con puntillo", 0},
    DurationCase{8, 1536, 0, 6, "semínima pontuada", 0}, DurationCase{8, 1536, 0, 7, "punkterad fjärdedelsnot", 0},
    DurationCase{8, 1792, 0, 0, "double-dotted quarter", 0},
    DurationCase{9, 2048, 0, 0, "half note", 0},
    DurationCase{7, 1024, 0, 0, "qrt.", 0},
    DurationCase{1, 1024, 2, 0, "2 qrts", 0},
    DurationCase{2, 1024, 3, 0, "3 quarters", 0},
    DurationCase{3, 512, 1, 0, "1 eighth note", 0},
    DurationCase{11, 512, 0, 0, "eighths", 0},              // count 5
    DurationCase{14, 1024, 7, 0, "quarter(s)", 0},          // count 0
    DurationCase{8, 4096, 0, 1, "semibreve", 0},
    DurationCase{8, 1536, 0, 20000, "pisteellinen neljäsosanuotti", 0},  // the most characters of 0..11
    DurationCase{8, 1000, 0, 0, "", 19},                    // four dots
    DurationCase{8, 20, 0, 0, "", 20},                      // shorter than the shortest value
    DurationCase{8, 16384, 0, 0, "", 4},
    DurationCase{0, 1024, 0, 0, "", 3},
    DurationCase{16, 1024, 0, 0, "", 3},
    DurationCase{8, 1024, 0, 13, "", 3},
    DurationCase{2, 1024, -1, 0, "", 4}),
    testsupport::NameBy("kind", &DurationCase::kind, "edu", &DurationCase::edu, "count", &DurationCase::count, "language", &DurationCase::language));
// clang-format on

// ---- Accelerators ----

class ShortcutsTest : public TranslationsTest {
protected:
    void SetUp() override {
        TranslationsTest::SetUp();
        m_dialog = win::CreateWindow({.className = "Dialog", .title = "Options"});
        Control(1, "&OK");
        Control(2, "Cancel");
        Control(3, "Options");
        Control(4, "&Close");
        Control(5, "123");
    }
    void Control(int32_t id, const char* caption) {
        win::CreateWindow({.className = "Button", .title = caption, .parent = m_dialog, .id = id});
    }
    std::string Caption(int32_t id) {
        for (const win::Hwnd child : win::GetChildWindows(m_dialog)) {
            if (win::GetDlgCtrlID(child) == id) {
                return win::GetWindowText(child);
            }
        }
        return "?";
    }
    win::Hwnd m_dialog = win::kNoWindow;
};

TEST_F(ShortcutsTest, GivesEachListedControlAFreeLetter) {
    const int32_t ids[] = {2, 3, 5};
    ASSERT_EQ(lumvar::ResolveShortcuts(m_dialog, ids, 3, 0, 0), 0);
    EXPECT_EQ(Caption(1), "&OK");
    EXPECT_EQ(Caption(2), "C&ancel");   // C is taken by Close
    EXPECT_EQ(Caption(3), "O&ptions");  // O is taken by OK
    EXPECT_EQ(Caption(5), "&123");
}

TEST_F(ShortcutsTest, ClearsTheListedControlsFirst) {
    const int32_t ids[] = {2, 4};
    ASSERT_EQ(lumvar::ResolveShortcuts(m_dialog, ids, 2, 1, 0), 0);
    EXPECT_EQ(Caption(2), "&Cancel");
    EXPECT_EQ(Caption(4), "C&lose");
}

TEST_F(ShortcutsTest, CapitalsFirst) {
    Control(6, "big Deal");
    Control(7, "lower");  // no capital: its first free letter in the second round
    const int32_t ids[] = {6, 7};
    ASSERT_EQ(lumvar::ResolveShortcuts(m_dialog, ids, 2, 0, 1), 0);
    EXPECT_EQ(Caption(6), "big &Deal");
    EXPECT_EQ(Caption(7), "&lower");
}

TEST_F(ShortcutsTest, Errors) {
    const int32_t ids[] = {2};
    EXPECT_EQ(lumvar::ResolveShortcuts(win::kNoWindow, ids, 1, 0, 0), 2);
    EXPECT_EQ(lumvar::ResolveShortcuts(m_dialog, nullptr, 1, 0, 0), 2);
    EXPECT_EQ(lumvar::ResolveShortcuts(m_dialog, ids, 0, 0, 0), 13);
    EXPECT_EQ(lumvar::ResolveShortcuts(m_dialog, ids, 101, 0, 0), 13);
    EXPECT_EQ(Caption(2), "Cancel");
}

// ---- Web addresses ----

TEST_F(TranslationsTest, LoadURLAsksTheShell) {
    const std::filesystem::path page = TempFolder() / "page.html";
    std::ofstream(page) << "<html/>";
    EXPECT_EQ(lumvar::LoadURL(page.string().c_str()), 0);
    EXPECT_EQ(lumvar::LoadURL("/no/such/page.html"), 6);
    EXPECT_EQ(lumvar::LoadURL(nullptr), 1);
    EXPECT_EQ(win::ShellRequests(), (std::vector<std::string>{"open " + page.string(), "open /no/such/page.html"}));
}

}  // namespace
