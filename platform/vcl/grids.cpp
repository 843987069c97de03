#include "platform/vcl/grids.h"

#include <algorithm>
#include <stdexcept>

#include "platform/vcl/stdctrls.h"

namespace vcl {

TDrawGrid::TDrawGrid(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 320, 120);
    SetTabStop(true);
    SetColor(clWindow);
    m_colWidths.assign(5, m_defaultColWidth);
    m_rowHeights.assign(5, m_defaultRowHeight);
}

void TDrawGrid::SetColCount(int32_t count) {
    count = std::max(1, count);
    m_colWidths.resize(static_cast<size_t>(count), m_defaultColWidth);
    if (m_fixedCols >= count) {
        m_fixedCols = count - 1;
    }
    m_col = std::clamp(m_col, m_fixedCols, count - 1);
    ClampTopLeft();
}

void TDrawGrid::SetRowCount(int32_t count) {
    count = std::max(1, count);
    m_rowHeights.resize(static_cast<size_t>(count), m_defaultRowHeight);
    if (m_fixedRows >= count) {
        m_fixedRows = count - 1;
    }
    m_row = std::clamp(m_row, m_fixedRows, count - 1);
    ClampTopLeft();
}

void TDrawGrid::SetFixedCols(int32_t count) {
    if (count < 0 || count >= ColCount()) {
        throw std::out_of_range("Fixed column count must be less than column count");
    }
    m_fixedCols = count;
    m_col = std::max(m_col, count);
    ClampTopLeft();
}

void TDrawGrid::SetFixedRows(int32_t count) {
    if (count < 0 || count >= RowCount()) {
        throw std::out_of_range("Fixed row count must be less than row count");
    }
    m_fixedRows = count;
    m_row = std::max(m_row, count);
    ClampTopLeft();
}

void TDrawGrid::SetDefaultColWidth(int32_t width) {
    m_defaultColWidth = width;
    std::fill(m_colWidths.begin(), m_colWidths.end(), width);
}

void TDrawGrid::SetDefaultRowHeight(int32_t height) {
    m_defaultRowHeight = height;
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), height);
}

int32_t TDrawGrid::ColWidths(int32_t col) const {
    CheckCell(col, m_fixedRows);
    return m_colWidths[static_cast<size_t>(col)];
}

void TDrawGrid::SetColWidths(int32_t col, int32_t width) {
    CheckCell(col, m_fixedRows);
    m_colWidths[static_cast<size_t>(col)] = width;
}

int32_t TDrawGrid::RowHeights(int32_t row) const {
    CheckCell(m_fixedCols, row);
    return m_rowHeights[static_cast<size_t>(row)];
}

void TDrawGrid::SetRowHeights(int32_t row, int32_t height) {
    CheckCell(m_fixedCols, row);
    m_rowHeights[static_cast<size_t>(row)] = height;
}

void TDrawGrid::CheckCell(int32_t col, int32_t row) const {
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) {
        throw std::out_of_range("Grid index out of range");
    }
}

void TDrawGrid::ClampTopLeft() {
    const int32_t top = std::clamp(m_topRow, m_fixedRows, std::max(m_fixedRows, RowCount() - 1));
    const int32_t left = std::clamp(m_leftCol, m_fixedCols, std::max(m_fixedCols, ColCount() - 1));
    if (top != m_topRow || left != m_leftCol) {
        m_topRow = top;
        m_leftCol = left;
        if (OnTopLeftChanged && EventsAllowed()) {
            OnTopLeftChanged(this);
        }
    }
}

void TDrawGrid::SetTopRow(int32_t row) {
    row = std::clamp(row, m_fixedRows, std::max(m_fixedRows, RowCount() - 1));
    if (row != m_topRow) {
        m_topRow = row;
        if (OnTopLeftChanged && EventsAllowed()) {
            OnTopLeftChanged(this);
        }
        Repaint();
    }
}

void TDrawGrid::SetLeftCol(int32_t col) {
    col = std::clamp(col, m_fixedCols, std::max(m_fixedCols, ColCount() - 1));
    if (col != m_leftCol) {
        m_leftCol = col;
        if (OnTopLeftChanged && EventsAllowed()) {
            OnTopLeftChanged(this);
        }
        Repaint();
    }
}

int32_t TDrawGrid::FixedWidth() const {
    int32_t width = 0;
    for (int32_t c = 0; c < m_fixedCols; ++c) {
        width += m_colWidths[static_cast<size_t>(c)] + m_gridLineWidth;
    }
    return width;
}

int32_t TDrawGrid::FixedHeight() const {
    int32_t height = 0;
    for (int32_t r = 0; r < m_fixedRows; ++r) {
        height += m_rowHeights[static_cast<size_t>(r)] + m_gridLineWidth;
    }
    return height;
}

int32_t TDrawGrid::VisibleRowCount() const {
    int32_t y = FixedHeight();
    int32_t count = 0;
    for (int32_t r = m_topRow; r < RowCount(); ++r) {
        y += m_rowHeights[static_cast<size_t>(r)] + m_gridLineWidth;
        if (y > ClientHeight()) {
            break;
        }
        ++count;
    }
    return count;
}

int32_t TDrawGrid::VisibleColCount() const {
    int32_t x = FixedWidth();
    int32_t count = 0;
    for (int32_t c = m_leftCol; c < ColCount(); ++c) {
        x += m_colWidths[static_cast<size_t>(c)] + m_gridLineWidth;
        if (x > ClientWidth()) {
            break;
        }
        ++count;
    }
    return count;
}

TRect TDrawGrid::CellRect(int32_t col, int32_t row) const {
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount() || (col >= m_fixedCols && col < m_leftCol) ||
        (row >= m_fixedRows && row < m_topRow)) {
        return TRect{};
    }
    int32_t x = 0;
    for (int32_t c = 0; c < col; ++c) {
        if (c < m_fixedCols || c >= m_leftCol) {
            x += m_colWidths[static_cast<size_t>(c)] + m_gridLineWidth;
        }
    }
    int32_t y = 0;
    for (int32_t r = 0; r < row; ++r) {
        if (r < m_fixedRows || r >= m_topRow) {
            y += m_rowHeights[static_cast<size_t>(r)] + m_gridLineWidth;
        }
    }
    if (x >= ClientWidth() || y >= ClientHeight()) {
        return TRect{};
    }
    return Bounds(x, y, m_colWidths[static_cast<size_t>(col)], m_rowHeights[static_cast<size_t>(row)]);
}

bool TDrawGrid::FocusCell(int32_t col, int32_t row) {
    if (col < m_fixedCols || col >= ColCount() || row < m_fixedRows || row >= RowCount()) {
        throw std::out_of_range("Grid index out of range");
    }
    if (col == m_col && row == m_row) {
        return true;
    }
    bool canSelect = true;
    if (OnSelectCell && EventsAllowed()) {
        OnSelectCell(this, col, row, canSelect);
    }
    if (!canSelect) {
        return false;
    }
    const int32_t oldCol = m_col;
    const int32_t oldRow = m_row;
    m_col = col;
    m_row = row;
    ScrollIntoView();
    InvalidateCell(oldCol, oldRow);
    InvalidateCell(col, row);
    return true;
}

void TDrawGrid::ScrollIntoView() {
    if (m_row < m_topRow) {
        SetTopRow(m_row);
    } else if (const int32_t visible = std::max(1, VisibleRowCount()); m_row >= m_topRow + visible) {
        SetTopRow(m_row - visible + 1);
    }
    if (m_col < m_leftCol) {
        SetLeftCol(m_col);
    } else if (const int32_t visible = std::max(1, VisibleColCount()); m_col >= m_leftCol + visible) {
        SetLeftCol(m_col - visible + 1);
    }
}

void TDrawGrid::DrawCell(int32_t col, int32_t row, const TRect& rect, TGridDrawState state) {
    Canvas().Brush().Color = (state & gdFixed) ? clBtnFace : (state & gdSelected) ? clHighlight : Color();
    Canvas().FillRect(rect);
    if (OnDrawCell && EventsAllowed()) {
        OnDrawCell(this, col, row, rect, state);
    }
}

void TDrawGrid::InvalidateCell(int32_t col, int32_t row) {
    if (!Showing()) {
        return;
    }
    const TRect rect = CellRect(col, row);
    if (rect.Width() <= 0 || rect.Height() <= 0) {
        return;
    }
    Canvas().Font().Assign(Font());
    const bool fixed = col < m_fixedCols || row < m_fixedRows;
    const bool current = col == m_col && row == m_row;
    DrawCell(col, row, rect,
             fixed     ? gdFixed
             : current ? static_cast<TGridDrawState>(gdSelected | (Focused() ? gdFocused : 0))
                       : 0);
}

void TDrawGrid::Paint() {
    for (int32_t row = 0; row < RowCount(); ++row) {
        for (int32_t col = 0; col < ColCount(); ++col) {
            InvalidateCell(col, row);
        }
    }
}

std::string TDrawGrid::ValueText() const {
    return "cell " + std::to_string(m_col) + "," + std::to_string(m_row) + " of " + std::to_string(ColCount()) + " x " +
           std::to_string(RowCount());
}

std::string TDrawGrid::UserSet(std::string_view value) {
    const size_t comma = value.find(',');
    int32_t col = 0;
    int32_t row = 0;
    if (comma == std::string_view::npos || !ParseWholeNumber(value.substr(0, comma), col) ||
        !ParseWholeNumber(value.substr(comma + 1), row)) {
        return "not a cell COL,ROW: " + QuoteForTranscript(value);
    }
    if (col < m_fixedCols || col >= ColCount() || row < m_fixedRows || row >= RowCount()) {
        return "no cell " + std::to_string(col) + "," + std::to_string(row);
    }
    return FocusCell(col, row) ? "" : "the grid refused the cell";
}

namespace {

/// "130,40,170", a run of equal sizes written once with its count ("17*12").
std::string SizeList(const std::vector<int32_t>& sizes) {
    std::string text;
    for (size_t i = 0; i < sizes.size();) {
        size_t run = 1;
        while (i + run < sizes.size() && sizes[i + run] == sizes[i]) {
            ++run;
        }
        text += (text.empty() ? "" : ",") + std::to_string(sizes[i]) + (run > 1 ? "*" + std::to_string(run) : "");
        i += run;
    }
    return text;
}

}  // namespace

std::string TDrawGrid::LayoutText() const {
    std::vector<int32_t> cols;
    std::vector<int32_t> rows;
    for (int32_t col = 0; col < ColCount(); ++col) {
        cols.push_back(ColWidths(col));
    }
    for (int32_t row = 0; row < RowCount(); ++row) {
        rows.push_back(RowHeights(row));
    }
    return "columns " + SizeList(cols) + " rows " + SizeList(rows) + " fixed " + std::to_string(FixedCols()) + "," +
           std::to_string(FixedRows());
}

}  // namespace vcl
