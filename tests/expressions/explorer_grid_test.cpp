// The explorer's grid: the layout arithmetic of both layouts, the cells as drawn on the canvas,
// the fitting of a text to its cell, and in-place editing (text, font, size, style letters,
// playback values, metatool keys, mass changes over a column range, New and Duplicate).
#include <gtest/gtest.h>

#include <regex>

#include "core/module.h"
#include "tests/expressions/explorer_fixture.h"

namespace {

using namespace orvex;
using exprtest::kExplorerScore;

class ExplorerGridTest : public exprtest::ExplorerTest {
protected:
    /// The TextRect lines drawn for a cell when it is painted now.
    std::vector<std::string> TextsDrawn(int32_t col, int32_t row) {
        vcl::TCanvas& canvas = m_form->Grid->Canvas();
        canvas.ClearLog();
        m_form->Grid->InvalidateCell(col, row);
        std::vector<std::string> lines;
        for (const std::string& line : canvas.Log()) {
            if (line.starts_with("TextRect")) {
                lines.push_back(line);
            }
        }
        return lines;
    }
    static std::string TextRect(const vcl::TRect& r, int32_t x, int32_t y, const std::string& text,
                                const std::string& font) {
        return "TextRect " + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) +
               "," + std::to_string(r.Bottom) + " " + std::to_string(x) + "," + std::to_string(y) + " \"" + text +
               "\" " + font + " clWindowText";
    }
    /// A score of `count` expressions "e1", "e2", ... in Arial.
    static std::string Expressions(int32_t count) {
        std::string score = "font 2 \"Arial\"\nstaff \"Flute\"\nmeasures 1\n";
        for (int32_t n = 1; n <= count; ++n) {
            score += "expression " + std::to_string(n) + " \"e" + std::to_string(n) + "\" font 2\n";
        }
        return score;
    }
};

TEST_F(ExplorerGridTest, TwoDimensionalItemsRunDownTheColumns) {
    TTextExprForm& form = Show(Expressions(10), true);
    form.Grid->SetHeight(180);  // (180 - 24) / 37 + 1 = 5 rows: four items a column
    form.Relayout(0);
    EXPECT_EQ(form.Grid->RowCount(), 5);
    EXPECT_EQ(form.Grid->ColCount(), 4);
    EXPECT_EQ(form.Grid->ColWidths(1), (553 - 40 - 4) / 5 - 1);
    // Every cell: the item it draws (a = 1), "-" for none (item 11 is the empty slot), and "x" where
    // selecting item (column - 1) x 4 + row focuses it (items 0 and 13 have no cell).
    std::string drawn;
    std::string focused;
    for (int32_t row = 0; row < 5; ++row) {
        drawn += row > 0 ? " " : "";
        focused += row > 0 ? " " : "";
        for (int32_t col = 0; col < 4; ++col) {
            const bool cell = form.DrawCell().Setup(col, row, false, true);
            drawn += cell ? static_cast<char>('a' + form.DrawCell().Index) : '-';
            form.SelectItem(col == 0 ? 0 : row == 0 ? 13 : (col - 1) * 4 + row);
            focused += form.Grid->Col() == col && form.Grid->Row() == row ? 'x' : '-';
        }
    }
    EXPECT_EQ(drawn, "---- -aei -bfj -cg- -dh-");
    EXPECT_EQ(focused, "---- -xxx -xxx -xxx -xxx");
    // Item 11 is the empty slot: no record until something is typed there.
    EXPECT_FALSE(form.DrawCell().Setup(3, 3, false, true));
    EXPECT_EQ(form.DrawCell().Index, 10);
    // A grid too low for one item a column keeps a row for one: ten items and the slot.
    form.Grid->SetHeight(40);
    form.Relayout(0);
    EXPECT_EQ(form.Grid->RowCount(), 2);
    EXPECT_EQ(form.Grid->ColCount(), 12);
}

TEST_F(ExplorerGridTest, EmptyTableHasTheHeaderAndTheEmptySlot) {
    TTextExprForm& form = Show("staff \"Flute\"\nmeasures 1\n", false);
    EXPECT_EQ(form.Grid->RowCount(), 2);
    form.xTwoDim->SetChecked(true);
    EXPECT_EQ(form.Grid->ColCount(), 2);
}

TEST_F(ExplorerGridTest, CellsOfARowAndItsHeader) {
    TTextExprForm& form = Show(kExplorerScore, false);
    struct Case {
        int32_t kind;
        const char* header;
        const char* row1;  ///< "dolce": Arial 12, bold, key 'A', not placed yet counted
    };
    const Case cases[] = {
        {kKindFont, "Font", "Arial"},    {kKindSize, "siz", "12"},     {kKindFirstStyle, "B", "B"}, {5, "I", ""},
        {kKindPlayback, "playback", ""}, {kKindMetatool, "meta", "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const int32_t col = ColumnOf(c.kind);
        ASSERT_GT(col, 0);
        form.Grid->SetLeftCol(col);
        const vcl::TRect header = form.Grid->CellRect(col, 0);
        EXPECT_EQ(TextsDrawn(col, 0),
                  (std::vector<std::string>{
                      TextRect(header, header.Left + 5, header.Top + (24 - 17) / 2, c.header, "MS Sans Serif 10")}));
        const vcl::TRect cell = form.Grid->CellRect(col, 1);
        std::vector<std::string> expected;
        if (*c.row1 != '\0') {
            expected.push_back(
                TextRect(cell, cell.Left + 5, cell.Top + (cell.Height() - 17) / 2, c.row1, "MS Sans Serif 10"));
        }
        EXPECT_EQ(TextsDrawn(col, 1), expected);
    }
    form.Grid->SetLeftCol(1);
    // Row heights follow the expression's size: 12 points are 16 pixels, and 4 more.
    EXPECT_EQ(form.Grid->RowHeights(1), 20);
    // The expression in its own font, a quarter of its size in from the left; the metatool key
    // at 6 points in the top right corner ('A' is 5 pixels wide there).
    const vcl::TRect text = form.Grid->CellRect(1, 1);
    EXPECT_EQ(TextsDrawn(1, 1), (std::vector<std::string>{
                                    TextRect(text, text.Left + 3, text.Top, "dolce", "Arial 12 bold"),
                                    TextRect(text, text.Right - 5 - 1, text.Top, "A", "MS Sans Serif 6"),
                                }));
    const vcl::TRect number = form.Grid->CellRect(0, 2);
    EXPECT_EQ(TextsDrawn(0, 2),
              (std::vector<std::string>{
                  TextRect(number, number.Left, number.Top + (number.Height() - 17) / 2, " 2", "MS Sans Serif 10")}));
}

TEST_F(ExplorerGridTest, ATwoWordTextBreaksAtTheLastSpaceThatFits) {
    // Six columns are 83 pixels wide; "molto espressivo" in Arial 8 needs 4 + 87.
    Show("font 2 \"Arial\"\nstaff \"Flute\"\nmeasures 1\nexpression 1 \"molto espressivo\" font 2 size 8\n", true);
    ASSERT_EQ(m_form->xColCount->Items().Count(), 13);  // "1 column" to "12 columns", "adjust width"
    m_form->xColCount->SetText(m_form->xColCount->Items()[5]);
    const vcl::TRect cell = m_form->Grid->CellRect(1, 1);
    EXPECT_EQ(TextsDrawn(1, 1), (std::vector<std::string>{
                                    TextRect(cell, cell.Left + 2, cell.Top, "molto", "Arial 8"),
                                    TextRect(cell, cell.Left + 2, cell.Top + 13, "espressivo", "Arial 8"),
                                }));
}

TEST_F(ExplorerGridTest, AWideTextShrinksOrWidensItsColumn) {
    Show("font 2 \"Arial\"\nstaff \"Flute\"\nmeasures 1\nexpression 1 \"pianississimo\" font 2 size 12\n", true);
    const std::vector<std::string> shrunk = TextsDrawn(1, 1);
    ASSERT_EQ(shrunk.size(), 1u);
    std::smatch size;
    ASSERT_TRUE(std::regex_search(shrunk[0], size, std::regex("\"pianississimo\" Arial (\\d+) clWindowText")));
    EXPECT_LT(std::stoi(size[1]), 12);
    // With "adjust width" the column grows to the text instead.
    const int32_t width = m_form->Grid->ColWidths(1);
    m_form->xColCount->SetText("adjust width");
    EXPECT_FALSE(m_form->xShrinkToFit->Checked());
    TextsDrawn(1, 1);
    EXPECT_GT(m_form->Grid->ColWidths(1), width);
}

TEST_F(ExplorerGridTest, TypedMetatoolKeyIsUpperCaseAndTakenFromItsHolder) {
    Show(kExplorerScore, false);
    const int32_t col = ColumnOf(kKindMetatool);
    Editor().ClickCell(col, 2);
    m_form->Grid->PressKey('B');  // "b": the key opens the editor with its character
    ASSERT_TRUE(Editor().EditorMode());
    Editor().Editor().PressKey(win::VK_RETURN);
    EXPECT_FALSE(Editor().EditorMode());
    EXPECT_EQ(Record(1).MetatoolKey, 'B');
    EXPECT_EQ(Record(1).ExtraFlags, 1);
    EXPECT_EQ(Record(2).MetatoolKey, 0);
    EXPECT_EQ(Record(0).MetatoolKey, 'A');
    EXPECT_EQ(Record(1).Modified, 1);
    EXPECT_EQ(m_form->State().ChangedCount, 1);
}

// Letters, digits (48-90) and the number pad (96-111) switch editing on over a cell that takes
// typing; other keys do not, nor does any key over a style letter.
TEST_F(ExplorerGridTest, TypingKeysSwitchEditingOnOverEditableCells) {
    const std::pair<uint16_t, bool> keys[] = {{47, false}, {48, true}, {90, true},  {91, false},
                                              {95, false}, {96, true}, {111, true}, {112, false}};
    for (const int32_t kind : {kKindText, kKindSize, kKindMetatool, kKindFirstStyle}) {
        for (const auto& [key, switches] : keys) {
            SCOPED_TRACE("kind " + std::to_string(kind) + ", key " + std::to_string(key));
            Show(kExplorerScore, false);
            Editor().ClickCell(ColumnOf(kind), 2);
            m_form->Grid->PressKey(key);
            EXPECT_EQ(Editor().Editing(), switches && kind != kKindFirstStyle);
        }
    }
}

TEST_F(ExplorerGridTest, SizeColumnTakesNumbersWithinAByte) {
    Show(kExplorerScore, false);
    Editor().ClickCell(ColumnOf(kKindSize), 1);
    m_form->Grid->PressKey(win::VK_F2);
    ASSERT_TRUE(Editor().EditorMode());
    EXPECT_EQ(Editor().Editor().Text(), "12");
    const std::pair<const char*, int32_t> cases[] = {{"300", 255}, {"forte", 11}, {"9", 9}};
    for (const auto& [typed, size] : cases) {
        SCOPED_TRACE(typed);
        Type(typed);
        EXPECT_EQ(Record(0).FontSize(), size);
        EXPECT_EQ(m_form->State().NewFontSize, size);
    }
    EXPECT_EQ(Record(0).FontNumber(), 2);
}

TEST_F(ExplorerGridTest, ValueTypedOverAColumnRangeGoesIntoEveryRow) {
    Show(kExplorerScore, false);
    const int32_t col = ColumnOf(kKindSize);
    Editor().DragCells(col, 1, col, 3);
    m_form->Grid->PressKey(win::VK_F2);
    Type("14");
    for (int32_t position = 0; position < 3; ++position) {
        EXPECT_EQ(Record(position).FontSize(), 14) << position;
        EXPECT_EQ(Record(position).Modified, 1) << position;
    }
    EXPECT_EQ(m_form->State().ChangedCount, 3);
}

TEST_F(ExplorerGridTest, StyleLettersToggleByClickAndOverARange) {
    Show(kExplorerScore, false);
    const int32_t col = ColumnOf(kKindFirstStyle);
    Editor().ClickCell(col, 2);
    EXPECT_EQ(Record(1).Style(), 1);
    Editor().ClickCell(col, 2);
    EXPECT_EQ(Record(1).Style(), 0);
    // A drag toggles the rows it selects, the first (bold to plain) and the last (plain to
    // bold), and the release gives the whole range the last row's bit.
    Editor().DragCells(col, 1, col, 3);
    for (int32_t position = 0; position < 3; ++position) {
        EXPECT_EQ(Record(position).Style(), 1) << position;
    }
    // Space: every row gets the inverse of the focused row's bit.
    m_form->Grid->PressKey(win::VK_SPACE);
    for (int32_t position = 0; position < 3; ++position) {
        EXPECT_EQ(Record(position).Style(), 0) << position;
    }
}

TEST_F(ExplorerGridTest, EscapeInTheEditorRestoresTheText) {
    Show(kExplorerScore, false);
    Editor().ClickCell(1, 1);
    m_form->Grid->PressKey(win::VK_F2);
    Type("dolcissimo");
    EXPECT_EQ(Record(0).Text, "dolcissimo");
    Editor().Editor().PressKey(win::VK_ESCAPE);
    EXPECT_EQ(Record(0).Text, "dolce");
    EXPECT_FALSE(Editor().EditorMode());
    EXPECT_TRUE(m_form->Visible());  // Escape in the editor does not cancel the explorer
}

TEST_F(ExplorerGridTest, SecondClickOnTheFontCellOpensTheFontList) {
    Show(kExplorerScore, false);
    const int32_t col = ColumnOf(kKindFont);
    Editor().ClickCell(col, 1);
    EXPECT_FALSE(m_form->FontBox->Visible());
    Editor().ClickCell(col, 1);
    ASSERT_TRUE(m_form->FontBox->Visible());
    EXPECT_EQ(m_form->FontBox->Text(), "Arial");
    EXPECT_NE(m_form->FontBox->Items().IndexOf("Times New Roman"), -1);
    EXPECT_EQ(m_form->FontBox->UserSet("Times New Roman"), "");
    EXPECT_EQ(Record(0).FontNumber(), 3);
    EXPECT_EQ(Record(0).FontSize(), 12);
    EXPECT_EQ(m_form->State().NewFontName, "Times New Roman");
    // A name typed into the list counts with Enter only; a new one joins the list.
    const std::vector<std::string> fonts = m_form->FontBox->Items().Items();
    m_form->FontBox->SetText("Courier New");
    m_form->FontBox->PressKey(win::VK_F2);
    EXPECT_EQ(Record(0).FontNumber(), 3);
    m_form->FontBox->PressKey(win::VK_RETURN);
    EXPECT_FALSE(m_form->FontBox->Visible());
    EXPECT_EQ(Record(0).FontNumber(), 4);
    EXPECT_EQ(m_form->State().NewFontName, "Courier New");
    std::vector<std::string> more = fonts;
    more.push_back("Courier New");
    EXPECT_EQ(m_form->FontBox->Items().Items(), more);
    m_form->FontBox->SetText(fonts[0]);  // the first of the list: it is not listed again
    m_form->FontBox->PressKey(win::VK_RETURN);
    EXPECT_EQ(m_form->FontBox->Items().Items(), more);
}

TEST_F(ExplorerGridTest, PlaybackValuesStayWithinTheirLimits) {
    // Kind 2 is key velocity (a word from 0 to 127); kind 3 transpose (may be negative); kind 1
    // tempo has its first value at byte 2 (up to 16384) and its second at byte 0 (up to 1000).
    struct Case {
        int32_t flags;
        int32_t param;
        const char* typed;
        int16_t word4;
        int16_t word6;
    };
    const Case cases[] = {
        {2, 0, "300", 127, 0}, {2, 0, "-5", 0, 0},      {3, 0, "-500", -127, 0},
        {1, 0, "120", 0, 120}, {1, 1, "2000", 1000, 0}, {1, 2, "9", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Show("font 2 \"Arial\"\nstaff \"Flute\"\nmeasures 1\nexpression 1 \"f\" font 2 flags " +
                 std::to_string(c.flags) + "\n",
             false);
        const int32_t col = ColumnOf(kKindFirstParam + c.param);
        ASSERT_GT(col, 0);
        Editor().ClickCell(col, 1);
        m_form->Grid->PressKey(win::VK_F2);
        if (c.param == 2) {
            EXPECT_FALSE(Editor().EditorMode());  // tempo has two values
            continue;
        }
        Type(c.typed);
        EXPECT_EQ(static_cast<int16_t>(Record(0).Word4()), c.word4);
        EXPECT_EQ(Record(0).Word6(), c.word6);
    }
}

// Only the kinds 1-8 and the MIDI status kinds 0xB0-0xEF have playback parameters: for any other
// kind the parameter cells stay empty and typing into them writes no parameter bytes.
TEST_F(ExplorerGridTest, KindsWithoutParametersShowAndWriteNone) {
    EXPECT_EQ(PlaybackTypeIndex(8), 7);
    EXPECT_EQ(PlaybackTypeIndex(0xB0), 8);
    EXPECT_EQ(PlaybackTypeIndex(0xEF), 11);
    for (const int32_t kind : {9, 12, 15, 16, 100, 0xA0, 0xAF, 0xF0, 0xFF}) {
        SCOPED_TRACE("kind " + std::to_string(kind));
        EXPECT_EQ(PlaybackTypeIndex(kind), -1);
        Show("font 2 \"Arial\"\nstaff \"Flute\"\nmeasures 1\nexpression 1 \"f\" font 2 flags " + std::to_string(kind) +
                 "\n",
             false);
        const int32_t col = ColumnOf(kKindFirstParam);
        ASSERT_GT(col, 0);
        EXPECT_TRUE(TextsDrawn(col, 1).empty());
        Editor().ClickCell(col, 1);
        m_form->Grid->PressKey(win::VK_F2);
        Type("50");
        EXPECT_EQ(Record(0).Word4(), 0);
        EXPECT_EQ(Record(0).Word6(), 0);
    }
}

TEST_F(ExplorerGridTest, NewExpressionTypedIntoTheEmptySlotIsWrittenOnOk) {
    Show(kExplorerScore, false);
    m_form->NewBtnClick(m_form.get());
    EXPECT_EQ(m_form->Grid->Row(), 4);
    m_form->Grid->PressKey(win::VK_F2);
    Type("tutti");
    EXPECT_EQ(TextExpressionTable().ExpressionCount(), 4);
    EXPECT_EQ(m_form->Grid->RowCount(), 6);
    EXPECT_EQ(Record(3).FontWord(), (11 << 8) | 3);  // no size chosen yet: Times New Roman 11
    // The size last chosen for a text font goes to the next new expression.
    Editor().ClickCell(ColumnOf(kKindSize), 1);
    m_form->Grid->PressKey(win::VK_F2);
    Type("14");
    m_form->NewBtnClick(m_form.get());
    m_form->Grid->PressKey(win::VK_F2);
    Type("solo");
    EXPECT_EQ(Record(4).FontWord(), (14 << 8) | 3);
    Close(true);
    EXPECT_EQ(StoredText(4), "tutti");
    EXPECT_EQ(StoredText(5), "solo");
    EXPECT_EQ(TextExpressionTable().Written(), true);
}

TEST_F(ExplorerGridTest, EscapeInTheEmptySlotLeavesNoExpression) {
    Show(kExplorerScore, false);
    m_form->NewBtnClick(m_form.get());
    const int32_t rows = m_form->Grid->RowCount();
    m_form->Grid->PressKey(win::VK_F2);
    ASSERT_TRUE(Editor().EditorMode());
    // Typing makes the new expression at once; Escape takes it away again.
    Type("tut");
    ASSERT_EQ(TextExpressionTable().ExpressionCount(), 4);
    Editor().Editor().PressKey(win::VK_ESCAPE);
    EXPECT_FALSE(Editor().EditorMode());
    EXPECT_EQ(TextExpressionTable().ExpressionCount(), 3);
    EXPECT_EQ(m_form->Grid->RowCount(), rows);
    EXPECT_EQ(m_form->State().ChangedCount, 0);
    Close(true);
    EXPECT_EQ(StoredText(4), "<none>");
    EXPECT_FALSE(TextExpressionTable().Written());
}

TEST_F(ExplorerGridTest, ANewMetatoolKeyTakesTheOldKeysRecordAway) {
    orvex::TheModule.options.ExplorerMetatoolKey = 0;  // OK gives no key of its own to the expression in focus
    Show(kExplorerScore, false);
    const int32_t col = ColumnOf(kKindMetatool);
    Editor().ClickCell(col, 1);  // "dolce", key 'A'
    m_form->Grid->PressKey('C');
    ASSERT_TRUE(Editor().EditorMode());
    Editor().Editor().PressKey(win::VK_RETURN);
    EXPECT_EQ(Record(0).MetatoolKey, 'C');
    Close(true);
    EXPECT_EQ(StoredWord(host::RecordKey::Other(exprtest::kTagMetatool, 'C', 0), 0), 1);
    // The old shortcut no longer inserts "dolce"; "arco" keeps 'B'.
    EXPECT_FALSE(HasRecord(exprtest::kTagMetatool, 'A'));
    EXPECT_EQ(StoredWord(host::RecordKey::Other(exprtest::kTagMetatool, 'B', 0), 0), 3);
}

TEST_F(ExplorerGridTest, DuplicateCopiesTheFocusedExpressionWithoutItsKey) {
    Show(kExplorerScore, true);
    m_form->SelectItem(1);
    m_form->DuplicateBtnClick(m_form.get());
    ASSERT_EQ(TextExpressionTable().ExpressionCount(), 4);
    const TTxtExprRec& copy = Record(3);
    EXPECT_EQ(copy.Number, 4);
    EXPECT_EQ(copy.MovedTo, 4);
    EXPECT_EQ(copy.Text, "dolce");
    EXPECT_EQ(copy.Style(), 1);
    EXPECT_EQ(copy.MetatoolKey, 0);
    EXPECT_EQ(copy.Modified, 1);
    EXPECT_EQ(Record(0).MetatoolKey, 'A');
    Close(true);
    EXPECT_EQ(StoredText(4), "dolce");
}

}  // namespace
