// The smear brush: carries the content of a disc around the stroke half a stroke forward,
// the shift fading along a circular arc to nothing at the disc's rim.
#include "warps/engine.h"

#include <stdexcept>

namespace pf {

namespace {

using detail::Area;
using detail::RoundL;

enum StrokeClass { UpLeft = 1, DownRight, UpRight, DownLeft, Left, Right, Down, Up };

// One stroke class that applies: its capped length, direction, end point and disc.
struct Stroke {
    int cls = 0;
    double L = 0;           // stroke length after capping
    double ux = 0, uy = 0;  // unit direction from the press point towards the release point
    double k = 0;           // slope (cy - qy) / (cx - qx), diagonal classes only
    long long ex = 0, ey = 0;  // end point
    double mx = 0, my = 0;  // disc centre
    double R = 0;           // disc radius L/2 + B
    double c = 0;           // arc constant (2 R^2 - (B + L)^2) / L
    bool diagonal() const { return cls <= DownLeft; }
};

// The classes that apply, in order, each tested against the release point as the classes
// before it left it. At most two apply (a diagonal whose end point falls on the press point's
// row or column, then that axis class).
int PlanStrokes(long long cx, long long cy, long long qx, long long qy, int B, Stroke out[8])
{
    const double half = B / 2.0;
    auto cap = [&](double L0) { return L0 <= half ? L0 : half; };
    int count = 0;
    for (int cls = UpLeft; cls <= Up; ++cls) {
        bool applies = false;
        switch (cls) {
        case UpLeft: applies = qx < cx && qy < cy; break;
        case DownRight: applies = qx > cx && qy > cy; break;
        case UpRight: applies = qx > cx && qy < cy; break;
        case DownLeft: applies = qx < cx && qy > cy; break;
        case Left: applies = qx < cx && qy == cy; break;
        case Right: applies = qx > cx && qy == cy; break;
        case Down: applies = qx == cx && qy > cy; break;
        case Up: applies = qx == cx && qy < cy; break;
        }
        if (!applies)
            continue;
        Stroke s;
        s.cls = cls;
        if (cls <= DownLeft) {
            const long long ddx = cx - qx, ddy = cy - qy;
            const double k = double(ddy) / double(ddx);
            const double n = std::sqrt(k * k + 1);
            s.k = k;
            s.L = cap(std::sqrt(double(ddx * ddx + ddy * ddy)));
            const long long along = RoundL(s.L / n);
            switch (cls) {
            case UpLeft:
                s.ux = -1 / n;
                s.uy = -k / n;
                s.ex = cx - along;
                s.ey = cy - RoundL(s.L * k / n);
                break;
            case DownRight:
                s.ux = 1 / n;
                s.uy = k / n;
                s.ex = cx + along;
                s.ey = cy + RoundL(s.L * k / n);
                break;
            case UpRight:
                s.ux = 1 / n;
                s.uy = -std::fabs(k) / n;
                s.ex = cx + along;
                s.ey = cy - RoundL(s.L * std::fabs(k) / n);
                break;
            default:  // DownLeft
                s.ux = -1 / n;
                s.uy = std::fabs(k) / n;
                s.ex = cx - along;
                s.ey = cy + RoundL(s.L * std::fabs(k) / n);
                break;
            }
            s.mx = double(cx + s.ex) / 2;
            s.my = double(cy + s.ey) / 2;
        } else {
            switch (cls) {
            case Left:
                s.L = cap(double(cx - qx));
                s.ux = -1;
                s.ex = cx - RoundL(s.L);
                s.ey = cy;
                s.mx = cx - s.L / 2;
                s.my = double(cy);
                break;
            case Right:
                s.L = cap(double(qx - cx));
                s.ux = 1;
                s.ex = cx + RoundL(s.L);
                s.ey = cy;
                s.mx = s.ex - s.L / 2;  // from the rounded end point
                s.my = double(cy);
                break;
            case Down:
                s.L = cap(double(qy - cy));
                s.uy = 1;
                s.ex = cx;
                s.ey = cy + RoundL(s.L);
                s.mx = double(cx);
                s.my = cy + s.L / 2;
                break;
            default:  // Up
                s.L = cap(double(cy - qy));
                s.uy = -1;
                s.ex = cx;
                s.ey = cy - RoundL(s.L);
                s.mx = double(cx);
                s.my = cy - s.L / 2;
                break;
            }
        }
        s.R = s.L / 2 + B;
        s.c = (2 * s.R * s.R - (B + s.L) * (B + s.L)) / s.L;
        out[count++] = s;
        qx = s.ex;
        qy = s.ey;
    }
    return count;
}

// The disc's columns Round(M.x - R) + 1 .. Round(M.x + R) - 1, and for each its rows
// Round(M.y - h) + 1 .. Round(M.y + h) - 1.
long long FirstColumn(const Stroke& s) { return RoundL(s.mx - s.R) + 1; }
long long LastColumn(const Stroke& s) { return RoundL(s.mx + s.R) - 1; }

// Where the chord through P = (px, py) parallel to the stroke has its foot F and half length
// a, and where the arc crosses it (s), returns the source of P.
struct Source {
    double x, y;
};

// One pixel of a diagonal stroke, exactly as the pixel rule reads.
inline Source DiagonalSource(const Stroke& st, double B, double R2, double K2, double mxk, double kk, double px,
                             double py)
{
    const double fx = (st.my - py + px * st.k + mxk) / kk;
    const double fy = st.my - (fx - st.mx) / st.k;
    const double w2 = (fx - st.mx) * (fx - st.mx) + (fy - st.my) * (fy - st.my);
    const double a = std::sqrt(R2 - w2);
    const double s = std::sqrt(K2 - w2) - st.L / 2 - B - st.c;
    const double ax = fx + s * st.ux, ay = fy + s * st.uy;
    if ((px - ax) * st.ux + (py - ay) * st.uy > 0) {
        const double ex = fx + a * st.ux, ey = fy + a * st.uy;
        const double delta = std::sqrt((px - ex) * (px - ex) + (py - ey) * (py - ey));
        const double sigma = a * delta / (a - s);
        return {px - (sigma - delta) * st.ux, py - (sigma - delta) * st.uy};
    }
    const double ex = fx - a * st.ux, ey = fy - a * st.uy;
    const double delta = std::sqrt((px - ex) * (px - ex) + (py - ey) * (py - ey));
    const double sigma = a * delta / (a + s);
    return {px - (delta - sigma) * st.ux, py - (delta - sigma) * st.uy};
}

// The position along an axis stroke's chord: u is P's coordinate along the axis, f the foot's
// (the centre's) coordinate, dir +1 or -1, a and s of the chord. Returns the source coordinate.
// For an axis chord the distance from P to a chord end is the absolute difference of the two
// coordinates (the square root of a square gives it back exactly).
inline double AxisSource(double u, double f, double dir, double a, double s)
{
    const double arc = f + s * dir;
    if ((u - arc) * dir > 0) {
        const double end = f + a * dir;
        const double delta = std::fabs(end - u);
        const double sigma = a * delta / (a - s);
        return u - (sigma - delta) * dir;
    }
    const double end = f - a * dir;
    const double delta = std::fabs(u - end);
    const double sigma = a * delta / (a + s);
    return u - (delta - sigma) * dir;
}

template <class Sink>
void PaintStroke(Sink& sink, const Stroke& st, int B, WarpProgress& progress)
{
    const Area& area = sink.area();
    const double Bd = B;
    const double R2 = st.R * st.R;
    const double K = Bd + st.L + st.c;  // radius of the arc
    const double K2 = K * K;
    const long long g0 = FirstColumn(st), g1 = LastColumn(st);

    auto rows = [&](long long g, long long& lo, long long& hi) {
        const double h = std::sqrt(R2 - (st.mx - g) * (st.mx - g));
        lo = RoundL(st.my - h) + 1;
        hi = RoundL(st.my + h) - 1;
        return area.clipRows(lo, hi);
    };
    // a and s for a chord at squared distance w2 from the axis.
    auto chord = [&](double w2, double& a, double& s) {
        a = std::sqrt(R2 - w2);
        s = std::sqrt(K2 - w2) - st.L / 2 - Bd - st.c;
    };

    if (st.diagonal()) {
        const double mxk = st.mx / st.k;
        const double kk = st.k + 1 / st.k;
        for (long long g = g0; g <= g1; ++g) {
            long long lo, hi;
            if (area.hasColumn(g) && rows(g, lo, hi)) {
                const double px = double(g);
                for (long long i = lo; i <= hi; ++i) {
                    const Source src = DiagonalSource(st, Bd, R2, K2, mxk, kk, px, double(i));
                    sink.bilinear(g, i, src.x, src.y);
                }
            }
            progress.step();
        }
    } else if (st.cls == Left || st.cls == Right) {
        // The chord through P is P's row: a and s depend on the row alone.
        const double dir = st.ux;
        long long rlo = RoundL(st.my - st.R), rhi = RoundL(st.my + st.R);
        std::vector<double> as, ss;
        if (area.clipRows(rlo, rhi)) {
            as.resize(size_t(rhi - rlo + 1));
            ss.resize(as.size());
            for (long long i = rlo; i <= rhi; ++i) {
                const double dy = i - st.my;
                chord(0 * 0 + dy * dy, as[size_t(i - rlo)], ss[size_t(i - rlo)]);
            }
        }
        for (long long g = g0; g <= g1; ++g) {
            long long lo, hi;
            if (area.hasColumn(g) && rows(g, lo, hi)) {
                const double px = double(g);
                for (long long i = lo; i <= hi; ++i) {
                    const size_t j = size_t(i - rlo);
                    sink.bilinear(g, i, AxisSource(px, st.mx, dir, as[j], ss[j]), double(i));
                }
            }
            progress.step();
        }
    } else {
        // Down and up: the chord through P is P's column.
        const double dir = st.uy;
        for (long long g = g0; g <= g1; ++g) {
            long long lo, hi;
            if (area.hasColumn(g) && rows(g, lo, hi)) {
                const double dx = g - st.mx;
                double a, s;
                chord(dx * dx, a, s);
                const double px = double(g);
                for (long long i = lo; i <= hi; ++i)
                    sink.bilinear(g, i, px, AxisSource(double(i), st.my, dir, a, s));
            }
            progress.step();
        }
    }
    progress.reset();
}

void CheckSmearArguments(int pressX, int pressY, int releaseX, int releaseY, int brushRadius)
{
    if (brushRadius < 0 || brushRadius > kMaxWarpRadius)
        throw std::invalid_argument("tumopic: brush radius " + std::to_string(brushRadius) + " out of range");
    for (int v : {pressX, pressY, releaseX, releaseY})
        if (v < -kMaxWarpCoordinate || v > kMaxWarpCoordinate)
            throw std::invalid_argument("tumopic: stroke point " + std::to_string(v) + " out of range");
}

template <class Sink>
void RunSmear(Sink& sink, int pressX, int pressY, int releaseX, int releaseY, int B, WarpProgress& progress)
{
    Stroke strokes[8];
    const int n = PlanStrokes(pressX, pressY, releaseX, releaseY, B, strokes);
    for (int i = 0; i < n; ++i)
        PaintStroke(sink, strokes[i], B, progress);
}

}  // namespace

std::int64_t ApplySmear(const QImage& src, QImage& dst, QPoint dstOrigin, int pressX, int pressY, int releaseX,
                        int releaseY, int brushRadius, WarpProgress& progress)
{
    CheckSmearArguments(pressX, pressY, releaseX, releaseY, brushRadius);
    detail::CheckPictures("tumopic", src, dst);
    detail::ColourSink sink(src, dst, dstOrigin);
    RunSmear(sink, pressX, pressY, releaseX, releaseY, brushRadius, progress);
    return sink.written();
}

void tumopic(const QImage& src, QImage& dst, QPoint dstOrigin, int pressX, int pressY, int releaseX, int releaseY,
             int brushRadius, WarpProgress& progress)
{
    ApplySmear(src, dst, dstOrigin, pressX, pressY, releaseX, releaseY, brushRadius, progress);
}

void tumopic(const QImage& src, QImage& dst, int pressX, int pressY, int releaseX, int releaseY, int brushRadius,
             WarpProgress& progress)
{
    ApplySmear(src, dst, QPoint(0, 0), pressX, pressY, releaseX, releaseY, brushRadius, progress);
}

std::vector<WarpVisit> TraceSmear(QSize picture, int pressX, int pressY, int releaseX, int releaseY, int brushRadius,
                                  WarpProgress& progress)
{
    CheckSmearArguments(pressX, pressY, releaseX, releaseY, brushRadius);
    detail::TraceSink sink(picture);
    RunSmear(sink, pressX, pressY, releaseX, releaseY, brushRadius, progress);
    return std::move(sink.visits);
}

QRect SmearBounds(int pressX, int pressY, int releaseX, int releaseY, int brushRadius, QSize picture)
{
    CheckSmearArguments(pressX, pressY, releaseX, releaseY, brushRadius);
    Stroke strokes[8];
    const int n = PlanStrokes(pressX, pressY, releaseX, releaseY, brushRadius, strokes);
    const Area pic = detail::Intersect(picture, QPoint(0, 0), picture);
    QRect box;
    for (int i = 0; i < n; ++i) {
        const Stroke& s = strokes[i];
        long long x0 = FirstColumn(s), x1 = LastColumn(s);
        long long y0 = RoundL(s.my - s.R) + 1, y1 = RoundL(s.my + s.R) - 1;  // h <= R in every column
        if (!pic.clipColumns(x0, x1) || !pic.clipRows(y0, y1))
            continue;
        box |= QRect(QPoint(int(x0), int(y0)), QPoint(int(x1), int(y1)));
    }
    return box;
}

}  // namespace pf
