// Fonts, text metrics and the canvas log: the documented metrics rule with exact widths and
// heights per font, size and style, and the drawing calls as the log writes them.
#include <gtest/gtest.h>

#include "platform/vcl/graphics.h"
#include "platform/win/screen.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

class VclGraphicsTest : public testsupport::DesktopTest {};

struct MetricsCase {
    const char* font;
    int32_t size;
    vcl::TFontStyles style;
    const char* text;
    int32_t width;
    int32_t height;
};

class TextMetricsTest : public VclGraphicsTest, public ::testing::WithParamInterface<MetricsCase> {};

TEST_P(TextMetricsTest, WidthAndHeightFollowTheRule) {
    const MetricsCase& c = GetParam();
    vcl::TCanvas canvas;
    canvas.Font().SetName(c.font);
    canvas.Font().SetSize(c.size);
    canvas.Font().SetStyle(c.style);
    EXPECT_EQ(canvas.TextExtent(c.text), (vcl::TPoint{c.width, c.height})) << c.font << " " << c.size << " " << c.text;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Fonts, TextMetricsTest, ::testing::Values(
    MetricsCase{"MS Sans Serif", 8, 0, "Wg", 15, 13},
    MetricsCase{"MS Sans Serif", 8, 0, "Enable", 34, 13},
    MetricsCase{"MS Sans Serif", 8, 0, "", 0, 13},
    MetricsCase{"ms sans serif", 8, 0, "i l", 9, 13},          // names in any case
    MetricsCase{"MS Sans Serif", 10, 0, "Wg", 18, 15},          // em 13
    MetricsCase{"MS Sans Serif", 8, vcl::fsBold, "Wg", 17, 13}, // 10 + 7
    MetricsCase{"Times New Roman", 12, 0, "Ab", 18, 19},        // em 16: 10 + 8 (rounded from 9.6 and 8.0)
    MetricsCase{"Courier New", 8, 0, "iW ", 21, 13},            // fixed pitch: 7 each
    MetricsCase{"Engraver", 8, 0, "Wg", 15, 13},                // unknown names measure as the default
    MetricsCase{"Arial", 8, 0, "\xC3\x84\x09x", 13, 13}         // "Ä" one character of 600, a tab nothing
),
    testsupport::NameBy(&MetricsCase::font, &MetricsCase::size, &MetricsCase::text));
// clang-format on

TEST_F(VclGraphicsTest, MetricsFollowTheScreenResolution) {
    vcl::TCanvas canvas;
    EXPECT_EQ(canvas.Font().Height(), -11);
    ASSERT_TRUE(win::SetSimulatedPixelsPerInch(120));
    EXPECT_EQ(canvas.Font().Height(), -13);
    EXPECT_EQ(canvas.TextExtent("Wg"), (vcl::TPoint{18, 15}));
}

TEST_F(VclGraphicsTest, CanvasLogsEveryDrawingCall) {
    vcl::TCanvas canvas;
    canvas.Font().SetName("Arial");
    canvas.Font().SetStyle(vcl::fsBold | vcl::fsItalic);
    canvas.Brush().Color = vcl::clSilver;
    canvas.FillRect(vcl::Rect(0, 0, 40, 20));
    canvas.TextOut(5, 3, "Say \"hi\"");
    canvas.Font().SetColor(0x123456);
    canvas.TextRect(vcl::Rect(0, 0, 10, 10), 1, 2, "x");
    canvas.DrawFocusRect(vcl::Rect(1, 1, 9, 9));
    const vcl::TBitmap strip("CHECKBOX", 52, 13);
    canvas.Draw(0, 2, strip, vcl::Rect(13, 0, 26, 13), true);
    static const std::vector<std::string> kExpected = {
        "FillRect 0,0,40,20 clSilver",
        "TextOut 5,3 \"Say \\\"hi\\\"\" Arial 8 bold italic clWindowText",
        "TextRect 0,0,10,10 1,2 \"x\" Arial 8 bold italic $00123456",
        "DrawFocusRect 1,1,9,9",
        "Draw 0,2 CHECKBOX 13,0,26,13 transparent",
    };
    testsupport::ExpectLines(kExpected, canvas.Log());
    canvas.ClearLog();
    EXPECT_TRUE(canvas.Log().empty());
}

TEST_F(VclGraphicsTest, ImageListsDrawTheirImagesByIndex) {
    vcl::TImageList images(nullptr, 16, 12);
    EXPECT_EQ(images.AddMasked(vcl::TBitmap("TTFONT", 16, 12), vcl::clOlive), 0);
    EXPECT_EQ(images.AddMasked(vcl::TBitmap("DEVICEFONT", 16, 12), vcl::clFuchsia), 1);
    vcl::TCanvas canvas;
    images.Draw(canvas, 2, 3, 1);
    EXPECT_EQ(canvas.Log().back(), "Draw 2,3 DEVICEFONT 0,0,16,12 transparent");
    EXPECT_THROW(images.Draw(canvas, 0, 0, 2), std::out_of_range);
}

}  // namespace
