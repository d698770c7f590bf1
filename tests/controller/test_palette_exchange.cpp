// Splitting an imported palette into palette files of sixteen colours.
#include <gtest/gtest.h>

#include "PaletteExchange.h"

namespace {

pelmira::formats::TPalette Ramp(int count) {
    pelmira::formats::TPalette colors;
    for (int i = 0; i < count; ++i) colors.push_back({static_cast<std::uint8_t>(i), 1, 2, ""});
    return colors;
}

}  // namespace

TEST(ImportSplit, SixteenOrFewerKeepTheNameAndFillWithWhite) {
    for (int count : {0, 3, 16}) {
        const auto parts = SplitForImport("sea", Ramp(count));
        ASSERT_EQ(parts.size(), 1u) << count;
        EXPECT_EQ(parts[0].Name, "sea");
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(parts[0].Colors[k], k < count ? RGB(k, 1, 2) : RGB(255, 255, 255)) << count << " cell " << k;
    }
}

TEST(ImportSplit, MoreAreNumberedInSixteensAndTheLastIsFilledUp) {
    const auto parts = SplitForImport("sea", Ramp(33));
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].Name, "sea 1");
    EXPECT_EQ(parts[2].Name, "sea 3");
    EXPECT_EQ(parts[1].Colors[0], RGB(16, 1, 2));
    EXPECT_EQ(parts[1].Colors[15], RGB(31, 1, 2));
    EXPECT_EQ(parts[2].Colors[0], RGB(32, 1, 2));
    EXPECT_EQ(parts[2].Colors[1], RGB(255, 255, 255));
    EXPECT_EQ(SplitForImport("sea", Ramp(32)).size(), 2u);
}
