// Feedback.h: what the controller tells the user and asks of its own controls: the texts of the
// text list, the status bar, the accelerator switch, and the check states of menu items and
// push-like buttons. Reads and writes ControllerState only; every unit above may use it.
// One GUI thread.
#pragma once

#include "Config.h"

#include <string>

// TextList entry, or "index error" when the list does not exist or the index is outside it.
std::string TextAt(int index);
// StatusMessage k of the language file.
std::string StatusText(int k);
// Message n of [MessageBox] of the language file.
std::string MessageText(int n);

// The status bar's part 0; nothing while the bar does not exist.
void SetStatusText(const std::string& text);
// StatusMessage k of the language file in the status bar.
void ShowStatusMessage(int k);

// Accelerators on (the window's table) or off (while an edit field needs every key).
void SetAcceleratorsEnabled(bool on);

// Check state of an item of the system menu (304, 305, 325) or the tray menu (301, 303); false
// for any other id and while the menus do not exist.
bool MenuItemChecked(UINT id);
bool ExtensionButtonDown();
bool OnTopButtonDown();
