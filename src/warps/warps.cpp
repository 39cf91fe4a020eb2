// The click warps: spherical expand and shrink, the two twists, and the vertical and
// horizontal expand and shrink. Each maps every destination pixel of a disc around the click
// point back to a real source position and reads it through the sampler.
#include "warps/engine.h"
#include "warps/sampler_avx2.h"

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

// Fills the source positions of the destination pixels lo..hi of column x (or row y) with
// map(y, sx, sy) (or map(x, sx, sy)) and hands the run to the sink.
template <class Sink, class Map>
void ColumnRun(Sink& sink, long long x, long long lo, long long hi, Map&& map)
{
    const int n = int(hi - lo + 1);
    const detail::RunSpace sp = sink.space(n);
    double* xs = sp.xs;
    double* ys = sp.ys;
    for (int j = 0; j < n; ++j)
        map(lo + j, xs[j], ys[j]);
    sink.run(x, lo, 0, 1, n, xs, ys);
}
template <class Sink, class Map>
void RowRun(Sink& sink, long long y, long long lo, long long hi, Map&& map)
{
    const int n = int(hi - lo + 1);
    const detail::RunSpace sp = sink.space(n);
    double* xs = sp.xs;
    double* ys = sp.ys;
    for (int j = 0; j < n; ++j)
        map(lo + j, xs[j], ys[j]);
    sink.run(lo, y, 1, 0, n, xs, ys);
}

// Mirror images share their arithmetic: the four pixels (a +- t, b +- u) have the same
// squared distances from the click point, so every warp's factor for them is one value, and
// a product with a negative coordinate is the negated product with the positive one, exactly.
// The warps below compute their values once per (t, u) in small tables indexed by u and hand
// out the four columns' runs from them. The pixels and the sources are exactly those of the
// column-by-column passes; only the order of the work differs (and the progress steps come
// in groups, the same number in all).

// Rows of one half of a column, clipped to the area.
struct Span {
    long long lo = 0, hi = -1;
    bool empty() const { return lo > hi; }
};

// A column's rows above and below row b: [upLo, b - 1] and [b + 1, downHi], clipped; the
// distances u = |y - b| they hold lie in [uLo, uHi].
struct Halves {
    Span up, down;
    long long uLo = 0, uHi = -1;

    Halves(const Area& area, long long b, long long upLo, long long downHi)
    {
        up = {upLo, b - 1};
        down = {b + 1, downHi};
        area.clipRows(up.lo, up.hi);
        area.clipRows(down.lo, down.hi);
        if (!up.empty()) {
            uLo = b - up.hi;
            uHi = b - up.lo;
        }
        if (!down.empty()) {
            uLo = up.empty() ? down.lo - b : std::min(uLo, down.lo - b);
            uHi = std::max(uHi, down.hi - b);
        }
    }
    bool empty() const { return up.empty() && down.empty(); }
};

// Room for the distances a warp of radius r needs at once inside the area.
inline size_t TableSize(const Area& area, long long r)
{
    const long long side = std::max(area.x1 - area.x0, area.y1 - area.y0) + 2;
    return size_t(std::max<long long>(1, std::min(side, r + 1)));
}

// Values per distance u from row (or column) b, for u in [lo, hi].
class UTable {
public:
    explicit UTable(size_t n) : a_(n), b_(n) {}
    void fit(long long lo, long long hi)
    {
        lo_ = lo;
        if (size_t(hi - lo + 1) > a_.size()) {
            a_.resize(size_t(hi - lo + 1));
            b_.resize(a_.size());
        }
    }
    double& a(long long u) { return a_[size_t(u - lo_)]; }
    double& b(long long u) { return b_[size_t(u - lo_)]; }

    // Fills a(u), b(u) for u in [lo, hi] with f: f.one(u, a, b) and, where the processor has
    // AVX2, f.four(u, a, b) for four distances at once, with the same operations lane by lane.
    template <class F>
    void fill(long long lo, long long hi, const F& f)
    {
        fit(lo, hi);
        const int n = int(hi - lo + 1);
#ifdef PF_SAMPLER_AVX2
        if (detail::UseAvx2())
            return FillAvx2(f, lo, n, a_.data(), b_.data());
#endif
        for (int i = 0; i < n; ++i)
            f.one(double(lo + i), a_[size_t(i)], b_[size_t(i)]);
    }

private:
#ifdef PF_SAMPLER_AVX2
    template <class F>
    __attribute__((target("avx2"))) static void FillAvx2(const F& f, long long lo, int n, double* a, double* b)
    {
        const __m256d step = _mm256_set_pd(3, 2, 1, 0);
        int i = 0;
        for (; i + 4 <= n; i += 4) {
            __m256d va, vb;
            f.four(_mm256_add_pd(_mm256_set1_pd(double(lo + i)), step), va, vb);
            _mm256_storeu_pd(a + i, va);
            _mm256_storeu_pd(b + i, vb);
        }
        for (; i < n; ++i)
            f.one(double(lo + i), a[i], b[i]);
    }
#endif

    std::vector<double> a_, b_;
    long long lo_ = 0;
};

#ifdef PF_SAMPLER_AVX2
#define PF_VEC __attribute__((target("avx2"), always_inline)) inline
#define PF_V(name, value) const __m256d name = _mm256_set1_pd(value)
#endif

// The expand's factor k = c / S, S = sqrt(R^2 - t^2 - u^2): a = t k, b = u k.
struct ExpandValues {
    double rest, c, t;  // rest = R^2 - t^2
    void one(double u, double& a, double& b) const
    {
        const double k = c / std::sqrt(rest - u * u);
        a = t * k;
        b = u * k;
    }
#ifdef PF_SAMPLER_AVX2
    PF_VEC void four(__m256d u, __m256d& a, __m256d& b) const
    {
        PF_V(vrest, rest);
        PF_V(vc, c);
        PF_V(vt, t);
        const __m256d k = _mm256_div_pd(vc, _mm256_sqrt_pd(_mm256_sub_pd(vrest, _mm256_mul_pd(u, u))));
        a = _mm256_mul_pd(vt, k);
        b = _mm256_mul_pd(u, k);
    }
#endif
};

// The shrink's factor m = c R / (L1 L2), L2 = sqrt(c^2 + u^2): a = t m, b = u m.
struct ShrinkValues {
    double c2, cR, L1, t;
    void one(double u, double& a, double& b) const
    {
        const double L2 = std::sqrt(c2 + u * u);
        const double m = cR / (L1 * L2);
        a = t * m;
        b = u * m;
    }
#ifdef PF_SAMPLER_AVX2
    PF_VEC void four(__m256d u, __m256d& a, __m256d& b) const
    {
        PF_V(vc2, c2);
        PF_V(vcR, cR);
        PF_V(vL1, L1);
        PF_V(vt, t);
        const __m256d L2 = _mm256_sqrt_pd(_mm256_add_pd(vc2, _mm256_mul_pd(u, u)));
        const __m256d m = _mm256_div_pd(vcR, _mm256_mul_pd(vL1, L2));
        a = _mm256_mul_pd(vt, m);
        b = _mm256_mul_pd(u, m);
    }
#endif
};

// The twist's moves for the distance rho = sqrt(t^2 + u^2): h = h(rho), a = h u / rho moves x,
// b = h t / rho moves y.
struct TwistValues {
    double t, half, d, Rt, Rt2;
    void one(double u, double& a, double& b) const
    {
        const double rho = std::sqrt(t * t + u * u);
        const double q = rho - half;
        const double h = std::sqrt(Rt2 - q * q) + d - Rt;
        a = h * u / rho;
        b = h * t / rho;
    }
#ifdef PF_SAMPLER_AVX2
    PF_VEC void four(__m256d u, __m256d& a, __m256d& b) const
    {
        PF_V(vt, t);
        PF_V(vhalf, half);
        PF_V(vd, d);
        PF_V(vRt, Rt);
        PF_V(vRt2, Rt2);
        const __m256d rho = _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(vt, vt), _mm256_mul_pd(u, u)));
        const __m256d q = _mm256_sub_pd(rho, vhalf);
        const __m256d h =
            _mm256_sub_pd(_mm256_add_pd(_mm256_sqrt_pd(_mm256_sub_pd(vRt2, _mm256_mul_pd(q, q))), vd), vRt);
        a = _mm256_div_pd(_mm256_mul_pd(h, u), rho);
        b = _mm256_div_pd(_mm256_mul_pd(h, vt), rho);
    }
#endif
};

// The vertical expand's move u c / S along its column (b), and the horizontal expand's along
// its row (a): S = sqrt(rest - u^2), rest = R^2 - t^2 for a column at distance t; for a row at
// distance t, S = sqrt(R^2 - u^2 - t^2).
struct StretchValues {
    double first, second, c;  // S = sqrt(first - u^2 - second)
    bool column;              // true: S = sqrt(first - u^2) with first = R^2 - t^2
    void one(double u, double& a, double& b) const
    {
        const double S = column ? std::sqrt(first - u * u) : std::sqrt(first - u * u - second);
        a = b = u * c / S;
    }
#ifdef PF_SAMPLER_AVX2
    PF_VEC void four(__m256d u, __m256d& a, __m256d& b) const
    {
        PF_V(vfirst, first);
        PF_V(vsecond, second);
        PF_V(vc, c);
        __m256d r = _mm256_sub_pd(vfirst, _mm256_mul_pd(u, u));
        if (!column)
            r = _mm256_sub_pd(r, vsecond);
        a = b = _mm256_div_pd(_mm256_mul_pd(u, vc), _mm256_sqrt_pd(r));
    }
#endif
};

// The run of column x over the rows of span with u = |y - b|: source x is x itself (ownX) or
// ad + xsign A(u); source y is y itself (ownY) or bd + ysign B(u).
template <class Sink>
void MirrorRun(Sink& sink, UTable& table, long long x, const Span& span, long long b, bool ownX,
               double ad, int xsign, bool ownY, double bd, int ysign)
{
    if (span.empty())
        return;
    const int n = int(span.hi - span.lo + 1);
    const detail::RunSpace sp = sink.space(n);
    double* xs = sp.xs;
    double* ys = sp.ys;
    for (int j = 0; j < n; ++j) {
        const long long y = span.lo + j;
        const long long u = y < b ? b - y : y - b;
        const double A = table.a(u), B = table.b(u);
        xs[j] = ownX ? double(x) : xsign > 0 ? ad + A : ad - A;
        ys[j] = ownY ? double(y) : ysign > 0 ? bd + B : bd - B;
    }
    sink.run(x, span.lo, 0, 1, n, xs, ys);
}

// The run of column x over span with the source in the same column and at row
// b - B(u) above row b, b + B(u) below it and b itself on it.
template <class Sink>
void MirrorRunSigned(Sink& sink, UTable& table, long long x, const Span& span, long long b,
                     double sx, double bd)
{
    if (span.empty())
        return;
    const int n = int(span.hi - span.lo + 1);
    const detail::RunSpace sp = sink.space(n);
    double* xs = sp.xs;
    double* ys = sp.ys;
    for (int j = 0; j < n; ++j) {
        const long long y = span.lo + j;
        xs[j] = sx;
        ys[j] = y < b ? bd - table.b(b - y) : bd + table.b(y - b);
    }
    sink.run(x, span.lo, 0, 1, n, xs, ys);
}

// The four quarter columns of the pair a -+ t: upper rows take -B (they lie above row b), lower
// rows +B; the left column -A, the right one +A. ownX, ownY: the source keeps the pixel's own
// column or row instead.
template <class Sink>
void MirrorQuad(Sink& sink, UTable& table, const Area& area, long long a, long long b, long long t,
                const Halves& h, bool ownX, bool ownY, double ad, double bd)
{
    for (int side : {-1, 1}) {
        const long long x = a + side * t;
        if (!area.hasColumn(x))
            continue;
        MirrorRun(sink, table, x, h.up, b, ownX, ad, side, ownY, bd, -1);
        MirrorRun(sink, table, x, h.down, b, ownX, ad, side, ownY, bd, 1);
    }
}

// Spherical expand.
template <class Sink>
void Expand(Sink& sink, const Frame& f)
{
    const Area& area = sink.area();
    UTable table(TableSize(area, f.r));
    const double R2 = f.R * f.R;
    const double c = f.c;
    // Quadrant passes: upper left, upper right, lower right, lower left; each column's rows
    // from Round(b - w) + 1 and to Round(b + w) - 1.
    for (long long t = 1; t < f.r; ++t) {
        if (area.hasColumn(f.a - t) || area.hasColumn(f.a + t)) {
            const double dx = double(t);
            const double w = std::sqrt(f.r2 - dx * dx);
            const Halves h(area, f.b, RoundL(f.bd - w) + 1, RoundL(f.bd + w) - 1);
            if (!h.empty()) {
                table.fill(h.uLo, h.uHi, ExpandValues{R2 - dx * dx, c, dx});
                MirrorQuad(sink, table, area, f.a, f.b, t, h, false, false, f.ad, f.bd);
            }
        }
        for (int i = 0; i < 4; ++i)
            sink.step();
    }

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
    rowPass(f.a - f.r + 1, f.a - 1);
    rowPass(f.a + 1, f.a + f.r - 1);
    columnPass(f.b - f.r + 1, f.b - 1);
    columnPass(f.b + 1, f.b + f.r - 1);
}

// The shrink's region, by column pairs a -+ t: rows b - n + 1 .. b + n - 1 without row b, with
// n = Round(|c| sqrt(r^2 - t^2) / L1), L1 = sqrt(c^2 + t^2). fill(t, L1, h) fills the table
// for the halves h and hands out the runs. Two progress steps per pair (one per column).
template <class Sink, class Fill>
void ShrinkRegion(const Frame& f, const Area& area, Sink& sink, Fill&& fill)
{
    const double c2 = f.c * f.c;
    const double absC = std::fabs(f.c);
    for (long long t = 1; t < f.r; ++t) {
        if (area.hasColumn(f.a - t) || area.hasColumn(f.a + t)) {
            const double dx = double(t);
            const double L1 = std::sqrt(c2 + dx * dx);
            const double v = absC * std::sqrt(f.r2 - dx * dx) / L1;
            const long long n = RoundL(v);
            const Halves h(area, f.b, f.b - n + 1, f.b + n - 1);
            if (!h.empty())
                fill(t, L1, h);
        }
        sink.step();
        sink.step();
    }
}

// The shrink's factor m = c R / (L1 L2) for the halves h: table.a = t m, table.b = u m.
inline void ShrinkFactors(UTable& table, const Frame& f, double t, double L1, const Halves& h)
{
    table.fill(h.uLo, h.uHi, ShrinkValues{f.c * f.c, f.c * f.R, L1, t});
}

// Spherical shrink.
template <class Sink>
void Shrink(Sink& sink, const Frame& f)
{
    const Area& area = sink.area();
    UTable table(TableSize(area, f.r));
    ShrinkRegion(f, area, sink, [&](long long t, double L1, const Halves& h) {
        ShrinkFactors(table, f, double(t), L1, h);
        MirrorQuad(sink, table, area, f.a, f.b, t, h, false, false, f.ad, f.bd);
    });

    // Row b and column a: nearest pixel, the source clamped into the picture.
    const double c2 = f.c * f.c;
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
void Twist(Sink& sink, const Frame& f, double sign)
{
    const Area& area = sink.area();
    UTable table(TableSize(area, f.r));
    const double half = f.r / 2.0;
    const double dd = f.d;
    const double Rt = (half * half + dd * dd) / (2.0 * dd);
    const double Rt2 = Rt * Rt;
    const long long a = f.a, b = f.b;
    // h(rho) for rho = sqrt(dx^2 + dy^2).
    auto profile = [half, dd, Rt, Rt2](double rho) {
        const double t = rho - half;
        return std::sqrt(Rt2 - t * t) + dd - Rt;
    };
    // Twist right: source (x + h dy / rho, y - h dx / rho); twist left the opposite signs.
    // For the pair a -+ t and rows b -+ u: q1 = h u / rho moves x, q2 = h t / rho moves y.
    for (long long t = 1; t < f.r; ++t) {
        if (area.hasColumn(a - t) || area.hasColumn(a + t)) {
            const double dx = double(t);
            const double w = std::sqrt(f.r2 - dx * dx);
            const Halves h(area, b, RoundL(f.bd - w) + 1, RoundL(f.bd + w) - 1);
            if (!h.empty()) {
                table.fill(h.uLo, h.uHi, TwistValues{dx, half, dd, Rt, Rt2});
                // Right column (dx = +t): y moves by -sign q2; upper rows (dy < 0): x by -sign q1.
                for (int side : {-1, 1}) {
                    const long long x = a + side * t;
                    if (!area.hasColumn(x))
                        continue;
                    const double xd = double(x);
                    for (int half2 : {-1, 1}) {  // -1 upper rows, +1 lower rows
                        const Span& span = half2 < 0 ? h.up : h.down;
                        if (span.empty())
                            continue;
                        const int n = int(span.hi - span.lo + 1);
                        const detail::RunSpace sp = sink.space(n);
                        double* xs = sp.xs;
                        double* ys = sp.ys;
                        const bool xPlus = sign * half2 > 0, yPlus = sign * side < 0;
                        for (int j = 0; j < n; ++j) {
                            const long long y = span.lo + j;
                            const long long u = y < b ? b - y : y - b;
                            const double q1 = table.a(u), q2 = table.b(u);
                            xs[j] = xPlus ? xd + q1 : xd - q1;
                            ys[j] = yPlus ? double(y) + q2 : double(y) - q2;
                        }
                        sink.run(x, span.lo, 0, 1, n, xs, ys);
                    }
                }
            }
        }
        for (int i = 0; i < 4; ++i)
            sink.step();
    }

    // Row b and column a, through the same mapping and the sampler.
    auto map = [&](double x, double y, double dx, double dy, double& sx, double& sy) {
        const double rho = std::sqrt(dx * dx + dy * dy);
        const double hv = profile(rho);
        if (sign > 0) {
            sx = x + hv * dy / rho;
            sy = y - hv * dx / rho;
        } else {
            sx = x - hv * dy / rho;
            sy = y + hv * dx / rho;
        }
    };
    auto rowPass = [&](long long lo, long long hi) {
        if (!area.hasRow(b) || !area.clipColumns(lo, hi))
            return;
        RowRun(sink, b, lo, hi, [&](long long x, double& sx, double& sy) {
            map(double(x), f.bd, double(x - a), 0.0, sx, sy);
        });
    };
    auto columnPass = [&](long long lo, long long hi) {
        if (!area.hasColumn(a) || !area.clipRows(lo, hi))
            return;
        ColumnRun(sink, a, lo, hi, [&](long long y, double& sx, double& sy) {
            map(f.ad, double(y), 0.0, double(y - b), sx, sy);
        });
    };
    rowPass(a + 1, a + f.r - 1);
    columnPass(b + 1, b + f.r - 1);
    rowPass(a - f.r + 1, a - 1);
    columnPass(b - f.r + 1, b - 1);
}

// Vertical expand: columns outer, the full disc with its rim rows, sources in the same column.
// Column pairs a -+ t share S and the source's distance from row b.
template <class Sink>
void VerticalExpand(Sink& sink, const Frame& f)
{
    const Area& area = sink.area();
    UTable table(TableSize(area, f.r));
    const double R2 = f.R * f.R;
    const double c = f.c;
    for (long long t = 0; t < f.r; ++t) {
        if (area.hasColumn(f.a - t) || area.hasColumn(f.a + t)) {
            const double dx = double(t);
            const double wc = std::sqrt(f.r2 - dx * dx);
            const long long lo = RoundL(f.bd - wc), hi = RoundL(f.bd + wc);
            Halves h(area, f.b, lo, hi);
            // Row b belongs to the column here (dy = 0: the source is the pixel's own row).
            Span middle{f.b, f.b};
            if (!(lo <= f.b && f.b <= hi))
                middle = Span{};
            area.clipRows(middle.lo, middle.hi);
            if (!middle.empty()) {
                h.uLo = 0;
                h.uHi = std::max<long long>(h.uHi, 0);
            }
            if (!h.empty() || !middle.empty()) {
                table.fill(h.uLo, h.uHi, StretchValues{R2 - dx * dx, 0.0, c, true});
                for (int side : {-1, 1}) {
                    const long long x = f.a + side * t;
                    if (!area.hasColumn(x) || (t == 0 && side > 0))
                        continue;
                    Span whole{std::max(lo, area.y0), std::min(hi, area.y1)};
                    MirrorRunSigned(sink, table, x, whole, f.b, double(x), f.bd);
                }
            }
        }
        sink.step();
        if (t > 0)
            sink.step();
    }
}

// Horizontal expand: rows outer, sources in the same row; row pairs b -+ t share S.
template <class Sink>
void HorizontalExpand(Sink& sink, const Frame& f)
{
    const Area& area = sink.area();
    UTable table(TableSize(area, f.r));
    const double R2 = f.R * f.R;
    const double c = f.c;
    for (long long t = 0; t < f.r; ++t) {
        if (area.hasRow(f.b - t) || area.hasRow(f.b + t)) {
            const double dy = double(t);
            const double wr = std::sqrt(f.r2 - dy * dy);
            long long lo = RoundL(f.ad - wr), hi = RoundL(f.ad + wr);
            if (area.clipColumns(lo, hi)) {
                const long long uLo = lo > f.a ? lo - f.a : hi < f.a ? f.a - hi : 0;
                const long long uHi = std::max(f.a - lo, hi - f.a);
                table.fill(uLo, uHi, StretchValues{R2, dy * dy, c, false});
                for (int side : {-1, 1}) {
                    const long long y = f.b + side * t;
                    if (!area.hasRow(y) || (t == 0 && side > 0))
                        continue;
                    const int n = int(hi - lo + 1);
                    const detail::RunSpace sp = sink.space(n);
                    double* xs = sp.xs;
                    double* ys = sp.ys;
                    const double sy = double(y);
                    for (int j = 0; j < n; ++j) {
                        const long long x = lo + j;
                        xs[j] = x < f.a ? f.ad - table.a(f.a - x) : f.ad + table.a(x - f.a);
                        ys[j] = sy;
                    }
                    sink.run(lo, y, 1, 0, n, xs, ys);
                }
            }
        }
        sink.step();
        if (t > 0)
            sink.step();
    }
}

// Vertical shrink: the shrink's region, then column a; sources in the same column.
template <class Sink>
void VerticalShrink(Sink& sink, const Frame& f)
{
    const Area& area = sink.area();
    UTable table(TableSize(area, f.r));
    ShrinkRegion(f, area, sink, [&](long long t, double L1, const Halves& h) {
        ShrinkFactors(table, f, double(t), L1, h);
        MirrorQuad(sink, table, area, f.a, f.b, t, h, true, false, f.ad, f.bd);
    });
    const double c2 = f.c * f.c;
    const long long b = f.b;
    auto columnPass = [&](long long lo, long long hi) {
        if (!area.hasColumn(f.a) || !area.clipRows(lo, hi))
            return;
        ColumnRun(sink, f.a, lo, hi, [&](long long y, double& sx, double& sy) {
            const double dy = double(y - b);
            const double L2 = std::sqrt(c2 + dy * dy);
            sx = f.ad;
            sy = f.bd + dy * f.R / L2;
        });
    };
    columnPass(f.b - f.r + 1, f.b - 1);
    columnPass(f.b + 1, f.b + f.r - 1);
}

// Horizontal shrink: the same region as the vertical shrink (columns outer), then row b;
// sources in the same row.
template <class Sink>
void HorizontalShrink(Sink& sink, const Frame& f)
{
    const Area& area = sink.area();
    UTable table(TableSize(area, f.r));
    ShrinkRegion(f, area, sink, [&](long long t, double L1, const Halves& h) {
        ShrinkFactors(table, f, double(t), L1, h);
        MirrorQuad(sink, table, area, f.a, f.b, t, h, false, true, f.ad, f.bd);
    });
    const double c2 = f.c * f.c;
    auto rowPass = [&](long long lo, long long hi) {
        if (!area.hasRow(f.b) || !area.clipColumns(lo, hi))
            return;
        RowRun(sink, f.b, lo, hi, [&](long long x, double& sx, double& sy) {
            const double dx = double(x - f.a);
            const double L1 = std::sqrt(c2 + dx * dx);
            sx = f.ad + dx * f.R / L1;
            sy = f.bd;
        });
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
void Run(WarpKind kind, Sink& sink, int X, int Y, int r, int d)
{
    if (d == 0)
        return;  // no dome: nothing moves
    const Frame f(X, Y, r, d);
    switch (kind) {
    case WarpKind::Sphericalpengzhang: Expand(sink, f); break;
    case WarpKind::Sphericalshousuo: Shrink(sink, f); break;
    case WarpKind::Sphericalyouxuan: Twist(sink, f, 1.0); break;
    case WarpKind::Sphericalzuoxuan: Twist(sink, f, -1.0); break;
    case WarpKind::Verticalpengzhang: VerticalExpand(sink, f); break;
    case WarpKind::Verticalshousuo: VerticalShrink(sink, f); break;
    case WarpKind::Horizontalpengzhang: HorizontalExpand(sink, f); break;
    case WarpKind::Horizontalshousuo: HorizontalShrink(sink, f); break;
    }
    sink.finish();
}

}  // namespace

std::int64_t ApplyWarp(WarpKind kind, const QImage& src, QImage& dst, QPoint dstOrigin, int X, int Y, int r, int d,
                       WarpProgress& progress)
{
    const char* who = WarpName(kind);
    detail::CheckWarpArguments(who, X, Y, r, d);
    detail::CheckPictures(who, src, dst);
    detail::ColourSink sink(src, dst, dstOrigin, progress);
    Run(kind, sink, X, Y, r, d);
    return sink.written();
}

std::vector<WarpVisit> TraceWarp(WarpKind kind, QSize picture, int X, int Y, int r, int d, WarpProgress& progress)
{
    const char* who = WarpName(kind);
    detail::CheckWarpArguments(who, X, Y, r, d);
    detail::TraceSink sink(picture, progress);
    Run(kind, sink, X, Y, r, d);
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
