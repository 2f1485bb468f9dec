// Everything the game remembers between frames: the ball's flight, the pointer, the kick
// counters, the zones, and the placements and materials of the moving pictures.
#pragma once

#include "audio/sound_bank.h"
#include "game/constants.h"
#include "game/types.h"
#include "platform/pointer_source.h"

#include <cstdint>

namespace game {

using audio::SoundBank;
using audio::SoundId;
using audio::soundNotLoaded;

// Pointer zones in the window's frame.
enum PointerZone : std::int32_t {
    zoneNone = 0,
    zoneDragStrip = 1,
    zoneCloseButton = 2,
};

struct GameState {
    float timeScale = timeScaleLevel1; // step units per millisecond: the speed level
    float gravity = 0.5f;              // units per step unit squared, downward
    float kickLift = 0.08f;            // factor of the upward kick velocity
    std::int32_t landed = 1;           // the ball touched the floor since the run began
    std::int32_t bounceBudget = fullBounceBudget;
    std::int32_t windowed = 1; // the window shows only its inner region
    float frameStep = 0;       // step units of this frame
    float velocityX = 0;       // units per step unit
    float velocityY = 0;       // units per step unit, upward positive
    float spinAngle = 0;       // radians, kept within 0 to 6.28
    std::int32_t spinForward = 0;
    platform::ClientPoint pointerPos; // pointer in client pixels, read once a frame
    float pointerOffsetX = 0;         // the ball's offset from the pointer, units
    float pointerOffsetY = 0;
    std::int32_t pointerOverBall = 0;
    std::int32_t kickPickX = 0; // index into the horizontal kick table, 0 to 15
    std::int32_t kickPickY = 0; // index into the vertical kick table, 0 to 7
    std::int32_t pointerZone = zoneNone;
    std::int32_t closeHoverSounded = 0;
    std::int32_t showFps = 0;
    SoundId kickSound = soundNotLoaded;
    SoundId bounceSound = soundNotLoaded;
    SoundId hoverSound = soundNotLoaded;
};

// The placements and materials of the pictures that move: the game writes them every frame,
// scene set-up gives them their starting values and frame drawing draws with them.
struct ScenePose {
    Matrix4 ballPlacement{};
    Matrix4 shinePlacement{};
    Matrix4 shadowPlacement{};
    Matrix4 pointerPlacement{};
    Material ballMaterial{};
    Material shadowMaterial{};
};

} // namespace game
