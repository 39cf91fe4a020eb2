#include "editor/print_layout.h"

#include <algorithm>
#include <cmath>

namespace pf {

QRect PrintRect(QSize picture, QSize page)
{
    long long w = picture.width(), h = picture.height();
    const long long pw = page.width(), ph = page.height();
    if (w <= 0 || h <= 0 || pw <= 0 || ph <= 0)
        return QRect();
    while (h < ph / 2 && w < pw / 2) {
        h *= 2;
        w *= 2;
    }
    if (w > pw || h > ph) {
        const double scale = std::min(double(pw) / double(w), double(ph) / double(h));
        w = std::clamp<long long>(std::llround(double(w) * scale), 1, pw);
        h = std::clamp<long long>(std::llround(double(h) * scale), 1, ph);
    }
    const long long left = (pw - w) / 2, top = (ph - h) / 2;
    return QRect(int(left), int(top), int(w), int(h));
}

}  // namespace pf
