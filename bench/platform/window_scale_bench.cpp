// The cost of the window scale: the game's visible 440 x 400 pixels put on a window at scale
// 1 (one copy per row, as an unscaled window does), 2 and 3. Compare the runs side by side.
#include "platform/sdl/window_scale.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

void enlargeVisibleFrame(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    constexpr int width = 440;
    constexpr int height = 400;
    std::vector<std::uint32_t> frame(640 * 480);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint32_t>(i * 2654435761u);
    std::vector<std::uint32_t> window(std::size_t(width) * scale * height * scale);
    const auto* visible = reinterpret_cast<const std::uint8_t*>(frame.data() + 40 * 640 + 100);
    for (auto _ : state) {
        platform::enlargePixels(visible, 640 * 4, width, height, scale,
                                reinterpret_cast<std::uint8_t*>(window.data()), width * scale * 4);
        benchmark::DoNotOptimize(window.data());
        benchmark::ClobberMemory();
    }
    state.counters["output_MB/s"] =
        benchmark::Counter(double(window.size() * 4) * double(state.iterations()),
                           benchmark::Counter::kIsRate, benchmark::Counter::kIs1000);
}
BENCHMARK(enlargeVisibleFrame)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

} // namespace
