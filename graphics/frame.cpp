// One frame of the game, drawn back to front with no depth buffer: the box, the ball with its
// shine and floor spot, the scores, the window frame, the close-button glow and the pointer.
#include "graphics/scene.h"
#include "graphics/score_display.h"

#include <cmath>
#include <limits>

namespace graphics {

using namespace softgpu;

void drawSprite(IDirect3DDevice8* device, IDirect3DTexture8* texture, const Matrix4& placement) {
    device->SetTexture(0, texture);
    device->SetTransform(D3DTS_WORLD, &placement);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

namespace {

// Additive: each picture's colour is added to what is there (the source factor is always ONE).
// Opaque: it replaces it.
void setBlending(IDirect3DDevice8* device, bool additive) {
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, additive ? TRUE : FALSE);
    device->SetRenderState(D3DRS_DESTBLEND, additive ? D3DBLEND_ONE : D3DBLEND_ZERO);
}

// The five walls of the box, each the whole 3 x 3 part and translation of wallPlacement; the
// quad lies at z = 0, so the third row only matters for the record.
struct WallPose {
    float m11, m13, m22, m23, m31, m32, m33, m41, m42, m43;
};

constexpr WallPose walls[] = {
    {196, 0, 168, 0, 0, 0, 196, 320.5f, 240.5f, 96},       // back
    {0, 196, 168, 0, 196, 0, 0, 124.5f, 240.5f, -100},     // left
    {0, -196, 168, 0, 196, 0, 0, 516.5f, 240.5f, -100},    // right
    {196, 0, 0, 196, 0, -196, 196, 320.5f, 72.5f, -100},   // floor
    {196, 0, 0, -196, 0, 196, -196, 320.5f, 408.5f, -100}, // ceiling
};

// One frame-decoration draw: its texture, its placement and what it changes there; a value of
// `keep` leaves the entry as the previous draw left it.
struct Decoration {
    const TextureHolder& texture;
    Matrix4& placement;
    float sx, sy, x, y;
};

constexpr float keep = std::numeric_limits<float>::quiet_NaN();

void setIfGiven(float& entry, float value) {
    if (!std::isnan(value)) entry = value;
}

void drawBox(Stage& stage) {
    IDirect3DDevice8* device = stage.renderer.device;
    Scene& scene = stage.scene;
    device->SetMaterial(&scene.wallMaterial);
    Matrix4& m = scene.wallPlacement;
    for (const WallPose& wall : walls) {
        m._11 = wall.m11;
        m._13 = wall.m13;
        m._22 = wall.m22;
        m._23 = wall.m23;
        m._31 = wall.m31;
        m._32 = wall.m32;
        m._33 = wall.m33;
        m._41 = wall.m41;
        m._42 = wall.m42;
        m._43 = wall.m43;
        drawSprite(device, scene.wallTexture.get(), m);
    }
}

void drawBall(Stage& stage) {
    IDirect3DDevice8* device = stage.renderer.device;
    ScenePose& pose = stage.pose;
    setBlending(device, true);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetMaterial(&pose.ballMaterial);
    device->SetTexture(0, stage.scene.ballTexture.get());
    device->SetVertexShader(ballVertexFormat);
    device->SetStreamSource(0, stage.ballMesh.vertexBuffer.get(), sizeof(BallVertex));
    device->SetTransform(D3DTS_WORLD, &pose.ballPlacement);
    // A ball whose buffer could not be made is skipped rather than drawn from nothing.
    if (stage.ballMesh.vertexBuffer.get()) {
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0,
                              static_cast<UINT>(stage.ballMesh.vertexCount - 2));
    }
    device->SetVertexShader(quadVertexFormat);
    device->SetStreamSource(0, stage.quadBuffer.vertexBuffer.get(), sizeof(QuadVertex));

    drawSprite(device, stage.scene.shineTexture.get(), pose.shinePlacement);

    device->SetMaterial(&pose.shadowMaterial);
    drawSprite(device, stage.scene.shadowTexture.get(), pose.shadowPlacement);
}

void drawFrameDecorations(Stage& stage) {
    IDirect3DDevice8* device = stage.renderer.device;
    Scene& s = stage.scene;
    setBlending(device, false);
    // The corners and bars are mirrored copies, so their back faces must be drawn too.
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetMaterial(&s.frameMaterial);

    const Decoration decorations[] = {
        // The four dark lines lie on the border of the visible window.
        {s.edgeLineTexture, s.edgeLinePlacement, 256, 1, 320.5f, 439.5f},
        {s.edgeLineTexture, s.edgeLinePlacement, keep, keep, keep, 41.5f},
        {s.edgeLineTexture, s.edgeLinePlacement, 1, 256, 100.5f, 240.5f},
        {s.edgeLineTexture, s.edgeLinePlacement, keep, keep, 538.5f, keep},
        {s.cornerTexture, s.cornerPlacement, 16, 16, 115.5f, 424.5f},
        {s.cornerTexture, s.cornerPlacement, -16, keep, 523.5f, keep},
        {s.cornerTexture, s.cornerPlacement, -16, -16, keep, 56.5f},
        {s.cornerTexture, s.cornerPlacement, 16, keep, 115.5f, keep},
        {s.horizontalBarTexture, s.horizontalBarPlacement, 190, 16, 320.5f, 424.5f},
        {s.horizontalBarTexture, s.horizontalBarPlacement, 190, -16, keep, 56.5f},
        {s.verticalBarTexture, s.verticalBarPlacement, 8, 170, 107.5f, 240.5f},
        {s.verticalBarTexture, s.verticalBarPlacement, -8, 170, 531.5f, keep},
        // The close button, the title and the banner keep the scale and height they were
        // loaded with.
        {s.closeButtonTexture, s.closeButtonPlacement, keep, keep, keep, keep},
        {s.titleTextures[0], s.titlePlacement, keep, keep, 304.5f, keep},
        {s.titleTextures[1], s.titlePlacement, keep, keep, 336.5f, keep},
        {s.bannerTextures[0], s.bannerPlacement, keep, keep, 272.5f, keep},
        {s.bannerTextures[1], s.bannerPlacement, keep, keep, 304.5f, keep},
        {s.bannerTextures[2], s.bannerPlacement, keep, keep, 336.5f, keep},
        {s.bannerTextures[3], s.bannerPlacement, keep, keep, 368.5f, keep},
    };
    for (const Decoration& d : decorations) {
        setIfGiven(d.placement._11, d.sx);
        setIfGiven(d.placement._22, d.sy);
        setIfGiven(d.placement._41, d.x);
        setIfGiven(d.placement._42, d.y);
        drawSprite(device, d.texture.get(), d.placement);
    }
}

void drawPointer(Stage& stage) {
    IDirect3DDevice8* device = stage.renderer.device;
    ScenePose& pose = stage.pose;
    setBlending(device, true);
    D3DCOLORVALUE& tint = pose.shadowMaterial.Emissive;
    tint.r = 0.7f;
    tint.g = 0.7f;
    tint.b = 0.9f;
    device->SetMaterial(&pose.shadowMaterial);
    if (stage.state.pointerZone == game::zoneDragStrip) {
        tint.r = 0.6f;
        tint.g = 0.4f;
        tint.b = 1.0f;
        device->SetMaterial(&pose.shadowMaterial);
    } else if (stage.state.pointerZone == game::zoneCloseButton) {
        // An upright glow just up and left of the close button's centre.
        Matrix4& glow = pose.shadowPlacement;
        const Matrix4& button = stage.scene.closeButtonPlacement;
        glow._11 = 12.0f;
        glow._22 = 12.0f;
        glow._33 = 1.0f;
        glow._23 = 0.0f;
        glow._32 = 0.0f;
        glow._41 = button._41 - 2.0f;
        glow._42 = button._42 + 2.0f;
        tint.r = 0.6f;
        tint.g = 0.8f;
        tint.b = 1.0f;
        device->SetMaterial(&pose.shadowMaterial);
        drawSprite(device, stage.scene.shadowTexture.get(), glow);
    }
    drawSprite(device, stage.scene.pointerTexture.get(), pose.pointerPlacement);
}

} // namespace

void drawFrame(Stage& stage) {
    IDirect3DDevice8* device = stage.renderer.device;
    setBlending(device, false);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->BeginScene();

    drawBox(stage);
    drawBall(stage);

    device->SetMaterial(&stage.scene.textMaterial);
    drawScores(stage);

    drawFrameDecorations(stage);
    drawPointer(stage);

    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

} // namespace graphics
