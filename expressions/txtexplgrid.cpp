#include "expressions/txtexplgrid.h"

#include <algorithm>
#include <cctype>

#include "core/host/finxess.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "expressions/txtexpleditor.h"
#include "expressions/txtexplorer.h"
#include "expressions/txtexpr.h"
#include "platform/hostapi/bytes.h"
#include "platform/vcl/forms.h"
#include "platform/win/keys.h"
#include "platform/win/system.h"
#include "platform/win/user32.h"

namespace orvex {
namespace {

/// The height the cell texts are centred for.
constexpr int32_t kTextLineHeight = 17;
constexpr int32_t kTextIndent = 5;
/// A line of a broken expression holds at most this many characters.
constexpr size_t kSecondLineLimit = 100;
constexpr int32_t kMetatoolKeySize = 6;

bool German() {
    return DispatcherEnvironment().Language() == 1;
}

/// The style letter of a kind 4-10 in an expression row (and in the editor).
std::string StyleLetter(int32_t kind) {
    static constexpr std::array<const char*, 7> kEnglish = {"B", "I", "U", "O", "S", "T", "A"};
    static constexpr std::array<const char*, 3> kGerman = {"F", "K", "U"};
    const auto i = static_cast<size_t>(kind - kKindFirstStyle);
    return German() && i < kGerman.size() ? kGerman[i] : kEnglish[i];
}

/// The caption of a detail column's header; "" for the columns without one.
std::string HeaderCaption(int32_t kind) {
    static constexpr std::array<const char*, 7> kGermanStyles = {"F", "K", "U", " R", "S", "D", "f"};
    if (kind >= kKindFirstStyle && kind <= kKindLastStyle) {
        return German() ? kGermanStyles[static_cast<size_t>(kind - kKindFirstStyle)] : StyleLetter(kind);
    }
    switch (kind) {
        case kKindFont:
            return German() ? "Schriftart" : "Font";
        case kKindSize:
            return German() ? "pk" : "siz";
        case kKindPlayback:
            return German() ? "Wiedergabe" : "playback";
        case kKindUsage:
            return German() ? "verw." : "usage";
        case kKindMetatool:
            return German() ? "Taste" : "meta";
        default:
            return "";
    }
}

}  // namespace

// clang-format off
const std::array<std::array<PlaybackParam, kPlaybackParams>, kPlaybackTypes> PlaybackParamTable = {{
    {{{2, 16384, 0, 0, 0}, {0, 1000, 0, 0, 0}, {}, {}}},             // 0 tempo
    {{{0, 127, 0, 0, 0}, {}, {}, {}}},                                // 1 key velocity
    {{{0, 127, 0, 1, 0}, {}, {}, {}}},                                // 2 transpose
    {{{0, 32767, 0, 0, 0}, {}, {}, {}}},                              // 3 dump
    {{{0, 15, 0, 0, 0}, {}, {}, {}}},                                 // 4 channel
    {{{0, 32767, 0, 0, 0}, {}, {}, {}}},                              // 5 restrike
    {{{}, {}, {}, {}}},                                               // 6 play tempos
    {{{}, {}, {}, {}}},                                               // 7 ignore tempos
    {{{2, 127, 0, 0, 0}, {0, 127, 0, 0, 0}, {}, {}}},                 // 8 controller
    {{{1, 4, 1, 0, 1}, {0, 127, 1, 0, 0}, {3, 127, 1, 0, 0}, {2, 127, 1, 0, 0}}},  // 9 patch
    {{{0, 127, 0, 0, 0}, {}, {}, {}}},                                // 10 pressure
    {{{0, 16383, 0, 1, 0}, {}, {}, {}}},                              // 11 pitch
}};
// clang-format on

int32_t PlaybackTypeIndex(int32_t kind) {
    // Only the kinds 1-8 and the MIDI status kinds 0xB0-0xEF have parameters; every other kind
    // (the index the rule would give it included) has none.
    if (kind >= 1 && kind <= 8) {
        return (kind & 15) - 1;
    }
    if (kind >= 0xB0 && kind <= 0xEF) {
        return ((kind - 176) >> 4) + 8;
    }
    return -1;
}

uint16_t StyleBitOfKind(int32_t kind) {
    return static_cast<uint16_t>(1u << (kind - kKindFirstStyle));
}

int32_t CellNumberOr(const std::string& text, int32_t fallback) {
    size_t first = text.find_first_not_of(' ');
    size_t last = text.find_last_not_of(' ');
    int32_t value = 0;
    if (first == std::string::npos || !vcl::ParseWholeNumber(text.substr(first, last - first + 1), value)) {
        return fallback;
    }
    return value;
}

// ---- TGridDrawCell ----

TGridDrawCell::TGridDrawCell(TTextExprForm& owner) : Owner(owner) {}

void TGridDrawCell::LoadRecord(int32_t index) {
    TTextExpressions& table = TextExpressionTable();
    Record = &table.Item(index);
    const std::string font = HostFontName(Record->FontNumber());
    FontName = win::AnsiToUtf8(font);
    Size = Record->FontSize() * Owner.m_state.SizeStep / 10;
    Style = Record->Style();
    IsMusicFont = table.SortTables().Contains(font) ? 1 : 0;
    CachedIndex = index;
    LoadPlayback();
}

bool TGridDrawCell::Setup(int32_t col, int32_t row, bool create, bool needKind) {
    TExplorerState& state = Owner.m_state;
    MyDrawGrid& grid = *Owner.Grid;
    TTextExpressions& table = TextExpressionTable();
    const bool twoDimensional = state.TwoDimensional != 0;
    if (twoDimensional && row == 0) {
        return false;
    }
    Kind = col;
    Index = row - 1;
    if (!twoDimensional) {
        Kind = col >= 0 && static_cast<size_t>(col) < kMaxExplorerColumns ? state.ColumnKinds[static_cast<size_t>(col)]
                                                                          : kKindNumber;
    } else if (col != 0) {
        Kind = kKindText;
        Index = (col - 1) * (grid.RowCount() - 1) + row - 1;
    }
    const int32_t count = table.ExpressionCount();
    if (Index >= 0 && state.FilterActive != 0) {
        // Position p shows the p-th expression that passed the filter; the position right after
        // the last one is the empty slot.
        const int32_t position = Index;
        const int32_t entry = position < count ? table.Item(position).FilterListEntry : 0;
        if (entry > 0) {
            Index = entry - 1;
        } else if (position == 0 || (position - 1 < count && table.Item(position - 1).FilterListEntry > 0)) {
            Index = count;
        } else {
            return false;
        }
    }
    if (Kind != kKindNumber && Index != CachedIndex) {
        if (Index >= 0 && Index < count) {
            LoadRecord(Index);
        } else if (Index == count) {
            if (!create) {
                return false;
            }
            TTxtExprRec& record = table.NewRecord();
            uint16_t fontWord = record.FontWord();
            const int32_t font =
                state.NewFontName.empty() ? -1 : HostFontNumber(win::Utf8ToAnsi(state.NewFontName).c_str());
            if (font >= 0 && font <= 255) {
                fontWord = static_cast<uint16_t>((fontWord & 0xFF00) | font);
            }
            if ((state.NewFontSize & 0xFF) != 0) {
                fontWord = static_cast<uint16_t>((fontWord & 0x00FF) | ((state.NewFontSize & 0xFF) << 8));
            }
            record.SetFontWord(fontWord);
            if (state.FilterActive != 0) {
                record.Shown = 1;
                table.Item(state.ShownCount).FilterListEntry = static_cast<uint16_t>(record.Number);
            }
            ++state.ShownCount;
            ++state.AddedWhileFiltered;
            if (twoDimensional) {
                if (row == grid.RowCount() - 1) {
                    grid.SetColCount(grid.ColCount() + 1);
                }
            } else {
                grid.SetRowCount(grid.RowCount() + 1);
                state.RowHeightKnown.push_back(false);
            }
            LoadRecord(Index);
            IsMusicFont = 0;
        } else if (Index > count) {
            return false;
        } else {
            FontName = HeaderCaption(kKindFont);
            Record = nullptr;
            CachedIndex = Index;
        }
    }
    return !(needKind && Kind == kKindNumber);
}

void TGridDrawCell::LoadPlayback() {
    ParamCount = 0;
    ParamValues.fill(0);
    const int32_t kind = Record == nullptr ? 0 : Record->Flags() & 0xFF;
    const int32_t type = PlaybackTypeIndex(kind);
    if (kind == 0 || type < 0 || type >= kPlaybackTypes) {
        PlaybackType = 0;
        return;
    }
    PlaybackType = type;
    const auto& params = PlaybackParamTable[static_cast<size_t>(type)];
    for (size_t k = 0; k < params.size(); ++k) {
        const PlaybackParam& param = params[k];
        if (param.Maximum <= 0) {
            ParamValues[k] = 0;
            continue;
        }
        const size_t at = kPlaybackParamBase + static_cast<size_t>(param.Offset);
        ParamValues[static_cast<size_t>(ParamCount)] =
            param.IsByte != 0 ? Record->Header[at] : hostapi::ReadI16(Record->Header.data(), at);
        ++ParamCount;
    }
}

bool TGridDrawCell::ParamExists(int32_t k) const {
    return Record != nullptr && k >= 0 && k < ParamCount && (Record->Flags() & 0xFF) != 0 &&
           PlaybackParamTable[static_cast<size_t>(PlaybackType)][static_cast<size_t>(k)].Maximum > 0;
}

void TGridDrawCell::SetPlaybackParam(int32_t k, const std::string& text) {
    const int32_t kind = Record == nullptr ? 0 : Record->Flags() & 0xFF;
    const int32_t type = PlaybackTypeIndex(kind);
    // A kind without parameters keeps its bytes: the type left over from another record says
    // nothing about this one.
    if (Record == nullptr || k < 0 || k >= kPlaybackParams || type < 0 || type != PlaybackType) {
        return;
    }
    const PlaybackParam& param = PlaybackParamTable[static_cast<size_t>(PlaybackType)][static_cast<size_t>(k)];
    if (param.Maximum <= 0) {
        return;
    }
    // Values outside the parameter's range would not survive its byte or word: negative values,
    // where they are allowed, stop at minus the maximum.
    const int32_t value = std::clamp(CellNumberOr(text, 0), param.Negative != 0 ? -param.Maximum : 0,
                                     static_cast<int32_t>(param.Maximum));
    ParamValues[static_cast<size_t>(k)] = value;
    const size_t at = kPlaybackParamBase + static_cast<size_t>(param.Offset);
    if (param.IsByte != 0) {
        Record->Header[at] = static_cast<uint8_t>(value);
    } else {
        hostapi::WriteI16(Record->Header.data(), at, static_cast<int16_t>(value));
    }
}

std::string TGridDrawCell::CellText() const {
    const int32_t count = TextExpressionTable().ExpressionCount();
    const bool header = Index < 0;
    const bool expression = Record != nullptr && Index >= 0 && Index < count;
    if (Kind == kKindNumber) {
        return std::to_string(Index + 1);
    }
    if (!header && !expression) {
        return "";
    }
    switch (Kind) {
        case kKindText:
            return header ? "" : win::AnsiToUtf8(Record->Text);
        case kKindFont:
            return FontName;
        case kKindSize:
            return header ? HeaderCaption(kKindSize) : std::to_string(Record->FontSize());
        case kKindPlayback:
            return header ? HeaderCaption(kKindPlayback) : std::string(PlaybackKindText(Record->Flags()));
        case kKindUsage:
            if (header) {
                return "usage";
            }
            return TextExpressionTable().UsageCounted() ? std::to_string(Record->UsageCount) : "";
        case kKindMetatool:
            if (header) {
                return "meta";
            }
            return Record->MetatoolKey != 0 ? std::string(1, static_cast<char>(Record->MetatoolKey)) : "";
        default:
            break;
    }
    if (Kind >= kKindFirstStyle && Kind <= kKindLastStyle) {
        return header || (Record->Style() & StyleBitOfKind(Kind)) != 0 ? StyleLetter(Kind) : "";
    }
    if (Kind >= kKindFirstParam && Kind <= kKindLastParam && !header && ParamExists(Kind - kKindFirstParam)) {
        return std::to_string(ParamValues[static_cast<size_t>(Kind - kKindFirstParam)]);
    }
    return "";
}

void TGridDrawCell::Draw(int32_t col, int32_t row, const vcl::TRect& rect, vcl::TGridDrawState state) {
    Owner.m_state.Drawn = 1;
    MyDrawGrid& grid = *Owner.Grid;
    vcl::TCanvas& canvas = grid.Canvas();
    const bool fixed = (state & vcl::gdFixed) != 0;
    const TGridRect selection = Owner.GridEditor().Selection();
    const bool selected =
        !fixed && ((state & vcl::gdSelected) != 0 || (col >= selection.Left && col <= selection.Right &&
                                                      row >= selection.Top && row <= selection.Bottom));
    if (fixed) {
        canvas.Brush().Color = vcl::clSilver;
    } else if (selected) {
        canvas.Brush().Color = vcl::clHighlight;
    }
    canvas.FillRect(rect);
    if (Setup(col, row, false, false)) {
        const int32_t textTop = rect.Top + (rect.Height() - kTextLineHeight) / 2;
        const bool header = row == 0;
        // Setup loaded the record of every expression cell but those of kind 0.
        const bool expression = Index >= 0 && Index < TextExpressionTable().ExpressionCount();
        const int32_t x = rect.Left + kTextIndent;
        if (header || expression) {
            std::string text;
            if (Kind == kKindNumber) {
                if (!header && Owner.m_state.TwoDimensional == 0) {
                    canvas.TextRect(rect, rect.Left, textTop, " " + std::to_string(row));
                }
            } else if (Kind == kKindText) {
                if (!header) {
                    DrawText(rect, col);
                }
            } else if (header) {
                text = HeaderCaption(Kind);
            } else if (Kind == kKindFont) {
                text = FontName;
            } else if (Kind >= kKindFirstStyle && Kind <= kKindLastStyle) {
                text = (Record->Style() & StyleBitOfKind(Kind)) != 0 ? StyleLetter(Kind) : "";
            } else if (Kind == kKindPlayback) {
                text = (Record->Flags() & 0xFF) != 0 ? std::string(PlaybackKindText(Record->Flags())) : "";
            } else {
                text = CellText();
            }
            if (!text.empty()) {
                canvas.TextRect(rect, x, textTop, text);
            }
        }
    }
    if ((state & vcl::gdFocused) != 0) {
        canvas.DrawFocusRect(rect);
    }
}

void TGridDrawCell::DrawText(const vcl::TRect& rect, int32_t col) {
    MyDrawGrid& grid = *Owner.Grid;
    vcl::TCanvas& canvas = grid.Canvas();
    vcl::TFont& font = canvas.Font();
    const std::string savedName = font.Name();
    const vcl::TFontStyles savedStyle = font.Style();
    const int32_t savedSize = font.Size();
    const bool shrinkToFit = Owner.m_state.ShrinkToFitOn != 0;
    const int32_t W = rect.Width();
    const int32_t H = rect.Height();

    vcl::TFontStyles styles = 0;
    styles |= (Style & 1) != 0 ? vcl::fsBold : 0;
    styles |= (Style & 2) != 0 ? vcl::fsItalic : 0;
    styles |= (Style & 4) != 0 ? vcl::fsUnderline : 0;
    styles |= (Style & 32) != 0 ? vcl::fsStrikeOut : 0;
    font.SetCharset(vcl::DEFAULT_CHARSET);
    font.SetName(FontName);
    font.SetStyle(styles);
    int32_t s = Size;
    font.SetSize(s);

    // The lines are cut in the document's 8-bit text, one byte a character, and measured and
    // drawn as the window system's text.
    const std::string& text = Record->Text;
    auto extent = [&canvas](const std::string& ansi) { return canvas.TextExtent(win::AnsiToUtf8(ansi)); };
    std::string line1 = text;
    std::string line2;
    vcl::TPoint e = extent(line1);
    int32_t w = e.X;
    int32_t h = e.Y;
    auto resize = [&](int32_t size) {
        s = size;
        font.SetSize(s);
        e = extent(line1);
        w = e.X;
        h = e.Y;
    };

    if (s / 2 + w > W && !(2 * h > H && !shrinkToFit)) {
        const int32_t s0 = s;
        if (2 * h > H) {
            resize(H * s / std::max(2 * h, 1));
        }
        if (shrinkToFit && w / 2 + s / 4 > W) {
            resize(s0);
            resize(W * s0 / std::max(w / 2 + s0 / 4, 1));
        }
        if (s / 2 + w > W) {
            bool broken = false;
            const auto length = static_cast<int32_t>(text.size());
            for (int32_t pass = 0; pass < 2 && !broken; ++pass) {
                for (int32_t p = length - 2; p >= 3; --p) {
                    if (pass == 0 && text[static_cast<size_t>(p - 1)] != ' ') {
                        continue;
                    }
                    const std::string first = text.substr(0, static_cast<size_t>(p));
                    const std::string second = text.substr(static_cast<size_t>(p), kSecondLineLimit);
                    if (s / 4 + std::max(extent(first).X, extent(second).X) <= W) {
                        line1 = first.substr(0, first.find_last_not_of(' ') + 1);
                        line2 = second;
                        broken = true;
                        break;
                    }
                }
            }
            if (!broken) {
                line2.clear();
            }
            resize(broken ? s : s0);
        }
    }
    if (line2.empty() && s / 2 + w > W) {
        if (Owner.m_state.AdjustWidth != 0) {
            // The column grows to the text; it shows at the next painting.
            grid.SetColWidths(col, s / 2 + w);
            font.SetName(savedName);
            font.SetStyle(savedStyle);
            font.SetSize(savedSize);
            return;
        }
        if (shrinkToFit) {
            resize(W * s / std::max(s / 2 + w, 1));
        }
    }
    const int32_t x = rect.Left + s / 4;
    const int32_t y = h <= H ? rect.Top : rect.Top - (h - H) / 2;
    canvas.TextRect(rect, x, y, win::AnsiToUtf8(line1));
    if (IsMusicFont == 0 && !line2.empty()) {
        canvas.TextRect(rect, x, y + h, win::AnsiToUtf8(line2));
    }
    font.SetName(savedName);
    font.SetStyle(savedStyle);
    if (Record->MetatoolKey != 0) {
        const std::string key(1, static_cast<char>(Record->MetatoolKey));
        font.SetSize(kMetatoolKeySize);
        canvas.TextRect(rect, rect.Right - canvas.TextWidth(key) - 1, rect.Top, key);
    }
    font.SetSize(savedSize);
}
}  // namespace orvex
