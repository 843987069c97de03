// Locale settings of the class library (one copy per module, as the class library keeps them).
#pragma once

namespace vcl {

struct TFormatSettings {
    /// The character between the whole and the fractional part of a number ("," in German).
    char DecimalSeparator = '.';
};

extern TFormatSettings& FormatSettings;

}  // namespace vcl
