// Colours as clipboard text in a taken-over dialog: Ctrl+C copies the red, green and blue boxes as
// "#RRGGBB", Ctrl+V types any colour text back into them, and other text changes nothing.
#include "ClipboardText.h"
#include "DialogHarness.h"

using namespace harness;

namespace {

class ColorTextKeys : public TDialogSuite, public ::testing::WithParamInterface<TDialogKind> {
protected:
    static std::string Boxes(HWND dialog) {
        return BoxText(dialog, 706) + "," + BoxText(dialog, 707) + "," + BoxText(dialog, 708);
    }

    // Real key presses: the dialog reads Ctrl from the keyboard state, which a posted message
    // does not carry.
    static void CtrlKey(HWND dialog, WORD vk) {
        ::SetForegroundWindow(dialog);
        WaitFor([&] { return ::GetForegroundWindow() == dialog; }, 5000);
        INPUT in[4]{};
        const WORD keys[4] = {VK_CONTROL, vk, vk, VK_CONTROL};
        for (int i = 0; i < 4; ++i) {
            in[i].type = INPUT_KEYBOARD;
            in[i].ki.wVk = keys[i];
            in[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
        }
        ::SendInput(4, in, sizeof(INPUT));
    }

    static void Clip(const std::string& text) { ASSERT_TRUE(WriteClipboardText(nullptr, text)); }
    static std::string ClipText() { return ReadClipboardText(nullptr).value_or("<none>"); }
};

}  // namespace

TEST_P(ColorTextKeys, CopyAndPasteRoundTripAndOtherTextChangesNothing) {
    TClient client(GetParam(), "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);

    Clip("rgb(12, 34, 56)");
    CtrlKey(dialog, 'V');
    ASSERT_TRUE(WaitFor([&] { return Boxes(dialog) == "12,34,56"; })) << Boxes(dialog);

    Clip("something else");
    CtrlKey(dialog, 'C');
    EXPECT_TRUE(WaitFor([] { return ClipText() == "#0C2238"; })) << ClipText();

    Clip("#F80");
    CtrlKey(dialog, 'V');
    EXPECT_TRUE(WaitFor([&] { return Boxes(dialog) == "255,136,0"; })) << Boxes(dialog);

    // Back from the copied text: the round trip ends at the first colour.
    Clip("#0C2238");
    CtrlKey(dialog, 'V');
    EXPECT_TRUE(WaitFor([&] { return Boxes(dialog) == "12,34,56"; })) << Boxes(dialog);

    const std::string before = StatusText(dialog);
    Clip("not a colour 300,1,2");
    CtrlKey(dialog, 'V');
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog).find("no colour") != std::string::npos; }))
        << StatusText(dialog) << " (was " << before << ")";
    EXPECT_EQ(Boxes(dialog), "12,34,56");
    EXPECT_TRUE(::IsWindow(dialog));

    // With the focus in a number box a plain number is the box's own paste; a colour still fills
    // all three.
    HWND red = ::GetDlgItem(dialog, 706);
    ::PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(red), TRUE);  // focus, text selected
    Clip("200");
    CtrlKey(dialog, 'V');
    EXPECT_TRUE(WaitFor([&] { return BoxText(dialog, 706) == "200"; })) << Boxes(dialog);
    EXPECT_EQ(BoxText(dialog, 707) + "," + BoxText(dialog, 708), "34,56");
    Clip("#010203");
    CtrlKey(dialog, 'V');
    EXPECT_TRUE(WaitFor([&] { return Boxes(dialog) == "1,2,3"; })) << Boxes(dialog);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, ColorTextKeys, ::testing::Values(TDialogKind::StandIn, TDialogKind::Wine),
                         [](const ::testing::TestParamInfo<TDialogKind>& info) { return KindName(info.param); });
