// DisplayScale.cpp: see DisplayScale.h.
#include "DisplayScale.h"

#include "ScopedHandles.h"

#include <algorithm>
#include <cstdint>

namespace pelmira {

namespace {

int Effective(int dpi) { return dpi > 0 ? dpi : kBaseDpi; }

// n / d for d > 0 by shifts and subtractions. A 64-bit division is a library routine in 32-bit
// code, which the hook library would carry for this alone; these quotients are exact all the same.
std::uint64_t DivideWide(std::uint64_t n, std::uint32_t d) {
    if ((n >> 32) == 0) return static_cast<std::uint32_t>(n) / d;
    std::uint64_t quotient = 0;
    std::uint64_t rest = 0;
    for (int bit = 63; bit >= 0; --bit) {
        rest = (rest << 1) | ((n >> bit) & 1U);
        if (rest >= d) {
            rest -= d;
            quotient |= std::uint64_t{1} << bit;
        }
    }
    return quotient;
}

// a * b / c (c > 0) rounded to nearest, halves away from zero (as MulDiv), in 64 bits so that no
// layout value can overflow.
int MulDivRounded(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const bool negative = product < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t{0} - static_cast<std::uint64_t>(product) : static_cast<std::uint64_t>(product);
    const auto divisor = static_cast<std::uint32_t>(c);
    const auto q = static_cast<long long>(DivideWide(magnitude + divisor / 2, divisor));
    return static_cast<int>(negative ? -q : q);
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
