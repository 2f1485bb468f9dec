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

// Draws what follows additively with one step of colour per covered pixel, no alpha test,
// lighting off; the pixels then count how often they were drawn.
void countCoverage(TestDevice& device) {
    device.useGameStates(true);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTexture(0, device.makeTexture(1, 1, [](int, int) { return 0xFF010101u; }));
}

// Clip-space coordinates that land on screen pixel position (sx, sy) with identity matrices.
QuadVertex onScreen(double sx, double sy) {
    return QuadVertex{static_cast<float>(sx / 320.0 - 1.0), static_cast<float>(1.0 - sy / 240.0),
                      0.5f, 0.0f, 0.0f};
}

TEST(RasterTest, AMeshOfSharedEdgesCoversEveryPixelExactlyOnce) {
    TestDevice device;
    countCoverage(device);
    const D3DMATRIX identity = identityMatrix();
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_PROJECTION, &identity);

    // A jittered grid reaching past all four edges. Odd grid points sit on exact pixel
    // centres, so edges run through centres, vertically, horizontally and diagonally; the
    // others sit at arbitrary eighths of a pixel.
    constexpr int columns = 14, rows = 11;
    std::vector<QuadVertex> grid;
    std::uint32_t seed = 12345;
    auto jitter = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 16) % 161) / 8.0 - 10.0;
    };
    for (int row = 0; row <= rows; ++row) {
        for (int column = 0; column <= columns; ++column) {
            double x = -40.0 + column * 720.0 / columns;
            double y = -30.0 + row * 540.0 / rows;
            if ((row + column) % 2 == 1) {
                x = std::round(x);
                y = std::round(y);
            } else {
                x += jitter();
                y += jitter();
            }
            grid.push_back(onScreen(x, y));
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
    IDirect3DVertexBuffer8* mesh = device.makeBuffer(
        triangles.data(), static_cast<UINT>(triangles.size() * sizeof(QuadVertex)), 0x102);
    device->SetStreamSource(0, mesh, sizeof(QuadVertex));
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(triangles.size() / 3)),
              D3D_OK);

    int missed = 0, doubled = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            missed += device.pixel(x, y) == 0;
            doubled += device.pixel(x, y) > 0x010101u;
        }
    }
    EXPECT_EQ(missed, 0);
    EXPECT_EQ(doubled, 0);
}

TEST(RasterTest, TheTwoHalvesOfATurnedQuadMeetWithoutGapOrOverlap) {
    for (int step = 0; step < 12; ++step) {
        TestDevice device;
        countCoverage(device);
        const double angle = step * 0.27 + 0.05;
        const double scaleX = 100.0 + step * 7.3, scaleY = 60.0 + step * 3.1;
        const double centreX = 300.25 + step * 1.37, centreY = 250.5 - step * 0.61;
        D3DMATRIX world = identityMatrix();
        world._11 = static_cast<float>(std::cos(angle) * scaleX);
        world._12 = static_cast<float>(std::sin(angle) * scaleX);
        world._21 = static_cast<float>(-std::sin(angle) * scaleY);
        world._22 = static_cast<float>(std::cos(angle) * scaleY);
        world._41 = static_cast<float>(centreX);
        world._42 = static_cast<float>(centreY);
        device.drawQuad(world, device.textures.back());

        // Pixels clearly inside the quad are drawn once, pixels clearly outside never; none
        // twice. The camera shows the plane z = 0 at 0.99991 of a pixel per unit.
        int wrong = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                const double wx = 320.0 + (x - 320.0) / 0.999914;
                const double wy = 240.0 - (y - 240.0) / 0.999914;
                const double dx = wx - centreX, dy = wy - centreY;
                const double along = (dx * std::cos(angle) + dy * std::sin(angle)) / scaleX;
                const double across = (-dx * std::sin(angle) + dy * std::cos(angle)) / scaleY;
                const double edge =
                    std::max(std::abs(along) * scaleX - scaleX, std::abs(across) * scaleY - scaleY);
                const std::uint32_t value = device.pixel(x, y);
                if (value > 0x010101u) ++wrong;
                if (edge < -0.01 && value != 0x010101u) ++wrong;
                if (edge > 0.01 && value != 0) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << "turned by " << angle;
    }
}

TEST(RasterTest, CullingRemovesTheChosenWindingOnly) {
    struct Case {
        DWORD cull;
        bool clockwiseDrawn;
        bool counterClockwiseDrawn;
    };
    for (const Case& c : {Case{D3DCULL_NONE, true, true}, Case{D3DCULL_CCW, true, false},
                          Case{D3DCULL_CW, false, true}}) {
        TestDevice device;
        countCoverage(device);
        device->SetRenderState(D3DRS_CULLMODE, c.cull);
        // The quad as stored runs clockwise on the screen; mirrored it runs the other way.
        device.drawQuad(placement(20, 20, 100.5f, 240.5f), device.textures.back());
        device.drawQuad(placement(-20, 20, 300.5f, 240.5f), device.textures.back());
        EXPECT_EQ(device.pixel(100, 240) != 0, c.clockwiseDrawn) << "cull " << c.cull;
        EXPECT_EQ(device.pixel(300, 240) != 0, c.counterClockwiseDrawn) << "cull " << c.cull;
    }
}

TEST(RasterTest, EverySecondTriangleOfAStripIsTurnedBeforeCulling) {
    // A band of four triangles, bottom and top corners alternating from the left: all of
    // them face the viewer, so with counter-clockwise culling the band is drawn whole.
    std::vector<QuadVertex> band;
    for (int column = 0; column <= 2; ++column) {
        const float x = 100.5f + 50.0f * static_cast<float>(column);
        band.push_back(QuadVertex{x, 200.5f, 0, 0, 0});
        band.push_back(QuadVertex{x, 260.5f, 0, 0, 0});
    }
    for (bool reversed : {false, true}) {
        TestDevice device;
        countCoverage(device);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        std::vector<QuadVertex> strip = band;
        if (reversed) { // top corners first: now every triangle faces away
            for (std::size_t i = 0; i < strip.size(); i += 2) std::swap(strip[i], strip[i + 1]);
        }
        IDirect3DVertexBuffer8* buffer = device.makeBuffer(
            strip.data(), static_cast<UINT>(strip.size() * sizeof(QuadVertex)), 0x102);
        device->SetStreamSource(0, buffer, sizeof(QuadVertex));
        const D3DMATRIX world = identityMatrix();
        device->SetTransform(D3DTS_WORLD, &world);
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 4);
        int drawn = 0;
        for (int y = 200; y < 300; ++y) {
            for (int x = 80; x < 220; ++x) drawn += device.pixel(x, y) != 0;
        }
        // 100 x 60 units at 0.99991 pixels each.
        if (reversed) {
            EXPECT_EQ(drawn, 0);
        } else {
            EXPECT_EQ(drawn, 100 * 60);
        }
    }
}

TEST(RasterTest, AQuadPastEveryEdgeFillsTheScreenOnce) {
    TestDevice device;
    countCoverage(device);
    device.drawQuad(placement(5000, 4000, 320, 240), device.textures.back());
    int wrong = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) wrong += device.pixel(x, y) != 0x010101u;
    }
    EXPECT_EQ(wrong, 0);
}

TEST(RasterTest, GeometryReachingBehindTheViewerIsCutAtTheNearPlane) {
    TestDevice device;
    countCoverage(device);
    // A floor at y = 100 from z = -3000 (behind the eye at -940) to z = 3000.
    D3DMATRIX floor{};
    floor._11 = 3000;
    floor._23 = 3000;
    floor._33 = 1;
    floor._41 = 320;
    floor._42 = 100;
    floor._44 = 1;
    device.drawQuad(floor, device.textures.back());
    // Row y sees the floor at w = 548.3 / (y / 240 - 1); the far edge (z = 3000, w = 3940)
    // is at row 273.4, and every lower row sees it in front of the viewer.
    for (int y = 0; y < 480; ++y) {
        const std::uint32_t expected = y >= 274 ? 0x010101u : 0u;
        if (y == 273 || y == 274) continue;
        EXPECT_EQ(device.pixel(320, y), expected) << "row " << y;
        EXPECT_EQ(device.pixel(0, y), expected) << "row " << y;
        EXPECT_EQ(device.pixel(639, y), expected) << "row " << y;
    }

    // Wholly behind the viewer: nothing at all.
    TestDevice behind;
    countCoverage(behind);
    behind.drawQuad(placement(100, 100, 320, 240, -1500), behind.textures.back());
    int drawn = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) drawn += behind.pixel(x, y) != 0;
    }
    EXPECT_EQ(drawn, 0);
}

TEST(RasterTest, BrokenVerticesDrawNothingHarmful) {
    TestDevice device;
    countCoverage(device);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const QuadVertex broken[9] = {
        {nan, 0, 0, 0, 0},         {100, 100, 0, 0, 0},       {200, 0, 0, nan, 0},
        {infinity, 0, 0, 0, 0},    {100, -infinity, 0, 0, 0}, {1e30f, 1e30f, 1e30f, 1e30f, 0},
        {-1e30f, 0, -1e30f, 0, 0}, {0, 1e-30f, 0, 0, 0},      {300, 300, -940, 0, 0},
    };
    device->SetStreamSource(0, device.makeBuffer(broken, sizeof broken, 0x102), sizeof(QuadVertex));
    const D3DMATRIX world = identityMatrix();
    device->SetTransform(D3DTS_WORLD, &world);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 3), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 7), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 7), D3D_OK);
    // Afterwards the device still draws as before.
    device->SetStreamSource(0, device.quad, sizeof(QuadVertex));
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    device.drawQuad(placement(8, 8, 100.5f, 200.5f), device.textures.back());
    EXPECT_EQ(device.pixel(100, 280), 0x010101u);
}

} // namespace
} // namespace softgpu::testing
