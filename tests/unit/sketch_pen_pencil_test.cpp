// Pen and pencil drawing from the edge map, and the HSL routines pencil drawing goes through.

#include "sketch/sketch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

using namespace pf;

namespace {

int ExtendedGrey(int r, int g, int b)
{
    return int(std::nearbyintl(0.3L * r + 0.59L * g + 0.11L * b));
}

// One pixel per colour, left to right, top to bottom, in rows of the given width.
QImage PictureOf(const std::vector<TColor>& colours, int width = 64)
{
    const int height = int((colours.size() + size_t(width) - 1) / size_t(width));
    QImage p = NewPicture(width, height);
    for (size_t i = 0; i < colours.size(); ++i)
        SetPixel(p, int(i % size_t(width)), int(i / size_t(width)), colours[i]);
    return p;
}

// Every colour whose weighted sum lies exactly on a half (where only the extended arithmetic
// decides the grey), then random colours.
std::vector<TColor> HardColours()
{
    std::vector<TColor> c;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; g += 3)
            for (int b = 0; b < 256; ++b)
                if ((30 * r + 59 * g + 11 * b) % 100 == 50)
                    c.push_back(RGBColor(r, g, b));
    std::mt19937 rng(11);
    for (int i = 0; i < 20000; ++i)
        c.push_back(rng() & 0xFFFFFF);
    return c;
}

QImage Greys(const std::vector<int>& greys)
{
    std::vector<TColor> c;
    for (int v : greys)
        c.push_back(RGBColor(v, v, v));
    return PictureOf(c, int(c.size()));
}

// ---- pen ----

TEST(SketchPen, ThresholdIsInclusive)
{
    struct Case { TColor colour; int threshold; TColor expected; };
    const Case cases[] = {
        {RGBColor(0, 0, 50), 6, clBlack},     // grey 5.5 -> 6
        {RGBColor(0, 0, 50), 5, clWhite},
        {RGBColor(0, 0, 150), 16, clBlack},   // grey 16.5 -> 16
        {RGBColor(0, 0, 150), 15, clWhite},
        {RGBColor(100, 100, 100), 100, clBlack},
        {RGBColor(101, 101, 101), 100, clWhite},
        {RGBColor(0, 0, 0), 1, clBlack},
        {RGBColor(1, 1, 1), 1, clBlack},
        {RGBColor(2, 2, 2), 1, clWhite},
        {clWhite, 254, clWhite},
        {clWhite, 255, clBlack},
    };
    for (const Case& c : cases) {
        const QImage out = twovalue(PictureOf({c.colour}, 1), c.threshold);
        EXPECT_EQ(GetPixel(out, 0, 0), c.expected) << std::hex << c.colour << std::dec << " at T " << c.threshold;
    }
}

TEST(SketchPen, TwoFiftyFiveTurnsEverythingBlack)
{
    const QImage out = twovalue(PictureOf(HardColours(), 451), 255);
    ASSERT_EQ(out.format(), PictureFormat);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            ASSERT_EQ(GetPixel(out, x, y), clBlack);
}

TEST(SketchPen, MatchesExtendedGreyOnHalfwayAndRandomColours)
{
    const std::vector<TColor> colours = HardColours();
    const QImage src = PictureOf(colours, 451);
    for (int t : {1, 2, 50, 127, 128, 200, 254}) {
        const QImage out = twovalue(src, t);
        for (size_t i = 0; i < colours.size(); ++i) {
            const TColor c = colours[i];
            const bool black = ExtendedGrey(GetRValue(c), GetGValue(c), GetBValue(c)) <= t;
            ASSERT_EQ(GetPixel(out, int(i % 451), int(i / 451)), black ? clBlack : clWhite)
                << std::hex << c << std::dec << " at T " << t;
        }
    }
}

TEST(SketchPen, RefusesThresholdsOutsideTheSlider)
{
    const QImage src = Greys({10});
    EXPECT_THROW(twovalue(src, 0), std::invalid_argument);
    EXPECT_THROW(twovalue(src, 256), std::invalid_argument);
    EXPECT_THROW(twovalue(QImage(), 100), std::invalid_argument);
}

// ---- HSL ----

TEST(SketchHsl, GreyLightnessSteps)
{
    struct Case { int l; int out; };
    for (Case c : {Case{0, 0}, Case{25, 64}, Case{50, 128}, Case{75, 192}, Case{100, 255}}) {
        int r, g, b;
        HslToRgb(0, 0, c.l, r, g, b);
        EXPECT_EQ(r, c.out) << "L " << c.l;
        EXPECT_EQ(g, c.out) << "L " << c.l;
        EXPECT_EQ(b, c.out) << "L " << c.l;
    }
}

TEST(SketchHsl, HslToRgbHuesSaturationAndRange)
{
    struct Case { int h, s, l, r, g, b; };
    const Case cases[] = {
        {0, 100, 50, 255, 0, 0},
        {30, 100, 50, 255, 128, 0},    // 127.5 to even
        {90, 100, 50, 128, 255, 0},    // 255 - 127.5
        {120, 100, 50, 0, 255, 0},
        {240, 100, 50, 0, 0, 255},
        {300, 100, 50, 255, 0, 255},
        {359, 100, 50, 255, 0, 4},     // 255 - 250.75
        {0, 50, 50, 192, 64, 64},      // 255 - 63.5 -> 191.5 -> 192; 0 + 64
        {0, 100, 75, 255, 128, 128},   // 0 + 0.5 x 255 = 127.5 -> 128
        {0, 100, 25, 128, 0, 0},       // 255 - 127.5
        {360, 100, 50, 0, 0, 0},       // out of range: black
        {-1, 100, 50, 0, 0, 0},
        {0, 101, 50, 0, 0, 0},
        {0, 100, 101, 0, 0, 0},
        {0, -1, 50, 0, 0, 0},
    };
    for (const Case& c : cases) {
        int r, g, b;
        HslToRgb(c.h, c.s, c.l, r, g, b);
        EXPECT_EQ(r, c.r) << c.h << " " << c.s << " " << c.l;
        EXPECT_EQ(g, c.g) << c.h << " " << c.s << " " << c.l;
        EXPECT_EQ(b, c.b) << c.h << " " << c.s << " " << c.l;
    }
}

TEST(SketchHsl, RgbToHsl)
{
    struct Case { int r, g, b, h, s, l; };
    const Case cases[] = {
        {255, 0, 0, 0, 100, 50},
        {0, 255, 0, 120, 100, 50},
        {0, 0, 255, 240, 100, 50},
        {255, 0, 255, 300, 100, 50},   // hue below 0 wraps
        {0, 0, 0, 0, 0, 0},
        {255, 255, 255, 0, 0, 100},
        {128, 128, 128, 0, 0, 50},
        {241, 241, 241, 0, 0, 95},
        {200, 100, 50, 20, 60, 49},
        {50, 100, 200, 220, 60, 49},
        {220, 240, 250, 200, 75, 92},  // light: saturation over 2 - max - min
    };
    for (const Case& c : cases) {
        int h, s, l;
        RgbToHsl(c.r, c.g, c.b, h, s, l);
        EXPECT_EQ(h, c.h) << c.r << " " << c.g << " " << c.b;
        EXPECT_EQ(s, c.s) << c.r << " " << c.g << " " << c.b;
        EXPECT_EQ(l, c.l) << c.r << " " << c.g << " " << c.b;
    }
}

// ---- pencil ----

TEST(SketchPencil, ContrastCurve)
{
    struct Case { int p; int grey; int out; };
    const Case cases[] = {
        {45, 0, 0}, {45, 64, 64}, {45, 128, 128}, {45, 192, 192}, {45, 255, 255},
        {45, 1, 0}, {45, 2, 3}, {45, 241, 242},
        {0, 0, 255}, {0, 128, 255}, {0, 255, 255},
        {89, 0, 0}, {89, 238, 0}, {89, 239, 128}, {89, 240, 128}, {89, 241, 255}, {89, 255, 255},
        {20, 0, 153}, {20, 255, 245},
        {44, 0, 8}, {44, 255, 252},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PencilGrey(c.grey, c.p), c.out) << "grey " << c.grey << " at p " << c.p;
        const QImage out = pencil(Greys({c.grey}), c.p);
        EXPECT_EQ(GetPixel(out, 0, 0), RGBColor(c.out, c.out, c.out)) << "grey " << c.grey << " at p " << c.p;
    }
}

TEST(SketchPencil, ZeroContrastGivesAWhitePicture)
{
    const QImage out = pencil(PictureOf(HardColours(), 451), 0);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            ASSERT_EQ(GetPixel(out, x, y), clWhite);
}

// Every pixel equals the routines applied one by one to the extended grey.
TEST(SketchPencil, MatchesTheRoutinesOnHalfwayAndRandomColours)
{
    const std::vector<TColor> colours = HardColours();
    const QImage src = PictureOf(colours, 451);
    for (int p : {0, 10, 44, 45, 46, 60, 89}) {
        const long double t = std::tan(p * 3.14159265358979323846264338327950288L / 180);
        int byGrey[256];
        for (int v = 0; v < 256; ++v) {
            int h, s, l0;
            RgbToHsl(v, v, v, h, s, l0);
            int l1 = p >= 45 ? int(std::nearbyintl(t * (l0 - p - 5))) + 50
                             : int(std::nearbyintl(t * (l0 - 55))) + (100 - p);
            l1 = std::clamp(l1, 0, 100);
            int r, g, b;
            HslToRgb(h, s, l1, r, g, b);
            ASSERT_TRUE(r == g && g == b);
            byGrey[v] = r;
        }
        const QImage out = pencil(src, p);
        ASSERT_EQ(out.size(), src.size());
        for (size_t i = 0; i < colours.size(); ++i) {
            const TColor c = colours[i];
            const int o = byGrey[ExtendedGrey(GetRValue(c), GetGValue(c), GetBValue(c))];
            ASSERT_EQ(GetPixel(out, int(i % 451), int(i / 451)), RGBColor(o, o, o))
                << std::hex << c << std::dec << " at p " << p;
        }
    }
}

TEST(SketchPencil, RefusesContrastOutsideTheSlider)
{
    const QImage src = Greys({10});
    EXPECT_THROW(pencil(src, -1), std::invalid_argument);
    EXPECT_THROW(pencil(src, 90), std::invalid_argument);
    EXPECT_THROW(pencil(QImage(), 45), std::invalid_argument);
}

}  // namespace
