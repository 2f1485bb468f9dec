// Time of one whole frame like the game's (five walls, the lit ball, about thirty pictures,
// then Present into memory) on the software device, and the fill rate it works out to.
// Run: build/bin/softgpu_bench  (the median row is the figure; rates are per CPU second).
#include "bench/softgpu/game_like_scene.h"

#include <benchmark/benchmark.h>

namespace {

using softgpu::testing::GameLikeScene;
using softgpu::testing::TestDevice;

void gameFrame(benchmark::State& state) {
    TestDevice device;
    GameLikeScene scene(device);
    scene.drawFrame(0);
    device->resetStats();
    int frame = 0;
    for (auto _ : state) {
        scene.drawFrame(frame++);
        benchmark::ClobberMemory();
    }
    const auto& stats = device->stats();
    state.counters["pixels/frame"] =
        benchmark::Counter(static_cast<double>(stats.pixelsShaded) / static_cast<double>(frame));
    state.counters["Mpixels/s"] = benchmark::Counter(static_cast<double>(stats.pixelsShaded) * 1e-6,
                                                     benchmark::Counter::kIsRate);
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(frame), benchmark::Counter::kIsRate);
}
// Nine runs of half a second each; the median of them is the figure to quote.
BENCHMARK(gameFrame)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace
