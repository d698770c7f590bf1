// ControllerState.cpp: the one definition of the main window's handle accessor.
#include "ControllerState.h"

HWND Window() { return State.MainWindowHandle; }
