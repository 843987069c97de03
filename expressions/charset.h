// Character-set conversion: replaces characters of the document's texts one for one, to repair
// texts written under another character set (by default Mac Roman read as Windows-1252). It
// covers the lyric texts ('txve', 'txse', 'txch'), the text blocks ('txbl') and the text
// expressions, and leaves alone texts set in a music font or in a font the user excludes; the
// document's information strings are not touched.
//
// All texts here are the document's 8-bit bytes; each is read, converted and written back
// whole, however long it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hostapi/types.h"

namespace orvex {

class RunEnvironment;

struct TFMisc;

/// Options of Character Set Conversion, by row.
enum CharsetRow : size_t {
    CHARSET_SOURCE = 0,  ///< text: the characters to convert
    CHARSET_TARGET = 1,  ///< text: what each becomes
    CHARSET_REVERSE = 2,
    CHARSET_EXCLUDED_FONTS = 3
};

/// The fonts whose texts are not converted, in upper case: the music fonts of the sort tables and
/// the fonts to exclude.
using ExcludedFonts = std::vector<std::string>;

/// Deletes, from both strings, every position (within both lengths) where they hold the same
/// character, so that only pairs that change something remain.
void CleanConversionPair(std::string& source, std::string& target);

/// Converts a zero-terminated text in place: every byte whose first place p in `source` lies
/// within `target` becomes target[p]. Unless `allTexts`, only a text with a "^font" command and
/// without "^font(" naming one of `excluded` is converted. Answers whether a byte changed.
bool ConvertText(char* text, std::string_view source, std::string_view target, bool allTexts,
                 const ExcludedFonts& excluded);

/// Converts every text record of the tag with an id from `firstId` to `endId` - 1 (as a record
/// key, ids above 32767 are the negative keys) and saves those that changed.
void ConvertTextRecords(hostapi::Tag tag, std::string_view source, std::string_view target, int32_t firstId,
                        int32_t endId, const ExcludedFonts& excluded);

/// The tool: converts the lyrics, text blocks and text expressions of the document in front from
/// the source to the target characters (each string the document's 8-bit bytes), leaving alone
/// the music fonts and `fontsToExclude` (names separated by commas). Shows no message.
bool RunCharsetConversion(const RunEnvironment& environment, std::string source, std::string target,
                          std::string_view fontsToExclude);
/// The conversion as a tool command: option rows 0 and 1 the two character sets (swapped with
/// row 2), row 3 the fonts to leave alone.
bool RunCharsetConversionTool(TFMisc& context);

}  // namespace orvex
