// The adapter, the device's bookkeeping and its resources: what it refuses, states, reference
// counts, locks, Clear and Present; and PNG files of its pictures, which refuse bad paths and
// damaged files with a reason instead of a crash.
#include "graphics/com_holder.h"
#include "platform/softgpu/png_writer.h"
#include "tests/softgpu/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace softgpu::testing {
namespace {

TEST(Device, RefusesWhatItCannotHonourAndKeepsItsStates) {
    EXPECT_EQ(Direct3DCreate8(119), nullptr); // another version's interfaces
    TestDevice device;
    DWORD cull = 0;
    device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, D3DCULL_CCW);

    // Calls the device cannot honour are refused rather than half done: pretransformed
    // vertices and vertex colours, blend factors other than ONE (source) and ZERO or ONE
    // (destination), addressing other than wrap, any texture stage combination but texture
    // colour times diffuse with texture alpha, part of a texture level.
    EXPECT_TRUE(FAILED(device->SetVertexShader(0x004)));
    EXPECT_TRUE(FAILED(device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1)));
    EXPECT_TRUE(FAILED(device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA)));
    EXPECT_TRUE(FAILED(device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA)));
    EXPECT_TRUE(FAILED(device->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP)));
    EXPECT_TRUE(FAILED(device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2)));
    EXPECT_TRUE(FAILED(device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE)));
    EXPECT_TRUE(FAILED(device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE)));
    EXPECT_TRUE(SUCCEEDED(device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT)));
    DWORD destBlend = 0;
    device->GetRenderState(D3DRS_DESTBLEND, &destBlend);
    EXPECT_EQ(destBlend, D3DBLEND_ONE); // as the game set it
    EXPECT_TRUE(FAILED(device->DrawPrimitive(D3DPT_LINELIST, 0, 1)));
    EXPECT_TRUE(FAILED(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 2))); // past the buffer
    EXPECT_TRUE(FAILED(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0)));
    EXPECT_TRUE(FAILED(device->EndScene()));
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_TRUE(FAILED(device->BeginScene()));
    EXPECT_EQ(device->EndScene(), D3D_OK);

    // The caps promise exactly the blend factors and addressing the device accepts: the
    // factor D3DBLEND_n is bit n - 1 of the blend caps, the mode D3DTADDRESS_n bit n - 1 of
    // the addressing caps.
    D3DCAPS8 caps{};
    ASSERT_EQ(device->GetDeviceCaps(&caps), D3D_OK);
    for (DWORD factor = D3DBLEND_ZERO; factor <= D3DBLEND_INVSRCALPHA; ++factor) {
        const DWORD bit = 1u << (factor - 1);
        EXPECT_EQ(SUCCEEDED(device->SetRenderState(D3DRS_SRCBLEND, factor)),
                  (caps.SrcBlendCaps & bit) != 0)
            << factor;
        EXPECT_EQ(SUCCEEDED(device->SetRenderState(D3DRS_DESTBLEND, factor)),
                  (caps.DestBlendCaps & bit) != 0)
            << factor;
    }
    for (DWORD mode = D3DTADDRESS_WRAP; mode <= D3DTADDRESS_CLAMP; ++mode) {
        EXPECT_EQ(SUCCEEDED(device->SetTextureStageState(0, D3DTSS_ADDRESSU, mode)),
                  (caps.TextureAddressCaps & (1u << (mode - 1))) != 0)
            << mode;
    }
}

TEST(DeviceResources, TexturesStartTransparentAndBuffersAndTexturesLockWithinThemselves) {
    TestDevice device;
    graphics::ComHolder<IDirect3DTexture8> texture;
    ASSERT_EQ(
        device->CreateTexture(32, 32, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture.pointer),
        D3D_OK);
    EXPECT_EQ(texture.pointer->GetLevelCount(), 6u); // 32, 16, 8, 4, 2, 1
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture.pointer->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 128);
    const auto* texels = static_cast<const std::uint32_t*>(locked.pBits);
    EXPECT_EQ(std::count(texels, texels + 32 * 32, 0u), 32 * 32);
    EXPECT_TRUE(FAILED(texture.pointer->LockRect(0, &locked, nullptr, 0))); // already locked
    EXPECT_EQ(texture.pointer->UnlockRect(0), D3D_OK);
    const RECT part{0, 0, 8, 8};
    EXPECT_TRUE(FAILED(texture.pointer->LockRect(0, &locked, &part, 0)));
    EXPECT_TRUE(FAILED(texture.pointer->UnlockRect(0)));
    // Edges that are not powers of two and formats other than 32-bit.
    IDirect3DTexture8* refused = nullptr;
    EXPECT_TRUE(
        FAILED(device->CreateTexture(24, 24, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &refused)));
    EXPECT_TRUE(
        FAILED(device->CreateTexture(16, 16, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &refused)));
    EXPECT_EQ(refused, nullptr);

    graphics::ComHolder<IDirect3DVertexBuffer8> buffer;
    ASSERT_EQ(device->CreateVertexBuffer(80, 0, graphics::quadVertexFormat, D3DPOOL_DEFAULT,
                                         &buffer.pointer),
              D3D_OK);
    BYTE* data = nullptr;
    EXPECT_TRUE(FAILED(buffer.pointer->Lock(40, 41, &data, 0)));
    EXPECT_EQ(data, nullptr);
    ASSERT_EQ(buffer.pointer->Lock(40, 0, &data, 0), D3D_OK);
    EXPECT_EQ(data, buffer.pointer->data() + 40);
    EXPECT_EQ(buffer.pointer->Unlock(), D3D_OK);
}

TEST(DeviceResources, BoundResourcesStayAliveUntilUnbound) {
    TestDevice device;
    IDirect3DTexture8* texture = nullptr;
    device->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
    device->SetTexture(0, texture);
    EXPECT_EQ(texture->Release(), 1u); // the device still holds it
    IDirect3DTexture8* bound = nullptr;
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, texture);
    EXPECT_EQ(bound->Release(), 1u);
    // Drawing with it still works, and unbinding lets it go (the sanitizer build would
    // report a leak or a use after free otherwise).
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    device->SetTexture(0, nullptr);

    // A device keeps its IDirect3D8 alive.
    IDirect3D8* direct3d = nullptr;
    device->GetDirect3D(&direct3d);
    EXPECT_EQ(direct3d, device.renderer.direct3d);
    EXPECT_EQ(direct3d->Release(), 2u);
}

TEST(Present, PresentHandsOverTheBackBufferAndNothingClearsIt) {
    TestDevice device;
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00123456u, 1.0f, 0);
    const D3DRECT corner{600, 440, 700, 500}; // partly off the buffer
    device->Clear(1, &corner, D3DCLEAR_TARGET, 0xFF654321u, 1.0f, 0);
    for (int frame = 0; frame < 2; ++frame) {
        device->BeginScene();
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    EXPECT_EQ(device.sink.presentCount(), 2);
    const FrameView frame = device.sink.lastFrame();
    EXPECT_EQ(frame.at(0, 0), 0xFF123456u);
    EXPECT_EQ(frame.at(599, 479), 0xFF123456u);
    EXPECT_EQ(frame.at(600, 440), 0xFF654321u);
    EXPECT_EQ(frame.at(639, 479), 0xFF654321u);

    // Another sink can take a single present.
    MemorySink other;
    device->Present(nullptr, nullptr, &other, nullptr);
    EXPECT_EQ(other.presentCount(), 1);
    EXPECT_EQ(other.lastFrame().at(620, 460), 0xFF654321u);
    EXPECT_EQ(device.sink.presentCount(), 2);
}

const std::string outputFolder = SOFTGPU_TEST_OUTPUT;

TEST(Png, RefusesWhatItCannotDoWithAReason) {
    std::vector<std::uint32_t> pixels(16 * 16, 0xFF808080u);
    const FrameView frame{pixels.data(), 16, 16, 16 * 4};
    std::string error;
    // Whether a call failed and said why; the reason is cleared for the next.
    auto refused = [&error](bool done) {
        const bool told = !done && !error.empty();
        error.clear();
        return told;
    };
    EXPECT_TRUE(refused(writePng(outputFolder + "/cut.png", frame, 8, 8, 9, 4, &error)));
    EXPECT_TRUE(refused(writePng(outputFolder + "/no/such/folder/x.png", frame, &error)));
    // A file that starts like a PNG and then stops, and no file at all.
    const std::string damaged = outputFolder + "/damaged.png";
    ASSERT_TRUE(writePng(damaged, frame, &error)) << error;
    std::filesystem::resize_file(damaged, std::filesystem::file_size(damaged) / 2);
    std::vector<std::uint32_t> read;
    int width = 0, height = 0;
    EXPECT_TRUE(refused(readPng(damaged, read, width, height, &error)));
    EXPECT_TRUE(refused(readPng(outputFolder + "/missing.png", read, width, height, &error)));
}

} // namespace
} // namespace softgpu::testing
