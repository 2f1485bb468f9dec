// Helpers for the software device's tests and benchmark.
#include "tests/softgpu/test_support.h"

#include <array>
#include <cstring>
#include <stdexcept>

namespace softgpu::testing {

std::uint32_t randomTexel(int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^
                      static_cast<std::uint32_t>(y) * 19349663u ^ 0x5bd1e995u;
    h = (h ^ (h >> 15)) * 2246822519u;
    return 0xFF000000u | (h ^ (h >> 13));
}

TestDevice::TestDevice(PresentSink* presentTo) {
    if (!graphics::initDevice(renderer, presentTo != nullptr ? presentTo : &sink, 1)) {
        throw std::runtime_error("no device");
    }
    quad = makeBuffer(graphics::quadVertices.data(), sizeof graphics::quadVertices,
                      graphics::quadVertexFormat);
    renderer.device->SetStreamSource(0, quad, sizeof(QuadVertex));
}

IDirect3DVertexBuffer8* TestDevice::makeBuffer(const void* vertices, UINT bytes, DWORD fvf) {
    IDirect3DVertexBuffer8*& buffer = buffers.emplace_back().pointer;
    if (FAILED(renderer.device->CreateVertexBuffer(bytes, 0, fvf, D3DPOOL_DEFAULT, &buffer))) {
        throw std::runtime_error("no vertex buffer");
    }
    BYTE* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, vertices, bytes);
    buffer->Unlock();
    return buffer;
}

IDirect3DTexture8* TestDevice::makeTexture(UINT width, UINT height,
                                           const std::function<std::uint32_t(int, int)>& texel) {
    IDirect3DTexture8*& texture = textures.emplace_back().pointer;
    if (FAILED(renderer.device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
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
    return texture;
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
    constexpr const char* names[] = {"opaquePicture", "recedingWall", "tintedSprite", "litBall"};
    return names[static_cast<int>(mode)];
}

void drawInMode(TestDevice& device, DrawMode mode, IDirect3DTexture8* texture, int variant) {
    const auto k = static_cast<float>(variant);
    const bool additive = mode == DrawMode::TintedSprite || mode == DrawMode::LitBall;
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, additive ? TRUE : FALSE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    // Pictures in white, sprites tinted, the ball a dim red, all diffuse light blue.
    constexpr D3DCOLORVALUE emissive[] = {
        {1, 1, 1, 0}, {1, 1, 1, 0}, {0.6f, 0.4f, 1, 0}, {0.3f, 0.1f, 0, 0}};
    D3DMATERIAL8 material{};
    material.Diffuse = D3DCOLORVALUE{0.6f, 0.8f, 1.0f, 1.0f};
    material.Emissive = emissive[static_cast<int>(mode)];
    device->SetMaterial(&material);
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
        static const std::vector<LitVertex> ball = [] {
            std::array<LitVertex, graphics::ballVertexCount> vertices;
            graphics::buildBallVertices(vertices);
            return std::vector<LitVertex>(vertices.begin(), vertices.end());
        }();
        // The game's ball has radius 40: scaled to 1 + 3k / 40 of it.
        const float scale = 1.0f + 0.075f * k;
        device.drawVertices(
            D3DPT_TRIANGLESTRIP, ball, texture,
            placement(scale, scale, 250.0f + 17.0f * k, 200.0f + 8.0f * k, -20.0f * k));
        break;
    }
    }
}

IDirect3DTexture8* makeSpeckledTexture(TestDevice& device, UINT edge) {
    return device.makeTexture(edge, edge, [](int x, int y) {
        const std::uint32_t texel = randomTexel(x, y);
        return texel % 5 == 0 ? 0u : texel;
    });
}

} // namespace softgpu::testing
