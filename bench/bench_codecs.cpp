// Opening and saving a 24-megapixel photograph in the lossy and lossless formats.
#include "picture/formats/formats.h"
#include "picture/picture.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString kLarge = QStringLiteral(PULLFACE_SHARED_DIR "/photos/large.jpg");

// The large photo, decoded once, and a scratch folder for the files written.
struct Fixture {
    QTemporaryDir dir;
    QImage picture;
    Fixture() : picture(pf::LoadPicture(kLarge)) {}
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

void LoadAndCount(benchmark::State& state, const QString& path)
{
    for (auto _ : state) {
        QImage picture = pf::LoadPicture(path);
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.SetItemsProcessed(state.iterations() * 24000000);
}

void BM_LoadJpeg(benchmark::State& state) { LoadAndCount(state, kLarge); }
BENCHMARK(BM_LoadJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveJpeg(benchmark::State& state)
{
    Fixture& f = Shared();
    for (auto _ : state)
        pf::SavePicture(f.picture, f.Path("out.jpg"), pf::kSaveJpeg);
    state.counters["bytes"] = double(QFileInfo(f.Path("out.jpg")).size());
}
BENCHMARK(BM_SaveJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveBitmap(benchmark::State& state)
{
    Fixture& f = Shared();
    for (auto _ : state)
        pf::SavePicture(f.picture, f.Path("out.bmp"), pf::kSaveBitmap);
}
BENCHMARK(BM_SaveBitmap)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadBitmap(benchmark::State& state)
{
    Fixture& f = Shared();
    pf::SavePicture(f.picture, f.Path("in.bmp"), pf::kSaveBitmap);
    LoadAndCount(state, f.Path("in.bmp"));
}
BENCHMARK(BM_LoadBitmap)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SavePng(benchmark::State& state)
{
    Fixture& f = Shared();
    for (auto _ : state)
        pf::SavePicture(f.picture, f.Path("out.png"), pf::kSavePng);
    state.counters["bytes"] = double(QFileInfo(f.Path("out.png")).size());
}
BENCHMARK(BM_SavePng)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_LoadPng(benchmark::State& state)
{
    Fixture& f = Shared();
    pf::SavePicture(f.picture, f.Path("in.png"), pf::kSavePng);
    LoadAndCount(state, f.Path("in.png"));
}
BENCHMARK(BM_LoadPng)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
