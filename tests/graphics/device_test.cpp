// Device set-up, the two vertex buffers and textures made on the software device.
#include "graphics/geometry.h"
#include "graphics/renderer.h"
#include "graphics/textures.h"
#include "platform/message_box.h"
#include "tests/graphics/bitmap_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace softgpu;
using testing_bitmaps::makeBitmap;
using testing_bitmaps::Pixel;
using testing_bitmaps::solidBitmap;

namespace {

// Collects the message boxes shown while it lives.
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

DWORD renderState(IDirect3DDevice8* device, D3DRENDERSTATETYPE state) {
    DWORD value = 0xFFFFFFFF;
    device->GetRenderState(state, &value);
    return value;
}

DWORD stageState(IDirect3DDevice8* device, D3DTEXTURESTAGESTATETYPE state) {
    DWORD value = 0xFFFFFFFF;
    device->GetTextureStageState(0, state, &value);
    return value;
}

TEST(Renderer, WindowedSetUpFixesCameraLightAndDefaultStates) {
    MessageBoxes boxes;
    MemorySink sink;
    Renderer renderer;
    ASSERT_EQ(initDevice(renderer, &sink, 1), 1);
    EXPECT_TRUE(boxes.shown.empty());
    IDirect3DDevice8* device = renderer.device;
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->backBuffer().width, 640);
    EXPECT_EQ(device->backBuffer().height, 480);

    Matrix4 view{};
    device->GetTransform(D3DTS_VIEW, &view);
    EXPECT_EQ(view._11, 1.0f);
    EXPECT_EQ(view._41, -320.0f);
    EXPECT_EQ(view._42, -240.0f);
    EXPECT_EQ(view._43, 940.0f);
    Matrix4 projection{};
    device->GetTransform(D3DTS_PROJECTION, &projection);
    EXPECT_NEAR(projection._22, 3.9163175f, 1e-6);
    EXPECT_EQ(projection._43, 0.5f);

    D3DLIGHT8 light{};
    device->GetLight(0, &light);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.Direction.z, -1.0f);
    BOOL enabled = FALSE;
    device->GetLightEnable(0, &enabled);
    EXPECT_TRUE(enabled);
    EXPECT_NE(renderState(device, D3DRS_AMBIENT), 0x40404040u);

    EXPECT_EQ(renderState(device, D3DRS_LIGHTING), 0u);
    EXPECT_EQ(renderState(device, D3DRS_ZENABLE), 0u);
    EXPECT_EQ(renderState(device, D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(renderState(device, D3DRS_SRCBLEND), D3DBLEND_ONE);
    EXPECT_EQ(renderState(device, D3DRS_DESTBLEND), D3DBLEND_ONE);
    EXPECT_EQ(renderState(device, D3DRS_ALPHATESTENABLE), 1u);
    EXPECT_EQ(renderState(device, D3DRS_ALPHAREF), 1u);
    EXPECT_EQ(renderState(device, D3DRS_ALPHAFUNC), D3DCMP_GREATEREQUAL);
    EXPECT_EQ(renderState(device, D3DRS_CULLMODE), D3DCULL_CCW);
    EXPECT_EQ(stageState(device, D3DTSS_COLOROP), D3DTOP_MODULATE);
    EXPECT_EQ(stageState(device, D3DTSS_COLORARG1), D3DTA_TEXTURE);
    EXPECT_EQ(stageState(device, D3DTSS_COLORARG2), D3DTA_DIFFUSE);
    EXPECT_EQ(stageState(device, D3DTSS_ALPHAOP), D3DTOP_SELECTARG1);
    EXPECT_EQ(stageState(device, D3DTSS_MAGFILTER), D3DTEXF_LINEAR);
    EXPECT_EQ(stageState(device, D3DTSS_MINFILTER), D3DTEXF_LINEAR);
    EXPECT_EQ(stageState(device, D3DTSS_MIPFILTER), D3DTEXF_NONE);
    DWORD fvf = 0;
    device->GetVertexShader(&fvf);
    EXPECT_EQ(fvf, 0x102u);

    renderer.release();
    EXPECT_EQ(renderer.device, nullptr);
    EXPECT_EQ(renderer.direct3d, nullptr);
    renderer.release(); // nothing left: harmless
}

TEST(Renderer, PlainerAdaptersGetAmbientLevelAndNoAlphaTest) {
    AdapterOptions options;
    options.vertexProcessingCaps = 0;
    options.alphaCmpCaps = D3DPCMPCAPS_ALWAYS;
    ScopedAdapterOptions scoped(options);
    Renderer renderer;
    ASSERT_EQ(initDevice(renderer, nullptr, 1), 1);
    EXPECT_EQ(renderState(renderer.device, D3DRS_AMBIENT), 0x40404040u);
    D3DLIGHT8 light{};
    EXPECT_TRUE(FAILED(renderer.device->GetLight(0, &light))) << "no light was set";
    EXPECT_EQ(renderState(renderer.device, D3DRS_ALPHATESTENABLE), 0u);
}

TEST(Renderer, FailuresAreToldUnderLoadingErrorAndReturnZero) {
    {
        AdapterOptions options;
        options.direct3dUnavailable = true;
        ScopedAdapterOptions scoped(options);
        MessageBoxes boxes;
        Renderer renderer;
        EXPECT_EQ(initDevice(renderer, nullptr, 1), 0);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].first, "Loading Error");
        EXPECT_EQ(boxes.shown[0].second,
                  "Problem initiating DirectX 8. Application will now terminate.");
        EXPECT_EQ(renderer.direct3d, nullptr);
    }
    for (const bool modeUnreadable : {false, true}) {
        AdapterOptions options;
        options.deviceCreationFails = !modeUnreadable;
        options.displayModeFails = modeUnreadable;
        ScopedAdapterOptions scoped(options);
        MessageBoxes boxes;
        Renderer renderer;
        EXPECT_EQ(initDevice(renderer, nullptr, 1), 0);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].first, "Loading Error");
        EXPECT_EQ(boxes.shown[0].second,
                  "Problem creating DirectX 8 device. Application will now terminate.");
        EXPECT_EQ(renderer.device, nullptr);
        EXPECT_NE(renderer.direct3d, nullptr) << "kept until exit";
    }
}

TEST(Renderer, FullScreenPrefersSixteenBitFormats) {
    Renderer renderer;
    renderer.direct3d = Direct3DCreate8(D3D_SDK_VERSION);
    AdapterOptions options;
    options.fullScreenFormats = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5};
    {
        ScopedAdapterOptions scoped(options);
        EXPECT_EQ(pickFullScreenFormat(renderer), D3DFMT_R5G6B5);
    }
    options.fullScreenFormats = {D3DFMT_X1R5G5B5, D3DFMT_X8R8G8B8};
    {
        ScopedAdapterOptions scoped(options);
        EXPECT_EQ(pickFullScreenFormat(renderer), D3DFMT_X1R5G5B5);
    }
    options.fullScreenFormats = {D3DFMT_X8R8G8B8};
    {
        ScopedAdapterOptions scoped(options);
        EXPECT_EQ(pickFullScreenFormat(renderer), D3DFMT_X8R8G8B8);
    }
    options.fullScreenFormats = {};
    {
        ScopedAdapterOptions scoped(options);
        EXPECT_EQ(pickFullScreenFormat(renderer), D3DFMT_UNKNOWN);
        MessageBoxes boxes;
        Renderer fullScreen;
        EXPECT_EQ(initDevice(fullScreen, nullptr, 0), 0) << "no format: creation fails";
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].second,
                  "Problem creating DirectX 8 device. Application will now terminate.");
    }
    MemorySink sink;
    Renderer fullScreen;
    ASSERT_EQ(initDevice(fullScreen, &sink, 0), 1);
    EXPECT_EQ(fullScreen.device->backBuffer().width, 800);
    EXPECT_EQ(fullScreen.device->backBuffer().height, 600);
}

class OnDevice : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(initDevice(renderer, nullptr, 1), 1); }
    Renderer renderer;
};

TEST_F(OnDevice, QuadAndBallBuffersHoldTheirVertices) {
    QuadBuffer quad;
    EXPECT_EQ(quad.create(renderer.device), D3D_OK);
    ASSERT_NE(quad.vertexBuffer.get(), nullptr);
    ASSERT_EQ(quad.vertexBuffer.get()->length(), 80u);
    EXPECT_EQ(std::memcmp(quad.vertexBuffer.get()->data(), quadVertices.data(), 80), 0);

    BallMesh ball;
    Matrix4 placement{};
    placement._41 = 5;
    placement._22 = 0.9f;
    placement._12 = 3;
    EXPECT_EQ(ball.create(renderer.device, placement), 0);
    EXPECT_EQ(ball.vertexCount, 544);
    ASSERT_NE(ball.vertexBuffer.get(), nullptr);
    EXPECT_EQ(ball.vertexBuffer.get()->length(), 17408u);
    EXPECT_EQ(ball.vertexBuffer.get()->fvf(), 0x112u);
    BallVertex last;
    std::memcpy(&last, ball.vertexBuffer.get()->data() + 543 * 32, sizeof last);
    EXPECT_NEAR(last.y, -40.0f, 1e-5);
    EXPECT_EQ(last.u, -1.0f);
    EXPECT_EQ(placement._41, 0.0f);
    EXPECT_EQ(placement._22, 1.0f);
    EXPECT_EQ(placement._44, 1.0f);
    EXPECT_EQ(placement._12, 3.0f) << "entries off the diagonal and translation are not written";
}

TEST_F(OnDevice, BuffersThatCannotBeMadeLeaveEmptyHolders) {
    AdapterOptions options;
    options.vertexBufferCreationFails = true;
    ScopedAdapterOptions scoped(options);
    QuadBuffer quad;
    EXPECT_TRUE(FAILED(quad.create(renderer.device)));
    EXPECT_EQ(quad.vertexBuffer.get(), nullptr);
    BallMesh ball;
    Matrix4 placement{};
    EXPECT_EQ(ball.create(renderer.device, placement), E_FAIL);
    EXPECT_EQ(ball.vertexCount, 544);
    EXPECT_EQ(ball.vertexBuffer.get(), nullptr);
    EXPECT_EQ(placement._11, 0.0f) << "a ball that was not made keeps its placement";
}

// The texel at (column, row) of level 0.
std::uint32_t texel(const TextureHolder& holder, int column, int row) {
    const IDirect3DTexture8* texture = holder.get();
    return texture->texels()[row * static_cast<int>(texture->width()) + column];
}

TEST_F(OnDevice, TexturesAreSquareWithThePictureCentredOnTransparentBlack) {
    auto make = [this](const std::vector<std::uint8_t>& bytes, TextureHolder& holder,
                       int size = 0) {
        BitmapImage image;
        loadBitmapBytes(image, bytes.data(), bytes.size());
        return makeTextureFromImage(holder, renderer.device, image, Colour, 0, 0, size);
    };
    TextureHolder word;
    make(solidBitmap(32, 20, {0, 0, 200}), word);
    ASSERT_NE(word.get(), nullptr);
    EXPECT_EQ(word.get()->width(), 32u);
    EXPECT_EQ(word.get()->height(), 32u);
    EXPECT_EQ(word.get()->format(), D3DFMT_A8R8G8B8);
    EXPECT_EQ(texel(word, 0, 5), 0u);
    EXPECT_EQ(texel(word, 0, 6), 0xFFC80000u);
    EXPECT_EQ(texel(word, 31, 25), 0xFFC80000u);
    EXPECT_EQ(texel(word, 31, 26), 0u);

    TextureHolder label;
    make(solidBitmap(32, 24, {9, 9, 9}), label);
    EXPECT_EQ(texel(label, 3, 3), 0u);
    EXPECT_EQ(texel(label, 3, 4), 0xFF090909u);
    EXPECT_EQ(texel(label, 3, 27), 0xFF090909u);
    EXPECT_EQ(texel(label, 3, 28), 0u);

    TextureHolder dot;
    make(solidBitmap(1, 1, {8, 0, 0}), dot);
    EXPECT_EQ(dot.get()->width(), 1u);
    EXPECT_EQ(texel(dot, 0, 0), 0xFF000008u);

    TextureHolder cropped;
    const auto layout = make(
        makeBitmap(
            32, 32,
            [](int c, int r) {
                return Pixel{0, static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(c + 1)};
            }),
        cropped, 16);
    EXPECT_EQ(layout.edge, 16);
    EXPECT_EQ(cropped.get()->width(), 16u);
    EXPECT_EQ(texel(cropped, 15, 15), 0xFF100F00u);

    // A picture that did not load gives a blank 1 x 1 texture.
    TextureHolder missing;
    make({}, missing);
    ASSERT_NE(missing.get(), nullptr);
    EXPECT_EQ(missing.get()->width(), 1u);
    EXPECT_EQ(texel(missing, 0, 0), 0u);
}

TEST_F(OnDevice, GreyModeAndFailedTextureCreation) {
    BitmapImage image;
    const auto bytes = solidBitmap(2, 2, {9, 1, 4});
    loadBitmapBytes(image, bytes.data(), bytes.size());
    TextureHolder grey;
    makeTextureFromImage(grey, renderer.device, image, Grey, 0, 0, 0);
    EXPECT_EQ(texel(grey, 1, 1), 0xFF010101u);

    AdapterOptions options;
    options.textureCreationFails = true;
    ScopedAdapterOptions scoped(options);
    TextureHolder none;
    makeTextureFromImage(none, renderer.device, image, Colour, 0, 0, 0);
    EXPECT_EQ(none.get(), nullptr);
}

} // namespace
