// The sort engine for text expressions: the font sort tables (a character order per music font,
// from the built-in CharOrderList), the sort options, the analysis that gives each record of a
// TTextExpressions table a sort key (a short byte string of section characters) and a sort text,
// and the comparison that orders records by key first and text second. The analysis and the
// sort are operations of the table (txtexpr.h); they are defined in txtexpr_sort.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvex {

struct TTxtExprRec;

/// The sorter's options, as the sorter form (or tool item 9) gives them.
struct TSortOptions {
    uint8_t NumberOrder = 0;      ///< key every record by its expression number (document order)
    std::string AdditionalFonts;  ///< comma-separated names of further music fonts (8-bit)
    uint8_t EmptySticks = 0;      ///< an empty expression stays behind its predecessor
    uint8_t CaseFlag = 0;         ///< "case-sensitive sorting"
    uint8_t MusicFontsFirst = 0;
    uint8_t SortMusicFonts = 0;  ///< clear: the music font sections keep the document order
    uint8_t SeparateFamilies = 0;
    uint8_t SeparateSizes = 0;
    uint8_t SeparateStyles = 0;
    int32_t FamilyPriority = 0;  ///< 1-3 from the form; 4 (never matching) for a text that is no number
    int32_t SizePriority = 0;
    int32_t StylePriority = 0;
};

/// One font's character order.
struct TSortTables {
    std::string FontName;
    uint8_t Group = 0;                 ///< '1'-'5' for the listed fonts; 1 for the host's font 0
    std::array<uint8_t, 256> Order{};  ///< the rank of every character code
};

/// The font sort tables; the first record whose name matches wins every lookup.
class TCSortTables {
public:
    bool Built() const { return m_built != 0; }
    const std::vector<TSortTables>& Tables() const { return m_tables; }

    /// Sets the built flag and appends the tables of CharOrderList, the host's font 0 (when not
    /// listed), the Engraver and Maestro names, the fonts treated like Petrucci and the
    /// additional fonts (a second build appends a second set).
    void Build(std::string_view additionalFonts);
    /// Gives every code 1-255 without a rank the next rank (at most 255), in code order, and
    /// appends the record.
    void Append(TSortTables record, int32_t lastRank);
    /// Appends a record for each name of a comma-separated list with the group and order of
    /// the record at `sourceIndex`.
    void AddFontList(std::string_view list, size_t sourceIndex);
    /// Whether a record's name equals the name, both in upper case.
    bool Contains(std::string_view fontName) const;
    /// The first record whose name equals the name exactly; nullptr for none.
    const TSortTables* Find(std::string_view fontName) const;
    /// Empties the tables and clears the built flag.
    void Clear();

private:
    uint8_t m_built = 0;
    std::vector<TSortTables> m_tables;
};

/// The built-in list of music fonts and character orders: lines separated by line feeds; a line
/// "#FONT G NAME" opens font NAME of group G, other lines list its characters in rank order.
extern const std::string_view CharOrderList;

/// Negative, 0 or positive: by sort key (unsigned bytes, a prefix first), then an empty sort text
/// first, two whole numbers by value, music fonts by the bytes of their sort texts, other texts
/// by LocaleCompare, with regard to case when the options of the table sorted last
/// (TTextExpressions::Sort) ask for it.
int32_t CompareTxtExprRec(const TTxtExprRec* a, const TTxtExprRec* b);
inline bool TxtExprLess(const TTxtExprRec* a, const TTxtExprRec* b) {
    return CompareTxtExprRec(a, b) < 0;
}
/// The user's locale order of two 8-bit (Windows-1252) texts: letters without regard to accents
/// and case first, then accents, then case (small letters first) unless `ignoreCase`; signs and
/// blanks before digits, digits before letters.
int32_t LocaleCompare(std::string_view a, std::string_view b, bool ignoreCase);
/// The text in upper case (ASCII and the Windows-1252 letters).
std::string LocaleUpper(std::string_view text);
/// The number padded on the left with '0' to at least 5 characters.
std::string PaddedNumber(int32_t number);

}  // namespace orvex
