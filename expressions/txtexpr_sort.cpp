#include "expressions/txtexpr_sort.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstring>
#include <memory>
#include <optional>

#include "core/module.h"
#include "expressions/txtexpr.h"

namespace orvex {

namespace {

/// The case flag of the table being sorted, for the comparison the sort calls.
struct SortUnit {
    uint8_t compareCaseFlag = 0;
};

SortUnit& SortState() {
    return UnitState<SortUnit>();
}

constexpr std::string_view kFontLine = "#FONT ";
constexpr size_t kGroupCharacter = 6;  ///< the 7th character of a "#FONT " line
constexpr size_t kNameStart = 8;       ///< the name from the 9th character
constexpr size_t kLongestName = 100;
constexpr uint8_t kHostFontGroup = 1;  ///< the value 1, not the character '1'
constexpr std::string_view kMusicSourceFont = "Petrucci";
constexpr std::string_view kEngraverNames = "Engraver Font Vx!,EngraverFontSet,Maestro,Maestro Wide";
constexpr std::string_view kPetrucciNames = "Susato,Sonata,Anastasia,Jazz";
constexpr uint16_t kPlainStyle = 0x00FF;  ///< the style word that sorts as 0xFF

/// The text without leading and trailing blanks and control characters.
std::string_view Trim(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') {
        text.remove_suffix(1);
    }
    return text;
}

/// Compares two byte strings as unsigned bytes; a prefix comes first.
int32_t CompareBytes(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    if (const int order = std::memcmp(a.data(), b.data(), common); order != 0) {
        return order < 0 ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

/// The value of a text that is exactly the decimal form of a 32-bit whole number.
std::optional<int64_t> WholeNumber(std::string_view text) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < INT32_MIN || value > INT32_MAX ||
        std::to_string(value) != text) {
        return std::nullopt;
    }
    return value;
}

/// The collation weights of one Windows-1252 character: its class and letter, its accent, its case.
struct Weights {
    int32_t primary;
    int32_t secondary;
    int32_t tertiary;
};

/// The plain letter (lower case) of a Windows-1252 letter; 0 for a character that is no letter.
char BaseLetter(uint8_t c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<char>(c);
    }
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    // clang-format off
    static constexpr struct { uint8_t code; char base; } kAccented[] = {
        {0x8A, 's'}, {0x8C, 'o'}, {0x8E, 'z'}, {0x9A, 's'}, {0x9C, 'o'}, {0x9E, 'z'}, {0x9F, 'y'},
        {0xC0, 'a'}, {0xC1, 'a'}, {0xC2, 'a'}, {0xC3, 'a'}, {0xC4, 'a'}, {0xC5, 'a'}, {0xC6, 'a'}, {0xC7, 'c'},  // 0xC0-0xC7
        {0xC8, 'e'}, {0xC9, 'e'}, {0xCA, 'e'}, {0xCB, 'e'}, {0xCC, 'i'}, {0xCD, 'i'}, {0xCE, 'i'}, {0xCF, 'i'},  // 0xC8-0xCF
        {0xD0, 'd'}, {0xD1, 'n'}, {0xD2, 'o'}, {0xD3, 'o'}, {0xD4, 'o'}, {0xD5, 'o'}, {0xD6, 'o'},               // 0xD0-0xD6
        {0xD8, 'o'}, {0xD9, 'u'}, {0xDA, 'u'}, {0xDB, 'u'}, {0xDC, 'u'}, {0xDD, 'y'}, {0xDE, 't'}, {0xDF, 's'},  // 0xD8-0xDF
        {0xE0, 'a'}, {0xE1, 'a'}, {0xE2, 'a'}, {0xE3, 'a'}, {0xE4, 'a'}, {0xE5, 'a'}, {0xE6, 'a'}, {0xE7, 'c'},  // 0xE0-0xE7
        {0xE8, 'e'}, {0xE9, 'e'}, {0xEA, 'e'}, {0xEB, 'e'}, {0xEC, 'i'}, {0xED, 'i'}, {0xEE, 'i'}, {0xEF, 'i'},  // 0xE8-0xEF
        {0xF0, 'd'}, {0xF1, 'n'}, {0xF2, 'o'}, {0xF3, 'o'}, {0xF4, 'o'}, {0xF5, 'o'}, {0xF6, 'o'},               // 0xF0-0xF6
        {0xF8, 'o'}, {0xF9, 'u'}, {0xFA, 'u'}, {0xFB, 'u'}, {0xFC, 'u'}, {0xFD, 'y'}, {0xFE, 't'}, {0xFF, 'y'},  // 0xF8-0xFF
    };
    // clang-format on
    for (const auto& letter : kAccented) {
        if (letter.code == c) {
            return letter.base;
        }
    }
    return 0;
}

bool IsUpperLetter(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9F ||
           (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

Weights WeightsOf(uint8_t c) {
    if (const char base = BaseLetter(c); base != 0) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        return {0x300 + (base - 'a'), plain ? 0 : c, IsUpperLetter(c) ? 1 : 0};
    }
    if (c >= '0' && c <= '9') {
        return {0x200 + (c - '0'), 0, 0};
    }
    return {0x100 + c, 0, 0};  // blanks, signs and symbols, in code order
}

/// Compares the weights of one level over both texts; a prefix comes first.
template <typename Level>
int32_t CompareLevel(std::string_view a, std::string_view b, Level level) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const int32_t wa = level(WeightsOf(static_cast<uint8_t>(a[i])));
        const int32_t wb = level(WeightsOf(static_cast<uint8_t>(b[i])));
        if (wa != wb) {
            return wa < wb ? -1 : 1;
        }
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

/// Sorts the records by TxtExprLess: a merge sort, which stays within the vector whatever the
/// comparison answers (whole numbers and texts do not always order transitively).
void MergeSort(std::vector<std::unique_ptr<TTxtExprRec>>& records) {
    std::vector<std::unique_ptr<TTxtExprRec>> buffer(records.size());
    for (size_t width = 1; width < records.size(); width *= 2) {
        for (size_t left = 0; left < records.size(); left += 2 * width) {
            const size_t middle = std::min(left + width, records.size());
            const size_t right = std::min(left + 2 * width, records.size());
            size_t i = left;
            size_t j = middle;
            size_t out = left;
            while (i < middle && j < right) {
                buffer[out++] =
                    std::move(TxtExprLess(records[j].get(), records[i].get()) ? records[j++] : records[i++]);
            }
            while (i < middle) {
                buffer[out++] = std::move(records[i++]);
            }
            while (j < right) {
                buffer[out++] = std::move(records[j++]);
            }
        }
        records.swap(buffer);
    }
}

}  // namespace

std::string LocaleUpper(std::string_view text) {
    std::string upper(text);
    for (char& ch : upper) {
        const auto c = static_cast<uint8_t>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
            ch = static_cast<char>(c - 0x20);
        } else if (c == 0x9A || c == 0x9C || c == 0x9E) {
            ch = static_cast<char>(c - 0x10);
        } else if (c == 0xFF) {
            ch = static_cast<char>(0x9F);
        }
    }
    return upper;
}

int32_t LocaleCompare(std::string_view a, std::string_view b, bool ignoreCase) {
    if (const int32_t order = CompareLevel(a, b, [](const Weights& w) { return w.primary; }); order != 0) {
        return order;
    }
    if (const int32_t order = CompareLevel(a, b, [](const Weights& w) { return w.secondary; }); order != 0) {
        return order;
    }
    return ignoreCase ? 0 : CompareLevel(a, b, [](const Weights& w) { return w.tertiary; });
}

std::string PaddedNumber(int32_t number) {
    std::string text = std::to_string(number);
    if (text.size() < 5) {
        text.insert(0, 5 - text.size(), '0');
    }
    return text;
}

// ---- The sort tables ----

void TCSortTables::Append(TSortTables record, int32_t lastRank) {
    for (size_t c = 1; c < record.Order.size(); ++c) {
        if (record.Order[c] == 0) {
            if (lastRank < 255) {
                ++lastRank;
            }
            record.Order[c] = static_cast<uint8_t>(lastRank);
        }
    }
    m_tables.push_back(std::move(record));
}

void TCSortTables::Build(std::string_view additionalFonts) {
    // Built afresh: fonts a former list named are music fonts no longer.
    m_tables.clear();
    m_built = 1;
    size_t musicSource = 0;
    std::optional<TSortTables> open;
    int32_t rank = 0;
    std::string_view list = CharOrderList;
    while (!list.empty()) {
        const size_t end = list.find('\n');
        std::string_view line = list.substr(0, end);
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
        if (!line.empty() && static_cast<unsigned char>(line.front()) < 0x20) {
            line.remove_prefix(1);
        }
        if (line.starts_with(kFontLine)) {
            if (open) {
                Append(std::move(*open), rank);
            }
            open.emplace();
            rank = 0;
            open->Group = line.size() > kGroupCharacter ? static_cast<uint8_t>(line[kGroupCharacter]) : 0;
            open->FontName = std::string(line.substr(std::min(kNameStart, line.size()), kLongestName));
            if (open->FontName == kMusicSourceFont) {
                musicSource = m_tables.size();
            }
            continue;
        }
        if (!open) {
            continue;
        }
        for (const char ch : line) {
            const auto c = static_cast<uint8_t>(ch);
            if (c == ' ' || open->Order[c] != 0) {
                continue;
            }
            if (rank < 255) {
                ++rank;
            }
            open->Order[c] = static_cast<uint8_t>(rank);
        }
    }
    if (open) {
        Append(std::move(*open), rank);
    }
    const std::string hostFont = HostFontName(0);
    if (!Contains(hostFont)) {
        TSortTables record;
        record.FontName = hostFont;
        record.Group = kHostFontGroup;
        record.Order = m_tables.front().Order;
        m_tables.push_back(std::move(record));
    }
    AddFontList(kEngraverNames, 0);
    AddFontList(kPetrucciNames, musicSource);
    AddFontList(additionalFonts, musicSource);
}

void TCSortTables::AddFontList(std::string_view list, size_t sourceIndex) {
    if (sourceIndex >= m_tables.size()) {
        return;
    }
    list = Trim(list);
    while (!list.empty()) {
        const size_t comma = list.find(',');
        const std::string_view name = Trim(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view() : Trim(list.substr(comma + 1));
        TSortTables record;
        record.FontName = std::string(name);
        record.Group = m_tables[sourceIndex].Group;
        record.Order = m_tables[sourceIndex].Order;
        m_tables.push_back(std::move(record));
    }
}

bool TCSortTables::Contains(std::string_view fontName) const {
    const std::string wanted = LocaleUpper(fontName);
    return std::any_of(m_tables.begin(), m_tables.end(),
                       [&](const TSortTables& table) { return LocaleUpper(table.FontName) == wanted; });
}

const TSortTables* TCSortTables::Find(std::string_view fontName) const {
    const auto it = std::find_if(m_tables.begin(), m_tables.end(),
                                 [&](const TSortTables& table) { return table.FontName == fontName; });
    return it == m_tables.end() ? nullptr : &*it;
}

void TCSortTables::Clear() {
    m_built = 0;
    m_tables.clear();
}

// ---- The analysis ----

void TTextExpressions::Analyze(TTxtExprRec& record, int32_t position) {
    const TSortOptions& options = m_options;
    if (options.NumberOrder != 0) {
        record.SortText.clear();
        record.SortKey = PaddedNumber(record.Number);
        return;
    }
    record.SortText = record.Text;
    std::string& text = record.SortText;
    if (!text.empty() && (text.front() == ' ' || text.front() == '(' || text.front() == '[') &&
        std::any_of(text.begin() + 1, text.end(), [](char ch) {
            const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
        })) {
        text.erase(0, 1);
    }
    const std::string fontName = HostFontName(record.FontNumber());
    const TSortTables* table = m_sortTables.Find(fontName);
    const bool music = table != nullptr;
    if (music) {
        for (char& ch : text) {
            ch = static_cast<char>(table->Order[static_cast<uint8_t>(ch)]);
        }
    }
    record.MusicFont = music ? 1 : 0;
    record.DynamicsGlyph = music && HasAnyOfChars(record.Text) ? 1 : 0;

    const auto size = static_cast<int8_t>(record.FontSize());
    const bool emptyLike = text.empty() || size <= 1;
    if (options.EmptySticks != 0 && emptyLike) {
        const TTxtExprRec& previous = Item(position - 1);
        record.SortText = previous.SortText + " ";
        record.SortKey = previous.SortKey;
        return;
    }
    const char first = (options.MusicFontsFirst != 0) == music ? '0' : '1';
    record.SortKey = std::string(1, first);
    if (music) {
        record.SortKey += static_cast<char>(table->Group);
        if (options.SortMusicFonts == 0) {
            record.SortText = PaddedNumber(record.Number);
        }
        return;
    }
    for (int32_t p = 0; p <= 4; ++p) {
        if (options.SeparateFamilies != 0 && options.FamilyPriority == p) {
            record.SortKey += fontName;
        }
        if (options.SeparateSizes != 0 && options.SizePriority == p) {
            record.SortKey += static_cast<char>(record.FontSize() == 0 ? 0x01 : record.FontSize());
        }
        if (options.SeparateStyles != 0 && options.StylePriority == p) {
            record.SortKey += static_cast<char>(record.Style() == kPlainStyle ? 0xFF : (record.Style() & 0xFF) + 1);
        }
    }
}

void TTextExpressions::AnalyzeAll() {
    for (int32_t position = 0; position < Count(); ++position) {
        Analyze(*m_records[static_cast<size_t>(position)], position);
    }
    m_analysed = 1;
}

void TTextExpressions::Sort(bool noSorting) {
    SortState().compareCaseFlag = m_options.CaseFlag;
    // The fillers of an earlier sort are no records of their own.
    m_records.resize(static_cast<size_t>(std::clamp(m_count, 0, Count())));
    AnalyzeAll();
    if (!noSorting) {
        MergeSort(m_records);
    }
    for (const auto& record : m_records) {
        record->MovedTo = 0;
    }
    m_count = Count();
    for (int32_t i = 1; i <= m_count; ++i) {
        const int32_t number = m_records[static_cast<size_t>(i - 1)]->Number;
        if (number < 1) {
            continue;
        }
        while (Count() < number) {
            m_records.push_back(std::make_unique<TTxtExprRec>());
        }
        m_records[static_cast<size_t>(number - 1)]->MovedTo = static_cast<int16_t>(i);
    }
    m_sorted = 1;
}

// ---- The comparison ----

int32_t CompareTxtExprRec(const TTxtExprRec* a, const TTxtExprRec* b) {
    if (a == b) {
        return 0;
    }
    if (a == nullptr) {
        return -1;
    }
    if (b == nullptr) {
        return 1;
    }
    if (const int32_t order = CompareBytes(a->SortKey, b->SortKey); order != 0) {
        return order;
    }
    // An empty sort text comes first; two empty ones are equal, so that the order stays one.
    if (a->SortText.empty() || b->SortText.empty()) {
        return a->SortText.empty() && b->SortText.empty() ? 0 : a->SortText.empty() ? -1 : 1;
    }
    const auto na = WholeNumber(a->SortText);
    const auto nb = WholeNumber(b->SortText);
    if (na && nb) {
        return *na < *nb ? -1 : *na > *nb ? 1 : 0;
    }
    if (a->MusicFont != 0 || b->MusicFont != 0) {
        return CompareBytes(a->SortText, b->SortText);
    }
    // The option labelled "case-sensitive sorting" compares with regard to case.
    return LocaleCompare(a->SortText, b->SortText, SortState().compareCaseFlag == 0);
}

}  // namespace orvex
