// The eyedropper of a taken-over dialog: dragging from its button picks screen pixels into the
// dialog's red, green and blue boxes (web-safe when the controller asks, read once per drag), and
// the set-colour button stores the picked colour in a custom cell.
#include "DialogHarness.h"

using namespace harness;

namespace {

constexpr COLORREF kSwatchA = RGB(130, 25, 26);   // web-safe: 153, 0, 51
constexpr COLORREF kSwatchB = RGB(10, 200, 100);  // web-safe: 0, 204, 102
constexpr int kSwatchWidth = 100;
constexpr int kSwatchHeight = 40;

LRESULT CALLBACK SwatchProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(window, &ps);
        RECT half{0, 0, kSwatchWidth / 2, kSwatchHeight};
        HBRUSH a = ::CreateSolidBrush(kSwatchA);
        ::FillRect(dc, &half, a);
        ::DeleteObject(a);
        half.left = kSwatchWidth / 2;
        half.right = kSwatchWidth;
        HBRUSH b = ::CreateSolidBrush(kSwatchB);
        ::FillRect(dc, &half, b);
        ::DeleteObject(b);
        ::EndPaint(window, &ps);
        return 0;
    }
    return ::DefWindowProcA(window, msg, wParam, lParam);
}

constexpr LPARAM kFar = MAKELPARAM(400, 300);

// A window of two known colours in the screen's bottom-right corner, clear of the dialogs.
class Eyedropper : public TDialogSuite, public ::testing::WithParamInterface<TDialogKind> {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = SwatchProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "PelmiraTestSwatch";
        ::RegisterClassA(&wc);
        const int x = ::GetSystemMetrics(SM_CXSCREEN) - kSwatchWidth - 10;
        const int y = ::GetSystemMetrics(SM_CYSCREEN) - kSwatchHeight - 10;
        swatch_ = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, "", WS_POPUP, x,
                                    y, kSwatchWidth, kSwatchHeight, nullptr, nullptr, wc.hInstance, nullptr);
        ::ShowWindow(swatch_, SW_SHOWNOACTIVATE);
        a_ = POINT{x + kSwatchWidth / 4, y + kSwatchHeight / 2};
        b_ = POINT{x + 3 * kSwatchWidth / 4, y + kSwatchHeight / 2};
        ASSERT_TRUE(WaitFor([&] { return ScreenPixel(a_) == kSwatchA && ScreenPixel(b_) == kSwatchB; }));
        SetWebSafe(false);
    }
    void TearDown() override {
        ::DestroyWindow(swatch_);
        SetWebSafe(false);
        TDialogSuite::TearDown();
    }

    static void SetWebSafe(bool on) {
        TBlockView block;
        block->WebSafe = on ? 1 : 0;
    }

    static std::string Boxes(HWND dialog) {
        return BoxText(dialog, 706) + "," + BoxText(dialog, 707) + "," + BoxText(dialog, 708);
    }

    // Moves the real pointer (the pick reads the pixel under it) and tells the panel, which holds
    // the capture, that the mouse moved far outside the button.
    static void DragTo(HWND panel, POINT screen) {
        ::SetCursorPos(screen.x, screen.y);
        MoveOver(panel, MAKELPARAM(400, 300));
    }

    // The last mouse move is repeated while the test waits for the boxes, as a real pointer keeps
    // moving: on a loaded machine one read of the screen can come before the display has caught up,
    // and the drag's next move must then put it right. The web-safe switch is still read once per
    // drag, at its first pick, however many moves follow.
    static void MoveOver(HWND panel, LPARAM at) {
        movePanel_ = panel;
        moveAt_ = at;
        ::PostMessageA(panel, WM_MOUSEMOVE, MK_LBUTTON, at);
    }

    static bool BoxesShow(HWND dialog, COLORREF c, std::string& seen) {
        const std::string want = std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," +
                                 std::to_string(GetBValue(c));
        int polls = 0;
        return WaitFor([&] {
            if ((seen = Boxes(dialog)) == want) return true;
            if (++polls % 10 == 0 && movePanel_ != nullptr)
                ::PostMessageA(movePanel_, WM_MOUSEMOVE, MK_LBUTTON, moveAt_);
            return false;
        });
    }

    // One whole pick: the eyedropper pressed, dragged to `screen` until the boxes show `colour`,
    // and released far from the dialog.
    static void PickAt(HWND dialog, HWND panel, POINT screen, COLORREF colour) {
        std::string seen;
        PressButton(panel, 2);
        DragTo(panel, screen);
        ASSERT_TRUE(BoxesShow(dialog, colour, seen)) << seen;
        ReleaseButton(panel, kFar);
    }

    static inline HWND movePanel_ = nullptr;
    static inline LPARAM moveAt_ = 0;

    HWND swatch_ = nullptr;
    POINT a_{};
    POINT b_{};
};

}  // namespace

TEST_P(Eyedropper, PicksScreenPixelsAndRoundsWebSafeOncePerDrag) {
    TClient client(GetParam(), "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    HWND panel = PanelOf(dialog);
    std::string seen;

    PressButton(panel, 2);
    DragTo(panel, a_);
    EXPECT_TRUE(BoxesShow(dialog, kSwatchA, seen)) << seen;
    ReleaseButton(panel, kFar);

    // Web-safe on: read at the first pick of the next drag, and kept for the rest of that drag.
    SetWebSafe(true);
    PressButton(panel, 2);
    DragTo(panel, a_);
    EXPECT_TRUE(BoxesShow(dialog, RGB(153, 0, 51), seen)) << seen;
    SetWebSafe(false);
    DragTo(panel, b_);
    EXPECT_TRUE(BoxesShow(dialog, RGB(0, 204, 102), seen)) << "switched off mid-drag: " << seen;
    ReleaseButton(panel, kFar);

    // The next drag reads the switch again.
    PressButton(panel, 2);
    DragTo(panel, b_);
    EXPECT_TRUE(BoxesShow(dialog, kSwatchB, seen)) << seen;
    ReleaseButton(panel, kFar);

    // Back onto the button itself: the colour it had when the drag began (the last pick, B).
    PressButton(panel, 2);
    DragTo(panel, a_);
    EXPECT_TRUE(BoxesShow(dialog, kSwatchA, seen)) << seen;
    MoveOver(panel, ButtonPoint(2));
    EXPECT_TRUE(BoxesShow(dialog, kSwatchB, seen)) << seen;
    ReleaseButton(panel, ButtonPoint(2));
}

TEST_P(Eyedropper, SetColorOnItsButtonAddsThePickToTheSelectedCell) {
    TClient client(GetParam(), "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(WaitForCells(dialog, AllWhite()), CellsText(AllWhite()));
    HWND panel = PanelOf(dialog);
    ASSERT_NO_FATAL_FAILURE(PickAt(dialog, panel, a_, kSwatchA));

    // Released on the button (cursor inside the dialog): no cell is clicked, so the colour goes to
    // the cell the add button fills next, the first one in a fresh dialog.
    const RECT p = WindowRectOf(panel);
    ASSERT_TRUE(MovePointer(POINT{p.left + 105, p.top + 7}));
    ClickButton(panel, 3);
    std::vector<COLORREF> expected = AllWhite();
    expected[0] = kSwatchA;
    EXPECT_EQ(WaitForCells(dialog, expected), CellsText(expected));
}

TEST_F(Eyedropper, SetColorReleasedOnACustomCellFillsThatCell) {
    // A click on a custom cell retargets the add button only in dialogs that behave as Windows'
    // does (Wine's keeps its own counter), so this runs on the stand-in.
    TClient client(TDialogKind::StandIn, "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(WaitForCells(dialog, AllWhite()), CellsText(AllWhite()));
    HWND panel = PanelOf(dialog);
    ASSERT_NO_FATAL_FAILURE(PickAt(dialog, panel, b_, kSwatchB));

    PressButton(panel, 3);
    const POINT cell = CustomCellPoint(dialog, 13);
    ::SetCursorPos(cell.x, cell.y);
    ReleaseButton(panel, kFar);
    std::vector<COLORREF> expected = AllWhite();
    expected[13] = kSwatchB;
    EXPECT_EQ(WaitForCells(dialog, expected), CellsText(expected));
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog) == "applied"; })) << StatusText(dialog);
}

TEST_F(Eyedropper, SetColorReleasedOnACustomCellOfWinesDialogFillsThatCellOnly) {
    // Wine's add button follows its own counter, which the first set-colour has moved on: the
    // second pick must still land in the cell under the pointer and leave the others as they are.
    TClient client(TDialogKind::Wine, "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(WaitForCells(dialog, AllWhite()), CellsText(AllWhite()));
    HWND panel = PanelOf(dialog);
    ASSERT_NO_FATAL_FAILURE(PickAt(dialog, panel, a_, kSwatchA));
    const RECT p = WindowRectOf(panel);
    ASSERT_TRUE(MovePointer(POINT{p.left + 105, p.top + 7}));
    ClickButton(panel, 3);
    std::vector<COLORREF> expected = AllWhite();
    expected[0] = kSwatchA;
    ASSERT_EQ(WaitForCells(dialog, expected), CellsText(expected));

    ASSERT_NO_FATAL_FAILURE(PickAt(dialog, panel, b_, kSwatchB));
    PressButton(panel, 3);
    const POINT cell = CustomCellPoint(dialog, 13);
    ::SetCursorPos(cell.x, cell.y);
    ReleaseButton(panel, kFar);
    expected[13] = kSwatchB;
    EXPECT_EQ(WaitForCells(dialog, expected), CellsText(expected));
}

TEST_P(Eyedropper, ADragInterruptedByAnotherProgramLeavesTheOldFace) {
    TClient client(GetParam(), "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    HWND panel = PanelOf(dialog);
    const RECT p = WindowRectOf(panel);
    const POINT face{p.left + 64, p.top + 4};  // inside the eyedropper button, clear of edge and caption
    ASSERT_TRUE(WaitFor([&] { return ScreenPixel(face) == ::GetSysColor(COLOR_BTNFACE); }));

    std::string seen;
    PressButton(panel, 2);
    DragTo(panel, a_);
    ASSERT_TRUE(BoxesShow(dialog, kSwatchA, seen)) << seen;
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(face) == kSwatchA; })) << "the button shows the pick";

    // Another program comes to the front: the press is dropped without its release handler.
    HWND other = ::CreateWindowExA(0, "PelmiraTestSwatch", "another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   120, 80, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ::SetForegroundWindow(other);
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(face) == ::GetSysColor(COLOR_BTNFACE); }))
        << "the button is back to its colour before the drag";
    EXPECT_EQ(Boxes(dialog), "130,25,26") << "the boxes keep the last pick";
    ::DestroyWindow(other);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, Eyedropper, ::testing::Values(TDialogKind::StandIn, TDialogKind::Wine),
                         [](const ::testing::TestParamInfo<TDialogKind>& info) { return KindName(info.param); });
