#include "service/translations.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/vcl/graphics.h"
#include "platform/win/messages.h"
#include "platform/win/windows.h"
#include "service/durations.h"
#include "service/lumvar.h"
#include "service/module_state.h"
#include "service/preferences.h"

namespace lumvar {
namespace {

constexpr size_t kResultSize = 1000;
constexpr size_t kMaxPhrase = 80;
constexpr size_t kMaxWord = 50;
constexpr size_t kMaxCaption = 100;
constexpr int16_t kDottedWord = 257;
constexpr int16_t kDoubleDottedWord = 258;
constexpr int16_t kFirstNoteValue = 101;

ResultBuffers& Buffers() {
    return Module().translationBuffers;
}

const char* Keep(std::string& buffer, std::string text) {
    if (text.size() >= kResultSize) {
        text.resize(kResultSize - 1);
    }
    buffer = std::move(text);
    return buffer.c_str();
}

void SetError(int16_t* err, int16_t code) {
    if (err != nullptr) {
        *err = code;
    }
}

/// A language argument: 0..12, 10000 (the preference) or 20000 (the widest); nullopt otherwise.
std::optional<int16_t> ResolveLanguage(int16_t language) {
    if (language == LANGUAGE_PREFERRED) {
        return UserLanguage();
    }
    if (language == LANGUAGE_WIDEST || (language >= 0 && language < kLanguageCount)) {
        return language;
    }
    return std::nullopt;
}

std::string_view Cell(size_t row, int16_t language) {
    const char* text = kTranslationTable[row].texts[static_cast<size_t>(language)];
    return text == nullptr ? std::string_view() : std::string_view(text);
}

/// The text of a cell, falling back to the rows of the same identifier: first upward, then
/// downward. Separators never fall back.
std::string_view CellWithRowFallback(size_t row, int16_t language) {
    std::string_view text = Cell(row, language);
    const int16_t id = kTranslationTable[row].id;
    if (!text.empty() || id == kSeparatorId) {
        return text;
    }
    for (size_t up = row; up > 0 && kTranslationTable[up - 1].id == id; --up) {
        if (text = Cell(up - 1, language); !text.empty()) {
            return text;
        }
    }
    for (size_t down = row + 1; down < kTranslationRowCount && kTranslationTable[down].id == id; ++down) {
        if (text = Cell(down, language); !text.empty()) {
            return text;
        }
    }
    return text;
}

/// The widest column of a row (column 0 when every text measures 0; the first of equal widths).
int16_t WidestColumn(size_t row, win::Hwnd window) {
    int16_t widest = 0;
    int32_t best = 0;
    for (int16_t language = 0; language < kLanguageCount; ++language) {
        const int32_t width = MeasureText(std::string(Cell(row, language)), window);
        if (width > best) {
            best = width;
            widest = language;
        }
    }
    return widest;
}

/// The cell's text with every fall-back: the rows of the identifier, then Nederlands for
/// Vlaams, then English.
std::string CellText(size_t row, int16_t language, win::Hwnd window) {
    if (language == LANGUAGE_WIDEST) {
        language = WidestColumn(row, window);
    }
    std::string_view text = CellWithRowFallback(row, language);
    if (text.empty() && language == LANGUAGE_FLEMISH) {
        text = CellWithRowFallback(row, LANGUAGE_DUTCH);
    }
    if (text.empty()) {
        text = CellWithRowFallback(row, LANGUAGE_ENGLISH_US);
    }
    return std::string(text);
}

bool IsLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isalpha(u) != 0;
}

/// The places of the parenthesised suffixes directly after a letter with something inside.
std::vector<std::pair<size_t, size_t>> Suffixes(const std::string& text) {
    std::vector<std::pair<size_t, size_t>> found;
    for (size_t open = text.find('('); open != std::string::npos; open = text.find('(', open + 1)) {
        const size_t close = text.find(')', open + 1);
        if (open > 0 && IsLetter(text[open - 1]) && close != std::string::npos && close > open + 1) {
            found.emplace_back(open, close);
        }
    }
    return found;
}

// Letter case of UTF-8 texts: ASCII letters and the letters of Latin-1 (two bytes, lead 0xC3:
// 0x80-0x9E upper case, 0xA0-0xBE lower case, less the signs × and ÷), which every language of
// the table spells its words with.
constexpr unsigned char kLatin1Lead = 0xC3;

bool IsLatin1Letter(unsigned char second) {
    return second >= 0x80 && second <= 0xBE && second != 0x97 && second != 0xB7 && second != 0x9F;
}

/// The text's first letter: +1 upper case, -1 lower case, 0 no letter of either case.
int FirstLetterCase(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const auto first = static_cast<unsigned char>(text[0]);
    if (first >= 'A' && first <= 'Z') {
        return 1;
    }
    if (first >= 'a' && first <= 'z') {
        return -1;
    }
    if (first == kLatin1Lead && text.size() > 1 && IsLatin1Letter(static_cast<unsigned char>(text[1]))) {
        return static_cast<unsigned char>(text[1]) < 0xA0 ? 1 : -1;
    }
    return 0;
}

/// Gives the text's first letter the case asked for (+1 upper, -1 lower).
void SetFirstLetterCase(std::string& text, int letterCase) {
    if (text.empty() || letterCase == 0 || FirstLetterCase(text) == letterCase || FirstLetterCase(text) == 0) {
        return;
    }
    const size_t at = static_cast<unsigned char>(text[0]) == kLatin1Lead ? 1 : 0;
    text[at] = static_cast<char>(letterCase > 0 ? text[at] - 0x20 : text[at] + 0x20);
}

/// Whether a word of two letters or more is written in capitals only ("TO", "FROM").
bool AllCapitals(std::string_view text) {
    int letters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte >= 'a' && byte <= 'z') ||
            (byte == kLatin1Lead && i + 1 < text.size() && IsLatin1Letter(static_cast<unsigned char>(text[i + 1])) &&
             static_cast<unsigned char>(text[i + 1]) >= 0xA0)) {
            return false;
        }
        if ((byte >= 'A' && byte <= 'Z') ||
            (byte == kLatin1Lead && i + 1 < text.size() && IsLatin1Letter(static_cast<unsigned char>(text[i + 1])))) {
            ++letters;
        }
    }
    return letters >= 2;
}

/// The text in capitals: ASCII letters and the letters of Latin-1.
void ToCapitals(std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 'a' && byte <= 'z') {
            text[i] = static_cast<char>(byte - 0x20);
        } else if (byte == kLatin1Lead && i + 1 < text.size()) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            if (IsLatin1Letter(second) && second >= 0xA0) {
                text[i + 1] = static_cast<char>(second - 0x20);
            }
            ++i;
        }
    }
}

/// A byte folded to lower case; in a Latin-1 letter's second byte the upper-case range folds too.
unsigned char FoldedByte(std::string_view text, size_t i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 'A' && byte <= 'Z') {
        return static_cast<unsigned char>(byte + 0x20);
    }
    if (i > 0 && static_cast<unsigned char>(text[i - 1]) == kLatin1Lead && IsLatin1Letter(byte) && byte < 0xA0) {
        return static_cast<unsigned char>(byte + 0x20);
    }
    return byte;
}

/// Whether an identifier (not a row) exists and, if so, the row of its alternative.
std::optional<size_t> RowOf(int16_t id, int16_t alternative, bool byRow) {
    if (byRow) {
        if (id < 0 || static_cast<size_t>(id) >= kTranslationRowCount) {
            return std::nullopt;
        }
        return static_cast<size_t>(id);
    }
    int16_t seen = 0;
    for (size_t row = 0; row < kTranslationRowCount; ++row) {
        if (kTranslationTable[row].id == id && id != kSeparatorId && seen++ == alternative) {
            return row;
        }
    }
    return std::nullopt;
}

/// TranslateID without its buffer: the text, or nullopt with err set.
std::optional<std::string> IdText(int16_t id, int16_t count, int16_t language, int16_t* err, int16_t alternative,
                                  win::Hwnd window, bool byRow) {
    const auto resolved = ResolveLanguage(language);
    if (!resolved) {
        SetError(err, ERR_UNKNOWN_KIND);
        return std::nullopt;
    }
    const auto row = RowOf(id, alternative, byRow);
    if (!row) {
        SetError(err, ERR_NOT_FOUND);
        return std::nullopt;
    }
    std::string text = CellText(*row, *resolved, window);
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    if (text.empty()) {
        SetError(err, ERR_NO_TEXT);
        return std::nullopt;
    }
    SetError(err, ERR_OK);
    return TextForCount(std::move(text), count);
}

std::string WidestOf(const std::vector<std::string>& texts, win::Hwnd window) {
    std::string widest;
    int32_t best = -1;
    for (const std::string& text : texts) {
        const int32_t width = MeasureText(text, window);
        if (width > best) {
            best = width;
            widest = text;
        }
    }
    return widest;
}

/// The text with every byte folded: two texts are the same ignoring case exactly when their
/// folded texts are equal.
std::string Folded(std::string_view text) {
    std::string folded(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        folded[i] = static_cast<char>(FoldedByte(text, i));
    }
    return folded;
}

/// The first row (in table order) whose text in a language for a count is the word, ignoring
/// case. The table is constant, so the texts of each language and count are put in order once
/// and looked up from then on. Not for the widest language, whose texts depend on the window.
std::optional<size_t> IndexedRowOfWord(std::string_view word, int16_t count, int16_t language) {
    using Index = TranslationIndex;
    auto& indexes = Module().translationIndexes;
    auto [at, made] = indexes.try_emplace({language, count});
    Index& index = at->second;
    if (made) {
        for (size_t row = 0; row < kTranslationRowCount; ++row) {
            if (kTranslationTable[row].id == kSeparatorId) {
                continue;
            }
            const auto text = IdText(static_cast<int16_t>(row), count, language, nullptr, 0, win::kNoWindow, true);
            if (text && !text->empty()) {
                index.try_emplace(Folded(*text), row);
            }
        }
    }
    const auto found = index.find(Folded(word));
    return found == index.end() ? std::nullopt : std::optional<size_t>(found->second);
}

/// TranslateWord without its buffer: the translation, or nullopt when the word is not found. Both
/// languages are resolved; the source is a column (0..12), never the widest.
std::optional<std::string> WordText(std::string_view word, int16_t count, int16_t language, int16_t source,
                                    win::Hwnd window) {
    if (word.empty()) {
        return std::nullopt;
    }
    // Looked up in its own language, the word keeps the case of its first letter: "all" stays
    // "all". A translation into another language keeps the table's spelling (German nouns keep
    // their capitals), but a word that begins with a capital gives its translation one ("Natural"
    // in Svenska begins with a capital Å). A word in capitals stays in capitals in any language.
    const int letterCase = FirstLetterCase(word);
    const bool capitals = AllCapitals(word);
    const auto findWithCount = [&](int16_t tryCount) { return IndexedRowOfWord(word, tryCount, source); };
    std::optional<size_t> row;
    int16_t matched = count;
    if (count != COUNT_ANY) {
        row = findWithCount(count);
    }
    for (const int16_t tryCount : std::initializer_list<int16_t>{3, 2, 1, 0}) {
        if (row) {
            break;
        }
        row = findWithCount(tryCount);
        matched = tryCount;
    }
    if (!row) {
        return std::nullopt;
    }
    auto translated = IdText(static_cast<int16_t>(*row), matched, language, nullptr, 0, window, true);
    if (!translated) {
        return std::nullopt;
    }
    if (source == language) {
        SetFirstLetterCase(*translated, letterCase);
    } else if (letterCase > 0) {
        SetFirstLetterCase(*translated, letterCase);  // a capital (a sentence's start) stays
    }
    if (capitals) {
        ToCapitals(*translated);
    }
    return translated;
}

bool IsWordCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 127);
}

std::string StringText(std::string_view text, int16_t language, int16_t source, win::Hwnd window) {
    std::string result;
    size_t i = 0;
    while (i < text.size() && result.size() < kResultSize - 1) {
        if (!IsWordCharacter(text[i])) {
            result += text[i++];
            continue;
        }
        size_t end = i;
        while (end < text.size() && IsWordCharacter(text[end])) {
            ++end;
        }
        const std::string_view word = text.substr(i, end - i);
        // A word, one blank and another word: the phrase first.
        if (end + 1 < text.size() && text[end] == ' ' && IsWordCharacter(text[end + 1])) {
            size_t second = end + 1;
            while (second < text.size() && IsWordCharacter(text[second])) {
                ++second;
            }
            const std::string_view phrase = text.substr(i, second - i);
            if (phrase.size() <= kMaxPhrase) {
                if (const auto translated = WordText(phrase, COUNT_ANY, language, source, window)) {
                    result += *translated;
                    i = second;
                    continue;
                }
            }
        }
        const auto translated =
            word.size() <= kMaxWord ? WordText(word, COUNT_ANY, language, source, window) : std::nullopt;
        result += translated ? *translated : std::string(word);
        i = end;
    }
    return result.size() < kResultSize ? result : result.substr(0, kResultSize - 1);
}

/// Dot words come after the note word in Italiano, Français, Español and Português.
bool DotWordAfter(int16_t language) {
    return language >= 3 && language <= 6;
}

std::optional<std::string> DurationText(uint8_t kind, const Duration& split, int16_t count, int16_t language,
                                        int16_t* err, win::Hwnd window) {
    int16_t alternative = 0;
    if (kind % 3 == 2) {
        alternative = 1;
    } else if (kind % 3 == 0) {
        alternative = 2;
    }
    int16_t wordCount = count;
    if (kind >= 7 && kind <= 9) {
        wordCount = 1;
    } else if (kind >= 10 && kind <= 12) {
        wordCount = 5;
    } else if (kind >= 13) {
        wordCount = 0;
    }
    auto text = IdText(static_cast<int16_t>(kFirstNoteValue + split.level - 1), wordCount, language, err, alternative,
                       window, false);
    if (!text) {
        return std::nullopt;
    }
    if (split.dots > 2) {
        SetError(err, ERR_NO_TEXT);
        return std::nullopt;
    }
    if (split.dots > 0) {
        const auto dots = IdText(split.dots == 1 ? kDottedWord : kDoubleDottedWord, 1, language, err, 0, window, false);
        if (!dots) {
            return std::nullopt;
        }
        text = DotWordAfter(language) ? *text + " " + *dots : *dots + " " + *text;
    }
    if (kind <= 3) {
        text = std::to_string(count) + " " + *text;
    }
    return text;
}

win::Hwnd FindControl(win::Hwnd parent, int32_t id) {
    for (const win::Hwnd child : win::GetChildWindows(parent)) {
        if (win::GetDlgCtrlID(child) == id) {
            return child;
        }
        if (const win::Hwnd inner = FindControl(child, id); inner != win::kNoWindow) {
            return inner;
        }
    }
    return win::kNoWindow;
}

void AllDescendants(win::Hwnd parent, std::vector<win::Hwnd>& out) {
    for (const win::Hwnd child : win::GetChildWindows(parent)) {
        out.push_back(child);
        AllDescendants(child, out);
    }
}

std::string Caption(win::Hwnd window) {
    std::string caption = win::GetWindowText(window);
    if (caption.size() > kMaxCaption) {
        caption.resize(kMaxCaption);
    }
    return caption;
}

}  // namespace

std::string TextForCount(std::string text, int16_t count) {
    const bool one = count == -1 || count == 1;
    const bool both = count == 0 || count == COUNT_SHORT_BOTH;
    if (const size_t star = text.find('*'); star != std::string::npos) {
        return text.substr(0, star);
    }
    if (const size_t slash = text.find(" / "); slash != std::string::npos) {
        const std::string singular = text.substr(0, slash);
        const std::string plural = text.substr(slash + 3);
        if (one) {
            return singular;
        }
        if (count == 0) {
            return singular + "/" + plural;
        }
        if (count == COUNT_SHORT_BOTH) {
            size_t removed = 0;
            while (removed < plural.size() && removed < singular.size() && plural[removed] == singular[removed]) {
                ++removed;
            }
            return removed >= 3 ? singular + "/" + plural.substr(removed) : singular + "/" + plural;
        }
        return plural;
    }
    if (const auto suffixes = Suffixes(text); !suffixes.empty()) {
        if (both) {
            return text;
        }
        std::string result;
        size_t from = 0;
        for (const auto& [open, close] : suffixes) {
            if (open < from) {
                continue;
            }
            result += text.substr(from, open - from);
            if (!one) {
                result += text.substr(open + 1, close - open - 1);
            }
            from = close + 1;
        }
        return result + text.substr(from);
    }
    if (one) {
        return text;
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text + (both ? "(s)" : "s");
}

std::string TranslatedId(int16_t id, int16_t count, int16_t language) {
    return IdText(id, count, language, nullptr, 0, win::kNoWindow, false).value_or("");
}

std::string TranslatedWord(std::string_view word, int16_t language) {
    const auto target = ResolveLanguage(language);
    if (!target) {
        return std::string(word);
    }
    return WordText(word, COUNT_ANY, *target, LANGUAGE_ENGLISH_US, win::kNoWindow).value_or(std::string(word));
}

int32_t MeasureText(const std::string& text, win::Hwnd window) {
    if (window != win::kNoWindow && win::IsWindow(window)) {
        vcl::TCanvas canvas;
        return canvas.TextWidth(text);
    }
    // Characters, not bytes: UTF-8 continuation bytes do not count.
    return static_cast<int32_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

const char* TranslateID(int16_t id, int16_t count, int16_t language, int16_t* err, int16_t alternative,
                        win::Hwnd window, int16_t byRow) {
    return Keep(Buffers().id, IdText(id, count, language, err, alternative, window, byRow != 0).value_or(""));
}

const char* TranslateWord(const char* word, int16_t count, int16_t language, int16_t sourceLanguage, int16_t* err,
                          win::Hwnd window) {
    if (word == nullptr) {
        SetError(err, ERR_NULL_ARGUMENT);
        return Keep(Buffers().word, "");
    }
    const auto target = ResolveLanguage(language);
    const auto source = ResolveLanguage(sourceLanguage);
    if (!target || !source || *source == LANGUAGE_WIDEST) {
        SetError(err, ERR_UNKNOWN_KIND);
        return Keep(Buffers().word, "");
    }
    if (auto translated = WordText(word, count, *target, *source, window)) {
        SetError(err, ERR_OK);
        return Keep(Buffers().word, std::move(*translated));
    }
    SetError(err, ERR_NO_TEXT);
    return Keep(Buffers().word, word);
}

const char* TranslateString(const char* text, int16_t language, int16_t sourceLanguage, int16_t onlyInternational,
                            int16_t* err, win::Hwnd window) {
    if (text == nullptr) {
        SetError(err, ERR_NULL_ARGUMENT);
        return Keep(Buffers().string, "");
    }
    const auto target = ResolveLanguage(language);
    const auto source = ResolveLanguage(sourceLanguage);
    if (!target || !source || *source == LANGUAGE_WIDEST) {
        SetError(err, ERR_UNKNOWN_KIND);
        return Keep(Buffers().string, "");
    }
    SetError(err, ERR_OK);
    if (*target == LANGUAGE_WIDEST) {
        std::vector<std::string> all;
        for (int16_t each = 0; each < kLanguageCount; ++each) {
            all.push_back(StringText(text, each, *source, window));
        }
        return Keep(Buffers().string, WidestOf(all, window));
    }
    if (onlyInternational != 0 && *target != LANGUAGE_ENGLISH_INTERNATIONAL) {
        return Keep(Buffers().string, text);
    }
    return Keep(Buffers().string, StringText(text, *target, *source, window));
}

const char* TranslateFromTable(const TranslationRow* rows, int16_t rowCount, const char* defaultText, int16_t language,
                               int16_t* err, win::Hwnd window) {
    std::string& buffer = Buffers().table;
    if (rows == nullptr) {
        SetError(err, ERR_NULL_ARGUMENT);
        return Keep(buffer, "");
    }
    const auto target = ResolveLanguage(language);
    if (!target) {
        SetError(err, ERR_UNKNOWN_KIND);
        return Keep(buffer, "");
    }
    if (rowCount < 1 || rowCount > kLanguageCount) {
        SetError(err, ERR_OUT_OF_RANGE);
        return Keep(buffer, "");
    }
    const auto found = [&](const std::string& text) {
        SetError(err, ERR_OK);
        return Keep(buffer, text);
    };
    const auto text = [](const char* t) { return t == nullptr ? std::string() : std::string(t); };
    if (*target == LANGUAGE_WIDEST) {
        std::string widest;
        int32_t best = -1;
        for (int16_t i = 0; i < rowCount; ++i) {
            const std::string candidate = text(rows[i].text);
            if (const int32_t width = MeasureText(candidate, window); width > best) {
                best = width;
                widest = candidate;
            }
        }
        if (defaultText != nullptr && MeasureText(defaultText, window) > best) {
            widest = defaultText;
        }
        return found(widest);
    }
    for (int16_t i = 0; i < rowCount; ++i) {
        if (rows[i].language != *target) {
            continue;
        }
        if (rows[i].text != nullptr && rows[i].text[0] != '\0') {
            return found(rows[i].text);
        }
        if (defaultText != nullptr) {
            return found(defaultText);
        }
        SetError(err, ERR_NOT_FOUND);
        return Keep(buffer, "");
    }
    const auto lastOf = [&](int16_t wanted) -> const char* {
        const char* last = nullptr;
        for (int16_t i = 0; i < rowCount; ++i) {
            if (rows[i].language == wanted) {
                last = rows[i].text;
            }
        }
        return last;
    };
    if (*target == LANGUAGE_FLEMISH) {
        if (const char* dutch = lastOf(LANGUAGE_DUTCH); dutch != nullptr) {
            return found(dutch);
        }
    }
    if (defaultText != nullptr) {
        return found(defaultText);
    }
    if (const char* english = lastOf(LANGUAGE_ENGLISH_US); english != nullptr) {
        return found(english);
    }
    SetError(err, ERR_NOT_FOUND);
    return Keep(buffer, "");
}

const char* DurationString(uint8_t kind, int32_t edu, int16_t count, int16_t language, int16_t* err, win::Hwnd window) {
    std::string& buffer = Buffers().duration;
    const auto target = ResolveLanguage(language);
    if (kind == 0 || kind > 15 || !target) {
        SetError(err, ERR_UNKNOWN_KIND);
        return Keep(buffer, "");
    }
    if (count < 0) {
        SetError(err, ERR_OUT_OF_RANGE);
        return Keep(buffer, "");
    }
    if (edu < 0 || edu > kLongestSplit) {
        SetError(err, ERR_OUT_OF_RANGE);
        return Keep(buffer, "");
    }
    const Duration split = SplitDuration(edu);
    if (split.level == 0) {
        SetError(err, ERR_INVALID_VALUE);
        return Keep(buffer, "");
    }
    if (*target == LANGUAGE_WIDEST) {
        std::vector<std::string> all;
        for (int16_t each = 0; each < kLanguageCount - 1; ++each) {
            if (auto text = DurationText(kind, split, count, each, err, window)) {
                all.push_back(std::move(*text));
            } else {
                return Keep(buffer, "");
            }
        }
        SetError(err, ERR_OK);
        return Keep(buffer, WidestOf(all, window));
    }
    return Keep(buffer, DurationText(kind, split, count, *target, err, window).value_or(""));
}

int16_t ResolveShortcuts(win::Hwnd dialog, const int32_t* controlIds, int16_t idCount, int16_t clearListed,
                         int16_t capitalsFirst) {
    if (dialog == win::kNoWindow || controlIds == nullptr) {
        return ERR_NULL_ARGUMENT;
    }
    if (idCount < 1 || idCount > 100) {
        return ERR_BAD_SIZE;
    }
    std::vector<win::Hwnd> listed;
    for (int16_t i = 0; i < idCount; ++i) {
        if (const win::Hwnd control = FindControl(dialog, controlIds[i]); control != win::kNoWindow) {
            listed.push_back(control);
        }
    }
    std::array<bool, 256> used{};
    std::vector<win::Hwnd> children;
    AllDescendants(dialog, children);
    for (const win::Hwnd child : children) {
        std::string caption = Caption(child);
        const size_t amp = caption.find('&');
        if (amp == std::string::npos) {
            continue;
        }
        if (clearListed != 0 && std::find(listed.begin(), listed.end(), child) != listed.end()) {
            caption.erase(amp, 1);
            win::SetWindowText(child, caption);
            continue;
        }
        if (amp + 1 < caption.size()) {
            used[static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(caption[amp + 1])))] = true;
        }
    }
    for (int round = 0; round < 2; ++round) {
        bool everyone = true;
        for (const win::Hwnd control : listed) {
            std::string caption = Caption(control);
            if (caption.find('&') != std::string::npos) {
                continue;
            }
            bool given = false;
            for (size_t i = 0; i < caption.size(); ++i) {
                const auto c = static_cast<unsigned char>(caption[i]);
                if (std::isalnum(c) == 0 || used[static_cast<size_t>(std::toupper(c))]) {
                    continue;
                }
                if (round == 0 && capitalsFirst != 0 && std::isupper(c) == 0) {
                    continue;
                }
                caption.insert(i, 1, '&');
                win::SetWindowText(control, caption);
                used[static_cast<size_t>(std::toupper(c))] = true;
                given = true;
                break;
            }
            everyone = everyone && given;
        }
        if (everyone) {
            break;
        }
    }
    return ERR_OK;
}

int16_t LoadURL(const char* address) {
    if (address == nullptr) {
        return URL_OTHER_FAILURE;
    }
    const intptr_t result = win::ShellExecute(Module().hostWindow, "open", address);
    if (result > 32) {
        return URL_OK;
    }
    switch (result) {
        case 0:
        case 8:
            return URL_OUT_OF_MEMORY;
        case 2:
            return URL_FILE_NOT_FOUND;
        case 3:
            return URL_PATH_NOT_FOUND;
        case 27:
        case 31:
            return URL_NO_ASSOCIATION;
        case 28:
        case 29:
        case 30:
            return URL_EXCHANGE_FAILED;
        default:
            return URL_OTHER_FAILURE;
    }
}

}  // namespace lumvar
