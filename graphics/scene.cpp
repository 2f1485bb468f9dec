#include "graphics/scene.h"

#include "audio/sound_setup.h"
#include "graphics/math3d.h"
#include "platform/message_box.h"

namespace graphics {

using namespace softgpu;

namespace {

void makeSceneTexture(TextureHolder& holder, IDirect3DDevice8* device, int resourceId) {
    makeTexture(holder, device, resourceId, Colour, 0, 0, 0);
}

// A picture cut into pieces: piece i comes from the bitmap firstId + i.
template <std::size_t N>
void makeScenePieces(std::array<TextureHolder, N>& pieces, IDirect3DDevice8* device, int firstId) {
    for (std::size_t i = 0; i < N; ++i) {
        makeSceneTexture(pieces[i], device, firstId + static_cast<int>(i));
    }
}

} // namespace

bool loadScene(Stage& stage) {
    IDirect3DDevice8* device = stage.renderer.device;
    Scene& scene = stage.scene;
    ScenePose& pose = stage.pose;

    stage.quadBuffer.create(device);
    device->SetVertexShader(quadVertexFormat);
    device->SetStreamSource(0, stage.quadBuffer.vertexBuffer.get(), sizeof(QuadVertex));
    stage.ballMesh.create(device, pose.ballPlacement);

    makeSceneTexture(scene.ballTexture, device, ballBitmap);
    pose.ballPlacement._41 = 320.0f;
    pose.ballPlacement._42 = 240.0f;
    pose.ballPlacement._43 = 64.0f;
    pose.ballPlacement._22 = 1.0f;
    makeSceneTexture(scene.shineTexture, device, shineBitmap);
    pose.shinePlacement = spritePlacement(58, 58, 200, 220, 64);
    makeSceneTexture(scene.cornerTexture, device, cornerBitmap);
    scene.cornerPlacement = spritePlacement(16, 16, 0, 0, 0);
    makeSceneTexture(scene.horizontalBarTexture, device, horizontalBarBitmap);
    scene.horizontalBarPlacement = spritePlacement(16, 16, 0, 0, 0);
    makeSceneTexture(scene.verticalBarTexture, device, verticalBarBitmap);
    scene.verticalBarPlacement = spritePlacement(8, 8, 0, 0, 0);
    makeSceneTexture(scene.bestLabelTexture, device, bestLabelBitmap);
    makeScenePieces(scene.scoreLabelTextures, device, scoreLabelBitmap);
    scene.labelPlacement = spritePlacement(16, 16, 140, 400.5f, 96);
    makeSceneTexture(scene.shadowTexture, device, shadowBitmap);
    pose.shadowPlacement = spritePlacement(64, 64, 320, 72.5f, 0);
    makeSceneTexture(scene.closeButtonTexture, device, closeButtonBitmap);
    scene.closeButtonPlacement = spritePlacement(8, 8, 528.5f, 427.5f, 0);
    makeScenePieces(scene.bannerTextures, device, bannerBitmap);
    scene.bannerPlacement = spritePlacement(16, 16, 320.5f, 50.5f, 0);
    makeScenePieces(scene.titleTextures, device, titleBitmap);
    scene.titlePlacement = spritePlacement(16, 16, 304.5f, 430.5f, 0);
    makeSceneTexture(scene.pointerTexture, device, pointerBitmap);
    pose.pointerPlacement = spritePlacement(16, 16, 320.5f, 240.5f, 0);
    makeSceneTexture(scene.edgeLineTexture, device, edgeLineBitmap);
    scene.edgeLinePlacement = spritePlacement(1, 1, 519.5f, 424.5f, 0);
    makeSceneTexture(scene.wallTexture, device, wallBitmap);
    scene.wallPlacement = spritePlacement(196, 168, 320.5f, 240.5f, 64);

    loadDigits(stage.digits, device, Colour, 0, 0, 0);

    fillMaterial(&scene.frameMaterial, 1, 0, 0, 0.8f, 0.8f, 1.0f);
    fillMaterial(&scene.wallMaterial, 1, 1, 1, 1, 1, 1);
    fillMaterial(&pose.shadowMaterial, 1, 1, 1, 1, 1, 1);
    fillMaterial(&pose.ballMaterial, 1, 1, 1, 1, 1, 1);
    fillMaterial(&scene.textMaterial, 1, 1, 1, 0.7f, 0.7f, 0.8f);

    // The only clear of the game: frames never clear, they cover.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);

    if (!initSound(stage.sounds)) {
        platform::showMessageBox(
            "Loading Error", "Problem initiating DirectSound 8. Application will now terminate.");
        return false;
    }
    GameState& state = stage.state;
    state.kickSound = loadSound(stage.sounds, audio::kickSoundResource);
    state.bounceSound = loadSound(stage.sounds, audio::bounceSoundResource);
    state.hoverSound = loadSound(stage.sounds, audio::hoverSoundResource);
    for (const audio::SoundId id : {state.kickSound, state.bounceSound, state.hoverSound}) {
        if (id == audio::soundNotLoaded) {
            platform::showMessageBox("Loading problems.",
                                     "Not all sounds were loaded but application will continue.");
            break;
        }
    }
    return true;
}

} // namespace graphics
