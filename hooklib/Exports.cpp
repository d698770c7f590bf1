// Exports.cpp: the exported functions of skerrow.dll. Each opens and maps the block for its one
// operation (GetFMObj / ReleaseFMObj) and releases it before returning.
#include "Exports.h"

#include "BlockAccess.h"
#include "HookProc.h"
#include "Library.h"
#include "PaletteText.h"
#include "ScopedHandles.h"
#include "SharedBlock.h"
#include "SharedNames.h"

#include <commdlg.h>

#include <cstring>

namespace {
constexpr UINT kWarningBox = MB_ICONWARNING | MB_SETFOREGROUND;  // 0x10030

// One export's operation on the block, through the library's own GetFMObj / ReleaseFMObj: the
// same path the controller takes through the bound exports.
class TExportBlock : public TBlockAccess {
public:
    TExportBlock() noexcept : TBlockAccess(GetFMObj, ReleaseFMObj) {}
};

// The hook this process installed. Kept here rather than read back from the block: the 32-bit
// companion installs a hook of its own and must not take the controller's away, nor the other way.
HHOOK gHookHere = nullptr;

// Dialogs taken over and still alive anywhere on the desktop: top-level windows carrying the
// take-over property (readable on windows of every process).
BOOL CALLBACK CountTakenOver(HWND window, LPARAM alive) noexcept {
    if (::GetPropA(window, kTakeOverProp) != nullptr) ++*reinterpret_cast<int*>(alive);
    return TRUE;
}

bool WindowOfThisProcess(HWND window) noexcept {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == ::GetCurrentProcessId();
}
}  // namespace

extern "C" {

const char* WINAPI GetHookMsgString() { return kHookMessageName; }

std::int32_t WINAPI GetFMObj(HANDLE* section, void** view) {
    if (section) *section = nullptr;
    if (view) *view = nullptr;
    TScopedHandle handle(::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kSectionName));
    if (!handle) return -1;
    void* mapped = ::MapViewOfFile(handle.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (mapped == nullptr) return -2;  // the handle is closed again on the way out
    // The caller owns both from here on and gives them back through ReleaseFMObj.
    if (section) *section = handle.Release();
    if (view) *view = mapped;
    return 0;
}

void WINAPI ReleaseFMObj(HANDLE section, void* view) {
    if (view) ::UnmapViewOfFile(view);
    if (section) ::CloseHandle(section);
}

HANDLE WINAPI GetResHandle(UINT selector) {
    switch (selector & 0xFF) {
    case 0:
        return ::LoadIconA(LibraryModule(), "bhide");
    case 1: {
        HCURSOR cursor = ::LoadCursorA(LibraryModule(), "spuit");
        if (TExportBlock block; block) block->PickCursor = ToBlockHandle(cursor);
        return cursor;
    }
    case 10:
        return LibrarySection();
    default:
        return nullptr;
    }
}

std::uint8_t WINAPI ChkDialog() {
    TExportBlock block;
    if (!block) return 0;
    const std::uint8_t counted = ReadDialogCount(*block.Block());
    if (counted == 0 || counted >= kProbeMark) return counted;
    // A host that was killed or crashed with a dialog open never counted it out. A dialog carries
    // the property before it counts in and until after it counts out, so fewer live properties
    // than the count means dialogs whose windows are gone.
    int alive = 0;
    ::EnumWindows(CountTakenOver, reinterpret_cast<LPARAM>(&alive));
    return ForgetEndedDialogs(*block.Block(), counted, alive);
}

void WINAPI BtnTestProc(HWND owner) {
    ::SetForegroundWindow(owner);
    COLORREF custom[16];
    for (COLORREF& colour : custom) colour = RGB(255, 255, 255);
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.rgbResult = RGB(255, 255, 255);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT;
    ::ChooseColorA(&choose);
}

const char* WINAPI MakeColorStr(COLORREF colour) {
    thread_local char text[32];
    const std::string made = pelmira::MakeColorText(colour);
    std::memcpy(text, made.c_str(), made.size() + 1);
    return text;
}

std::int32_t WINAPI AllwaysOnTop(HWND window, std::uint8_t flag) {
    {
        TExportBlock block;
        if (!block) return block.Status();
        block->OnTop = flag;
    }
    const BOOL placed = ::SetWindowPos(window, flag ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                                       SWP_NOMOVE | SWP_NOSIZE);
    return placed ? 1 : 0;
}

std::uint8_t WINAPI SetHook(HWND window) {
    TExportBlock block;
    if (!block) return 0;
    block->OwnerWindow = ToBlockHandle(window);
    const HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, HookProcedure, LibraryModule(), 0);
    if (hook != nullptr) gHookHere = hook;
    if (window != nullptr && !WindowOfThisProcess(window)) {
        // The companion serving the controller's window from a process of the other bitness:
        // the controller's own SetHook has already recorded the hook handle, the message, the
        // dialog's geometry (the same system template in both bitnesses) and its settings base,
        // and the probe's modal dialog must not disable another program's window.
        // The registered message has the same value in every process of the desktop.
        if (hook != nullptr) SetHookInstalledHere(true);
        return hook != nullptr && ::RegisterWindowMessageA(GetHookMsgString()) != 0 ? 1 : 0;
    }
    block->HookHandle = ToBlockHandle(hook);
    SetProbeOwnedHere();  // before the count says "probe pending"
    StoreDialogCount(*block.Block(), kProbePending);

    // The geometry probe: the hook, already installed, records the dialog's layout, sets the
    // count to 0 and ends the dialog, so this modal call returns at once.
    BtnTestProc(window);

    // Marked as installed as soon as it is, so that RemoveHook can take it away again even when
    // the message registration below fails and SetHook reports failure.
    if (hook != nullptr) SetHookInstalledHere(true);

    const std::uint16_t message =
        static_cast<std::uint16_t>(::RegisterWindowMessageA(GetHookMsgString()) & 0xFFFF);
    block->HookMessage = message;
    if (message == 0) {
        ::MessageBoxA(window, "RegisterWindowMessage error.", "Vorlund '", kWarningBox);
        return 0;
    }
    if (hook == nullptr) return 0;

    char path[kBlockTextSize] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    path[kBlockTextSize - 1] = '\0';
    // The base ends before the first ".", not the last: D:\My.Apps\Vorlund.exe gives D:\My.
    const char* dot = std::strchr(path, '.');
    WriteBlockText(block->SettingsBase,
                   std::string_view(path, dot ? static_cast<std::size_t>(dot - path) : std::strlen(path)));
    return 1;
}

void WINAPI RemoveHook() {
    TExportBlock block;
    if (block && HookInstalledHere() && gHookHere != nullptr) ::UnhookWindowsHookEx(gHookHere);
    gHookHere = nullptr;
}

}  // extern "C"
