// DialogHarness.h: the colour-dialog tests' side of the desktop. The test process plays the
// controller (loads skerrow.dll, installs the hook, writes the shared block); a client process
// shows a colour dialog (the stand-in or the platform's ChooseColorA) and is driven from here
// through posted messages, its open and save boxes, the real cursor and screen pixels.
// Every wait here pumps this thread's messages (WaitFor's default): the hook posts a notification
// to the owner window of this thread for every message a dialog gets.
#pragma once

#include <gtest/gtest.h>

#include "Config.h"
#include "ScreenPicture.h"
#include "SharedBlock.h"
#include "TestFiles.h"
#include "TestWait.h"
#include "WindowTestSupport.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace harness {

// ---------------------------------------------------------------------------------------------
// The library, as the controller binds it
// ---------------------------------------------------------------------------------------------
struct TLibrary {
    HMODULE Module = nullptr;
    std::uint8_t(WINAPI* SetHook)(HWND) = nullptr;
    void(WINAPI* RemoveHook)() = nullptr;
    std::uint8_t(WINAPI* ChkDialog)() = nullptr;
    HANDLE(WINAPI* GetResHandle)(UINT) = nullptr;

    bool Load() {
        Module = ::LoadLibraryA("skerrow.dll");
        if (Module == nullptr) return false;
        SetHook = reinterpret_cast<decltype(SetHook)>(reinterpret_cast<void*>(::GetProcAddress(Module, "SetHook")));
        RemoveHook = reinterpret_cast<decltype(RemoveHook)>(reinterpret_cast<void*>(::GetProcAddress(Module, "RemoveHook")));
        ChkDialog = reinterpret_cast<decltype(ChkDialog)>(reinterpret_cast<void*>(::GetProcAddress(Module, "ChkDialog")));
        GetResHandle = reinterpret_cast<decltype(GetResHandle)>(reinterpret_cast<void*>(::GetProcAddress(Module, "GetResHandle")));
        return SetHook && RemoveHook && ChkDialog && GetResHandle;
    }
};

// The block through our own view (the test is the controller here).
class TBlockView {
public:
    TBlockView() {
        section_ = ::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kSectionName);
        if (section_ != nullptr)
            view_ = static_cast<TSharedBlock*>(::MapViewOfFile(section_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    }
    ~TBlockView() {
        if (view_ != nullptr) ::UnmapViewOfFile(view_);
        if (section_ != nullptr) ::CloseHandle(section_);
    }
    TBlockView(const TBlockView&) = delete;
    TBlockView& operator=(const TBlockView&) = delete;
    TSharedBlock* operator->() const { return view_; }
    explicit operator bool() const { return view_ != nullptr; }

private:
    HANDLE section_ = nullptr;
    TSharedBlock* view_ = nullptr;
};

// A text field of the block, written the way the library writes its own.
inline void SetBlockText(char (&field)[kBlockTextSize], const std::string& text) {
    WriteBlockText(field, text);
}

// ---------------------------------------------------------------------------------------------
// Windows of another process
// ---------------------------------------------------------------------------------------------
inline std::vector<HWND> TopLevelDialogsOf(DWORD pid) {
    return TopLevelWindows(
        [pid](HWND w) { return ProcessOf(w) == pid && ClassOf(w) == "#32770" && ::IsWindowVisible(w); });
}

// The probe point of a custom cell: a third across, half-way down (as the library probes it).
inline POINT CustomCellPoint(HWND dialog, int cell) {
    const RECT g = WindowRectOf(::GetDlgItem(dialog, 721));
    const int cw = (g.right - g.left) / 8, ch = (g.bottom - g.top) / 2;
    return POINT{g.left + (cell % 8) * cw + cw / 3, g.top + (cell / 8) * ch + ch / 2};
}

inline std::vector<COLORREF> CustomCells(HWND dialog) {
    std::vector<COLORREF> cells;
    for (int k = 0; k < 16; ++k) cells.push_back(ScreenPixel(CustomCellPoint(dialog, k)));
    return cells;
}

inline std::string ColorText(COLORREF c);
inline std::string CellsText(const std::vector<COLORREF>& cells);

// Waits until the custom cells show `expected` (the dialog may still be painting); answers the
// cells as last seen, for the failure message.
inline std::string WaitForCells(HWND dialog, const std::vector<COLORREF>& expected, int timeoutMs = 15000) {
    std::vector<COLORREF> seen;
    WaitFor([&] {
        seen = CustomCells(dialog);
        return seen == expected;
    }, timeoutMs);
    return CellsText(seen);
}

inline std::vector<COLORREF> AllWhite() { return std::vector<COLORREF>(16, RGB(255, 255, 255)); }

inline std::string ColorText(COLORREF c) {
    char t[32];
    std::snprintf(t, sizeof t, "%u,%u,%u", GetRValue(c), GetGValue(c), GetBValue(c));
    return t;
}

inline std::string CellsText(const std::vector<COLORREF>& cells) {
    std::string s;
    for (std::size_t k = 0; k < cells.size(); ++k) s += std::to_string(k) + "=" + ColorText(cells[k]) + " ";
    return s;
}

// ---------------------------------------------------------------------------------------------
// A client process with one colour dialog
// ---------------------------------------------------------------------------------------------
enum class TDialogKind { StandIn, Wine, WineFullOpen };

inline const char* KindName(TDialogKind kind) {
    switch (kind) {
    case TDialogKind::StandIn: return "StandIn";
    case TDialogKind::Wine: return "Wine";
    case TDialogKind::WineFullOpen: return "WineFullOpen";
    }
    return "?";
}

class TClient {
public:
    TClient(TDialogKind kind, const std::string& args) : kind_(kind) {
        const std::string exe = TestFolder() + (kind == TDialogKind::StandIn ? "\\stand_in_dialog.exe" : "\\choose_color_client.exe");
        std::string command = "\"" + exe + "\" --timeout 180000 " + args;
        if (kind == TDialogKind::WineFullOpen) command += " --fullopen";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::vector<char> line(command.begin(), command.end());
        line.push_back('\0');
        started_ = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != FALSE;
    }
    ~TClient() {
        if (!started_) return;
        Close();
        if (::WaitForSingleObject(pi_.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(pi_.hProcess, 1);
        ::CloseHandle(pi_.hThread);
        ::CloseHandle(pi_.hProcess);
    }
    TClient(const TClient&) = delete;
    TClient& operator=(const TClient&) = delete;

    bool Started() const { return started_; }
    DWORD Pid() const { return pi_.dwProcessId; }
    TDialogKind Kind() const { return kind_; }

    // The dialog once it carries the take-over property; null when it does not within the time.
    HWND WaitForTakenOverDialog(int timeoutMs = 30000) {
        WaitFor([&] {
            for (HWND w : TopLevelDialogsOf(Pid()))
                if (::GetPropA(w, "Ostvarin") != nullptr) dialog_ = w;
            return dialog_ != nullptr;
        }, timeoutMs);
        return dialog_;
    }

    // Any visible dialog of the client that is not the colour dialog: its open or save box.
    HWND WaitForBox(int timeoutMs = 20000) {
        HWND box = nullptr;
        WaitFor([&] {
            for (HWND w : TopLevelDialogsOf(Pid()))
                if (w != dialog_ && ::GetPropA(w, "Ostvarin") == nullptr && ::GetDlgItem(w, 720) == nullptr) box = w;
            return box != nullptr;
        }, timeoutMs);
        return box;
    }

    bool WaitForExit(int timeoutMs = 15000) {
        return WaitFor([&] { return ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs);
    }

    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

    void Close() {
        if (dialog_ != nullptr && ::IsWindow(dialog_)) ::PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
    }

    HWND Dialog() const { return dialog_; }

private:
    TDialogKind kind_;
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
    HWND dialog_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The added controls, seen from outside
// ---------------------------------------------------------------------------------------------
inline HWND PanelOf(HWND dialog) {
    return FindChild(dialog, [](HWND w) { return ClassOf(w) == "APIPanel"; });
}

inline HWND StatusBarOf(HWND dialog) {
    return FindChild(dialog, [dialog](HWND w) { return ::GetParent(w) == dialog && ClassOf(w) == STATUSCLASSNAMEA; });
}

inline std::string StatusText(HWND dialog) { return TextOf(StatusBarOf(dialog)); }

// Centre of panel button i (default layout: 30 pixels apart) in the panel's client coordinates.
inline LPARAM ButtonPoint(int button) { return MAKELPARAM(30 * button + 15, 7); }

inline void PressButton(HWND panel, int button) {
    ::PostMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, ButtonPoint(button));
}

inline void ReleaseButton(HWND panel, LPARAM at) { ::PostMessageA(panel, WM_LBUTTONUP, 0, at); }

inline void ClickButton(HWND panel, int button) {
    PressButton(panel, button);
    ReleaseButton(panel, ButtonPoint(button));
}

// The box's file name field: the combo box of the explorer-style box, or the plain edit.
inline HWND FileNameField(HWND box) {
    if (HWND combo = ::GetDlgItem(box, 1148)) return combo;  // cmb13
    return ::GetDlgItem(box, 1152);                          // edt1
}

// Types a full path into an open or save box and confirms it. The box may still be filling its
// list (and its name field) when it first shows, so the name is typed until it reads back.
inline void AnswerBox(HWND box, const std::string& path) {
    WaitFor([&] {
        HWND field = FileNameField(box);
        if (field == nullptr) return false;
        ::SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG, 5000,
                              nullptr);
        ::Sleep(50);
        Pump();
        return TextOf(field) == path;
    }, 10000);
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
}

inline std::string BoxText(HWND dialog, int id) { return TextOf(::GetDlgItem(dialog, id)); }

// Waits until two captures of the window in a row are the same: the window has finished painting.
inline bool WaitForSteadyImage(HWND window, int timeoutMs = 10000) {
    std::string last = CaptureWindow(window);
    return WaitFor([&] {
        ::Sleep(100);
        std::string now = CaptureWindow(window);
        const bool same = now == last;
        last = std::move(now);
        return same;
    }, timeoutMs);
}

// ---------------------------------------------------------------------------------------------
// The test process as the controller: hook installed for the whole test program
// ---------------------------------------------------------------------------------------------
class TDialogSuite : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        ASSERT_TRUE(lib_.Load()) << "skerrow.dll or its exports";
        lib_.GetResHandle(1);  // publishes the eyedropper cursor, as the controller does
        WNDCLASSA wc{};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "PelmiraTestController";
        ::RegisterClassA(&wc);
        owner_ = ::CreateWindowExA(0, wc.lpszClassName, "test controller", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   wc.hInstance, nullptr);
        ASSERT_EQ(lib_.SetHook(owner_), 1);
        scratch_ = std::make_unique<TTempFolder>("e2e");
        dir_ = scratch_->Path;
        // The dialogs read their settings from here instead of beside the test program.
        settingsBase_ = dir_ + "\\Vorlund";
        WriteTextFile(settingsBase_ + "Lang.ini",
                "[Message_hook]\r\n0=applied\r\n1=outside the dialog\r\n"
                "[TipHelp_hook]\r\n0=load\r\n1=save\r\n2=pick\r\n3=set\r\n"
                "[TipHelpStatus_hook]\r\n0=Load a palette\r\n1=Save the palette\r\n2=Pick\r\n3=Set\r\n");
        TBlockView block;
        ASSERT_TRUE(block);
        SetBlockText(block->SettingsBase, settingsBase_);
        SetBlockText(block->PaletteFolder, dir_);
        block->WebSafe = 0;
        block->Dialog = 0;
        block->OnTop = 0;
    }

    static void TearDownTestSuite() {
        if (lib_.RemoveHook) lib_.RemoveHook();
        if (owner_) ::DestroyWindow(owner_);
        Pump();
        scratch_.reset();
    }

protected:
    void TearDown() override {
        // Every client is closed by its test; the count must be back at zero for the next one.
        WaitFor([] { return lib_.ChkDialog() == 0; }, 10000);
    }

    static std::string Path(const std::string& name) { return dir_ + "\\" + name; }

    static inline TLibrary lib_;
    static inline HWND owner_ = nullptr;
    static inline std::unique_ptr<TTempFolder> scratch_;
    static inline std::string dir_;
    static inline std::string settingsBase_;
};

// Sixteen distinct colours for line k.
inline COLORREF PaletteColor(int k) { return RGB(10 + k * 15, 250 - k * 12, 3 + k * 9); }

inline std::string PaletteFileText(const std::string& eol = "\r\n", int lines = 16) {
    std::string text;
    for (int k = 0; k < lines; ++k) text += std::to_string(k) + "=" + ColorText(PaletteColor(k)) + eol;
    return text;
}

}  // namespace harness
