// The eyedropper's magnifier and keys: while the eyedropper is dragged, a window beside the
// pointer shows the pixels around it enlarged with the centre outlined, is never what gets picked,
// and goes with the drag; the arrow keys move the pick pixel by pixel and Esc drops the drag.
#include "DialogHarness.h"
#include "ScreenPicture.h"

using namespace harness;

namespace {

// Left half A, right half B, and between them a one-pixel line of C: the thin line is what a
// pick without magnification misses.
constexpr COLORREF kLeft = RGB(200, 40, 40);
constexpr COLORREF kLine = RGB(20, 20, 220);
constexpr COLORREF kRight = RGB(40, 180, 60);
constexpr int kWidth = 120;
constexpr int kHeight = 60;
constexpr int kLineX = kWidth / 2;

// Default zoom and span of the magnifier: 15 x 15 pixels, 8 x, inside a one-pixel frame.
constexpr int kZoom = 8;
constexpr int kSpan = 15;

void Fill(HDC dc, RECT r, COLORREF c) {
    HBRUSH brush = ::CreateSolidBrush(c);
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
}

LRESULT CALLBACK PatternProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(window, &ps);
        Fill(dc, RECT{0, 0, kLineX, kHeight}, kLeft);
        Fill(dc, RECT{kLineX, 0, kLineX + 1, kHeight}, kLine);
        Fill(dc, RECT{kLineX + 1, 0, kWidth, kHeight}, kRight);
        ::EndPaint(window, &ps);
        return 0;
    }
    return ::DefWindowProcA(window, msg, wParam, lParam);
}

HWND Magnifier() { return ::FindWindowA("PelmiraMagnifier", nullptr); }
bool MagnifierShown() {
    HWND m = Magnifier();
    return m != nullptr && ::IsWindowVisible(m);
}

std::string Rgb(COLORREF c) {
    return std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," + std::to_string(GetBValue(c));
}

// The pattern in the screen's bottom-right corner: the magnifier has to flip to stay on screen.
class Magnifying : public TDialogSuite {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PatternProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "PelmiraTestPattern";
        ::RegisterClassA(&wc);
        const int x = ::GetSystemMetrics(SM_CXSCREEN) - kWidth - 4;
        const int y = ::GetSystemMetrics(SM_CYSCREEN) - kHeight - 4;
        pattern_ = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, "", WS_POPUP,
                                     x, y, kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
        ::ShowWindow(pattern_, SW_SHOWNOACTIVATE);
        line_ = POINT{x + kLineX, y + kHeight / 2};
        ASSERT_TRUE(WaitFor([&] {
            return ScreenPixel(line_) == kLine && ScreenPixel(line_.x - 1, line_.y) == kLeft &&
                   ScreenPixel(line_.x + 1, line_.y) == kRight;
        }));
        TBlockView block;
        block->WebSafe = 0;
    }
    void TearDown() override {
        ::DestroyWindow(pattern_);
        TDialogSuite::TearDown();
    }

    static std::string Boxes(HWND dialog) {
        return BoxText(dialog, 706) + "," + BoxText(dialog, 707) + "," + BoxText(dialog, 708);
    }

    // The boxes show the colour; the drag's last move is repeated meanwhile, as a real pointer
    // keeps moving (one read of the screen may come before the display caught up).
    static bool BoxesShow(HWND dialog, HWND panel, COLORREF c, std::string& seen) {
        int polls = 0;
        return WaitFor([&] {
            if ((seen = Boxes(dialog)) == Rgb(c)) return true;
            if (++polls % 10 == 0) ::PostMessageA(panel, WM_MOUSEMOVE, MK_LBUTTON, kFar);
            return false;
        });
    }

    static void DragTo(HWND panel, POINT screen) {
        ::SetCursorPos(screen.x, screen.y);
        ::PostMessageA(panel, WM_MOUSEMOVE, MK_LBUTTON, kFar);
    }

    static void Key(HWND dialog, WPARAM vk) { ::PostMessageA(dialog, WM_KEYDOWN, vk, 1); }

    static constexpr LPARAM kFar = MAKELPARAM(400, 300);
    HWND pattern_ = nullptr;
    POINT line_{};
};

}  // namespace

TEST_F(Magnifying, ShowsTheEnlargedPixelsBesideThePointerAndGoesAtTheRelease) {
    TClient client(TDialogKind::Wine, "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    HWND panel = PanelOf(dialog);
    EXPECT_FALSE(MagnifierShown()) << "no magnifier before a drag";

    std::string seen;
    PressButton(panel, 2);
    DragTo(panel, line_);
    ASSERT_TRUE(WaitFor(MagnifierShown));
    EXPECT_TRUE(BoxesShow(dialog, panel, kLine, seen)) << "the pick is the pixel under the pointer: " << seen;

    const RECT m = WindowRectOf(Magnifier());
    EXPECT_EQ(m.right - m.left, kSpan * kZoom + 2);
    EXPECT_FALSE(::PtInRect(&m, line_)) << "never under the pointer";
    // In the screen's corner it flips to the pointer's upper left and stays whole on the screen.
    EXPECT_LT(m.right, line_.x);
    EXPECT_LT(m.bottom, line_.y);
    EXPECT_GE(m.left, 0);
    EXPECT_GE(m.top, 0);
    EXPECT_NE(::GetForegroundWindow(), Magnifier());

    // Cells of kZoom pixels from (1, 1): the line in the middle, the halves either side, the
    // centre framed white inside black, outside its own cell.
    const int centre = 1 + (kSpan / 2) * kZoom;
    auto cell = [&](int dx, int dy) {
        return POINT{m.left + centre + dx * kZoom + kZoom / 2, m.top + centre + dy * kZoom + kZoom / 2};
    };
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(cell(0, 0)) == kLine; })) << ColorText(ScreenPixel(cell(0, 0)));
    EXPECT_EQ(ScreenPixel(cell(0, -3)), kLine) << "the line runs through the middle column";
    EXPECT_EQ(ScreenPixel(cell(-1, 0)), kLeft);
    EXPECT_EQ(ScreenPixel(cell(-7, 5)), kLeft);
    EXPECT_EQ(ScreenPixel(cell(1, 0)), kRight);
    EXPECT_EQ(ScreenPixel(cell(7, -5)), kRight);
    EXPECT_EQ(ScreenPixel(m.left + centre - 2, cell(0, 0).y), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(m.left + centre - 1, cell(0, 0).y), RGB(255, 255, 255));
    EXPECT_EQ(ScreenPixel(m.left + centre, cell(0, 0).y), kLine) << "the centre cell keeps all its pixels";

    RECT shot{};
    const RECT patternRect = WindowRectOf(pattern_);
    ::UnionRect(&shot, &m, &patternRect);
    ::InflateRect(&shot, 8, 8);
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::IntersectRect(&shot, &shot, &screen);  // a read beyond the screen comes back black
    EXPECT_TRUE(SaveScreenPicture(shot, ScreenshotFolder() + "\\magnifier-drag.bmp"));

    ::PostMessageA(panel, WM_LBUTTONUP, 0, kFar);
    EXPECT_TRUE(WaitFor([] { return !MagnifierShown(); })) << "gone at the release";
    EXPECT_EQ(Boxes(dialog), Rgb(kLine)) << "the release keeps the pick";
}

TEST_F(Magnifying, ArrowKeysMoveThePickByOnePixelAndEscRestoresTheButton) {
    TClient client(TDialogKind::Wine, "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    HWND panel = PanelOf(dialog);
    const RECT p = WindowRectOf(panel);
    const POINT face{p.left + 64, p.top + 4};  // inside the eyedropper button
    ASSERT_TRUE(WaitFor([&] { return ScreenPixel(face) == ::GetSysColor(COLOR_BTNFACE); }));

    // Real key presses go to the foreground window: the dialog's, as for a user who drags from it.
    ::SetForegroundWindow(dialog);
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == dialog; }, 5000));
    std::string seen;
    PressButton(panel, 2);
    DragTo(panel, POINT{line_.x - 1, line_.y});
    ASSERT_TRUE(BoxesShow(dialog, panel, kLeft, seen)) << seen;

    Key(dialog, VK_RIGHT);
    EXPECT_TRUE(WaitFor([&] { return Boxes(dialog) == Rgb(kLine); })) << Boxes(dialog);
    POINT at{};
    ::GetCursorPos(&at);
    EXPECT_EQ(at.x, line_.x);
    EXPECT_EQ(at.y, line_.y);
    Key(dialog, VK_RIGHT);
    EXPECT_TRUE(WaitFor([&] { return Boxes(dialog) == Rgb(kRight); })) << Boxes(dialog);
    Key(dialog, VK_LEFT);
    EXPECT_TRUE(WaitFor([&] { return Boxes(dialog) == Rgb(kLine); })) << Boxes(dialog);
    Key(dialog, VK_UP);
    Key(dialog, VK_DOWN);
    Key(dialog, VK_DOWN);
    EXPECT_TRUE(WaitFor([&] {
        POINT now{};
        ::GetCursorPos(&now);
        return now.x == line_.x && now.y == line_.y + 1;
    }));
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(face) == kLine; })) << "the button shows the pick";

    // Shift moves ten pixels; it is read from the keyboard, so this press is a real one.
    INPUT in[4]{};
    const WORD keys[4] = {VK_SHIFT, VK_RIGHT, VK_RIGHT, VK_SHIFT};
    for (int i = 0; i < 4; ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = keys[i];
        in[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ::SendInput(4, in, sizeof(INPUT));
    EXPECT_TRUE(WaitFor([&] { return Boxes(dialog) == Rgb(kRight); })) << Boxes(dialog);
    ::GetCursorPos(&at);
    EXPECT_EQ(at.x, line_.x + 10);

    // Esc drops the drag: the button's colour from before it, no magnifier, the dialog still open.
    Key(dialog, VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(face) == ::GetSysColor(COLOR_BTNFACE); }))
        << ColorText(ScreenPixel(face));
    EXPECT_TRUE(WaitFor([] { return !MagnifierShown(); }));
    EXPECT_TRUE(::IsWindow(dialog)) << "Esc went to the drag, not to the dialog";

    // Keys without a drag are the dialog's: a later arrow moves no pointer.
    ::GetCursorPos(&at);
    Key(dialog, VK_LEFT);
    Pump();
    ::Sleep(200);
    POINT after{};
    ::GetCursorPos(&after);
    EXPECT_EQ(after.x, at.x);
}
