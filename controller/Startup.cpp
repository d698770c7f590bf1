// Startup.cpp: the entry sequence of vorlund.exe and its shutdown at WM_DESTROY.
#include "Startup.h"

#include "About.h"
#include "CommandIds.h"
#include "Commands.h"
#include "Companion.h"
#include "ControllerState.h"
#include "Feedback.h"
#include "MainWindow.h"
#include "Program.h"
#include "Settings.h"
#include "UtilFunc.h"

#include <optional>

namespace {

// FARPROC to a typed entry point; the detour through void(*)() is the cast the compiler
// accepts between unrelated function types.
template <class T>
void Bind(HMODULE library, const char* name, T& entry) {
    entry = reinterpret_cast<T>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

}  // namespace

void UnloadHookLibrary() {
    if (HookLibrary != nullptr) ::FreeLibrary(HookLibrary);
    HookLibrary = nullptr;
    // The entry points lived in the library's image, which is gone now.
    GetFMObj = nullptr;
    ReleaseFMObj = nullptr;
    SetHook = nullptr;
    RemoveHook = nullptr;
    ChkDialog = nullptr;
    BtnTestProc = nullptr;
    AllwaysOnTop = nullptr;
    GetResHandle = nullptr;
}

void TaskbarCreated(TMessageRecord*) noexcept {
    // Explorer started again with an empty notification area: the icon is ours to add again.
    if (MenuItemChecked(kCmdTrayIcon)) ::Shell_NotifyIconA(NIM_ADD, &State.TrayIconData);
}

bool BindHookLibrary(HMODULE library) {
    Bind(library, "GetFMObj", GetFMObj);
    Bind(library, "ReleaseFMObj", ReleaseFMObj);
    Bind(library, "SetHook", SetHook);
    Bind(library, "RemoveHook", RemoveHook);
    Bind(library, "ChkDialog", ChkDialog);
    Bind(library, "BtnTestProc", BtnTestProc);
    Bind(library, "AllwaysOnTop", AllwaysOnTop);
    Bind(library, "GetResHandle", GetResHandle);
    return GetFMObj && ReleaseFMObj && SetHook && RemoveHook && ChkDialog && BtnTestProc && AllwaysOnTop &&
           GetResHandle;
}

void NameIniFiles() {
    State.LanguageFile = State.ProgramBase + "Lang" + ".ini";
    State.LayoutFile = State.ProgramBase + "Form" + ".ini";
    State.SettingsFile = State.ProgramBase + ".ini";
}

int StartShowCommand(int startupShowState, int showOption, int trayOption) {
    if (startupShowState != SW_SHOWMINNOACTIVE && showOption == 1) return SW_SHOWNORMAL;
    // Minimised; hidden when the tray icon is to carry the program instead.
    return trayOption == 1 ? SW_HIDE : SW_MINIMIZE;
}

void CreateParamsHook(TWindowCreateArgs* args) {
    args->Style = kMainWindowStyle;
    const TIniFile settings(State.SettingsFile);
    SetStartupShowState(StartShowCommand(GetStartupShowState(), settings.ReadInt(State.AppTitle, "Show", 1),
                                         settings.ReadInt(State.AppTitle, "Tray", 0)));
}

void PublishDialogFlags() {
    TLibraryBlock block;
    if (!block) return;  // the block keeps the values it had
    block->Dialog = MenuItemChecked(kCmdDialog) ? 1 : 0;
    block->WebSafe = MenuItemChecked(kCmdWebSafe) ? 1 : 0;
}

void RegisterMainWindowHandlers(TSDIMainWindow& window) {
    window.OnCreateParams = CreateParamsHook;
    window.OnCreate = MainWindowCreate;
    window.OnDestroy = MainWindowDestroy;
    window.OnCommand = MainWindowCommand;
    // The window's table, for the messages its class leaves alone. Registered before the window
    // exists; the menus and buttons these handlers act on are built before anything in WM_CREATE
    // can pump messages (the hook's probe dialog of the Suspend command).
    window.AddMessageHandler(WM_CLOSE, MainWindowClose);
    window.AddMessageHandler(WM_ACTIVATE, MainWindowActivate);
    window.AddMessageHandler(WM_SYSCOMMAND, SystemCommand);
    window.AddMessageHandler(WM_CONTEXTMENU, MainWindowContextMenu);
    window.AddMessageHandler(kTrayCallbackMessage, TrayNotify);
    static const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    if (taskbarCreated != 0) window.AddMessageHandler(taskbarCreated, TaskbarCreated);
    if (CompanionMessage() != 0) window.AddMessageHandler(CompanionMessage(), CompanionMessageArrived);
}

void MainWindowDestroy(TMessageRecord*) {
    // The hooks first: nothing may reach this window through either library from here on.
    RemoveHook();
    EndCompanion();
    UpdateTrayIcon(false);
    if (MenuItemChecked(kCmdTrayIcon)) ::Shell_NotifyIconA(NIM_DELETE, &State.TrayIconData);

    // Saved while the window still shows its real visibility and position.
    SaveSettings(CollectSettings());
    ::ShowWindow(State.MainWindowHandle, SW_HIDE);

    if (State.IconList) {
        for (int i = 0; i < 3; ++i) ::DestroyIcon(reinterpret_cast<HICON>(State.IconList->Get(i)));
    }
    State.MainFont.reset();
    State.StatusFont.reset();
    State.TipFont.reset();
    State.TipIdList.reset();
    State.TextList.reset();
    State.FolderList.reset();
    State.IconList.reset();
    FreeLinkCursor();
    // The controls go with the window once this handler returns, the accelerator table with
    // them; the message loop runs on until WM_QUIT and must not translate with it.
    ForgetMainForm();
    State.CurrentAccel = nullptr;

    UnloadHookLibrary();
    // The framework frees the window object once this handler returns.
    State.MainWindow = nullptr;
    ::PostQuitMessage(0);
}

int RunProgram() {
    State.ProgramBase = ModulePathNoExt();
    State.ProgramFolder = ModuleDir();

    HookLibrary = ::LoadLibraryA((State.ProgramFolder + kHookLibraryName).c_str());
    if (HookLibrary == nullptr) {
        ::MessageBoxA(nullptr, kLibraryProblemText, kLibraryProblemCaption, MB_ICONINFORMATION);
        return 0;
    }
    // Selector 10 answers whether the library holds the shared block; without it nothing works.
    const bool bound = BindHookLibrary(HookLibrary);
    if (!bound || GetResHandle(10) == nullptr) {
        // The library records a failed block creation instead of telling every host program.
        if (bound)
            ::MessageBoxA(nullptr, "CreateFileMapping error..", "Pelmira", MB_ICONWARNING | MB_SETFOREGROUND);
        UnloadHookLibrary();
        return 0;
    }

    NameIniFiles();
    std::optional<TStartupIniCache> startupReads(std::in_place);
    State.AppTitle = ReadText(TIniFile(State.LanguageFile), Texts::Title);

    // The running instance is found by its window class, which is the title.
    if (const HWND running = FindWindowByClass(State.AppTitle)) {
        const std::string text = DuplicateStartText(TIniFile(State.LanguageFile));
        ::MessageBoxA(running, text.c_str(), State.AppTitle.c_str(), MB_ICONINFORMATION);
        UnloadHookLibrary();
        return 0;
    }

    State.MainWindow = new TSDIMainWindow(nullptr, State.AppTitle);
    RegisterMainWindowHandlers(*State.MainWindow);
    State.MainWindow->Execute();
    if (State.MainWindowHandle == nullptr || !::IsWindow(State.MainWindowHandle)) {
        // Without a window there is nothing to end the message loop: leave now.
        UnloadHookLibrary();
        return 0;
    }

    if (ExtensionButtonDown()) OpenExtendedViewAtStart();
    if (OnTopButtonDown()) SetAlwaysOnTop(true);
    PublishDialogFlags();
    startupReads.reset();
    // Once the window exists: the companion's hello comes to it.
    StartCompanion();

    return RunMessageLoop(State.MainWindowHandle, State.CurrentAccel);
}
