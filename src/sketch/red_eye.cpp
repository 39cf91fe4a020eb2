// Red-eye removal: a 3 x 3 median of every interior pixel, each channel on its own.

#include "sketch/grey_level.h"
#include "sketch/sketch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pf {

void SelectionSort(std::span<int> values, int n)
{
    if (n >= 0 && size_t(n) >= values.size())
        throw std::invalid_argument("SelectionSort: " + std::to_string(n + 1) + " entries asked of " +
                                    std::to_string(values.size()));
    for (int i = 0; i <= n - 1; ++i)
        for (int j = n; j >= i + 1; --j)
            if (values[size_t(j)] < values[size_t(i)])
                std::swap(values[size_t(i)], values[size_t(j)]);
}

namespace {

// The median of nine values given as three columns (a above, b middle, c below) at the left,
// centre and right: sort each column, then the median is the middle one of the largest column
// minimum, the middle column median and the smallest column maximum. Written for any type with
// Min and Max so the same network runs on single bytes and on 16 bytes at once.
template <typename V, typename MinF, typename MaxF>
inline V Median9(V la, V lb, V lc, V ca, V cb, V cc, V ra, V rb, V rc, MinF mn, MaxF mx)
{
    auto sort2 = [&](V& p, V& q) {
        const V lo = mn(p, q);
        q = mx(p, q);
        p = lo;
    };
    auto sort3 = [&](V& p, V& q, V& r) {
        sort2(p, q);
        sort2(q, r);
        sort2(p, q);
    };
    auto med3 = [&](V p, V q, V r) { return mx(mn(p, q), mn(mx(p, q), r)); };
    sort3(la, lb, lc);
    sort3(ca, cb, cc);
    sort3(ra, rb, rc);
    const V lowest = mx(mx(la, ca), ra);
    const V middle = med3(lb, cb, rb);
    const V highest = mn(mn(lc, cc), rc);
    return med3(lowest, middle, highest);
}

inline uint8_t MedianByte(const uint8_t* up, const uint8_t* mid, const uint8_t* down, qsizetype i)
{
    auto mn = [](uint8_t p, uint8_t q) { return std::min(p, q); };
    auto mx = [](uint8_t p, uint8_t q) { return std::max(p, q); };
    return Median9<uint8_t>(up[i - 3], mid[i - 3], down[i - 3], up[i], mid[i], down[i], up[i + 3],
                            mid[i + 3], down[i + 3], mn, mx);
}

#if defined(__SSE2__)
inline void MedianBytes16(const uint8_t* up, const uint8_t* mid, const uint8_t* down, uint8_t* out,
                          qsizetype i)
{
    auto load = [](const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    auto mn = [](__m128i p, __m128i q) { return _mm_min_epu8(p, q); };
    auto mx = [](__m128i p, __m128i q) { return _mm_max_epu8(p, q); };
    const __m128i m = Median9<__m128i>(load(up + i - 3), load(mid + i - 3), load(down + i - 3),
                                       load(up + i), load(mid + i), load(down + i), load(up + i + 3),
                                       load(mid + i + 3), load(down + i + 3), mn, mx);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), m);
}
#endif

}  // namespace

QImage RedEye(const QImage& picture)
{
    const QImage s = sketch_detail::CheckedPicture(picture, "RedEye");
    const int w = s.width();
    const int h = s.height();
    if (w < 3 || h < 3)
        return s;
    QImage d = sketch_detail::AllocatePicture(w, h);
    const qsizetype rowBytes = qsizetype(w) * 3;
    const qsizetype first = 3;           // column 1
    const qsizetype end = rowBytes - 3;  // one past column W - 2

    std::memcpy(d.scanLine(0), s.constScanLine(0), size_t(rowBytes));
    for (int y = 1; y < h - 1; ++y) {
        const uint8_t* up = s.constScanLine(y - 1);
        const uint8_t* mid = s.constScanLine(y);
        const uint8_t* down = s.constScanLine(y + 1);
        uint8_t* out = d.scanLine(y);
        std::memcpy(out, mid, 3);
        std::memcpy(out + end, mid + end, 3);
        qsizetype i = first;
#if defined(__SSE2__)
        if (end - first >= 16) {
            for (; i + 16 <= end; i += 16)
                MedianBytes16(up, mid, down, out, i);
            if (i < end) {
                MedianBytes16(up, mid, down, out, end - 16);  // overlap written twice, same values
                i = end;
            }
        }
#endif
        for (; i < end; ++i)
            out[i] = MedianByte(up, mid, down, i);
    }
    std::memcpy(d.scanLine(h - 1), s.constScanLine(h - 1), size_t(rowBytes));
    return d;
}

QImage RedEyeBySelectionSort(const QImage& picture)
{
    const QImage s = sketch_detail::CheckedPicture(picture, "RedEyeBySelectionSort");
    QImage d = s.copy();
    if (d.isNull())
        throw std::bad_alloc();
    const int w = s.width();
    const int h = s.height();
    int values[3][9];  // red, green, blue
    for (int y = 1; y <= h - 2; ++y) {
        uint8_t* out = d.scanLine(y);
        for (int x = 1; x <= w - 2; ++x) {
            int k = 0;
            for (int row = y - 1; row <= y + 1; ++row) {
                const uint8_t* src = s.constScanLine(row);
                for (int col = x - 1; col <= x + 1; ++col, ++k) {
                    values[0][k] = src[3 * col + 2];
                    values[1][k] = src[3 * col + 1];
                    values[2][k] = src[3 * col];
                }
            }
            for (auto& channel : values)
                SelectionSort(channel, 8);
            out[3 * x + 2] = uint8_t(values[0][4]);
            out[3 * x + 1] = uint8_t(values[1][4]);
            out[3 * x] = uint8_t(values[2][4]);
        }
    }
    return d;
}

}  // namespace pf
