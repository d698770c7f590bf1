// Scaffolding shared by the UtilFunc test programs: a second thread that drives the modal
// dialogs (pickers, file boxes, message boxes) the functions under test open. Scratch folders,
// window texts and waiting come from the support headers.
#pragma once

#include "Config.h"
#include "TestFiles.h"
#include "TestWait.h"
#include "WindowTestSupport.h"

#include <atomic>
#include <functional>
#include <thread>

namespace utilfunc_test {

// Waits for a visible dialog ("#32770") of the constructing thread and runs an action on it from
// a second thread while the first one sits in the dialog's modal loop. The second thread owns no
// window, so it polls instead of pumping.
class DialogDriver {
public:
    using Action = std::function<void(HWND)>;
    explicit DialogDriver(Action action, int timeoutSeconds = 20) : owner_(::GetCurrentThreadId()) {
        worker_ = std::thread([this, action, timeoutSeconds] {
            HWND dialog = nullptr;
            if (!WaitFor([&] { return (dialog = FindDialog()) != nullptr; },
                         static_cast<DWORD>(timeoutSeconds) * 1000, TWait::Poll))
                return;
            found_ = true;
            action(dialog);
        });
    }
    ~DialogDriver() { worker_.join(); }
    bool Found() const { return found_; }

    HWND FindDialog() const {
        const DWORD owner = owner_;
        const auto dialogs = TopLevelWindows([owner](HWND w) {
            return ::GetWindowThreadProcessId(w, nullptr) == owner && ClassOf(w) == "#32770" &&
                   ::IsWindowVisible(w);
        });
        return dialogs.empty() ? nullptr : dialogs.front();
    }

private:
    DWORD owner_;
    std::atomic<bool> found_{false};
    std::thread worker_;
};

}  // namespace utilfunc_test
