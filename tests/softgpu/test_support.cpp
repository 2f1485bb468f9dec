// Helpers for the software device's tests and benchmark.
#include "tests/softgpu/test_support.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace softgpu::testing {

D3DMATRIX placement(float sx, float sy, float x, float y, float z) {
    return D3DMATRIX{sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

std::vector<LitVertex> ballStrip(float radius) {
    std::vector<LitVertex> strip;
    const float polarStep = 0.19634955f;
    const float aroundStep = 0.39269909f;
    for (int band = 0; band < 16; ++band) {
        for (int column = 0; column <= 16; ++column) {
            for (int ring = band; ring <= band + 1; ++ring) {
                const double theta = static_cast<float>(ring) * polarStep;
                const double phi = static_cast<float>(column) * aroundStep;
                const auto nx = static_cast<float>(std::sin(phi) * std::sin(theta));
                const auto ny = static_cast<float>(std::cos(theta));
                const auto nz = static_cast<float>(std::cos(phi) * std::sin(theta));
                strip.push_back(LitVertex{radius * nx, radius * ny, radius * nz, nx, ny, nz,
                                          static_cast<float>(column) * -0.0625f,
                                          static_cast<float>(ring) * 0.0625f});
            }
        }
    }
    return strip;
}

D3DPRESENT_PARAMETERS windowedParameters() {
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = TRUE;
    return parameters;
}

TestDevice::TestDevice(PresentSink* presentTo) : direct3d(Direct3DCreate8(D3D_SDK_VERSION)) {
    if (direct3d.pointer == nullptr) throw std::runtime_error("no Direct3D");
    D3DPRESENT_PARAMETERS parameters = windowedParameters();
    if (FAILED(direct3d->CreateDevice(
            D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, presentTo != nullptr ? presentTo : &sink,
            D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, device.out()))) {
        throw std::runtime_error("no device");
    }
    // Field of view 0.5 radian, aspect 4/3, near -1, far 1, as the game sets it.
    const auto yScale = static_cast<float>(1.0 / std::tan(0.25));
    const D3DMATRIX view = placement(1, 1, -320.0f, -240.0f, 940.0f);
    const D3DMATRIX projection{
        yScale / 1.3333334f, 0, 0, 0, 0, yScale, 0, 0, 0, 0, 0.5f, 1.0f, 0, 0, 0.5f, 0};
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    const QuadVertex vertices[4] = {
        {-1, 1, 0, 0, 0}, {1, 1, 0, 1, 0}, {-1, -1, 0, 0, 1}, {1, -1, 0, 1, 1}};
    quad = makeBuffer(vertices, sizeof vertices, QuadVertex::fvf);
    device->SetVertexShader(QuadVertex::fvf);
    device->SetStreamSource(0, quad, sizeof(QuadVertex));
}

TestDevice::~TestDevice() {
    for (IDirect3DVertexBuffer8* buffer : buffers) buffer->Release();
    for (IDirect3DTexture8* texture : textures) texture->Release();
}

IDirect3DVertexBuffer8* TestDevice::makeBuffer(const void* vertices, UINT bytes, DWORD fvf) {
    IDirect3DVertexBuffer8* buffer = nullptr;
    if (FAILED(device->CreateVertexBuffer(bytes, 0, fvf, D3DPOOL_DEFAULT, &buffer))) {
        throw std::runtime_error("no vertex buffer");
    }
    BYTE* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, vertices, bytes);
    buffer->Unlock();
    buffers.push_back(buffer);
    return buffer;
}

IDirect3DTexture8* TestDevice::makeTexture(UINT width, UINT height,
                                           const std::function<std::uint32_t(int, int)>& texel) {
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                     &texture))) {
        throw std::runtime_error("no texture");
    }
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    for (UINT y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(locked.pBits) +
                                                     static_cast<std::ptrdiff_t>(y) * locked.Pitch);
        for (UINT x = 0; x < width; ++x) row[x] = texel(static_cast<int>(x), static_cast<int>(y));
    }
    texture->UnlockRect(0);
    textures.push_back(texture);
    return texture;
}

void TestDevice::drawQuad(const D3DMATRIX& world, IDirect3DTexture8* texture) {
    device->SetTexture(0, texture);
    device->SetTransform(D3DTS_WORLD, &world);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

void TestDevice::useGameStates(bool additive) {
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, additive ? TRUE : FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, additive ? D3DBLEND_ONE : D3DBLEND_ZERO);
    device->SetRenderState(D3DRS_ALPHAREF, 1);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
}

int TestDevice::countPixels(const std::function<bool(int, int, std::uint32_t)>& test, int x0,
                            int y0, int x1, int y1) const {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) count += test(x, y, pixel(x, y));
    }
    return count;
}

const char* drawModeName(DrawMode mode) {
    switch (mode) {
    case DrawMode::OpaquePicture:
        return "opaquePicture";
    case DrawMode::RecedingWall:
        return "recedingWall";
    case DrawMode::TintedSprite:
        return "tintedSprite";
    case DrawMode::LitBall:
        return "litBall";
    }
    return "?";
}

void drawInMode(TestDevice& device, DrawMode mode, IDirect3DTexture8* texture, int variant) {
    const auto k = static_cast<float>(variant);
    const bool additive = mode == DrawMode::TintedSprite || mode == DrawMode::LitBall;
    device.useGameStates(additive);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    D3DMATERIAL8 material{};
    material.Diffuse = D3DCOLORVALUE{0.6f, 0.8f, 1.0f, 1.0f};
    material.Emissive = mode == DrawMode::TintedSprite ? D3DCOLORVALUE{0.6f, 0.4f, 1.0f, 0.0f}
                        : mode == DrawMode::LitBall    ? D3DCOLORVALUE{0.3f, 0.1f, 0.0f, 0.0f}
                                                       : D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
    device->SetMaterial(&material);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = D3DCOLORVALUE{1, 1, 1, 0};
    light.Direction = D3DVECTOR{0, 0, -1};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    switch (mode) {
    case DrawMode::OpaquePicture:
        device.drawQuad(
            placement(40.0f + 7.3f * k, 30.0f + 5.1f * k, 200.5f + 9.7f * k, 180.5f + 6.3f * k),
            texture);
        break;
    case DrawMode::RecedingWall: {
        // Like the game's left wall: from in front of the screen back to the box's far end.
        D3DMATRIX wall = placement(0, 168, 124.5f + 11.0f * k, 240.5f - 3.0f * k, -100);
        wall._13 = 196.0f - 9.0f * k;
        wall._31 = 196.0f;
        wall._33 = 0.0f;
        device.drawQuad(wall, texture);
        break;
    }
    case DrawMode::TintedSprite:
        device.drawQuad(placement(16.0f + 3.1f * k, -16.0f - 2.2f * k, 300.5f + 13.0f * k,
                                  260.5f - 7.0f * k, 40.0f - 9.0f * k),
                        texture);
        break;
    case DrawMode::LitBall: {
        static const std::vector<LitVertex> ball = ballStrip(1.0f);
        D3DMATRIX world = placement(40.0f + 3.0f * k, 40.0f + 3.0f * k, 250.0f + 17.0f * k,
                                    200.0f + 8.0f * k, -20.0f * k);
        world._33 = 40.0f;
        device.drawVertices(D3DPT_TRIANGLESTRIP, ball, texture, world);
        break;
    }
    }
}

IDirect3DTexture8* makeSpeckledTexture(TestDevice& device, UINT edge) {
    return device.makeTexture(edge, edge, [](int x, int y) {
        std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^
                          static_cast<std::uint32_t>(y) * 19349663u ^ 0x5bd1e995u;
        h = (h ^ (h >> 15)) * 2246822519u;
        h ^= h >> 13;
        return h % 5 == 0 ? 0u : (h | 0xFF000000u);
    });
}

} // namespace softgpu::testing
