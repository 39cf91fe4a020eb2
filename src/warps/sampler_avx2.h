// The sampler for processors with AVX2: the same products and sums as the portable form, lane
// by lane, so the same bytes. Only for code compiled for AVX2 (functions marked
// target("avx2")) and only after HasAvx2() said yes. Shared by the sampler's run and by warps
// that interleave their own arithmetic with the sampling.
#pragma once

#include "warps/sampler.h"

#if defined(__x86_64__) && defined(__GNUC__)
#define PF_SAMPLER_AVX2 1

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#define PF_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

namespace pf::detail::avx2 {

// The four bytes at p as four doubles: blue, green, red of pixel p and the next byte.
PF_AVX2_INLINE __m256d Pixel(const uchar* p) { return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_loadu_si32(p))); }

// The pixel after p (blue, green, red and a zero), read without touching the byte beyond it.
PF_AVX2_INLINE __m256d NextPixel(const uchar* p)
{
    std::uint32_t w;
    std::memcpy(&w, p + 2, 4);
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(int(w >> 8))));
}

// A picture at least two pixels wide and high, ready for sampling.
class Sampler {
public:
    PF_AVX2_INLINE explicit Sampler(const SourceView& s)
        : bits_(s.bits), bpl_(s.bpl), rowStep_(s.rowStep), lastRow_(s.lastRow), rowHi_(s.rowHi), colHi_(s.colHi),
          // Reading four bytes at the pixel after x0 takes one byte past it: harmless while that
          // byte is still in the row, which holds for x0 < lastSafe.
          lastSafe_(3 * s.width < s.bpl ? s.width : s.width - 2)
    {
    }

    // Samples the four positions (x, y) into out, out + stride, ... (out moves on by four
    // strides); a position that is no number leaves its pixel. Returns the pixels written.
    // anywhere: the caller's positions rarely lie on a pixel column or row, so the full blend
    // serves them all (it gives the same there) without testing each.
    template <bool anywhere = false>
    PF_AVX2_INLINE int sample4(__m256d x, __m256d y, uchar*& out, qsizetype stride) const
    {
        const __m256d zero = _mm256_setzero_pd(), one = _mm256_set1_pd(1.0);
        const int skip = _mm256_movemask_pd(_mm256_cmp_pd(x, y, _CMP_UNORD_Q));  // either is no number
        // Rows: 0 <= y < H - 1 keeps y; y >= H - 1 becomes H - 2; y < 0 becomes 0.
        const __m256d yNonNegative = _mm256_cmp_pd(y, zero, _CMP_GE_OQ);
        const __m256d yInside = _mm256_and_pd(yNonNegative, _mm256_cmp_pd(y, _mm256_set1_pd(lastRow_), _CMP_LT_OQ));
        y = _mm256_blendv_pd(_mm256_blendv_pd(zero, _mm256_set1_pd(rowHi_), yNonNegative), y, yInside);
        // Columns: x < 0 becomes 0, x > W - 2 becomes W - 2.
        const __m256d colHi = _mm256_set1_pd(colHi_);
        x = _mm256_blendv_pd(zero, x, _mm256_cmp_pd(x, zero, _CMP_GE_OQ));
        x = _mm256_blendv_pd(x, colHi, _mm256_cmp_pd(x, colHi, _CMP_GT_OQ));
        const __m256d y0 = _mm256_round_pd(y, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
        const __m256d x0 = _mm256_round_pd(x, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
        alignas(32) double wy0[4], wy1[4], wx0[4], wx1[4], cx[4], cy[4];
        alignas(32) long long offset[4];
        alignas(16) int ix0[4], iy0[4];
        _mm256_store_pd(wy1, _mm256_sub_pd(y, y0));
        _mm256_store_pd(wy0, _mm256_sub_pd(_mm256_add_pd(y0, one), y));
        _mm256_store_pd(wx1, _mm256_sub_pd(x, x0));
        _mm256_store_pd(wx0, _mm256_sub_pd(_mm256_add_pd(x0, one), x));
        _mm256_store_pd(cx, x);
        _mm256_store_pd(cy, y);
        const __m128i iy = _mm256_cvttpd_epi32(y0), ix = _mm256_cvttpd_epi32(x0);
        _mm_store_si128(reinterpret_cast<__m128i*>(iy0), iy);
        _mm_store_si128(reinterpret_cast<__m128i*>(ix0), ix);
        const __m256i rowOffset = _mm256_mul_epi32(_mm256_cvtepi32_epi64(iy), _mm256_set1_epi64x(bpl_));
        const __m256i colOffset = _mm256_mul_epi32(_mm256_cvtepi32_epi64(ix), _mm256_set1_epi64x(3));
        _mm256_store_si256(reinterpret_cast<__m256i*>(offset), _mm256_add_epi64(rowOffset, colOffset));
        int written = 0;
        for (int k = 0; k < 4; ++k, out += stride) {
            if (skip & (1 << k))
                continue;
            Cell c;
            c.p0 = bits_ + offset[k];
            c.x = cx[k];
            c.y = cy[k];
            c.x0 = ix0[k];
            c.y0 = iy0[k];
            c.wy0 = wy0[k];
            c.wy1 = wy1[k];
            c.wx0 = wx0[k];
            c.wx1 = wx1[k];
            blend<anywhere>(c, out);
            ++written;
        }
        return written;
    }

    // One position into out; returns the pixels written (0 for a position that is no number).
    PF_AVX2_INLINE int sample1(double x, double y, uchar* out) const
    {
        if (std::isnan(x) || std::isnan(y))
            return 0;
        blend<false>(Locate(bits_, bpl_, lastRow_, rowHi_, colHi_, x, y), out);
        return 1;
    }

private:
    // The blend of one located pixel with its channels in the lanes of one register. On a pixel
    // column (wx1 = 0) or row (wy1 = 0) it reduces exactly as the portable form does, unless
    // told the full formula will do (anywhere).
    template <bool anywhere>
    PF_AVX2_INLINE void blend(const Cell& c, uchar* out) const
    {
        const uchar* p0 = c.p0;
        const uchar* p1 = c.p0 + rowStep_;
        __m256d v;
        if (!anywhere && c.wx1 == 0) {
            v = _mm256_add_pd(_mm256_mul_pd(Pixel(p0), _mm256_broadcast_sd(&c.wy0)),
                              _mm256_mul_pd(Pixel(p1), _mm256_broadcast_sd(&c.wy1)));
        } else if (!anywhere && c.wy1 == 0) {
            const __m256d next = c.x0 < lastSafe_ ? Pixel(p0 + 3) : NextPixel(p0);
            v = _mm256_add_pd(_mm256_mul_pd(Pixel(p0), _mm256_broadcast_sd(&c.wx0)),
                              _mm256_mul_pd(next, _mm256_broadcast_sd(&c.wx1)));
        } else {
            const __m256d wy0 = _mm256_broadcast_sd(&c.wy0), wy1 = _mm256_broadcast_sd(&c.wy1);
            const __m256d left = _mm256_add_pd(_mm256_mul_pd(Pixel(p0), wy0), _mm256_mul_pd(Pixel(p1), wy1));
            const bool safe = c.x0 < lastSafe_;
            const __m256d next0 = safe ? Pixel(p0 + 3) : NextPixel(p0);
            const __m256d next1 = safe ? Pixel(p1 + 3) : NextPixel(p1);
            const __m256d right = _mm256_add_pd(_mm256_mul_pd(next0, wy0), _mm256_mul_pd(next1, wy1));
            v = _mm256_add_pd(_mm256_mul_pd(left, _mm256_broadcast_sd(&c.wx0)),
                              _mm256_mul_pd(right, _mm256_broadcast_sd(&c.wx1)));
        }
        const __m256d r = _mm256_round_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
        const __m256d absMask = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFFLL));
        const __m256d off = _mm256_and_pd(_mm256_sub_pd(v, r), absMask);
        if (_mm256_movemask_pd(_mm256_cmp_pd(off, _mm256_set1_pd(kTieHalfWidth), _CMP_GT_OQ)) & 7) {
            alignas(32) double vv[4], rr[4];
            _mm256_store_pd(vv, v);
            _mm256_store_pd(rr, r);
            Store(out, vv, rr, c, rowStep_, 3);
        } else {
            const __m128i i32 = _mm256_cvttpd_epi32(r);
            const __m128i i16 = _mm_packus_epi32(i32, i32);
            const std::uint32_t bgr = std::uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(i16, i16)));
            const std::uint16_t bg = std::uint16_t(bgr);
            std::memcpy(out, &bg, 2);
            out[2] = static_cast<uchar>(bgr >> 16);
        }
    }

    const uchar* bits_;
    qsizetype bpl_, rowStep_;
    double lastRow_, rowHi_, colHi_;
    int lastSafe_;
};

}  // namespace pf::detail::avx2

#undef PF_AVX2_INLINE

#endif
