// SkerrowLib.h: skerrow.dll loaded by file name and its ten exports bound by name with
// GetProcAddress, the way the controller binds them. Shared by the tests and hooklib_peer.exe.
#pragma once

#include "Config.h"
#include "SharedBlock.h"

#include <cstdint>
#include <string>

struct TSkerrowLib {
    using TGetHookMsgString = const char*(WINAPI*)();
    using TGetFMObj = std::int32_t(WINAPI*)(HANDLE*, void**);
    using TReleaseFMObj = void(WINAPI*)(HANDLE, void*);
    using TGetResHandle = HANDLE(WINAPI*)(UINT);
    using TChkDialog = std::uint8_t(WINAPI*)();
    using TBtnTestProc = void(WINAPI*)(HWND);
    using TMakeColorStr = const char*(WINAPI*)(COLORREF);
    using TAllwaysOnTop = std::int32_t(WINAPI*)(HWND, std::uint8_t);
    using TSetHook = std::uint8_t(WINAPI*)(HWND);
    using TRemoveHook = void(WINAPI*)();

    HMODULE Module = nullptr;
    TGetHookMsgString GetHookMsgString = nullptr;
    TGetFMObj GetFMObj = nullptr;
    TReleaseFMObj ReleaseFMObj = nullptr;
    TGetResHandle GetResHandle = nullptr;
    TChkDialog ChkDialog = nullptr;
    TBtnTestProc BtnTestProc = nullptr;
    TMakeColorStr MakeColorStr = nullptr;
    TAllwaysOnTop AllwaysOnTop = nullptr;
    TSetHook SetHook = nullptr;
    TRemoveHook RemoveHook = nullptr;
    // Names of the exports that GetProcAddress did not find.
    std::string Missing;

    explicit TSkerrowLib(const std::string& path) {
        Module = ::LoadLibraryA(path.c_str());
        if (!Module) {
            Missing = "(library)";
            return;
        }
        Bind(GetHookMsgString, "GetHookMsgString");
        Bind(GetFMObj, "GetFMObj");
        Bind(ReleaseFMObj, "ReleaseFMObj");
        Bind(GetResHandle, "GetResHandle");
        Bind(ChkDialog, "ChkDialog");
        Bind(BtnTestProc, "BtnTestProc");
        Bind(MakeColorStr, "MakeColorStr");
        Bind(AllwaysOnTop, "AllwaysOnTop");
        Bind(SetHook, "SetHook");
        Bind(RemoveHook, "RemoveHook");
    }
    ~TSkerrowLib() {
        if (Module) ::FreeLibrary(Module);
    }
    TSkerrowLib(const TSkerrowLib&) = delete;
    TSkerrowLib& operator=(const TSkerrowLib&) = delete;

    bool Complete() const { return Missing.empty(); }

private:
    template <class F>
    void Bind(F& function, const char* name) {
        function = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(Module, name)));
        if (!function) Missing += std::string(Missing.empty() ? "" : " ") + name;
    }
};

// One operation on the block through the library's own GetFMObj / ReleaseFMObj.
class TLibBlock {
public:
    explicit TLibBlock(const TSkerrowLib& lib) : lib_(lib) {
        void* view = nullptr;
        status_ = lib_.GetFMObj(&section_, &view);
        view_ = static_cast<TSharedBlock*>(view);
    }
    ~TLibBlock() { lib_.ReleaseFMObj(section_, view_); }
    TLibBlock(const TLibBlock&) = delete;
    TLibBlock& operator=(const TLibBlock&) = delete;

    std::int32_t Status() const { return status_; }
    TSharedBlock* operator->() const { return view_; }
    TSharedBlock& operator*() const { return *view_; }
    const unsigned char* Raw() const { return reinterpret_cast<const unsigned char*>(view_); }
    explicit operator bool() const { return view_ != nullptr; }

private:
    const TSkerrowLib& lib_;
    HANDLE section_ = nullptr;
    TSharedBlock* view_ = nullptr;
    std::int32_t status_ = -1;
};

// Up to, not including, the first "." of this program's own path: what SetHook publishes.
inline std::string OwnSettingsBase() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string base(path);
    return base.substr(0, base.find('.'));
}
