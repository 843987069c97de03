// MyDrawGrid: the draw grid whose state a form remembers (RowCount, ColCount, TopRow, LeftCol,
// Row and Col), with a public way to repaint one cell.
#pragma once

#include <cstdint>

#include "platform/vcl/grids.h"

namespace orvex {

class MyDrawGrid : public vcl::TDrawGrid {
public:
    explicit MyDrawGrid(vcl::TComponent* owner);

    /// Repaints the cell through the grid's own cell invalidation.
    void InvalidateCell(int32_t col, int32_t row);
};

}  // namespace orvex
