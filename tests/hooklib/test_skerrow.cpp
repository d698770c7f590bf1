// skerrow.dll seen as the controller and a hooked program see it: loaded by file name, its
// exports bound by name, the shared block reached through GetFMObj, and a second process
// (hooklib_peer.exe) doing the same at the same time.
#include "PeerProcess.h"
#include "SkerrowLib.h"
#include "TakenOverMarks.h"
#include "TestFiles.h"
#include "TestWait.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const std::string kLibraryPath = TestFolder() + "\\skerrow.dll";
const std::string kPeerPath = TestFolder() + "\\hooklib_peer.exe";

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A window of the test's own class, optionally with a child of id 720 and the edit boxes
// 703 to 708: to the hook that is a colour dialog, whatever its class.
struct THost {
    HWND Window = nullptr;
    HWND Grid = nullptr;

    explicit THost(bool withGrid, bool withEdits = false) {
        static const bool registered = [] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = HostProc;
            windowClass.hInstance = ::GetModuleHandleA(nullptr);
            windowClass.lpszClassName = "PelmiraTestHost";
            return ::RegisterClassA(&windowClass) != 0;
        }();
        (void)registered;
        Window = ::CreateWindowExA(0, "PelmiraTestHost", "host", WS_OVERLAPPEDWINDOW, 40, 50, 300, 200,
                                   nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        if (withGrid)
            Grid = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 20, 160, 60, Window,
                                     reinterpret_cast<HMENU>(720), nullptr, nullptr);
        if (withEdits)
            for (int id = 703; id <= 708; ++id)
                ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 200, 10 + (id - 703) * 20, 40, 18,
                                  Window, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr,
                                  nullptr);
    }
    ~THost() {
        if (::IsWindow(Window)) ::DestroyWindow(Window);
    }
};

// Every top-level "#32770" window with its process and caption, for a failure message.
std::string DialogWindowsOnTheDesktop() {
    std::string list;
    for (HWND w : TopWindows(0, "#32770"))
        list += "process " + std::to_string(ProcessOf(w)) + (::IsWindowVisible(w) ? " shows \"" : " hides \"") +
                TextOf(w) + "\"; ";
    return list;
}

class Skerrow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(lib.Complete()) << "missing: " << lib.Missing;
        owner = ::CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 80, 40, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
        hookMessage = ::RegisterWindowMessageA("Vorlundhook") & 0xFFFF;
    }
    void TearDown() override {
        if (hooked) lib.RemoveHook();
        if (TLibBlock block(lib); block) {
            StoreDialogCount(*block, 0);
            block->OnTop = 0;
        }
        Pump();
        ::DestroyWindow(owner);
    }

    void Hook() {
        ASSERT_EQ(lib.SetHook(owner), 1);
        hooked = true;
    }

    // Whether the hook posted its notification to the owner since the last call.
    bool Notified() {
        MSG message;
        bool any = false;
        while (::PeekMessageA(&message, owner, hookMessage, hookMessage, PM_REMOVE)) any = true;
        return any;
    }

    TSkerrowLib lib{kLibraryPath};
    HWND owner = nullptr;
    UINT hookMessage = 0;
    bool hooked = false;
};

TEST_F(Skerrow, ExportsAreFoundByNameAndTheMessageIsNamed) {
    EXPECT_STREQ(lib.GetHookMsgString(), "Vorlundhook");
    EXPECT_NE(lib.GetResHandle(10), nullptr) << "the section made at attach";
}

TEST_F(Skerrow, MakeColorStrTakesBlueFromEveryBitAbove15) {
    EXPECT_EQ(Escaped(lib.MakeColorStr(0x00010203)), "3,2,1\\r\\n");
    EXPECT_EQ(Escaped(lib.MakeColorStr(0xFFFFFFFF)), "255,255,65535\\r\\n");
}

TEST_F(Skerrow, ResourceSelectorsUseTheLowByteOnly) {
    HANDLE icon = lib.GetResHandle(0);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(lib.GetResHandle(256), icon);
    EXPECT_EQ(lib.GetResHandle(2), nullptr);
    EXPECT_EQ(lib.GetResHandle(266), lib.GetResHandle(10));

    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(static_cast<HICON>(icon), &info));
    BITMAP bitmap{};
    ::GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 32);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);

    HANDLE cursor = lib.GetResHandle(1);
    ASSERT_NE(cursor, nullptr);
    ICONINFO cursorInfo{};
    ASSERT_TRUE(::GetIconInfo(static_cast<HICON>(cursor), &cursorInfo));
    EXPECT_FALSE(cursorInfo.fIcon);
    EXPECT_EQ(cursorInfo.xHotspot, 6u);
    EXPECT_EQ(cursorInfo.yHotspot, 6u);
    if (cursorInfo.hbmColor) ::DeleteObject(cursorInfo.hbmColor);
    ::DeleteObject(cursorInfo.hbmMask);

    TLibBlock block(lib);
    ASSERT_TRUE(block);
    EXPECT_EQ(BlockHandle<HANDLE>(block->PickCursor), cursor) << "GetResHandle(1) publishes the cursor";
}

TEST_F(Skerrow, AllwaysOnTopStoresTheFlagAsGivenAndRaisesTheWindow) {
    EXPECT_EQ(lib.AllwaysOnTop(owner, 2), 1);
    {
        TLibBlock block(lib);
        ASSERT_TRUE(block);
        EXPECT_EQ(block.Raw()[15], 2);
    }
    EXPECT_TRUE(::GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(lib.AllwaysOnTop(owner, 0), 1);
    EXPECT_FALSE(::GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(Skerrow, SetHookProbesTheColourDialogAndRemoveHookKeepsTheHandle) {
    Hook();
    EXPECT_EQ(lib.ChkDialog(), 0) << "the probe set the count back to 0";
    TLibBlock block(lib);
    ASSERT_TRUE(block);
    // A plausible standard colour dialog: some hundreds of pixels, and children inside it.
    EXPECT_GT(block->DialogRect.Width, 150);
    EXPECT_GT(block->DialogRect.Height, 150);
    EXPECT_LT(block->DialogRect.Width, 1000);
    int recorded = 0;
    for (const TBlockRect& child : block->ChildRects) {
        if (child.Width <= 0 && child.Height <= 0) continue;
        ++recorded;
        EXPECT_LT(child.Left, block->DialogRect.Width);
        EXPECT_LT(child.Top, block->DialogRect.Height);
    }
    EXPECT_GT(recorded, 10);
    EXPECT_EQ(::FindWindowA("#32770", nullptr), nullptr) << "the probe dialog is gone";

    // The raw bytes at the published offsets say the same as the record.
    std::uint32_t ownerField = 0;
    std::int32_t widthField = 0;
    std::memcpy(&ownerField, block.Raw() + 4, 4);
    std::memcpy(&widthField, block.Raw() + 548, 4);
    EXPECT_EQ(BlockHandle<HWND>(ownerField), owner);
    EXPECT_EQ(widthField, block->DialogRect.Width);
    EXPECT_EQ(block.Raw()[12] | (block.Raw()[13] << 8), static_cast<int>(hookMessage));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.Raw()) + 18), OwnSettingsBase());

    const std::uint32_t hook = block->HookHandle;
    ASSERT_NE(hook, 0u);
    lib.RemoveHook();
    hooked = false;
    EXPECT_EQ(block->HookHandle, hook) << "RemoveHook leaves the old handle";
}

TEST_F(Skerrow, MessagesToAWindowWithChild720AreForwardedToTheOwner) {
    THost before(true);  // exists before the hook: found by the hook's scan
    Hook();
    THost dialogClass(false);
    HWND topDialog = ::CreateWindowExA(0, "#32770", "top", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr);
    ASSERT_NE(topDialog, nullptr);
    THost after(true);  // made while the hook runs: noticed at its child's creation
    THost plain(false);
    Notified();

    ::SendMessageA(plain.Window, WM_USER + 5, 0, 0);
    EXPECT_FALSE(Notified()) << "a window without a child 720 is not a colour dialog";
    ::SendMessageA(after.Window, WM_USER + 5, 0, 0);
    EXPECT_TRUE(Notified());
    ::SendMessageA(before.Window, WM_USER + 5, 0, 0);
    EXPECT_TRUE(Notified());

    ::DestroyWindow(topDialog);
    // The hook asks for a dialog-class window of any program on the desktop. One that another
    // program still shows (a client or controller a test before this one started) goes with its
    // program, so wait for that; a dialog that stays is named in the failure.
    ASSERT_TRUE(WaitFor([] { return ::FindWindowA("#32770", nullptr) == nullptr; }))
        << DialogWindowsOnTheDesktop();
    ::SendMessageA(after.Window, WM_USER + 5, 0, 0);
    EXPECT_FALSE(Notified()) << "no top-level dialog-class window: nothing is posted";
}

TEST_F(Skerrow, DestroyingATakenOverDialogCountsItOut) {
    Hook();
    HWND topDialog = ::CreateWindowExA(0, "#32770", "top", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr);
    {
        THost marked(true);
        THost unmarked(true);
        ::SetPropA(marked.Window, "Ostvarin", marked.Grid);
        const TTakenOverMarks elsewhere(1);  // the other counted dialog, open in some program
        if (TLibBlock block(lib); block) StoreDialogCount(*block, 2);
        ::DestroyWindow(unmarked.Window);
        EXPECT_EQ(lib.ChkDialog(), 2) << "only a dialog carrying the property is counted out";
        ::DestroyWindow(marked.Window);
        EXPECT_EQ(lib.ChkDialog(), 1);
    }
    ::DestroyWindow(topDialog);
}

TEST_F(Skerrow, AnInitDialogWhileTheProbeIsPendingRecordsAndEndsTheDialog) {
    Hook();
    HWND topDialog = ::CreateWindowExA(0, "#32770", "top", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr);
    THost probe(true, true);
    RECT window{}, grid{};
    ::GetWindowRect(probe.Window, &window);
    ::GetWindowRect(probe.Grid, &grid);
    ::MapWindowPoints(nullptr, probe.Window, reinterpret_cast<POINT*>(&grid), 2);
    if (TLibBlock block(lib); block) StoreDialogCount(*block, kProbeMark);

    ::SendMessageA(probe.Window, WM_INITDIALOG, 0, 0);

    // Ended as a dialog box ends (its modal loop then destroys it and enables the owner again),
    // not destroyed under that loop, and not taken over.
    EXPECT_TRUE(::IsWindow(probe.Window));
    EXPECT_EQ(::GetPropA(probe.Window, "Ostvarin"), nullptr);
    TLibBlock block(lib);
    ASSERT_TRUE(block);
    EXPECT_EQ(ReadDialogCount(*block), 0);
    EXPECT_EQ(block->DialogRect.Left, window.left);
    EXPECT_EQ(block->DialogRect.Width, window.right - window.left);
    EXPECT_EQ(block->ChildRects[0].Left, grid.left) << "children in their parent's client coordinates";
    EXPECT_EQ(block->ChildRects[0].Width, 160);
    EXPECT_EQ(block->ChildRects[1].Width, 40) << "then the edit boxes, in creation order";
    EXPECT_EQ(block->ChildRects[6].Top, 10 + 5 * 20);
    ::DestroyWindow(topDialog);

    // Leave the real dialog's geometry behind for whoever uses the block next.
    lib.RemoveHook();
    Hook();
}

TEST_F(Skerrow, EveryMessageIsPassedOnToTheNextHook) {
    HMODULE chain = ::LoadLibraryA((TestFolder() + "\\hooklib_chainhook.dll").c_str());
    ASSERT_NE(chain, nullptr);
    auto install = reinterpret_cast<int (*)(UINT)>(
        reinterpret_cast<void*>(::GetProcAddress(chain, "InstallChainHook")));
    auto remove = reinterpret_cast<void (*)()>(
        reinterpret_cast<void*>(::GetProcAddress(chain, "RemoveChainHook")));
    auto calls = reinterpret_cast<LONG (*)()>(
        reinterpret_cast<void*>(::GetProcAddress(chain, "ChainCalls")));
    ASSERT_TRUE(install && remove && calls);
    constexpr UINT kCounted = WM_USER + 77;
    ASSERT_TRUE(install(kCounted));
    Hook();
    HWND topDialog = ::CreateWindowExA(0, "#32770", "top", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr);
    THost plain(false);
    THost dialogLike(true);
    for (int i = 0; i < 5; ++i) {
        ::SendMessageA(plain.Window, kCounted, 0, 0);
        ::SendMessageA(dialogLike.Window, kCounted, 0, 0);
    }
    EXPECT_EQ(calls(), 10) << "the common path and a colour dialog's path both call the next hook";
    ::DestroyWindow(topDialog);
    remove();
    ::FreeLibrary(chain);
}

// ---------------------------------------------------------------------------------------------
// A second process
// ---------------------------------------------------------------------------------------------

TEST_F(Skerrow, ASecondProcessFindsTheSameExportsAndBlock) {
    TPeerProcess peer(kPeerPath, "report \"" + kLibraryPath + "\"");
    ASSERT_TRUE(peer.Started());
    ASSERT_EQ(peer.Finish(), 0) << "missing: " << peer.Value("missing");
    EXPECT_EQ(peer.Value("hookmsg"), "Vorlundhook");
    EXPECT_EQ(peer.Value("color1"), "3,2,1\\r\\n");
    EXPECT_EQ(peer.Value("color2"), "255,255,65535\\r\\n");
    EXPECT_EQ(peer.Value("res0"), "1");
    EXPECT_EQ(peer.Value("res256same"), "1");
    EXPECT_EQ(peer.Value("res2null"), "1");
    EXPECT_EQ(peer.Value("res10"), "1");
    EXPECT_EQ(peer.Value("ontop"), "1");
    EXPECT_EQ(peer.Value("ontopfield"), "2");
    EXPECT_EQ(peer.Value("topmost"), "1");

    TPeerProcess writer(kPeerPath, "folder \"" + kLibraryPath + "\" Z:\\peer\\palettes");
    ASSERT_EQ(writer.Finish(), 0);
    TLibBlock block(lib);
    ASSERT_TRUE(block);
    EXPECT_STREQ(reinterpret_cast<const char*>(block.Raw()) + 279, "Z:\\peer\\palettes");
    WriteBlockText(block->PaletteFolder, "", kBlockTextSize - 1);
}

TEST_F(Skerrow, SetHookInASecondProcessCutsItsPathAtTheFirstDot) {
    // The peer runs from a folder with a "." in its name, so the base ends inside the folder name.
    const std::string folder = TestFolder() + "\\peer.dir";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string copy = folder + "\\hooklib_peer.exe";
    ASSERT_TRUE(::CopyFileA(kPeerPath.c_str(), copy.c_str(), FALSE));

    TPeerProcess peer(copy, "sethook \"" + kLibraryPath + "\"");
    ASSERT_TRUE(peer.Started());
    ASSERT_EQ(peer.Finish(), 0) << "missing: " << peer.Value("missing");
    EXPECT_EQ(peer.Value("sethook"), "1");
    EXPECT_EQ(peer.Value("count"), "0");
    EXPECT_GT(std::stoi(peer.Value("width")), 150);
    EXPECT_GT(std::stoi(peer.Value("child1width")), 0);
    EXPECT_EQ(peer.Value("owner"), "1");
    EXPECT_EQ(peer.Value("base"), copy.substr(0, copy.find('.')));
    EXPECT_EQ(peer.Value("hookkept"), "1");

    ::DeleteFileA(copy.c_str());
    ::RemoveDirectoryA(folder.c_str());
}

TEST_F(Skerrow, RemoveHookFromAnotherProcessLeavesTheHookInPlace) {
    Hook();
    TPeerProcess peer(kPeerPath, "removehook \"" + kLibraryPath + "\"");
    ASSERT_EQ(peer.Finish(), 0);
    EXPECT_EQ(peer.Value("removed"), "1");
    // The peer never installed a hook, so its library must not remove ours: a window with a
    // child 720 still has its messages forwarded.
    HWND topDialog = ::CreateWindowExA(0, "#32770", "top", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr);
    THost host(true);
    Notified();
    ::SendMessageA(host.Window, WM_USER + 5, 0, 0);
    EXPECT_TRUE(Notified());
    ::DestroyWindow(topDialog);
}

TEST_F(Skerrow, SetHookForAnotherProcesssWindowOnlyAddsAHookAndRemovesOnlyThat) {
    Hook();
    // This process's probe leaves its owner disabled under Wine (the controller enables its
    // window again); the peer must not disable it.
    ::EnableWindow(owner, TRUE);
    TSharedBlock before{};
    {
        TLibBlock block(lib);
        ASSERT_TRUE(block);
        before = *block;
    }
    ASSERT_EQ(before.DialogCount, 0) << "the probe of this process's SetHook is done";

    TPeerProcess peer(kPeerPath, "serve \"" + kLibraryPath + "\" " +
                                     std::to_string(reinterpret_cast<ULONG_PTR>(owner)));
    ASSERT_TRUE(peer.WaitForLine("removed")) << "missing: " << peer.Value("missing");
    Pump();  // the peer's hook calls for this thread's windows
    ASSERT_EQ(peer.Finish(), 0);
    EXPECT_EQ(peer.Value("sethook"), "1");
    EXPECT_EQ(peer.Value("enabled"), "1") << "no probe dialog was owned by the window";

    TLibBlock block(lib);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->HookHandle, before.HookHandle) << "the block keeps the owner's hook";
    EXPECT_EQ(BlockHandle<HWND>(block->OwnerWindow), owner);
    EXPECT_EQ(ReadDialogCount(*block), 0) << "no probe was asked for";
    EXPECT_EQ(BlockText(block->SettingsBase), BlockText(before.SettingsBase)) << "the owner's settings base stays";
    EXPECT_EQ(block->DialogRect.Width, before.DialogRect.Width);

    // The peer's RemoveHook took away its own hook only: ours still forwards.
    HWND topDialog = ::CreateWindowExA(0, "#32770", "top", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr);
    THost host(true);
    Notified();
    ::SendMessageA(host.Window, WM_USER + 5, 0, 0);
    EXPECT_TRUE(Notified());
    ::DestroyWindow(topDialog);
}

TEST_F(Skerrow, CountsFromTwoProcessesAtOnceStayExact) {
    TLibBlock block(lib);
    ASSERT_TRUE(block);
    StoreDialogCount(*block, 0);
    HANDLE go = ::CreateEventA(nullptr, TRUE, FALSE, "PelmiraTestCountGo");
    ASSERT_NE(go, nullptr);
    constexpr int kRounds = 20000;
    TPeerProcess peer(kPeerPath, "count \"" + kLibraryPath + "\" " + std::to_string(kRounds) +
                                     " PelmiraTestCountGo");
    ASSERT_TRUE(peer.WaitForLine("ready"));
    ::SetEvent(go);
    int refused = 0;
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < 100; ++i) refused += CountDialogIn(*block) ? 0 : 1;
        for (int i = 0; i < 100; ++i) CountDialogOut(*block);
    }
    ASSERT_EQ(peer.Finish(), 0);
    ::CloseHandle(go);
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(peer.Value("refused"), "0");
    EXPECT_EQ(ReadDialogCount(*block), 0) << "no increment or decrement was lost";
}

}  // namespace
