#include "platform/vcl/graphics.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/win/screen.h"

namespace vcl {
namespace {

struct NamedColor {
    TColor color;
    const char* name;
};

// clang-format off
constexpr std::array<NamedColor, 23> kNamedColors = {{
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clWindow, "clWindow"}, {clWindowText, "clWindowText"}, {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"}, {clBtnText, "clBtnText"},
    {clNone, "clNone"},
}};

struct FontFamily {
    const char* name;
    int32_t widthPercent;  ///< of the proportional character widths below
    bool fixedPitch;
};

/// The fonts whose widths differ from the default; every other name measures as "MS Sans Serif".
constexpr std::array<FontFamily, 8> kFontFamilies = {{
    {"MS Sans Serif", 100, false},
    {"Arial",         100, false},
    {"Tahoma",         96, false},
    {"Verdana",       112, false},
    {"Times New Roman", 90, false},
    {"Courier New",   100, true},
    {"Courier",       100, true},
    {"Lucida Console", 100, true},
}};
// clang-format on

const FontFamily& FamilyOf(const TFont& font) {
    for (const FontFamily& family : kFontFamilies) {
        if (SameText(family.name, font.Name())) {
            return family;
        }
    }
    return kFontFamilies[0];
}

/// Thousandths of the em that a character advances in a proportional font.
int32_t ProportionalUnits(char32_t c) {
    if (c < 0x20) {
        return 0;
    }
    if (c >= 0x80) {
        return 600;
    }
    const char a = static_cast<char>(c);
    if (a == ' ') {
        return 278;
    }
    if (std::string_view("ijlI.,:;!|'`").find(a) != std::string_view::npos) {
        return 250;
    }
    if (std::string_view("frt()[]{}-/\"").find(a) != std::string_view::npos) {
        return 333;
    }
    if (std::string_view("mwMW@%").find(a) != std::string_view::npos) {
        return 833;
    }
    if (a >= 'A' && a <= 'Z') {
        return 667;
    }
    return 556;
}

/// The code points of UTF-8 text; a byte that starts no valid sequence counts as one character.
std::vector<char32_t> CodePoints(std::string_view text) {
    std::vector<char32_t> points;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
        if (i + length > text.size()) {
            length = 1;
        }
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        points.push_back(c);
        i += length;
    }
    return points;
}

int32_t EmPixels(const TFont& font, int32_t pixelsPerInch) {
    return std::max(1, MulDiv(std::abs(font.Size()), pixelsPerInch, 72));
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

std::string RectText(const TRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom);
}

int32_t ScreenPixelsPerInch() {
    return win::GetScreenPixelsPerInch();
}

}  // namespace

std::string ColorToString(TColor color) {
    for (const NamedColor& named : kNamedColors) {
        if (named.color == color) {
            return named.name;
        }
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%08X", color);
    return buffer;
}

// ---- TFont ----

void TFont::Changed() {
    if (m_listener) {
        m_listener();
    }
}

void TFont::SetName(std::string_view name) {
    if (m_name != name) {
        m_name = std::string(name);
        Changed();
    }
}

void TFont::SetSize(int32_t size) {
    if (m_size != size) {
        m_size = size;
        Changed();
    }
}

int32_t TFont::Height() const {
    return -EmPixels(*this, ScreenPixelsPerInch());
}

void TFont::SetStyle(TFontStyles style) {
    if (m_style != style) {
        m_style = style;
        Changed();
    }
}

void TFont::SetCharset(uint8_t charset) {
    if (m_charset != charset) {
        m_charset = charset;
        Changed();
    }
}

void TFont::SetColor(TColor color) {
    if (m_color != color) {
        m_color = color;
        Changed();
    }
}

void TFont::Assign(const TFont& other) {
    if (SameAs(other)) {
        return;
    }
    m_name = other.m_name;
    m_size = other.m_size;
    m_style = other.m_style;
    m_charset = other.m_charset;
    m_color = other.m_color;
    Changed();
}

bool TFont::SameAs(const TFont& other) const {
    return m_name == other.m_name && m_size == other.m_size && m_style == other.m_style &&
           m_charset == other.m_charset && m_color == other.m_color;
}

std::string TFont::Description() const {
    std::string text = m_name + " " + std::to_string(m_size);
    if (m_style & fsBold) {
        text += " bold";
    }
    if (m_style & fsItalic) {
        text += " italic";
    }
    if (m_style & fsUnderline) {
        text += " underline";
    }
    if (m_style & fsStrikeOut) {
        text += " strikeout";
    }
    return text;
}

int32_t MeasureTextWidth(const TFont& font, std::string_view text, int32_t pixelsPerInch) {
    const FontFamily& family = FamilyOf(font);
    const int64_t em = EmPixels(font, pixelsPerInch);
    const int64_t boldPercent = (font.Style() & fsBold) ? 110 : 100;
    int32_t width = 0;
    for (char32_t c : CodePoints(text)) {
        const int64_t units = family.fixedPitch ? (c < 0x20 ? 0 : 600) : ProportionalUnits(c);
        if (units == 0) {
            continue;
        }
        const int64_t advance = (units * em * family.widthPercent * boldPercent + 5'000'000) / 10'000'000;
        width += static_cast<int32_t>(std::max<int64_t>(1, advance));
    }
    return width;
}

int32_t MeasureTextHeight(const TFont& font, int32_t pixelsPerInch) {
    const int32_t em = EmPixels(font, pixelsPerInch);
    return em + em / 5;
}

// ---- TCanvas ----

int32_t TCanvas::TextWidth(std::string_view text) const {
    return MeasureTextWidth(m_font, text, ScreenPixelsPerInch());
}

int32_t TCanvas::TextHeight(std::string_view /*text*/) const {
    return MeasureTextHeight(m_font, ScreenPixelsPerInch());
}

TPoint TCanvas::TextExtent(std::string_view text) const {
    return {TextWidth(text), TextHeight(text)};
}

std::string TCanvas::FontText() const {
    return m_font.Description() + " " + ColorToString(m_font.Color());
}

void TCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
    m_log.push_back("TextOut " + std::to_string(x) + "," + std::to_string(y) + " " + Quote(text) + " " + FontText());
}

void TCanvas::TextRect(const TRect& clip, int32_t x, int32_t y, std::string_view text) {
    m_log.push_back("TextRect " + RectText(clip) + " " + std::to_string(x) + "," + std::to_string(y) + " " +
                    Quote(text) + " " + FontText());
}

void TCanvas::FillRect(const TRect& rect) {
    m_log.push_back("FillRect " + RectText(rect) + " " + ColorToString(m_brush.Color));
}

void TCanvas::FrameRect(const TRect& rect) {
    m_log.push_back("FrameRect " + RectText(rect) + " " + ColorToString(m_brush.Color));
}

void TCanvas::DrawFocusRect(const TRect& rect) {
    m_log.push_back("DrawFocusRect " + RectText(rect));
}

void TCanvas::Draw(int32_t x, int32_t y, const TBitmap& bitmap, const TRect& source, bool transparent) {
    m_log.push_back("Draw " + std::to_string(x) + "," + std::to_string(y) + " " +
                    (bitmap.ResourceName().empty() ? std::string("bitmap") : bitmap.ResourceName()) + " " +
                    RectText(source) + (transparent ? " transparent" : ""));
}

void TCanvas::Draw(int32_t x, int32_t y, const TBitmap& bitmap) {
    Draw(x, y, bitmap, Rect(0, 0, bitmap.Width(), bitmap.Height()), false);
}

// ---- TBitmap, TImageList ----

TBitmap::TBitmap(std::string_view resourceName, int32_t width, int32_t height, TColor transparentColor)
    : m_resourceName(resourceName), m_width(width), m_height(height), m_transparentColor(transparentColor) {}

void TBitmap::SetSize(int32_t width, int32_t height) {
    m_width = width;
    m_height = height;
}

void TBitmap::Assign(const TBitmap& other) {
    m_resourceName = other.m_resourceName;
    m_width = other.m_width;
    m_height = other.m_height;
    m_transparentColor = other.m_transparentColor;
}

TImageList::TImageList(TComponent* owner, int32_t width, int32_t height)
    : TComponent(owner), m_width(width), m_height(height) {}

int32_t TImageList::AddMasked(const TBitmap& bitmap, TColor maskColor) {
    TBitmap image(bitmap.ResourceName(), m_width, m_height, maskColor);
    m_images.push_back(std::move(image));
    return Count() - 1;
}

void TImageList::Draw(TCanvas& canvas, int32_t x, int32_t y, int32_t index) const {
    if (index < 0 || index >= Count()) {
        throw std::out_of_range("Image index out of bounds (" + std::to_string(index) + ")");
    }
    const TBitmap& image = m_images[static_cast<size_t>(index)];
    canvas.Draw(x, y, image, Rect(0, 0, m_width, m_height), true);
}

}  // namespace vcl
