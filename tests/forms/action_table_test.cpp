// The action control table: the option rows of every tool item and the companion tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/general_options.h"
#include "core/host/access_state.h"
#include "core/launch_rows.h"
#include "core/module.h"
#include "core/startup.h"
#include "expressions/charset.h"
#include "expressions/cuesheet.h"
#include "expressions/expression_rows.h"
#include "expressions/transfer.h"
#include "expressions/txtexprsorter.h"
#include "expressions/wordext.h"
#include "forms/action_control_table.h"
#include "forms/printfiles.h"
#include "platform/win/system.h"
#include "tools/layout/analyze.h"
#include "tools/layout/beat_spacing.h"
#include "tools/layout/explosion/explosion.h"
#include "tools/layout/fit_measures.h"
#include "tools/layout/hairpins.h"
#include "tools/layout/layout_services.h"
#include "tools/layout/process_parts.h"
#include "tools/layout/split_point.h"
#include "tools/notes/accidentals.h"
#include "tools/notes/beam_breaker_form.h"
#include "tools/notes/chord_styles.h"
#include "tools/notes/combine.h"
#include "tools/notes/cue_notes.h"
#include "tools/notes/entry_commands.h"
#include "tools/notes/entry_details.h"
#include "tools/notes/entry_filters.h"
#include "tools/notes/export_spreadsheet.h"
#include "tools/notes/fill_rests.h"
#include "tools/notes/find_compare.h"
#include "tools/notes/harp.h"
#include "tools/notes/lyrics.h"
#include "tools/notes/new_spacing.h"
#include "tools/notes/notes_services.h"
#include "tools/notes/playback_effects.h"
#include "tools/notes/rests.h"
#include "tools/notes/slurs.h"
#include "tools/notes/tremolo.h"

namespace {

using namespace orvex;

class ActionTableTest : public ::testing::Test {
protected:
    void SetUp() override { ResetModule(); }
    void TearDown() override { ResetModule(); }
};

std::string Where(size_t item, size_t row) {
    return "item " + std::to_string(item) + " row " + std::to_string(row);
}

const ActionControlRow& LoadedRow(int32_t item, int32_t row) {
    return kActionControlTableData[static_cast<size_t>(item)][static_cast<size_t>(row)];
}

bool IsTextRow(const ActionControlRow& row) {
    return row.hasText != 0;
}

/// A row that is a number edit: no marker, no text, no check box.
bool IsNumberRow(const ActionControlRow& row) {
    return !IsMinimumMarker(row.minimum) && !IsTextRow(row) && !row.IsCheckBox();
}

// ---- Row counts ----

// The number of rows of each tool item.
// clang-format off
const std::vector<int32_t> kRowCounts = {
     3, 10,  2,  2,  3,  3,  6,  5, 15,  8,  // 0-9
     8,  5,  5,  3,  9, 14,  5,  9,  3,  3,  // 10-19
     6,  9,  5,  9, 12,  0,  9, 14, 11,  6,  // 20-29
     4, 18,  5, 15,  5, 14,  5,  4,  4,  1,  // 30-39
    11,  7,  0,  8,  8,  1,  7,  9,  3,  6,  // 40-49
     4,  0,  2,  0,  2, 15,  4,  5,  4, 11,  // 50-59
     1,  0,  4, 10,  7, 13,  6, 17,  1, 10,  // 60-69
     5,  3,  9,  4,  5, 16, 13,  0,  0,  0,  // 70-79
     0,  0,  // 80-81
};
// clang-format on

TEST_F(ActionTableTest, EveryItemHasItsNumberOfRows) {
    ASSERT_EQ(kRowCounts.size(), static_cast<size_t>(kToolItemCount));
    int32_t total = 0;
    for (int32_t item = 0; item < kToolItemCount; ++item) {
        EXPECT_EQ(ActionRowCount(item), kRowCounts[static_cast<size_t>(item)]) << "item " << item;
        EXPECT_EQ(ActionRows(item).size(), static_cast<size_t>(kRowCounts[static_cast<size_t>(item)]));
        total += ActionRowCount(item);
    }
    EXPECT_EQ(total, 508);
}

// Each tool names its rows next to its code; the last name (or the count a name set ends with)
// must reach the tool's last row in the table, so that a row added or removed there shows here.
struct NamedRows {
    const char* names;
    ToolItem item;
    size_t rows;  ///< the last named row + 1
};

// clang-format off
const NamedRows kNamedRows[] = {
    {"TrillNotesRow", ToolItem::TrillNotes, TRILL_NOTES_DOTTED_SHIFT + 1},
    {"RemoveRow", ToolItem::Remove, REMOVE_HIDDEN_RESTS + 1},
    {"RemoveBeatChartElementsRow", ToolItem::RemoveBeatChartElements, REMOVE_BEAT_ELEMENTS_REFRESH + 1},
    {"MakeSpaceRow", ToolItem::MakeSpace, MAKE_SPACE_REFRESH + 1},
    {"AddRemoveSpaceRow", ToolItem::AddRemoveSpace, ADD_SPACE_PLACE + 1},
    {"MoveSyllablesRow", ToolItem::MoveSyllables, MOVE_SYLLABLES_IGNORE_PREVIOUS + 1},
    {"ProportionalityRow", ToolItem::Proportionality, PROPORTIONALITY_MAXIMUM_PERCENT + 1},
    {"LeadingWhitespaceRow", ToolItem::LeadingWhitespace, LEADING_WHITE_REFRESH + 1},
    {"BeamBreakerRow", ToolItem::BeamBreaker, BEAM_SIMPLIFY_RESTS + 1},
    {"SortToolRow", ToolItem::TextExpressionSorter, SORT_DELETE_ONLY + 1},
    {"ParenthesesRow", ToolItem::Parentheses, PAREN_ROW_COUNT},
    {"MoreProportionalityRow", ToolItem::MoreProportionality, MORE_PROPORTIONALITY_MINIMUM_STEPPING + 1},
    {"SortToolMoreRow", ToolItem::MoreSort, SORT_MORE_MUSIC_FONTS + 1},
    {"MelismaRow", ToolItem::LeftAlignMelisma, MELISMA_IGNORE_PREVIOUS + 1},
    {"ScaleStaffPositionsRow", ToolItem::ScaleStaffPositions, SCALE_STAVES_MOVE_FOLLOWING + 1},
    {"ChordStylesRow", ToolItem::CustomChordStyles, CHORD_STYLES_AFTER_ACCIDENTAL + 1},
    {"CopySystemOptimizationRow", ToolItem::CopySystemOptimization, COPY_OPT_UNOPTIMIZED_TOO + 1},
    {"ShiftLyricsRow", ToolItem::ShiftLyrics, SHIFT_LYRICS_IGNORE_PREVIOUS + 1},
    {"ScaleSpacingRow", ToolItem::ExpandSpacing, SCALE_SPACING_WITH_BARLINES + 1},
    {"ScaleSpacingRow", ToolItem::CompressSpacing, SCALE_SPACING_WITH_BARLINES + 1},
    {"NewSpacingRow", ToolItem::NewSpacing, NSP_GLISSANDO_SPACE + 1},
    {"GeneralOptionRow", ToolItem::Options, GO_ROW_COUNT},
    {"NewSpacingMoreRow", ToolItem::MoreNewSpacing, NSP_PLAIN_VALUES_ONLY + 1},
    {"TremoloRow", ToolItem::Tremolo, TREM_PLAYBACK_NOTES + 1},
    {"CueNotesRow", ToolItem::CueNotes, CUE_NOTES_RESET_ACCIDENTALS + 1},
    {"ProcessPartsRow", ToolItem::ProcessParts, PARTS_IGNORE_LAYERS + 1},
    {"ExplosionOption", ToolItem::SmartDistribution, kOptCopyClefs + 1},
    {"MorePartOptionsRow", ToolItem::MorePartOptions, MORE_PARTS_UNHIDE_TUPLETS + 1},
    {"alignrow", ToolItem::AlignMove, alignrow::kMode + 1},
    {"CharsetRow", ToolItem::CharacterSetConversion, CHARSET_EXCLUDED_FONTS + 1},
    {"morerow", ToolItem::MoreAlign, morerow::kShortOffset + 1},
    {"FindRow", ToolItem::Find, ROW_MUSIC_FONT + 1},
    {"TremoloMoreRow", ToolItem::MoreTremolo, TREM_PLAYBACK_MIN_BEAMS + 1},
    {"FitMeasuresRow", ToolItem::FitMeasures, FIT_LOCK_SYSTEMS + 1},
    {"ExplosionOption", ToolItem::SmartExplosion, kOptCopyClefs + 1},
    {"CombineRow", ToolItem::CombineRhythmsAndPitches, COMBINE_SKIP_RESTS + 1},
    {"ExportRow", ToolItem::ExportToSpreadsheet, EXPORT_DECIMAL_POINT + 1},
    {"MeasureWidthsRow", ToolItem::MeasureWidths, MEASURE_WIDTHS_ROW_COUNT},
    {"AccidentalsRow", ToolItem::Accidentals, ACCIDENTALS_SYSTEM_START + 1},
    {"UpdateGroupsRow", ToolItem::UpdateGroups, UPDATE_GROUPS_ADD_NEW + 1},
    {"hairpinrow", ToolItem::CreateHairpins, hairpinrow::kOpeningWidth + 1},
    {"CreateSlursRow", ToolItem::CreateSlurs, CREATE_SLURS_RIGHT_DISTANCE + 1},
    {"HarpRow", ToolItem::HarpPedaling, HARP_CHANGE_SIZE + 1},
    {"MoreBeamBreakerRow", ToolItem::MoreBeamBreaker, BEAM_MORE_RESTS_TO_EIGHTHS + 1},
    {"SplitSystemRow", ToolItem::SplitStaffSystem, SPLIT_SYSTEM_PARTS + 1},
    {"FillRestsRow", ToolItem::FillWithRests, FILL_RANDOM_DEVIATION + 1},
    {"PrintFilesRow", ToolItem::PrintMultipleFiles, PRINT_FILES_LIST + 1},
    {"AfterInsertingRow", ToolItem::AfterInsertingMeasures, AFTER_INSERTING_SYSTEMS + 1},
    {"ShiftSystemRow", ToolItem::ShiftSystemOptimization, SHIFT_SYSTEM_PROPERTIES + 1},
    {"TransferRow", ToolItem::Transfer, TRANSFER_PAGE_TEXT_WORDS + 1},
    {"RemoveAdjustmentsRow", ToolItem::RemoveAdjustments, REMOVE_LYRICS_JUSTIFICATION + 1},
    {"ShiftRow", ToolItem::Shift, SHIFT_GLISSANDI + 1},
    {"ResetRow", ToolItem::Reset, RESET_MEASURE_EXPRESSION_BITS + 1},
    {"CueSheetRow", ToolItem::AuricleImport, CUE_ROW_STREAMER_LENGTH + 1},
    {"HarmonicaRow", ToolItem::Harmonica, HARMONICA_CONVERT + 1},
    {"WordExtensionsRow", ToolItem::WordExtensions, WORD_EXT_SYSTEM_END_OFFSET + 1},
    {"CompareRow", ToolItem::CompareEntries, ROW_IGNORE_NOTEHEADS + 1},
    {"analyzerow", ToolItem::Analyze, analyzerow::kNoteheads + 1},
    {"SpecialRow", ToolItem::SpecialModifications, SPECIAL_KEEP_ONLY + 1},
    {"RestsRow", ToolItem::Rests, RESTS_SIMPLIFY_RHYTHM + 1},
    {"PlaybackRow", ToolItem::Playback, PLAYBACK_TRILL_INTERVAL + 1},
    {"ReplacePitchesRow", ToolItem::ReplacePitches, REPLACE_INTO_5 + 1},
    {"PlaybackMoreRow", ToolItem::MorePlayback, PLAYBACK_MORE_PREFERRED_LAYER + 1},
    {"expressionsrow", ToolItem::Expressions, expressionsrow::kFactor + 1},
    {"EnclosuresRow", ToolItem::Enclosures, ENCLOSURES_PUT + 1},
    {"SplitPointRow, the rows of slot 76", ToolItem::PitchProjection, SPLIT_SIMPLIFY_RHYTHM + 1},
    {"SpecialRegionsRow", ToolItem::SpecialMeasureRegions, SPECIAL_REGIONS_ADD_DOUBLE_BARLINES + 1},
    {"SlurToolRow, CollisionRow", ToolItem::Slurs, SLURS_OFF_CENTER + 1},
};
// clang-format on

TEST_F(ActionTableTest, EveryToolsRowNamesEndWithItsLastRow) {
    for (const NamedRows& named : kNamedRows) {
        EXPECT_EQ(static_cast<size_t>(ActionRowCount(ItemNumber(named.item))), named.rows)
            << named.names << " for item " << ItemNumber(named.item);
    }
}

TEST_F(ActionTableTest, ItemsWithoutOptionsHaveNoRows) {
    for (int32_t item : {25, 42, 51, 53, 61, 77, 78, 79, 80, 81}) {
        EXPECT_EQ(ActionRowCount(item), 0) << "item " << item;
        EXPECT_EQ(ActionRowCaption(item, 0), nullptr) << "item " << item;
        TheAccessLayer.host.language = 1;
        EXPECT_EQ(ActionRowCaption(item, 0), nullptr) << "item " << item;
        TheAccessLayer.host.language = 0;
    }
}

TEST_F(ActionTableTest, EveryRowHasBothCaptionsAndNothingFollowsTheLastRow) {
    for (size_t item = 0; item < kActionControlTableData.size(); ++item) {
        const auto count = static_cast<size_t>(ActionRowCount(static_cast<int32_t>(item)));
        for (size_t row = 0; row < kActionControlTableData[item].size(); ++row) {
            SCOPED_TRACE(Where(item, row));
            const ActionControlRow& entry = kActionControlTableData[item][row];
            // A missing German caption would end the item's rows in the German dialog.
            EXPECT_EQ(entry.englishCaption != nullptr, row < count);
            EXPECT_EQ(entry.germanCaption != nullptr, row < count);
        }
    }
}

// ---- Row invariants ----

TEST_F(ActionTableTest, KindsAreKnownCodes) {
    for (size_t item = 0; item < kActionControlTableData.size(); ++item) {
        for (size_t row = 0; row < kActionControlTableData[item].size(); ++row) {
            SCOPED_TRACE(Where(item, row));
            const ActionControlRow& entry = kActionControlTableData[item][row];
            if (entry.minimum == MIN_COLUMN_RADIO) {
                EXPECT_GE(entry.kind, 0);
                EXPECT_LT(entry.kind, static_cast<int32_t>(RadioPlacementTable.size()));
                continue;
            }
            const bool known = entry.kind == KIND_ORDINARY || entry.kind == KIND_NO_FRAME || IsFrameKind(entry.kind) ||
                               IsInlineKind(entry.kind) || entry.kind == KIND_NORMAL_WIDTH_TEXT ||
                               entry.kind == KIND_UNIT || entry.kind == KIND_FILE_NAME;
            EXPECT_TRUE(known) << "kind " << entry.kind;
        }
    }
}

TEST_F(ActionTableTest, KindsAreUsedAsOften) {
    const std::map<int32_t, int> expected = {{0, 405}, {-55557890, 52}, {-12345678, 20}, {-1008, 9}, {-2, 5},
                                             {-3, 3},  {-4, 3},         {-6, 3},         {-1, 2},    {-5, 1},
                                             {-7, 1},  {-11, 1},        {-1020, 1},      {-1090, 1}, {-55555890, 1}};
    std::map<int32_t, int> used;
    for (int32_t item = 0; item < kToolItemCount; ++item) {
        for (const ActionControlRow& row : ActionRows(item)) {
            ++used[row.kind];
        }
    }
    EXPECT_EQ(used, expected);
}

TEST_F(ActionTableTest, NumbersStartWithinTheirLimits) {
    int numbers = 0;
    for (int32_t item = 0; item < kToolItemCount; ++item) {
        for (size_t row = 0; row < ActionRows(item).size(); ++row) {
            const ActionControlRow& entry = ActionRows(item)[row];
            if (!IsNumberRow(entry)) {
                continue;
            }
            SCOPED_TRACE(Where(static_cast<size_t>(item), row));
            ++numbers;
            EXPECT_LE(entry.minimum, entry.value1);
            EXPECT_LE(entry.value1, entry.maximum);
            EXPECT_EQ(entry.value2, entry.value1);
        }
    }
    EXPECT_EQ(numbers, 156);
}

TEST_F(ActionTableTest, CheckBoxesAreZeroOrOne) {
    int boxes = 0;
    for (int32_t item = 0; item < kToolItemCount; ++item) {
        for (size_t row = 0; row < ActionRows(item).size(); ++row) {
            const ActionControlRow& entry = ActionRows(item)[row];
            SCOPED_TRACE(Where(static_cast<size_t>(item), row));
            EXPECT_LE(entry.checkBox, 1);
            EXPECT_LE(entry.hasText, 1);
            EXPECT_LE(entry.readOnly, 1);
            // Only the inline table's source and destination columns come with the flag set.
            EXPECT_EQ(entry.checkBox, item == 40 && (row == 7 || row == 8) ? 1 : 0);
            if (entry.IsCheckBox()) {
                ++boxes;
                EXPECT_EQ(entry.minimum, 0);
                EXPECT_EQ(entry.maximum, 1);
                EXPECT_TRUE(entry.value1 == 0 || entry.value1 == 1);
                EXPECT_EQ(entry.value2, entry.value1);
                EXPECT_EQ(entry.hasText, 0);
            }
        }
    }
    EXPECT_EQ(boxes, 278);
}

TEST_F(ActionTableTest, OnlyTextRowsCarryText) {
    for (int32_t item = 0; item < kToolItemCount; ++item) {
        for (size_t row = 0; row < ActionRows(item).size(); ++row) {
            const ActionControlRow& entry = ActionRows(item)[row];
            SCOPED_TRACE(Where(static_cast<size_t>(item), row));
            ASSERT_NE(entry.text, nullptr);
            if (!IsTextRow(entry)) {
                EXPECT_STREQ(entry.text, "");
            }
            if (entry.minimum == MIN_PITCH || entry.minimum == MIN_FIXED_WIDTH_TEXT || entry.minimum == MIN_WIDE_TEXT ||
                entry.minimum == MIN_STAFF_COLUMN || entry.kind == KIND_FILE_NAME) {
                EXPECT_EQ(entry.hasText, 1);
            }
            if (IsListMarker(entry.minimum) || IsRadioMarker(entry.minimum) || entry.kind == KIND_UNIT) {
                EXPECT_EQ(entry.hasText, 0);
            }
        }
    }
}

TEST_F(ActionTableTest, FramesStayWithinTheirItemAndDoNotOverlap) {
    int frames = 0;
    for (int32_t item = 0; item < kToolItemCount; ++item) {
        const auto rows = ActionRows(item);
        int32_t framedUntil = -1;
        for (size_t row = 0; row < rows.size(); ++row) {
            if (!IsFrameKind(rows[row].kind)) {
                continue;
            }
            SCOPED_TRACE(Where(static_cast<size_t>(item), row));
            ++frames;
            EXPECT_GT(static_cast<int32_t>(row), framedUntil);
            framedUntil = static_cast<int32_t>(row) + FrameRowCount(rows[row].kind) - 1;
            EXPECT_LT(framedUntil, static_cast<int32_t>(rows.size()));
        }
    }
    EXPECT_EQ(frames, 17);
}

TEST_F(ActionTableTest, RadioGroupsListTheirItemsInBothLanguages) {
    int groups = 0;
    for (int32_t item = 0; item < kToolItemCount; ++item) {
        for (size_t row = 0; row < ActionRows(item).size(); ++row) {
            const ActionControlRow& entry = ActionRows(item)[row];
            if (!IsRadioMarker(entry.minimum)) {
                continue;
            }
            SCOPED_TRACE(Where(static_cast<size_t>(item), row));
            ++groups;
            size_t counts[2] = {0, 0};
            for (int language : {0, 1}) {
                const std::string caption = entry.Caption(language);
                const size_t open = caption.find('[');
                ASSERT_NE(open, std::string::npos) << caption;
                ASSERT_EQ(caption.back(), ']') << caption;
                const std::string items = caption.substr(open + 1, caption.size() - open - 2);
                counts[language] = 1 + static_cast<size_t>(std::count(items.begin(), items.end(), ','));
            }
            EXPECT_EQ(counts[0], counts[1]);
            EXPECT_LT(static_cast<size_t>(entry.value1), counts[0]);
        }
    }
    EXPECT_EQ(groups, 2);
}

TEST_F(ActionTableTest, GeneralOptionsItemIsTheGeneralOptionRows) {
    ASSERT_EQ(ActionRowCount(ItemNumber(ToolItem::Options)), static_cast<int32_t>(kGeneralOptionRows.size()));
    for (size_t row = 0; row < kGeneralOptionRows.size(); ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const GeneralOptionRowInfo& info = kGeneralOptionRows[row];
        const ActionControlRow& entry = LoadedRow(ItemNumber(ToolItem::Options), static_cast<int32_t>(row));
        EXPECT_STREQ(entry.englishCaption, info.english);
        EXPECT_STREQ(entry.germanCaption, info.german);
        EXPECT_EQ(entry.minimum, info.minimum);
        EXPECT_EQ(entry.maximum, info.maximum);
        EXPECT_EQ(entry.value1, info.initial);
        EXPECT_EQ(entry.value2, info.initial);
        EXPECT_EQ(entry.hasText, 0);
        // The two hotkey steps are lengths in the host's unit.
        EXPECT_EQ(entry.kind, row == 1 || row == 2 ? KIND_UNIT : KIND_ORDINARY);
    }
}

// ---- Rows as the description gives them ----

struct ExpectedRow {
    int32_t item;
    int32_t row;
    const char* english;
    const char* german;  ///< null: not checked here
    int32_t minimum;
    int32_t maximum;
    int32_t value;  ///< of both option sets
    uint8_t hasText;
    const char* text;
    uint8_t checkBox;
    uint8_t readOnly;
    int32_t kind;
};

void PrintTo(const ExpectedRow& expected, std::ostream* out) {
    *out << Where(static_cast<size_t>(expected.item), static_cast<size_t>(expected.row));
}

class ActionRowTest : public ActionTableTest, public ::testing::WithParamInterface<ExpectedRow> {};

TEST_P(ActionRowTest, RowHoldsTheDescribedFields) {
    const ExpectedRow& expected = GetParam();
    const ActionControlRow& row = LoadedRow(expected.item, expected.row);
    ASSERT_NE(row.englishCaption, nullptr);
    EXPECT_STREQ(row.englishCaption, expected.english);
    if (expected.german != nullptr) {
        EXPECT_STREQ(row.germanCaption, expected.german);
    }
    EXPECT_EQ(row.minimum, expected.minimum);
    EXPECT_EQ(row.maximum, expected.maximum);
    EXPECT_EQ(row.value1, expected.value);
    EXPECT_EQ(row.value2, expected.value);
    EXPECT_EQ(row.hasText, expected.hasText);
    EXPECT_STREQ(row.text, expected.text);
    EXPECT_EQ(row.checkBox, expected.checkBox);
    EXPECT_EQ(row.readOnly, expected.readOnly);
    EXPECT_EQ(row.kind, expected.kind);
}

// clang-format off
const ExpectedRow kExpectedRows[] = {
    // Numbers, lengths in EVPU and check boxes.
    {0, 0, "Duration of grace notes to be modified (4=quarter)", nullptr, 1, 128, 4, 0, "", 0, 0, 0},
    {0, 1, "Horizontal note shift (positive=to the right)", "Horizontale Verschiebung der Note (positiv=nach rechts)", -1000, 1000, 85, 0, "", 0, 0, KIND_UNIT},
    {1, 8, "... and unbeam so only noteheads are left?", nullptr, 0, 1, 1, 0, "", 0, 0, 0},
    {8, 2, "EDUs per beat:", "EDUs pro Schlag:", 128, 8192, 1024, 0, "", 0, 0, 0},
    {44, 0, "Hairpins are inserted between note- or measure attached expressions,\n(do not mix). If no left and/or right markings are specified,\nthey are inserted between all appropriate pairs of dynamic markings.\nCrescendos", "Die Gabeln werden zwischen noten- und taktbezogenen Vortragsbezeichnungen\neingefügt (nicht mischen). Falls keine linke und/oder rechte Dynamikangabe\nfestgelegt wird, werden die Gabeln zwischen alle Dynamikpaare eingefügt.\nCrescendos", 0, 1, 1, 0, "", 0, 0, 0},
    {8, 7, "Break secondary beams?", "Zweitbalken unterbrechen?", 0, 1, 1, 0, "", 0, 0, -6},
    {14, 3, "Desired position of bottom staff", nullptr, -99999, 99999, 4000, 0, "", 0, 0, KIND_UNIT},
    {17, 4, "Maximum EDU length of notes to modify (8192=double whole)", nullptr, 1, 16384, 8192, 0, "", 0, 0, 0},
    {33, 12, "plus, per beam", nullptr, -400, 400, -13, 0, "", 0, 0, KIND_UNIT},
    {49, 4, "Fill up to how many percent (100=full)?", "Bis zu wieviel Prozent auffüllen (100=voll)?", 0, 100, 100, 0, "", 0, 0, 0},
    {62, 2, "Offset for word extensions continued at the start of a new system", "Verschiebung für Textlängenstriche, die am Anfang eines Systems weitergehen", -1000, 1000, -30, 0, "", 0, 0, KIND_UNIT},
    {75, 5, "Resolve collisions with articulations", nullptr, 0, 1, 0, 0, "", 0, 0, -11},
    // Radio groups.
    {4, 2, "Add after:[beginning,selection,end]", "Wo:[Anfang,Auswahl,Ende]", MIN_INLINE_RADIO, 5, 2, 0, "", 0, 0, 0},
    {29, 5, "Align[to nearest element,to farthest element,to average distance,set to value on the right]", "Ausrichten:[am nahesten Element,am weitest entfernten El.,durchschnittlich,auf Wert setzen]", MIN_COLUMN_RADIO, 5, 2, 0, "", 0, 0, 0},
    // Texts.
    {10, 1, "Font for parentheses", "Schriftart für die Klammern", 0, 0, 0, 1, "Times New Roman", 0, 0, 0},
    {10, 3, "Parentheses for notes with accidental", nullptr, 0, 0, 0, 1, "(   )", 0, 0, 0},
    {12, 4, "Additional music fonts (separate with comma)", nullptr, 0, 0, 0, 1, " ", 0, 0, 0},
    {15, 2, "(leave empty for no change) C =", "(leer lassen, um eine Tonhöhe nicht zu ändern) C=", 0, 0, 0, 1, "DO", 0, 0, KIND_NORMAL_WIDTH_TEXT},
    {37, 0, "The exported table is stored as a comma separated text file\nwhich can be imported into spreadsheet applications.\nIf you specify a filename without a path, the file will\nbe stored in the same folder as the Orvex plug-in.\nFilename", "Die exportierte Tabelle wird als Textdatei mit Trennzeichen gespeichert,\ndie in Tabellenkalkulationen importiert werden kann.\nWenn Sie einen Dateinamen ohne Pfad angeben, wird die Datei\nim selben Ordner wie das Orvex-Plug-In gespeichert.\nDateiname", 0, 0, 0, 1, "export.txt", 0, 0, 0},
    {64, 0, "This plug-in will detect and mark parallelisms.\nIt does not take accidentals into account.\nDetect which parallelisms:", "Dieser Plug-In entdeckt Parallelen. Vorzeichen\nwerden dabei ignoriert.\nWelche Parallelen finden:", 0, 0, 0, 1, "1,2,5,8", 0, 0, 0},
    {76, 10, "Lowest note for top staff (C4=middle C):", nullptr, 0, 0, 0, 1, "G3", 0, 0, 0},
    {69, 1, "into:", nullptr, MIN_PITCH, 0, 0, 1, "", 0, 0, 0},
    // Lists.
    {14, 0, "Staff selection (for 'align' only):", nullptr, MIN_STAFF_LIST, 0, 0, 0, "", 0, 0, 0},
    {36, 0, "This plug-in will combine the pitches of one staff with the rhythms of\nanother. If you make no staff selection here, then the top two staves\nof the document or of any mass mover selection will be processed.\nThe result is always put into the source staff for the rhythms.\nStaff selection (0 or 2):", "Dieser Plug-In kombiniert die Tonhöhen eines Systems mit den Rhythmen eines\nanderen. Wenn Sie hier kein System wählen, werden die zwei oberen Systeme\ndes Dokuments oder des  mit dem 'Bewegen'-Werkzeug ausgewählten Bereichs\nverarbeitet. Das Ergebnis erscheint immer im Quellsystem für den Rhythmus.\nBitte wählen Sie 0 oder 2 Systeme:", MIN_STAFF_LIST, 0, 0, 0, "", 0, 0, 0},
    {43, 0, "If no groups are selected, all groups will be updated.\nSelect groups to update:", nullptr, MIN_GROUP_LIST, 0, 0, 0, "", 0, 0, 0},
    {39, 0, "Here's a list of all fonts in the document.\nPlease note that they aren't necessarily all in use.\nThe list has also been copied to the clipboard.\nFonts listed in this document file:", nullptr, MIN_FONT_LIST, 0, 0, 0, "", 0, 0, 0},
    {73, 0, "Please select expression(s):", nullptr, MIN_EXPRESSION_LIST, 0, 0, 0, "", 0, 0, 0},
    {63, 0, "Compares entries, assigned articulations (by number),\nand text expressions (by text). After comparison, the\nmeasures containing differences will be listed here,\nand changes will optionally be marked in the score.\nDouble-click any listed measure in order to show it.\nChanges detected in:", nullptr, MIN_MEASURE_LIST, 0, 0, 0, "", 0, 0, 0},
    // Printing many files.
    {50, 0, "This plug-in prints the selected files to Finale's currently active printer.\nYou can cancel the operation by closing this dialog! If Finale \nissues an error message, you may have to move this window\nso that you get to see the message.\nCopies:", nullptr, 1, 100, 1, 0, "", 0, 0, KIND_NORMAL_WIDTH_TEXT},
    {50, 1, "Pause after:", "Pause nach:", 0, 100, 0, 0, "", 0, 0, KIND_NORMAL_WIDTH_TEXT},
    {50, 2, "Path:", "Ordner:", MIN_WIDE_TEXT, 0, 0, 1, "", 0, 0, 0},
    {50, 3, "Please select the files for printing:", "Bitte wählen Sie die Dateien aus:", MIN_FILE_LIST, 1, 0, 0, "", 0, 0, 0},
    {59, 0, "This plug-in imports Auricle cue files saved\nas TEXT files.\nDouble-click the file name to browse your disks.\nFilename", nullptr, 0, 0, 0, 1, "", 0, 0, KIND_FILE_NAME},
    // The inline table of the orchestration.
    {40, 0, "Instrument", "Instrument", MIN_STAFF_COLUMN, 0, 0, 1, "", 0, 1, -1020},
    {40, 1, "oct.", "Okt.", -5, 5, 0, 0, "", 0, 0, -1008},
    {40, 3, "maximum range", "Maximalumfang", MIN_PITCH, 0, 0, 1, "C4", 0, 0, -1008},
    {40, 4, "", "", MIN_PITCH, 0, 0, 1, "C6", 0, 0, -1008},
    {40, 8, "dest", "Ziel", 0, 1, 1, 0, "", 1, 0, -1008},
    {40, 9, "order", "Ordnung", 0, 127, 1, 0, "", 0, 0, -1008},
    {40, 10, "rules", "Regeln", MIN_UNMARKED, 0, 0, 1, "", 0, 0, -1090},
    // Rows whose description disagreed with the tool that reads them.
    {55, 14, "... must contain one of these words:", "..., die eines dieser Wörter beinhalten:", 0, 0, 0, 1, "", 0, 0, 0},
    {65, 0, "Please enter at least one criterion, plus at least\none action. Leave unneeded fields empty or 0.\nSearch criteria    -        Pitch (such as C4):", nullptr, MIN_PITCH, 0, 0, 1, "", 0, 0, 0},
    {28, 0, "Please note:\n'Maintain voice order' only applies when the score employs Finale's\nv1/v2 mechanism. Maintaining the order may lead to errors when\nthe voices do not consistently follow the parts. Normally OFF.\n'Optimize rests' and 'Clear empty measures' may delete fermatas\nand tempo marks unless these are entered as MEASURE-ATTACHED\n(staff) expressions using a staff list with the options set to\n'always show on top staff'.\nMaintain voice order", nullptr, 0, 1, 0, 0, "", 0, 0, 0},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, ActionRowTest, ::testing::ValuesIn(kExpectedRows),
                         [](const ::testing::TestParamInfo<ExpectedRow>& testCase) {
                             return "Item" + std::to_string(testCase.param.item) + "Row" +
                                    std::to_string(testCase.param.row);
                         });

TEST_F(ActionTableTest, CharacterSetsOfTheConversionAreTheDescribedBytes) {
    // Mac Roman characters as Windows-1252 bytes, and the Windows bytes that replace them.
    const std::string source =
        "\x86\x9F\x8A\x9A\xA7\x85\x80\x81\x82\x83\x84\x87\x88\x89\x8B\x8C\x8D\x8E\x8F\x90\x91\x92\x93\x94\x95\x96"
        "\x97\x98\x99\x9B\x9C\x9D\x9E\xA0\xA1\xA2\xA3\xA4\xA5\xA6\xA8\xA9\xAA\xAB\xAC\xAE\xAF\xAE\xAF\xB1\xB4\xB5"
        "\xBB\xBE\xBF\xC0\xC1\xC2\xC4\xC7\xC8\xCA\xC9\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDB"
        "\xDC\xDD\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF1\xF2\xF3\xF4\xFB\xFC";
    const std::string target =
        "\xDC\xFC\xE4\xF6\xDF\xD6\xC4\xC5\xC7\xC9\xD1\xE1\xE0\xE2\xE3\xE5\xE7\xE9\xE8\xEA\xEB\xED\xEC\xEE\xEF\xF1"
        "\xF3\xF2\xF4\xF5\xFA\xF9\xFB\x86\x9A\xA2\xA3\xA7\x95\xB6\xAE\xA9\x99\x92\xA8\xC6\xD8\xC6\xD8\xB1\xA5\xB5"
        "\xAA\xE6\xF8\xBF\xA1\xAC\x83\xAB\xBB\xA0\xC9\xC0\xC3\xD5\x8C\x9C\x96\x97\x93\x94\x91\x92\xF7\xFF\x9F\xA4"
        "\x8B\x9B\x87\xB7\xB8\x84\x89\xC2\xCA\xC1\xCB\xC8\xCD\xCE\xCF\xCC\xD3\xD4\xD2\xDA\xDB\xD9\xB0\xB8";
    ASSERT_EQ(source.size(), 102u);
    ASSERT_EQ(target.size(), 102u);
    const ActionControlRow& from = LoadedRow(30, 0);
    const ActionControlRow& to = LoadedRow(30, 1);
    EXPECT_EQ(win::Utf8ToAnsi(from.text), source);
    EXPECT_EQ(win::Utf8ToAnsi(to.text), target);
    for (const ActionControlRow* row : {&from, &to}) {
        EXPECT_EQ(row->minimum, MIN_FIXED_WIDTH_TEXT);
        EXPECT_EQ(row->hasText, 1);
        EXPECT_EQ(row->kind, KIND_ORDINARY);
    }
    EXPECT_STREQ(to.englishCaption, "to:");
    EXPECT_STREQ(to.germanCaption, "nach:");
    EXPECT_STREQ(from.germanCaption,
                 "Übersetzt werden Liedtext, Vortragsbezeichnungen und Textblöcke\nDie Dokumentinformationen werden "
                 "nicht verändert, und das kann auch\nTitel und Komponist auf der ersten Seite betreffen.\nÜbersetzen "
                 "von:");
}

// ---- The run-time table ----

TEST_F(ActionTableTest, ResetPutsBackValuesAndCheckBoxFlags) {
    ActionControlRow& row = ActionRows(0)[1];
    row.SetValue(1, 300);
    row.SetValue(2, -40);
    ActionRows(1)[0].checkBox = 1;
    EXPECT_EQ(row.Value(1), 300);
    EXPECT_EQ(row.Value(2), -40);
    EXPECT_EQ(LoadedRow(0, 1).value1, 85);

    ResetModule();
    EXPECT_EQ(ActionControlTable()[0][1].value1, 85);
    EXPECT_EQ(ActionControlTable()[0][1].value2, 85);
    EXPECT_EQ(ActionControlTable()[1][0].checkBox, 0);
}

TEST_F(ActionTableTest, OptionSetTwoHasItsOwnValueField) {
    ActionControlRow& row = ActionRows(5)[0];
    row.SetValue(2, 0);
    EXPECT_EQ(row.Value(2), 0);
    EXPECT_EQ(row.Value(1), 17);
    // Any set number other than 2 reads the first set.
    EXPECT_EQ(row.Value(0), 17);
    row.SetValue(0, 20);
    EXPECT_EQ(row.value1, 20);
    EXPECT_EQ(row.value2, 0);
}

TEST_F(ActionTableTest, CaptionFollowsTheLanguage) {
    EXPECT_STREQ(ActionRowCaption(45, 0), "Split into how many systems:");
    EXPECT_EQ(ActionRowCaption(45, 1), nullptr);
    TheAccessLayer.host.language = 1;
    EXPECT_STREQ(ActionRowCaption(45, 0), "In wieviele Systeme teilen:");
    EXPECT_STREQ(ActionRowCaption(21, 5), "Orvex in der Menüleiste?");
    EXPECT_EQ(ActionRowCaption(45, 1), nullptr);
}

TEST_F(ActionTableTest, ItemsAndRowsOutsideTheTableAreRefused) {
    EXPECT_THROW(ActionRowCount(-1), std::logic_error);
    EXPECT_THROW(ActionRowCount(kToolItemCount), std::logic_error);
    EXPECT_THROW(ActionRows(82), std::logic_error);
    EXPECT_THROW(ActionRowCaption(0, 21), std::logic_error);
    EXPECT_THROW(ActionRowCaption(0, -1), std::logic_error);
    EXPECT_STREQ(ActionRowCaption(81, 20), nullptr);
}

// ---- Companion tables ----

TEST_F(ActionTableTest, RadioPlacements) {
    const RadioPlacement& first = RadioPlacementTable[0];
    EXPECT_EQ(first.leftPercent, 0);
    EXPECT_EQ(first.widthPercent, 60);
    EXPECT_EQ(first.anchorRow, 0);
    EXPECT_EQ(first.heightFactorPercent, -20);
    EXPECT_EQ(first.columnStretchPercent, 300);
    const RadioPlacement& second = RadioPlacementTable[1];
    EXPECT_EQ(second.leftPercent, 0);
    EXPECT_EQ(second.widthPercent, 100);
    EXPECT_EQ(second.anchorRow, 0);
    EXPECT_EQ(second.heightFactorPercent, 0);
    EXPECT_EQ(second.columnStretchPercent, 100);
}

TEST_F(ActionTableTest, VisibilityEntriesDecodeIntoTwoConditions) {
    struct Case {
        int16_t entry;
        int32_t first;
        int32_t second;
    };
    const Case cases[] = {{0, 0, 0},   {2, 2, 0},   {-7, -7, 0}, {49, 49, 0}, {-49, -49, 0},  {100, 0, 1},
                          {97, -3, 1}, {103, 3, 1}, {104, 4, 1}, {906, 6, 9}, {-103, -3, -1}, {-97, 3, -1}};
    for (const Case& c : cases) {
        const VisibilityConditions conditions = DecodeVisibility(c.entry);
        EXPECT_EQ(conditions.first, c.first) << "entry " << c.entry;
        EXPECT_EQ(conditions.second, c.second) << "entry " << c.entry;
    }
}

TEST_F(ActionTableTest, VisibilityEntriesAsDescribed) {
    const std::map<std::pair<int, int>, int16_t> expected = {
        {{8, 2}, 2},    {{8, 6}, 2},   {{8, 8}, 8},    {{8, 12}, 8},   {{8, 14}, 14},  {{9, 1}, 1},    {{9, 5}, 5},
        {{14, 0}, 7},   {{14, 4}, -7}, {{14, 8}, 7},   {{15, 5}, 2},   {{31, 6}, -6},  {{34, 2}, -1},  {{46, 6}, -5},
        {{55, 11}, 10}, {{66, 5}, 4},  {{67, 2}, 100}, {{67, 3}, 97},  {{67, 6}, 103}, {{67, 16}, 12}, {{72, 3}, 103},
        {{72, 4}, 104}, {{72, 6}, 1},  {{75, 3}, -2},  {{75, 9}, 906}, {{75, 15}, 6},  {{8, 7}, 0},    {{8, 13}, 0},
        {{1, 6}, 6},    {{17, 2}, 2},  {{17, 9}, 2},   {{17, 10}, 10}, {{80, 1}, -1},  {{80, 5}, -1},  {{66, 4}, 4}};
    for (const auto& [where, entry] : expected) {
        EXPECT_EQ(OptionVisibilityTable[static_cast<size_t>(where.first)][static_cast<size_t>(where.second)], entry)
            << Where(static_cast<size_t>(where.first), static_cast<size_t>(where.second));
    }
}

TEST_F(ActionTableTest, VisibilityConditionsNameCheckBoxesOfTheSameItem) {
    int entries = 0;
    for (int32_t item = 0; item < kToolItemCount; ++item) {
        const auto rows = ActionRows(item);
        for (size_t row = 0; row < OptionVisibilityTable[static_cast<size_t>(item)].size(); ++row) {
            const int16_t entry = OptionVisibilityTable[static_cast<size_t>(item)][row];
            if (entry == 0) {
                continue;
            }
            SCOPED_TRACE(Where(static_cast<size_t>(item), row));
            ++entries;
            if (item == 1 || item == 17 || item == 80) {
                continue;  // their conditions name no check box: below
            }
            EXPECT_LT(row, rows.size());
            const VisibilityConditions conditions = DecodeVisibility(entry);
            for (int32_t condition : {conditions.first, conditions.second}) {
                if (condition == 0) {
                    continue;
                }
                const auto box = static_cast<size_t>(std::abs(condition) - 1);
                ASSERT_LT(box, rows.size()) << "condition " << condition;
                EXPECT_NE(box, row);
                EXPECT_TRUE(rows[box].IsCheckBox()) << "condition " << condition;
            }
        }
    }
    EXPECT_EQ(entries, 91);
}

// The entries of items 1, 17 and 80 stay in the table as the rows were described, but name no
// check box of their item (a number row, a row the item does not have, or no rows at all): the
// dialog ignores them, and those rows show.
TEST_F(ActionTableTest, VisibilityEntriesThatNameNoCheckBoxAreKept) {
    for (const int32_t item : {1, 17, 80}) {
        const auto rows = ActionRows(item);
        for (size_t row = 0; row < OptionVisibilityTable[static_cast<size_t>(item)].size(); ++row) {
            const int16_t entry = OptionVisibilityTable[static_cast<size_t>(item)][row];
            if (entry == 0) {
                continue;
            }
            SCOPED_TRACE(Where(static_cast<size_t>(item), row));
            const auto box = static_cast<size_t>(std::abs(DecodeVisibility(entry).first) - 1);
            EXPECT_TRUE(box >= rows.size() || !rows[box].IsCheckBox());
        }
    }
    EXPECT_TRUE(VisibilityApplies(1, 6));
    EXPECT_FALSE(VisibilityApplies(66, 4));
    EXPECT_FALSE(VisibilityApplies(66, 5));
    EXPECT_TRUE(VisibilityApplies(66, 3));
}

// Every German caption is a translation of its English one: never "?" or empty, and with header
// lines (a "\n" before the last line) where the English one has them.
TEST_F(ActionTableTest, EveryGermanCaptionTranslatesItsEnglishOne) {
    int32_t captions = 0;
    for (int32_t item = 0; item < kToolItemCount; ++item) {
        for (int32_t row = 0; row < ActionRowCount(item); ++row) {
            SCOPED_TRACE(Where(static_cast<size_t>(item), static_cast<size_t>(row)));
            const ActionControlRow& def = LoadedRow(item, row);
            const std::string english = def.englishCaption;
            ASSERT_NE(def.germanCaption, nullptr);
            const std::string german = def.germanCaption;
            ++captions;
            if (english.empty()) {
                EXPECT_TRUE(german.empty());
                continue;
            }
            EXPECT_FALSE(german.empty());
            EXPECT_NE(german, "?");
            if (english.find('\n') != std::string::npos) {
                EXPECT_NE(german.find('\n'), std::string::npos) << german;  // header lines before the caption
            }
        }
    }
    EXPECT_EQ(captions, 508);
}

TEST_F(ActionTableTest, PairedCriteriaAndExtraButtonsBelongToOneItemEach) {
    for (size_t item = 0; item < static_cast<size_t>(kToolItemCount); ++item) {
        SCOPED_TRACE("item " + std::to_string(item));
        EXPECT_EQ(PairedCriteriaFlags[item], item == 9 ? 1 : 0);
        if (item != 67) {
            EXPECT_EQ(FirstExtraButtonText[item], nullptr);
            EXPECT_EQ(SecondExtraButtonText[item], nullptr);
        }
    }
    EXPECT_STREQ(FirstExtraButtonText[67], "Remove these effects from selection");
    EXPECT_STREQ(SecondExtraButtonText[67], "Play");
}

TEST_F(ActionTableTest, ListHeightOutsideItsRangeCountsAsTheDefault) {
    EXPECT_EQ(ListControlHeight(205), 205);
    EXPECT_EQ(ListControlHeight(100), 100);
    EXPECT_EQ(ListControlHeight(1000), 1000);
    EXPECT_EQ(ListControlHeight(99), kDefaultListHeight);
    EXPECT_EQ(ListControlHeight(1001), kDefaultListHeight);
    EXPECT_EQ(ListControlHeight(0), kDefaultListHeight);
    EXPECT_EQ(kDefaultListHeight, 205);
}

}  // namespace
