// Pen drawing: the edge map thresholded into black and white.

#include "sketch/grey_level.h"
#include "sketch/sketch.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace pf {

QImage twovalue(const QImage& edgeMap, int threshold)
{
    if (threshold < 1 || threshold > 255)
        throw std::invalid_argument("twovalue: threshold " + std::to_string(threshold) +
                                    " is outside 1..255");
    const QImage s = sketch_detail::CheckedPicture(edgeMap, "twovalue");
    const int w = s.width();
    const int h = s.height();
    QImage d = sketch_detail::AllocatePicture(w, h);

    // grey <= T exactly when 30 R + 59 G + 11 B lies below 100 T + 50, or on it (a half) and the
    // extended sum rounds down to T.
    const int limit = 100 * threshold + 50;
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = s.constScanLine(y);
        uint8_t* out = d.scanLine(y);
        for (int x = 0; x < w; ++x, src += 3, out += 3) {
            const int b = src[0], g = src[1], r = src[2];
            const int n = sketch_detail::WeightedSum(r, g, b);
            bool black = n < limit;
            if (n == limit)
                black = sketch_detail::GreyLevelExtended(r, g, b) <= threshold;
            const uint8_t v = black ? 0 : 255;
            out[0] = v;
            out[1] = v;
            out[2] = v;
        }
    }
    return d;
}

}  // namespace pf
