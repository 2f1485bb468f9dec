#include "graphics/vertices.h"

#include <cmath>

namespace graphics {

namespace {

// The angular steps are kept as floats, pi/16 from pole to pole and pi/8 around, and an angle
// is its index times that float.
constexpr float polarStep = 0.19634955f;
constexpr float aroundStep = 0.39269909f;

BallVertex ballVertex(int ring, int column) {
    const double theta = ring * double{polarStep};
    const double phi = column * double{aroundStep};
    BallVertex v;
    v.nx = static_cast<float>(std::sin(phi) * std::sin(theta));
    v.ny = static_cast<float>(std::cos(theta));
    v.nz = static_cast<float>(std::cos(phi) * std::sin(theta));
    v.x = ballRadius * v.nx;
    v.y = ballRadius * v.ny;
    v.z = ballRadius * v.nz;
    // u runs against phi so the picture reads unmirrored from outside; it wraps once round.
    v.u = static_cast<float>(column) * -0.0625f;
    v.v = static_cast<float>(ring) * 0.0625f;
    return v;
}

} // namespace

void buildBallVertices(std::array<BallVertex, ballVertexCount>& out) {
    for (int band = 0; band < ballBands; ++band) {
        for (int column = 0; column < ballColumns; ++column) {
            const int upper = band * ballColumns * 2 + column * 2;
            out[upper] = ballVertex(band, column);
            out[upper + 1] = ballVertex(band + 1, column);
        }
    }
}

} // namespace graphics
