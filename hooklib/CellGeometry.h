// CellGeometry.h: where the cells of the colour dialog's two grids are on the screen, measured
// once at take-over relative to the dialog's window, so later probes follow the dialog when it
// moves. Plain arithmetic; no window is touched here.
#pragma once

#include "Config.h"

#include <array>

// One grid: its offset from the dialog's window origin, the size of a cell and the point inside a
// cell that is probed or clicked (a third across, half-way down: clear of the selection frame).
struct TGridGeometry {
    int OffsetX = 0;
    int OffsetY = 0;
    int CellWidth = 0;
    int CellHeight = 0;
    int InsetX = 0;
    int InsetY = 0;
};

struct TCellGeometry {
    TGridGeometry Custom;  // control 721, 8 x 2
    TGridGeometry Basic;   // control 720, 8 x 6
};

inline constexpr int kGridColumns = 8;
inline constexpr int kCustomRows = 2;
inline constexpr int kBasicRows = 6;

// Both rectangles are window rectangles in screen coordinates. Divisions truncate toward zero.
TGridGeometry MeasureGrid(const RECT& grid, const RECT& dialog, int rows) noexcept;

// The probe point of cell (column, row) for the dialog at `dialogNow` (its current window rectangle).
POINT CellPoint(const TGridGeometry& grid, const RECT& dialogNow, int column, int row) noexcept;

// The cell (column + row * 8) of `grid`, `rows` rows high, that the screen point lies in for the
// dialog at `dialogNow`; -1 outside the grid.
int CellAt(const TGridGeometry& grid, const RECT& dialogNow, int rows, POINT point) noexcept;

// Order in which the add button of a colour dialog fills the custom cells: down the column first
// (top of column c, bottom of column c, top of column c + 1 ...), as cell numbers 0-15 where
// 0-7 is the top row and 8-15 the bottom row.
inline constexpr std::array<int, 16> kAddFillOrder{0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15};

// The palette entries to type in, in order, so that entry k lands in cell k when the next add
// fills position `nextSlot` (0-15) of kAddFillOrder. With the first cell selected (slot 0) this is
// entry c then entry c + 8 for c = 0 to 7.
std::array<int, 16> PaletteApplyOrder(int nextSlot) noexcept;
