// The hook library's build of the common controls: its status bar and its tool tips over the
// drawn buttons of a panel, as a taken-over colour dialog uses them.
#include <gtest/gtest.h>

#include "APIControl.h"
#include "APIWindow.h"
#include "CmCtrl.h"
#include "GDIObject.h"
#include "WindowTestSupport.h"

#include <string>
#include <vector>

namespace {

// Destroying a top-level window costs Wine about two seconds under Xvfb, so the tests work in
// children of one host window that lives as long as the program.
HWND Host() {
    static HWND host = nullptr;
    if (host == nullptr) {
        host = CreateStageWindow("HookCmCtrlTest", ButtonFaceBrush(), 0, "hook cmctrl",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 500, 400);
        ::SetForegroundWindow(host);
    }
    return host;
}

struct ParentWindow {
    HWND hwnd;
    ParentWindow()
        : hwnd(::CreateWindowExA(0, "HookCmCtrlTest", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 300,
                                 Host(), nullptr, ::GetModuleHandleA(nullptr), nullptr)) {}
    ~ParentWindow() {
        if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
        Pump();
    }
};

// The hook library's build has no concrete standard control; a minimal one stands for any.
class TStaticText : public TAPIControl {
public:
    explicit TStaticText(HWND parent) : TAPIControl(parent) {}

protected:
    void GetCreateParams(TAPICreateParams& params) override {
        params.Style = WS_CHILD | WS_VISIBLE;
        params.Width = 60;
        params.Height = 20;
        lstrcpynA(params.ClassName, "STATIC", sizeof(params.ClassName));
    }
};

std::vector<UINT_PTR> gShownTools;
TToolTip* gTip = nullptr;
void RecordShownTool(TMessageRecord*) {
    TOOLINFOA info;
    gShownTools.push_back(gTip->GetCurrentTool(info) ? info.uId : 0);
}

}  // namespace

TEST(HookStatusBar, SitsAtTheBottomAndShowsItsTexts) {
    ASSERT_EQ(NextCommonControlID, 1000) << "this test must run before any common control is made";
    ParentWindow parent;
    auto* bar = CreateStatusBar(parent.hwnd, false);
    EXPECT_EQ(bar->ID, 1000);
    RECT client, r;
    ::GetClientRect(parent.hwnd, &client);
    ::GetWindowRect(bar->Window, &r);
    ::MapWindowPoints(nullptr, parent.hwnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.bottom, client.bottom);
    EXPECT_EQ(r.right - r.left, client.right);
    bar->SetText(0, "default.pli");
    char text[64] = {};
    ::SendMessageA(bar->Window, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "default.pli");
}

TEST(HookToolTip, ToolsOverDrawnButtonsAreTheButtonsThemselves) {
    ParentWindow parent;
    TAPIPanel* panel = CreatePanel(parent.hwnd, 10, 10, 200, 40);
    auto* tip = NewControl<TToolTip>(panel->Handle);
    std::vector<TVxOriginBtn*> buttons;
    for (int i = 0; i < 3; ++i)
        buttons.push_back(CreateVxOriginBtn(panel->Handle, 5 + i * 60, 5, 50, 30, "b", nullptr, nullptr, nullptr, i,
                                            EDGE_RAISED));
    auto* label = NewControl<TStaticText>(panel->Handle);
    for (auto* b : buttons) EXPECT_NE(tip->AddTool(b, "drawn"), 0);
    EXPECT_NE(tip->AddTool(label, "windowed"), 0);
    ASSERT_EQ(tip->ToolCount(), 4);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(tip->ToolId(i), reinterpret_cast<UINT_PTR>(buttons[i]));
    EXPECT_EQ(tip->ToolId(3), reinterpret_cast<UINT_PTR>(label->Window));

    // A drawn button's tool is its rectangle on the panel.
    TOOLINFOA info = {};
    info.cbSize = kToolInfoSize;
    info.hwnd = panel->Handle;
    info.uId = reinterpret_cast<UINT_PTR>(buttons[1]);
    ASSERT_NE(::SendMessageA(tip->Window, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.uFlags & TTF_IDISHWND, 0u);
    EXPECT_EQ(info.rect.left, 65);
    EXPECT_EQ(info.rect.top, 5);
    EXPECT_EQ(info.rect.right, 115);
    EXPECT_EQ(info.rect.bottom, 35);
}

TEST(HookToolTip, HoveringADrawnButtonShowsItsTipAndNamesItAsTheCurrentTool) {
    ParentWindow parent;
    TAPIPanel* panel = CreatePanel(parent.hwnd, 10, 10, 200, 40);
    auto* tip = NewControl<TToolTip>(panel->Handle);
    std::vector<TVxOriginBtn*> buttons;
    for (int i = 0; i < 2; ++i) {
        buttons.push_back(CreateVxOriginBtn(panel->Handle, 5 + i * 60, 5, 50, 30, "b", nullptr, nullptr, nullptr, i,
                                            EDGE_RAISED));
        tip->AddTool(buttons.back(), "tip");
    }
    ::SendMessageA(tip->Window, TTM_SETDELAYTIME, TTDT_INITIAL, 1);
    gTip = tip;
    gShownTools.clear();
    tip->OnShow = RecordShownTool;

    POINT p = {5 + 60 + 20, 5 + 15};
    ::ClientToScreen(panel->Handle, &p);
    ::SetCursorPos(p.x - 3, p.y);
    ::SetCursorPos(p.x, p.y);
    ASSERT_TRUE(WaitFor([] { return !gShownTools.empty(); })) << "the tip never showed";
    EXPECT_EQ(gShownTools.front(), reinterpret_cast<UINT_PTR>(buttons[1]));
    ::SendMessageA(tip->Window, TTM_POP, 0, 0);
    ::SetCursorPos(0, 0);
    Pump();
}

TEST(HookCommonControls, FreedWithTheirParent) {
    const long before = TObject::LiveObjectCount();
    HWND parent = ::CreateWindowExA(0, "HookCmCtrlTest", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, Host(), nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    auto* bar = CreateStatusBar(parent, false);
    auto* tip = NewControl<TToolTip>(parent);
    HWND barWindow = bar->Window;
    HWND tipWindow = tip->Window;
    ::DestroyWindow(parent);
    Pump();
    EXPECT_FALSE(::IsWindow(barWindow));
    EXPECT_FALSE(::IsWindow(tipWindow));
    EXPECT_EQ(TObject::LiveObjectCount(), before);
}
