// Menus, accelerators, message traps, drag-drop and fonts, on real windows of this process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UtilClass.h"

#include <shellapi.h>  // HDROP
#include <shlobj.h>    // DROPFILES

namespace {

LRESULT CALLBACK PlainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND NewWindow() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &PlainWndProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "CoreMenuTestWindow";
        return ::RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    return ::CreateWindowExA(0, "CoreMenuTestWindow", "menus", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr,
                             nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

struct Event {
    std::string who;
    UINT_PTR sender;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Event> gEvents;

template <int N>
void Record(TMessageRecord* m) {
    static const char* const names[] = {"command", "initmenu", "enterloop", "exitloop", "popup", "sub",
                                        "syscommand", "accelerator", "drop"};
    gEvents.push_back({names[N], m->Msg, m->WParam, m->LParam});
}
constexpr int kCommand = 0, kInitMenu = 1, kEnterLoop = 2, kExitLoop = 3, kPopup = 4, kSub = 5, kSys = 6,
              kAccel = 7, kDrop = 8;

std::vector<std::string> Who() {
    std::vector<std::string> who;
    for (const auto& e : gEvents) who.push_back(e.who);
    return who;
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        gEvents.clear();
        window_ = NewWindow();
        ASSERT_NE(window_, nullptr);
        // Make the dispatcher before counting: it lives for the whole program.
        delete new TSubClass(window_);
        baseline_ = TObject::LiveObjectCount();
    }
    void TearDown() override {
        if (::IsWindow(window_)) ::DestroyWindow(window_);
        EXPECT_EQ(TObject::LiveObjectCount(), baseline_);
    }
    HWND window_ = nullptr;
    long baseline_ = 0;
};

struct ScopedMenu {
    HMENU menu = ::CreatePopupMenu();
    ~ScopedMenu() { ::DestroyMenu(menu); }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Menu items
// ---------------------------------------------------------------------------------------------

TEST(MenuItems, InsertAppendsOrGoesBeforeACommand) {
    ScopedMenu m;
    EXPECT_TRUE(MenuInsertItem(m.menu, -1, "One", 1));
    EXPECT_TRUE(MenuInsertItem(m.menu, -1, "Two", 2));
    EXPECT_TRUE(MenuInsertItem(m.menu, 2, "Between", 3));
    EXPECT_TRUE(MenuInsertSeparator(m.menu, -1, 9));
    EXPECT_TRUE(MenuInsertRadioItem(m.menu, 1, "First", 4));
    ASSERT_EQ(::GetMenuItemCount(m.menu), 5);
    const UINT expected[] = {4, 1, 3, 2, 9};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(MenuItemIdAt(m.menu, i), expected[i]) << i;

    char text[32] = {};
    ::GetMenuStringA(m.menu, 3, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ(text, "Between");
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    ::GetMenuItemInfoA(m.menu, 4, FALSE, &info);
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    ::GetMenuItemInfoA(m.menu, 9, FALSE, &info);
    EXPECT_TRUE(info.fType & MFT_SEPARATOR);

    ScopedMenu sub;
    EXPECT_TRUE(MenuInsertSubmenu(m.menu, -1, "Sub", 10, sub.menu));
    EXPECT_EQ(::GetSubMenu(m.menu, 5), sub.menu);
    sub.menu = nullptr;  // now owned by m
}

TEST(MenuItems, GreyingKeepsTheCheckMark) {
    ScopedMenu m;
    MenuInsertItem(m.menu, -1, "Item", 7);
    EXPECT_FALSE(IsChecked(m.menu, 7));
    SetChecked(m.menu, 7, true);
    EXPECT_TRUE(IsChecked(m.menu, 7));

    SetEnabled(m.menu, 7, false);
    EXPECT_TRUE(MenuItemState(m.menu, 7) & MFS_GRAYED);
    EXPECT_TRUE(IsChecked(m.menu, 7));
    SetEnabled(m.menu, 7, true);
    EXPECT_EQ(MenuItemState(m.menu, 7) & (MFS_GRAYED | MFS_DISABLED), 0u);
    EXPECT_TRUE(IsChecked(m.menu, 7));

    SetChecked(m.menu, 7, false);
    EXPECT_FALSE(IsChecked(m.menu, 7));
    EXPECT_EQ(MenuItemState(m.menu, 99), 0u);  // no such item
    EXPECT_EQ(MenuItemIdAt(m.menu, 5), 0u);
}

// ---------------------------------------------------------------------------------------------
// Command routing: menu commands, accelerators, controls
// ---------------------------------------------------------------------------------------------

namespace {
void ResendAccelerator(TMessageRecord* m) {
    Record<kAccel>(m);
    reinterpret_cast<TAccelTable*>(m->Msg)->SendCommand(*m);
}
}  // namespace

TEST_F(MenuTest, MenuCommandsAcceleratorsAndControlsReachTheRightHandler) {
    auto* router = CreateMainMenu(window_, &Record<kCommand>);
    auto* accel = CreateAccelTable(window_, &ResendAccelerator);
    HWND button = ::CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 10, 10, window_, nullptr, nullptr, nullptr);

    // A control's notification reaches neither.
    ::SendMessageA(window_, WM_COMMAND, MAKEWPARAM(700, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    ::SendMessageA(window_, WM_COMMAND, MAKEWPARAM(700, 0), reinterpret_cast<LPARAM>(button));
    EXPECT_TRUE(gEvents.empty());

    // A menu command reaches only the router.
    ::SendMessageA(window_, WM_COMMAND, MAKEWPARAM(701, 0), 0);
    ASSERT_EQ(Who(), std::vector<std::string>{"command"});
    EXPECT_EQ(gEvents[0].sender, reinterpret_cast<UINT_PTR>(router));
    EXPECT_EQ(LOWORD(gEvents[0].wParam), 701);

    // An accelerator reaches the table, whose SendCommand turns it into a menu command.
    gEvents.clear();
    ::SendMessageA(window_, WM_COMMAND, MAKEWPARAM(702, 1), 0);
    ASSERT_EQ(Who(), (std::vector<std::string>{"accelerator", "command"}));
    EXPECT_EQ(gEvents[0].sender, reinterpret_cast<UINT_PTR>(accel));
    EXPECT_EQ(gEvents[1].wParam, MAKEWPARAM(702, 0));

    // The same through a real table and TranslateAcceleratorA.
    gEvents.clear();
    accel->AddKey(0, VK_F5, 706);
    HACCEL table = accel->Build();
    ASSERT_NE(table, nullptr);
    MSG key{window_, WM_KEYDOWN, VK_F5, 0x003F0001, 0, {0, 0}};
    EXPECT_TRUE(::TranslateAcceleratorA(window_, table, &key));
    ASSERT_EQ(Who(), (std::vector<std::string>{"accelerator", "command"}));
    EXPECT_EQ(gEvents[0].wParam, MAKEWPARAM(706, 1));
    EXPECT_EQ(gEvents[1].wParam, MAKEWPARAM(706, 0));
}

TEST_F(MenuTest, AcceleratorTableHoldsAtMostSixtyOneKeys) {
    auto* accel = CreateAccelTable(window_, nullptr);
    for (int i = 0; i < 70; ++i) accel->AddKey(FCONTROL, static_cast<WORD>('A' + i % 26), static_cast<WORD>(1000 + i));
    EXPECT_EQ(accel->AccelCount, TAccelTable::kMaxKeys);
    EXPECT_EQ(accel->AccelCount, 61);
    EXPECT_EQ(accel->Entries[60].cmd, 1060);
    EXPECT_EQ(accel->Entries[60].fVirt, FCONTROL | FVIRTKEY);

    HACCEL first = accel->Build();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(::CopyAcceleratorTableA(first, nullptr, 0), 61);
    HACCEL second = accel->Build();  // a rebuild replaces the table
    EXPECT_EQ(accel->AccelHandle, second);
    EXPECT_EQ(::CopyAcceleratorTableA(second, nullptr, 0), 61);
}

// ---------------------------------------------------------------------------------------------
// Menu objects
// ---------------------------------------------------------------------------------------------

TEST_F(MenuTest, PopupsAttachOnceAndTheRouterDestroysTheTree) {
    auto* router = CreateMainMenu(window_, &Record<kCommand>);
    router->OnInitMenu = &Record<kInitMenu>;
    router->OnEnterMenuLoop = &Record<kEnterLoop>;
    router->OnExitMenuLoop = &Record<kExitLoop>;
    auto* tray = CreatePopupMenuObject(window_, 300, &Record<kPopup>);
    tray->AppendItem("Always On &Top", 301);
    tray->AppendSeparator(501);
    auto* left = CreatePopupMenuObject(window_, 310, &Record<kSub>);
    for (UINT id = 311; id <= 316; ++id) left->AppendRadioItem("choice", id);
    EXPECT_TRUE(left->AttachTo(tray, -1, "&LeftClick"));
    EXPECT_FALSE(left->AttachTo(tray, -1, "&LeftClick"));  // only once
    tray->AppendItem("E&xit", 306);
    EXPECT_TRUE(tray->AttachTo(router, -1, "&Menu"));

    EXPECT_EQ(MenuItemIdAt(router->Menu, 0), 300u);
    EXPECT_EQ(::GetSubMenu(router->Menu, 0), tray->Menu);
    EXPECT_EQ(MenuItemIdAt(tray->Menu, 2), 310u);
    EXPECT_EQ(MenuItemIdAt(tray->Menu, 3), 306u);
    EXPECT_EQ(tray->AttachedTo, router->Menu);

    left->CheckRadio(311, 316, 313);
    EXPECT_TRUE(left->IsChecked(313));
    left->CheckRadio(311, 316, 315);
    EXPECT_FALSE(left->IsChecked(313));
    EXPECT_TRUE(left->IsChecked(315));
    tray->SetChecked(301, true);
    tray->SetEnabled(301, false);
    tray->SetEnabled(301, true);
    EXPECT_TRUE(tray->IsChecked(301));
    tray->RemoveItem(306);
    EXPECT_EQ(::GetMenuItemCount(tray->Menu), 3);

    // Menu notifications go to the object whose menu they name.
    ::SendMessageA(window_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(tray->Menu), 0);
    ::SendMessageA(window_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(left->Menu), 2);
    ::SendMessageA(window_, WM_INITMENU, reinterpret_cast<WPARAM>(router->Menu), 0);
    ::SendMessageA(window_, WM_INITMENU, reinterpret_cast<WPARAM>(tray->Menu), 0);
    ::SendMessageA(window_, WM_ENTERMENULOOP, 0, 0);
    ::SendMessageA(window_, WM_EXITMENULOOP, 0, 0);
    EXPECT_EQ(Who(), (std::vector<std::string>{"popup", "sub", "initmenu", "enterloop", "exitloop"}));
    EXPECT_EQ(gEvents[0].sender, reinterpret_cast<UINT_PTR>(tray));
    EXPECT_EQ(gEvents[1].sender, reinterpret_cast<UINT_PTR>(left));

    // SendCommand sends a menu command to the window, which the router hears.
    gEvents.clear();
    left->SendCommand(312);
    ASSERT_EQ(Who(), std::vector<std::string>{"command"});
    EXPECT_EQ(gEvents[0].wParam, MAKEWPARAM(312, 0));

    HMENU menus[] = {router->Menu, tray->Menu, left->Menu};
    ::DestroyWindow(window_);
    for (HMENU m : menus) EXPECT_FALSE(::IsMenu(m));
}

TEST_F(MenuTest, AFreePopupIsDestroyedWithItsObject) {
    auto* popup = CreatePopupMenuObject(window_, 600, nullptr);
    popup->AppendItem("&New", 601);
    HMENU menu = popup->Menu;
    EXPECT_TRUE(::IsMenu(menu));
    ::DestroyWindow(window_);
    EXPECT_FALSE(::IsMenu(menu));
}

TEST_F(MenuTest, WindowMenuAddsCommandsAndObservesEverySysCommand) {
    auto* sys = CreateWindowMenu(window_, &Record<kSys>);
    const int before = ::GetMenuItemCount(::GetSystemMenu(window_, FALSE));
    EXPECT_TRUE(sys->AppendSeparator(501));
    EXPECT_TRUE(sys->AppendItem("USE Task Tray(&I)", 325));
    EXPECT_EQ(::GetMenuItemCount(::GetSystemMenu(window_, FALSE)), before + 2);
    sys->SetChecked(325, true);
    EXPECT_TRUE(IsChecked(::GetSystemMenu(window_, FALSE), 325));

    ::SendMessageA(window_, WM_SYSCOMMAND, 325, 0);
    ::SendMessageA(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_EQ(Who(), (std::vector<std::string>{"syscommand", "syscommand"}));
    EXPECT_EQ(gEvents[0].sender, reinterpret_cast<UINT_PTR>(sys));
    EXPECT_EQ(gEvents[0].wParam, 325u);
    EXPECT_EQ(gEvents[1].wParam, static_cast<WPARAM>(SC_MINIMIZE));

    // The window's own procedure closes the window before the object would hear SC_CLOSE; the
    // freed object must not be called.
    gEvents.clear();
    ::SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindow(window_));
    EXPECT_TRUE(gEvents.empty());
}

namespace {
struct TrackProbe {
    RECT menuRect{};
    bool seen = false;
    bool choose = false;
};
TrackProbe gProbe;

void CALLBACK ProbeMenu(HWND, UINT, UINT_PTR id, DWORD) noexcept {
    HWND menu = ::FindWindowA("#32768", nullptr);
    if (menu == nullptr || !::IsWindowVisible(menu)) return;
    ::KillTimer(nullptr, id);
    gProbe.seen = true;
    ::GetWindowRect(menu, &gProbe.menuRect);
    if (gProbe.choose) {
        ::PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    } else {
        ::EndMenu();
    }
}

UINT TrackWithProbe(TAPopupMenu* popup, LPARAM position, bool choose) {
    gProbe = TrackProbe{};
    gProbe.choose = choose;
    ::SetTimer(nullptr, 0, 20, &ProbeMenu);
    TMessageRecord record{WM_CONTEXTMENU, 0, position, 0};
    return popup->Track(record);
}
}  // namespace

TEST_F(MenuTest, TrackOpensAtTheClickOrAtTheWindowCentre) {
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::SetForegroundWindow(window_);
    auto* popup = CreatePopupMenuObject(window_, 600, &Record<kPopup>);
    popup->AppendItem("&New", 601);
    popup->AppendItem("&ReName", 602);

    EXPECT_EQ(TrackWithProbe(popup, MAKELPARAM(150, 160), false), 0u);
    ASSERT_TRUE(gProbe.seen);
    EXPECT_EQ(gProbe.menuRect.left, 150);
    EXPECT_EQ(gProbe.menuRect.top, 160);

    RECT window{};
    ::GetWindowRect(window_, &window);
    EXPECT_EQ(TrackWithProbe(popup, -1, false), 0u);
    ASSERT_TRUE(gProbe.seen);
    EXPECT_EQ(gProbe.menuRect.left, (window.left + window.right) / 2);
    EXPECT_EQ(gProbe.menuRect.top, (window.top + window.bottom) / 2);

    // Screen coordinates are signed (a monitor left of the primary one): a point left of the screen
    // is pulled in at the left edge, not taken as a point 65,000 pixels to the right.
    EXPECT_EQ(TrackWithProbe(popup, MAKELPARAM(-40, 160), false), 0u);
    ASSERT_TRUE(gProbe.seen);
    EXPECT_EQ(gProbe.menuRect.left, ::GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(gProbe.menuRect.top, 160);

    // A choice is answered, not sent: no WM_COMMAND and (TPM_NONOTIFY) no init notification.
    gEvents.clear();
    EXPECT_EQ(TrackWithProbe(popup, MAKELPARAM(150, 160), true), 601u);
    EXPECT_TRUE(gEvents.empty());
}

// ---------------------------------------------------------------------------------------------
// Message traps
// ---------------------------------------------------------------------------------------------

namespace {
std::vector<std::string> gTraps;
void TrapA(TMessageRecord* m) {
    gTraps.push_back("A:" + std::to_string(m->Msg));
    m->Result = 3;
}
void TrapB(TMessageRecord* m) {
    gTraps.push_back("B:" + std::to_string(m->Msg));
    m->Result = 5;
}
void TrapC(TMessageRecord* m) { gTraps.push_back("C:" + std::to_string(m->Msg)); }
}  // namespace

TEST_F(MenuTest, TrapsOnOneMessageRunOnceEachInTheOrderAdded) {
    gTraps.clear();
    auto* trapper = new TMessageTrapper(window_);
    trapper->Trap(WM_KEYDOWN, &TrapA);
    trapper->Trap(WM_KEYUP, &TrapC);
    trapper->Trap(WM_KEYDOWN, nullptr);
    trapper->Trap(WM_KEYDOWN, &TrapB);
    EXPECT_EQ(trapper->TrapCount, 4);

    // The last non-zero Result becomes the window's answer.
    EXPECT_EQ(::SendMessageA(window_, WM_KEYDOWN, VK_RETURN, 0), 5);
    const std::string down = std::to_string(WM_KEYDOWN);
    EXPECT_EQ(gTraps, (std::vector<std::string>{"A:" + down, "B:" + down}));

    gTraps.clear();
    EXPECT_EQ(::SendMessageA(window_, WM_KEYUP, VK_RETURN, 0), 0);
    EXPECT_EQ(gTraps, std::vector<std::string>{"C:" + std::to_string(WM_KEYUP)});
}

// ---------------------------------------------------------------------------------------------
// Drag-drop
// ---------------------------------------------------------------------------------------------

namespace {
// A shell drop of `files` as the shell would hand it over: DROPFILES followed by the paths,
// each zero-terminated, ended by an empty one.
HDROP MakeDrop(const std::vector<std::string>& files) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const auto& f : files) size += f.size() + 1;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* p = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const auto& f : files) {
        memcpy(p, f.c_str(), f.size() + 1);
        p += f.size() + 1;
    }
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

std::vector<std::string> gDropped;
int gDropCount = 0;
void OnDrop(TMessageRecord* m) {
    auto* target = reinterpret_cast<TAPIDragDrop*>(m->Msg);
    ++gDropCount;
    gDropped.clear();
    for (int i = 0; i <= target->FileCount; ++i) gDropped.push_back(target->GetFile(i));
}
}  // namespace

TEST_F(MenuTest, ADropOfThreeFilesIsReportedOnceInOrder) {
    gDropCount = 0;
    auto* target = new TAPIDragDrop(window_);
    target->OnDrop = &OnDrop;
    EXPECT_TRUE(::GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    const std::vector<std::string> files{"C:\\palettes\\a.pli", "C:\\palettes\\sub dir\\b.pli", "D:\\c.pli"};
    ::SendMessageA(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
    EXPECT_EQ(gDropCount, 1);
    EXPECT_EQ(target->FileCount, 3);
    EXPECT_EQ(gDropped, (std::vector<std::string>{files[0], files[1], files[2], "index error"}));

    // Files holds the last drop only.
    ::SendMessageA(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({"E:\\x.pli"})), 0);
    EXPECT_EQ(gDropCount, 2);
    EXPECT_EQ(target->Files.Count(), 1);
    EXPECT_EQ(target->GetFile(0), "E:\\x.pli");

    delete target;  // the program may let go of the target before the window
    EXPECT_FALSE(::GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

// ---------------------------------------------------------------------------------------------
// Fonts
// ---------------------------------------------------------------------------------------------

namespace {
struct ScopedDC {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ~ScopedDC() { ::DeleteDC(dc); }
};

int CALLBACK TakeFace(const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM out) noexcept {
    auto* face = reinterpret_cast<std::string*>(out);
    if ((type & TRUETYPE_FONTTYPE) == 0 || lf->lfFaceName[0] == '@') return 1;
    *face = lf->lfFaceName;
    return 0;
}

// A TrueType face this system has (the fonts shipped vary between installations).
std::string SomeInstalledFace() {
    ScopedDC dc;
    std::string face;
    ::EnumFontFamiliesA(dc.dc, nullptr, &TakeFace, reinterpret_cast<LPARAM>(&face));
    return face;
}

LOGFONTA FontOf(HGDIOBJ font) {
    LOGFONTA lf{};
    ::GetObjectA(font, sizeof(lf), &lf);
    return lf;
}
}  // namespace

TEST(Fonts, DrawingFontSelectsAndRestores) {
    ScopedDC dc;
    const long before = TObject::LiveObjectCount();
    {
        TAPIGFont font;
        LOGFONTA system = FontOf(::GetStockObject(SYSTEM_FONT));
        EXPECT_EQ(font.FaceName, system.lfFaceName);
        EXPECT_EQ(font.Size, 12);

        // The face "System" leaves the device context alone.
        font.FaceName = "System";
        HGDIOBJ current = ::GetCurrentObject(dc.dc, OBJ_FONT);
        ::SetTextColor(dc.dc, RGB(1, 2, 3));
        font.SelectInto(dc.dc);
        EXPECT_EQ(font.Font, nullptr);
        EXPECT_EQ(::GetCurrentObject(dc.dc, OBJ_FONT), current);
        font.DeselectFrom(dc.dc);
        EXPECT_EQ(::GetTextColor(dc.dc), RGB(1, 2, 3));

        const std::string face = SomeInstalledFace();
        ASSERT_FALSE(face.empty());
        font.FaceName = face;
        font.Size = 20;
        font.Bold = true;
        font.Italic = true;
        font.TextColor = RGB(200, 10, 20);
        font.SelectInto(dc.dc);
        ASSERT_NE(font.Font, nullptr);
        EXPECT_EQ(::GetCurrentObject(dc.dc, OBJ_FONT), font.Font);
        EXPECT_EQ(::GetTextColor(dc.dc), RGB(200, 10, 20));
        LOGFONTA lf = FontOf(font.Font);
        EXPECT_EQ(lf.lfHeight, -::MulDiv(20, ::GetDeviceCaps(dc.dc, LOGPIXELSY), 72));
        EXPECT_EQ(lf.lfWeight, FW_BOLD);
        EXPECT_EQ(lf.lfItalic, 1);
        EXPECT_EQ(std::string(lf.lfFaceName), face);

        font.DeselectFrom(dc.dc);
        EXPECT_EQ(font.Font, nullptr);
        EXPECT_EQ(::GetCurrentObject(dc.dc, OBJ_FONT), current);
        EXPECT_EQ(::GetTextColor(dc.dc), RGB(0, 0, 0));
    }
    EXPECT_EQ(TObject::LiveObjectCount(), before);
}

TEST(Fonts, ControlFontIsBuiltForTheDisplayAndApplied) {
    const std::string face = SomeInstalledFace();
    ASSERT_FALSE(face.empty());
    TAPICFont font;
    font.FaceName = face;
    font.Size = 12;
    font.Bold = false;  // the stock system font it starts from is bold
    font.Underline = true;
    HFONT first = font.Build();
    ASSERT_NE(first, nullptr);
    LOGFONTA lf = FontOf(first);
    EXPECT_EQ(std::string(lf.lfFaceName), face);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);

    HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    font.ApplyTo(edit);
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(edit, WM_GETFONT, 0, 0)), first);
    ::DestroyWindow(edit);

    HFONT second = font.Build();  // the old font is deleted
    EXPECT_EQ(::GetObjectType(first), 0u);
    EXPECT_NE(::GetObjectType(second), 0u);

    // An unknown face keeps the system font's face with our size and style.
    TAPICFont unknown;
    const std::string systemFace = unknown.FaceName;
    unknown.FaceName = "No Such Face At All";
    unknown.Bold = true;
    lf = FontOf(unknown.Build());
    EXPECT_EQ(std::string(lf.lfFaceName), systemFace);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
}
