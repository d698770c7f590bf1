// Companion.h: the 64-bit controller's link to its 32-bit companion (vorlund32.exe), which keeps
// a 32-bit hook in step with the controller's own so that 32-bit programs are served as well
// (see CompanionLink.h). The 32-bit controller serves 32-bit programs itself and starts none.
// Reads and writes ControllerState and the status bar. One GUI thread.
#pragma once

#include "Config.h"

#include "UtilClass.h"

// Shown in a part of its own at the right of the status bar when 32-bit programs are left
// unserved.
inline constexpr const char* kNo32BitText = "32-bit programs are not served.";

// The registered message both programs use; 0 when it cannot be registered.
UINT CompanionMessage();

// Starts the companion beside the program with the main window's handle; true when it runs (or
// the controller is a 32-bit build that needs none). False, with kNo32BitText in the status bar,
// when the companion or its library is missing or the system cannot start it.
bool StartCompanion();

// The companion's hello (its window, checked to belong to the process started here), answered
// with Start while the controller's hook is on; and the news that its process ended (it could
// not run, or was ended from outside), after which the status bar shows kNo32BitText.
void CompanionMessageArrived(TMessageRecord* message) noexcept;

// Called whenever the controller's hook has been installed or removed: the companion follows.
void FollowHookState(bool installed);

// Tells the companion to remove its hook and end; forgets it.
void EndCompanion();
