// Placement.h: keeping the controller's windows on the screen. Plain arithmetic on one axis at a
// time (the callers say which extent they measure), and the one window call that applies it to
// a window that has grown.
#pragma once

#include "Config.h"

// One coordinate of a window kept on the screen: when position + extent would pass the far
// edge, the coordinate that makes it end one pixel past the edge; otherwise the position, with
// a negative one raised to 0. An extent larger than the screen gives a negative coordinate.
int KeepOnScreen(int position, int extent, int screenExtent);

// The top of a window `height` tall that grew downward from `top`: moved up just far enough to
// end at `areaBottom` when it reaches past it, but never above `areaTop`; it never moves down.
int TopInsideArea(int top, int height, int areaTop, int areaBottom);

// Moves a window that grew down past the bottom of its monitor's work area up into it.
void KeepBottomInWorkArea(HWND window);
