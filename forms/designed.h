// Placing the controls of a form made in code: what the form designer stores for each control.
#pragma once

#include <cstdint>
#include <initializer_list>

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

/// Puts sibling controls first in their parent's tab order, in the order given (the order the
/// user reads them in, where the order they were placed in differs).
inline void TabInOrder(std::initializer_list<vcl::TWinControl*> controls) {
    int32_t order = 0;
    for (vcl::TWinControl* control : controls) {
        control->SetTabOrder(order++);
    }
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
