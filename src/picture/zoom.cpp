#include "picture/zoom.h"

#include "picture/formats/formats.h"
#include "picture/picture.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace pf {

bool PictureSizeAllowed(long long width, long long height)
{
    return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide
        && width * height <= kMaxPicturePixels;
}

namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;

// For each destination index along one axis: the source indices it covers and the share of
// each (fixed point, summing to kOne). Destination i covers [i s, (i + 1) s) with s = src / dst.
struct Taps {
    std::vector<int> first;     // first source index, per destination index
    std::vector<int> count;     // number of source indices
    std::vector<int> offset;    // into weights
    std::vector<uint16_t> weights;
    int maxCount = 0;
};

Taps MakeTaps(int src, int dst)
{
    Taps t;
    t.first.resize(size_t(dst));
    t.count.resize(size_t(dst));
    t.offset.resize(size_t(dst));
    const double s = double(src) / dst;
    for (int i = 0; i < dst; ++i) {
        const double a = i * s, b = (i + 1) * s;
        int j0 = int(a);
        int j1 = std::min(src - 1, int(b - 1e-9));
        if (j1 < j0)
            j1 = j0;
        t.first[size_t(i)] = j0;
        t.count[size_t(i)] = j1 - j0 + 1;
        t.offset[size_t(i)] = int(t.weights.size());
        int sum = 0;
        for (int j = j0; j <= j1; ++j) {
            const double cover = std::min(b, double(j + 1)) - std::max(a, double(j));
            int w = int(cover / s * kOne + 0.5);
            if (j == j1)
                w = kOne - sum;   // the shares add up exactly
            sum += w;
            t.weights.push_back(uint16_t(w));
        }
        t.maxCount = std::max(t.maxCount, j1 - j0 + 1);
    }
    return t;
}

}  // namespace

QImage ZoomInOut(const QImage& picture, int width, int height)
{
    if (!PictureSizeAllowed(width, height))
        throw std::invalid_argument("The new picture size " + std::to_string(width) + " x " + std::to_string(height)
                                    + " is outside 1 to 32767 pixels a side and 256 megapixels.");
    if (picture.isNull())
        throw std::invalid_argument("There is no picture to resize.");
    const QImage src = ToPictureFormat(picture);
    QImage out = AllocatePicture(width, height);

    // Each new pixel is the average colour of the picture area it covers: a horizontal pass per
    // source row (kept in a small ring, since consecutive new rows share source rows), then a
    // vertical blend of those rows.
    const Taps tx = MakeTaps(src.width(), width), ty = MakeTaps(src.height(), height);
    const int ringRows = ty.maxCount + 1;
    const size_t rowLen = size_t(width) * 3;
    std::vector<uint16_t> ring(size_t(ringRows) * rowLen);
    std::vector<int> ringHolds(size_t(ringRows), -1);
    std::vector<uint32_t> acc(rowLen);

    auto horizontal = [&](int j) -> const uint16_t* {
        uint16_t* row = ring.data() + size_t(j % ringRows) * rowLen;
        if (ringHolds[size_t(j % ringRows)] == j)
            return row;
        ringHolds[size_t(j % ringRows)] = j;
        const uchar* s = src.constScanLine(j);
        for (int i = 0; i < width; ++i) {
            const uchar* p = s + 3 * tx.first[size_t(i)];
            const uint16_t* w = tx.weights.data() + tx.offset[size_t(i)];
            if (tx.count[size_t(i)] == 1) {   // enlarging: mostly one source pixel
                row[3 * i] = uint16_t(p[0] << 8);
                row[3 * i + 1] = uint16_t(p[1] << 8);
                row[3 * i + 2] = uint16_t(p[2] << 8);
                continue;
            }
            uint32_t b = 0, g = 0, r = 0;
            for (int k = 0, n = tx.count[size_t(i)]; k < n; ++k, p += 3) {
                b += p[0] * uint32_t(w[k]);
                g += p[1] * uint32_t(w[k]);
                r += p[2] * uint32_t(w[k]);
            }
            // Keep 8 fractional bits: at most 255 * 256, which fits 16 bits.
            row[3 * i] = uint16_t((b + 32) >> 6);
            row[3 * i + 1] = uint16_t((g + 32) >> 6);
            row[3 * i + 2] = uint16_t((r + 32) >> 6);
        }
        return row;
    };

    constexpr int shift = kWeightBits + 8;
    constexpr uint32_t half = 1u << (shift - 1);
    for (int y = 0; y < height; ++y) {
        const uint16_t* w = ty.weights.data() + ty.offset[size_t(y)];
        const int n = ty.count[size_t(y)];
        uchar* d = out.scanLine(y);
        if (n == 1) {
            const uint16_t* h = horizontal(ty.first[size_t(y)]);
            for (size_t i = 0; i < rowLen; ++i)
                d[i] = uchar((h[i] + 128u) >> 8);
            continue;
        }
        if (n == 2) {
            const uint16_t* h0 = horizontal(ty.first[size_t(y)]);
            const uint16_t* h1 = horizontal(ty.first[size_t(y)] + 1);
            const uint32_t w0 = w[0], w1 = w[1];
            for (size_t i = 0; i < rowLen; ++i)
                d[i] = uchar((h0[i] * w0 + h1[i] * w1 + half) >> shift);
            continue;
        }
        std::fill(acc.begin(), acc.end(), 0u);
        for (int k = 0; k < n; ++k) {
            const uint16_t* h = horizontal(ty.first[size_t(y)] + k);
            const uint32_t wk = w[k];
            for (size_t i = 0; i < rowLen; ++i)
                acc[i] += h[i] * wk;
        }
        for (size_t i = 0; i < rowLen; ++i)
            d[i] = uchar((acc[i] + half) >> shift);
    }
    return out;
}

}  // namespace pf
