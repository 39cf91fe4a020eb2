// The sampler's inner forms, shared by xiangsujuhe and the warps: the clamping, the weights,
// the blend in double with its extended-precision retry at ties, and the run over a straight
// line of destination pixels.
#pragma once

#include <QImage>
#include <array>
#include <cmath>
#include <cstdint>

namespace pf::detail {

// The source picture as the sampler sees it; built once per warp.
struct SourceView {
    const uchar* bits = nullptr;
    qsizetype bpl = 0;      // bytes per row
    int width = 0, height = 0;
    double lastRow = 0;     // H - 1: rows above it are interpolated
    double rowHi = 0;       // where y >= H - 1 lands: H - 2 (0 for a picture one row high)
    double colHi = 0;       // the largest sampled x: W - 2 (0 for a picture one column wide)
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

// Blends one channel in 80-bit extended precision, the weights taken from the position itself.
inline int BlendExtended(int p00, int p01, int p10, int p11, double x, int x0, double y, int y0)
{
    const long double wy1 = static_cast<long double>(y) - y0;
    const long double wy0 = static_cast<long double>(y0 + 1) - y;
    const long double wx1 = static_cast<long double>(x) - x0;
    const long double wx0 = static_cast<long double>(x0 + 1) - x;
    const long double v = (p00 * wy0 + p01 * wy1) * wx0 + (p10 * wy0 + p11 * wy1) * wx1;
    return static_cast<int>(std::nearbyintl(v));
}

// The pixel pair and the weights for a position, clamped as the sampler clamps.
struct Cell {
    const uchar* p0;  // pixel (x0, y0); p0 + rowStep is (x0, y0 + 1), p0 + colStep is (x0 + 1, y0)
    double x, y;      // the clamped position
    int x0, y0;
    double wy0, wy1, wx0, wx1;
};

// Rows: 0 <= y < H - 1 keeps y; y >= H - 1 becomes H - 2; y < 0 (or no number) becomes 0.
// Columns: x < 0 (or no number) becomes 0; x > W - 2 becomes W - 2.
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

inline Cell Locate(const SourceView& s, double x, double y)
{
    return Locate(s.bits, s.bpl, s.lastRow, s.rowHi, s.colHi, x, y);
}

// Stores the three channels' rounded values r, blending again in extended precision those
// whose double value v lies at a tie.
inline void Store(uchar* out, const double* v, const double* r, const Cell& c, qsizetype rowStep, int colStep)
{
    const uchar* p0 = c.p0;
    const uchar* p1 = c.p0 + rowStep;
    for (int ch = 0; ch < 3; ++ch) {
        int value = static_cast<int>(r[ch]);
        if (std::fabs(v[ch] - r[ch]) > kTieHalfWidth)
            value = BlendExtended(p0[ch], p1[ch], p0[ch + colStep], p1[ch + colStep], c.x, c.x0, c.y, c.y0);
        out[ch] = static_cast<uchar>(value);
    }
}

inline constexpr std::array<double, 256> kByteValue = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = i;
    return t;
}();

// The blend of a located pixel, per channel: ((p00 wy0 + p01 wy1) wx0 + (p10 wy0 + p11 wy1) wx1),
// rounded halves to even, into out[0..2] (blue, green, red). Where the position lies on a pixel
// column (wx1 = 0) the formula reduces exactly to p00 wy0 + p01 wy1 (the other column is
// multiplied by 0 and the sum by 1); on a pixel row (wy1 = 0) to p00 wx0 + p10 wx1. The
// vertical and horizontal warps read on their own column or row almost always.
inline void BlendPortable(const Cell& c, qsizetype rowStep, int colStep, uchar* out)
{
    const double* const T = kByteValue.data();
    const uchar* p0 = c.p0;
    const uchar* p1 = c.p0 + rowStep;
    const int cs = colStep;
    double v[3], r[3];
    if (c.wx1 == 0) {
        for (int ch = 0; ch < 3; ++ch)
            v[ch] = T[p0[ch]] * c.wy0 + T[p1[ch]] * c.wy1;
    } else if (c.wy1 == 0) {
        for (int ch = 0; ch < 3; ++ch)
            v[ch] = T[p0[ch]] * c.wx0 + T[p0[ch + cs]] * c.wx1;
    } else {
        for (int ch = 0; ch < 3; ++ch)
            v[ch] = (T[p0[ch]] * c.wy0 + T[p1[ch]] * c.wy1) * c.wx0 +
                    (T[p0[ch + cs]] * c.wy0 + T[p1[ch + cs]] * c.wy1) * c.wx1;
    }
    bool tie = false;
    for (int ch = 0; ch < 3; ++ch) {
        r[ch] = RoundNonNegative(v[ch]);
        tie |= std::fabs(v[ch] - r[ch]) > kTieHalfWidth;
    }
    if (tie) {
        Store(out, v, r, c, rowStep, cs);
    } else {
        out[0] = static_cast<uchar>(static_cast<int>(r[0]));
        out[1] = static_cast<uchar>(static_cast<int>(r[1]));
        out[2] = static_cast<uchar>(static_cast<int>(r[2]));
    }
}

// Samples a straight run of n destination pixels: the j-th takes its colour from (xs[j], ys[j])
// and lives at out + j * stride. A position that is no number at all has no source and leaves
// its pixel alone. Returns the number of pixels written.
// Its forms: one for any processor, one for processors with AVX2 (which falls back to the first
// where it cannot run). All give the same bytes.
std::int64_t SampleRunPortable(const SourceView& s, const double* xs, const double* ys, int n, uchar* out,
                               qsizetype stride);
std::int64_t SampleRunAvx2(const SourceView& s, const double* xs, const double* ys, int n, uchar* out,
                           qsizetype stride);
using SampleRunForm = std::int64_t (*)(const SourceView&, const double*, const double*, int, uchar*, qsizetype);
// The fastest form for this source on this processor.
SampleRunForm PickSampleRun(const SourceView& s);

bool HasAvx2();
// Whether the warps use their AVX2 forms: the processor has AVX2 and the portable forms are
// not forced (tests force them to check both).
bool UseAvx2();
void ForcePortableKernels(bool force);

}  // namespace pf::detail
