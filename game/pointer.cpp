#include "game/pointer.h"

#include "game/constants.h"

namespace game {

void trackPointer(GameState& state, ScenePose& pose, platform::PointerSource& pointer) {
    const platform::ClientPoint at = pointer.clientPointer();
    state.pointerPos = at;
    const float px = static_cast<float>(at.x);
    const float py = static_cast<float>(at.y);

    pose.pointerPlacement._41 = px + pointerSpriteOffsetX;
    pose.pointerPlacement._42 = pointerSpriteOffsetY - py;

    const float ballX = pose.ballPlacement._41;
    const float ballY = pose.ballPlacement._42;
    state.pointerOffsetX = (screenCentreX - ballX) * sidewaysPull + (ballX - px);
    // Positive when the pointer is below the ball's centre.
    state.pointerOffsetY = py + ballY - ballHeightReference;
}

void testHit(GameState& state) {
    const float dx = state.pointerOffsetX;
    const float dy = state.pointerOffsetY;
    float distanceSquared = missDistanceSquared;
    if (-hitSquareHalfWidth < dx && dx < hitSquareHalfWidth && -hitSquareHalfWidth < dy &&
        dy < hitSquareHalfWidth) {
        distanceSquared = dy * dy + dx * dx;
    }
    state.pointerOverBall = distanceSquared < hitRadiusSquared ? 1 : 0;

    if (state.pointerOverBall == 1) {
        state.kickPickX = state.kickPickX + 1;
        if (state.kickPickX > lastKickPickX) state.kickPickX = 0;
        state.kickPickY = state.kickPickY + 1;
        if (state.kickPickY > lastKickPickY) state.kickPickY = 0;
    }
}

void applyScoreRules(GameState& state, persist::ScoreRecord& scores) {
    // The level is taken before the turn-over, so a score that reaches the limit keeps the
    // top speed until the next run.
    if (scores.score >= scoreForLevel3) {
        state.timeScale = timeScaleLevel3;
    } else if (scores.score >= scoreForLevel2) {
        state.timeScale = timeScaleLevel2;
    }
    if (scores.score >= scoreLimit) scores.score = 0;
    if (scores.score > scores.bestScore) scores.bestScore = scores.score;
}

namespace {

bool inDragStrip(int x, int y) {
    return dragStripLeft < x && x < dragStripRight &&
           ((topStripTop < y && y < topStripBottom) ||
            (bottomStripTop < y && y < bottomStripBottom));
}

bool inCloseButton(int x, int y) {
    return closeButtonLeft < x && x < closeButtonRight && closeButtonTop < y &&
           y < closeButtonBottom;
}

} // namespace

void classifyPointer(GameState& state, SoundBank& sounds) {
    const int x = state.pointerPos.x;
    const int y = state.pointerPos.y;
    state.pointerZone = zoneNone;
    if (inDragStrip(x, y)) state.pointerZone = zoneDragStrip;
    if (inCloseButton(x, y)) state.pointerZone = zoneCloseButton;

    if (state.pointerZone == zoneCloseButton) {
        // Once per visit: marked even when the sound is missing.
        if (state.closeHoverSounded == 0) {
            playFromStart(sounds, state.hoverSound);
            state.closeHoverSounded = 1;
        }
    } else {
        state.closeHoverSounded = 0;
    }
}

} // namespace game
