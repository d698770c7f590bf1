// UtilFunc.h: the framework's free functions: module paths and path pieces, file and folder
// listing, shell rename/delete, INI access with defaults, the folder, colour and file pickers,
// window placement, system colours, the display path shortener and the default menu commands.
// Nothing here owns anything beyond a call; all of it runs on the calling (GUI) thread.
// The string work sits in plain functions (no window, no file) that the Win32 wrappers call.
// Both builds carry the first part; then come the hook library's part and the controller's.
#pragma once

#include "Config.h"

#include <cstdint>
#include <functional>
#include <string>

#include "UtilClass.h"

// ---------------------------------------------------------------------------------------------
// Paths and names (pure string work; "path" is a Windows path with backslashes)
// ---------------------------------------------------------------------------------------------

// When s holds a backslash, drops everything up to and including the first one and answers true.
bool StripFirstComponent(std::string& s);
// Text after the last backslash; empty when the path has no backslash at all.
std::string FileNameOf(const std::string& path);
// The path without its last component and without the separating backslash; empty when the
// path has no backslash (a bare name has no folder part).
std::string DirectoryOf(const std::string& path);
// Decimal text of a signed 32-bit integer.
std::string IntToText(int n);

// ---------------------------------------------------------------------------------------------
// INI files. The readers answer the default when section or key is empty, without reading.
// ---------------------------------------------------------------------------------------------

// Values are read with a declared buffer size of 128, so longer values come back cut to 127.
constexpr DWORD kIniStringSize = 128;

bool IniNamesUsable(const std::string& section, const std::string& key);
int ReadIniInt(const std::string& file, const std::string& section, const std::string& key,
               int defaultValue);
// A missing key and a key with an empty value both give the default.
std::string ReadIniString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& defaultValue);

// ---------------------------------------------------------------------------------------------
// Windows and colours
// ---------------------------------------------------------------------------------------------

bool MoveWindowTo(HWND hwnd, int x, int y);
bool ResizeWindow(HWND hwnd, int width, int height);
SIZE GetScreenSize();
void CenterWindow(HWND hwnd);
// Fills the client rectangle of hwnd on dc; answers 1, what a WM_ERASEBKGND handler returns.
LRESULT FillClient(HWND hwnd, COLORREF color, HDC dc);
RECT MakeRect(int left, int top, int right, int bottom);

COLORREF BtnFaceColor();
COLORREF WindowColor();
COLORREF GrayTextColor();
COLORREF WindowTextColor();

// Nearest of the web-safe steps 0, 51, ..., 255 (25 rounds down, 26 up).
BYTE RoundToWebSafe(BYTE c);
// The colour with each of its components rounded by RoundToWebSafe.
COLORREF WebSafeColor(COLORREF colour);

// The user32 calls that read the screen in physical pixels. SetThreadDpiAwarenessContext is
// looked up at run time: it is missing before Windows 10 1607 (the field is then null).
struct TPhysicalPixelApi {
    using TSetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    using TReadCursor = BOOL(WINAPI*)(LPPOINT);
    TSetContext SetContext = nullptr;
    TReadCursor PhysicalCursor = nullptr;  // GetPhysicalCursorPos
    TReadCursor Cursor = nullptr;          // GetCursorPos
    static const TPhysicalPixelApi& System();
};

// For its life, the calling thread is per-monitor DPI aware where the system can switch a
// thread's awareness: the pointer's position, the screen's device context and window positions
// are then physical pixels, whatever awareness the program declared. A host that declares none
// (or only the system's) on a monitor of another scale would otherwise read a scaled-down
// desktop and miss the pixel under the pointer. The thread's previous awareness comes back at
// the scope's end. Without the call, nothing changes and the thread keeps its coordinates.
// One thread; the scopes nest.
class TPhysicalPixelScope {
public:
    explicit TPhysicalPixelScope(const TPhysicalPixelApi& api = TPhysicalPixelApi::System()) noexcept;
    ~TPhysicalPixelScope();
    TPhysicalPixelScope(const TPhysicalPixelScope&) = delete;
    TPhysicalPixelScope& operator=(const TPhysicalPixelScope&) = delete;

    // The thread is per-monitor aware for this scope's life.
    bool Physical() const noexcept { return previous_ != nullptr; }
    // The pointer in the thread's coordinates: GetPhysicalCursorPos while physical (GetCursorPos
    // when that fails), GetCursorPos otherwise.
    bool CursorPos(POINT& at) const noexcept;

private:
    const TPhysicalPixelApi& api_;
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

// The screen pixel at `at` (the calling thread's coordinates), rounded to web-safe steps when
// asked; CLR_INVALID when the screen cannot be read there.
COLORREF ScreenPixel(POINT at, bool webSafe);
// ScreenPixel at the mouse pointer, both read in one TPhysicalPixelScope.
COLORREF PixelUnderCursor(bool webSafe);
// The window's rectangle on the screen as it is when not minimised: the restored rectangle of a
// minimised window, the window rectangle otherwise.
RECT RestoredWindowRect(HWND hwnd);
// b[0] = blue (bits 16-23), b[1] = green (bits 8-15), b[2] = red (bits 0-7).
void SplitColor(COLORREF v, BYTE b[3]);
// The foreground window belongs to the calling thread.
bool IsOwnForeground();

#if PELMIRA_HOOKLIB
// =============================================================================================
// Hook library build only: what the colour-dialog take-over needs and the controller does not
// (extension and replacement string work, the open and save boxes, the z-order call).
// =============================================================================================

// Text after the last dot of FileNameOf(path); empty when the name has no dot.
std::string ExtensionOf(const std::string& path);
// Replaces the first occurrence of find (non-empty) by replacement; answers whether it did.
bool ReplaceFirst(std::string& s, const std::string& find, const std::string& replacement);

// Result of an open or save box.
struct TOpenSave {
    std::string FullPath;
    std::string FileName;
    std::string Directory;
    std::string Extension;
};

// Size of the open/save boxes' file buffer in characters.
constexpr DWORD kOpenSaveBufferSize = 265;

// How the open box reports its result: the folder is everything before the file name offset,
// so it keeps its trailing backslash; the extension is the text from the extension offset.
// Offsets outside the path (or an extension offset of 0: no extension) give empty parts.
TOpenSave SplitOpenResult(const std::string& fullPath, unsigned fileOffset, unsigned extensionOffset);
// How the save box reports its result: folder without trailing backslash, name, extension.
TOpenSave SplitSaveResult(const std::string& fullPath);

// `filter` is pairs of (description, pattern), each ended by a NUL, the whole ended by one more.
// Both answer the dialog's success and fill `result` only then.
bool OpenFileDialog(HWND owner, const std::string& initialName, const std::string& filter,
                    const std::string& initialFolder, TOpenSave& result);
bool SaveFileDialog(HWND owner, const std::string& initialName, const std::string& filter,
                    const std::string& initialFolder, TOpenSave& result);

bool SetZOrder(HWND hwnd, HWND insertAfter);

#endif  // PELMIRA_HOOKLIB

#if !PELMIRA_HOOKLIB
// =============================================================================================
// Controller build only: module paths, the display path, file and folder listing, shell rename
// and delete, INI writing, the folder and colour pickers, the window search and the default
// commands. A hooked process never calls them, and the hook library should not carry shell and
// file-system code it would never run inside other people's programs.
// =============================================================================================

// ---------------------------------------------------------------------------------------------
// Paths for display and module paths
// ---------------------------------------------------------------------------------------------

// The path cut before its first dot, wherever that dot is (a dotted folder cuts there):
// D:\Tools\app.exe gives D:\Tools\app. The path itself when it has no dot.
std::string PathUpToFirstDot(const std::string& path);
// Display form of a path for a field about `max` characters wide: folders after the drive are
// dropped first and replaced by "\...", a bare name is cut with "...". Empty when max is 0.
// The answer can exceed max by the four characters of "\...".
std::string ShortenPath(const std::string& path, std::uint8_t max);

std::string ModulePath();
std::string ModuleDir();
// ModulePath cut before its first dot: the base of the controller's INI file names.
std::string ModulePathNoExt();

// ---------------------------------------------------------------------------------------------
// Files and folders
// ---------------------------------------------------------------------------------------------

bool FolderExists(const std::string& path);
// FindFirstFileA finds something (plain path or wildcard pattern).
bool PathMatches(const std::string& pattern);
// The on-disk name of the first match (the last component only); empty when nothing matches.
std::string FoundFileName(const std::string& pattern);
// The path with every component in its on-disk long form and letter case; the drive (or share)
// part stays as written. Empty when the path does not exist.
std::string LongPathOf(const std::string& path);
// The rebuild walk of LongPathOf over any name finder (found(path) answers the last component's
// on-disk name or empty). Ends at a drive ("D:"), at a root ("\x"), at a relative path's first
// component, or at a part the finder cannot resolve (a share "\\server\share"), which stays as written.
std::string LongPathWalk(const std::string& path,
                         const std::function<std::string(const std::string&)>& found);
// Adds the name of every non-folder entry matching folder\*.ext in the system's order;
// answers whether the search found anything.
bool ListFiles(const std::string& folder, const std::string& ext, TStringArray& list);
// ListFiles with every name upper-cased (CharUpperA).
void ListFilesUpper(const std::string& folder, const std::string& ext, TStringArray& list);
// Adds the upper-cased name of every sub-folder of folder whose name does not begin with "."
// (which also skips "." and "..").
void ListSubfolders(const std::string& folder, TStringArray& list);
// Local last-write time of the first match of path. Answers false (time zeroed) when nothing matches.
bool FileTimeOf(const std::string& path, SYSTEMTIME& time);
// Shell rename with undo; the shell shows its own errors. True exactly when the shell answers 0.
bool ShellRename(HWND owner, const std::string& from, const std::string& to);
// Shell delete into the recycle bin without a question. True exactly when the shell answers 0.
bool ShellDelete(HWND owner, const std::string& path);

// ---------------------------------------------------------------------------------------------
// INI files: the writer
// ---------------------------------------------------------------------------------------------

bool WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value);

// ---------------------------------------------------------------------------------------------
// Dialogs
// ---------------------------------------------------------------------------------------------

// Shell folder picker rooted at the drive list, preselecting `path` when it exists (OK is then
// disabled until the selection moves). True when the user confirmed; `path` receives the choice
// when the shell can express it as a file-system path. Not re-entrant.
bool BrowseForFolder(HWND owner, const std::string& title, std::string& path, bool includeFiles);
// The picker's callback (BFFCALLBACK): preselection, status text, refusal of typed non-folders.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data) noexcept;

// The standard colour dialog starting at `color`; `customColors` is the caller's array of 16
// custom colours (the dialog edits it). On OK stores the choice and answers true.
bool PickColor(HWND owner, COLORREF& color, COLORREF* customColors);

// ---------------------------------------------------------------------------------------------
// Windows and default commands
// ---------------------------------------------------------------------------------------------

// First top-level window whose class name equals className exactly; null when none.
// Not re-entrant.
HWND FindWindowByClass(const std::string& className);

// Default menu commands of the framework.
constexpr WORD kCmdDefaultClose = 200;
constexpr WORD kCmdDefaultProc = 201;
constexpr WORD kCmdDefaultAbout = 202;
using TDefaultCommandProc = void (*)(HWND);
// For a WM_COMMAND record with notification code 0: 200 destroys the window, 201 calls proc
// (window), 202 shows the framework's credit box. The window travels in the record's first
// field (Msg), so a caller hands over a copy whose Msg it has set to the window.
void HandleDefaultCommand(const TMessageRecord& record, TDefaultCommandProc proc);

#endif  // !PELMIRA_HOOKLIB
