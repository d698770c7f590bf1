// APIWindow.cpp: top-level windows, modal dialogs, the hook library's panel and the message loop.
#include "APIWindow.h"

#include "ScopedHandles.h"
#include "UtilFunc.h"

#include <array>

// The image this code is linked into: the program in the controller, the library in a hooked
// process. Classes must be registered and windows created with it, not with the process's exe.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

constexpr const char* kObjectProp = "OBJECT";
constexpr UINT kSizeFlags = SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE;  // 0x16
constexpr UINT kMoveFlags = SWP_NOZORDER | SWP_NOSIZE;                   // 5

HINSTANCE ModuleInstance() noexcept {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

RECT WindowRect(HWND hwnd) noexcept {
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return rect;
}

RECT ClientRect(HWND hwnd) noexcept {
    RECT rect{};
    ::GetClientRect(hwnd, &rect);
    return rect;
}

bool startupShowRead = false;
int startupShowState = SW_SHOWDEFAULT;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Start-up show state
// ---------------------------------------------------------------------------------------------

int GetStartupShowState() noexcept {
    if (!startupShowRead) {
        STARTUPINFOA info{};
        info.cb = sizeof(info);
        ::GetStartupInfoA(&info);
        startupShowState =
            (info.dwFlags & STARTF_USESHOWWINDOW) != 0 ? info.wShowWindow : SW_SHOWDEFAULT;
        startupShowRead = true;
    }
    return startupShowState;
}

void SetStartupShowState(int showState) noexcept {
    startupShowState = showState;
    startupShowRead = true;
}

// ---------------------------------------------------------------------------------------------
// TAPIWindow
// ---------------------------------------------------------------------------------------------

TAPIWindow::TAPIWindow(HWND parent, const std::string& title)
    : Parent(parent), Title(title), Color(::GetSysColor(COLOR_BTNFACE)) {}

TAPIWindow::~TAPIWindow() {
    if (Handle != nullptr) {
        ::RemovePropA(Handle, kObjectProp);
        if (::GetWindowLongPtrA(Handle, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
            ::SetWindowLongPtrA(Handle, GWLP_USERDATA, 0);
    }
}

void TAPIWindow::GetWindowClass(WNDCLASSA& windowClass) {
    windowClass = WNDCLASSA{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowWndProc;
    windowClass.hInstance = ModuleInstance();
    windowClass.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = Title.c_str();
    if (OnRegisterClass != nullptr) OnRegisterClass(&windowClass);
}

void TAPIWindow::GetCreateArgs(TWindowCreateArgs& args) {
    args.ExStyle = 0;
    args.ClassName = Title.c_str();
    args.WindowName = Title.c_str();
    args.Style = WS_VISIBLE | WS_OVERLAPPEDWINDOW;
    args.X = CW_USEDEFAULT;
    args.Y = 0;
    args.Width = CW_USEDEFAULT;
    args.Height = 0;
    args.Parent = Parent;
    args.Menu = nullptr;
    args.Instance = ModuleInstance();
    args.Param = this;
    if (OnCreateParams != nullptr) OnCreateParams(&args);
}

void TAPIWindow::Execute() {
    WNDCLASSA windowClass{};
    GetWindowClass(windowClass);
    ::RegisterClassA(&windowClass);  // fails when the class exists; then it is reused
    TWindowCreateArgs args{};
    GetCreateArgs(args);
    // Handle is bound inside CreateWindowExA. The returned handle is used from here on instead of
    // the field: a window whose creation is refused in WM_CREATE has already been destroyed, and
    // with it this object, by the time CreateWindowExA returns (and then returns null).
    HWND hwnd = ::CreateWindowExA(args.ExStyle, args.ClassName, args.WindowName, args.Style,
                                  args.X, args.Y, args.Width, args.Height, args.Parent, args.Menu,
                                  args.Instance, args.Param);
    if ((args.Style & WS_VISIBLE) != 0) {
        // Every visible window, child or not, is shown with the settable start-up state: the
        // controller picks its main window's first look through it, and the hook library sets it
        // to SW_RESTORE before it builds its panel inside another program's dialog.
        ::ShowWindow(hwnd, GetStartupShowState());
        ::UpdateWindow(hwnd);
    }
}

void TAPIWindow::DefaultHandler(TMessageRecord& message) {
    TMessageRecord local = message;
    switch (local.Msg) {
        case WM_CREATE:
            if (OnCreate != nullptr) OnCreate(&local);
            break;
        case WM_DESTROY:
            if (OnDestroy != nullptr) OnDestroy(&local);
            break;
        case WM_ERASEBKGND:
            FillClient(Handle, Color, reinterpret_cast<HDC>(local.WParam));
            local.Result = 1;
            break;
        case WM_COMMAND:
            if (OnCommand != nullptr) OnCommand(&local);
            break;
        default:
            HandleOtherMessage(local);
            break;
    }
    // A callback may have destroyed the window and with it this object: only the caller's record
    // is touched from here on.
    message.Result = local.Result;
}

void TAPIWindow::HandleOtherMessage(TMessageRecord&) {}

LRESULT CALLBACK WindowWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    // A handler that throws: the message gets the answer a window without an object gets.
    const auto unhandled = [&] { return ::DefWindowProcA(hwnd, msg, wParam, lParam); };
    return GuardedCall(unhandled, [&]() -> LRESULT {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            auto* bound = static_cast<TAPIWindow*>(create->lpCreateParams);
            if (bound != nullptr) {
                ::SetPropA(hwnd, kObjectProp, bound);
                // The class is ours and so is the window's user data: every later message finds
                // the object there, without the window-server round trip (under Wine) of a
                // property lookup.
                ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bound));
                bound->Handle = hwnd;
            }
        }
        TMessageRecord record{msg, wParam, lParam, 0};
        auto* obj = reinterpret_cast<TAPIWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (msg == WM_DESTROY) {
            if (obj != nullptr && !obj->destroying_) {
                obj->destroying_ = true;
                // The object goes with its window even when OnDestroy throws.
                GuardedRun([&] { obj->Dispatch(record); });
                delete obj;
            }
            return 0;
        }
        if (msg == WM_NCDESTROY && obj != nullptr && !obj->destroying_) {
            // A window whose WM_CREATE answered -1 is torn down without WM_DESTROY on some systems
            // (Wine among them); its object is freed here so it does not outlive the window.
            obj->destroying_ = true;
            delete obj;
            return unhandled();
        }
        if (obj != nullptr) {
            obj->Dispatch(record);
            if (record.Result != 0) return record.Result;
        }
        return unhandled();
    });
}

// ---------------------------------------------------------------------------------------------
// TAPIWindow2
// ---------------------------------------------------------------------------------------------

TAPIWindow2::TAPIWindow2(HWND parent, const std::string& title)
    : TAPIWindow(parent, title), MessageIds(16, 16), MessageProcs(16, 16) {}

void TAPIWindow2::AddMessageHandler(UINT message, TEventProc proc) {
    MessageIds.Put(MessageCount, static_cast<INT_PTR>(message));
    MessageProcs.Put(MessageCount, reinterpret_cast<INT_PTR>(proc));
    ++MessageCount;
}

void TAPIWindow2::HandleOtherMessage(TMessageRecord& local) {
    if (MessageCount <= 0) return;
    const int index = MessageIds.IndexOf(static_cast<INT_PTR>(local.Msg));
    if (index < 0) return;
    auto proc = reinterpret_cast<TEventProc>(MessageProcs.Get(index));
    if (proc != nullptr) proc(&local);
}

// ---------------------------------------------------------------------------------------------
// TAPIWindow3
// ---------------------------------------------------------------------------------------------

int TAPIWindow3::Width() const {
    const RECT rect = WindowRect(Handle);
    return rect.right - rect.left + 1;
}

int TAPIWindow3::Height() const {
    const RECT rect = WindowRect(Handle);
    return rect.bottom - rect.top + 1;
}

bool TAPIWindow3::IsVisible() const {
    return ::IsWindowVisible(Handle) != FALSE;
}

void TAPIWindow3::SetVisible(bool visible) {
    ::ShowWindow(Handle, visible ? SW_SHOW : SW_HIDE);
}

void TAPIWindow3::CenterOnScreen() {
    const RECT rect = WindowRect(Handle);
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2;
    ::SetWindowPos(Handle, nullptr, x, y, 0, 0, kMoveFlags);
}

// SetWindowPos takes a child's position in its parent's client area and any other window's on the
// screen, so the corner is reported in the same terms. (An owned top-level window also has a
// Parent; mapping its corner into the owner would make SetLeft(GetLeft()) move it.)
static POINT WindowCorner(HWND hwnd, HWND parent) noexcept {
    const RECT rect = WindowRect(hwnd);
    POINT corner{rect.left, rect.top};
    if (parent != nullptr && (::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) != 0) {
        POINT mapped = corner;
        if (::ScreenToClient(parent, &mapped)) corner = mapped;
    }
    return corner;
}

int TAPIWindow3::GetLeft() const {
    return WindowCorner(Handle, Parent).x;
}

int TAPIWindow3::GetTop() const {
    return WindowCorner(Handle, Parent).y;
}

void TAPIWindow3::SetLeft(int x) {
    ::SetWindowPos(Handle, nullptr, x, GetTop(), 0, 0, kMoveFlags);
}

void TAPIWindow3::SetTop(int y) {
    ::SetWindowPos(Handle, nullptr, GetLeft(), y, 0, 0, kMoveFlags);
}

HICON TAPIWindow3::GetIcon() const {
    return reinterpret_cast<HICON>(::GetClassLongPtrA(Handle, GCLP_HICON));
}

void TAPIWindow3::SetIcon(HICON icon) {
    ::SetClassLongPtrA(Handle, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
}

int TAPIWindow3::GetClientWidth() const {
    return ClientRect(Handle).right + 1;
}

int TAPIWindow3::GetClientHeight() const {
    return ClientRect(Handle).bottom + 1;
}

void TAPIWindow3::SetClientWidth(int n) {
    const int outer = n + (Width() - GetClientWidth()) - 1;
    ::SetWindowPos(Handle, nullptr, 0, 0, outer, Height() - 1, kSizeFlags);
}

void TAPIWindow3::SetClientHeight(int n) {
    const int outer = n + (Height() - GetClientHeight());
    ::SetWindowPos(Handle, nullptr, 0, 0, Width() - 1, outer, kSizeFlags);
}

void TAPIWindow3::SetWindowState(int state) {
    switch (state) {
        case 0: ::ShowWindow(Handle, SW_MAXIMIZE); break;
        case 1: ::ShowWindow(Handle, SW_SHOWMINIMIZED); break;
        case 2: ::ShowWindow(Handle, SW_RESTORE); break;
        default: break;
    }
}

int TAPIWindow3::GetWindowState() const {
    if (::IsZoomed(Handle)) return 0;
    if (::IsIconic(Handle)) return 1;
    return 2;
}

void TAPIWindow3::SetBounds(int left, int top, int width, int height) {
    ::MoveWindow(Handle, left, top, width, height, TRUE);
}

void TAPIWindow3::HandleOtherMessage(TMessageRecord& local) {
    if (local.Msg == WM_SETCURSOR) {
        // Over the client area the window's own cursor; elsewhere (borders, caption) the system's.
        if (LOWORD(local.LParam) == HTCLIENT) {
            ::SetCursor(Cursor);
            local.Result = 1;
        }
        return;
    }
    TAPIWindow2::HandleOtherMessage(local);
}

#if !PELMIRA_HOOKLIB
// =============================================================================================
// Controller build only: the main window, the message loop and the modal dialogs. The hook
// library runs inside other people's programs, whose own message loops and windows it uses.
// =============================================================================================

// ---------------------------------------------------------------------------------------------
// TSDIMainWindow
// ---------------------------------------------------------------------------------------------

TSDIMainWindow::TSDIMainWindow(HWND parent, const std::string& title)
    : TAPIWindow3(parent, title) {
    Cursor = ::LoadCursorA(nullptr, IDC_ARROW);
}

// ---------------------------------------------------------------------------------------------
// Message loop
// ---------------------------------------------------------------------------------------------

int RunMessageLoop(HWND mainWindow, const HACCEL& accelerators) {
    MSG msg{};
    // GetMessageA answers -1 only for an invalid call; ending the loop then beats spinning on it.
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        const HACCEL table = accelerators;
        if (table != nullptr && ::TranslateAcceleratorA(mainWindow, table, &msg) != 0) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// ---------------------------------------------------------------------------------------------
// TAPIDialog
// ---------------------------------------------------------------------------------------------

namespace {
constexpr const char* kDialogProp = "KESTOL";
}  // namespace

TAPIDialog::TAPIDialog(HWND owner) : Owner(owner), Color(::GetSysColor(COLOR_BTNFACE)) {}

void TAPIDialog::SetCaption(const std::string& caption) {
    Caption = caption;
    if (Handle != nullptr) ::SetWindowTextA(Handle, Caption.c_str());
}

// Left and Top are kept in the owner's client coordinates; a dialog without an owner takes them
// as screen coordinates.
void TAPIDialog::MoveToLeftTop() {
    POINT corner{Left, Top};
    if (Owner != nullptr) {
        POINT mapped = corner;
        if (::ClientToScreen(Owner, &mapped)) corner = mapped;
    }
    ::SetWindowPos(Handle, nullptr, corner.x, corner.y, 0, 0, kMoveFlags);
}

void TAPIDialog::Resize(int width, int height) {
    ::SetWindowPos(Handle, nullptr, 0, 0, width, height, kSizeFlags);
}

void TAPIDialog::SetLeft(int x) {
    Left = x;
    if (Handle != nullptr) MoveToLeftTop();
}

void TAPIDialog::SetTop(int y) {
    Top = y;
    if (Handle != nullptr) MoveToLeftTop();
}

int TAPIDialog::GetWidth() const {
    if (Handle == nullptr) return Width;
    const RECT rect = WindowRect(Handle);
    return rect.right - rect.left;
}

int TAPIDialog::GetHeight() const {
    if (Handle == nullptr) return Height;
    const RECT rect = WindowRect(Handle);
    return rect.bottom - rect.top;
}

void TAPIDialog::SetWidth(int n) {
    Width = n;
    if (Handle != nullptr) Resize(n, GetHeight());
}

void TAPIDialog::SetHeight(int n) {
    Height = n;
    if (Handle != nullptr) Resize(GetWidth(), n);
}

int TAPIDialog::GetClientWidth() const {
    if (Handle == nullptr) return ClientWidth;
    return ClientRect(Handle).right;
}

int TAPIDialog::GetClientHeight() const {
    if (Handle == nullptr) return ClientHeight;
    return ClientRect(Handle).bottom;
}

void TAPIDialog::SetClientWidth(int n) {
    ClientWidth = n;
    if (Handle != nullptr) Resize(n + GetWidth() - GetClientWidth(), GetHeight());
}

void TAPIDialog::SetClientHeight(int n) {
    ClientHeight = n;
    if (Handle != nullptr) Resize(GetWidth(), n + GetHeight() - GetClientHeight());
}

void TAPIDialog::SetIcon(HICON icon) {
    Icon = icon;
    if (Handle != nullptr) {
        ::SetClassLongPtrA(Handle, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
    }
}

void TAPIDialog::ApplySize() {
    // A known starting size first, so the result does not depend on the template's.
    Resize(100, 100);
    if (ClientWidth != 0) {
        SetClientWidth(ClientWidth);
    } else if (Width != 0) {
        SetWidth(Width);
    }
    if (ClientHeight != 0) {
        SetClientHeight(ClientHeight);
    } else if (Height != 0) {
        SetHeight(Height);
    }
}

INT_PTR TAPIDialog::ShowModal() {
    // A DLGTEMPLATE (18 bytes) followed by three empty words for menu, class and title: no
    // controls, no menu, the dialog class, no title, position and size 0; DWORD aligned as
    // DialogBoxIndirectParamA requires.
    std::array<DWORD, 7> dialogTemplate{};
    dialogTemplate[0] = Style;
    static_assert(sizeof(dialogTemplate) == 28, "the empty template is 28 bytes");
    // The dialog procedure binds the object at WM_INITDIALOG and frees it at WM_DESTROY. When the
    // dialog never gets that far, nobody else would free it, so it is freed here instead.
    bool bound = false;
    boundFlag_ = &bound;
    const INT_PTR result = ::DialogBoxIndirectParamA(
        ModuleInstance(), reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()), Owner,
        DialogProc, reinterpret_cast<LPARAM>(this));
    if (!bound) delete this;
    return result;
}

void TAPIDialog::EndModal(INT_PTR result) {
    ::EndDialog(Handle, result);
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    // A handler that throws: FALSE, "not handled", and the dialog manager does its default.
    return GuardedCall(FALSE, [&]() -> INT_PTR {
        TMessageRecord record{msg, wParam, lParam, 0};
        if (msg == WM_INITDIALOG) {
            auto* bound = reinterpret_cast<TAPIDialog*>(lParam);
            ::SetPropA(hwnd, kDialogProp, bound);
            record.Result = 1;  // let the dialog manager set the focus
            if (bound == nullptr) return record.Result;
            if (bound->boundFlag_ != nullptr) *bound->boundFlag_ = true;
            bound->boundFlag_ = nullptr;
            bound->Handle = hwnd;
            bound->Dispatch(record);
            return record.Result;
        }
        auto* obj = static_cast<TAPIDialog*>(::GetPropA(hwnd, kDialogProp));
        switch (msg) {
            case WM_DESTROY:
                if (obj != nullptr && !obj->destroying_) {
                    obj->destroying_ = true;
                    // The object goes with its dialog even when OnDestroy throws.
                    GuardedRun([&] { obj->Dispatch(record); });
                    delete obj;
                    ::RemovePropA(hwnd, kDialogProp);
                }
                return -1;
            case WM_SETCURSOR:
            case WM_COMMAND:
                if (obj != nullptr) obj->Dispatch(record);
                return -1;
            default:
                if (obj == nullptr) return 0;
                obj->Dispatch(record);
                return record.Result;
        }
    });
}

// ---------------------------------------------------------------------------------------------
// TModalDialog and TModalDialogCursor
// ---------------------------------------------------------------------------------------------

TModalDialog::TModalDialog(HWND owner) : TAPIDialog(owner) {
    Style = WS_POPUP | WS_VISIBLE | DS_MODALFRAME;
    Caption = "APIModalDialog";
}

void TModalDialog::InitDialog(TMessageRecord& message, bool applyIcon) {
    TMessageRecord local = message;
    if (applyIcon) SetIcon(Icon);
    ApplySize();
    SetLeft(Left);
    SetTop(Top);
    ::SetWindowTextA(Handle, Caption.c_str());
    if (OnInitDialog != nullptr) OnInitDialog(&local);
    message.Result = local.Result;
}

void TModalDialog::EraseBackground(TMessageRecord& message) {
    FillClient(Handle, Color, reinterpret_cast<HDC>(message.WParam));
    message.Result = 1;
}

void TModalDialog::DefaultHandler(TMessageRecord& message) {
    TMessageRecord local = message;
    switch (message.Msg) {
        case WM_INITDIALOG:
            InitDialog(message, true);
            break;
        case WM_COMMAND:
            if (OnCommand != nullptr) {
                OnCommand(&local);
            } else if (LOWORD(local.WParam) == IDCANCEL) {
                EndModal(IDCANCEL);
            }
            break;
        case WM_DESTROY:
            if (OnDestroy != nullptr) OnDestroy(&local);
            break;
        case WM_ERASEBKGND:
            EraseBackground(message);
            break;
        default:
            break;
    }
}

TModalDialogCursor::TModalDialogCursor(HWND owner) : TModalDialog(owner) {}

void TModalDialogCursor::DefaultHandler(TMessageRecord& message) {
    TMessageRecord local = message;
    switch (message.Msg) {
        case WM_INITDIALOG:
            InitDialog(message, false);
            break;
        case WM_PAINT: {
            const TScopedPaint paint(Handle);
            ::DrawIcon(paint, 10, 10, PaintIcon);
            local.Result = 1;  // the copy only: the dialog procedure answers 0, as for any paint
            break;
        }
        case WM_SETCURSOR:
            if (OnSetCursor != nullptr) {
                const HWND hwnd = Handle;
                OnSetCursor(&local);
                // The dialog procedure answers TRUE; the dialog manager then returns this value
                // from WM_SETCURSOR, telling the system the cursor is set.
                ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 1);
            }
            break;
        default:
            TModalDialog::DefaultHandler(message);
            break;
    }
}

TModalDialogCursor* CreateModalDialogCursor(HWND owner, int left, int top, int clientWidth,
                                            int clientHeight, DWORD style,
                                            TEventProc onInitDialog) {
    auto* dialog = new TModalDialogCursor(owner);
    if (style != 0) dialog->Style = style;
    dialog->SetLeft(left);
    dialog->SetTop(top);
    dialog->SetClientWidth(clientWidth);
    dialog->SetClientHeight(clientHeight);
    dialog->OnInitDialog = onInitDialog;
    return dialog;
}
#endif  // !PELMIRA_HOOKLIB

#if PELMIRA_HOOKLIB
// =============================================================================================
// Hook library build only: the panel that holds the buttons added to a colour dialog. The
// controller draws its buttons on its own window.
// =============================================================================================

// ---------------------------------------------------------------------------------------------
// TAPIPanel
// ---------------------------------------------------------------------------------------------

namespace {
constexpr const char* kPanelClass = "APIPanel";

void DrawPanelEdge(HDC dc, RECT& rect, BYTE edge) noexcept {
    if (edge == 1) {
        ::DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT);
    } else if (edge == 2) {
        ::DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);
    }
}
}  // namespace

TAPIPanel::TAPIPanel(HWND parent) : TAPIWindow3(parent, std::string()) {}

void TAPIPanel::GetWindowClass(WNDCLASSA& windowClass) {
    windowClass = WNDCLASSA{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = PanelWndProc;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kPanelClass;
    OuterEdge = 1;
    InnerEdge = 0;
    EdgeInset = 2;
    if (OnRegisterClass != nullptr) OnRegisterClass(&windowClass);
}

void TAPIPanel::GetCreateArgs(TWindowCreateArgs& args) {
    args.ExStyle = WS_EX_CONTROLPARENT;
    args.ClassName = kPanelClass;
    args.WindowName = kPanelClass;
    args.Style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    args.X = 0;
    args.Y = 0;
    args.Width = 0;
    args.Height = 0;
    args.Parent = Parent;
    args.Menu = nullptr;
    args.Instance = ModuleInstance();
    args.Param = this;
    if (OnCreateParams != nullptr) OnCreateParams(&args);
}

void TAPIPanel::DefaultHandler(TMessageRecord& message) {
    if (message.Msg != WM_PAINT) {
        TAPIWindow3::DefaultHandler(message);
        return;
    }
    const TScopedPaint paint(Handle);
    RECT rect = ClientRect(Handle);
    DrawPanelEdge(paint, rect, OuterEdge);
    ::InflateRect(&rect, -EdgeInset, -EdgeInset);
    DrawPanelEdge(paint, rect, InnerEdge);
}

TAPIPanel* CreatePanel(HWND parent, int left, int top, int width, int height) {
    auto* panel = new TAPIPanel(parent);
    panel->Execute();
    panel->SetBounds(left, top, width, height);
    return panel;
}

LRESULT CALLBACK PanelWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    // What the panel answers for the messages it keeps when it has no object to ask, and when a
    // handler throws: the system validates a paint (so it is not asked again), the rest is 0.
    const auto unanswered = [&]() -> LRESULT {
        return msg == WM_PAINT ? ::DefWindowProcA(hwnd, msg, wParam, lParam) : 0;
    };
    switch (msg) {
        case WM_CREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            auto* bound = static_cast<TAPIPanel*>(create->lpCreateParams);
            if (bound != nullptr) {
                ::SetPropA(hwnd, kObjectProp, bound);
                bound->Handle = hwnd;
            }
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        case WM_DESTROY: {
            auto* obj = static_cast<TAPIPanel*>(::GetPropA(hwnd, kObjectProp));
            if (obj != nullptr && !obj->destroying_) {
                obj->destroying_ = true;
                delete obj;
            }
            return 0;
        }
        case WM_PAINT:
        case WM_ERASEBKGND:
        case WM_CONTEXTMENU: {
            // Answered here in full: a right-click on the panel does not travel on to its parent.
            auto* obj = static_cast<TAPIPanel*>(::GetPropA(hwnd, kObjectProp));
            if (obj == nullptr) return unanswered();
            return GuardedCall(unanswered, [&] {
                TMessageRecord record{msg, wParam, lParam, 0};
                obj->Dispatch(record);
                return record.Result;
            });
        }
        default:
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}
#endif  // PELMIRA_HOOKLIB
