// One window holding one of each drawn and standard control, saved as a picture under the build
// tree (screenshots/controls.bmp) so that anyone can look at how they draw.
#include <gtest/gtest.h>

#include "Config.h"
#include "APIControl.h"
#include "GDIObject.h"
#include "ScreenPicture.h"
#include "WindowTestSupport.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kCells[8] = {RGB(255, 0, 0),   RGB(255, 160, 0), RGB(255, 255, 0), RGB(0, 160, 0),
                                RGB(0, 160, 255), RGB(0, 0, 200),   RGB(128, 0, 160), RGB(255, 255, 255)};

TEST(Showcase, EveryControlDrawnInOneWindow) {
    HWND window = CreateStageWindow("PelmiraShowcase", ButtonFaceBrush(), WS_EX_TOPMOST, "Pelmira controls",
                                    WS_POPUP | WS_CAPTION | WS_VISIBLE, 20, 20, 520, 330);
    ASSERT_NE(window, nullptr);

    // Drawn controls, left half.
    auto* speed = new TAPISpeedBtn(window);
    speed->SetBounds(10, 10, 90, 24);
    speed->SetCaption("Speed");
    auto* colour = new TAPIColorBtn(window);
    colour->SetBounds(110, 10, 90, 24);
    colour->SetColor(RGB(255, 240, 160));
    colour->SetCaption("Colour");
    auto* plus = new TVxPlusBtn(window);
    plus->SetBounds(10, 42, 90, 24);
    plus->SetColor(RGB(200, 230, 255));
    plus->DoubleEdge = true;
    plus->SetCaption("Plus");
    auto* disabled = new TVxPlusBtn(window);
    disabled->SetBounds(110, 42, 90, 24);
    disabled->Enabled = false;
    disabled->SetCaption("Disabled");
    std::vector<TVxrinkBtn*> cells;
    for (int i = 0; i < 8; ++i) {
        auto* cell = CreateVxrinkBtn(window, 10 + i * 25, 76, 23, 16, "", nullptr, nullptr, nullptr, i, EDGE_SUNKEN);
        cell->DoubleEdge = true;
        cell->SetColor(kCells[i]);
        cells.push_back(cell);
    }
    auto* label = CreateLabel(window, 10, 100, 190, 60, "TAPILabel: windowless text with word breaks");
    label->Framed = true;
    label->Font->FaceName = "Tahoma";
    label->Font->Size = 9;
    label->Font->TextColor = RGB(0, 0, 128);
    label->Repaint();
    auto* plain = new TAPILabel(window);
    plain->BackColor = ::GetSysColor(COLOR_BTNFACE);
    plain->SetBounds(10, 170, 190, 30);

    // Standard controls, right half, in a small face of their own.
    TAPICFont font;
    font.FaceName = "Tahoma";
    font.Size = 8;
    font.Build();
    std::vector<TAPIControl*> controls;
    controls.push_back(CreateButton(window, 220, 10, 80, 24, "&OK", nullptr));
    auto* check = CreateCheckBox(window, 310, 10, 100, 24, "Check box", nullptr);
    check->SetChecked(true);
    controls.push_back(check);
    auto* radio = NewControl<TAPIRadioButton>(window);
    radio->SetBounds(410, 10, 90, 24);
    radio->SetText("Radio");
    radio->SetChecked(true);
    controls.push_back(radio);
    for (int i = 0; i < 3; ++i) {
        auto* push = CreatePushRadio(window, 220 + i * 60, 42, 58, 24, std::string("Push ") + char('A' + i), 1, nullptr);
        if (i == 1) push->SetChecked(true);
        controls.push_back(push);
    }
    auto* link = CreateEditAbout(window, 410, 46, 90, 18);
    link->SetText("http://pelmira");
    controls.push_back(link);
    auto* memo = NewControl<TAPIMemo>(window);
    memo->SetBounds(220, 76, 135, 70);
    memo->SetText("TAPIMemo\r\nline 2\r\nline 3\r\nline 4\r\nline 5\r\nline 6");
    controls.push_back(memo);
    auto* next = CreateMemoNext(window, 365, 76, 135, 70, WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_BORDER, 0, 1);
    next->SetText("TAPIMemoNext");
    controls.push_back(next);
    auto* simple = NewControl<TAPISMPCombo>(window);
    simple->SetBounds(220, 156, 135, 90);
    for (const char* s : {"default.pli", "warm.pli", "cold.pli"}) simple->AddString(s);
    simple->SetCurSel(1);
    controls.push_back(simple);
    auto* dropDown = CreateDropDownCombo(window, 365, 156, 135, 120, nullptr);
    for (const char* s : {"TAPIDDCombo", "second", "third"}) dropDown->AddString(s);
    dropDown->SetCurSel(0);
    controls.push_back(dropDown);
    for (auto* control : controls) font.ApplyTo(control->Window);

    ::UpdateWindow(window);
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    // The drawn controls paint after the owner: wait until the last cell shows on the screen.
    ASSERT_TRUE(WaitFor([&] { return ScreenPixel(origin.x + 10 + 7 * 25 + 10, origin.y + 84) == kCells[7]; }));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ScreenPixel(origin.x + 10 + i * 25 + 10, origin.y + 84), kCells[i]) << "cell " << i;
    EXPECT_EQ(ScreenPixel(origin.x + 150, origin.y + 14), RGB(255, 240, 160));

    // The client area only: without a window manager nobody draws the caption.
    RECT client{};
    ::GetClientRect(window, &client);
    ::OffsetRect(&client, origin.x, origin.y);
    const std::string file = ScreenshotFolder() + "\\controls.bmp";
    EXPECT_TRUE(SaveScreenPicture(client, file)) << file;
    ::DestroyWindow(window);
}

}  // namespace
