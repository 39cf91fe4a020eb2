// The worked examples of the warps and the smear: source positions, visited rows, progress,
// what stays put. Sources are checked through the engine's trace (the position each mapping
// computes) and through a picture whose colours name their own coordinates (what was read).
#include "picture/picture.h"
#include "test_pictures.h"
#include "warps/warp_trace.h"
#include "warps/warps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace pf;

namespace {

// red = x, green = y (low bytes), blue = the high nibbles of both.
TColor Code(int x, int y) { return RGBColor(x & 0xFF, y & 0xFF, (x >> 8) | ((y >> 8) << 4)); }

QImage CoordinatePicture(int w, int h)
{
    QImage p = NewPicture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(p, x, y, Code(x, y));
    return p;
}

struct Recorder : WarpProgress {
    std::string events;  // 's' per step, 'r' per reset
    int steps() const { return int(std::count(events.begin(), events.end(), 's')); }
    int resets() const { return int(std::count(events.begin(), events.end(), 'r')); }
    void step() override { events += 's'; }
    void reset() override { events += 'r'; }
};

using Visits = std::map<std::pair<int, int>, WarpVisit>;

Visits Index(const std::vector<WarpVisit>& list)
{
    Visits m;
    for (const WarpVisit& v : list)
        m[{v.x, v.y}] = v;  // a later stroke class replaces an earlier one
    return m;
}

Visits Trace(WarpKind kind, QSize size, int X, int Y, int r, int d)
{
    WarpProgress none;
    return Index(TraceWarp(kind, size, X, Y, r, d, none));
}

// The rows visited in one column, as a set.
std::set<int> RowsOf(const Visits& v, int x)
{
    std::set<int> rows;
    for (const auto& [p, visit] : v)
        if (p.first == x)
            rows.insert(p.second);
    return rows;
}

std::set<int> Range(int lo, int hi)
{
    std::set<int> s;
    for (int i = lo; i <= hi; ++i)
        s.insert(i);
    return s;
}

// ---- Source positions ---------------------------------------------------------------------

struct SourceCase {
    const char* what;
    WarpKind kind;
    int x, y;
    double sx, sy;
    bool nearest;
};

class WarpSources : public ::testing::TestWithParam<SourceCase> {};

// Sliders 50 and 15 at 100 % (r 50, d 15), click (100, 100); twists: r 100, d 10, click (200, 200).
TEST_P(WarpSources, MapTheDestinationToTheWorkedSource)
{
    const SourceCase& c = GetParam();
    const bool twist = c.kind == WarpKind::Sphericalyouxuan || c.kind == WarpKind::Sphericalzuoxuan;
    const Visits v = twist ? Trace(c.kind, QSize(400, 400), 200, 200, 100, 10)
                           : Trace(c.kind, QSize(300, 300), 100, 100, 50, 15);
    const auto it = v.find({c.x, c.y});
    ASSERT_NE(it, v.end()) << "not visited";
    EXPECT_NEAR(it->second.sx, c.sx, 5e-5);
    EXPECT_NEAR(it->second.sy, c.sy, 5e-5);
    EXPECT_EQ(it->second.nearest, c.nearest);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WarpSources,
    ::testing::Values(
        SourceCase{"expand, row b", WarpKind::Sphericalpengzhang, 110, 100, 108.3997, 100, true},
        SourceCase{"expand", WarpKind::Sphericalpengzhang, 110, 80, 108.6137, 82.7726, false},
        SourceCase{"shrink, row b", WarpKind::Sphericalshousuo, 110, 100, 111.8752, 100, true},
        SourceCase{"shrink", WarpKind::Sphericalshousuo, 110, 80, 111.4826, 77.0348, false},
        SourceCase{"vertical expand", WarpKind::Verticalpengzhang, 100, 110, 100, 108.3997, false},
        SourceCase{"vertical expand", WarpKind::Verticalpengzhang, 110, 80, 110, 82.7726, false},
        SourceCase{"vertical expand, rim", WarpKind::Verticalpengzhang, 149, 110, 149, 110.0009, false},
        SourceCase{"horizontal expand", WarpKind::Horizontalpengzhang, 110, 100, 108.3997, 100, false},
        SourceCase{"horizontal expand", WarpKind::Horizontalpengzhang, 80, 110, 82.7726, 110, false},
        SourceCase{"vertical shrink", WarpKind::Verticalshousuo, 100, 110, 100, 111.8752, false},
        SourceCase{"vertical shrink", WarpKind::Verticalshousuo, 110, 80, 110, 77.0348, false},
        SourceCase{"horizontal shrink", WarpKind::Horizontalshousuo, 110, 100, 111.8752, 100, false},
        SourceCase{"horizontal shrink", WarpKind::Horizontalshousuo, 110, 80, 111.4826, 80, false},
        SourceCase{"twist right, row b", WarpKind::Sphericalyouxuan, 250, 200, 250, 190, false},
        SourceCase{"twist left, row b", WarpKind::Sphericalzuoxuan, 250, 200, 250, 210, false},
        SourceCase{"twist right, column a", WarpKind::Sphericalyouxuan, 200, 250, 210, 250, false},
        SourceCase{"twist left, column a", WarpKind::Sphericalzuoxuan, 200, 250, 190, 250, false},
        SourceCase{"twist right", WarpKind::Sphericalyouxuan, 230, 160, 222, 154, false},
        SourceCase{"twist left", WarpKind::Sphericalzuoxuan, 230, 160, 238, 166, false},
        SourceCase{"twist right", WarpKind::Sphericalyouxuan, 210, 220, 216.2859, 216.8571, false},
        SourceCase{"twist right, next to the centre", WarpKind::Sphericalyouxuan, 201, 200, 201, 199.5882, false}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(WarpReads, TheColourWrittenIsTheSourcePixels)
{
    const QImage src = CoordinatePicture(400, 400);
    WarpProgress none;
    auto after = [&](void (*warp)(const QImage&, QImage&, int, int, int, int, WarpProgress&), int X, int Y, int r,
                     int d) {
        QImage dst = src.copy();
        warp(src, dst, X, Y, r, d, none);
        return dst;
    };
    const QImage expand = after(Sphericalpengzhang, 100, 100, 50, 15);
    EXPECT_EQ(GetPixel(expand, 110, 100), Code(108, 100));  // 108.3997, nearest pixel
    const QImage shrink = after(Sphericalshousuo, 100, 100, 50, 15);
    EXPECT_EQ(GetPixel(shrink, 110, 100), Code(112, 100));  // 111.8752, nearest pixel
    const QImage right = after(Sphericalyouxuan, 200, 200, 100, 10);
    EXPECT_EQ(GetPixel(right, 250, 200), Code(250, 190));
    EXPECT_EQ(GetPixel(right, 200, 250), Code(210, 250));
    EXPECT_EQ(GetPixel(right, 230, 160), Code(222, 154));
    const QImage left = after(Sphericalzuoxuan, 200, 200, 100, 10);
    EXPECT_EQ(GetPixel(left, 250, 200), Code(250, 210));
    EXPECT_EQ(GetPixel(left, 200, 250), Code(190, 250));
    EXPECT_EQ(GetPixel(left, 230, 160), Code(238, 166));
}

TEST(WarpReads, ShrinkNearTheLeftEdgeClampsItsRowSource)
{
    const QImage src = CoordinatePicture(200, 200);
    const Visits v = Trace(WarpKind::Sphericalshousuo, src.size(), 10, 100, 50, 15);
    ASSERT_TRUE(v.count({0, 100}));
    EXPECT_NEAR(v.at({0, 100}).sx, -1.8752, 5e-5);
    for (const auto& [p, visit] : v)
        EXPECT_GE(p.first, 0);  // destinations left of column 0 are dropped
    QImage dst = src.copy();
    WarpProgress none;
    Sphericalshousuo(src, dst, 10, 100, 50, 15, none);
    EXPECT_EQ(GetPixel(dst, 0, 100), Code(0, 100));
}

TEST(WarpReads, DepthAboveTheRadiusTakesSourcesFromTheFarSide)
{
    // r 20, d 30: c < 0. Expand and shrink factors turn negative; the shrink's axis factors stay
    // positive.
    const Visits expand = Trace(WarpKind::Sphericalpengzhang, QSize(100, 100), 50, 50, 20, 30);
    ASSERT_TRUE(expand.count({55, 45}));
    EXPECT_LT(expand.at({55, 45}).sx, 50);
    EXPECT_GT(expand.at({55, 45}).sy, 50);
    const Visits shrink = Trace(WarpKind::Sphericalshousuo, QSize(100, 100), 50, 50, 20, 30);
    ASSERT_TRUE(shrink.count({55, 49}));
    EXPECT_LT(shrink.at({55, 49}).sx, 50);
    ASSERT_TRUE(shrink.count({55, 50}));
    EXPECT_GT(shrink.at({55, 50}).sx, 55);
}

// ---- Visited rows -------------------------------------------------------------------------

TEST(WarpRows, ColumnsVisitTheWorkedRowRanges)
{
    // Row b (and column a) is visited by the axis passes, the rows above and below it by the
    // quadrant passes.
    const QSize size(300, 300);
    const Visits expand = Trace(WarpKind::Sphericalpengzhang, size, 100, 100, 50, 15);
    EXPECT_EQ(RowsOf(expand, 110), Range(52, 148));
    EXPECT_EQ(RowsOf(expand, 130), Range(61, 139));
    const Visits shrink = Trace(WarpKind::Sphericalshousuo, size, 100, 100, 50, 15);
    EXPECT_EQ(RowsOf(shrink, 110), Range(52, 148));
    EXPECT_EQ(RowsOf(shrink, 130), Range(64, 136));
    const Visits vertical = Trace(WarpKind::Verticalpengzhang, size, 100, 100, 50, 15);
    EXPECT_EQ(RowsOf(vertical, 100), Range(50, 150));
    EXPECT_EQ(RowsOf(vertical, 149), Range(90, 110));
    EXPECT_TRUE(RowsOf(vertical, 150).empty());
    const Visits twist = Trace(WarpKind::Sphericalyouxuan, QSize(400, 400), 200, 200, 100, 10);
    EXPECT_EQ(RowsOf(twist, 230), Range(106, 294));
}

TEST(WarpRows, SphericalWarpsStayInsideTheDiscAndOffTheCentre)
{
    for (WarpKind kind : {WarpKind::Sphericalpengzhang, WarpKind::Sphericalshousuo, WarpKind::Sphericalyouxuan,
                          WarpKind::Sphericalzuoxuan}) {
        const Visits v = Trace(kind, QSize(300, 300), 100, 100, 50, 15);
        EXPECT_FALSE(v.count({100, 100}));
        for (const auto& [p, visit] : v) {
            const int dx = p.first - 100, dy = p.second - 100;
            ASSERT_LT(dx * dx + dy * dy, 50 * 50) << int(kind) << " at " << p.first << ", " << p.second;
        }
    }
}

TEST(WarpRows, CentreAndOutsideKeepTheirColours)
{
    const QImage src = NoisePicture(300, 300, 3);
    for (WarpKind kind : {WarpKind::Sphericalpengzhang, WarpKind::Sphericalshousuo, WarpKind::Sphericalyouxuan,
                          WarpKind::Sphericalzuoxuan}) {
        QImage dst = src.copy();
        WarpProgress none;
        ApplyWarp(kind, src, dst, QPoint(0, 0), 100, 100, 50, 15, none);
        int changed = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x) {
                const int dx = x - 100, dy = y - 100;
                const bool moved = GetPixel(dst, x, y) != GetPixel(src, x, y);
                changed += moved;
                if (dx * dx + dy * dy >= 50 * 50 || (dx == 0 && dy == 0)) {
                    ASSERT_FALSE(moved) << int(kind) << " at " << x << ", " << y;
                }
            }
        EXPECT_GT(changed, 5000) << int(kind);
    }
}

TEST(WarpRows, StretchesKeepTheLineThroughTheClickWhereItMapsToItself)
{
    const QImage src = NoisePicture(300, 300, 4);
    WarpProgress none;
    auto run = [&](WarpKind kind) {
        QImage dst = src.copy();
        ApplyWarp(kind, src, dst, QPoint(0, 0), 100, 100, 50, 15, none);
        return dst;
    };
    const QImage ve = run(WarpKind::Verticalpengzhang), he = run(WarpKind::Horizontalpengzhang);
    const QImage vs = run(WarpKind::Verticalshousuo), hs = run(WarpKind::Horizontalshousuo);
    for (int t = 0; t < 300; ++t) {
        ASSERT_EQ(GetPixel(ve, t, 100), GetPixel(src, t, 100)) << t;
        ASSERT_EQ(GetPixel(vs, t, 100), GetPixel(src, t, 100)) << t;
        ASSERT_EQ(GetPixel(he, 100, t), GetPixel(src, 100, t)) << t;
        ASSERT_EQ(GetPixel(hs, 100, t), GetPixel(src, 100, t)) << t;
    }
    // Everything outside the vertical shrink's region (and off column 100) keeps its colour.
    const Visits region = Trace(WarpKind::Verticalshousuo, src.size(), 100, 100, 50, 15);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            if (!region.count({x, y})) {
                ASSERT_EQ(GetPixel(vs, x, y), GetPixel(src, x, y)) << x << ", " << y;
            }
}

TEST(WarpRows, StretchSourcesStayInTheirColumnOrRow)
{
    for (WarpKind kind : {WarpKind::Verticalpengzhang, WarpKind::Verticalshousuo})
        for (const auto& [p, v] : Trace(kind, QSize(300, 300), 100, 100, 50, 15))
            ASSERT_EQ(v.sx, double(p.first));
    for (WarpKind kind : {WarpKind::Horizontalpengzhang, WarpKind::Horizontalshousuo})
        for (const auto& [p, v] : Trace(kind, QSize(300, 300), 100, 100, 50, 15))
            ASSERT_EQ(v.sy, double(p.second));
}

TEST(WarpRows, TheLastColumnTakesTheColoursOfTheOneBefore)
{
    // A vertical expand over the picture's last column: the sampler pulls x back to W - 2.
    const QImage src = NoisePicture(120, 200, 5);
    QImage dst = src.copy();
    WarpProgress none;
    Verticalpengzhang(src, dst, 110, 100, 50, 15, none);
    int checked = 0;
    for (const auto& [p, v] : Trace(WarpKind::Verticalpengzhang, src.size(), 110, 100, 50, 15)) {
        if (p.first != 119)
            continue;
        double x = 118, y = v.sy;
        ASSERT_EQ(GetPixel(dst, 119, p.second), xiangsujuhe(x, y, src)) << p.second;
        ++checked;
    }
    EXPECT_GT(checked, 50);
}

TEST(WarpRows, NoRealSourceLeavesThePixel)
{
    // r 4, d 3: R = 25/6; the vertical expand's rim rows lie outside the sphere.
    const Visits v = Trace(WarpKind::Verticalpengzhang, QSize(20, 20), 10, 10, 4, 3);
    EXPECT_FALSE(v.count({13, 13}));  // dx 3, dy 3: R^2 - 18 < 0
    EXPECT_TRUE(v.count({13, 12}));
    for (const auto& [p, visit] : v)
        ASSERT_TRUE(std::isfinite(visit.sy));
}

// ---- Progress, depth 0, zoom --------------------------------------------------------------

TEST(WarpProgressSteps, CountColumnsOrRows)
{
    const struct {
        WarpKind kind;
        int r, d, steps;
    } cases[] = {
        {WarpKind::Sphericalpengzhang, 50, 15, 196}, {WarpKind::Sphericalshousuo, 50, 15, 98},
        {WarpKind::Sphericalyouxuan, 100, 10, 396},  {WarpKind::Sphericalzuoxuan, 100, 10, 396},
        {WarpKind::Verticalpengzhang, 50, 15, 99},   {WarpKind::Horizontalpengzhang, 50, 15, 99},
        {WarpKind::Verticalshousuo, 50, 15, 98},     {WarpKind::Horizontalshousuo, 50, 15, 98},
        {WarpKind::Verticalpengzhang, 1, 1, 1},      {WarpKind::Sphericalpengzhang, 1, 1, 0},
    };
    const QImage src = NoisePicture(50, 50, 6);
    for (const auto& c : cases)
        for (QPoint click : {QPoint(25, 25), QPoint(-400, 30)}) {  // columns off the picture count too
            Recorder rec;
            QImage dst = src.copy();
            ApplyWarp(c.kind, src, dst, QPoint(0, 0), click.x(), click.y(), c.r, c.d, rec);
            EXPECT_EQ(rec.steps(), c.steps) << int(c.kind);
            EXPECT_EQ(rec.resets(), 0);
        }
}

TEST(WarpDepthZero, ChangesNothing)
{
    const QImage src = NoisePicture(60, 60, 7);
    for (int k = 0; k < 8; ++k) {
        Recorder rec;
        QImage dst = src.copy();
        EXPECT_EQ(ApplyWarp(WarpKind(k), src, dst, QPoint(0, 0), 30, 30, 20, 0, rec), 0);
        EXPECT_EQ(dst, src);
        EXPECT_EQ(rec.events, "");
    }
}

TEST(WarpZoom, SlidersConvertAtTwoHundredPercent)
{
    EXPECT_EQ(ToPicture(50, 200), 25);
    EXPECT_EQ(ToPicture(15, 200), 8);  // 7.5 goes to the even 8
    EXPECT_EQ(ToPicture(1, 244), 0);   // depth 0: the warp changes nothing
}

TEST(WarpBoundsRect, IsTheClickSquareClippedToThePicture)
{
    const QSize size(300, 200);
    EXPECT_EQ(WarpBounds(100, 100, 50, size), QRect(50, 50, 101, 101));
    EXPECT_EQ(WarpBounds(10, 190, 50, size), QRect(QPoint(0, 140), QPoint(60, 199)));
    EXPECT_EQ(WarpBounds(100, 100, 1000, size), QRect(0, 0, 300, 200));
    EXPECT_TRUE(WarpBounds(-60, 100, 50, size).isEmpty());
    EXPECT_TRUE(WarpBounds(100, 100, 50, QSize(0, 0)).isEmpty());
}

// ---- The smear ----------------------------------------------------------------------------

Visits Smear(QSize size, int cx, int cy, int qx, int qy, int B, Recorder* rec = nullptr)
{
    Recorder local;
    return Index(TraceSmear(size, cx, cy, qx, qy, B, rec ? *rec : local));
}

TEST(SmearCases, ReleaseAtThePressPointChangesNothing)
{
    const QImage src = NoisePicture(100, 100, 8);
    QImage dst = src.copy();
    Recorder rec;
    tumopic(src, dst, 40, 40, 40, 40, 30, rec);
    EXPECT_EQ(dst, src);
    EXPECT_EQ(rec.events, "");
}

TEST(SmearCases, ShortStrokeToTheRight)
{
    // B 100, (200, 150) to (210, 150): L 10, E (210, 150), M (205, 150), R 105.
    Recorder rec;
    const Visits v = Smear(QSize(400, 300), 200, 150, 210, 150, 100, &rec);
    EXPECT_EQ(rec.events, std::string(209, 's') + "r");  // columns 101 .. 309
    EXPECT_EQ(RowsOf(v, 100).size(), 0u);
    EXPECT_EQ(RowsOf(v, 310).size(), 0u);
    EXPECT_NEAR(v.at({205, 150}).sx, 205 - (105 - 105.0 * 105 / 110), 1e-9);  // about 200.23
    EXPECT_NEAR(v.at({210, 150}).sx, 205, 1e-9);  // the content at M shows up at E
    EXPECT_NEAR(v.at({101, 150}).sx, 101, 0.1);   // next to the rim: nearly its own content
    EXPECT_NEAR(v.at({309, 150}).sx, 309, 0.1);
    for (const auto& [p, visit] : v)
        ASSERT_EQ(visit.sy, double(p.second));
}

TEST(SmearCases, LongStrokeIsCappedAtHalfTheBrush)
{
    // B 100, 80 pixels to the right: L 50, M = C + (25, 0), R 125; the same as a 50-pixel drag.
    Recorder rec;
    const auto longer = TraceSmear(QSize(500, 300), 200, 150, 280, 150, 100, rec);
    WarpProgress none;
    const auto capped = TraceSmear(QSize(500, 300), 200, 150, 250, 150, 100, none);
    ASSERT_EQ(longer.size(), capped.size());
    for (size_t i = 0; i < longer.size(); ++i) {
        ASSERT_EQ(longer[i].x, capped[i].x);
        ASSERT_EQ(longer[i].y, capped[i].y);
        ASSERT_EQ(longer[i].sx, capped[i].sx);
    }
    EXPECT_EQ(rec.steps(), 249);  // columns 101 .. 349
    const Visits v = Index(longer);
    EXPECT_NEAR(v.at({250, 150}).sx, 225, 1e-9);  // M's content lands on E
    EXPECT_TRUE(v.count({349, 150}));
    EXPECT_FALSE(v.count({350, 150}));
}

TEST(SmearCases, SmallBrushRoundsTheEndPointBothWays)
{
    // B 15, long drags: right gives E.x = cx + 8, M.x = cx + 4.25; left E.x = cx - 8, M.x = cx - 3.75.
    // R = 18.75, so the right disc spans columns Round(85.5) + 1 .. 122 and the left one
    // Round(77.5) + 1 .. 114.
    Recorder right, left;
    const Visits r = Smear(QSize(200, 200), 100, 100, 160, 100, 15, &right);
    const Visits l = Smear(QSize(200, 200), 100, 100, 40, 100, 15, &left);
    EXPECT_EQ(right.steps(), 36);
    EXPECT_EQ(left.steps(), 36);
    EXPECT_FALSE(RowsOf(r, 87).empty());
    EXPECT_TRUE(RowsOf(r, 86).empty());
    EXPECT_FALSE(RowsOf(r, 122).empty());
    EXPECT_TRUE(RowsOf(r, 123).empty());
    EXPECT_FALSE(RowsOf(l, 79).empty());
    EXPECT_TRUE(RowsOf(l, 78).empty());
    EXPECT_FALSE(RowsOf(l, 114).empty());
    EXPECT_TRUE(RowsOf(l, 115).empty());
    EXPECT_NEAR(r.at({108, 100}).sx, 104.25, 1e-9);  // E takes the content at M
}

TEST(SmearCases, SteepDiagonalEndsAsAVerticalSmear)
{
    // B 50, press (100, 200), release (99, 140): L 25, E (100, 175), M (100, 187.5); the up
    // class then repaints the same disc.
    const QImage src = NoisePicture(200, 300, 9);
    Recorder rec;
    QImage diagonal = src.copy();
    tumopic(src, diagonal, 100, 200, 99, 140, 50, rec);
    const std::string oneClass = std::string(size_t(rec.steps() / 2), 's') + "r";
    EXPECT_EQ(rec.events, oneClass + oneClass);
    QImage vertical = src.copy();
    WarpProgress none;
    tumopic(src, vertical, 100, 200, 100, 175, 50, none);
    EXPECT_EQ(diagonal, vertical);
    EXPECT_NE(diagonal, src);
    const Visits v = Smear(src.size(), 100, 200, 99, 140, 50);
    EXPECT_EQ(v.at({100, 175}).sy, 187.5);  // the content at M lands on E
    EXPECT_EQ(v.at({100, 175}).sx, 100);
}

TEST(SmearCases, MirroredDiagonalsGiveMirroredSources)
{
    // Up-left against up-right and down-right against down-left, mirrored about x = 100.
    const QSize size(200, 200);
    for (const auto& [ax, ay, bx, by] : {std::array{90, 93, 110, 93}, std::array{110, 107, 90, 107},
                                        std::array{97, 80, 103, 80}, std::array{70, 120, 130, 120}}) {
        const Visits a = Smear(size, 100, 100, ax, ay, 30);
        const Visits b = Smear(size, 100, 100, bx, by, 30);
        ASSERT_EQ(a.size(), b.size());
        for (const auto& [p, va] : a) {
            const auto it = b.find({200 - p.first, p.second});
            ASSERT_NE(it, b.end());
            ASSERT_NEAR(it->second.sx, 200 - va.sx, 1e-9);
            ASSERT_NEAR(it->second.sy, va.sy, 1e-9);
        }
    }
}

TEST(SmearCases, DiagonalsCarryTheCentreTowardsTheRelease)
{
    // Every direction: the pixel at the end point E takes its colour from near the disc's
    // centre M, which lies half way between the press point and E.
    const QSize size(300, 300);
    for (const auto& [qx, qy] : {std::pair{120, 140}, std::pair{170, 160}, std::pair{180, 140}, std::pair{130, 160},
                                std::pair{150, 100}, std::pair{150, 210}}) {
        const Visits v = Smear(size, 150, 150, qx, qy, 40);
        const double len = std::hypot(qx - 150, qy - 150);
        const double L = std::min(len, 20.0);
        const int ex = 150 + int(std::lround((qx - 150) * L / len));
        const int ey = 150 + int(std::lround((qy - 150) * L / len));
        const auto it = v.find({ex, ey});
        ASSERT_NE(it, v.end()) << qx << ", " << qy;
        EXPECT_NEAR(it->second.sx, (150 + ex) / 2.0, 1.0) << qx << ", " << qy;
        EXPECT_NEAR(it->second.sy, (150 + ey) / 2.0, 1.0) << qx << ", " << qy;
    }
}

}  // namespace
