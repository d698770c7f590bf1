// ScopedHandles.h: one small owner for every Win32 handle whose life is local to a function:
// device contexts (GetDC/ReleaseDC, BeginPaint/EndPaint, DeleteDC), selected objects, saved DC
// states, GDI objects, kernel handles and find handles. Each closes its handle when the scope
// ends; none can be copied. Types whose name says "Borrowed" never close anything.
// Header-only; usable from any thread on handles that thread may use.
#pragma once

#include "Config.h"

#include <utility>

// GetDC/ReleaseDC of a window, or of the whole screen when the window is null.
class TScopedDC {
public:
    explicit TScopedDC(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~TScopedDC() {
        if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
    }
    TScopedDC(const TScopedDC&) = delete;
    TScopedDC& operator=(const TScopedDC&) = delete;

    HDC Get() const noexcept { return dc_; }
    operator HDC() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint/EndPaint around one WM_PAINT.
class TScopedPaint {
public:
    explicit TScopedPaint(HWND window) noexcept : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~TScopedPaint() { ::EndPaint(window_, &paint_); }
    TScopedPaint(const TScopedPaint&) = delete;
    TScopedPaint& operator=(const TScopedPaint&) = delete;

    HDC Get() const noexcept { return dc_; }
    operator HDC() const noexcept { return dc_; }
    const PAINTSTRUCT& Paint() const noexcept { return paint_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// SaveDC/RestoreDC: text colour, background mode and selected objects come back when the scope
// ends, so a window whose class keeps its own device context (CS_OWNDC) gets it back as it was.
class TScopedDCState {
public:
    explicit TScopedDCState(HDC dc) noexcept : dc_(dc), saved_(dc ? ::SaveDC(dc) : 0) {}
    ~TScopedDCState() {
        if (saved_ != 0) ::RestoreDC(dc_, saved_);
    }
    TScopedDCState(const TScopedDCState&) = delete;
    TScopedDCState& operator=(const TScopedDCState&) = delete;

private:
    HDC dc_;
    int saved_;
};

// SelectObject for the scope; the object that was selected before comes back at its end. The
// object itself is not owned.
class TScopedSelect {
public:
    TScopedSelect(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), previous_(dc && object ? ::SelectObject(dc, object) : nullptr) {}
    ~TScopedSelect() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }
    TScopedSelect(const TScopedSelect&) = delete;
    TScopedSelect& operator=(const TScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// An owned GDI object (brush, pen, font, bitmap, region), deleted when the scope ends. Release()
// hands the handle over to a new owner.
template <class THandle>
class TScopedGdiObject {
public:
    TScopedGdiObject() noexcept = default;
    explicit TScopedGdiObject(THandle handle) noexcept : handle_(handle) {}
    ~TScopedGdiObject() { Reset(); }
    TScopedGdiObject(const TScopedGdiObject&) = delete;
    TScopedGdiObject& operator=(const TScopedGdiObject&) = delete;
    TScopedGdiObject(TScopedGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    TScopedGdiObject& operator=(TScopedGdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }

    THandle Get() const noexcept { return handle_; }
    operator THandle() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    THandle Release() noexcept { return std::exchange(handle_, nullptr); }
    void Reset(THandle handle = nullptr) noexcept {
        if (handle_ != nullptr) ::DeleteObject(handle_);
        handle_ = handle;
    }

private:
    THandle handle_ = nullptr;
};

using TScopedBrush = TScopedGdiObject<HBRUSH>;
using TScopedPen = TScopedGdiObject<HPEN>;
using TScopedFont = TScopedGdiObject<HFONT>;
using TScopedBitmap = TScopedGdiObject<HBITMAP>;
using TScopedRegion = TScopedGdiObject<HRGN>;

// A solid brush of one colour for the scope.
inline TScopedBrush MakeSolidBrush(COLORREF colour) noexcept { return TScopedBrush(::CreateSolidBrush(colour)); }

// A device or information context that the scope made (CreateDCA, CreateICA, CreateCompatibleDC)
// and deletes with DeleteDC. Not for GetDC's contexts, which go back with ReleaseDC (TScopedDC).
class TScopedCreatedDC {
public:
    explicit TScopedCreatedDC(HDC dc) noexcept : dc_(dc) {}
    ~TScopedCreatedDC() {
        if (dc_ != nullptr) ::DeleteDC(dc_);
    }
    TScopedCreatedDC(const TScopedCreatedDC&) = delete;
    TScopedCreatedDC& operator=(const TScopedCreatedDC&) = delete;

    HDC Get() const noexcept { return dc_; }
    operator HDC() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HDC dc_;
};

// CreateCompatibleDC/DeleteDC: a memory device context for the scope.
class TScopedMemoryDC : public TScopedCreatedDC {
public:
    explicit TScopedMemoryDC(HDC like) noexcept : TScopedCreatedDC(::CreateCompatibleDC(like)) {}
};

// A kernel handle closed with CloseHandle. Both null and INVALID_HANDLE_VALUE mean "none",
// since CreateFile answers the one and OpenFileMapping the other.
class TScopedHandle {
public:
    TScopedHandle() noexcept = default;
    explicit TScopedHandle(HANDLE handle) noexcept : handle_(handle) {}
    ~TScopedHandle() { Reset(); }
    TScopedHandle(const TScopedHandle&) = delete;
    TScopedHandle& operator=(const TScopedHandle&) = delete;
    TScopedHandle(TScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    TScopedHandle& operator=(TScopedHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }

    HANDLE Get() const noexcept { return handle_; }
    bool Valid() const noexcept { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const noexcept { return Valid(); }
    HANDLE Release() noexcept { return std::exchange(handle_, nullptr); }
    void Reset(HANDLE handle = nullptr) noexcept {
        if (Valid()) ::CloseHandle(handle_);
        handle_ = handle;
    }
    // Closes now and answers whether CloseHandle succeeded (a write is only complete when the
    // close succeeds).
    bool Close() noexcept {
        if (!Valid()) return true;
        const bool ok = ::CloseHandle(std::exchange(handle_, nullptr)) != FALSE;
        return ok;
    }

private:
    HANDLE handle_ = nullptr;
};

// FindFirstFileA's handle, closed with FindClose.
class TScopedFind {
public:
    TScopedFind(const char* pattern, WIN32_FIND_DATAA& data) noexcept
        : handle_(::FindFirstFileA(pattern, &data)) {}
    ~TScopedFind() {
        if (handle_ != INVALID_HANDLE_VALUE) ::FindClose(handle_);
    }
    TScopedFind(const TScopedFind&) = delete;
    TScopedFind& operator=(const TScopedFind&) = delete;

    explicit operator bool() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAA& data) const noexcept {
        return handle_ != INVALID_HANDLE_VALUE && ::FindNextFileA(handle_, &data) != FALSE;
    }

private:
    HANDLE handle_;
};
