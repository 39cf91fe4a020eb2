// Pencil drawing: the edge map's grey levels reshaped on the lightness scale.

#include "sketch/grey_level.h"
#include "sketch/sketch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace pf {

void RgbToHsl(int R, int G, int B, int& H, int& S, int& L)
{
    const double r = R / 255.0;
    const double g = G / 255.0;
    const double b = B / 255.0;
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    const double m = (max + min) / 2;
    double s = 0;
    double hue = 0;
    if (max != min) {
        s = m < 0.5 ? (max - min) / (max + min) : (max - min) / (2 - max - min);
        const double delta = max - min;
        if (r == max)
            hue = (g - b) / delta;
        else if (g == max)
            hue = (b - r) / delta + 2;
        else
            hue = (r - g) / delta + 4;
        hue = hue / 6;
        if (hue < 0)
            hue = hue + 1;
    }
    H = Round(hue * 360);
    S = Round(s * 100);
    L = Round(m * 100);
}

void HslToRgb(int H, int S, int L, int& R, int& G, int& B)
{
    R = G = B = 0;
    if (H < 0 || H > 359 || S < 0 || S > 100 || L < 0 || L > 100)
        return;
    int c[3];
    if (H <= 60) {
        c[0] = 255; c[1] = Round(4.25 * H); c[2] = 0;
    } else if (H <= 120) {
        c[0] = Round(255 - 4.25 * (H - 60)); c[1] = 255; c[2] = 0;
    } else if (H <= 180) {
        c[0] = 0; c[1] = 255; c[2] = Round(4.25 * (H - 120));
    } else if (H <= 240) {
        c[0] = 0; c[1] = Round(255 - 4.25 * (H - 180)); c[2] = 255;
    } else if (H <= 300) {
        c[0] = Round(4.25 * (H - 240)); c[1] = 0; c[2] = 255;
    } else {
        c[0] = 255; c[1] = 0; c[2] = Round(255 - 4.25 * (H - 300));
    }
    const double d = std::fabs((S - 100) / 100.0);
    for (int& x : c)
        x = Round(x - (x - 128) * d);
    const double e = (L - 50) / 50.0;
    if (e > 0) {
        for (int& x : c)
            x = Round(x + e * (255 - x));
    } else if (e < 0) {
        for (int& x : c)
            x = Round(x + e * x);
    }
    R = c[0];
    G = c[1];
    B = c[2];
}

namespace {

void CheckContrast(int p, const char* what)
{
    if (p < 0 || p > 89)
        throw std::invalid_argument(std::string(what) + ": contrast " + std::to_string(p) +
                                    " is outside 0..89");
}

}  // namespace

int PencilLightness(int L0, int p)
{
    CheckContrast(p, "PencilLightness");
    const long double t = std::tan(p * std::numbers::pi_v<long double> / 180);
    int L1;
    if (p >= 45)
        L1 = Round(t * (L0 - p - 5)) + 50;
    else
        L1 = Round(t * (L0 - 55)) + (100 - p);
    return std::clamp(L1, 0, 100);
}

int PencilGrey(int v, int p)
{
    CheckContrast(p, "PencilGrey");
    v = std::clamp(v, 0, 255);
    int H, S, L0;
    RgbToHsl(v, v, v, H, S, L0);
    int R, G, B;
    HslToRgb(H, S, PencilLightness(L0, p), R, G, B);
    return R;  // H = S = 0: all three channels are equal
}

QImage pencil(const QImage& edgeMap, int p)
{
    CheckContrast(p, "pencil");
    const QImage s = sketch_detail::CheckedPicture(edgeMap, "pencil");
    const int w = s.width();
    const int h = s.height();
    QImage d = sketch_detail::AllocatePicture(w, h);

    // The output depends only on the grey level: one table of the 256 greys, and one indexed by
    // the weighted sum 30 R + 59 G + 11 B whose entries at the halves are marked for the exact
    // extended grey.
    std::array<uint8_t, 256> byGrey{};
    for (int v = 0; v < 256; ++v)
        byGrey[size_t(v)] = uint8_t(PencilGrey(v, p));
    constexpr uint16_t halfway = 0x100;
    std::vector<uint16_t> bySum(25501);
    for (int n = 0; n <= 25500; ++n) {
        const int q = n / 100, rest = n % 100;
        bySum[size_t(n)] = rest == 50 ? halfway : byGrey[size_t(q + (rest > 50 ? 1 : 0))];
    }
    const uint16_t* table = bySum.data();

    for (int y = 0; y < h; ++y) {
        const uint8_t* src = s.constScanLine(y);
        uint8_t* out = d.scanLine(y);
        for (int x = 0; x < w; ++x, src += 3, out += 3) {
            const int b = src[0], g = src[1], r = src[2];
            unsigned o = table[sketch_detail::WeightedSum(r, g, b)];
            if (o == halfway)
                o = byGrey[size_t(sketch_detail::GreyLevelExtended(r, g, b))];
            out[0] = uint8_t(o);
            out[1] = uint8_t(o);
            out[2] = uint8_t(o);
        }
    }
    return d;
}

}  // namespace pf
