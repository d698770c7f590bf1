// ControllerHarness.h: running the real vorlund.exe from a test program.
//
// - InstallController: copies vorlund.exe (and the library) from the test's own folder into a
//   scratch folder (TTempFolder, TestFiles.h).
// - TControllerProcess: starts the copy with CreateProcessA; ends a straggler at destruction.
// - Its main window and message boxes, waited for with a time limit (never a blind sleep).
// - Its shared block and option files, read from outside.
// The controller's command and control ids come from its own header, so a test sends what the
// menus send.
#pragma once

#include "Config.h"

#include <string>
#include <vector>

#include "../../controller/CommandIds.h"
#include "SharedBlock.h"
#include "TestFiles.h"
#include "TestWait.h"
#include "WindowTestSupport.h"

namespace harness {

// Copies vorlund.exe, and the library when `library` names a file of the test folder (copied
// as skerrow.dll), into `folder`.
inline bool InstallController(const std::string& folder, const std::string& library = "skerrow.dll") {
    const std::string bin = TestFolder();
    if (!::CopyFileA((bin + "\\vorlund.exe").c_str(), (folder + "\\vorlund.exe").c_str(), FALSE)) return false;
    if (library.empty()) return true;
    return ::CopyFileA((bin + "\\" + library).c_str(), (folder + "\\skerrow.dll").c_str(), FALSE) != FALSE;
}

inline bool InstallController(const TTempFolder& folder, const std::string& library = "skerrow.dll") {
    return InstallController(folder.Path, library);
}

class TControllerProcess {
public:
    // Starts folder\vorlund.exe with the folder as its current directory; showState < 0 leaves
    // the start-up show state to the system.
    bool Start(const TTempFolder& folder, int showState = -1, const std::string& arguments = "") {
        return Start(folder.Path, showState, arguments);
    }

    bool Start(const std::string& folder, int showState = -1, const std::string& arguments = "") {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (showState >= 0) {
            si.dwFlags = STARTF_USESHOWWINDOW;
            si.wShowWindow = static_cast<WORD>(showState);
        }
        std::string commandLine = "\"" + folder + "\\vorlund.exe\"";
        if (!arguments.empty()) commandLine += " " + arguments;
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &si, &pi))
            return false;
        ::CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        Id = pi.dwProcessId;
        return true;
    }

    ~TControllerProcess() {
        if (process_ == nullptr) return;
        if (Running()) {
            ::TerminateProcess(process_, 99);
            ::WaitForSingleObject(process_, 5000);
        }
        ::CloseHandle(process_);
    }

    bool Running() const { return process_ != nullptr && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

    // The exit code, or -1 when the process has not ended within the time.
    long WaitExit(DWORD timeoutMs = kWaitMs) const {
        if (::WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(process_, &code);
        return static_cast<long>(code);
    }

    DWORD Id = 0;

private:
    HANDLE process_ = nullptr;
};

// The main window of a started controller, once it is up: its top-level window of class `title`,
// visible (the window is shown only after its creation is complete) and answering a sent message
// (so the start-up has reached the message loop). With `visible` false the window may stay hidden.
inline HWND WaitForMainWindow(const TControllerProcess& p, const std::string& title = "Pelmira",
                              bool visible = true) {
    HWND found = nullptr;
    WaitFor([&] {
        const auto windows = TopWindows(p.Id, title);
        found = windows.empty() ? nullptr : windows.front();
        return (found != nullptr && (!visible || ::IsWindowVisible(found))) || !p.Running();
    });
    if (found == nullptr || (visible && !::IsWindowVisible(found))) return nullptr;
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(found, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &answer);
    return found;
}

// A message box of the process (a visible "#32770" top-level window).
inline HWND WaitForMessageBox(const TControllerProcess& p) {
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND w : TopWindows(p.Id, "#32770"))
            if (::IsWindowVisible(w)) found = w;
        return found != nullptr || !p.Running();
    });
    return found;
}

// The text of a message box: its longest static text (the icon is a static without text).
inline std::string MessageBoxText(HWND box) {
    std::string best;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") != 0) continue;
        const std::string text = TextOf(child);
        if (text.size() > best.size()) best = text;
    }
    return best;
}

inline void PressOk(HWND box) {
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// A copy of the library's shared block as it stands now; false when no process holds it.
inline bool ReadSharedBlock(TSharedBlock& copy) {
    HANDLE section = ::OpenFileMappingA(FILE_MAP_READ, FALSE, kSectionName);
    if (section == nullptr) return false;
    const void* view = ::MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0);
    if (view != nullptr) {
        copy = *static_cast<const TSharedBlock*>(view);
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(section);
    return view != nullptr;
}

inline std::string IniString(const std::string& file, const std::string& section, const std::string& key) {
    char value[512] = {};
    ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", value, sizeof value, file.c_str());
    return value;
}

// The keys of a section in file order.
inline std::vector<std::string> IniKeys(const std::string& file, const std::string& section) {
    std::vector<char> buffer(32768);
    const DWORD n = ::GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                                file.c_str());
    std::vector<std::string> keys;
    for (DWORD i = 0; i < n;) {
        const std::string entry(&buffer[i]);
        keys.push_back(entry.substr(0, entry.find('=')));
        i += static_cast<DWORD>(entry.size()) + 1;
    }
    return keys;
}

// Asks the controller to close the way the window manager does, and waits for its exit code.
inline long CloseController(const TControllerProcess& p, HWND mainWindow) {
    ::PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    return p.WaitExit();
}

}  // namespace harness
