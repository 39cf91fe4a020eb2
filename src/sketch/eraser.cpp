// The eraser: a white disc painted into the picture under the pointer.

#include "sketch/sketch.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace pf {
namespace {

// Round(value / zoomPercent x 100), refusing results that don't fit an int.
int ToPictureChecked(double value, double zoomPercent, const char* what)
{
    const double v = std::nearbyint(value / zoomPercent * 100);
    if (!(v >= INT_MIN && v <= INT_MAX))
        throw std::invalid_argument(std::string("EraseTheSpot: the ") + what +
                                    " in picture pixels is out of range");
    return int(v);
}

struct ClippedSpot {
    EraserSpot spot;
    QRect rect;  // the bounding square clipped to the picture
};

ClippedSpot Clip(QSize pictureSize, int X, int Y, int thickness, double zoomPercent)
{
    const EraserSpot s = EraserSpotAt(X, Y, thickness, zoomPercent);
    const int64_t left = std::max<int64_t>(int64_t(s.cx) - s.r, 0);
    const int64_t top = std::max<int64_t>(int64_t(s.cy) - s.r, 0);
    const int64_t right = std::min<int64_t>(int64_t(s.cx) + s.r, int64_t(pictureSize.width()) - 1);
    const int64_t bottom = std::min<int64_t>(int64_t(s.cy) + s.r, int64_t(pictureSize.height()) - 1);
    if (left > right || top > bottom)
        return {s, QRect()};
    return {s, QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom)))};
}

}  // namespace

EraserSpot EraserSpotAt(int X, int Y, int thickness, double zoomPercent)
{
    if (!std::isfinite(zoomPercent) || zoomPercent <= 0)
        throw std::invalid_argument("EraseTheSpot: zoom " + std::to_string(zoomPercent) +
                                    " % is not a positive number");
    if (thickness < 0)
        throw std::invalid_argument("EraseTheSpot: thickness " + std::to_string(thickness) +
                                    " is negative");
    EraserSpot s;
    s.cx = ToPictureChecked(X, zoomPercent, "centre");
    s.cy = ToPictureChecked(Y, zoomPercent, "centre");
    s.r = ToPictureChecked(thickness, zoomPercent, "radius");
    return s;
}

QRect EraseTheSpotRect(QSize pictureSize, int X, int Y, int thickness, double zoomPercent)
{
    return Clip(pictureSize, X, Y, thickness, zoomPercent).rect;
}

void EraseTheSpot(QImage& picture, int X, int Y, int thickness, double zoomPercent)
{
    if (picture.isNull())
        throw std::invalid_argument("EraseTheSpot: there is no picture");
    if (picture.format() != PictureFormat)
        throw std::invalid_argument("EraseTheSpot: the picture is not in the 24-bit layout");
    const ClippedSpot c = Clip(picture.size(), X, Y, thickness, zoomPercent);
    if (c.rect.isEmpty())
        return;
    const int64_t cx = c.spot.cx, cy = c.spot.cy, r = c.spot.r;

    // Column x = cx +- dx covers the rows cy - h .. cy + h with h = Round(sqrt(r r - dx dx)); h
    // shrinks as dx grows, so row cy +- a is covered from cx - reach[a] to cx + reach[a], reach[a]
    // being the largest dx whose h is at least a. Only the part of the disc inside the picture
    // is looked at.
    const int64_t aMax = std::max(std::abs(c.rect.top() - cy), std::abs(c.rect.bottom() - cy));
    const int64_t aMin = (c.rect.top() <= cy && cy <= c.rect.bottom())
                             ? 0
                             : std::min(std::abs(c.rect.top() - cy), std::abs(c.rect.bottom() - cy));
    auto columnHeight = [&](int64_t dx) {
        return int64_t(std::nearbyint(std::sqrt(double(r * r - dx * dx))));
    };
    std::vector<int64_t> reach(size_t(aMax - aMin + 1));
    int64_t lo = 0, hi = r;  // the first reach by halving: columnHeight(0) = r >= aMin
    while (lo < hi) {
        const int64_t m = lo + (hi - lo + 1) / 2;
        if (columnHeight(m) >= aMin)
            lo = m;
        else
            hi = m - 1;
    }
    int64_t dx = lo;
    for (int64_t a = aMin; a <= aMax; ++a) {
        while (dx > 0 && columnHeight(dx) < a)
            --dx;
        reach[size_t(a - aMin)] = dx;
    }

    for (int y = c.rect.top(); y <= c.rect.bottom(); ++y) {
        const int64_t a = std::abs(int64_t(y) - cy);
        const int64_t ext = reach[size_t(a - aMin)];
        const int64_t x0 = std::max<int64_t>(cx - ext, c.rect.left());
        const int64_t x1 = std::min<int64_t>(cx + ext, c.rect.right());
        if (x0 > x1)
            continue;
        uint8_t* row = picture.scanLine(y);
        std::memset(row + 3 * x0, 0xFF, size_t(3 * (x1 - x0 + 1)));
    }
}

}  // namespace pf

