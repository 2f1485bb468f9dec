#include "game/game.h"

#include "game/constants.h"
#include "game/flight.h"
#include "game/pointer.h"

namespace game {

void updateFrame(Core& core) {
    GameState& state = core.state;
    ScenePose& pose = core.pose;

    advanceFrameClock(core.clock, state);
    spinBall(state, pose);
    const float verticalMove = moveBall(state, pose);
    bounceOffCeilingOrFloor(state, pose, core.sounds, verticalMove);
    bounceOffWalls(state, pose, core.sounds);
    dampSidewaysDrift(state);
    recoverSquash(state, pose);
    followWithShine(state, pose);
    placeShadow(pose);
    trackPointer(state, pose, core.pointer);
    testHit(state);
    applyScoreRules(state, core.scores);
    classifyPointer(state, core.sounds);
}

void kick(Core& core) {
    GameState& state = core.state;
    ScenePose& pose = core.pose;
    // Judged on where the last frame found the pointer, not on the press's own position.
    if (state.pointerOverBall != 1) return;

    if (state.landed != 0) {
        state.landed = 0;
        core.scores.score = 0;
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

    core.scores.score = core.scores.score + 1;
    playFromStart(core.sounds, state.kickSound);
}

} // namespace game
