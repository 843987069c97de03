// Text and file utilities of the access layer: the Mac Roman umlauts of old text tables, and
// the check after a text file was written.
#pragma once

#include <ostream>
#include <string>

namespace orvex {

/// Converts the seven German letters of the Mac Roman code page (Ä Ö Ü ä ö ü ß) to the Windows
/// code page in place, up to the first zero byte; every other byte stays. Answers the text.
std::string& MacRomanToAnsi(std::string& text);

/// Whether the stream's error state is clear.
bool FileWriteOk(const std::ostream& stream);
/// Whether the stream's error state is clear; when it is not, tells the user that the file
/// could not be written.
bool CheckFileWritten(const std::ostream& stream);

}  // namespace orvex
