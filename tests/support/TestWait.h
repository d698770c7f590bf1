// TestWait.h: waiting in a test without blind sleeps: one deadline wait that looks at a condition
// until it holds, and keeps this thread's messages flowing meanwhile unless told not to.
#pragma once

#include "Config.h"

#include <functional>

// How long a test waits for something that should happen by itself (a window to come, a process
// to end, a file to be written) before it calls it a failure. Generous on purpose: under Wine on
// a busy two-core machine a start of the controller alone can take seconds, and a wait that
// succeeds returns as soon as its condition holds.
constexpr DWORD kWaitMs = 30000;

// Dispatches every message waiting for this thread, then returns.
inline void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// What a wait does between two looks at its condition. A thread with windows must pump: other
// threads and processes send to its windows (and the hook posts to its owner window), and a
// send to a thread that does not take its messages blocks the sender. A helper thread that only
// watches another thread's modal loop has nothing to dispatch and merely polls.
// TWait::Tight pumps too and looks every millisecond: for benches whose figures are tens of
// milliseconds, where the 10 ms between looks would be a large and uneven part of each.
enum class TWait { Pump, Poll, Tight };

// Looks at `done` until it holds (true) or `timeoutMs` has passed (false). The condition gets a
// last look after the deadline, so one that holds just then still counts. With TWait::Pump the
// thread's messages are dispatched before every look, and the thread sleeps only until the next
// message arrives, or 10 ms for conditions that no message announces.
inline bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs, TWait how = TWait::Pump) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (how != TWait::Poll) Pump();
        if (done()) return true;
        if (::GetTickCount64() > deadline) return false;
        if (how != TWait::Poll)
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, how == TWait::Tight ? 1 : 10, QS_ALLINPUT);
        else
            ::Sleep(20);
    }
}
