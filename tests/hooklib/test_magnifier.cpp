// The magnifier's place beside the pointer: never over it, whole on the screen, flipped at the
// screen's edges; and its redraws, which a still pointer over an unchanged screen does not cause.
#include <gtest/gtest.h>

#include "Magnifier.h"

namespace {

constexpr SIZE kSize{122, 156};
constexpr RECT kScreen{0, 0, 1024, 768};
constexpr int kGap = 19;

bool Inside(const RECT& outer, POINT at, SIZE size) {
    return at.x >= outer.left && at.y >= outer.top && at.x + size.cx <= outer.right && at.y + size.cy <= outer.bottom;
}

bool Covers(POINT at, SIZE size, POINT p) {
    return p.x >= at.x && p.x < at.x + size.cx && p.y >= at.y && p.y < at.y + size.cy;
}

}  // namespace

TEST(MagnifierPlace, BelowRightAndFlippedPerAxisAtTheEdges) {
    EXPECT_EQ(MagnifierPlace({100, 100}, kSize, kScreen, kGap).x, 119);
    EXPECT_EQ(MagnifierPlace({100, 100}, kSize, kScreen, kGap).y, 119);
    const POINT right = MagnifierPlace({1000, 100}, kSize, kScreen, kGap);
    EXPECT_EQ(right.x, 1000 - kGap - kSize.cx);
    EXPECT_EQ(right.y, 119) << "only the axis that runs out flips";
    const POINT bottom = MagnifierPlace({100, 760}, kSize, kScreen, kGap);
    EXPECT_EQ(bottom.x, 119);
    EXPECT_EQ(bottom.y, 760 - kGap - kSize.cy);
    // A screen that does not start at 0 (a monitor left of the main one).
    const RECT left{-1280, 0, 0, 1024};
    const POINT onLeft = MagnifierPlace({-5, 500}, kSize, left, kGap);
    EXPECT_EQ(onLeft.x, -5 - kGap - kSize.cx);
}

TEST(MagnifierPlace, NeverCoversThePointerAndStaysOnTheScreen) {
    for (int x = 0; x < kScreen.right; x += 7) {
        for (int y = 0; y < kScreen.bottom; y += 11) {
            const POINT p{x, y};
            const POINT at = MagnifierPlace(p, kSize, kScreen, kGap);
            ASSERT_TRUE(Inside(kScreen, at, kSize)) << x << "," << y;
            ASSERT_FALSE(Covers(at, kSize, p)) << x << "," << y;
            // Nor the pixels it shows: the gap keeps the captured square out of the window.
            const int half = TMagnifier::kSpan / 2;
            const RECT shown{x - half, y - half, x + half + 1, y + half + 1};
            const RECT window{at.x, at.y, at.x + kSize.cx, at.y + kSize.cy};
            RECT overlap{};
            ASSERT_FALSE(::IntersectRect(&overlap, &shown, &window))
                << x << "," << y;
        }
    }
}

TEST(Magnifier, RedrawsOnlyWhenThePointerMovedOrThePixelsChanged) {
    TMagnifier magnifier(8, nullptr);
    ASSERT_NE(magnifier.Window(), nullptr);
    EXPECT_EQ(magnifier.Size().cx, 15 * 8 + 2);
    EXPECT_EQ(TMagnifier(100, nullptr).Size().cx, 15 * 16 + 2) << "the zoom is kept to 16";
    const unsigned before = TMagnifier::RedrawCount();
    EXPECT_TRUE(magnifier.Follow(POINT{200, 200}));
    EXPECT_FALSE(magnifier.Follow(POINT{200, 200}));
    EXPECT_TRUE(magnifier.Follow(POINT{201, 200}));
    EXPECT_EQ(TMagnifier::RedrawCount(), before + 2);
    EXPECT_EQ(::GetWindowLongA(magnifier.Window(), GWL_EXSTYLE) & (WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOPMOST),
              WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOPMOST);
    EXPECT_NE(::GetForegroundWindow(), magnifier.Window());
}
