// Windows-1252 <-> UTF-8.
#include <gtest/gtest.h>

#include "platform/win/system.h"

namespace {

TEST(CodePageTest, UmlautsAndTheHighControlRange) {
    EXPECT_EQ(win::Utf8ToAnsi("Über Größe"),
              "\xDC"
              "ber Gr\xF6\xDF"
              "e");
    EXPECT_EQ(win::AnsiToUtf8("\xDC"
                              "ber Gr\xF6\xDF"
                              "e"),
              "Über Größe");
    EXPECT_EQ(win::AnsiToUtf8("\x80\x85\x96\x99"), "€…–™");
    EXPECT_EQ(win::Utf8ToAnsi("€…–™"), "\x80\x85\x96\x99");
    // Bytes without a character keep their number both ways.
    EXPECT_EQ(win::Utf8ToAnsi(win::AnsiToUtf8("\x81\x8D\x8F\x90\x9D")), "\x81\x8D\x8F\x90\x9D");
}

TEST(CodePageTest, CharactersOutsideTheCodePageAndBrokenInput) {
    EXPECT_EQ(win::Utf8ToAnsi("a♩b"), "a?b");
    EXPECT_EQ(win::Utf8ToAnsi("a\xC3"), "a?");            // cut sequence
    EXPECT_EQ(win::Utf8ToAnsi("a\xC3(b"), "a?(b");        // bad continuation byte
    EXPECT_EQ(win::Utf8ToAnsi("\xF0\x9F\x8E\xB5"), "?");  // a character beyond the basic plane
}

}  // namespace
