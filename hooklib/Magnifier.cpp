// Magnifier.cpp: the eyedropper's magnifier window (see Magnifier.h).
#include "Magnifier.h"

#include "ColorText.h"
#include "DisplayScale.h"
#include "ScopedHandles.h"

#include <algorithm>
#include <cstring>
#include <string>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

constexpr char kClassName[] = "PelmiraMagnifier";
constexpr int kTextHeight96 = 34;  // two lines of the GUI font below the pixels, at 96 DPI
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 60;       // the screen can change under a pointer at rest
constexpr LONG_PTR kSelfSlot = 0;

unsigned gRedraws = 0;

HINSTANCE Instance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

bool RegisterOnce(WNDPROC proc) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExA(Instance(), kClassName, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = Instance();
    wc.hCursor = nullptr;
    wc.lpszClassName = kClassName;
    wc.cbWndExtra = sizeof(LONG_PTR);
    return ::RegisterClassExA(&wc) != 0;
}

RECT ScreenAround(POINT p) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(::MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &info)) return info.rcMonitor;
    return RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

void Frame(HDC dc, RECT r, COLORREF color) {
    HBRUSH brush = ::CreateSolidBrush(color);
    ::FrameRect(dc, &r, brush);
    ::DeleteObject(brush);
}

}  // namespace

POINT MagnifierPlace(POINT cursor, SIZE size, const RECT& screen, int gap) {
    POINT at{cursor.x + gap, cursor.y + gap};
    if (at.x + size.cx > screen.right) at.x = cursor.x - gap - size.cx;
    if (at.y + size.cy > screen.bottom) at.y = cursor.y - gap - size.cy;
    at.x = std::max<LONG>(screen.left, std::min<LONG>(at.x, screen.right - size.cx));
    at.y = std::max<LONG>(screen.top, std::min<LONG>(at.y, screen.bottom - size.cy));
    return at;
}

TMagnifier::TMagnifier(int zoom, void (*onTick)(), int dpi)
    : Zoom(pelmira::ScaleToDpi(std::clamp(zoom, 2, 16), dpi)),
      TextHeight(pelmira::ScaleToDpi(kTextHeight96, dpi)),
      OnTick(onTick) {
    // The stock font is made for the system's scale already: only a window at another scale (a
    // per-monitor aware host on another monitor) needs its own.
    const int systemDpi = pelmira::SystemDpi();
    if (dpi > 0 && dpi != systemDpi) {
        LOGFONTA font{};
        if (::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) == sizeof font) {
            font.lfHeight = pelmira::PointsForWindow(font.lfHeight, dpi, systemDpi);
            font.lfWidth = 0;
            Font = ::CreateFontIndirectA(&font);
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSpan;
    info.bmiHeader.biHeight = -kSpan;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Memory = ::CreateCompatibleDC(nullptr);
    Bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Bits = static_cast<std::uint32_t*>(bits);
    if (Memory != nullptr && Bitmap != nullptr) OldBitmap = ::SelectObject(Memory, Bitmap);
    Last.assign(kSpan * kSpan, 0);

    if (!RegisterOnce(&TMagnifier::WindowProc) || Bits == nullptr) return;
    const SIZE size = Size();
    // Layered and transparent: hit tests pass through it, so a click or WindowFromPoint never
    // finds it; no-activate and tool window: it neither takes the focus nor shows in a task bar.
    Handle = ::CreateWindowExA(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                               kClassName, "", WS_POPUP, -size.cx, -size.cy, size.cx, size.cy, nullptr, nullptr,
                               Instance(), nullptr);
    if (Handle == nullptr) return;
    ::SetLayeredWindowAttributes(Handle, 0, 255, LWA_ALPHA);
    ::SetWindowLongPtrA(Handle, kSelfSlot, reinterpret_cast<LONG_PTR>(this));
}

TMagnifier::~TMagnifier() {
    if (Handle != nullptr) {
        ::KillTimer(Handle, kPollTimer);
        ::SetWindowLongPtrA(Handle, kSelfSlot, 0);
        ::DestroyWindow(Handle);
    }
    if (OldBitmap != nullptr) ::SelectObject(Memory, OldBitmap);
    if (Bitmap != nullptr) ::DeleteObject(Bitmap);
    if (Memory != nullptr) ::DeleteDC(Memory);
    if (Font != nullptr) ::DeleteObject(Font);
}

SIZE TMagnifier::Size() const { return SIZE{kSpan * Zoom + 2, kSpan * Zoom + 2 + TextHeight}; }

unsigned TMagnifier::RedrawCount() { return gRedraws; }

bool TMagnifier::Capture(POINT cursor) {
    if (Bits == nullptr) return false;
    {
        const TScopedDC screen(nullptr);
        if (!screen) return false;
        ::BitBlt(Memory, 0, 0, kSpan, kSpan, screen, cursor.x - kSpan / 2, cursor.y - kSpan / 2, SRCCOPY);
    }
    ::GdiFlush();  // the section's bits are read directly below
    if (std::memcmp(Last.data(), Bits, Last.size() * sizeof(std::uint32_t)) == 0) return false;
    std::memcpy(Last.data(), Bits, Last.size() * sizeof(std::uint32_t));
    return true;
}

void TMagnifier::Paint(HDC target) {
    const int side = kSpan * Zoom;
    RECT all{0, 0, side + 2, side + 2 + TextHeight};
    Frame(target, all, RGB(0, 0, 0));
    // The one stretch of a redraw: every captured pixel becomes a Zoom x Zoom square.
    ::SetStretchBltMode(target, COLORONCOLOR);
    ::StretchBlt(target, 1, 1, side, side, Memory, 0, 0, kSpan, kSpan, SRCCOPY);

    // The centre pixel outlined outside its square, black then white, seen on any colour.
    const int c = 1 + (kSpan / 2) * Zoom;
    RECT centre{c - 1, c - 1, c + Zoom + 1, c + Zoom + 1};
    Frame(target, centre, RGB(255, 255, 255));
    ::InflateRect(&centre, 1, 1);
    Frame(target, centre, RGB(0, 0, 0));

    const std::uint32_t pixel = Last[(kSpan / 2) * kSpan + kSpan / 2];
    const pelmira::TTextColor color{static_cast<std::uint8_t>((pixel >> 16) & 0xFF),
                                    static_cast<std::uint8_t>((pixel >> 8) & 0xFF),
                                    static_cast<std::uint8_t>(pixel & 0xFF)};
    RECT text{1, side + 1, side + 1, side + 1 + TextHeight};
    HBRUSH back = ::CreateSolidBrush(RGB(255, 255, 255));
    ::FillRect(target, &text, back);
    ::DeleteObject(back);
    const std::string lines = pelmira::HexColorText(color) + "\n" + pelmira::TripleColorText(color);
    HGDIOBJ oldFont = ::SelectObject(target, Font != nullptr ? Font : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(target, TRANSPARENT);
    ::SetTextColor(target, RGB(0, 0, 0));
    ::DrawTextA(target, lines.c_str(), -1, &text, DT_CENTER | DT_NOPREFIX);
    ::SelectObject(target, oldFont);
    Drawn = true;
    ++gRedraws;
}

void TMagnifier::Place(POINT cursor) {
    const SIZE size = Size();
    // Farther than half the captured square: the window is never in its own picture.
    const POINT at = MagnifierPlace(cursor, size, ScreenAround(cursor), kSpan / 2 + 12);
    const bool showing = ::IsWindowVisible(Handle) != FALSE;
    ::SetWindowPos(Handle, HWND_TOPMOST, at.x, at.y, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | (showing ? 0 : SWP_SHOWWINDOW));
    if (!showing && OnTick != nullptr) ::SetTimer(Handle, kPollTimer, kPollMs, nullptr);
}

bool TMagnifier::Follow(POINT cursor) {
    if (Handle == nullptr) return false;
    const bool moved = cursor.x != LastCursor.x || cursor.y != LastCursor.y;
    if (moved) Place(cursor);
    const bool changed = Capture(cursor);
    LastCursor = cursor;
    if (!moved && !changed && Drawn) return false;
    const TScopedDC dc(Handle);
    if (dc) Paint(dc);
    return true;
}

void TMagnifier::Redraw(POINT cursor) {
    if (Handle == nullptr) return;
    Capture(cursor);
    LastCursor = cursor;
    const TScopedDC dc(Handle);
    if (dc) Paint(dc);
}

LRESULT CALLBACK TMagnifier::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<TMagnifier*>(::GetWindowLongPtrA(window, kSelfSlot));
    switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(window, &ps);
        if (self != nullptr && dc != nullptr && self->Drawn) self->Paint(dc);
        ::EndPaint(window, &ps);
        return 0;
    }
    case WM_TIMER:
        // The tick may end the drag and free this object with its window: nothing after it.
        if (wParam == kPollTimer && self != nullptr && self->OnTick != nullptr) self->OnTick();
        return 0;
    default: return ::DefWindowProcA(window, msg, wParam, lParam);
    }
}
