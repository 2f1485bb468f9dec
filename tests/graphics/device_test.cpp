// The picture on the software device: its set-up, textures, the scene loaded with the game's own
// pictures and sounds, and frames drawn from it; what the golden frames cannot show.
#include "audio/sound_device.h"
#include "graphics/math3d.h"
#include "graphics/score_display.h"
#include "platform/message_box.h"
#include "platform/sound_null.h"
#include "shell/headless_game.h"
#include "tests/graphics/bitmap_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace game;
using namespace graphics;
using namespace softgpu;

namespace {

using Shown = std::vector<std::pair<std::string, std::string>>; // caption, text

// Collects the message boxes shown while it lives.
class MessageBoxes {
public:
    MessageBoxes()
        : previous_(platform::setMessageBoxPresenter(
              [this](std::string_view caption, std::string_view text) {
                  shown.emplace_back(caption, text);
              })) {}
    ~MessageBoxes() { platform::setMessageBoxPresenter(previous_); }
    Shown shown;

private:
    platform::MessageBoxPresenter previous_;
};

DWORD renderState(IDirect3DDevice8* device, D3DRENDERSTATETYPE state) {
    DWORD value = 0xFFFFFFFF;
    device->GetRenderState(state, &value);
    return value;
}

TEST(Renderer, SetsTheCameraAndDefaultStatesAndFallsBackOnPlainerAdapters) {
    AdapterOptions plain;
    plain.vertexProcessingCaps = 0;
    plain.alphaCmpCaps = D3DPCMPCAPS_ALWAYS;
    for (const bool isPlain : {false, true}) {
        SCOPED_TRACE(isPlain ? "no directional light, no alpha test" : "every capability");
        ScopedAdapterOptions scoped(isPlain ? plain : AdapterOptions{});
        MessageBoxes boxes;
        MemorySink sink;
        Renderer renderer;
        ASSERT_EQ(initDevice(renderer, &sink, 1), 1);
        EXPECT_TRUE(boxes.shown.empty());
        IDirect3DDevice8* device = renderer.device;

        Matrix4 view{}, projection{};
        device->GetTransform(D3DTS_VIEW, &view);
        device->GetTransform(D3DTS_PROJECTION, &projection);
        const Matrix4 expectedView{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -320, -240, 940, 1};
        EXPECT_EQ(std::memcmp(&view, &expectedView, sizeof view), 0);
        EXPECT_NEAR(projection._11, 2.9372380f, 1e-6);
        EXPECT_NEAR(projection._22, 3.9163175f, 1e-6);
        EXPECT_EQ(projection._33, 0.5f);
        EXPECT_EQ(projection._34, 1.0f);
        EXPECT_EQ(projection._43, 0.5f);
        EXPECT_EQ(std::count(&projection._11, &projection._11 + 16, 0.0f), 11);
        D3DLIGHT8 light{};
        BOOL enabled = FALSE;
        device->GetLightEnable(0, &enabled);
        EXPECT_EQ(SUCCEEDED(device->GetLight(0, &light)) && enabled, !isPlain);
        EXPECT_EQ(renderState(device, D3DRS_AMBIENT) == 0x40404040u, isPlain);
        EXPECT_EQ(renderState(device, D3DRS_LIGHTING), 0u) << "the first frame's walls: unlit";
        // Where it can, the alpha test drops the black of every picture.
        EXPECT_EQ(renderState(device, D3DRS_ALPHATESTENABLE), isPlain ? 0u : 1u);
        EXPECT_EQ(renderState(device, D3DRS_ALPHAREF), isPlain ? 0u : 1u);

        renderer.release();
        EXPECT_EQ(renderer.device, nullptr);
        EXPECT_EQ(renderer.direct3d, nullptr);
    }
}

TEST(Renderer, FailuresAreToldUnderLoadingErrorAndReturnZero) {
    AdapterOptions failing[4];
    failing[0].direct3dUnavailable = true;
    failing[1].deviceCreationFails = true;
    failing[2].displayModeFails = true;
    failing[3].fullScreenFormats = {}; // and full screen is asked for
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ScopedAdapterOptions scoped(failing[i]);
        MessageBoxes boxes;
        Renderer renderer;
        EXPECT_EQ(initDevice(renderer, nullptr, i == 3 ? 0 : 1), 0);
        const std::string told =
            i == 0 ? "Problem initiating DirectX 8. Application will now terminate."
                   : "Problem creating DirectX 8 device. Application will now terminate.";
        EXPECT_EQ(boxes.shown, Shown({{"Loading Error", told}}));
        EXPECT_EQ(renderer.device, nullptr);
        EXPECT_EQ(renderer.direct3d != nullptr, i != 0) << "the interface is kept until exit";
    }
}

TEST(Renderer, FullScreenPrefersSixteenBitFormats) {
    const std::pair<std::vector<D3DFORMAT>, D3DFORMAT> cases[] = {
        {{D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5}, D3DFMT_R5G6B5},
        {{D3DFMT_X1R5G5B5, D3DFMT_X8R8G8B8}, D3DFMT_X1R5G5B5},
        {{D3DFMT_X8R8G8B8}, D3DFMT_X8R8G8B8}, // the desktop's own
        {{D3DFMT_A8R8G8B8}, D3DFMT_UNKNOWN},
    };
    Renderer renderer;
    renderer.direct3d = Direct3DCreate8(D3D_SDK_VERSION);
    for (const auto& [accepted, picked] : cases) {
        AdapterOptions options;
        options.fullScreenFormats = accepted;
        ScopedAdapterOptions scoped(options);
        EXPECT_EQ(pickFullScreenFormat(renderer), picked) << picked;
    }
    MemorySink sink;
    Renderer fullScreen;
    ASSERT_EQ(initDevice(fullScreen, &sink, 0), 1);
    EXPECT_EQ(fullScreen.device->backBuffer().width, 800);
    EXPECT_EQ(fullScreen.device->backBuffer().height, 600);
}

// Makes the texture of a picture: an edge x edge square whose first and last columns hold the
// picture's colour from row top to row bottom and transparent black elsewhere.
void expectTexture(const char* what, const std::vector<std::uint8_t>& bytes, std::int32_t mode,
                   std::uint32_t edge, std::uint32_t top, std::uint32_t bottom,
                   std::uint32_t colour) {
    SCOPED_TRACE(what);
    Renderer renderer;
    ASSERT_EQ(initDevice(renderer, nullptr, 1), 1);
    BitmapImage image;
    loadBitmapBytes(image, bytes.data(), bytes.size());
    TextureHolder holder;
    makeTextureFromImage(holder, renderer.device, image, mode, 0, 0, 0);
    const IDirect3DTexture8* texture = holder.get();
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(texture->width(), edge);
    EXPECT_EQ(texture->height(), edge);
    EXPECT_EQ(texture->format(), D3DFMT_A8R8G8B8);
    for (std::uint32_t row = 0; row < edge; ++row) {
        const std::uint32_t expected = row >= top && row <= bottom ? colour : 0;
        EXPECT_EQ(texture->texels()[row * edge], expected) << row;
        EXPECT_EQ(texture->texels()[row * edge + edge - 1], expected) << row;
    }
}

TEST(Textures, AreSquareWithThePictureCentredOnTransparentBlack) {
    using testing_bitmaps::solidBitmap;
    expectTexture("32 x 20", solidBitmap(32, 20, {0, 0, 200}), Colour, 32, 6, 25, 0xFFC80000u);
    // 9 x 0.3 + 9 x 0.59 + 9 x 0.11 gives 2 + 5 + 0.
    expectTexture("32 x 24, grey", solidBitmap(32, 24, {9, 9, 9}), Grey, 32, 4, 27, 0xFF070707u);
    expectTexture("did not load: blank", {}, Colour, 1, 0, 0, 0);
}

TEST(Scene, LoadsSilentlyWithEverySoundAndDigitOnABlackPicture) {
    MessageBoxes boxes;
    shell::HeadlessGame game; // its objects, set up here by hand
    shell::World& w = game.world;
    MemorySink sink;
    ASSERT_EQ(initDevice(w.renderer, &sink, 1), 1);
    w.renderer.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFFu, 1.0f, 0);
    ASSERT_EQ(loadScene(w.stage), 1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(w.state.kickSound, 0);
    EXPECT_EQ(w.state.bounceSound, 1);
    EXPECT_EQ(w.state.hoverSound, 2);
    const Matrix4 ball = spritePlacement(1, 1, 320, 240, 64);
    EXPECT_EQ(std::memcmp(&w.pose.ballPlacement, &ball, sizeof ball), 0);
    EXPECT_EQ(w.renderer.device->backBuffer().at(320, 240), 0xFF000000u) << "the loading clear";

    for (const TextureHolder& digit : w.digits.digitTextures) EXPECT_NE(digit.get(), nullptr);
}

TEST(Scene, SoundProblemsAreToldOnceAndOnlyAMissingDeviceEndsTheLoad) {
    for (const bool noDevice : {true, false}) {
        SCOPED_TRACE(noDevice ? "no sound device" : "no sound loads");
        MessageBoxes boxes;
        shell::HeadlessGame t;
        if (noDevice) audio::setSoundDeviceOpener(platform::openNoSoundDevice);
        t.world.sounds.capacity = 0; // no room: every sound fails to load
        EXPECT_EQ(t.start(), !noDevice);
        const Shown told =
            noDevice ? Shown{{"Error", "Unable to create DirectSound object"},
                             {"Loading Error",
                              "Problem initiating DirectSound 8. Application will now terminate."}}
                     : Shown{{"Loading problems.",
                              "Not all sounds were loaded but application will continue."}};
        EXPECT_EQ(boxes.shown, told);
        EXPECT_EQ(t.world.state.kickSound, soundNotLoaded);
        // The pictures were made before the sound was started.
        EXPECT_NE(t.world.scene.wallTexture.get(), nullptr);
        EXPECT_NE(t.world.digits.digitTextures[9].get(), nullptr);
    }
}

TEST(Scene, FramesRunWhenNoBufferOrTextureCouldBeMade) {
    AdapterOptions options;
    options.vertexBufferCreationFails = true;
    options.textureCreationFails = true;
    ScopedAdapterOptions scoped(options);
    MessageBoxes boxes;
    shell::HeadlessGame t;
    EXPECT_TRUE(t.start()) << "failed creations are not reported";
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(t.world.scene.wallTexture.get(), nullptr);
    EXPECT_EQ(t.world.digits.digitTextures[0].get(), nullptr);
    EXPECT_EQ(t.world.quadBuffer.vertexBuffer.get(), nullptr);
    EXPECT_EQ(t.world.ballMesh.vertexBuffer.get(), nullptr);
    EXPECT_EQ(t.world.ballMesh.vertexCount, 544);
    for (int i = 0; i < 3; ++i) t.frame();
    EXPECT_EQ(t.pictures().presentCount(), 4) << "the first paint and three frames";
    EXPECT_EQ(t.pictures().lastFrame().at(320, 240) & 0xFFFFFF, 0u) << "nothing to draw with";
}

// The digits of value as drawNumber lays them out, in drawing order: each digit and its x.
void expectDigits(std::int32_t value, float firstX, std::vector<std::pair<int, float>> drawn) {
    SCOPED_TRACE(value);
    std::array<DigitDraw, 10> digits;
    ASSERT_EQ(layOutNumber(value, firstX, digits), static_cast<int>(drawn.size()));
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(digits[i].digit, drawn[i].first) << i;
        EXPECT_EQ(digits[i].x, drawn[i].second) << i;
    }
}

TEST(ScoreDisplay, NumbersAreLeftAlignedAndDrawnUnitsFirst) {
    expectDigits(0, 488.5f, {{0, 488.5f}});
    expectDigits(7, 488.5f, {{7, 488.5f}});
    expectDigits(1234, 488.5f, {{4, 536.5f}, {3, 520.5f}, {2, 504.5f}, {1, 488.5f}});
    expectDigits(10, 172.5f, {{0, 188.5f}, {1, 172.5f}});
    expectDigits(60, 126.5f, {{0, 142.5f}, {6, 126.5f}});
    std::array<DigitDraw, 10> digits;
    EXPECT_EQ(layOutNumber(2147483647, 0, digits), 10);
}

class Frames : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(t.start()); }
    std::uint64_t drawsOfOneFrame() {
        w.renderer.device->resetStats();
        drawFrame(w.stage);
        return w.renderer.device->stats().drawCalls;
    }
    shell::HeadlessGame t;
    shell::World& w = t.world;
};

TEST_F(Frames, PointerTintFollowsTheZoneAndOnlyTheCloseButtonGlows) {
    const auto plain = drawsOfOneFrame();
    auto expectZone = [&](std::int32_t zone, D3DCOLORVALUE tint, std::uint64_t glows) {
        SCOPED_TRACE(zone);
        w.state.pointerZone = zone;
        EXPECT_EQ(drawsOfOneFrame(), plain + glows);
        const D3DCOLORVALUE& drawn = w.pose.shadowMaterial.Emissive;
        EXPECT_EQ(std::memcmp(&drawn, &tint, 3 * sizeof(float)), 0)
            << drawn.r << drawn.g << drawn.b;
    };
    expectZone(zoneDragStrip, {0.6f, 0.4f, 1.0f, 0}, 0);
    expectZone(zoneCloseButton, {0.6f, 0.8f, 1.0f, 0}, 1);
    // The glow: a 24 x 24 upright square centred up and left of the close button.
    const Matrix4 glow = spritePlacement(12, 12, 526.5f, 429.5f, 0);
    EXPECT_EQ(std::memcmp(&w.pose.shadowPlacement, &glow, sizeof glow), 0);
    expectZone(0, {0.7f, 0.7f, 0.9f, 0}, 0);
}

TEST_F(Frames, WallsAreRedrawnWholeAndLookTheSameUnlitAndLit) {
    const Material spot = w.pose.shadowMaterial; // the pointer's tint is left in it
    drawFrame(w.stage); // the first frame draws its walls with lighting still off
    const std::vector<std::uint32_t> first = t.pictures().pixels();
    w.pose.shadowMaterial = spot; // as the game update would rewrite it
    // Whatever a frame left in the entries it writes, the next draws the same walls; the
    // entries it never writes keep their values from loading.
    Matrix4& m = w.scene.wallPlacement;
    for (float* entry :
         {&m._11, &m._13, &m._22, &m._23, &m._31, &m._32, &m._33, &m._41, &m._42, &m._43}) {
        *entry = 0.75f;
    }
    drawFrame(w.stage);
    EXPECT_TRUE(t.pictures().pixels() == first) << "nothing moved, so nothing may differ";
    const float unwritten[] = {m._12, m._14, m._21, m._24, m._34, m._44};
    EXPECT_EQ(std::vector<float>(std::begin(unwritten), std::end(unwritten)),
              std::vector<float>({0, 0, 0, 0, 0, 1}));
}

} // namespace
