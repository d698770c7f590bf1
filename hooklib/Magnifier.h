// Magnifier.h: TMagnifier, the small window that shows the pixels around the pointer enlarged
// while the eyedropper is dragged, the centre pixel outlined and its colour as "#RRGGBB" and
// "R, G, B" below.
//
// The window is a layered, topmost, click-through tool popup that is never activated: it must
// not take the focus or the capture from the dragged button, and it is always placed beside the
// pointer, never under it, so that neither a pick nor its own picture ever reads its pixels.
// It lives on the thread that made it, from the first move of a drag to the drag's end.
#pragma once

#include "Config.h"
#include "DisplayScale.h"

#include <cstdint>
#include <vector>

// Where a window of `size` goes beside a pointer at `cursor`: below right of it, `gap` pixels
// away, flipped to the other side on an axis where it would leave `screen`, then kept inside it.
POINT MagnifierPlace(POINT cursor, SIZE size, const RECT& screen, int gap);

class TMagnifier {
public:
    static constexpr int kSpan = 15;  // pixels shown across and down, the pointer's in the middle

    // `onTick` runs at each poll while the window shows (the screen may change without a move);
    // it decides whether the drag goes on. It may destroy this object. `dpi` is the scale of the
    // dialog the pick started from: the zoom and the room for the text grow with it, and the
    // text's font follows it, so that the window keeps its size to the eye on a scaled display.
    TMagnifier(int zoom, void (*onTick)(), int dpi = pelmira::kBaseDpi);
    ~TMagnifier();
    TMagnifier(const TMagnifier&) = delete;
    TMagnifier& operator=(const TMagnifier&) = delete;

    // Shows the window beside the pointer; redraws it when the pointer moved or the pixels
    // around it changed. Returns whether it redrew.
    bool Follow(POINT cursor);
    // Reads the pixels at the pointer and redraws, whatever changed (the bench's unit of work).
    void Redraw(POINT cursor);

    HWND Window() const { return Handle; }
    SIZE Size() const;
    static unsigned RedrawCount();  // redraws in this process so far

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    bool Capture(POINT cursor);  // true when the pixels differ from the last capture
    void Paint(HDC target);
    void Place(POINT cursor);

    int Zoom;
    int TextHeight;
    HFONT Font = nullptr;  // the GUI font at the scale; none at the system's, where the stock font is it
    void (*OnTick)();
    HWND Handle = nullptr;
    HDC Memory = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ OldBitmap = nullptr;
    std::uint32_t* Bits = nullptr;  // kSpan x kSpan, top-down, 0x00RRGGBB
    std::vector<std::uint32_t> Last;
    POINT LastCursor{-1, -1};
    bool Drawn = false;
};
