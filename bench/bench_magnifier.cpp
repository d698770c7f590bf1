// bench_magnifier.cpp: what the eyedropper's magnifier costs. A redraw (read the pixels around
// the pointer, one stretch to the window, the outline and the two text lines) is timed over many
// runs; then the window rests under a still pointer, where its poll must find nothing to redraw;
// then it is gone, and nothing may run at all.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "Magnifier.h"

namespace {

constexpr int kRedraws = 300;
constexpr unsigned kRestMs = 1000;

std::unique_ptr<TMagnifier> gMagnifier;
unsigned gTicks = 0;
POINT gCursor{300, 300};

void OnTick() {
    ++gTicks;
    if (gMagnifier) gMagnifier->Follow(gCursor);
}

double Now() {
    LARGE_INTEGER f, t;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

void PumpFor(DWORD ms) {
    const DWORD end = ::GetTickCount() + ms;
    while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace

int main() {
    gMagnifier = std::make_unique<TMagnifier>(8, OnTick);
    if (gMagnifier->Window() == nullptr) {
        std::printf("magnifier: no window\n");
        return 1;
    }
    gMagnifier->Follow(gCursor);
    PumpFor(100);

    std::vector<double> times;
    for (int i = 0; i < kRedraws; ++i) {
        // Alternate positions, as a moving pointer would.
        const POINT at{gCursor.x + (i & 1), gCursor.y};
        const double t0 = Now();
        gMagnifier->Redraw(at);
        ::GdiFlush();
        times.push_back((Now() - t0) * 1000.0);
    }
    std::sort(times.begin(), times.end());
    std::printf("magnifier_redraw_median: %.3f ms\n", times[times.size() / 2]);
    std::printf("magnifier_redraw_p95: %.3f ms\n", times[times.size() * 95 / 100]);

    gMagnifier->Follow(gCursor);  // back where the polls look
    const unsigned redrawsBefore = TMagnifier::RedrawCount();
    gTicks = 0;
    PumpFor(kRestMs);
    std::printf("magnifier_rest_polls: %u per s\n", gTicks * 1000 / kRestMs);
    std::printf("magnifier_rest_redraws: %u per s\n", (TMagnifier::RedrawCount() - redrawsBefore) * 1000 / kRestMs);

    gMagnifier.reset();
    const unsigned idleBefore = TMagnifier::RedrawCount();
    gTicks = 0;
    PumpFor(kRestMs);
    std::printf("magnifier_idle_polls: %u per s\n", gTicks * 1000 / kRestMs);
    std::printf("magnifier_idle_redraws: %u per s\n", (TMagnifier::RedrawCount() - idleBefore) * 1000 / kRestMs);
    std::printf("magnifier_idle_windows: %d count\n", ::FindWindowA("PelmiraMagnifier", nullptr) != nullptr ? 1 : 0);
    return 0;
}
