// The edge map: inverted colour edges with a frame of the inverted picture.

#include "sketch/sketch.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The edge map computed pixel by pixel from its definition.
QImage ReferenceEdgeMap(const QImage& s)
{
    const int w = s.width(), h = s.height();
    QImage d = s.copy();
    auto at = [&](int x, int y, int c) { return int(s.constScanLine(y)[3 * x + c]); };
    for (int y = 1; y <= h - 2; ++y)
        for (int x = 1; x <= w - 2; ++x)
            for (int c = 0; c < 3; ++c) {  // blue, green, red
                const int wgt = c == 1 ? 2 : 1;
                int k1 = at(x + 1, y - 1, c) + 2 * at(x + 1, y, c) + at(x + 1, y + 1, c) -
                         at(x - 1, y - 1, c) - 2 * at(x - 1, y, c) - at(x - 1, y + 1, c);
                int k2 = at(x - 1, y + 1, c) + at(x, y + 1, c) + at(x + 1, y + 1, c) -
                         at(x - 1, y - 1, c) - at(x, y - 1, c) - at(x + 1, y - 1, c);
                int k3 = at(x - 1, y - 1, c) + at(x - 1, y, c) + at(x - 1, y + 1, c) -
                         at(x + 1, y - 1, c) - wgt * at(x + 1, y, c) - at(x + 1, y + 1, c);
                k1 = std::clamp(k1, 0, 255);
                k2 = std::clamp(k2, 0, 255);
                k3 = std::clamp(k3, 0, 255);
                d.scanLine(y)[3 * x + c] = uchar(std::max({k1, k2, k3}));
            }
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < 3 * w; ++i)
            d.scanLine(y)[i] = uchar(255 - d.scanLine(y)[i]);
    return d;
}

bool IsFrame(const QImage& p, int x, int y)
{
    return x == 0 || y == 0 || x == p.width() - 1 || y == p.height() - 1;
}

TEST(SketchEdgeMap, FlatColourIsWhiteInsideWithAnInvertedFrame)
{
    const QImage e = picsobel(Painted(7, 5, [](int, int) { return RGBColor(10, 200, 70); }));
    ASSERT_EQ(e.size(), QSize(7, 5));
    ASSERT_EQ(e.format(), PictureFormat);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(GetPixel(e, x, y), IsFrame(e, x, y) ? RGBColor(245, 55, 185) : clWhite)
                << x << ", " << y;
}

// Vertical boundaries between columns 2 and 3, both ways round: the two interior columns next to
// it turn black (k1 catches rising to the right, k3 rising to the left), the rest stays white.
TEST(SketchEdgeMap, VerticalBoundariesBothWaysGiveABlackPairOfColumns)
{
    for (bool blackLeft : {true, false}) {
        SCOPED_TRACE(blackLeft ? "black | white" : "white | black");
        const QImage src = Painted(6, 5, [&](int x, int) { return (x < 3) == blackLeft ? clBlack : clWhite; });
        const QImage e = picsobel(src);
        for (int y = 1; y < 4; ++y)
            for (int x = 1; x < 5; ++x)
                EXPECT_EQ(GetPixel(e, x, y), (x == 2 || x == 3) ? clBlack : clWhite) << x << ", " << y;
    }
}

TEST(SketchEdgeMap, HorizontalBoundaryCountsOnlyWhenRisingDownwards)
{
    const QImage blackAbove = picsobel(Painted(5, 6, [](int, int y) { return y < 3 ? clBlack : clWhite; }));
    const QImage whiteAbove = picsobel(Painted(5, 6, [](int, int y) { return y < 3 ? clWhite : clBlack; }));
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 4; ++x) {
            EXPECT_EQ(GetPixel(blackAbove, x, y), (y == 2 || y == 3) ? clBlack : clWhite) << x << ", " << y;
            EXPECT_EQ(GetPixel(whiteAbove, x, y), clWhite) << x << ", " << y;
        }
}

TEST(SketchEdgeMap, GreenWeighsTheMiddleRightPixelTwice)
{
    const QImage e = picsobel(Painted(6, 4, [](int x, int) { return RGBColor(0, x < 3 ? 100 : 40, 0); }));
    for (int y = 1; y < 3; ++y) {
        EXPECT_EQ(GetPixel(e, 2, y), RGBColor(255, 115, 255));
        EXPECT_EQ(GetPixel(e, 3, y), RGBColor(255, 115, 255));
        EXPECT_EQ(GetPixel(e, 1, y), clWhite);
        EXPECT_EQ(GetPixel(e, 4, y), clWhite);
    }
}

TEST(SketchEdgeMap, PicturesUnderThreePixelsAreJustInverted)
{
    for (QSize size : {QSize(1, 1), QSize(2, 9), QSize(9, 2), QSize(2, 2), QSize(40, 1)}) {
        const QImage src = NoisePicture(size.width(), size.height(), 7);
        QImage inverted = src.copy();
        for (int y = 0; y < inverted.height(); ++y)
            for (int i = 0; i < 3 * inverted.width(); ++i)
                inverted.scanLine(y)[i] = uchar(255 - inverted.scanLine(y)[i]);
        EXPECT_EQ(picsobel(src), inverted) << size.width() << " x " << size.height();
    }
}

// Widths around the 16-byte runs of the fast path (and odd ones), compared with the definition.
TEST(SketchEdgeMap, MatchesTheDefinitionOnRandomPictures)
{
    const QSize sizes[] = {{3, 3}, {4, 3}, {7, 4}, {8, 5}, {9, 3}, {17, 6}, {18, 4}, {33, 5}, {64, 7}, {451, 9}};
    unsigned seed = 1;
    for (QSize size : sizes) {
        const QImage src = NoisePicture(size.width(), size.height(), seed++);
        EXPECT_EQ(picsobel(src), ReferenceEdgeMap(src)) << size.width() << " x " << size.height();
    }
}

// Results this large live in memory of their own (huge pages); they must behave as any picture:
// right layout, writable, copies detaching, released without trouble.
TEST(SketchEdgeMap, LargePicturesMatchAndBehaveLikeAnyPicture)
{
    const QImage src = NoisePicture(1701, 1700, 21);
    QImage e = picsobel(src);
    ASSERT_EQ(e.bytesPerLine(), NewPicture(1701, 1700).bytesPerLine());
    EXPECT_EQ(e, ReferenceEdgeMap(src));

    const QImage kept = e;
    SetPixel(e, 5, 5, RGBColor(1, 2, 3));
    EXPECT_EQ(GetPixel(e, 5, 5), RGBColor(1, 2, 3));
    EXPECT_NE(GetPixel(kept, 5, 5), RGBColor(1, 2, 3));
    QImage alone = picsobel(src);
    const uchar* before = alone.constBits();
    alone.scanLine(3)[7] = 9;  // the only copy: written in place
    EXPECT_EQ(alone.constBits(), before);
}

TEST(SketchEdgeMap, TakesOtherFormatsAndRefusesNoPicture)
{
    const QImage src = NoisePicture(20, 6, 3);
    EXPECT_EQ(picsobel(src.convertToFormat(QImage::Format_RGB32)), picsobel(src));
    EXPECT_THROW(picsobel(QImage()), std::invalid_argument);
}

}  // namespace
