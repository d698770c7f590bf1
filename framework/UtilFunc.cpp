// UtilFunc.cpp: see UtilFunc.h. The string work comes first and stays free of Win32 state;
// the wrappers below it make one system call each around that work. What both builds carry comes
// first, then the hook library's part, then the controller's.
#include "UtilFunc.h"

#include "ScopedHandles.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

namespace {
constexpr DWORD kPathBufferSize = MAX_PATH + 1;  // module names, found names, INI values
constexpr int kIntTextSize = 20;
}  // namespace

// ---------------------------------------------------------------------------------------------
// Paths and names
// ---------------------------------------------------------------------------------------------

bool StripFirstComponent(std::string& s) {
    const auto pos = s.find('\\');
    if (pos == std::string::npos) return false;
    s.erase(0, pos + 1);
    return true;
}

std::string FileNameOf(const std::string& path) {
    const auto pos = path.rfind('\\');
    return pos == std::string::npos ? std::string() : path.substr(pos + 1);
}

std::string DirectoryOf(const std::string& path) {
    const auto pos = path.rfind('\\');
    return pos == std::string::npos ? std::string() : path.substr(0, pos);
}

std::string IntToText(int n) {
    char text[kIntTextSize] = {};
    ::wsprintfA(text, "%d", n);
    return text;
}

// ---------------------------------------------------------------------------------------------
// INI files: the readers
// ---------------------------------------------------------------------------------------------

bool IniNamesUsable(const std::string& section, const std::string& key) {
    return !section.empty() && !key.empty();
}

int ReadIniInt(const std::string& file, const std::string& section, const std::string& key,
               int defaultValue) {
    if (!IniNamesUsable(section, key)) return defaultValue;
    // The profile API hands negative numbers back as their two's-complement UINT.
    return static_cast<int>(
        ::GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, file.c_str()));
}

std::string ReadIniString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& defaultValue) {
    if (!IniNamesUsable(section, key)) return defaultValue;
    char buffer[kPathBufferSize] = {};
    const DWORD read = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer,
                                                  kIniStringSize, file.c_str());
    // 0 characters means a missing key or an empty value: both take the default.
    return read == 0 ? defaultValue : std::string(buffer, read);
}

// ---------------------------------------------------------------------------------------------
// Windows and colours
// ---------------------------------------------------------------------------------------------

bool MoveWindowTo(HWND hwnd, int x, int y) {
    return ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE) != FALSE;
}

bool ResizeWindow(HWND hwnd, int width, int height) {
    return ::SetWindowPos(hwnd, nullptr, 0, 0, width, height,
                          SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE) != FALSE;
}

SIZE GetScreenSize() {
    return SIZE{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

void CenterWindow(HWND hwnd) {
    RECT r{};
    if (!::GetWindowRect(hwnd, &r)) return;
    const SIZE screen = GetScreenSize();
    MoveWindowTo(hwnd, (screen.cx - (r.right - r.left)) / 2, (screen.cy - (r.bottom - r.top)) / 2);
}

LRESULT FillClient(HWND hwnd, COLORREF color, HDC dc) {
    RECT client{};
    ::GetClientRect(hwnd, &client);
    const TScopedBrush brush = MakeSolidBrush(color);
    if (brush) ::FillRect(dc, &client, brush);
    return 1;
}

RECT MakeRect(int left, int top, int right, int bottom) {
    RECT r;
    ::SetRect(&r, left, top, right, bottom);
    return r;
}

COLORREF BtnFaceColor() { return ::GetSysColor(COLOR_BTNFACE); }
COLORREF WindowColor() { return ::GetSysColor(COLOR_WINDOW); }
COLORREF GrayTextColor() { return ::GetSysColor(COLOR_GRAYTEXT); }
COLORREF WindowTextColor() { return ::GetSysColor(COLOR_WINDOWTEXT); }

BYTE RoundToWebSafe(BYTE c) {
    return static_cast<BYTE>((c / 51 + (c % 51 > 25 ? 1 : 0)) * 51);
}

COLORREF WebSafeColor(COLORREF colour) {
    return RGB(RoundToWebSafe(GetRValue(colour)), RoundToWebSafe(GetGValue(colour)),
               RoundToWebSafe(GetBValue(colour)));
}

const TPhysicalPixelApi& TPhysicalPixelApi::System() {
    static const TPhysicalPixelApi api = [] {
        TPhysicalPixelApi a;
        a.SetContext = reinterpret_cast<TSetContext>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
        a.PhysicalCursor = &::GetPhysicalCursorPos;
        a.Cursor = &::GetCursorPos;
        return a;
    }();
    return api;
}

TPhysicalPixelScope::TPhysicalPixelScope(const TPhysicalPixelApi& api) noexcept : api_(api) {
    if (api_.SetContext == nullptr) return;
    // The call answers the previous context, or null when it refuses the new one: the second
    // version of per-monitor awareness came with Windows 10 1703, one release after the call.
    previous_ = api_.SetContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (previous_ == nullptr) previous_ = api_.SetContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
}

TPhysicalPixelScope::~TPhysicalPixelScope() {
    if (previous_ != nullptr) api_.SetContext(previous_);
}

bool TPhysicalPixelScope::CursorPos(POINT& at) const noexcept {
    if (Physical() && api_.PhysicalCursor != nullptr && api_.PhysicalCursor(&at)) return true;
    return api_.Cursor != nullptr && api_.Cursor(&at) != FALSE;
}

COLORREF ScreenPixel(POINT at, bool webSafe) {
    const TScopedDC screen(nullptr);
    if (!screen) return CLR_INVALID;
    const COLORREF pixel = ::GetPixel(screen, at.x, at.y);
    if (pixel == CLR_INVALID) return CLR_INVALID;
    return webSafe ? WebSafeColor(pixel) : pixel;
}

COLORREF PixelUnderCursor(bool webSafe) {
    const TPhysicalPixelScope physical;
    POINT cursor{};
    if (!physical.CursorPos(cursor)) return CLR_INVALID;
    return ScreenPixel(cursor, webSafe);
}

RECT RestoredWindowRect(HWND hwnd) {
    RECT r{};
    if (::IsIconic(hwnd)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (::GetWindowPlacement(hwnd, &placement)) r = placement.rcNormalPosition;
    } else {
        ::GetWindowRect(hwnd, &r);
    }
    return r;
}

void SplitColor(COLORREF v, BYTE b[3]) {
    b[0] = static_cast<BYTE>((v >> 16) & 0xFF);
    b[1] = static_cast<BYTE>((v >> 8) & 0xFF);
    b[2] = static_cast<BYTE>(v & 0xFF);
}

bool IsOwnForeground() {
    return ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr) == ::GetCurrentThreadId();
}

#if PELMIRA_HOOKLIB
// =============================================================================================
// Hook library build only: the extension and replacement string work, the open and save boxes
// and the z-order call that the colour-dialog take-over uses. The controller has no file boxes.
// =============================================================================================

std::string ExtensionOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

bool ReplaceFirst(std::string& s, const std::string& find, const std::string& replacement) {
    if (find.empty()) return false;
    const auto pos = s.find(find);
    if (pos == std::string::npos) return false;
    s.replace(pos, find.size(), replacement);
    return true;
}

TOpenSave SplitOpenResult(const std::string& fullPath, unsigned fileOffset, unsigned extensionOffset) {
    TOpenSave result;
    result.FullPath = fullPath;
    if (fileOffset <= fullPath.size()) {
        result.Directory = fullPath.substr(0, fileOffset);
        result.FileName = fullPath.substr(fileOffset);
    }
    // An offset of 0 (a name ending in a dot) or one at the name's end means no extension;
    // reading "from offset 0" would otherwise hand back the whole path.
    if (extensionOffset > fileOffset && extensionOffset < fullPath.size())
        result.Extension = fullPath.substr(extensionOffset);
    return result;
}

TOpenSave SplitSaveResult(const std::string& fullPath) {
    TOpenSave result;
    result.FullPath = fullPath;
    result.FileName = FileNameOf(fullPath);
    result.Directory = DirectoryOf(fullPath);
    result.Extension = ExtensionOf(fullPath);
    return result;
}

namespace {

// The common set-up of the open and save boxes. The file buffer starts with the initial name.
struct FileBox {
    char file[kOpenSaveBufferSize] = {};
    std::string filter;
    OPENFILENAMEA ofn{};

    FileBox(HWND owner, const std::string& initialName, const std::string& filterText,
            const std::string& initialFolder, DWORD flags)
        : filter(filterText) {
        // Guarantee the double NUL that ends the filter list even if the caller left it off.
        filter.push_back('\0');
        initialName.copy(file, kOpenSaveBufferSize - 1);
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = kOpenSaveBufferSize;
        ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
        // These boxes open inside other people's programs: OFN_NOCHANGEDIR keeps the host's
        // current directory (and so its relative paths) as it was before the box.
        ofn.Flags = flags | OFN_NOCHANGEDIR;
    }
};

}  // namespace

bool OpenFileDialog(HWND owner, const std::string& initialName, const std::string& filter,
                    const std::string& initialFolder, TOpenSave& result) {
    FileBox box(owner, initialName, filter, initialFolder, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    if (!::GetOpenFileNameA(&box.ofn)) return false;
    result = SplitOpenResult(box.file, box.ofn.nFileOffset, box.ofn.nFileExtension);
    return true;
}

bool SaveFileDialog(HWND owner, const std::string& initialName, const std::string& filter,
                    const std::string& initialFolder, TOpenSave& result) {
    FileBox box(owner, initialName, filter, initialFolder, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY);
    if (!::GetSaveFileNameA(&box.ofn)) return false;
    result = SplitSaveResult(box.file);
    return true;
}

bool SetZOrder(HWND hwnd, HWND insertAfter) {
    return ::SetWindowPos(hwnd, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) != FALSE;
}

#endif  // PELMIRA_HOOKLIB

#if !PELMIRA_HOOKLIB
// =============================================================================================
// Controller build only: module paths, the display path, file and folder listing, shell rename
// and delete, INI writing, the folder and colour pickers, the window search and the default
// commands. A hooked process never calls them, and the hook library should not carry the shell
// and file-system code it would never run inside other people's programs.
// =============================================================================================

namespace {

constexpr int kClassNameChars = 100;

// Folder-picker texts, kept in the Windows-932 (Shift JIS) code page they were written in:
// "えらーずら" (something went wrong) and "そんなん ないずら" (no such thing).
constexpr char kBrowseErrorText[] = "\x82\xA6\x82\xE7\x81\x5B\x82\xB8\x82\xE7";
constexpr char kBrowseNoSuchFolderText[] =
    "\x82\xBB\x82\xF1\x82\xC8\x82\xF1\x20\x82\xC8\x82\xA2\x82\xB8\x82\xE7";
constexpr char kBrowseCaption[] = "SelectFolder";

constexpr char kCreditText[] =
    "    A program written directly against the Windows API.\r\n"
    "    Window framework: the Pelmira developers.\r\n"
    "    Built with the GNU C++ compiler (MinGW-w64).\r\n";
constexpr char kCreditCaption[] = "About ...";

bool IsFolderEntry(const WIN32_FIND_DATAA& data) {
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string UpperCased(const char* name) {
    std::string s(name);
    if (!s.empty()) ::CharUpperBuffA(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

// Calls fn(data) for every entry matching the pattern; answers whether the search found any.
template <typename Fn>
bool ForEachMatch(const std::string& pattern, Fn fn) {
    WIN32_FIND_DATAA data{};
    const TScopedFind search(pattern.c_str(), data);
    if (!search) return false;
    do {
        fn(data);
    } while (search.Next(data));
    return true;
}

// The shell wants its path lists ended by two NULs; c_str() supplies the second.
std::string ShellPathList(const std::string& path) {
    std::string list(path);
    list.push_back('\0');
    return list;
}

bool RunShellOperation(HWND owner, UINT func, const std::string& from, const std::string& to,
                       FILEOP_FLAGS flags) {
    const std::string fromList = ShellPathList(from);
    const std::string toList = ShellPathList(to);
    SHFILEOPSTRUCTA op{};
    op.hwnd = owner;
    op.wFunc = func;
    op.pFrom = fromList.c_str();
    op.pTo = to.empty() ? nullptr : toList.c_str();
    op.fFlags = flags;
    return ::SHFileOperationA(&op) == 0;
}

// The folder picker's initial folder, which its callback reads. Zero-filled so that an empty
// path still reads as a terminated string.
HGLOBAL gBrowseInitialFolder = nullptr;

// The class name FindWindowByClass looks for during its EnumWindows walk, and its answer.
std::string gWantedClassName;
HWND gFoundClassWindow = nullptr;

BOOL CALLBACK FindClassProc(HWND hwnd, LPARAM) noexcept {
    char name[kClassNameChars + 1] = {};
    ::GetClassNameA(hwnd, name, kClassNameChars + 1);
    if (gWantedClassName.compare(name) == 0) {
        gFoundClassWindow = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The shell allocator, released at the end of the scope.
class ShellMalloc {
public:
    ShellMalloc() noexcept {
        if (FAILED(::SHGetMalloc(&malloc_))) malloc_ = nullptr;
    }
    ~ShellMalloc() {
        if (malloc_) malloc_->Release();
    }
    ShellMalloc(const ShellMalloc&) = delete;
    ShellMalloc& operator=(const ShellMalloc&) = delete;
    IMalloc* Get() const noexcept { return malloc_; }
    explicit operator bool() const noexcept { return malloc_ != nullptr; }

private:
    IMalloc* malloc_ = nullptr;
};

// A block from the shell allocator (buffer or item list), freed through it at the end of the scope.
template <typename T>
class ShellBlock {
public:
    ShellBlock(IMalloc* allocator, T* block) noexcept : allocator_(allocator), block_(block) {}
    ~ShellBlock() {
        if (block_) allocator_->Free(const_cast<void*>(static_cast<const void*>(block_)));
    }
    ShellBlock(const ShellBlock&) = delete;
    ShellBlock& operator=(const ShellBlock&) = delete;
    T* Get() const noexcept { return block_; }

private:
    IMalloc* allocator_;
    T* block_;
};

// The picker's initial-folder buffer for the length of one BrowseForFolder call.
class InitialFolderScope {
public:
    explicit InitialFolderScope(const std::string& path) noexcept;
    ~InitialFolderScope();
    InitialFolderScope(const InitialFolderScope&) = delete;
    InitialFolderScope& operator=(const InitialFolderScope&) = delete;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Paths for display and module paths
// ---------------------------------------------------------------------------------------------

std::string PathUpToFirstDot(const std::string& path) {
    return path.substr(0, path.find('.'));
}

std::string ShortenPath(const std::string& path, std::uint8_t max) {
    if (max == 0) return {};
    std::string s = path;

    // A drive-relative form (D:a\b) reads as if rooted, so the drive always stands alone.
    const auto colon = s.find(':');
    if (colon != std::string::npos && (colon + 1 >= s.size() || s[colon + 1] != '\\'))
        s.insert(colon + 1, 1, '\\');
    const std::size_t fullLength = s.size();

    // Drop the first folder after the drive, one per pass: D:\a\b\c.pli -> D:\b\c.pli.
    // Every pass removes at least the backslash it found, so the loop ends.
    while (s.size() > max) {
        const auto first = s.find('\\');
        if (first == std::string::npos) break;
        s.erase(first, 1);
        const auto next = s.find('\\', first);
        if (next == std::string::npos) break;
        s.erase(first, next - first);
    }

    if (max < fullLength) {
        const auto slash = s.find('\\');
        if (slash != std::string::npos) {
            s.insert(slash, "\\...");
        } else {
            const auto driveColon = s.find(':');
            if (driveColon != std::string::npos) s.erase(0, driveColon + 1);
            if (s.size() > max) {
                s.resize(max - 1u);
                s += "...";
            }
        }
    }
    return s;
}

std::string ModulePath() {
    char buffer[kPathBufferSize] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer, kPathBufferSize);
    // A name that does not fit comes back cut and, on some systems, unterminated.
    return std::string(buffer, length < kPathBufferSize ? length : kPathBufferSize - 1);
}

std::string ModuleDir() { return DirectoryOf(ModulePath()); }

std::string ModulePathNoExt() { return PathUpToFirstDot(ModulePath()); }

// ---------------------------------------------------------------------------------------------
// Files and folders
// ---------------------------------------------------------------------------------------------

bool FolderExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PathMatches(const std::string& pattern) {
    WIN32_FIND_DATAA data{};
    return static_cast<bool>(TScopedFind(pattern.c_str(), data));
}

std::string FoundFileName(const std::string& pattern) {
    WIN32_FIND_DATAA data{};
    const TScopedFind search(pattern.c_str(), data);
    return search ? std::string(data.cFileName) : std::string();
}

std::string LongPathWalk(const std::string& path,
                         const std::function<std::string(const std::string&)>& found) {
    std::string result = found(path);
    if (result.empty()) return {};
    std::string current = path;
    // Rebuild from the right, one folder at a time, until the part that stays as written.
    while (current.find('\\') != std::string::npos) {
        const std::string folder = DirectoryOf(current);
        if (folder.empty() || folder.back() == ':') {
            result = folder + "\\" + result;
            break;
        }
        const std::string name = found(folder);
        if (name.empty()) {
            result = folder + "\\" + result;
            break;
        }
        result = name + "\\" + result;
        current = folder;
    }
    return result;
}

std::string LongPathOf(const std::string& path) {
    return LongPathWalk(path, [](const std::string& p) { return FoundFileName(p); });
}

bool ListFiles(const std::string& folder, const std::string& ext, TStringArray& list) {
    return ForEachMatch(folder + "\\*." + ext, [&](const WIN32_FIND_DATAA& data) {
        if (!IsFolderEntry(data)) list.Add(data.cFileName);
    });
}

void ListFilesUpper(const std::string& folder, const std::string& ext, TStringArray& list) {
    ForEachMatch(folder + "\\*." + ext, [&](const WIN32_FIND_DATAA& data) {
        if (!IsFolderEntry(data)) list.Add(UpperCased(data.cFileName));
    });
}

void ListSubfolders(const std::string& folder, TStringArray& list) {
    ForEachMatch(folder + "\\*.*", [&](const WIN32_FIND_DATAA& data) {
        if (IsFolderEntry(data) && data.cFileName[0] != '.') list.Add(UpperCased(data.cFileName));
    });
}

bool FileTimeOf(const std::string& path, SYSTEMTIME& time) {
    time = SYSTEMTIME{};
    WIN32_FIND_DATAA data{};
    const TScopedFind search(path.c_str(), data);
    if (!search) return false;
    FILETIME local{};
    return ::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) &&
           ::FileTimeToSystemTime(&local, &time);
}

bool ShellRename(HWND owner, const std::string& from, const std::string& to) {
    return RunShellOperation(owner, FO_RENAME, from, to, FOF_ALLOWUNDO);
}

bool ShellDelete(HWND owner, const std::string& path) {
    return RunShellOperation(owner, FO_DELETE, path, std::string(),
                             FOF_ALLOWUNDO | FOF_NOCONFIRMATION);
}

// ---------------------------------------------------------------------------------------------
// INI files: the writer
// ---------------------------------------------------------------------------------------------

bool WriteIniString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        file.c_str()) != FALSE;
}

// ---------------------------------------------------------------------------------------------
// Dialogs
// ---------------------------------------------------------------------------------------------

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM) noexcept {
    // A failure inside (the folder text is copied into a string) answers 0: the picker goes on
    // with its own defaults.
    return GuardedCall(0, [&] {
        switch (message) {
        case BFFM_INITIALIZED: {
            const char* folder =
                gBrowseInitialFolder ? static_cast<const char*>(::GlobalLock(gBrowseInitialFolder))
                                     : nullptr;
            if (folder && FolderExists(folder)) {
                ::SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder));
                // Selecting enables OK through BFFM_SELCHANGED; disabling afterwards makes the user
                // move the selection before confirming.
                ::EnableWindow(::GetDlgItem(window, IDOK), FALSE);
            }
            if (folder) ::GlobalUnlock(gBrowseInitialFolder);
            return 0;
        }
        case BFFM_SELCHANGED: {
            const HWND ok = ::GetDlgItem(window, IDOK);
            if (!::IsWindowEnabled(ok)) ::EnableWindow(ok, TRUE);
            // 514 bytes: room for a path even if the shell writes more than MAX_PATH characters.
            const HGLOBAL text = ::GlobalAlloc(GPTR, 514);
            if (text) {
                auto* path = static_cast<char*>(text);
                ::SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path);
                ::SendMessageA(window, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
                if (::GlobalFree(text) != nullptr)
                    ::MessageBoxA(window, kBrowseErrorText, kBrowseCaption, MB_OK);
            }
            return 0;
        }
        case BFFM_VALIDATEFAILEDA:
            // The user typed a name that is no folder: say so and keep the picker open.
            ::MessageBoxA(window, kBrowseNoSuchFolderText, kBrowseCaption, MB_OK);
            return 1;
        default:
            return 0;
        }
    });
}

namespace {

InitialFolderScope::InitialFolderScope(const std::string& path) noexcept {
    gBrowseInitialFolder = ::GlobalAlloc(GMEM_ZEROINIT, path.size() + 1);
    if (!gBrowseInitialFolder) return;
    if (auto* folder = static_cast<char*>(::GlobalLock(gBrowseInitialFolder))) {
        std::memcpy(folder, path.c_str(), path.size());
        ::GlobalUnlock(gBrowseInitialFolder);
    }
}

InitialFolderScope::~InitialFolderScope() {
    if (gBrowseInitialFolder) ::GlobalFree(gBrowseInitialFolder);
    gBrowseInitialFolder = nullptr;
}

}  // namespace

bool BrowseForFolder(HWND owner, const std::string& title, std::string& path, bool includeFiles) {
    ShellMalloc allocator;
    if (!allocator) return false;
    InitialFolderScope initialFolder(path);

    ShellBlock<char> display(allocator.Get(), static_cast<char*>(allocator.Get()->Alloc(MAX_PATH)));
    if (!display.Get()) return false;

    PIDLIST_ABSOLUTE rootList = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &rootList))) return false;
    ShellBlock<ITEMIDLIST_ABSOLUTE> root(allocator.Get(), rootList);

    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pidlRoot = root.Get();
    info.pszDisplayName = display.Get();
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_EDITBOX | BIF_VALIDATE;
    if (includeFiles) info.ulFlags |= BIF_BROWSEINCLUDEFILES;
    info.lpfn = BrowseCallback;

    ShellBlock<ITEMIDLIST_ABSOLUTE> chosen(allocator.Get(), ::SHBrowseForFolderA(&info));
    if (!chosen.Get()) return false;
    char chosenPath[MAX_PATH + 1] = {};
    if (::SHGetPathFromIDListA(chosen.Get(), chosenPath)) path = chosenPath;
    return true;
}

bool PickColor(HWND owner, COLORREF& color, COLORREF* customColors) {
    // The dialog requires a custom-colour array; callers without one get a white set.
    COLORREF fallback[16];
    if (!customColors) {
        for (auto& c : fallback) c = RGB(255, 255, 255);
        customColors = fallback;
    }
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = owner;
    choose.rgbResult = color;
    choose.lpCustColors = customColors;
    choose.Flags = CC_RGBINIT;
    if (!::ChooseColorA(&choose)) return false;
    color = choose.rgbResult;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Windows
// ---------------------------------------------------------------------------------------------

HWND FindWindowByClass(const std::string& className) {
    gWantedClassName = className;
    gFoundClassWindow = nullptr;
    ::EnumWindows(FindClassProc, 0);
    gWantedClassName.clear();
    return gFoundClassWindow;
}

void HandleDefaultCommand(const TMessageRecord& record, TDefaultCommandProc proc) {
    if (HIWORD(record.WParam) != 0) return;
    const HWND window = reinterpret_cast<HWND>(record.Msg);
    switch (LOWORD(record.WParam)) {
    case kCmdDefaultClose:
        ::DestroyWindow(window);
        break;
    case kCmdDefaultProc:
        if (proc) proc(window);
        break;
    case kCmdDefaultAbout:
        ::MessageBoxA(window, kCreditText, kCreditCaption, MB_OK);
        break;
    default:
        break;
    }
}

#endif  // !PELMIRA_HOOKLIB
