// The about box of the collection (the form itself is private to core/about_box.cpp).
#pragma once

#include <cstdint>

namespace orvex {

/// Shows the about box modally; answers 0.
int32_t ShowAboutBox();

}  // namespace orvex
