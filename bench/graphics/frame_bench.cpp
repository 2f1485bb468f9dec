// The picture's cost: one frame of the real scene drawn after a kick, the same frame with
// nothing reused from the one before, a whole frame of the game (update and drawing) while the
// ball is kept in the air, and the start-up up to a loaded scene (with a sound device that only
// keeps the samples in memory).
//
//   cmake --build <build> --target graphics_bench && <build>/bin/graphics_bench
#include "audio/sound_device.h"
#include "shell/world.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A sound device that takes every sound into memory: start-up without an audio system.
class MemorySoundDevice final : public platform::SoundDevice {
    class Buffer final : public platform::FillableSoundBuffer {
    public:
        explicit Buffer(std::uint32_t bytes) : samples_(bytes) {}
        bool stop() override { return true; }
        bool rewind() override { return true; }
        bool play() override { return true; }
        bool lock(std::uint32_t offset, std::uint32_t bytes,
                  platform::LockedRegions& regions) override {
            if (offset + bytes > samples_.size()) return false;
            regions = {samples_.data() + offset, bytes, nullptr, 0};
            return true;
        }
        void unlock(const platform::LockedRegions&) override {}

    private:
        std::vector<std::uint8_t> samples_;
    };

public:
    bool setCooperativeLevel(platform::CooperativeLevel) override { return true; }
    std::unique_ptr<platform::SoundBuffer> createPrimaryBuffer() override {
        return std::make_unique<Buffer>(0);
    }
    bool setPrimaryFormat(const platform::WaveFormat&) override { return true; }
    std::unique_ptr<platform::FillableSoundBuffer> createBuffer(const platform::WaveFormat&,
                                                                std::uint32_t bytes, int) override {
        return std::make_unique<Buffer>(bytes);
    }
};

std::unique_ptr<platform::SoundDevice> openMemorySound(std::string&) {
    return std::make_unique<MemorySoundDevice>();
}

// Every figure is in milliseconds, summed up over five runs (mean, median, spread).
void inMillisecondsOverFiveRuns(benchmark::internal::Benchmark* target) {
    target->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

struct Game {
    Game() : world(ticks, pointer, {}) {
        setSoundDeviceOpener(openMemorySound);
        if (!initDevice(world, &sink, 1) || !loadScene(world)) std::abort();
    }

    void frame() {
        ticks.advance(16);
        updateFrame(world.game);
        drawFrame(world);
    }

    // Puts the pointer just under the ball's centre, where a press kicks it up.
    void aimAtBall() {
        const Matrix4& ball = world.pose.ballPlacement;
        pointer.position = {static_cast<int>(ball._41), static_cast<int>(472.0f - ball._42) + 10};
    }

    platform::ManualTickSource ticks{0};
    platform::ManualPointerSource pointer;
    // Shows what the game's window shows, so the device draws only that, as in the game.
    softgpu::MemorySink sink{softgpu::RECT{100, 40, 540, 440}};
    World world;
};

void drawFrameAfterKick(benchmark::State& state) {
    Game game;
    for (int i = 0; i < 200; ++i) game.frame(); // the ball comes to rest
    game.aimAtBall();
    game.frame();
    kick(game.world.game);
    game.frame();
    softgpu::IDirect3DDevice8* device = game.world.renderer.device;
    device->resetStats();
    for (auto _ : state) drawFrame(game.world);
    // What one frame costs the device: triangles rasterised and pixels covered.
    const softgpu::RenderStats& work = device->stats();
    const double frames = static_cast<double>(state.iterations());
    state.counters["triangles"] = static_cast<double>(work.trianglesDrawn) / frames;
    state.counters["pixels"] = static_cast<double>(work.pixelsShaded) / frames;
    state.SetLabel("score " + std::to_string(game.world.scores.score));
}
BENCHMARK(drawFrameAfterKick)->Apply(inMillisecondsOverFiveRuns);

// The same frame when nothing drawn before can be reused, as on the first frame or after a
// change of the picture.
void drawFrameNothingReused(benchmark::State& state) {
    Game game;
    for (int i = 0; i < 200; ++i) game.frame();
    game.world.renderer.device->reuseUnchangedDraws(false);
    for (auto _ : state) drawFrame(game.world);
}
BENCHMARK(drawFrameNothingReused)->Apply(inMillisecondsOverFiveRuns);

void updateAndDrawInPlay(benchmark::State& state) {
    Game game;
    for (auto _ : state) {
        game.aimAtBall();
        if (game.world.state.pointerOverBall && game.world.state.velocityY <= 0.0f) {
            kick(game.world.game);
        }
        game.frame();
    }
    state.SetLabel("score " + std::to_string(game.world.scores.score));
}
BENCHMARK(updateAndDrawInPlay)->Apply(inMillisecondsOverFiveRuns);

void startUpToLoadedScene(benchmark::State& state) {
    setSoundDeviceOpener(openMemorySound);
    for (auto _ : state) {
        platform::ManualTickSource ticks{0};
        platform::ManualPointerSource pointer;
        softgpu::MemorySink sink;
        World world(ticks, pointer, {});
        if (!initDevice(world, &sink, 1) || !loadScene(world)) std::abort();
        benchmark::DoNotOptimize(world.scene.wallTexture.get());
    }
}
BENCHMARK(startUpToLoadedScene)->Apply(inMillisecondsOverFiveRuns);

} // namespace
