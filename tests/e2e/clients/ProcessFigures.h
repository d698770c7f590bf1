// ProcessFigures.h: what a host process holds, counted from inside it, for the growth checks.
// Wine answers GetGuiResources and GetProcessHandleCount with 0, so each figure is counted by hand:
//   HeapBytes  - bytes of busy blocks in every heap of the process (HeapWalk over GetProcessHeaps:
//                the C runtime's heap and the process heap that comctl32 and user32 allocate from);
//   GdiObjects - live entries of the GDI handle table that Wine keeps at PEB.GdiSharedHandleTable
//                (24-byte entries, byte 14 the object type, 0 = free);
//   Windows    - top-level windows of the process and all their descendants;
//   Handles    - kernel handle values 4 to 0x10000 that GetHandleInformation accepts.
#pragma once

#include "Config.h"
#include "GdiTable.h"

#include <winternl.h>

#include <cstdint>
#include <vector>

namespace figures {

struct TFigures {
    long long HeapBytes = 0;
    long GdiObjects = 0;
    long Windows = 0;
    long Handles = 0;
};

inline long long HeapBytes() {
    std::vector<HANDLE> heaps(256);
    const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    long long bytes = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

inline long GdiObjects() { return GdiTableEntries(); }

inline BOOL CALLBACK CountChild(HWND, LPARAM count) noexcept {
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

inline BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count) noexcept {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

inline long Windows() {
    long count = 0;
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

inline long Handles() {
    long count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

inline TFigures Measure() { return TFigures{HeapBytes(), GdiObjects(), Windows(), Handles()}; }

}  // namespace figures
