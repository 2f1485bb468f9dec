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
#include "platform/softgpu/softgpu.h"
#include "platform/tick_source.h"

#include <filesystem>

struct World {
    // The frame clock reads ticks now; the best score is read from bestScoreFile (an empty
    // path keeps it nowhere).
    World(platform::TickSource& ticks, platform::PointerSource& pointer,
          std::filesystem::path bestScoreFile);
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Construction order matters: members are destroyed in reverse.
    Renderer renderer;
    QuadBuffer quadBuffer;
    FrameClock clock;
    BallMesh ballMesh;
    Scene scene; // the texture holders with the sprite placements between them
    DigitSet digits;
    persist::ScoreRecord scores;
    SoundBank sounds;

    GameState state;
    ScenePose pose;
    Game game;   // what updateFrame and kick work on
    Stage stage; // what loadScene and drawFrame work on
};

// The graphics set-up for the window the device presents to (windowed: 1 for the game).
// Returns 1 when ready, 0 after a message box.
int initDevice(World& world, softgpu::PresentSink* window, int windowed);

// Builds the scene and starts the sound; 0 when the game cannot run (after a message box).
int loadScene(World& world);

// Draws and presents the frame the last update computed.
void drawFrame(World& world);
