// The benchmark's workload: a frame drawn the way the game draws one, with five box walls in
// perspective, the lit ball strip and some thirty pictures, opaque and additive, in the
// game's states.
#pragma once

#include "tests/softgpu/test_support.h"

#include <array>

namespace softgpu::testing {

class GameLikeScene {
public:
    explicit GameLikeScene(TestDevice& device);
    // Draws and presents one frame; frame numbers turn the ball and move the pointer.
    void drawFrame(int frameNumber);

private:
    enum Picture {
        wall,
        ball,
        shine,
        glow,
        corner,
        horizontalBar,
        verticalBar,
        edgeLine,
        text,
        digit,
        pointer,
        closeButton,
        pictureCount
    };

    TestDevice& device_;
    IDirect3DVertexBuffer8* ball_ = nullptr;
    std::array<IDirect3DTexture8*, pictureCount> textures_{};
};

} // namespace softgpu::testing
