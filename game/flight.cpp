#include "game/flight.h"

#include "game/constants.h"

#include <cmath>

namespace game {

void spinBall(GameState& state, ScenePose& pose) {
    const float turn = state.frameStep * spinRate;
    // The excess over the wrap point is dropped, not carried.
    if (state.spinForward != 0) {
        state.spinAngle = state.spinAngle + turn;
        if (state.spinAngle >= fullTurn) state.spinAngle = 0.0f;
    } else {
        state.spinAngle = state.spinAngle - turn;
        if (state.spinAngle <= 0.0f) state.spinAngle = fullTurn;
    }
    const float c = std::cos(state.spinAngle);
    const float s = std::sin(state.spinAngle);
    Matrix4& ball = pose.ballPlacement;
    ball._11 = c;
    ball._13 = s;
    ball._31 = -s;
    ball._33 = c;
}

float moveBall(GameState& state, ScenePose& pose) {
    Matrix4& ball = pose.ballPlacement;
    state.velocityY = state.velocityY - state.gravity * state.frameStep;
    const float verticalMove = state.velocityY * state.frameStep;
    ball._42 = ball._42 + verticalMove;
    ball._41 = ball._41 + state.velocityX * state.frameStep;
    return verticalMove;
}

void bounceOffCeilingOrFloor(GameState& state, ScenePose& pose, SoundBank& sounds,
                             float verticalMove) {
    Matrix4& ball = pose.ballPlacement;
    if (ball._42 > ceilingY) {
        ball._42 = ball._42 - verticalMove;
        ball._22 = squashedScale;
        state.velocityY = state.velocityY * ceilingRestitution;
        playFromStart(sounds, state.bounceSound);
    } else if (ball._42 < floorY) {
        ball._42 = ball._42 - verticalMove;
        state.landed = 1;
        state.bounceBudget = state.bounceBudget - 1;
        if (state.bounceBudget < 0) state.bounceBudget = 0;
        state.velocityY = state.velocityY * floorRestitution;
        if (state.velocityY > hardRebound) ball._22 = squashedScale;
        // An exhausted budget stops the ball dead however fast it came; a slow rebound lies
        // still. Either way it lands without a sound.
        if (state.bounceBudget == 0 || state.velocityY <= restSpeed) {
            state.velocityY = 0.0f;
        } else {
            playFromStart(sounds, state.bounceSound);
        }
    }
}

void bounceOffWalls(GameState& state, ScenePose& pose, SoundBank& sounds) {
    Matrix4& ball = pose.ballPlacement;
    if (ball._41 > rightWallX || ball._41 < leftWallX) {
        // Back to where the ball was, with the velocity it arrived with.
        ball._41 = ball._41 - state.velocityX * state.frameStep;
        state.velocityX = state.velocityX * wallRestitution;
        playFromStart(sounds, state.bounceSound);
    }
}

void dampSidewaysDrift(GameState& state) {
    if (-dampingBand < state.velocityY && state.velocityY < dampingBand) {
        state.velocityX = state.velocityX * dampingFactor;
    }
}

void recoverSquash(const GameState& state, ScenePose& pose) {
    Matrix4& ball = pose.ballPlacement;
    // It may pass 1 for one frame; the next frame sets it round exactly.
    if (ball._22 < 1.0f) {
        ball._22 = ball._22 + state.frameStep * squashRecovery;
    } else {
        ball._22 = 1.0f;
    }
}

void followWithShine(const GameState& state, ScenePose& pose) {
    pose.shinePlacement._41 = pose.ballPlacement._41;
    pose.shinePlacement._42 = pose.ballPlacement._42;

    // The three components are always set together, so blue speaks for all of them.
    D3DCOLORVALUE& glow = pose.ballMaterial.Emissive;
    if (glow.b <= flashFloor) {
        glow.r = flashFloor;
        glow.g = flashFloor;
        glow.b = flashFloor;
    } else {
        const float fade = state.frameStep * flashFade;
        glow.r = glow.r - fade;
        glow.g = glow.g - fade;
        glow.b = glow.b - fade;
    }
}

void placeShadow(ScenePose& pose) {
    const Matrix4& ball = pose.ballPlacement;
    Matrix4& shadow = pose.shadowPlacement;
    const float height = ball._42 - shadowFloorY;
    shadow._41 = ball._41;
    shadow._42 = shadowFloorY;
    shadow._22 = 0.0f;

    const float dimming = 1.0f - height * shadowDimming;
    const D3DCOLORVALUE& glow = pose.ballMaterial.Emissive;
    D3DCOLORVALUE& shade = pose.shadowMaterial.Emissive;
    shade.r = glow.r * dimming;
    shade.g = glow.g * dimming;
    shade.b = glow.b * dimming;

    // The quad's own vertical axis is laid onto depth, so it lies flat on the floor.
    const float size = shade.r + shadowBaseSize;
    shadow._11 = size;
    shadow._23 = size;
    shadow._32 = -size;
    shadow._33 = size;
}

} // namespace game
