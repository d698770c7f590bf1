// ScreenPicture.h: a part of the screen as the user sees it, for the tests that wait for a window
// to finish painting and that leave a picture of it for a person to look at.
#pragma once

#include "Config.h"
#include "TestFiles.h"

#include <cstdio>
#include <string>

// <tree>/screenshots, beside the bin folder the test programs run from; made when missing.
inline std::string ScreenshotFolder() {
    const std::string bin = TestFolder();
    const std::string folder = bin.substr(0, bin.find_last_of('\\')) + "\\screenshots";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// The screen rectangle as 24-bit rows, bottom-up and padded to 4 bytes, as a BMP stores them;
// empty for a rectangle without area. The screen is read rather than a window's own DC so the
// picture shows what overlaps and what the window manager draws, as a user sees it.
inline std::string CaptureScreenRect(const RECT& r) {
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
        if (::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY)) {
            ::GdiFlush();  // the section's bits are only complete once GDI has run the blit
            const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
            rows.assign(static_cast<const char*>(bits), stride * h);
        }
        ::SelectObject(mem, old);
        ::DeleteObject(bmp);
    }
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return rows;
}

// The window's area of the screen (its window rectangle), as CaptureScreenRect gives it.
inline std::string CaptureWindow(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return CaptureScreenRect(r);
}

// Writes the screen rectangle to `path` as a 24-bit BMP; false when there was nothing to
// capture or the file could not be written.
inline bool SaveScreenPicture(const RECT& r, const std::string& path) {
    const std::string rows = CaptureScreenRect(r);
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

// Writes the window as the screen shows it to `path` as a 24-bit BMP.
inline bool SaveWindowPicture(HWND window, const std::string& path) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return SaveScreenPicture(r, path);
}
