// Common controls with real windows: status bar, tool tips, menu help and the list view with its
// label editing and column sort.
#include <gtest/gtest.h>

#include "APIControl.h"
#include "CmCtrl.h"
#include "WindowTestSupport.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------------------------

// Destroying or hiding a top-level window costs Wine about two seconds under Xvfb (it waits for
// the X server), so every test works in a child of one host window that lives as long as the
// program.
HWND Host() {
    static HWND host = nullptr;
    if (host == nullptr) {
        host = CreateStageWindow("CmCtrlTestParent", ButtonFaceBrush(), 0, "cmctrl",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 640, 480);
        ::SetForegroundWindow(host);
    }
    return host;
}

HWND MakeParent(int width = 400, int height = 300) {
    return ::CreateWindowExA(0, "CmCtrlTestParent", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width,
                             height, Host(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

// Destroys the parent at the end of a test; the framework frees the objects on it.
struct ParentWindow {
    HWND hwnd;
    explicit ParentWindow(int width = 400, int height = 300) : hwnd(MakeParent(width, height)) {}
    ~ParentWindow() {
        if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
        Pump();
    }
    operator HWND() const { return hwnd; }
};

// Records every message sent to one window (a thread hook sees them before the window does).
struct SentMessageSpy {
    static inline HWND target = nullptr;
    static inline std::vector<MSG> seen;
    HHOOK hook;
    explicit SentMessageSpy(HWND window) {
        target = window;
        seen.clear();
        hook = ::SetWindowsHookExA(WH_CALLWNDPROC, Proc, nullptr, ::GetCurrentThreadId());
    }
    ~SentMessageSpy() { ::UnhookWindowsHookEx(hook); }
    static LRESULT CALLBACK Proc(int code, WPARAM w, LPARAM l) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(l);
        if (code == HC_ACTION && m->hwnd == target) seen.push_back(MSG{m->hwnd, m->message, m->wParam, m->lParam, 0, {}});
        return ::CallNextHookEx(nullptr, code, w, l);
    }
    int Count(UINT message) const {
        int n = 0;
        for (const MSG& m : seen) n += m.message == message ? 1 : 0;
        return n;
    }
};

// Callback journal: every callback below appends what it saw.
struct Call {
    std::string name;
    TMessageRecord record;
    NMHDR header;  // the notification's header, read while it was alive
};
std::vector<Call> gCalls;
void Record(const char* name, TMessageRecord* r) { gCalls.push_back({name, *r, {}}); }
void RecordNotify(const char* name, TMessageRecord* r) {
    gCalls.push_back({name, *r, *reinterpret_cast<const NMHDR*>(r->LParam)});
}
int CallsNamed(const std::string& name) {
    int n = 0;
    for (const Call& c : gCalls) n += c.name == name ? 1 : 0;
    return n;
}

LRESULT SendNotify(HWND parent, HWND from, UINT code, int id = 0) {
    NMHDR header = {from, static_cast<UINT_PTR>(id), code};
    return ::SendMessageA(parent, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header));
}

// The simple pane's text. Wine answers SB_GETTEXTA for part 255 with nothing; while the bar is
// simple it answers for part 0 with the simple text.
std::string SimpleText(HWND bar) {
    char buffer[128] = {};
    ::SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

bool IsSimple(HWND bar) { return ::SendMessageA(bar, SB_ISSIMPLE, 0, 0) != 0; }

RECT ClientRectOf(HWND w) {
    RECT r;
    ::GetClientRect(w, &r);
    return r;
}

RECT RectInParent(HWND child) {
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Ids and lifetime
// ---------------------------------------------------------------------------------------------

TEST(CommonControlIds, StartAt1000AndEveryCreationTakesOneIncludingToolTips) {
    ASSERT_EQ(NextCommonControlID, 1000) << "this test must run before any common control is made";
    ParentWindow parent;
    auto* bar = NewControl<TAPIStatusBar>(parent.hwnd);
    auto* tip = NewControl<TToolTip>(parent.hwnd);
    auto* list = NewControl<TAPIListView>(parent.hwnd);
    EXPECT_EQ(bar->ID, 1000);
    EXPECT_EQ(tip->ID, 1001);
    EXPECT_EQ(list->ID, 1002);
    EXPECT_EQ(NextCommonControlID, 1003);
    // The windows that have an id carry it; the tool tip is a pop-up without one.
    EXPECT_EQ(::GetDlgCtrlID(bar->Window), 1000);
    EXPECT_EQ(::GetDlgCtrlID(list->Window), 1002);
    // Standard controls count on their own.
    const int standard = NextControlID;
    NewControl<TAPIButton>(parent.hwnd);
    EXPECT_EQ(NextControlID, standard + 1);
    EXPECT_EQ(NextCommonControlID, 1003);
}

TEST(CommonControlLifetime, ParentDestructionFreesObjectsAndTheirWindows) {
    const long before = TObject::LiveObjectCount();
    HWND parent = MakeParent();
    auto* bar = CreateStatusBar(parent, false);
    auto* tip = NewControl<TToolTip>(parent);
    auto* list = CreateListView(parent, 0, 0, 100, 100, nullptr);
    auto* help = new TMenuHelp(parent);
    help->StatusWindow = bar->Window;
    HWND windows[] = {bar->Window, tip->Window, list->Window};
    for (HWND w : windows) ASSERT_TRUE(::IsWindow(w));
    ::DestroyWindow(parent);
    Pump();
    for (HWND w : windows) EXPECT_FALSE(::IsWindow(w));
    EXPECT_EQ(TObject::LiveObjectCount(), before);
}

TEST(CommonControlLifetime, FreeingEarlyDestroysTheControlWindowAndStopsEvents) {
    ParentWindow parent;
    auto* bar = NewControl<TAPIStatusBar>(parent.hwnd);
    HWND barWindow = bar->Window;
    bar->OnClick = [](TMessageRecord* r) { Record("click", r); };
    delete bar;
    EXPECT_FALSE(::IsWindow(barWindow));
    gCalls.clear();
    SendNotify(parent, barWindow, NM_CLICK);
    EXPECT_TRUE(gCalls.empty());
}

// ---------------------------------------------------------------------------------------------
// Status bar
// ---------------------------------------------------------------------------------------------

TEST(StatusBar, DocksAtTheBottomOrTheTopAndMovesAtOnce) {
    ParentWindow parent;
    auto* bar = CreateStatusBar(parent.hwnd, false);
    const RECT client = ClientRectOf(parent);
    RECT r = RectInParent(bar->Window);
    EXPECT_FALSE(bar->AtTop);
    EXPECT_EQ(r.bottom, client.bottom);
    EXPECT_EQ(r.right - r.left, client.right);

    bar->SetAtTop(true);
    r = RectInParent(bar->Window);
    EXPECT_TRUE(bar->AtTop);
    EXPECT_EQ(r.top, 0);
    ::SetWindowPos(parent, nullptr, 0, 0, 380, 250, SWP_NOMOVE | SWP_NOZORDER);
    r = RectInParent(bar->Window);
    EXPECT_EQ(r.top, 0) << "stays at the top when the parent is resized";
    EXPECT_EQ(r.right - r.left, 380);

    bar->SetAtTop(false);
    r = RectInParent(bar->Window);
    EXPECT_EQ(r.bottom, ClientRectOf(parent).bottom);
    EXPECT_EQ(::GetWindowLongA(bar->Window, GWL_STYLE) & CCS_TOP, 0);
}

TEST(StatusBar, FollowsTheParentsWidthAndReportsRealSizes) {
    ParentWindow parent;
    auto* bar = CreateStatusBar(parent.hwnd, false);
    bar->OnSize = [](TMessageRecord* r) { Record("size", r); };
    gCalls.clear();
    ::SetWindowPos(parent, nullptr, 0, 0, 500, 260, SWP_NOMOVE | SWP_NOZORDER);
    const RECT client = ClientRectOf(parent);
    const RECT r = RectInParent(bar->Window);
    EXPECT_EQ(r.right - r.left, client.right);
    EXPECT_EQ(r.bottom, client.bottom);
    ASSERT_EQ(CallsNamed("size"), 1);
    EXPECT_EQ(gCalls[0].record.Msg, reinterpret_cast<UINT_PTR>(bar));
    EXPECT_EQ(LOWORD(gCalls[0].record.LParam), client.right);

    // A WM_SIZE without a size (what Relayout sends) is not reported.
    gCalls.clear();
    ::SendMessageA(parent, WM_SIZE, 0, 0);
    EXPECT_EQ(CallsNamed("size"), 0);
}

TEST(StatusBar, TextsGoToTheirPartsWithThePartsBorderStyle) {
    ParentWindow parent;
    auto* bar = CreateStatusBar(parent.hwnd, false);
    int edges[] = {100, 200, -1};
    ::SendMessageA(bar->Window, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    bar->PartStyles[1] = 1;
    bar->PartStyles[2] = 2;
    bar->SetText(0, "zero");
    bar->SetText(1, "one");
    bar->SetText(2, "two");

    auto text = [&](int part) {
        char buffer[64] = {};
        ::SendMessageA(bar->Window, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(buffer));
        return std::string(buffer);
    };
    auto style = [&](int part) {
        return HIWORD(::SendMessageA(bar->Window, SB_GETTEXTLENGTHA, part, 0));
    };
    EXPECT_EQ(text(0), "zero");
    EXPECT_EQ(text(1), "one");
    EXPECT_EQ(text(2), "two");
    EXPECT_EQ(style(0), 0);
    EXPECT_EQ(style(1), SBT_NOBORDERS);
    EXPECT_EQ(style(2), SBT_POPOUT);

    // Part numbers outside 0..9 and other than 255 are ignored; 10 would otherwise address
    // part 0 with the SBT_NOBORDERS-free flags of some other part.
    bar->SetText(10, "ten");
    bar->SetText(-1, "minus");
    bar->SetText(256, "256");
    EXPECT_EQ(text(0), "zero");
    EXPECT_EQ(text(1), "one");
    EXPECT_EQ(text(2), "two");
}

TEST(StatusBar, Part255IsTheSimpleModeText) {
    ParentWindow parent;
    auto* bar = CreateStatusBar(parent.hwnd, false);
    bar->SetText(0, "normal");
    ::SendMessageA(bar->Window, SB_SIMPLE, TRUE, 0);
    bar->SetText(SB_SIMPLEID, "simple");
    EXPECT_EQ(SimpleText(bar->Window), "simple");
    ::SendMessageA(bar->Window, SB_SIMPLE, FALSE, 0);
    char buffer[64] = {};
    ::SendMessageA(bar->Window, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buffer));
    EXPECT_STREQ(buffer, "normal");
}

TEST(StatusBar, ReportsItsOwnMouseNotificationsOnly) {
    ParentWindow parent;
    auto* bar = CreateStatusBar(parent.hwnd, false);
    auto* other = CreateStatusBar(parent.hwnd, true);
    bar->OnClick = [](TMessageRecord* r) { RecordNotify("click", r); };
    bar->OnDblClick = [](TMessageRecord* r) { RecordNotify("dblclick", r); };
    bar->OnRClick = [](TMessageRecord* r) { RecordNotify("rclick", r); };
    bar->OnRDblClick = [](TMessageRecord* r) { RecordNotify("rdblclick", r); };
    gCalls.clear();

    // Real mouse messages on the bar: the bar itself sends the notifications to the parent.
    ::SendMessageA(bar->Window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ::SendMessageA(bar->Window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
    ::SendMessageA(bar->Window, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    ::SendMessageA(bar->Window, WM_RBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
    ::SendMessageA(other->Window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(gCalls.size(), 4u);
    EXPECT_EQ(gCalls[0].name, "click");
    EXPECT_EQ(gCalls[1].name, "dblclick");
    EXPECT_EQ(gCalls[2].name, "rclick");
    EXPECT_EQ(gCalls[3].name, "rdblclick");
    for (const Call& c : gCalls) {
        EXPECT_EQ(c.record.Msg, reinterpret_cast<UINT_PTR>(bar));
        EXPECT_EQ(c.header.hwndFrom, bar->Window);
    }
}

TEST(StatusBar, ReportsSimpleModeChanges) {
    ParentWindow parent;
    auto* bar = CreateStatusBar(parent.hwnd, false);
    bar->OnSimpleModeChange = [](TMessageRecord* r) { Record("simple", r); };
    gCalls.clear();
    ::SendMessageA(bar->Window, SB_SIMPLE, TRUE, 0);
    ::SendMessageA(bar->Window, SB_SIMPLE, FALSE, 0);
    EXPECT_EQ(CallsNamed("simple"), 2);
}

// ---------------------------------------------------------------------------------------------
// Tool tips
// ---------------------------------------------------------------------------------------------

TEST(ToolTip, RegistersControlsWithWindowsAndRecordsEveryObject) {
    ParentWindow parent;
    auto* tip = NewControl<TToolTip>(parent.hwnd);
    auto* button = CreateButton(parent.hwnd, 10, 10, 80, 24, "Press", nullptr);
    auto* bar = CreateStatusBar(parent.hwnd, false);
    TIntegerList notAControl;

    EXPECT_NE(tip->AddTool(button, "the button"), 0);
    EXPECT_NE(tip->AddTool(bar, "the bar"), 0);
    EXPECT_EQ(tip->AddTool(&notAControl, "nothing"), 0);

    EXPECT_EQ(tip->ToolCount(), 2);
    EXPECT_EQ(tip->ToolId(0), reinterpret_cast<UINT_PTR>(button->Window));
    EXPECT_EQ(tip->ToolId(1), reinterpret_cast<UINT_PTR>(bar->Window));
    EXPECT_EQ(tip->ToolId(2), 0u);
    ASSERT_EQ(tip->Tools.Count(), 3);
    EXPECT_EQ(tip->Tools.Get(0), reinterpret_cast<INT_PTR>(button));
    EXPECT_EQ(tip->Tools.Get(2), reinterpret_cast<INT_PTR>(&notAControl));

    // The tool is registered on the control's parent with its window as id, and the tip keeps its
    // own copy of the text.
    char text[80] = {};
    TOOLINFOA info = {};
    info.cbSize = kToolInfoSize;
    info.hwnd = parent.hwnd;
    info.uId = reinterpret_cast<UINT_PTR>(button->Window);
    info.lpszText = text;
    ASSERT_NE(::SendMessageA(tip->Window, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), static_cast<UINT>(TTF_IDISHWND | TTF_SUBCLASS));
    ::SendMessageA(tip->Window, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, "the button");
}

TEST(ToolTip, SetActiveSendsOnlyChanges) {
    ParentWindow parent;
    auto* tip = NewControl<TToolTip>(parent.hwnd);
    SentMessageSpy spy(tip->Window);
    tip->SetActive(true);  // right after creation: already active
    EXPECT_EQ(spy.Count(TTM_ACTIVATE), 0);
    tip->SetActive(false);
    tip->SetActive(false);
    EXPECT_EQ(spy.Count(TTM_ACTIVATE), 1);
    EXPECT_FALSE(tip->Active);
    tip->SetActive(true);
    ASSERT_EQ(spy.Count(TTM_ACTIVATE), 2);
    EXPECT_EQ(spy.seen.back().wParam, static_cast<WPARAM>(TRUE));
}

TEST(ToolTip, ShowAndPopReachTheCallbacksWithTheCurrentTool) {
    ParentWindow parent;
    auto* tip = NewControl<TToolTip>(parent.hwnd);
    auto* button = CreateButton(parent.hwnd, 10, 10, 120, 40, "Hover", nullptr);
    tip->AddTool(button, "hover text");
    ::SendMessageA(tip->Window, TTM_SETDELAYTIME, TTDT_INITIAL, 1);
    static UINT_PTR currentAtShow;
    static TToolTip* theTip;
    currentAtShow = 0;
    theTip = tip;
    tip->OnShow = [](TMessageRecord* r) {
        Record("show", r);
        TOOLINFOA info;
        if (theTip->GetCurrentTool(info)) currentAtShow = info.uId;
    };
    tip->OnPop = [](TMessageRecord* r) { Record("pop", r); };
    gCalls.clear();

    // Move the real cursor onto the button: the tip watches the button's mouse messages.
    RECT r;
    ::GetWindowRect(button->Window, &r);
    ::SetCursorPos(r.left + 5, r.top + 5);
    ::SetCursorPos(r.left + 10, r.top + 10);
    ASSERT_TRUE(WaitFor([] { return CallsNamed("show") > 0; })) << "the tip never showed";
    EXPECT_EQ(gCalls.back().record.Msg, reinterpret_cast<UINT_PTR>(tip));
    EXPECT_EQ(currentAtShow, reinterpret_cast<UINT_PTR>(button->Window));

    ::SendMessageA(tip->Window, TTM_POP, 0, 0);
    EXPECT_TRUE(WaitFor([] { return CallsNamed("pop") > 0; }));
    ::SetCursorPos(0, 0);
}

TEST(ToolTip, IgnoresNotificationsFromOtherWindows) {
    ParentWindow parent;
    auto* tip = NewControl<TToolTip>(parent.hwnd);
    auto* other = NewControl<TToolTip>(parent.hwnd);
    tip->OnShow = [](TMessageRecord* r) { Record("show", r); };
    tip->OnPop = [](TMessageRecord* r) { Record("pop", r); };
    gCalls.clear();
    SendNotify(parent, other->Window, TTN_SHOW);
    SendNotify(parent, other->Window, TTN_POP);
    EXPECT_TRUE(gCalls.empty());
    SendNotify(parent, tip->Window, TTN_SHOW);
    SendNotify(parent, tip->Window, TTN_POP);
    EXPECT_EQ(CallsNamed("show"), 1);
    EXPECT_EQ(CallsNamed("pop"), 1);
}

// ---------------------------------------------------------------------------------------------
// Menu help
// ---------------------------------------------------------------------------------------------

namespace {

struct MenuTour {
    static inline HWND bar = nullptr;
    static inline std::vector<std::string> texts;
    static inline std::vector<bool> simple;
    static inline int step = 0;
};

// Runs inside the modal menu loop of TrackPopupMenu: one key per tick, noting what the status
// bar shows after each.
void CALLBACK MenuTourTick(HWND, UINT, UINT_PTR, DWORD) {
    MenuTour::simple.push_back(IsSimple(MenuTour::bar));
    MenuTour::texts.push_back(SimpleText(MenuTour::bar));
    HWND menuWindow = ::FindWindowA("#32768", nullptr);
    if (MenuTour::step < 3 && menuWindow != nullptr) {
        ::PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
    } else if (MenuTour::step >= 3) {
        ::EndMenu();
    }
    ++MenuTour::step;
}

}  // namespace

TEST(MenuHelp, ShowsHelpTextsWhileAMenuIsOpenAndRestoresTheParts) {
    ParentWindow parent;
    auto* bar = CreateStatusBar(parent.hwnd, false);
    bar->SetText(0, "status");
    auto* help = new TMenuHelp(parent.hwnd);
    help->StatusWindow = bar->Window;
    help->CommandIds.Add(101);
    help->HelpTexts.Add("Opens a palette");
    help->CommandIds.Add(102);
    help->HelpTexts.Add("Saves the palette");

    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuA(menu, MF_STRING, 101, "Open");
    ::AppendMenuA(menu, MF_STRING, 102, "Save");
    ::AppendMenuA(menu, MF_STRING, 103, "No help here");

    MenuTour::bar = bar->Window;
    MenuTour::texts.clear();
    MenuTour::simple.clear();
    MenuTour::step = 0;
    ::SendMessageA(bar->Window, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>("before"));
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, MenuTourTick);
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, 100, 100, 0, parent.hwnd, nullptr);
    ::KillTimer(nullptr, timer);
    ::DestroyMenu(menu);

    ASSERT_GE(MenuTour::texts.size(), 4u);
    EXPECT_TRUE(MenuTour::simple[0]);
    EXPECT_EQ(MenuTour::texts[1], "Opens a palette");
    EXPECT_EQ(MenuTour::texts[2], "Saves the palette");
    EXPECT_EQ(MenuTour::texts[3], "Saves the palette") << "a command without help keeps the text";
    EXPECT_FALSE(IsSimple(bar->Window));
    char buffer[64] = {};
    ::SendMessageA(bar->Window, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buffer));
    EXPECT_STREQ(buffer, "status");
}

TEST(MenuHelp, SubmenuItemsAreLookedUpByPositionAndAClosedMenuChangesNothing) {
    ParentWindow parent;
    auto* bar = CreateStatusBar(parent.hwnd, false);
    auto* help = new TMenuHelp(parent.hwnd);
    help->StatusWindow = bar->Window;
    help->CommandIds.Add(77);
    help->HelpTexts.Add("More commands");
    help->CommandIds.Add(1);
    help->HelpTexts.Add("position one, not an id");

    HMENU sub = ::CreatePopupMenu();
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuA(menu, MF_STRING, 5, "First");
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "More");
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID;
    info.wID = 77;
    ASSERT_TRUE(::SetMenuItemInfoA(menu, 1, TRUE, &info));

    ::SendMessageA(parent, WM_ENTERMENULOOP, TRUE, 0);
    ::SendMessageA(bar->Window, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>("before"));
    ::SendMessageA(parent, WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP | MF_HILITE), reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(SimpleText(bar->Window), "More commands");
    ::SendMessageA(parent, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(SimpleText(bar->Window), "More commands");
    ::SendMessageA(parent, WM_EXITMENULOOP, FALSE, 0);
    EXPECT_FALSE(IsSimple(bar->Window));
    ::DestroyMenu(menu);
}

// ---------------------------------------------------------------------------------------------
// List view
// ---------------------------------------------------------------------------------------------

TEST(ColumnTexts, NumbersAscendAndTextsDescendInDirectionOne) {
    EXPECT_LT(CompareColumnTexts("2", "10", true, 1), 0);
    EXPECT_GT(CompareColumnTexts("10", "2", true, 1), 0);
    EXPECT_GT(CompareColumnTexts("2", "10", true, 2), 0);
    EXPECT_LT(CompareColumnTexts("-5", "3", true, 1), 0);
    EXPECT_EQ(CompareColumnTexts("007", "7", true, 1), 0);

    EXPECT_GT(CompareColumnTexts("apple", "pear", false, 1), 0);
    EXPECT_LT(CompareColumnTexts("apple", "pear", false, 2), 0);
    EXPECT_EQ(CompareColumnTexts("same", "same", false, 1), 0);
    // Byte order, not the locale: capitals before small letters, high bytes last.
    EXPECT_LT(CompareColumnTexts("Zebra", "apple", false, 2), 0);
    EXPECT_LT(CompareColumnTexts("z", "\xE9", false, 2), 0);
}

TEST(ColumnTexts, TextThatIsNoNumberCountsAsItsNumericPrefix) {
    EXPECT_EQ(CompareColumnTexts("", "0", true, 1), 0);
    EXPECT_EQ(CompareColumnTexts("abc", "0", true, 1), 0);
    EXPECT_EQ(CompareColumnTexts("12kB", "12", true, 1), 0);
    EXPECT_LT(CompareColumnTexts("abc", "1", true, 1), 0);
    EXPECT_LT(CompareColumnTexts("99999999999999999999", "1", true, 2), 0);
}

namespace {

struct ListFixture : ::testing::Test {
    ParentWindow parent{500, 400};
    TAPIListView* list = nullptr;

    void SetUp() override {
        list = CreateListView(parent.hwnd, 10, 10, 400, 300, nullptr);
        gCalls.clear();
    }

    void Fill(const std::vector<std::vector<std::string>>& rows) {
        for (size_t i = 0; i < rows.size(); ++i)
            for (size_t c = 0; c < rows[i].size(); ++c)
                list->SetItem(static_cast<int>(c), static_cast<int>(i), rows[i][c]);
    }

    std::vector<std::string> ColumnTexts(int column) {
        std::vector<std::string> texts;
        for (int i = 0; i < list->ItemCount(); ++i) texts.push_back(list->GetItemText(i, column));
        return texts;
    }

    // A real click on a column header: the header tells the list, the list tells its parent.
    void ClickHeader(int column) {
        HWND header = reinterpret_cast<HWND>(::SendMessageA(list->Window, LVM_GETHEADER, 0, 0));
        RECT r = {};
        ::SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageA(header, WM_LBUTTONUP, 0, at);
        Pump();
    }

    bool IsSelected(int row) {
        return ::SendMessageA(list->Window, LVM_GETITEMSTATE, row, LVIS_SELECTED) != 0;
    }
};

WPARAM gColumnClickAnswer = 0;
TColumnClickBlock gLastBlock;
int gClickedSubItem = -1;
void AnswerColumnClick(TMessageRecord* r) {
    gLastBlock = *reinterpret_cast<TColumnClickBlock*>(r);
    gClickedSubItem = reinterpret_cast<const NMLISTVIEW*>(r->LParam)->iSubItem;
    Record("column", r);
    r->WParam = gColumnClickAnswer;
}

}  // namespace

TEST_F(ListFixture, FullRowSelectionIsOffOnlyWhileEditing) {
    auto exStyle = [&] { return static_cast<DWORD>(::SendMessageA(list->Window, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)); };
    EXPECT_EQ(exStyle() & 0x30, 0x30u);
    list->SetEditMode(true);
    EXPECT_EQ(exStyle() & LVS_EX_FULLROWSELECT, 0u);
    EXPECT_NE(exStyle() & LVS_EX_HEADERDRAGDROP, 0u);
    list->SetEditMode(false);
    EXPECT_EQ(exStyle() & 0x30, 0x30u);
}

TEST_F(ListFixture, ColumnsRowsAndTexts) {
    EXPECT_EQ(list->AddColumn(0, 120, "Name", false, 0), 0);
    EXPECT_EQ(list->AddColumn(1, 80, "Size", true, 2), 1);
    EXPECT_EQ(list->ColumnWidth(0), 120);
    EXPECT_EQ(list->ColumnWidth(1), 80);
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT;
    ::SendMessageA(list->Window, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);

    Fill({{"alpha", "1"}, {"beta", "2"}});
    EXPECT_EQ(list->ItemCount(), 2);
    EXPECT_EQ(list->GetItemText(1, 0), "beta");
    EXPECT_EQ(list->GetItemText(1, 1), "2");
    list->SetItemText(0, 1, "42");
    EXPECT_EQ(list->GetItemText(0, 1), "42");
    // Texts up to 260 characters come back whole.
    const std::string longText(260, 'x');
    list->SetItemText(1, 0, longText);
    EXPECT_EQ(list->GetItemText(1, 0), longText);

    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = 1;
    ::SendMessageA(list->Window, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.lParam, 1);

    list->DeleteItems(0, 2);
    EXPECT_EQ(list->ItemCount(), 1);
    list->DeleteItems(0, 0);
    EXPECT_EQ(list->ItemCount(), 0);
    list->DeleteItems(1, 1);
    EXPECT_EQ(list->SortOrders.Count(), 1);
    EXPECT_EQ(list->NumericColumns.Count(), 1);
    EXPECT_EQ(list->ColumnWidth(0), 120);
}

TEST_F(ListFixture, AColumnClickWithoutCallbackDoesNotSort) {
    list->AddColumn(0, 100, "Name", false, 0);
    Fill({{"b"}, {"c"}, {"a"}});
    ClickHeader(0);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(list->SortOrders.Get(0), 1);
}

TEST_F(ListFixture, ACallbackThatLeavesWParamForbidsTheSort) {
    list->AddColumn(0, 100, "Name", false, 0);
    list->AddColumn(1, 100, "Size", true, 0);
    Fill({{"b", "2"}, {"c", "10"}, {"a", "1"}});
    list->OnColumnClick = AnswerColumnClick;
    gColumnClickAnswer = 7;
    ClickHeader(1);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"b", "c", "a"}));
    ASSERT_EQ(CallsNamed("column"), 1);
    // The block: the notification record naming the list, then the sort that would have run.
    EXPECT_EQ(gLastBlock.Record.Msg, reinterpret_cast<UINT_PTR>(list));
    EXPECT_EQ(gLastBlock.Record.WParam, static_cast<WPARAM>(list->ID));
    EXPECT_EQ(gClickedSubItem, 1);
    EXPECT_EQ(gLastBlock.Params.ListWindow, list->Window);
    EXPECT_EQ(gLastBlock.Params.StartIndex, -1);
    EXPECT_EQ(gLastBlock.Params.Column, 1);
    EXPECT_EQ(gLastBlock.Params.Direction, 1);
    EXPECT_TRUE(gLastBlock.Params.Numeric);
    // The direction still advanced.
    ClickHeader(1);
    EXPECT_EQ(gLastBlock.Params.Direction, 2);
}

TEST_F(ListFixture, NumericColumnSortsAscendingThenDescending) {
    list->AddColumn(0, 100, "Name", false, 0);
    list->AddColumn(1, 100, "Size", true, 0);
    Fill({{"ten", "10"}, {"one", "1"}, {"two", "2"}, {"minus", "-3"}});
    list->OnColumnClick = AnswerColumnClick;
    gColumnClickAnswer = 0;
    ClickHeader(1);
    EXPECT_EQ(ColumnTexts(1), (std::vector<std::string>{"-3", "1", "2", "10"}));
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"minus", "one", "two", "ten"}));
    ClickHeader(1);
    EXPECT_EQ(ColumnTexts(1), (std::vector<std::string>{"10", "2", "1", "-3"}));
    ClickHeader(1);
    EXPECT_EQ(ColumnTexts(1), (std::vector<std::string>{"-3", "1", "2", "10"}));
}

TEST_F(ListFixture, TextColumnSortsDescendingFirstAndEachColumnKeepsItsDirection) {
    list->AddColumn(0, 100, "Name", false, 0);
    list->AddColumn(1, 100, "Date", false, 0);
    Fill({{"b", "2001"}, {"C", "1999"}, {"a", "2010"}});
    list->OnColumnClick = AnswerColumnClick;
    gColumnClickAnswer = 0;
    ClickHeader(0);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"b", "a", "C"}));  // bytes: 'C' < 'a'
    ClickHeader(1);
    EXPECT_EQ(ColumnTexts(1), (std::vector<std::string>{"2010", "2001", "1999"}));
    ClickHeader(0);
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"C", "a", "b"}));
    EXPECT_EQ(list->SortOrders.Get(0), 2);
    EXPECT_EQ(list->SortOrders.Get(1), 1);
}

TEST_F(ListFixture, NumericFlagsFollowTheirColumnsWhenColumnsComeAndGo) {
    list->AddColumn(0, 100, "Name", false, 0);
    list->AddColumn(1, 100, "Size", true, 0);
    list->AddColumn(1, 100, "Kind", false, 0);  // inserted before Size: Size becomes column 2
    ASSERT_EQ(list->NumericColumns.Count(), 3);
    EXPECT_EQ(list->NumericColumns.Get(1), 0);
    EXPECT_EQ(list->NumericColumns.Get(2), 1);
    Fill({{"a", "k", "300"}, {"b", "k", "2"}, {"c", "k", "10"}});
    list->DeleteItems(1, 1);  // Kind goes; Size is column 1 again
    ASSERT_EQ(list->NumericColumns.Count(), 2);
    EXPECT_EQ(list->NumericColumns.Get(1), 1);
    list->OnColumnClick = AnswerColumnClick;
    gColumnClickAnswer = 0;
    ClickHeader(1);
    // Numbers ascending; as text the first click would give 300, 2, 10.
    EXPECT_EQ(ColumnTexts(1), (std::vector<std::string>{"2", "10", "300"}));
}

TEST_F(ListFixture, RowsInsertedOutOfOrderAreStillFoundByTheirItemParameter) {
    list->AddColumn(0, 100, "Name", false, 0);
    list->SetItem(0, 0, "m");
    list->SetItem(0, 0, "z");  // inserted at the top; both rows now carry parameter 0
    list->SetItem(0, 2, "a");
    list->OnColumnClick = AnswerColumnClick;
    gColumnClickAnswer = 0;
    ClickHeader(0);  // must not crash or lose rows; equal-parameter rows compare as the first found
    std::vector<std::string> texts = ColumnTexts(0);
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"a", "m", "z"}));
}

TEST_F(ListFixture, SelectItemAllNoneAndOneRow) {
    list->AddColumn(0, 100, "Name", false, 0);
    Fill({{"r0"}, {"r1"}, {"r2"}, {"r3"}, {"r4"}});
    list->OnClick = [](TMessageRecord* r) { Record("click", r); };
    ::SetFocus(parent);

    list->SelectItem(-2);
    EXPECT_EQ(list->SelectedCount(), 5);
    EXPECT_EQ(CallsNamed("click"), 0);
    EXPECT_EQ(::GetFocus(), list->Window);

    list->SelectItem(-1);
    EXPECT_EQ(list->SelectedCount(), 0);
    EXPECT_EQ(list->FirstSelected(), -1);
    EXPECT_EQ(CallsNamed("click"), 0);

    list->SelectItem(3);
    EXPECT_EQ(list->SelectedCount(), 1);
    EXPECT_EQ(list->FirstSelected(), 3);
    EXPECT_EQ(::SendMessageA(list->Window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 3);
    ASSERT_EQ(CallsNamed("click"), 1);
    EXPECT_EQ(gCalls.back().record.Msg, 0u);

    // Past the last row nothing is selected, but the click handler still runs (the controller
    // clears its palette there).
    list->SelectItem(-1);
    list->SelectItem(9);
    EXPECT_EQ(list->SelectedCount(), 0);
    EXPECT_EQ(CallsNamed("click"), 2);
}

TEST_F(ListFixture, ClicksAndDoubleClicksOfTheListOnly) {
    auto* other = CreateListView(parent.hwnd, 0, 0, 50, 50, nullptr);
    list->OnClick = [](TMessageRecord* r) { Record("click", r); };
    list->OnDblClick = [](TMessageRecord* r) { Record("dblclick", r); };
    SendNotify(parent, list->Window, NM_CLICK, list->ID);
    SendNotify(parent, list->Window, NM_DBLCLK, list->ID);
    SendNotify(parent, other->Window, NM_CLICK, other->ID);
    ASSERT_EQ(gCalls.size(), 2u);
    EXPECT_EQ(gCalls[0].name, "click");
    EXPECT_EQ(gCalls[0].record.Msg, reinterpret_cast<UINT_PTR>(list));
    EXPECT_EQ(gCalls[1].name, "dblclick");
}

namespace {
TAPIListView* gEditList = nullptr;
std::string gTextAtEnd;
bool gCancelledAtEnd = false;
HWND gEditAtBegin = nullptr;
void OnBeginEdit(TMessageRecord* r) {
    Record("begin", r);
    gEditAtBegin = gEditList->EditControl;
}
void OnEndEdit(TMessageRecord* r) {
    Record("end", r);
    // The framework has already put an accepted text into column 0.
    const auto* info = reinterpret_cast<const NMLVDISPINFOA*>(r->LParam);
    gTextAtEnd = gEditList->GetItemText(info->item.iItem, 0);
    gCancelledAtEnd = info->item.pszText == nullptr;
}
}  // namespace

TEST_F(ListFixture, LabelEditCancelledWithEscKeepsTheTextAndStillEnds) {
    list->AddColumn(0, 100, "Name", false, 0);
    Fill({{"first"}, {"second"}});
    gEditList = list;
    list->OnBeginLabelEdit = OnBeginEdit;
    list->OnEndLabelEdit = OnEndEdit;
    ::SetFocus(list->Window);

    HWND edit = list->EditLabel(1);
    ASSERT_TRUE(::IsWindow(edit));
    EXPECT_EQ(CallsNamed("begin"), 1);
    EXPECT_EQ(list->EditControl, edit);
    EXPECT_EQ(gEditAtBegin, edit);
    ::SetWindowTextA(edit, "changed");
    ::SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    ASSERT_EQ(CallsNamed("end"), 1);
    EXPECT_TRUE(gCancelledAtEnd);
    EXPECT_EQ(list->GetItemText(1, 0), "second");
    EXPECT_EQ(gTextAtEnd, "second");
    EXPECT_EQ(list->EditControl, edit) << "kept after the edit";
}

TEST_F(ListFixture, LabelEditCommittedWithEnterIsInTheRowBeforeTheCallback) {
    list->AddColumn(0, 100, "Name", false, 0);
    Fill({{"first"}, {"second"}});
    gEditList = list;
    list->OnEndLabelEdit = OnEndEdit;
    ::SetFocus(list->Window);
    HWND edit = list->EditLabel(0);
    ASSERT_TRUE(::IsWindow(edit));
    ::SetWindowTextA(edit, "renamed");
    ::SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    ::SendMessageA(edit, WM_CHAR, VK_RETURN, 0);
    Pump();
    ASSERT_EQ(CallsNamed("end"), 1);
    EXPECT_EQ(gTextAtEnd, "renamed");
    EXPECT_EQ(list->GetItemText(0, 0), "renamed");
}

TEST_F(ListFixture, LabelEditEndedByLosingTheFocusKeepsTheTypedText) {
    list->AddColumn(0, 100, "Name", false, 0);
    Fill({{"first"}});
    gEditList = list;
    list->OnEndLabelEdit = OnEndEdit;
    ::SetFocus(list->Window);
    HWND edit = list->EditLabel(0);
    ASSERT_TRUE(::IsWindow(edit));
    ::SetFocus(edit);
    ::SetWindowTextA(edit, "typed");
    ::SetFocus(list->Window);
    Pump();
    ASSERT_EQ(CallsNamed("end"), 1);
    EXPECT_FALSE(gCancelledAtEnd);
    EXPECT_EQ(gTextAtEnd, "typed");
}
