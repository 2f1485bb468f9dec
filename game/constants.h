// The fixed numbers of the game core: the box's walls, the bounce factors, the fades, the hit
// circle, the kick tables and the speed levels. All real quantities are single-precision.
#pragma once

#include <array>
#include <cstdint>

namespace game {

// Speed levels: step units per millisecond.
constexpr float timeScaleLevel1 = 0.06f;
constexpr float timeScaleLevel2 = 0.07f;
constexpr float timeScaleLevel3 = 0.08f;
constexpr std::int32_t scoreForLevel2 = 50;
constexpr std::int32_t scoreForLevel3 = 100;

// A frame whose step would exceed this (after a stall) moves nothing at all.
constexpr float maxFrameStep = 64.0f;
// A counting window for the frames-per-second figure closes after more than this many ms.
constexpr std::uint32_t fpsWindowMs = 1000;

// Spin about the vertical axis; the turn wraps at 6.28, not at 2 pi.
constexpr float spinRate = 0.05f;
constexpr float fullTurn = 6.28f;

// The box the ball's centre stays in.
constexpr float ceilingY = 384.0f;
constexpr float floorY = 100.0f;
constexpr float rightWallX = 486.0f;
constexpr float leftWallX = 152.0f;

constexpr float ceilingRestitution = -0.6f;
constexpr float floorRestitution = -0.7f;
constexpr float wallRestitution = -0.8f;

constexpr float squashedScale = 0.9f; // the ball's vertical scale just after a hit
constexpr float hardRebound = 8.0f;   // a floor rebound faster than this squashes the ball
constexpr float restSpeed = 0.5f;     // a floor rebound this slow or slower is stopped
constexpr std::int32_t fullBounceBudget = 16;

// Sideways drift dies away while the vertical speed lies strictly inside this band.
constexpr float dampingBand = 0.06f;
constexpr float dampingFactor = 0.96f; // per frame, whatever the step

constexpr float squashRecovery = 0.006f; // per step unit
constexpr float flashFade = 0.01f;       // per step unit, from each emissive component
constexpr float flashFloor = 0.4f;       // the ball's resting glow
constexpr float kickFlash = 1.2f;

// The shadow lies flat on the floor plane and dims as the ball rises.
constexpr float shadowFloorY = 72.5f;
constexpr float shadowDimming = 0.002f; // per unit of height
constexpr float shadowBaseSize = 64.0f;

// The pointer sprite sits on the pixel the pointer points at.
constexpr float pointerSpriteOffsetX = 0.5f;
constexpr float pointerSpriteOffsetY = 478.5f;

// Where the ball appears on screen, seen from the pointer: pulled 5 percent toward the centre
// column, its height measured against this reference line.
constexpr float screenCentreX = 320.0f;
constexpr float sidewaysPull = 0.05f;
constexpr float ballHeightReference = 472.0f;

// The hit test: a square of half-width 50 around the ball, then a circle of radius 38.
constexpr float hitSquareHalfWidth = 50.0f;
constexpr float missDistanceSquared = 10000.0f;
constexpr float hitRadiusSquared = 1444.0f;

constexpr float kickSideFactor = 0.3f;
constexpr float kickBaseLift = 140.0f;

// Small variations of each kick, picked by how long the pointer hovered over the ball.
constexpr std::array<float, 16> kickTableX = {1.0f, 0.0f, 4.0f, -2.0f, 3.0f,  0.0f,  -6.0f, 1.0f,
                                              0.0f, 1.0f, 2.0f, -3.0f, -4.0f, -5.0f, -1.0f, 6.0f};
constexpr std::array<float, 8> kickTableY = {1.0f, 0.0f, 6.0f, 2.0f, 3.0f, 0.0f, 1.0f, 4.0f};
constexpr std::int32_t lastKickPickX = 15;
constexpr std::int32_t lastKickPickY = 7;

// The score counter turns over here.
constexpr std::int32_t scoreLimit = 10000;

// Pointer zones in client pixels; every bound is exclusive.
constexpr int dragStripLeft = 50;
constexpr int dragStripRight = 530;
constexpr int topStripTop = 30;
constexpr int topStripBottom = 60;
constexpr int bottomStripTop = 416;
constexpr int bottomStripBottom = 440;
constexpr int closeButtonLeft = 512;
constexpr int closeButtonRight = 534;
constexpr int closeButtonTop = 40;
constexpr int closeButtonBottom = 58;

} // namespace game
