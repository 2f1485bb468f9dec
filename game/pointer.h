// The player's side of a frame: the pointer and whether it is over the ball, the score rules
// and speed levels, and the frame's drag strips and close button with its hover sound.
#pragma once

#include "audio/sound_bank.h"
#include "game/game_state.h"
#include "persist/score_record.h"
#include "platform/pointer_source.h"

namespace game {

// Reads the pointer once, places the pointer sprite on it and measures the ball's offset from
// it as the player sees the ball on screen.
void trackPointer(GameState& state, ScenePose& pose, platform::PointerSource& pointer);

// Decides whether the pointer is over the ball; every frame it hovers there advances the picks
// into the kick tables.
void testHit(GameState& state);

// The speed level follows the score; the score turns over at 10000; the best score follows.
void applyScoreRules(GameState& state, persist::ScoreRecord& scores);

// Which part of the frame the pointer is in; entering the close button plays the hover sound.
void classifyPointer(GameState& state, SoundBank& sounds);

} // namespace game
