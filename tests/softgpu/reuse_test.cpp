// Work the device saves without changing a pixel: drawing only the part the sink shows, and
// drawing unchanged draws again from their saved colours; and the vector and the plain kernels
// drawing the same pictures in every way the game draws.
#include "platform/softgpu/span_kernels.h"
#include "tests/softgpu/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace softgpu::testing {
namespace {

// A window that shows part of the back buffer, and can be told to show another part.
class WindowSink final : public PresentSink {
public:
    void present(const FrameView&) override { ++presents; }
    RECT shownRect() const override { return shown; }
    RECT shown{100, 40, 540, 440};
    int presents = 0;
};

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

// A wide receding strip whose texture coordinates lie thousands of repeats from 0, where a
// float sum started elsewhere along a row rounds differently.
void drawFarCoordinates(TestDevice& device, IDirect3DTexture8* texture) {
    device.useGameStates(false);
    device.drawVertices(D3DPT_TRIANGLESTRIP,
                        std::vector<QuadVertex>{{20, 300, 0, 4000.0f, 1.0f},
                                                {620, 300, 300, 4003.0f, 1.0f},
                                                {20, 100, 0, 4000.0f, 2.0f},
                                                {620, 100, 300, 4003.0f, 2.0f}},
                        texture);
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
    WindowSink window;
    TestDevice part(&window);
    for (TestDevice* device : {&whole, &part}) {
        (*device)->Clear(0, nullptr, D3DCLEAR_TARGET, 0x123456u, 1.0f, 0);
        drawEveryMode(*device, makeSpeckledTexture(*device, 64), 8);
        drawFarCoordinates(*device, makeSpeckledTexture(*device, 64));
    }
    const std::vector<std::uint32_t> all = pixelsOf(whole);
    const std::vector<std::uint32_t> shown = pixelsOf(part);
    int different = 0, outsideDrawn = 0, drawnOutsideInWhole = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * 640 + x;
            if (x >= 100 && x < 540 && y >= 40 && y < 440) {
                different += shown[i] != all[i];
            } else {
                outsideDrawn += shown[i] != 0xFF123456u;
                drawnOutsideInWhole += all[i] != 0xFF123456u;
            }
        }
    }
    EXPECT_EQ(different, 0);
    EXPECT_EQ(outsideDrawn, 0);
    EXPECT_GT(drawnOutsideInWhole, 10000); // the scene does reach past the shown part
    EXPECT_LT(part->stats().pixelsShaded, whole->stats().pixelsShaded);

    // Pixels right of the shown edge come out exactly the same wherever the edge lies, though
    // their spans start further left (a float sum rounds differently from another start).
    for (int left = 1; left < 300; left += 13) {
        TestDevice cut(&window);
        window.shown = RECT{left, 0, 640, 480};
        cut->Clear(0, nullptr, D3DCLEAR_TARGET, 0x123456u, 1.0f, 0);
        drawEveryMode(cut, makeSpeckledTexture(cut, 64), 8);
        drawFarCoordinates(cut, makeSpeckledTexture(cut, 64));
        const std::vector<std::uint32_t> pixels = pixelsOf(cut);
        int wrong = 0;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            wrong += static_cast<int>(i % 640) >= left && pixels[i] != all[i];
        }
        EXPECT_EQ(wrong, 0) << "shown from column " << left;
    }

    // A part beyond the buffer's edges is cut to them; an empty one draws nothing.
    window.shown = RECT{-50, 200, 10000, 10000};
    drawEveryMode(part, makeSpeckledTexture(part, 64), 2);
    window.shown = RECT{300, 300, 300, 400};
    const std::vector<std::uint32_t> before = pixelsOf(part);
    drawEveryMode(part, makeSpeckledTexture(part, 64), 2);
    EXPECT_EQ(pixelsOf(part), before);
}

// Draws the same frames on two devices, one reusing unchanged draws, and compares every frame.
class ReuseTest : public ::testing::Test {
protected:
    ReuseTest() : reusing(&window), drawing(&window) {
        drawing->reuseUnchangedDraws(false);
        for (TestDevice* device : {&reusing, &drawing}) {
            textures.push_back(makeSpeckledTexture(*device, 64));
        }
    }

    // One frame: every mode at a few places, then Present; change(device, its texture) comes
    // first. The two devices must end it with the same picture.
    template <class Change>
    void frame(Change change) {
        for (std::size_t i = 0; i < 2; ++i) {
            TestDevice& device = i == 0 ? reusing : drawing;
            device->resetStats();
            change(device, textures[i]);
            drawEveryMode(device, textures[i], 3);
            device->Present(nullptr, nullptr, nullptr, nullptr);
        }
        ASSERT_EQ(pixelsOf(reusing), pixelsOf(drawing));
    }
    void frame() {
        frame([](TestDevice&, IDirect3DTexture8*) {});
    }
    // Draws of the last frame reused.
    std::uint64_t reused() const { return reusing->stats().drawsReused; }

    WindowSink window;
    TestDevice reusing;
    TestDevice drawing;
    std::vector<IDirect3DTexture8*> textures;
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
    settle();
    // New texels under the same texture.
    frame([](TestDevice&, IDirect3DTexture8* texture) {
        D3DLOCKED_RECT locked{};
        texture->LockRect(0, &locked, nullptr, 0);
        for (int i = 0; i < 64 * 64; i += 7)
            static_cast<std::uint32_t*>(locked.pBits)[i] ^= 0xFF00FFu;
        texture->UnlockRect(0);
    });
    EXPECT_EQ(reused(), 0u);
    settle();
    // The window shows another part.
    window.shown = RECT{0, 0, 320, 480};
    frame();
    EXPECT_EQ(reused(), 0u);
    settle();
    // Alpha taken from the vertices' colour: the transparent texels now show.
    frame([](TestDevice& device, IDirect3DTexture8*) {
        device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    });
    EXPECT_EQ(reused(), 0u);
    settle();
    // The camera moves by a pixel.
    frame([](TestDevice& device, IDirect3DTexture8*) {
        const D3DMATRIX view = placement(1, 1, -321.0f, -240.0f, 940.0f);
        device->SetTransform(D3DTS_VIEW, &view);
    });
    EXPECT_EQ(reused(), 0u);
}

TEST_F(ReuseTest, AReusedDrawIsWrittenWithTheBlendingAndAlphaTestOfItsTime) {
    // One picture drawn three times a frame at the same place: opaque with the alpha test,
    // opaque without it (transparent texels turn black), then added: the same shaded colours
    // written three ways.
    for (int f = 0; f < 3; ++f) {
        frame([](TestDevice& device, IDirect3DTexture8* texture) {
            const D3DMATRIX where = placement(50, 40, 320.5f, 240.5f);
            device.useGameStates(false);
            device.drawQuad(where, texture);
            device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
            device.drawQuad(where, texture);
            device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
            device.useGameStates(true);
            device.drawQuad(where, texture);
        });
    }
    EXPECT_EQ(reused(), 12u + 2u);
}

} // namespace
} // namespace softgpu::testing
