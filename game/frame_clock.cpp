#include "game/frame_clock.h"

#include "game/constants.h"
#include "game/game_state.h"

namespace game {

FrameClock::FrameClock(platform::TickSource& ticks) : ticks(ticks), lastTick(ticks.tickCount()) {}

void advanceFrameClock(FrameClock& clock, GameState& state) {
    const std::uint32_t now = clock.ticks.tickCount();
    // Unsigned differences stay right when the tick count wraps round between two frames.
    const std::uint32_t sinceWindow = now - clock.windowStart;
    const std::uint32_t elapsed = now - clock.lastTick;

    clock.frameCount += 1;
    clock.currentTick = now;
    clock.elapsedMs = elapsed;
    clock.lastTick = now;

    // The frame that closes a window is counted in it.
    if (sinceWindow > fpsWindowMs) {
        clock.windowStart = now;
        clock.framesPerSecond = clock.frameCount;
        clock.frameCount = 0;
    }

    // The millisecond count converts exactly to double, where its product with the time scale
    // is exact for any gap short enough to matter; rounding that once gives the float step.
    const float step = static_cast<float>(static_cast<double>(clock.elapsedMs) *
                                          static_cast<double>(state.timeScale));
    // After a stall (start-up, a window drag) the frame moves nothing instead of jumping.
    state.frameStep = step > maxFrameStep ? 0.0f : step;
}

} // namespace game
