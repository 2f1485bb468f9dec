// A frame drawn the way the game draws one, with made-up pictures of the same sizes.
#include "bench/softgpu/game_like_scene.h"

#include <cmath>

namespace softgpu::testing {

namespace {

// Where the ball's centre is drawn, in world units on its plane.
constexpr float ballX = 320.0f, ballY = 240.0f, ballZ = 64.0f;

// A repeatable scramble of the texel position, for pictures with some texture to them.
std::uint32_t noise(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

std::uint32_t rgb(int r, int g, int b) {
    return 0xFF000000u | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(b);
}

D3DMATERIAL8 material(float r, float g, float b, float er, float eg, float eb) {
    D3DMATERIAL8 m{};
    m.Diffuse = D3DCOLORVALUE{r, g, b, 0};
    m.Ambient = D3DCOLORVALUE{r, g, b, 0};
    m.Emissive = D3DCOLORVALUE{er, eg, eb, 0};
    return m;
}

// A round spot fading from the centre, black (transparent) outside.
std::uint32_t spot(int x, int y, int size, int r, int g, int b) {
    const double dx = (x + 0.5) / size - 0.5;
    const double dy = (y + 0.5) / size - 0.5;
    const double fade = 1.0 - std::sqrt(dx * dx + dy * dy) * 2.0;
    if (fade <= 0.0) return 0;
    return rgb(static_cast<int>(r * fade), static_cast<int>(g * fade), static_cast<int>(b * fade));
}

} // namespace

GameLikeScene::GameLikeScene(TestDevice& device) : device_(device) {
    device.useGameStates(true);
    const std::vector<LitVertex> sphere = ballStrip(40);
    ball_ = device.makeBuffer(sphere.data(), static_cast<UINT>(sphere.size() * sizeof(LitVertex)),
                              LitVertex::fvf);

    textures_[wall] = device.makeTexture(128, 128, [](int x, int y) {
        // Riveted plates: darker seams every 32 texels, a rivet near each corner.
        const bool seam = x % 32 == 0 || y % 32 == 0;
        const bool rivet = (x % 32 == 4 || x % 32 == 28) && (y % 32 == 4 || y % 32 == 28);
        const int grain = static_cast<int>(noise(x, y, 1) % 12);
        if (rivet) return rgb(150, 160, 190);
        if (seam) return rgb(10, 12, 30);
        return rgb(40 + grain, 44 + grain, 70 + grain + y / 4);
    });
    textures_[ball] = device.makeTexture(64, 64, [](int x, int y) {
        const double swirl = std::sin(x * 0.3 + std::sin(y * 0.2) * 3.0);
        return rgb(60 + static_cast<int>(40 * swirl), 40, 160 + static_cast<int>(60 * swirl));
    });
    textures_[shine] =
        device.makeTexture(32, 32, [](int x, int y) { return spot(x, y, 32, 40, 60, 120); });
    textures_[glow] =
        device.makeTexture(32, 32, [](int x, int y) { return spot(x, y, 32, 255, 255, 255); });
    textures_[corner] = device.makeTexture(32, 32, [](int x, int y) {
        return (x < 24 && y < 24) ? rgb(120 + x * 3, 120 + y * 3, 140) : 0u;
    });
    textures_[horizontalBar] = device.makeTexture(32, 32, [](int x, int y) {
        return y < 16 ? rgb(100 + y * 6, 100 + y * 6, 120 + (x % 8)) : 0u;
    });
    textures_[verticalBar] = device.makeTexture(
        16, 16, [](int x, int y) { return rgb(100 + x * 8, 100 + x * 8, 120 + (y % 4)); });
    textures_[edgeLine] = device.makeTexture(1, 1, [](int, int) { return rgb(0, 0, 8); });
    // Text pictures are 32 x 20 inside a 32 x 32 texture: six empty rows above and below.
    textures_[text] = device.makeTexture(32, 32, [](int x, int y) {
        if (y < 6 || y >= 26) return 0u;
        return (noise(x / 3, y / 3, 7) % 3 == 0) ? rgb(230, 230, 230) : 0u;
    });
    textures_[digit] = device.makeTexture(16, 16, [](int x, int y) {
        const bool ring = (x == 3 || x == 12) || (y == 2 || y == 13);
        return ring && x >= 3 && x <= 12 && y >= 2 && y <= 13 ? rgb(255, 255, 255) : 0u;
    });
    textures_[pointer] = device.makeTexture(32, 32, [](int x, int y) {
        const double dx = x - 15.5, dy = y - 15.5;
        const double distance = std::sqrt(dx * dx + dy * dy);
        return (std::abs(distance - 12) < 1.5 || x == 15 || y == 15) ? rgb(255, 255, 255) : 0u;
    });
    textures_[closeButton] = device.makeTexture(16, 16, [](int x, int y) {
        return (x == y || x == 15 - y) ? rgb(40, 40, 40) : rgb(160, 160, 170);
    });
}

void GameLikeScene::drawFrame(int frameNumber) {
    IDirect3DDevice8* device = device_.get();
    auto draw = [&](Picture picture, const D3DMATRIX& world) {
        device_.drawQuad(world, textures_[picture]);
    };
    auto additive = [&](bool on) {
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, on ? TRUE : FALSE);
        device->SetRenderState(D3DRS_DESTBLEND, on ? D3DBLEND_ONE : D3DBLEND_ZERO);
    };
    const D3DMATERIAL8 plainMaterial = material(1, 1, 1, 1, 1, 1);
    const D3DMATERIAL8 textMaterial = material(1, 1, 1, 0.7f, 0.7f, 0.8f);
    const D3DMATERIAL8 frameMaterial = material(1, 0, 0, 0.8f, 0.8f, 1.0f);
    const D3DMATERIAL8 pointerMaterial = material(1, 1, 1, 0.7f, 0.7f, 0.9f);

    additive(false);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->BeginScene();

    // The box: back, left, right, floor and ceiling, opaque.
    device->SetMaterial(&plainMaterial);
    for (const D3DMATRIX& side : {
             D3DMATRIX{196, 0, 0, 0, 0, 168, 0, 0, 0, 0, 196, 0, 320.5f, 240.5f, 96, 1},
             D3DMATRIX{0, 0, 196, 0, 0, 168, 0, 0, 196, 0, 0, 0, 124.5f, 240.5f, -100, 1},
             D3DMATRIX{0, 0, -196, 0, 0, 168, 0, 0, 196, 0, 0, 0, 516.5f, 240.5f, -100, 1},
             D3DMATRIX{196, 0, 0, 0, 0, 0, 196, 0, 0, -196, 196, 0, 320.5f, 72.5f, -100, 1},
             D3DMATRIX{196, 0, 0, 0, 0, 0, -196, 0, 0, 196, -196, 0, 320.5f, 408.5f, -100, 1},
         }) {
        draw(wall, side);
    }

    // The ball, lit and additive, turning about its vertical axis.
    additive(true);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetMaterial(&plainMaterial);
    device->SetTexture(0, textures_[ball]);
    device->SetVertexShader(LitVertex::fvf);
    device->SetStreamSource(0, ball_, sizeof(LitVertex));
    const float angle = static_cast<float>(frameNumber) * 0.05f;
    const float cosine = std::cos(angle), sine = std::sin(angle);
    const D3DMATRIX spin{cosine, 0, -sine,  0, 0,     1,     0,     0,
                         sine,   0, cosine, 0, ballX, ballY, ballZ, 1};
    device->SetTransform(D3DTS_WORLD, &spin);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 542);
    device->SetVertexShader(QuadVertex::fvf);
    device->SetStreamSource(0, device_.quad, sizeof(QuadVertex));

    // Shine on the ball and the spot on the floor.
    draw(shine, placement(58, 58, ballX - 120, ballY - 20, ballZ));
    device->SetMaterial(&plainMaterial);
    draw(glow, D3DMATRIX{64, 0, 0, 0, 0, 0, 64, 0, 0, 0, 1, 0, ballX, 72.5f, 0, 1});

    // Scores and labels at the back wall's depth.
    device->SetMaterial(&textMaterial);
    for (int place = 0; place < 3; ++place) {
        const float offset = 16.0f * static_cast<float>(place);
        draw(digit, placement(8, 8, 160.5f + offset, 400.5f, 96));
        draw(digit, placement(8, 8, 440.5f + offset, 400.5f, 96));
    }
    for (int piece = 0; piece < 4; ++piece)
        draw(text, placement(16, 16, 140.5f + 32.0f * static_cast<float>(piece), 430.5f, 96));

    // The frame: opaque, mirrored pieces, so no culling.
    additive(false);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetMaterial(&frameMaterial);
    draw(edgeLine, placement(256, 1, 320.5f, 439.5f));
    draw(edgeLine, placement(256, 1, 320.5f, 41.5f));
    draw(edgeLine, placement(1, 256, 100.5f, 240.5f));
    draw(edgeLine, placement(1, 256, 538.5f, 240.5f));
    draw(corner, placement(16, 16, 115.5f, 424.5f));
    draw(corner, placement(-16, 16, 523.5f, 424.5f));
    draw(corner, placement(-16, -16, 523.5f, 56.5f));
    draw(corner, placement(16, -16, 115.5f, 56.5f));
    draw(horizontalBar, placement(190, 16, 320.5f, 424.5f));
    draw(horizontalBar, placement(190, -16, 320.5f, 56.5f));
    draw(verticalBar, placement(8, 170, 107.5f, 240.5f));
    draw(verticalBar, placement(-8, 170, 531.5f, 240.5f));
    draw(closeButton, placement(8, 8, 528.5f, 427.5f));
    draw(text, placement(16, 16, 304.5f, 430.5f));
    draw(text, placement(16, 16, 336.5f, 430.5f));
    for (int piece = 0; piece < 4; ++piece)
        draw(text, placement(16, 16, 272.5f + 32.0f * static_cast<float>(piece), 50.5f));

    // The pointer, tinted and additive, wandering over the box.
    additive(true);
    device->SetMaterial(&pointerMaterial);
    draw(pointer, placement(16, 16, 200.5f + static_cast<float>(frameNumber % 200), 300.5f, 0));

    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

} // namespace softgpu::testing
