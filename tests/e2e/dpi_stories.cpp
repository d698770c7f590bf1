// The colour dialog's panel and the controller's window at the display scale of the Wine prefix
// they run in. run_dpi_stories.sh runs this program once per scale (96, 120, 144 and 192 DPI),
// each time in a prefix of its own whose LogPixels was set before any program started. Each
// story prints the geometry it measured, one "dpi N: ..." line.
#include "ControllerHarness.h"
#include "DialogHarness.h"
#include "DisplayScale.h"

#include <cstdlib>
#include <tuple>
#include <utility>

using namespace harness;

namespace {

int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

int Scaled(int value96) { return pelmira::ScaleToDpi(value96, ScreenDpi()); }

bool Intersects(const RECT& a, const RECT& b) {
    RECT both;
    return ::IntersectRect(&both, &a, &b) != FALSE;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string RectText(const RECT& r) {
    char t[96];
    std::snprintf(t, sizeof t, "%ldx%ld at (%ld,%ld)", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return t;
}

// The dialog's font as this process can use it: the window's own font when its handle is
// readable here, otherwise the dialog template's face at 8 points on this display.
HFONT FontLike(HWND window) {
    LOGFONTA font{};
    const auto handle = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0));
    if (handle == nullptr || ::GetObjectA(handle, sizeof font, &font) == 0) {
        font = LOGFONTA{};
        font.lfHeight = -::MulDiv(8, ScreenDpi(), 72);
        std::strcpy(font.lfFaceName, "MS Shell Dlg");
    }
    return ::CreateFontIndirectA(&font);
}

// The screen rectangle that a left-aligned static's text takes, measured with its font.
RECT TextRectOf(HWND caption, TEXTMETRICA* metrics = nullptr) {
    const std::string text = TextOf(caption);
    HDC dc = ::GetDC(nullptr);
    HFONT font = FontLike(caption);
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT r{};
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    if (metrics != nullptr) ::GetTextMetricsA(dc, metrics);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, dc);
    const RECT at = WindowRectOf(caption);
    ::OffsetRect(&r, at.left, at.top);
    return r;
}

// A point inside panel button `button` (0-3), in the panel's client coordinates: the four
// buttons share the panel's width.
LPARAM ScaledButtonPoint(HWND panel, int button) {
    RECT c{};
    ::GetClientRect(panel, &c);
    return MAKELPARAM(c.right * (2 * button + 1) / 8, c.bottom / 2);
}

void ClickScaledButton(HWND panel, int button) {
    ::PostMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, ScaledButtonPoint(panel, button));
    ::PostMessageA(panel, WM_LBUTTONUP, 0, ScaledButtonPoint(panel, button));
}

}  // namespace

TEST(Scale, ThePrefixRunsAtTheScaleItWasMadeFor) {
    const char* wanted = std::getenv("PELMIRA_TEST_DPI");
    if (wanted == nullptr) GTEST_SKIP() << "run by run_dpi_stories.sh";
    EXPECT_EQ(ScreenDpi(), std::atoi(wanted)) << "LogPixels was not read before the programs started";
}

class ScaledDialog : public TDialogSuite {
protected:
    HWND Open(TClient& client) {
        HWND dialog = client.WaitForTakenOverDialog();
        if (dialog != nullptr) {
            EXPECT_EQ(WaitForCells(dialog, AllWhite()), CellsText(AllWhite()));
        }
        return dialog;
    }

    void UseBox(TClient& client, HWND dialog, int button, const std::string& path) {
        ClickScaledButton(PanelOf(dialog), button);
        HWND box = client.WaitForBox();
        ASSERT_NE(box, nullptr) << "no open/save box";
        AnswerBox(box, path);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); })) << "the box stayed open";
    }
};

TEST_F(ScaledDialog, ThePanelGrowsWithTheDialogAndCoversNeitherCaptionTextNorCells) {
    TClient client(TDialogKind::Wine, "");
    HWND dialog = Open(client);
    ASSERT_NE(dialog, nullptr);
    HWND panel = PanelOf(dialog);
    ASSERT_NE(panel, nullptr);

    RECT size{};
    ::GetClientRect(panel, &size);
    EXPECT_NEAR(size.right, Scaled(120), 1);
    EXPECT_NEAR(size.bottom, Scaled(14), 1);

    const RECT p = WindowRectOf(panel);
    HWND caption = ::GetDlgItem(dialog, 1089);
    ASSERT_NE(caption, nullptr);
    const RECT text = TextRectOf(caption);
    EXPECT_FALSE(Intersects(p, text)) << "panel " << RectText(p) << ", caption text " << RectText(text);
    const RECT cells = WindowRectOf(::GetDlgItem(dialog, 721));
    EXPECT_FALSE(Intersects(p, cells)) << "panel " << RectText(p) << ", cells " << RectText(cells);
    EXPECT_TRUE(Inside(p, WindowRectOf(::GetParent(panel)))) << "the panel is clipped by its parent";

    // The four buttons are drawn edge to edge: a dark right edge next to a light left edge at
    // every quarter of the panel (one pixel either way for rounding).
    for (int b = 1; b < 4; ++b) {
        const int x = p.left + Scaled(30 * b);
        const int y = p.top + (p.bottom - p.top) / 2;
        EXPECT_TRUE(WaitFor([&] {
            for (int dx = -1; dx <= 1; ++dx)
                if (ScreenPixel(x + dx - 1, y) != ScreenPixel(x + dx, y)) return true;
            return false;
        }, 5000)) << "edge between buttons " << b - 1 << " and " << b;
    }

    // The status bar holds a line of the dialog's text.
    HWND bar = StatusBarOf(dialog);
    ASSERT_NE(bar, nullptr);
    TEXTMETRICA metrics{};
    TextRectOf(caption, &metrics);
    const RECT b = WindowRectOf(bar);
    EXPECT_GE(b.bottom - b.top, metrics.tmHeight + 2) << "status bar " << RectText(b);
    EXPECT_LE(b.bottom - b.top, 2 * metrics.tmHeight + Scaled(4)) << "status bar " << RectText(b);

    const RECT d = WindowRectOf(dialog);
    std::printf("dpi %d: dialog %s; panel %ldx%ld at (%ld,%ld) of the dialog; caption text ends at x %ld, "
                "cells start at y %ld; status bar %ld high, font %ld high\n",
                ScreenDpi(), RectText(d).c_str(), p.right - p.left, p.bottom - p.top, p.left - d.left, p.top - d.top,
                text.right - d.left, cells.top - d.top, b.bottom - b.top, metrics.tmHeight);

    EXPECT_TRUE(WaitForSteadyImage(dialog));
    SaveWindowPicture(dialog, ScreenshotFolder() + "\\dpi" + std::to_string(ScreenDpi()) + "_dialog.bmp");
    client.Close();
    ASSERT_TRUE(client.WaitForExit());
}

TEST_F(ScaledDialog, LoadAndSaveStillPutLineKInCellK) {
    TClient client(TDialogKind::Wine, "");
    HWND dialog = Open(client);
    ASSERT_NE(dialog, nullptr);
    WriteTextFile(Path("scaled.pli"), PaletteFileText());
    UseBox(client, dialog, 0, Path("scaled.pli"));
    std::vector<COLORREF> expected;
    for (int k = 0; k < 16; ++k) expected.push_back(PaletteColor(k));
    EXPECT_EQ(WaitForCells(dialog, expected), CellsText(expected));

    UseBox(client, dialog, 1, Path("saved.pli"));
    std::string text;
    EXPECT_TRUE(WaitFor([&] { return ReadTextFile(Path("saved.pli"), text) && text == PaletteFileText(); }))
        << text;
    client.Close();
    ASSERT_TRUE(client.WaitForExit());
}

// Two colours side by side, meeting at a known screen column: a pick that lands one pixel off
// the pointer (a position scaled once too often or too seldom) takes the other colour.
constexpr COLORREF kLeftColor = RGB(130, 25, 26);
constexpr COLORREF kRightColor = RGB(10, 200, 100);

LRESULT CALLBACK TwoColorProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg != WM_PAINT) return ::DefWindowProcA(window, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(window, &ps);
    RECT r{};
    ::GetClientRect(window, &r);
    const LONG middle = r.right / 2;
    for (const auto& [left, right, color] : {std::tuple{0L, middle, kLeftColor}, std::tuple{middle, r.right, kRightColor}}) {
        const RECT part{left, 0, right, r.bottom};
        HBRUSH brush = ::CreateSolidBrush(color);
        ::FillRect(dc, &part, brush);
        ::DeleteObject(brush);
    }
    ::EndPaint(window, &ps);
    return 0;
}

TEST_F(ScaledDialog, TheEyedropperPicksThePixelUnderThePointer) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = TwoColorProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "PelmiraTestTwoColors";
    ::RegisterClassA(&wc);
    const RECT at{::GetSystemMetrics(SM_CXSCREEN) - 110, ::GetSystemMetrics(SM_CYSCREEN) - 50,
                  ::GetSystemMetrics(SM_CXSCREEN) - 10, ::GetSystemMetrics(SM_CYSCREEN) - 10};
    HWND swatch = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, "", WS_POPUP,
                                    at.left, at.top, at.right - at.left, at.bottom - at.top, nullptr, nullptr,
                                    wc.hInstance, nullptr);
    ::ShowWindow(swatch, SW_SHOWNOACTIVATE);
    const LONG y = (at.top + at.bottom) / 2;
    const POINT lastLeft{at.left + 49, y};
    const POINT firstRight{at.left + 50, y};
    ASSERT_TRUE(WaitFor([&] { return ScreenPixel(lastLeft) == kLeftColor && ScreenPixel(firstRight) == kRightColor; }));

    TClient client(TDialogKind::Wine, "");
    HWND dialog = Open(client);
    ASSERT_NE(dialog, nullptr);
    HWND panel = PanelOf(dialog);
    ASSERT_NE(panel, nullptr);
    const auto boxes = [&] { return BoxText(dialog, 706) + "," + BoxText(dialog, 707) + "," + BoxText(dialog, 708); };
    const auto text = [](COLORREF c) {
        return std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," + std::to_string(GetBValue(c));
    };
    constexpr LPARAM kFar = MAKELPARAM(2000, 1500);  // far outside the button, in its client coordinates
    ::PostMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, ScaledButtonPoint(panel, 2));
    for (const auto& [point, color] : {std::pair{firstRight, kRightColor}, std::pair{lastLeft, kLeftColor}}) {
        ::SetCursorPos(point.x, point.y);
        // Moved again now and then: one read can come before the display has caught up.
        int polls = 0;
        EXPECT_TRUE(WaitFor([&] {
            if (polls++ % 10 == 0) ::PostMessageA(panel, WM_MOUSEMOVE, MK_LBUTTON, kFar);
            return boxes() == text(color);
        })) << "at (" << point.x << "," << point.y << ") the boxes show " << boxes();
    }
    // The magnifier beside the pointer grows with the scale, and its text with it.
    HWND magnifier = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        const auto found = TopWindows(ProcessOf(dialog), "PelmiraMagnifier");
        magnifier = found.empty() ? nullptr : found.front();
        return magnifier != nullptr && ::IsWindowVisible(magnifier);
    })) << "no magnifier during the drag";
    if (magnifier != nullptr) {
        const RECT m = WindowRectOf(magnifier);
        EXPECT_EQ(m.right - m.left, 15 * Scaled(8) + 2);
        EXPECT_EQ(m.bottom - m.top, 15 * Scaled(8) + 2 + Scaled(34));
        SaveWindowPicture(magnifier, ScreenshotFolder() + "\\dpi" + std::to_string(ScreenDpi()) + "_magnifier.bmp");
    }
    ::PostMessageA(panel, WM_LBUTTONUP, 0, kFar);
    ::DestroyWindow(swatch);
    client.Close();
    ASSERT_TRUE(client.WaitForExit());
}

namespace {

// The main window's own children (not the combo's edit nor the list's header).
std::vector<HWND> ChildrenOf(HWND w) {
    std::vector<HWND> children;
    for (HWND c = ::GetWindow(w, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT))
        if (::IsWindowVisible(c)) children.push_back(c);
    return children;
}

RECT InClient(HWND w, HWND child) {
    RECT r = WindowRectOf(child);
    ::MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Command(HWND w, UINT id) {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(w, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, kWaitMs, &answer);
}

}  // namespace

TEST(ScaledController, EveryControlLiesInsideTheClientAreaInBothViews) {
    ASSERT_TRUE(WaitFor([] { return TopWindows(0, "Pelmira").empty(); }, 10000));
    TTempFolder folder{"dpictl"};
    ASSERT_TRUE(InstallController(folder));
    ::CopyFileA((TestFolder() + "\\vorlundLang.ini").c_str(), folder.File("vorlundLang.ini").c_str(), FALSE);
    TControllerProcess process;
    ASSERT_TRUE(process.Start(folder));
    const HWND w = WaitForMainWindow(process);
    ASSERT_NE(w, nullptr);
    const HWND bar = FindChild(w, [](HWND c) { return ClassOf(c) == STATUSCLASSNAMEA; });
    ASSERT_NE(bar, nullptr);

    for (const bool extended : {false, true}) {
        const char* view = extended ? "extended" : "normal";
        RECT client{};
        ::GetClientRect(w, &client);
        const RECT status = InClient(w, bar);
        std::string placed;
        for (HWND c : ChildrenOf(w)) {
            const RECT r = InClient(w, c);
            placed += " " + ClassOf(c) + " " + RectText(r) + ";";
            // The normal view cuts off what lies below it (ReLoad, ReWrite); nothing is cut in two.
            if (!extended && r.top >= client.bottom) continue;
            EXPECT_TRUE(Inside(r, client)) << view << ": " << ClassOf(c) << " " << TextOf(c) << " " << RectText(r)
                                           << " outside the client area " << RectText(client);
            if (c != bar && r.top < client.bottom) {
                EXPECT_FALSE(Intersects(r, status)) << view << ": " << ClassOf(c) << " " << TextOf(c)
                                                    << " under the status bar";
            }
        }
        std::printf("dpi %d: controller %s view client %ldx%ld;%s\n", ScreenDpi(), view, client.right, client.bottom,
                    placed.c_str());
        // The picture is read from the screen: wait until the window has painted its new size
        // (its status bar is drawn in the button face colour, never black).
        const RECT shown = WindowRectOf(bar);
        EXPECT_TRUE(WaitFor([&] { return ScreenPixel(shown.left + 4, shown.bottom - 4) != RGB(0, 0, 0); }, 10000));
        EXPECT_TRUE(WaitForSteadyImage(w));
        // The taller view may run past the bottom of the screen, where there is nothing to read.
        RECT onScreen{};
        const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        const RECT window = WindowRectOf(w);
        ::IntersectRect(&onScreen, &window, &screen);
        SaveScreenPicture(onScreen, ScreenshotFolder() + "\\dpi" + std::to_string(ScreenDpi()) + "_controller_" + view + ".bmp");
        if (!extended) Command(w, kCmdExtension);
    }
    EXPECT_EQ(CloseController(process, w), 0);
}

TEST(ScaledController, AMoveToAnotherScaleLaysTheWindowOutAgainAndBack) {
    ASSERT_TRUE(WaitFor([] { return TopWindows(0, "Pelmira").empty(); }, 10000));
    TTempFolder folder{"dpimove"};
    ASSERT_TRUE(InstallController(folder));
    TControllerProcess process;
    ASSERT_TRUE(process.Start(folder));
    const HWND w = WaitForMainWindow(process);
    ASSERT_NE(w, nullptr);
    Command(w, kCmdExtension);

    const auto layout = [&] {
        std::vector<RECT> rects;
        for (HWND c : ChildrenOf(w)) rects.push_back(InClient(w, c));
        RECT client{};
        ::GetClientRect(w, &client);
        rects.push_back(client);
        return rects;
    };
    const std::vector<RECT> before = layout();
    // Without fonts in a language file, the controls keep the fonts they were made with; the
    // combo's field is as high as its font, and the status bar holds a line of its own.
    const HWND combo = FindChild(w, [](HWND c) { return ClassOf(c) == "ComboBox"; });
    const HWND bar = FindChild(w, [](HWND c) { return ClassOf(c) == STATUSCLASSNAMEA; });
    ASSERT_NE(combo, nullptr);
    ASSERT_NE(bar, nullptr);
    const auto fieldHeight = [&] { return static_cast<int>(::SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)); };
    const auto barHeight = [&] { const RECT r = WindowRectOf(bar); return static_cast<int>(r.bottom - r.top); };
    const int fieldHere = fieldHeight();
    const int barHere = barHeight();
    const int here = ScreenDpi();
    const int there = here == 96 ? 144 : 96;
    // As the system sends it when the window reaches a monitor of the other scale; without a
    // suggested rectangle (it would not cross the process boundary) the window keeps its place.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(w, WM_DPICHANGED, MAKEWPARAM(there, there), 0, SMTO_NORMAL, kWaitMs, &answer);
    RECT client{};
    ::GetClientRect(w, &client);
    EXPECT_NEAR(client.bottom, pelmira::ScaleToDpi(294, there), 1) << "the extended view's height at " << there;
    for (HWND c : ChildrenOf(w)) {
        const RECT r = InClient(w, c);
        EXPECT_TRUE(Inside(r, client)) << ClassOf(c) << " " << TextOf(c) << " " << RectText(r) << " at " << there;
    }
    const HWND exitButton = ::GetDlgItem(w, kSuspendButtonId + 2);
    EXPECT_EQ(InClient(w, exitButton).left, pelmira::ScaleToDpi(234, there));
    // Field and bar heights are a font's height plus a few pixels of frame.
    const int fieldThere = fieldHeight();
    const int barThere = barHeight();
    EXPECT_NEAR(fieldThere, ::MulDiv(fieldHere, there, here), fieldHere / 5) << "combo field " << fieldHere;
    // The bar never gets lower than the system's small icon, which keeps the system's scale.
    if (there > here) {
        EXPECT_NEAR(barThere, ::MulDiv(barHere, there, here), barHere / 5) << "status bar " << barHere;
    }
    std::printf("dpi %d: moved to %d: combo field %d -> %d, status bar %d -> %d\n", here, there, fieldHere,
                fieldThere, barHere, barThere);

    ::SendMessageTimeoutA(w, WM_DPICHANGED, MAKEWPARAM(here, here), 0, SMTO_NORMAL, kWaitMs, &answer);
    const std::vector<RECT> after = layout();
    EXPECT_EQ(fieldHeight(), fieldHere) << "back at the start's scale the controls have their own fonts again";
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_TRUE(::EqualRect(&before[i], &after[i])) << RectText(before[i]) << " became " << RectText(after[i]);
    EXPECT_EQ(CloseController(process, w), 0);
}

TEST(ScaledController, TheExtendedViewOfAWindowPlacedLowStaysOnTheWorkArea) {
    ASSERT_TRUE(WaitFor([] { return TopWindows(0, "Pelmira").empty(); }, 10000));
    TTempFolder folder{"dpilow"};
    ASSERT_TRUE(InstallController(folder));
    TControllerProcess process;
    ASSERT_TRUE(process.Start(folder));
    const HWND w = WaitForMainWindow(process);
    ASSERT_NE(w, nullptr);

    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    // The normal view ends just above the bottom: the extended one, far taller, would pass it.
    const RECT normal = WindowRectOf(w);
    const LONG top = work.bottom - (normal.bottom - normal.top) - 10;
    ::SetWindowPos(w, nullptr, normal.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Command(w, kCmdExtension);
    const RECT extended = WindowRectOf(w);
    ASSERT_GT(extended.bottom - extended.top, normal.bottom - normal.top + 10) << "the view did not grow";
    EXPECT_EQ(extended.bottom, work.bottom) << RectText(extended) << " on a work area " << RectText(work);
    EXPECT_EQ(extended.left, normal.left) << "only moved up";
    std::printf("dpi %d: extended view placed low: %s on %s\n", ScreenDpi(), RectText(extended).c_str(),
                RectText(work).c_str());

    // Back to the normal view the window stays where the extended one put it.
    Command(w, kCmdExtension);
    EXPECT_EQ(WindowRectOf(w).top, extended.top);
    EXPECT_EQ(CloseController(process, w), 0);
}
