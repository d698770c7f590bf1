// ScreenPicture.h: a window as the screen shows it, for the end-to-end tests that wait for a
// window to finish painting and that leave a picture of it for a person to look at.
#pragma once

#include "Config.h"

#include <cstdio>
#include <string>

// The window's area of the screen as 24-bit rows, bottom-up and padded to 4 bytes, as a BMP
// stores them; empty for a window without area. The screen is read rather than the window's own
// DC so the picture shows what overlaps and what the window manager draws, as a user sees it.
inline std::string CaptureWindow(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return {};
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::string rows;
    if (bmp != nullptr) {
        const HGDIOBJ old = ::SelectObject(mem, bmp);
        ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        ::GdiFlush();  // the section's bits are only complete once GDI has run the blit
        const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
        rows.assign(static_cast<const char*>(bits), stride * h);
        ::SelectObject(mem, old);
        ::DeleteObject(bmp);
    }
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return rows;
}

// Writes the window as the screen shows it to `path` as a 24-bit BMP; false when there was
// nothing to capture or the file could not be written.
inline bool SaveWindowPicture(HWND window, const std::string& path) {
    RECT r{};
    ::GetWindowRect(window, &r);
    const std::string rows = CaptureWindow(window);
    if (rows.empty()) return false;
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = r.right - r.left;
    ih.biHeight = r.bottom - r.top;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(rows.size());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    bool written = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&ih, sizeof ih, 1, f) == 1 &&
                   std::fwrite(rows.data(), 1, rows.size(), f) == rows.size();
    written = std::fclose(f) == 0 && written;
    return written;
}
