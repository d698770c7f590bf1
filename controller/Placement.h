// Placement.h: keeping the controller's windows on the screen. Plain arithmetic on one axis at a
// time; the callers say which extent they measure.
#pragma once

// One coordinate of a window kept on the screen: when position + extent would pass the far
// edge, the coordinate that makes it end one pixel past the edge; otherwise the position, with
// a negative one raised to 0. An extent larger than the screen gives a negative coordinate.
int KeepOnScreen(int position, int extent, int screenExtent);
