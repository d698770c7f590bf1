// PanelKeys.h: the keyboard path to the panel's four buttons. Alt plus a button's letter
// ("Key_hook", shown in its tool tip) does what a click on the button does: load, save, pick
// the colour under the pointer, put the picked colour into the selected custom cell. The same
// hook gives the dialog Ctrl+C and Ctrl+V for its colour as text (DialogClipboard.h) and the
// eyedropper's keys while it is dragged (Eyedropper.h).
// Installed at the take-over and removed at the dialog's end, on the dialog's thread; each
// dialog has its own (a hook on its own thread), so dialogs of several threads keep their keys.
#pragma once

#include "Config.h"

struct TDialogState;

void InstallPanelKeys(TDialogState& state);
void RemovePanelKeys(TDialogState& state);
