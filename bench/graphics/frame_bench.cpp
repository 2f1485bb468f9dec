// The picture's cost: one frame of the real scene drawn after a kick, the same frame with
// nothing reused from the one before, a whole turn of the game (update and drawing) while the
// ball is kept in the air, and the start-up up to a loaded scene (on the null window and sound
// drivers). The null window shows what the game's window shows, so the device draws only that.
//
//   cmake --build <build> --target graphics_bench && <build>/bin/graphics_bench
#include "shell/headless_program.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

using namespace game;
using namespace graphics;

namespace {

// Every figure is in milliseconds, summed up over five runs (mean, median, spread).
void inMillisecondsOverFiveRuns(benchmark::internal::Benchmark* target) {
    target->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

void startOrAbort(shell::HeadlessProgram& headless) {
    if (!headless.start()) std::abort();
}

void drawFrameAfterKick(benchmark::State& state) {
    shell::HeadlessProgram headless;
    startOrAbort(headless);
    for (int i = 0; i < 200; ++i) headless.frame(); // the ball comes to rest
    headless.aimAtBall();
    headless.frame();
    headless.press();
    headless.frame();
    softgpu::IDirect3DDevice8* device = headless.program.renderer.device;
    device->resetStats();
    for (auto _ : state) drawFrame(headless.program.stage);
    // What one frame costs the device: triangles rasterised and pixels covered.
    const softgpu::RenderStats& work = device->stats();
    const double frames = static_cast<double>(state.iterations());
    state.counters["triangles"] = static_cast<double>(work.trianglesDrawn) / frames;
    state.counters["pixels"] = static_cast<double>(work.pixelsShaded) / frames;
    state.SetLabel("score " + std::to_string(headless.program.scores.score));
}
BENCHMARK(drawFrameAfterKick)->Apply(inMillisecondsOverFiveRuns);

// The same frame when nothing drawn before can be reused, as on the first frame or after a
// change of the picture.
void drawFrameNothingReused(benchmark::State& state) {
    shell::HeadlessProgram headless;
    startOrAbort(headless);
    for (int i = 0; i < 200; ++i) headless.frame();
    headless.program.renderer.device->reuseUnchangedDraws(false);
    for (auto _ : state) drawFrame(headless.program.stage);
}
BENCHMARK(drawFrameNothingReused)->Apply(inMillisecondsOverFiveRuns);

void updateAndDrawInPlay(benchmark::State& state) {
    shell::HeadlessProgram headless;
    startOrAbort(headless);
    for (auto _ : state) {
        headless.aimAtBall();
        if (headless.program.state.pointerOverBall && headless.program.state.velocityY <= 0.0f)
            headless.press();
        headless.frame();
    }
    state.SetLabel("score " + std::to_string(headless.program.scores.score));
}
BENCHMARK(updateAndDrawInPlay)->Apply(inMillisecondsOverFiveRuns);

void startUpToLoadedScene(benchmark::State& state) {
    for (auto _ : state) {
        shell::HeadlessProgram headless;
        startOrAbort(headless);
        benchmark::DoNotOptimize(headless.program.scene.wallTexture.get());
    }
}
BENCHMARK(startUpToLoadedScene)->Apply(inMillisecondsOverFiveRuns);

} // namespace
