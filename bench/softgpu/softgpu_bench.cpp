// The software device's fill rate in each way the game draws, with the kernels this processor
// picks and with the plain ones the web page draws with. The game's whole frame is measured by
// graphics_bench; this tells which kind of draw a change of the kernels helps or hurts.
// Run: build/bin/softgpu_bench  (the median rows are the figures; rates are per CPU second).
#include "platform/softgpu/span_kernels.h"
#include "tests/softgpu/test_support.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using softgpu::testing::DrawMode;
using softgpu::testing::TestDevice;

void fillRate(benchmark::State& state, DrawMode mode, bool vectorKernels) {
    if (vectorKernels && softgpu::vectorKernels() == nullptr) {
        state.SkipWithError("no vector kernels on this processor");
        return;
    }
    softgpu::useVectorKernels(vectorKernels);
    TestDevice device;
    device->reuseUnchangedDraws(false);
    softgpu::IDirect3DTexture8* texture = softgpu::testing::makeSpeckledTexture(device, 64);
    int variant = 0;
    for (auto _ : state) {
        drawInMode(device, mode, texture, variant);
        variant = (variant + 1) % 8;
        benchmark::ClobberMemory();
    }
    softgpu::useVectorKernels(true);
    state.counters["pixels/s"] = benchmark::Counter(
        static_cast<double>(device->stats().pixelsShaded), benchmark::Counter::kIsRate);
    state.SetLabel(softgpu::testing::drawModeName(mode));
}

void registerAll() {
    for (bool vector : {true, false}) {
        for (DrawMode mode : softgpu::testing::allDrawModes) {
            const std::string name =
                std::string(vector ? "vector/" : "plain/") + softgpu::testing::drawModeName(mode);
            benchmark::RegisterBenchmark(name.c_str(), fillRate, mode, vector)
                ->Unit(benchmark::kMicrosecond)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true);
        }
    }
}

const bool registered = (registerAll(), true);

} // namespace
