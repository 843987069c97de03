// Placing the controls of a form made in code: what the form designer stores for each control.
#pragma once

#include <cstdint>

#include "platform/vcl/stdctrls.h"

namespace orvex {

/// Names the control, puts it on its parent and gives it its bounds.
template <class T>
T* Designed(vcl::TWinControl* parent, T* control, const char* name, int32_t left, int32_t top, int32_t width,
            int32_t height) {
    control->SetName(name);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

/// A push button of the usual size (75 x 25 unless given) with its caption.
inline vcl::TButton* DesignedButton(vcl::TWinControl* parent, vcl::TComponent* owner, const char* name,
                                    const char* caption, int32_t left, int32_t top, int32_t width = 75,
                                    int32_t height = 25) {
    auto* button = Designed(parent, new vcl::TButton(owner), name, left, top, width, height);
    button->SetCaption(caption);
    return button;
}

}  // namespace orvex
