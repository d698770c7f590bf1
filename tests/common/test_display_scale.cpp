// Layout numbers written for 96 DPI at other display scales, and the place of the dialog's
// button panel on the custom colours' caption row.
#include <gtest/gtest.h>

#include "DisplayScale.h"

#include <climits>

using namespace pelmira;

TEST(DisplayScale, ValuesScaleToTheNearestPixelAndBack) {
    EXPECT_EQ(ScaleToDpi(120, 96), 120);
    EXPECT_EQ(ScaleToDpi(14, 120), 18);  // 17.5 rounds up
    EXPECT_EQ(ScaleToDpi(14, 144), 21);
    EXPECT_EQ(ScaleToDpi(110, 192), 220);
    EXPECT_EQ(ScaleToDpi(-1, 144), -2);  // -1.5: halves away from zero, like MulDiv
    EXPECT_EQ(ScaleToDpi(7, 0), 7) << "an unknown DPI is taken as 96";
    EXPECT_EQ(ScaleFromDpi(495, 144), 330);
    EXPECT_EQ(ScaleFromDpi(ScaleToDpi(320, 120), 120), 320);
    EXPECT_EQ(ScaleToDpi(1 << 24, 192), 1 << 25) << "no overflow in the product";
}

TEST(DisplayScale, BoxesThatTouchAt96StillTouchScaled) {
    // The four panel buttons are 30 pixels apart at 96 DPI.
    for (int dpi : {96, 120, 144, 168, 192}) {
        for (int i = 0; i < 3; ++i) {
            const TBox a = ScaleBox(TBox{30 * i, 0, 30, 14}, dpi);
            const TBox b = ScaleBox(TBox{30 * (i + 1), 0, 30, 14}, dpi);
            EXPECT_LE(b.X - (a.X + a.Width), 1) << dpi;
            EXPECT_GE(b.X - (a.X + a.Width), -1) << dpi;
        }
        const TBox last = ScaleBox(TBox{90, 0, 30, 14}, dpi);
        EXPECT_LE(last.X + last.Width - ScaleToDpi(120, dpi), 1) << "the last button ends at the panel's edge";
    }
}

namespace {

constexpr POINT kAt{110, 0};
constexpr SIZE kSize{120, 14};

bool Overlap(const TBox& b, const RECT& r) {
    return b.X < r.right && b.X + b.Width > r.left && b.Y < r.bottom && b.Y + b.Height > r.top;
}

}  // namespace

TEST(PanelPlacement, At96TheFixedPlaceIsKeptWhenTheTextIsShort) {
    const RECT caption{10, 190, 255, 204}, text{10, 191, 90, 204}, cells{10, 211, 255, 257};
    EXPECT_EQ(PlacePanel(caption, text, cells, kAt, kSize, 96), (TBox{120, 190, 120, 14}));
}

TEST(PanelPlacement, ScaledPanelStaysOffTheCaptionTextAndTheCells) {
    // Wine's dialog at 144 DPI: the caption is taller than the panel, and its text (a larger
    // font) runs past 110 scaled when the font grows faster than the layout.
    const RECT caption{15, 285, 383, 306}, text{15, 287, 200, 306}, cells{15, 306, 383, 375};
    const TBox panel = PlacePanel(caption, text, cells, kAt, kSize, 144);
    EXPECT_EQ(panel.Width, 180);
    EXPECT_EQ(panel.Height, 21);
    EXPECT_GE(panel.X, 200) << "right of the text";
    EXPECT_FALSE(Overlap(panel, text));
    EXPECT_FALSE(Overlap(panel, cells));
    EXPECT_EQ(panel.Y, 285);
}

TEST(PanelPlacement, APanelTallerThanTheGapAboveTheCellsMovesUp) {
    const RECT caption{10, 200, 255, 210}, text{10, 200, 60, 210}, cells{10, 211, 255, 257};
    const TBox panel = PlacePanel(caption, text, cells, kAt, kSize, 120);
    EXPECT_EQ(panel.Height, 18);
    EXPECT_EQ(panel.Y + panel.Height, 211) << "bottom edge on the cells' top edge";
    EXPECT_FALSE(Overlap(panel, cells));
}

TEST(PanelPlacement, TextBelowThePanelRowOrCellsBesideItChangeNothing) {
    // A caption whose text starts under the panel's row does not push it aside, and cells that
    // do not lie under the panel do not push it up.
    const RECT caption{0, 0, 400, 40}, text{0, 20, 300, 40}, cells{0, 10, 100, 60};
    EXPECT_EQ(PlacePanel(caption, text, cells, kAt, kSize, 96), (TBox{110, 0, 120, 14}));
    const RECT emptyText{0, 0, 0, 0};
    EXPECT_EQ(PlacePanel(caption, emptyText, RECT{0, 0, 0, 0}, kAt, kSize, 192), (TBox{220, 0, 240, 28}));
}

TEST(DisplayScale, WideProductsDivideExactlyOverTheWholeRange) {
    // What a 64-bit division gives, halves away from zero; the products below pass 32 bits.
    const auto reference = [](int a, int b, int c) {
        const long long p = static_cast<long long>(a) * b;
        return static_cast<int>(p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c));
    };
    const int values[] = {INT_MIN, INT_MIN + 1, -1000000007, -(1 << 30) - 1, -65537, -3, 0, 3, 65537,
                          (1 << 30) + 1, 1000000007, INT_MAX - 1, INT_MAX};
    const int dpis[] = {1, 95, 96, 97, 120, 144, 191, 192, 480, 65535, INT_MAX};
    for (int v : values) {
        for (int dpi : dpis) {
            EXPECT_EQ(ScaleToDpi(v, dpi), reference(v, dpi, kBaseDpi)) << v << " at " << dpi;
            EXPECT_EQ(ScaleFromDpi(v, dpi), reference(v, kBaseDpi, dpi)) << v << " from " << dpi;
            EXPECT_EQ(PointsForWindow(v, dpi, 97), reference(v, dpi, 97)) << v << " at " << dpi;
        }
    }
}

TEST(DisplayScale, FontPointsFollowTheWindowWhenItsScaleDiffersFromTheSystems) {
    EXPECT_EQ(PointsForWindow(12, 96, 96), 12);
    EXPECT_EQ(PointsForWindow(12, 144, 144), 12) << "fonts already grow with the system's scale";
    EXPECT_EQ(PointsForWindow(12, 144, 96), 18) << "a per-monitor window on a larger scale";
    EXPECT_EQ(PointsForWindow(9, 96, 144), 6) << "and on a smaller one";
}
