#include "game/game.h"

#include "game/constants.h"
#include "game/flight.h"
#include "game/pointer.h"

namespace game {

void updateFrame(Game& game) {
    GameState& state = game.state;
    ScenePose& pose = game.pose;

    advanceFrameClock(game.clock, state);
    spinBall(state, pose);
    const float verticalMove = moveBall(state, pose);
    bounceOffCeilingOrFloor(state, pose, game.sounds, verticalMove);
    bounceOffWalls(state, pose, game.sounds);
    dampSidewaysDrift(state);
    recoverSquash(state, pose);
    followWithShine(state, pose);
    placeShadow(pose);
    trackPointer(state, pose, game.pointer);
    testHit(state);
    applyScoreRules(state, game.scores);
    classifyPointer(state, game.sounds);
}

void kick(Game& game) {
    GameState& state = game.state;
    ScenePose& pose = game.pose;
    // Judged on where the last frame found the pointer, not on the press's own position.
    if (state.pointerOverBall != 1) return;

    if (state.landed != 0) {
        state.landed = 0;
        game.scores.score = 0;
        state.bounceBudget = fullBounceBudget;
        state.timeScale = timeScaleLevel1;
    }

    pose.ballPlacement._22 = squashedScale;
    D3DCOLORVALUE& glow = pose.ballMaterial.Emissive;
    glow.r = kickFlash;
    glow.g = kickFlash;
    glow.b = kickFlash;

    // The spin follows the direction the ball was moving before the kick.
    state.spinForward = state.velocityX > 0.0f ? 1 : 0;
    state.velocityX =
        (state.pointerOffsetX + kickTableX[static_cast<std::size_t>(state.kickPickX)]) *
        kickSideFactor;
    state.velocityY = (state.pointerOffsetY +
                       kickTableY[static_cast<std::size_t>(state.kickPickY)] + kickBaseLift) *
                      state.kickLift;

    game.scores.score = game.scores.score + 1;
    playFromStart(game.sounds, state.kickSound);
}

} // namespace game
