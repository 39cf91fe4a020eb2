// The sampler over a run of destination pixels: the inner loop of every warp.
#include "warps/sampler.h"

#include <array>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PF_HAVE_AVX2_KERNEL 1
#endif

namespace pf::detail {

namespace {

constexpr std::array<double, 256> kByteValue = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = i;
    return t;
}();

constexpr double kTieHalfWidth = 0.5 - 1e-9;  // |v - Round(v)| beyond this: blend again, extended

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

}  // namespace

// The blend, per channel. Where the position lies on a pixel column (wx1 = 0) the formula
// reduces exactly to the vertical blend p00 wy0 + p01 wy1 (the other column is multiplied by 0
// and the sum by 1); on a pixel row (wy1 = 0) to p00 wx0 + p10 wx1. The vertical and
// horizontal warps read on their own column or row almost always.
std::int64_t SampleRunPortable(const SourceView& s, const double* xs, const double* ys, int n, uchar* out,
                               qsizetype stride)
{
    // Everything the loop needs in locals: the byte stores below may alias anything in memory.
    const uchar* const bits = s.bits;
    const qsizetype bpl = s.bpl, rowStep = s.rowStep;
    const int cs = s.colStep;
    const double lastRow = s.lastRow, rowHi = s.rowHi, colHi = s.colHi;
    const double* const T = kByteValue.data();
    std::int64_t written = 0;
    for (int j = 0; j < n; ++j, out += stride) {
        const double x = xs[j], y = ys[j];
        if (std::isnan(x) || std::isnan(y))
            continue;
        const Cell c = Locate(bits, bpl, lastRow, rowHi, colHi, x, y);
        const uchar* p0 = c.p0;
        const uchar* p1 = c.p0 + rowStep;
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
        ++written;
    }
    return written;
}

#ifdef PF_HAVE_AVX2_KERNEL

namespace {

#define PF_AVX2 __attribute__((target("avx2"), always_inline)) inline

// The four bytes at p as four doubles: blue, green, red of pixel p and the next byte.
PF_AVX2 __m256d Pixel(const uchar* p)
{
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(int(w))));
}
// The pixel after p (blue, green, red and a zero), read without touching the byte beyond it.
PF_AVX2 __m256d NextPixel(const uchar* p)
{
    std::uint32_t w;
    std::memcpy(&w, p + 2, 4);
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(int(w >> 8))));
}

#undef PF_AVX2

}  // namespace

// One pixel per step with its channels in the lanes of one register: the same products and
// sums as the portable form, lane by lane, so the same bytes. Needs a picture at least two
// pixels wide and high.
__attribute__((target("avx2"))) std::int64_t SampleRunAvx2(const SourceView& s, const double* xs, const double* ys,
                                                           int n, uchar* out, qsizetype stride)
{
    if (s.width < 2 || s.height < 2 || !HasAvx2())
        return SampleRunPortable(s, xs, ys, n, out, stride);
    const uchar* const bits = s.bits;
    const qsizetype bpl = s.bpl, rowStep = s.rowStep;
    const double lastRow = s.lastRow, rowHi = s.rowHi, colHi = s.colHi;
    const __m256d absMask = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFFLL));
    const __m256d tieLimit = _mm256_set1_pd(kTieHalfWidth);
    std::int64_t written = 0;
    for (int j = 0; j < n; ++j, out += stride) {
        const double x = xs[j], y = ys[j];
        if (std::isnan(x) || std::isnan(y))
            continue;
        const Cell c = Locate(bits, bpl, lastRow, rowHi, colHi, x, y);
        const uchar* p0 = c.p0;
        const uchar* p1 = c.p0 + rowStep;
        __m256d v;
        if (c.wx1 == 0) {
            v = _mm256_add_pd(_mm256_mul_pd(Pixel(p0), _mm256_set1_pd(c.wy0)),
                              _mm256_mul_pd(Pixel(p1), _mm256_set1_pd(c.wy1)));
        } else if (c.wy1 == 0) {
            v = _mm256_add_pd(_mm256_mul_pd(Pixel(p0), _mm256_set1_pd(c.wx0)),
                              _mm256_mul_pd(NextPixel(p0), _mm256_set1_pd(c.wx1)));
        } else {
            const __m256d wy0 = _mm256_set1_pd(c.wy0), wy1 = _mm256_set1_pd(c.wy1);
            const __m256d left = _mm256_add_pd(_mm256_mul_pd(Pixel(p0), wy0), _mm256_mul_pd(Pixel(p1), wy1));
            const __m256d right =
                _mm256_add_pd(_mm256_mul_pd(NextPixel(p0), wy0), _mm256_mul_pd(NextPixel(p1), wy1));
            v = _mm256_add_pd(_mm256_mul_pd(left, _mm256_set1_pd(c.wx0)),
                              _mm256_mul_pd(right, _mm256_set1_pd(c.wx1)));
        }
        const __m256d r = _mm256_round_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
        const __m256d off = _mm256_and_pd(_mm256_sub_pd(v, r), absMask);
        if (_mm256_movemask_pd(_mm256_cmp_pd(off, tieLimit, _CMP_GT_OQ)) & 7) {
            alignas(32) double vv[4], rr[4];
            _mm256_store_pd(vv, v);
            _mm256_store_pd(rr, r);
            Store(out, vv, rr, c, rowStep, 3);
        } else {
            const __m128i i32 = _mm256_cvttpd_epi32(r);
            const __m128i i16 = _mm_packus_epi32(i32, i32);
            const std::uint32_t bgr = std::uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(i16, i16)));
            const std::uint16_t bg = std::uint16_t(bgr);
            std::memcpy(out, &bg, 2);
            out[2] = static_cast<uchar>(bgr >> 16);
        }
        ++written;
    }
    return written;
}

bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

#else

std::int64_t SampleRunAvx2(const SourceView& s, const double* xs, const double* ys, int n, uchar* out,
                           qsizetype stride)
{
    return SampleRunPortable(s, xs, ys, n, out, stride);
}

bool HasAvx2() { return false; }

#endif

std::int64_t SampleRun(const SourceView& s, const double* xs, const double* ys, int n, uchar* out, qsizetype stride)
{
    if (HasAvx2() && s.width >= 2 && s.height >= 2)
        return SampleRunAvx2(s, xs, ys, n, out, stride);
    return SampleRunPortable(s, xs, ys, n, out, stride);
}

}  // namespace pf::detail
