// Startup.cpp: the entry sequence of vorlund.exe and its shutdown at WM_DESTROY.
#include "Startup.h"

#include "About.h"
#include "MainWindow.h"
#include "Program.h"
#include "Settings.h"
#include "UtilFunc.h"

namespace {

// FARPROC to a typed entry point; the detour through void(*)() is the cast the compiler
// accepts between unrelated function types.
template <class T>
void Bind(HMODULE library, const char* name, T& entry) {
    entry = reinterpret_cast<T>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

void UnloadHookLibrary() {
    if (HookLibrary != nullptr) ::FreeLibrary(HookLibrary);
    HookLibrary = nullptr;
}

}  // namespace

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
    LanguageFile = ProgramBase + "Lang" + ".ini";
    LayoutFile = ProgramBase + "Form" + ".ini";
    SettingsFile = ProgramBase + ".ini";
}

int StartShowCommand(int startupShowState, int showOption, int trayOption) {
    if (startupShowState != SW_SHOWMINNOACTIVE && showOption == 1) return SW_SHOWNORMAL;
    // Minimised; hidden when the tray icon is to carry the program instead.
    return trayOption == 1 ? SW_HIDE : SW_MINIMIZE;
}

void CreateParamsHook(TWindowCreateArgs* args) {
    args->Style = kMainWindowStyle;
    const TIniFile settings(SettingsFile);
    SetStartupShowState(StartShowCommand(GetStartupShowState(), settings.ReadInt(AppTitle, "Show", 1),
                                         settings.ReadInt(AppTitle, "Tray", 0)));
}

void PublishDialogFlags() {
    TLibraryBlock block;
    if (!block) return;  // the block keeps the values it had
    block->Dialog = MenuItemChecked(kCmdDialog) ? 1 : 0;
    block->WebSafe = MenuItemChecked(kCmdWebSafe) ? 1 : 0;
}

void MainWindowDestroy(TMessageRecord*) {
    // The hook first: nothing may reach this window through the library from here on.
    RemoveHook();
    UpdateTrayIcon(false);
    if (MenuItemChecked(kCmdTrayIcon)) ::Shell_NotifyIconA(NIM_DELETE, &TrayIconData);

    // Saved while the window still shows its real visibility and position.
    SaveSettings();
    ::ShowWindow(MainWindowHandle, SW_HIDE);

    if (IconList) {
        for (int i = 0; i < 3; ++i) ::DestroyIcon(reinterpret_cast<HICON>(IconList->Get(i)));
    }
    MainFont.reset();
    StatusFont.reset();
    TipFont.reset();
    TipIdList.reset();
    TextList.reset();
    FolderList.reset();
    IconList.reset();
    FreeLinkCursor();
    // The controls go with the window once this handler returns.
    ForgetMainForm();

    UnloadHookLibrary();
    // The framework frees the window object once this handler returns.
    MainWindow = nullptr;
    ::PostQuitMessage(0);
}

int RunProgram() {
    ProgramBase = ModulePathNoExt();
    ProgramFolder = ModuleDir();

    HookLibrary = ::LoadLibraryA((ProgramFolder + kHookLibraryName).c_str());
    if (HookLibrary == nullptr) {
        ::MessageBoxA(nullptr, kLibraryProblemText, kLibraryProblemCaption, MB_ICONINFORMATION);
        return 0;
    }
    // Selector 10 answers whether the library holds the shared block; without it nothing works.
    if (!BindHookLibrary(HookLibrary) || GetResHandle(10) == nullptr) {
        UnloadHookLibrary();
        return 0;
    }

    NameIniFiles();
    AppTitle = ReadText(TIniFile(LanguageFile), Texts::Title);

    // The running instance is found by its window class, which is the title.
    if (const HWND running = FindWindowByClass(AppTitle)) {
        const std::string text = DuplicateStartText(TIniFile(LanguageFile));
        ::MessageBoxA(running, text.c_str(), AppTitle.c_str(), MB_ICONINFORMATION);
        UnloadHookLibrary();
        return 0;
    }

    MainWindow = new TSDIMainWindow(nullptr, AppTitle);
    MainWindow->OnCreateParams = CreateParamsHook;
    MainWindow->OnCreate = MainWindowCreate;
    MainWindow->OnDestroy = MainWindowDestroy;
    MainWindow->OnCommand = MainWindowCommand;
    MainWindow->Execute();
    if (MainWindowHandle == nullptr || !::IsWindow(MainWindowHandle)) {
        // Without a window there is nothing to end the message loop: leave now.
        UnloadHookLibrary();
        return 0;
    }

    if (ExtensionButtonDown()) OpenExtendedViewAtStart();
    if (OnTopButtonDown()) SetAlwaysOnTop(true);
    PublishDialogFlags();

    return RunMessageLoop(MainWindowHandle, CurrentAccel);
}
