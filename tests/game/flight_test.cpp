#include "game_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The float whose floor rebound (times -0.7) is exactly the given speed.
float fallThatReboundsAt(float speed) {
    float v = -speed / 0.7f;
    for (int i = 0; i < 64 && v * -0.7f != speed; ++i) {
        v = std::nextafter(v, v * -0.7f < speed ? -100.0f : 100.0f);
    }
    EXPECT_EQ(v * -0.7f, speed);
    return v;
}

// The slowest fall whose rebound is faster than the given speed.
float fallThatReboundsFasterThan(float speed) {
    float v = fallThatReboundsAt(speed);
    while (v * -0.7f <= speed) v = std::nextafter(v, -100.0f);
    return v;
}

TEST(Flight, DroppedBallBouncesOutItsBudgetAndComesToRestOnTheFloor) {
    GameTable table;
    table.state.landed = 0;
    table.state.velocityX = 0.5f; // drifts, but never as far as a wall
    bool squashedByTheFloor = false;
    int contacts = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::int32_t budgetBefore = table.state.bounceBudget;
        const long bouncesBefore = table.plays("bounce");
        table.frame(16);
        ASSERT_GE(table.ballY(), 99.99f) << "frame " << i;
        ASSERT_LE(table.ballY(), 240.0f);
        ASSERT_GE(table.state.bounceBudget, 0);
        if (table.state.bounceBudget < budgetBefore) {
            ++contacts;
            EXPECT_EQ(table.state.landed, 1);
            // A rebound sounds only while it goes on faster than the rest speed.
            const bool sounded = table.plays("bounce") > bouncesBefore;
            EXPECT_EQ(sounded, table.state.velocityY > 0.0f) << "contact " << contacts;
            if (sounded) {
                EXPECT_GT(table.state.velocityY, 0.5f);
            }
            if (contacts == 1) squashedByTheFloor = table.pose.ballPlacement._22 < 1.0f;
        } else {
            EXPECT_EQ(table.plays("bounce"), bouncesBefore);
        }
    }
    EXPECT_TRUE(squashedByTheFloor); // the first landing from y = 240 rebounds faster than 8
    EXPECT_GE(table.plays("bounce"), 1);
    EXPECT_LE(table.plays("bounce"), 15);
    EXPECT_EQ(table.state.bounceBudget, 0);
    EXPECT_EQ(table.state.velocityY, 0.0f);
    // It lies where the last contact put it back: within one frame's fall of the floor line.
    EXPECT_GE(table.ballY(), 100.0f);
    EXPECT_LT(table.ballY(), 100.5f);
    EXPECT_LT(std::fabs(table.state.velocityX), 1e-6f); // its drift has died away
    EXPECT_EQ(table.pose.ballPlacement._22, 1.0f);
}

TEST(Flight, CeilingFloorAndWallContactsAndTheirExactBounds) {
    GameTable table;
    // Exactly on every bound: no contact, no sound.
    table.placeBall(478.0f, 380.0f);
    table.state.velocityX = 8.0f;
    table.state.velocityY = 4.5f; // 4 after gravity
    table.unitFrame();
    EXPECT_EQ(table.ballY(), 384.0f);
    EXPECT_EQ(table.ballX(), 486.0f);
    table.placeBall(160.0f, 104.0f);
    table.state.velocityX = -8.0f;
    table.state.velocityY = -3.5f;
    table.unitFrame();
    EXPECT_EQ(table.ballY(), 100.0f);
    EXPECT_EQ(table.ballX(), 152.0f);
    EXPECT_EQ(table.plays("bounce"), 0);
    EXPECT_EQ(table.state.bounceBudget, 16);

    // Ceiling: back to the last position, slowed and squashed, and a bounce.
    table.placeBall(300.0f, 380.0f);
    table.state.velocityX = 0.0f;
    table.state.velocityY = 10.5f;
    table.unitFrame();
    EXPECT_EQ(table.ballY(), 380.0f);
    EXPECT_FLOAT_EQ(table.state.velocityY, -6.0f);
    EXPECT_EQ(table.plays("bounce"), 1);
    EXPECT_EQ(table.state.bounceBudget, 16);
    EXPECT_FLOAT_EQ(table.pose.ballPlacement._22, 0.9f + 0.006f); // squashed, one step back

    // Right and left walls: back, reversed at 0.8, a bounce, no squash.
    table.pose.ballPlacement._22 = 1.0f;
    table.placeBall(480.0f, 300.0f);
    table.state.velocityX = 10.0f;
    table.state.velocityY = 0.5f; // 0 after gravity
    table.unitFrame();
    EXPECT_EQ(table.ballX(), 480.0f);
    EXPECT_FLOAT_EQ(table.state.velocityX, -8.0f * 0.96f); // damped too: vertical speed is 0
    table.placeBall(160.0f, 300.0f);
    table.state.velocityX = -10.0f;
    table.state.velocityY = 2.0f;
    table.unitFrame();
    EXPECT_EQ(table.ballX(), 160.0f);
    EXPECT_FLOAT_EQ(table.state.velocityX, 8.0f);
    EXPECT_EQ(table.plays("bounce"), 3);
    EXPECT_EQ(table.pose.ballPlacement._22, 1.0f);
}

TEST(Flight, FloorRulesAtTheirBounds) {
    GameTable table;
    table.state.landed = 0;
    table.placeBall(300.0f, 99.0f); // already below the floor: still frames keep touching it

    table.state.velocityY = fallThatReboundsAt(0.5f);
    table.stillFrame(); // a rebound of exactly 0.5 is stopped, silently
    EXPECT_EQ(table.state.landed, 1);
    EXPECT_EQ(table.state.bounceBudget, 15);
    EXPECT_EQ(table.state.velocityY, 0.0f);
    EXPECT_EQ(table.plays("bounce"), 0);

    table.state.velocityY = fallThatReboundsFasterThan(0.5f);
    table.stillFrame();
    EXPECT_GT(table.state.velocityY, 0.5f);
    EXPECT_EQ(table.plays("bounce"), 1);

    table.state.velocityY = fallThatReboundsAt(8.0f); // exactly 8: no squash
    table.stillFrame();
    EXPECT_EQ(table.state.velocityY, 8.0f);
    EXPECT_EQ(table.pose.ballPlacement._22, 1.0f);
    table.state.velocityY = fallThatReboundsFasterThan(8.0f);
    table.stillFrame();
    EXPECT_EQ(table.pose.ballPlacement._22, 0.9f);

    // An exhausted budget stops the ball dead however fast, and never goes below 0.
    table.state.bounceBudget = 1;
    table.state.velocityY = -20.0f;
    table.stillFrame();
    EXPECT_EQ(table.state.velocityY, 0.0f);
    table.state.velocityY = -20.0f;
    table.stillFrame();
    EXPECT_EQ(table.state.bounceBudget, 0);
    EXPECT_EQ(table.state.velocityY, 0.0f);
    EXPECT_EQ(table.plays("bounce"), 3);
}

TEST(Flight, StillFramesMoveNothingButDampInTheBand) {
    GameTable table;
    table.state.velocityX = 5.0f;
    table.state.velocityY = 0.06f; // the band is open: no damping on its edge
    table.stillFrame();
    EXPECT_EQ(table.state.velocityX, 5.0f);
    table.state.velocityY = -0.06f;
    table.stillFrame();
    EXPECT_EQ(table.state.velocityX, 5.0f);
    table.state.velocityY = 0.0599f;
    table.stillFrame();
    EXPECT_EQ(table.state.velocityX, 5.0f * 0.96f);
    EXPECT_EQ(table.ballX(), 320.0f);
    EXPECT_EQ(table.ballY(), 240.0f);
    EXPECT_TRUE(table.played.empty());
}

TEST(Flight, SpinWrapsAtItsEnds) {
    GameTable table;
    table.state.spinForward = 1;
    table.state.spinAngle = 6.2f;
    table.state.timeScale = 0.0625f;
    table.frame(32); // 6.2 + 0.1 passes 6.28: exactly 0, the excess dropped
    EXPECT_EQ(table.state.spinAngle, 0.0f);
    EXPECT_EQ(table.pose.ballPlacement._11, 1.0f);
    EXPECT_EQ(table.pose.ballPlacement._13, 0.0f);
    table.unitFrame();
    EXPECT_EQ(table.state.spinAngle, 0.05f);
    EXPECT_FLOAT_EQ(table.pose.ballPlacement._13, std::sin(0.05f));
    EXPECT_FLOAT_EQ(table.pose.ballPlacement._31, -std::sin(0.05f));

    // Reaching exactly 6.28 while growing also wraps to 0.
    float justShort = 6.28f - 0.05f;
    while (justShort + 0.05f < 6.28f) justShort = std::nextafter(justShort, 7.0f);
    while (justShort + 0.05f > 6.28f) justShort = std::nextafter(justShort, 0.0f);
    ASSERT_EQ(justShort + 0.05f, 6.28f);
    table.state.spinAngle = justShort;
    table.unitFrame();
    EXPECT_EQ(table.state.spinAngle, 0.0f);
    table.unitFrame();

    table.state.spinForward = 0;
    table.unitFrame(); // back to exactly 0 while shrinking: 6.28
    EXPECT_EQ(table.state.spinAngle, 6.28f);
    EXPECT_FLOAT_EQ(table.pose.ballPlacement._33, std::cos(6.28f));
    EXPECT_EQ(table.pose.ballPlacement._22, 1.0f); // the squash entry is not the spin's
}

TEST(Flight, SquashAndFlashRecoverShineAndShadowFollow) {
    GameTable table;
    table.pose.ballPlacement._22 = 0.9f;
    table.pose.ballMaterial.Emissive = {1.2f, 1.2f, 1.2f, 1};
    table.state.gravity = 0.0f; // the ball hangs still where it is
    int roundAgain = 0;
    int glowSettled = 0;
    for (int i = 1; i <= 100; ++i) {
        const float blueBefore = table.pose.ballMaterial.Emissive.b;
        const float squashBefore = table.pose.ballPlacement._22;
        table.unitFrame();
        const Matrix4& ball = table.pose.ballPlacement;
        if (squashBefore >= 1.0f) {
            EXPECT_EQ(ball._22, 1.0f);
        }
        if (roundAgain == 0 && ball._22 >= 1.0f) roundAgain = i;
        const D3DCOLORVALUE& glow = table.pose.ballMaterial.Emissive;
        EXPECT_EQ(glow.r, glow.b);
        EXPECT_EQ(glow.g, glow.b);
        if (blueBefore <= 0.4f)
            EXPECT_EQ(glow.b, 0.4f);
        else
            EXPECT_FLOAT_EQ(glow.b, blueBefore - 0.01f);
        if (glowSettled == 0 && glow.b == 0.4f) glowSettled = i;
        EXPECT_EQ(table.pose.shinePlacement._41, ball._41);
        EXPECT_EQ(table.pose.shinePlacement._42, ball._42);
    }
    EXPECT_EQ(roundAgain, 17);  // about 17 step units from 0.9
    EXPECT_GE(glowSettled, 80); // about 80 step units from 1.2
    EXPECT_LE(glowSettled, 82);

    // On the floor line the shadow has 0.945 of the glow; near the ceiling about 0.377.
    table.placeBall(250.0f, 100.0f);
    table.stillFrame();
    const Matrix4& shadow = table.pose.shadowPlacement;
    const float shade = table.pose.shadowMaterial.Emissive.r;
    EXPECT_FLOAT_EQ(shade, 0.4f * 0.945f);
    EXPECT_EQ(table.pose.shadowMaterial.Emissive.g, shade);
    EXPECT_EQ(table.pose.shadowMaterial.Emissive.b, shade);
    EXPECT_EQ(shadow._41, 250.0f);
    EXPECT_EQ(shadow._42, 72.5f);
    EXPECT_EQ(shadow._22, 0.0f);
    EXPECT_EQ(shadow._11, 64.0f + shade);
    EXPECT_EQ(shadow._23, 64.0f + shade);
    EXPECT_EQ(shadow._32, -(64.0f + shade));
    EXPECT_EQ(shadow._33, 64.0f + shade);
    table.placeBall(250.0f, 384.0f);
    table.stillFrame();
    EXPECT_NEAR(table.pose.shadowMaterial.Emissive.r, 0.4f * 0.377f, 0.0001f);
}

} // namespace
