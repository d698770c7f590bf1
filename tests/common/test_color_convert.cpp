// The colour model conversions against published reference values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ColorConvert.h"

using namespace pelmira::formats;

namespace {

testing::AssertionResult Near(TRgb8 got, TRgb8 want, int tolerance = 1) {
    if (std::abs(got.R - want.R) <= tolerance && std::abs(got.G - want.G) <= tolerance &&
        std::abs(got.B - want.B) <= tolerance) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "got " << +got.R << "," << +got.G << "," << +got.B << " want "
                                       << +want.R << "," << +want.G << "," << +want.B;
}

}  // namespace

TEST(ColorConvert, CmykIsInkSubtractedFromWhite) {
    EXPECT_EQ(RgbFromCmyk(0, 0, 0, 0), (TRgb8{255, 255, 255}));
    EXPECT_EQ(RgbFromCmyk(0, 1, 1, 0), (TRgb8{255, 0, 0}));
    EXPECT_EQ(RgbFromCmyk(0, 0, 0, 1), (TRgb8{0, 0, 0}));
    EXPECT_EQ(RgbFromCmyk(0.5, 0, 0, 0.5), (TRgb8{64, 128, 128}));  // 255 * 0.5 * 0.5 = 63.75
}

TEST(ColorConvert, HsbCoversEverySectorOfTheHexcone) {
    EXPECT_EQ(RgbFromHsb(0, 1, 1), (TRgb8{255, 0, 0}));
    EXPECT_EQ(RgbFromHsb(60, 1, 1), (TRgb8{255, 255, 0}));
    EXPECT_EQ(RgbFromHsb(120, 1, 1), (TRgb8{0, 255, 0}));
    EXPECT_EQ(RgbFromHsb(180, 1, 1), (TRgb8{0, 255, 255}));
    EXPECT_EQ(RgbFromHsb(240, 1, 1), (TRgb8{0, 0, 255}));
    EXPECT_EQ(RgbFromHsb(300, 1, 1), (TRgb8{255, 0, 255}));
    EXPECT_EQ(RgbFromHsb(360, 1, 1), (TRgb8{255, 0, 0}));
    EXPECT_EQ(RgbFromHsb(-120, 1, 1), (TRgb8{0, 0, 255}));
    EXPECT_EQ(RgbFromHsb(210, 0, 0.5), (TRgb8{128, 128, 128}));
    EXPECT_EQ(RgbFromHsb(30, 0.5, 1), (TRgb8{255, 191, 128}));
}

TEST(ColorConvert, LabD50MatchesPublishedSrgbValues) {
    EXPECT_EQ(RgbFromLab(100, 0, 0), (TRgb8{255, 255, 255}));
    EXPECT_EQ(RgbFromLab(0, 0, 0), (TRgb8{0, 0, 0}));
    // sRGB primaries in D50 Lab (Bradford): red 54.29/80.80/69.89, green 87.82/-79.29/80.99,
    // blue 29.57/68.29/-112.03.
    EXPECT_TRUE(Near(RgbFromLab(54.29, 80.80, 69.89), {255, 0, 0}));
    EXPECT_TRUE(Near(RgbFromLab(87.82, -79.29, 80.99), {0, 255, 0}));
    EXPECT_TRUE(Near(RgbFromLab(29.57, 68.29, -112.03), {0, 0, 255}));
    // Middle grey: L 53.39 is sRGB 128.
    EXPECT_TRUE(Near(RgbFromLab(53.39, 0, 0), {128, 128, 128}));
}

TEST(ColorConvert, NonsenseValuesClampInsteadOfMisbehaving) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(RgbFromUnit(nan, -1, 2), (TRgb8{0, 0, 255}));
    EXPECT_EQ(RgbFromGray(inf), (TRgb8{255, 255, 255}));
    EXPECT_EQ(RgbFromHsb(nan, nan, 1), (TRgb8{255, 255, 255}));
    EXPECT_EQ(RgbFromLab(nan, 0, 0), (TRgb8{0, 0, 0}));
    EXPECT_EQ(RgbFromCmyk(nan, 0, 0, -inf), (TRgb8{255, 255, 255}));
    EXPECT_EQ(UnitToByte(0.5), 128);
}
