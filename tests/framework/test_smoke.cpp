#include <gtest/gtest.h>
#include "Config.h"

TEST(Build, RunsUnderWine) {
    EXPECT_NE(::GetModuleHandleA(nullptr), nullptr);
}
