// Which pixels a triangle covers: the fill rule on shared edges, culling by winding (strips
// included), and clipping at the screen edges and behind the viewer.
#include "tests/softgpu/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace softgpu::testing {
namespace {

// Sets the device to draw (additively, as the game set it up) with one step of colour per
// covered pixel, no alpha test, no culling, so the pixels count how often they were drawn;
// returns the texture to draw with.
IDirect3DTexture8* countCoverage(TestDevice& device) {
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    return device.makeTexture(1, 1, [](int, int) { return 0xFF010101u; });
}

bool notOnce(int, int, std::uint32_t pixel) {
    return pixel != 0x010101u;
}
bool drawn(int, int, std::uint32_t pixel) {
    return pixel != 0;
}

TEST(RasterTest, AMeshOfSharedEdgesCoversEveryPixelExactlyOnce) {
    TestDevice device;
    IDirect3DTexture8* one = countCoverage(device);
    const D3DMATRIX identity = placement(1, 1, 0, 0);
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_PROJECTION, &identity);

    // A jittered grid reaching past all four edges, given in clip space. Points in odd rows
    // or columns sit on exact pixel centres, so edges run through centres horizontally,
    // vertically and diagonally; the others sit at arbitrary eighths of a pixel.
    constexpr int columns = 14, rows = 11;
    std::vector<QuadVertex> grid;
    std::uint32_t seed = 12345;
    auto jitter = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 16) % 161) / 8.0 - 10.0;
    };
    for (int row = 0; row <= rows; ++row) {
        for (int column = 0; column <= columns; ++column) {
            double x = -40.0 + column * 720.0 / columns, y = -30.0 + row * 540.0 / rows;
            const bool onCentre = row % 2 == 1 || column % 2 == 1;
            x = onCentre ? std::round(x) : x + jitter();
            y = onCentre ? std::round(y) : y + jitter();
            grid.push_back(QuadVertex{static_cast<float>(x / 320.0 - 1.0),
                                      static_cast<float>(1.0 - y / 240.0), 0.5f, 0, 0});
        }
    }
    std::vector<QuadVertex> triangles;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const QuadVertex& a = grid[row * (columns + 1) + column];
            const QuadVertex& b = grid[row * (columns + 1) + column + 1];
            const QuadVertex& c = grid[(row + 1) * (columns + 1) + column];
            const QuadVertex& d = grid[(row + 1) * (columns + 1) + column + 1];
            // Alternate the diagonal and the winding, so every orientation of a shared edge
            // appears.
            if ((row + column) % 2 == 0) {
                triangles.insert(triangles.end(), {a, b, c, d, c, b});
            } else {
                triangles.insert(triangles.end(), {a, d, b, a, c, d});
            }
        }
    }
    ASSERT_EQ(device.drawVertices(D3DPT_TRIANGLELIST, triangles, one), D3D_OK);
    EXPECT_EQ(device.countPixels(notOnce), 0);
}

TEST(RasterTest, CullingRemovesTheChosenWindingAndTurnsEverySecondStripTriangle) {
    // A band of four triangles 100 x 60, bottom and top corners alternating from the left:
    // as given every triangle runs clockwise on the screen; top corners first, every one
    // runs counter-clockwise. A strip that failed to turn its second, fourth... triangle
    // would lose half the band to either cull mode.
    struct Case {
        DWORD cull;
        bool topFirst;
        bool drawn;
    };
    for (const Case& c : {Case{D3DCULL_NONE, false, true}, Case{D3DCULL_NONE, true, true},
                          Case{D3DCULL_CCW, false, true}, Case{D3DCULL_CCW, true, false},
                          Case{D3DCULL_CW, false, false}, Case{D3DCULL_CW, true, true}}) {
        SCOPED_TRACE(::testing::Message() << "cull " << c.cull << " top first " << c.topFirst);
        TestDevice device;
        IDirect3DTexture8* one = countCoverage(device);
        device->SetRenderState(D3DRS_CULLMODE, c.cull);
        std::vector<QuadVertex> strip;
        for (int column = 0; column <= 2; ++column) {
            const float x = 100.5f + 50.0f * static_cast<float>(column);
            strip.push_back(QuadVertex{x, c.topFirst ? 260.5f : 200.5f, 0, 0, 0});
            strip.push_back(QuadVertex{x, c.topFirst ? 200.5f : 260.5f, 0, 0, 0});
        }
        device.drawVertices(D3DPT_TRIANGLESTRIP, strip, one);
        // 100 x 60 units at 0.99991 pixels each.
        EXPECT_EQ(device.countPixels(drawn, 80, 200, 220, 300), c.drawn ? 100 * 60 : 0);
    }
}

TEST(RasterTest, AQuadPastEveryEdgeFillsTheScreenOnce) {
    TestDevice device;
    device.drawQuad(placement(5000, 4000, 320, 240), countCoverage(device));
    EXPECT_EQ(device.countPixels(notOnce), 0);
}

TEST(RasterTest, GeometryReachingBehindTheViewerIsCutAtTheNearPlane) {
    TestDevice device;
    // A floor at y = 100 from z = -3000 (behind the eye at -940) to z = 3000.
    device.drawQuad(D3DMATRIX{3000, 0, 0, 0, 0, 0, 3000, 0, 0, 0, 1, 0, 320, 100, 0, 1},
                    countCoverage(device));
    // Row y sees the floor at w = 548.3 / (y / 240 - 1); the far edge (z = 3000, w = 3940)
    // is at row 273.4, and every lower row sees it in front of the viewer.
    const int wrong = device.countPixels([](int, int y, std::uint32_t pixel) {
        return y != 273 && y != 274 && pixel != (y >= 274 ? 0x010101u : 0u);
    });
    EXPECT_EQ(wrong, 0);

    // Wholly behind the viewer: nothing at all.
    TestDevice behind;
    behind.drawQuad(placement(100, 100, 320, 240, -1500), countCoverage(behind));
    EXPECT_EQ(behind.countPixels(drawn), 0);
}

TEST(RasterTest, BrokenVerticesDrawNothingHarmful) {
    TestDevice device;
    IDirect3DTexture8* one = countCoverage(device);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const std::vector<QuadVertex> broken = {
        {nan, 0, 0, 0, 0},         {100, 100, 0, 0, 0},       {200, 0, 0, nan, 0},
        {infinity, 0, 0, 0, 0},    {100, -infinity, 0, 0, 0}, {1e30f, 1e30f, 1e30f, 1e30f, 0},
        {-1e30f, 0, -1e30f, 0, 0}, {0, 1e-30f, 0, 0, 0},      {300, 300, -940, 0, 0},
    };
    for (D3DPRIMITIVETYPE type : {D3DPT_TRIANGLELIST, D3DPT_TRIANGLESTRIP, D3DPT_TRIANGLEFAN})
        EXPECT_EQ(device.drawVertices(type, broken, one), D3D_OK) << "type " << type;
    // Afterwards the device still draws as before.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    device.drawQuad(placement(8, 8, 100.5f, 200.5f), one);
    EXPECT_EQ(device.pixel(100, 280), 0x010101u);
}

} // namespace
} // namespace softgpu::testing
