// APIWindow.h: top-level windows, modal dialogs, the hook library's panel and the message loop.
//
// Window objects find themselves through window property "OBJECT", dialogs through "KESTOL".
// The program creates them with new and never frees them: a window object is freed by its window
// procedure at WM_DESTROY, a dialog object by the dialog procedure at WM_DESTROY.
// Everything runs on the thread that owns the windows.
#pragma once

#include "Config.h"
#include "UtilClass.h"

#include <string>

// ---------------------------------------------------------------------------------------------
// Start-up show state
// ---------------------------------------------------------------------------------------------

// The show state that Execute passes to ShowWindow for a visible top-level window. It is read once,
// on first use, from the process's STARTUPINFO (wShowWindow when STARTF_USESHOWWINDOW is set,
// otherwise SW_SHOWDEFAULT); the program may replace it before it creates its main window.
int GetStartupShowState() noexcept;
void SetStartupShowState(int showState) noexcept;

// ---------------------------------------------------------------------------------------------
// Windows
// ---------------------------------------------------------------------------------------------

// The twelve arguments of CreateWindowExA, in call order. The two names point into the window
// object's Title unless a create-parameters callback points them elsewhere (the text must then
// outlive Execute).
struct TWindowCreateArgs {
    DWORD ExStyle;
    LPCSTR ClassName;
    LPCSTR WindowName;
    DWORD Style;
    int X;
    int Y;
    int Width;
    int Height;
    HWND Parent;
    HMENU Menu;
    HINSTANCE Instance;
    LPVOID Param;
};

using TRegisterClassProc = void (*)(WNDCLASSA*);
using TCreateParamsProc = void (*)(TWindowCreateArgs*);

// A window whose class the object registers itself (class name = Title) and whose procedure,
// WindowWndProc, finds the object through property "OBJECT". Callbacks receive the record as the
// window got it (Msg is the message number) and may answer through its Result.
class TAPIWindow : public TObject {
public:
    TAPIWindow(HWND parent, const std::string& title);
    ~TAPIWindow() override;  // removes property "OBJECT"

    virtual void GetWindowClass(WNDCLASSA& windowClass);
    virtual void GetCreateArgs(TWindowCreateArgs& args);
    // Registers the class (a failure means it exists already and is reused), creates the window
    // and, when it was created visible, shows it with the start-up show state.
    virtual void Execute();

    void DefaultHandler(TMessageRecord& message) override;

    HWND Handle = nullptr;
    HWND Parent = nullptr;
    std::string Title;
    COLORREF Color;
    TRegisterClassProc OnRegisterClass = nullptr;
    TCreateParamsProc OnCreateParams = nullptr;
    TEventProc OnCreate = nullptr;
    TEventProc OnDestroy = nullptr;
    TEventProc OnCommand = nullptr;

protected:
    // Messages the window classes do not handle themselves land here, on the local copy of the
    // record whose Result goes back to the window procedure.
    virtual void HandleOtherMessage(TMessageRecord& local);

private:
    friend LRESULT CALLBACK WindowWndProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    friend LRESULT CALLBACK PanelWndProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    bool destroying_ = false;  // guards against a WM_DESTROY sent again from OnDestroy
};

// Adds a per-window table of message handlers for the messages the class does not handle.
class TAPIWindow2 : public TAPIWindow {
public:
    TAPIWindow2(HWND parent, const std::string& title);

    // Only the first handler added for a message is ever called.
    void AddMessageHandler(UINT message, TEventProc proc);

    TIntegerList MessageIds;
    TIntegerList MessageProcs;  // TEventProc, parallel to MessageIds
    int MessageCount = 0;

protected:
    void HandleOtherMessage(TMessageRecord& local) override;
};

// Adds a client-area cursor and geometry helpers.
class TAPIWindow3 : public TAPIWindow2 {
public:
    using TAPIWindow2::TAPIWindow2;

    int Width() const;   // window rectangle width + 1
    int Height() const;  // window rectangle height + 1
    bool IsVisible() const;
    void SetVisible(bool visible);
    void CenterOnScreen();
    int GetLeft() const;  // relative to the parent's client area for a child, else on the screen
    int GetTop() const;
    void SetLeft(int x);
    void SetTop(int y);
    HICON GetIcon() const;
    void SetIcon(HICON icon);
    int GetClientWidth() const;   // client right + 1
    int GetClientHeight() const;  // client bottom + 1
    void SetClientWidth(int n);   // GetClientWidth then reads n
    void SetClientHeight(int n);  // the client bottom becomes n, so GetClientHeight reads n + 1
    void SetWindowState(int state);  // 0 maximized, 1 minimized, 2 restored
    int GetWindowState() const;
    void SetBounds(int left, int top, int width, int height);  // MoveWindow with repaint

    HCURSOR Cursor = nullptr;

protected:
    void HandleOtherMessage(TMessageRecord& local) override;
};

LRESULT CALLBACK WindowWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

#if !PELMIRA_HOOKLIB
// =============================================================================================
// Controller build only: the main window, the message loop and the modal dialogs. The hook
// library runs inside other people's programs, whose own message loops and windows it uses.
// =============================================================================================

// The controller's main window: a TAPIWindow3 with the standard arrow over its client area.
class TSDIMainWindow : public TAPIWindow3 {
public:
    TSDIMainWindow(HWND parent, const std::string& title);
};

// GetMessageA until WM_QUIT; a message that TranslateAcceleratorA takes (when `accelerators` holds
// a table, read anew for every message) goes no further. Returns the quit message's wParam.
int RunMessageLoop(HWND mainWindow, const HACCEL& accelerators);

// ---------------------------------------------------------------------------------------------
// Dialogs
// ---------------------------------------------------------------------------------------------

// A dialog from an in-memory template without controls. Setters store the value and, once the
// dialog exists, apply it. Sizes of 0 mean "not set". Left and Top are in the owner's client
// coordinates. Callbacks receive the record as the dialog got it.
class TAPIDialog : public TObject {
public:
    explicit TAPIDialog(HWND owner);

    void SetCaption(const std::string& caption);
    void SetLeft(int x);
    void SetTop(int y);
    int GetWidth() const;
    int GetHeight() const;
    void SetWidth(int n);
    void SetHeight(int n);
    int GetClientWidth() const;
    int GetClientHeight() const;
    void SetClientWidth(int n);
    void SetClientHeight(int n);
    void SetIcon(HICON icon);
    // 100 x 100 first, then the client or outer width, then the client or outer height.
    void ApplySize();

    // Runs the dialog modally and returns its result. The object is freed when the dialog closes:
    // do not use it after ShowModal returns.
    INT_PTR ShowModal();
    void EndModal(INT_PTR result);

    HWND Handle = nullptr;
    HWND Owner = nullptr;
    DWORD Style = 0;
    std::string Caption;
    int Left = 0;
    int Top = 0;
    COLORREF Color;
    int Width = 0;
    int Height = 0;
    int ClientWidth = 0;
    int ClientHeight = 0;
    HICON Icon = nullptr;
    TEventProc OnInitDialog = nullptr;
    TEventProc OnCommand = nullptr;
    TEventProc OnDestroy = nullptr;

private:
    friend INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    void MoveToLeftTop();
    void Resize(int width, int height);
    bool destroying_ = false;     // guards against a WM_DESTROY sent again from OnDestroy
    bool* boundFlag_ = nullptr;   // ShowModal's "the dialog took the object" flag
};

// A modal popup (WS_POPUP | WS_VISIBLE | DS_MODALFRAME) that closes with 2 on IDCANCEL unless
// OnCommand is set.
class TModalDialog : public TAPIDialog {
public:
    explicit TModalDialog(HWND owner);
    void DefaultHandler(TMessageRecord& message) override;

protected:
    void InitDialog(TMessageRecord& message, bool applyIcon);
    void EraseBackground(TMessageRecord& message);
};

// A modal dialog that draws PaintIcon at (10, 10) and lets the program set the cursor.
class TModalDialogCursor : public TModalDialog {
public:
    explicit TModalDialogCursor(HWND owner);
    void DefaultHandler(TMessageRecord& message) override;

    HICON PaintIcon = nullptr;
    TEventProc OnSetCursor = nullptr;
};

// A TModalDialogCursor placed and sized before it opens: style replaces the default when non-zero.
TModalDialogCursor* CreateModalDialogCursor(HWND owner, int left, int top, int clientWidth,
                                            int clientHeight, DWORD style,
                                            TEventProc onInitDialog);

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
#endif  // !PELMIRA_HOOKLIB

#if PELMIRA_HOOKLIB
// =============================================================================================
// Hook library build only: the panel that holds the buttons added to a colour dialog. The
// controller draws its buttons on its own window.
// =============================================================================================

// A child window of class "APIPanel" that draws an outer and an inner edge: 1 raised, 2 sunken,
// anything else none. GetWindowClass resets the edges to raised / none / inset 2.
class TAPIPanel : public TAPIWindow3 {
public:
    explicit TAPIPanel(HWND parent);

    void GetWindowClass(WNDCLASSA& windowClass) override;
    void GetCreateArgs(TWindowCreateArgs& args) override;
    void DefaultHandler(TMessageRecord& message) override;

    BYTE OuterEdge = 1;
    BYTE InnerEdge = 0;
    int EdgeInset = 2;
};

TAPIPanel* CreatePanel(HWND parent, int left, int top, int width, int height);

LRESULT CALLBACK PanelWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
#endif  // PELMIRA_HOOKLIB
