// The sketch filters' grey level against the extended-precision sum it is defined by.

#include "sketch/sketch.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pf;

namespace {

int ExtendedGrey(int r, int g, int b)
{
    return int(std::nearbyintl(0.3L * r + 0.59L * g + 0.11L * b));
}

TEST(SketchGrey, MatchesExtendedSumOnEveryColour)
{
    int mismatches = 0;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b)
                if (GreyLevel(r, g, b) != ExtendedGrey(r, g, b) && ++mismatches <= 5)
                    ADD_FAILURE() << "colour " << r << ", " << g << ", " << b;
    EXPECT_EQ(mismatches, 0);
}

TEST(SketchGrey, HalvesGoWhereTheExtendedConstantsSendThem)
{
    EXPECT_EQ(GreyLevel(0, 0, 50), 6);    // 5.5 is represented a little above the half
    EXPECT_EQ(GreyLevel(0, 0, 150), 16);  // 16.5 to even
    EXPECT_EQ(GreyLevel(255, 255, 255), 255);
    EXPECT_EQ(GreyLevel(0, 0, 0), 0);
    EXPECT_EQ(GreyLevel(128, 128, 128), 128);
}

}  // namespace
