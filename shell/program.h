// The program's objects in the order they must be made, so that at exit the sound stops first,
// then the best score is saved, then textures and buffers go and the device goes last.
#pragma once

#include "audio/sound_bank.h"
#include "game/frame_clock.h"
#include "game/game.h"
#include "game/game_state.h"
#include "graphics/geometry.h"
#include "graphics/renderer.h"
#include "graphics/scene.h"
#include "graphics/textures.h"
#include "persist/score_record.h"
#include "platform/pointer_source.h"
#include "platform/score_store.h"
#include "platform/tick_source.h"
#include "shell/window_proc.h"

namespace shell {

struct Program final {
    // The frame clock reads ticks now; the best score is read from bestScoreStore, which must
    // outlive the program (none keeps it nowhere).
    Program(platform::TickSource& ticks, platform::PointerSource& pointer,
            platform::ScoreStore* bestScoreStore);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Construction order matters: members are destroyed in reverse.
    graphics::Renderer renderer;
    graphics::QuadBuffer quadBuffer;
    game::FrameClock clock;
    graphics::BallMesh ballMesh;
    graphics::Scene scene; // the texture holders with the sprite placements between them
    graphics::DigitSet digits;
    persist::ScoreRecord scores;
    audio::SoundBank sounds;

    game::GameState state;
    game::ScenePose pose;
    game::Core core;       // what updateFrame and kick work on
    graphics::Stage stage; // what loadScene and drawFrame work on

    GameWindowProc windowProc{*this}; // how the window's messages reach the game
};

} // namespace shell
