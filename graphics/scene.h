// The scene: every texture with the placements it is drawn at, the materials, and the one
// load at start-up that makes them all, clears the picture and starts the sound.
#pragma once

#include "audio/sound_bank.h"
#include "game/frame_clock.h"
#include "game/game_state.h"
#include "game/types.h"
#include "graphics/geometry.h"
#include "graphics/renderer.h"
#include "graphics/textures.h"
#include "persist/score_record.h"

#include <array>

namespace graphics {

// What the game core keeps and the picture shows.
using audio::SoundBank;
using game::FrameClock;
using game::GameState;
using game::Material;
using game::Matrix4;
using game::ScenePose;

// Resource ids of the pictures, in the order they are loaded.
enum SceneBitmap : int {
    ballBitmap = 2001,
    shineBitmap,
    cornerBitmap,
    horizontalBarBitmap,
    verticalBarBitmap,
    bestLabelBitmap,
    scoreLabelBitmap, // three pieces
    shadowBitmap = scoreLabelBitmap + 3,
    closeButtonBitmap,
    bannerBitmap,                   // four pieces
    titleBitmap = bannerBitmap + 4, // two pieces
    pointerBitmap = titleBitmap + 2,
    edgeLineBitmap,
    wallBitmap,
};
static_assert(wallBitmap == 2020);

// The texture holders in the order they are made, each followed by the placement it is drawn
// at (the ball's, the shine's, the floor spot's and the pointer's are moved by the game and
// live in ScenePose). Holders are released in the reverse order at exit.
struct Scene {
    TextureHolder ballTexture;
    TextureHolder shineTexture;
    TextureHolder cornerTexture;
    Matrix4 cornerPlacement{};
    TextureHolder horizontalBarTexture;
    Matrix4 horizontalBarPlacement{};
    TextureHolder verticalBarTexture;
    Matrix4 verticalBarPlacement{};
    TextureHolder bestLabelTexture;
    std::array<TextureHolder, 3> scoreLabelTextures;
    Matrix4 labelPlacement{};
    TextureHolder shadowTexture;
    TextureHolder closeButtonTexture;
    Matrix4 closeButtonPlacement{};
    std::array<TextureHolder, 4> bannerTextures;
    Matrix4 bannerPlacement{};
    std::array<TextureHolder, 2> titleTextures;
    Matrix4 titlePlacement{};
    TextureHolder pointerTexture;
    TextureHolder edgeLineTexture;
    Matrix4 edgeLinePlacement{};
    TextureHolder wallTexture;
    Matrix4 wallPlacement{};

    Material frameMaterial{};
    Material wallMaterial{};
    Material textMaterial{};
};

// Everything loading and drawing the scene work with: references into the shell's Program
// (a test may make the pieces on their own).
struct Stage {
    Renderer& renderer;
    QuadBuffer& quadBuffer;
    BallMesh& ballMesh;
    Scene& scene;
    DigitSet& digits;
    ScenePose& pose;
    GameState& state;
    const FrameClock& clock;
    const persist::ScoreRecord& scores;
    SoundBank& sounds;
};

// Builds the geometry, textures, placements and materials, clears the back buffer to opaque
// black, starts the sound device and loads the three sounds. True when the game can run;
// false (after telling the player) when the sound device cannot start. A missing sound is
// reported once and the game runs without it.
bool loadScene(Stage& stage);

// Draws texture (none when empty) on the quad at placement: how every flat picture is drawn.
// Expects the quad bound as stream 0 with its vertex format.
void drawSprite(softgpu::IDirect3DDevice8* device, softgpu::IDirect3DTexture8* texture,
                const Matrix4& placement);

// Draws one complete picture of the game from the scene and the game state, and presents it.
void drawFrame(Stage& stage);

} // namespace graphics
