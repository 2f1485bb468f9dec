// The ball's flight between kicks: spin, gravity, bounces off the box's ceiling, floor and
// walls, squash and flash recovery, and the shine and shadow that follow the ball.
#pragma once

#include "audio/sound_bank.h"
#include "game/game_state.h"

namespace game {

// Turns the ball about its vertical axis, one way or the other after the last kick.
void spinBall(GameState& state, ScenePose& pose);

// Applies gravity and moves the ball; returns this frame's vertical move, which a ceiling or
// floor contact takes back.
float moveBall(GameState& state, ScenePose& pose);

// A ceiling contact, or else a floor contact (which ends the run and spends the bounce budget).
void bounceOffCeilingOrFloor(GameState& state, ScenePose& pose, SoundBank& sounds,
                             float verticalMove);

// A right-wall contact, or else a left-wall contact.
void bounceOffWalls(GameState& state, ScenePose& pose, SoundBank& sounds);

// Sideways drift dies away while the ball hardly moves up or down.
void dampSidewaysDrift(GameState& state);

void recoverSquash(const GameState& state, ScenePose& pose);

// The shine follows the ball and a kick's flash fades back to the resting glow.
void followWithShine(const GameState& state, ScenePose& pose);

// The shadow lies on the floor under the ball, dimmer the higher the ball is.
void placeShadow(ScenePose& pose);

} // namespace game
