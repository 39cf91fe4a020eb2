// The sampler over a run of destination pixels: the inner loop of every warp.
#include "warps/sampler.h"

#include <array>
#include <atomic>
#include <cstring>

#include "warps/sampler_avx2.h"

namespace pf::detail {

namespace {

constexpr std::array<double, 256> kByteValue = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = i;
    return t;
}();

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

#ifdef PF_SAMPLER_AVX2

// One pixel after the other; four at a time are located with vector operations.
__attribute__((target("avx2"))) std::int64_t SampleRunAvx2(const SourceView& s, const double* xs, const double* ys,
                                                           int n, uchar* out, qsizetype stride)
{
    if (s.width < 2 || s.height < 2 || !HasAvx2())
        return SampleRunPortable(s, xs, ys, n, out, stride);
    const avx2::Sampler sampler(s);
    std::int64_t written = 0;
    int j = 0;
    for (; j + 4 <= n; j += 4)
        written += sampler.sample4(_mm256_loadu_pd(xs + j), _mm256_loadu_pd(ys + j), out, stride);
    for (; j < n; ++j, out += stride)
        written += sampler.sample1(xs[j], ys[j], out);
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

namespace {
std::atomic<bool> forcePortable{false};
}

void ForcePortableKernels(bool force) { forcePortable.store(force, std::memory_order_relaxed); }

bool UseAvx2() { return HasAvx2() && !forcePortable.load(std::memory_order_relaxed); }

std::int64_t SampleRun(const SourceView& s, const double* xs, const double* ys, int n, uchar* out, qsizetype stride)
{
    if (UseAvx2() && s.width >= 2 && s.height >= 2)
        return SampleRunAvx2(s, xs, ys, n, out, stride);
    return SampleRunPortable(s, xs, ys, n, out, stride);
}

}  // namespace pf::detail
