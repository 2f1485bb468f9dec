// The frame clock: turns the millisecond tick count into each frame's step and counts the
// frames of every second for the frames-per-second display.
#pragma once

#include "platform/tick_source.h"

#include <cstdint>

namespace game {

struct GameState;

struct FrameClock {
    // Reads the tick count once: the first frame measures the time since this moment.
    explicit FrameClock(platform::TickSource& ticks);

    platform::TickSource& ticks;
    std::uint32_t lastTick;           // tick at the start of the previous frame
    std::uint32_t elapsedMs = 0;      // from the previous frame's start to this one's
    std::uint32_t windowStart = 0;    // tick at which the current counting window began
    std::uint32_t currentTick = 0;    // tick at the start of this frame
    std::int32_t frameCount = 0;      // frames counted in the current window
    std::int32_t framesPerSecond = 0; // frames of the last completed window
};

// Reads the clock for a new frame and sets state.frameStep from the elapsed time.
void advanceFrameClock(FrameClock& clock, GameState& state);

} // namespace game
