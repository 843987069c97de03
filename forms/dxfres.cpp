#include "forms/dxfres.h"

#include <memory>
#include <stdexcept>

namespace orvex {
namespace {

struct Resources {
    vcl::TBitmap checkBox{"CHECKBOX", 4 * kCheckBoxStyles* kCheckBoxImageSide, kCheckBoxImageSide, vcl::clFuchsia};
    vcl::TBitmap paint;
    vcl::TImageList fontImages{nullptr, kFontImageWidth, kFontImageHeight};

    Resources() {
        fontImages.AddMasked(vcl::TBitmap("TTFONT", kFontImageWidth, kFontImageHeight), vcl::clOlive);
        fontImages.AddMasked(vcl::TBitmap("DEVICEFONT", kFontImageWidth, kFontImageHeight), vcl::clFuchsia);
    }
};

int32_t s_useCount = 0;
std::unique_ptr<Resources> s_resources;

Resources& Held() {
    if (!s_resources) {
        throw std::logic_error("Dxfres: the shared images are used while nobody holds them");
    }
    return *s_resources;
}

}  // namespace

void Dxfres::Acquire() {
    if (s_useCount++ == 0) {
        s_resources = std::make_unique<Resources>();
    }
}

void Dxfres::Release() {
    if (s_useCount == 0) {
        throw std::logic_error("Dxfres: released more often than acquired");
    }
    if (--s_useCount == 0) {
        s_resources.reset();
    }
}

int32_t Dxfres::UseCount() {
    return s_useCount;
}

const vcl::TBitmap& Dxfres::CheckBoxStrip() {
    return Held().checkBox;
}

int32_t Dxfres::CheckBoxSide() {
    return Held().checkBox.Height();
}

int32_t Dxfres::StyleCount() {
    const vcl::TBitmap& strip = Held().checkBox;
    return strip.Width() / (4 * strip.Height());
}

vcl::TBitmap& Dxfres::PaintBitmap() {
    return Held().paint;
}

vcl::TImageList& Dxfres::FontImages() {
    return Held().fontImages;
}

}  // namespace orvex
