// TakeOver.h: the colour-dialog take-over, called by the hook procedure on the dialog's own thread.
// TakeOverColorDialog runs at a user's dialog's WM_INITDIALOG (never for the geometry probe);
// ReleaseColorDialog runs at WM_DESTROY of a dialog that carries the "Ostvarin" property, before
// the hook lowers the dialog count and removes the property.
#pragma once

#include "Config.h"

void TakeOverColorDialog(HWND dialog) noexcept;
void ReleaseColorDialog(HWND dialog) noexcept;
