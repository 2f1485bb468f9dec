// What a covered pixel becomes: exact 1:1 pictures, bilinear filtering with wrap addressing,
// perspective-correct texture coordinates, the alpha test, additive blending and lighting.
#include "platform/softgpu/span_kernels.h"
#include "tests/softgpu/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace softgpu::testing {
namespace {

// The camera shows the plane z = 0 at this many pixels per unit, about the screen's centre.
constexpr double pixelsPerUnit = 0.999914;

std::uint32_t randomTexel(int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^
                      static_cast<std::uint32_t>(y) * 19349663u ^ 0x5bd1e995u;
    h = (h ^ (h >> 15)) * 2246822519u;
    return 0xFF000000u | ((h ^ (h >> 13)) & 0xFFFFFFu);
}

int largestChannelDifference(std::uint32_t a, std::uint32_t b) {
    int largest = 0;
    for (int shift : {0, 8, 16}) {
        largest = std::max(largest, std::abs(channelOf(a, shift) - channelOf(b, shift)));
    }
    return largest;
}

TEST(ShadingTest, AOneToOnePictureReproducesItsTextureExactly) {
    for (bool lit : {false, true}) {
        TestDevice device;
        device.useGameStates(false);
        IDirect3DTexture8* texture = device.makeTexture(16, 16, randomTexel);
        if (lit) {
            // Lit without normals: emissive white only, as the game draws its pictures.
            D3DMATERIAL8 material{};
            material.Emissive = D3DCOLORVALUE{1, 1, 1, 0};
            device->SetMaterial(&material);
            device->SetRenderState(D3DRS_LIGHTING, TRUE);
        }
        // Scale 8 at a .5 position: 16 x 16 pixels, one texel each. Its top-left pixel is
        // (93, 272): x 92.5..108.5, y 192.5..208.5 seen from above.
        device.drawQuad(placement(8, 8, 100.5f, 200.5f), texture);
        int wrong = 0;
        for (int y = 268; y < 292; ++y) {
            for (int x = 88; x < 112; ++x) {
                const bool inside = x >= 93 && x < 109 && y >= 272 && y < 288;
                const std::uint32_t expected =
                    inside ? randomTexel(x - 93, y - 272) & 0xFFFFFFu : 0u;
                wrong += device.pixel(x, y) != expected;
            }
        }
        EXPECT_EQ(wrong, 0) << (lit ? "lit" : "unlit");
    }
}

TEST(ShadingTest, BilinearFilteringWrapsAroundTheTextureEdges) {
    TestDevice device;
    device.useGameStates(false);
    IDirect3DTexture8* texture = device.makeTexture(16, 16, randomTexel);
    // A strip 64 wide and 16 high whose u runs from -1 to 3, so the picture repeats four
    // times, placed on whole units so every pixel samples between two texels.
    const QuadVertex strip[4] = {
        {68, 216, 0, -1, 0}, {132, 216, 0, 3, 0}, {68, 200, 0, -1, 1}, {132, 200, 0, 3, 1}};
    IDirect3DVertexBuffer8* buffer = device.makeBuffer(strip, sizeof strip, 0x102);
    device->SetStreamSource(0, buffer, sizeof(QuadVertex));
    device->SetTexture(0, texture);
    const D3DMATRIX world = identityMatrix();
    device->SetTransform(D3DTS_WORLD, &world);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);

    auto texel = [](int x, int y) { return randomTexel(x & 15, y & 15); };
    int wrong = 0, checked = 0;
    for (int y = 266; y < 278; ++y) {
        for (int x = 70; x < 131; ++x) {
            // Where this pixel's centre lies in the texture, in texels from texel centres.
            const double worldX = 320.0 + (x - 320.0) / pixelsPerUnit;
            const double worldY = 240.0 - (y - 240.0) / pixelsPerUnit;
            const double s = ((worldX - 68.0) / 64.0 * 4.0 - 1.0) * 16.0 - 0.5;
            const double t = (216.0 - worldY) / 16.0 * 16.0 - 0.5;
            const int s0 = static_cast<int>(std::floor(s)), t0 = static_cast<int>(std::floor(t));
            // The device blends in sixteenths of a texel.
            const double fu = std::round((s - s0) * 16.0) / 16.0;
            const double fv = std::round((t - t0) * 16.0) / 16.0;
            std::uint32_t expected = 0;
            for (int shift : {0, 8, 16}) {
                const double top = channelOf(texel(s0, t0), shift) * (1 - fu) +
                                   channelOf(texel(s0 + 1, t0), shift) * fu;
                const double bottom = channelOf(texel(s0, t0 + 1), shift) * (1 - fu) +
                                      channelOf(texel(s0 + 1, t0 + 1), shift) * fu;
                expected |= static_cast<std::uint32_t>(std::lround(top * (1 - fv) + bottom * fv))
                            << shift;
            }
            ++checked;
            wrong += largestChannelDifference(device.pixel(x, y), expected) > 2;
        }
    }
    EXPECT_EQ(checked, 12 * 61);
    EXPECT_EQ(wrong, 0);
}

TEST(ShadingTest, ClampAndMirrorAddressingHoldTheEdgeTexels) {
    for (DWORD mode : {D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR}) {
        TestDevice device;
        device.useGameStates(false);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
        device->SetTextureStageState(0, D3DTSS_ADDRESSU, mode);
        IDirect3DTexture8* texture = device.makeTexture(16, 16, randomTexel);
        // u from -1 to 2 over 48 pixels, 1:1.
        const QuadVertex strip[4] = {{76.5f, 216.5f, 0, -1, 0},
                                     {124.5f, 216.5f, 0, 2, 0},
                                     {76.5f, 200.5f, 0, -1, 1},
                                     {124.5f, 200.5f, 0, 2, 1}};
        IDirect3DVertexBuffer8* buffer = device.makeBuffer(strip, sizeof strip, 0x102);
        device->SetStreamSource(0, buffer, sizeof(QuadVertex));
        device->SetTexture(0, texture);
        const D3DMATRIX world = identityMatrix();
        device->SetTransform(D3DTS_WORLD, &world);
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
        int wrong = 0;
        for (int k = 0; k < 48; ++k) {
            const int column = k - 16; // -16..31
            int expected = column < 0 ? 0 : (column > 15 ? 15 : column);
            if (mode == D3DTADDRESS_MIRROR) {
                expected = column < 0 ? -1 - column : (column > 15 ? 31 - column : column);
            }
            wrong += device.pixel(77 + k, 264) != (randomTexel(expected, 0) & 0xFFFFFFu);
        }
        EXPECT_EQ(wrong, 0) << "mode " << mode;
    }
}

TEST(ShadingTest, ARecedingFloorShowsItsTexelsWherePerspectivePutsThem) {
    TestDevice device;
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    // Texel (i, j) says where it is in its red and green.
    IDirect3DTexture8* texture = device.makeTexture(16, 16, [](int i, int j) {
        return 0xFF000080u | static_cast<std::uint32_t>(i * 16 + 8) << 16 |
               static_cast<std::uint32_t>(j * 16 + 8) << 8;
    });
    // The floor y = 100 from x 100 to 540 and z -200 to 400; u along x, v along z.
    const QuadVertex floor[4] = {{100, 100, -200, 0, 0},
                                 {540, 100, -200, 1, 0},
                                 {100, 100, 400, 0, 1},
                                 {540, 100, 400, 1, 1}};
    IDirect3DVertexBuffer8* buffer = device.makeBuffer(floor, sizeof floor, 0x102);
    device->SetStreamSource(0, buffer, sizeof(QuadVertex));
    device->SetTexture(0, texture);
    const D3DMATRIX world = identityMatrix();
    device->SetTransform(D3DTS_WORLD, &world);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);

    const double xScale = 1.0 / std::tan(0.25) / 1.3333334;
    const double yScale = 1.0 / std::tan(0.25);
    int checked = 0, wrong = 0;
    for (int y = 241; y < 480; ++y) {
        // The depth this row sees the floor at, and so where along x and z each pixel is.
        const double w = yScale * (100.0 - 240.0) / (1.0 - y / 240.0);
        const double z = w - 940.0;
        const double v = (z + 200.0) / 600.0;
        for (int x = 0; x < 640; ++x) {
            const double worldX = 320.0 + (x / 320.0 - 1.0) * w / xScale;
            const double u = (worldX - 100.0) / 440.0;
            if (u < 0.0 || u > 1.0 || v < 0.0 || v > 1.0) continue;
            const double i = u * 16.0, j = v * 16.0;
            // Skip pixels within a hair of a texel boundary.
            if (std::abs(i - std::round(i)) < 0.02 || std::abs(j - std::round(j)) < 0.02) {
                continue;
            }
            const std::uint32_t expected =
                0x80u | static_cast<std::uint32_t>(std::floor(i) * 16 + 8) << 16 |
                static_cast<std::uint32_t>(std::floor(j) * 16 + 8) << 8;
            ++checked;
            wrong += device.pixel(x, y) != expected;
        }
    }
    EXPECT_GT(checked, 20000);
    EXPECT_EQ(wrong, 0);
}

TEST(ShadingTest, TheAlphaTestDropsTransparentTexelsInBothBlendModes) {
    // Opaque texels in a checker with transparent black ones, on a grey background.
    auto checker = [](int x, int y) { return (x + y) % 2 == 0 ? 0xFF306090u : 0u; };
    struct Case {
        bool additive;
        bool alphaTest;
        std::uint32_t opaqueResult;
        std::uint32_t transparentResult;
    };
    for (const Case& c :
         {Case{false, true, 0x306090u, 0x404040u}, Case{true, true, 0x70A0D0u, 0x404040u},
          Case{false, false, 0x306090u, 0x000000u}}) {
        TestDevice device;
        device.useGameStates(c.additive);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, c.alphaTest ? TRUE : FALSE);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x404040u, 1.0f, 0);
        device.drawQuad(placement(8, 8, 100.5f, 200.5f), device.makeTexture(16, 16, checker));
        int wrong = 0;
        for (int y = 272; y < 288; ++y) {
            for (int x = 93; x < 109; ++x) {
                const bool opaque = (x - 93 + y - 272) % 2 == 0;
                wrong += device.pixel(x, y) != (opaque ? c.opaqueResult : c.transparentResult);
            }
        }
        EXPECT_EQ(wrong, 0) << "additive " << c.additive << " test " << c.alphaTest;
    }
}

TEST(ShadingTest, AdditiveBlendingSaturatesEachChannel) {
    TestDevice device;
    device.useGameStates(true);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x204060u, 1.0f, 0);
    device.drawQuad(placement(8, 8, 100.5f, 200.5f),
                    device.makeTexture(16, 16, [](int, int) { return 0xFF30E0A0u; }));
    EXPECT_EQ(device.pixel(100, 280), 0x50FFFFu);
    EXPECT_EQ(device.pixel(90, 280), 0x204060u);
    // A second time: red keeps adding, the others stay at the top.
    device.drawQuad(placement(8, 8, 100.5f, 200.5f), device.textures.back());
    EXPECT_EQ(device.pixel(100, 280), 0x80FFFFu);
}

class LightingTest : public ::testing::Test {
protected:
    LightingTest() {
        device.useGameStates(false);
        white = device.makeTexture(1, 1, [](int, int) { return 0xFFFFFFFFu; });
        material.Diffuse = D3DCOLORVALUE{0.6f, 0.8f, 1.0f, 1.0f};
        material.Ambient = D3DCOLORVALUE{0.5f, 0.5f, 0.5f, 0.0f};
        material.Emissive = D3DCOLORVALUE{0.2f, 0.1f, 0.0f, 0.0f};
        device->SetMaterial(&material);
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetRenderState(D3DRS_AMBIENT, 0x40404040u);
        // The game's light: white, pointing from the box towards the viewer.
        D3DLIGHT8 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = D3DCOLORVALUE{1, 1, 1, 0};
        light.Direction = D3DVECTOR{0, 0, -1};
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
    }

    // Draws a lit quad whose corners have these normals (left pair, right pair) and returns
    // the colour at a point across it, 0 the left edge and 1 the right.
    std::uint32_t drawLit(const float (&left)[3], const float (&right)[3], double across,
                          const D3DMATRIX& world) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        const LitVertex quad[4] = {
            {-1, 1, 0, left[0], left[1], left[2], 0, 0},
            {1, 1, 0, right[0], right[1], right[2], 1, 0},
            {-1, -1, 0, left[0], left[1], left[2], 0, 1},
            {1, -1, 0, right[0], right[1], right[2], 1, 1},
        };
        device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
        device->SetStreamSource(0, device.makeBuffer(quad, sizeof quad, 0x112), sizeof(LitVertex));
        device->SetTexture(0, white);
        device->SetTransform(D3DTS_WORLD, &world);
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
        return device.pixel(static_cast<int>(std::lround(220.0 + 200.0 * across)), 240);
    }

    static std::uint32_t expected(double r, double g, double b) {
        auto byte = [](double value) {
            return static_cast<std::uint32_t>(std::lround(std::min(1.0, value) * 255.0));
        };
        return byte(r) << 16 | byte(g) << 8 | byte(b);
    }

    TestDevice device;
    IDirect3DTexture8* white = nullptr;
    D3DMATERIAL8 material{};
    const D3DMATRIX upright = placement(100, 100, 320.5f, 240.5f);
};

TEST_F(LightingTest, EmissiveAmbientAndTheLightsDiffuseTermAddUpAndClamp) {
    const double ambient = 64.0 / 255.0 * 0.5;
    const float facing[3] = {0, 0, 1}, away[3] = {0, 0, -1}, slanted[3] = {0.6f, 0, 0.8f};
    // Facing the light fully: green and blue go past 1 and are held there.
    EXPECT_LE(
        largestChannelDifference(drawLit(facing, facing, 0.5, upright),
                                 expected(0.2 + ambient + 0.6, 0.1 + ambient + 0.8, ambient + 1.0)),
        1);
    EXPECT_LE(largestChannelDifference(drawLit(away, away, 0.5, upright),
                                       expected(0.2 + ambient, 0.1 + ambient, ambient)),
              1);
    EXPECT_LE(largestChannelDifference(
                  drawLit(slanted, slanted, 0.5, upright),
                  expected(0.2 + ambient + 0.48, 0.1 + ambient + 0.64, ambient + 0.8)),
              1);
    // The world matrix turns the normal: +x turned onto +z faces the light.
    const float sideways[3] = {1, 0, 0};
    // Turned about y the quad is seen edge on, so draw it upright and turn only normals:
    // a world matrix whose first row maps x onto z and keeps y.
    // The world matrix turns normals (and does not renormalise them): a first row that also
    // sends x onto z turns a sideways normal towards the light.
    D3DMATRIX normalsOnly = upright;
    normalsOnly._13 = 1.0f;
    EXPECT_LE(
        largestChannelDifference(drawLit(sideways, sideways, 0.5, normalsOnly),
                                 expected(0.2 + ambient + 0.6, 0.1 + ambient + 0.8, ambient + 1.0)),
        1);
    // With the light switched off there is no diffuse term.
    device->LightEnable(0, FALSE);
    EXPECT_LE(largestChannelDifference(drawLit(facing, facing, 0.5, upright),
                                       expected(0.2 + ambient, 0.1 + ambient, ambient)),
              1);
}

TEST_F(LightingTest, ColoursAreWorkedOutPerVertexAndBlendedAcross) {
    const double ambient = 64.0 / 255.0 * 0.5;
    const float facing[3] = {0, 0, 1}, away[3] = {0, 0, -1};
    // Red runs from 0.2 + ambient + 0.6 on the left to 0.2 + ambient on the right.
    for (double across : {0.125, 0.25, 0.5, 0.75, 0.875}) {
        const double red = 0.2 + ambient + 0.6 * (1.0 - across);
        const std::uint32_t colour = drawLit(facing, away, across, upright);
        EXPECT_NEAR(channelOf(colour, 16), red * 255.0, 2.0) << "at " << across;
    }
}

TEST_F(LightingTest, UnlitOrNormalFreeVerticesGetNoDiffuseTerm) {
    const double ambient = 64.0 / 255.0 * 0.5;
    // The quad format has no normals: emissive and ambient only.
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetStreamSource(0, device.quad, sizeof(QuadVertex));
    device.drawQuad(upright, white);
    EXPECT_LE(largestChannelDifference(device.pixel(320, 240),
                                       expected(0.2 + ambient, 0.1 + ambient, ambient)),
              1);
    // No texture bound reads as white: the same colour.
    device.drawQuad(upright, nullptr);
    EXPECT_LE(largestChannelDifference(device.pixel(320, 240),
                                       expected(0.2 + ambient, 0.1 + ambient, ambient)),
              1);
    // Lighting off: opaque white vertices, the texture as it is.
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device.drawQuad(upright, device.makeTexture(1, 1, [](int, int) { return 0xFF123456u; }));
    EXPECT_EQ(device.pixel(320, 240), 0x123456u);
}

TEST_F(LightingTest, ALitSphereStripIsRoundAndShadedFromItsNormals) {
    // The ball: 16 bands of 17 vertex pairs, radius 40, at the plane z = 0, lit from the
    // viewer's side so the middle is brightest.
    std::vector<LitVertex> sphere;
    for (int band = 0; band < 16; ++band) {
        for (int column = 0; column <= 16; ++column) {
            for (int ring = band; ring <= band + 1; ++ring) {
                const double theta = ring * 0.19634955, phi = column * 0.39269909;
                const auto nx = static_cast<float>(std::sin(phi) * std::sin(theta));
                const auto ny = static_cast<float>(std::cos(theta));
                const auto nz = static_cast<float>(std::cos(phi) * std::sin(theta));
                sphere.push_back(LitVertex{40 * nx, 40 * ny, 40 * nz, nx, ny, nz, 0, 0});
            }
        }
    }
    material = D3DMATERIAL8{};
    material.Diffuse = D3DCOLORVALUE{1, 1, 1, 1};
    device->SetMaterial(&material);
    device->SetRenderState(D3DRS_AMBIENT, 0);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = D3DCOLORVALUE{1, 1, 1, 0};
    light.Direction = D3DVECTOR{0, 0, 1};
    device->SetLight(0, &light);
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    device->SetStreamSource(0,
                            device.makeBuffer(sphere.data(),
                                              static_cast<UINT>(sphere.size() * sizeof(LitVertex)),
                                              0x112),
                            sizeof(LitVertex));
    device->SetTexture(0, white);
    const D3DMATRIX world = placement(1, 1, 320, 240);
    device->SetTransform(D3DTS_WORLD, &world);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 542), D3D_OK);

    int covered = 0;
    for (int y = 190; y < 290; ++y) {
        for (int x = 270; x < 370; ++x) covered += device.pixel(x, y) != 0;
    }
    // A disc of radius 40 (slightly less: it is a polygon), the far half culled.
    EXPECT_NEAR(covered, 3.14159 * 40 * 40, 0.03 * 3.14159 * 40 * 40);
    const int centre = channelOf(device.pixel(320, 240), 8);
    const int nearEdge = channelOf(device.pixel(320 + 36, 240), 8);
    EXPECT_GE(centre, 245);
    // At 36 of 40 from the centre the normal faces the viewer by about sqrt(1 - 0.81).
    EXPECT_NEAR(nearEdge, 255 * std::sqrt(1 - 0.81), 25);
}

TEST(KernelTest, TheVectorAndThePlainKernelsDrawTheSamePicture) {
    auto draw = [](bool vector) {
        useVectorKernels(vector);
        TestDevice device;
        device.useGameStates(true);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        IDirect3DTexture8* texture = device.makeTexture(64, 64, randomTexel);
        // Pictures of many widths, at odd positions, scales and depths, in both blend modes.
        for (int i = 0; i < 40; ++i) {
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, i % 2 == 0 ? TRUE : FALSE);
            D3DMATRIX world = placement(
                3.0f + static_cast<float>(i) * 4.1f, 5.0f + static_cast<float>(i % 7) * 9.3f,
                30.0f + static_cast<float>(i) * 14.7f, 40.0f + static_cast<float>((i * 37) % 400),
                static_cast<float>((i % 5) * 40 - 60));
            world._13 = static_cast<float>(i % 3) * 0.7f; // some recede
            device.drawQuad(world, texture);
        }
        std::vector<std::uint32_t> pixels(640 * 480);
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) pixels[y * 640 + x] = device->backBuffer().at(x, y);
        }
        useVectorKernels(true);
        return pixels;
    };
    const std::vector<std::uint32_t> plain = draw(false);
    const std::vector<std::uint32_t> vector = draw(true);
    int different = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) different += plain[i] != vector[i];
    EXPECT_EQ(different, 0);
    if (vectorKernels() == nullptr) GTEST_SKIP() << "no vector kernels on this processor";
}

} // namespace
} // namespace softgpu::testing
