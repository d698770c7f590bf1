// The hook procedure called directly the way Windows calls it in the installing thread for the
// windows of programs of the other bitness: with another process's window, whose pointers are not
// ours to read and whose window is not ours to change. This program links the library's code
// itself (the procedure is not exported); the hook that takes the client's dialog over is the
// real skerrow.dll, installed by the suite.
#include "DialogHarness.h"
#include "HookProc.h"
#include "StressHarness.h"

#include <vector>

using namespace harness;

namespace {

class HookDirectCall : public TDialogSuite {};

// Top-level windows of this process, each with a child whose id is 720: more than the hook's set
// of possible dialogs holds, so that set overflows and every window reaches the hook's full tests.
class TCrowd {
public:
    TCrowd() {
        for (int i = 0; i < 70; ++i) {
            HWND top = ::CreateWindowExA(0, "STATIC", "crowd", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr,
                                         ::GetModuleHandleA(nullptr), nullptr);
            ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, top, reinterpret_cast<HMENU>(720),
                              ::GetModuleHandleA(nullptr), nullptr);
            windows_.push_back(top);
        }
    }
    ~TCrowd() {
        for (HWND w : windows_) ::DestroyWindow(w);
    }
    TCrowd(const TCrowd&) = delete;
    TCrowd& operator=(const TCrowd&) = delete;

private:
    std::vector<HWND> windows_;
};

}  // namespace

TEST_F(HookDirectCall, AnotherProgramsWindowWithAGarbagePointerIsOnlyPassedOn) {
    TClient client(TDialogKind::Wine, "");
    const HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(lib_.ChkDialog(), 1);
    const std::string title = TextOf(dialog);
    const HANDLE mark = ::GetPropA(dialog, "Ostvarin");
    const HANDLE state = ::GetPropA(dialog, "OstvarinState");

    // A pointer whose every read faults.
    void* garbage = ::VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(garbage, nullptr);
    const TCrowd crowd;
    const HWND basicGrid = ::GetDlgItem(dialog, 720);
    for (HWND target : {dialog, basicGrid}) {
        for (UINT message : {WM_CREATE, WM_NCCREATE, WM_INITDIALOG, WM_ACTIVATE, WM_SETTEXT, WM_DESTROY,
                             WM_NCDESTROY}) {
            CWPSTRUCT call{reinterpret_cast<LPARAM>(garbage), 0x5151, message, target};
            ::HookProcedure(HC_ACTION, 1, reinterpret_cast<LPARAM>(&call));
        }
    }
    // With any code but HC_ACTION the hook's lParam is not its to read at all.
    ::HookProcedure(-1, 0, reinterpret_cast<LPARAM>(garbage));
    ::HookProcedure(HC_ACTION + 1, 0, reinterpret_cast<LPARAM>(garbage));

    EXPECT_EQ(TextOf(dialog), title);
    EXPECT_EQ(::GetPropA(dialog, "Ostvarin"), mark) << "the take-over of the other program stands";
    EXPECT_EQ(::GetPropA(dialog, "OstvarinState"), state);
    EXPECT_EQ(lib_.ChkDialog(), 1) << "nothing was counted in or out";
    EXPECT_TRUE(Answers(dialog));

    client.Close();
    EXPECT_TRUE(client.WaitForExit());
    ::VirtualFree(garbage, 0, MEM_RELEASE);
}
