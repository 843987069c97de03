#include "expressions/charset.h"

#include <algorithm>
#include <cstring>

#include "core/host/finxess.h"
#include "core/host/finxess_regions.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "expressions/txtexpr.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/lyric_records.h"
#include "platform/win/system.h"

namespace orvex {
namespace {

constexpr int32_t kBracketSteps = 6;
constexpr int32_t kEndOfIds = 65536;
using hostapi::kTagTextBlockText;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

/// The names of the sort tables and of the comma-separated list, in upper case. An empty name is
/// left out: it would exclude every text with a font command.
ExcludedFonts ExcludedFontList(const TCSortTables& tables, std::string_view fontsToExclude) {
    ExcludedFonts names;
    for (const TSortTables& table : tables.Tables()) {
        if (!Trim(table.FontName).empty()) {
            names.push_back(LocaleUpper(table.FontName));
        }
    }
    while (!fontsToExclude.empty()) {
        const size_t comma = fontsToExclude.find(',');
        const std::string_view name = Trim(fontsToExclude.substr(0, comma));
        fontsToExclude = comma == std::string_view::npos ? std::string_view() : fontsToExclude.substr(comma + 1);
        if (!name.empty()) {
            names.push_back(LocaleUpper(name));
        }
    }
    return names;
}

/// Whether an expression is set in a font whose texts stay as they are: it carries the music-font
/// mark, or its font is one of the excluded (the mark is not made when the table is analysed in
/// number order, and fonts to exclude can be missing from tables built earlier).
bool KeepsItsText(const TTxtExprRec& record, const ExcludedFonts& excluded) {
    if (record.MusicFont != 0) {
        return true;
    }
    const std::string font = LocaleUpper(HostFontName(record.FontNumber()));
    return !font.empty() && std::find(excluded.begin(), excluded.end(), font) != excluded.end();
}

}  // namespace

void CleanConversionPair(std::string& source, std::string& target) {
    size_t i = 0;
    while (i < source.size() && i < target.size()) {
        if (source[i] == target[i]) {
            source.erase(i, 1);
            target.erase(i, 1);
        } else {
            ++i;
        }
    }
}

bool ConvertText(char* text, std::string_view source, std::string_view target, bool allTexts,
                 const ExcludedFonts& excluded) {
    if (!allTexts) {
        const std::string upper = LocaleUpper(text);
        if (upper.find("^FONT") == std::string::npos) {
            return false;
        }
        for (const std::string& font : excluded) {
            if (!font.empty() && upper.find("^FONT(" + font) != std::string::npos) {
                return false;
            }
        }
    }
    bool changed = false;
    for (char* p = text; *p != '\0'; ++p) {
        const size_t at = source.find(*p);
        if (at != std::string_view::npos && at < target.size() && target[at] != *p) {
            *p = target[at];
            changed = true;
        }
    }
    return changed;
}

void ConvertTextRecords(hostapi::Tag tag, std::string_view source, std::string_view target, int32_t firstId,
                        int32_t endId, const ExcludedFonts& excluded) {
    std::string text;
    for (int32_t id = firstId; id < endId; ++id) {
        // The whole text, however long, is converted and written back whole.
        if (!LoadTextRecord(tag, id, 0, text) || !ConvertText(text.data(), source, target, false, excluded)) {
            continue;
        }
        const auto size = static_cast<int32_t>(text.size() + 1);
        if (!SaveOtherRecord(tag, id, 0, text.c_str(), size)) {
            int32_t cmper = id;
            int32_t inci = 0;
            CreateOtherRecord(tag, cmper, inci, text.c_str(), size);
        }
    }
}

bool RunCharsetConversion(const RunEnvironment& environment, std::string source, std::string target,
                          std::string_view fontsToExclude) {
    TTextExpressions& expressions = TextExpressionTable();
    // The shared tables come from the sort options; the fonts this run excludes count for this run
    // only (the excluded list below), never as music fonts of later runs.
    expressions.SortTables().Build(expressions.Options().AdditionalFonts);
    expressions.LoadFromDocument();
    expressions.AnalyzeAll();
    const ExcludedFonts excluded = ExcludedFontList(expressions.SortTables(), fontsToExclude);

    ScopedEditBracket bracket(environment.Region(), kBracketSteps);
    CleanConversionPair(source, target);
    for (const hostapi::Tag tag :
         {hostapi::kTagVerseText, hostapi::kTagSectionText, hostapi::kTagChorusText, kTagTextBlockText}) {
        bracket.Step();  // the answer is not looked at: the conversion runs whole
        ConvertTextRecords(tag, source, target, 0, kEndOfIds, excluded);
    }
    bracket.Step();
    for (int32_t position = 0; position < expressions.ExpressionCount(); ++position) {
        TTxtExprRec& record = expressions.Item(position);
        if (record.NotRead != 0 || KeepsItsText(record, excluded)) {
            continue;
        }
        // The whole text, however long.
        std::string text = record.Text;
        if (ConvertText(text.data(), source, target, true, excluded)) {
            record.Text = std::move(text);
            record.Modified = 1;
        }
    }
    expressions.WriteBackModified();
    bracket.End(false);  // the conversion ran whole, whatever the user chose
    return true;
}

bool RunCharsetConversionTool(TFMisc& context) {
    // The rows hold the plug-in's texts; the conversion works on the document's bytes.
    const bool reverse = RowOn(context.Options, CHARSET_REVERSE);
    return RunCharsetConversion(context.Environment,
                                win::Utf8ToAnsi(RowText(context.Options, reverse ? CHARSET_TARGET : CHARSET_SOURCE)),
                                win::Utf8ToAnsi(RowText(context.Options, reverse ? CHARSET_SOURCE : CHARSET_TARGET)),
                                win::Utf8ToAnsi(RowText(context.Options, CHARSET_EXCLUDED_FONTS)));
}

}  // namespace orvex
