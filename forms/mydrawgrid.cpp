#include "forms/mydrawgrid.h"

namespace orvex {

MyDrawGrid::MyDrawGrid(vcl::TComponent* owner) : vcl::TDrawGrid(owner) {}

void MyDrawGrid::InvalidateCell(int32_t col, int32_t row) {
    vcl::TDrawGrid::InvalidateCell(col, row);
}

}  // namespace orvex
