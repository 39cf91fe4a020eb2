// The sketch filters on the 24-megapixel photo.

#include "sketch/sketch.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <stdexcept>

namespace {

const QImage& Photo()
{
    static const QImage photo = [] {
        const QImage p = pf::ToPictureFormat(QImage(PULLFACE_SHARED_DIR "/photos/large.jpg"));
        if (p.isNull())
            throw std::runtime_error("cannot read " PULLFACE_SHARED_DIR "/photos/large.jpg");
        return p;
    }();
    return photo;
}

const QImage& EdgeMap()
{
    static const QImage edges = pf::picsobel(Photo());
    return edges;
}

void CountPixels(benchmark::State& state, const QImage& p)
{
    state.SetItemsProcessed(int64_t(state.iterations()) * p.width() * p.height());
}

void BM_picsobel(benchmark::State& state)
{
    const QImage& photo = Photo();
    for (auto _ : state)
        benchmark::DoNotOptimize(pf::picsobel(photo));
    CountPixels(state, photo);
}
BENCHMARK(BM_picsobel)->Unit(benchmark::kMillisecond);

void BM_twovalue(benchmark::State& state)
{
    const QImage& edges = EdgeMap();
    for (auto _ : state)
        benchmark::DoNotOptimize(pf::twovalue(edges, 150));
    CountPixels(state, edges);
}
BENCHMARK(BM_twovalue)->Unit(benchmark::kMillisecond);

void BM_pencil(benchmark::State& state)
{
    const QImage& edges = EdgeMap();
    for (auto _ : state)
        benchmark::DoNotOptimize(pf::pencil(edges, int(state.range(0))));
    CountPixels(state, edges);
}
BENCHMARK(BM_pencil)->Arg(45)->Arg(70)->Unit(benchmark::kMillisecond);

void BM_RedEye(benchmark::State& state)
{
    const QImage& photo = Photo();
    for (auto _ : state)
        benchmark::DoNotOptimize(pf::RedEye(photo));
    CountPixels(state, photo);
}
BENCHMARK(BM_RedEye)->Unit(benchmark::kMillisecond);

// One eraser step of the thickest brush at 100 % on the photo (already unshared).
void BM_EraseTheSpot(benchmark::State& state)
{
    QImage picture = Photo().copy();
    for (auto _ : state) {
        pf::EraseTheSpot(picture, 3000, 2000, 50, 100);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EraseTheSpot)->Unit(benchmark::kMicrosecond);

}  // namespace
