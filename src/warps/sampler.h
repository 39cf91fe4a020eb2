// The sampler's inner form, shared by the warps: reads the source through its rows and writes
// the three bytes of a destination pixel. Same results as xiangsujuhe.
#pragma once

#include <QImage>
#include <cmath>
#include <cstdint>

namespace pf::detail {

// The source picture as the sampler sees it; built once per warp.
struct SourceView {
    const uchar* bits = nullptr;
    qsizetype bpl = 0;   // bytes per row
    int width = 0, height = 0;
    double lastRow = 0;  // H - 1: rows below it are interpolated
    double rowHi = 0;    // where y >= H - 1 lands: H - 2 (0 for a picture one row high)
    double colHi = 0;    // the largest sampled x: W - 2 (0 for a picture one column wide)
    qsizetype rowStep = 0;  // bytes from the upper to the lower row of the pair (0 when one row)
    int colStep = 0;        // bytes from the left to the right column of the pair (0 when one column)

    explicit SourceView(const QImage& img)
        : bits(img.constBits()), bpl(img.bytesPerLine()), width(img.width()), height(img.height()),
          lastRow(double(img.height() - 1)), rowHi(img.height() >= 2 ? double(img.height() - 2) : 0.0),
          colHi(img.width() >= 2 ? double(img.width() - 2) : 0.0),
          rowStep(img.height() >= 2 ? img.bytesPerLine() : 0), colStep(img.width() >= 2 ? 3 : 0)
    {
    }
};

// A blended channel v with |v - Round(v)| beyond this lies at a tie, or so close to one that the
// double blend's error (below 1e-12 for values up to 255) could decide it: it is blended again
// in extended precision.
inline constexpr double kTieHalfWidth = 0.5 - 1e-9;

// Round to the nearest integer, halves to even, for 0 <= v < 2^52 (the default rounding mode
// does the work when the fraction bits fall off).
inline double RoundNonNegative(double v)
{
    constexpr double kShift = 4503599627370496.0;  // 2^52
    return (v + kShift) - kShift;
}

// Blends one channel in 80-bit extended precision.
inline int BlendExtended(int p00, int p01, int p10, int p11, double x, int x0, double y, int y0)
{
    const long double wy1 = static_cast<long double>(y) - y0;
    const long double wy0 = static_cast<long double>(y0 + 1) - y;
    const long double wx1 = static_cast<long double>(x) - x0;
    const long double wx0 = static_cast<long double>(x0 + 1) - x;
    const long double v = (p00 * wy0 + p01 * wy1) * wx0 + (p10 * wy0 + p11 * wy1) * wx1;
    return static_cast<int>(std::nearbyintl(v));
}

// Clamps (x, y) as the sampler does and returns the pixel pair's top-left pixel.
inline const uchar* ClampPosition(const SourceView& s, double& x, double& y, int& x0, int& y0)
{
    if (0 <= y && y < s.lastRow) {
        y0 = static_cast<int>(y);
    } else if (y >= 0) {
        y = s.rowHi;
        y0 = static_cast<int>(s.rowHi);
    } else {  // y < 0, or no number at all
        y = 0;
        y0 = 0;
    }
    if (!(x >= 0))
        x = 0;
    else if (x > s.colHi)
        x = s.colHi;
    x0 = static_cast<int>(x);
    return s.bits + y0 * s.bpl + 3 * qsizetype(x0);
}

// Samples (x, y), clamping them in place, and stores blue, green, red at out[0..2].
// The blend runs in double; a channel whose value lies within a hair of a .5 tie (far wider
// than the double blend's error) is blended again in extended precision, so the result is
// always that of the extended blend.
inline void SampleBGR(const SourceView& s, double& x, double& y, uchar* out)
{
    int x0, y0;
    const uchar* p0 = ClampPosition(s, x, y, x0, y0);
    const uchar* p1 = p0 + s.rowStep;
    const int cs = s.colStep;
    const double wy1 = y - y0;
    const double wy0 = (y0 + 1) - y;
    const double wx1 = x - x0;
    const double wx0 = (x0 + 1) - x;
    for (int ch = 0; ch < 3; ++ch) {
        const int p00 = p0[ch], p01 = p1[ch], p10 = p0[ch + cs], p11 = p1[ch + cs];
        const double v = (p00 * wy0 + p01 * wy1) * wx0 + (p10 * wy0 + p11 * wy1) * wx1;
        const double r = RoundNonNegative(v);
        const double off = v - r;  // in [-0.5, 0.5]
        if (std::fabs(off) > kTieHalfWidth)
            out[ch] = static_cast<uchar>(BlendExtended(p00, p01, p10, p11, x, x0, y, y0));
        else
            out[ch] = static_cast<uchar>(static_cast<int>(r));
    }
}

// The pixel pair and the weights for a position, clamped as the sampler clamps.
struct Cell {
    const uchar* p0;  // pixel (x0, y0); p0 + rowStep is (x0, y0 + 1)
    double x, y;      // the clamped position
    int x0, y0;
    double wy0, wy1, wx0, wx1;
};


inline Cell Locate(const uchar* bits, qsizetype bpl, double lastRow, double rowHi, double colHi, double x, double y)
{
    Cell c;
    if (0 <= y && y < lastRow) {
        c.y0 = static_cast<int>(y);
    } else if (y >= 0) {
        y = rowHi;
        c.y0 = static_cast<int>(rowHi);
    } else {
        y = 0;
        c.y0 = 0;
    }
    if (!(x >= 0))
        x = 0;
    else if (x > colHi)
        x = colHi;
    c.x0 = static_cast<int>(x);
    c.x = x;
    c.y = y;
    c.p0 = bits + c.y0 * bpl + 3 * qsizetype(c.x0);
    const double y0 = c.y0, x0 = c.x0;
    c.wy1 = y - y0;
    c.wy0 = (y0 + 1) - y;
    c.wx1 = x - x0;
    c.wx0 = (x0 + 1) - x;
    return c;
}

// Stores the three channels, blending again in extended precision those whose double value
// lies at a tie.
inline void Store(uchar* out, const double* v, const double* r, const Cell& c, qsizetype rowStep, int cs)
{
    const uchar* p0 = c.p0;
    const uchar* p1 = c.p0 + rowStep;
    for (int ch = 0; ch < 3; ++ch) {
        int value = static_cast<int>(r[ch]);
        if (std::fabs(v[ch] - r[ch]) > kTieHalfWidth)
            value = BlendExtended(p0[ch], p1[ch], p0[ch + cs], p1[ch + cs], c.x, c.x0, c.y, c.y0);
        out[ch] = static_cast<uchar>(value);
    }
}

// Samples a straight run of n destination pixels: the j-th takes its colour from (xs[j], ys[j])
// and lives at out + j * stride. A position that is no number at all has no source and leaves
// its pixel alone. Returns the number of pixels written.
// Uses the fastest form the processor offers; all forms give the same bytes.
std::int64_t SampleRun(const SourceView& s, const double* xs, const double* ys, int n, uchar* out,
                       qsizetype stride);
// The form for any x86-64 (or other) processor, and the one for processors with AVX2 (which
// falls back to the first where it cannot run). For checking the two against each other.
std::int64_t SampleRunPortable(const SourceView& s, const double* xs, const double* ys, int n, uchar* out,
                               qsizetype stride);
std::int64_t SampleRunAvx2(const SourceView& s, const double* xs, const double* ys, int n, uchar* out,
                           qsizetype stride);
bool HasAvx2();
// Whether the warps use their AVX2 forms: the processor has AVX2 and the portable forms are
// not forced (tests force them to check both).
bool UseAvx2();
void ForcePortableKernels(bool force);

}  // namespace pf::detail
