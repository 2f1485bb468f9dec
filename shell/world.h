// The program's objects in the order they must be made, so that at exit the sound stops first,
// then the best score is saved, then textures and buffers go and the device goes last. It is
// also the game window's procedure, which is how the window's messages reach the game.
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
#include "platform/tick_source.h"
#include "platform/window.h"

#include <filesystem>

namespace shell {

struct World final : platform::WindowProcedure {
    // The frame clock reads ticks now; the best score is read from bestScoreFile (an empty
    // path keeps it nowhere).
    World(platform::TickSource& ticks, platform::PointerSource& pointer,
          std::filesystem::path bestScoreFile);
    World(const World&) = delete;
    World& operator=(const World&) = delete;

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
    game::Game game;       // what updateFrame and kick work on
    graphics::Stage stage; // what loadScene and drawFrame work on

    // Handles one message for the game's window (window_proc.cpp); its result is the
    // message's result. Buttons are judged on the zones the last frame found, not on the
    // message's coordinates.
    platform::LRESULT windowProc(platform::Window& window, platform::UINT message,
                                 platform::WPARAM wParam, platform::LPARAM lParam) override;
};

} // namespace shell
