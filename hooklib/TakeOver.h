// TakeOver.h: the colour-dialog take-over, called by the hook procedure on the dialog's own thread
// at a user's dialog's WM_INITDIALOG (never for the geometry probe). EndTakeOver runs at the
// dialog's WM_DESTROY, from the hook while it is installed and in any case from the dialog's own
// watch (DialogWatch.h); whichever comes first does the work, the second finds nothing to do.
#pragma once

#include "Config.h"

void TakeOverColorDialog(HWND dialog) noexcept;

// Counts a dialog carrying the "Ostvarin" property out (unless it was taken over uncounted, at
// 253) and removes the property. Nothing for a dialog without the property.
void EndTakeOver(HWND dialog) noexcept;
