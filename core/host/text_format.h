// Filling the numbered places of a table text: "%1" to "%9" stand for the arguments in their
// order, so that a message names a measure, a file or a count where its language puts it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "core/host/bilingual_text.h"

namespace orvex {

/// The arguments of a text's places: "%1" is the first.
using TextArguments = std::initializer_list<std::string_view>;

/// `pattern` with every "%n" (n from 1 to 9) replaced by argument n. A place without an
/// argument stays as written; an argument goes in as it is, also when it holds "%n" itself.
std::string FormatText(std::string_view pattern, TextArguments arguments);

/// A table text in both languages with its places filled.
struct FilledText {
    std::string english;
    std::string german;
};

/// Both languages of `texts` with their places filled by the same arguments.
FilledText FormatTexts(const BilingualText& texts, TextArguments arguments);

}  // namespace orvex
