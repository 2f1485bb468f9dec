#include "game_fixture.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameClock, FirstFrameMeasuresFromConstructionAndClosesTheFirstWindow) {
    GameTable table; // clock built at tick 5000
    table.frame(20);
    EXPECT_EQ(table.clock.elapsedMs, 20u);
    EXPECT_FLOAT_EQ(table.state.frameStep, 20 * 0.06f);
    // The counting window began at tick 0, so the very first frame closes it.
    EXPECT_EQ(table.clock.framesPerSecond, 1);
    EXPECT_EQ(table.clock.windowStart, 5020u);
    EXPECT_EQ(table.clock.frameCount, 0);
}

TEST(FrameClock, CountsFramesInWindowsOfMoreThanOneSecond) {
    GameTable table;
    table.frame(20); // closes the first window at 5020
    for (int i = 0; i < 9; ++i) table.frame(100);
    table.frame(100); // exactly 1000 ms since the window began: it stays open
    EXPECT_EQ(table.clock.framesPerSecond, 1);
    EXPECT_EQ(table.clock.frameCount, 10);
    table.frame(1); // 1001 ms: closes, and this frame is counted in it
    EXPECT_EQ(table.clock.framesPerSecond, 11);
    EXPECT_EQ(table.clock.frameCount, 0);
    EXPECT_EQ(table.clock.windowStart, 6021u);
    EXPECT_EQ(table.clock.currentTick, 6021u);
}

TEST(FrameClock, TickWrapGivesTheTrueSmallGap) {
    platform::ManualTickSource ticks(0xFFFFFFF0u);
    GameState state;
    FrameClock clock(ticks);
    ticks.advance(0x20); // wraps round to 0x10
    advanceFrameClock(clock, state);
    EXPECT_EQ(clock.elapsedMs, 0x20u);
    EXPECT_EQ(clock.lastTick, 0x10u);
    EXPECT_FLOAT_EQ(state.frameStep, 32 * 0.06f);
    // 0x10 - 0 is not over a second, however far the clock had run before the wrap.
    EXPECT_EQ(clock.framesPerSecond, 0);
    EXPECT_EQ(clock.frameCount, 1);
}

TEST(FrameClock, StepIsCappedAtSixtyFourAfterAStall) {
    platform::ManualTickSource ticks(100);
    GameState state;
    FrameClock clock(ticks);

    state.timeScale = 0.08f;
    ticks.advance(800); // 800 * 0.08 rounds to exactly 64, which stays
    advanceFrameClock(clock, state);
    EXPECT_EQ(state.frameStep, 64.0f);
    ticks.advance(801);
    advanceFrameClock(clock, state);
    EXPECT_EQ(state.frameStep, 0.0f);

    state.timeScale = 0.06f;
    ticks.advance(1066);
    advanceFrameClock(clock, state);
    EXPECT_FLOAT_EQ(state.frameStep, 1066 * 0.06f);
    ticks.advance(1067); // 64.02: more than 64 moves nothing
    advanceFrameClock(clock, state);
    EXPECT_EQ(state.frameStep, 0.0f);

    // A clock that steps back by one looks like a gap of almost 50 days: nothing moves.
    ticks.now -= 1;
    advanceFrameClock(clock, state);
    EXPECT_EQ(clock.elapsedMs, 0xFFFFFFFFu);
    EXPECT_EQ(state.frameStep, 0.0f);
}

} // namespace
