// The edge map: an inverted colour edge image, the starting point of pen and pencil drawing.

#include "sketch/grey_level.h"
#include "sketch/sketch.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pf {
namespace {

// Edge strength of one channel byte at offset i of the row `mid` (rows `up` and `down` around it;
// its left and right neighbours of the same channel lie 3 bytes away). greenWeight is 2 for the
// green byte, 1 for red and blue.
inline uint8_t EdgeByte(const uint8_t* up, const uint8_t* mid, const uint8_t* down, qsizetype i,
                        int greenWeight)
{
    const int ul = up[i - 3], uc = up[i], ur = up[i + 3];
    const int ml = mid[i - 3], mr = mid[i + 3];
    const int dl = down[i - 3], dc = down[i], dr = down[i + 3];
    const int k1 = std::clamp(ur + 2 * mr + dr - ul - 2 * ml - dl, 0, 255);
    const int k2 = std::clamp(dl + dc + dr - ul - uc - ur, 0, 255);
    const int k3 = std::clamp(ul + ml + dl - ur - greenWeight * mr - dr, 0, 255);
    return uint8_t(255 - std::max({k1, k2, k3}));
}

#if defined(__SSE2__)
// The same for the 16 bytes from offset i; phase = i % 3 picks which lanes hold green.
inline void EdgeBytes16(const uint8_t* up, const uint8_t* mid, const uint8_t* down, uint8_t* out,
                        qsizetype i, const __m128i greenLo[3], const __m128i greenHi[3], int phase)
{
    auto load = [](const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    const __m128i zero = _mm_setzero_si128();
    const __m128i b_ul = load(up + i - 3), b_uc = load(up + i), b_ur = load(up + i + 3);
    const __m128i b_ml = load(mid + i - 3), b_mr = load(mid + i + 3);
    const __m128i b_dl = load(down + i - 3), b_dc = load(down + i), b_dr = load(down + i + 3);

    __m128i k[3][2];
    for (int half = 0; half < 2; ++half) {
        auto widen = [&](__m128i v) {
            return half == 0 ? _mm_unpacklo_epi8(v, zero) : _mm_unpackhi_epi8(v, zero);
        };
        const __m128i ul = widen(b_ul), uc = widen(b_uc), ur = widen(b_ur);
        const __m128i ml = widen(b_ml), mr = widen(b_mr);
        const __m128i dl = widen(b_dl), dc = widen(b_dc), dr = widen(b_dr);
        const __m128i left = _mm_add_epi16(_mm_add_epi16(ul, dl), ml);
        const __m128i right = _mm_add_epi16(_mm_add_epi16(ur, dr), mr);
        // k1 = (ur + mr + dr) + mr - (ul + ml + dl) - ml
        k[0][half] = _mm_sub_epi16(_mm_add_epi16(right, mr), _mm_add_epi16(left, ml));
        // k2 = (dl + dc + dr) - (ul + uc + ur)
        k[1][half] = _mm_sub_epi16(_mm_add_epi16(_mm_add_epi16(dl, dc), dr),
                                   _mm_add_epi16(_mm_add_epi16(ul, uc), ur));
        // k3 = (ul + ml + dl) - (ur + mr + dr) - mr on green
        const __m128i extra = _mm_and_si128(mr, half == 0 ? greenLo[phase] : greenHi[phase]);
        k[2][half] = _mm_sub_epi16(_mm_sub_epi16(left, right), extra);
    }
    // Packing with unsigned saturation clamps each value to 0..255.
    const __m128i c1 = _mm_packus_epi16(k[0][0], k[0][1]);
    const __m128i c2 = _mm_packus_epi16(k[1][0], k[1][1]);
    const __m128i c3 = _mm_packus_epi16(k[2][0], k[2][1]);
    const __m128i v = _mm_max_epu8(_mm_max_epu8(c1, c2), c3);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_xor_si128(v, _mm_set1_epi8(char(0xFF))));
}
#endif

void InvertRow(const uint8_t* src, uint8_t* out, qsizetype bytes)
{
    for (qsizetype i = 0; i < bytes; ++i)
        out[i] = uint8_t(255 - src[i]);
}

}  // namespace

QImage picsobel(const QImage& picture)
{
    const QImage s = sketch_detail::CheckedPicture(picture, "picsobel");
    const int w = s.width();
    const int h = s.height();
    QImage d = sketch_detail::AllocatePicture(w, h);
    const qsizetype rowBytes = qsizetype(w) * 3;

    if (w < 3 || h < 3) {
        for (int y = 0; y < h; ++y)
            InvertRow(s.constScanLine(y), d.scanLine(y), rowBytes);
        return d;
    }

#if defined(__SSE2__)
    // Lanes holding green (byte 1 of blue, green, red) for a run starting at offset phase mod 3.
    __m128i greenLo[3], greenHi[3];
    for (int phase = 0; phase < 3; ++phase) {
        alignas(16) int16_t lanes[16];
        for (int j = 0; j < 16; ++j)
            lanes[j] = (phase + j) % 3 == 1 ? int16_t(-1) : int16_t(0);
        greenLo[phase] = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes));
        greenHi[phase] = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes + 8));
    }
#endif

    const qsizetype first = 3;              // first interior byte (column 1)
    const qsizetype end = rowBytes - 3;     // one past the last interior byte (column W - 2)
    InvertRow(s.constScanLine(0), d.scanLine(0), rowBytes);
    for (int y = 1; y < h - 1; ++y) {
        const uint8_t* up = s.constScanLine(y - 1);
        const uint8_t* mid = s.constScanLine(y);
        const uint8_t* down = s.constScanLine(y + 1);
        uint8_t* out = d.scanLine(y);
        InvertRow(mid, out, 3);
        InvertRow(mid + end, out + end, 3);
        qsizetype i = first;
#if defined(__SSE2__)
        if (end - first >= 16) {
            int phase = int(first % 3);
            for (; i + 16 <= end; i += 16, phase = (phase + 1) % 3)
                EdgeBytes16(up, mid, down, out, i, greenLo, greenHi, phase);
            if (i < end) {
                // The last bytes as one more run ending at the row's interior end; the overlap
                // is written twice with the same values.
                const qsizetype last = end - 16;
                EdgeBytes16(up, mid, down, out, last, greenLo, greenHi, int(last % 3));
                i = end;
            }
        }
#endif
        for (; i < end; ++i)
            out[i] = EdgeByte(up, mid, down, i, i % 3 == 1 ? 2 : 1);
    }
    InvertRow(s.constScanLine(h - 1), d.scanLine(h - 1), rowBytes);
    return d;
}

}  // namespace pf
