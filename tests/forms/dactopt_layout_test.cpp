// The layout of the action options dialog: where the two passes put each row's caption and
// control, frames, lists, radio groups, the inline table and the buttons, in pixels, for
// representative tool items. Text widths follow the class library's metrics (8-point
// "MS Sans Serif": "Maximum deviation per thousand:" is 168 pixels, a line 13).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/commands.h"
#include "core/host/access_state.h"
#include "core/host/finxess.h"
#include "core/host/host_info.h"
#include "forms/dxfcheckbox.h"
#include "forms/file_controls.h"
#include "forms/myedit.h"
#include "tests/forms/action_dialog_fixture.h"

namespace {

using namespace orvex;
using testsupport::ActionDialogTest;

std::string BoundsOf(const vcl::TControl* control) {
    if (control == nullptr) {
        return "(none)";
    }
    return std::to_string(control->Left()) + "," + std::to_string(control->Top()) + " " +
           std::to_string(control->Width()) + "x" + std::to_string(control->Height());
}

struct Expected {
    const char* what;
    const vcl::TControl* control;
    const char* bounds;
};

void ExpectBounds(const std::vector<Expected>& cases) {
    for (const Expected& c : cases) {
        EXPECT_EQ(BoundsOf(c.control), c.bounds) << c.what;
    }
}

class DialogLayoutTest : public ActionDialogTest {
protected:
    std::shared_ptr<TFMisc> m_context = InitToolContext();
};

// Item 2: a number and a check box. The panel starts at 8,8, so the first caption is at
// 17 - 8 = 9 and 20 - 8 + 2 = 14 on the panel; the rows are 25 apart; the label column is as
// wide as the widest caption + 5 (168 + 5), the controls 5 pixels right of it, an edit 3 and a
// check box 5 pixels above its caption, 19 high, a number edit as wide as "123456" (36).
TEST_F(DialogLayoutTest, PlainNumericToolLaysOutItsRowsAndButtons) {
    TDActOpt& dialog = Build(2, m_context.get());
    EXPECT_EQ(dialog.Caption(), "Remove extraneous beat chart elements 1.88d");
    EXPECT_EQ(dialog.ValueName(), "RemExBCEls");
    ExpectBounds({
        {"row 0 caption", dialog.RowLabel(0), "9,14 173x13"},
        {"row 1 caption", dialog.RowLabel(1), "9,39 173x13"},
        {"row 0 edit", dialog.RowControl(0), "187,11 36x19"},
        {"row 1 check box", dialog.RowControl(1), "187,34 36x19"},
        // The form keeps its designed width (439); the panel takes the rest: 439 - 8 - 6 - 10 + 6.
        {"panel", dialog.RowPanel, "8,8 421x60"},
        // Half an OK height below the panel, the row centred in the panel's width.
        {"OK", dialog.OKBtn, "73,80 75x25"},
        {"Cancel", dialog.CancelBtn, "156,80 75x25"},
        {"Defaults", dialog.DefaultBtn, "239,80 75x25"},
        {"Undo", dialog.UndoBtn, "322,82 41x12"},
        {"Redo", dialog.RedoBtn, "322,94 41x12"},
        {"After Go", dialog.AfterGoLabel, "8,113 44x13"},
    });
    EXPECT_EQ(dialog.RowLabel(0)->Caption(), "Maximum deviation per thousand:");
    EXPECT_EQ(dialog.RowLabel(1)->Caption(), "Enforce beat chart refresh?");
    EXPECT_EQ(dialog.RowLabel(0)->Alignment(), vcl::taRightJustify);
    EXPECT_EQ(dialog.Width(), 439);
    EXPECT_EQ(dialog.ClientHeight(), 132);
    EXPECT_EQ(dialog.OKBtn->Caption(), "&Go");
    EXPECT_FALSE(dialog.FurtherBtn->Visible());
    EXPECT_FALSE(dialog.btExtra1->Visible());
    EXPECT_EQ(dialog.RowControl(0)->Text(), "50");
    EXPECT_TRUE(dynamic_cast<TdxfCheckBox*>(dialog.RowControl(1))->Checked());
}

TEST_F(DialogLayoutTest, ShownDialogListsItsRowsInTheTranscript) {
    TDActOpt& dialog = Build(2, m_context.get());
    dialog.Show();
    static const std::vector<std::string> kExpected = {
        "[form] \"Remove extraneous beat chart elements 1.88d\" TDActOpt",
        "  button OKBtn \"&Go\"",
        "  button CancelBtn \"&Cancel\"",
        "  button DefaultBtn \"&Defaults\"",
        "  button UndoBtn \"&Undo\"",
        "  button RedoBtn \"&Redo\"",
        "  label Label1 \"After Go:\"",
        "  check box cbCollapse \"Collapse when inactive\": greyed",
        "  check box cbAutoClose \"Close\": unchecked",
        "  check box cbInactivate \"Inactivate\": greyed",
        "  row 0 \"Maximum deviation per thousand:\": edit \"50\"",
        "  row 1 \"Enforce beat chart refresh?\": check box checked",
    };
    testsupport::ExpectLines(kExpected, win::TranscriptLines());
}

// Item 35: a list of staves in row 0 under three header lines, and a further-options page.
// The header lines are centred labels across the panel; the list is as wide as 8/7 of its
// caption (128 -> 146), takes the left column (the captions move right by 146 + 10), starts 2
// pixels below its caption and reaches 5 pixels below the lowest caption.
TEST_F(DialogLayoutTest, StaffListInRowZeroTakesTheLeftColumn) {
    TDActOpt& dialog = Build(35, m_context.get());
    ASSERT_EQ(dialog.RowHeaders(0).size(), 3u);
    EXPECT_EQ(dialog.RowHeaders(0)[0]->Caption(),
              "This plug-in will intelligently explode the various parts of multi-");
    EXPECT_EQ(dialog.RowHeaders(0)[0]->Alignment(), vcl::taCenter);
    EXPECT_EQ(dialog.RowHeaders(0)[0]->Color(), vcl::clWhite);
    ExpectBounds({
        {"header 1", dialog.RowHeaders(0)[0], "0,12 536x13"},
        {"header 3", dialog.RowHeaders(0)[2], "0,38 536x13"},
        // 12 + 3 x 13 + 7 = 58, the caption 2 below.
        {"list caption", dialog.RowLabel(0), "9,60 133x13"},
        {"list", dialog.RowControl(0), "9,75 146x341"},
        // Row 0 moved on by the caption's height and a row: 58 + 13 + 25 = 96.
        {"row 1 caption", dialog.RowLabel(1), "165,98 324x13"},
        {"row 13 caption", dialog.RowLabel(13), "165,398 324x13"},
        {"row 13 check box", dialog.RowControl(13), "494,393 36x19"},
        // A narrow text edit ("Ignore layers") is as wide as a number edit.
        {"row 3 edit", dialog.RowControl(3), "494,145 36x19"},
        {"panel", dialog.RowPanel, "8,8 536x419"},
        {"further options", dialog.FurtherBtn, "326,439 100x25"},
    });
    EXPECT_EQ(dialog.RowLabel(0)->Alignment(), vcl::taLeftJustify);
    EXPECT_EQ(dialog.ListMarker(), MIN_STAFF_LIST);
    EXPECT_EQ(dialog.ListRow(), 0);
    EXPECT_TRUE(dialog.ListControl()->MultiSelect());
    EXPECT_TRUE(dialog.FurtherBtn->Visible());
    EXPECT_EQ(dialog.FurtherBtn->Caption(), "More ...");
    EXPECT_EQ(dialog.Width(), 554);  // 8 + 530 + 6 + 10
}

// Item 0: two lengths in the host's unit. The unit label is 30 wide, 5 right of the edit, 2
// lower and 4 less high; it sticks out of the controls' right edge (308) and the caption column
// can give up the room, so the caption narrows and the edit with its unit label moves left.
TEST_F(DialogLayoutTest, UnitEditsShowTheHostUnitBesideThem) {
    TDActOpt& dialog = Build(0, m_context.get());
    auto* shift = dynamic_cast<TMyEdit*>(dialog.RowControl(1));
    ASSERT_NE(shift, nullptr);
    ASSERT_NE(shift->UnitLabel(), nullptr);
    EXPECT_EQ(shift->Unit(), kUnitEvpu);
    EXPECT_EQ(shift->UnitLabel()->Caption(), "EVPUs");
    ExpectBounds({
        {"row 0 caption", dialog.RowLabel(0), "9,14 258x13"},
        {"row 0 edit (no unit)", dialog.RowControl(0), "272,11 36x19"},
        {"row 1 edit", shift, "272,36 36x19"},
        {"row 1 unit", shift->UnitLabel(), "313,38 30x15"},
    });
    EXPECT_EQ(shift->Text(), "85");
    EXPECT_EQ(dialog.FurtherBtn->Caption(), "Parentheses...");
}

TEST_F(DialogLayoutTest, UnitEditsStartInTheUnitOfTheHostsPreferences) {
    std::array<uint8_t, 61> preferences{};
    preferences[30] = 2;  // inches
    ASSERT_TRUE(SaveGlobalRecord(hostapi::MakeTag("pfgp"), 0, preferences.data(), 61));
    TDActOpt& dialog = Build(0, m_context.get());
    EXPECT_EQ(dialog.HostUnit(), 2);
    auto* shift = dynamic_cast<TMyEdit*>(dialog.RowControl(1));
    EXPECT_EQ(shift->UnitLabel()->Caption(), "inches");
    EXPECT_EQ(shift->Text(), "0.295");  // 85 EVPU, rounded down to thousandths of an inch
    // A unit outside 1..6 counts as EVPU.
    preferences[30] = 7;
    ASSERT_TRUE(SaveGlobalRecord(hostapi::MakeTag("pfgp"), 0, preferences.data(), 61));
    EXPECT_EQ(Build(0, m_context.get()).HostUnit(), 1);
}

// Item 29: a radio group in a column of its own (placement entry 0): the label column is
// stretched to 300 % and the group takes 60 % of it from the left, at the first caption's top,
// 5 x 20 + 10 high. The unit row's caption gives up the 35 pixels its unit label sticks out.
TEST_F(DialogLayoutTest, ColumnRadioGroupTakesTheStretchedLabelColumn) {
    TDActOpt& dialog = Build(29, m_context.get());
    auto* group = dynamic_cast<vcl::TRadioGroup*>(dialog.RowControl(5));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->Caption(), "Align");
    EXPECT_EQ(group->Items().Items(), (std::vector<std::string>{"to nearest element", "to farthest element",
                                                                "to average distance", "set to value on the right"}));
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_EQ(dialog.RowLabel(5), nullptr);
    auto* move = dynamic_cast<TMyEdit*>(dialog.RowControl(4));
    ExpectBounds({
        {"group", group, "9,14 219x110"},
        {"row 0 caption", dialog.RowLabel(0), "9,14 366x13"},
        {"row 0 check box", dialog.RowControl(0), "380,9 36x19"},
        {"row 4 caption, narrowed", dialog.RowLabel(4), "9,114 331x13"},
        {"row 4 edit, moved left", move, "345,111 36x19"},
        {"row 4 unit", move->UnitLabel(), "386,113 30x15"},
        // The group's rows end at 12 + 110 + 10 = 132 and its column 5 above that; the panel is
        // as high as its top (8) and that column together.
        {"panel", dialog.RowPanel, "8,8 422x135"},
    });
}

// Item 4: a radio group on its own line, its items in one row of columns, 25 pixels right of its
// hidden caption, 5 above it and as high as the caption made 20 pixels taller.
TEST_F(DialogLayoutTest, InlineRadioGroupTakesALineOfItsOwn) {
    TDActOpt& dialog = Build(4, m_context.get());
    auto* group = dynamic_cast<vcl::TRadioGroup*>(dialog.RowControl(2));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->Caption(), "Add after:");
    EXPECT_EQ(group->Columns(), 3);
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_FALSE(dialog.RowLabel(2)->Visible());
    ExpectBounds({
        {"group", group, "34,59 257x33"},
        // The row is 8 pixels taller than the others: 64 + 33 = 97 below, plus the panel's top.
        {"panel", dialog.RowPanel, "8,8 421x105"},
    });
}

// Item 8: frames around 6 rows (from row 7): 2 pixels above the running position, 6 x 25 + 8
// high; the rows inside move down 5 and the row after the frame 5 more. Rows whose check box is
// off are hidden.
TEST_F(DialogLayoutTest, FramesEncloseTheirRowsAndDependentRowsFollowTheirBoxes) {
    TDActOpt& dialog = Build(8, m_context.get());
    ASSERT_NE(dialog.RowFrame(7), nullptr);
    EXPECT_EQ(dialog.RowFrame(7)->Shape(), vcl::bsFrame);
    ExpectBounds({
        {"row 6 caption", dialog.RowLabel(6), "9,164 264x13"},
        {"frame", dialog.RowFrame(7), "0,185 421x158"},
        {"row 7 caption", dialog.RowLabel(7), "9,194 264x13"},
        {"row 12 caption", dialog.RowLabel(12), "9,319 264x13"},
        {"row 13 caption", dialog.RowLabel(13), "9,349 264x13"},
    });
    for (int32_t row = 0; row < 15; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        // Rows 2-6 follow row 1 (off), rows 8-12 row 7 (on), row 14 row 13 (off).
        const bool visible = !(row >= 2 && row <= 6) && row != 14;
        EXPECT_EQ(dialog.RowControl(row)->Visible(), visible);
        EXPECT_EQ(dialog.RowLabel(row)->Visible(), visible);
    }
}

// Item 40: the inline table. Each column's header is as wide as its letters "o" (6 pixels
// each); the headers stand in one line, 5 apart; an empty header is hidden and widens the one
// to its left ("maximum range" spans both pitch fields); a check box is centred under its
// header; the controls stand a row below the headers.
TEST_F(DialogLayoutTest, InlineTableHasOneColumnPerRow) {
    TDActOpt& dialog = Build(40, m_context.get());
    ExpectBounds({
        {"Instrument", dialog.RowLabel(0), "9,14 120x13"},
        {"oct.", dialog.RowLabel(1), "134,14 48x13"},
        {"maximum range", dialog.RowLabel(3), "240,14 101x13"},
        {"source", dialog.RowLabel(7), "452,14 48x13"},
        {"rules", dialog.RowLabel(10), "611,14 540x13"},
        {"staff column", dialog.RowControl(0), "9,37 108x19"},
        {"pitch", dialog.RowControl(3), "240,37 36x19"},
        {"second pitch", dialog.RowControl(4), "293,37 36x19"},
        {"source box", dialog.RowControl(7), "471,37 36x19"},
    });
    EXPECT_FALSE(dialog.RowLabel(4)->Visible());
    EXPECT_EQ(dialog.RowLabel(0)->Alignment(), vcl::taLeftJustify);
    EXPECT_TRUE(dynamic_cast<TMyEdit*>(dialog.RowControl(0))->ReadOnly());
    // One line per staff of the document, each a control high; the first column names the staff.
    EXPECT_EQ(dialog.TableColumns(), 11);
    EXPECT_EQ(dialog.TableLines(), 2);
    const std::vector<vcl::TControl*>& cells = dialog.InlineControls();
    ASSERT_EQ(cells.size(), 22u);
    EXPECT_EQ(cells[0], dialog.RowControl(0));
    EXPECT_EQ(cells[0]->Text(), "Flute");
    EXPECT_EQ(cells[11]->Text(), "Cello");
    EXPECT_EQ(BoundsOf(cells[14]), "240,56 36x19");
    EXPECT_EQ(cells[14]->Text(), "C4");
    EXPECT_EQ(dialog.RowControl(12), nullptr);
    // The panel reaches the second line's top: 8 + (14 + 13) + 2 x 19.
    EXPECT_EQ(dialog.RowPanel->Height(), 73);
}

// Item 67: the two extra buttons go 5 pixels below Redo: the first right-aligned with the
// further-options button, the second at OK's left.
TEST_F(DialogLayoutTest, ExtraButtonsOfThePlaybackTool) {
    TDActOpt& dialog = Build(67, m_context.get());
    EXPECT_TRUE(dialog.btExtra1->Visible());
    EXPECT_TRUE(dialog.btExtra2->Visible());
    EXPECT_EQ(dialog.btExtra1->Caption(), "Re&move these effects from selection");
    EXPECT_EQ(dialog.btExtra2->Caption(), "&Play");
    ExpectBounds({
        {"further options", dialog.FurtherBtn, "268,480 100x25"},
        {"Redo", dialog.RedoBtn, "376,494 41x12"},
        {"first extra", dialog.btExtra1, "167,511 201x25"},
        {"second extra", dialog.btExtra2, "19,511 75x25"},
    });
    // Three frames: rows 0 (7 rows), 7 (4) and 11 (6).
    EXPECT_EQ(BoundsOf(dialog.RowFrame(0)), "0,10 421x183");
    EXPECT_EQ(BoundsOf(dialog.RowFrame(7)), "0,195 421x108");
    EXPECT_EQ(BoundsOf(dialog.RowFrame(11)), "0,305 421x158");
}

TEST_F(DialogLayoutTest, WithoutAToolContextOKStaysOKAndUndoRedoAreHidden) {
    TDActOpt& dialog = Build(2);
    EXPECT_EQ(dialog.OKBtn->Caption(), "&OK");
    EXPECT_FALSE(dialog.UndoBtn->Visible());
    EXPECT_FALSE(dialog.RedoBtn->Visible());
    EXPECT_FALSE(dialog.cbCollapse->Visible());
    // OK, Cancel and Defaults centred: 8 + (421 - 241) / 2.
    EXPECT_EQ(BoundsOf(dialog.OKBtn), "98,80 75x25");
}

TEST_F(DialogLayoutTest, FontListHasNoRunButtons) {
    m_dialogs.emplace_back(vcl::Create<TDActOpt>(nullptr));
    TDActOpt& dialog = *m_dialogs.back();
    dialog.SetRunButtons(false);
    BuildActionDialog(dialog, 39, m_context.get(), 1, nullptr, {});
    EXPECT_FALSE(dialog.OKBtn->Visible());
    EXPECT_FALSE(dialog.DefaultBtn->Visible());
    EXPECT_FALSE(dialog.UndoBtn->Visible());
    EXPECT_FALSE(dialog.RedoBtn->Visible());
    EXPECT_EQ(dialog.CancelBtn->Caption(), "&Close");
    // Cancel alone, centred in the panel.
    EXPECT_EQ(dialog.CancelBtn->Left(), dialog.RowPanel->Left() + (dialog.RowPanel->Width() - 75) / 2);
    EXPECT_EQ(dialog.ListMarker(), MIN_FONT_LIST);
}

TEST_F(DialogLayoutTest, CaptionsEndInAColonUnlessTheyEndInOneOrAQuestionMark) {
    TDActOpt& dialog = Build(24, m_context.get());
    EXPECT_EQ(dialog.RowLabel(1)->Caption(), "Into layer:");
    EXPECT_EQ(dialog.RowLabel(4)->Caption(), "Cue name:");
    TDActOpt& beams = Build(8, m_context.get());
    EXPECT_EQ(beams.RowLabel(0)->Caption(), "Exclude all rests from beaming?");
    EXPECT_EQ(beams.RowLabel(10)->Caption(), "Break groups of four equal durations in two?");
    EXPECT_EQ(beams.RowLabel(8)->Caption(), "Break groups with total length of quarter notes into:");
    // An empty caption stays empty (item 40's second pitch column).
    EXPECT_EQ(Build(40, m_context.get()).RowLabel(4)->Caption(), "");
}

TEST_F(DialogLayoutTest, GermanDialogTakesTheGermanCaptions) {
    TheAccessLayer.host.language = 1;
    TDActOpt& dialog = Build(2, m_context.get());
    EXPECT_EQ(dialog.RowLabel(0)->Caption(), "Maximale Abweichung in Promille:");
    EXPECT_EQ(dialog.RowLabel(1)->Caption(), "Taktschlag-Tabelle erneuern?");
    EXPECT_EQ(dialog.OKBtn->Caption(), "&Start");
    EXPECT_EQ(dialog.Caption(), "Taktschlag-Tabellen optimieren 1.88d");
    dialog.Show();
    EXPECT_EQ(dialog.CancelBtn->Caption(), "&Abbrechen");
    EXPECT_EQ(dialog.UndoBtn->Caption(), "Widerr.");
    EXPECT_EQ(dialog.RedoBtn->Caption(), "Aufr.");
    EXPECT_EQ(dialog.DefaultBtn->Caption(), "Standard");
}

TEST_F(DialogLayoutTest, OptionSetTwoIsStoredUnderItsOwnName) {
    EXPECT_EQ(Build(5, m_context.get(), 2).ValueName(), "MoveSyllBtOne2");
    EXPECT_EQ(Build(5, m_context.get(), 1).ValueName(), "MoveSyllBtOne");
}

}  // namespace
