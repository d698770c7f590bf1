// DisplayScale.cpp: see DisplayScale.h.
#include "DisplayScale.h"

#include "ScopedHandles.h"

#include <algorithm>

namespace pelmira {

namespace {

int Effective(int dpi) { return dpi > 0 ? dpi : kBaseDpi; }

// a * b / c rounded to nearest, halves away from zero (as MulDiv), in 64 bits so that no
// layout value can overflow.
int MulDivRounded(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    const long long q = product >= 0 ? (product + half) / c : -((-product + half) / c);
    return static_cast<int>(q);
}

// A small gap between the caption's text and the panel, so the last letter is not touched.
constexpr int kTextGap96 = 2;

}  // namespace

int ScaleToDpi(int value96, int dpi) noexcept { return MulDivRounded(value96, Effective(dpi), kBaseDpi); }

int ScaleFromDpi(int value, int dpi) noexcept { return MulDivRounded(value, kBaseDpi, Effective(dpi)); }

int PointsForWindow(int points, int windowDpi, int systemDpi) noexcept {
    return MulDivRounded(points, Effective(windowDpi), Effective(systemDpi));
}

TBox ScaleBox(const TBox& at96, int dpi) noexcept {
    return TBox{ScaleToDpi(at96.X, dpi), ScaleToDpi(at96.Y, dpi), ScaleToDpi(at96.Width, dpi),
                ScaleToDpi(at96.Height, dpi)};
}

TBox PlacePanel(const RECT& caption, const RECT& text, const RECT& cells, POINT at96, SIZE size96,
                int dpi) noexcept {
    TBox panel{caption.left + ScaleToDpi(at96.x, dpi), caption.top + ScaleToDpi(at96.y, dpi),
               ScaleToDpi(size96.cx, dpi), ScaleToDpi(size96.cy, dpi)};
    const bool textOnRow = text.right > text.left && text.top < panel.Y + panel.Height && text.bottom > panel.Y;
    if (textOnRow) panel.X = std::max(panel.X, static_cast<int>(text.right) + ScaleToDpi(kTextGap96, dpi));
    const bool overCells = panel.X < cells.right && panel.X + panel.Width > cells.left;
    if (overCells && panel.Y + panel.Height > cells.top) panel.Y = cells.top - panel.Height;
    return panel;
}

int WindowDpi(HWND window) noexcept {
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<TGetDpiForWindow>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    const TScopedDC dc(window);
    const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kBaseDpi;
}

int SystemDpi() noexcept {
    const TScopedDC screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace pelmira
