// Clipping in clip space: triangles that reach behind the viewer, outside the depth range or
// far past the screen edges are cut down to the part the rasteriser can take.
#pragma once

#include "platform/softgpu/vertex_processing.h"

namespace softgpu {

// How far beyond the screen edges, in screen widths and heights from the centre, geometry is
// still rasterised without being cut: the rasteriser only visits on-screen pixels anyway, and
// within this band its fixed-point edge arithmetic cannot overflow.
constexpr float guardBand = 4.0f;

// The smallest w the rasteriser accepts; nearer points are cut away, so no division by a w
// near 0 ever blows a vertex up.
constexpr float nearestW = 1.0e-5f;

enum ClipPlaneBit : unsigned {
    clipNear = 1u << 0,  // z < 0
    clipFar = 1u << 1,   // z > w
    clipW = 1u << 2,     // w < nearestW
    clipLeft = 1u << 3,  // x < -guardBand * w
    clipRight = 1u << 4, // x > guardBand * w
    clipBottom = 1u << 5,
    clipTop = 1u << 6,
};

// The planes a vertex lies outside of.
unsigned clipCodes(const ClipVertex& vertex);

// The most vertices a triangle can have after being cut by all seven planes.
constexpr int maxClippedVertices = 3 + 7;

// Cuts the triangle (a, b, c) by every plane in planes; writes the convex polygon that is
// left, in the same winding, to out and returns its vertex count (0 when nothing is left).
int clipTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c, unsigned planes,
                 ClipVertex* out);

} // namespace softgpu
