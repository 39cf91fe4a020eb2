// Speed of the warp engine: every click warp and the smear at radius 50, 200 and 500 at the
// centre of the 605 x 469 sample and of the 24-megapixel photo, as destination pixels written
// per second; and what a whole-picture copy per warp costs against the region form.
#include "picture/picture.h"
#include "warps/warps.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

using pf::WarpKind;

const QImage& Sample()
{
    static const QImage img = pf::ToPictureFormat(QImage(PULLFACE_SHARED_DIR "/photos/sample.bmp"));
    return img;
}

const QImage& Large()
{
    static const QImage img = pf::ToPictureFormat(QImage(PULLFACE_SHARED_DIR "/photos/large.jpg"));
    return img;
}

const QImage& Picture(bool large)
{
    const QImage& img = large ? Large() : Sample();
    if (img.isNull())
        throw std::runtime_error("bench_warps: photo missing under " PULLFACE_SHARED_DIR "/photos");
    return img;
}

// The second slider as the tools panel couples it to the radius: a third on the distort page,
// a tenth on the spiral page.
int DepthFor(WarpKind kind, int r)
{
    const bool twist = kind == WarpKind::Sphericalyouxuan || kind == WarpKind::Sphericalzuoxuan;
    return pf::Round(r / (twist ? 10.0 : 3.0));
}

// The warp alone: dst covers the warp's bounds and is filled before timing starts. Every
// iteration rewrites the same pixels from the same source.
void BM_Warp(benchmark::State& state, WarpKind kind, bool large, int r)
{
    const QImage& src = Picture(large);
    const int X = src.width() / 2, Y = src.height() / 2, d = DepthFor(kind, r);
    const QRect box = pf::WarpBounds(X, Y, r, src.size());
    QImage dst = src.copy(box);
    pf::WarpProgress none;
    std::int64_t pixels = 0;
    for (auto _ : state) {
        pixels += pf::ApplyWarp(kind, src, dst, box.topLeft(), X, Y, r, d, none);
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = benchmark::Counter(double(pixels), benchmark::Counter::kIsRate);
    state.counters["per_call"] = double(pixels) / double(state.iterations());
}

// The smear with brush radius B: a diagonal stroke (down-right, the costliest class) or a
// stroke to the right, each at least B/2 long so the stroke is capped.
void BM_Smear(benchmark::State& state, bool diagonal, bool large, int B)
{
    const QImage& src = Picture(large);
    const int cx = src.width() / 2, cy = src.height() / 2;
    const int qx = cx + B, qy = diagonal ? cy + B / 2 : cy;
    const QRect box = pf::SmearBounds(cx, cy, qx, qy, B, src.size());
    QImage dst = src.copy(box);
    pf::WarpProgress none;
    std::int64_t pixels = 0;
    for (auto _ : state) {
        pixels += pf::ApplySmear(src, dst, box.topLeft(), cx, cy, qx, qy, B, none);
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = benchmark::Counter(double(pixels), benchmark::Counter::kIsRate);
    state.counters["per_call"] = double(pixels) / double(state.iterations());
}

// One whole click as a window would do it, radius 200 at the centre.
// naive: copy the whole picture into a destination, warp it, take it as the new picture.
// region: copy just the warp's bounds, warp them, paint them back into the (unshared) picture.
void BM_Frame(benchmark::State& state, bool regionForm, bool large)
{
    const QImage& original = Picture(large);
    QImage picture = original.copy();  // the window's own, unshared
    const int X = picture.width() / 2, Y = picture.height() / 2, r = 200, d = DepthFor(WarpKind::Sphericalpengzhang, r);
    pf::WarpProgress none;
    for (auto _ : state) {
        if (regionForm) {
            const QRect box = pf::WarpBounds(X, Y, r, picture.size());
            QImage part = picture.copy(box);
            pf::Sphericalpengzhang(picture, part, box.topLeft(), X, Y, r, d, none);
            const qsizetype bytes = qsizetype(3) * box.width();
            for (int y = 0; y < box.height(); ++y)
                std::memcpy(picture.scanLine(box.top() + y) + 3 * box.left(), part.constScanLine(y), size_t(bytes));
        } else {
            QImage dst = picture.copy();
            pf::Sphericalpengzhang(picture, dst, X, Y, r, d, none);
            picture = dst;
        }
        benchmark::ClobberMemory();
    }
}

const struct {
    WarpKind kind;
    const char* name;
} kWarps[] = {
    {WarpKind::Sphericalpengzhang, "Sphericalpengzhang"}, {WarpKind::Sphericalshousuo, "Sphericalshousuo"},
    {WarpKind::Sphericalyouxuan, "Sphericalyouxuan"},     {WarpKind::Sphericalzuoxuan, "Sphericalzuoxuan"},
    {WarpKind::Verticalpengzhang, "Verticalpengzhang"},   {WarpKind::Verticalshousuo, "Verticalshousuo"},
    {WarpKind::Horizontalpengzhang, "Horizontalpengzhang"}, {WarpKind::Horizontalshousuo, "Horizontalshousuo"},
};

const bool registered = [] {
    for (bool large : {false, true}) {
        const std::string where = large ? "/large24mp" : "/sample";
        for (int r : {50, 200, 500}) {
            const std::string radius = "/r" + std::to_string(r);
            for (const auto& w : kWarps)
                benchmark::RegisterBenchmark(("Warp/" + std::string(w.name) + where + radius).c_str(), BM_Warp, w.kind,
                                             large, r)
                    ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("Warp/tumopic_diagonal" + where + radius).c_str(), BM_Smear, true, large, r)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("Warp/tumopic_right" + where + radius).c_str(), BM_Smear, false, large, r)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    for (bool large : {false, true})
        for (bool region : {false, true})
            benchmark::RegisterBenchmark(
                (std::string("Frame/Sphericalpengzhang_r200/") + (region ? "region" : "whole_copy") +
                 (large ? "/large24mp" : "/sample"))
                    .c_str(),
                BM_Frame, region, large)
                ->Unit(benchmark::kMicrosecond);
    return true;
}();

}  // namespace
