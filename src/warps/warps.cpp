// The click warps: spherical expand and shrink, the two twists, and the vertical and
// horizontal expand and shrink. Each maps every destination pixel of a disc around the click
// point back to a real source position and reads it through the sampler.
#include "warps/engine.h"

#include <stdexcept>

namespace pf {

namespace detail {

void CheckWarpArguments(const char* who, int X, int Y, int r, int d)
{
    if (r < 0 || r > kMaxWarpRadius)
        throw std::invalid_argument(std::string(who) + ": radius " + std::to_string(r) + " out of range");
    if (d < 0 || d > kMaxWarpRadius)
        throw std::invalid_argument(std::string(who) + ": depth " + std::to_string(d) + " out of range");
    if (X < -kMaxWarpCoordinate || X > kMaxWarpCoordinate || Y < -kMaxWarpCoordinate || Y > kMaxWarpCoordinate)
        throw std::invalid_argument(std::string(who) + ": point (" + std::to_string(X) + ", " + std::to_string(Y) +
                                    ") out of range");
}

void CheckPictures(const char* who, const QImage& src, const QImage& dst)
{
    if (src.isNull())
        throw std::invalid_argument(std::string(who) + ": the source picture is empty");
    if (src.format() != PictureFormat)
        throw std::invalid_argument(std::string(who) + ": the source picture is not a 24-bit picture");
    if (!dst.isNull() && dst.format() != PictureFormat)
        throw std::invalid_argument(std::string(who) + ": the destination is not a 24-bit picture");
}

}  // namespace detail

namespace {

using detail::Area;
using detail::RoundL;

// Parameters every warp derives from the click point, radius and depth.
struct Frame {
    long long a, b;  // click point
    int r, d;
    double ad, bd;   // click point as reals
    double r2;       // r^2
    double R, c;     // sphere radius (r^2 + d^2) / (2 d) and its centre's depth R - d

    Frame(int X, int Y, int r_, int d_) : a(X), b(Y), r(r_), d(d_), ad(X), bd(Y), r2(double(r_) * r_)
    {
        R = (double(r) * r + double(d) * d) / (2.0 * d);
        c = R - d;
    }
};

// Runs body(X) for the columns from..to that the area holds, stepping progress after every
// column of the range.
template <class Body>
void Columns(long long from, long long to, const Area& area, WarpProgress& progress, Body&& body)
{
    for (long long x = from; x <= to; ++x) {
        if (area.hasColumn(x))
            body(x);
        progress.step();
    }
}

// Spherical expand.
template <class Sink>
void Expand(Sink& sink, const Frame& f, WarpProgress& progress)
{
    const Area& area = sink.area();
    const double R2 = f.R * f.R;
    const double c = f.c;
    auto column = [&](long long x, bool upper) {
        const double dx = double(x - f.a);
        const double w = std::sqrt(f.r2 - dx * dx);
        long long lo = upper ? RoundL(f.bd - w) + 1 : f.b + 1;
        long long hi = upper ? f.b - 1 : RoundL(f.bd + w) - 1;
        if (!area.clipRows(lo, hi))
            return;
        const double rest = R2 - dx * dx;
        for (long long y = lo; y <= hi; ++y) {
            const double dy = double(y - f.b);
            const double S = std::sqrt(rest - dy * dy);
            const double k = c / S;
            sink.bilinear(x, y, f.ad + dx * k, f.bd + dy * k);
        }
    };
    const long long left0 = f.a - f.r + 1, left1 = f.a - 1, right0 = f.a + 1, right1 = f.a + f.r - 1;
    Columns(left0, left1, area, progress, [&](long long x) { column(x, true); });
    Columns(right0, right1, area, progress, [&](long long x) { column(x, true); });
    Columns(right0, right1, area, progress, [&](long long x) { column(x, false); });
    Columns(left0, left1, area, progress, [&](long long x) { column(x, false); });

    // Row b and column a: nearest pixel, no blending.
    auto rowPass = [&](long long lo, long long hi) {
        if (!area.hasRow(f.b) || !area.clipColumns(lo, hi))
            return;
        for (long long x = lo; x <= hi; ++x) {
            const double dx = double(x - f.a);
            const double k = c / std::sqrt(R2 - dx * dx);
            sink.nearest(x, f.b, f.ad + dx * k, f.bd);
        }
    };
    auto columnPass = [&](long long lo, long long hi) {
        if (!area.hasColumn(f.a) || !area.clipRows(lo, hi))
            return;
        for (long long y = lo; y <= hi; ++y) {
            const double dy = double(y - f.b);
            const double k = c / std::sqrt(R2 - dy * dy);
            sink.nearest(f.a, y, f.ad, f.bd + dy * k);
        }
    };
    rowPass(left0, left1);
    rowPass(right0, right1);
    columnPass(f.b - f.r + 1, f.b - 1);
    columnPass(f.b + 1, f.b + f.r - 1);
}

// The shrink's region, column by column: rows b - n + 1 .. b + n - 1 without row b, with
// n = Round(|c| sqrt(r^2 - dx^2) / L1). body(x, y, dx, dy, L1) for every pixel of it.
template <class Body>
void ShrinkRegion(const Frame& f, const Area& area, WarpProgress& progress, Body&& body)
{
    const double c2 = f.c * f.c;
    const double absC = std::fabs(f.c);
    auto column = [&](long long x) {
        const double dx = double(x - f.a);
        const double L1 = std::sqrt(c2 + dx * dx);
        const double v = absC * std::sqrt(f.r2 - dx * dx) / L1;
        const long long n = RoundL(v);
        long long lo = f.b - n + 1, hi = f.b - 1;
        if (area.clipRows(lo, hi))
            for (long long y = lo; y <= hi; ++y)
                body(x, y, dx, double(y - f.b), L1);
        lo = f.b + 1;
        hi = f.b + n - 1;
        if (area.clipRows(lo, hi))
            for (long long y = lo; y <= hi; ++y)
                body(x, y, dx, double(y - f.b), L1);
    };
    Columns(f.a - f.r + 1, f.a - 1, area, progress, column);
    Columns(f.a + 1, f.a + f.r - 1, area, progress, column);
}

// Spherical shrink.
template <class Sink>
void Shrink(Sink& sink, const Frame& f, WarpProgress& progress)
{
    const Area& area = sink.area();
    const double c2 = f.c * f.c;
    const double cR = f.c * f.R;
    ShrinkRegion(f, area, progress, [&](long long x, long long y, double dx, double dy, double L1) {
        const double L2 = std::sqrt(c2 + dy * dy);
        const double m = cR / (L1 * L2);
        sink.bilinear(x, y, f.ad + dx * m, f.bd + dy * m);
    });

    // Row b and column a: nearest pixel, the source clamped into the picture.
    auto rowPass = [&](long long lo, long long hi) {
        if (!area.hasRow(f.b) || !area.clipColumns(lo, hi))
            return;
        for (long long x = lo; x <= hi; ++x) {
            const double dx = double(x - f.a);
            const double L1 = std::sqrt(c2 + dx * dx);
            sink.nearest(x, f.b, f.ad + dx * f.R / L1, f.bd);
        }
    };
    auto columnPass = [&](long long lo, long long hi) {
        if (!area.hasColumn(f.a) || !area.clipRows(lo, hi))
            return;
        for (long long y = lo; y <= hi; ++y) {
            const double dy = double(y - f.b);
            const double L2 = std::sqrt(c2 + dy * dy);
            sink.nearest(f.a, y, f.ad, f.bd + dy * f.R / L2);
        }
    };
    rowPass(f.a - f.r + 1, f.a - 1);
    rowPass(f.a + 1, f.a + f.r - 1);
    columnPass(f.b - f.r + 1, f.b - 1);
    columnPass(f.b + 1, f.b + f.r - 1);
}

// The twists: each pixel moves by h(rho) along the tangent of its circle around the click
// point; sign +1 turns the content clockwise (twist right), -1 counter-clockwise.
template <class Sink>
void Twist(Sink& sink, const Frame& f, double sign, WarpProgress& progress)
{
    const Area& area = sink.area();
    const double half = f.r / 2.0;
    const double dd = f.d;
    const double Rt = (half * half + dd * dd) / (2.0 * dd);
    const double Rt2 = Rt * Rt;
    auto map = [&](long long x, long long y, double dx, double dy) {
        const double rho = std::sqrt(dx * dx + dy * dy);
        const double t = rho - half;
        const double h = std::sqrt(Rt2 - t * t) + dd - Rt;
        if (sign > 0)
            sink.bilinear(x, y, double(x) + h * dy / rho, double(y) - h * dx / rho);
        else
            sink.bilinear(x, y, double(x) - h * dy / rho, double(y) + h * dx / rho);
    };
    auto column = [&](long long x, bool upper) {
        const double dx = double(x - f.a);
        const double w = std::sqrt(f.r2 - dx * dx);
        long long lo = upper ? RoundL(f.bd - w) + 1 : f.b + 1;
        long long hi = upper ? f.b - 1 : RoundL(f.bd + w) - 1;
        if (!area.clipRows(lo, hi))
            return;
        for (long long y = lo; y <= hi; ++y)
            map(x, y, dx, double(y - f.b));
    };
    const long long left0 = f.a - f.r + 1, left1 = f.a - 1, right0 = f.a + 1, right1 = f.a + f.r - 1;
    Columns(right0, right1, area, progress, [&](long long x) { column(x, true); });
    Columns(right0, right1, area, progress, [&](long long x) { column(x, false); });
    Columns(left0, left1, area, progress, [&](long long x) { column(x, false); });
    Columns(left0, left1, area, progress, [&](long long x) { column(x, true); });

    // Row b and column a, through the same mapping and the sampler.
    auto rowPass = [&](long long lo, long long hi) {
        if (!area.hasRow(f.b) || !area.clipColumns(lo, hi))
            return;
        for (long long x = lo; x <= hi; ++x)
            map(x, f.b, double(x - f.a), 0.0);
    };
    auto columnPass = [&](long long lo, long long hi) {
        if (!area.hasColumn(f.a) || !area.clipRows(lo, hi))
            return;
        for (long long y = lo; y <= hi; ++y)
            map(f.a, y, 0.0, double(y - f.b));
    };
    rowPass(right0, right1);
    columnPass(f.b + 1, f.b + f.r - 1);
    rowPass(left0, left1);
    columnPass(f.b - f.r + 1, f.b - 1);
}

// Vertical expand: columns outer, the full disc with its rim rows, sources in the same column.
template <class Sink>
void VerticalExpand(Sink& sink, const Frame& f, WarpProgress& progress)
{
    const Area& area = sink.area();
    const double R2 = f.R * f.R;
    Columns(f.a - f.r + 1, f.a + f.r - 1, area, progress, [&](long long x) {
        const double dx = double(x - f.a);
        const double wc = std::sqrt(f.r2 - dx * dx);
        long long lo = RoundL(f.bd - wc), hi = RoundL(f.bd + wc);
        if (!area.clipRows(lo, hi))
            return;
        const double rest = R2 - dx * dx;
        const double sx = double(x);
        for (long long y = lo; y <= hi; ++y) {
            const double dy = double(y - f.b);
            const double S = std::sqrt(rest - dy * dy);
            sink.bilinear(x, y, sx, f.bd + dy * f.c / S);
        }
    });
}

// Horizontal expand: rows outer, sources in the same row.
template <class Sink>
void HorizontalExpand(Sink& sink, const Frame& f, WarpProgress& progress)
{
    const Area& area = sink.area();
    const double R2 = f.R * f.R;
    for (long long y = f.b - f.r + 1; y <= f.b + f.r - 1; ++y) {
        if (area.hasRow(y)) {
            const double dy = double(y - f.b);
            const double wr = std::sqrt(f.r2 - dy * dy);
            long long lo = RoundL(f.ad - wr), hi = RoundL(f.ad + wr);
            if (area.clipColumns(lo, hi)) {
                const double sy = double(y);
                for (long long x = lo; x <= hi; ++x) {
                    const double dx = double(x - f.a);
                    const double S = std::sqrt(R2 - dx * dx - dy * dy);
                    sink.bilinear(x, y, f.ad + dx * f.c / S, sy);
                }
            }
        }
        progress.step();
    }
}

// Vertical shrink: the shrink's region, then column a; sources in the same column.
template <class Sink>
void VerticalShrink(Sink& sink, const Frame& f, WarpProgress& progress)
{
    const Area& area = sink.area();
    const double c2 = f.c * f.c;
    const double cR = f.c * f.R;
    ShrinkRegion(f, area, progress, [&](long long x, long long y, double, double dy, double L1) {
        const double L2 = std::sqrt(c2 + dy * dy);
        const double m = cR / (L1 * L2);
        sink.bilinear(x, y, double(x), f.bd + dy * m);
    });
    auto columnPass = [&](long long lo, long long hi) {
        if (!area.hasColumn(f.a) || !area.clipRows(lo, hi))
            return;
        for (long long y = lo; y <= hi; ++y) {
            const double dy = double(y - f.b);
            const double L2 = std::sqrt(c2 + dy * dy);
            sink.bilinear(f.a, y, f.ad, f.bd + dy * f.R / L2);
        }
    };
    columnPass(f.b - f.r + 1, f.b - 1);
    columnPass(f.b + 1, f.b + f.r - 1);
}

// Horizontal shrink: the same region as the vertical shrink (columns outer), then row b;
// sources in the same row.
template <class Sink>
void HorizontalShrink(Sink& sink, const Frame& f, WarpProgress& progress)
{
    const Area& area = sink.area();
    const double c2 = f.c * f.c;
    const double cR = f.c * f.R;
    ShrinkRegion(f, area, progress, [&](long long x, long long y, double dx, double dy, double L1) {
        const double L2 = std::sqrt(c2 + dy * dy);
        const double m = cR / (L1 * L2);
        sink.bilinear(x, y, f.ad + dx * m, double(y));
    });
    auto rowPass = [&](long long lo, long long hi) {
        if (!area.hasRow(f.b) || !area.clipColumns(lo, hi))
            return;
        for (long long x = lo; x <= hi; ++x) {
            const double dx = double(x - f.a);
            const double L1 = std::sqrt(c2 + dx * dx);
            sink.bilinear(x, f.b, f.ad + dx * f.R / L1, f.bd);
        }
    };
    rowPass(f.a - f.r + 1, f.a - 1);
    rowPass(f.a + 1, f.a + f.r - 1);
}

const char* WarpName(WarpKind kind)
{
    switch (kind) {
    case WarpKind::Sphericalpengzhang: return "Sphericalpengzhang";
    case WarpKind::Sphericalshousuo: return "Sphericalshousuo";
    case WarpKind::Sphericalyouxuan: return "Sphericalyouxuan";
    case WarpKind::Sphericalzuoxuan: return "Sphericalzuoxuan";
    case WarpKind::Verticalpengzhang: return "Verticalpengzhang";
    case WarpKind::Verticalshousuo: return "Verticalshousuo";
    case WarpKind::Horizontalpengzhang: return "Horizontalpengzhang";
    case WarpKind::Horizontalshousuo: return "Horizontalshousuo";
    }
    throw std::invalid_argument("ApplyWarp: unknown warp kind");
}

template <class Sink>
void Run(WarpKind kind, Sink& sink, int X, int Y, int r, int d, WarpProgress& progress)
{
    if (d == 0)
        return;  // no dome: nothing moves
    const Frame f(X, Y, r, d);
    switch (kind) {
    case WarpKind::Sphericalpengzhang: Expand(sink, f, progress); break;
    case WarpKind::Sphericalshousuo: Shrink(sink, f, progress); break;
    case WarpKind::Sphericalyouxuan: Twist(sink, f, 1.0, progress); break;
    case WarpKind::Sphericalzuoxuan: Twist(sink, f, -1.0, progress); break;
    case WarpKind::Verticalpengzhang: VerticalExpand(sink, f, progress); break;
    case WarpKind::Verticalshousuo: VerticalShrink(sink, f, progress); break;
    case WarpKind::Horizontalpengzhang: HorizontalExpand(sink, f, progress); break;
    case WarpKind::Horizontalshousuo: HorizontalShrink(sink, f, progress); break;
    }
}

}  // namespace

std::int64_t ApplyWarp(WarpKind kind, const QImage& src, QImage& dst, QPoint dstOrigin, int X, int Y, int r, int d,
                       WarpProgress& progress)
{
    const char* who = WarpName(kind);
    detail::CheckWarpArguments(who, X, Y, r, d);
    detail::CheckPictures(who, src, dst);
    detail::ColourSink sink(src, dst, dstOrigin);
    Run(kind, sink, X, Y, r, d, progress);
    return sink.written();
}

std::vector<WarpVisit> TraceWarp(WarpKind kind, QSize picture, int X, int Y, int r, int d, WarpProgress& progress)
{
    const char* who = WarpName(kind);
    detail::CheckWarpArguments(who, X, Y, r, d);
    detail::TraceSink sink(picture);
    Run(kind, sink, X, Y, r, d, progress);
    return std::move(sink.visits);
}

QRect WarpBounds(int X, int Y, int r, QSize picture)
{
    if (r < 0)
        return QRect();
    const detail::Area a = detail::Intersect(picture, QPoint(0, 0), picture);
    const long long x0 = std::max<long long>(a.x0, static_cast<long long>(X) - r);
    const long long x1 = std::min<long long>(a.x1, static_cast<long long>(X) + r);
    const long long y0 = std::max<long long>(a.y0, static_cast<long long>(Y) - r);
    const long long y1 = std::min<long long>(a.y1, static_cast<long long>(Y) + r);
    if (x0 > x1 || y0 > y1)
        return QRect();
    return QRect(QPoint(int(x0), int(y0)), QPoint(int(x1), int(y1)));
}

#define PF_WARP(Name)                                                                                            \
    void Name(const QImage& src, QImage& dst, QPoint dstOrigin, int X, int Y, int r, int d,                     \
              WarpProgress& progress)                                                                            \
    {                                                                                                            \
        ApplyWarp(WarpKind::Name, src, dst, dstOrigin, X, Y, r, d, progress);                                    \
    }                                                                                                            \
    void Name(const QImage& src, QImage& dst, int X, int Y, int r, int d, WarpProgress& progress)               \
    {                                                                                                            \
        ApplyWarp(WarpKind::Name, src, dst, QPoint(0, 0), X, Y, r, d, progress);                                 \
    }

PF_WARP(Sphericalpengzhang)
PF_WARP(Sphericalshousuo)
PF_WARP(Sphericalyouxuan)
PF_WARP(Sphericalzuoxuan)
PF_WARP(Verticalpengzhang)
PF_WARP(Verticalshousuo)
PF_WARP(Horizontalpengzhang)
PF_WARP(Horizontalshousuo)

#undef PF_WARP

}  // namespace pf
