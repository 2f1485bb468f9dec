// The rasteriser: finds the pixels a screen triangle covers, row by row, with exact
// fixed-point edge functions and the top-left fill rule, and hands each row's span on.
#pragma once

#include "platform/softgpu/pixel_pipeline.h"

namespace softgpu {

// Twice the signed area of a screen triangle in 1/65536 pixel units; positive when it runs
// clockwise as seen on the screen (y down).
std::int64_t doubledArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);

// Draws the shown part of the triangle into the back buffer, whatever its winding. Returns the
// number of shown pixels it covered.
std::uint64_t rasteriseTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                                const PixelState& pixels);

} // namespace softgpu
