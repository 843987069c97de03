// The explorer's grid: TGridDrawCell maps a grid cell to a text expression and a column kind,
// draws the expression in its own font (shrinking, breaking or widening to fit) and the texts of
// the detail columns, and reads and writes the expression's playback values. The layout
// arithmetic and the in-place editing are methods of the explorer form, defined in
// txtexplgrid_form.cpp.
//
// Column kinds: 0 the row number (fixed column), 1 the expression, 2 the font name, 3 the size,
// 4-10 the style letters (bits 1, 2, 4, 8, 16, 32, 64), 11 the playback kind, 12-15 the playback
// parameters 1-4, 20 the usage count, 21 the metatool key. In the two-dimensional layout column 0
// has kind 0 and every other cell kind 1.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/vcl/classes.h"
#include "platform/vcl/grids.h"

namespace orvex {

class TTextExprForm;
struct TTxtExprRec;

inline constexpr int32_t kKindNumber = 0;
inline constexpr int32_t kKindText = 1;
inline constexpr int32_t kKindFont = 2;
inline constexpr int32_t kKindSize = 3;
inline constexpr int32_t kKindFirstStyle = 4;
inline constexpr int32_t kKindLastStyle = 10;
inline constexpr int32_t kKindPlayback = 11;
inline constexpr int32_t kKindFirstParam = 12;
inline constexpr int32_t kKindLastParam = 15;
inline constexpr int32_t kKindUsage = 20;
inline constexpr int32_t kKindMetatool = 21;

/// One playback parameter of a playback type: where it lies in the expression's playback bytes
/// (the 'SODT' header from byte 4 on), its largest value (0: the type has no such parameter),
/// whether it is one byte (else a signed 16-bit word) and whether it may be negative.
struct PlaybackParam {
    int32_t Offset = 0;
    int16_t Maximum = 0;
    uint8_t IsByte = 0;
    uint8_t Negative = 0;
    uint8_t Spare = 0;
};
inline constexpr int32_t kPlaybackTypes = 12;
inline constexpr int32_t kPlaybackParams = 4;
extern const std::array<std::array<PlaybackParam, kPlaybackParams>, kPlaybackTypes> PlaybackParamTable;
/// The playback type of a playback kind (the flags word's low byte): kinds below 16 give
/// (kind AND 15) - 1, the MIDI status kinds ((kind - 176) >> 4) + 8; outside 0-11 none.
int32_t PlaybackTypeIndex(int32_t kind);
/// The first byte of the playback parameters in the 'SODT' header.
inline constexpr size_t kPlaybackParamBase = 4;

/// The style bit (1, 2, 4, ... 64) of a style column kind 4-10.
uint16_t StyleBitOfKind(int32_t kind);
/// The text of a cell as a whole number, blanks around it allowed; `fallback` when it is none.
int32_t CellNumberOr(const std::string& text, int32_t fallback);

/// The one cell object of an explorer form.
class TGridDrawCell : public vcl::TObject {
public:
    explicit TGridDrawCell(TTextExprForm& owner);

    std::string FontName;      ///< font of the cached record (UTF-8), or the font column's header
    int32_t CachedIndex = -2;  ///< record index whose data the cache holds; -2 = none
    int32_t Size = 0;          ///< display size: the record's size x SizeStep / 10
    int32_t Style = 0;         ///< the record's style word
    TTxtExprRec* Record = nullptr;
    uint8_t IsMusicFont = 0;   ///< the font is one of the sort tables' music fonts
    int32_t ParamCount = 0;    ///< playback parameters of the cached record (0-4)
    int32_t PlaybackType = 0;  ///< 0-11
    std::array<int32_t, kPlaybackParams> ParamValues{};
    int32_t Kind = 0;   ///< column kind of the cell last resolved
    int32_t Index = 0;  ///< record index of the cell last resolved; -1 header, the count for the empty slot
    TTextExprForm& Owner;

    /// Resolves a cell to its kind and record (the filter applied); with `create` the empty slot
    /// after the last expression becomes a new expression. False for a cell without a record
    /// (unless `create`), for the two-dimensional header row, and for kind 0 when `needKind`.
    bool Setup(int32_t col, int32_t row, bool create, bool needKind);
    /// Paints a cell (fill, content of its kind, focus rectangle).
    void Draw(int32_t col, int32_t row, const vcl::TRect& rect, vcl::TGridDrawState state);
    /// Draws the cached expression's text in its font and style, fitted to the cell.
    void DrawText(const vcl::TRect& rect, int32_t col);
    /// The text of the cell last resolved, as the in-place editor shows it (UTF-8).
    std::string CellText() const;
    /// Reads the cached record's playback parameters.
    void LoadPlayback();
    /// Writes playback parameter k (0-3) from a text, kept within the parameter's limits.
    void SetPlaybackParam(int32_t k, const std::string& text);
    /// The parameter exists for the cached record's playback type.
    bool ParamExists(int32_t k) const;

private:
    /// Loads the cache from the record at `index`.
    void LoadRecord(int32_t index);
};

}  // namespace orvex
