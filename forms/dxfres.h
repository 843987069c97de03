// Dxfres: the images that every TdxfCheckBox shares, made when the first user acquires them
// and freed when the last one releases them.
//
// "CHECKBOX" is a horizontal strip of square images whose side is the strip's height, four per
// style (0 unchecked, 1 checked, 2 unchecked disabled, 3 checked disabled); the number of styles
// is width / (4 x height). "TTFONT" and "DEVICEFONT" are held in an image list sized to "TTFONT".
#pragma once

#include <cstdint>

#include "platform/vcl/graphics.h"

namespace orvex {

// The strip holds three styles of 13-pixel images; the font images are 16 x 12.
inline constexpr int32_t kCheckBoxImageSide = 13;
inline constexpr int32_t kCheckBoxStyles = 3;
inline constexpr int32_t kFontImageWidth = 16;
inline constexpr int32_t kFontImageHeight = 12;

class Dxfres {
public:
    static void Acquire();
    /// Throws std::logic_error when nobody holds the images.
    static void Release();
    static int32_t UseCount();

    // Each throws std::logic_error while nobody holds the images.
    static const vcl::TBitmap& CheckBoxStrip();
    /// The side of one image of the strip (its height).
    static int32_t CheckBoxSide();
    /// The number of styles the strip holds.
    static int32_t StyleCount();
    /// The off-screen bitmap for painting.
    static vcl::TBitmap& PaintBitmap();
    /// "TTFONT" at index 0, "DEVICEFONT" at index 1.
    static vcl::TImageList& FontImages();
};

}  // namespace orvex
