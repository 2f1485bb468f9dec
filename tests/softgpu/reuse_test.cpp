// Work the device saves without changing a pixel: drawing only the part the sink shows, and
// drawing unchanged draws again from their saved colours; and the vector and the plain kernels
// drawing the same pictures in every way the game draws.
#include "platform/softgpu/span_kernels.h"
#include "tests/softgpu/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace softgpu::testing {
namespace {

std::vector<std::uint32_t> pixelsOf(const TestDevice& device) {
    const FrameView frame = device->backBuffer();
    return std::vector<std::uint32_t>(frame.pixels, frame.pixels + 640 * 480);
}

// Every way the game draws, at many positions and sizes, in one picture.
void drawEveryMode(TestDevice& device, IDirect3DTexture8* texture, int variants) {
    for (int variant = 0; variant < variants; ++variant) {
        for (DrawMode mode : allDrawModes) drawInMode(device, mode, texture, variant);
    }
}

constexpr std::uint32_t background = 0xFF123456u;

// Every mode at many places, and a wide receding strip whose texture coordinates lie thousands
// of repeats from 0, where a float sum started elsewhere along a row rounds differently; returns
// the picture.
std::vector<std::uint32_t> drawScene(TestDevice& device) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
    IDirect3DTexture8* texture = makeSpeckledTexture(device, 64);
    drawEveryMode(device, texture, 8);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device.drawVertices(D3DPT_TRIANGLESTRIP,
                        {{20, 300, 0, 4000.0f, 1.0f},
                         {620, 300, 300, 4003.0f, 1.0f},
                         {20, 100, 0, 4000.0f, 2.0f},
                         {620, 100, 300, 4003.0f, 2.0f}},
                        texture);
    return pixelsOf(device);
}

TEST(KernelTest, TheVectorAndThePlainKernelsDrawTheSamePictureInEveryMode) {
    for (DrawMode mode : allDrawModes) {
        SCOPED_TRACE(drawModeName(mode));
        std::vector<std::uint32_t> pictures[2];
        for (bool vector : {false, true}) {
            useVectorKernels(vector);
            TestDevice device;
            IDirect3DTexture8* texture = makeSpeckledTexture(device, 64);
            for (int variant = 0; variant < 8; ++variant)
                drawInMode(device, mode, texture, variant);
            pictures[vector] = pixelsOf(device);
        }
        useVectorKernels(true);
        EXPECT_EQ(pictures[0], pictures[1]);
    }
    if (vectorKernels() == nullptr) GTEST_SKIP() << "no vector kernels on this processor";
}

TEST(ShownPartTest, OnlyTheShownPixelsAreDrawnAndExactlyAsWhenAllAre) {
    TestDevice whole;
    const std::vector<std::uint32_t> all = drawScene(whole);
    // Parts cut on every side, some reaching past the buffer's edges, the left edge in many
    // places: inside, the spans start elsewhere than when all is drawn, and the pixels still
    // come out the same; outside, the pixels keep what they held.
    MemorySink window;
    for (int left = -51; left < 300; left += 13) {
        const RECT shown{left, 40 + left / 8, 600 + left / 2, 440 + left / 2};
        window.showOnly(shown);
        TestDevice part(&window);
        drawScene(part);
        const int wrong = part.countPixels([&](int x, int y, std::uint32_t pixel) {
            const bool inside =
                x >= shown.left && x < shown.right && y >= shown.top && y < shown.bottom;
            return pixel !=
                   ((inside ? all[static_cast<std::size_t>(y) * 640 + x] : background) & 0xFFFFFFu);
        });
        EXPECT_EQ(wrong, 0) << "shown from column " << left;
        EXPECT_LT(part->stats().pixelsShaded, whole->stats().pixelsShaded);
    }
    window.showOnly(RECT{300, 300, 300, 400}); // an empty part: nothing is drawn
    TestDevice none(&window);
    EXPECT_EQ(drawScene(none), std::vector<std::uint32_t>(640 * 480, background));
}

IDirect3DTexture8* makeGreyTexture(TestDevice& device) {
    return device.makeTexture(16, 16, [](int x, int y) { return 0xFF808080u + (x ^ y); });
}

// Draws the same frames on two devices, one reusing unchanged draws, and compares every frame.
class ReuseTest : public ::testing::Test {
protected:
    ReuseTest() { drawing->reuseUnchangedDraws(false); }

    // One frame: every mode at a few places, then Present; change(device, its texture) comes
    // first. The two devices must end it with the same picture.
    using Change = std::function<void(TestDevice&, IDirect3DTexture8*)>;
    void frame(const Change& change = [](TestDevice&, IDirect3DTexture8*) {}) {
        for (std::size_t i = 0; i < 2; ++i) {
            TestDevice& device = i == 0 ? reusing : drawing;
            device->resetStats();
            change(device, textures[i]);
            drawEveryMode(device, textures[i], 3);
            device->Present(nullptr, nullptr, nullptr, nullptr);
        }
        ASSERT_EQ(pixelsOf(reusing), pixelsOf(drawing));
    }
    // Draws of the last frame reused.
    std::uint64_t reused() const { return reusing->stats().drawsReused; }

    MemorySink window{RECT{100, 40, 540, 440}}; // the game's window
    TestDevice reusing{&window};
    TestDevice drawing{&window};
    IDirect3DTexture8* textures[2] = {makeSpeckledTexture(reusing, 64),
                                      makeSpeckledTexture(drawing, 64)};
    IDirect3DTexture8* opaque[2] = {makeGreyTexture(reusing), makeGreyTexture(drawing)};
};

TEST_F(ReuseTest, UnchangedDrawsAreReusedFromTheThirdFrameOnAndAnyChangeDrawsThemAnew) {
    // A draw seen once is saved the second time and reused from the third on.
    auto settle = [this] {
        frame();
        EXPECT_EQ(reused(), 0u);
        frame();
        frame();
        ASSERT_EQ(reused(), 12u);
        // A reused draw counts its work as if it had been drawn.
        EXPECT_EQ(reusing->stats().pixelsShaded, drawing->stats().pixelsShaded);
        EXPECT_EQ(reusing->stats().trianglesDrawn, drawing->stats().trianglesDrawn);
    };
    const std::pair<const char*, Change> changes[] = {
        {"new texels under the same texture",
         [](TestDevice&, IDirect3DTexture8* texture) {
             D3DLOCKED_RECT locked{};
             texture->LockRect(0, &locked, nullptr, 0);
             for (int i = 0; i < 64 * 64; i += 7)
                 static_cast<std::uint32_t*>(locked.pBits)[i] ^= 0xFF00FFu;
             texture->UnlockRect(0);
         }},
        {"the window shows another part",
         [this](TestDevice&, IDirect3DTexture8*) {
             window.showOnly(RECT{0, 0, 320, 480});
         }},
        {"point sampling instead of bilinear",
         [](TestDevice& device, IDirect3DTexture8*) {
             device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
         }},
        {"the camera moves by a pixel",
         [](TestDevice& device, IDirect3DTexture8*) {
             const D3DMATRIX view = placement(1, 1, -321.0f, -240.0f, 940.0f);
             device->SetTransform(D3DTS_VIEW, &view);
         }},
    };
    settle();
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        frame(change);
        EXPECT_EQ(reused(), 0u);
        settle();
    }
}

TEST_F(ReuseTest, AReusedDrawIsWrittenWithTheBlendingAndAlphaTestOfItsTime) {
    // One picture drawn three times a frame at the same place: opaque with the alpha test,
    // opaque without it (transparent texels turn black), then added: the same shaded colours
    // written three ways. Then a picture with no transparent texel, whose saved colours are
    // copied as they are, until the alpha test of the last frame passes none of them.
    for (int f = 0; f < 4; ++f) {
        frame([this, f](TestDevice& device, IDirect3DTexture8* texture) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
            const D3DMATRIX where = placement(50, 40, 320.5f, 240.5f);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
            device.drawQuad(where, texture);
            device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
            device.drawQuad(where, texture);
            device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
            device.drawQuad(where, texture);

            device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
            device->SetRenderState(D3DRS_ALPHAFUNC, f == 3 ? D3DCMP_NEVER : D3DCMP_ALWAYS);
            device.drawQuad(placement(60, 30, 200.5f, 150.5f), opaque[&device == &drawing]);
            device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL); // the game's
        });
    }
    // The first frame lights them otherwise (the light of the frame before is still set), so
    // the last frame is the first to reuse all of them.
    EXPECT_EQ(reused(), 12u + 3u + 1u);
}

} // namespace
} // namespace softgpu::testing
