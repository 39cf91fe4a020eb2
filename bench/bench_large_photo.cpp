// The editor's own warp-and-history path on the 24-megapixel photo: what one click costs
// including its history step, what undo and redo cost, and how much memory 99 warps keep.
// Run the memory case on its own for a clean figure:
//   pullface_bench --benchmark_filter=LargePhoto_Memory
#include "editor/editor_state.h"
#include "editor/picture_edits.h"
#include "picture/formats/formats.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

using namespace pf;

QImage LargePhoto()
{
    return LoadPicture(PULLFACE_SHARED_DIR "/photos/large.jpg");
}

// A freshly opened photo with its history started, as after Open.
struct Session {
    EditorState s;
    QImage picture;
    Session()
    {
        picture = LargePhoto();
        s.historyRing.create();
        ResetHistory(s, picture);
    }
    void click(int X, int Y, int r, int d)
    {
        WarpProgress none;
        const QRect changed = WarpInPlace(picture, WarpKind::Sphericalpengzhang, X, Y, r, d, none);
        Backup(s, picture, changed);
    }
};

void BM_LargePhoto_Warp500WithHistory(benchmark::State& state)
{
    Session e;
    int i = 0;
    for (auto _ : state) {
        // Alternate between two points so every click changes the picture.
        e.click(3000 + (i & 1) * 40, 2000, 500, 167);
        ++i;
    }
    state.counters["history_MB"] = double(e.s.historyRing.memoryUsed()) / 1e6;
}
BENCHMARK(BM_LargePhoto_Warp500WithHistory)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_LargePhoto_UndoRedo(benchmark::State& state)
{
    Session e;
    for (int i = 0; i < 10; ++i)
        e.click(600 + 500 * i, 500 + 300 * i, 500, 167);
    bool back = true;
    for (auto _ : state) {
        if (back)
            Undo(e.s, e.picture, QRect());
        else
            Redo(e.s, e.picture, QRect());
        back = !back;
    }
}
BENCHMARK(BM_LargePhoto_UndoRedo)->Unit(benchmark::kMillisecond)->Iterations(40);

void BM_LargePhoto_Memory(benchmark::State& state)
{
    for (auto _ : state) {
        Session e;
        for (int i = 0; i < 99; ++i)
            e.click(100 + (i * 613) % 5800, 100 + (i * 397) % 3800, 100, 33);
        state.counters["history_MB"] = double(e.s.historyRing.memoryUsed()) / 1e6;
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        state.counters["peak_process_MB"] = double(u.ru_maxrss) / 1024;
    }
}
BENCHMARK(BM_LargePhoto_Memory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
