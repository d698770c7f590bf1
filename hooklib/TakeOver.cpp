// TakeOver.cpp: the colour-dialog take-over (panel, buttons, status bar, tool tips, palettes).
#include "TakeOver.h"

void TakeOverColorDialog(HWND) noexcept {}

void ReleaseColorDialog(HWND) noexcept {}
