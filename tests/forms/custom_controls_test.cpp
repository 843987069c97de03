// The custom controls: TMyEdit's conversions between its unit and EVPU in both directions,
// its unit label, TCourierEdit, TdxfCheckBox's groups, sizes and painting, the shared images,
// and MyDrawGrid's cell repaint.
#include <gtest/gtest.h>

#include <memory>

#include "forms/dxfcheckbox.h"
#include "forms/dxfres.h"
#include "forms/mydrawgrid.h"
#include "forms/myedit.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/sysutils.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using orvex::TMyEdit;

class CustomControlsTest : public testsupport::DesktopTest {
protected:
    void TearDown() override {
        ExpectNothingLeft();
        vcl::FormatSettings.DecimalSeparator = '.';
        testsupport::DesktopTest::TearDown();
    }
};

struct ConversionCase {
    int32_t unit;
    char separator;
    const char* shown;  ///< the edit's text
    const char* evpu;   ///< GetMyText
};

class GetMyTextTest : public CustomControlsTest, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(GetMyTextTest, ShownLengthReadsAsEvpu) {
    vcl::FormatSettings.DecimalSeparator = GetParam().separator;
    TMyEdit edit(nullptr, GetParam().unit);
    edit.SetText(GetParam().shown);
    EXPECT_EQ(edit.GetMyText(), GetParam().evpu) << GetParam().unit << " " << GetParam().shown;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Units, GetMyTextTest, ::testing::Values(
    ConversionCase{orvex::kUnitInches, '.', "1", "288"},
    ConversionCase{orvex::kUnitInches, '.', "-0.5", "-144"},
    ConversionCase{orvex::kUnitCentimeters, '.', "0.881", "100"},   // 99.888
    ConversionCase{orvex::kUnitCentimeters, '.', "1", "113"},       // 113.38
    ConversionCase{orvex::kUnitPoints, '.', "0.125", "1"},          // 0.5 rounds away from zero
    ConversionCase{orvex::kUnitPoints, '.', "-0.125", "-1"},
    ConversionCase{orvex::kUnitPicas, '.', " 2 ", "96"},
    ConversionCase{orvex::kUnitSpaces, '.', "0.5", "12"},
    ConversionCase{orvex::kUnitInches, ',', "1,5", "432"},          // the locale's separator
    ConversionCase{orvex::kUnitInches, ',', "1.5", "432"},          // and the point
    ConversionCase{orvex::kUnitInches, '.', "1,5", "0"},            // not a number here
    ConversionCase{orvex::kUnitInches, '.', "lots", "0"},
    ConversionCase{orvex::kUnitInches, '.', "", "0"},
    ConversionCase{orvex::kUnitInches, '.', "99999999999", "2147483647"},
    ConversionCase{orvex::kUnitEvpu, '.', "12.5x", "12.5x"},        // EVPUs and plain text unchanged
    ConversionCase{orvex::kUnitPlainText, '.', "Times", "Times"}
),
    testsupport::NameBy("unit", &ConversionCase::unit, "separator", &ConversionCase::separator, &ConversionCase::shown, testsupport::kCaseIndex));
// clang-format on

class SetMyTextTest : public CustomControlsTest, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(SetMyTextTest, EvpuIsShownInTheUnitRoundedDown) {
    vcl::FormatSettings.DecimalSeparator = GetParam().separator;
    TMyEdit edit(nullptr, GetParam().unit);
    edit.SetMyText(GetParam().evpu);
    EXPECT_EQ(edit.Text(), GetParam().shown) << GetParam().unit << " " << GetParam().evpu;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Units, SetMyTextTest, ::testing::Values(
    ConversionCase{orvex::kUnitCentimeters, '.', "0.881", "100"},   // 0.88199..., not 0.882
    ConversionCase{orvex::kUnitCentimeters, '.', "-0.882", "-100"}, // down is towards minus infinity
    ConversionCase{orvex::kUnitCentimeters, '.', "50", "5669"},     // exactly 50, no 49.999
    ConversionCase{orvex::kUnitInches, '.', "1", "288"},
    ConversionCase{orvex::kUnitInches, ',', "-0,5", "-144"},
    ConversionCase{orvex::kUnitPoints, '.', "0.25", "1"},
    ConversionCase{orvex::kUnitSpaces, '.', "0.541", "13"},
    ConversionCase{orvex::kUnitPicas, '.', "0", "seven"},
    ConversionCase{orvex::kUnitEvpu, '.', "seven", "seven"}
),
    testsupport::NameBy("unit", &ConversionCase::unit, "separator", &ConversionCase::separator, &ConversionCase::evpu, testsupport::kCaseIndex));
// clang-format on

struct TUnitForm : vcl::TForm {
    explicit TUnitForm(vcl::TComponent* owner) : vcl::TForm(owner) {
        Edit = new TMyEdit(this, orvex::kUnitInches);
        Edit->SetParent(this);
        Edit->SetBounds(10, 20, 121, 21);
        Edit->SetText("1");
    }
    TMyEdit* Edit;
};

TEST_F(CustomControlsTest, UnitLabelSitsBesideTheEditAndCyclesTheUnits) {
    std::unique_ptr<TUnitForm> form(vcl::Create<TUnitForm>(nullptr));
    TMyEdit& edit = *form->Edit;
    edit.MakeUnitLabel(30);
    vcl::TStaticText* label = edit.UnitLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->BoundsRect(), vcl::Bounds(136, 22, 30, 17));
    EXPECT_EQ(label->Parent(), form.get());
    EXPECT_EQ(label->Owner(), &edit);  // not one of the form's components: remembered states keep their indexes
    EXPECT_EQ(form->ComponentCount(), 1);
    EXPECT_EQ(label->BorderStyle(), vcl::sbsSunken);
    EXPECT_EQ(label->Caption(), "inches");

    static const std::vector<std::pair<std::string, std::string>> kCycle = {
        {"cm", "2.54"}, {"points", "72"}, {"picas", "6"}, {"spaces", "12"}, {"EVPUs", "288"}, {"inches", "1"}};
    for (const auto& [unit, shown] : kCycle) {
        label->Click();
        EXPECT_EQ(label->Caption(), unit);
        EXPECT_EQ(edit.Text(), shown) << unit;
    }
    EXPECT_EQ(edit.Unit(), orvex::kUnitInches);
    EXPECT_EQ(label->Width(), 40);  // widened for "points" (36 + 4) and never narrowed again

    TMyEdit plain(nullptr);
    plain.SetText("keep");
    plain.MyEditOnClick(&plain);
    EXPECT_EQ(plain.Unit(), orvex::kUnitPlainText);
    EXPECT_EQ(plain.Text(), "keep");
    EXPECT_THROW(plain.SetUnit(7), std::out_of_range);
}

TEST_F(CustomControlsTest, CourierEditIsAPlainTextEditInCourierNew) {
    orvex::TCourierEdit edit(nullptr);
    EXPECT_EQ(edit.Unit(), orvex::kUnitPlainText);
    EXPECT_EQ(edit.Font().Name(), "Courier New");
    edit.SetMyText("12.5 x");
    EXPECT_EQ(edit.GetMyText(), "12.5 x");
}

struct TBoxForm : vcl::TForm {
    explicit TBoxForm(vcl::TComponent* owner) : vcl::TForm(owner) {
        for (const char* name : {"A", "B", "C"}) {
            auto* box = new orvex::TdxfCheckBox(this);
            box->SetName(name);
            box->SetParent(this);
            box->SetCaption("Enable");
            box->OnClick = [this, name](vcl::TObject*) { clicks += name; };
            boxes.push_back(box);
        }
    }
    std::vector<orvex::TdxfCheckBox*> boxes;
    std::string clicks;
};

TEST_F(CustomControlsTest, DxfCheckBoxGroupsKeepOneBoxChecked) {
    std::unique_ptr<TBoxForm> form(vcl::Create<TBoxForm>(nullptr));
    auto& a = *form->boxes[0];
    auto& b = *form->boxes[1];
    auto& c = *form->boxes[2];
    a.SetGroupIndex(1);
    b.SetGroupIndex(1);
    a.SetAllowAllUp(false);
    b.SetAllowAllUp(false);
    a.Click();
    b.Click();
    c.Click();  // group 0: on its own
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(b.Checked());
    EXPECT_TRUE(c.Checked());
    b.Click();  // the checked box of the group stays checked, and its click still runs
    EXPECT_TRUE(b.Checked());
    EXPECT_EQ(form->clicks, "ABCB");

    b.SetAllowAllUp(true);
    b.SetChecked(false);
    EXPECT_FALSE(b.Checked());
    c.SetGroupIndex(-1);  // a negative group never lets its box up
    c.SetChecked(false);
    EXPECT_TRUE(c.Checked());
}

TEST_F(CustomControlsTest, DxfCheckBoxSizesItselfAndCutsItsStyle) {
    std::unique_ptr<TBoxForm> form(vcl::Create<TBoxForm>(nullptr));
    auto& box = *form->boxes[0];
    EXPECT_EQ(box.Width(), 13 + 34 + 2);  // image, "Enable", gap
    EXPECT_EQ(box.Height(), 15);          // "Wg" + 2 is higher than the image
    box.SetStyle(99);
    EXPECT_EQ(box.Style(), orvex::kCheckBoxStyles);
    box.SetStyle(0);
    EXPECT_EQ(box.Style(), 1);
    box.SetCheckedBmp(vcl::TBitmap("GLYPH", 20, 18));
    EXPECT_EQ(box.Width(), 20 + 34 + 2);
    EXPECT_EQ(box.Height(), 18);
    box.SetAutoSize(false);
    box.SetCaption("A much longer caption");
    EXPECT_EQ(box.Width(), 56);
}

TEST_F(CustomControlsTest, DxfCheckBoxPaintsItsImageAndCaption) {
    std::unique_ptr<TBoxForm> form(vcl::Create<TBoxForm>(nullptr));
    auto& box = *form->boxes[1];
    form->Show();
    box.Canvas().ClearLog();
    box.SetStyle(2);
    box.SetChecked(true);  // checked, style 2: image 5 of the strip
    EXPECT_EQ(box.Canvas().Log().back(), "TextOut 15,1 \"Enable\" MS Sans Serif 8 clWindowText");
    EXPECT_EQ(box.Canvas().Log()[box.Canvas().Log().size() - 2], "Draw 0,1 CHECKBOX 65,0,78,13 transparent");

    box.SetAlignment(orvex::taLeftJustify);
    box.Canvas().ClearLog();
    box.SetEnabled(false);  // checked disabled: image 7, the caption twice
    static const std::vector<std::string> kDisabled = {
        "FillRect 0,0,49,15 clBtnFace",
        "Draw 34,1 CHECKBOX 91,0,104,13 transparent",
        "TextOut 1,2 \"Enable\" MS Sans Serif 8 clWhite",
        "TextOut 0,1 \"Enable\" MS Sans Serif 8 clGray",
    };
    testsupport::ExpectLines(kDisabled, box.Canvas().Log());

    box.SetEnabled(true);
    box.SetFocus();
    EXPECT_EQ(box.Canvas().Log().back(), "DrawFocusRect -1,0,35,15");
}

TEST_F(CustomControlsTest, DxfCheckBoxClicksOnSpaceAndDoubleClick) {
    std::unique_ptr<TBoxForm> form(vcl::Create<TBoxForm>(nullptr));
    form->Show();
    auto& box = *form->boxes[2];
    box.SetFocus();
    // The space bar as the keyboard gives it: the box clicks when the key comes up.
    win::QueueUserKey(win::VK_SPACE, false, false, false);
    win::RunMessageLoop();
    EXPECT_TRUE(box.Checked());
    box.DblClick();
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(form->clicks, "CC");
    EXPECT_EQ(box.UserSet("1"), "");
    EXPECT_EQ(box.UserSet("2"), "not a check box state: \"2\"");
}

TEST_F(CustomControlsTest, SharedImagesLiveWhileABoxUsesThem) {
    EXPECT_EQ(orvex::Dxfres::UseCount(), 0);
    EXPECT_THROW(orvex::Dxfres::CheckBoxStrip(), std::logic_error);
    {
        orvex::TdxfCheckBox first(nullptr);
        orvex::TdxfCheckBox second(nullptr);
        EXPECT_EQ(orvex::Dxfres::UseCount(), 2);
        EXPECT_EQ(orvex::Dxfres::StyleCount(), 3);
        EXPECT_EQ(orvex::Dxfres::CheckBoxStrip().ResourceName(), "CHECKBOX");
        EXPECT_EQ(orvex::Dxfres::FontImages().Count(), 2);
    }
    EXPECT_EQ(orvex::Dxfres::UseCount(), 0);
}

TEST_F(CustomControlsTest, GridRepaintsOneCellWhenItIsInSight) {
    struct TGridForm : vcl::TForm {
        explicit TGridForm(vcl::TComponent* owner) : vcl::TForm(owner) {
            Grid = new orvex::MyDrawGrid(this);
            Grid->SetParent(this);
            Grid->OnDrawCell = [this](vcl::TObject*, int32_t col, int32_t row, vcl::TRect, vcl::TGridDrawState state) {
                drawn.push_back(std::to_string(col) + "," + std::to_string(row) + "/" + std::to_string(state));
            };
        }
        orvex::MyDrawGrid* Grid;
        std::vector<std::string> drawn;
    };
    std::unique_ptr<TGridForm> form(vcl::Create<TGridForm>(nullptr));
    form->Grid->InvalidateCell(2, 2);
    EXPECT_TRUE(form->drawn.empty());  // nothing is painted before the form shows
    form->Show();
    form->drawn.clear();
    form->Grid->InvalidateCell(2, 3);
    form->Grid->InvalidateCell(1, 1);
    form->Grid->InvalidateCell(0, 1);
    EXPECT_EQ(form->drawn, (std::vector<std::string>{"2,3/0", "1,1/3", "0,1/4"}));
    EXPECT_EQ(form->Grid->CellRect(2, 3), vcl::Bounds(130, 75, 64, 24));
    form->Grid->SetRowCount(40);
    form->drawn.clear();
    form->Grid->InvalidateCell(1, 30);  // scrolled out of sight
    EXPECT_TRUE(form->drawn.empty());
    // The keyboard moves the current cell: the arrows by one, Page Down by the rows in sight,
    // End to the last column; the cells left and reached are painted.
    for (const uint16_t key : {win::VK_RIGHT, win::VK_DOWN, win::VK_NEXT, win::VK_END, win::VK_LEFT}) {
        win::QueueUserKey(key, false, false, false);
    }
    win::RunMessageLoop();
    EXPECT_EQ(form->Grid->Col(), 3);
    EXPECT_EQ(form->Grid->Row(), 2 + form->Grid->VisibleRowCount());
    EXPECT_EQ(form->drawn.front(), "1,1/0");
}

}  // namespace
