// Windows, dialogs and the message loop, driven with real windows and real messages.
#include <gtest/gtest.h>

#include "APIWindow.h"

#include <new>
#include <stdexcept>
#include <string>

namespace {

// A memory bitmap to hand to WM_ERASEBKGND, pre-filled with a colour that no test uses.
class MemoryCanvas {
public:
    MemoryCanvas() {
        HDC screen = ::GetDC(nullptr);
        dc_ = ::CreateCompatibleDC(screen);
        bitmap_ = ::CreateCompatibleBitmap(screen, 400, 300);
        ::ReleaseDC(nullptr, screen);
        old_ = ::SelectObject(dc_, bitmap_);
        RECT all{0, 0, 400, 300};
        HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
        ::FillRect(dc_, &all, brush);
        ::DeleteObject(brush);
    }
    ~MemoryCanvas() {
        ::SelectObject(dc_, old_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    COLORREF Pixel(int x, int y) const { return ::GetPixel(dc_, x, y); }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// Callbacks have no context argument: they report through these.
int createCalls = 0;
int destroyCalls = 0;
int commandCalls = 0;
TMessageRecord lastCommand{};
int firstHandlerCalls = 0;
int secondHandlerCalls = 0;
LRESULT commandAnswer = 0;

void ResetCounters() {
    createCalls = destroyCalls = commandCalls = 0;
    firstHandlerCalls = secondHandlerCalls = 0;
    lastCommand = {};
    commandAnswer = 0;
}

void CountCreate(TMessageRecord*) { ++createCalls; }
void CountDestroy(TMessageRecord*) { ++destroyCalls; }
void RecordCommand(TMessageRecord* m) {
    ++commandCalls;
    lastCommand = *m;
    m->Result = commandAnswer;
}
void FirstHandler(TMessageRecord* m) {
    ++firstHandlerCalls;
    m->Result = 1234;
}
void SecondHandler(TMessageRecord*) { ++secondHandlerCalls; }
void RefuseCreate(TMessageRecord* m) { m->Result = -1; }
void FailOutOfMemory(TMessageRecord*) { throw std::bad_alloc(); }
void FailWithError(TMessageRecord*) { throw std::runtime_error("handler failed"); }

// Each test names its own class so that class registration stays independent of test order.
std::string ClassName(const char* stem) {
    return std::string("PelmiraTest") + stem;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetCounters();
        liveBefore_ = TObject::LiveObjectCount();
    }
    void TearDown() override {
        for (HWND w : windows_) {
            if (::IsWindow(w)) ::DestroyWindow(w);
        }
        EXPECT_EQ(TObject::LiveObjectCount(), liveBefore_) << "a window object outlived its window";
    }
    // Most tests keep their windows hidden: without a window manager, Wine waits up to two
    // seconds for one whenever a shown top-level window goes away.
    template <class T>
    T* Open(const char* stem, bool visible = false) {
        auto* window = new T(nullptr, ClassName(stem));
        if (!visible) window->OnCreateParams = [](TWindowCreateArgs* a) { a->Style &= ~WS_VISIBLE; };
        window->OnCreate = CountCreate;
        window->OnDestroy = CountDestroy;
        window->Execute();
        windows_.push_back(window->Handle);
        return window;
    }

    long liveBefore_ = 0;
    std::vector<HWND> windows_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Lifecycle: bound at creation, freed at WM_DESTROY exactly once
// ---------------------------------------------------------------------------------------------

TEST_F(WindowTest, ExecuteBindsTheObjectAndShowsTheWindow) {
    auto* window = Open<TAPIWindow>("Bind", true);
    HWND hwnd = window->Handle;
    ASSERT_TRUE(::IsWindow(hwnd));
    EXPECT_EQ(::GetPropA(hwnd, "OBJECT"), window);
    EXPECT_EQ(createCalls, 1);
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    char text[64] = {};
    ::GetWindowTextA(hwnd, text, sizeof(text));
    EXPECT_STREQ(text, ClassName("Bind").c_str());
    ::GetClassNameA(hwnd, text, sizeof(text));
    EXPECT_STREQ(text, ClassName("Bind").c_str());
    EXPECT_EQ(window->Color, ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(WindowTest, ExecuteShowsAVisibleWindowWithTheSettableStartupState) {
    // The controller starts hidden in the tray by setting the state before its window exists.
    const int saved = GetStartupShowState();
    SetStartupShowState(SW_HIDE);
    HWND hidden = Open<TAPIWindow>("StartHidden", true)->Handle;
    SetStartupShowState(SW_SHOWMINNOACTIVE);
    HWND minimized = Open<TAPIWindow>("StartMinimized", true)->Handle;
    SetStartupShowState(saved);
    EXPECT_EQ(GetStartupShowState(), saved);
    EXPECT_FALSE(::IsWindowVisible(hidden));
    EXPECT_TRUE(::IsIconic(minimized));
}

TEST_F(WindowTest, DestroyFreesEveryWindowClassOnce) {
    HWND a = Open<TAPIWindow>("FreeA")->Handle;
    HWND b = Open<TAPIWindow2>("FreeB")->Handle;
    HWND c = Open<TAPIWindow3>("FreeC")->Handle;
    HWND d = Open<TSDIMainWindow>("FreeD")->Handle;
    EXPECT_GT(TObject::LiveObjectCount(), liveBefore_);
    for (HWND w : {a, b, c, d}) ::DestroyWindow(w);
    EXPECT_EQ(destroyCalls, 4);
    EXPECT_EQ(TObject::LiveObjectCount(), liveBefore_);
}

TEST_F(WindowTest, ASentDestroyFreesTheObjectAndTheLaterRealOneFindsNothing) {
    // The controller ends its main window by sending WM_DESTROY; the window itself goes later.
    HWND hwnd = Open<TSDIMainWindow>("SentDestroy")->Handle;
    ::SendMessageA(hwnd, WM_DESTROY, 0, 0);
    EXPECT_EQ(destroyCalls, 1);
    EXPECT_EQ(TObject::LiveObjectCount(), liveBefore_);
    EXPECT_EQ(::GetPropA(hwnd, "OBJECT"), nullptr);
    ::DestroyWindow(hwnd);
    EXPECT_EQ(destroyCalls, 1);
}

namespace {
HWND destroyAgainTarget = nullptr;
void DestroyAgain(TMessageRecord*) {
    ++destroyCalls;
    ::DestroyWindow(destroyAgainTarget);  // sends a second WM_DESTROY while the first runs
}
}  // namespace

TEST_F(WindowTest, DestroyingAgainFromOnDestroyDoesNotFreeTwice) {
    auto* window = Open<TAPIWindow>("DestroyTwice");
    window->OnDestroy = DestroyAgain;
    destroyAgainTarget = window->Handle;
    ::SendMessageA(window->Handle, WM_DESTROY, 0, 0);
    EXPECT_EQ(destroyCalls, 1);
    EXPECT_FALSE(::IsWindow(destroyAgainTarget));
}

// A handler that throws gets the answer of a window without an object, and the window goes on.
TEST_F(WindowTest, AThrowingHandlerGetsDefWindowProcsAnswerAndLaterMessagesArrive) {
    auto* window = Open<TAPIWindow2>("Throwing");
    HWND hwnd = window->Handle;
    window->AddMessageHandler(WM_GETTEXTLENGTH, FailOutOfMemory);
    window->OnCommand = FailWithError;
    EXPECT_EQ(::SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0),
              static_cast<LRESULT>(ClassName("Throwing").size()));
    EXPECT_EQ(::SendMessageA(hwnd, WM_COMMAND, 5, 0), 0);

    window->OnCommand = RecordCommand;
    commandAnswer = 9;
    EXPECT_EQ(::SendMessageA(hwnd, WM_COMMAND, 6, 0), 9);
    EXPECT_EQ(commandCalls, 1);
    EXPECT_EQ(::GetPropA(hwnd, "OBJECT"), window);
}

TEST_F(WindowTest, AThrowingOnDestroyStillFreesTheObjectWithItsWindow) {
    auto* window = Open<TAPIWindow3>("ThrowingDestroy");
    window->OnDestroy = FailOutOfMemory;
    HWND hwnd = window->Handle;
    ::DestroyWindow(hwnd);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(TObject::LiveObjectCount(), liveBefore_);
}

TEST_F(WindowTest, CreationRefusedInOnCreateLeavesNoObjectBehind) {
    auto* window = new TAPIWindow3(nullptr, ClassName("Refused"));
    window->OnCreate = RefuseCreate;
    window->OnDestroy = CountDestroy;
    window->Execute();  // must not touch the object the failed creation already freed
    EXPECT_LE(destroyCalls, 1);  // Windows sends WM_DESTROY here, Wine only WM_NCDESTROY
    EXPECT_EQ(::FindWindowA(ClassName("Refused").c_str(), nullptr), nullptr);
}

TEST_F(WindowTest, CreateArgsCallbackCanKeepTheWindowHidden) {
    static TWindowCreateArgs seenArgs;
    auto* window = new TAPIWindow(nullptr, ClassName("Args"));
    window->OnCreateParams = [](TWindowCreateArgs* a) {
        seenArgs = *a;
        a->Style = WS_OVERLAPPED | WS_CAPTION;  // without WS_VISIBLE Execute does not show it
    };
    window->Execute();
    windows_.push_back(window->Handle);
    EXPECT_EQ(seenArgs.Style, static_cast<DWORD>(WS_VISIBLE | WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(seenArgs.Param, window);
    EXPECT_FALSE(::IsWindowVisible(window->Handle));
}

// ---------------------------------------------------------------------------------------------
// WM_COMMAND, WM_SETCURSOR and the message table
// ---------------------------------------------------------------------------------------------

TEST_F(WindowTest, EveryWindowClassHandsCommandToOnCommandWhenSet) {
    TAPIWindow* windows[] = {Open<TAPIWindow>("CmdA"), Open<TAPIWindow2>("CmdB"),
                             Open<TAPIWindow3>("CmdC"), Open<TSDIMainWindow>("CmdD")};
    for (TAPIWindow* w : windows) {
        ResetCounters();
        EXPECT_EQ(::SendMessageA(w->Handle, WM_COMMAND, MAKEWPARAM(321, 0), 0), 0);
        EXPECT_EQ(commandCalls, 0) << "no OnCommand set";

        w->OnCommand = RecordCommand;
        commandAnswer = 55;
        EXPECT_EQ(::SendMessageA(w->Handle, WM_COMMAND, MAKEWPARAM(321, 1), 77), 55)
            << "the callback answers through Result";
        EXPECT_EQ(commandCalls, 1);
        EXPECT_EQ(lastCommand.Msg, static_cast<UINT_PTR>(WM_COMMAND)) << "Msg is not the sender";
        EXPECT_EQ(lastCommand.WParam, MAKEWPARAM(321, 1));
        EXPECT_EQ(lastCommand.LParam, 77);
    }
}

TEST_F(WindowTest, SetCursorHandlerRunsOnWindow2ButNeverOnWindow3) {
    auto* two = Open<TAPIWindow2>("CursorTwo");
    auto* three = Open<TAPIWindow3>("CursorThree");
    two->AddMessageHandler(WM_SETCURSOR, FirstHandler);
    three->AddMessageHandler(WM_SETCURSOR, FirstHandler);
    three->Cursor = ::LoadCursorA(nullptr, IDC_CROSS);

    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    EXPECT_EQ(::SendMessageA(two->Handle, WM_SETCURSOR, (WPARAM)two->Handle, overClient), 1234);
    EXPECT_EQ(firstHandlerCalls, 1);

    EXPECT_EQ(::SendMessageA(three->Handle, WM_SETCURSOR, (WPARAM)three->Handle, overClient), 1);
    EXPECT_EQ(::GetCursor(), three->Cursor);
    const LPARAM overCaption = MAKELPARAM(HTCAPTION, WM_MOUSEMOVE);
    ::SendMessageA(three->Handle, WM_SETCURSOR, (WPARAM)three->Handle, overCaption);
    EXPECT_EQ(firstHandlerCalls, 1) << "TAPIWindow3 owns WM_SETCURSOR";
}

TEST_F(WindowTest, OnlyTheFirstHandlerForAMessageIsCalled) {
    auto* window = Open<TAPIWindow3>("TwoHandlers");
    const UINT custom = WM_APP + 7;
    window->AddMessageHandler(custom, FirstHandler);
    window->AddMessageHandler(custom, SecondHandler);
    window->AddMessageHandler(WM_COMMAND, SecondHandler);  // the class keeps WM_COMMAND
    EXPECT_EQ(window->MessageCount, 3);
    EXPECT_EQ(::SendMessageA(window->Handle, custom, 0, 0), 1234);
    EXPECT_EQ(::SendMessageA(window->Handle, WM_COMMAND, 1, 0), 0);
    EXPECT_EQ(firstHandlerCalls, 1);
    EXPECT_EQ(secondHandlerCalls, 0);
}

TEST_F(WindowTest, EraseBackgroundFillsWithColorOnEveryWindowClass) {
    TAPIWindow* windows[] = {Open<TAPIWindow>("EraseA"), Open<TAPIWindow2>("EraseB"),
                             Open<TAPIWindow3>("EraseC"), Open<TSDIMainWindow>("EraseD")};
    for (TAPIWindow* w : windows) {
        w->Color = RGB(12, 200, 56);
        MemoryCanvas canvas;
        EXPECT_EQ(::SendMessageA(w->Handle, WM_ERASEBKGND, (WPARAM)canvas.Dc(), 0), 1);
        EXPECT_EQ(canvas.Pixel(5, 5), RGB(12, 200, 56));
    }
}

// ---------------------------------------------------------------------------------------------
// TAPIWindow3 geometry
// ---------------------------------------------------------------------------------------------

TEST_F(WindowTest, ClientSizeSettersFollowTheirPlusOneArithmetic) {
    auto* window = Open<TAPIWindow3>("ClientSize");
    window->SetClientHeight(150);
    EXPECT_EQ(window->GetClientHeight(), 151);
    window->SetClientWidth(220);
    EXPECT_EQ(window->GetClientWidth(), 220);
    EXPECT_EQ(window->GetClientHeight(), 151) << "width change keeps the height";

    RECT rect{};
    ::GetWindowRect(window->Handle, &rect);
    EXPECT_EQ(window->Width(), rect.right - rect.left + 1);
    EXPECT_EQ(window->Height(), rect.bottom - rect.top + 1);
}

TEST_F(WindowTest, PositionOfATopLevelWindowIsOnTheScreen) {
    auto* window = Open<TAPIWindow3>("Position");
    window->SetLeft(50);
    window->SetTop(60);
    EXPECT_EQ(window->GetLeft(), 50);
    EXPECT_EQ(window->GetTop(), 60);

    window->CenterOnScreen();
    RECT rect{};
    ::GetWindowRect(window->Handle, &rect);
    EXPECT_EQ(rect.left, (::GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2);
    EXPECT_EQ(rect.top, (::GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2);
}

TEST_F(WindowTest, PositionOfAChildWindowIsInItsParentsClientArea) {
    auto* parent = Open<TAPIWindow3>("ChildParent", true);
    parent->SetLeft(100);
    auto* child = new TAPIWindow3(parent->Handle, ClassName("Child"));
    child->OnCreateParams = [](TWindowCreateArgs* a) {
        a->Style = WS_CHILD | WS_VISIBLE;
        a->X = a->Y = 0;
        a->Width = a->Height = 40;
    };
    child->Execute();
    child->SetLeft(30);
    child->SetTop(20);
    EXPECT_EQ(child->GetLeft(), 30);
    EXPECT_EQ(child->GetTop(), 20);
    EXPECT_TRUE(child->IsVisible());
    child->SetVisible(false);
    EXPECT_FALSE(child->IsVisible());
}

TEST_F(WindowTest, WindowStateRoundTrips) {
    auto* window = Open<TAPIWindow3>("State");
    EXPECT_EQ(window->GetWindowState(), 2);
    window->SetWindowState(1);
    EXPECT_EQ(window->GetWindowState(), 1);
    window->SetWindowState(0);
    EXPECT_EQ(window->GetWindowState(), 0);
    window->SetWindowState(2);
    EXPECT_EQ(window->GetWindowState(), 2);
    window->SetWindowState(7);  // ignored
    EXPECT_EQ(window->GetWindowState(), 2);
}

// ---------------------------------------------------------------------------------------------
// Message loop
// ---------------------------------------------------------------------------------------------

namespace {
HACCEL loopAccel = nullptr;
HACCEL loopTable = nullptr;
HWND loopWindow = nullptr;
void InstallAccelAndPressF5(TMessageRecord*) {
    loopAccel = loopTable;  // takes effect with the very next message
    ::PostMessageA(loopWindow, WM_KEYDOWN, VK_F5, 0);
}
void QuitOnAccelCommand(TMessageRecord* m) {
    RecordCommand(m);
    if (LOWORD(m->WParam) == 555) ::PostQuitMessage(42);
}
void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(-1); }
}  // namespace

TEST_F(WindowTest, MessageLoopReadsTheAcceleratorVariableForEveryMessage) {
    auto* window = Open<TAPIWindow2>("Loop");
    loopWindow = window->Handle;
    ACCEL entry{FVIRTKEY, VK_F5, 555};
    loopTable = ::CreateAcceleratorTableA(&entry, 1);
    loopAccel = nullptr;
    window->OnCommand = QuitOnAccelCommand;
    window->AddMessageHandler(WM_APP + 1, InstallAccelAndPressF5);
    ::PostMessageA(loopWindow, WM_APP + 1, 0, 0);
    const UINT_PTR guard = ::SetTimer(nullptr, 0, 10000, GiveUp);
    EXPECT_EQ(RunMessageLoop(loopWindow, loopAccel), 42);
    ::KillTimer(nullptr, guard);
    EXPECT_EQ(commandCalls, 1);
    EXPECT_EQ(HIWORD(lastCommand.WParam), 1) << "an accelerator command";
    ::DestroyAcceleratorTable(loopTable);
}

// ---------------------------------------------------------------------------------------------
// Modal dialogs
// ---------------------------------------------------------------------------------------------

namespace {
TModalDialog* currentDialog = nullptr;
HWND dialogWindow = nullptr;
bool stillOpenAfterEnter = false;
int dialogDestroyCalls = 0;

void CALLBACK CheckOpenThenEscape(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    stillOpenAfterEnter = ::IsWindow(dialogWindow) != FALSE;
    ::PostMessageA(dialogWindow, WM_KEYDOWN, VK_ESCAPE, 0);
}
void CALLBACK EndStuckDialog(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (::IsWindow(dialogWindow)) ::EndDialog(dialogWindow, 999);
}

// Keys go through the modal loop's dialog-message handling like typed ones: Enter becomes IDOK,
// Esc IDCANCEL. Timers come after the posted key, so the check sees the Enter already handled.
void PressEnterThenCheck(TMessageRecord*) {
    dialogWindow = currentDialog->Handle;
    ::PostMessageA(dialogWindow, WM_KEYDOWN, VK_RETURN, 0);
    ::SetTimer(nullptr, 0, 1, CheckOpenThenEscape);
}
void CountDialogDestroy(TMessageRecord*) { ++dialogDestroyCalls; }

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetCounters();
        stillOpenAfterEnter = false;
        dialogDestroyCalls = 0;
        owner_ = new TAPIWindow3(nullptr, ClassName("DialogOwner"));
        owner_->OnCreateParams = [](TWindowCreateArgs* a) { a->Style &= ~WS_VISIBLE; };
        owner_->Execute();
        owner_->SetLeft(120);
        owner_->SetTop(90);
        liveBefore_ = TObject::LiveObjectCount();
    }
    void TearDown() override {
        EXPECT_EQ(TObject::LiveObjectCount(), liveBefore_) << "the dialog object outlived it";
        ::DestroyWindow(owner_->Handle);
    }
    // Runs the dialog; a timer ends it with 999 should the test's own steps fail to.
    INT_PTR Run(TModalDialog* dialog) {
        currentDialog = dialog;
        dialogWindow = nullptr;
        const UINT_PTR guard = ::SetTimer(nullptr, 0, 10000, EndStuckDialog);
        const INT_PTR result = dialog->ShowModal();
        ::KillTimer(nullptr, guard);
        currentDialog = nullptr;
        return result;
    }

    TAPIWindow3* owner_ = nullptr;
    long liveBefore_ = 0;
};
}  // namespace

TEST_F(DialogTest, WithoutOnCommandEscCloses2AndEnterDoesNotClose) {
    auto* dialog = new TModalDialog(owner_->Handle);
    dialog->OnInitDialog = PressEnterThenCheck;
    dialog->OnDestroy = CountDialogDestroy;
    EXPECT_EQ(Run(dialog), 2);
    EXPECT_TRUE(stillOpenAfterEnter);
    EXPECT_EQ(dialogDestroyCalls, 1);
}

namespace {
void EndWith7OnOk(TMessageRecord* m) {
    RecordCommand(m);
    if (LOWORD(m->WParam) == IDOK) currentDialog->EndModal(7);
}
}  // namespace

TEST_F(DialogTest, OnCommandReplacesTheCancelDefault) {
    auto* dialog = new TModalDialog(owner_->Handle);
    dialog->OnInitDialog = PressEnterThenCheck;
    dialog->OnCommand = EndWith7OnOk;
    EXPECT_EQ(Run(dialog), 7);
    EXPECT_EQ(commandCalls, 1);
    EXPECT_EQ(lastCommand.Msg, static_cast<UINT_PTR>(WM_COMMAND));
    EXPECT_EQ(LOWORD(lastCommand.WParam), IDOK);
}

namespace {
struct OpenedDialog {
    RECT client;
    RECT window;
    POINT ownerOrigin;
    char caption[64];
    LRESULT cursorAnswer;
    COLORREF erased;
    int setCursorCalls;
} opened;

void NoteSetCursor(TMessageRecord*) { ++opened.setCursorCalls; }

void MeasureAndClose(TMessageRecord*) {
    HWND hwnd = currentDialog->Handle;
    ::GetClientRect(hwnd, &opened.client);
    ::GetWindowRect(hwnd, &opened.window);
    opened.ownerOrigin = POINT{0, 0};
    ::ClientToScreen(currentDialog->Owner, &opened.ownerOrigin);
    ::GetWindowTextA(hwnd, opened.caption, sizeof(opened.caption));
    opened.cursorAnswer =
        ::SendMessageA(hwnd, WM_SETCURSOR, (WPARAM)hwnd, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    MemoryCanvas canvas;
    ::SendMessageA(hwnd, WM_ERASEBKGND, (WPARAM)canvas.Dc(), 0);
    opened.erased = canvas.Pixel(3, 3);
    currentDialog->EndModal(5);
}
}  // namespace

TEST_F(DialogTest, CursorDialogOpensWithTheClientSizeAndPlaceItWasGiven) {
    opened = {};
    TModalDialogCursor* dialog =
        CreateModalDialogCursor(owner_->Handle, 40, 30, 300, 200, 0, MeasureAndClose);
    EXPECT_EQ(dialog->Style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | DS_MODALFRAME));
    EXPECT_EQ(dialog->GetClientWidth(), 300) << "stored until the dialog exists";
    dialog->Style |= WS_CAPTION | WS_SYSMENU;  // a frame that differs from the empty template's
    dialog->Color = RGB(30, 60, 90);
    dialog->OnSetCursor = NoteSetCursor;
    EXPECT_EQ(Run(dialog), 5);
    EXPECT_EQ(opened.client.right, 300);
    EXPECT_EQ(opened.client.bottom, 200);
    EXPECT_EQ(opened.window.left, opened.ownerOrigin.x + 40);
    EXPECT_EQ(opened.window.top, opened.ownerOrigin.y + 30);
    EXPECT_STREQ(opened.caption, "APIModalDialog");
    EXPECT_EQ(opened.setCursorCalls, 1);
    EXPECT_EQ(opened.cursorAnswer, 1) << "the cursor counts as set";
    EXPECT_EQ(opened.erased, RGB(30, 60, 90));
}

TEST_F(DialogTest, ModalDialogUsesOuterSizesWhenNoClientSizeIsSet) {
    opened = {};
    auto* dialog = new TModalDialog(owner_->Handle);
    dialog->Style |= WS_CAPTION;
    dialog->Width = 260;
    dialog->Height = 180;
    dialog->SetCaption("sized");
    dialog->OnInitDialog = MeasureAndClose;
    EXPECT_EQ(Run(dialog), 5);
    EXPECT_EQ(opened.window.right - opened.window.left, 260);
    EXPECT_EQ(opened.window.bottom - opened.window.top, 180);
    EXPECT_STREQ(opened.caption, "sized");
    EXPECT_EQ(opened.cursorAnswer, 0) << "no OnSetCursor: the dialog procedure answers alone";
    EXPECT_EQ(opened.erased, ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(DialogTest, ADialogThatCannotOpenIsStillFreed) {
    auto* dialog = new TModalDialog(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF0)));
    dialog->OnDestroy = CountDialogDestroy;
    EXPECT_EQ(dialog->ShowModal(), -1);
    EXPECT_EQ(dialogDestroyCalls, 0);
}

namespace {
INT_PTR failedCommandAnswer = -2;
// Asks the dialog procedure about a command whose handler throws, posts OK, then fails itself.
void AskFailingCommandThenFail(TMessageRecord*) {
    HWND dialog = currentDialog->Handle;
    failedCommandAnswer = DialogProc(dialog, WM_COMMAND, MAKEWPARAM(100, 0), 0);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    throw std::bad_alloc();
}
void FailOn100EndWith7OnOk(TMessageRecord* m) {
    if (LOWORD(m->WParam) == 100) throw std::runtime_error("command failed");
    EndWith7OnOk(m);
}
}  // namespace

// A throwing handler makes the dialog procedure answer FALSE ("not handled"); the dialog stays
// open for the next command, and a throwing OnDestroy still frees the object (TearDown counts).
TEST_F(DialogTest, ThrowingHandlersAnswerNotHandledAndTheDialogGoesOn) {
    auto* dialog = new TModalDialog(owner_->Handle);
    dialog->OnInitDialog = AskFailingCommandThenFail;
    dialog->OnCommand = FailOn100EndWith7OnOk;
    dialog->OnDestroy = FailOutOfMemory;
    EXPECT_EQ(Run(dialog), 7);
    EXPECT_EQ(failedCommandAnswer, FALSE);
    EXPECT_EQ(commandCalls, 1) << "the OK after the failures reached OnCommand";
}
