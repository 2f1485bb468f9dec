// Sutherland-Hodgman clipping against one plane at a time. Every attribute is interpolated
// linearly in clip space, which is what keeps texture coordinates and colours right along the
// new edges once they are divided by w.
#include "platform/softgpu/clipper.h"

#include <array>

namespace softgpu {

namespace {

constexpr int planeCount = 7;

// Signed distance to a plane: the vertex is inside where it is not negative.
float distance(const ClipVertex& v, int plane) {
    switch (plane) {
    case 0:
        return v.z;
    case 1:
        return v.w - v.z;
    case 2:
        return v.w - nearestW;
    case 3:
        return v.x + guardBand * v.w;
    case 4:
        return guardBand * v.w - v.x;
    case 5:
        return v.y + guardBand * v.w;
    default:
        return guardBand * v.w - v.y;
    }
}

ClipVertex lerp(const ClipVertex& from, const ClipVertex& to, float t) {
    auto mix = [t](float a, float b) { return a + (b - a) * t; };
    return ClipVertex{mix(from.x, to.x), mix(from.y, to.y), mix(from.z, to.z), mix(from.w, to.w),
                      mix(from.u, to.u), mix(from.v, to.v), mix(from.r, to.r), mix(from.g, to.g),
                      mix(from.b, to.b), mix(from.a, to.a)};
}

} // namespace

unsigned clipCodes(const ClipVertex& v) {
    unsigned codes = 0;
    for (int plane = 0; plane < planeCount; ++plane) {
        if (distance(v, plane) < 0.0f) codes |= 1u << plane;
    }
    return codes;
}

int clipTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c, unsigned planes,
                 ClipVertex* out) {
    std::array<ClipVertex, maxClippedVertices> buffers[2];
    buffers[0][0] = a;
    buffers[0][1] = b;
    buffers[0][2] = c;
    int count = 3;
    int current = 0;
    for (int plane = 0; plane < planeCount && count > 0; ++plane) {
        if ((planes & (1u << plane)) == 0) continue;
        const auto& in = buffers[current];
        auto& next = buffers[1 - current];
        int nextCount = 0;
        for (int i = 0; i < count; ++i) {
            const ClipVertex& from = in[i];
            const ClipVertex& to = in[(i + 1) % count];
            const float dFrom = distance(from, plane);
            const float dTo = distance(to, plane);
            if (dFrom >= 0.0f) next[nextCount++] = from;
            // An edge that crosses the plane gets a new vertex where it crosses; the
            // parameter is always taken from the inside end so both triangles sharing the
            // edge get the very same point.
            if ((dFrom >= 0.0f) != (dTo >= 0.0f)) {
                next[nextCount++] = dFrom >= 0.0f ? lerp(from, to, dFrom / (dFrom - dTo))
                                                  : lerp(to, from, dTo / (dTo - dFrom));
            }
        }
        count = nextCount;
        current = 1 - current;
    }
    for (int i = 0; i < count; ++i) out[i] = buffers[current][i];
    return count;
}

} // namespace softgpu
