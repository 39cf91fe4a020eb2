#include "picture/picture.h"
#include "test_pictures.h"
#include "warps/sampler.h"
#include "warps/warp_trace.h"
#include "warps/warps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>
#include <stdexcept>

using namespace pf;

namespace {

// A picture whose every pixel tells its position: red = x, green = y, blue = 100.
QImage CoordinatePicture(int w, int h)
{
    QImage p = NewPicture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(p, x, y, RGBColor(x, y, 100));
    return p;
}

struct SampleCase {
    const char* what;
    double x, y;            // position asked for
    double wantX, wantY;    // position after clamping
    int wantR, wantG;       // colour expected on the coordinate picture (10 x 8)
};

// The coordinate picture is 10 x 8: blending it gives the sampled position back (rounded).
class SamplerPositions : public ::testing::TestWithParam<SampleCase> {};

TEST_P(SamplerPositions, ClampsAndReadsTheRightPixels)
{
    const SampleCase& c = GetParam();
    const QImage pic = CoordinatePicture(10, 8);
    double x = c.x, y = c.y;
    const TColor got = xiangsujuhe(x, y, pic);
    EXPECT_DOUBLE_EQ(x, c.wantX);
    EXPECT_DOUBLE_EQ(y, c.wantY);
    EXPECT_EQ(GetRValue(got), c.wantR);
    EXPECT_EQ(GetGValue(got), c.wantG);
    EXPECT_EQ(GetBValue(got), 100);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SamplerPositions,
    ::testing::Values(
        SampleCase{"integer position is that pixel", 7.0, 4.0, 7.0, 4.0, 7, 4},
        SampleCase{"last row y = H-1 gives row H-2", 3.0, 7.0, 3.0, 6.0, 3, 6},
        SampleCase{"y = H-1.5 blends rows H-2 and H-1 (6.5 to even 6)", 3.0, 6.5, 3.0, 6.5, 3, 6},
        SampleCase{"y = H-1.25 blends towards the last row", 3.0, 6.75, 3.0, 6.75, 3, 7},
        SampleCase{"x = W-1 is pulled back to W-2", 9.0, 2.0, 8.0, 2.0, 8, 2},
        SampleCase{"x = W-1.5 is pulled back to W-2", 8.5, 2.0, 8.0, 2.0, 8, 2},
        SampleCase{"negative x and y give pixel (0, 0)", -3.2, -0.1, 0.0, 0.0, 0, 0},
        SampleCase{"y far below comes back as H-2", 4.0, 18.0, 4.0, 6.0, 4, 6},
        SampleCase{"x far right comes back as W-2", 1e9, 1.0, 8.0, 1.0, 8, 1},
        SampleCase{"infinite x comes back as W-2", HUGE_VAL, 1.0, 8.0, 1.0, 8, 1},
        SampleCase{"-infinite y comes back as 0", 1.0, -HUGE_VAL, 1.0, 0.0, 1, 0}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct TieCase {
    int left, right;  // red of pixels (2, 3) and (3, 3)
    double x;         // sampled at (x, 3.0)
    int want;
};

class SamplerTies : public ::testing::TestWithParam<TieCase> {};

TEST_P(SamplerTies, RoundsHalvesToEvenInExtendedPrecision)
{
    const TieCase& c = GetParam();
    QImage pic = NewPicture(6, 6);
    const int x0 = int(c.x);
    SetPixel(pic, x0, 3, RGBColor(c.left, c.left, c.left));
    SetPixel(pic, x0 + 1, 3, RGBColor(c.right, c.right, c.right));
    double x = c.x, y = 3.0;
    const TColor got = xiangsujuhe(x, y, pic);
    EXPECT_EQ(GetRValue(got), c.want);
    EXPECT_EQ(GetGValue(got), c.want);
    EXPECT_EQ(GetBValue(got), c.want);
}

INSTANTIATE_TEST_SUITE_P(Table, SamplerTies,
                         ::testing::Values(TieCase{10, 13, 2.5, 12},   // 11.5 goes to 12
                                           TieCase{10, 11, 2.5, 10},   // 10.5 goes to 10
                                           TieCase{0, 5, 0.1, 1},      // 0.5000000000000000277 in extended
                                           TieCase{255, 0, 0.5, 128},  // 127.5 goes to 128
                                           TieCase{0, 255, 0.5, 128}));

TEST(Sampler, BlendsBothRowsAndColumns)
{
    // Corners 0, 100 (top), 200, 40 (bottom): at (0.25, 0.5) the columns give 100 and 70,
    // the row blend 92.5, which goes to the even 92.
    QImage pic = NewPicture(3, 3);
    SetPixel(pic, 0, 0, RGBColor(0, 0, 0));
    SetPixel(pic, 1, 0, RGBColor(100, 0, 0));
    SetPixel(pic, 0, 1, RGBColor(200, 0, 0));
    SetPixel(pic, 1, 1, RGBColor(40, 0, 0));
    double x = 0.25, y = 0.5;
    EXPECT_EQ(GetRValue(xiangsujuhe(x, y, pic)), 92);
}

TEST(Sampler, AgreesWithTheExtendedBlendEverywhere)
{
    // Random positions, and positions on quarter and eighth steps where ties are common.
    const QImage pic = NoisePicture(37, 23, 7);
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> ux(-3, 40), uy(-3, 26);
    std::uniform_int_distribution<int> steps(-16, 320);
    int ties = 0;
    for (int i = 0; i < 200000; ++i) {
        double x, y;
        if (i % 2) {
            x = ux(rng);
            y = uy(rng);
        } else {
            x = steps(rng) / 8.0;
            y = steps(rng) / 16.0;
        }
        double x1 = x, y1 = y, x2 = x, y2 = y;
        const TColor fast = xiangsujuhe(x1, y1, pic);
        const TColor exact = SampleExtended(x2, y2, pic);
        ASSERT_EQ(fast, exact) << "at " << x << ", " << y;
        ASSERT_EQ(x1, x2);
        ASSERT_EQ(y1, y2);
        ties += (x1 - int(x1) == 0.5);
    }
    EXPECT_GT(ties, 1000);
}

// The sampler's run forms (portable and, where the processor has it, AVX2) write exactly what
// xiangsujuhe gives for each position, along columns and rows, skip positions that are no
// number, and write nothing else.
TEST(Sampler, RunFormsMatchTheSinglePixelSampler)
{
    std::mt19937 rng(21);
    for (const QSize size : {QSize(37, 23), QSize(64, 16), QSize(2, 2), QSize(1, 5), QSize(6, 1), QSize(1, 1)}) {
        const QImage src = NoisePicture(size.width(), size.height(), unsigned(size.width() * 100 + size.height()));
        const detail::SourceView view(src);
        std::uniform_real_distribution<double> ux(-2, size.width() + 2), uy(-2, size.height() + 2);
        std::uniform_int_distribution<int> pick(0, 9);
        const int n = 41;
        std::vector<double> xs(n), ys(n);
        for (int round = 0; round < 200; ++round) {
            for (int j = 0; j < n; ++j) {
                const int p = pick(rng);
                xs[size_t(j)] = p == 0 ? std::nan("") : p < 4 ? std::floor(ux(rng) * 4) / 4 : ux(rng);
                ys[size_t(j)] = p == 1 ? std::nan("") : p == 2 ? std::floor(uy(rng)) : uy(rng);
            }
            const bool alongRow = round % 2;
            QImage canvas = NewPicture(alongRow ? n + 2 : 3, alongRow ? 3 : n + 2);
            canvas.fill(Qt::white);
            QImage portable = canvas.copy(), fastest = canvas.copy();
            const qsizetype stride = alongRow ? 3 : canvas.bytesPerLine();
            uchar* at1 = portable.bits() + portable.bytesPerLine() + 3;
            uchar* at2 = fastest.bits() + fastest.bytesPerLine() + 3;
            const auto w1 = detail::SampleRunPortable(view, xs.data(), ys.data(), n, at1, stride);
            const auto w2 = detail::SampleRunAvx2(view, xs.data(), ys.data(), n, at2, stride);
            int expectedWritten = 0;
            for (int j = 0; j < n; ++j) {
                const int x = alongRow ? 1 + j : 1, y = alongRow ? 1 : 1 + j;
                TColor want = clWhite;
                if (!std::isnan(xs[size_t(j)]) && !std::isnan(ys[size_t(j)])) {
                    double sx = xs[size_t(j)], sy = ys[size_t(j)];
                    want = xiangsujuhe(sx, sy, src);
                    ++expectedWritten;
                }
                ASSERT_EQ(GetPixel(portable, x, y), want) << j;
                ASSERT_EQ(GetPixel(fastest, x, y), want) << j;
            }
            EXPECT_EQ(w1, expectedWritten);
            EXPECT_EQ(w2, expectedWritten);
            // Nothing outside the run was touched.
            for (int y = 0; y < canvas.height(); ++y)
                for (int x = 0; x < canvas.width(); ++x)
                    if ((alongRow ? y != 1 || x == 0 || x > n : x != 1 || y == 0 || y > n)) {
                        ASSERT_EQ(GetPixel(portable, x, y), clWhite);
                        ASSERT_EQ(GetPixel(fastest, x, y), clWhite);
                    }
        }
    }
}

TEST(Sampler, TinyPicturesGiveTheirOnePixelOrLine)
{
    QImage one = NewPicture(1, 1);
    SetPixel(one, 0, 0, RGBColor(1, 2, 3));
    for (double v : {-5.0, 0.0, 0.4, 3.0}) {
        double x = v, y = v;
        EXPECT_EQ(xiangsujuhe(x, y, one), RGBColor(1, 2, 3));
        EXPECT_EQ(x, 0.0);
        EXPECT_EQ(y, 0.0);
    }
    // One column: rows still blend; one row: columns still blend.
    QImage column = NewPicture(1, 3);
    SetPixel(column, 0, 0, RGBColor(10, 0, 0));
    SetPixel(column, 0, 1, RGBColor(20, 0, 0));
    double x = 7, y = 0.25;
    EXPECT_EQ(GetRValue(xiangsujuhe(x, y, column)), 12);  // 12.5 goes to 12
    EXPECT_EQ(x, 0.0);
    QImage row = NewPicture(3, 1);
    SetPixel(row, 0, 0, RGBColor(0, 50, 0));
    SetPixel(row, 1, 0, RGBColor(0, 30, 0));
    x = 0.5;
    y = 2;
    EXPECT_EQ(GetGValue(xiangsujuhe(x, y, row)), 40);
    EXPECT_EQ(y, 0.0);
}

TEST(Sampler, RefusesPicturesItCannotRead)
{
    double x = 0, y = 0;
    EXPECT_THROW(xiangsujuhe(x, y, QImage()), std::invalid_argument);
    QImage other(4, 4, QImage::Format_RGB32);
    other.fill(0);
    EXPECT_THROW(xiangsujuhe(x, y, other), std::invalid_argument);
}

}  // namespace
