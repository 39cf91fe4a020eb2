// Resizing the 24-megapixel photo to half and to double size, as the size dialog's OK does.
#include "picture/picture.h"
#include "picture/zoom.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

const QImage& Large()
{
    static const QImage img = pf::ToPictureFormat(QImage(PULLFACE_SHARED_DIR "/photos/large.jpg"));
    return img;
}

void BM_Resize(benchmark::State& state)
{
    const QImage& src = Large();
    if (src.isNull()) {
        state.SkipWithError("large.jpg not found");
        return;
    }
    const double factor = double(state.range(0)) / 100;
    const int w = int(src.width() * factor), h = int(src.height() * factor);
    for (auto _ : state) {
        QImage out = pf::ZoomInOut(src, w, h);
        benchmark::DoNotOptimize(out.constBits());
    }
    state.counters["source_pixels_per_s"] = benchmark::Counter(double(src.width()) * src.height(),
        benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_Resize)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();
