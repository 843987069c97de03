// The draw grid: rows and columns of cells that the form paints itself (OnDrawCell), with
// fixed rows and columns, a current cell, and the top-left scrolling cell.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vcl/controls.h"

namespace vcl {

using TGridDrawState = uint8_t;
inline constexpr TGridDrawState gdSelected = 1;
inline constexpr TGridDrawState gdFocused = 2;
inline constexpr TGridDrawState gdFixed = 4;

using TDrawCellEvent =
    std::function<void(TObject* Sender, int32_t ACol, int32_t ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int32_t ACol, int32_t ARow, bool& CanSelect)>;

/// Row and Col must lie in the scrolling part (at or after the fixed rows and columns), else
/// setting them throws std::out_of_range ("Grid index out of range"); OnSelectCell may refuse a
/// new current cell. TopRow and LeftCol are clamped to the scrolling part. By keys: the arrows
/// move the current cell by one, Page Up and Page Down by the rows in sight, Home and End to
/// the first and last column (with Ctrl to the first and last row).
class TDrawGrid : public TCustomControl {
public:
    explicit TDrawGrid(TComponent* owner);

    int32_t ColCount() const { return static_cast<int32_t>(m_colWidths.size()); }
    void SetColCount(int32_t count);
    int32_t RowCount() const { return static_cast<int32_t>(m_rowHeights.size()); }
    void SetRowCount(int32_t count);
    int32_t FixedCols() const { return m_fixedCols; }
    void SetFixedCols(int32_t count);
    int32_t FixedRows() const { return m_fixedRows; }
    void SetFixedRows(int32_t count);
    int32_t DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int32_t width);
    int32_t DefaultRowHeight() const { return m_defaultRowHeight; }
    void SetDefaultRowHeight(int32_t height);
    int32_t ColWidths(int32_t col) const;
    void SetColWidths(int32_t col, int32_t width);
    int32_t RowHeights(int32_t row) const;
    void SetRowHeights(int32_t row, int32_t height);
    int32_t GridLineWidth() const { return m_gridLineWidth; }
    void SetGridLineWidth(int32_t width) { m_gridLineWidth = width; }

    int32_t Row() const { return m_row; }
    void SetRow(int32_t row) { FocusCell(m_col, row); }
    int32_t Col() const { return m_col; }
    void SetCol(int32_t col) { FocusCell(col, m_row); }
    int32_t TopRow() const { return m_topRow; }
    void SetTopRow(int32_t row);
    int32_t LeftCol() const { return m_leftCol; }
    void SetLeftCol(int32_t col);
    /// Scrolling rows and columns that fit wholly in the grid below and right of the fixed ones.
    int32_t VisibleRowCount() const;
    int32_t VisibleColCount() const;
    /// The cell's rectangle in the grid; empty when the cell is scrolled out of sight.
    TRect CellRect(int32_t col, int32_t row) const;
    /// Makes (col, row) the current cell when OnSelectCell allows it; answers whether it is.
    bool FocusCell(int32_t col, int32_t row);
    /// The cell that a moving key (an arrow, Page Up, Page Down, Home, End) leads to from the
    /// current one, within the scrolling part; false for another key and a grid without one.
    bool CellByKey(uint16_t key, TShiftState shift, int32_t& col, int32_t& row) const;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnTopLeftChanged;

    std::string KindName() const override { return "grid"; }
    /// "columns 130,40 rows 17*12 fixed 0,1": the widths and heights, a run of equal ones as
    /// SIZE*COUNT, and the fixed columns and rows.
    std::string LayoutText() const override;
    bool SetPressesMouse() const override { return true; }
    std::string ValueText() const override;
    /// "COL,ROW": the user clicks that cell.
    std::string UserSet(std::string_view value) override;

protected:
    void Paint() override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    bool WantsKey(uint16_t key) const override;
    /// Paints one cell now when it can be seen.
    void InvalidateCell(int32_t col, int32_t row);
    virtual void DrawCell(int32_t col, int32_t row, const TRect& rect, TGridDrawState state);

private:
    void CheckCell(int32_t col, int32_t row) const;
    void ClampTopLeft();
    void ScrollIntoView();
    int32_t FixedWidth() const;
    int32_t FixedHeight() const;

    std::vector<int32_t> m_colWidths;
    std::vector<int32_t> m_rowHeights;
    int32_t m_fixedCols = 1;
    int32_t m_fixedRows = 1;
    int32_t m_defaultColWidth = 64;
    int32_t m_defaultRowHeight = 24;
    int32_t m_gridLineWidth = 1;
    int32_t m_row = 1;
    int32_t m_col = 1;
    int32_t m_topRow = 1;
    int32_t m_leftCol = 1;
};

}  // namespace vcl
