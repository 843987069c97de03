// The Expressions command: reworks the measure-attached expressions of the selected region.
// Expressions assigned to staff lists become one single-staff assignment per staff, which can
// be made note-attached to the nearest note of each staff; the horizontal positions can be
// scaled by a factor. The region expression collector does the work.
#pragma once

#include <optional>
#include <string_view>

#include "expressions/expression_rows.h"

namespace orvex {

/// The factor of the option text: 0.0 for an empty text, nullopt for a text that is no number.
std::optional<double> ExpressionFactor(std::string_view text);

}  // namespace orvex
