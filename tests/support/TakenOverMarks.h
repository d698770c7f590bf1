// TakenOverMarks.h: stand-ins for colour dialogs that programs have open and the hook library has
// taken over: hidden top-level windows of this process carrying the take-over property
// "Ostvarin". A test that sets the block's dialog count by hand keeps as many of them alive,
// since ChkDialog lowers a count that no live taken-over dialog backs (the host ended).
#pragma once

#include "Config.h"

#include <vector>

class TTakenOverMarks {
public:
    explicit TTakenOverMarks(int count) {
        for (int i = 0; i < count; ++i) {
            HWND w = ::CreateWindowExA(0, "STATIC", "taken over elsewhere", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                       ::GetModuleHandleA(nullptr), nullptr);
            ::SetPropA(w, "Ostvarin", w);
            windows_.push_back(w);
        }
    }
    ~TTakenOverMarks() {
        for (HWND w : windows_) {
            ::RemovePropA(w, "Ostvarin");
            ::DestroyWindow(w);
        }
    }
    TTakenOverMarks(const TTakenOverMarks&) = delete;
    TTakenOverMarks& operator=(const TTakenOverMarks&) = delete;

private:
    std::vector<HWND> windows_;
};
