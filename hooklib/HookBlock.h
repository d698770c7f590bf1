// HookBlock.h: the one view of the shared block that each process keeps for code that runs inside
// the hook (the hook procedure and the dialog take-over): mapped on first use from any thread,
// unmapped when the library unloads. Exports use one operation each instead (BlockAccess.h).
#pragma once

#include "SharedBlock.h"

// The process's long-lived view. Null when the section can neither be created nor opened.
// Never unmap it; the library does so when it unloads.
TSharedBlock* HookBlock() noexcept;

// Unmaps the view that HookBlock() keeps (process detach).
void ReleaseHookBlock() noexcept;
