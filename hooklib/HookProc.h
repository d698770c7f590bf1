// HookProc.h: the WH_CALLWNDPROC hook procedure that SetHook installs for every thread of the
// desktop. It runs in the receiving thread of every sent message, in every hooked process.
#pragma once

#include "Config.h"

LRESULT CALLBACK HookProcedure(int code, WPARAM wParam, LPARAM lParam) noexcept;
