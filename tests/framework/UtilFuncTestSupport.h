// Scaffolding shared by the UtilFunc test programs: scratch folders and a second thread that
// drives the modal dialogs (pickers, file boxes, message boxes) the functions under test open.
#pragma once

#include "Config.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

namespace utilfunc_test {

// A fresh folder under the temp folder, removed with its contents at the end of the test.
class TempFolder {
public:
    TempFolder() {
        char base[MAX_PATH + 1] = {};
        ::GetTempPathA(MAX_PATH, base);
        static int counter = 0;
        path_ = std::string(base) + "pelmira_utilfunc_test_" +
                std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(++counter);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        ::GetCurrentDirectoryA(MAX_PATH, startDir_);
    }
    ~TempFolder() {
        // The file boxes make the chosen folder the process's current one, which blocks removal.
        ::SetCurrentDirectoryA(startDir_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }
    std::string Join(const std::string& name) const { return path_ + "\\" + name; }

    std::string MakeFile(const std::string& name, const std::string& content = "x") const {
        std::ofstream(Join(name), std::ios::binary) << content;
        return Join(name);
    }
    std::string MakeFolder(const std::string& name) const {
        std::filesystem::create_directories(Join(name));
        return Join(name);
    }

private:
    std::string path_;
    char startDir_[MAX_PATH + 1] = {};
};

// Waits for a visible dialog ("#32770") of the given thread and runs an action on it from a
// second thread while the first one sits in the dialog's modal loop.
class DialogDriver {
public:
    using Action = std::function<void(HWND)>;
    explicit DialogDriver(Action action, int timeoutSeconds = 20) : owner_(::GetCurrentThreadId()) {
        worker_ = std::thread([this, action, timeoutSeconds] {
            const auto deadline =
                std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
            while (std::chrono::steady_clock::now() < deadline) {
                if (HWND dialog = FindDialog()) {
                    found_ = true;
                    action(dialog);
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }
    ~DialogDriver() { worker_.join(); }
    bool Found() const { return found_; }

    HWND FindDialog() const {
        Search search{owner_, nullptr};
        ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    struct Search {
        DWORD thread;
        HWND found;
    };
    static BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lp) noexcept {
        auto* s = reinterpret_cast<Search*>(lp);
        char cls[32] = {};
        ::GetClassNameA(hwnd, cls, sizeof(cls));
        if (::GetWindowThreadProcessId(hwnd, nullptr) == s->thread &&
            std::strcmp(cls, "#32770") == 0 && ::IsWindowVisible(hwnd)) {
            s->found = hwnd;
            return FALSE;
        }
        return TRUE;
    }

private:
    DWORD owner_;
    std::atomic<bool> found_{false};
    std::thread worker_;
};

// Polls a condition from the driving thread (the dialog updates itself asynchronously).
inline bool WaitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

inline std::string WindowText(HWND hwnd) {
    char text[512] = {};
    ::GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

}  // namespace utilfunc_test
