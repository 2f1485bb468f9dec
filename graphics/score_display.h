// The numbers on the back wall: the score, the best score and, on demand, the frames per
// second, left-aligned with 16-unit digits, and the labels beside them.
#pragma once

#include "graphics/scene.h"

#include <array>

namespace graphics {

// One digit of a number as it is drawn: which digit and the x of its centre.
struct DigitDraw {
    int digit;
    float x;
};

// The digits of a non-negative value in drawing order (units first), the most significant one
// centred on firstX and each further one 16 units to the right. Returns how many (at most 10).
int layOutNumber(std::int32_t value, float firstX, std::array<DigitDraw, 10>& out);

// Draws value with its first digit centred on (firstX, y); digitPlacement takes each x and y.
void drawNumber(Stage& stage, std::int32_t value, float firstX, float y);

// The score, the best score, the frames per second while shown, then the labels. Expects the
// scene begun with the quad bound, textMaterial current and additive blending on.
void drawScores(Stage& stage);

} // namespace graphics
