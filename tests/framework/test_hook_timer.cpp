// The hook library's window timer: one timer per object, stopped with its window.
#include <gtest/gtest.h>

#include <vector>

#include "UtilClass.h"
#include "WindowTestSupport.h"

namespace {

HWND NewWindow() {
    return ::CreateWindowExA(0, "STATIC", "timer", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

std::vector<UINT_PTR> gFired;  // senders, in order
bool gStopInHandler = false;

void OnTimer(TMessageRecord* m) {
    gFired.push_back(m->Msg);
    if (gStopInHandler) reinterpret_cast<TAPITimer*>(m->Msg)->Stop();
}

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        gFired.clear();
        gStopInHandler = false;
        window_ = NewWindow();
        ASSERT_NE(window_, nullptr);
        delete new TSubClass(window_);  // the dispatcher lives on; count objects after it exists
        baseline_ = TObject::LiveObjectCount();
    }
    void TearDown() override {
        if (::IsWindow(window_)) ::DestroyWindow(window_);
        EXPECT_EQ(TObject::LiveObjectCount(), baseline_);
    }
    HWND window_ = nullptr;
    long baseline_ = 0;
};

}  // namespace

TEST_F(TimerTest, StartsStoppedAndFiresWithItsSender) {
    auto* timer = CreateTimer(window_, 5, &OnTimer);
    EXPECT_FALSE(timer->Enabled);
    EXPECT_EQ(timer->Interval, 5u);
    timer->Start();
    EXPECT_TRUE(timer->Enabled);
    ASSERT_TRUE(WaitFor([] { return gFired.size() >= 2; }));
    EXPECT_EQ(gFired[0], reinterpret_cast<UINT_PTR>(timer));
    timer->Stop();
    EXPECT_FALSE(timer->Enabled);
    // The timer is gone: a second kill finds nothing.
    EXPECT_FALSE(::KillTimer(window_, reinterpret_cast<UINT_PTR>(timer)));
    timer->Stop();  // stopping a stopped timer does nothing
    EXPECT_FALSE(timer->Enabled);
}

TEST_F(TimerTest, StartingTwiceKeepsTheRunningTimer) {
    auto* timer = CreateTimer(window_, 5, &OnTimer);
    timer->Start();
    timer->Interval = 600000;  // takes effect only at a Start after a Stop
    timer->Start();
    ASSERT_TRUE(WaitFor([] { return !gFired.empty(); })) << "the second Start replaced the timer";
    timer->Stop();

    // After a Stop, the new interval applies.
    timer->Interval = 5;
    gFired.clear();
    timer->Start();
    ASSERT_TRUE(WaitFor([] { return !gFired.empty(); }));
}

TEST_F(TimerTest, AHandlerCanMakeItOneShot) {
    gStopInHandler = true;
    auto* timer = CreateTimer(window_, 1, &OnTimer);
    timer->Start();
    ASSERT_TRUE(WaitFor([] { return !gFired.empty(); }));
    EXPECT_FALSE(timer->Enabled);
    MSG pending;
    EXPECT_FALSE(::PeekMessageA(&pending, window_, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    EXPECT_EQ(gFired.size(), 1u);
}

TEST_F(TimerTest, IgnoresOtherTimersOfItsWindowAndDiesWithIt) {
    auto* timer = CreateTimer(window_, 1000, &OnTimer);
    auto* other = CreateTimer(window_, 1000, nullptr);
    ::SendMessageA(window_, WM_TIMER, 12345, 0);
    ::SendMessageA(window_, WM_TIMER, reinterpret_cast<WPARAM>(other), 0);
    EXPECT_TRUE(gFired.empty());
    ::SendMessageA(window_, WM_TIMER, reinterpret_cast<WPARAM>(timer), 0);
    EXPECT_EQ(gFired, std::vector<UINT_PTR>{reinterpret_cast<UINT_PTR>(timer)});

    timer->Start();
    other->Start();
    const UINT_PTR id = reinterpret_cast<UINT_PTR>(timer);
    ::DestroyWindow(window_);  // frees both; TearDown checks the count
    EXPECT_FALSE(::KillTimer(window_, id));
}
