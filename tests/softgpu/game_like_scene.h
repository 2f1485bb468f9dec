// A frame drawn the way the game draws one: five box walls in perspective, the lit ball
// strip, and some thirty pictures, opaque and additive, with the game's states. Used by the
// benchmark and by the test that writes its picture.
#pragma once

#include "tests/softgpu/test_support.h"

namespace softgpu::testing {

class GameLikeScene {
public:
    explicit GameLikeScene(TestDevice& device);
    // Draws and presents one frame; frame numbers turn the ball and move the pointer.
    void drawFrame(int frameNumber);

    // Where the ball's centre is drawn, in world units on its plane.
    static constexpr float ballX = 320.0f;
    static constexpr float ballY = 240.0f;
    static constexpr float ballZ = 64.0f;
    static constexpr float ballRadius = 40.0f;

private:
    void drawPicture(IDirect3DTexture8* texture, const D3DMATRIX& world);

    TestDevice& device_;
    IDirect3DVertexBuffer8* ball_ = nullptr;
    IDirect3DTexture8* wall_ = nullptr;
    IDirect3DTexture8* ballTexture_ = nullptr;
    IDirect3DTexture8* shine_ = nullptr;
    IDirect3DTexture8* glow_ = nullptr;
    IDirect3DTexture8* corner_ = nullptr;
    IDirect3DTexture8* horizontalBar_ = nullptr;
    IDirect3DTexture8* verticalBar_ = nullptr;
    IDirect3DTexture8* edgeLine_ = nullptr;
    IDirect3DTexture8* text_ = nullptr;
    IDirect3DTexture8* digit_ = nullptr;
    IDirect3DTexture8* pointer_ = nullptr;
    IDirect3DTexture8* closeButton_ = nullptr;
};

} // namespace softgpu::testing
