// The two shapes every picture is drawn with: the unit quad each flat picture reuses under its
// own placement, and the ball, a UV sphere of radius 40 laid out as one triangle strip.
#pragma once

#include <array>
#include <cstdint>

namespace graphics {

// Position and texture coordinates; vertex format XYZ | TEX1.
struct QuadVertex {
    float x, y, z;
    float u, v;
};
static_assert(sizeof(QuadVertex) == 20);

// Position, outward unit normal and texture coordinates; vertex format XYZ | NORMAL | TEX1.
struct BallVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(BallVertex) == 32);

constexpr std::uint32_t quadVertexFormat = 0x102;
constexpr std::uint32_t ballVertexFormat = 0x112;
constexpr int quadVertexCount = 4;
constexpr int ballBands = 16;
constexpr int ballColumns = 17; // column 16 closes the band at column 0's place
constexpr int ballVertexCount = ballBands * ballColumns * 2;
constexpr float ballRadius = 40.0f;

// A 2 by 2 square in the plane z = 0 facing the viewer, picture top (v = 0) at +y; its first
// strip triangle runs clockwise, so it survives culling of counter-clockwise faces.
constexpr std::array<QuadVertex, quadVertexCount> quadVertices{{
    {-1.0f, 1.0f, 0.0f, 0.0f, 0.0f},
    {1.0f, 1.0f, 0.0f, 1.0f, 0.0f},
    {-1.0f, -1.0f, 0.0f, 0.0f, 1.0f},
    {1.0f, -1.0f, 0.0f, 1.0f, 1.0f},
}};

// Fills the ball's 544 strip vertices: band b, column c gives vertex 34b + 2c from ring b and
// vertex 34b + 2c + 1 from ring b + 1.
void buildBallVertices(std::array<BallVertex, ballVertexCount>& out);

} // namespace graphics
