// peer.cpp: hooklib_peer.exe, the second process of the hook library's tests. It loads
// skerrow.dll by the path it is given, does one job and prints key=value lines on stdout.
//   report <dll>                  exports, MakeColorStr, GetResHandle, AllwaysOnTop with 2
//   sethook <dll>                 SetHook with a window of its own, the probe's record, RemoveHook
//   count <dll> <rounds> <event>  after <event> is set: rounds of 100 take-over counts in and out
//   folder <dll> <text>           publishes <text> as PaletteFolder
//   removehook <dll>              RemoveHook in a process that did not install the hook
#include "SkerrowLib.h"
#include "TestFiles.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND MakeWindow() {
    return ::CreateWindowExA(0, "STATIC", "hooklib peer", WS_OVERLAPPED, 0, 0, 80, 40, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

int Report(TSkerrowLib& lib) {
    std::printf("hookmsg=%s\n", lib.GetHookMsgString());
    std::printf("color1=%s\n", Escaped(lib.MakeColorStr(0x00010203)).c_str());
    std::printf("color2=%s\n", Escaped(lib.MakeColorStr(0xFFFFFFFF)).c_str());
    HANDLE icon = lib.GetResHandle(0);
    std::printf("res0=%d\n", icon != nullptr);
    std::printf("res256same=%d\n", lib.GetResHandle(256) == icon);
    std::printf("res2null=%d\n", lib.GetResHandle(2) == nullptr);
    std::printf("res10=%d\n", lib.GetResHandle(10) != nullptr);
    HWND window = MakeWindow();
    std::printf("ontop=%d\n", lib.AllwaysOnTop(window, 2));
    {
        TLibBlock block(lib);
        std::printf("ontopfield=%d\n", block ? block.Raw()[15] : -1);
    }
    std::printf("topmost=%d\n", (::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    lib.AllwaysOnTop(window, 0);
    ::DestroyWindow(window);
    return 0;
}

int SetAndRemoveHook(TSkerrowLib& lib) {
    HWND window = MakeWindow();
    std::printf("sethook=%d\n", lib.SetHook(window));
    std::printf("count=%d\n", lib.ChkDialog());
    {
        TLibBlock block(lib);
        if (!block) return 2;
        std::printf("width=%d\nheight=%d\n", block->DialogRect.Width, block->DialogRect.Height);
        std::printf("child1width=%d\n", block->ChildRects[0].Width);
        std::printf("owner=%d\n", BlockHandle<HWND>(block->OwnerWindow) == window);
        std::printf("base=%s\n", BlockText(block->SettingsBase).c_str());
        std::printf("ownbase=%s\n", OwnSettingsBase().c_str());
    }
    lib.RemoveHook();
    {
        TLibBlock block(lib);
        std::printf("hookkept=%d\n", block && block->HookHandle != 0);
    }
    ::DestroyWindow(window);
    return 0;
}

int Count(TSkerrowLib& lib, int rounds, const char* eventName) {
    TLibBlock block(lib);
    HANDLE go = ::OpenEventA(SYNCHRONIZE, FALSE, eventName);
    if (!block || !go) return 2;
    std::printf("ready=1\n");
    std::fflush(stdout);
    ::WaitForSingleObject(go, 30000);
    int refused = 0;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < 100; ++i) refused += CountDialogIn(*block) ? 0 : 1;
        for (int i = 0; i < 100; ++i) CountDialogOut(*block);
    }
    std::printf("refused=%d\n", refused);
    ::CloseHandle(go);
    return 0;
}

int Folder(TSkerrowLib& lib, const char* text) {
    TLibBlock block(lib);
    if (!block) return 2;
    WriteBlockText(block->PaletteFolder, text, kBlockTextSize - 1);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 64;
    TSkerrowLib lib(argv[2]);
    std::printf("missing=%s\n", lib.Missing.c_str());
    if (!lib.Complete()) return 3;
    const std::string job = argv[1];
    int result = 64;
    if (job == "report") result = Report(lib);
    else if (job == "sethook") result = SetAndRemoveHook(lib);
    else if (job == "count" && argc >= 5) result = Count(lib, std::atoi(argv[3]), argv[4]);
    else if (job == "folder" && argc >= 4) result = Folder(lib, argv[3]);
    else if (job == "removehook") {
        lib.RemoveHook();
        std::printf("removed=1\n");
        result = 0;
    }
    std::fflush(stdout);
    return result;
}
