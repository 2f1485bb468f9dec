// The ball sphere, vertex by vertex where the picture depends on it.
#include "graphics/vertices.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace graphics;

namespace {

TEST(Vertices, BallHasItsPolesSeamAndEquatorWhereTheDrawingExpects) {
    std::array<BallVertex, ballVertexCount> ball{};
    buildBallVertices(ball);
    struct Telling {
        const char* what;
        int index;
        float x, y, z, u, v;
    };
    const Telling telling[] = {
        {"top pole", 0, 0, 40, 0, 0, 0},
        {"first ring, column 0", 1, 0, 39.231411f, 7.8036127f, 0, 0.0625f},
        {"column 16 closes the band with u = -1", 33, 0, 39.231411f, 7.8036127f, -1, 0.0625f},
        {"equator, a quarter round", 34 * 8 + 2 * 4, 40, 0, 0, -0.25f, 0.5f},
        {"bottom pole", 543, 0, -40, 0, -1, 1},
    };
    for (const Telling& t : telling) {
        SCOPED_TRACE(t.what);
        const BallVertex& v = ball[static_cast<std::size_t>(t.index)];
        EXPECT_NEAR(v.x, t.x, 1e-5);
        EXPECT_NEAR(v.y, t.y, 1e-5);
        EXPECT_NEAR(v.z, t.z, 1e-5);
        EXPECT_EQ(v.u, t.u);
        EXPECT_EQ(v.v, t.v);
    }
    for (const BallVertex& v : ball) {
        EXPECT_NEAR(std::sqrt(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz), 1.0f, 1e-6);
        EXPECT_EQ(v.x, 40.0f * v.nx);
        EXPECT_EQ(v.y, 40.0f * v.ny);
        EXPECT_EQ(v.z, 40.0f * v.nz);
    }

    // Every strip triangle faces outward, clockwise from outside in a left-handed world, but
    // the 62 empty ones that join the bands.
    int empty = 0, outward = 0;
    for (std::size_t i = 0; i + 2 < ball.size(); ++i) {
        // Odd strip triangles are wound the other way round.
        const BallVertex& p = ball[i];
        const BallVertex& q = ball[i % 2 == 0 ? i + 1 : i + 2];
        const BallVertex& r = ball[i % 2 == 0 ? i + 2 : i + 1];
        const double ux = q.x - p.x, uy = q.y - p.y, uz = q.z - p.z;
        const double vx = r.x - p.x, vy = r.y - p.y, vz = r.z - p.z;
        const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        if (std::sqrt(nx * nx + ny * ny + nz * nz) < 1e-3) {
            ++empty;
        } else {
            outward += nx * (p.x + q.x + r.x) + ny * (p.y + q.y + r.y) + nz * (p.z + q.z + r.z) > 0;
        }
    }
    EXPECT_EQ(empty, 62);
    EXPECT_EQ(outward, 542 - 62);
}

} // namespace
