// The sampler over a run of destination pixels: the inner loop of every warp.
#include "warps/sampler.h"
#include "warps/sampler_avx2.h"

#include <atomic>

namespace pf::detail {

std::int64_t SampleRunPortable(const SourceView& s, const double* xs, const double* ys, int n, uchar* out,
                               qsizetype stride)
{
    // Everything the loop needs in locals: the byte stores below may alias anything in memory.
    const uchar* const bits = s.bits;
    const qsizetype bpl = s.bpl, rowStep = s.rowStep;
    const int colStep = s.colStep;
    const double lastRow = s.lastRow, rowHi = s.rowHi, colHi = s.colHi;
    std::int64_t written = 0;
    for (int j = 0; j < n; ++j, out += stride) {
        const double x = xs[j], y = ys[j];
        if (std::isnan(x) || std::isnan(y))
            continue;
        BlendPortable(Locate(bits, bpl, lastRow, rowHi, colHi, x, y), rowStep, colStep, out);
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

SampleRunForm PickSampleRun(const SourceView& s)
{
    return UseAvx2() && s.width >= 2 && s.height >= 2 ? SampleRunAvx2 : SampleRunPortable;
}

}  // namespace pf::detail
