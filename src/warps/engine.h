// What the warps share inside the engine: argument checks, the area a warp may write, and the
// two sinks a warp's mapping feeds: one that samples and writes pixels, one that only records.
#pragma once

#include "warps/sampler.h"
#include "warps/warp_trace.h"
#include "warps/warps.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace pf::detail {

// Round halves to even, for whole-number ranges that may lie outside int.
inline long long RoundL(double v) { return static_cast<long long>(std::nearbyint(v)); }

void CheckWarpArguments(const char* who, int X, int Y, int r, int d);
void CheckPictures(const char* who, const QImage& src, const QImage& dst);

// The picture pixels a warp may write, inclusive bounds; empty when x0 > x1 or y0 > y1.
struct Area {
    long long x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    bool hasColumn(long long x) const { return x >= x0 && x <= x1 && y0 <= y1; }
    bool hasRow(long long y) const { return y >= y0 && y <= y1 && x0 <= x1; }
    // Clips [lo, hi] to the area's rows or columns; false when nothing is left.
    bool clipRows(long long& lo, long long& hi) const
    {
        lo = std::max(lo, y0);
        hi = std::min(hi, y1);
        return lo <= hi;
    }
    bool clipColumns(long long& lo, long long& hi) const
    {
        lo = std::max(lo, x0);
        hi = std::min(hi, x1);
        return lo <= hi;
    }
};

inline Area Intersect(QSize picture, QPoint origin, QSize region)
{
    Area a;
    a.x0 = std::max<long long>(0, origin.x());
    a.y0 = std::max<long long>(0, origin.y());
    a.x1 = std::min<long long>(picture.width() - 1, static_cast<long long>(origin.x()) + region.width() - 1);
    a.y1 = std::min<long long>(picture.height() - 1, static_cast<long long>(origin.y()) + region.height() - 1);
    if (a.x0 > a.x1 || a.y0 > a.y1)
        a = Area{};
    return a;
}

// Where a warp puts the source positions of one run before handing the run to its sink.
struct RunSpace {
    double* xs;
    double* ys;
};

// Samples the source and writes the destination region.
class ColourSink {
public:
    ColourSink(const QImage& src, QImage& dst, QPoint origin, WarpProgress& progress)
        : source_(src), view_(source_), area_(Intersect(src.size(), origin, dst.size())), ox_(origin.x()),
          oy_(origin.y()), progress_(progress)
    {
        // dst may share pixels with src: writing detaches it, and source_ keeps the original.
        if (area_.x0 <= area_.x1) {
            bits_ = dst.bits();
            bpl_ = dst.bytesPerLine();
        }
    }
    const Area& area() const { return area_; }
    std::int64_t written() const { return written_; }

    // For warps that sample by themselves: the source, where destination (x, y) lives, the
    // distance between destination rows, and the count of pixels they wrote.
    const SourceView& view() const { return view_; }
    uchar* pixel(long long x, long long y) const { return at(x, y); }
    qsizetype bytesPerLine() const { return bpl_; }
    void addWritten(std::int64_t n) { written_ += n; }

    // Room for the sources of a run of n pixels, valid until the next call.
    RunSpace space(int n)
    {
        if (xs_.size() < size_t(n)) {
            xs_.resize(size_t(n));
            ys_.resize(size_t(n));
        }
        return {xs_.data(), ys_.data()};
    }
    // n destination pixels from (x, y) on, each the next by (stepX, stepY), take the sampler's
    // colours at (xs[j], ys[j]).
    void run(long long x, long long y, int stepX, int stepY, int n, const double* xs, const double* ys)
    {
        if (n > 0)
            written_ += kernel_(view_, xs, ys, n, at(x, y), stepY * bpl_ + 3 * stepX);
    }
    // Destination (x, y) := the source pixel nearest to (sx, sy), clamped into the picture.
    void nearest(long long x, long long y, double sx, double sy)
    {
        if (std::isnan(sx) || std::isnan(sy))
            return;
        const long long ix = RoundL(std::clamp(sx, 0.0, double(view_.width - 1)));
        const long long iy = RoundL(std::clamp(sy, 0.0, double(view_.height - 1)));
        const uchar* s = view_.bits + iy * view_.bpl + 3 * ix;
        uchar* p = at(x, y);
        p[0] = s[0];
        p[1] = s[1];
        p[2] = s[2];
        ++written_;
    }
    // A column (or row) is done.
    void step() { progress_.step(); }
    // The end of a smear stroke class.
    void reset() { progress_.reset(); }
    // The end of a warp.
    void finish() {}

private:
    uchar* at(long long x, long long y) const { return bits_ + (y - oy_) * bpl_ + 3 * (x - ox_); }

    const QImage source_;
    const SourceView view_;
    const Area area_;
    const long long ox_, oy_;
    WarpProgress& progress_;
    uchar* bits_ = nullptr;
    qsizetype bpl_ = 0;
    std::int64_t written_ = 0;
    std::vector<double> xs_, ys_;
    const SampleRunForm kernel_ = PickSampleRun(view_);
};

// Records the visits instead of writing pixels.
class TraceSink {
public:
    TraceSink(QSize picture, WarpProgress& progress)
        : area_(Intersect(picture, QPoint(0, 0), picture)), progress_(progress)
    {
    }
    const Area& area() const { return area_; }
    std::int64_t written() const { return std::int64_t(visits.size()); }
    void nearest(long long x, long long y, double sx, double sy) { add(x, y, sx, sy, true); }
    RunSpace space(int n)
    {
        if (xs_.size() < size_t(n)) {
            xs_.resize(size_t(n));
            ys_.resize(size_t(n));
        }
        return {xs_.data(), ys_.data()};
    }
    void run(long long x, long long y, int stepX, int stepY, int n, const double* xs, const double* ys)
    {
        for (int j = 0; j < n; ++j)
            add(x + j * stepX, y + j * stepY, xs[j], ys[j], false);
    }
    void step() { progress_.step(); }
    void reset() { progress_.reset(); }
    void finish() {}
    std::vector<WarpVisit> visits;

private:
    void add(long long x, long long y, double sx, double sy, bool nearest)
    {
        if (std::isnan(sx) || std::isnan(sy))
            return;
        visits.push_back(WarpVisit{int(x), int(y), sx, sy, nearest});
    }
    const Area area_;
    WarpProgress& progress_;
    std::vector<double> xs_, ys_;
};

}  // namespace pf::detail
