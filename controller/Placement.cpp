// Placement.cpp: keeping windows on the screen (see Placement.h).
#include "Placement.h"

#include <algorithm>

int KeepOnScreen(int position, int extent, int screenExtent) {
    // The "+ 1" is the placement both windows have always had: the main window measures its
    // client area, the about box its window, and each ends one pixel past the edge.
    if (position + extent > screenExtent) return screenExtent - extent + 1;
    return position < 0 ? 0 : position;
}

int TopInsideArea(int top, int height, int areaTop, int areaBottom) {
    if (top + height <= areaBottom) return top;
    return std::min(top, std::max(areaTop, areaBottom - height));
}

void KeepBottomInWorkArea(HWND window) {
    RECT r{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetWindowRect(window, &r) ||
        !::GetMonitorInfoA(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const int top = TopInsideArea(r.top, r.bottom - r.top, monitor.rcWork.top, monitor.rcWork.bottom);
    if (top != r.top)
        ::SetWindowPos(window, nullptr, r.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
