// The hook library's button panel: a bordered child window that keeps right-clicks to itself.
#include <gtest/gtest.h>

#include "APIWindow.h"
#include "WindowTestSupport.h"

#include <new>
#include <stdexcept>

namespace {

int parentMenuCalls = 0;
int panelMenuCalls = 0;
int destroyCalls = 0;
void CountParentMenu(TMessageRecord*) { ++parentMenuCalls; }
void CountPanelMenu(TMessageRecord* m) {
    ++panelMenuCalls;
    m->Result = 1;
}
void CountDestroy(TMessageRecord*) { ++destroyCalls; }
// Fails the first two times (out of memory, then a plain error), then counts like CountPanelMenu.
int failingMenuCalls = 0;
void FailTwiceThenCountMenu(TMessageRecord* m) {
    if (++failingMenuCalls == 1) throw std::bad_alloc();
    if (failingMenuCalls == 2) throw std::runtime_error("panel handler failed");
    CountPanelMenu(m);
}

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        parentMenuCalls = panelMenuCalls = destroyCalls = failingMenuCalls = 0;
        liveBefore_ = TObject::LiveObjectCount();
        // The parent stands in for the colour dialog; it is a plain window of this build.
        parent_ = new TAPIWindow2(nullptr, "PelmiraPanelHost");
        parent_->OnCreateParams = [](TWindowCreateArgs* a) {
            // Hidden unless a test needs the screen: without a window manager, Wine waits up to
            // two seconds for one whenever a shown top-level window goes away.
            a->Style = WS_POPUP;
            a->X = 20;
            a->Y = 20;
            a->Width = 300;
            a->Height = 100;
        };
        parent_->Execute();
        host_ = parent_->Handle;
        ASSERT_TRUE(::IsWindow(host_));
    }
    void TearDown() override {
        if (::IsWindow(host_)) ::DestroyWindow(host_);
        EXPECT_EQ(TObject::LiveObjectCount(), liveBefore_);
    }

    void ShowHost() { ::ShowWindow(host_, SW_SHOWNA); }

    // The colour of one panel pixel as shown on the screen.
    static COLORREF ScreenPixel(HWND panel, int x, int y) {
        ::InvalidateRect(panel, nullptr, TRUE);
        ::UpdateWindow(panel);
        Pump();
        POINT p{x, y};
        ::ClientToScreen(panel, &p);
        return ::ScreenPixel(p);
    }

    TAPIWindow2* parent_ = nullptr;
    HWND host_ = nullptr;
    long liveBefore_ = 0;
};

}  // namespace

TEST_F(PanelTest, CreatePanelMakesAVisibleChildWithTheDefaultLook) {
    TAPIPanel* panel = CreatePanel(host_, 110, 5, 120, 14);
    ASSERT_TRUE(::IsWindow(panel->Handle));
    EXPECT_EQ(::GetPropA(panel->Handle, "OBJECT"), panel);
    EXPECT_EQ(::GetParent(panel->Handle), host_);
    char name[32] = {};
    ::GetClassNameA(panel->Handle, name, sizeof(name));
    EXPECT_STREQ(name, "APIPanel");
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrA(panel->Handle, GWL_STYLE)) &
                  (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS),
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS));
    EXPECT_NE(::GetWindowLongPtrA(panel->Handle, GWL_EXSTYLE) & WS_EX_CONTROLPARENT, 0);
    EXPECT_EQ(panel->GetLeft(), 110);
    EXPECT_EQ(panel->GetTop(), 5);
    RECT client{};
    ::GetClientRect(panel->Handle, &client);
    EXPECT_EQ(client.right, 120);
    EXPECT_EQ(client.bottom, 14);
    EXPECT_EQ(panel->OuterEdge, 1);
    EXPECT_EQ(panel->InnerEdge, 0);
    EXPECT_EQ(panel->EdgeInset, 2);
}

TEST_F(PanelTest, ThePanelIsShownWithTheShowStateTheLibrarySets) {
    // A host program started minimised hands SW_SHOWMINNOACTIVE to its windows; the library sets
    // SW_RESTORE before it builds the panel so that the panel comes up as an ordinary child.
    ShowHost();
    const int saved = GetStartupShowState();
    SetStartupShowState(SW_RESTORE);
    TAPIPanel* panel = CreatePanel(host_, 0, 0, 50, 10);
    SetStartupShowState(saved);
    EXPECT_FALSE(::IsIconic(panel->Handle));
    EXPECT_TRUE(::IsWindowVisible(panel->Handle));
}

TEST_F(PanelTest, EraseBackgroundFillsWithColor) {
    TAPIPanel* panel = CreatePanel(host_, 0, 0, 60, 20);
    panel->Color = RGB(200, 10, 100);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 60, 20);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    EXPECT_EQ(::SendMessageA(panel->Handle, WM_ERASEBKGND, (WPARAM)dc, 0), 1);
    EXPECT_EQ(::GetPixel(dc, 30, 10), RGB(200, 10, 100));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

TEST_F(PanelTest, EdgesAreDrawnRaisedSunkenOrNotAtAll) {
    ShowHost();
    TAPIPanel* panel = CreatePanel(host_, 10, 10, 120, 30);
    panel->Color = RGB(10, 200, 10);
    // Raised: the outer frame's bottom-right is the darkest shadow; inside the inset, no edge.
    EXPECT_EQ(ScreenPixel(panel->Handle, 119, 29), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(ScreenPixel(panel->Handle, 60, 15), RGB(10, 200, 10));

    panel->OuterEdge = 2;
    EXPECT_EQ(ScreenPixel(panel->Handle, 0, 0), ::GetSysColor(COLOR_3DSHADOW));

    panel->OuterEdge = 0;
    panel->InnerEdge = 1;  // drawn EdgeInset pixels inside the client rectangle
    EXPECT_EQ(ScreenPixel(panel->Handle, 0, 0), RGB(10, 200, 10));
    EXPECT_EQ(ScreenPixel(panel->Handle, 117, 27), ::GetSysColor(COLOR_3DDKSHADOW));
}

TEST_F(PanelTest, RightClickStaysWithThePanel) {
    TAPIPanel* panel = CreatePanel(host_, 0, 0, 60, 20);
    parent_->AddMessageHandler(WM_CONTEXTMENU, CountParentMenu);
    const LPARAM at = MAKELPARAM(30, 30);
    EXPECT_EQ(::SendMessageA(panel->Handle, WM_CONTEXTMENU, (WPARAM)panel->Handle, at), 0);
    EXPECT_EQ(parentMenuCalls, 0) << "not passed on to the parent";

    panel->AddMessageHandler(WM_CONTEXTMENU, CountPanelMenu);
    EXPECT_EQ(::SendMessageA(panel->Handle, WM_CONTEXTMENU, (WPARAM)panel->Handle, at), 1);
    EXPECT_EQ(panelMenuCalls, 1);
    EXPECT_EQ(parentMenuCalls, 0);
}

TEST_F(PanelTest, AHandlerThatThrowsGetsZeroAndTheNextRightClickArrives) {
    TAPIPanel* panel = CreatePanel(host_, 0, 0, 60, 20);
    parent_->AddMessageHandler(WM_CONTEXTMENU, CountParentMenu);
    panel->AddMessageHandler(WM_CONTEXTMENU, FailTwiceThenCountMenu);
    const LPARAM at = MAKELPARAM(30, 30);
    EXPECT_EQ(::SendMessageA(panel->Handle, WM_CONTEXTMENU, (WPARAM)panel->Handle, at), 0);
    EXPECT_EQ(::SendMessageA(panel->Handle, WM_CONTEXTMENU, (WPARAM)panel->Handle, at), 0);
    EXPECT_EQ(::SendMessageA(panel->Handle, WM_CONTEXTMENU, (WPARAM)panel->Handle, at), 1);
    EXPECT_EQ(panelMenuCalls, 1);
    EXPECT_EQ(parentMenuCalls, 0) << "a failed right-click is still not passed on to the parent";
    EXPECT_EQ(::GetPropA(panel->Handle, "OBJECT"), panel);
}

TEST_F(PanelTest, PanelIsFreedWithItsWindowWithoutSeeingWmDestroy) {
    TAPIPanel* first = CreatePanel(host_, 0, 0, 60, 20);
    TAPIPanel* second = CreatePanel(host_, 0, 20, 60, 20);
    first->OnDestroy = CountDestroy;
    second->OnDestroy = CountDestroy;
    const long withPanels = TObject::LiveObjectCount();
    HWND firstWindow = first->Handle;
    ::DestroyWindow(firstWindow);
    EXPECT_LT(TObject::LiveObjectCount(), withPanels);
    EXPECT_EQ(::GetPropA(firstWindow, "OBJECT"), nullptr);
    ::DestroyWindow(host_);  // takes the second panel with it
    EXPECT_EQ(destroyCalls, 0) << "the panel procedure frees without dispatching";
}
