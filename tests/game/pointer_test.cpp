#include "game_fixture.h"

#include <gtest/gtest.h>

namespace {

// Still frames (no time passes) with the pointer at (x, y), the ball staying where it is.
void pointAt(GameTable& table, int x, int y, int frames = 1) {
    table.pointer.position = {x, y};
    for (int i = 0; i < frames; ++i) table.stillFrame();
}

TEST(Pointer, SpriteOffsetsAndTheStrictHitCircle) {
    GameTable table; // ball at (320, 240): the pointer (320, 232) is on its centre
    pointAt(table, 300, 250);
    EXPECT_EQ(table.pose.pointerPlacement._41, 300.5f);
    EXPECT_EQ(table.pose.pointerPlacement._42, 228.5f);
    EXPECT_EQ(table.state.pointerOffsetX, 20.0f);
    EXPECT_EQ(table.state.pointerOffsetY, 18.0f); // the pointer is below the centre

    pointAt(table, 282, 232); // 38 units away: exactly on the circle is outside
    EXPECT_EQ(table.state.pointerOverBall, 0);
    pointAt(table, 283, 232);
    EXPECT_EQ(table.state.pointerOverBall, 1);
    pointAt(table, 320, 270);
    EXPECT_EQ(table.state.pointerOverBall, 0);
    pointAt(table, 320, 269);
    EXPECT_EQ(table.state.pointerOverBall, 1);

    // Off-centre, the ball is seen 5 percent of the way toward the centre column.
    table.placeBall(420.0f, 300.0f);
    pointAt(table, 415, 172);
    EXPECT_EQ(table.state.pointerOffsetX, 0.0f);
    EXPECT_EQ(table.state.pointerOffsetY, 0.0f);
    pointAt(table, 377, 172);
    EXPECT_EQ(table.state.pointerOverBall, 0);
    pointAt(table, 378, 172);
    EXPECT_EQ(table.state.pointerOverBall, 1);
}

TEST(Pointer, KickPicksAdvanceOnlyWhileOverTheBall) {
    GameTable table;
    pointAt(table, 320, 232, 17);
    EXPECT_EQ(table.state.kickPickX, 1); // 17 frames: round the table of 16 once
    EXPECT_EQ(table.state.kickPickY, 1); // and the table of 8 twice
    pointAt(table, 100, 100, 5);
    EXPECT_EQ(table.state.kickPickX, 1);
    EXPECT_EQ(table.state.kickPickY, 1);
    pointAt(table, 320, 232, 15);
    EXPECT_EQ(table.state.kickPickX, 0);
    EXPECT_EQ(table.state.kickPickY, 0);
}

TEST(Kick, MissesDoNothingAndAHitStartsARunWithItsVelocities) {
    GameTable table;
    table.state.timeScale = 0.08f; // the speed the last run ended at
    table.state.bounceBudget = 5;  // still bouncing out
    pointAt(table, 250, 232);      // beside the ball
    table.state.velocityX = 2.0f;
    kick(table.game);
    EXPECT_EQ(table.scores.score, 0);
    EXPECT_EQ(table.state.velocityX, 2.0f);
    EXPECT_EQ(table.pose.ballMaterial.Emissive.b, 1.0f); // no flash
    EXPECT_EQ(table.pose.ballPlacement._22, 1.0f);
    EXPECT_EQ(table.state.landed, 1);
    EXPECT_TRUE(table.played.empty());

    pointAt(table, 320, 232, 3); // picks 3 and 3: table entries -2 and 2
    table.state.velocityX = 2.0f;
    table.scores.score = 7; // the finished run's score, still shown
    kick(table.game);
    EXPECT_EQ(table.state.landed, 0);
    EXPECT_EQ(table.scores.score, 1);
    EXPECT_EQ(table.state.bounceBudget, 16);
    EXPECT_EQ(table.state.timeScale, 0.06f);
    EXPECT_EQ(table.pose.ballPlacement._22, 0.9f);
    EXPECT_EQ(table.pose.ballMaterial.Emissive.r, 1.2f);
    EXPECT_EQ(table.pose.ballMaterial.Emissive.g, 1.2f);
    EXPECT_EQ(table.pose.ballMaterial.Emissive.b, 1.2f);
    EXPECT_EQ(table.state.spinForward, 1); // it was moving right
    EXPECT_FLOAT_EQ(table.state.velocityX, -0.6f);
    EXPECT_FLOAT_EQ(table.state.velocityY, 11.36f);
    EXPECT_EQ(table.ballX(), 320.0f); // the kick itself moves nothing
    EXPECT_EQ(table.played, std::vector<std::string>{"kick"});

    // A second press before the next frame kicks again, just the same, within the run.
    kick(table.game);
    EXPECT_EQ(table.scores.score, 2);
    EXPECT_EQ(table.state.spinForward, 0); // now it was moving left
    EXPECT_FLOAT_EQ(table.state.velocityX, -0.6f);
    EXPECT_FLOAT_EQ(table.state.velocityY, 11.36f);
    EXPECT_EQ(table.plays("kick"), 2);
    EXPECT_EQ(table.scores.bestScore, 0); // the best score follows on the next frame
    table.frame(16);
    EXPECT_EQ(table.scores.bestScore, 2);

    // Hit low and left of centre: the ball flies high and to the right.
    table.placeBall(320.0f, 240.0f);
    table.state.velocityX = 0.0f;
    pointAt(table, 300, 260); // offsets 20 and 28; picks 5 and 5: entries 0 and 0
    kick(table.game);
    EXPECT_EQ(table.state.spinForward, 0);
    EXPECT_FLOAT_EQ(table.state.velocityX, 6.0f);
    EXPECT_FLOAT_EQ(table.state.velocityY, 13.44f);
}

TEST(Kick, EachFrameOverTheBallPicksTheNextTableEntries) {
    GameTable table;
    const float sideways[] = {0, 4, -2, 3, 0, -6, 1, 0, 1, 2, -3, -4, -5, -1, 6, 1, 0};
    const float upward[] = {0, 6, 2, 3, 0, 1, 4, 1, 0, 6, 2, 3, 0, 1, 4, 1, 0};
    for (int frame = 0; frame < 17; ++frame) {
        pointAt(table, 320, 232); // on the ball's centre: only the tables vary the kick
        kick(table.game);
        EXPECT_FLOAT_EQ(table.state.velocityX, sideways[frame] * 0.3f) << "frame " << frame;
        EXPECT_FLOAT_EQ(table.state.velocityY, (upward[frame] + 140.0f) * 0.08f)
            << "frame " << frame;
    }
}

TEST(Score, LevelsTurnOverAndBestScore) {
    GameTable table;
    table.scores.score = 49;
    table.frame(16);
    EXPECT_EQ(table.state.timeScale, 0.06f);
    table.scores.score = 50;
    table.frame(16);
    EXPECT_EQ(table.state.timeScale, 0.07f);
    EXPECT_FLOAT_EQ(table.state.frameStep, 16 * 0.06f); // the new speed shows from the next frame
    table.frame(16);
    EXPECT_FLOAT_EQ(table.state.frameStep, 16 * 0.07f);
    table.scores.score = 99;
    table.frame(16);
    EXPECT_EQ(table.state.timeScale, 0.07f);
    table.scores.score = 100;
    table.frame(16);
    EXPECT_EQ(table.state.timeScale, 0.08f);
    EXPECT_EQ(table.scores.bestScore, 100);

    table.scores.bestScore = 9999;
    table.scores.score = 10000; // turns over before it is compared with the best
    table.frame(16);
    EXPECT_EQ(table.scores.score, 0);
    EXPECT_EQ(table.scores.bestScore, 9999);
    EXPECT_EQ(table.state.timeScale, 0.08f); // the level holds until the next run
    table.frame(16);
    EXPECT_EQ(table.state.timeScale, 0.08f);
}

TEST(Pointer, ZonesAndTheCloseButtonHoverSound) {
    struct Case {
        int x, y;
        std::int32_t zone;
    };
    const Case cases[] = {
        {51, 31, zoneDragStrip},   {529, 59, zoneDragStrip},   {50, 45, zoneNone},
        {530, 30, zoneNone},       {200, 30, zoneNone},        {200, 60, zoneNone},
        {200, 416, zoneNone},      {200, 440, zoneNone},       {200, 417, zoneDragStrip},
        {200, 439, zoneDragStrip}, {513, 41, zoneCloseButton}, {533, 57, zoneCloseButton},
        {512, 45, zoneDragStrip},  {534, 45, zoneNone},        {520, 40, zoneDragStrip},
        {520, 58, zoneDragStrip},  {200, 240, zoneNone},       {-20, 500, zoneNone},
    };
    GameTable table;
    for (const Case& c : cases) {
        table.state.closeHoverSounded = 0;
        pointAt(table, c.x, c.y);
        EXPECT_EQ(table.state.pointerZone, c.zone) << c.x << ", " << c.y;
    }

    table.played.clear();
    pointAt(table, 100, 100);
    pointAt(table, 520, 50, 3); // in, and moving about inside: one sound
    pointAt(table, 525, 45);
    EXPECT_EQ(table.plays("hover"), 1);
    pointAt(table, 540, 50); // out for one frame and back: again
    pointAt(table, 520, 50);
    EXPECT_EQ(table.plays("hover"), 2);

    // Without the sound the visit is still marked, so nothing is tried again.
    table.state.hoverSound = soundNotLoaded;
    pointAt(table, 100, 100);
    pointAt(table, 520, 50);
    EXPECT_EQ(table.state.closeHoverSounded, 1);
    EXPECT_EQ(table.plays("hover"), 2);
}

} // namespace
