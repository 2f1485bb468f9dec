// How long one frame of the game core takes: a ball in play with the pointer chasing it and
// kicking whenever it is over the ball, so flight, contacts, kicks and zones all run.
#include "game/game.h"
#include "platform/null/null_sound.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace game;

namespace {

void updateFrameInPlay(benchmark::State& run) {
    platform::ManualTickSource ticks(1000);
    platform::ManualPointerSource pointer;
    GameState state;
    ScenePose pose;
    pose.ballPlacement = Matrix4{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 320, 240, 64, 1};
    pose.ballMaterial.Emissive = {1, 1, 1, 1};
    FrameClock clock(ticks);
    persist::ScoreRecord scores{nullptr};
    SoundBank sounds;
    for (int i = 0; i < 3; ++i) {
        sounds.buffers[static_cast<std::size_t>(i)] = std::make_unique<platform::NullSoundBuffer>();
    }
    sounds.lastIndex = 2;
    state.kickSound = 0;
    state.bounceSound = 1;
    state.hoverSound = 2;
    Core core{state, pose, clock, scores, sounds, pointer};

    for (auto _ : run) {
        ticks.advance(16);
        // Aim a little below the ball's centre as the player sees it, as a player would.
        pointer.position = {static_cast<int>(pose.ballPlacement._41),
                            static_cast<int>(472.0f - pose.ballPlacement._42 + 10.0f)};
        updateFrame(core);
        if (state.pointerOverBall == 1 && state.velocityY < 0.0f) kick(core);
        benchmark::DoNotOptimize(pose);
    }
    run.counters["score"] = static_cast<double>(scores.bestScore);
}
BENCHMARK(updateFrameInPlay);

} // namespace
