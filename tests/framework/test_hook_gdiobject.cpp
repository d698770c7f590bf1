// The hook library's drawn buttons (TVxOriginBtn) on a panel-like owner window: the release acts
// wherever it happens, which is what lets the eyedropper be released over another program.
#include <gtest/gtest.h>

#include "Config.h"
#include "GDIObject.h"
#include "WindowTestSupport.h"


namespace {

// One top-level window for the run (destroying top-level windows is slow under Wine without a
// window manager); each test owns a child "panel" on it.
HWND Stage() {
    static HWND stage = [] {
        HWND window = CreateStageWindow("PelmiraHookGdiOwner", ButtonFaceBrush(), WS_EX_TOPMOST, "stage",
                                        WS_POPUP | WS_VISIBLE, 60, 60, 200, 60);
        ::UpdateWindow(window);
        return window;
    }();
    return stage;
}

class Panel {
public:
    Panel() {
        handle_ = ::CreateWindowExA(0, "PelmiraHookGdiOwner", "", WS_CHILD | WS_VISIBLE, 10, 10, 120, 14, Stage(),
                                    nullptr, ::GetModuleHandleA(nullptr), nullptr);
        Pump();
    }
    ~Panel() {
        if (::IsWindow(handle_)) ::DestroyWindow(handle_);
        Pump();
    }
    operator HWND() const { return handle_; }
    void Mouse(UINT msg, int x, int y) const {
        ::SendMessageA(handle_, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }

private:
    HWND handle_;
};

int gClicks = 0;
TMessageRecord gLastClick{};
int gDrags = 0;
void OnClickProc(TMessageRecord* m) {
    ++gClicks;
    gLastClick = *m;
}
void OnDragProc(TMessageRecord*) { ++gDrags; }

class OriginButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        gClicks = 0;
        gDrags = 0;
        gLastClick = {};
    }
    Panel panel;
};

TEST_F(OriginButtonTest, FactoryBuildsAPanelButton) {
    auto* button = CreateVxOriginBtn(panel, 30, 0, 30, 14, "s", &OnClickProc, nullptr, nullptr, 3, EDGE_RAISED);
    EXPECT_EQ(button->X, 30);
    EXPECT_EQ(button->Width, 30);
    EXPECT_EQ(button->Caption, "s");
    EXPECT_EQ(button->Tag, 3);
    EXPECT_EQ(button->EdgeStyle, EDGE_RAISED);
    EXPECT_EQ(button->NormalEdge, EDGE_RAISED);
    EXPECT_EQ(button->Color, ::GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(button->Visible);
    EXPECT_TRUE(button->Enabled);
}

TEST_F(OriginButtonTest, ReleaseAnywhereClicksWithTheTag) {
    auto* button = CreateVxOriginBtn(panel, 60, 0, 30, 14, "+", &OnClickProc, &OnDragProc, nullptr, 0, EDGE_RAISED);
    panel.Mouse(WM_LBUTTONDOWN, 70, 5);
    EXPECT_EQ(::GetCapture(), static_cast<HWND>(panel));
    EXPECT_EQ(button->EdgeStyle, EDGE_SUNKEN);
    panel.Mouse(WM_MOUSEMOVE, 500, 400);
    EXPECT_EQ(gDrags, 1);
    panel.Mouse(WM_LBUTTONUP, 500, 400);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(gClicks, 1);
    EXPECT_EQ(reinterpret_cast<TVxOriginBtn*>(gLastClick.Msg), button);
    EXPECT_EQ(gLastClick.LParam, MAKELPARAM(500, 400));
    EXPECT_EQ(button->EdgeStyle, EDGE_RAISED);

    panel.Mouse(WM_LBUTTONUP, 70, 5);
    EXPECT_EQ(gClicks, 1) << "a release without a press does not click";
}

TEST_F(OriginButtonTest, OnlyThePressedButtonOfFourClicks) {
    TVxOriginBtn* buttons[4];
    for (int i = 0; i < 4; ++i)
        buttons[i] = CreateVxOriginBtn(panel, 30 * i, 0, 30, 14, "x", &OnClickProc, nullptr, nullptr, i, EDGE_RAISED);
    panel.Mouse(WM_LBUTTONDOWN, 95, 5);
    panel.Mouse(WM_LBUTTONUP, 5, 5);  // released over another button
    EXPECT_EQ(gClicks, 1);
    EXPECT_EQ(gLastClick.WParam, 3u);
    EXPECT_FALSE(buttons[0]->Pressed);
}

TEST_F(OriginButtonTest, DisabledButtonNeitherPressesNorClicks) {
    auto* button = CreateVxOriginBtn(panel, 0, 0, 30, 14, "o", &OnClickProc, nullptr, nullptr, 2, EDGE_RAISED);
    button->Enabled = false;
    panel.Mouse(WM_LBUTTONDOWN, 5, 5);
    panel.Mouse(WM_LBUTTONUP, 5, 5);
    EXPECT_FALSE(button->Pressed);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(gClicks, 0);
}

// Real input: the pointer leaves the panel and its window before the release.
TEST_F(OriginButtonTest, RealReleaseOverAnotherWindowClicks) {
    auto* button = CreateVxOriginBtn(panel, 60, 0, 30, 14, "+", &OnClickProc, nullptr, nullptr, 0, EDGE_RAISED);
    RECT frame{};
    ::GetWindowRect(panel, &frame);
    ::SetCursorPos(frame.left + 70, frame.top + 5);
    ::mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return button->Pressed; }));
    ::SetCursorPos(frame.left + 400, frame.top + 300);
    ::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return gClicks == 1; }));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_FALSE(button->Pressed);
}

TEST_F(OriginButtonTest, CancelPressWhenAnotherProgramTakesTheForeground) {
    auto* button = CreateVxOriginBtn(panel, 60, 0, 30, 14, "+", &OnClickProc, nullptr, nullptr, 0, EDGE_RAISED);
    panel.Mouse(WM_LBUTTONDOWN, 70, 5);
    button->SetColor(RGB(1, 2, 3));
    EXPECT_TRUE(button->CancelPress());
    EXPECT_EQ(button->Color, ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(::GetCapture(), nullptr);
    panel.Mouse(WM_LBUTTONUP, 70, 5);
    EXPECT_EQ(gClicks, 0);
}

TEST(OriginButtonLifetime, PanelDestructionFreesTheButtons) {
    const long before = TObject::LiveObjectCount();
    {
        Panel panel;
        for (int i = 0; i < 4; ++i)
            CreateVxOriginBtn(panel, 30 * i, 0, 30, 14, "x", nullptr, nullptr, nullptr, i, EDGE_RAISED);
    }
    EXPECT_EQ(TObject::LiveObjectCount(), before);
}

}  // namespace
