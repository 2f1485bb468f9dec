// Transform and lighting: turns the vertices of a stream into clip-space vertices with their
// texture coordinates and their lit (or plain) colour.
#pragma once

#include "platform/softgpu/d3d8types.h"

namespace softgpu {

class DeviceState;

// A vertex after transform and lighting. Position in clip space (x, y, z, w as the projection
// leaves them); colour in 0..1.
struct ClipVertex {
    float x, y, z, w;
    float u, v;
    float r, g, b, a;
};

// Bytes a vertex of this format takes, or 0 for a format the device cannot draw.
UINT vertexSize(DWORD fvf);

// The product of two row-vector matrices: a point goes through a first, then b.
D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b);

// Transforms and lights count vertices of format fvf that lie stride bytes apart.
void processVertices(const DeviceState& state, const BYTE* vertices, UINT stride, DWORD fvf,
                     UINT count, ClipVertex* out);

} // namespace softgpu
