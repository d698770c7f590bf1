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
// What needs every key while it lasts. The accelerators are on only while neither holds them:
// leaving the folder field in the middle of a name edit must not switch them back on.
enum class TKeyHolder : unsigned { FolderEdit = 1, NameEdit = 2 };
void HoldKeys(TKeyHolder holder, bool held);

// A modal loop of the controller's own (a message box, the colour or folder picker) runs from
// construction to destruction. The main window still receives tray clicks, WM_CLOSE and posted
// commands inside it; the code after the loop goes on with the state it had before, so nothing
// may end the program or switch the hook while one runs (DeferToOpenModal).
class TModalScope {
public:
    TModalScope() noexcept;
    ~TModalScope();
    TModalScope(const TModalScope&) = delete;
    TModalScope& operator=(const TModalScope&) = delete;
};
bool ModalOpen();
// When a modal loop of the controller runs: beeps, brings its box to the front and answers true,
// so that the caller does nothing now. Otherwise false.
bool DeferToOpenModal();
// MessageBoxA owned by the main window, inside a TModalScope.
int ShowMessageBox(const std::string& text, const std::string& caption, UINT type);

// Check state of an item of the system menu (304, 305, 325) or the tray menu (301, 303); false
// for any other id and while the menus do not exist.
bool MenuItemChecked(UINT id);
bool ExtensionButtonDown();
bool OnTopButtonDown();
