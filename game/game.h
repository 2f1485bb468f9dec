// The game's per-frame update and the kick, over everything they read and write.
#pragma once

#include "audio/sound_bank.h"
#include "game/frame_clock.h"
#include "game/game_state.h"
#include "persist/score_record.h"
#include "platform/pointer_source.h"

namespace game {

// The parts of the program the game core works on: references into the shell's Program, or
// into a test's own pieces.
struct Core {
    GameState& state;
    ScenePose& pose;
    FrameClock& clock;
    persist::ScoreRecord& scores;
    SoundBank& sounds;
    platform::PointerSource& pointer;
};

// Advances the game by one frame: clock, flight, collisions, pointer, score and zones.
void updateFrame(Core& core);

// The left-button press: kicks the ball if the last frame found the pointer over it.
void kick(Core& core);

} // namespace game
