// DisplayScale.h: pixel sizes at a display scale. The layout numbers of both programs (their
// built-in defaults and the layout file's values) are pixels at 96 DPI; these turn them into
// pixels at a window's DPI and back, and place the dialog's button panel on the caption row of
// the custom colours. Plain arithmetic on rectangles, except WindowDpi, which asks the system.
#pragma once

#include "Config.h"

namespace pelmira {

inline constexpr int kBaseDpi = 96;  // the scale every layout number is written for

// `value96` at `dpi`, rounded to the nearest pixel (halves away from zero); a DPI of 0 or less
// counts as 96.
int ScaleToDpi(int value96, int dpi) noexcept;
// The reverse: a pixel size at `dpi` as 96-DPI pixels, rounded the same way.
int ScaleFromDpi(int value, int dpi) noexcept;

// A font's point size for a window at `windowDpi` when fonts are made for the display at
// `systemDpi` (the DPI that font creation converts points with): per-monitor aware programs show
// windows at another scale than the system's.
int PointsForWindow(int points, int windowDpi, int systemDpi) noexcept;

// A rectangle as position and size.
struct TBox {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TBox&, const TBox&) = default;
};

// Every field scaled on its own, so that boxes laid out edge to edge at 96 DPI stay edge to edge.
TBox ScaleBox(const TBox& at96, int dpi) noexcept;

// Where the button panel goes, all rectangles in one coordinate space (usually the dialog's
// client area): `caption` is the custom colours' caption window, `text` the rectangle its text
// covers, `cells` the custom-colours grid. The panel is `size96` scaled to `dpi` at offset
// `at96` (scaled) from the caption's corner, moved right of the text when the text reaches that
// far and up above the cells when it would reach down into them; never left of the caption.
TBox PlacePanel(const RECT& caption, const RECT& text, const RECT& cells, POINT at96, SIZE size96,
                int dpi) noexcept;

// The window's DPI where the system tells it (GetDpiForWindow, Windows 10 1607 on), otherwise
// the DPI of the window's device context; 96 when neither answers.
int WindowDpi(HWND window) noexcept;
// The DPI of the display device context (the one fonts are made for); 96 when it does not answer.
int SystemDpi() noexcept;

}  // namespace pelmira
