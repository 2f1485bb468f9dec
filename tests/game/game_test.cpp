// The game core on a table: manual clock and pointer, a best-score record kept nowhere and
// null sound buffers that count how often each sound plays.
#include "game/game.h"
#include "platform/null/null_sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace game;

namespace {

enum TableSound { kickPlays, bouncePlays, hoverPlays };

struct GameTable {
    platform::ManualTickSource ticks{5000};
    platform::ManualPointerSource pointer;
    GameState state;
    ScenePose pose;
    FrameClock clock{ticks};
    persist::ScoreRecord scores{nullptr};
    SoundBank sounds;
    Core core{state, pose, clock, scores, sounds, pointer};
    Matrix4& ball = pose.ballPlacement;

    GameTable() {
        // The ball as scene set-up leaves it: round, glowing white, in the middle of the box.
        ball = Matrix4{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 320, 240, 64, 1};
        pose.ballMaterial.Emissive = {1, 1, 1, 1};
        for (std::size_t i = 0; i < 3; ++i)
            sounds.buffers[i] = std::make_unique<platform::NullSoundBuffer>();
        sounds.lastIndex = 2;
        state.kickSound = kickPlays;
        state.bounceSound = bouncePlays;
        state.hoverSound = hoverPlays;
    }
    int plays(TableSound sound) const { return platform::nullPlays(sounds.buffers[sound].get()); }
    void frame(std::uint32_t ms) {
        ticks.advance(ms);
        updateFrame(core);
    }
    // A frame of exactly one step unit, for exact arithmetic: 16 ms at 1/16 unit per ms.
    void unitFrame() {
        state.timeScale = 0.0625f;
        frame(16);
    }
    // Frames in which nothing moves, only the per-frame rules, with the pointer at (x, y).
    void pointAt(int x, int y, int frames = 1) {
        pointer.position = {x, y};
        for (int i = 0; i < frames; ++i) frame(0);
    }
    void placeBall(float x, float y, float vx = 0, float vy = 0) {
        ball._41 = x;
        ball._42 = y;
        state.velocityX = vx;
        state.velocityY = vy;
    }
};

TEST(FrameClock, WindowsOfMoreThanOneSecondTickWrapAndTheCap) {
    GameTable table; // clock built at tick 5000
    table.frame(20); // measured from construction; the window began at tick 0, so it closes
    EXPECT_FLOAT_EQ(table.state.frameStep, 20 * 0.06f);
    EXPECT_EQ(table.clock.framesPerSecond, 1);
    for (int i = 0; i < 10; ++i) table.frame(100); // exactly 1000 ms: the window stays open
    EXPECT_EQ(table.clock.framesPerSecond, 1);
    table.frame(1); // 1001 ms: closes, and this frame is counted in it
    EXPECT_EQ(table.clock.framesPerSecond, 11);
    EXPECT_EQ(table.clock.frameCount, 0);

    table.ticks.now = 0xFFFFFFF0u;
    table.frame(0);    // a stall: nothing moves, and the window closes
    table.frame(0x20); // wraps round to 0x10: the true small gap
    EXPECT_FLOAT_EQ(table.state.frameStep, 32 * 0.06f);
    EXPECT_EQ(table.clock.frameCount, 1); // 0x10 - 0xFFFFFFF0 is not over a second
    table.frame(1000);                    // but this is, counted across the wrap
    EXPECT_EQ(table.clock.framesPerSecond, 2);

    table.state.timeScale = 0.08f;
    table.frame(800); // 800 * 0.08 rounds to exactly 64, which still moves
    EXPECT_EQ(table.state.frameStep, 64.0f);
    table.frame(801);
    EXPECT_EQ(table.state.frameStep, 0.0f);
    table.frame(0xFFFFFFFFu); // a clock stepping back by one: a gap of almost 50 days
    EXPECT_EQ(table.state.frameStep, 0.0f);
}

TEST(Flight, CeilingAndWallContactsAndTheirExactBounds) {
    const struct {
        float x, y, vx, vy;         // before one frame of one step unit (gravity takes 0.5)
        float toX, toY, toVx, toVy; // after it
        int bounces;
        float squash;
    } cases[] = {
        {478, 380, 8, 4.5f, 486, 384, 8, 4, 0, 1},               // exactly on ceiling and wall
        {160, 104, -8, -3.5f, 152, 100, -8, -4, 0, 1},           // exactly on floor and wall
        {300, 380, 0, 10.5f, 300, 380, 0, -6, 1, 0.9f + 0.006f}, // squashed, one step back
        {480, 300, 10, 0.5f, 480, 300, -8 * 0.96f, 0, 1, 1},     // damped too: no vertical speed
        {160, 300, -10, 2, 160, 301.5f, 8, 1.5f, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "from (" << c.x << ", " << c.y << ")");
        GameTable table;
        table.placeBall(c.x, c.y, c.vx, c.vy);
        table.unitFrame();
        EXPECT_EQ(table.ball._41, c.toX);
        EXPECT_EQ(table.ball._42, c.toY);
        EXPECT_FLOAT_EQ(table.state.velocityX, c.toVx);
        EXPECT_FLOAT_EQ(table.state.velocityY, c.toVy);
        EXPECT_EQ(table.plays(bouncePlays), c.bounces);
        EXPECT_FLOAT_EQ(table.ball._22, c.squash);
        EXPECT_EQ(table.state.bounceBudget, 16); // only the floor spends it
    }
}

TEST(Flight, FloorRulesAndSidewaysDampingAtTheirBounds) {
    const struct {
        std::int32_t budget;
        float fall;
        bool stopped; // silently, else it rebounds at 0.7 of the fall with a bounce
        float squash;
    } cases[] = {
        {16, -0.71428573f, true, 1}, // rebounds at exactly the rest speed
        {16, std::nextafter(-0.71428573f, -1.0f), false, 1},
        {16, -11.428572f, false, 1}, // rebounds at exactly 8: not squashed
        {16, std::nextafter(-11.428572f, -12.0f), false, 0.9f},
        {1, -20, true, 0.9f}, // the last of the budget stops it dead however fast
        {0, -20, true, 0.9f}, // and the budget never goes below 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "budget " << c.budget << ", fall " << c.fall);
        GameTable table;
        table.state.landed = 0;
        table.state.bounceBudget = c.budget;
        table.placeBall(300, 99, 0, c.fall); // below the floor: a still frame touches it
        table.pointAt(0, 0);
        EXPECT_EQ(table.state.landed, 1);
        EXPECT_EQ(table.state.bounceBudget, c.budget > 0 ? c.budget - 1 : 0);
        EXPECT_EQ(table.state.velocityY, c.stopped ? 0.0f : c.fall * -0.7f);
        EXPECT_EQ(table.plays(bouncePlays), c.stopped ? 0 : 1);
        EXPECT_EQ(table.ball._22, c.squash);
    }
    // Sideways drift dies away only while the vertical speed is strictly inside 0.06.
    for (const float vy : {0.06f, -0.06f, 0.0599f, -0.0599f}) {
        GameTable table;
        table.placeBall(320, 240, 5, vy);
        table.pointAt(0, 0);
        EXPECT_EQ(table.state.velocityX, std::fabs(vy) < 0.06f ? 5 * 0.96f : 5) << vy;
    }
}

TEST(Flight, SpinWrapsAtItsEnds) {
    GameTable table;
    table.state.spinForward = 1;
    table.state.spinAngle = 6.2f;
    table.state.timeScale = 0.0625f;
    table.frame(32); // 6.2 + 0.1 passes 6.28: exactly 0, the excess dropped
    EXPECT_EQ(table.state.spinAngle, 0.0f);
    table.unitFrame();
    EXPECT_EQ(table.state.spinAngle, 0.05f);

    // Reaching exactly 6.28 while growing also wraps to 0; reaching 0 while shrinking, to 6.28.
    table.state.spinAngle = 6.23f;
    table.unitFrame();
    EXPECT_EQ(table.state.spinAngle, 0.0f);
    table.state.spinAngle = 0.05f;
    table.state.spinForward = 0;
    table.unitFrame();
    EXPECT_EQ(table.state.spinAngle, 6.28f);
}

TEST(Pointer, OffsetsFromTheBallAndTheStrictHitCircle) {
    GameTable table; // ball at (320, 240): the pointer (320, 232) is on its centre
    table.pointAt(300, 250);
    EXPECT_EQ(table.state.pointerOffsetX, 20.0f);
    EXPECT_EQ(table.state.pointerOffsetY, 18.0f); // the pointer is below the centre

    // 38 units away is outside. Off-centre, the ball is seen 5 percent of the way toward the
    // centre column: from (420, 300) it shows at pointer (415, 172).
    const struct {
        float ballX, ballY;
        int x, y;
        bool over;
    } cases[] = {{320, 240, 282, 232, false}, {320, 240, 283, 232, true},
                 {320, 240, 320, 270, false}, {320, 240, 320, 269, true},
                 {420, 300, 377, 172, false}, {420, 300, 378, 172, true}};
    for (const auto& c : cases) {
        table.placeBall(c.ballX, c.ballY);
        table.pointAt(c.x, c.y);
        EXPECT_EQ(table.state.pointerOverBall, c.over ? 1 : 0) << c.x << ", " << c.y;
    }
}

TEST(Kick, MissesDoNothingAndAHitStartsARunWithItsVelocities) {
    GameTable table;
    table.state.timeScale = 0.08f; // the speed the last run ended at
    table.state.bounceBudget = 5;  // still bouncing out
    table.pointAt(250, 232);       // beside the ball
    kick(table.core);
    EXPECT_EQ(table.scores.score, 0);
    EXPECT_EQ(table.plays(kickPlays), 0);

    table.pointAt(320, 232, 3); // picks 3 and 3: table entries -2 and 2
    table.state.velocityX = 2.0f;
    table.scores.score = 7; // the finished run's score, still shown
    kick(table.core);
    EXPECT_EQ(table.scores.score, 1);
    EXPECT_EQ(table.state.bounceBudget, 16);
    EXPECT_EQ(table.state.timeScale, 0.06f);
    // The squash and the flash of a kick show in the golden kick frame.
    EXPECT_EQ(table.state.spinForward, 1); // it was moving right
    EXPECT_FLOAT_EQ(table.state.velocityX, -0.6f);
    EXPECT_FLOAT_EQ(table.state.velocityY, 11.36f);
    EXPECT_EQ(table.plays(kickPlays), 1);

    // A second press before the next frame kicks again within the run; the best score
    // follows on the next frame.
    kick(table.core);
    EXPECT_EQ(table.scores.score, 2);
    EXPECT_EQ(table.state.spinForward, 0); // now it was moving left
    EXPECT_EQ(table.scores.bestScore, 0);
    table.frame(16);
    EXPECT_EQ(table.scores.bestScore, 2);

    // Hit low and left of centre: the ball flies high and to the right.
    table.placeBall(320, 240);
    table.pointAt(300, 260); // offsets 20 and 28; picks 5 and 5: entries 0 and 0
    kick(table.core);
    EXPECT_EQ(table.state.spinForward, 0); // it was not moving sideways
    EXPECT_FLOAT_EQ(table.state.velocityX, 6.0f);
    EXPECT_FLOAT_EQ(table.state.velocityY, 13.44f);

    // Eleven more frames on the centre: picks 16 and 16 wrap round to 0 and 0, entries 1 and 1.
    table.placeBall(320, 240);
    table.pointAt(320, 232, 11);
    kick(table.core);
    EXPECT_FLOAT_EQ(table.state.velocityX, 0.3f);
    EXPECT_FLOAT_EQ(table.state.velocityY, 11.28f);
}

TEST(Score, LevelsTurnOverAndBestScore) {
    GameTable table;
    // Each score in turn, with the speed it leaves; a lower score keeps the level.
    const std::pair<std::int32_t, float> levels[] = {
        {49, 0.06f}, {50, 0.07f}, {99, 0.07f}, {100, 0.08f}, {3, 0.08f}};
    for (const auto& [score, speed] : levels) {
        table.scores.score = score;
        table.frame(16);
        EXPECT_EQ(table.state.timeScale, speed) << score;
    }
    EXPECT_EQ(table.scores.bestScore, 100);
    EXPECT_FLOAT_EQ(table.state.frameStep, 16 * 0.08f); // the new speed shows from the next frame

    table.scores.bestScore = 9999;
    table.state.timeScale = 0.07f;
    table.scores.score = 10000; // turns over before it is compared with the best
    table.frame(16);
    EXPECT_EQ(table.scores.score, 0);
    EXPECT_EQ(table.scores.bestScore, 9999);
    EXPECT_EQ(table.state.timeScale, 0.08f); // the level is taken before the turn-over
}

TEST(Pointer, ZonesAndTheCloseButtonHoverSound) {
    const struct {
        int x, y;
        std::int32_t zone;
    } cases[] = {
        {51, 31, zoneDragStrip},   {529, 59, zoneDragStrip},   {50, 45, zoneNone},
        {530, 35, zoneNone},       {200, 30, zoneNone},        {200, 60, zoneNone},
        {200, 416, zoneNone},      {200, 440, zoneNone},       {200, 417, zoneDragStrip},
        {200, 439, zoneDragStrip}, {513, 41, zoneCloseButton}, {533, 57, zoneCloseButton},
        {512, 45, zoneDragStrip},  {534, 45, zoneNone},        {520, 40, zoneDragStrip},
        {520, 58, zoneDragStrip},
    };
    GameTable table;
    for (const auto& c : cases) {
        table.pointAt(c.x, c.y);
        EXPECT_EQ(table.state.pointerZone, c.zone) << c.x << ", " << c.y;
    }

    table.pointAt(100, 100);
    const int before = table.plays(hoverPlays);
    table.pointAt(520, 50, 3); // in, and moving about inside: one sound
    table.pointAt(525, 45);
    EXPECT_EQ(table.plays(hoverPlays), before + 1);
    table.pointAt(540, 50); // out for one frame and back: again
    table.pointAt(520, 50);
    EXPECT_EQ(table.plays(hoverPlays), before + 2);

    // Without the sound the visit is still marked, so nothing is tried again.
    table.state.hoverSound = soundNotLoaded;
    table.pointAt(100, 100);
    table.pointAt(520, 50);
    EXPECT_EQ(table.state.closeHoverSounded, 1);
    EXPECT_EQ(table.plays(hoverPlays), before + 2);
}

} // namespace
