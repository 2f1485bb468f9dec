// What a draw puts on the screen. Which pixels a triangle covers: the fill rule on shared edges
// and clipping at the screen edges (culling, which the game's ball needs, shows in the golden
// frames). What a covered pixel becomes: exact 1:1 pictures, bilinear filtering with wrapping,
// the alpha test, additive blending and lighting.
#include "tests/softgpu/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
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

TEST(RasterTest, AMeshOfSharedEdgesCoversEveryPixelExactlyOnce) {
    TestDevice device;
    IDirect3DTexture8* one = countCoverage(device);
    const D3DMATRIX identity = placement(1, 1, 0, 0);
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_PROJECTION, &identity);

    // A jittered grid of 14 x 11 cells reaching past all four edges, given in clip space.
    // Points in odd rows or columns sit on exact pixel centres, so edges run through centres
    // horizontally, vertically and diagonally; the others sit at random eighths of a pixel.
    auto point = [](int row, int column) {
        double x = -40.0 + column * 720.0 / 14, y = -30.0 + row * 540.0 / 11;
        const bool onCentre = row % 2 == 1 || column % 2 == 1;
        x = onCentre ? std::round(x) : x + (randomTexel(row, column) % 161) / 8.0 - 10.0;
        y = onCentre ? std::round(y) : y + (randomTexel(column, row) % 161) / 8.0 - 10.0;
        return QuadVertex{static_cast<float>(x / 320.0 - 1.0), static_cast<float>(1.0 - y / 240.0),
                          0.5f, 0, 0};
    };
    std::vector<QuadVertex> triangles;
    for (int row = 0; row < 11; ++row) {
        for (int column = 0; column < 14; ++column) {
            const QuadVertex a = point(row, column);
            const QuadVertex b = point(row, column + 1);
            const QuadVertex c = point(row + 1, column);
            const QuadVertex d = point(row + 1, column + 1);
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
    EXPECT_EQ(device.countPixels([](int, int, std::uint32_t pixel) { return pixel != 0x010101u; }),
              0);
}

// The camera shows the plane z = 0 at this many pixels per unit, about the screen's centre.
constexpr double pixelsPerUnit = 0.999914;

// Channel of a colour: 16 red, 8 green, 0 blue.
int channelOf(std::uint32_t colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

TEST(ShadingTest, OneToOnePicturesKeepTheirTexelsDropTransparentOnesAndSaturateWhenAdded) {
    // Random texels in a checker with transparent black ones, on a grey background. Every
    // third column of them has an alpha of 1, just at the reference, and must pass.
    auto texel = [](int x, int y) {
        if ((x + y) % 2 != 0) return 0u;
        return randomTexel(x, y) & (x % 3 == 0 ? 0x01FFFFFFu : 0xFFFFFFFFu);
    };
    const std::uint32_t grey = 0x404040u;
    struct Case {
        bool additive;
        bool alphaTest;
    };
    for (const Case& c : {Case{false, true}, Case{true, true}, Case{false, false}}) {
        SCOPED_TRACE(::testing::Message() << "additive " << c.additive << " test " << c.alphaTest);
        TestDevice device;
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, c.additive ? TRUE : FALSE);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, c.alphaTest ? TRUE : FALSE);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, grey, 1.0f, 0);
        // Scale 8 at a .5 position: 16 x 16 pixels, one texel each, drawn twice. Its top-left
        // pixel is (93, 272): x 92.5..108.5, y 192.5..208.5 seen from above.
        IDirect3DTexture8* texture = device.makeTexture(16, 16, texel);
        for (int pass = 0; pass < 2; ++pass)
            device.drawQuad(placement(8, 8, 100.5f, 200.5f), texture);
        const int wrong = device.countPixels(
            [&](int x, int y, std::uint32_t pixel) {
                if (x < 93 || x >= 109 || y < 272 || y >= 288) return pixel != grey;
                const std::uint32_t drawn = texel(x - 93, y - 272);
                if (drawn == 0) return pixel != (c.alphaTest ? grey : 0u);
                if (!c.additive) return pixel != (drawn & 0xFFFFFFu);
                std::uint32_t sum = 0;
                for (int shift : {0, 8, 16}) {
                    const int channel = channelOf(grey, shift) + 2 * channelOf(drawn, shift);
                    sum |= static_cast<std::uint32_t>(std::min(channel, 255)) << shift;
                }
                return pixel != sum;
            },
            88, 268, 112, 292);
        EXPECT_EQ(wrong, 0);
    }
}

TEST(ShadingTest, BilinearFilteringBlendsTheFourNearestTexelsAndWraps) {
    TestDevice device;
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    // A strip 64 wide and 16 high whose u runs from -1 to 3, so the picture repeats four
    // times 1:1, placed on whole units: every pixel centre lies halfway between four texels.
    device.drawVertices(
        D3DPT_TRIANGLESTRIP,
        {{68, 216, 0, -1, 0}, {132, 216, 0, 3, 0}, {68, 200, 0, -1, 1}, {132, 200, 0, 3, 1}},
        device.makeTexture(16, 16, randomTexel));
    const int wrong = device.countPixels(
        [&](int x, int y, std::uint32_t pixel) {
            // The texel up and left of this pixel's centre, from the strip's top left.
            const double worldX = 320.0 + (x - 320.0) / pixelsPerUnit;
            const double worldY = 240.0 - (y - 240.0) / pixelsPerUnit;
            const auto i = static_cast<int>(std::floor(worldX - 68.0 - 0.5));
            const auto j = static_cast<int>(std::floor(216.0 - worldY - 0.5));
            for (int shift : {0, 8, 16}) {
                int sum = 0;
                for (int corner = 0; corner < 4; ++corner) {
                    sum +=
                        channelOf(randomTexel((i + corner % 2) & 15, (j + corner / 2) & 15), shift);
                }
                if (std::abs(channelOf(pixel, shift) - sum / 4.0) > 1.0) return true;
            }
            return false;
        },
        69, 264, 133, 280);
    EXPECT_EQ(wrong, 0);
}

// Emissive (0.2, 0.1, 0) + ambient 0.5 at an ambient level of 64 + diffuse (0.6, 0.8, 1.0) at
// this facing towards the light, each channel held at 1.
std::uint32_t litColour(double facing) {
    const double ambient = 64.0 / 255.0 * 0.5;
    auto byte = [](double value) {
        return static_cast<std::uint32_t>(std::lround(std::min(1.0, value) * 255.0));
    };
    return byte(0.2 + ambient + 0.6 * facing) << 16 | byte(0.1 + ambient + 0.8 * facing) << 8 |
           byte(ambient + 1.0 * facing);
}

TEST(LightingTest, EmissiveAmbientAndDiffuseAddUpPerVertexAreHeldAtOneThenBlendedAcross) {
    // Lit quads under the game's light (white, pointing from the box towards the viewer), with
    // no texture, which reads as white.
    TestDevice device;
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    D3DMATERIAL8 material{};
    material.Diffuse = D3DCOLORVALUE{0.6f, 0.8f, 1.0f, 1.0f};
    material.Ambient = D3DCOLORVALUE{0.5f, 0.5f, 0.5f, 0.0f};
    material.Emissive = D3DCOLORVALUE{0.2f, 0.1f, 0.0f, 0.0f};
    device->SetMaterial(&material);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0x40404040u);
    const D3DMATRIX upright = placement(100, 100, 320.5f, 240.5f);
    // The world matrix turns normals (and does not renormalise them): a first row that also
    // sends x onto z turns a sideways normal towards the light.
    D3DMATRIX normalsTurned = upright;
    normalsTurned._13 = 1.0f;
    struct Case {
        const char* name;
        D3DVECTOR left, right; // the normals at the quad's left and right corners
        const D3DMATRIX& world;
        bool lightOn;
        double leftFacing, rightFacing;
    };
    // Facing the light, green and blue pass 1; held there at the corners before blending, they
    // fall off from 1 towards the side facing away.
    for (const Case& c :
         {Case{"light off", {0, 0, 1}, {0, 0, 1}, upright, false, 0.0, 0.0},
          Case{"facing, away", {0, 0, 1}, {0, 0, -1}, upright, true, 1.0, 0.0},
          Case{"slanted", {0.6f, 0, 0.8f}, {0.6f, 0, 0.8f}, upright, true, 0.8, 0.8},
          Case{"turned", {1, 0, 0}, {1, 0, 0}, normalsTurned, true, 1.0, 1.0}}) {
        SCOPED_TRACE(c.name);
        device->LightEnable(0, c.lightOn ? TRUE : FALSE);
        const D3DVECTOR& l = c.left;
        const D3DVECTOR& r = c.right;
        device.drawVertices(D3DPT_TRIANGLESTRIP,
                            std::vector<LitVertex>{{-1, 1, 0, l.x, l.y, l.z, 0, 0},
                                                   {1, 1, 0, r.x, r.y, r.z, 1, 0},
                                                   {-1, -1, 0, l.x, l.y, l.z, 0, 1},
                                                   {1, -1, 0, r.x, r.y, r.z, 1, 1}},
                            nullptr, c.world);
        for (double across : {0.125, 0.5, 0.875}) {
            const std::uint32_t colour =
                device.pixel(static_cast<int>(std::lround(220.0 + 200.0 * across)), 240);
            for (int shift : {0, 8, 16}) {
                const double blend = channelOf(litColour(c.leftFacing), shift) * (1.0 - across) +
                                     channelOf(litColour(c.rightFacing), shift) * across;
                EXPECT_NEAR(channelOf(colour, shift), blend, c.leftFacing == c.rightFacing ? 1 : 2)
                    << "at " << across << ", channel " << shift;
            }
        }
    }
    // The quad format has no normals: emissive and ambient only, under the light too.
    device.drawQuad(upright, nullptr);
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(channelOf(device.pixel(320, 240), shift), channelOf(litColour(0.0), shift), 1);
}

} // namespace
} // namespace softgpu::testing
