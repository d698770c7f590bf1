// CmCtrl.cpp: status bar, tool tips, menu help and list view objects.
#include "CmCtrl.h"

#include "APIControl.h"
#include "GDIObject.h"

#include <cstdlib>
#include <cstring>
#include <vector>

int NextCommonControlID = 1000;

// The image of the module this code is linked into: the program, or the hook library when it
// runs inside another process. Windows made here belong to that module.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

template <class T>
LPARAM AsLParam(T* p) {
    return reinterpret_cast<LPARAM>(p);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCmCtrl
// ---------------------------------------------------------------------------------------------

TCmCtrl::TCmCtrl(HWND parent) : TSubClass(parent) {
    Listen(WM_NOTIFY);
    ::InitCommonControls();
}

TCmCtrl::~TCmCtrl() {
    // A tool tip is an owned pop-up: its owner's destruction may already have taken it.
    if (Window != nullptr && ::IsWindow(Window)) ::DestroyWindow(Window);
    Window = nullptr;
}

void TCmCtrl::CreateControlWindow() {
    if (created_) return;
    created_ = true;
    CreateControl();
}

bool TCmCtrl::IsEnabled() const { return ::IsWindowEnabled(Window) != FALSE; }

void TCmCtrl::SetEnabled(bool enabled) { ::EnableWindow(Window, enabled ? TRUE : FALSE); }

bool TCmCtrl::IsVisible() const { return ::IsWindowVisible(Window) != FALSE; }

void TCmCtrl::SetVisible(bool visible) { ::ShowWindow(Window, visible ? SW_SHOWNORMAL : SW_HIDE); }

const NMHDR* TCmCtrl::NotifyFromSelf(const TMessageRecord& message) const {
    if (message.Msg != WM_NOTIFY || message.LParam == 0 || Window == nullptr) return nullptr;
    const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
    return header->hwndFrom == Window ? header : nullptr;
}

// ---------------------------------------------------------------------------------------------
// TAPIStatusBar
// ---------------------------------------------------------------------------------------------

TAPIStatusBar::TAPIStatusBar(HWND parent) : TCmCtrl(parent) {}

void TAPIStatusBar::CreateControl() {
    // WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CCS_TOP
    constexpr LONG kStyle = 0x56000001;
    Window = ::CreateStatusWindowA(kStyle, "", Handle, static_cast<UINT>(NextCommonControlID));
    ID = NextCommonControlID;
    ++NextCommonControlID;
    Listen(WM_SIZE);
}

void TAPIStatusBar::SetAtTop(bool atTop) {
    AtTop = atTop;
    LONG style = ::GetWindowLongA(Window, GWL_STYLE);
    // Without CCS_TOP the bar has its default dock, the bottom.
    style = atTop ? (style | CCS_TOP) : (style & ~static_cast<LONG>(CCS_TOP));
    ::SetWindowLongA(Window, GWL_STYLE, style);
    Relayout();
}

void TAPIStatusBar::Relayout() {
    ::SendMessageA(Window, WM_SIZE, 0, 0);
    KeepAtTop();
}

void TAPIStatusBar::KeepAtTop() {
    // Wine's status bar ignores CCS_TOP and always docks at the bottom when it sizes itself;
    // Windows' already put it at the top, and then this moves nothing.
    if (Window == nullptr || (::GetWindowLongA(Window, GWL_STYLE) & CCS_BOTTOM) != CCS_TOP) return;
    RECT r;
    ::GetWindowRect(Window, &r);
    POINT corner = {r.left, r.top};
    ::ScreenToClient(Handle, &corner);
    if (corner.y != 0)
        ::SetWindowPos(Window, nullptr, corner.x, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TAPIStatusBar::SetText(int part, const std::string& text) {
    WPARAM flags = 0;
    if (part >= 0 && part < kPartCount) {
        flags = static_cast<WPARAM>(part);
        if (PartStyles[part] == 1) flags |= SBT_NOBORDERS;
        if (PartStyles[part] == 2) flags |= SBT_POPOUT;
    } else if (part == SB_SIMPLEID) {
        flags = SB_SIMPLEID;
    } else {
        return;
    }
    ::SendMessageA(Window, SB_SETTEXTA, flags, AsLParam(text.c_str()));
}

void TAPIStatusBar::DefaultHandler(TMessageRecord& message) {
    if (message.Msg == WM_SIZE) {
        // The bar fits itself to the parent's client area when it is told the parent changed.
        ::SendMessageA(Window, WM_SIZE, message.WParam, message.LParam);
        KeepAtTop();
        if (message.WParam + static_cast<WPARAM>(message.LParam) != 0) FireEvent(OnSize, message, this);
        return;
    }
    const NMHDR* header = NotifyFromSelf(message);
    if (header == nullptr) return;
    switch (header->code) {
        case NM_CLICK: FireEvent(OnClick, message, this); break;
        case NM_DBLCLK: FireEvent(OnDblClick, message, this); break;
        case NM_RCLICK: FireEvent(OnRClick, message, this); break;
        case NM_RDBLCLK: FireEvent(OnRDblClick, message, this); break;
        case SBN_SIMPLEMODECHANGE: FireEvent(OnSimpleModeChange, message, this); break;
        default: break;
    }
}

TAPIStatusBar* CreateStatusBar(HWND parent, bool atTop) {
    auto* bar = NewControl<TAPIStatusBar>(parent);
    bar->SetAtTop(atTop);
    return bar;
}

// ---------------------------------------------------------------------------------------------
// TToolTip
// ---------------------------------------------------------------------------------------------

TToolTip::TToolTip(HWND parent) : TCmCtrl(parent) {}

void TToolTip::CreateControl() {
    // WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP: tips show even while the parent is inactive.
    constexpr DWORD kStyle = 0x80000003;
    Window = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, kStyle, 0, 0, 0, 0, Handle, nullptr,
                               ThisModule(), nullptr);
    ::SetWindowPos(Window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    ID = NextCommonControlID;
    ++NextCommonControlID;
    CreatedToolCount = ToolCount();
    Active = true;
}

LRESULT TToolTip::AddTool(TObject* object, const std::string& text) {
    Tools.Add(reinterpret_cast<INT_PTR>(object));
    TOOLINFOA info = {};
    info.cbSize = kToolInfoSize;
    // The control classes first: a windowless object is tested only when it is no control.
    if (auto* control = dynamic_cast<TAPIControl*>(object)) {
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = control->Handle;
        info.uId = reinterpret_cast<UINT_PTR>(control->Window);
    } else if (auto* common = dynamic_cast<TCmCtrl*>(object)) {
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = common->Handle;
        info.uId = reinterpret_cast<UINT_PTR>(common->Window);
    } else if (auto* drawn = dynamic_cast<TGDIObject*>(object)) {
        info.uFlags = TTF_SUBCLASS;
        info.hwnd = drawn->Handle;
        info.uId = reinterpret_cast<UINT_PTR>(drawn);
        info.rect = RECT{drawn->X, drawn->Y, drawn->X + drawn->Width, drawn->Y + drawn->Height};
    } else {
        return 0;
    }
    // The tip copies the text; ours need not outlive the call.
    info.lpszText = const_cast<char*>(text.c_str());
    return ::SendMessageA(Window, TTM_ADDTOOLA, 0, AsLParam(&info));
}

UINT_PTR TToolTip::ToolId(int index) const {
    // lpszText stays null so that the tip copies no text into memory we do not have.
    TOOLINFOA info = {};
    info.cbSize = kToolInfoSize;
    if (::SendMessageA(Window, TTM_ENUMTOOLSA, static_cast<WPARAM>(index), AsLParam(&info)) == 0) return 0;
    return info.uId;
}

bool TToolTip::GetCurrentTool(TOOLINFOA& info) const {
    info = TOOLINFOA{};
    info.cbSize = kToolInfoSize;
    return ::SendMessageA(Window, TTM_GETCURRENTTOOLA, 0, AsLParam(&info)) != 0;
}

void TToolTip::SetActive(bool active) {
    if (active == Active) return;
    Active = active;
    ::SendMessageA(Window, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

int TToolTip::ToolCount() const { return static_cast<int>(::SendMessageA(Window, TTM_GETTOOLCOUNT, 0, 0)); }

void TToolTip::DefaultHandler(TMessageRecord& message) {
    const NMHDR* header = NotifyFromSelf(message);
    if (header == nullptr) return;
    if (header->code == TTN_SHOW) FireEvent(OnShow, message, this);
    else if (header->code == TTN_POP) FireEvent(OnPop, message, this);
}

#if !PELMIRA_HOOKLIB
// Controller build only: menu help and the palette list view. The hook library shows no menus
// of its own and lists no files.

// ---------------------------------------------------------------------------------------------
// TMenuHelp
// ---------------------------------------------------------------------------------------------

TMenuHelp::TMenuHelp(HWND window) : TSubClass(window) {
    Listen(WM_ENTERMENULOOP);
    Listen(WM_MENUSELECT);
    Listen(WM_EXITMENULOOP);
}

UINT TMenuHelp::SelectedCommand(WPARAM wParam, LPARAM lParam) {
    const UINT item = LOWORD(wParam);
    const UINT flags = HIWORD(wParam);
    if ((flags & MF_POPUP) == 0) return item;
    // For an item that opens a submenu the low word is its position, not an id. A closed menu
    // (flags 0xFFFF, no menu) has MF_POPUP set too; the lookup then fails and answers 0.
    auto* menu = reinterpret_cast<HMENU>(lParam);
    if (menu == nullptr) return 0;
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID;
    if (!::GetMenuItemInfoA(menu, item, TRUE, &info)) return 0;
    return info.wID;
}

void TMenuHelp::DefaultHandler(TMessageRecord& message) {
    if (StatusWindow == nullptr) return;
    switch (message.Msg) {
        case WM_ENTERMENULOOP:
            ::SendMessageA(StatusWindow, SB_SIMPLE, TRUE, 0);
            break;
        case WM_MENUSELECT: {
            const UINT id = SelectedCommand(message.WParam, message.LParam);
            if (id == 0) break;
            const int at = CommandIds.IndexOf(static_cast<INT_PTR>(id));
            if (at < 0) break;  // no help text: the pane keeps what it shows
            const std::string text = HelpTexts.Get(at);
            ::SendMessageA(StatusWindow, SB_SETTEXTA, SB_SIMPLEID, AsLParam(text.c_str()));
            break;
        }
        case WM_EXITMENULOOP:
            ::SendMessageA(StatusWindow, SB_SIMPLE, FALSE, 0);
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// TAPIListView
// ---------------------------------------------------------------------------------------------

namespace {

long long ParseSortNumber(const char* text) {
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    return end == text ? 0 : value;  // out-of-range values saturate, which still orders them
}

int Sign(int value) { return (value > 0) - (value < 0); }

using InitCommonControlsExProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

// Looked up at run time so that a comctl32 without it (version 4.00) still runs the program.
void RegisterListViewClass() {
    HMODULE comctl = ::GetModuleHandleA("comctl32.dll");
    if (comctl == nullptr) return;
    auto proc = reinterpret_cast<InitCommonControlsExProc>(
        reinterpret_cast<void*>(::GetProcAddress(comctl, "InitCommonControlsEx")));
    if (proc == nullptr) return;
    INITCOMMONCONTROLSEX init = {sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    proc(&init);
}

// Row of the item parameter, or -1.
int FindRow(HWND list, int start, LPARAM itemParam) {
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = itemParam;
    return static_cast<int>(::SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(start), AsLParam(&find)));
}

void ReadItemText(HWND list, int row, int column, char (&buffer)[TAPIListView::kTextBuffer]) {
    buffer[0] = '\0';
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = TAPIListView::kTextBuffer;
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), AsLParam(&item));
    buffer[TAPIListView::kTextBuffer - 1] = '\0';
}

}  // namespace

int CompareColumnTexts(const char* first, const char* second, bool numeric, int direction) {
    int d = 0;
    if (numeric) {
        const long long a = ParseSortNumber(first);
        const long long b = ParseSortNumber(second);
        d = a == b ? 0 : (a < b ? 1 : -1);
    } else {
        d = Sign(std::strcmp(first, second));  // strcmp compares as unsigned char
    }
    return direction == 1 ? -d : d;
}

int CALLBACK CompareItems(LPARAM lParam1, LPARAM lParam2, LPARAM params) noexcept {
    const auto* sort = reinterpret_cast<const TSortParams*>(params);
    if (sort == nullptr) return 0;
    const int row1 = FindRow(sort->ListWindow, sort->StartIndex, lParam1);
    const int row2 = FindRow(sort->ListWindow, sort->StartIndex, lParam2);
    if (row1 < 0 || row2 < 0) return 0;
    char text1[TAPIListView::kTextBuffer];
    char text2[TAPIListView::kTextBuffer];
    ReadItemText(sort->ListWindow, row1, sort->Column, text1);
    ReadItemText(sort->ListWindow, row2, sort->Column, text2);
    return CompareColumnTexts(text1, text2, sort->Numeric, sort->Direction);
}

TAPIListView::TAPIListView(HWND parent) : TCmCtrl(parent) {}

DWORD TAPIListView::ControlStyle() const {
    // WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS |
    // LVS_EDITLABELS
    return 0x50810209;
}

void TAPIListView::CreateControl() {
    RegisterListViewClass();
    Window = ::CreateWindowExA(0, WC_LISTVIEWA, "", ControlStyle(), 0, 0, 100, 100, Handle,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextCommonControlID)), ThisModule(),
                               nullptr);
    ID = NextCommonControlID;
    ++NextCommonControlID;
    const auto current = static_cast<DWORD>(::SendMessageA(Window, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    BaseExStyle = current | LVS_EX_HEADERDRAGDROP;
    ::SendMessageA(Window, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   static_cast<LPARAM>(BaseExStyle | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT));
    Column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    SetBounds(0, 0, 100, 100);
}

void TAPIListView::SetBounds(int x, int y, int width, int height) {
    Bounds.X = x;
    Bounds.Y = y;
    Bounds.Width = width;
    Bounds.Height = height;
    ::MoveWindow(Window, x, y, width, height, TRUE);
}

void TAPIListView::SetEditMode(bool on) {
    const DWORD style = on ? BaseExStyle : (BaseExStyle | LVS_EX_FULLROWSELECT);
    ::SendMessageA(Window, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
    ::InvalidateRect(Window, nullptr, TRUE);
}

int TAPIListView::AddColumn(int index, int width, const std::string& text, bool numeric, int align) {
    std::vector<char> caption(text.c_str(), text.c_str() + std::strlen(text.c_str()) + 1);
    Column.pszText = caption.data();
    Column.iSubItem = index;
    Column.cx = width;
    Column.fmt = align == 1 ? LVCFMT_CENTER : (align == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT);
    const int at = static_cast<int>(
        ::SendMessageA(Window, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), AsLParam(&Column)));
    Column.pszText = nullptr;  // the buffer ends here; the control has its own copy
    if (at < 0) return at;
    // The per-column lists follow the columns: the new entries go where the control put the
    // column (it appends an index past the end).
    if (at < SortOrders.Count()) SortOrders.Insert(at, 0);
    else SortOrders.Add(0);
    if (at < NumericColumns.Count()) NumericColumns.Insert(at, numeric ? 1 : 0);
    else NumericColumns.Add(numeric ? 1 : 0);
    return at;
}

int TAPIListView::ColumnWidth(int index) const {
    return static_cast<int>(::SendMessageA(Window, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
}

void TAPIListView::SetItem(int column, int item, const std::string& text) {
    LVITEMA row = {};
    row.iItem = item;
    row.pszText = const_cast<char*>(text.c_str());
    if (column == 0) {
        // The item parameter is how CompareItems finds the row again, wherever a sort moved it.
        row.mask = LVIF_TEXT | LVIF_PARAM;
        row.lParam = item;
        ::SendMessageA(Window, LVM_INSERTITEMA, 0, AsLParam(&row));
    } else {
        row.mask = LVIF_TEXT;
        row.iSubItem = column;
        ::SendMessageA(Window, LVM_SETITEMA, 0, AsLParam(&row));
    }
}

void TAPIListView::SetItemText(int item, int column, const std::string& text) {
    LVITEMA row = {};
    row.iSubItem = column;
    row.pszText = const_cast<char*>(text.c_str());
    ::SendMessageA(Window, LVM_SETITEMTEXTA, static_cast<WPARAM>(item), AsLParam(&row));
}

std::string TAPIListView::GetItemText(int item, int column) const {
    char buffer[kTextBuffer];
    ReadItemText(Window, item, column, buffer);
    return buffer;
}

void TAPIListView::DeleteItems(int index, int kind) {
    switch (kind) {
        case 0:
            ::SendMessageA(Window, LVM_DELETEALLITEMS, 0, 0);
            break;
        case 1:
            if (::SendMessageA(Window, LVM_DELETECOLUMN, static_cast<WPARAM>(index), 0) != 0) {
                // Both per-column lists shift with the columns that follow.
                SortOrders.Delete(index);
                NumericColumns.Delete(index);
            }
            break;
        case 2:
            ::SendMessageA(Window, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
            break;
        default:
            break;
    }
}

int TAPIListView::ItemCount() const { return static_cast<int>(::SendMessageA(Window, LVM_GETITEMCOUNT, 0, 0)); }

int TAPIListView::SelectedCount() const {
    return static_cast<int>(::SendMessageA(Window, LVM_GETSELECTEDCOUNT, 0, 0));
}

int TAPIListView::FirstSelected() const {
    return static_cast<int>(::SendMessageA(Window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TAPIListView::EnsureVisible(int item, bool partialOk) {
    ::SendMessageA(Window, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partialOk ? TRUE : FALSE);
}

HWND TAPIListView::EditLabel(int item) {
    return reinterpret_cast<HWND>(::SendMessageA(Window, LVM_EDITLABELA, static_cast<WPARAM>(item), 0));
}

void TAPIListView::SelectItem(int item) {
    ::SetFocus(Window);
    LVITEMA state = {};
    if (item == -2 || item == -1) {
        // Row -1 addresses every row.
        state.stateMask = LVIS_SELECTED;
        state.state = item == -2 ? LVIS_SELECTED : 0;
        ::SendMessageA(Window, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), AsLParam(&state));
        return;
    }
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(Window, LVM_SETITEMSTATE, static_cast<WPARAM>(item), AsLParam(&state));
    if (OnClick != nullptr) {
        TMessageRecord record = {0, 0, 0, 0};
        OnClick(&record);
    }
}

void TAPIListView::ColumnClick(const TMessageRecord& message, int column) {
    const INT_PTR order = SortOrders.Get(column) == 1 ? 2 : 1;
    SortOrders.Put(column, order);
    TColumnClickBlock block = {};
    block.Record = message;
    block.Record.Msg = reinterpret_cast<UINT_PTR>(this);
    block.Params = TSortParams{Window, -1, column, static_cast<int>(order), NumericColumns.Get(column) != 0};
    if (OnColumnClick != nullptr) OnColumnClick(&block.Record);
    // WParam arrives holding the list's id, never 0: without a callback that clears it there
    // is no sort.
    if (block.Record.WParam != 0) return;
    ::SendMessageA(Window, LVM_SORTITEMS, AsLParam(&block.Params), reinterpret_cast<LPARAM>(&CompareItems));
}

void TAPIListView::DefaultHandler(TMessageRecord& message) {
    const NMHDR* header = NotifyFromSelf(message);
    if (header == nullptr) return;
    switch (header->code) {
        case LVN_BEGINLABELEDITA:
            EditControl = reinterpret_cast<HWND>(::SendMessageA(Window, LVM_GETEDITCONTROL, 0, 0));
            FireEvent(OnBeginLabelEdit, message, this);
            break;
        case LVN_ENDLABELEDITA: {
            const auto* info = reinterpret_cast<const NMLVDISPINFOA*>(header);
            // A null text means the edit was cancelled (Esc): the row keeps its text.
            if (info->item.pszText != nullptr) SetItemText(info->item.iItem, 0, info->item.pszText);
            FireEvent(OnEndLabelEdit, message, this);
            break;
        }
        case LVN_COLUMNCLICK:
            ColumnClick(message, reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
            break;
        case NM_CLICK:
            FireEvent(OnClick, message, this);
            break;
        case NM_DBLCLK:
            FireEvent(OnDblClick, message, this);
            break;
        default:
            break;
    }
}

TAPIListView* CreateListView(HWND parent, int x, int y, int width, int height, TEventProc onColumnClick) {
    auto* list = NewControl<TAPIListView>(parent);
    list->SetBounds(x, y, width, height);
    list->OnColumnClick = onColumnClick;
    return list;
}

#endif  // !PELMIRA_HOOKLIB
