// CellGeometry.cpp: grid measurement and the order palette entries are typed in.
#include "CellGeometry.h"

TGridGeometry MeasureGrid(const RECT& grid, const RECT& dialog, int rows) noexcept {
    TGridGeometry g;
    g.OffsetX = grid.left - dialog.left;
    g.OffsetY = grid.top - dialog.top;
    g.CellWidth = (grid.right - grid.left) / kGridColumns;
    g.CellHeight = rows > 0 ? (grid.bottom - grid.top) / rows : 0;
    g.InsetX = g.CellWidth / 3;
    g.InsetY = g.CellHeight / 2;
    return g;
}

POINT CellPoint(const TGridGeometry& grid, const RECT& dialogNow, int column, int row) noexcept {
    return POINT{dialogNow.left + grid.OffsetX + column * grid.CellWidth + grid.InsetX,
                 dialogNow.top + grid.OffsetY + row * grid.CellHeight + grid.InsetY};
}

int CellAt(const TGridGeometry& grid, const RECT& dialogNow, int rows, POINT point) noexcept {
    if (grid.CellWidth <= 0 || grid.CellHeight <= 0) return -1;
    const int x = point.x - dialogNow.left - grid.OffsetX;
    const int y = point.y - dialogNow.top - grid.OffsetY;
    if (x < 0 || y < 0) return -1;
    const int column = x / grid.CellWidth;
    const int row = y / grid.CellHeight;
    if (column >= kGridColumns || row >= rows) return -1;
    return column + row * kGridColumns;
}

std::array<int, 16> PaletteApplyOrder(int nextSlot) noexcept {
    std::array<int, 16> order{};
    const int start = ((nextSlot % 16) + 16) % 16;
    for (int i = 0; i < 16; ++i) order[i] = kAddFillOrder[(start + i) % 16];
    return order;
}
