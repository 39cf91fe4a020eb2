// The smear brush: carries the content of a disc around the stroke half a stroke forward,
// the shift fading along a circular arc to nothing at the disc's rim.
#include "warps/engine.h"
#include "warps/sampler_avx2.h"

#include <stdexcept>
#include <type_traits>

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

// The constants of one stroke's pixel rule.
struct Rule {
    double mx, my, k, ux, uy;  // centre, slope, direction
    double B, halfL, c;        // brush radius, L / 2, arc constant
    double R2, K2;             // R^2 and (B + L + c)^2
    double mxk, kk;            // M.x / k and k + 1/k
};

Rule MakeRule(const Stroke& st, int B)
{
    Rule r;
    r.mx = st.mx;
    r.my = st.my;
    r.k = st.k;
    r.ux = st.ux;
    r.uy = st.uy;
    r.B = B;
    r.halfL = st.L / 2;
    r.c = st.c;
    r.R2 = st.R * st.R;
    const double K = r.B + st.L + st.c;  // radius of the arc
    r.K2 = K * K;
    r.mxk = st.mx / st.k;
    r.kk = st.k + 1 / st.k;
    return r;
}

// The source of pixel P = (px, py) of a diagonal stroke, the pixel rule as it reads: the foot
// F of P's chord on the line through M across the stroke, the chord's half length a, the arc's
// offset s on it, then P's place ahead of or behind the arc point F + s d.
inline void DiagonalSource(const Rule& q, double px, double pxk, double py, double& sx, double& sy)
{
    const double fx = (q.my - py + pxk + q.mxk) / q.kk;
    const double fy = q.my - (fx - q.mx) / q.k;
    const double w2 = (fx - q.mx) * (fx - q.mx) + (fy - q.my) * (fy - q.my);
    const double a = std::sqrt(q.R2 - w2);
    const double s = std::sqrt(q.K2 - w2) - q.halfL - q.B - q.c;
    const double ax = fx + s * q.ux, ay = fy + s * q.uy;
    if ((px - ax) * q.ux + (py - ay) * q.uy > 0) {
        const double ex = fx + a * q.ux, ey = fy + a * q.uy;
        const double delta = std::sqrt((px - ex) * (px - ex) + (py - ey) * (py - ey));
        const double sigma = a * delta / (a - s);
        sx = px - (sigma - delta) * q.ux;
        sy = py - (sigma - delta) * q.uy;
    } else {
        const double ex = fx - a * q.ux, ey = fy - a * q.uy;
        const double delta = std::sqrt((px - ex) * (px - ex) + (py - ey) * (py - ey));
        const double sigma = a * delta / (a + s);
        sx = px - (delta - sigma) * q.ux;
        sy = py - (delta - sigma) * q.uy;
    }
}

// Sources of rows lo .. lo + n - 1 of column px.
void DiagonalColumnPortable(const Rule& q, double px, long long lo, int n, double* xs, double* ys)
{
    const double pxk = px * q.k;
    for (int j = 0; j < n; ++j)
        DiagonalSource(q, px, pxk, double(lo + j), xs[j], ys[j]);
}

#ifdef PF_SAMPLER_AVX2
// The sources of four rows py of column px, each lane the scalar rule's operations in the same
// order; where the scalar rule branches on the side of the arc, each lane picks its own
// operands.
struct Diagonal4 {
    __m256d my, mx, k, pxk, mxk, kk, R2, K2, halfL, B, c, ux, uy, px;

    __attribute__((target("avx2"), always_inline)) inline Diagonal4(const Rule& q, double pxd)
        : my(_mm256_set1_pd(q.my)), mx(_mm256_set1_pd(q.mx)), k(_mm256_set1_pd(q.k)),
          pxk(_mm256_set1_pd(pxd * q.k)), mxk(_mm256_set1_pd(q.mxk)), kk(_mm256_set1_pd(q.kk)),
          R2(_mm256_set1_pd(q.R2)), K2(_mm256_set1_pd(q.K2)), halfL(_mm256_set1_pd(q.halfL)),
          B(_mm256_set1_pd(q.B)), c(_mm256_set1_pd(q.c)), ux(_mm256_set1_pd(q.ux)), uy(_mm256_set1_pd(q.uy)),
          px(_mm256_set1_pd(pxd))
    {
    }

    __attribute__((target("avx2"), always_inline)) inline void operator()(__m256d py, __m256d& sx,
                                                                          __m256d& sy) const
    {
        const __m256d fx = _mm256_div_pd(_mm256_add_pd(_mm256_add_pd(_mm256_sub_pd(my, py), pxk), mxk), kk);
        const __m256d fy = _mm256_sub_pd(my, _mm256_div_pd(_mm256_sub_pd(fx, mx), k));
        const __m256d ddx = _mm256_sub_pd(fx, mx), ddy = _mm256_sub_pd(fy, my);
        const __m256d w2 = _mm256_add_pd(_mm256_mul_pd(ddx, ddx), _mm256_mul_pd(ddy, ddy));
        const __m256d a = _mm256_sqrt_pd(_mm256_sub_pd(R2, w2));
        const __m256d s =
            _mm256_sub_pd(_mm256_sub_pd(_mm256_sub_pd(_mm256_sqrt_pd(_mm256_sub_pd(K2, w2)), halfL), B), c);
        const __m256d ax = _mm256_add_pd(fx, _mm256_mul_pd(s, ux)), ay = _mm256_add_pd(fy, _mm256_mul_pd(s, uy));
        const __m256d side =
            _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(px, ax), ux), _mm256_mul_pd(_mm256_sub_pd(py, ay), uy));
        const __m256d ahead = _mm256_cmp_pd(side, _mm256_setzero_pd(), _CMP_GT_OQ);
        // The chord end P is measured from: F + a d ahead of the arc, F - a d behind it.
        const __m256d aux = _mm256_mul_pd(a, ux), auy = _mm256_mul_pd(a, uy);
        const __m256d ex = _mm256_blendv_pd(_mm256_sub_pd(fx, aux), _mm256_add_pd(fx, aux), ahead);
        const __m256d ey = _mm256_blendv_pd(_mm256_sub_pd(fy, auy), _mm256_add_pd(fy, auy), ahead);
        const __m256d ddx2 = _mm256_sub_pd(px, ex), ddy2 = _mm256_sub_pd(py, ey);
        const __m256d delta = _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(ddx2, ddx2), _mm256_mul_pd(ddy2, ddy2)));
        const __m256d den = _mm256_blendv_pd(_mm256_add_pd(a, s), _mm256_sub_pd(a, s), ahead);
        const __m256d sigma = _mm256_div_pd(_mm256_mul_pd(a, delta), den);
        const __m256d move = _mm256_blendv_pd(_mm256_sub_pd(delta, sigma), _mm256_sub_pd(sigma, delta), ahead);
        sx = _mm256_sub_pd(px, _mm256_mul_pd(move, ux));
        sy = _mm256_sub_pd(py, _mm256_mul_pd(move, uy));
    }
};

__attribute__((target("avx2"))) void DiagonalColumnAvx2(const Rule& q, double px, long long lo, int n, double* xs,
                                                        double* ys)
{
    const Diagonal4 rule(q, px);
    const __m256d step = _mm256_set_pd(3, 2, 1, 0);
    int j = 0;
    for (; j + 4 <= n; j += 4) {
        __m256d sx, sy;
        rule(_mm256_add_pd(_mm256_set1_pd(double(lo + j)), step), sx, sy);
        _mm256_storeu_pd(xs + j, sx);
        _mm256_storeu_pd(ys + j, sy);
    }
    const double pxk = px * q.k;
    for (; j < n; ++j)
        DiagonalSource(q, px, pxk, double(lo + j), xs[j], ys[j]);
}

// The same, sampling each four rows' sources right away, so that the divisions and square
// roots of the next rows overlap the sampling of these. Needs a picture at least two pixels
// wide and high.
__attribute__((target("avx2"))) std::int64_t DiagonalColumnSampledAvx2(const Rule& q,
                                                                       const detail::SourceView& view, double px,
                                                                       long long lo, int n, uchar* out,
                                                                       qsizetype stride)
{
    const Diagonal4 rule(q, px);
    const detail::avx2::Sampler sampler(view);
    const __m256d step = _mm256_set_pd(3, 2, 1, 0);
    std::int64_t written = 0;
    int j = 0;
    if (n >= 4) {
        // Each step works out the next four rows' sources before sampling the current four, so
        // that the long divisions and square roots run while the sampler works.
        __m256d sx, sy;
        rule(_mm256_add_pd(_mm256_set1_pd(double(lo)), step), sx, sy);
        for (; j + 8 <= n; j += 4) {
            __m256d nx, ny;
            rule(_mm256_add_pd(_mm256_set1_pd(double(lo + j + 4)), step), nx, ny);
            written += sampler.sample4<true>(sx, sy, out, stride);
            sx = nx;
            sy = ny;
        }
        written += sampler.sample4<true>(sx, sy, out, stride);
        j += 4;
    }
    const double pxk = px * q.k;
    for (; j < n; ++j, out += stride) {
        double sx, sy;
        DiagonalSource(q, px, pxk, double(lo + j), sx, sy);
        written += sampler.sample1(sx, sy, out);
    }
    return written;
}
#endif

void DiagonalColumn(const Rule& q, double px, long long lo, int n, double* xs, double* ys)
{
#ifdef PF_SAMPLER_AVX2
    if (detail::UseAvx2())
        return DiagonalColumnAvx2(q, px, lo, n, xs, ys);
#endif
    DiagonalColumnPortable(q, px, lo, n, xs, ys);
}

// The source coordinate along an axis stroke's chord: u is P's coordinate along the axis, f the
// centre's, dir +1 or -1, a and s of the chord. For an axis chord the distance from P to a
// chord end is the absolute difference of the two coordinates (the square root of a square
// gives it back exactly).
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
void PaintStroke(Sink& sink, const Stroke& st, int B)
{
    const Area& area = sink.area();
    const Rule q = MakeRule(st, B);
    const long long g0 = FirstColumn(st), g1 = LastColumn(st);

    // The disc's rows in column g, clipped to the area.
    auto rows = [&](long long g, long long& lo, long long& hi) {
        const double h = std::sqrt(q.R2 - (st.mx - g) * (st.mx - g));
        lo = RoundL(st.my - h) + 1;
        hi = RoundL(st.my + h) - 1;
        return area.clipRows(lo, hi);
    };
    // a and s for a chord at squared distance w2 from the axis.
    auto chord = [&](double w2, double& a, double& s) {
        a = std::sqrt(q.R2 - w2);
        s = std::sqrt(q.K2 - w2) - q.halfL - q.B - q.c;
    };

    if (st.diagonal()) {
        bool fused = false;
#ifdef PF_SAMPLER_AVX2
        if constexpr (std::is_same_v<Sink, detail::ColourSink>)
            fused = detail::UseAvx2() && sink.view().width >= 2 && sink.view().height >= 2;
#endif
        for (long long g = g0; g <= g1; ++g) {
            long long lo, hi;
            if (area.hasColumn(g) && rows(g, lo, hi)) {
                const int n = int(hi - lo + 1);
#ifdef PF_SAMPLER_AVX2
                if constexpr (std::is_same_v<Sink, detail::ColourSink>) {
                    if (fused) {
                        sink.addWritten(DiagonalColumnSampledAvx2(q, sink.view(), double(g), lo, n, sink.pixel(g, lo),
                                                                  sink.bytesPerLine()));
                        sink.step();
                        continue;
                    }
                }
#endif
                const detail::RunSpace sp = sink.space(n);
                DiagonalColumn(q, double(g), lo, n, sp.xs, sp.ys);
                sink.run(g, lo, 0, 1, n, sp.xs, sp.ys);
            }
            sink.step();
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
                const int n = int(hi - lo + 1);
                const detail::RunSpace sp = sink.space(n);
                for (int j = 0; j < n; ++j) {
                    const size_t t = size_t(lo + j - rlo);
                    sp.xs[j] = AxisSource(px, st.mx, dir, as[t], ss[t]);
                    sp.ys[j] = double(lo + j);
                }
                sink.run(g, lo, 0, 1, n, sp.xs, sp.ys);
            }
            sink.step();
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
                const int n = int(hi - lo + 1);
                const detail::RunSpace sp = sink.space(n);
                for (int j = 0; j < n; ++j) {
                    sp.xs[j] = px;
                    sp.ys[j] = AxisSource(double(lo + j), st.my, dir, a, s);
                }
                sink.run(g, lo, 0, 1, n, sp.xs, sp.ys);
            }
            sink.step();
        }
    }
    sink.reset();
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
void RunSmear(Sink& sink, int pressX, int pressY, int releaseX, int releaseY, int B)
{
    Stroke strokes[8];
    const int n = PlanStrokes(pressX, pressY, releaseX, releaseY, B, strokes);
    for (int i = 0; i < n; ++i)
        PaintStroke(sink, strokes[i], B);
    sink.finish();
}

}  // namespace

std::int64_t ApplySmear(const QImage& src, QImage& dst, QPoint dstOrigin, int pressX, int pressY, int releaseX,
                        int releaseY, int brushRadius, WarpProgress& progress)
{
    CheckSmearArguments(pressX, pressY, releaseX, releaseY, brushRadius);
    detail::CheckPictures("tumopic", src, dst);
    detail::ColourSink sink(src, dst, dstOrigin, progress);
    RunSmear(sink, pressX, pressY, releaseX, releaseY, brushRadius);
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
    detail::TraceSink sink(picture, progress);
    RunSmear(sink, pressX, pressY, releaseX, releaseY, brushRadius);
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
