#include "editor/print_layout.h"

#include <gtest/gtest.h>

using namespace pf;

TEST(PrintRect, DoublingCentringAndFitting)
{
    struct Case { QSize picture, page; QRect want; };
    const Case cases[] = {
        {{605, 469}, {4800, 6360}, QRect(1190, 2242, 2420, 1876)},   // doubled twice
        {{2500, 100}, {4800, 6360}, QRect(1150, 3130, 2500, 100)},   // wider than half: 1:1, centred
        {{100, 3200}, {4800, 6360}, QRect(2350, 1580, 100, 3200)},
        {{2399, 3179}, {4800, 6360}, QRect(1, 1, 4798, 6358)},       // doubled once, just under half
        {{9600, 3180}, {4800, 6360}, QRect(0, 2385, 4800, 1590)},    // larger than the page: fitted
        {{4800, 12720}, {4800, 6360}, QRect(1200, 0, 2400, 6360)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrintRect(c.picture, c.page), c.want) << c.picture.width() << "x" << c.picture.height();
}

