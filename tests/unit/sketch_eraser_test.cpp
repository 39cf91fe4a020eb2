// The eraser's white disc under the pointer.

#include "sketch/sketch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

using namespace pf;

namespace {

QImage Grey(int w, int h)
{
    QImage p = NewPicture(w, h);
    p.fill(QColor(100, 100, 100));
    return p;
}

// The disc painted column by column, one pixel at a time, as the eraser is defined.
QImage ReferenceErase(QImage p, int X, int Y, int thickness, double zoom)
{
    const int cx = int(std::nearbyint(X / zoom * 100));
    const int cy = int(std::nearbyint(Y / zoom * 100));
    const int r = int(std::nearbyint(thickness / zoom * 100));
    for (int x = cx - r; x <= cx + r; ++x) {
        const int h = int(std::nearbyint(std::sqrt(double(r * r - (x - cx) * (x - cx)))));
        for (int y = cy - h; y <= cy + h; ++y)
            SetPixel(p, x, y, clWhite);
    }
    return p;
}

int WhiteInColumn(const QImage& p, int x)
{
    int n = 0;
    for (int y = 0; y < p.height(); ++y)
        n += GetPixel(p, x, y) == clWhite;
    return n;
}

int WhiteCount(const QImage& p)
{
    int n = 0;
    for (int x = 0; x < p.width(); ++x)
        n += WhiteInColumn(p, x);
    return n;
}

TEST(SketchEraser, DiscAtFullSize)
{
    QImage p = Grey(80, 80);
    EraseTheSpot(p, 40, 40, 25, 100);
    EXPECT_EQ(WhiteInColumn(p, 40), 51);
    EXPECT_EQ(WhiteInColumn(p, 15), 1);
    EXPECT_EQ(WhiteInColumn(p, 65), 1);
    EXPECT_EQ(WhiteInColumn(p, 14), 0);
    EXPECT_EQ(WhiteInColumn(p, 66), 0);
    EXPECT_EQ(p, ReferenceErase(Grey(80, 80), 40, 40, 25, 100));
}

TEST(SketchEraser, ThicknessOneIsAPlus)
{
    QImage p = Grey(9, 9);
    EraseTheSpot(p, 4, 4, 1, 100);
    EXPECT_EQ(WhiteCount(p), 5);
    for (QPoint q : {QPoint(4, 4), QPoint(3, 4), QPoint(5, 4), QPoint(4, 3), QPoint(4, 5)})
        EXPECT_EQ(GetPixel(p, q.x(), q.y()), clWhite);
}

TEST(SketchEraser, ZoomConvertsCentreAndRadius)
{
    struct Case { int X, Y, thickness; double zoom; int cx, cy, r; };
    const Case cases[] = {
        {100, 50, 25, 100, 100, 50, 25},
        {100, 50, 25, 125, 80, 40, 20},
        {100, 50, 25, 80, 125, 62, 31},          // 62.5 -> 62, 31.25 -> 31
        {100, 50, 2, 80, 125, 62, 2},            // 2.5 -> 2
        {100, 50, 1, 244.140625, 41, 20, 0},     // 0.4096 -> 0: a single pixel
        {-10, 30, 5, 100, -10, 30, 5},
    };
    for (const Case& c : cases) {
        const EraserSpot s = EraserSpotAt(c.X, c.Y, c.thickness, c.zoom);
        EXPECT_EQ(s.cx, c.cx) << c.zoom;
        EXPECT_EQ(s.cy, c.cy) << c.zoom;
        EXPECT_EQ(s.r, c.r) << c.zoom;
    }
    QImage p = Grey(60, 60);
    EraseTheSpot(p, 50, 50, 1, 244.140625);
    EXPECT_EQ(WhiteCount(p), 1);
    EXPECT_EQ(GetPixel(p, 20, 20), clWhite);
}

// Discs at several zooms, wholly inside, across every edge and corner, and wholly outside:
// the same pixels as the column-by-column definition, and the picture keeps its size.
TEST(SketchEraser, MatchesTheDefinitionAndClipsAtTheEdges)
{
    struct Case { int X, Y, thickness; double zoom; };
    const Case cases[] = {
        {50, 40, 25, 100}, {50, 40, 25, 125}, {50, 40, 25, 80}, {50, 40, 2, 80}, {61, 47, 50, 244.140625},
        {0, 0, 25, 100}, {99, 79, 25, 100}, {-5, 40, 25, 100}, {50, 85, 25, 100}, {120, 40, 50, 100},
        {50, 40, 50, 1}, {3, 3, 50, 51.2}, {500, 500, 10, 100}, {-200, 40, 30, 100},
    };
    for (const Case& c : cases) {
        QImage p = Grey(100, 80);
        EraseTheSpot(p, c.X, c.Y, c.thickness, c.zoom);
        EXPECT_EQ(p.size(), QSize(100, 80));
        EXPECT_EQ(p, ReferenceErase(Grey(100, 80), c.X, c.Y, c.thickness, c.zoom))
            << c.X << ", " << c.Y << " thickness " << c.thickness << " at " << c.zoom << " %";
    }
}

TEST(SketchEraser, RectIsTheClippedBoundingSquare)
{
    EXPECT_EQ(EraseTheSpotRect(QSize(100, 80), 50, 40, 25, 100), QRect(QPoint(25, 15), QPoint(75, 65)));
    EXPECT_EQ(EraseTheSpotRect(QSize(100, 80), 0, 79, 25, 100), QRect(QPoint(0, 54), QPoint(25, 79)));
    EXPECT_EQ(EraseTheSpotRect(QSize(100, 80), 100, 40, 25, 125), QRect(QPoint(60, 12), QPoint(99, 52)));
    EXPECT_TRUE(EraseTheSpotRect(QSize(100, 80), 200, 40, 25, 100).isEmpty());
}

TEST(SketchEraser, MissingThePictureLeavesItShared)
{
    const QImage original = Grey(30, 30);
    QImage p = original;
    EraseTheSpot(p, 100, 100, 10, 100);
    EXPECT_EQ(p.constBits(), original.constBits());
}

TEST(SketchEraser, RefusesBadInputAndChangesNothing)
{
    const QImage original = Grey(30, 30);
    QImage p = original.copy();
    EXPECT_THROW(EraseTheSpot(p, 10, 10, 5, 0), std::invalid_argument);
    EXPECT_THROW(EraseTheSpot(p, 10, 10, 5, -100), std::invalid_argument);
    EXPECT_THROW(EraseTheSpot(p, 10, 10, 5, std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
    EXPECT_THROW(EraseTheSpot(p, 10, 10, -1, 100), std::invalid_argument);
    EXPECT_THROW(EraseTheSpot(p, 10, 10, 5, 1e-9), std::invalid_argument);
    QImage wrongFormat = original.convertToFormat(QImage::Format_RGB32);
    EXPECT_THROW(EraseTheSpot(wrongFormat, 10, 10, 5, 100), std::invalid_argument);
    QImage none;
    EXPECT_THROW(EraseTheSpot(none, 10, 10, 5, 100), std::invalid_argument);
    EXPECT_EQ(p, original);
}

}  // namespace
