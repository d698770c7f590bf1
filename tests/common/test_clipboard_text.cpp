// Clipboard text while another program holds the clipboard for a moment: the copy and the paste
// wait it out instead of failing.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "ClipboardText.h"

namespace {
// The clipboard's lock is held per window: the holder opens it with a window of its own.
HWND HolderWindow() {
    return ::CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}
}  // namespace

TEST(ClipboardText, WritesAndReadsOnceABriefHolderLetsGo) {
    ASSERT_TRUE(WriteClipboardText(nullptr, "before"));
    for (const bool writing : {true, false}) {
        std::atomic<bool> holding{false};
        std::thread holder([&] {
            HWND window = HolderWindow();
            if (::OpenClipboard(window)) {
                holding = true;
                ::Sleep(40);
                ::CloseClipboard();
            }
            ::DestroyWindow(window);
        });
        for (int i = 0; i < 2000 && !holding; ++i) ::Sleep(1);
        if (!holding) {
            holder.join();
            FAIL() << "the holder could not open the clipboard";
        }
        if (writing) {
            EXPECT_TRUE(WriteClipboardText(nullptr, "#0C2238"));
        } else {
            EXPECT_EQ(ReadClipboardText(nullptr).value_or("<none>"), "#0C2238");
        }
        holder.join();
    }
    EXPECT_EQ(ReadClipboardText(nullptr).value_or("<none>"), "#0C2238");
}

TEST(ClipboardText, AHolderThatNeverLetsGoIsARefusalNotAHang) {
    std::atomic<bool> holding{false};
    std::atomic<bool> done{false};
    std::thread holder([&] {
        HWND window = HolderWindow();
        if (::OpenClipboard(window)) {
            holding = true;
            while (!done) ::Sleep(5);
            ::CloseClipboard();
        }
        ::DestroyWindow(window);
    });
    for (int i = 0; i < 2000 && !holding; ++i) ::Sleep(1);
    if (!holding) {
        done = true;
        holder.join();
        FAIL() << "the holder could not open the clipboard";
    }
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(WriteClipboardText(nullptr, "lost"));
    EXPECT_LT(::GetTickCount() - start, 2000u);
    done = true;
    holder.join();
}
