// TakeOver.h: the colour-dialog take-over, called by the hook procedure on the dialog's own thread.
// TakeOverColorDialog runs at a user's dialog's WM_INITDIALOG (never for the geometry probe);
// ReleaseColorDialog runs at WM_DESTROY of a dialog that carries the "Ostvarin" property, before
// the hook removes the property; it answers whether the dialog was counted in DialogCount, so
// that only a counted dialog lowers the count (one taken over at 253 is not counted).
#pragma once

#include "Config.h"

void TakeOverColorDialog(HWND dialog) noexcept;
bool ReleaseColorDialog(HWND dialog) noexcept;
