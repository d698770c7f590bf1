// A colour dialog opened by another program while the hook is installed: what it looks like
// once taken over, how it is counted, and the set-colour button's status texts.
#include "DialogHarness.h"
#include "TakenOverMarks.h"

using namespace harness;

namespace {

class TakeOver : public TDialogSuite, public ::testing::WithParamInterface<TDialogKind> {};

HWND ToolTipOf(DWORD pid) {
    const std::vector<HWND> tips =
        TopLevelWindows([pid](HWND w) { return ProcessOf(w) == pid && ClassOf(w) == TOOLTIPS_CLASSA; });
    return tips.empty() ? nullptr : tips.back();
}

bool Intersects(const RECT& a, const RECT& b) {
    RECT both;
    return ::IntersectRect(&both, &a, &b) != FALSE;
}

}  // namespace

TEST_P(TakeOver, DialogGetsTitleMarkPanelButtonsAndStatusBar) {
    TClient client(GetParam(), "--title \"Pick a colour\"");
    ASSERT_TRUE(client.Started());
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(lib_.ChkDialog(), 1);

    const std::string title = TextOf(dialog);
    if (GetParam() == TDialogKind::StandIn)
        EXPECT_EQ(title, "Pick a colour '");
    else
        EXPECT_EQ(title.substr(title.size() - 2), " '") << title;
    EXPECT_EQ(::GetPropA(dialog, "Ostvarin"), ::GetDlgItem(dialog, 720));

    HWND panel = PanelOf(dialog);
    ASSERT_NE(panel, nullptr);
    RECT client_{};
    ::GetClientRect(panel, &client_);
    EXPECT_EQ(client_.right, 120);
    EXPECT_EQ(client_.bottom, 14);
    // On the custom-colours caption: in the standard order that is the window after the basic
    // grid; in Wine's, where that window is the custom grid itself, the caption above the grid.
    HWND next = ::GetWindow(::GetDlgItem(dialog, 720), GW_HWNDNEXT);
    if (GetParam() == TDialogKind::StandIn) {
        EXPECT_EQ(::GetParent(panel), next);
    } else {
        EXPECT_EQ(::GetDlgCtrlID(next), 721);
        EXPECT_EQ(::GetParent(panel), ::GetDlgItem(dialog, 1089));
    }
    EXPECT_FALSE(Intersects(WindowRectOf(panel), WindowRectOf(::GetDlgItem(dialog, 721))))
        << "the panel must not cover custom cells";
    RECT onParent = WindowRectOf(panel);
    ::MapWindowPoints(nullptr, ::GetParent(panel), reinterpret_cast<POINT*>(&onParent), 2);
    // 110 pixels in, unless the caption's text reaches further: the stand-in's caption is in the
    // wider system font, and the panel then starts just right of the text.
    if (GetParam() == TDialogKind::StandIn)
        EXPECT_GE(onParent.left, 110);
    else
        EXPECT_EQ(onParent.left, 110);
    EXPECT_EQ(onParent.top, 0);

    HWND tip = ToolTipOf(client.Pid());
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 4);  // one tool per button

    ASSERT_NE(StatusBarOf(dialog), nullptr);
    EXPECT_EQ(StatusText(dialog), "");  // "default.pli" has no file name yet

    if (GetParam() == TDialogKind::Wine) {
        // Wine's plain dialog is 326 pixels high: "HookSize" (10) more now. (Its width is set by
        // the dialog's own initialisation, which runs after the take-over.)
        const RECT r = WindowRectOf(dialog);
        EXPECT_EQ(r.bottom - r.top, 336);
    }

    // The four buttons are drawn on the panel: each has its own raised edge, so the panel shows
    // a dark right edge of one button next to the light left edge of the next.
    const RECT p = WindowRectOf(panel);
    for (int b = 1; b < 4; ++b) {
        EXPECT_TRUE(WaitFor([&] {
            return ScreenPixel(POINT{p.left + 30 * b - 1, p.top + 7}) != ScreenPixel(POINT{p.left + 30 * b, p.top + 7});
        }, 5000)) << "edge between buttons " << b - 1 << " and " << b;
    }
    EXPECT_TRUE(WaitForSteadyImage(dialog));

    const std::string shots = ScreenshotFolder();
    EXPECT_TRUE(SaveWindowPicture(dialog, shots + "\\takeover_" + KindName(GetParam()) + ".bmp"));

    client.Close();
    ASSERT_TRUE(client.WaitForExit());
    EXPECT_TRUE(WaitFor([&] { return lib_.ChkDialog() == 0; }, 5000)) << "the count returns to 0";
}

TEST_P(TakeOver, ToolTipsShowTheirStatusTextAndPopBackToTheFileName) {
    TClient client(GetParam(), "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    HWND panel = PanelOf(dialog);
    const RECT p = WindowRectOf(panel);
    ::SetCursorPos(p.left + 75, p.top + 7);  // over the eyedropper
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog) == "Pick"; }, 10000)) << StatusText(dialog);
    const RECT d = WindowRectOf(dialog);
    ::SetCursorPos(d.left + 5, d.bottom - 5);
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog).empty(); }, 15000)) << StatusText(dialog);
}

TEST_P(TakeOver, SetColorReleasedOutsideTheDialogOnlyShowsMessageOne) {
    TClient client(GetParam(), "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(WaitForCells(dialog, AllWhite()), CellsText(AllWhite()));
    const RECT d = WindowRectOf(dialog);
    const POINT outside = d.left > 20 ? POINT{d.left - 10, d.top + 10} : POINT{d.right + 10, d.top + 10};
    ASSERT_TRUE(MovePointer(outside));
    ClickButton(PanelOf(dialog), 3);
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog) == "outside the dialog"; })) << StatusText(dialog);
    EXPECT_EQ(CellsText(CustomCells(dialog)), CellsText(AllWhite()));

    // Released on the button itself, inside the dialog: the picked colour is applied.
    const RECT p = WindowRectOf(PanelOf(dialog));
    ASSERT_TRUE(MovePointer(POINT{p.left + 105, p.top + 7}));
    ClickButton(PanelOf(dialog), 3);
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog) == "applied"; })) << StatusText(dialog);
}

// With the topmost option off a dialog opens as an ordinary window: not above the others, yet in
// front of them and active once it shows, like the host's dialog without the hook.
TEST_P(TakeOver, WithTheTopmostOptionOffADialogOpensInFrontAndActive) {
    {
        TBlockView block;
        ASSERT_TRUE(block);
        block->OnTop = 0;
    }
    TClient client(GetParam(), "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(::GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == dialog; }, 5000)) << "the dialog came up behind";
    const RECT d = WindowRectOf(dialog);
    const POINT centre{(d.left + d.right) / 2, (d.top + d.bottom) / 2};
    EXPECT_EQ(::GetAncestor(::WindowFromPoint(centre), GA_ROOT), dialog) << "another window covers the dialog";
}

TEST_P(TakeOver, ADialogOpenedAt253IsTakenOverWithoutBecomingAProbe) {
    const TTakenOverMarks elsewhere(253);  // the dialogs the count stands for
    {
        TBlockView block;
        ASSERT_TRUE(block);
        block->DialogCount = 253;
    }
    {
        TClient client(GetParam(), "");
        HWND dialog = client.WaitForTakenOverDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_NE(lib_.ChkDialog(), 254) << "a user's dialog must never make the next one a probe";
        // A second dialog now is a user's dialog too, not a probe to be destroyed.
        TClient second(GetParam(), "");
        ASSERT_TRUE(second.Started());
        HWND other = second.WaitForTakenOverDialog();
        EXPECT_NE(other, nullptr) << "the second dialog was destroyed as a probe";
        EXPECT_TRUE(::IsWindow(dialog));
        EXPECT_TRUE(::IsWindow(other));
    }
    // Neither dialog was counted, so closing them leaves the count where it stood.
    EXPECT_EQ(lib_.ChkDialog(), 253) << "an uncounted dialog lowered the count when it closed";
    TBlockView block;
    block->DialogCount = 0;
}

TEST_P(TakeOver, ADialogOutlivesTheHookThatExtendedIt) {
    TClient client(GetParam(), "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    lib_.RemoveHook();
    // The extended dialog keeps working: its panel still draws and presses, its timers run.
    HWND panel = PanelOf(dialog);
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const RECT d = WindowRectOf(dialog);
    ASSERT_TRUE(MovePointer(POINT{d.left + 5, d.top + 40}));
    ClickButton(panel, 3);
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog) == "applied"; })) << StatusText(dialog);
    client.Close();
    ASSERT_TRUE(client.WaitForExit());
    EXPECT_LE(client.ExitCode(), 1u) << "the client ended abnormally";
    ASSERT_EQ(lib_.SetHook(owner_), 1);
    TBlockView block;
    ASSERT_TRUE(block);
    SetBlockText(block->SettingsBase, settingsBase_);
    block->DialogCount = 0;
}

TEST_F(TDialogSuite, TheStatusBarFollowsTheDialogToItsFullWidth) {
    TClient client(TDialogKind::Wine, "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(WaitForSteadyImage(dialog));
    const RECT narrowBar = WindowRectOf(StatusBarOf(dialog));
    // "Define Custom Colors >>"
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(719, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, 719)));
    ASSERT_TRUE(WaitFor([&] { return WindowRectOf(dialog).right - WindowRectOf(dialog).left > narrowBar.right - narrowBar.left + 100; }));
    ASSERT_TRUE(WaitForSteadyImage(dialog));

    RECT c{};
    ::GetClientRect(dialog, &c);
    RECT bar = WindowRectOf(StatusBarOf(dialog));
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.right, c.right);
    EXPECT_EQ(bar.bottom, c.bottom) << "still at the bottom";

    // One empty part across the whole width: no frame left standing where the narrow bar ended.
    const RECT onScreen = WindowRectOf(StatusBarOf(dialog));
    const LONG y = (onScreen.top + onScreen.bottom) / 2;
    const COLORREF inside = ScreenPixel(POINT{onScreen.left + 40, y});
    for (LONG x = narrowBar.right - 6; x <= narrowBar.right + 2; ++x)
        EXPECT_EQ(ColorText(ScreenPixel(POINT{x, y})), ColorText(inside)) << "column " << x - onScreen.left;
}

INSTANTIATE_TEST_SUITE_P(Dialogs, TakeOver,
                         ::testing::Values(TDialogKind::StandIn, TDialogKind::Wine, TDialogKind::WineFullOpen),
                         [](const ::testing::TestParamInfo<TDialogKind>& info) { return KindName(info.param); });
