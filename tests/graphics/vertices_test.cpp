// The quad and the ball sphere, vertex by vertex where the picture depends on it.
#include "graphics/vertices.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Vertices, QuadIsAClockwiseUnitSquareWithPictureTopUp) {
    EXPECT_EQ(sizeof quadVertices, 80u);
    EXPECT_EQ(quadVertices[0].x, -1.0f);
    EXPECT_EQ(quadVertices[0].y, 1.0f);
    EXPECT_EQ(quadVertices[0].v, 0.0f);
    EXPECT_EQ(quadVertices[3].x, 1.0f);
    EXPECT_EQ(quadVertices[3].y, -1.0f);
    EXPECT_EQ(quadVertices[3].u, 1.0f);
    EXPECT_EQ(quadVertices[3].v, 1.0f);
    // First strip triangle (0, 1, 2) seen from the viewer (y up): clockwise, negative area.
    const auto& a = quadVertices[0];
    const auto& b = quadVertices[1];
    const auto& c = quadVertices[2];
    EXPECT_LT((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x), 0.0f);
}

TEST(Vertices, BallHasItsPolesSeamAndEquatorWhereTheDrawingExpects) {
    std::array<BallVertex, ballVertexCount> ball{};
    buildBallVertices(ball);
    ASSERT_EQ(ball.size(), 544u);

    const BallVertex& top = ball[0];
    EXPECT_EQ(top.x, 0.0f);
    EXPECT_EQ(top.y, 40.0f);
    EXPECT_EQ(top.z, 0.0f);
    EXPECT_EQ(top.ny, 1.0f);
    EXPECT_EQ(top.u, 0.0f);
    EXPECT_EQ(top.v, 0.0f);

    const BallVertex& ring1 = ball[1];
    EXPECT_NEAR(ring1.x, 0.0f, 1e-6);
    EXPECT_NEAR(ring1.y, 39.231f, 1e-3);
    EXPECT_NEAR(ring1.z, 7.804f, 1e-3);
    EXPECT_EQ(ring1.u, 0.0f);
    EXPECT_EQ(ring1.v, 0.0625f);

    // Column 16 closes the band where column 0 began, with u = -1.
    const BallVertex& seam = ball[33];
    EXPECT_NEAR(seam.x, ring1.x, 1e-5);
    EXPECT_NEAR(seam.y, ring1.y, 1e-5);
    EXPECT_NEAR(seam.z, ring1.z, 1e-5);
    EXPECT_EQ(seam.u, -1.0f);
    EXPECT_EQ(seam.v, 0.0625f);

    const BallVertex& equator = ball[34 * 8 + 2 * 4];
    EXPECT_NEAR(equator.x, 40.0f, 1e-5);
    EXPECT_NEAR(equator.y, 0.0f, 1e-5);
    EXPECT_NEAR(equator.z, 0.0f, 1e-5);
    EXPECT_NEAR(equator.nx, 1.0f, 1e-6);
    EXPECT_EQ(equator.u, -0.25f);
    EXPECT_EQ(equator.v, 0.5f);

    const BallVertex& bottom = ball[543];
    EXPECT_NEAR(bottom.y, -40.0f, 1e-5);
    EXPECT_NEAR(bottom.x, 0.0f, 1e-5);
    EXPECT_EQ(bottom.u, -1.0f);
    EXPECT_EQ(bottom.v, 1.0f);

    for (const BallVertex& v : ball) {
        EXPECT_NEAR(std::sqrt(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz), 1.0f, 1e-6);
        EXPECT_EQ(v.x, 40.0f * v.nx);
        EXPECT_EQ(v.y, 40.0f * v.ny);
        EXPECT_EQ(v.z, 40.0f * v.nz);
    }
}

TEST(Vertices, StripFacesOutwardClockwiseAndJoinsBandsWithEmptyTriangles) {
    std::array<BallVertex, ballVertexCount> ball{};
    buildBallVertices(ball);
    int empty = 0;
    int outward = 0;
    for (int i = 0; i + 2 < ballVertexCount; ++i) {
        // Odd strip triangles are wound the other way round.
        const BallVertex& a = ball[i];
        const BallVertex& b = ball[i % 2 == 0 ? i + 1 : i + 2];
        const BallVertex& c = ball[i % 2 == 0 ? i + 2 : i + 1];
        const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        const double area = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (area < 1e-3) {
            ++empty;
            continue;
        }
        // Clockwise from outside in a left-handed world: (b - a) x (c - a) points outward.
        const double cx = (a.x + b.x + c.x) / 3, cy = (a.y + b.y + c.y) / 3,
                     cz = (a.z + b.z + c.z) / 3;
        outward += nx * cx + ny * cy + nz * cz > 0;
    }
    EXPECT_EQ(empty, 62);
    EXPECT_EQ(outward, 542 - 62);
}

} // namespace
