// GdiTable.h: the live GDI objects of this process, counted in the process's GDI handle table.
// Wine answers 0 to GetGuiResources, but keeps the table Windows keeps, reachable from the PEB:
// 0x4000 entries of 24 bytes, an entry in use when its type byte (offset 14) is set.
#pragma once

#include "Config.h"

#include <winternl.h>

#include <cstdint>

// The number of entries in use, or -1 when the table cannot be reached.
inline long GdiTableEntries() {
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    using TQuery = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<TQuery>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info{};
    if (query == nullptr || query(::GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return -1;
    const auto* peb = reinterpret_cast<const std::uint8_t*>(info.PebBaseAddress);
#if defined(_WIN64)
    const auto* table = *reinterpret_cast<const std::uint8_t* const*>(peb + 0xF8);
#else
    const auto* table = *reinterpret_cast<const std::uint8_t* const*>(peb + 0x94);
#endif
    if (table == nullptr) return -1;
    constexpr int kEntries = 0x4000;
    constexpr int kEntrySize = 24;
    long live = 0;
    for (int i = 0; i < kEntries; ++i)
        if (table[i * kEntrySize + 14] != 0) ++live;
    return live;
}
