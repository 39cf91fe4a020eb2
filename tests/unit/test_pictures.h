// Pictures the unit tests share.
#pragma once

#include "picture/picture.h"

#include <QImage>
#include <random>

namespace pf {

// A picture of random bytes, the same for the same seed.
inline QImage NoisePicture(int w, int h, unsigned seed)
{
    QImage p = NewPicture(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y) {
        uchar* row = p.scanLine(y);
        for (int i = 0; i < 3 * w; ++i)
            row[i] = uchar(rng());
    }
    return p;
}

}  // namespace pf
