// HookProc.cpp: the system-wide hook procedure, the geometry probe and the dialog bookkeeping.
//
// Every message sent to any window of a hooked process passes through HookProcedure, so its
// common path touches process memory only: the block view is mapped once per process, and a
// window is only examined (FindWindowA, GetDlgItem) when it is known to have a child with id 720.
// The hook learns of such windows from the WM_CREATE of the child itself, and by one scan of the
// process's windows when it first runs and whenever a new hook has been installed, which covers
// windows made before the library came into the process or while the hook was off. (A child
// that only later gets id 720 by SetWindowLongPtr, or is moved under another parent by SetParent,
// is noticed at the next scan.)
#include "HookProc.h"

#include "HookBlock.h"
#include "Library.h"
#include "SharedNames.h"
#include "TakeOver.h"
#include "WindowSet.h"

#include <atomic>
#include <cstdint>
#include <cstring>

namespace {

TWindowSet gCandidates;
// The top-level dialog-class windows that have passed the full tests once. While one lives the
// desktop has a dialog-class window (itself) and its child 720 lives as long as it does, so the
// tests would answer the same for every later message: each costs the window manager a round trip
// (two under Wine), and a dialog receives hundreds of messages while it opens and while a palette
// is typed into it. Left at WM_NCDESTROY, before the handle can be reused.
TWindowSet gConfirmed;

bool IsTopLevelDialogClass(HWND window) noexcept {
    if (::GetAncestor(window, GA_PARENT) != ::GetDesktopWindow()) return false;
    char name[8] = {};
    return ::GetClassNameA(window, name, sizeof name) == 6 && std::strcmp(name, "#32770") == 0;
}

bool Confirmed(HWND window) noexcept { return !gConfirmed.Overflowed() && gConfirmed.Contains(window); }
// The HookHandle value for which the process's windows were last scanned; the initial value
// matches no 32-bit handle, so the first call scans.
std::atomic<std::uint64_t> gScannedForHook{~std::uint64_t{0}};

bool IsGridChild(HWND window) noexcept {
    return (::GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0 &&
           ::GetWindowLongPtrA(window, GWLP_ID) == kBasicGridId;
}

BOOL CALLBACK NoteGridChild(HWND child, LPARAM) noexcept {
    if (IsGridChild(child)) gCandidates.Add(::GetAncestor(child, GA_PARENT));
    return TRUE;
}

BOOL CALLBACK ScanTopLevel(HWND window, LPARAM) noexcept {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId()) ::EnumChildWindows(window, NoteGridChild, 0);
    return TRUE;
}

void ScanProcessWindows() noexcept { ::EnumWindows(ScanTopLevel, 0); }

// On 64-bit Windows the hook is also called, in the installing thread, for windows of programs of
// the other bitness; their pointers are not ours to read and their windows not ours to change.
bool IsOwnWindow(HWND window) noexcept {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == ::GetCurrentProcessId();
}

// A WM_CREATE of a child with id 720 makes its parent a possible colour dialog.
void NoteCreation(const CWPSTRUCT& call) noexcept {
    if (!IsOwnWindow(call.hwnd)) return;  // before the CREATESTRUCT pointer is read
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(call.lParam);
    if (create == nullptr || (create->style & WS_CHILD) == 0) return;
    if (reinterpret_cast<UINT_PTR>(create->hMenu) != kBasicGridId) return;
    gCandidates.Add(::GetAncestor(call.hwnd, GA_PARENT));
}

struct TProbeRecord {
    TSharedBlock* Block;
    int Counter;
};

TBlockRect ToBlockRect(const RECT& rect) noexcept {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// EnumChildWindows visits every descendant; the first 27 are recorded as entries 1 to 27 of the
// geometry table, in parent-client coordinates.
BOOL CALLBACK RecordChild(HWND child, LPARAM param) noexcept {
    auto* record = reinterpret_cast<TProbeRecord*>(param);
    if (record->Counter <= kChildRectCount) {
        RECT rect{};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
        record->Block->ChildRects[record->Counter - 1] = ToBlockRect(rect);
    }
    ++record->Counter;
    return TRUE;
}

// The dialog that SetHook opens: record the standard layout and end the modal dialog at once.
// The caller has already set DialogCount to 0 (ClaimProbe). EndDialog, which may be called at
// WM_INITDIALOG, lets the dialog box end its own way: it never shows the dialog and enables the
// owner it disabled again, which a DestroyWindow under the modal loop would leave disabled.
void RunProbe(TSharedBlock& block, HWND dialog) noexcept {
    for (int id = kHueBoxId; id <= kBlueBoxId; ++id)
        ::SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("255"));
    RECT rect{};
    ::GetWindowRect(dialog, &rect);
    block.DialogRect = ToBlockRect(rect);
    TProbeRecord record{&block, 1};
    ::EnumChildWindows(dialog, RecordChild, reinterpret_cast<LPARAM>(&record));
    ::EndDialog(dialog, IDCANCEL);
}

// A message for a window known to have had a child 720: the full tests, then the work.
void ServeDialogMessage(TSharedBlock& block, const CWPSTRUCT& call, WPARAM wParam,
                        LPARAM lParam) noexcept {
    // Only reached for a window of another process when the candidate set has overflowed; its
    // property values are pointers of that process and its messages not ours to report.
    if (!IsOwnWindow(call.hwnd)) return;
    if (!Confirmed(call.hwnd)) {
        if (::FindWindowA("#32770", nullptr) == nullptr) return;
        if (::GetDlgItem(call.hwnd, kBasicGridId) == nullptr) return;
        if (IsTopLevelDialogClass(call.hwnd)) gConfirmed.Add(call.hwnd);
    }
    switch (call.message) {
    case WM_INITDIALOG:
        if (ProbeOwnedHere() && ClaimProbe(block))
            RunProbe(block, call.hwnd);
        else
            TakeOverColorDialog(call.hwnd);
        break;
    case WM_DESTROY:
        EndTakeOver(call.hwnd);
        break;
    default:
        break;
    }
    // A null owner would turn the post into a thread message for the hooked program.
    if (HWND owner = BlockHandle<HWND>(block.OwnerWindow))
        ::PostMessageA(owner, block.HookMessage, wParam, lParam);
}

void Watch(TSharedBlock& block, WPARAM wParam, LPARAM lParam) noexcept {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call == nullptr) return;

    const std::uint64_t hook = *reinterpret_cast<volatile const std::uint32_t*>(&block.HookHandle);
    if (gScannedForHook.load(std::memory_order_relaxed) != hook) {
        gScannedForHook.store(hook, std::memory_order_relaxed);
        ScanProcessWindows();
    }

    if (call->message == WM_CREATE) NoteCreation(*call);
    if (!gCandidates.Contains(call->hwnd)) return;

    ServeDialogMessage(block, *call, wParam, lParam);
    // An overflowed set lets every window through to the full tests. Once a window it holds
    // ends, there is room again: the set is rebuilt from the windows alive now, so it filters
    // again as soon as the crowd of dialogs has closed.
    if (call->message == WM_NCDESTROY) {
        // A full confirmed set only stops saving work; a freed slot lets it save again.
        if (gConfirmed.Remove(call->hwnd)) gConfirmed.ResetOverflow();
        if (gCandidates.Remove(call->hwnd) && gCandidates.ResetOverflow()) ScanProcessWindows();
    }
}

}  // namespace

LRESULT CALLBACK HookProcedure(int code, WPARAM wParam, LPARAM lParam) noexcept {
    TSharedBlock* block = HookBlock();
    if (block != nullptr && code == HC_ACTION) Watch(*block, wParam, lParam);
    // Always pass the call on, also without the block: returning early would cut every later
    // hook of other programs out of the chain.
    const HHOOK next = block != nullptr ? BlockHandle<HHOOK>(block->HookHandle) : nullptr;
    return ::CallNextHookEx(next, code, wParam, lParam);
}
