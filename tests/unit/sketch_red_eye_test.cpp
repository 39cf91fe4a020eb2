// Red-eye removal: the 3 x 3 median per channel, and SelectionSort it is defined with.

#include "sketch/sketch.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <random>
#include <stdexcept>

using namespace pf;

namespace {

QImage Painted(int w, int h, const std::function<TColor(int, int)>& colour)
{
    QImage p = NewPicture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(p, x, y, colour(x, y));
    return p;
}

QImage Random(int w, int h, unsigned seed, int levels = 256)
{
    std::mt19937 rng(seed);
    QImage p = NewPicture(w, h);
    for (int y = 0; y < h; ++y) {
        uchar* row = p.scanLine(y);
        for (int i = 0; i < 3 * w; ++i)
            row[i] = uchar(rng() % unsigned(levels) * (255 / (levels - 1)));
    }
    return p;
}

TEST(SketchSelectionSort, SortsTheFirstNPlusOneEntries)
{
    std::array<int, 10> v{5, 3, 9, 1, 7, 3, 0, 8, 2, -4};
    SelectionSort(v, 8);
    EXPECT_EQ(v, (std::array<int, 10>{0, 1, 2, 3, 3, 5, 7, 8, 9, -4}));

    std::array<int, 3> w{3, 2, 1};
    SelectionSort(w, 0);
    EXPECT_EQ(w, (std::array<int, 3>{3, 2, 1}));
    EXPECT_THROW(SelectionSort(w, 3), std::invalid_argument);
    EXPECT_EQ(w, (std::array<int, 3>{3, 2, 1}));
}

TEST(SketchRedEye, SpeckTakesTheColourOfItsSurroundings)
{
    const TColor ground = RGBColor(90, 60, 40);
    const QImage out = RedEye(Painted(7, 7, [&](int x, int y) { return x == 3 && y == 3 ? RGBColor(255, 0, 0) : ground; }));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(GetPixel(out, x, y), ground) << x << ", " << y;
}

TEST(SketchRedEye, OnePixelLineGoesTwoPixelLineStays)
{
    const TColor ground = clWhite, ink = RGBColor(20, 30, 40);
    const QImage one = RedEye(Painted(30, 9, [&](int, int y) { return y == 4 ? ink : ground; }));
    const QImage two = RedEye(Painted(30, 9, [&](int x, int) { return x == 10 || x == 11 ? ink : ground; }));
    for (int y = 1; y < 8; ++y)
        for (int x = 1; x < 29; ++x)
            EXPECT_EQ(GetPixel(one, x, y), ground) << x << ", " << y;
    for (int y = 1; y < 8; ++y)
        for (int x = 1; x < 29; ++x)
            EXPECT_EQ(GetPixel(two, x, y), (x == 10 || x == 11) ? ink : ground) << x << ", " << y;
}

// Red's median sits at the top-left neighbour, green's at the centre, blue's at the bottom-right:
// each channel is filtered on its own, so the result is a colour no neighbour has.
TEST(SketchRedEye, ChannelsAreFilteredOnTheirOwn)
{
    const int red[9] = {60, 10, 90, 10, 20, 80, 90, 70, 50};     // median 60
    const int green[9] = {200, 0, 0, 255, 100, 0, 255, 255, 99}; // median 100
    const int blue[9] = {1, 2, 3, 4, 9, 8, 7, 6, 5};              // median 5
    const QImage src = Painted(3, 3, [&](int x, int y) {
        const int k = 3 * y + x;
        return RGBColor(red[k], green[k], blue[k]);
    });
    const QImage out = RedEye(src);
    EXPECT_EQ(GetPixel(out, 1, 1), RGBColor(60, 100, 5));
    for (int k = 0; k < 9; ++k) {
        if (k != 4) {
            EXPECT_EQ(GetPixel(out, k % 3, k / 3), GetPixel(src, k % 3, k / 3));
        }
    }
}

TEST(SketchRedEye, BorderKeepsItsColours)
{
    const QImage src = Random(40, 12, 5);
    const QImage out = RedEye(src);
    for (int x = 0; x < 40; ++x) {
        EXPECT_EQ(GetPixel(out, x, 0), GetPixel(src, x, 0));
        EXPECT_EQ(GetPixel(out, x, 11), GetPixel(src, x, 11));
    }
    for (int y = 0; y < 12; ++y) {
        EXPECT_EQ(GetPixel(out, 0, y), GetPixel(src, 0, y));
        EXPECT_EQ(GetPixel(out, 39, y), GetPixel(src, 39, y));
    }
}

TEST(SketchRedEye, PicturesUnderThreePixelsStayUnchanged)
{
    for (QSize size : {QSize(1, 1), QSize(2, 2), QSize(2, 50), QSize(50, 2), QSize(1, 7)}) {
        const QImage src = Random(size.width(), size.height(), 9);
        EXPECT_EQ(RedEye(src), src) << size.width() << " x " << size.height();
        EXPECT_EQ(RedEyeBySelectionSort(src), src) << size.width() << " x " << size.height();
    }
}

// The sorting network is built of minimum and maximum alone, so it gives the median of every
// input exactly when it does for every pattern of two values: all 512 of them, one per 3 x 3 block.
TEST(SketchRedEye, NetworkIsTheMedianOnEveryTwoValuePattern)
{
    QImage src = NewPicture(3 * 512, 3);
    for (int m = 0; m < 512; ++m)
        for (int k = 0; k < 9; ++k) {
            const int v = (m >> k) & 1 ? 255 : 0;
            // the same pattern in red, mirrored in green, inverted in blue
            SetPixel(src, 3 * m + k % 3, k / 3, RGBColor(v, (m >> (8 - k)) & 1 ? 255 : 0, 255 - v));
        }
    const QImage fast = RedEye(src);
    const QImage plain = RedEyeBySelectionSort(src);
    for (int m = 0; m < 512; ++m)
        EXPECT_EQ(GetPixel(fast, 3 * m + 1, 1), GetPixel(plain, 3 * m + 1, 1)) << "pattern " << m;
    EXPECT_EQ(fast, plain);
}

TEST(SketchRedEye, FastMedianEqualsSelectionSortOnRandomPictures)
{
    const QSize sizes[] = {{3, 3}, {4, 3}, {5, 4}, {6, 6}, {7, 3}, {8, 5}, {9, 9}, {17, 4}, {64, 10}, {451, 13}, {300, 451}};
    unsigned seed = 100;
    for (QSize size : sizes)
        for (int levels : {256, 4}) {  // few levels make many equal values
            const QImage src = Random(size.width(), size.height(), seed++, levels);
            EXPECT_EQ(RedEye(src), RedEyeBySelectionSort(src)) << size.width() << " x " << size.height();
        }
}

TEST(SketchRedEye, RefusesNoPicture)
{
    EXPECT_THROW(RedEye(QImage()), std::invalid_argument);
}

}  // namespace
