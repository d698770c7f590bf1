// PanelKeys.h: the keyboard path to the panel's four buttons. Alt plus a button's letter
// ("Key_hook", shown in its tool tip) does what a click on the button does: load, save, pick
// the colour under the pointer, put the picked colour into the selected custom cell.
// Installed at the take-over and removed at the dialog's end, on the dialog's thread.
#pragma once

#include "Config.h"

void InstallPanelKeys();
void RemovePanelKeys();
