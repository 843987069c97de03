// Translation tables and word services: one table of common user-interface words and music
// terms in 13 languages (with singular and plural forms), looked up by identifier or by word,
// word-by-word translation of a text, translation from a caller's own small table, spoken
// durations, accelerator letters for dialog controls, and opening a web address.
//
// Forms of a text in the table: "singular / plural"; a suffix in parentheses directly after a
// letter ("chord(s)"); or a final "*" (the part before it serves every count). Texts are UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win/handles.h"
#include "service/lumvar_api.h"

namespace lumvar {

inline constexpr size_t kTranslationRowCount = 108;
inline constexpr int16_t kSeparatorId = -1;

struct TranslationTableRow {
    int16_t id;  ///< -1: a separator; rows of one identifier are its alternatives, in order
    std::array<const char*, kLanguageCount> texts;  ///< nullptr: not translated
};
extern const std::array<TranslationTableRow, kTranslationRowCount> kTranslationTable;

/// The web page the control panel's button opens.
inline constexpr const char* kHelpPageAddress = "https://lumvar.example.org/";

const char* TranslateID(int16_t id, int16_t count, int16_t language, int16_t* err, int16_t alternative,
                        win::Hwnd window, int16_t byRow);
const char* TranslateWord(const char* word, int16_t count, int16_t language, int16_t sourceLanguage, int16_t* err,
                          win::Hwnd window);
const char* TranslateString(const char* text, int16_t language, int16_t sourceLanguage, int16_t onlyInternational,
                            int16_t* err, win::Hwnd window);
const char* TranslateFromTable(const TranslationRow* rows, int16_t rowCount, const char* defaultText, int16_t language,
                               int16_t* err, win::Hwnd window);
const char* DurationString(uint8_t kind, int32_t edu, int16_t count, int16_t language, int16_t* err, win::Hwnd window);
int16_t ResolveShortcuts(win::Hwnd dialog, const int32_t* controlIds, int16_t idCount, int16_t clearListed,
                         int16_t capitalsFirst);
int16_t LoadURL(const char* address);

/// TranslateID and TranslateWord for Lumvar2000's own use: the same texts, without touching the
/// clients' result buffers (empty when there is none; the word itself when it is not found).
std::string TranslatedId(int16_t id, int16_t count, int16_t language);
std::string TranslatedWord(std::string_view word, int16_t language);

/// A text of the table in one form (steps 5 to 8 of the lookup): the count chooses singular,
/// plural or both.
std::string TextForCount(std::string text, int16_t count);
/// The width of a text drawn in a window (the class library's text metrics), or its length in
/// characters without a valid window.
int32_t MeasureText(const std::string& text, win::Hwnd window);

}  // namespace lumvar
