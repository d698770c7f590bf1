// Placement.cpp: keeping windows on the screen (see Placement.h).
#include "Placement.h"

int KeepOnScreen(int position, int extent, int screenExtent) {
    // The "+ 1" is the placement both windows have always had: the main window measures its
    // client area, the about box its window, and each ends one pixel past the edge.
    if (position + extent > screenExtent) return screenExtent - extent + 1;
    return position < 0 ? 0 : position;
}
