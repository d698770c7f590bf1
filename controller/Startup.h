// Startup.h: the controller's entry sequence and its orderly shutdown.
//
// RunProgram loads and binds the hook library, names the INI files, reads the title, refuses a
// second instance, creates the main window with every handler it has (RegisterMainWindowHandlers)
// and runs the message loop; MainWindowDestroy (the main window's WM_DESTROY handler) removes the
// hook, saves the options and ends the loop. The top of the controller: it may use every unit.
#pragma once

#include "Config.h"

#include <string>

#include "APIWindow.h"

// Texts of the start-up failure that has no language file to come from.
inline constexpr const char* kLibraryProblemText = "Program cannot be started,\r\nProblem is in Skerrow.dll.";
inline constexpr const char* kLibraryProblemCaption = "oops!!";
inline constexpr const char* kHookLibraryName = "\\skerrow.dll";

// The main window's fixed style: caption, system menu and minimise box, no sizing border and
// no maximise box.
inline constexpr DWORD kMainWindowStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
static_assert(kMainWindowStyle == 0x10CA0000);

// The whole program; answers the process exit code.
int RunProgram();

// Binds the eight exports the controller uses, in their fixed order; true when all were found.
bool BindHookLibrary(HMODULE library);

// Frees the hook library and clears its entry points.
void UnloadHookLibrary();
// The shell's "TaskbarCreated": the tray icon is added again when it is on.
void TaskbarCreated(TMessageRecord* message) noexcept;

// Names SettingsFile, LanguageFile and LayoutFile from ProgramBase.
void NameIniFiles();

// The show command of the main window: a start minimised without activation keeps the window
// minimised (hidden with the tray icon on); otherwise the saved Show option decides between a
// normal window and a minimised (or, with the tray icon, hidden) one.
int StartShowCommand(int startupShowState, int showOption, int trayOption);

// The main window's create-parameters hook: the fixed style and the show command.
void CreateParamsHook(TWindowCreateArgs* args);

// Writes the check states of items 304 and 305 into the library's shared block, when it opens.
void PublishDialogFlags();

// Every handler of the main window, set on the object before it creates its window: the create
// parameters, WM_CREATE, WM_DESTROY, WM_COMMAND, and the messages the window's table routes.
void RegisterMainWindowHandlers(TSDIMainWindow& window);

// WM_DESTROY of the main window.
void MainWindowDestroy(TMessageRecord* message);
