// The warps written plainly, one pixel at a time, straight from the algorithms, and compared
// with the engine pixel for pixel: on noise pictures of odd and even widths, clicks inside,
// on every edge and corner and outside, radii larger than the picture, depths of 0 and above
// the radius, tiny pictures, and destination regions of every kind.
#include "picture/picture.h"
#include "test_pictures.h"
#include "warps/sampler.h"
#include "warps/warp_trace.h"
#include "warps/warps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>

using namespace pf;

namespace {

// ---- The plain versions -------------------------------------------------------------------

int R0(double v) { return int(std::nearbyint(v)); }

TColor Sample(double x, double y, const QImage& s)
{
    const int W = s.width(), H = s.height();
    int y0, y1;
    if (H < 2) {
        y = 0;
        y0 = y1 = 0;
    } else if (0 <= y && y < H - 1) {
        y0 = int(y);
        y1 = y0 + 1;
    } else if (y >= 0) {
        y = H - 2;
        y0 = H - 2;
        y1 = H - 1;
    } else {
        y = 0;
        y0 = 0;
        y1 = 1;
    }
    int x0, x1;
    if (W < 2) {
        x = 0;
        x0 = x1 = 0;
    } else {
        if (!(x >= 0))
            x = 0;
        else if (x > W - 2)
            x = W - 2;
        x0 = int(x);
        x1 = x0 + 1;
    }
    const long double wy1 = (long double)y - y0, wy0 = (long double)(y0 + 1) - y;
    const long double wx1 = (long double)x - x0, wx0 = (long double)(x0 + 1) - x;
    const TColor p00 = GetPixel(s, x0, y0), p01 = GetPixel(s, x0, y1), p10 = GetPixel(s, x1, y0),
                 p11 = GetPixel(s, x1, y1);
    int out[3];
    for (int ch = 0; ch < 3; ++ch) {
        auto v = [&](TColor c) { return int((c >> (8 * ch)) & 0xFF); };
        const long double value = (v(p00) * wy0 + v(p01) * wy1) * wx0 + (v(p10) * wy0 + v(p11) * wy1) * wx1;
        out[ch] = int(std::nearbyintl(value));
    }
    return RGBColor(out[0], out[1], out[2]);
}

void Blend(QImage& dst, const QImage& src, int X, int Y, double sx, double sy)
{
    if (std::isnan(sx) || std::isnan(sy))
        return;
    SetPixel(dst, X, Y, Sample(sx, sy, src));
}

void Nearest(QImage& dst, const QImage& src, int X, int Y, double sx, double sy)
{
    if (std::isnan(sx) || std::isnan(sy))
        return;
    sx = std::clamp(sx, 0.0, double(src.width() - 1));
    sy = std::clamp(sy, 0.0, double(src.height() - 1));
    SetPixel(dst, X, Y, GetPixel(src, R0(sx), R0(sy)));
}

struct Steps : WarpProgress {
    int steps = 0, resets = 0;
    void step() override { ++steps; }
    void reset() override { ++resets; }
};

QImage PlainWarp(WarpKind kind, const QImage& src, int a, int b, int r, int d, Steps& steps)
{
    QImage dst = src.copy();
    if (d == 0)
        return dst;
    const double R = (double(r) * r + double(d) * d) / (2.0 * d);
    const double c = R - d;
    auto w = [&](int X) { return std::sqrt(double(r) * r - double(X - a) * (X - a)); };
    switch (kind) {
    case WarpKind::Sphericalpengzhang: {
        auto pixel = [&](int X, int Y) {
            const double dx = X - a, dy = Y - b;
            const double S = std::sqrt(R * R - dx * dx - dy * dy);
            const double k = c / S;
            Blend(dst, src, X, Y, a + dx * k, b + dy * k);
        };
        for (int X = a - r + 1; X <= a - 1; ++X, ++steps.steps)
            for (int Y = R0(b - w(X)) + 1; Y <= b - 1; ++Y)
                pixel(X, Y);
        for (int X = a + 1; X <= a + r - 1; ++X, ++steps.steps)
            for (int Y = R0(b - w(X)) + 1; Y <= b - 1; ++Y)
                pixel(X, Y);
        for (int X = a + 1; X <= a + r - 1; ++X, ++steps.steps)
            for (int Y = b + 1; Y <= R0(b + w(X)) - 1; ++Y)
                pixel(X, Y);
        for (int X = a - r + 1; X <= a - 1; ++X, ++steps.steps)
            for (int Y = b + 1; Y <= R0(b + w(X)) - 1; ++Y)
                pixel(X, Y);
        for (int X = a - r + 1; X <= a + r - 1; ++X) {
            if (X == a)
                continue;
            const double dx = X - a;
            Nearest(dst, src, X, b, a + dx * (c / std::sqrt(R * R - dx * dx)), b);
        }
        for (int Y = b - r + 1; Y <= b + r - 1; ++Y) {
            if (Y == b)
                continue;
            const double dy = Y - b;
            Nearest(dst, src, a, Y, a, b + dy * (c / std::sqrt(R * R - dy * dy)));
        }
        break;
    }
    case WarpKind::Sphericalshousuo:
    case WarpKind::Verticalshousuo:
    case WarpKind::Horizontalshousuo: {
        for (int X = a - r + 1; X <= a + r - 1; ++X) {
            if (X == a)
                continue;
            const double dx = X - a;
            const double L1 = std::sqrt(c * c + dx * dx);
            const double v = std::abs(c) * std::sqrt(double(r) * r - dx * dx) / L1;
            const int n = R0(v);
            for (int Y = b - n + 1; Y <= b + n - 1; ++Y) {
                if (Y == b)
                    continue;
                const double dy = Y - b;
                const double L2 = std::sqrt(c * c + dy * dy);
                const double m = c * R / (L1 * L2);
                const double sx = kind == WarpKind::Verticalshousuo ? X : a + dx * m;
                const double sy = kind == WarpKind::Horizontalshousuo ? Y : b + dy * m;
                Blend(dst, src, X, Y, sx, sy);
            }
            ++steps.steps;
        }
        if (kind != WarpKind::Verticalshousuo)
            for (int X = a - r + 1; X <= a + r - 1; ++X) {
                if (X == a)
                    continue;
                const double dx = X - a;
                const double sx = a + dx * R / std::sqrt(c * c + dx * dx);
                if (kind == WarpKind::Sphericalshousuo)
                    Nearest(dst, src, X, b, sx, b);
                else
                    Blend(dst, src, X, b, sx, b);
            }
        if (kind != WarpKind::Horizontalshousuo)
            for (int Y = b - r + 1; Y <= b + r - 1; ++Y) {
                if (Y == b)
                    continue;
                const double dy = Y - b;
                const double sy = b + dy * R / std::sqrt(c * c + dy * dy);
                if (kind == WarpKind::Sphericalshousuo)
                    Nearest(dst, src, a, Y, a, sy);
                else
                    Blend(dst, src, a, Y, a, sy);
            }
        break;
    }
    case WarpKind::Sphericalyouxuan:
    case WarpKind::Sphericalzuoxuan: {
        const double sign = kind == WarpKind::Sphericalyouxuan ? 1 : -1;
        const double Rt = ((r / 2.0) * (r / 2.0) + double(d) * d) / (2.0 * d);
        auto pixel = [&](int X, int Y) {
            const double dx = X - a, dy = Y - b;
            const double rho = std::sqrt(double((X - a) * (X - a) + (Y - b) * (Y - b)));
            const double h = std::sqrt(Rt * Rt - (rho - r / 2.0) * (rho - r / 2.0)) + d - Rt;
            if (sign > 0)
                Blend(dst, src, X, Y, X + h * dy / rho, Y - h * dx / rho);
            else
                Blend(dst, src, X, Y, X - h * dy / rho, Y + h * dx / rho);
        };
        for (int X = a - r + 1; X <= a + r - 1; ++X) {
            if (X == a)
                continue;
            for (int Y = R0(b - w(X)) + 1; Y <= R0(b + w(X)) - 1; ++Y)
                if (Y != b)
                    pixel(X, Y);
            steps.steps += 2;
        }
        for (int t = 1; t <= r - 1; ++t) {
            pixel(a + t, b);
            pixel(a - t, b);
            pixel(a, b + t);
            pixel(a, b - t);
        }
        break;
    }
    case WarpKind::Verticalpengzhang:
        for (int X = a - r + 1; X <= a + r - 1; ++X, ++steps.steps)
            for (int Y = R0(b - w(X)); Y <= R0(b + w(X)); ++Y) {
                const double dx = X - a, dy = Y - b;
                Blend(dst, src, X, Y, X, b + dy * c / std::sqrt(R * R - dx * dx - dy * dy));
            }
        break;
    case WarpKind::Horizontalpengzhang:
        for (int Y = b - r + 1; Y <= b + r - 1; ++Y, ++steps.steps) {
            const double wr = std::sqrt(double(r) * r - double(Y - b) * (Y - b));
            for (int X = R0(a - wr); X <= R0(a + wr); ++X) {
                const double dx = X - a, dy = Y - b;
                Blend(dst, src, X, Y, a + dx * c / std::sqrt(R * R - dx * dx - dy * dy), Y);
            }
        }
        break;
    }
    return dst;
}

// The smear, every class through the general pixel rule.
QImage PlainSmear(const QImage& src, int cx, int cy, int qx, int qy, int B, Steps& steps)
{
    QImage dst = src.copy();
    for (int cls = 1; cls <= 8; ++cls) {
        const bool applies[9] = {false,
                                 qx < cx && qy < cy,
                                 qx > cx && qy > cy,
                                 qx > cx && qy < cy,
                                 qx < cx && qy > cy,
                                 qx < cx && qy == cy,
                                 qx > cx && qy == cy,
                                 qx == cx && qy > cy,
                                 qx == cx && qy < cy};
        if (!applies[cls])
            continue;
        double L0, dX = 0, dY = 0, k = 0, n = 0;
        if (cls <= 4) {
            k = double(cy - qy) / double(cx - qx);
            n = std::sqrt(k * k + 1);
            L0 = std::sqrt(double((cx - qx) * (cx - qx) + (cy - qy) * (cy - qy)));
        } else {
            L0 = cls == 5 ? cx - qx : cls == 6 ? qx - cx : cls == 7 ? qy - cy : cy - qy;
        }
        const double L = L0 <= B / 2.0 ? L0 : B / 2.0;
        int Ex = cx, Ey = cy;
        double Mx, My;
        switch (cls) {
        case 1: dX = -1 / n; dY = -k / n; Ex = cx - R0(L / n); Ey = cy - R0(L * k / n); break;
        case 2: dX = 1 / n; dY = k / n; Ex = cx + R0(L / n); Ey = cy + R0(L * k / n); break;
        case 3: dX = 1 / n; dY = -std::abs(k) / n; Ex = cx + R0(L / n); Ey = cy - R0(L * std::abs(k) / n); break;
        case 4: dX = -1 / n; dY = std::abs(k) / n; Ex = cx - R0(L / n); Ey = cy + R0(L * std::abs(k) / n); break;
        case 5: dX = -1; Ex = cx - R0(L); break;
        case 6: dX = 1; Ex = cx + R0(L); break;
        case 7: dY = 1; Ey = cy + R0(L); break;
        case 8: dY = -1; Ey = cy - R0(L); break;
        }
        if (cls <= 4) {
            Mx = (cx + Ex) / 2.0;
            My = (cy + Ey) / 2.0;
        } else if (cls == 5) {
            Mx = cx - L / 2;
            My = cy;
        } else if (cls == 6) {
            Mx = Ex - L / 2;
            My = cy;
        } else {
            Mx = cx;
            My = cls == 7 ? cy + L / 2 : cy - L / 2;
        }
        const double R = L / 2 + B;
        const double c = (2 * R * R - (B + L) * (B + L)) / L;
        for (int G = R0(Mx - R) + 1; G <= R0(Mx + R) - 1; ++G, ++steps.steps) {
            const double h = std::sqrt(R * R - (Mx - G) * (Mx - G));
            for (int i = R0(My - h) + 1; i <= R0(My + h) - 1; ++i) {
                double Fx, Fy;
                if (cls <= 4) {
                    Fx = (My - i + G * k + Mx / k) / (k + 1 / k);
                    Fy = My - (Fx - Mx) / k;
                } else if (cls <= 6) {
                    Fx = Mx;
                    Fy = i;
                } else {
                    Fx = G;
                    Fy = My;
                }
                const double w2 = (Fx - Mx) * (Fx - Mx) + (Fy - My) * (Fy - My);
                const double a = std::sqrt(R * R - w2);
                const double s = std::sqrt((B + L + c) * (B + L + c) - w2) - L / 2 - B - c;
                const double Ax = Fx + s * dX, Ay = Fy + s * dY;
                double Sx, Sy;
                if ((G - Ax) * dX + (i - Ay) * dY > 0) {
                    const double ex = Fx + a * dX, ey = Fy + a * dY;
                    const double delta = std::sqrt((G - ex) * (G - ex) + (i - ey) * (i - ey));
                    const double sigma = a * delta / (a - s);
                    Sx = G - (sigma - delta) * dX;
                    Sy = i - (sigma - delta) * dY;
                } else {
                    const double ex = Fx - a * dX, ey = Fy - a * dY;
                    const double delta = std::sqrt((G - ex) * (G - ex) + (i - ey) * (i - ey));
                    const double sigma = a * delta / (a + s);
                    Sx = G - (delta - sigma) * dX;
                    Sy = i - (delta - sigma) * dY;
                }
                Blend(dst, src, G, i, Sx, Sy);
            }
        }
        ++steps.resets;
        qx = Ex;
        qy = Ey;
    }
    return dst;
}

// ---- Helpers ------------------------------------------------------------------------------

// Counts differing pixels and reports the first.
::testing::AssertionResult SamePixels(const QImage& want, const QImage& got)
{
    if (want.size() != got.size())
        return ::testing::AssertionFailure() << "size " << got.width() << "x" << got.height();
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            if (GetPixel(want, x, y) != GetPixel(got, x, y))
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << "): want " << std::hex << GetPixel(want, x, y) << " got "
                       << GetPixel(got, x, y);
    return ::testing::AssertionSuccess();
}

constexpr WarpKind kAllKinds[] = {WarpKind::Sphericalpengzhang, WarpKind::Sphericalshousuo,
                                  WarpKind::Sphericalyouxuan,   WarpKind::Sphericalzuoxuan,
                                  WarpKind::Verticalpengzhang,  WarpKind::Verticalshousuo,
                                  WarpKind::Horizontalpengzhang, WarpKind::Horizontalshousuo};

void (*const kNamed[])(const QImage&, QImage&, int, int, int, int, WarpProgress&) = {
    Sphericalpengzhang, Sphericalshousuo,    Sphericalyouxuan,  Sphericalzuoxuan,
    Verticalpengzhang,  Verticalshousuo,     Horizontalpengzhang, Horizontalshousuo};

// ---- Tests --------------------------------------------------------------------------------

// Runs the comparisons once with the fastest kernels the processor offers and once with the
// portable ones.
class BothKernels : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { detail::ForcePortableKernels(GetParam()); }
    void TearDown() override { detail::ForcePortableKernels(false); }
};

struct Shot {
    int w, h, X, Y, r, d;
};

// Pictures of width 61 (rows padded) and 64 (not), and the tiny ones.
const Shot kShots[] = {
    {61, 47, 30, 23, 20, 7},    {61, 47, 30, 23, 20, 20},  {61, 47, 30, 23, 20, 31},   // depth up to above r
    {64, 48, 0, 0, 25, 8},      {64, 48, 63, 47, 25, 8},   {64, 48, 63, 0, 25, 8},     // corners
    {64, 48, 0, 47, 25, 12},    {61, 47, 60, 20, 15, 5},   {61, 47, 10, 46, 15, 5},    // edges
    {61, 47, -10, 20, 15, 5},   {61, 47, 30, 60, 30, 10},  {61, 47, 200, 200, 30, 10}, // outside
    {61, 47, 30, 23, 90, 30},   {40, 30, 20, 15, 300, 100},                            // radius > picture
    {61, 47, 30, 23, 5, 4},     {61, 47, 30, 23, 4, 3},    {61, 47, 30, 23, 1, 1},     // d near r, tiny r
    {61, 47, 30, 23, 0, 3},     {61, 47, 30, 23, 12, 0},                               // r 0, depth 0
    {1, 1, 0, 0, 3, 1},         {2, 2, 1, 1, 3, 1},        {2, 2, 0, 1, 6, 2},         // tiny pictures
    {1, 9, 0, 4, 5, 2},         {9, 1, 4, 0, 5, 2},
};

TEST_P(BothKernels, EveryWarpEveryShot)
{
    unsigned seed = 1;
    for (const Shot& s : kShots) {
        const QImage src = NoisePicture(s.w, s.h, seed++);
        for (size_t k = 0; k < std::size(kAllKinds); ++k) {
            SCOPED_TRACE(::testing::Message() << "kind " << k << " picture " << s.w << "x" << s.h << " click ("
                                              << s.X << ", " << s.Y << ") r " << s.r << " d " << s.d);
            Steps want, got;
            const QImage expected = PlainWarp(kAllKinds[k], src, s.X, s.Y, s.r, s.d, want);
            QImage dst = src.copy();
            kNamed[k](src, dst, s.X, s.Y, s.r, s.d, got);
            EXPECT_TRUE(SamePixels(expected, dst));
            EXPECT_EQ(got.steps, want.steps);
            EXPECT_EQ(got.resets, 0);
        }
    }
}

TEST_P(BothKernels, RandomClicks)
{
    std::mt19937 rng(5);
    for (int n = 0; n < 60; ++n) {
        const int w = 20 + int(rng() % 60), h = 20 + int(rng() % 50);
        const QImage src = NoisePicture(w, h, unsigned(n) + 100);
        const int X = int(rng() % unsigned(w + 40)) - 20, Y = int(rng() % unsigned(h + 40)) - 20;
        const int r = int(rng() % 60), d = int(rng() % unsigned(r + 5));
        const WarpKind kind = kAllKinds[rng() % 8];
        SCOPED_TRACE(::testing::Message() << "kind " << int(kind) << " picture " << w << "x" << h << " click (" << X
                                          << ", " << Y << ") r " << r << " d " << d);
        Steps want, got;
        const QImage expected = PlainWarp(kind, src, X, Y, r, d, want);
        QImage dst = src.copy();
        ApplyWarp(kind, src, dst, QPoint(0, 0), X, Y, r, d, got);
        EXPECT_TRUE(SamePixels(expected, dst));
        EXPECT_EQ(got.steps, want.steps);
    }
}

TEST_P(BothKernels, OnTheSamplePicture)
{
    QImage src = ToPictureFormat(QImage(PULLFACE_SHARED_DIR "/photos/sample.bmp"));
    ASSERT_FALSE(src.isNull());
    for (WarpKind kind : kAllKinds) {
        Steps want, got;
        const QImage expected = PlainWarp(kind, src, 300, 230, 50, 15, want);
        QImage dst = src.copy();
        ApplyWarp(kind, src, dst, QPoint(0, 0), 300, 230, 50, 15, got);
        EXPECT_TRUE(SamePixels(expected, dst)) << "kind " << int(kind);
    }
}

struct Stroke {
    int w, h, cx, cy, qx, qy, B;
};

const Stroke kStrokes[] = {
    {80, 60, 40, 30, 30, 22, 20},  {80, 60, 40, 30, 52, 41, 20},  {80, 60, 40, 30, 47, 20, 20},   // diagonals
    {80, 60, 40, 30, 31, 38, 20},  {80, 60, 40, 30, 20, 30, 20},  {80, 60, 40, 30, 75, 30, 15},   // left, right
    {80, 60, 40, 30, 40, 50, 15},  {80, 60, 40, 30, 40, 2, 25},   {80, 60, 40, 30, 40, 30, 25},   // down, up, none
    {80, 60, 40, 40, 39, 10, 40},  {80, 60, 40, 20, 79, 21, 40},  {80, 60, 40, 30, 41, 31, 1},    // chained, B 1
    {80, 60, 40, 30, 10, 10, 0},   {80, 60, 0, 0, 10, 10, 30},    {80, 60, 79, 59, 60, 40, 30},   // B 0, corners
    {80, 60, 0, 30, -20, 30, 30},  {80, 60, 40, 0, 40, -30, 30},  {80, 60, -30, -30, 5, 5, 50},   // edges, outside
    {80, 60, 40, 30, 43, 29, 200}, {1, 1, 0, 0, 3, 3, 5},         {2, 2, 0, 0, 1, 1, 4},          // huge B, tiny
    {81, 61, 40, 30, 30, 40, 17},  {81, 61, 40, 30, 50, 20, 17},  {81, 61, 40, 30, 25, 29, 17},
};

TEST_P(BothKernels, EveryStroke)
{
    unsigned seed = 50;
    for (const Stroke& s : kStrokes) {
        SCOPED_TRACE(::testing::Message() << "picture " << s.w << "x" << s.h << " from (" << s.cx << ", " << s.cy
                                          << ") to (" << s.qx << ", " << s.qy << ") B " << s.B);
        const QImage src = NoisePicture(s.w, s.h, seed++);
        Steps want, got;
        const QImage expected = PlainSmear(src, s.cx, s.cy, s.qx, s.qy, s.B, want);
        QImage dst = src.copy();
        tumopic(src, dst, s.cx, s.cy, s.qx, s.qy, s.B, got);
        EXPECT_TRUE(SamePixels(expected, dst));
        EXPECT_EQ(got.steps, want.steps);
        EXPECT_EQ(got.resets, want.resets);
    }
}

TEST_P(BothKernels, RandomStrokes)
{
    std::mt19937 rng(9);
    for (int n = 0; n < 80; ++n) {
        const int w = 30 + int(rng() % 50), h = 30 + int(rng() % 50);
        const QImage src = NoisePicture(w, h, unsigned(n) + 500);
        const int cx = int(rng() % unsigned(w)), cy = int(rng() % unsigned(h));
        int qx = cx + int(rng() % 61) - 30, qy = cy + int(rng() % 61) - 30;
        if (n % 4 == 0)
            qy = cy;  // axis strokes too
        else if (n % 4 == 1)
            qx = cx;
        const int B = int(rng() % 40);
        SCOPED_TRACE(::testing::Message() << "picture " << w << "x" << h << " from (" << cx << ", " << cy << ") to ("
                                          << qx << ", " << qy << ") B " << B);
        Steps want, got;
        const QImage expected = PlainSmear(src, cx, cy, qx, qy, B, want);
        QImage dst = src.copy();
        tumopic(src, dst, cx, cy, qx, qy, B, got);
        EXPECT_TRUE(SamePixels(expected, dst));
        EXPECT_EQ(got.steps, want.steps);
        EXPECT_EQ(got.resets, want.resets);
    }
}

INSTANTIATE_TEST_SUITE_P(WarpsAgainstPlainVersion, BothKernels, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Portable" : "Fastest"; });

// A destination region gives exactly the full form's pixels inside it, whatever part of the
// picture it covers, and steps progress the same.
TEST(WarpRegions, MatchTheFullPicture)
{
    const QImage src = NoisePicture(61, 47, 77);
    const QRect regions[] = {QRect(0, 0, 61, 47),  QRect(10, 5, 30, 20), QRect(-5, -5, 20, 20),
                             QRect(50, 40, 30, 30), QRect(25, 0, 1, 47),  QRect(0, 23, 61, 1),
                             QRect(70, 10, 5, 5),  QRect(3, 4, 0, 0)};
    for (WarpKind kind : kAllKinds)
        for (const QPoint click : {QPoint(30, 23), QPoint(2, 45), QPoint(60, 0)}) {
            Steps fullSteps;
            QImage full = src.copy();
            ApplyWarp(kind, src, full, QPoint(0, 0), click.x(), click.y(), 18, 6, fullSteps);
            auto check = [&](const QRect& region) {
                SCOPED_TRACE(::testing::Message() << "kind " << int(kind) << " click (" << click.x() << ", "
                                                  << click.y() << ") region " << region.x() << "," << region.y()
                                                  << " " << region.width() << "x" << region.height());
                Steps steps;
                // Outside the picture the copy is filled with zero; an empty region is no picture.
                QImage part = region.isEmpty() ? QImage() : src.copy(region);
                ApplyWarp(kind, src, part, region.topLeft(), click.x(), click.y(), 18, 6, steps);
                EXPECT_EQ(part.size(), region.isEmpty() ? QSize(0, 0) : region.size());
                EXPECT_EQ(steps.steps, fullSteps.steps);
                for (int y = 0; y < region.height(); ++y)
                    for (int x = 0; x < region.width(); ++x) {
                        const QPoint p = region.topLeft() + QPoint(x, y);
                        const TColor want = src.rect().contains(p) ? GetPixel(full, p.x(), p.y()) : clBlack;
                        ASSERT_EQ(GetPixel(part, x, y), want) << "at " << p.x() << ", " << p.y();
                    }
            };
            for (const QRect& region : regions)
                check(region);
            check(WarpBounds(click.x(), click.y(), 18, src.size()));
        }
}

TEST(WarpRegions, BoundsHoldEveryWrite)
{
    const QImage src = NoisePicture(61, 47, 78);
    for (WarpKind kind : kAllKinds)
        for (const QPoint click : {QPoint(30, 23), QPoint(2, 45), QPoint(-3, 10), QPoint(100, 100)})
            for (int r : {0, 1, 2, 9, 30, 80}) {
                const int d = std::max(1, r / 3);
                QImage full = src.copy();
                WarpProgress none;
                ApplyWarp(kind, src, full, QPoint(0, 0), click.x(), click.y(), r, d, none);
                const QRect box = WarpBounds(click.x(), click.y(), r, src.size());
                EXPECT_TRUE(src.rect().contains(box) || box.isEmpty());
                for (const WarpVisit& v : TraceWarp(kind, src.size(), click.x(), click.y(), r, d, none))
                    ASSERT_TRUE(box.contains(v.x, v.y)) << int(kind) << " r " << r;
                for (int y = 0; y < src.height(); ++y)
                    for (int x = 0; x < src.width(); ++x)
                        if (GetPixel(full, x, y) != GetPixel(src, x, y)) {
                            ASSERT_TRUE(box.contains(x, y));
                        }
            }
}

TEST(SmearRegions, MatchTheFullPictureAndStayInTheirBounds)
{
    const QImage src = NoisePicture(80, 60, 79);
    for (const Stroke& s : kStrokes) {
        if (s.w != 80)
            continue;
        QImage full = src.copy();
        WarpProgress none;
        tumopic(src, full, s.cx, s.cy, s.qx, s.qy, s.B, none);
        const QRect box = SmearBounds(s.cx, s.cy, s.qx, s.qy, s.B, src.size());
        for (const WarpVisit& v : TraceSmear(src.size(), s.cx, s.cy, s.qx, s.qy, s.B, none))
            ASSERT_TRUE(box.contains(v.x, v.y));
        if (!box.isEmpty()) {
            QImage part = src.copy(box);
            tumopic(src, part, box.topLeft(), s.cx, s.cy, s.qx, s.qy, s.B, none);
            EXPECT_EQ(part, full.copy(box));
        } else {
            EXPECT_EQ(full, src);
        }
        QImage band = src.copy(QRect(0, 20, 80, 7));
        tumopic(src, band, QPoint(0, 20), s.cx, s.cy, s.qx, s.qy, s.B, none);
        EXPECT_EQ(band, full.copy(QRect(0, 20, 80, 7)));
    }
}

TEST(WarpInputs, SharedAndSameDestinationReadTheUntouchedSource)
{
    const QImage src = NoisePicture(61, 47, 80);
    QImage expected = src.copy();
    WarpProgress none;
    Sphericalyouxuan(src, expected, 30, 23, 20, 5, none);

    QImage shared = src;  // shares pixels until written
    Sphericalyouxuan(src, shared, 30, 23, 20, 5, none);
    EXPECT_EQ(shared, expected);
    EXPECT_TRUE(SamePixels(src, NoisePicture(61, 47, 80)));

    QImage same = src.copy();
    Sphericalyouxuan(same, same, 30, 23, 20, 5, none);
    EXPECT_EQ(same, expected);
}

TEST(WarpInputs, BadArgumentsThrowAndChangeNothing)
{
    const QImage src = NoisePicture(20, 20, 81);
    QImage dst = src.copy();
    WarpProgress none;
    EXPECT_THROW(Sphericalpengzhang(src, dst, 5, 5, -1, 3, none), std::invalid_argument);
    EXPECT_THROW(Sphericalpengzhang(src, dst, 5, 5, 10, -3, none), std::invalid_argument);
    EXPECT_THROW(Sphericalpengzhang(src, dst, 5, 5, kMaxWarpRadius + 1, 3, none), std::invalid_argument);
    EXPECT_THROW(Verticalshousuo(src, dst, kMaxWarpCoordinate + 1, 5, 10, 3, none), std::invalid_argument);
    EXPECT_THROW(Verticalshousuo(QImage(), dst, 5, 5, 10, 3, none), std::invalid_argument);
    QImage other(20, 20, QImage::Format_RGB32);
    other.fill(0);
    EXPECT_THROW(Horizontalpengzhang(other, dst, 5, 5, 10, 3, none), std::invalid_argument);
    EXPECT_THROW(Horizontalpengzhang(src, other, 5, 5, 10, 3, none), std::invalid_argument);
    EXPECT_THROW(tumopic(src, dst, 5, 5, 9, 9, -2, none), std::invalid_argument);
    EXPECT_THROW(tumopic(src, dst, 5, 5, kMaxWarpCoordinate + 1, 9, 20, none), std::invalid_argument);
    EXPECT_TRUE(SamePixels(src, dst));

    QImage empty;  // a null destination has nothing to write
    EXPECT_EQ(ApplyWarp(WarpKind::Sphericalshousuo, src, empty, QPoint(0, 0), 5, 5, 10, 3, none), 0);
    EXPECT_TRUE(empty.isNull());
}

}  // namespace
