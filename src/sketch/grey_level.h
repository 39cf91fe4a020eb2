// The sketch filters' grey level, shared by pen and pencil drawing (internal to src/sketch).
#pragma once

#include "picture/picture.h"

#include <QImage>

namespace pf::sketch_detail {

// Round(0.3 R + 0.59 G + 0.11 B) exactly as the extended-precision sum gives it.
inline int GreyLevelExtended(int R, int G, int B)
{
    const long double r = 0.3L * R;
    const long double g = 0.59L * G;
    const long double b = 0.11L * B;
    return Round((r + g) + b);
}

// 100 times the exact weighted sum: 30 R + 59 G + 11 B (0..25500 for bytes).
inline int WeightedSum(int R, int G, int B) { return 30 * R + 59 * G + 11 * B; }

// The extended sum differs from the exact one by far less than 1/100, so it rounds the same way
// unless the exact sum ends in exactly .50; there the representation of the constants decides.
inline bool IsHalfway(int weightedSum) { return weightedSum % 100 == 50; }

inline int GreyLevelFast(int R, int G, int B)
{
    const int n = WeightedSum(R, G, B);
    const int q = n / 100;
    const int rest = n - 100 * q;
    if (rest != 50)
        return q + (rest > 50 ? 1 : 0);
    return GreyLevelExtended(R, G, B);
}

// The picture in the 24-bit layout, or an error naming the caller when there is none.
QImage CheckedPicture(const QImage& picture, const char* what);

using pf::AllocatePicture;

}  // namespace pf::sketch_detail
