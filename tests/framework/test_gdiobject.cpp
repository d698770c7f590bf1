// Windowless drawn controls on a real owner window: press, drag and release stories told with the
// owner's own mouse messages (and once with real input), what ends up on the screen, and that
// painting gives back every GDI object it makes.
#include <gtest/gtest.h>

#include "Config.h"
#include "GDIObject.h"
#include "GdiTable.h"
#include "WindowTestSupport.h"

#include <winternl.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

// --- test support -------------------------------------------------------------------------------

constexpr COLORREF kOwnerBackground = RGB(0x20, 0x40, 0x60);

// One top-level window for the whole run: destroying a top-level window costs Wine two seconds
// under a display without a window manager, a child window costs nothing.
HWND Stage() {
    static HWND stage = [] {
        HWND window = CreateStageWindow("PelmiraGdiOwner", ::CreateSolidBrush(kOwnerBackground), WS_EX_TOPMOST,
                                        "stage", WS_POPUP | WS_VISIBLE, 40, 40, 340, 220);
        ::UpdateWindow(window);
        return window;
    }();
    return stage;
}

// A plain child window whose own procedure is DefWindowProc, painted in kOwnerBackground: the
// owner of the objects under test, destroyed (with them) at the end of each test.
class OwnerWindow {
public:
    OwnerWindow() {
        handle_ = ::CreateWindowExA(0, "PelmiraGdiOwner", "owner", WS_CHILD | WS_VISIBLE, 10, 10, 320, 200, Stage(),
                                    nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ::UpdateWindow(handle_);
        Pump();
    }
    ~OwnerWindow() {
        if (::IsWindow(handle_)) ::DestroyWindow(handle_);
        Pump();
    }
    operator HWND() const { return handle_; }

    LRESULT Mouse(UINT msg, int x, int y) const {
        return ::SendMessageA(handle_, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }

    COLORREF Pixel(int x, int y) const {
        HDC dc = ::GetDC(handle_);
        const COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(handle_, dc);
        return c;
    }

private:
    HWND handle_;
};

// What the callbacks saw.
struct Calls {
    int count = 0;
    TMessageRecord last{};
};
Calls gClick, gPress, gDrag, gRight;
void Record(Calls& calls, const TMessageRecord* m) {
    ++calls.count;
    calls.last = *m;
}
void OnClickProc(TMessageRecord* m) { Record(gClick, m); }
void OnPressProc(TMessageRecord* m) { Record(gPress, m); }
void OnDragProc(TMessageRecord* m) { Record(gDrag, m); }
void OnRightProc(TMessageRecord* m) { Record(gRight, m); }
void OnPressTakeOver(TMessageRecord* m) {
    OnPressProc(m);
    m->Result = 1;
}

void ResetCalls() { gClick = gPress = gDrag = gRight = Calls{}; }

template <class T>
T* Sender(const Calls& calls) {
    return reinterpret_cast<T*>(calls.last.Msg);
}

// Live GDI objects of this process. Wine answers GetGuiResources with 0 (not implemented), but
// keeps the process's GDI handle table where Windows does, at PEB.GdiSharedHandleTable, with
// 24-byte entries whose byte 14 is the object type (0 = free slot).
long GdiObjectCount() {
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) return static_cast<long>(reported);
    // Only Wine is known to keep the table this way.
    if (::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) return -1;
    return GdiTableEntries();
}

// Bounding box of the pixels in `area` (owner coordinates) that have colour `ink`.
RECT InkBox(const OwnerWindow& owner, const RECT& area, COLORREF ink) {
    RECT box{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    HDC dc = ::GetDC(owner);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (::GetPixel(dc, x, y) == ink) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    ::ReleaseDC(owner, dc);
    return box;
}

class GdiObjectTest : public ::testing::Test {
protected:
    void SetUp() override { ResetCalls(); }
    OwnerWindow owner;
};

// --- speed and colour buttons -------------------------------------------------------------------

TEST_F(GdiObjectTest, SpeedButtonClicksOnlyWhenPressAndReleaseStayInside) {
    auto* button = new TAPISpeedBtn(owner);
    button->SetBounds(10, 10, 60, 20);
    button->SetCaption("go");
    button->OnClick = &OnClickProc;

    owner.Mouse(WM_LBUTTONDOWN, 20, 15);
    EXPECT_TRUE(button->Pressed);
    EXPECT_EQ(button->EdgeStyle, EDGE_SUNKEN);
    EXPECT_EQ(::GetCapture(), nullptr) << "a speed button takes no capture";
    owner.Mouse(WM_LBUTTONUP, 21, 16);
    EXPECT_EQ(gClick.count, 1);
    EXPECT_EQ(Sender<TAPISpeedBtn>(gClick), button);
    EXPECT_EQ(gClick.last.LParam, MAKELPARAM(21, 16));
    EXPECT_FALSE(button->Pressed);
    EXPECT_EQ(button->EdgeStyle, EDGE_RAISED);

    // Dragged out and released outside.
    owner.Mouse(WM_LBUTTONDOWN, 20, 15);
    owner.Mouse(WM_MOUSEMOVE, 100, 100);
    EXPECT_FALSE(button->Pressed);
    owner.Mouse(WM_LBUTTONUP, 100, 100);
    // Dragged out and back in before the release.
    owner.Mouse(WM_LBUTTONDOWN, 20, 15);
    owner.Mouse(WM_MOUSEMOVE, 100, 100);
    owner.Mouse(WM_MOUSEMOVE, 20, 15);
    EXPECT_FALSE(button->Pressed) << "moving back in does not press again";
    owner.Mouse(WM_LBUTTONUP, 20, 15);
    EXPECT_EQ(gClick.count, 1);

    // A release inside without a press inside.
    owner.Mouse(WM_LBUTTONDOWN, 200, 100);
    owner.Mouse(WM_LBUTTONUP, 20, 15);
    EXPECT_EQ(gClick.count, 1);
}

TEST_F(GdiObjectTest, DisabledOrHiddenSpeedButtonIgnoresTheMouse) {
    auto* button = new TAPIColorBtn(owner);
    button->SetBounds(10, 10, 60, 20);
    button->OnClick = &OnClickProc;
    button->Enabled = false;
    owner.Mouse(WM_LBUTTONDOWN, 20, 15);
    owner.Mouse(WM_LBUTTONUP, 20, 15);
    EXPECT_FALSE(button->Pressed);
    button->Enabled = true;
    button->Visible = false;
    owner.Mouse(WM_LBUTTONDOWN, 20, 15);
    owner.Mouse(WM_LBUTTONUP, 20, 15);
    EXPECT_FALSE(button->Pressed);
    EXPECT_EQ(gClick.count, 0);
}

TEST_F(GdiObjectTest, ColourButtonShowsItsFaceAndButtonFaceWhenDisabled) {
    auto* button = new TAPIColorBtn(owner);
    button->SetBounds(10, 10, 40, 20);
    button->SetColor(RGB(255, 0, 0));
    EXPECT_EQ(owner.Pixel(30, 20), RGB(255, 0, 0));
    EXPECT_EQ(owner.Pixel(60, 20), kOwnerBackground) << "nothing drawn outside the bounds";
    button->Enabled = false;
    button->Repaint();
    EXPECT_EQ(owner.Pixel(30, 20), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(GdiObjectTest, ButtonsRepaintWhenTheOwnerRepaintsAndMovingClearsTheOldPlace) {
    auto* button = new TAPIColorBtn(owner);
    button->SetBounds(10, 10, 40, 20);
    button->SetColor(RGB(0, 200, 0));
    ::InvalidateRect(owner, nullptr, TRUE);
    ::UpdateWindow(owner);
    EXPECT_EQ(owner.Pixel(30, 20), RGB(0, 200, 0)) << "painted again after the owner's WM_PAINT";

    button->SetBounds(100, 100, 40, 20);
    ::UpdateWindow(owner);
    EXPECT_EQ(owner.Pixel(30, 20), kOwnerBackground);
    EXPECT_EQ(owner.Pixel(120, 110), RGB(0, 200, 0));
}

// --- TVxPlusBtn family: capture, drag, right button ------------------------------------------

TEST_F(GdiObjectTest, PlusButtonReleasedOutsideReleasesCaptureWithoutClick) {
    auto* button = new TVxPlusBtn(owner);
    button->SetBounds(10, 10, 30, 14);
    button->SetEdge(EDGE_ETCHED);
    button->Tag = 7;
    button->OnClick = &OnClickProc;
    button->OnPress = &OnPressProc;

    owner.Mouse(WM_LBUTTONDOWN, 15, 15);
    EXPECT_EQ(::GetCapture(), static_cast<HWND>(owner));
    EXPECT_EQ(gPress.count, 1);
    EXPECT_EQ(gPress.last.WParam, 7u) << "handlers receive the tag";
    EXPECT_EQ(Sender<TVxPlusBtn>(gPress), button);
    EXPECT_EQ(button->EdgeStyle, EDGE_SUNKEN);

    owner.Mouse(WM_LBUTTONUP, 150, 150);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(gClick.count, 0);
    EXPECT_FALSE(button->Pressed);
    EXPECT_EQ(button->EdgeStyle, EDGE_ETCHED) << "back to the normal edge";

    owner.Mouse(WM_LBUTTONDOWN, 15, 15);
    owner.Mouse(WM_LBUTTONUP, 16, 16);
    EXPECT_EQ(gClick.count, 1);
    EXPECT_EQ(gClick.last.WParam, 7u);
    EXPECT_EQ(gClick.last.LParam, MAKELPARAM(16, 16));
}

TEST_F(GdiObjectTest, RinkButtonReleasedOutsideClicks) {
    auto* button = CreateVxrinkBtn(owner, 10, 10, 36, 16, "", &OnClickProc, nullptr, nullptr, 3, EDGE_RAISED);
    owner.Mouse(WM_LBUTTONDOWN, 15, 15);
    EXPECT_EQ(button->EdgeStyle, button->PressedEdge);
    EXPECT_EQ(::GetCapture(), static_cast<HWND>(owner));
    owner.Mouse(WM_LBUTTONUP, 250, 150);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(gClick.count, 1);
    EXPECT_EQ(gClick.last.WParam, 3u);
    EXPECT_EQ(button->EdgeStyle, EDGE_RAISED);
}

TEST_F(GdiObjectTest, RinkButtonPressTakenOverByOnPressHoldsNoCapture) {
    HCURSOR cross = ::LoadCursorA(nullptr, IDC_CROSS);
    auto* button = CreateVxrinkBtn(owner, 10, 10, 36, 16, "", &OnClickProc, nullptr, nullptr, 0, EDGE_RAISED);
    button->DragCursor = cross;
    button->OnPress = &OnPressTakeOver;
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    owner.Mouse(WM_LBUTTONDOWN, 15, 15);
    EXPECT_EQ(gPress.count, 1);
    EXPECT_EQ(gPress.last.Result, 0) << "OnPress starts from a cleared answer";
    EXPECT_TRUE(button->Pressed);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_NE(::GetCursor(), cross);

    button->OnPress = &OnPressProc;
    owner.Mouse(WM_LBUTTONUP, 15, 15);
    owner.Mouse(WM_LBUTTONDOWN, 15, 15);
    EXPECT_EQ(::GetCapture(), static_cast<HWND>(owner));
    EXPECT_EQ(::GetCursor(), cross);
    owner.Mouse(WM_LBUTTONUP, 15, 15);
}

TEST_F(GdiObjectTest, DragReportsEveryMoveWithTheDragCursor) {
    HCURSOR cross = ::LoadCursorA(nullptr, IDC_CROSS);
    auto* button = CreateVxrinkBtn(owner, 10, 10, 36, 16, "", nullptr, &OnDragProc, nullptr, 9, EDGE_RAISED);
    button->DragCursor = cross;
    owner.Mouse(WM_MOUSEMOVE, 15, 15);
    EXPECT_EQ(gDrag.count, 0) << "no drag before a press";
    owner.Mouse(WM_LBUTTONDOWN, 15, 15);
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    owner.Mouse(WM_MOUSEMOVE, 200, 120);
    owner.Mouse(WM_MOUSEMOVE, 210, 130);
    EXPECT_EQ(gDrag.count, 2);
    EXPECT_EQ(gDrag.last.LParam, MAKELPARAM(210, 130));
    EXPECT_EQ(gDrag.last.WParam, 9u);
    EXPECT_EQ(::GetCursor(), cross);
    EXPECT_TRUE(button->Pressed) << "leaving the button keeps the press";
    owner.Mouse(WM_LBUTTONUP, 210, 130);
}

TEST_F(GdiObjectTest, DisabledPlusButtonStillReportsRightClickInside) {
    auto* button = new TVxPlusBtn(owner);
    button->SetBounds(10, 10, 30, 14);
    button->OnRightClick = &OnRightProc;
    button->OnPress = &OnPressProc;
    button->Tag = 4;
    button->Enabled = false;

    owner.Mouse(WM_LBUTTONDOWN, 15, 15);
    EXPECT_EQ(gPress.count, 0);
    EXPECT_EQ(::GetCapture(), nullptr);
    owner.Mouse(WM_RBUTTONUP, 15, 15);
    EXPECT_EQ(gRight.count, 1);
    EXPECT_EQ(gRight.last.WParam, 4u);
    EXPECT_EQ(Sender<TVxPlusBtn>(gRight), button);
    owner.Mouse(WM_RBUTTONUP, 100, 100);
    EXPECT_EQ(gRight.count, 1) << "outside the bounds";
    button->Visible = false;
    owner.Mouse(WM_RBUTTONUP, 15, 15);
    EXPECT_EQ(gRight.count, 1) << "a hidden button reacts to nothing";
}

TEST_F(GdiObjectTest, CancelPressRestoresColourEdgeAndCapture) {
    auto* button = CreateVxrinkBtn(owner, 10, 10, 36, 16, "", &OnClickProc, nullptr, nullptr, 0, EDGE_RAISED);
    button->SetColor(RGB(10, 20, 30));
    owner.Mouse(WM_LBUTTONDOWN, 15, 15);
    button->SetColor(RGB(200, 100, 0));  // an eyedropper pick in progress
    EXPECT_TRUE(button->CancelPress());
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(button->Color, RGB(10, 20, 30));
    EXPECT_EQ(button->EdgeStyle, EDGE_RAISED);
    EXPECT_EQ(owner.Pixel(28, 18), RGB(10, 20, 30));
    EXPECT_FALSE(button->CancelPress());
    owner.Mouse(WM_LBUTTONUP, 15, 15);
    EXPECT_EQ(gClick.count, 0) << "a cancelled press does not click";
}

// The real story: the pointer leaves the owner window altogether before the release, and only the
// capture brings the release back to the button.
TEST_F(GdiObjectTest, CaptureBringsARealReleaseOutsideTheWindowBack) {
    auto* plus = new TVxPlusBtn(owner);
    plus->SetBounds(10, 10, 30, 14);
    plus->OnClick = &OnClickProc;
    auto* rink = CreateVxrinkBtn(owner, 50, 10, 30, 14, "", &OnClickProc, nullptr, nullptr, 0, EDGE_RAISED);
    Pump();
    RECT frame{};
    ::GetWindowRect(owner, &frame);  // the child's client area starts at its window corner

    auto pressAndReleaseOutside = [&](TVxPlusBtn* button, int x, int y) {
        ::SetCursorPos(frame.left + x, frame.top + y);
        ::mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        if (!WaitFor([&] { return button->Pressed; })) return false;
        ::SetCursorPos(frame.right + 100, frame.bottom + 100);
        ::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        return WaitFor([&] { return !button->Pressed; });
    };
    ASSERT_TRUE(pressAndReleaseOutside(plus, 15, 15));
    EXPECT_EQ(gClick.count, 0);
    EXPECT_EQ(::GetCapture(), nullptr);
    ASSERT_TRUE(pressAndReleaseOutside(rink, 55, 15));
    EXPECT_EQ(gClick.count, 1) << "the rink button clicks wherever it is released";
    EXPECT_EQ(Sender<TVxrinkBtn>(gClick), rink);
    EXPECT_EQ(::GetCapture(), nullptr);
}

// --- drawing details ------------------------------------------------------------------------

TEST_F(GdiObjectTest, TextOffsetMovesTheCaptionAtRestAndMoreWhilePressed) {
    auto* button = new TVxPlusBtn(owner);
    button->SetBounds(20, 20, 60, 30);
    button->SetColor(RGB(255, 255, 255));
    button->SetCaption("+");
    const RECT face{24, 24, 76, 46};
    const COLORREF ink = RGB(0, 0, 0);

    button->TextOffset = 0;
    button->Repaint();
    const RECT centred = InkBox(owner, face, ink);
    ASSERT_LT(centred.left, centred.right) << "the caption was drawn";

    button->TextOffset = -1;
    button->Repaint();
    const RECT atRest = InkBox(owner, face, ink);
    EXPECT_EQ(atRest.left, centred.left - 1);
    EXPECT_EQ(atRest.top, centred.top - 1);

    button->EdgeStyle = EDGE_SUNKEN;
    button->Repaint();
    const RECT pressed = InkBox(owner, face, ink);
    EXPECT_EQ(pressed.left, centred.left - 2);
    EXPECT_EQ(pressed.top, centred.top - 2);
}

TEST_F(GdiObjectTest, DoubleEdgeDrawsTheInnerEdgeOnAThreePixelsSmallerRectangle) {
    auto* button = new TVxPlusBtn(owner);
    button->SetBounds(10, 10, 30, 14);  // right 40, bottom 24
    const COLORREF face = RGB(0, 255, 0);
    button->SetColor(face);
    EXPECT_EQ(owner.Pixel(25, 21), face);
    EXPECT_EQ(owner.Pixel(37, 17), face);

    button->DoubleEdge = true;
    button->Repaint();
    // The inner rectangle is (11, 11)-(38, 22), 27 x 11: its dark outer line runs along
    // x = 37 and y = 21, one pixel inside the outer edge's own two lines.
    const COLORREF dark = ::GetSysColor(COLOR_3DDKSHADOW);
    EXPECT_EQ(owner.Pixel(25, 21), dark);
    EXPECT_EQ(owner.Pixel(37, 17), dark);
    EXPECT_EQ(owner.Pixel(25, 19), face) << "inside the inner edge";
}

TEST_F(GdiObjectTest, RinkButtonDoubleEdgeShowsRaisedEdgeOnlyAtRest) {
    auto* button = CreateVxrinkBtn(owner, 10, 10, 36, 16, "", nullptr, nullptr, nullptr, 0, EDGE_SUNKEN);
    button->SetColor(RGB(0, 0, 255));
    const COLORREF light = ::GetSysColor(COLOR_3DLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_3DSHADOW);
    EXPECT_EQ(owner.Pixel(20, 10), shadow) << "sunken edge: dark top line";
    button->DoubleEdge = true;
    button->Repaint();
    EXPECT_EQ(owner.Pixel(20, 10), light) << "raised edge at rest";
    EXPECT_EQ(owner.Pixel(20, 16), RGB(0, 0, 255)) << "face fills inside a one-pixel border";
    owner.Mouse(WM_LBUTTONDOWN, 20, 16);
    EXPECT_EQ(owner.Pixel(20, 10), shadow) << "pressed: the pressed edge again";
    owner.Mouse(WM_LBUTTONUP, 20, 16);
}

TEST_F(GdiObjectTest, LabelShowsItsClassNameUntilGivenACaption) {
    auto* label = new TAPILabel(owner);
    label->SetBounds(10, 10, 120, 40);
    EXPECT_EQ(label->Caption, "TAPILabel");
    const RECT area{10, 10, 130, 50};
    EXPECT_EQ(owner.Pixel(11, 11), RGB(255, 255, 255)) << "white background";
    const RECT ink = InkBox(owner, area, RGB(0, 0, 0));
    EXPECT_GE(ink.left, 14) << "text keeps the 4-pixel margin";
    EXPECT_LT(ink.left, ink.right);

    label->Framed = true;
    label->FrameColor = RGB(255, 0, 0);
    label->SetBackMode(1);
    EXPECT_EQ(owner.Pixel(10, 30), RGB(255, 0, 0));
    label->SetBackMode(2);
    label->SetCaption("");
    EXPECT_EQ(InkBox(owner, area, RGB(0, 0, 0)).left, LONG_MAX) << "an empty caption draws no text";
}

// --- lifetime and GDI hygiene --------------------------------------------------------------

TEST(GdiObjectLifetime, OwnerDestructionFreesEveryObject) {
    const long before = TObject::LiveObjectCount();
    {
        OwnerWindow owner;
        new TAPISpeedBtn(owner);
        new TAPIColorBtn(owner);
        new TVxPlusBtn(owner);
        CreateVxrinkBtn(owner, 0, 0, 10, 10, "x", nullptr, nullptr, nullptr, 0, EDGE_RAISED);
        CreateLabel(owner, 0, 20, 50, 20, "label");
        EXPECT_GT(TObject::LiveObjectCount(), before);
    }
    EXPECT_EQ(TObject::LiveObjectCount(), before);
}

TEST(GdiObjectLifetime, PaintingManyTimesLeavesNoGdiObjectBehind) {
    if (GdiObjectCount() < 0) GTEST_SKIP() << "no way to count GDI objects on this system";
    OwnerWindow owner;
    std::vector<TGDIObject*> all;
    auto* speed = new TAPISpeedBtn(owner);
    speed->SetBounds(0, 0, 60, 20);
    speed->SetCaption("speed");
    auto* fonted = new TAPISpeedBtn(owner);  // a real face: a font is made and dropped per paint
    fonted->Font->FaceName = "Tahoma";
    fonted->SetBounds(0, 25, 60, 20);
    fonted->SetCaption("font");
    fonted->Enabled = false;
    auto* colour = new TAPIColorBtn(owner);
    colour->SetBounds(70, 0, 60, 20);
    colour->SetCaption("colour");
    auto* plus = new TVxPlusBtn(owner);
    plus->SetBounds(140, 0, 60, 20);
    plus->SetCaption("plus");
    plus->DoubleEdge = true;
    auto* rink = CreateVxrinkBtn(owner, 210, 0, 60, 20, "rink", nullptr, nullptr, nullptr, 0, EDGE_RAISED);
    rink->Font->FaceName = "Tahoma";
    auto* label = CreateLabel(owner, 0, 50, 200, 40, "a label\twith a tab");
    label->Framed = true;
    label->Font->FaceName = "Tahoma";
    all = {speed, fonted, colour, plus, rink, label};

    for (auto* object : all) object->Repaint();  // the display driver's caches settle
    const long before = GdiObjectCount();
    for (int round = 0; round < 300; ++round) {
        for (auto* object : all) object->Repaint();
        owner.Mouse(WM_LBUTTONDOWN, 150, 10);  // pressed looks too
        owner.Mouse(WM_LBUTTONUP, 150, 10);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(GdiObjectCounting, CountSeesObjectsComeAndGo) {
    const long before = GdiObjectCount();
    if (before < 0) GTEST_SKIP() << "no way to count GDI objects on this system";
    HBRUSH brushes[10];
    for (auto& b : brushes) b = ::CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(GdiObjectCount(), before + 10);
    for (auto b : brushes) ::DeleteObject(b);
    EXPECT_EQ(GdiObjectCount(), before);
}

}  // namespace
