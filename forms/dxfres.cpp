#include "forms/dxfres.h"

#include <memory>
#include <stdexcept>

#include "core/module.h"

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

/// The resources the forms share, counted by the forms that use them.
struct SharedResources {
    int32_t useCount = 0;
    std::unique_ptr<Resources> resources;
};

SharedResources& Shared() {
    return LastingState<SharedResources>();
}

Resources& Held() {
    if (!Shared().resources) {
        throw std::logic_error("Dxfres: the shared images are used while nobody holds them");
    }
    return *Shared().resources;
}

}  // namespace

void Dxfres::Acquire() {
    if (Shared().useCount++ == 0) {
        Shared().resources = std::make_unique<Resources>();
    }
}

void Dxfres::Release() {
    if (Shared().useCount == 0) {
        throw std::logic_error("Dxfres: released more often than acquired");
    }
    if (--Shared().useCount == 0) {
        Shared().resources.reset();
    }
}

int32_t Dxfres::UseCount() {
    return Shared().useCount;
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
