// Headless graphics: colours, fonts with deterministic text metrics, bitmaps that carry a size
// and a name but no pixels, image lists, and a canvas that measures text and records every
// drawing call in a log that tests read (see docs/class-library.md for the metrics rule and
// the log's format).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vcl/classes.h"

namespace vcl {

/// A colour: 0x00BBGGRR, or a system colour (0xFF000000 | the system colour's number).
using TColor = uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clHighlight = 0xFF00000D;
inline constexpr TColor clHighlightText = 0xFF00000E;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBtnText = 0xFF000012;
inline constexpr TColor clNone = 0x1FFFFFFF;

/// "clWhite", "clBtnFace", ... for the named colours, else "$00BBGGRR".
std::string ColorToString(TColor color);

// Font styles (combine with |).
using TFontStyles = uint8_t;
inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;

// Character sets.
inline constexpr uint8_t ANSI_CHARSET = 0;
inline constexpr uint8_t DEFAULT_CHARSET = 1;
inline constexpr uint8_t SYMBOL_CHARSET = 2;

/// The font of a fresh control or canvas.
inline constexpr const char* kDefaultFontName = "MS Sans Serif";
inline constexpr int32_t kDefaultFontSize = 8;

class TFont {
public:
    const std::string& Name() const { return m_name; }
    void SetName(std::string_view name);
    /// The size in points.
    int32_t Size() const { return m_size; }
    void SetSize(int32_t size);
    /// The character height in pixels on the screen (negative, as the system gives it):
    /// -(Size x PixelsPerInch / 72, rounded).
    int32_t Height() const;
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles style);
    uint8_t Charset() const { return m_charset; }
    void SetCharset(uint8_t charset);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);

    /// Takes name, size, style, character set and colour of another font.
    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;
    /// "MS Sans Serif 8" followed by " bold", " italic", " underline", " strikeout" as set.
    std::string Description() const;

    /// Told of every change (the control that owns the font).
    void SetChangeListener(std::function<void()> listener) { m_listener = std::move(listener); }

private:
    void Changed();

    std::string m_name = kDefaultFontName;
    int32_t m_size = kDefaultFontSize;
    TFontStyles m_style = 0;
    uint8_t m_charset = DEFAULT_CHARSET;
    TColor m_color = clWindowText;
    std::function<void()> m_listener;
};

/// The width in pixels of `text` in `font` on a screen of `pixelsPerInch`, and the height of
/// a line. The rule is documented in docs/class-library.md.
int32_t MeasureTextWidth(const TFont& font, std::string_view text, int32_t pixelsPerInch);
int32_t MeasureTextHeight(const TFont& font, int32_t pixelsPerInch);

struct TBrush {
    TColor Color = clWhite;
};
struct TPen {
    TColor Color = clBlack;
};

class TBitmap;

/// A canvas measures text in its font at the screen's resolution and logs what is drawn.
class TCanvas {
public:
    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    TBrush& Brush() { return m_brush; }
    TPen& Pen() { return m_pen; }

    int32_t TextWidth(std::string_view text) const;
    int32_t TextHeight(std::string_view text) const;
    TPoint TextExtent(std::string_view text) const;

    void TextOut(int32_t x, int32_t y, std::string_view text);
    /// Text drawn at x, y and clipped to `clip`.
    void TextRect(const TRect& clip, int32_t x, int32_t y, std::string_view text);
    void FillRect(const TRect& rect);
    void FrameRect(const TRect& rect);
    void DrawFocusRect(const TRect& rect);
    /// Draws the part `source` of a bitmap at x, y (transparently: its transparent colour is
    /// not drawn).
    void Draw(int32_t x, int32_t y, const TBitmap& bitmap, const TRect& source, bool transparent);
    void Draw(int32_t x, int32_t y, const TBitmap& bitmap);

    /// Every drawing call since the log was last cleared, one line each.
    const std::vector<std::string>& Log() const { return m_log; }
    void ClearLog() { m_log.clear(); }

private:
    std::string FontText() const;

    TFont m_font;
    TBrush m_brush;
    TPen m_pen;
    std::vector<std::string> m_log;
};

/// A bitmap: its size, the name of the resource it was loaded from, and its transparent colour.
/// Pixels are not kept.
class TBitmap {
public:
    TBitmap() = default;
    TBitmap(std::string_view resourceName, int32_t width, int32_t height, TColor transparentColor = clNone);

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    void SetSize(int32_t width, int32_t height);
    bool Empty() const { return m_width <= 0 || m_height <= 0; }
    const std::string& ResourceName() const { return m_resourceName; }
    TColor TransparentColor() const { return m_transparentColor; }
    void Assign(const TBitmap& other);
    TCanvas& Canvas() { return m_canvas; }

private:
    std::string m_resourceName;
    int32_t m_width = 0;
    int32_t m_height = 0;
    TColor m_transparentColor = clNone;
    TCanvas m_canvas;
};

/// Images of one size, drawn by index.
class TImageList : public TComponent {
public:
    TImageList(TComponent* owner, int32_t width, int32_t height);

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    int32_t Count() const { return static_cast<int32_t>(m_images.size()); }
    /// Adds a bitmap whose pixels of `maskColor` are transparent; answers its index.
    int32_t AddMasked(const TBitmap& bitmap, TColor maskColor);
    /// Throws std::out_of_range for an index that holds no image.
    void Draw(TCanvas& canvas, int32_t x, int32_t y, int32_t index) const;

private:
    int32_t m_width;
    int32_t m_height;
    std::vector<TBitmap> m_images;
};

}  // namespace vcl
