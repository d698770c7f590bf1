// The about box in the test's own process: a stand-in main window owns it, and the steps of each
// story run one per timer tick inside the box's modal loop, so ShowAbout's result is seen as the
// program would see it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "APIWindow.h"
#include "About.h"
#include "ControllerState.h"
#include "WindowTestSupport.h"

namespace {

using TStep = std::function<void(HWND box)>;

constexpr INT_PTR kLeftOpen = -77;  // what the watchdog closes a forgotten box with
constexpr int kWatchdogTicks = 1000;

std::vector<TStep> Steps;
size_t NextStep = 0;
int IdleTicks = 0;

void CALLBACK RunNextStep(HWND, UINT, UINT_PTR, DWORD) noexcept {
    const HWND box = AboutWindow();
    if (box == nullptr || !::IsWindowVisible(box)) return;
    if (NextStep < Steps.size()) {
        ::UpdateWindow(box);
        Steps[NextStep++](box);
        return;
    }
    // A story that forgot to close the box fails instead of hanging.
    if (++IdleTicks > kWatchdogTicks) ::EndDialog(box, kLeftOpen);
}

// Opens the box and runs the steps in it, one per 10 ms tick; returns ShowAbout's result.
INT_PTR RunAbout(std::vector<TStep> steps) {
    Steps = std::move(steps);
    NextStep = 0;
    IdleTicks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, RunNextStep);
    const INT_PTR result = ShowAbout();
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(NextStep, Steps.size()) << "the box closed before every step ran";
    return result;
}

void PressKey(HWND box, WPARAM key) {
    const HWND focus = ::GetFocus();
    const HWND target = focus != nullptr && (focus == box || ::IsChild(box, focus)) ? focus : box;
    ::PostMessageA(target, WM_KEYDOWN, key, 1);
    ::PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

std::vector<HWND> ChildrenOfClass(HWND box, const char* className) {
    std::vector<HWND> found;
    for (HWND c = ::GetWindow(box, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT))
        if (lstrcmpiA(ClassOf(c).c_str(), className) == 0) found.push_back(c);
    return found;
}

// A child's rectangle in the box's client coordinates.
RECT ChildRect(HWND box, HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The box's own font, made the way the box makes it, for measuring expectations.
struct TAboutFont {
    TAboutFont() {
        font.FaceName = "Times New Roman";
        font.Size = 12;
        font.Bold = false;
        font.Underline = true;
        font.Build();
    }
    SIZE Measure(const std::string& text) { return MeasureText(text, font.Font); }
    TAPICFont font;
};

int BoxTopLevelCount() {
    int count = 0;
    for (HWND w = ::GetTopWindow(nullptr); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid == ::GetCurrentProcessId() && ClassOf(w) == "#32770" && TextOf(w) == kAboutCaption) ++count;
    }
    return count;
}

// The 32 x 32 pixels where the box draws its icon.
std::vector<COLORREF> Pixels(HWND box, const RECT& r) {
    ::UpdateWindow(box);
    std::vector<COLORREF> pixels;
    HDC dc = ::GetDC(box);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) pixels.push_back(::GetPixel(dc, x, y));
    ::ReleaseDC(box, dc);
    return pixels;
}

std::vector<COLORREF> IconPixels(HWND box) { return Pixels(box, RECT{10, 10, 42, 42}); }

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        main_ = new TSDIMainWindow(nullptr, "PelmiraAboutTest");
        main_->Execute();
        ASSERT_NE(main_->Handle, nullptr);
        State.MainWindow = main_;
        State.MainWindowHandle = main_->Handle;
        ::MoveWindow(State.MainWindowHandle, 100, 80, 330, 140, TRUE);
        State.IconList = std::make_unique<TIntegerList>();
        State.IconList->Add(reinterpret_cast<INT_PTR>(::LoadIconA(nullptr, IDI_INFORMATION)));
        State.IconList->Add(reinterpret_cast<INT_PTR>(::LoadIconA(nullptr, IDI_ERROR)));
        ::SetClassLongPtrA(State.MainWindowHandle, GCLP_HICON, State.IconList->Get(0));
        LoadLinkCursor();
    }

    void TearDown() override {
        if (::IsWindow(State.MainWindowHandle)) ::DestroyWindow(State.MainWindowHandle);
        State.MainWindow = nullptr;
        State.MainWindowHandle = nullptr;
        State.IconList.reset();
        FreeLinkCursor();
    }

    TSDIMainWindow* main_ = nullptr;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Opening and closing
// ---------------------------------------------------------------------------------------------

TEST_F(AboutBox, EscAndTheCloseBoxCloseWithHundredTheOkButtonWithOne) {
    EXPECT_EQ(RunAbout({[](HWND box) { PressKey(box, VK_ESCAPE); }}), kAboutCancelled);
    EXPECT_FALSE(AboutIsOpen());
    EXPECT_EQ(RunAbout({[](HWND box) { ::PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }}), kAboutCancelled);
    EXPECT_EQ(RunAbout({[](HWND box) {
                  const auto buttons = ChildrenOfClass(box, "Button");
                  ASSERT_EQ(buttons.size(), 1u);
                  EXPECT_EQ(TextOf(buttons[0]), "&OK");
                  ::PostMessageA(buttons[0], BM_CLICK, 0, 0);
              }}),
              kAboutClosedByOk);
    EXPECT_EQ(BoxTopLevelCount(), 0);
}

TEST_F(AboutBox, EnterAndOtherCommandsLeaveTheBoxOpen) {
    bool stillOpen = false;
    EXPECT_EQ(RunAbout({[](HWND box) { PressKey(box, VK_RETURN); },
                        [](HWND box) { ::SendMessageA(box, WM_COMMAND, IDOK, 0); },
                        [&](HWND box) {
                            stillOpen = ::IsWindowVisible(box) != FALSE;
                            PressKey(box, VK_ESCAPE);
                        }}),
              kAboutCancelled);
    EXPECT_TRUE(stillOpen);
}

TEST_F(AboutBox, AskedAgainWhileOpenItOnlyTakesTheFocus) {
    INT_PTR second = -1;
    HWND focusAfter = nullptr;
    bool inBox = false;
    int boxes = 0;
    const INT_PTR first = RunAbout({[&](HWND box) {
                                        EXPECT_TRUE(AboutIsOpen());
                                        ::SetFocus(nullptr);
                                        second = ShowAbout();
                                        focusAfter = ::GetFocus();
                                        inBox = focusAfter == box || ::IsChild(box, focusAfter);
                                        boxes = BoxTopLevelCount();
                                    },
                                    [](HWND box) { PressKey(box, VK_ESCAPE); }});
    EXPECT_EQ(second, 0) << "the second call returns at once";
    EXPECT_EQ(boxes, 1);
    EXPECT_NE(focusAfter, nullptr);
    EXPECT_TRUE(inBox) << "the box (or the control it keeps the focus on) has the focus";
    EXPECT_EQ(first, kAboutCancelled);
    EXPECT_FALSE(AboutIsOpen());
    // And it opens again afterwards.
    EXPECT_EQ(RunAbout({[](HWND box) { PressKey(box, VK_ESCAPE); }}), kAboutCancelled);
}

TEST_F(AboutBox, DestroyingTheMainWindowClosesTheBox) {
    RunAbout({[](HWND) { ::DestroyWindow(State.MainWindowHandle); }});
    EXPECT_FALSE(AboutIsOpen());
    EXPECT_EQ(AboutWindow(), nullptr);
    EXPECT_EQ(BoxTopLevelCount(), 0);
}

// ---------------------------------------------------------------------------------------------
// Layout measured from the texts
// ---------------------------------------------------------------------------------------------

// Label 1 is measured by its first line only, so a longer second line would be cut off; the
// version it shows is the build's.
TEST(AboutTexts, CopyrightLineShowsTheBuildVersionAndFitsUnderTheProductLine) {
    const std::string version = std::to_string(PELMIRA_VERSION_MAJOR) + "." + std::to_string(PELMIRA_VERSION_MINOR) +
                                "." + std::to_string(PELMIRA_VERSION_PATCH);
    EXPECT_NE(std::string(kAboutCopyrightLine).find(version), std::string::npos) << kAboutCopyrightLine;
    TAboutFont font;
    EXPECT_LE(font.Measure(kAboutCopyrightLine).cx, font.Measure(kAboutProductLine).cx);
}

TEST_F(AboutBox, ControlsAreAsLargeAsTheirTextsAndTheBoxAsWideAsTheHomePagePlusSeventy) {
    RunAbout({[](HWND box) {
                  TAboutFont font;
                  const SIZE ok = font.Measure("&OK");
                  const SIZE line1 = font.Measure(kAboutProductLine);
                  const SIZE link1 = font.Measure(kAboutHomePage);
                  const SIZE credit = font.Measure(kAboutCreditLine);
                  const SIZE link2 = font.Measure(kAboutFrameworkPage);

                  EXPECT_EQ(TextOf(box), "about..");
                  const auto style = static_cast<DWORD>(::GetWindowLongPtrA(box, GWL_STYLE));
                  const DWORD expected = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
                  EXPECT_EQ(style & expected, expected);

                  const RECT outer = WindowRectOf(box);
                  const int width = outer.right - outer.left;
                  const int height = outer.bottom - outer.top;
                  EXPECT_EQ(width, link1.cx + 70);

                  const auto edits = ChildrenOfClass(box, "Edit");
                  ASSERT_EQ(edits.size(), 2u);
                  EXPECT_EQ(TextOf(edits[0]), kAboutHomePage);
                  EXPECT_EQ(TextOf(edits[1]), kAboutFrameworkPage);
                  const RECT l1 = ChildRect(box, edits[0]);
                  const RECT l2 = ChildRect(box, edits[1]);
                  const int y1 = 10 + line1.cy + line1.cy / 2;
                  EXPECT_EQ(l1.left, 60);
                  EXPECT_EQ(l1.top, y1);
                  EXPECT_EQ(l1.right - l1.left, link1.cx);
                  EXPECT_EQ(l1.bottom - l1.top, link1.cy);
                  const int y2 = y1 + link1.cy + link1.cy / 2 + credit.cy;
                  EXPECT_EQ(l2.left, 60);
                  EXPECT_EQ(l2.top, y2);
                  EXPECT_EQ(l2.right - l2.left, link2.cx);
                  EXPECT_EQ(height, 3 * link2.cy + y2);

                  const RECT b = ChildRect(box, ChildrenOfClass(box, "Button").at(0));
                  EXPECT_EQ(b.right - b.left, ok.cx);
                  EXPECT_EQ(b.bottom - b.top, ok.cy);
                  EXPECT_EQ(b.left, width - ok.cx - 10);
                  EXPECT_EQ(b.top, height - ok.cy - 30);

                  // The links show the box's underlined font. (Without Times New Roman installed,
                  // as under Wine, the font keeps the system face.)
                  LOGFONTA want{};
                  ::GetObjectA(font.font.Font, sizeof want, &want);
                  for (HWND edit : edits) {
                      LOGFONTA lf{};
                      const auto f = reinterpret_cast<HFONT>(::SendMessageA(edit, WM_GETFONT, 0, 0));
                      ASSERT_NE(f, nullptr);
                      ::GetObjectA(f, sizeof lf, &lf);
                      EXPECT_STREQ(lf.lfFaceName, want.lfFaceName);
                      EXPECT_EQ(lf.lfHeight, want.lfHeight);
                      EXPECT_EQ(lf.lfWeight, FW_NORMAL);
                      EXPECT_EQ(lf.lfUnderline, 1);
                  }
                  PressKey(box, VK_ESCAPE);
              }});
}

TEST(AboutMeasure, LongTextsAreMeasuredWholeWithoutDividingByZero) {
    TAboutFont font;
    const SIZE shorter = font.Measure(std::string(200, 'x'));
    const SIZE at255 = font.Measure(std::string(255, 'x'));  // 255 + 1 would wrap to 0 in a byte
    const SIZE longer = font.Measure(std::string(400, 'x'));
    EXPECT_GT(at255.cx, shorter.cx);
    EXPECT_GT(longer.cx, at255.cx);
    EXPECT_EQ(longer.cy, shorter.cy);
}

// ---------------------------------------------------------------------------------------------
// Placement near the main window, kept on the screen
// ---------------------------------------------------------------------------------------------

TEST_F(AboutBox, OpensTwentyPixelsBelowAndRightOfTheMainWindowAndStaysOnTheScreen) {
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenH = ::GetSystemMetrics(SM_CYSCREEN);
    RECT seen{};
    auto note = [&](HWND box) {
        seen = WindowRectOf(box);
        PressKey(box, VK_ESCAPE);
    };

    RunAbout({note});
    EXPECT_EQ(seen.left, 120);
    EXPECT_EQ(seen.top, 100);

    ::MoveWindow(State.MainWindowHandle, screenW - 30, screenH - 30, 330, 140, TRUE);
    RunAbout({note});
    EXPECT_EQ(seen.right, screenW + 1) << "moved back to end at the screen's edge";
    EXPECT_EQ(seen.bottom, screenH + 1);

    ::MoveWindow(State.MainWindowHandle, -400, -300, 330, 140, TRUE);
    RunAbout({note});
    EXPECT_EQ(seen.left, 0);
    EXPECT_EQ(seen.top, 0);

    // A minimised main window: from its restored place.
    ::MoveWindow(State.MainWindowHandle, 200, 150, 330, 140, TRUE);
    ::ShowWindow(State.MainWindowHandle, SW_MINIMIZE);
    RunAbout({note});
    EXPECT_EQ(seen.left, 220);
    EXPECT_EQ(seen.top, 170);
}

// ---------------------------------------------------------------------------------------------
// Icon of the hook state, cursors
// ---------------------------------------------------------------------------------------------

TEST_F(AboutBox, SuspendWhileOpenSwapsTheIconAndRepaints) {
    std::vector<COLORREF> active, suspended, resumed;
    RunAbout({[&](HWND box) {
                  active = IconPixels(box);
                  UpdateAboutIcon(true);
                  suspended = IconPixels(box);
                  UpdateAboutIcon(false);
                  resumed = IconPixels(box);
                  PressKey(box, VK_ESCAPE);
              }});
    EXPECT_NE(active, suspended);
    EXPECT_EQ(active, resumed);
    UpdateAboutIcon(true);  // closed: nothing to repaint, nothing kept
    EXPECT_FALSE(AboutIsOpen());
}

TEST_F(AboutBox, LinksShowTheLinkCursorTheBoxAndOkButtonTheMainWindowsCursor) {
    ASSERT_NE(State.LinkCursor, nullptr);
    ASSERT_NE(State.LinkCursor, main_->Cursor);
    HCURSOR overLink = nullptr, overOk = nullptr, overBox = nullptr;
    RunAbout({[&](HWND box) {
                  const LPARAM mouse = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
                  ::SendMessageA(box, WM_SETCURSOR, (WPARAM)ChildrenOfClass(box, "Edit").at(1), mouse);
                  overLink = ::GetCursor();
                  ::SendMessageA(box, WM_SETCURSOR, (WPARAM)ChildrenOfClass(box, "Button").at(0), mouse);
                  overOk = ::GetCursor();
                  ::SendMessageA(box, WM_SETCURSOR, (WPARAM)ChildrenOfClass(box, "Edit").at(0), mouse);
                  ::SendMessageA(box, WM_SETCURSOR, (WPARAM)box, mouse);
                  overBox = ::GetCursor();
                  PressKey(box, VK_ESCAPE);
              }});
    EXPECT_EQ(overLink, State.LinkCursor);
    EXPECT_EQ(overOk, main_->Cursor);
    EXPECT_EQ(overBox, main_->Cursor);
}

TEST(LinkCursor, AMissingModuleOrCursorGivesNothingToCopy) {
    EXPECT_EQ(CopyModuleCursor("C:\\no such folder\\winhlp32.exe", 106), nullptr);
    EXPECT_EQ(CopyModuleCursor("kernel32.dll", 106), nullptr) << "a module without that cursor";
}

TEST(LinkCursor, ThereIsAlwaysACursorForTheLinks) {
    LoadLinkCursor();
    ASSERT_NE(State.LinkCursor, nullptr);
    char folder[MAX_PATH + 1] = {};
    ::GetWindowsDirectoryA(folder, sizeof folder);
    const HCURSOR viewer = CopyModuleCursor(std::string(folder) + "\\winhlp32.exe", 106);
    if (viewer == nullptr) {
        EXPECT_EQ(State.LinkCursor, ::LoadCursorA(nullptr, IDC_HAND)) << "no help viewer cursor: the system's hand";
    } else {
        EXPECT_NE(State.LinkCursor, ::LoadCursorA(nullptr, IDC_ARROW));
        ::DestroyCursor(viewer);
    }
    FreeLinkCursor();
    EXPECT_EQ(State.LinkCursor, nullptr);
}

TEST(Help, TheHelpFileIsLookedForBesideTheProgram) {
    State.ProgramFolder = "C:\\Tools\\Pelmira";
    EXPECT_EQ(HelpFilePath(), "C:\\Tools\\Pelmira\\brisanne.chm");
    State.ProgramFolder.clear();
}
