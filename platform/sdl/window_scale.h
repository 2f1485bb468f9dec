// The window's whole-number scale on high-DPI screens: which scale a screen calls for, and the
// picture enlarged onto the window with each pixel a square block.
#pragma once

#include <cstdint>

namespace platform {

constexpr int smallestScale = 1;
constexpr int largestScale = 8;

// The scale a screen of that resolution calls for: its dots per inch over 96, rounded (2 from
// 144 dpi), between 1 and 8, and then lowered while a window of that size, scaled, would not
// fit on the screen. An unknown resolution (0 or less) gives 1.
int scaleForScreen(float dotsPerInch, int screenWidth, int screenHeight, int windowWidth,
                   int windowHeight);

// Copies a width x height picture of 32-bit pixels, each pixel becoming a scale x scale block:
// the target holds width * scale by height * scale pixels. Pitches are in bytes.
void enlargePixels(const std::uint8_t* source, int sourcePitch, int width, int height, int scale,
                   std::uint8_t* target, int targetPitch);

} // namespace platform
