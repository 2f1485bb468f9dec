// Loading the scene with the game's own pictures and sounds, and drawing frames from it.
#include "audio/sound_device.h"
#include "graphics/score_display.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "platform/sound_sdl.h"
#include "shell/world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace softgpu;

namespace {

class MessageBoxes {
public:
    MessageBoxes() {
        previous_ = platform::setMessageBoxPresenter(
            [this](std::string_view caption, std::string_view text) {
                shown.emplace_back(std::string(caption), std::string(text));
            });
    }
    ~MessageBoxes() { platform::setMessageBoxPresenter(previous_); }
    std::vector<std::pair<std::string, std::string>> shown;

private:
    platform::MessageBoxPresenter previous_;
};

// Installs a sound system for the test's lifetime and restores the previous one after.
class SoundSystem {
public:
    explicit SoundSystem(platform::SoundDeviceOpener opener, const char* driver = "dummy")
        : previous_(setSoundDeviceOpener(opener)) {
        setenv("SDL_AUDIODRIVER", driver, 1);
    }
    ~SoundSystem() {
        setSoundDeviceOpener(previous_);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

private:
    platform::SoundDeviceOpener previous_;
};

// A sound device that starts but can make no sound buffer: every sound fails to load.
class DeafDevice final : public platform::SoundDevice {
    class Primary final : public platform::SoundBuffer {
        bool stop() override { return true; }
        bool rewind() override { return true; }
        bool play() override { return true; }
    };

public:
    bool setCooperativeLevel(platform::CooperativeLevel) override { return true; }
    std::unique_ptr<platform::SoundBuffer> createPrimaryBuffer() override {
        return std::make_unique<Primary>();
    }
    bool setPrimaryFormat(const platform::WaveFormat&) override { return true; }
};

std::unique_ptr<platform::SoundDevice> openDeafDevice(std::string&) {
    return std::make_unique<DeafDevice>();
}

struct TestWorld {
    TestWorld() : world(ticks, pointer, {}) {}
    platform::ManualTickSource ticks{0};
    platform::ManualPointerSource pointer;
    MemorySink sink;
    World world;
};

DWORD renderState(IDirect3DDevice8* device, D3DRENDERSTATETYPE state) {
    DWORD value = 0xFFFFFFFF;
    device->GetRenderState(state, &value);
    return value;
}

void expectSprite(const Matrix4& m, float sx, float sy, float x, float y, float z,
                  const char* name) {
    const Matrix4 expected = spritePlacement(sx, sy, x, y, z);
    EXPECT_EQ(std::memcmp(&m, &expected, sizeof m), 0) << name;
}

TEST(Scene, LoadsEverythingSilentlyWithTheStartingPlacementsAndMaterials) {
    SoundSystem sound(platform::openSdlSoundDevice);
    MessageBoxes boxes;
    TestWorld t;
    World& w = t.world;
    ASSERT_EQ(initDevice(w, &t.sink, 1), 1);
    ASSERT_EQ(loadScene(w), 1);
    EXPECT_TRUE(boxes.shown.empty());

    EXPECT_EQ(w.state.kickSound, 0);
    EXPECT_EQ(w.state.bounceSound, 1);
    EXPECT_EQ(w.state.hoverSound, 2);

    const Matrix4& ball = w.pose.ballPlacement;
    EXPECT_EQ(ball._11, 1.0f);
    EXPECT_EQ(ball._22, 1.0f);
    EXPECT_EQ(ball._41, 320.0f);
    EXPECT_EQ(ball._42, 240.0f);
    EXPECT_EQ(ball._43, 64.0f);
    expectSprite(w.pose.shinePlacement, 58, 58, 200, 220, 64, "shine");
    expectSprite(w.pose.shadowPlacement, 64, 64, 320, 72.5f, 0, "shadow");
    expectSprite(w.pose.pointerPlacement, 16, 16, 320.5f, 240.5f, 0, "pointer");
    expectSprite(w.scene.labelPlacement, 16, 16, 140, 400.5f, 96, "label");
    expectSprite(w.scene.closeButtonPlacement, 8, 8, 528.5f, 427.5f, 0, "close button");
    expectSprite(w.scene.wallPlacement, 196, 168, 320.5f, 240.5f, 64, "wall");
    expectSprite(w.scene.edgeLinePlacement, 1, 1, 519.5f, 424.5f, 0, "edge line");
    expectSprite(w.digits.digitPlacement, 8, 8, 0, 0, 96, "digit");

    EXPECT_EQ(w.scene.frameMaterial.Diffuse.r, 1.0f);
    EXPECT_EQ(w.scene.frameMaterial.Diffuse.g, 0.0f);
    EXPECT_EQ(w.scene.frameMaterial.Emissive.r, 0.8f);
    EXPECT_EQ(w.scene.frameMaterial.Emissive.b, 1.0f);
    EXPECT_EQ(w.scene.textMaterial.Emissive.b, 0.8f);
    EXPECT_EQ(w.pose.ballMaterial.Emissive.g, 1.0f);
    EXPECT_EQ(w.scene.wallMaterial.Diffuse.a, 0.0f);
    EXPECT_EQ(w.scene.wallMaterial.Power, 0.0f);

    // Textures have the edges their pictures need; the pieces of cut pictures all exist.
    EXPECT_EQ(w.scene.wallTexture.get()->width(), 128u);
    EXPECT_EQ(w.scene.edgeLineTexture.get()->width(), 1u);
    EXPECT_EQ(w.scene.verticalBarTexture.get()->width(), 16u);
    for (const auto& piece : w.scene.bannerTextures) EXPECT_EQ(piece.get()->width(), 32u);
    for (const auto* digit : w.digits.digitTextures) {
        ASSERT_NE(digit, nullptr);
        EXPECT_EQ(digit->width(), 16u);
    }

    // Before the first frame the picture is opaque black.
    const FrameView back = w.renderer.device->backBuffer();
    EXPECT_EQ(back.at(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(back.at(320, 240) & 0xFFFFFF, 0u);
}

TEST(Scene, EachDigitTextureShowsItsOwnBitmap) {
    SoundSystem sound(platform::openSdlSoundDevice);
    TestWorld t;
    ASSERT_EQ(initDevice(t.world, &t.sink, 1), 1);
    ASSERT_EQ(loadScene(t.world), 1);
    for (int d = 0; d < 10; ++d) {
        const auto resource = platform::findResource(platform::ResourceType::Bitmap, 2021 + d);
        ASSERT_TRUE(resource);
        BitmapImage image;
        ASSERT_EQ(loadBitmapBytes(image, resource->bytes, resource->size), 1);
        std::vector<std::uint32_t> expected(16 * 16, 0);
        writeTexels(image, Colour, {16, 0, 0}, reinterpret_cast<std::uint8_t*>(expected.data()),
                    64);
        const IDirect3DTexture8* texture = t.world.digits.digitTextures[d];
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), texture->texels())) << d;
    }
}

TEST(Scene, SoundDeviceFailureIsToldTwiceAndEndsTheLoad) {
    SoundSystem sound(platform::openSdlSoundDevice, "no-such-audio-driver");
    MessageBoxes boxes;
    TestWorld t;
    ASSERT_EQ(initDevice(t.world, &t.sink, 1), 1);
    EXPECT_EQ(loadScene(t.world), 0);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].first, "Error");
    EXPECT_EQ(boxes.shown[1].first, "Loading Error");
    EXPECT_EQ(boxes.shown[1].second,
              "Problem initiating DirectSound 8. Application will now terminate.");
    EXPECT_EQ(t.world.state.kickSound, soundNotLoaded);
    // The pictures were made before the sound was started.
    EXPECT_NE(t.world.scene.wallTexture.get(), nullptr);
    EXPECT_NE(t.world.digits.digitTextures[9], nullptr);
}

TEST(Scene, MissingSoundsAreToldOnceAndTheGameRuns) {
    SoundSystem sound(openDeafDevice);
    MessageBoxes boxes;
    TestWorld t;
    ASSERT_EQ(initDevice(t.world, &t.sink, 1), 1);
    EXPECT_EQ(loadScene(t.world), 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, "Loading problems.");
    EXPECT_EQ(boxes.shown[0].second, "Not all sounds were loaded but application will continue.");
    EXPECT_EQ(t.world.state.hoverSound, soundNotLoaded);
}

TEST(Scene, FramesRunWhenNoBufferOrTextureCouldBeMade) {
    SoundSystem sound(platform::openSdlSoundDevice);
    AdapterOptions options;
    options.vertexBufferCreationFails = true;
    options.textureCreationFails = true;
    ScopedAdapterOptions scoped(options);
    MessageBoxes boxes;
    TestWorld t;
    ASSERT_EQ(initDevice(t.world, &t.sink, 1), 1);
    EXPECT_EQ(loadScene(t.world), 1) << "failed creations are not reported";
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(t.world.scene.wallTexture.get(), nullptr);
    EXPECT_EQ(t.world.ballMesh.vertexCount, 544);
    for (int i = 0; i < 3; ++i) {
        t.ticks.advance(16);
        updateFrame(t.world.game);
        drawFrame(t.world);
    }
    EXPECT_EQ(t.sink.presentCount(), 3);
    EXPECT_EQ(t.sink.lastFrame().at(320, 240) & 0xFFFFFF, 0u) << "nothing to draw with";
}

TEST(ScoreDisplay, NumbersAreLeftAlignedAndDrawnUnitsFirst) {
    std::array<DigitDraw, 10> digits;
    ASSERT_EQ(layOutNumber(0, 488.5f, digits), 1);
    EXPECT_EQ(digits[0].digit, 0);
    EXPECT_EQ(digits[0].x, 488.5f);

    ASSERT_EQ(layOutNumber(7, 488.5f, digits), 1);
    EXPECT_EQ(digits[0].digit, 7);
    EXPECT_EQ(digits[0].x, 488.5f);

    ASSERT_EQ(layOutNumber(1234, 488.5f, digits), 4);
    const int expectedDigits[] = {4, 3, 2, 1};
    const float expectedX[] = {536.5f, 520.5f, 504.5f, 488.5f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(digits[i].digit, expectedDigits[i]);
        EXPECT_EQ(digits[i].x, expectedX[i]);
    }

    ASSERT_EQ(layOutNumber(10, 172.5f, digits), 2);
    EXPECT_EQ(digits[0].digit, 0);
    EXPECT_EQ(digits[0].x, 188.5f);
    EXPECT_EQ(digits[1].digit, 1);
    EXPECT_EQ(digits[1].x, 172.5f);

    ASSERT_EQ(layOutNumber(60, 126.5f, digits), 2);
    EXPECT_EQ(digits[0].digit, 0);
    EXPECT_EQ(digits[0].x, 142.5f);
    EXPECT_EQ(digits[1].digit, 6);
    EXPECT_EQ(digits[1].x, 126.5f);

    EXPECT_EQ(layOutNumber(2147483647, 0, digits), 10);
}

class Frames : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(initDevice(t.world, &t.sink, 1), 1);
        ASSERT_EQ(loadScene(t.world), 1);
    }
    std::uint64_t drawsOfOneFrame() {
        t.world.renderer.device->resetStats();
        drawFrame(t.world);
        return t.world.renderer.device->stats().drawCalls;
    }
    SoundSystem sound{platform::openSdlSoundDevice};
    TestWorld t;
};

TEST_F(Frames, FrameLeavesTheStatesTheNextFrameStartsFrom) {
    World& w = t.world;
    drawFrame(w);
    IDirect3DDevice8* device = w.renderer.device;
    EXPECT_EQ(t.sink.presentCount(), 1);
    EXPECT_EQ(renderState(device, D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(renderState(device, D3DRS_DESTBLEND), D3DBLEND_ONE);
    EXPECT_EQ(renderState(device, D3DRS_SRCBLEND), D3DBLEND_ONE);
    EXPECT_EQ(renderState(device, D3DRS_CULLMODE), D3DCULL_NONE);
    EXPECT_EQ(renderState(device, D3DRS_LIGHTING), 1u);
    DWORD fvf = 0;
    device->GetVertexShader(&fvf);
    EXPECT_EQ(fvf, 0x102u);
    IDirect3DTexture8* bound = nullptr;
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, w.scene.pointerTexture.get());
    if (bound) bound->Release();
    Material current{};
    device->GetMaterial(&current);
    EXPECT_EQ(current.Emissive.r, 0.7f);
    EXPECT_EQ(current.Emissive.b, 0.9f);
    // The walls' last write: the ceiling.
    EXPECT_EQ(w.scene.wallPlacement._42, 408.5f);
    EXPECT_EQ(w.scene.wallPlacement._33, -196.0f);
}

TEST_F(Frames, PointerTintFollowsTheZoneAndTheCloseButtonGlows) {
    World& w = t.world;
    w.state.pointerZone = zoneDragStrip;
    const auto stripDraws = drawsOfOneFrame();
    EXPECT_EQ(w.pose.shadowMaterial.Emissive.r, 0.6f);
    EXPECT_EQ(w.pose.shadowMaterial.Emissive.g, 0.4f);
    EXPECT_EQ(w.pose.shadowMaterial.Emissive.b, 1.0f);

    w.state.pointerZone = zoneCloseButton;
    const auto closeDraws = drawsOfOneFrame();
    EXPECT_EQ(closeDraws, stripDraws + 1) << "the glow";
    EXPECT_EQ(w.pose.shadowMaterial.Emissive.g, 0.8f);
    const Matrix4& glow = w.pose.shadowPlacement;
    EXPECT_EQ(glow._11, 12.0f);
    EXPECT_EQ(glow._22, 12.0f);
    EXPECT_EQ(glow._23, 0.0f);
    EXPECT_EQ(glow._32, 0.0f);
    EXPECT_EQ(glow._41, 526.5f);
    EXPECT_EQ(glow._42, 429.5f);

    w.state.pointerZone = 7;
    EXPECT_EQ(drawsOfOneFrame(), stripDraws);
    EXPECT_EQ(w.pose.shadowMaterial.Emissive.r, 0.7f);
}

TEST_F(Frames, FramesPerSecondOnlyWhileShown) {
    World& w = t.world;
    w.clock.framesPerSecond = 60;
    const auto hidden = drawsOfOneFrame();
    w.state.showFps = 1;
    EXPECT_EQ(drawsOfOneFrame(), hidden + 2);
    EXPECT_EQ(w.digits.digitPlacement._41, 126.5f) << "the 6, drawn last";
    EXPECT_EQ(w.digits.digitPlacement._42, 62.5f);
    w.clock.framesPerSecond = 0;
    EXPECT_EQ(drawsOfOneFrame(), hidden + 1);
}

TEST_F(Frames, WallsAreRedrawnWholeAndLookTheSameUnlitAndLit) {
    World& w = t.world;
    // Points on the back, left, right, floor and ceiling walls that no sprite covers.
    const int points[][2] = {{450, 150}, {470, 330}, {130, 240}, {510, 240}, {200, 400}, {200, 80}};
    drawFrame(w); // the first frame draws its walls with lighting still off
    std::vector<std::uint32_t> first;
    for (const auto& p : points) first.push_back(w.renderer.device->backBuffer().at(p[0], p[1]));

    std::memset(&w.scene.wallPlacement, 0x3F, sizeof w.scene.wallPlacement);
    drawFrame(w);
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(w.renderer.device->backBuffer().at(points[i][0], points[i][1]), first[i])
            << points[i][0] << ", " << points[i][1];
    }
}

} // namespace
